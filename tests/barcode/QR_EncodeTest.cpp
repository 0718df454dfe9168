#include "QrReadBack.h"

#include "barcode/QREncoder.h"
#include "barcode/QR_Encode.h"

#include <gtest/gtest.h>

#include <QByteArray>

#include <memory>
#include <utility>
#include <vector>

namespace {

DataMatrix gridOf(const CQR_Encode &encoder)
{
    DataMatrix grid(encoder.m_nSymbleSize);
    for (qint64 x = 0; x < encoder.m_nSymbleSize; ++x)
        for (qint64 y = 0; y < encoder.m_nSymbleSize; ++y)
            grid.set(encoder.m_byModuleData[x][y], x, y);
    return grid;
}

std::vector<uint8_t> bytesOf(const char *hex)
{
    const QByteArray raw = QByteArray::fromHex(hex);
    return {raw.begin(), raw.end()};
}

} // namespace

// The worked examples of the standard and of the common tutorial, codeword for codeword: bit stream,
// terminator, pad codewords and Reed-Solomon.
TEST(CQR_Encode, WorkedExamplesCodewordForCodeword)
{
    struct Case {
        const char *text;
        qint64 level;
        const char *data;
        const char *check;
    };
    const Case cases[] = {
        {"01234567", CQR_Encode::QR_LEVEL_M, "10200c566180ec11ec11ec11ec11ec11", "a524d4c1ed36c7872c55"},
        {"HELLO WORLD", CQR_Encode::QR_LEVEL_Q, "205b0b78d172dc4d4340ec11ec", "a8481652d9369c002e0fb47a10"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        const auto encoder = std::make_unique<CQR_Encode>();
        ASSERT_TRUE(encoder->EncodeData(c.level, 0, true, -1, c.text));
        EXPECT_EQ(encoder->m_nSymbleSize, 21);
        const QrReadBack back = readBack(gridOf(*encoder));
        EXPECT_EQ(back.dataCodewords, bytesOf(c.data));
        EXPECT_EQ(back.checkCodewords, bytesOf(c.check));
    }
}

// Every generator, those beyond the 30 check codewords that symbols use included.
TEST(CQR_Encode, ReedSolomonCodewords)
{
    quint32 seed = 5;
    for (int ecc : {1, 7, 10, 13, 30, 31, 68}) {
        SCOPED_TRACE(testing::Message() << ecc << " check codewords");
        std::vector<uint8_t> block(60);
        for (uint8_t &c : block)
            c = static_cast<uint8_t>((seed = seed * 1664525u + 1013904223u) >> 24);
        quint8 work[CQR_Encode::MAX_CODEBLOCK] = {};
        std::copy(block.begin(), block.end(), work);
        CQR_Encode::GetRSCodeWord(work, static_cast<qint64>(block.size()), ecc);
        block.insert(block.end(), work, work + ecc);
        EXPECT_TRUE(syndromesZero(block, ecc));
    }
}

TEST(CQR_Encode, Segmentation)
{
    struct Case {
        const char *name;
        QByteArray text;
        bool shiftJIS;
        std::vector<std::pair<quint8, qint64>> segments; // mode, bytes
    };
    const QByteArray shiftJis("\x93\x5f\xe4\xaa", 4); // 点茗
    const Case cases[] = {
        {"digits", "0123456789", false, {{CQR_Encode::QR_MODE_NUMERAL, 10}}},
        {"capitals, digits and spaces", "HELLO WORLD 123", false, {{CQR_Encode::QR_MODE_ALPHABET, 15}}},
        {"lower case", "hello", false, {{CQR_Encode::QR_MODE_8BIT, 5}}},
        {"Shift JIS Kanji", shiftJis, true, {{CQR_Encode::QR_MODE_KANJI, 4}}},
        {"the same bytes not said to be Shift JIS", shiftJis, false, {{CQR_Encode::QR_MODE_8BIT, 4}}},
        {"UTF-8 curly quotes", "\xe2\x80\x9cok\xe2\x80\x9d", false, {{CQR_Encode::QR_MODE_8BIT, 8}}},
        {"a long digit run after bytes",
         "abcdefgh" + QByteArray(30, '5'),
         false,
         {{CQR_Encode::QR_MODE_8BIT, 8}, {CQR_Encode::QR_MODE_NUMERAL, 30}}},
        {"a long digit run between capitals",
         "ABC12345678901234XYZ",
         false,
         {{CQR_Encode::QR_MODE_ALPHABET, 3}, {CQR_Encode::QR_MODE_NUMERAL, 14}, {CQR_Encode::QR_MODE_ALPHABET, 3}}},
        {"a short digit run between capitals", "ABC123XYZ", false, {{CQR_Encode::QR_MODE_ALPHABET, 9}}},
        {"a digit between bytes", "a1b", false, {{CQR_Encode::QR_MODE_8BIT, 3}}},
        {"a capital between bytes and digits",
         "abcdefghijkl"
         "A"
         "1234",
         false,
         {{CQR_Encode::QR_MODE_8BIT, 13}, {CQR_Encode::QR_MODE_NUMERAL, 4}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const auto encoder = std::make_unique<CQR_Encode>();
        encoder->m_bShiftJIS = c.shiftJIS;
        ASSERT_TRUE(encoder->EncodeSourceData(c.text.constData(), c.text.size(), CQR_Encode::QR_VRESION_S));
        std::vector<std::pair<quint8, qint64>> segments;
        for (qint64 i = 0; i < encoder->m_ncDataBlock; ++i)
            segments.emplace_back(encoder->m_byBlockMode[i], encoder->m_nBlockLength[i]);
        EXPECT_EQ(segments, c.segments);
        // The stream is as long as its segments say.
        qint64 bits = 0;
        for (const auto &[mode, length] : segments)
            bits += CQR_Encode::GetBitLength(mode, length, CQR_Encode::QR_VRESION_S);
        EXPECT_EQ(encoder->m_ncDataCodeWordBit, bits);
    }
}

TEST(CQR_Encode, CharacterClassesAndWholeTextMode)
{
    struct Case {
        QByteArray text;
        bool shiftJIS;
        quint8 mode;
    };
    const QByteArray kanji("\x93\x5f", 2);
    for (const Case &c :
         {Case{"", false, CQR_Encode::QR_MODE_8BIT}, Case{"123", false, CQR_Encode::QR_MODE_NUMERAL},
          Case{"12A:", false, CQR_Encode::QR_MODE_ALPHABET}, Case{"12a", false, CQR_Encode::QR_MODE_8BIT},
          Case{kanji, true, CQR_Encode::QR_MODE_KANJI}, Case{"12" + kanji, true, CQR_Encode::QR_MODE_KANJI},
          Case{kanji, false, CQR_Encode::QR_MODE_8BIT}, Case{"x" + kanji, true, CQR_Encode::QR_MODE_8BIT}}) {
        SCOPED_TRACE(c.text.toHex().toStdString());
        EXPECT_EQ(CQR_Encode::Get_Encoding_Mode(c.text.constData(), c.text.size(), c.shiftJIS), c.mode);
    }
    struct TestCase {
        QByteArray text;
        quint8 asked;
        quint8 answer;
    };
    for (const TestCase &c : {TestCase{"", CQR_Encode::QR_MODE_ALPHABET, CQR_Encode::QR_MODE_NUMERAL},
                              TestCase{"123", CQR_Encode::QR_MODE_NUMERAL, CQR_Encode::QR_MODE_NUMERAL},
                              TestCase{"12A", CQR_Encode::QR_MODE_NUMERAL, CQR_Encode::QR_MODE_8BIT},
                              TestCase{"12A", CQR_Encode::QR_MODE_ALPHABET, CQR_Encode::QR_MODE_ALPHABET},
                              TestCase{kanji + kanji, CQR_Encode::QR_MODE_KANJI, CQR_Encode::QR_MODE_KANJI},
                              TestCase{kanji + "1", CQR_Encode::QR_MODE_KANJI, CQR_Encode::QR_MODE_8BIT}}) {
        SCOPED_TRACE(c.text.toHex().toStdString());
        EXPECT_EQ(CQR_Encode::Get_Encoding_Mode_Test(c.text.constData(), c.text.size(), c.asked, true), c.answer);
    }

    // Shift JIS lead and trail byte limits; values from the standard's examples.
    struct Pair {
        unsigned char c1, c2;
        bool kanji;
    };
    for (const Pair &p :
         {Pair{0x81, 0x40, true}, Pair{0x81, 0x3F, false}, Pair{0x80, 0x40, false}, Pair{0x9F, 0xFC, true},
          Pair{0x9F, 0xFD, false}, Pair{0xA0, 0x40, false}, Pair{0xE0, 0x40, true}, Pair{0xEB, 0xBF, true},
          Pair{0xEB, 0xC0, false}, Pair{0xEC, 0x40, false}})
        EXPECT_EQ(CQR_Encode::IsKanjiData(p.c1, p.c2), p.kanji) << std::hex << int(p.c1) << " " << int(p.c2);
    EXPECT_EQ(CQR_Encode::KanjiToBinaly(0x935F), 0xD9F);
    EXPECT_EQ(CQR_Encode::KanjiToBinaly(0xE4AA), 0x1AAA);
}

TEST(CQR_Encode, VersionChoice)
{
    struct Case {
        const char *name;
        qint64 level;
        qint64 version;
        bool autoExtent;
        QByteArray text;
        qint64 ncSource;
        qint64 size; // 0: fails
    };
    const Case cases[] = {
        {"too small a version grows when allowed", CQR_Encode::QR_LEVEL_L, 1, true, QByteArray(40, 'a'), 40, 29},
        {"too small a version fails otherwise", CQR_Encode::QR_LEVEL_L, 1, false, QByteArray(40, 'a'), 40, 0},
        {"a larger version is kept", CQR_Encode::QR_LEVEL_L, 5, false, "short", 5, 37},
        {"a version of the middle group is kept", CQR_Encode::QR_LEVEL_H, 10, false, "short", 5, 57},
        {"automatic takes the smallest", CQR_Encode::QR_LEVEL_H, 0, false, QByteArray(119, 'a'), 119, 57},
        {"one byte more", CQR_Encode::QR_LEVEL_H, 0, false, QByteArray(120, 'a'), 120, 61},
        {"a length of 0 reads to the terminating zero", CQR_Encode::QR_LEVEL_M, 0, true, QByteArray("HELLO\0WORLD", 11),
         0, 21},
        {"an empty text", CQR_Encode::QR_LEVEL_M, 0, true, "", 0, 0},
        {"bytes beyond any bit stream", CQR_Encode::QR_LEVEL_L, 0, true, QByteArray(2957, 'a'), 2957, 0},
        {"the largest byte payload", CQR_Encode::QR_LEVEL_L, 0, true, QByteArray(2953, 'a'), 2953, 177},
        {"an unknown level", 4, 0, true, "x", 1, 0},
        {"an unknown version", CQR_Encode::QR_LEVEL_L, 41, true, "x", 1, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const auto encoder = std::make_unique<CQR_Encode>();
        const bool built = encoder->EncodeData(c.level, c.version, c.autoExtent, -1, c.text.constData(), c.ncSource);
        EXPECT_EQ(built ? encoder->m_nSymbleSize : 0, c.size);
    }
}

// The automatic mask is the one of the lowest penalty, the lower number on a tie; the penalty is
// checked against a plain evaluation of its rules.
TEST(CQR_Encode, MaskOfTheLowestPenalty)
{
    int ties = 0;
    for (int i = 0; i < 60; ++i) {
        const QByteArray text = "card " + QByteArray::number(i * 7919) + QByteArray(i % 13, 'x');
        const qint64 level = i % 4;
        SCOPED_TRACE(text.toStdString());
        std::vector<long> penalties;
        std::vector<DataMatrix> grids;
        for (qint64 mask = 0; mask < 8; ++mask) {
            const auto encoder = std::make_unique<CQR_Encode>();
            ASSERT_TRUE(encoder->EncodeData(level, 0, true, mask, text.constData(), text.size()));
            grids.push_back(gridOf(*encoder));
            penalties.push_back(maskPenalty(grids.back()));
            EXPECT_EQ(encoder->CountPenalty(), penalties.back());
            EXPECT_EQ(readBack(grids.back()).mask, mask);
        }
        const auto lowest = std::min_element(penalties.begin(), penalties.end());
        ties += std::count(penalties.begin(), penalties.end(), *lowest) > 1;
        const auto encoder = std::make_unique<CQR_Encode>();
        ASSERT_TRUE(encoder->EncodeData(level, 0, true, -1, text.constData(), text.size()));
        EXPECT_EQ(encoder->m_nMaskingNo, lowest - penalties.begin());
        EXPECT_EQ(gridOf(*encoder).description(),
                  grids[static_cast<std::size_t>(lowest - penalties.begin())].description());
    }
    EXPECT_GT(ties, 0) << "no tie met: the tie rule went untested";
}

// The computed tables against the values the standard prints.
TEST(CQR_Encode, ComputedTablesMatchTheStandard)
{
    struct Version {
        int version;
        qint64 codewords;
        std::vector<qint64> alignment;
        std::array<qint64, 4> data;                      // by level; empty: not checked
        std::array<std::array<qint64, 4>, 4> characters; // by level: numeric, alphanumeric, byte, Kanji
    };
    const Version cases[] = {
        {1, 26, {}, {19, 16, 13, 9}, {{{41, 25, 17, 10}, {34, 20, 14, 8}, {27, 16, 11, 7}, {17, 10, 7, 4}}}},
        {2, 44, {18}, {34, 28, 22, 16}, {{{77, 47, 32, 20}, {63, 38, 26, 16}, {48, 29, 20, 12}, {34, 20, 14, 8}}}},
        {7,
         196,
         {22, 38},
         {156, 124, 88, 66},
         {{{370, 224, 154, 95}, {293, 178, 122, 75}, {207, 125, 86, 53}, {154, 93, 64, 39}}}},
        {32, 2465, {34, 60, 86, 112, 138}, {}, {}}, // the one irregular spacing
        {40,
         3706,
         {30, 58, 86, 114, 142, 170},
         {2956, 2334, 1666, 1276},
         {{{7089, 4296, 2953, 1817}, {5596, 3391, 2331, 1435}, {3993, 2420, 1663, 1024}, {3057, 1852, 1273, 784}}}},
    };
    for (const Version &c : cases) {
        SCOPED_TRACE(testing::Message() << "version " << c.version);
        const QR_VERSIONINFO &info = QR_VersonInfo[static_cast<std::size_t>(c.version)];
        EXPECT_EQ(info.ncAllCodeWord, c.codewords);
        EXPECT_EQ(std::vector<qint64>(info.nAlignPoint.begin(), info.nAlignPoint.begin() + info.ncAlignPoint),
                  c.alignment);
        if (c.data[0] == 0)
            continue;
        EXPECT_EQ(info.ncDataCodeWord, c.data);
        for (std::size_t level = 0; level < 4; ++level) {
            const std::size_t i = static_cast<std::size_t>(c.version - 1) * 4 + level;
            const std::array<qint64, 4> computed = {
                QREncoder::QR_Numric_size_array[i], QREncoder::QR_AlphaNumric_size_array[i],
                QREncoder::QR_8_BIT_size_array[i], QREncoder::QR_Kanji_size_array[i]};
            EXPECT_EQ(computed, c.characters[level]) << "level " << level;
        }
    }
}
