#pragma once

#include "document/DesignLimits.h"
#include "document/SKTGraphicList.h"
#include "document/SKTObjectSpecifier.h"
#include "platform/KeyValueObserving.h"
#include "platform/PrintInfo.h"
#include "platform/UndoManager.h"

#include <QByteArray>
#include <QHash>
#include <QSizeF>
#include <QString>
#include <QVariantMap>

#include <map>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

// An error of the program's own domain.
struct SKTError {
    QString domain;
    int code = 0;
    QString localizedDescription;
    QString localizedFailureReason;
};
SKTError SKTErrorWithCode(int code);

// The values that one undo group's property changes replaced, per graphic: the value from before
// the group's first change of each key. The graphics are held, so undo can reach them after they
// left every list.
class SKTMapTableOwner {
public:
    struct Entry {
        SKTGraphicPtr graphic;
        QVariantMap oldValues;
    };
    std::vector<Entry> &mapTable() { return _mapTable; }
    const std::vector<Entry> &mapTable() const { return _mapTable; }
    Entry &entryFor(const SKTGraphicPtr &graphic);

private:
    std::vector<Entry> _mapTable;
};

// The one document of a run: the front, back and scratch ("temp") lists of graphics, the undo
// manager and the print information. Designs are not saved through it (the design window writes
// design files), so it never counts as edited.
class SKTDocument : public platform::KeyValueObservable {
public:
    static constexpr int version = 2;
    static const QSizeF defaultCanvasSize; // 243 x 154 points
    static const QString documentType;        // "com.zoltsoftware.mirelle"
    static const QString oldDocumentTypeName; // "ZOLT Frame document", the same type by its old name
    static const QString CanvasSizeKey;       // "canvasSize"
    static bool isNativeType(const QString &typeName);

    SKTDocument();
    ~SKTDocument();
    SKTDocument(const SKTDocument &) = delete;
    SKTDocument &operator=(const SKTDocument &) = delete;

    // The live lists. Only the front list has undoable mutators of the document; the back and temp
    // lists are changed through the lists themselves, without undo.
    SKTGraphicList &graphics() { return _graphics; }
    SKTGraphicList &graphics_back() { return _graphics_back; }
    SKTGraphicList &graphics_temp() { return _graphics_temp; }

    platform::UndoManager &undoManager() { return m_undoManager; }

    // What the front and back hold against the limits of a design; the main photo, which the design
    // window keeps, is not among them.
    DesignFile::DesignLoad designLoad() const;

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

    const platform::PrintInfo &printInfo() const { return m_printInfo; }
    // Stores the print information and announces "canvasSize". The document has no canvas size of
    // its own, so the announcement carries no value and the canvases keep their size.
    void setPrintInfo(const platform::PrintInfo &printInfo);

    // The native data: a binary property list {"version": 2, "graphics": the graphic archives of the
    // front list (the main photo and the frame picture left out), "printInfo": the print
    // information}. The rendered types come from SKTRenderingView::dataOfType, which hands the native
    // type on to this; any other type is a programming error and throws std::invalid_argument.
    // Empty data and an error when nothing could be written.
    QByteArray dataOfType(const QString &typeName, SKTError *error = nullptr);
    // Reads native data back: the front list takes the graphics, with no undo left behind, and the
    // print information is set. Data of another type or layout changes nothing and answers false
    // with error code 2.
    bool readFromData(const QByteArray &data, const QString &typeName, SKTError *error = nullptr);

    // --- Scripting: the front list as a script sees it; no other side can be reached.
    // The front graphics under an element key, in order: "graphics" all, "rectangles", "circles"
    // and "rectangles_round" every shape, "lines", "textAreas" and "images" the graphics of those
    // kinds; "graphics_back" and "graphics_temp" name the front list too. None for other keys.
    std::optional<GraphicList> elementsForKey(const QString &key) const;
    // The front graphics of a kind, in order; every graphic for the plain kind (no kind derives
    // from another but from the plain graphic).
    GraphicList graphicsWithClass(SKTGraphic::Kind kind) const;
    GraphicList rectangles() const { return graphicsWithClass(SKTGraphic::Kind::Shape); }
    GraphicList circles() const { return graphicsWithClass(SKTGraphic::Kind::Shape); }
    GraphicList rectangles_round() const { return graphicsWithClass(SKTGraphic::Kind::Shape); }
    GraphicList lines() const { return graphicsWithClass(SKTGraphic::Kind::Line); }
    GraphicList textAreas() const { return graphicsWithClass(SKTGraphic::Kind::Text); }
    GraphicList images() const { return graphicsWithClass(SKTGraphic::Kind::Image); }
    // Inserts into an element list: at its length the graphic goes to the end of the front list,
    // else to the front index of the element now at `index`. An index outside the list is a range
    // error, and nothing changes.
    std::optional<SKTScriptingError> insertObject_inRectanglesAtIndex(const SKTGraphicPtr &graphic, int index);
    std::optional<SKTScriptingError> insertObject_inCirclesAtIndex(const SKTGraphicPtr &graphic, int index);
    std::optional<SKTScriptingError> insertObject_inLinesAtIndex(const SKTGraphicPtr &graphic, int index);
    std::optional<SKTScriptingError> insertObject_inTextAreasAtIndex(const SKTGraphicPtr &graphic, int index);
    std::optional<SKTScriptingError> insertObject_inImagesAtIndex(const SKTGraphicPtr &graphic, int index);
    // Removes the element at `index` of an element list from the front list; a range error outside it.
    std::optional<SKTScriptingError> removeObjectFromRectanglesAtIndex(int index);
    std::optional<SKTScriptingError> removeObjectFromCirclesAtIndex(int index);
    std::optional<SKTScriptingError> removeObjectFromLinesAtIndex(int index);
    std::optional<SKTScriptingError> removeObjectFromTextAreasAtIndex(int index);
    std::optional<SKTScriptingError> removeObjectFromImagesAtIndex(int index);
    // A new graphic of the class a script names: a shape for the plain graphic; none for a class
    // that is not a graphic's.
    static SKTGraphicPtr newScriptingObjectOfClass(const QString &className);
    // "graphics" at the graphic's front index; none when it is not in the front list.
    std::optional<SKTObjectSpecifier> objectSpecifierForGraphic(const SKTGraphic *graphic) const;
    // The indexes, in the specifier's element list, of the objects a range or relative specifier
    // names; none for other forms and for specifiers that name nothing.
    std::optional<QList<int>> indicesOfObjectsByEvaluatingObjectSpecifier(const SKTObjectSpecifier &specifier) const;
    std::optional<QList<int>> indicesOfObjectsByEvaluatingRangeSpecifier(const SKTObjectSpecifier &specifier) const;
    std::optional<QList<int>> indicesOfObjectsByEvaluatingRelativeSpecifier(const SKTObjectSpecifier &specifier) const;
    // The objects a specifier names, in its element list's order.
    GraphicList objectsByEvaluatingSpecifier(const SKTObjectSpecifier &specifier) const;
    // What graphics keep of their document: a reference that lapses when the document goes.
    std::weak_ptr<SKTDocument *> scriptingReference() const { return m_scriptingSelf; }

    // The undo action of a group's property changes: puts back every recorded value at once.
    void setGraphicProperties(const std::shared_ptr<SKTMapTableOwner> &owner);
    // The name of the one property the current undo group changed, empty when none or several.
    QString undoGroupPresentablePropertyName() const { return _undoGroupPresentablePropertyName; }
    bool undoGroupHasChangesToMultipleProperties() const { return _undoGroupHasChangesToMultipleProperties; }

private:
    struct UndoObservation {
        std::weak_ptr<SKTGraphic> graphic;
        std::map<QString, platform::Subscription> keySubscriptions;
        platform::Subscription keysSubscription;
    };
    void startObservingGraphics(const GraphicList &graphics);
    void stopObservingGraphics(const GraphicList &graphics);
    void observeUndoableKey(UndoObservation &observation, SKTGraphic *graphic, const QString &key);
    void undoableKeysChanged(SKTGraphic *graphic, const QStringList &oldKeys, const QStringList &newKeys);
    void undoablePropertyChanged(SKTGraphic *graphic, const QString &key, const QVariant &oldValue,
                                 const QVariant &newValue);
    void observeUndoManagerCheckpoint();
    std::optional<SKTScriptingError> insertElement(const GraphicList &elements, const char *kindName,
                                                   const SKTGraphicPtr &graphic, int index);
    std::optional<SKTScriptingError> removeElement(const GraphicList &elements, const char *kindName, int index);

    SKTGraphicList _graphics;
    SKTGraphicList _graphics_back;
    SKTGraphicList _graphics_temp;
    platform::UndoManager m_undoManager;
    platform::PrintInfo m_printInfo;

    // Front graphics whose undoable properties are watched, and the state of the current group.
    std::unordered_map<const SKTGraphic *, UndoObservation> m_undoObservations;
    QHash<const SKTGraphic *, std::weak_ptr<SKTGraphic>> _undoGroupInsertedGraphics;
    std::shared_ptr<SKTMapTableOwner> _undoGroupOldPropertiesPerGraphic;
    QString _undoGroupPresentablePropertyName;
    bool _undoGroupHasChangesToMultipleProperties = false;
    platform::Subscription m_checkpointSubscription;
    platform::Subscription m_frontListSubscription;
    std::shared_ptr<SKTDocument *> m_scriptingSelf = std::make_shared<SKTDocument *>(this);
};

// A modal alert with the message as its title and one "OK" button. Nothing calls it.
int show_msg(const QString &message);
