#include "platform/KeyedArchiver.h"

#include <QBuffer>
#include <QHash>
#include <QMutex>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <atomic>

namespace platform {

namespace {

const QString kNull = QStringLiteral("$null");
const QString kClass = QStringLiteral("$class");

QVariant uid(quint64 value)
{
    return QVariant::fromValue(PlistUid{value});
}

// Whether two pictures give the same PNG bytes: the same pixels and what the file carries besides.
bool samePngPicture(const QImage &a, const QImage &b)
{
    if (a.cacheKey() == b.cacheKey())
        return true;
    // One list of keys: each call gives a list of its own, and iterators of two do not meet.
    const QStringList keys = a.textKeys();
    return a.format() == b.format() && a.size() == b.size() && a.dotsPerMeterX() == b.dotsPerMeterX() &&
           a.dotsPerMeterY() == b.dotsPerMeterY() && a.colorSpace() == b.colorSpace() && keys == b.textKeys() &&
           std::all_of(keys.cbegin(), keys.cend(), [&](const QString &k) { return a.text(k) == b.text(k); }) && a == b;
}

// A picture as PNG bytes. Saving a design again writes the same pictures, often as copies of them,
// so the bytes are kept by the pictures' contents instead of compressed at every save. Archives
// are made on several threads at once.
QByteArray pngBytes(const QImage &image)
{
    struct Kept {
        QImage picture;
        QByteArray png;
    };
    static QMutex lock;
    static QMultiHash<size_t, Kept> kept;
    static qsizetype keptBytes = 0;
    constexpr qsizetype kMostKeptBytes = 32 * 1024 * 1024;
    const size_t hash = qHashBits(image.constBits(), size_t(image.sizeInBytes()), size_t(image.width()));
    {
        const QMutexLocker locked(&lock);
        for (auto it = kept.constFind(hash); it != kept.constEnd() && it.key() == hash; ++it)
            if (samePngPicture(it->picture, image))
                return it->png;
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return {};
    const qsizetype bytes = image.sizeInBytes() + png.size();
    const QMutexLocker locked(&lock);
    if (keptBytes + bytes > kMostKeptBytes) {
        kept.clear();
        keptBytes = 0;
    }
    if (bytes <= kMostKeptBytes) {
        kept.insert(hash, {image, png});
        keptBytes += bytes;
    }
    return png;
}

QString numberText(double value)
{
    return QString::number(value, 'g', 17);
}

struct Field;

// An object of an archive's table, or a field of one of its objects, as the property list holds it.
struct Item {
    enum Kind : quint8 { Bool, Int, Real, Text, Data, Uid, Uids, Texts, Fields };
    Kind kind = Text;
    qint64 number = 0; // Bool, Int, Uid
    double real = 0;
    QString text;
    QByteArray data;
    QList<quint64> uids;
    QStringList texts;
    std::vector<Field> fields;

    // Made once Field is complete: clang instantiates the list's destructor where they stand.
    static Item of(Kind kind, qint64 number);
    static Item ofReal(double real);
    static Item ofText(const QString &text);
    static Item ofData(const QByteArray &data);
    static Item ofUids(QList<quint64> uids);
};

struct Field {
    QString key;
    Item value;
};

Item Item::of(Kind kind, qint64 number)
{
    Item item;
    item.kind = kind;
    item.number = number;
    return item;
}

Item Item::ofReal(double real)
{
    Item item;
    item.kind = Real;
    item.real = real;
    return item;
}

Item Item::ofText(const QString &text)
{
    Item item;
    item.text = text;
    return item;
}

Item Item::ofData(const QByteArray &data)
{
    Item item;
    item.kind = Data;
    item.data = data;
    return item;
}

Item Item::ofUids(QList<quint64> uids)
{
    Item item;
    item.kind = Uids;
    item.uids = std::move(uids);
    return item;
}

// Texts and where they were put. An archive holds few, so they are looked up one by one until
// there are many.
class TextIndex {
public:
    const quint64 *find(const QString &text) const
    {
        if (!m_many.isEmpty()) {
            const auto it = m_many.constFind(text);
            return it == m_many.constEnd() ? nullptr : &*it;
        }
        for (const auto &[known, index] : m_few)
            if (known.size() == text.size() && known == text)
                return &index;
        return nullptr;
    }
    void insert(const QString &text, quint64 index)
    {
        if (m_few.size() < 32) {
            m_few.emplace_back(text, index);
            return;
        }
        if (m_many.isEmpty())
            for (const auto &[known, at] : m_few)
                m_many.insert(known, at);
        m_many.insert(text, index);
    }

private:
    std::vector<std::pair<QString, quint64>> m_few;
    QHash<QString, quint64> m_many;
};

// Builds the object table of one archive, and writes it as the property list of the keyed-archive
// layout: as a tree of values, or straight to the binary form, object for object what the tree
// would give, without making the tree.
class Writer final : public KeyedEncoder {
public:
    Writer() { m_objects.push_back(Item::ofText(kNull)); }

    void finish(const QVariant &root) { m_root = add(root); }

    QVariant propertyList() const
    {
        QVariantList objects;
        objects.reserve(qsizetype(m_objects.size()));
        for (const Item &object : m_objects)
            objects << variant(object);
        QVariantMap archive;
        archive.insert(QStringLiteral("$archiver"), QStringLiteral("NSKeyedArchiver"));
        archive.insert(QStringLiteral("$version"), 100000);
        archive.insert(QStringLiteral("$top"), QVariantMap{{QStringLiteral("root"), uid(m_root)}});
        archive.insert(QStringLiteral("$objects"), objects);
        return archive;
    }

    // The root dictionary's keys in their sorted order, each followed by its value.
    QByteArray binary() const
    {
        BinaryPropertyListBuilder out;
        const quint64 root = out.reserve();
        quint64 refs[8];
        refs[0] = out.text(QStringLiteral("$archiver"));
        refs[4] = out.text(QStringLiteral("NSKeyedArchiver"));
        refs[1] = out.text(QStringLiteral("$objects"));
        refs[5] = out.reserve();
        std::vector<quint64> objects;
        objects.reserve(m_objects.size());
        for (const Item &object : m_objects)
            objects.push_back(write(out, object));
        out.setArray(refs[5], objects.data(), qsizetype(objects.size()));
        refs[2] = out.text(QStringLiteral("$top"));
        refs[6] = out.reserve();
        const quint64 top[2] = {out.text(QStringLiteral("root")), out.uid(m_root)};
        out.setDictionary(refs[6], top, 1);
        refs[3] = out.text(QStringLiteral("$version"));
        refs[7] = out.integer(100000);
        out.setDictionary(root, refs, 4);
        return out.bytes();
    }

    void encodeBool(const QString &key, bool value) override { put(key, Item::of(Item::Bool, value)); }
    void encodeInt(const QString &key, int value) override { put(key, Item::of(Item::Int, value)); }
    void encodeFloat(const QString &key, float value) override { put(key, Item::ofReal(double(value))); }
    void encodeDouble(const QString &key, double value) override { put(key, Item::ofReal(value)); }
    void encodeObject(const QString &key, const QVariant &value) override
    {
        // A nil object is the null reference ($null, UID 0), as the desktop's archiver writes it, so
        // that it reads back as nil while a key truly absent can take a default.
        put(key, Item::of(Item::Uid, qint64(add(value))));
    }
    void encodePoint(const QString &key, const QPointF &value) override { put(key, Item::ofText(stringFromPoint(value))); }
    void encodeSize(const QString &key, const QSizeF &value) override { put(key, Item::ofText(stringFromSize(value))); }
    void encodeRect(const QString &key, const QRectF &value) override { put(key, Item::ofText(stringFromRect(value))); }

private:
    // A field written again replaces the first (the table keeps what the first one added).
    void put(const QString &key, Item value) { m_current->push_back({key, std::move(value)}); }

    // The fields as a dictionary holds them: in key order, the last of a key written twice.
    static std::vector<const Field *> sorted(const std::vector<Field> &fields)
    {
        std::vector<const Field *> order;
        order.reserve(fields.size());
        // An object of a kind writes the same keys in the same order every time, each the same
        // text in memory: their order is worked out once per thread. The cache keeps the keys, so a
        // text it knows cannot be freed and its memory taken by another.
        struct Known {
            QStringList keys;
            std::vector<quint32> order;
        };
        thread_local std::vector<Known> known;
        const auto same = [&](const Known &k) {
            if (qsizetype(fields.size()) != k.keys.size())
                return false;
            for (size_t i = 0; i < fields.size(); ++i)
                if (fields[i].key.constData() != k.keys[qsizetype(i)].constData() ||
                    fields[i].key.size() != k.keys[qsizetype(i)].size())
                    return false;
            return true;
        };
        const bool worthKeeping = fields.size() > 16;
        if (worthKeeping)
            for (const Known &k : known)
                if (same(k)) {
                    for (const quint32 i : k.order)
                        order.push_back(&fields[i]);
                    return order;
                }
        for (const Field &field : fields)
            order.push_back(&field);
        std::stable_sort(order.begin(), order.end(), [](const Field *a, const Field *b) { return a->key < b->key; });
        const auto last = std::unique(order.rbegin(), order.rend(),
                                      [](const Field *a, const Field *b) { return a->key == b->key; });
        order.erase(order.begin(), last.base());
        if (worthKeeping) {
            Known k;
            for (const Field &field : fields)
                k.keys << field.key;
            for (const Field *field : order)
                k.order.push_back(quint32(field - fields.data()));
            if (known.size() >= 8)
                known.erase(known.begin());
            known.push_back(std::move(k));
        }
        return order;
    }

    static QVariant variant(const Item &item)
    {
        switch (item.kind) {
        case Item::Bool:
            return bool(item.number);
        case Item::Int:
            return item.number;
        case Item::Real:
            return item.real;
        case Item::Text:
            return item.text;
        case Item::Data:
            return item.data;
        case Item::Uid:
            return uid(quint64(item.number));
        case Item::Uids: {
            QVariantList refs;
            for (const quint64 ref : item.uids)
                refs << uid(ref);
            return refs;
        }
        case Item::Texts:
            return item.texts;
        case Item::Fields:
            break;
        }
        QVariantMap map;
        for (const Field &field : item.fields)
            map.insert(field.key, variant(field.value));
        return map;
    }

    static quint64 write(BinaryPropertyListBuilder &out, const Item &item)
    {
        switch (item.kind) {
        case Item::Bool:
            return out.boolean(item.number);
        case Item::Int:
            return out.integer(item.number);
        case Item::Real:
            return out.real(item.real);
        case Item::Text:
            return out.text(item.text);
        case Item::Data:
            return out.data(item.data);
        case Item::Uid:
            return out.uid(quint64(item.number));
        case Item::Uids:
        case Item::Texts: {
            const quint64 index = out.reserve();
            std::vector<quint64> refs;
            if (item.kind == Item::Uids)
                for (const quint64 ref : item.uids)
                    refs.push_back(out.uid(ref));
            else
                for (const QString &text : item.texts)
                    refs.push_back(out.text(text));
            out.setArray(index, refs.data(), qsizetype(refs.size()));
            return index;
        }
        case Item::Fields:
            break;
        }
        const quint64 index = out.reserve();
        const std::vector<const Field *> fields = sorted(item.fields);
        const size_t n = fields.size();
        std::vector<quint64> refs(n * 2);
        for (size_t i = 0; i < n; ++i) {
            refs[i] = out.text(fields[i]->key);
            refs[n + i] = write(out, fields[i]->value);
        }
        out.setDictionary(index, refs.data(), qsizetype(n));
        return index;
    }

    quint64 add(const QVariant &value)
    {
        if (!value.isValid())
            return 0;
        const QMetaType type = value.metaType();
        if (type == QMetaType::fromType<QString>()) {
            const QString text = value.toString();
            if (const quint64 *known = m_strings.find(text))
                return *known;
            const quint64 index = append(Item::ofText(text));
            m_strings.insert(text, index);
            return index;
        }
        if (type == QMetaType::fromType<QByteArray>())
            return append(Item::ofData(value.toByteArray()));
        if (type == QMetaType::fromType<bool>())
            return append(Item::of(Item::Bool, value.toBool()));
        if (type == QMetaType::fromType<double>() || type == QMetaType::fromType<float>())
            return append(Item::ofReal(value.toDouble()));
        if (type == QMetaType::fromType<int>() || type == QMetaType::fromType<qint64>() ||
            type == QMetaType::fromType<uint>())
            return append(Item::of(Item::Int, value.toLongLong()));
        if (type == QMetaType::fromType<QColor>())
            return addColor(value.value<QColor>());
        if (type == QMetaType::fromType<ArchivedFont>()) {
            const ArchivedFont font = value.value<ArchivedFont>();
            std::vector<Field> object{{QStringLiteral("NSName"), Item::of(Item::Uid, qint64(add(font.name)))},
                                      {QStringLiteral("NSSize"), Item::ofReal(font.size)},
                                      {QStringLiteral("NSfFlags"), Item::of(Item::Int, 16)}};
            return addObject(std::move(object), {QStringLiteral("NSFont"), QStringLiteral("NSObject")});
        }
        if (type == QMetaType::fromType<QImage>())
            return addImage(value.value<QImage>());
        if (type == QMetaType::fromType<EncodedPicture>()) {
            const EncodedPicture picture = value.value<EncodedPicture>();
            return picture.data.isEmpty() ? 0 : addPictureData(picture.data, pointsOf(picture.picture));
        }
        if (type == QMetaType::fromType<UndecodedPicture>()) {
            const UndecodedPicture picture = value.value<UndecodedPicture>();
            return picture.data.isEmpty() ? 0 : addPictureData(picture.data, picture.size);
        }
        if (type == QMetaType::fromType<QVariantList>() || type == QMetaType::fromType<QStringList>()) {
            QList<quint64> refs;
            for (const QVariant &element : value.toList())
                refs << add(element);
            return addObject({{QStringLiteral("NS.objects"), Item::ofUids(std::move(refs))}},
                             {QStringLiteral("NSArray"), QStringLiteral("NSObject")});
        }
        if (type == QMetaType::fromType<QVariantMap>()) {
            const QVariantMap map = value.toMap();
            QList<quint64> keys, objects;
            for (auto it = map.cbegin(); it != map.cend(); ++it) {
                keys << add(it.key());
                objects << add(it.value());
            }
            return addObject({{QStringLiteral("NS.keys"), Item::ofUids(std::move(keys))},
                              {QStringLiteral("NS.objects"), Item::ofUids(std::move(objects))}},
                             {QStringLiteral("NSDictionary"), QStringLiteral("NSObject")});
        }
        if (type == QMetaType::fromType<EncodableObject>()) {
            const EncodableObject object = value.value<EncodableObject>();
            // Reserve the slot first, so that the root keeps index 1 as archives expect.
            const quint64 index = append(Item());
            std::vector<Field> fields;
            fields.reserve(128);
            std::vector<Field> *outer = m_current;
            m_current = &fields;
            if (object.encodeFields)
                object.encodeFields(*this);
            m_current = outer;
            fields.push_back({kClass, Item::of(Item::Uid, qint64(classRef(object.classes)))});
            Item &slot = m_objects[size_t(index)];
            slot.kind = Item::Fields;
            slot.fields = std::move(fields);
            return index;
        }
        // Anything else has no archived form; it is left out rather than written wrongly.
        return 0;
    }

    quint64 addColor(const QColor &color)
    {
        if (!color.isValid())
            return 0;
        return addObject({{QStringLiteral("NSColorSpace"), Item::of(Item::Int, 1)},
                          {QStringLiteral("NSRGB"), Item::ofData(componentBytes(color))}},
                         {QStringLiteral("NSColor"), QStringLiteral("NSObject")});
    }

    // A colour's components as archives write them. The same few colours come again and again, so
    // each thread keeps the last ones it wrote; a copy of its own goes in each archive, as data
    // shared in memory would be written once.
    static QByteArray componentBytes(const QColor &color)
    {
        const QColor rgb = color.toRgb(); // its components are 16-bit numbers: they decide the text
        const quint64 key = quint64(rgb.rgba64());
        struct Known {
            quint64 key;
            QByteArray bytes;
        };
        thread_local std::array<Known, 16> known{};
        thread_local size_t next = 0;
        for (const Known &k : known)
            if (k.key == key && !k.bytes.isEmpty())
                return QByteArray(k.bytes.constData(), k.bytes.size());
        const QString components = QStringLiteral("%1 %2 %3 %4")
                                       .arg(numberText(rgb.redF()), numberText(rgb.greenF()), numberText(rgb.blueF()),
                                            numberText(rgb.alphaF()));
        QByteArray bytes = components.toLatin1();
        bytes.append('\0');
        known[next] = {key, bytes};
        next = (next + 1) % known.size();
        return QByteArray(bytes.constData(), bytes.size());
    }

    quint64 addImage(const QImage &image)
    {
        if (image.isNull())
            return 0;
        const QByteArray png = pngBytes(image);
        if (png.isEmpty())
            return 0;
        return addPictureData(png, pointsOf(image));
    }

    // A picture's size in points, as archives record it.
    static QString pointsOf(const QImage &image)
    {
        const QSizeF points = image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0
                                  ? QSizeF(image.width() * 72.0 / (image.dotsPerMeterX() * 0.0254),
                                           image.height() * 72.0 / (image.dotsPerMeterY() * 0.0254))
                                  : QSizeF(image.size());
        return stringFromSize(points);
    }

    quint64 addPictureData(const QByteArray &data, const QString &size)
    {
        const quint64 rep = addObject({{QStringLiteral("NSTIFFRepresentation"), Item::ofData(data)}},
                                      {QStringLiteral("NSBitmapImageRep"), QStringLiteral("NSImageRep"),
                                       QStringLiteral("NSObject")});
        const quint64 reps = addObject({{QStringLiteral("NS.objects"), Item::ofUids({rep})}},
                                       {QStringLiteral("NSMutableArray"), QStringLiteral("NSArray"),
                                        QStringLiteral("NSObject")});
        return addObject({{QStringLiteral("NSReps"), Item::of(Item::Uid, qint64(reps))},
                          {QStringLiteral("NSSize"), Item::ofText(size)}},
                         {QStringLiteral("NSImage"), QStringLiteral("NSObject")});
    }

    quint64 addObject(std::vector<Field> fields, const QStringList &classes)
    {
        fields.push_back({kClass, Item::of(Item::Uid, qint64(classRef(classes)))});
        Item object;
        object.kind = Item::Fields;
        object.fields = std::move(fields);
        return append(std::move(object));
    }

    quint64 classRef(const QStringList &classes)
    {
        const QString name = classes.value(0);
        if (const quint64 *known = m_classes.find(name))
            return *known;
        Item names, object;
        names.kind = Item::Texts;
        names.texts = classes;
        object.kind = Item::Fields;
        object.fields = {{QStringLiteral("$classname"), Item::ofText(name)}, {QStringLiteral("$classes"), std::move(names)}};
        const quint64 index = append(std::move(object));
        m_classes.insert(name, index);
        return index;
    }

    quint64 append(Item object)
    {
        m_objects.push_back(std::move(object));
        return quint64(m_objects.size() - 1);
    }

    std::vector<Item> m_objects;
    TextIndex m_strings;
    TextIndex m_classes;
    quint64 m_root = 0;
    std::vector<Field> m_rootFields;
    std::vector<Field> *m_current = &m_rootFields;
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

// The object table shared by every decoder of one archive, with the budgets of its limits: the
// archive's property list read in place, and its objects by index.
struct KeyedObjectDecoder::Archive {
    using Kind = BinaryPropertyList::Kind;
    static constexpr quint64 kNone = ~quint64(0);

    Archive(BinaryPropertyList list, quint64 objects, const KeyedArchiveLimits &limits)
        : list(std::move(list)), objects(objects), maxDepth(limits.maxDepth), budget(limits.objectReads),
          imagePixels(limits.imagePixels), sharedImagePixels(limits.sharedImagePixels)
    {
    }

    BinaryPropertyList list;
    quint64 objects; // the array of objects, or kNone
    int maxDepth;
    mutable std::atomic<qint64> budget;
    mutable std::atomic<qint64> imagePixels;
    std::shared_ptr<std::atomic<qint64>> sharedImagePixels;

    qsizetype objectCount() const { return objects == kNone ? 0 : qsizetype(list.count(objects)); }

    // The value of a key of a dictionary, or kNone; the last of a key written twice.
    quint64 field(quint64 dictionary, QStringView key) const
    {
        if (dictionary == kNone)
            return kNone;
        const quint64 n = list.count(dictionary);
        for (quint64 i = n; i-- > 0;)
            if (list.compareText(list.key(dictionary, i), key) == 0)
                return list.value(dictionary, i);
        return kNone;
    }

    // Whether a dictionary's keys are in ascending order, each once, as archives are written.
    bool ordered(quint64 dictionary) const
    {
        if (dictionary == kNone)
            return false;
        for (quint64 i = 1, n = list.count(dictionary); i < n; ++i)
            if (list.compareTexts(list.key(dictionary, i - 1), list.key(dictionary, i)) >= 0)
                return false;
        return true;
    }

    // field() of an ordered dictionary.
    quint64 orderedField(quint64 dictionary, QStringView key) const
    {
        quint64 low = 0, high = list.count(dictionary);
        while (low < high) {
            const quint64 middle = low + (high - low) / 2;
            const int order = list.compareText(list.key(dictionary, middle), key);
            if (order == 0)
                return list.value(dictionary, middle);
            if (order < 0)
                low = middle + 1;
            else
                high = middle;
        }
        return kNone;
    }

    QVariant variant(quint64 ref) const { return ref == kNone ? QVariant() : list.variant(ref); }
    bool isDictionary(quint64 ref) const { return ref != kNone && list.kind(ref) == Kind::Dictionary; }

    // A picture, while the pictures stay within their pixel budgets: a small, highly compressed
    // picture may decode to an enormous one, and may be listed many times. Its size is read before
    // it is decoded, and a picture that does not fit is not decoded at all.
    QImage decodedImage(const QByteArray &bytes) const
    {
        if (bytes.isEmpty())
            return {};
        PictureReading how;
        how.spend = [this](qint64 pixels) { return spendPixels(pixels); };
        return readPicture(bytes, how);
    }

    bool spendPixels(qint64 pixels) const
    {
        if (pixels < 0) { // given back by a picture that could not be decoded
            imagePixels.fetch_sub(pixels);
            if (sharedImagePixels)
                sharedImagePixels->fetch_sub(pixels);
            return true;
        }
        if (imagePixels.fetch_sub(pixels) < pixels)
            return false;
        return !sharedImagePixels || sharedImagePixels->fetch_sub(pixels) >= pixels;
    }

    // The object a reference names, or kNone.
    quint64 object(quint64 ref) const
    {
        if (ref == kNone || list.kind(ref) != Kind::Uid)
            return kNone;
        const quint64 index = list.bits(ref);
        if (index == 0 || index >= quint64(objectCount()))
            return kNone;
        if (!spend())
            return kNone;
        return list.element(objects, index);
    }

    // Every object resolved and every element of a list visited costs one read, so that the work
    // of reading an archive stays in proportion to its size whatever refers to what.
    bool spend() const { return budget.fetch_sub(1) > 0; }

    QStringList classesOf(quint64 object) const
    {
        const quint64 cls = this->object(field(object, kClass));
        if (!isDictionary(cls))
            return {};
        QStringList classes;
        const quint64 names = field(cls, u"$classes");
        if (names != kNone && list.kind(names) == Kind::Array)
            for (quint64 i = 0; i < list.count(names); ++i)
                if (const quint64 name = list.element(names, i); list.kind(name) == Kind::Text)
                    classes << list.text(name);
        const QString name = variant(field(cls, u"$classname")).toString();
        if (classes.isEmpty() && !name.isEmpty())
            classes << name;
        return classes;
    }
};

KeyedObjectDecoder::KeyedObjectDecoder(std::shared_ptr<const Archive> archive, quint64 object, int depth)
    : m_archive(std::move(archive)), m_object(object), m_depth(depth)
{
    m_classes = m_archive->classesOf(m_object);
    m_ordered = m_archive->ordered(m_object);
}

quint64 KeyedObjectDecoder::field(const QString &key) const
{
    // Fields are read one after another, each asked for whether it is there and then read.
    if (m_looked && ((m_lastKey.constData() == key.constData() && m_lastKey.size() == key.size()) || m_lastKey == key))
        return m_lastField;
    m_looked = true;
    m_lastKey = key;
    m_lastField = m_ordered ? m_archive->orderedField(m_object, key) : m_archive->field(m_object, key);
    return m_lastField;
}

bool KeyedObjectDecoder::containsValueForKey(const QString &key) const
{
    return field(key) != Archive::kNone;
}

QVariant KeyedObjectDecoder::number(const QString &key) const
{
    using Kind = BinaryPropertyList::Kind;
    quint64 value = field(key);
    if (value != Archive::kNone && m_archive->list.kind(value) == Kind::Uid)
        value = m_archive->object(value);
    if (value == Archive::kNone)
        return 0;
    const BinaryPropertyList &list = m_archive->list;
    switch (list.kind(value)) {
    case Kind::Boolean:
        return list.bits(value) != 0;
    case Kind::Integer:
        return qint64(list.bits(value));
    case Kind::Real:
        return list.real(value);
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
    return resolved(field(key), m_depth + 1);
}

QVariant KeyedObjectDecoder::resolved(quint64 value, int depth, const Resolving *resolving) const
{
    using Kind = BinaryPropertyList::Kind;
    const Archive &archive = *m_archive;
    const BinaryPropertyList &list = archive.list;
    if (depth > archive.maxDepth)
        return {};
    if (value == Archive::kNone || list.kind(value) != Kind::Uid)
        return archive.variant(value); // written inline
    const quint64 index = list.bits(value);
    for (const Resolving *outer = resolving; outer; outer = outer->outer)
        if (outer->index == index)
            return {};
    const quint64 object = archive.object(value);
    if (object == Archive::kNone)
        return {};
    if (list.kind(object) != Kind::Dictionary) {
        // nil is reference 0 alone: a text that reads "$null" is that text
        if (list.kind(object) == Kind::Text)
            return list.text(object);
        return archive.variant(object);
    }

    const Resolving here{index, resolving};
    const QStringList classes = archive.classesOf(object);
    const QString cls = classes.value(0);
    const auto fieldOf = [&](QStringView name) { return archive.field(object, name); };
    const auto listOf = [&](QStringView name) {
        QVariantList elements;
        const quint64 refs = fieldOf(name);
        if (refs != Archive::kNone && list.kind(refs) == Kind::Array) {
            for (quint64 i = 0; i < list.count(refs); ++i) {
                if (!archive.spend())
                    break;
                elements << resolved(list.element(refs, i), depth + 1, &here);
            }
            return elements;
        }
        // Whatever else converts to a list holds no references.
        for (const QVariant &element : archive.variant(refs).toList()) {
            if (!archive.spend())
                break;
            elements << (depth + 1 > archive.maxDepth ? QVariant() : element);
        }
        return elements;
    };
    if (cls == QLatin1String("NSColor")) {
        const auto unit = [](double v) { return float(std::clamp(v, 0.0, 1.0)); };
        const QList<double> c = numbersIn(QString::fromLatin1(archive.variant(fieldOf(u"NSRGB")).toByteArray()), 4);
        if (c.size() >= 3)
            return QColor::fromRgbF(unit(c[0]), unit(c[1]), unit(c[2]), unit(c.size() > 3 ? c[3] : 1.0));
        const QList<double> w = numbersIn(QString::fromLatin1(archive.variant(fieldOf(u"NSWhite")).toByteArray()), 2);
        if (!w.isEmpty())
            return QColor::fromRgbF(unit(w[0]), unit(w[0]), unit(w[0]), unit(w.size() > 1 ? w[1] : 1.0));
        return {};
    }
    if (cls == QLatin1String("NSFont"))
        return QVariant::fromValue(ArchivedFont{resolved(fieldOf(u"NSName"), depth + 1, &here).toString(),
                                                archive.variant(fieldOf(u"NSSize")).toDouble()});
    if (cls == QLatin1String("NSImage")) {
        QByteArray undecoded;
        for (const QVariant &rep : resolved(fieldOf(u"NSReps"), depth + 1, &here).toList()) {
            const KeyedObjectRef repObject = rep.value<KeyedObjectRef>();
            if (!repObject)
                continue;
            for (const QString &key : {QStringLiteral("NSTIFFRepresentation"), QStringLiteral("NSPNGRepresentation")}) {
                const QByteArray data = repObject->decodeObject(key).toByteArray();
                const QImage image = archive.decodedImage(data);
                if (!image.isNull())
                    return image;
                if (undecoded.isEmpty())
                    undecoded = data;
            }
        }
        if (undecoded.isEmpty())
            return {};
        return QVariant::fromValue(UndecodedPicture{undecoded, resolved(fieldOf(u"NSSize"), depth + 1, &here).toString()});
    }
    if (cls == QLatin1String("NSArray") || cls == QLatin1String("NSMutableArray"))
        return listOf(u"NS.objects");
    if (cls == QLatin1String("NSDictionary") || cls == QLatin1String("NSMutableDictionary")) {
        const QVariantList keys = listOf(u"NS.keys");
        const QVariantList objects = listOf(u"NS.objects");
        QVariantMap map;
        for (qsizetype i = 0; i < std::min(keys.size(), objects.size()); ++i)
            map.insert(keys.at(i).toString(), objects.at(i));
        return map;
    }
    if (cls == QLatin1String("NSString") || cls == QLatin1String("NSMutableString"))
        return resolved(fieldOf(u"NS.string"), depth + 1, &here).toString();
    if (cls == QLatin1String("NSData") || cls == QLatin1String("NSMutableData"))
        return archive.variant(fieldOf(u"NS.bytes")).toByteArray();
    return QVariant::fromValue(KeyedObjectRef(std::make_shared<KeyedObjectDecoder>(m_archive, object, depth)));
}

namespace {

// The object table and the $top dictionary of a keyed archive; nothing for any other property list.
struct OpenedArchive {
    std::shared_ptr<KeyedObjectDecoder::Archive> table;
    quint64 top;
};

std::optional<OpenedArchive> openArchive(BinaryPropertyList list, QString *error, const KeyedArchiveLimits &limits)
{
    using Archive = KeyedObjectDecoder::Archive;
    const quint64 root = list.top();
    const auto fieldOf = [&](QStringView key) {
        if (list.kind(root) != BinaryPropertyList::Kind::Dictionary)
            return Archive::kNone;
        for (quint64 i = list.count(root); i-- > 0;)
            if (list.compareText(list.key(root, i), key) == 0)
                return list.value(root, i);
        return Archive::kNone;
    };
    const quint64 archiver = fieldOf(u"$archiver");
    if (list.kind(root) != BinaryPropertyList::Kind::Dictionary || archiver == Archive::kNone ||
        list.variant(archiver).toString() != QLatin1String("NSKeyedArchiver")) {
        if (error)
            *error = QStringLiteral("not a keyed archive");
        return std::nullopt;
    }
    quint64 objects = fieldOf(u"$objects");
    if (objects != Archive::kNone && list.kind(objects) != BinaryPropertyList::Kind::Array)
        objects = Archive::kNone;
    quint64 top = fieldOf(u"$top");
    if (top != Archive::kNone && list.kind(top) != BinaryPropertyList::Kind::Dictionary)
        top = Archive::kNone;
    auto table = std::make_shared<Archive>(std::move(list), objects, limits);
    return OpenedArchive{std::move(table), top};
}

// Binary data is read in place; XML (rare: archives are written binary) is read and put in the
// binary form first, so that one reader reads both.
std::optional<BinaryPropertyList> binaryList(const QByteArray &data, QString *error)
{
    if (data.startsWith("bplist"))
        return BinaryPropertyList::read(data, error);
    const std::optional<QVariant> list = propertyListFromData(data, error);
    if (!list)
        return std::nullopt;
    return BinaryPropertyList::read(propertyListData(*list, PropertyListFormat::Binary), error);
}

} // namespace

QByteArray KeyedArchiver::archivedData(const EncodableObject &root, PropertyListFormat format)
{
    return archivedDataWithRootValue(QVariant::fromValue(root), format);
}

QVariant KeyedArchiver::archivedPropertyList(const EncodableObject &root)
{
    Writer writer;
    writer.finish(QVariant::fromValue(root));
    return writer.propertyList();
}

QByteArray KeyedArchiver::archivedDataWithRootValue(const QVariant &root, PropertyListFormat format)
{
    Writer writer;
    writer.finish(root);
    return format == PropertyListFormat::Binary ? writer.binary() : propertyListData(writer.propertyList(), format);
}

KeyedObjectRef KeyedUnarchiver::rootObject(const QByteArray &data, QString *error, const KeyedArchiveLimits &limits)
{
    std::optional<BinaryPropertyList> list = binaryList(data, error);
    if (!list)
        return nullptr;
    std::optional<OpenedArchive> opened = openArchive(std::move(*list), error, limits);
    if (!opened)
        return nullptr;
    const quint64 root = opened->table->object(opened->table->field(opened->top, u"root"));
    if (!opened->table->isDictionary(root)) {
        if (error)
            *error = QStringLiteral("the keyed archive has no root object");
        return nullptr;
    }
    return std::make_shared<KeyedObjectDecoder>(std::move(opened->table), root, 0);
}

std::optional<QVariant> KeyedUnarchiver::rootValue(const QByteArray &data, QString *error,
                                                   const KeyedArchiveLimits &limits)
{
    std::optional<BinaryPropertyList> list = binaryList(data, error);
    if (!list)
        return std::nullopt;
    std::optional<OpenedArchive> opened = openArchive(std::move(*list), error, limits);
    if (!opened)
        return std::nullopt;
    // The top dictionary reads like an object whose one field is the root.
    const quint64 top = opened->top;
    const KeyedObjectDecoder holder(std::move(opened->table), top, 0);
    return holder.decodeObject(QStringLiteral("root"));
}

QByteArray KeyedUnarchiver::pictureData(const QByteArray &data)
{
    const KeyedObjectRef root = rootObject(data);
    if (!root || root->className() != QLatin1String("NSImage"))
        return {};
    const QVariantList reps = root->decodeObject(QStringLiteral("NSReps")).toList();
    if (reps.size() != 1 || !reps.first().value<KeyedObjectRef>())
        return {};
    const KeyedObjectRef rep = reps.first().value<KeyedObjectRef>();
    const QByteArray tiff = rep->decodeObject(QStringLiteral("NSTIFFRepresentation")).toByteArray();
    const QByteArray png = rep->decodeObject(QStringLiteral("NSPNGRepresentation")).toByteArray();
    return tiff.isEmpty() == png.isEmpty() ? QByteArray() : tiff.isEmpty() ? png : tiff;
}

KeyedObjectRef KeyedUnarchiver::rootObjectOfPropertyList(const QVariant &archive, QString *error,
                                                         const KeyedArchiveLimits &limits)
{
    const QByteArray data = propertyListData(archive, PropertyListFormat::Binary, error);
    if (data.isEmpty())
        return nullptr;
    return rootObject(data, error, limits);
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
