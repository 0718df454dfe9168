#include "QrReadBack.h"

#include "barcode/QREncoder.h"
#include "barcode/QR_Encode.h"

#include <gtest/gtest.h>

#include <QByteArray>

#include <memory>
#include <utility>
#include <vector>

namespace {

constexpr quint8 kNumeric = CQR_Encode::QR_MODE_NUMERAL, kAlpha = CQR_Encode::QR_MODE_ALPHABET,
                 kByte = CQR_Encode::QR_MODE_8BIT, kKanji = CQR_Encode::QR_MODE_KANJI;
const QByteArray kKanjiPair("\x93\x5f", 2); // 点 in Shift JIS

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
    for (const Case &c : {Case{"01234567", 1, "10200c566180ec11ec11ec11ec11ec11", "a524d4c1ed36c7872c55"},
                          Case{"HELLO WORLD", 2, "205b0b78d172dc4d4340ec11ec", "a8481652d9369c002e0fb47a10"}}) {
        SCOPED_TRACE(c.text);
        const auto encoder = std::make_unique<CQR_Encode>();
        ASSERT_TRUE(encoder->EncodeData(c.level, 0, true, -1, c.text));
        EXPECT_EQ(encoder->m_nSymbleSize, 21);
        const QrReadBack back = readBack(gridOf(*encoder));
        EXPECT_EQ(back.dataCodewords, bytesOf(c.data));
        EXPECT_EQ(back.checkCodewords, bytesOf(c.check));
    }
}

// Every generator a symbol uses, from the fewest check codewords to the most.
TEST(CQR_Encode, ReedSolomonCodewords)
{
    quint32 seed = 5;
    for (int ecc : {7, 10, 13, 15, 16, 17, 18, 20, 22, 24, 26, 28, 30}) {
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
    const Case cases[] = {
        {"digits", "0123456789", false, {{kNumeric, 10}}},
        {"capitals, digits and spaces", "HELLO WORLD 123", false, {{kAlpha, 15}}},
        {"lower case", "hello", false, {{kByte, 5}}},
        {"Shift JIS Kanji", kKanjiPair + kKanjiPair, true, {{kKanji, 4}}},
        {"the same bytes not said to be Shift JIS", kKanjiPair + kKanjiPair, false, {{kByte, 4}}},
        {"UTF-8 curly quotes", "\xe2\x80\x9cok\xe2\x80\x9d", false, {{kByte, 8}}},
        {"a long digit run after bytes", "abcdefgh" + QByteArray(30, '5'), false, {{kByte, 8}, {kNumeric, 30}}},
        {"a long digit run between capitals", "ABC1234567890123XYZ", false, {{kAlpha, 3}, {kNumeric, 13}, {kAlpha, 3}}},
        {"a short digit run between capitals", "ABC123XYZ", false, {{kAlpha, 9}}},
        {"a digit between bytes", "a1b", false, {{kByte, 3}}},
        {"a capital between bytes and digits", "abcdefghijklA1234", false, {{kByte, 13}, {kNumeric, 4}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const auto encoder = std::make_unique<CQR_Encode>();
        encoder->m_bShiftJIS = c.shiftJIS;
        ASSERT_TRUE(encoder->EncodeSourceData(c.text.constData(), c.text.size(), CQR_Encode::QR_VRESION_S));
        std::vector<std::pair<quint8, qint64>> segments;
        qint64 bits = 0;
        for (qint64 i = 0; i < encoder->m_ncDataBlock; ++i) {
            segments.emplace_back(encoder->m_byBlockMode[i], encoder->m_nBlockLength[i]);
            bits += CQR_Encode::GetBitLength(segments.back().first, segments.back().second, CQR_Encode::QR_VRESION_S);
        }
        EXPECT_EQ(segments, c.segments);
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
    for (const Case &c :
         {Case{"", false, kByte}, Case{"123", false, kNumeric}, Case{"12A:", false, kAlpha}, Case{"12a", false, kByte},
          Case{"12" + kKanjiPair, true, kKanji}, Case{kKanjiPair, false, kByte}, Case{"x" + kKanjiPair, true, kByte}}) {
        SCOPED_TRACE(c.text.toHex().toStdString());
        EXPECT_EQ(CQR_Encode::Get_Encoding_Mode(c.text.constData(), c.text.size(), c.shiftJIS), c.mode);
    }

    // Shift JIS lead and trail byte limits; values from the standard's examples.
    for (const auto &[c1, c2, kanji] :
         {std::tuple{0x81, 0x40, true}, std::tuple{0x81, 0x3F, false}, std::tuple{0x9F, 0xFC, true},
          std::tuple{0x9F, 0xFD, false}, std::tuple{0xA0, 0x40, false}, std::tuple{0xEB, 0xBF, true},
          std::tuple{0xEB, 0xC0, false}})
        EXPECT_EQ(CQR_Encode::IsKanjiData(static_cast<unsigned char>(c1), static_cast<unsigned char>(c2)), kanji)
            << std::hex << c1 << " " << c2;
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
        {"too small a version grows when allowed", 0, 1, true, QByteArray(40, 'a'), 40, 29},
        {"too small a version fails otherwise", 0, 1, false, QByteArray(40, 'a'), 40, 0},
        {"a version of the middle group is kept", 3, 10, false, "short", 5, 57},
        {"a length of 0 reads to the terminating zero", 1, 0, true, QByteArray("HELLO\0WORLD", 11), 0, 21},
        {"the largest byte payload", 0, 0, true, QByteArray(2953, 'a'), 2953, 177},
        {"bytes beyond any bit stream", 0, 0, true, QByteArray(2957, 'a'), 2957, 0},
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
        std::vector<QString> symbols;
        for (qint64 mask = 0; mask < 8; ++mask) {
            const auto encoder = std::make_unique<CQR_Encode>();
            ASSERT_TRUE(encoder->EncodeData(level, 0, true, mask, text.constData(), text.size()));
            const DataMatrix grid = gridOf(*encoder);
            penalties.push_back(maskPenalty(grid));
            symbols.push_back(grid.description());
            EXPECT_EQ(encoder->CountPenalty(), penalties.back());
            EXPECT_EQ(readBack(grid).mask, mask);
        }
        const auto lowest = std::min_element(penalties.begin(), penalties.end()) - penalties.begin();
        ties += std::count(penalties.begin(), penalties.end(), penalties[static_cast<std::size_t>(lowest)]) > 1;
        const auto encoder = std::make_unique<CQR_Encode>();
        ASSERT_TRUE(encoder->EncodeData(level, 0, true, -1, text.constData(), text.size()));
        EXPECT_EQ(encoder->m_nMaskingNo, lowest);
        EXPECT_EQ(gridOf(*encoder).description(), symbols[static_cast<std::size_t>(lowest)]);
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
        std::array<qint64, 4> data;                      // by level; zeros: not checked
        std::array<std::array<qint64, 4>, 4> characters; // by level: numeric, alphanumeric, byte, Kanji
    };
    // clang-format off
    const Version cases[] = {
        {1, 26, {}, {19, 16, 13, 9}, {{{41, 25, 17, 10}, {34, 20, 14, 8}, {27, 16, 11, 7}, {17, 10, 7, 4}}}},
        {7, 196, {22, 38}, {156, 124, 88, 66},
         {{{370, 224, 154, 95}, {293, 178, 122, 75}, {207, 125, 86, 53}, {154, 93, 64, 39}}}},
        {32, 2465, {34, 60, 86, 112, 138}, {}, {}}, // the one irregular spacing
        {40, 3706, {30, 58, 86, 114, 142, 170}, {2956, 2334, 1666, 1276},
         {{{7089, 4296, 2953, 1817}, {5596, 3391, 2331, 1435}, {3993, 2420, 1663, 1024}, {3057, 1852, 1273, 784}}}},
    };
    // clang-format on
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
