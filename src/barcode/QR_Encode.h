#pragma once

#include <QtGlobal>

#include <array>

// One group of equal Reed-Solomon blocks.
struct RS_BLOCKINFO {
    qint64 ncRSBlock = 0;      // blocks in the group
    qint64 ncAllCodeWord = 0;  // codewords per block
    qint64 ncDataCodeWord = 0; // data codewords per block
};

struct QR_VERSIONINFO {
    qint64 nVersionNo = 0;
    qint64 ncAllCodeWord = 0;
    std::array<qint64, 4> ncDataCodeWord{}; // by level
    qint64 ncAlignPoint = 0;                // alignment coordinates besides 6
    std::array<qint64, 6> nAlignPoint{};
    std::array<RS_BLOCKINFO, 4> RS_BlockInfo1{}; // by level: the shorter blocks
    std::array<RS_BLOCKINFO, 4> RS_BlockInfo2{}; // by level: one data codeword more; empty where all are equal
};

namespace qr_detail {

// The only typed part of the symbol tables: error-correction codewords per block and the number of
// blocks, by level and version. Everything else follows from the symbol's geometry.
// clang-format off
inline constexpr std::array<std::array<quint8, 41>, 4> kEccPerBlock = {{
    {0,  7,  10, 15, 20, 26, 18, 20, 24, 30, 18, 20, 24, 26, 30, 22, 24, 28, 30, 28, 28,
     28, 28, 30, 30, 26, 28, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30},
    {0,  10, 16, 26, 18, 24, 16, 18, 22, 22, 26, 30, 22, 22, 24, 24, 28, 28, 26, 26, 26,
     26, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28},
    {0,  13, 22, 18, 26, 18, 24, 18, 22, 20, 24, 28, 26, 24, 20, 30, 24, 28, 28, 26, 30,
     28, 30, 30, 30, 30, 28, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30},
    {0,  17, 28, 22, 16, 22, 28, 26, 26, 24, 28, 24, 28, 22, 24, 24, 30, 28, 28, 26, 28,
     30, 24, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30},
}};
inline constexpr std::array<std::array<quint8, 41>, 4> kBlockCount = {{
    {0,  1,  1,  1,  1,  1,  2,  2,  2,  2,  4,  4,  4,  4,  4,  6,  6,  6,  6,  7,  8,
     8,  9,  9,  10, 12, 12, 12, 13, 14, 15, 16, 17, 18, 19, 19, 20, 21, 22, 24, 25},
    {0,  1,  1,  1,  2,  2,  4,  4,  4,  5,  5,  5,  8,  9,  9,  10, 10, 11, 13, 14, 16,
     17, 17, 18, 20, 21, 23, 25, 26, 28, 29, 31, 33, 35, 37, 38, 40, 43, 45, 47, 49},
    {0,  1,  1,  2,  2,  4,  4,  6,  6,  8,  8,  8,  10, 12, 16, 12, 17, 16, 18, 21, 20,
     23, 23, 25, 27, 29, 34, 34, 35, 38, 40, 43, 45, 48, 51, 53, 56, 59, 62, 65, 68},
    {0,  1,  1,  2,  4,  4,  4,  5,  6,  8,  8,  11, 11, 16, 16, 18, 16, 19, 21, 25, 25,
     25, 34, 30, 32, 35, 37, 40, 42, 45, 48, 51, 54, 57, 60, 63, 66, 70, 74, 77, 81},
}};
// clang-format on

// Alignment-pattern centres besides 6: evenly spaced back from the far edge (size - 7), the spacing
// even and rounded up, except version 32's.
constexpr QR_VERSIONINFO versionInfo(int version)
{
    QR_VERSIONINFO info;
    info.nVersionNo = version;
    const qint64 size = 4 * version + 17;
    qint64 functionModules = 3 * 64 + 2 * (size - 16) + 31; // finders with separators, timing, format
    if (version >= 2) {
        const qint64 count = version / 7 + 2; // with the 6
        const qint64 step = version == 32 ? 26 : (version * 4 + count * 2 + 1) / (count * 2 - 2) * 2;
        info.ncAlignPoint = count - 1;
        for (qint64 i = count - 2, pos = size - 7; i >= 0; --i, pos -= step)
            info.nAlignPoint[static_cast<std::size_t>(i)] = pos;
        // count² patterns but three under the finders; those on the timing lines share 5 modules each.
        functionModules += 25 * (count * count - 3) - 10 * (count - 2);
    }
    if (version >= 7)
        functionModules += 36;
    info.ncAllCodeWord = (size * size - functionModules) / 8;
    for (std::size_t level = 0; level < 4; ++level) {
        const qint64 blocks = kBlockCount[level][static_cast<std::size_t>(version)];
        const qint64 ecc = kEccPerBlock[level][static_cast<std::size_t>(version)];
        const qint64 shortLength = info.ncAllCodeWord / blocks;
        const qint64 longBlocks = info.ncAllCodeWord % blocks;
        info.RS_BlockInfo1[level] = {blocks - longBlocks, shortLength, shortLength - ecc};
        if (longBlocks > 0)
            info.RS_BlockInfo2[level] = {longBlocks, shortLength + 1, shortLength + 1 - ecc};
        info.ncDataCodeWord[level] = info.ncAllCodeWord - blocks * ecc;
    }
    return info;
}

constexpr std::array<QR_VERSIONINFO, 41> versionTable()
{
    std::array<QR_VERSIONINFO, 41> table{};
    for (int v = 1; v <= 40; ++v)
        table[static_cast<std::size_t>(v)] = versionInfo(v);
    return table;
}

} // namespace qr_detail

// Per version 1 to 40 (entry 0 unused): codewords, data codewords per level, alignment coordinates and
// the block structure of each level.
inline constexpr std::array<QR_VERSIONINFO, 41> QR_VersonInfo = qr_detail::versionTable();

// Data capacity in bits, indexed (version - 1) * 4 + level.
inline constexpr std::array<qint64, 160> data_bit_size_array = [] {
    std::array<qint64, 160> bits{};
    for (std::size_t v = 1; v <= 40; ++v)
        for (std::size_t level = 0; level < 4; ++level)
            bits[(v - 1) * 4 + level] = 8 * QR_VersonInfo[v].ncDataCodeWord[level];
    return bits;
}();

// Builds one QR Code symbol (model 2, ISO/IEC 18004) from a byte string: segments the data into
// numeric, alphanumeric, byte and Kanji runs, picks the smallest version that holds it, adds the
// Reed-Solomon codewords, places everything and picks the mask of the lowest penalty.
//
// A plain object with fixed-size storage, made fresh for each symbol; it allocates nothing while it
// encodes and holds no shared state, so any thread may use its own. Kanji mode is used only when the
// caller says that the bytes are Shift JIS: other multi-byte text (UTF-8) goes in byte mode, where
// every reader gets its bytes back unchanged.
class CQR_Encode {
public:
    // Error-correction levels, data modes and version groups as the encoder numbers them.
    static constexpr qint64 QR_LEVEL_L = 0;
    static constexpr qint64 QR_LEVEL_M = 1;
    static constexpr qint64 QR_LEVEL_Q = 2;
    static constexpr qint64 QR_LEVEL_H = 3;

    static constexpr quint8 QR_MODE_NUMERAL = 0;
    static constexpr quint8 QR_MODE_ALPHABET = 1;
    static constexpr quint8 QR_MODE_8BIT = 2;
    static constexpr quint8 QR_MODE_KANJI = 3;

    static constexpr qint64 QR_VRESION_S = 0; // versions 1 to 9
    static constexpr qint64 QR_VRESION_M = 1; // versions 10 to 26
    static constexpr qint64 QR_VRESION_L = 2; // versions 27 to 40

    // Bits of an ECI header: mode 0111 and a designator below 128 in one byte.
    static constexpr qint64 QR_ECI_BITS = 12;

    static constexpr int MAX_MODULESIZE = 177;    // version 40
    static constexpr int MAX_DATACODEWORD = 2956; // version 40-L
    static constexpr int MAX_ALLCODEWORD = 3706;  // version 40
    static constexpr int MAX_CODEBLOCK = 153;     // the longest block (version 23-L)
    static constexpr int MAX_SOURCEDATA = 7089;   // digits of version 40-L: no longer input can fit

    // Character-count indicator lengths by version group.
    static constexpr std::array<qint64, 3> nIndicatorLenNumeral = {10, 12, 14};
    static constexpr std::array<qint64, 3> nIndicatorLenAlphabet = {9, 11, 13};
    static constexpr std::array<qint64, 3> nIndicatorLen8Bit = {8, 16, 16};
    static constexpr std::array<qint64, 3> nIndicatorLenKanji = {8, 10, 12};

    // Leaves the large buffers uninitialised: every encoding clears what it uses.
    CQR_Encode();

    // Builds the symbol. `nVersion` 0 picks the smallest version 1 to 40 that holds the data; a version
    // asked for is kept unless the data needs a larger one, which `bAutoExtent` allows. `nMaskingNo` -1
    // chooses the mask. `ncSource` 0 takes the string up to its terminating zero. On success
    // `m_nSymbleSize` and `m_byModuleData` (0 light, 1 dark) hold the symbol; on failure the matrix is
    // left as it was. `nEci` 0 to 127 opens the stream with that ECI designator, which says how readers
    // are to take the bytes; -1 writes none, and byte data then reads as ISO-8859-1.
    bool EncodeData(qint64 nLevel, qint64 nVersion, bool bAutoExtent, qint64 nMaskingNo, const char *lpsSource,
                    qint64 ncSource = 0, bool bShiftJIS = false, qint64 nEci = -1);

    // The smallest version at or above the group of `nVersion` whose capacity holds the data, 0 when none.
    qint64 GetEncodeVersion(qint64 nVersion, const char *lpsSource, qint64 ncLength);
    // Segments the data for the counts of one version group and writes the data bit stream.
    bool EncodeSourceData(const char *lpsSource, qint64 ncLength, qint64 nVerGroup);
    // Bits of a segment of `ncData` bytes with its mode and count indicators. Within a symbol's capacity
    // every count fits its indicator.
    static constexpr qint64 GetBitLength(quint8 nMode, qint64 ncData, qint64 nVerGroup)
    {
        const qint64 indicator = IndicatorLength(nMode, nVerGroup);
        switch (nMode) {
        case QR_MODE_NUMERAL:
            return 4 + indicator + 10 * (ncData / 3) + (ncData % 3 == 1 ? 4 : ncData % 3 == 2 ? 7 : 0);
        case QR_MODE_ALPHABET:
            return 4 + indicator + 11 * (ncData / 2) + 6 * (ncData % 2);
        case QR_MODE_8BIT:
            return 4 + indicator + 8 * ncData;
        default:
            return 4 + indicator + 13 * (ncData / 2);
        }
    }
    static constexpr qint64 IndicatorLength(quint8 nMode, qint64 nVerGroup)
    {
        const auto group = static_cast<std::size_t>(nVerGroup);
        switch (nMode) {
        case QR_MODE_NUMERAL:
            return nIndicatorLenNumeral[group];
        case QR_MODE_ALPHABET:
            return nIndicatorLenAlphabet[group];
        case QR_MODE_8BIT:
            return nIndicatorLen8Bit[group];
        default:
            return nIndicatorLenKanji[group];
        }
    }
    // Writes the low `ncData` bits of `wData` from bit `nIndex` on; the next index, or -1 when it would
    // not fit (or was handed -1).
    qint64 SetBitStream(qint64 nIndex, quint16 wData, qint64 ncData);

    static bool IsNumeralData(unsigned char c);
    static bool IsAlphabetData(unsigned char c);
    static bool IsKanjiData(unsigned char c1, unsigned char c2);
    static quint8 AlphabetToBinaly(unsigned char c);
    static quint16 KanjiToBinaly(quint16 wc);

    // One mode for the whole text: byte if any byte needs it, else Kanji (Shift JIS only) if any pair
    // is Kanji, else alphanumeric if any character is, else numeric; byte for an empty text.
    static quint8 Get_Encoding_Mode(const char *lpsSource, qint64 ncLength, bool bShiftJIS = false);

    // Divides the `ncDataCodeWord` data codewords at the start of `lpbyRSWork` by the generator of
    // `ncRSCodeWord` (1 to 30) check codewords; the check codewords replace the start of the buffer.
    static void GetRSCodeWord(quint8 *lpbyRSWork, qint64 ncDataCodeWord, qint64 ncRSCodeWord);

    void FormatModule();
    void SetFunctionModule();
    void SetFinderPattern(qint64 x, qint64 y);
    void SetAlignmentPattern(qint64 x, qint64 y);
    void SetVersionPattern();
    void SetCodeWordPattern();
    void SetMaskingPattern(qint64 nPatternNo);
    void SetFormatInfoPattern(qint64 nPatternNo);
    qint64 CountPenalty() const;

    qint64 m_nLevel = 0;
    qint64 m_nVersion = 0;
    // The largest version the capacity gate of the segmentation allows: the one asked for when it may
    // not grow, else 40.
    qint64 m_nVersion_pass = 40;
    qint64 m_nMaskingNo = -1;
    bool m_bShiftJIS = false;
    qint64 m_nEci = -1;

    qint64 m_nSymbleSize = 0;
    // [x][y], x the column. While building: 0x20 light and 0x30 dark function modules; data modules
    // hold the unmasked bit in bit 1 and the masked one in bit 0.
    quint8 m_byModuleData[MAX_MODULESIZE][MAX_MODULESIZE];

    qint64 m_ncDataCodeWordBit = 0;
    quint8 m_byDataCodeWord[MAX_DATACODEWORD];

    // Segments: a Kanji character counts two bytes. Sized for the longest input that can fit, whose
    // segments, before merging, may be as many as its bytes.
    qint64 m_ncDataBlock = 0;
    quint8 m_byBlockMode[MAX_SOURCEDATA];
    qint64 m_nBlockLength[MAX_SOURCEDATA];

    qint64 m_ncAllCodeWord = 0;
    quint8 m_byAllCodeWord[MAX_ALLCODEWORD];
    quint8 m_byRSWork[MAX_CODEBLOCK];

private:
    void joinBlock(qint64 nInto); // appends segment nInto + 1 to nInto
};
