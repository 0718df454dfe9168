#include "platform/KeyedArchiver.h"
#include "platform/PropertyList.h"

#include <QDateTime>
#include "fixtures/HangGuard.h"
#include <QRegularExpression>
#include <plist/plist.h>

#include <cmath>
#include <limits>
#include <random>
#include <gtest/gtest.h>

#include <functional>

using namespace platform;

namespace {

QVariant sampleTree()
{
    return QVariantMap{
        {QStringLiteral("text"), QStringLiteral("Grüße")},
        {QStringLiteral("flag"), true},
        {QStringLiteral("count"), qint64(-5)},
        {QStringLiteral("big"), qint64(1) << 40},
        {QStringLiteral("real"), 2.25},
        {QStringLiteral("data"), QByteArray("\x00\x01\xff", 3)},
        {QStringLiteral("when"), QDateTime(QDate(2024, 2, 29), QTime(12, 30, 1), Qt::UTC)},
        {QStringLiteral("list"), QVariantList{qint64(1), QStringLiteral("two"), QVariant::fromValue(PlistUid{7})}},
    };
}

// A binary property list made by hand from encoded objects, the first being the top one; offsets
// take four bytes and references two.
QByteArray binaryList(const QList<QByteArray> &objects)
{
    const auto bigEndian = [](quint64 value, int bytes) {
        QByteArray out;
        for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
            out += char((value >> shift) & 0xff);
        return out;
    };
    QByteArray data("bplist00");
    QList<quint64> offsets;
    for (const QByteArray &object : objects) {
        offsets << quint64(data.size());
        data += object;
    }
    const quint64 table = quint64(data.size());
    for (quint64 offset : offsets)
        data += bigEndian(offset, 4);
    data += QByteArray(6, '\0') + char(4) + char(2) + bigEndian(quint64(objects.size()), 8) + bigEndian(0, 8)
        + bigEndian(table, 8);
    return data;
}

QByteArray arrayOf(const QList<quint16> &refs)
{
    QByteArray object("\xAF\x12", 2);
    for (int shift = 24; shift >= 0; shift -= 8)
        object += char((refs.size() >> shift) & 0xff);
    for (quint16 ref : refs)
        object += char(ref >> 8) + QByteArray(1, char(ref & 0xff));
    return object;
}

} // namespace

TEST(PropertyList, AnObjectListedManyTimesIsReadOnceAndShared)
{
    // 64 KB of data listed 4000 times: copied per listing it would take 256 MB.
    QByteArray data("\x4F\x12\x00\x01\x00\x00", 6);
    data += QByteArray(65536, 'x');
    const std::optional<QVariant> read = propertyListFromData(binaryList({arrayOf(QList<quint16>(4000, 1)), data}));
    ASSERT_TRUE(read);
    const QVariantList list = read->toList();
    ASSERT_EQ(list.size(), 4000);
    EXPECT_EQ(list.last().toByteArray(), QByteArray(65536, 'x'));
    EXPECT_TRUE(list.first().toByteArray().isSharedWith(list.last().toByteArray()));
}

TEST(PropertyList, ASharedObjectStillCountsItsDepth)
{
    // Object 1 is a chain of 60 nested arrays; the top lists it, then lists a chain of `wrappers`
    // arrays ending in object 1 again, which puts its innermost array at depth 60 + wrappers.
    const auto listWithWrappers = [](quint16 wrappers) {
        QList<QByteArray> objects{arrayOf({1, 61})};
        for (quint16 k = 1; k < 60; ++k)
            objects << arrayOf({quint16(k + 1)});
        objects << arrayOf({});
        for (quint16 k = 61; k < 60 + wrappers; ++k)
            objects << arrayOf({quint16(k + 1)});
        objects << arrayOf({1});
        return binaryList(objects);
    };
    EXPECT_TRUE(propertyListFromData(listWithWrappers(2)));
    QString error;
    EXPECT_FALSE(propertyListFromData(listWithWrappers(10), &error));
    EXPECT_TRUE(error.contains("deep")) << error.toStdString();
}

TEST(PropertyList, ControlCharactersEarlierWritersPutInReadBack)
{
    // Earlier writers put them in as they are (a soft line break pasted from a word processor, a
    // workbook cell), which no XML reader takes: such a list still reads, with the same text.
    const QString text = QStringLiteral("line\x0b" "break \x01\x1f\tend");
    const QByteArray xml = "<plist version=\"1.0\"><dict><key>" + text.toUtf8() + "</key><array><string>" +
                           text.toUtf8() + "</string></array></dict></plist>";
    QString error;
    const std::optional<QVariant> read = propertyListFromData(xml, &error);
    ASSERT_TRUE(read) << error.toStdString();
    EXPECT_EQ(read->toMap().value(text).toList().value(0).toString(), text);
}

// A text comes back as it was, through the program's writer and the library's (a list holding a
// number), as a value and as a key; or the list is not written and the reason names the character.
TEST(PropertyList, TheXmlFormGivesBackEachTextOrRefusesIt)
{
    const QList<std::pair<QString, const char *>> rows{
        {QStringLiteral("12 High St\r\nLeeds\r\t"), nullptr},
        {QStringLiteral("a") + QChar(0) + QStringLiteral("b"), "NUL"},
        {QStringLiteral("soft\x0b" "break"), "U+000B"},
        {QStringLiteral("c") + QChar(0xFFFE), "U+FFFE"},
        {QStringLiteral("d") + QChar(0xD83D), "unpaired surrogate (U+D83D)"},
    };
    for (const auto &[text, refused] : rows)
        for (const QVariant &tree : {QVariant(QVariantList{text}), QVariant(QVariantList{text, qint64(1)}),
                                     QVariant(QVariantMap{{text, QString()}})}) {
            QString error;
            const QByteArray xml = propertyListData(tree, PropertyListFormat::Xml, &error);
            EXPECT_EQ(xml.isEmpty(), refused != nullptr) << error.toStdString();
            EXPECT_TRUE(refused ? error.contains(QLatin1String(refused)) : propertyListFromData(xml) == tree);
        }
}

// Lists written before with U+FFFE and U+FFFF open, with U+FFFD in their place, wherever the bytes
// lie (the reader looks at the text 64 KiB at a time); other characters beginning with the same
// byte stay.
TEST(PropertyList, OldListsWithNonCharactersOpen)
{
    const QByteArray head = "<plist version=\"1.0\"><array><string>";
    const struct {
        qsizetype at; // where the first non-character begins
        QByteArray text;
        QString read;
    } rows[] = {
        {0, "c\xEF\xBF\xBE" "d\xEF\xBF\xBF\x01\xEF\xBC\xA1", QStringLiteral("c\uFFFDd\uFFFD\x01\uFF21")},
        {65534, "\xEF\xBF\xBF", QStringLiteral("\uFFFD")},
        {65535, "\xEF\xBF\xBE", QStringLiteral("\uFFFD")},
        {65536, "\xEF\xBF\xBEz", QStringLiteral("\uFFFDz")},
        {65535, "\xEF\xBF\xBD\xEF\xBC\xA1", QStringLiteral("\uFFFD\uFF21")},
    };
    for (const auto &row : rows) {
        const QByteArray between = "</string><string>";
        const qsizetype padding = std::max<qsizetype>(0, row.at - head.size() - between.size());
        const QByteArray xml = head + QByteArray(padding, 'p') + between + row.text + "</string></array></plist>";
        const QVariantList read = propertyListFromData(xml).value_or(QVariant()).toList();
        EXPECT_EQ(read.value(1).toString(), row.read) << row.at;
    }
}

TEST(PropertyList, BothFormsGiveBackWhatWasWritten)
{
    for (PropertyListFormat format : {PropertyListFormat::Binary, PropertyListFormat::Xml}) {
        const QByteArray data = propertyListData(sampleTree(), format);
        ASSERT_FALSE(data.isEmpty());
        PropertyListFormat read{};
        const std::optional<QVariant> back = propertyListFromData(data, nullptr, &read);
        ASSERT_TRUE(back);
        EXPECT_EQ(read, format);
        const QVariantMap map = back->toMap();
        EXPECT_EQ(map.value("text").toString(), QStringLiteral("Grüße"));
        EXPECT_EQ(map.value("flag"), QVariant(true));
        EXPECT_EQ(map.value("count").toLongLong(), -5);
        EXPECT_EQ(map.value("big").toLongLong(), qint64(1) << 40);
        EXPECT_EQ(map.value("real").toDouble(), 2.25);
        EXPECT_EQ(map.value("data").toByteArray(), QByteArray("\x00\x01\xff", 3));
        EXPECT_EQ(map.value("when").toDateTime(), QDateTime(QDate(2024, 2, 29), QTime(12, 30, 1), Qt::UTC));
        const QVariantList list = map.value("list").toList();
        ASSERT_EQ(list.size(), 3);
        // XML has no UID element: the reader must turn {CF$UID: 7} back into a reference.
        EXPECT_EQ(list.at(2).value<PlistUid>().value, 7u) << (format == PropertyListFormat::Xml ? "xml" : "binary");
    }
    EXPECT_TRUE(propertyListData(sampleTree(), PropertyListFormat::Xml).contains("<plist version=\"1.0\">"));
    EXPECT_TRUE(propertyListData(sampleTree(), PropertyListFormat::Binary).startsWith("bplist00"));
}

TEST(PropertyList, TheBinaryFormReadsTheSameInTheLibraryAndIsTheSameEachTime)
{
    // Sizes that cross the format's thresholds: long texts, lists and data, wide references.
    QVariantList many;
    for (int i = 0; i < 300; ++i)
        many << QStringLiteral("item %1").arg(i % 120) << qint64(i) * 1000003 - 150000000;
    const QVariantMap tree{{"sample", sampleTree()},
                           {"many", many},
                           {"long text", QString(70000, QChar(0x263A))},
                           {"data", QByteArray(70000, '\x5a')},
                           {"huge", quint64(std::numeric_limits<quint64>::max())},
                           {"ref", QVariant::fromValue(PlistUid{70000})}};
    const QByteArray ours = propertyListData(tree, PropertyListFormat::Binary);
    ASSERT_TRUE(ours.startsWith("bplist00"));
    EXPECT_EQ(propertyListData(tree, PropertyListFormat::Binary), ours);

    // The library reads our bytes; its XML and our bytes give the same tree.
    plist_t node = nullptr;
    plist_from_bin(ours.constData(), uint32_t(ours.size()), &node);
    ASSERT_NE(node, nullptr);
    char *xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(node, &xml, &length);
    const QByteArray libraryXml(xml, qsizetype(length));
    plist_to_xml_free(xml);
    plist_free(node);
    const std::optional<QVariant> viaLibrary = propertyListFromData(libraryXml);
    const std::optional<QVariant> direct = propertyListFromData(ours);
    ASSERT_TRUE(viaLibrary && direct);
    EXPECT_EQ(*viaLibrary, *direct);
    EXPECT_EQ(direct->toMap().value("many").toList().value(1).toLongLong(), -150000000);
    EXPECT_EQ(direct->toMap().value("long text").toString().size(), 70000);
}

TEST(PropertyList, RefusesWhatItCannotReadOrWrite)
{
    QString error;
    EXPECT_FALSE(propertyListFromData(QByteArray("hello, world"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(propertyListFromData(QByteArray("bplist00\x01\x02\x03", 11)));
    EXPECT_FALSE(propertyListFromData(QByteArray()));

    // A bit of garbage in every position of a valid list never crashes the reader.
    const QByteArray good = propertyListData(sampleTree(), PropertyListFormat::Binary);
    for (qsizetype i = 0; i < good.size(); ++i) {
        QByteArray bad = good;
        bad[i] = char(bad[i] ^ 0x5a);
        propertyListFromData(bad);
    }
    // Too deep to be a real list.
    QByteArray deep = "<?xml version=\"1.0\"?><plist version=\"1.0\">";
    for (int i = 0; i < 200; ++i)
        deep += "<array>";
    for (int i = 0; i < 200; ++i)
        deep += "</array>";
    deep += "</plist>";
    EXPECT_FALSE(propertyListFromData(deep, &error));

    EXPECT_TRUE(propertyListData(QVariantMap{{"x", QVariant::fromValue(QPointF(1, 2))}}, PropertyListFormat::Binary, &error)
                    .isEmpty());
    EXPECT_TRUE(error.contains("QPointF"));
}

TEST(KeyedArchiver, WritesTheDesktopLayoutAndReadsItBack)
{
    const EncodableObject nested{{QStringLiteral("Inner"), QStringLiteral("NSObject")},
                                 [](KeyedEncoder &coder) { coder.encodeInt(QStringLiteral("depth"), 2); }};
    const EncodableObject root{
        {QStringLiteral("Shape_Control"), QStringLiteral("SKTGraphic"), QStringLiteral("NSObject")},
        [&](KeyedEncoder &coder) {
            coder.encodeRect(QStringLiteral("_bounds"), QRectF(1.5, -2, 30, 40.25));
            coder.encodeBool(QStringLiteral("flag"), true);
            coder.encodeInt(QStringLiteral("count"), -3);
            coder.encodeFloat(QStringLiteral("width"), 0.1f);
            coder.encodeDouble(QStringLiteral("angle"), 45.5);
            coder.encodeObject(QStringLiteral("name"), QStringLiteral("S"));
            coder.encodeObject(QStringLiteral("again"), QStringLiteral("S"));
            coder.encodeObject(QStringLiteral("none"), QVariant());
            coder.encodeObject(QStringLiteral("colour"), QColor::fromRgbF(0.25f, 0.5f, 1.0f, 0.75f));
            coder.encodeObject(QStringLiteral("font"), QVariant::fromValue(ArchivedFont{"Arial-BoldMT", 14}));
            coder.encodeObject(QStringLiteral("list"), QVariantList{QStringLiteral("a"), qint64(2)});
            coder.encodeObject(QStringLiteral("map"), QVariantMap{{"k", QStringLiteral("v")}});
            coder.encodeObject(QStringLiteral("inner"), QVariant::fromValue(nested));
            QImage picture(3, 2, QImage::Format_ARGB32);
            picture.fill(Qt::red);
            coder.encodeObject(QStringLiteral("picture"), picture);
            coder.encodePoint(QStringLiteral("point"), QPointF(3, 4));
            coder.encodeSize(QStringLiteral("size"), QSizeF(5, 6));
        }};

    const QByteArray data = KeyedArchiver::archivedData(root);
    const QVariantMap top = propertyListFromData(data)->toMap();
    EXPECT_EQ(top.value("$archiver").toString(), "NSKeyedArchiver");
    EXPECT_EQ(top.value("$version").toLongLong(), 100000);
    EXPECT_EQ(top.value("$top").toMap().value("root").value<PlistUid>().value, 1u);
    const QVariantList objects = top.value("$objects").toList();
    EXPECT_EQ(objects.value(0).toString(), "$null");
    EXPECT_EQ(objects.value(1).toMap().value("_bounds").toString(), "{{1.5, -2}, {30, 40.25}}");

    const KeyedObjectRef back = KeyedUnarchiver::rootObject(data);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->classes(), QStringList({"Shape_Control", "SKTGraphic", "NSObject"}));
    EXPECT_EQ(back->decodeRect("_bounds"), QRectF(1.5, -2, 30, 40.25));
    EXPECT_TRUE(back->decodeBool("flag"));
    EXPECT_EQ(back->decodeInt("count"), -3);
    EXPECT_EQ(back->decodeFloat("width"), 0.1f);
    EXPECT_EQ(back->decodeDouble("angle"), 45.5);
    EXPECT_EQ(back->decodeObject("name").toString(), "S");
    EXPECT_EQ(back->decodeObject("again").toString(), "S");
    // A nil object is written as the null reference: present, and nil.
    EXPECT_TRUE(back->containsValueForKey("none"));
    EXPECT_FALSE(back->decodeObject("none").isValid());
    EXPECT_FALSE(back->containsValueForKey("never written"));
    EXPECT_EQ(back->decodeObject("colour").value<QColor>(), QColor::fromRgbF(0.25f, 0.5f, 1.0f, 0.75f));
    EXPECT_EQ(back->decodeObject("font").value<ArchivedFont>().name, "Arial-BoldMT");
    EXPECT_EQ(back->decodeObject("font").value<ArchivedFont>().size, 14);
    EXPECT_EQ(back->decodeObject("list").toList(), QVariantList({QStringLiteral("a"), qint64(2)}));
    EXPECT_EQ(back->decodeObject("map").toMap().value("k").toString(), "v");
    const KeyedObjectRef inner = back->decodeObject("inner").value<KeyedObjectRef>();
    ASSERT_TRUE(inner);
    EXPECT_EQ(inner->className(), "Inner");
    EXPECT_EQ(inner->decodeInt("depth"), 2);
    const QImage picture = back->decodeObject("picture").value<QImage>();
    EXPECT_EQ(picture.size(), QSize(3, 2));
    EXPECT_EQ(picture.pixel(1, 1), qRgb(255, 0, 0));
    EXPECT_EQ(back->decodePoint("point"), QPointF(3, 4));
    EXPECT_EQ(back->decodeSize("size"), QSizeF(5, 6));
    // Missing keys read as the empty value of their kind.
    EXPECT_EQ(back->decodeInt("missing"), 0);
    EXPECT_EQ(back->decodeRect("missing"), QRectF(0, 0, 0, 0));

    // The same archive in XML reads back the same.
    const KeyedObjectRef fromXml =
        KeyedUnarchiver::rootObject(propertyListData(*propertyListFromData(data), PropertyListFormat::Xml));
    ASSERT_TRUE(fromXml);
    EXPECT_EQ(fromXml->decodeObject("inner").value<KeyedObjectRef>()->decodeInt("depth"), 2);
}

TEST(KeyedArchiver, HostileArchivesReadAsEmptyValues)
{
    const auto archiveOf = [](const QVariantList &objects) {
        return QVariantMap{{"$archiver", QStringLiteral("NSKeyedArchiver")},
                           {"$top", QVariantMap{{"root", QVariant::fromValue(PlistUid{1})}}},
                           {"$objects", objects}};
    };
    QString error;
    EXPECT_FALSE(KeyedUnarchiver::rootObjectOfPropertyList(QVariantList{}, &error));
    EXPECT_FALSE(KeyedUnarchiver::rootObjectOfPropertyList(archiveOf({QStringLiteral("$null")})));
    EXPECT_FALSE(KeyedUnarchiver::rootObjectOfPropertyList(archiveOf({QStringLiteral("$null"), qint64(3)})));

    // References out of range, to the wrong kinds, and to itself.
    const QVariantMap self{{"out", QVariant::fromValue(PlistUid{99})},
                           {"text", QVariant::fromValue(PlistUid{2})},
                           {"me", QVariant::fromValue(PlistUid{1})},
                           {"$class", QVariant::fromValue(PlistUid{1})}};
    const KeyedObjectRef root =
        KeyedUnarchiver::rootObjectOfPropertyList(archiveOf({QStringLiteral("$null"), self, QStringLiteral("x")}));
    ASSERT_TRUE(root);
    EXPECT_FALSE(root->decodeObject("out").isValid());
    EXPECT_EQ(root->decodeInt("text"), 0);
    // A cycle ends at the depth limit instead of recursing forever.
    KeyedObjectRef walk = root;
    int steps = 0;
    while (walk && steps < 100) {
        walk = walk->decodeObject("me").value<KeyedObjectRef>();
        ++steps;
    }
    EXPECT_LE(steps, kKeyedArchiveMaxDepth + 1);

    // Lists that refer to lists: every element visited costs a read, so the work ends at the budget
    // however the references fan out, and a list inside itself is a cycle that reads as nil.
    const QVariantMap classes{{"$classname", QStringLiteral("NSArray")}, {"$classes", QStringList{"NSArray"}}};
    const auto listOf = [](quint64 element, int count) {
        QVariantList refs;
        for (int i = 0; i < count; ++i)
            refs << QVariant::fromValue(PlistUid{element});
        return QVariantMap{{"NS.objects", refs}, {"$class", QVariant::fromValue(PlistUid{1})}};
    };
    const std::function<qint64(const QVariant &)> elements = [&](const QVariant &value) -> qint64 {
        if (value.metaType() != QMetaType::fromType<QVariantList>())
            return 0;
        qint64 count = 0;
        for (const QVariant &element : value.toList())
            count += element.isValid() ? 1 + elements(element) : 0;
        return count;
    };
    const KeyedArchiveLimits limits{.objectReads = 2'000};
    // objects: 1 the class, 2 the holder, 3.. the lists; list k holds list k+1 a thousand times.
    QVariantList fanOut{QStringLiteral("$null"), classes, QVariantMap{{"list", QVariant::fromValue(PlistUid{3})}}};
    for (quint64 k = 3; k < 8; ++k)
        fanOut << listOf(k + 1, 1000);
    fanOut << QStringLiteral("leaf");
    QVariantMap top = archiveOf(fanOut);
    top.insert("$top", QVariantMap{{"root", QVariant::fromValue(PlistUid{2})}});
    const KeyedObjectRef wide = KeyedUnarchiver::rootObjectOfPropertyList(top, nullptr, limits);
    ASSERT_TRUE(wide);
    const qint64 read = elements(wide->decodeObject("list"));
    EXPECT_GT(read, 0);
    EXPECT_LE(read, limits.objectReads);

    QVariantList cyclic{QStringLiteral("$null"), classes, QVariantMap{{"list", QVariant::fromValue(PlistUid{3})}},
                        listOf(3, 1000)};
    top = archiveOf(cyclic);
    top.insert("$top", QVariantMap{{"root", QVariant::fromValue(PlistUid{2})}});
    // With the program's own budget: the list reads at once, not in the hundreds of millions of
    // steps that the budget times the list's length would take.
    QVariantList inside;
    {
        const HangGuard guard(200);
        const KeyedObjectRef selfish = KeyedUnarchiver::rootObjectOfPropertyList(top);
        ASSERT_TRUE(selfish);
        inside = selfish->decodeObject("list").toList();
    }
    EXPECT_EQ(elements(QVariant(inside)), 0) << "the list inside itself reads as nil";
    EXPECT_LE(inside.size(), 1000);
}

TEST(KeyedArchiver, PicturesAreDecodedOnlyUpToTheArchivesPixelBudget)
{
    // One picture that compresses to a few bytes but decodes to many, listed 80 times: decoded for
    // every listing, a small archive from the pasteboard or a file could fill the memory.
    QImage picture(64, 64, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QVariantMap archive = propertyListFromData(KeyedArchiver::archivedDataWithRootValue(QVariantList{picture}))->toMap();
    QVariantList objects = archive.value("$objects").toList();
    for (QVariant &object : objects) {
        QVariantMap map = object.toMap();
        if (map.contains("NS.objects") && map.value("NS.objects").toList().size() == 1 && !map.contains("NSReps")) {
            const QVariant pictureRef = map.value("NS.objects").toList().first();
            if (objects.at(qsizetype(pictureRef.value<PlistUid>().value)).toMap().contains("NSReps")) {
                map.insert("NS.objects", QVariantList(80, pictureRef));
                object = map;
            }
        }
    }
    archive.insert("$objects", objects);
    const KeyedArchiveLimits limits{.imagePixels = 5 * 64 * 64};
    const std::optional<QVariant> root =
        KeyedUnarchiver::rootValue(propertyListData(archive, PropertyListFormat::Binary), nullptr, limits);
    ASSERT_TRUE(root);
    const QVariantList read = root->toList();
    ASSERT_EQ(read.size(), 80);
    EXPECT_EQ(read.first().value<QImage>().size(), picture.size());
    const auto decoded =
        std::count_if(read.cbegin(), read.cend(), [](const QVariant &v) { return !v.value<QImage>().isNull(); });
    EXPECT_EQ(decoded, limits.imagePixels / (64 * 64));
}

TEST(KeyedArchiver, ATextThatReadsLikeTheNilMarkerIsKept)
{
    const std::optional<QVariant> root =
        KeyedUnarchiver::rootValue(KeyedArchiver::archivedDataWithRootValue(QVariantList{QStringLiteral("$null")}));
    ASSERT_TRUE(root);
    EXPECT_EQ(root->toList().value(0), QVariant(QStringLiteral("$null")));
}

TEST(KeyedArchiver, GeometryStringsReadAsTheNumberPatternReadsThem)
{
    // The reference: the numbers a regular expression finds, left to right.
    const auto reference = [](const QString &text) {
        static const QRegularExpression number(QStringLiteral("[-+]?(?:[0-9]+\\.?[0-9]*|\\.[0-9]+)(?:[eE][-+]?[0-9]+)?"));
        QList<double> numbers;
        for (auto it = number.globalMatch(text); it.hasNext() && numbers.size() < 4;)
            numbers << it.next().captured().toDouble();
        return numbers.size() == 4 ? QRectF(numbers[0], numbers[1], numbers[2], numbers[3]) : QRectF(0, 0, 0, 0);
    };
    QStringList texts{"{{0, 0}, {243, 154}}", "{{-1.5, +2.}, {.25, 1e3}}", "{{1e, 2E-2}, {3.e+1, -.5}}",
                      "{{--1, +-2}, {1.2.3, 4ee5}}", "", "{}", "x1y2z3w4", "{{12.5, -3.25}, {140, 60.75}} trailing 9"};
    // And random strings of the characters that matter.
    const QString alphabet = QStringLiteral("0123456789.-+eE{}, x");
    std::mt19937 random(7);
    for (int i = 0; i < 2000; ++i) {
        QString text;
        for (int k = std::uniform_int_distribution<int>(0, 30)(random); k > 0; --k)
            text += alphabet.at(std::uniform_int_distribution<int>(0, int(alphabet.size()) - 1)(random));
        texts << text;
    }
    for (const QString &text : texts) {
        const QRectF expected = reference(text), read = rectFromString(text);
        const auto same = [](double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); };
        EXPECT_TRUE(same(read.x(), expected.x()) && same(read.y(), expected.y()) &&
                    same(read.width(), expected.width()) && same(read.height(), expected.height()))
            << text.toStdString();
    }
}

// XML lists have their Base64 read apart from the XML; a comment makes the XML reader read
// all of it, so each list must read the same both ways.
TEST(PropertyList, DataReadsTheSameWhateverReadsItsBase64)
{
    const QByteArray bulk = QByteArray(100 * 1024, 'x').toBase64();
    const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                            "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                            "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n";
    const QList<QByteArray> bodies = {
        "<dict><key>a</key><data>" + bulk + "</data><key>b</key><string>&lt;data>QUJD</string>"
        "<key>c</key><data>\n\tQUJD\r\n REVG\n</data><key>d</key><data></data></dict>",
        "<array><data>" + bulk + "</data><data>QUJD</data><array><data>=QU-JD</data></array></array>",
        "<array><data>" + bulk + "</data><data/><data >QUJD</data></array>",
        "<array><data>" + bulk + "</data><string>" + bulk + "</string><data>QUJDRA==</data></array>",
        // Data the reader skips, and data the scan does not take
        "<array><true><data>QUJD</data></true><data>REVG</data><data>" + bulk + "</data></array>",
        "<array><p:data xmlns:p=\"urn:x\">QUJD</p:data><data>REVG</data><p:data xmlns:p=\"urn:x\">#0</p:data></array>",
    };
    for (const QByteArray &body : bodies) {
        const QByteArray plain = head + "<plist version=\"1.0\">" + body + "</plist>\n";
        const QByteArray commented = head + "<!-- read by the XML reader alone -->\n<plist version=\"1.0\">" + body + "</plist>\n";
        const std::optional<QVariant> lifted = propertyListFromData(plain), whole = propertyListFromData(commented);
        ASSERT_TRUE(lifted && whole) << body.left(60).constData();
        EXPECT_EQ(*lifted, *whole) << body.left(60).constData();
    }
}

// The XML writer of the program and the library's give the same bytes, and so do the keyed
// archive written straight to the binary form and its tree of values written by the list writer.
TEST(PropertyList, FastWritersGiveTheBytesOfTheGeneralOnes)
{
    QVariantList deep = {QByteArray(200, 'd')};
    for (int i = 0; i < 11; ++i)
        deep = {deep, QByteArray(i * 7, char(i))};
    const QVariantList trees{
        QVariantList{QStringLiteral("<a & b> \u00e9\u4e2d \U0001F389"), QString(), QStringLiteral("12 High St\r\nLeeds"),
                     QStringLiteral("\x01\t\n"), QByteArray(), QByteArray("x"), QByteArray("xy"), QByteArray(52, 'z'),
                     QByteArray(10000, '\xfe'), QVariantList{}, QVariantMap{}, QStringList{"t", ""}},
        QVariantMap{{"", QStringLiteral("empty key")}, {"<&>", QVariantMap{{"k", QVariantList{QByteArray(3, 'q')}}}},
                    {"\u00fc", QStringLiteral("v")}},
        deep,
        QVariantList{QStringLiteral("not only text"), qint64(5), true, 1.5}};
    for (const QVariant &tree : trees)
        EXPECT_EQ(propertyListData(tree, PropertyListFormat::Xml), libraryXmlData(tree));

    const EncodableObject object{{QStringLiteral("Kind"), QStringLiteral("NSObject")}, [](KeyedEncoder &coder) {
        coder.encodeRect(QStringLiteral("b"), QRectF(0.1, -2, 3e20, 4));
        coder.encodeObject(QStringLiteral("$objects"), QStringLiteral("$null"));
        coder.encodeObject(QStringLiteral("a"), QStringLiteral("{{0.10000000000000001, -2}, {3e+20, 4}}"));
        coder.encodeInt(QStringLiteral("b"), -7); // written twice: the last one counts
        coder.encodeObject(QStringLiteral("list"), QVariantList{QStringLiteral("\u00e9"), QByteArray(), QByteArray(),
                                                                true, 2.5f, uint(9), QColor(Qt::red)});
        coder.encodeObject(QStringLiteral("map"), QVariantMap{{"z", QVariant()}, {"a", QStringLiteral("Kind")}});
        coder.encodeObject(QStringLiteral("font"), QVariant::fromValue(ArchivedFont{"Font", 9.5}));
        coder.encodeObject(QStringLiteral("kept"), QVariant::fromValue(UndecodedPicture{"raw", "{1, 2}"}));
        QImage picture(300, 1, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        coder.encodeObject(QStringLiteral("picture"), picture);
    }};
    EXPECT_EQ(KeyedArchiver::archivedData(object),
              propertyListData(KeyedArchiver::archivedPropertyList(object), PropertyListFormat::Binary));
}

// Base64 read four characters at a time where it can reads as Qt's own reader reads it.
TEST(PropertyList, Base64ReadsAsQtReadsIt)
{
    std::mt19937 random(7);
    QList<QByteArray> texts{"", "QQ", "QUI=", "QU=JD", "Q U\nJ\tD", "=QUJD==REVG", "#?!QUJ", "QUJDREVGR0hJ\n\tSktM"};
    const QByteArray alphabet("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/= \n\t");
    for (int i = 0; i < 200; ++i) {
        QByteArray text;
        for (int n = int(random() % 40); n > 0; --n)
            text += alphabet.at(int(random() % alphabet.size()));
        texts << text;
    }
    for (const QByteArray &text : texts) {
        const QByteArray xml = "<plist version=\"1.0\"><array><data>" + text + "</data></array></plist>";
        const std::optional<QVariant> read = propertyListFromData(xml);
        ASSERT_TRUE(read) << text.constData();
        EXPECT_EQ(read->toList().value(0).toByteArray(), QByteArray::fromBase64(text)) << text.constData();
    }
}

// An archive reads the same from our bytes, from XML, and from a writer that orders each
// dictionary's keys its own way and writes a key twice (the last one counts).
TEST(KeyedArchiver, ArchivesReadAlikeWhateverOrderTheirKeysHave)
{
    const QStringList keys{"b", "flag", "n", "x", "colour", "font", "list", "inner", "text", "missing"};
    const EncodableObject inner{{QStringLiteral("Inner"), QStringLiteral("NSObject")},
                                [](KeyedEncoder &coder) { coder.encodeDouble(QStringLiteral("x"), 0.5); }};
    const EncodableObject object{{QStringLiteral("Kind"), QStringLiteral("NSObject")}, [&](KeyedEncoder &coder) {
        coder.encodeRect(QStringLiteral("b"), QRectF(1, 2, 3, 4));
        coder.encodeBool(QStringLiteral("flag"), true);
        coder.encodeInt(QStringLiteral("n"), -70000);
        coder.encodeFloat(QStringLiteral("x"), 2.5f);
        coder.encodeObject(QStringLiteral("colour"), QColor(10, 20, 30, 40));
        coder.encodeObject(QStringLiteral("font"), QVariant::fromValue(ArchivedFont{"Font-Bold", 11}));
        coder.encodeObject(QStringLiteral("list"), QVariantList{QStringLiteral("\u00e9"), qint64(3), QVariantMap{{"k", 1.5}}});
        coder.encodeObject(QStringLiteral("inner"), QVariant::fromValue(inner));
        coder.encodeObject(QStringLiteral("text"), QStringLiteral("$null"));
    }};
    // Every dictionary's keys last to first, its first key written again before them.
    BinaryPropertyListBuilder out;
    const std::function<quint64(const QVariant &)> add = [&](const QVariant &value) -> quint64 {
        if (value.metaType() == QMetaType::fromType<QVariantMap>()) {
            const QVariantMap map = value.toMap();
            const quint64 index = out.reserve();
            std::vector<quint64> k{out.text(map.firstKey())}, v{out.text(QStringLiteral("overwritten"))};
            for (auto it = map.constEnd(); it != map.constBegin();) {
                --it;
                k.push_back(out.text(it.key()));
                v.push_back(add(it.value()));
            }
            k.insert(k.end(), v.begin(), v.end());
            out.setDictionary(index, k.data(), qsizetype(v.size()));
            return index;
        }
        if (value.metaType() == QMetaType::fromType<QVariantList>() || value.metaType() == QMetaType::fromType<QStringList>()) {
            const quint64 index = out.reserve();
            std::vector<quint64> refs;
            for (const QVariant &element : value.toList())
                refs.push_back(add(element));
            out.setArray(index, refs.data(), qsizetype(refs.size()));
            return index;
        }
        if (value.metaType() == QMetaType::fromType<PlistUid>())
            return out.uid(value.value<PlistUid>().value);
        if (value.metaType() == QMetaType::fromType<QString>())
            return out.text(value.toString());
        if (value.metaType() == QMetaType::fromType<QByteArray>())
            return out.data(value.toByteArray());
        if (value.metaType() == QMetaType::fromType<bool>())
            return out.boolean(value.toBool());
        if (value.metaType() == QMetaType::fromType<double>())
            return out.real(value.toDouble());
        return out.integer(value.toLongLong());
    };
    const QVariant tree = KeyedArchiver::archivedPropertyList(object);
    add(tree);
    const QStringList classes{QStringLiteral("Kind"), QStringLiteral("NSObject")};
    const auto readAll = [&](const QByteArray &data) {
        const KeyedObjectRef root = KeyedUnarchiver::rootObject(data);
        QStringList read;
        if (!root)
            return read;
        read << root->classes().join(QLatin1Char(','));
        for (const QString &key : keys) {
            const QVariant value = root->decodeObject(key);
            const KeyedObjectRef nested = value.value<KeyedObjectRef>();
            const QColor colour = value.value<QColor>();
            read << QStringLiteral("%1 %2 %3 %4 %5 %6").arg(key).arg(root->containsValueForKey(key)).arg(root->decodeInt(key))
                        .arg(root->decodeDouble(key)).arg(nested ? nested->decodeDouble("x") : 0).arg(value.toString())
                 << QStringLiteral("%1 %2 %3 %4").arg(platform::stringFromRect(root->decodeRect(key)))
                        .arg(colour.isValid() ? colour.name(QColor::HexArgb) : QString())
                        .arg(value.value<ArchivedFont>().name).arg(value.toList().size());
        }
        return read;
    };
    const QStringList ours = readAll(KeyedArchiver::archivedData(object));
    ASSERT_EQ(ours.value(0), classes.join(QLatin1Char(',')));
    EXPECT_EQ(readAll(KeyedArchiver::archivedData(object, PropertyListFormat::Xml)), ours);
    EXPECT_EQ(readAll(out.bytes()), ours);
}

// Saving again reuses the bytes of pictures it wrote before: a picture changed in any way the file
// carries, or a copy changed after it was kept, must still come back as it now is.
TEST(KeyedArchiver, APictureChangedSinceItWasLastArchivedComesBackAsItIsNow)
{
    const auto archived = [](const QImage &picture) {
        const EncodableObject root{{QStringLiteral("Holder"), QStringLiteral("NSObject")},
                                   [&](KeyedEncoder &coder) { coder.encodeObject(QStringLiteral("picture"), picture); }};
        const KeyedObjectRef back = KeyedUnarchiver::rootObject(KeyedArchiver::archivedData(root));
        return back ? back->decodeObject("picture").value<QImage>() : QImage();
    };
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(QColor(10, 200, 30));
    const QImage kept = picture;
    const std::function<void(QImage &)> changes[] = {
        [](QImage &p) { p.setPixel(7, 9, qRgb(1, 2, 3)); },
        [](QImage &p) { p.setDotsPerMeterX(5000); },
        [](QImage &p) { p.setText(QStringLiteral("Author"), QStringLiteral("someone")); },
        [](QImage &p) { p = p.convertToFormat(QImage::Format_ARGB32); p.setPixel(0, 0, qRgba(0, 0, 0, 0)); },
    };
    for (const std::function<void(QImage &)> &change : changes) {
        archived(picture);
        change(picture);
        const QImage back = archived(picture);
        EXPECT_EQ(back.convertToFormat(QImage::Format_ARGB32), picture.convertToFormat(QImage::Format_ARGB32));
        EXPECT_EQ(back.dotsPerMeterX(), picture.dotsPerMeterX());
        EXPECT_EQ(back.text(QStringLiteral("Author")), picture.text(QStringLiteral("Author")));
    }
    // An equal copy made apart gives the first bytes again, its texts too, and the first picture is
    // untouched.
    QImage copy = kept.copy(), twin = picture.copy();
    EXPECT_EQ(archived(copy), archived(kept));
    EXPECT_EQ(archived(twin).text(QStringLiteral("Author")), QStringLiteral("someone"));
    EXPECT_EQ(archived(kept).pixel(7, 9), qRgb(10, 200, 30));
}

// A long read or write of the XML form is told as it goes: forward only, in small steps, to its
// total; a read whose text cannot have its data lifted out skips the check and the lifting at once.
TEST(PropertyList, ProgressOfTheXmlFormGoesForwardInSmallStepsToItsTotal)
{
    QVariantList rows;
    for (int r = 0; r < 10'000; ++r)
        rows << QVariantMap{{QStringLiteral("Extension"), QString::number(r + 1)},
                            {QStringLiteral("Column1"), QStringLiteral("Guest %1").arg(r)},
                            {QStringLiteral("Column2"), r % 7 ? QStringLiteral("Oslo") : QStringLiteral("line-break")}};
    using Told = QList<std::pair<qsizetype, qsizetype>>;
    Told written;
    QByteArray xml = propertyListData(QVariantList{QByteArray(3000, 'p'), rows}, PropertyListFormat::Xml, nullptr,
                                      [&](qsizetype done, qsizetype total) { written << std::pair(done, total); });
    // As an earlier writer put them in, so that the read has every pass to make.
    xml.replace("line-break", "line\x0b" "break");
    const auto read = [](const QByteArray &text) {
        Told told;
        EXPECT_TRUE(propertyListFromData(text, nullptr, nullptr,
                                         [&](qsizetype done, qsizetype total) { told << std::pair(done, total); }));
        return told;
    };
    QByteArray commented = xml;
    commented.insert(commented.indexOf("<plist"), "<!-- read by the XML reader alone -->\n");
    const struct {
        const char *what;
        Told told;
        int largestStepIn; // of the total
    } cases[] = {{"write", written, 64}, {"read", read(xml), 64}, {"read without lifting", read(commented), 2}};
    for (const auto &run : cases) {
        SCOPED_TRACE(run.what);
        ASSERT_FALSE(run.told.isEmpty());
        const qsizetype total = run.told.first().second;
        qsizetype before = 0, largestStep = 0;
        for (const auto &[done, of] : run.told) {
            EXPECT_EQ(of, total);
            EXPECT_GT(done, before);
            largestStep = std::max(largestStep, done - before);
            before = done;
        }
        EXPECT_EQ(before, total);
        EXPECT_LE(largestStep, total / run.largestStepIn);
    }
}
