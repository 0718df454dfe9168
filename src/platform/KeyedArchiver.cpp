#include "platform/KeyedArchiver.h"

#include <QImageReader>

#include <QBuffer>
#include <QHash>
#include <QRegularExpression>

#include <atomic>

namespace platform {

namespace {

const QString kNull = QStringLiteral("$null");
const QString kClass = QStringLiteral("$class");

QVariant uid(quint64 value)
{
    return QVariant::fromValue(PlistUid{value});
}

bool isUid(const QVariant &value)
{
    return value.metaType() == QMetaType::fromType<PlistUid>();
}

QString numberText(double value)
{
    return QString::number(value, 'g', 17);
}

// Builds the object table of one archive.
class Writer final : public KeyedEncoder {
public:
    Writer() { m_objects << kNull; }

    QVariant finish(const QVariant &root)
    {
        const QVariant rootUid = add(root);
        QVariantMap archive;
        archive.insert(QStringLiteral("$archiver"), QStringLiteral("NSKeyedArchiver"));
        archive.insert(QStringLiteral("$version"), 100000);
        archive.insert(QStringLiteral("$top"), QVariantMap{{QStringLiteral("root"), rootUid}});
        archive.insert(QStringLiteral("$objects"), m_objects);
        return archive;
    }

    void encodeBool(const QString &key, bool value) override { m_current->insert(key, value); }
    void encodeInt(const QString &key, int value) override { m_current->insert(key, qint64(value)); }
    void encodeFloat(const QString &key, float value) override { m_current->insert(key, double(value)); }
    void encodeDouble(const QString &key, double value) override { m_current->insert(key, value); }
    void encodeObject(const QString &key, const QVariant &value) override
    {
        // A nil object is the null reference ($null, UID 0), as the desktop's archiver writes it, so
        // that it reads back as nil while a key truly absent can take a default.
        m_current->insert(key, add(value));
    }
    void encodePoint(const QString &key, const QPointF &value) override { m_current->insert(key, stringFromPoint(value)); }
    void encodeSize(const QString &key, const QSizeF &value) override { m_current->insert(key, stringFromSize(value)); }
    void encodeRect(const QString &key, const QRectF &value) override { m_current->insert(key, stringFromRect(value)); }

private:
    QVariant add(const QVariant &value)
    {
        if (!value.isValid())
            return uid(0);
        const QMetaType type = value.metaType();
        if (type == QMetaType::fromType<QString>()) {
            const QString text = value.toString();
            if (const auto it = m_strings.constFind(text); it != m_strings.constEnd())
                return uid(*it);
            const quint64 index = append(text);
            m_strings.insert(text, index);
            return uid(index);
        }
        if (type == QMetaType::fromType<QByteArray>() || type == QMetaType::fromType<bool>() ||
            type == QMetaType::fromType<double>() || type == QMetaType::fromType<float>())
            return uid(append(value));
        if (type == QMetaType::fromType<int>() || type == QMetaType::fromType<qint64>() ||
            type == QMetaType::fromType<uint>())
            return uid(append(value.toLongLong()));
        if (type == QMetaType::fromType<QColor>())
            return addColor(value.value<QColor>());
        if (type == QMetaType::fromType<ArchivedFont>()) {
            const ArchivedFont font = value.value<ArchivedFont>();
            QVariantMap object{{QStringLiteral("NSName"), add(font.name)},
                               {QStringLiteral("NSSize"), font.size},
                               {QStringLiteral("NSfFlags"), qint64(16)}};
            return addObject(object, {QStringLiteral("NSFont"), QStringLiteral("NSObject")});
        }
        if (type == QMetaType::fromType<QImage>())
            return addImage(value.value<QImage>());
        if (type == QMetaType::fromType<UndecodedPicture>()) {
            const UndecodedPicture picture = value.value<UndecodedPicture>();
            return picture.data.isEmpty() ? uid(0) : addPictureData(picture.data, picture.size);
        }
        if (type == QMetaType::fromType<QVariantList>() || type == QMetaType::fromType<QStringList>()) {
            QVariantList refs;
            for (const QVariant &element : value.toList())
                refs << add(element);
            return addObject({{QStringLiteral("NS.objects"), refs}}, {QStringLiteral("NSArray"), QStringLiteral("NSObject")});
        }
        if (type == QMetaType::fromType<QVariantMap>()) {
            const QVariantMap map = value.toMap();
            QVariantList keys, objects;
            for (auto it = map.cbegin(); it != map.cend(); ++it) {
                keys << add(it.key());
                objects << add(it.value());
            }
            return addObject({{QStringLiteral("NS.keys"), keys}, {QStringLiteral("NS.objects"), objects}},
                             {QStringLiteral("NSDictionary"), QStringLiteral("NSObject")});
        }
        if (type == QMetaType::fromType<EncodableObject>()) {
            const EncodableObject object = value.value<EncodableObject>();
            // Reserve the slot first, so that the root keeps index 1 as archives expect.
            const quint64 index = append(QVariant());
            QVariantMap fields;
            QVariantMap *outer = m_current;
            m_current = &fields;
            if (object.encodeFields)
                object.encodeFields(*this);
            m_current = outer;
            fields.insert(kClass, classRef(object.classes));
            m_objects[static_cast<qsizetype>(index)] = fields;
            return uid(index);
        }
        // Anything else has no archived form; it is left out rather than written wrongly.
        return uid(0);
    }

    QVariant addColor(const QColor &color)
    {
        if (!color.isValid())
            return uid(0);
        const QColor rgb = color.toRgb();
        const QString components = QStringLiteral("%1 %2 %3 %4")
                                       .arg(numberText(rgb.redF()), numberText(rgb.greenF()), numberText(rgb.blueF()),
                                            numberText(rgb.alphaF()));
        QByteArray bytes = components.toLatin1();
        bytes.append('\0');
        return addObject({{QStringLiteral("NSColorSpace"), qint64(1)}, {QStringLiteral("NSRGB"), bytes}},
                         {QStringLiteral("NSColor"), QStringLiteral("NSObject")});
    }

    QVariant addImage(const QImage &image)
    {
        if (image.isNull())
            return uid(0);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!image.save(&buffer, "PNG"))
            return uid(0);
        const QSizeF points = image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0
                                  ? QSizeF(image.width() * 72.0 / (image.dotsPerMeterX() * 0.0254),
                                           image.height() * 72.0 / (image.dotsPerMeterY() * 0.0254))
                                  : QSizeF(image.size());
        return addPictureData(png, stringFromSize(points));
    }

    QVariant addPictureData(const QByteArray &data, const QString &size)
    {
        const QVariant rep = addObject({{QStringLiteral("NSTIFFRepresentation"), data}},
                                       {QStringLiteral("NSBitmapImageRep"), QStringLiteral("NSImageRep"),
                                        QStringLiteral("NSObject")});
        const QVariant reps = addObject({{QStringLiteral("NS.objects"), QVariantList{rep}}},
                                        {QStringLiteral("NSMutableArray"), QStringLiteral("NSArray"),
                                         QStringLiteral("NSObject")});
        return addObject({{QStringLiteral("NSReps"), reps}, {QStringLiteral("NSSize"), size}},
                         {QStringLiteral("NSImage"), QStringLiteral("NSObject")});
    }

    QVariant addObject(QVariantMap object, const QStringList &classes)
    {
        object.insert(kClass, classRef(classes));
        return uid(append(object));
    }

    QVariant classRef(const QStringList &classes)
    {
        const QString name = classes.value(0);
        if (const auto it = m_classes.constFind(name); it != m_classes.constEnd())
            return uid(*it);
        const quint64 index = append(QVariantMap{{QStringLiteral("$classname"), name},
                                                 {QStringLiteral("$classes"), classes}});
        m_classes.insert(name, index);
        return uid(index);
    }

    quint64 append(const QVariant &object)
    {
        m_objects << object;
        return static_cast<quint64>(m_objects.size() - 1);
    }

    QVariantList m_objects;
    QHash<QString, quint64> m_strings;
    QHash<QString, quint64> m_classes;
    QVariantMap m_rootFields;
    QVariantMap *m_current = &m_rootFields;
};

// The numbers of a geometry or colour string, read left to right as [-+]?(d+.?d*|.d+)([eE][-+]?d+)?
// would match them; geometry strings are read for every object, so without a regular expression.
QList<double> numbersIn(QStringView text, int most)
{
    QList<double> numbers;
    const qsizetype n = text.size();
    const auto digit = [&](qsizetype i) { return i < n && text[i] >= u'0' && text[i] <= u'9'; };
    const auto sign = [&](qsizetype i) { return i < n && (text[i] == u'-' || text[i] == u'+'); };
    qsizetype i = 0;
    while (i < n && numbers.size() < most) {
        qsizetype j = sign(i) ? i + 1 : i;
        if (digit(j)) {
            while (digit(j))
                ++j;
            if (j < n && text[j] == u'.')
                for (++j; digit(j);)
                    ++j;
        } else if (j < n && text[j] == u'.' && digit(j + 1)) {
            for (++j; digit(j);)
                ++j;
        } else {
            ++i;
            continue;
        }
        if (j < n && (text[j] == u'e' || text[j] == u'E')) {
            qsizetype k = sign(j + 1) ? j + 2 : j + 1;
            if (digit(k)) {
                while (digit(k))
                    ++k;
                j = k;
            }
        }
        numbers << text.mid(i, j - i).toDouble();
        i = j;
    }
    return numbers;
}

} // namespace

// The object table shared by every decoder of one archive, with the budgets of its limits.
struct KeyedObjectDecoder::Archive {
    Archive(QVariantList objects, const KeyedArchiveLimits &limits)
        : objects(std::move(objects)), maxDepth(limits.maxDepth), budget(limits.objectReads),
          imagePixels(limits.imagePixels), sharedImagePixels(limits.sharedImagePixels)
    {
    }

    QVariantList objects;
    int maxDepth;
    mutable std::atomic<qint64> budget;
    mutable std::atomic<qint64> imagePixels;
    std::shared_ptr<std::atomic<qint64>> sharedImagePixels;

    // A picture, while the pictures stay within their pixel budgets: a small, highly compressed
    // picture may decode to an enormous one, and may be listed many times. Its size is read before
    // it is decoded, and a picture that does not fit is not decoded at all.
    QImage decodedImage(const QByteArray &bytes) const
    {
        if (bytes.isEmpty())
            return {};
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        const QSize size = reader.size();
        const qint64 pixels = size.isValid() ? qint64(size.width()) * size.height() : 0;
        if (!spendPixels(pixels))
            return {};
        QImage image = reader.read();
        // A picture whose header told no size is charged once it is known.
        if (!size.isValid() && !spendPixels(qint64(image.width()) * image.height()))
            return {};
        return image;
    }

    bool spendPixels(qint64 pixels) const
    {
        if (imagePixels.fetch_sub(pixels) < pixels)
            return false;
        return !sharedImagePixels || sharedImagePixels->fetch_sub(pixels) >= pixels;
    }

    const QVariant *object(const QVariant &ref) const
    {
        if (!isUid(ref))
            return nullptr;
        const quint64 index = ref.value<PlistUid>().value;
        if (index == 0 || index >= static_cast<quint64>(objects.size()))
            return nullptr;
        if (!spend())
            return nullptr;
        return &objects.at(static_cast<qsizetype>(index));
    }

    // Every object resolved and every element of a list visited costs one read, so that the work
    // of reading an archive stays in proportion to its size whatever refers to what.
    bool spend() const { return budget.fetch_sub(1) > 0; }

    QStringList classesOf(const QVariantMap &object) const
    {
        const QVariant *cls = this->object(object.value(kClass));
        if (!cls || cls->metaType() != QMetaType::fromType<QVariantMap>())
            return {};
        const QVariantMap map = cls->toMap();
        QStringList classes;
        for (const QVariant &name : map.value(QStringLiteral("$classes")).toList())
            if (name.metaType() == QMetaType::fromType<QString>())
                classes << name.toString();
        const QString name = map.value(QStringLiteral("$classname")).toString();
        if (classes.isEmpty() && !name.isEmpty())
            classes << name;
        return classes;
    }
};

KeyedObjectDecoder::KeyedObjectDecoder(std::shared_ptr<const Archive> archive, QVariantMap object, int depth)
    : m_archive(std::move(archive)), m_object(std::move(object)), m_depth(depth)
{
    m_classes = m_archive->classesOf(m_object);
}

bool KeyedObjectDecoder::containsValueForKey(const QString &key) const
{
    return m_object.contains(key);
}

QVariant KeyedObjectDecoder::number(const QString &key) const
{
    QVariant value = m_object.value(key);
    if (isUid(value)) {
        const QVariant *target = m_archive->object(value);
        value = target ? *target : QVariant();
    }
    switch (value.metaType().id()) {
    case QMetaType::Bool:
    case QMetaType::LongLong:
    case QMetaType::Double:
        return value;
    default:
        return 0;
    }
}

bool KeyedObjectDecoder::decodeBool(const QString &key) const
{
    return number(key).toBool();
}

int KeyedObjectDecoder::decodeInt(const QString &key) const
{
    const QVariant value = number(key);
    if (value.metaType().id() == QMetaType::Double) {
        // A real where an integer was expected: truncate, and keep out-of-range values in range.
        const double d = value.toDouble();
        if (!(d == d))
            return 0;
        return static_cast<int>(std::clamp(d, double(INT_MIN), double(INT_MAX)));
    }
    return static_cast<int>(std::clamp<qint64>(value.toLongLong(), INT_MIN, INT_MAX));
}

float KeyedObjectDecoder::decodeFloat(const QString &key) const
{
    return static_cast<float>(number(key).toDouble());
}

double KeyedObjectDecoder::decodeDouble(const QString &key) const
{
    return number(key).toDouble();
}

QPointF KeyedObjectDecoder::decodePoint(const QString &key) const
{
    return pointFromString(decodeObject(key).toString());
}

QSizeF KeyedObjectDecoder::decodeSize(const QString &key) const
{
    return sizeFromString(decodeObject(key).toString());
}

QRectF KeyedObjectDecoder::decodeRect(const QString &key) const
{
    return rectFromString(decodeObject(key).toString());
}

QVariant KeyedObjectDecoder::decodeObject(const QString &key) const
{
    return resolved(m_object.value(key), m_depth + 1);
}

QVariant KeyedObjectDecoder::resolved(const QVariant &value, int depth, const Resolving *resolving) const
{
    if (depth > m_archive->maxDepth)
        return {};
    if (!isUid(value))
        return value; // written inline
    const quint64 index = value.value<PlistUid>().value;
    for (const Resolving *outer = resolving; outer; outer = outer->outer)
        if (outer->index == index)
            return {};
    const QVariant *target = m_archive->object(value);
    if (!target)
        return {};
    if (target->metaType() != QMetaType::fromType<QVariantMap>())
        return *target; // nil is reference 0 alone: a text that reads "$null" is that text

    const Resolving here{index, resolving};
    const QVariantMap object = target->toMap();
    const QStringList classes = m_archive->classesOf(object);
    const QString cls = classes.value(0);
    const auto listOf = [&](const QString &name) {
        QVariantList list;
        for (const QVariant &element : object.value(name).toList()) {
            if (!m_archive->spend())
                break;
            list << resolved(element, depth + 1, &here);
        }
        return list;
    };
    if (cls == QLatin1String("NSColor")) {
        const auto unit = [](double v) { return float(std::clamp(v, 0.0, 1.0)); };
        const QList<double> c = numbersIn(QString::fromLatin1(object.value(QStringLiteral("NSRGB")).toByteArray()), 4);
        if (c.size() >= 3)
            return QColor::fromRgbF(unit(c[0]), unit(c[1]), unit(c[2]), unit(c.size() > 3 ? c[3] : 1.0));
        const QList<double> w = numbersIn(QString::fromLatin1(object.value(QStringLiteral("NSWhite")).toByteArray()), 2);
        if (!w.isEmpty())
            return QColor::fromRgbF(unit(w[0]), unit(w[0]), unit(w[0]), unit(w.size() > 1 ? w[1] : 1.0));
        return {};
    }
    if (cls == QLatin1String("NSFont"))
        return QVariant::fromValue(ArchivedFont{resolved(object.value(QStringLiteral("NSName")), depth + 1, &here).toString(),
                                                object.value(QStringLiteral("NSSize")).toDouble()});
    if (cls == QLatin1String("NSImage")) {
        QByteArray undecoded;
        for (const QVariant &rep : resolved(object.value(QStringLiteral("NSReps")), depth + 1, &here).toList()) {
            const KeyedObjectRef repObject = rep.value<KeyedObjectRef>();
            if (!repObject)
                continue;
            for (const QString &key : {QStringLiteral("NSTIFFRepresentation"), QStringLiteral("NSPNGRepresentation")}) {
                const QByteArray data = repObject->decodeObject(key).toByteArray();
                const QImage image = m_archive->decodedImage(data);
                if (!image.isNull())
                    return image;
                if (undecoded.isEmpty())
                    undecoded = data;
            }
        }
        if (undecoded.isEmpty())
            return {};
        return QVariant::fromValue(UndecodedPicture{
            undecoded, resolved(object.value(QStringLiteral("NSSize")), depth + 1, &here).toString()});
    }
    if (cls == QLatin1String("NSArray") || cls == QLatin1String("NSMutableArray"))
        return listOf(QStringLiteral("NS.objects"));
    if (cls == QLatin1String("NSDictionary") || cls == QLatin1String("NSMutableDictionary")) {
        const QVariantList keys = listOf(QStringLiteral("NS.keys"));
        const QVariantList objects = listOf(QStringLiteral("NS.objects"));
        QVariantMap map;
        for (qsizetype i = 0; i < std::min(keys.size(), objects.size()); ++i)
            map.insert(keys.at(i).toString(), objects.at(i));
        return map;
    }
    if (cls == QLatin1String("NSString") || cls == QLatin1String("NSMutableString"))
        return resolved(object.value(QStringLiteral("NS.string")), depth + 1, &here).toString();
    if (cls == QLatin1String("NSData") || cls == QLatin1String("NSMutableData"))
        return object.value(QStringLiteral("NS.bytes")).toByteArray();
    return QVariant::fromValue(KeyedObjectRef(std::make_shared<KeyedObjectDecoder>(m_archive, object, depth)));
}

QByteArray KeyedArchiver::archivedData(const EncodableObject &root, PropertyListFormat format)
{
    return propertyListData(archivedPropertyList(root), format);
}

QVariant KeyedArchiver::archivedPropertyList(const EncodableObject &root)
{
    Writer writer;
    return writer.finish(QVariant::fromValue(root));
}

QByteArray KeyedArchiver::archivedDataWithRootValue(const QVariant &root, PropertyListFormat format)
{
    Writer writer;
    return propertyListData(writer.finish(root), format);
}

KeyedObjectRef KeyedUnarchiver::rootObject(const QByteArray &data, QString *error, const KeyedArchiveLimits &limits)
{
    const std::optional<QVariant> list = propertyListFromData(data, error);
    return list ? rootObjectOfPropertyList(*list, error, limits) : nullptr;
}

namespace {

// The object table and the $top dictionary of a keyed archive; nothing for any other property list.
struct OpenedArchive {
    std::shared_ptr<KeyedObjectDecoder::Archive> table;
    QVariantMap top;
};

std::optional<OpenedArchive> openArchive(const QVariant &archive, QString *error, const KeyedArchiveLimits &limits)
{
    const QVariantMap map = archive.toMap();
    if (archive.metaType() != QMetaType::fromType<QVariantMap>() ||
        map.value(QStringLiteral("$archiver")).toString() != QLatin1String("NSKeyedArchiver")) {
        if (error)
            *error = QStringLiteral("not a keyed archive");
        return std::nullopt;
    }
    auto table = std::make_shared<KeyedObjectDecoder::Archive>(map.value(QStringLiteral("$objects")).toList(), limits);
    return OpenedArchive{std::move(table), map.value(QStringLiteral("$top")).toMap()};
}

} // namespace

std::optional<QVariant> KeyedUnarchiver::rootValue(const QByteArray &data, QString *error,
                                                   const KeyedArchiveLimits &limits)
{
    const std::optional<QVariant> list = propertyListFromData(data, error);
    if (!list)
        return std::nullopt;
    std::optional<OpenedArchive> opened = openArchive(*list, error, limits);
    if (!opened)
        return std::nullopt;
    // The top dictionary reads like an object whose one field is the root.
    const KeyedObjectDecoder holder(std::move(opened->table), opened->top, 0);
    return holder.decodeObject(QStringLiteral("root"));
}

KeyedObjectRef KeyedUnarchiver::rootObjectOfPropertyList(const QVariant &archive, QString *error,
                                                         const KeyedArchiveLimits &limits)
{
    std::optional<OpenedArchive> opened = openArchive(archive, error, limits);
    if (!opened)
        return nullptr;
    const QVariant *root = opened->table->object(opened->top.value(QStringLiteral("root")));
    if (!root || root->metaType() != QMetaType::fromType<QVariantMap>()) {
        if (error)
            *error = QStringLiteral("the keyed archive has no root object");
        return nullptr;
    }
    const QVariantMap rootObject = root->toMap();
    return std::make_shared<KeyedObjectDecoder>(std::move(opened->table), rootObject, 0);
}

QString stringFromPoint(const QPointF &point)
{
    return QStringLiteral("{%1, %2}").arg(numberText(point.x()), numberText(point.y()));
}

QString stringFromSize(const QSizeF &size)
{
    return QStringLiteral("{%1, %2}").arg(numberText(size.width()), numberText(size.height()));
}

QString stringFromRect(const QRectF &rect)
{
    return QStringLiteral("{%1, %2}").arg(stringFromPoint(rect.topLeft()), stringFromSize(rect.size()));
}

QPointF pointFromString(const QString &text)
{
    const QList<double> n = numbersIn(text, 2);
    return n.size() == 2 ? QPointF(n[0], n[1]) : QPointF();
}

QSizeF sizeFromString(const QString &text)
{
    const QList<double> n = numbersIn(text, 2);
    return n.size() == 2 ? QSizeF(n[0], n[1]) : QSizeF(0, 0);
}

QRectF rectFromString(const QString &text)
{
    const QList<double> n = numbersIn(text, 4);
    return n.size() == 4 ? QRectF(n[0], n[1], n[2], n[3]) : QRectF(0, 0, 0, 0);
}

} // namespace platform
