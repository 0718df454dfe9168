// Graphics on the pasteboard and the property dictionary of a graphic.

#include "core/ImageCategories.h"
#include "document/DesignFile.h"
#include "document/SKTDocument.h"
#include "document/SKTGraphic.h"
#include "document/SKTImage.h"
#include "platform/PictureReading.h"
#include "platform/PropertyList.h"
#include "platform/RegularFile.h"
#include "document/ControlTags.h"

#include <QFileInfo>

namespace {

bool travelsOnPasteboard(const SKTGraphic &graphic)
{
    return !isInvitationPicture(graphic);
}

QByteArray colorData(const QColor &color)
{
    return platform::KeyedArchiver::archivedDataWithRootValue(color);
}

} // namespace

QVariantList SKTGraphic::propertiesWithGraphics(const GraphicList &graphics)
{
    QVariantList archives;
    for (const SKTGraphicPtr &graphic : graphics) {
        if (!travelsOnPasteboard(*graphic))
            continue;
        // Built for its effects: the colours take their opacities and a text gets its storage.
        graphic->properties();
        archives << graphic->archivedData();
    }
    return archives;
}

QByteArray SKTGraphic::pasteboardDataWithGraphics(const GraphicList &graphics)
{
    return platform::propertyListData(propertiesWithGraphics(graphics), platform::PropertyListFormat::Binary);
}

std::optional<GraphicList> SKTGraphic::graphicsWithPasteboardData(const QByteArray &data, SKTError *error,
                                                                  const DesignFile::DesignLoad &room)
{
    const auto refuse = [error](int code, const QString &reason) -> std::optional<GraphicList> {
        if (error) {
            *error = SKTErrorWithCode(code);
            error->localizedDescription = QStringLiteral("The objects on the pasteboard cannot be pasted.");
            error->localizedFailureReason = reason;
        }
        return std::nullopt;
    };
    const std::optional<QVariant> list = platform::propertyListFromData(data);
    if (!list || list->metaType() != QMetaType::fromType<QVariantList>())
        return refuse(2, QStringLiteral("The pasteboard data is damaged: it is not a list of objects."));
    // What the design already holds counts: a design pasted into again and again must still be
    // one that can be saved and read again whole.
    const qsizetype count = list->toList().size();
    if (count > room.objects)
        return refuse(3, DesignFile::tooManyObjectsReason(count, DesignFile::kMaxDesignObjects - room.objects));
    qint64 pixels = std::max<qint64>(0, room.pixels);
    GraphicList graphics = graphicsWithProperties(list->toList(), &pixels);
    if (pixels < 0)
        return refuse(3, DesignFile::tooManyPixelsReason());
    return graphics;
}

GraphicList SKTGraphic::graphicsWithProperties(const QVariantList &archives, qint64 *pixelBudget)
{
    // As when a design is read: the pictures of all the objects share one pixel budget, whether
    // the archives carry them or name their files, and an archive named many times (a binary list
    // shares its objects) is read once and copied. Each copy is a picture of its own once saved.
    platform::KeyedArchiveLimits limits;
    limits.sharedImagePixels =
        std::make_shared<std::atomic<qint64>>(pixelBudget ? *pixelBudget : DesignFile::kMaxDesignPixels);
    std::atomic<qint64> &budget = *limits.sharedImagePixels;
    QHash<const char *, qsizetype> firstOfData;
    GraphicList graphics;
    QList<qsizetype> original; // of each graphic, the one it is to copy, or its own place
    for (const QVariant &element : archives) {
        // A caller's budget that is spent means the caller refuses the lot: read no further.
        if (pixelBudget && budget.load() < 0)
            break;
        if (element.metaType() != QMetaType::fromType<QByteArray>())
            continue;
        const QByteArray data = element.toByteArray();
        if (const auto first = firstOfData.constFind(data.constData()); first != firstOfData.constEnd()) {
            original << *first; // copied once the first has its picture
            graphics << nullptr;
            continue;
        }
        SKTGraphicPtr graphic = graphicWithArchivedData(data, limits);
        if (!graphic)
            continue;
        if (!data.isEmpty())
            firstOfData.insert(data.constData(), graphics.size());
        original << graphics.size();
        graphics << graphic;
    }
    // Pictures are not archived: a picture whose file is still there shows that file. The sizes
    // of all of them are read first, so that pictures that cannot all fit are none of them decoded.
    QHash<qsizetype, qint64> copies;
    for (qsizetype i = 0; i < graphics.size(); ++i)
        copies[original.at(i)] += 1;
    QList<qsizetype> byPath;
    qint64 needed = 0;
    for (qsizetype i = 0; i < graphics.size(); ++i)
        if (original.at(i) == i && graphics.at(i)->kind() == Kind::Image && platform::isRegularFile(graphics.at(i)->_file_path)) {
            byPath << i;
            // Weighed as a design's open weighs the files it names.
            needed += DesignFile::workOfPictureFile(graphics.at(i)->_file_path).pixels * copies.value(i);
        }
    if (pixelBudget && needed > budget.load())
        budget.fetch_sub(needed);
    else
        for (const qsizetype i : byPath)
            static_cast<SKTImage &>(*graphics.at(i)).setFilePath(graphics.at(i)->_file_path, &budget);
    for (qsizetype i = 0; i < graphics.size(); ++i)
        if (original.at(i) != i && (graphics[i] = graphics.at(original.at(i))->fullCopy()))
            spendPixels(budget, graphics.at(i)->picturePixels());
    graphics.removeAll(nullptr);
    if (pixelBudget)
        *pixelBudget = budget.load();
    return graphics;
}

QVariantMap SKTGraphic::properties()
{
    QVariantMap properties;
    properties.insert(QStringLiteral("className"), className());
    properties.insert(QStringLiteral("bounds"), platform::stringFromRect(bounds()));
    properties.insert(QStringLiteral("drawingFill"), isDrawingFill());
    if (const QColor fill = fillColor(); fill.isValid())
        properties.insert(QStringLiteral("fillColor"), colorData(fill));
    properties.insert(QStringLiteral("drawingStroke"), isDrawingStroke());
    if (const QColor stroke = strokeColor(); stroke.isValid())
        properties.insert(QStringLiteral("strokeColor"), colorData(stroke));
    properties.insert(QStringLiteral("strokeWidth"), strokeWidth());
    if (kind() == Kind::Text)
        properties.insert(QStringLiteral("contents"), Text_contents().string);
    return properties;
}

void SKTGraphic::initWithProperties(const QVariantMap &properties)
{
    const auto has = [&](const char *key, QMetaType::Type type) {
        return properties.value(QLatin1String(key)).metaType().id() == type;
    };
    if (has("bounds", QMetaType::QString))
        _bounds = platform::rectFromString(properties.value(QStringLiteral("bounds")).toString());
    if (has("drawingFill", QMetaType::Bool))
        _isDrawingFill = properties.value(QStringLiteral("drawingFill")).toBool();
    if (has("drawingStroke", QMetaType::Bool))
        _isDrawingStroke = properties.value(QStringLiteral("drawingStroke")).toBool();
    if (has("strokeWidth", QMetaType::Double) || has("strokeWidth", QMetaType::LongLong))
        _strokeWidth = properties.value(QStringLiteral("strokeWidth")).toDouble();
    for (const auto &[key, field] : {std::pair{"fillColor", &_fillColor}, std::pair{"strokeColor", &_strokeColor}}) {
        if (!has(key, QMetaType::QByteArray))
            continue;
        const std::optional<QVariant> color =
            platform::KeyedUnarchiver::rootValue(properties.value(QLatin1String(key)).toByteArray());
        if (color && color->metaType() == QMetaType::fromType<QColor>())
            *field = color->value<QColor>();
    }
}

QString SKTGraphic::description()
{
    const QVariantMap map = properties();
    QStringList lines;
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        lines << QStringLiteral("    %1 = %2;").arg(it.key(), it.value().metaType() == QMetaType::fromType<QByteArray>()
                                                                 ? QStringLiteral("<%1 bytes>").arg(it.value().toByteArray().size())
                                                                 : it.value().toString());
    return QStringLiteral("{\n%1\n}").arg(lines.join(QLatin1Char('\n')));
}
