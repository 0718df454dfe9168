#include "document/SKTDocument.h"

#include "platform/Log.h"
#include "platform/PropertyList.h"
#include "platform/UiServices.h"

#include "core/AppState.h"

#include <stdexcept>

const QSizeF SKTDocument::defaultCanvasSize(243.0, 154.0);
const QString SKTDocument::documentType = QStringLiteral("com.zoltsoftware.mirelle");
const QString SKTDocument::oldDocumentTypeName = QStringLiteral("ZOLT Frame document");
const QString SKTDocument::CanvasSizeKey = QStringLiteral("canvasSize");

namespace {

const QString kVersionKey = QStringLiteral("version");
const QString kGraphicsKey = QStringLiteral("graphics");
const QString kPrintInfoKey = QStringLiteral("printInfo");

} // namespace

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
    m_frontListSubscription = _graphics.subscribe([this](const SKTGraphicList::Change &change) {
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
    _graphics.removeGraphicsAtIndexes(platform::IndexSet::range(0, _graphics.count()));
}

DesignFile::DesignLoad SKTDocument::designLoad() const
{
    DesignFile::DesignLoad load;
    for (const SKTGraphicList *side : {&_graphics, &_graphics_back}) {
        load.objects += side->count();
        for (const SKTGraphicPtr &graphic : side->items())
            load.pixels += graphic->picturePixels();
    }
    return load;
}

void SKTDocument::insertGraphics(const GraphicList &graphics, const platform::IndexSet &indexes)
{
    if (!_graphics.insertGraphics(graphics, indexes))
        return;
    for (const SKTGraphicPtr &graphic : graphics)
        graphic->setScriptingContainer(this);
    m_undoManager.registerUndo(this, [this, indexes] { removeGraphicsAtIndexes(indexes); });
    if (m_undoManager.isUndoRegistrationEnabled())
        for (const SKTGraphicPtr &graphic : graphics)
            _undoGroupInsertedGraphics.insert(graphic.get(), graphic);
}

void SKTDocument::removeGraphicsAtIndexes(const platform::IndexSet &indexes)
{
    const GraphicList removed = _graphics.objectsAtIndexes(indexes);
    if (!_graphics.removeGraphicsAtIndexes(indexes))
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
    insertGraphic(graphic, _graphics.count());
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
    removeGraphicsAtIndexes(platform::IndexSet::range(0, _graphics.count()));
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

bool SKTDocument::isNativeType(const QString &typeName)
{
    return typeName == documentType || typeName == oldDocumentTypeName;
}

void SKTDocument::setPrintInfo(const platform::PrintInfo &printInfo)
{
    m_printInfo = printInfo;
    didChangeValueForKey(CanvasSizeKey, QVariant(), QVariant());
}

QByteArray SKTDocument::dataOfType(const QString &typeName, SKTError *error)
{
    if (!isNativeType(typeName))
        throw std::invalid_argument("Invalid parameter not satisfying: " + typeName.toStdString());
    const QVariantMap root{
        {kVersionKey, version},
        {kGraphicsKey, SKTGraphic::propertiesWithGraphics(_graphics.items())},
        {kPrintInfoKey, m_printInfo.propertyList()},
    };
    QString reason;
    const QByteArray data = platform::propertyListData(root, platform::PropertyListFormat::Binary, &reason);
    if (data.isEmpty()) {
        platform::writeLog(QStringLiteral("The document's data could not be written: %1").arg(reason));
        if (error)
            *error = SKTErrorWithCode(1);
    }
    return data;
}

bool SKTDocument::readFromData(const QByteArray &data, const QString &typeName, SKTError *error)
{
    const auto fail = [error] {
        if (error)
            *error = SKTErrorWithCode(2);
        return false;
    };
    if (!isNativeType(typeName))
        return fail();
    const std::optional<QVariant> list = platform::propertyListFromData(data);
    if (!list || list->metaType() != QMetaType::fromType<QVariantMap>())
        return fail();
    const QVariantMap root = list->toMap();
    const QVariant graphics = root.value(kGraphicsKey);
    const int versionType = root.value(kVersionKey).metaType().id();
    if ((versionType != QMetaType::LongLong && versionType != QMetaType::Int) ||
        root.value(kVersionKey).toLongLong() != version || graphics.metaType() != QMetaType::fromType<QVariantList>())
        return fail();

    const GraphicList read = SKTGraphic::graphicsWithProperties(graphics.toList());
    // A document read from data starts with nothing to undo.
    Clear_All_Undo_Redo();
    {
        const platform::ScopedUndoDisabling quietly(&m_undoManager);
        insertGraphics(read, platform::IndexSet::range(0, static_cast<int>(read.size())));
    }
    setPrintInfo(platform::PrintInfo::fromPropertyList(root.value(kPrintInfoKey)));
    return true;
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
        if (_graphics.contains(graphic.get()))
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
    if (_undoGroupInsertedGraphics.contains(graphic) || oldValue == newValue)
        return;
    const auto observed = m_undoObservations.find(graphic);
    const SKTGraphicPtr strong = observed == m_undoObservations.end() ? nullptr : observed->second.graphic.lock();
    if (!strong || !m_undoManager.isUndoRegistrationEnabled())
        return;

    if (!_undoGroupOldPropertiesPerGraphic) {
        _undoGroupOldPropertiesPerGraphic = std::make_shared<SKTMapTableOwner>();
        const std::shared_ptr<SKTMapTableOwner> owner = _undoGroupOldPropertiesPerGraphic;
        m_undoManager.registerUndo(this, [this, owner] { setGraphicProperties(owner); });
    }
    QVariantMap &oldValues = _undoGroupOldPropertiesPerGraphic->entryFor(strong).oldValues;
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
    if (_undoGroupHasChangesToMultipleProperties)
        return;
    if (_undoGroupPresentablePropertyName.isNull()) {
        _undoGroupPresentablePropertyName = name;
    } else if (_undoGroupPresentablePropertyName != name) {
        _undoGroupHasChangesToMultipleProperties = true;
        _undoGroupPresentablePropertyName = QString();
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
    _undoGroupHasChangesToMultipleProperties = false;
    _undoGroupPresentablePropertyName = QString();
    _undoGroupOldPropertiesPerGraphic.reset();
    _undoGroupInsertedGraphics.clear();
}

int show_msg(const QString &message)
{
    platform::uiServices().showMessage(message);
    return 1;
}
