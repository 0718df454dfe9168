#include "document/SKTDocument.h"

#include "platform/Log.h"
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

SKTMapTableOwner::Entry &SKTMapTableOwner::entryFor(const SKTGraphicPtr &graphic)
{
    for (Entry &entry : _mapTable)
        if (entry.graphic == graphic)
            return entry;
    _mapTable.push_back({graphic, {}});
    return _mapTable.back();
}

SKTDocument::SKTDocument()
{
    m_checkpointSubscription = m_undoManager.subscribeToCheckpoints([this] { observeUndoManagerCheckpoint(); });
    // Whatever path changes the front list, its graphics' undoable properties are watched.
    m_frontListSubscription = m_graphics.subscribe([this](const SKTGraphicList::Change &change) {
        if (change.type == SKTGraphicList::Change::Inserted)
            startObservingGraphics(change.graphics);
        else
            stopObservingGraphics(change.graphics);
    });
}

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
    if (m_undoManager.isUndoRegistrationEnabled())
        for (const SKTGraphicPtr &graphic : graphics)
            m_undoGroupInsertedGraphics.insert(graphic.get(), graphic);
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
    const platform::ScopedUndoDisabling quietly(&m_undoManager);
    removeGraphicsAtIndexes(platform::IndexSet::range(0, m_graphics.count()));
    insertGraphics({}, {});
}

QSizeF SKTDocument::canvasSize(bool useDefault, const QSizeF &size_val)
{
    return useDefault ? defaultCanvasSize : size_val;
}

QString SKTDocument::displayName() const
{
    return App().App_Name;
}

// --- Undo of property changes -------------------------------------------------------------

void SKTDocument::startObservingGraphics(const GraphicList &graphics)
{
    for (const SKTGraphicPtr &graphic : graphics) {
        SKTGraphic *raw = graphic.get();
        UndoObservation &observation = m_undoObservations[raw];
        if (observation.keysSubscription.isActive())
            continue; // the same graphic twice in the list is watched once
        observation.graphic = graphic;
        for (const QString &key : graphic->keysForValuesToObserveForUndo())
            observeUndoableKey(observation, raw, key);
        observation.keysSubscription = graphic->subscribe(
            SKTGraphic::KeysForValuesToObserveForUndoKey,
            [this, raw](const QString &, const QVariant &oldValue, const QVariant &newValue) {
                undoableKeysChanged(raw, oldValue.toStringList(), newValue.toStringList());
            });
    }
}

void SKTDocument::stopObservingGraphics(const GraphicList &graphics)
{
    for (const SKTGraphicPtr &graphic : graphics) {
        if (m_graphics.contains(graphic.get()))
            continue; // still in the list elsewhere
        m_undoObservations.erase(graphic.get());
    }
}

void SKTDocument::observeUndoableKey(UndoObservation &observation, SKTGraphic *graphic, const QString &key)
{
    if (observation.keySubscriptions.contains(key))
        return;
    observation.keySubscriptions.emplace(
        key, graphic->subscribe(key, [this, graphic](const QString &changed, const QVariant &oldValue,
                                                     const QVariant &newValue) {
            undoablePropertyChanged(graphic, changed, oldValue, newValue);
        }));
}

void SKTDocument::undoableKeysChanged(SKTGraphic *graphic, const QStringList &oldKeys, const QStringList &newKeys)
{
    const auto it = m_undoObservations.find(graphic);
    if (it == m_undoObservations.end())
        return;
    for (const QString &key : oldKeys)
        if (!newKeys.contains(key))
            it->second.keySubscriptions.erase(key);
    for (const QString &key : newKeys)
        if (!oldKeys.contains(key))
            observeUndoableKey(it->second, graphic, key);
}

void SKTDocument::undoablePropertyChanged(SKTGraphic *graphic, const QString &key, const QVariant &oldValue,
                                          const QVariant &newValue)
{
    // A graphic made in this group goes away as a whole on undo; its changes need no record.
    if (m_undoGroupInsertedGraphics.contains(graphic) || oldValue == newValue)
        return;
    const auto observed = m_undoObservations.find(graphic);
    const SKTGraphicPtr strong = observed == m_undoObservations.end() ? nullptr : observed->second.graphic.lock();
    if (!strong || !m_undoManager.isUndoRegistrationEnabled())
        return;

    if (!m_undoGroupOldPropertiesPerGraphic) {
        m_undoGroupOldPropertiesPerGraphic = std::make_shared<SKTMapTableOwner>();
        const std::shared_ptr<SKTMapTableOwner> owner = m_undoGroupOldPropertiesPerGraphic;
        m_undoManager.registerUndo(this, [this, owner] { setGraphicProperties(owner); });
    }
    QVariantMap &oldValues = m_undoGroupOldPropertiesPerGraphic->entryFor(strong).oldValues;
    if (!oldValues.contains(key))
        oldValues.insert(key, oldValue);

    if (m_undoManager.isUndoing() || m_undoManager.isRedoing())
        return;
    QString name = graphic->presentablePropertyNameForKey(key);
    if (name.isNull()) {
        // A kind that lists a key as undoable must name it; say so rather than stop the edit.
        platform::writeLog(QStringLiteral("%1 lists \"%2\" among its undoable keys but has no presentable name for it")
                     .arg(graphic->className(), key));
        name = QStringLiteral("");
    }
    if (m_undoGroupHasChangesToMultipleProperties)
        return;
    if (m_undoGroupPresentablePropertyName.isNull()) {
        m_undoGroupPresentablePropertyName = name;
    } else if (m_undoGroupPresentablePropertyName != name) {
        m_undoGroupHasChangesToMultipleProperties = true;
        m_undoGroupPresentablePropertyName = QString();
    }
}

void SKTDocument::setGraphicProperties(const std::shared_ptr<SKTMapTableOwner> &owner)
{
    for (const SKTMapTableOwner::Entry &entry : owner->mapTable())
        for (auto it = entry.oldValues.cbegin(); it != entry.oldValues.cend(); ++it)
            entry.graphic->setValueForKey(it.key(), it.value());
}

void SKTDocument::observeUndoManagerCheckpoint()
{
    m_undoGroupHasChangesToMultipleProperties = false;
    m_undoGroupPresentablePropertyName = QString();
    m_undoGroupOldPropertiesPerGraphic.reset();
    m_undoGroupInsertedGraphics.clear();
}

int show_msg(const QString &message)
{
    platform::uiServices().showMessage(message);
    return 1;
}
