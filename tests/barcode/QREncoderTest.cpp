#include "QrReadBack.h"
#include "SymbolReader.h"

#include "barcode/BarcodeEci.h"
#include "barcode/QREncoder.h"
#include "core/ImageHelpers.h"

#include <gtest/gtest.h>

#include <QColor>

#include <functional>

namespace {

class Random {
public:
    explicit Random(quint32 seed) : m_state(seed) { }
    quint32 next(quint32 bound)
    {
        m_state = m_state * 1664525u + 1013904223u;
        return (m_state >> 8) % bound;
    }

private:
    quint32 m_state;
};

std::size_t at(int version, int level)
{
    return static_cast<std::size_t>((version - 1) * 4 + level);
}

// Text of one character class that fills `length` bytes exactly (UTF-8: as many whole characters as fit).
struct DataKind {
    const char *name;
    const std::array<qint64, 160> *capacity;
    std::function<QString(Random &, qint64)> make;
};

QString pick(Random &random, qint64 length, QStringView pool)
{
    QString text;
    for (qint64 i = 0; i < length; ++i)
        text += pool[random.next(static_cast<quint32>(pool.size()))];
    return text;
}

const DataKind kKinds[] = {
    {"numeric", &QREncoder::QR_Numric_size_array, [](Random &r, qint64 n) { return pick(r, n, u"0123456789"); }},
    {"alphanumeric", &QREncoder::QR_AlphaNumric_size_array,
     [](Random &r, qint64 n) { return pick(r, n, u"ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:"); }},
    {"byte", &QREncoder::QR_8_BIT_size_array,
     [](Random &r, qint64 n) { return pick(r, n, u"abcdefghijklmnopqrstuvwxyz!\"#&'()<=>?@[]^_{|}~"); }},
    {"UTF-8", &QREncoder::QR_UTF8_size_array,
     [](Random &r, qint64 n) {
         static const QStringList characters = {u"ü"_qs,  u"ß"_qs, u"“"_qs, u"”"_qs, u"€"_qs, u"日"_qs,
                                                u"本"_qs, u"😀"_qs, u"a"_qs, u"é"_qs, u"–"_qs};
         QString text;
         for (;;) {
             const QString c = characters[static_cast<qsizetype>(r.next(static_cast<quint32>(characters.size())))];
             if ((text + c).toUtf8().size() > n)
                 return text;
             text += c;
         }
     }},
};

// Every check a symbol must pass: the independent decoder reads the bytes and the level from its
// picture (three pixels per module), and the module-exact reading finds no fault for it to have
// corrected.
void expectSound(const DataMatrix &grid, const QByteArray &payload, int level)
{
    static constexpr const char *kLetters[] = {"L", "M", "Q", "H"};
    std::string readLevel;
    const QImage picture = QREncoder::renderDataMatrix(grid, 3 * static_cast<int>(grid.dimension()));
    EXPECT_EQ(readSymbol(picture, ZXing::BarcodeFormat::QRCode, &readLevel), payload);
    EXPECT_EQ(readLevel, kLetters[level]);
    const QrReadBack back = readBack(grid);
    EXPECT_TRUE(back.formatExact);
    EXPECT_EQ(back.level, level);
    EXPECT_TRUE(back.versionExact);
    EXPECT_TRUE(back.checksClean);
}

} // namespace

// Every version at every level, filled to the capacity of each kind of data: the asked version is
// kept, it reads back equal, and one character more does not fit that version.
TEST(QREncoder, EveryVersionAndLevelFullOfEachKindReadsBack)
{
    Random random(19);
    for (const DataKind &kind : kKinds)
        for (int version = 1; version <= 40; ++version)
            for (int level = 0; level < 4; ++level) {
                SCOPED_TRACE(testing::Message() << kind.name << " version " << version << " level " << level);
                const qint64 capacity = (*kind.capacity)[at(version, level)];
                const QString text = kind.make(random, capacity);
                const std::optional<DataMatrix> grid = QREncoder::encodeWithECLevel(level, version, text);
                ASSERT_TRUE(grid.has_value());
                EXPECT_EQ(grid->dimension(), 4 * version + 17);
                expectSound(*grid, text.toUtf8(), level);

                if (text.toUtf8().size() < capacity)
                    continue; // whole characters stopped short
                const QByteArray over = text.toUtf8() + text.toUtf8().front();
                const qint64 eci = kind.capacity == &QREncoder::QR_UTF8_size_array ? kUtf8Eci : -1;
                CQR_Encode encoder;
                EXPECT_FALSE(encoder.EncodeData(level, version, false, -1, over.constData(), over.size(), false, eci))
                    << "capacity " << capacity << " is not the largest";
            }
}

// Random texts of every kind, of up to 400 bytes, with the automatic version: none takes a larger
// version than the whole text in one mode would.
TEST(QREncoder, RandomPayloadsReadBackInTheSmallestVersion)
{
    std::mt19937 rng(2024);
    for (TextKind kind : {TextKind::Ascii, TextKind::Digits, TextKind::Utf8, TextKind::Binary})
        for (int round = 0; round < 50; ++round) {
            const QByteArray bytes = randomBytes(rng, kind, 400);
            const int level = round % 4;
            SCOPED_TRACE(testing::Message() << "level " << level << " text " << bytes.toHex().toStdString());
            const std::optional<DataMatrix> grid = QREncoder::encodeCStringWithECLevel(level, 0, bytes);
            ASSERT_TRUE(grid.has_value());
            expectSound(*grid, bytes, level);

            const quint8 mode = CQR_Encode::Get_Encoding_Mode(bytes.constData(), bytes.size());
            const auto &capacities = mode == CQR_Encode::QR_MODE_NUMERAL ? QREncoder::QR_Numric_size_array
                : mode == CQR_Encode::QR_MODE_ALPHABET                   ? QREncoder::QR_AlphaNumric_size_array
                                                                         : QREncoder::QR_8_BIT_size_array;
            int singleMode = 1;
            while (capacities[at(singleMode, level)] < bytes.size())
                ++singleMode;
            EXPECT_LE(grid->dimension(), 4 * singleMode + 17);
        }
}

// The capacity check of the asked version, the automatic version, and Kanji mode for Shift JIS only
// (UTF-8 text, curly quotes included, stays bytes).
TEST(QREncoder, CapacityCheckAndVersionChoice)
{
    const QByteArray kanji("\x93\x5f\xe4\xaa", 4); // 点茗 in Shift JIS
    struct Case {
        const char *name;
        int level;
        int version;
        QByteArray text;
        bool shiftJIS;
        qint64 dimension; // 0: refused
    };
    const Case cases[] = {
        {"17 bytes at L fit version 1", 0, 0, QByteArray(17, 'a'), false, 21},
        {"18 bytes at L take version 2", 0, 0, QByteArray(18, 'a'), false, 25},
        {"version 2 holds 32 bytes at L", 0, 2, QByteArray(32, 'a'), false, 25},
        {"version 2 refuses 33 bytes at L", 0, 2, QByteArray(33, 'a'), false, 0},
        {"25 capitals fit version 1-L", 0, 1, QByteArray(25, 'A'), false, 21},
        {"26 capitals are refused by version 1-L", 0, 1, QByteArray(26, 'A'), false, 0},
        {"a larger version is kept", 1, 5, "short", false, 37},
        {"the largest version", 3, 40, "short", false, 177},
        {"the most digits of any symbol", 0, 0, QByteArray(7089, '7'), false, 177},
        {"one digit more than any symbol holds", 0, 0, QByteArray(7090, '7'), false, 0},
        {"an empty text", 0, 0, "", false, 0},
        {"a level beyond H", 4, 0, "x", false, 0},
        {"a version beyond 40", 0, 41, "x", false, 0},
        {"ten Kanji fill version 1-L", 0, 1, kanji.repeated(5), true, 21},
        {"eleven do not", 0, 1, kanji.repeated(5) + kanji.left(2), true, 0},
        {"Kanji bytes not said to be Shift JIS", 0, 0, kanji.repeated(5), false, 25},
        {"UTF-8", 1, 0, u"“点茗” ‘quoted’"_qs.toUtf8(), false, 25},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<DataMatrix> grid =
            QREncoder::encodeCStringWithECLevel(c.level, c.version, c.text, c.shiftJIS);
        EXPECT_EQ(grid ? grid->dimension() : 0, c.dimension);
        if (grid)
            expectSound(*grid, c.text, c.level);
    }
}

// Whole pixels per module, centred; the remainder is a transparent margin; too small a side gives
// nothing. The picture measures its side in points.
TEST(QREncoder, RenderedPicture)
{
    const std::optional<DataMatrix> grid = QREncoder::encodeWithECLevel(0, 1, u"HELLO"_qs);
    ASSERT_TRUE(grid.has_value());
    struct Case {
        int side;
        int scale;  // 0: no picture
        int margin; // top and left
    };
    for (const Case &c : {Case{60, 2, 9}, Case{63, 3, 0}, Case{21, 1, 0}, Case{22, 1, 0}, Case{100, 4, 8},
                          Case{20, 0, 0}, Case{0, 0, 0}, Case{-5, 0, 0}}) {
        SCOPED_TRACE(testing::Message() << "side " << c.side);
        const QImage picture = QREncoder::renderDataMatrix(*grid, c.side);
        if (c.scale == 0) {
            EXPECT_TRUE(picture.isNull());
            continue;
        }
        ASSERT_EQ(picture.size(), QSize(c.side, c.side));
        EXPECT_EQ(picture.format(), QImage::Format_RGBA8888);
        EXPECT_EQ(imageSizeInPoints(picture), QSizeF(c.side, c.side)); // as the resolution re-render reads it
        int wrong = 0;
        for (int y = 0; y < c.side; ++y)
            for (int x = 0; x < c.side; ++x) {
                const int mx = (x - c.margin) / c.scale, my = (y - c.margin) / c.scale;
                const bool inside = x >= c.margin && y >= c.margin && mx < 21 && my < 21;
                const QColor expected = !inside ? QColor(255, 255, 255, 0)
                    : grid->valueAt(mx, my)     ? QColor(0, 0, 0, 255)
                                                : QColor(255, 255, 255, 255);
                wrong += picture.pixelColor(x, y) != expected;
            }
        EXPECT_EQ(wrong, 0);
    }
    EXPECT_TRUE(QREncoder::renderDataMatrix(DataMatrix(0), 60).isNull());
}

TEST(QREncoder, GridDescription)
{
    DataMatrix grid(3);
    grid.set(1, 0, 0);
    grid.set(1, 2, 1);
    grid.set(1, 3, 0); // outside: ignored
    EXPECT_EQ(grid.description(), u"100\n001\n000\n"_qs);
    EXPECT_EQ(grid.valueAt(-1, 0), 0);
}
