#pragma once

#include "document/SKTGraphicList.h"
#include "platform/UndoManager.h"

#include <QSizeF>
#include <QString>

// An error of the program's own domain.
struct SKTError {
    QString domain;
    int code = 0;
    QString localizedDescription;
    QString localizedFailureReason;
};
SKTError SKTErrorWithCode(int code);

// The one document of a run: the front, back and scratch ("temp") lists of graphics and the undo
// manager. Designs are not saved through it (the design window writes design files), so it never
// counts as edited.
class SKTDocument {
public:
    static constexpr int version = 2;
    static const QSizeF defaultCanvasSize; // 243 x 154 points

    SKTDocument();
    ~SKTDocument();
    SKTDocument(const SKTDocument &) = delete;
    SKTDocument &operator=(const SKTDocument &) = delete;

    // The live lists. Only the front list has undoable mutators of the document; the back and temp
    // lists are changed through the lists themselves, without undo.
    SKTGraphicList &graphics() { return m_graphics; }
    SKTGraphicList &graphics_back() { return m_graphics_back; }
    SKTGraphicList &graphics_temp() { return m_graphics_temp; }

    platform::UndoManager &undoManager() { return m_undoManager; }

    // Front list, undoable.
    void insertGraphics(const GraphicList &graphics, const platform::IndexSet &indexes);
    void removeGraphicsAtIndexes(const platform::IndexSet &indexes);
    void insertGraphic(const SKTGraphicPtr &graphic, int index);
    void removeGraphicAtIndex(int index);
    void addInGraphics(const SKTGraphicPtr &graphic);

    // Exactly 1 enables undo registration, anything else disables it; calls nest as a counter.
    void Enable_Disable_Undo_Registraion(int enable);
    // Forgets every undo and redo action and empties the front list.
    void Clear_All_Undo_Redo();

    // The default canvas size when `useDefault` is set, else the given size; stores nothing.
    static QSizeF canvasSize(bool useDefault, const QSizeF &size_val);

    QString displayName() const;
    bool isDocumentEdited() const { return false; }

private:
    SKTGraphicList m_graphics;
    SKTGraphicList m_graphics_back;
    SKTGraphicList m_graphics_temp;
    platform::UndoManager m_undoManager;
};

// A modal alert with the message as its title and one "OK" button. Nothing calls it.
int show_msg(const QString &message);
