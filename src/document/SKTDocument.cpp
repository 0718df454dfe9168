#include "document/SKTDocument.h"

#include "platform/UiServices.h"

#include "core/AppState.h"

const QSizeF SKTDocument::defaultCanvasSize(243.0, 154.0);

SKTError SKTErrorWithCode(int code)
{
    // The program carries no localized error table, so every code reads with the fallbacks.
    return {QStringLiteral("SKTErrorDomain"), code,
            QStringLiteral("The operation could not be completed because an unknown error occurred."),
            QStringLiteral("An unknown error occurred.")};
}

SKTDocument::SKTDocument() = default;

SKTDocument::~SKTDocument()
{
    m_undoManager.removeAllActions();
    m_undoManager.disableUndoRegistration();
    m_graphics.removeGraphicsAtIndexes(platform::IndexSet::range(0, m_graphics.count()));
}

void SKTDocument::insertGraphics(const GraphicList &graphics, const platform::IndexSet &indexes)
{
    if (!m_graphics.insertGraphics(graphics, indexes))
        return;
    for (const SKTGraphicPtr &graphic : graphics)
        graphic->setScriptingContainer(this);
    m_undoManager.registerUndo(this, [this, indexes] { removeGraphicsAtIndexes(indexes); });
}

void SKTDocument::removeGraphicsAtIndexes(const platform::IndexSet &indexes)
{
    const GraphicList removed = m_graphics.objectsAtIndexes(indexes);
    if (!m_graphics.removeGraphicsAtIndexes(indexes))
        return;
    m_undoManager.registerUndo(this, [this, removed, indexes] { insertGraphics(removed, indexes); });
    for (const SKTGraphicPtr &graphic : removed)
        graphic->setScriptingContainer(nullptr);
}

void SKTDocument::insertGraphic(const SKTGraphicPtr &graphic, int index)
{
    insertGraphics({graphic}, {index});
}

void SKTDocument::removeGraphicAtIndex(int index)
{
    removeGraphicsAtIndexes({index});
}

void SKTDocument::addInGraphics(const SKTGraphicPtr &graphic)
{
    insertGraphic(graphic, m_graphics.count());
}

void SKTDocument::Enable_Disable_Undo_Registraion(int enable)
{
    if (enable == 1)
        m_undoManager.enableUndoRegistration();
    else
        m_undoManager.disableUndoRegistration();
}

void SKTDocument::Clear_All_Undo_Redo()
{
    m_undoManager.removeAllActions();
    m_undoManager.removeAllActionsWithTarget(this);
    m_undoManager.disableUndoRegistration();
    removeGraphicsAtIndexes(platform::IndexSet::range(0, m_graphics.count()));
    insertGraphics({}, {});
    m_undoManager.enableUndoRegistration();
}

QSizeF SKTDocument::canvasSize(bool useDefault, const QSizeF &size_val)
{
    return useDefault ? defaultCanvasSize : size_val;
}

QString SKTDocument::displayName() const
{
    return App().App_Name;
}

int show_msg(const QString &message)
{
    platform::uiServices().showMessage(message);
    return 1;
}
