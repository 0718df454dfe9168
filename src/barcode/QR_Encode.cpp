#include "barcode/QR_Encode.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>

namespace {

// GF(256) over x^8 + x^4 + x^3 + x^2 + 1: powers of alpha (entry 255 wraps to 1) and their logarithms.
struct GaloisField {
    std::array<quint8, 256> byExpToInt{};
    std::array<quint8, 256> byIntToExp{};
};

constexpr GaloisField makeField()
{
    GaloisField field;
    unsigned value = 1;
    for (unsigned i = 0; i < 255; ++i) {
        field.byExpToInt[i] = static_cast<quint8>(value);
        field.byIntToExp[value] = static_cast<quint8>(i);
        value <<= 1;
        if (value & 0x100)
            value ^= 0x11D;
    }
    field.byExpToInt[255] = 1;
    return field;
}
constexpr GaloisField kField = makeField();

constexpr int kMaxEcc = 30; // check codewords per block in any symbol

// Generator polynomial of n check codewords, the product of (x - alpha^i) for i < n, as the exponents of
// its n coefficients below the leading one, highest degree first.
struct Generators {
    std::array<std::array<quint8, kMaxEcc>, kMaxEcc + 1> byRSExp{};
    bool allCoefficientsNonZero = true;
};

constexpr Generators makeGenerators()
{
    Generators g;
    for (int n = 1; n <= kMaxEcc; ++n) {
        std::array<quint8, kMaxEcc + 1> poly{}; // coefficients, poly[0] the leading one
        poly[0] = 1;
        for (int i = 0; i < n; ++i) {
            // poly *= (x + alpha^i)
            const quint8 root = kField.byExpToInt[static_cast<std::size_t>(i)];
            for (int k = i + 1; k >= 1; --k) {
                quint8 product = 0;
                if (poly[static_cast<std::size_t>(k - 1)] != 0)
                    product = kField.byExpToInt[(kField.byIntToExp[poly[static_cast<std::size_t>(k - 1)]]
                                                 + kField.byIntToExp[root])
                                                % 255];
                poly[static_cast<std::size_t>(k)] ^= product;
            }
        }
        for (int k = 0; k < n; ++k) {
            const quint8 c = poly[static_cast<std::size_t>(k + 1)];
            g.allCoefficientsNonZero = g.allCoefficientsNonZero && c != 0;
            g.byRSExp[static_cast<std::size_t>(n)][static_cast<std::size_t>(k)] = kField.byIntToExp[c];
        }
    }
    return g;
}
constexpr Generators kGenerators = makeGenerators();
static_assert(kGenerators.allCoefficientsNonZero, "generator coefficients are stored as logarithms");

constexpr int kMaxStreamBits = CQR_Encode::MAX_DATACODEWORD * 8;

constexpr std::array<quint8, 7> kFinderRows = {0x7F, 0x41, 0x5D, 0x5D, 0x5D, 0x41, 0x7F};
constexpr std::array<quint8, 5> kAlignmentRows = {0x1F, 0x11, 0x15, 0x11, 0x1F};

constexpr quint8 kFunctionLight = 0x20;
constexpr quint8 kFunctionDark = 0x30;

// Condition of each data mask at row i, column j.
constexpr bool maskCondition(int pattern, int i, int j)
{
    switch (pattern) {
    case 0:
        return (i + j) % 2 == 0;
    case 1:
        return i % 2 == 0;
    case 2:
        return j % 3 == 0;
    case 3:
        return (i + j) % 3 == 0;
    case 4:
        return ((i / 2) + (j / 3)) % 2 == 0;
    case 5:
        return (i * j) % 2 + (i * j) % 3 == 0;
    case 6:
        return ((i * j) % 2 + (i * j) % 3) % 2 == 0;
    default:
        return ((i * j) % 3 + (i + j) % 2) % 2 == 0;
    }
}

// The masks are scored on the symbol held as bits, a line of modules per row and per column, so that
// one word operation covers 64 modules.
constexpr int kModules = CQR_Encode::MAX_MODULESIZE;
constexpr int kWords = (kModules + 63) / 64;
using BitLine = std::array<quint64, kWords>;

constexpr bool bitAt(const BitLine &line, int k)
{
    return (line[static_cast<std::size_t>(k / 64)] >> (k % 64)) & 1;
}

constexpr void setBit(BitLine &line, int k, bool on)
{
    const quint64 bit = quint64(1) << (k % 64);
    auto &word = line[static_cast<std::size_t>(k / 64)];
    word = on ? (word | bit) : (word & ~bit);
}

// The cells each mask inverts along a row (bits along x) and along a column (bits along y). Every mask
// repeats after 12 lines.
struct MaskTables {
    BitLine rows[8][12]{};
    BitLine columns[8][12]{};
};

constexpr MaskTables makeMaskTables()
{
    MaskTables tables;
    for (int p = 0; p < 8; ++p)
        for (int k = 0; k < 12; ++k)
            for (int t = 0; t < kModules; ++t) {
                setBit(tables.rows[p][k], t, maskCondition(p, k, t));
                setBit(tables.columns[p][k], t, maskCondition(p, t, k));
            }
    return tables;
}
constexpr MaskTables kMasks = makeMaskTables();

// Dark modules as bits, by rows and by columns.
struct BitSymbol {
    int size = 0;
    int words = 0;
    BitLine valid{}; // bits 0 to size - 1
    BitLine rows[kModules];
    BitLine columns[kModules];

    explicit BitSymbol(int n) : size(n), words((n + 63) / 64)
    {
        for (int k = 0; k < n; ++k)
            setBit(valid, k, true);
        for (int k = 0; k < n; ++k)
            rows[k] = columns[k] = BitLine{};
    }
    void set(int x, int y, bool dark)
    {
        setBit(rows[y], x, dark);
        setBit(columns[x], y, dark);
    }
};

// Runs of five and more, and finder-like patterns, along the lines' bit positions (so across the lines:
// rows give the columns' penalties and columns the rows').
qint64 acrossLinesPenalty(const BitLine *line, int n, int words, const BitLine &valid)
{
    static constexpr BitLine kOutside{}; // light
    const auto at = [line, n](int k) -> const BitLine & { return k >= 0 && k < n ? line[k] : kOutside; };
    qint64 penalty = 0;
    quint64 equal[kModules]; // line k equals line k + 1
    for (int w = 0; w < words; ++w) {
        const auto ws = static_cast<std::size_t>(w);
        const quint64 v = valid[ws];
        for (int k = 0; k + 1 < n; ++k)
            equal[k] = ~(line[k][ws] ^ line[k + 1][ws]) & v;

        // A run of length r >= 5 holds r - 4 windows of five and costs r - 2: every window, plus two for
        // the first window of each run.
        for (int s = 0; s + 5 <= n; ++s) {
            quint64 window = equal[s] & equal[s + 1] & equal[s + 2] & equal[s + 3];
            penalty += std::popcount(window);
            if (s > 0)
                window &= ~equal[s - 1];
            penalty += 2 * std::popcount(window);
        }

        // Dark-light-dark-dark-dark-light-dark with light on both sides and four light on one.
        for (int s = 0; s + 7 <= n; ++s) {
            quint64 m = line[s][ws] & ~line[s + 1][ws] & line[s + 2][ws] & line[s + 3][ws] & line[s + 4][ws]
                & ~line[s + 5][ws] & line[s + 6][ws];
            if (m == 0)
                continue;
            m &= ~at(s - 1)[ws] & ~at(s + 7)[ws] & v;
            m &= (~at(s - 2)[ws] & ~at(s - 3)[ws] & ~at(s - 4)[ws])
                | (~at(s + 8)[ws] & ~at(s + 9)[ws] & ~at(s + 10)[ws]);
            penalty += 40 * std::popcount(m);
        }
    }
    return penalty;
}

qint64 penaltyOf(const BitSymbol &symbol)
{
    const int n = symbol.size, words = symbol.words;
    qint64 penalty = acrossLinesPenalty(symbol.rows, n, words, symbol.valid)
        + acrossLinesPenalty(symbol.columns, n, words, symbol.valid);

    // 2 x 2 blocks of one colour.
    BitLine inner = symbol.valid;
    setBit(inner, n - 1, false);
    const auto nextBit = [](const BitLine &line, int w) {
        return (line[static_cast<std::size_t>(w)] >> 1)
            | (w + 1 < kWords ? line[static_cast<std::size_t>(w + 1)] << 63 : 0);
    };
    for (int y = 0; y + 1 < n; ++y) {
        BitLine vertical, horizontal;
        for (int w = 0; w < words; ++w) {
            const auto ws = static_cast<std::size_t>(w);
            vertical[ws] = ~(symbol.rows[y][ws] ^ symbol.rows[y + 1][ws]);
            horizontal[ws] = ~(symbol.rows[y][ws] ^ nextBit(symbol.rows[y], w));
        }
        for (int w = 0; w < words; ++w) {
            const auto ws = static_cast<std::size_t>(w);
            penalty += 3 * std::popcount(vertical[ws] & nextBit(vertical, w) & horizontal[ws] & inner[ws]);
        }
    }

    // The light proportion, in 5 % steps from one half.
    qint64 dark = 0;
    for (int y = 0; y < n; ++y)
        for (int w = 0; w < words; ++w)
            dark +=
                std::popcount(symbol.rows[y][static_cast<std::size_t>(w)] & symbol.valid[static_cast<std::size_t>(w)]);
    const qint64 all = qint64(n) * n;
    penalty += 10 * (std::abs(50 - (100 * (all - dark)) / all) / 5);
    return penalty;
}

// The format information's cells: bit k of the word, or -1 for the module that is always dark.
template <typename Place>
void forEachFormatCell(int size, Place place)
{
    for (int i = 0; i < 6; ++i)
        place(8, i, i);
    place(8, 7, 6);
    place(8, 8, 7);
    place(7, 8, 8);
    for (int i = 9; i < 15; ++i)
        place(14 - i, 8, i);
    for (int i = 0; i < 8; ++i)
        place(size - 1 - i, 8, i);
    for (int i = 8; i < 15; ++i)
        place(8, size - 15 + i, i);
    place(8, size - 8, -1);
}

// `data` followed by the remainder of its division by the generator: the codeword of the format and
// version information.
constexpr unsigned bchCode(unsigned data, unsigned generator, int generatorDegree)
{
    unsigned value = data << generatorDegree;
    for (int bit = 31; bit >= generatorDegree; --bit)
        if (value & (1u << bit))
            value ^= generator << (bit - generatorDegree);
    return (data << generatorDegree) | value;
}

unsigned formatWord(qint64 level, qint64 mask)
{
    static constexpr unsigned kLevelBits[4] = {1, 0, 3, 2}; // L, M, Q, H
    return bchCode(kLevelBits[level] << 3 | static_cast<unsigned>(mask), 0x537, 10) ^ 0x5412;
}

} // namespace

CQR_Encode::CQR_Encode() = default;

bool CQR_Encode::IsNumeralData(unsigned char c)
{
    return c >= '0' && c <= '9';
}

bool CQR_Encode::IsAlphabetData(unsigned char c)
{
    if (IsNumeralData(c) || (c >= 'A' && c <= 'Z'))
        return true;
    return c == ' ' || c == '$' || c == '%' || c == '*' || c == '+' || c == '-' || c == '.' || c == '/' || c == ':';
}

bool CQR_Encode::IsKanjiData(unsigned char c1, unsigned char c2)
{
    if (((c1 >= 0x81 && c1 <= 0x9F) || (c1 >= 0xE0 && c1 <= 0xEB)) && c2 >= 0x40) {
        if ((c1 == 0x9F && c2 > 0xFC) || (c1 == 0xEB && c2 >= 0xC0))
            return false;
        return true;
    }
    return false;
}

quint8 CQR_Encode::AlphabetToBinaly(unsigned char c)
{
    if (IsNumeralData(c))
        return static_cast<quint8>(c - '0');
    if (c >= 'A' && c <= 'Z')
        return static_cast<quint8>(c - 'A' + 10);
    switch (c) {
    case ' ':
        return 36;
    case '$':
        return 37;
    case '%':
        return 38;
    case '*':
        return 39;
    case '+':
        return 40;
    case '-':
        return 41;
    case '.':
        return 42;
    case '/':
        return 43;
    default:
        return 44; // ':'
    }
}

quint16 CQR_Encode::KanjiToBinaly(quint16 wc)
{
    const unsigned w = (wc >= 0x8140 && wc <= 0x9FFC) ? wc - 0x8140u : wc - 0xC140u;
    return static_cast<quint16>(((w >> 8) * 0xC0 + (w & 0xFF)) & 0x1FFF);
}

quint8 CQR_Encode::Get_Encoding_Mode(const char *lpsSource, qint64 ncLength, bool bShiftJIS)
{
    const auto *src = reinterpret_cast<const unsigned char *>(lpsSource);
    bool numeral = false, alphabet = false, byte = false, kanji = false;
    for (qint64 i = 0; i < ncLength; ++i) {
        if (bShiftJIS && i + 1 < ncLength && IsKanjiData(src[i], src[i + 1])) {
            kanji = true;
            ++i; // the pair is one character
        } else if (IsNumeralData(src[i])) {
            numeral = true;
        } else if (IsAlphabetData(src[i])) {
            alphabet = true;
        } else {
            byte = true;
        }
    }
    if (byte)
        return QR_MODE_8BIT;
    if (kanji)
        return QR_MODE_KANJI;
    if (alphabet)
        return QR_MODE_ALPHABET;
    return numeral ? QR_MODE_NUMERAL : QR_MODE_8BIT;
}

qint64 CQR_Encode::SetBitStream(qint64 nIndex, quint16 wData, qint64 ncData)
{
    if (nIndex < 0 || ncData < 0 || ncData > 16 || nIndex + ncData > kMaxStreamBits)
        return -1;
    for (qint64 i = 0; i < ncData; ++i) {
        if (wData & (1u << (ncData - i - 1)))
            m_byDataCodeWord[(nIndex + i) / 8] |= static_cast<quint8>(1u << (7 - ((nIndex + i) % 8)));
    }
    return nIndex + ncData;
}

void CQR_Encode::joinBlock(qint64 nInto)
{
    m_nBlockLength[nInto] += m_nBlockLength[nInto + 1];
    const auto tail = static_cast<std::size_t>(m_ncDataBlock - nInto - 2);
    std::memmove(&m_byBlockMode[nInto + 1], &m_byBlockMode[nInto + 2], tail * sizeof(m_byBlockMode[0]));
    std::memmove(&m_nBlockLength[nInto + 1], &m_nBlockLength[nInto + 2], tail * sizeof(m_nBlockLength[0]));
    --m_ncDataBlock;
}

bool CQR_Encode::EncodeSourceData(const char *lpsSource, qint64 ncLength, qint64 nVerGroup)
{
    const auto *src = reinterpret_cast<const unsigned char *>(lpsSource);
    if (ncLength <= 0 || ncLength > MAX_SOURCEDATA || nVerGroup < QR_VRESION_S || nVerGroup > QR_VRESION_L
        || m_nLevel < QR_LEVEL_L || m_nLevel > QR_LEVEL_H || m_nVersion_pass < 1 || m_nVersion_pass > 40)
        return false;

    // Runs of one character class.
    m_ncDataBlock = 0;
    for (qint64 i = 0; i < ncLength; ++i) {
        quint8 mode = QR_MODE_8BIT;
        const bool pair = m_bShiftJIS && i + 1 < ncLength && IsKanjiData(src[i], src[i + 1]);
        if (pair)
            mode = QR_MODE_KANJI;
        else if (IsNumeralData(src[i]))
            mode = QR_MODE_NUMERAL;
        else if (IsAlphabetData(src[i]))
            mode = QR_MODE_ALPHABET;
        if (m_ncDataBlock == 0 || mode != m_byBlockMode[m_ncDataBlock - 1]) {
            m_byBlockMode[m_ncDataBlock] = mode;
            m_nBlockLength[m_ncDataBlock] = 0;
            ++m_ncDataBlock;
        }
        m_nBlockLength[m_ncDataBlock - 1] += pair ? 2 : 1;
        if (pair)
            ++i;
    }

    const auto cost = [this, nVerGroup](qint64 block) {
        return GetBitLength(m_byBlockMode[block], m_nBlockLength[block], nVerGroup);
    };
    // The ECI header comes before every segment and takes its room from the capacity.
    const qint64 eciBits = m_nEci >= 0 ? QR_ECI_BITS : 0;
    const qint64 capacityBits =
        data_bit_size_array[static_cast<std::size_t>((m_nVersion_pass - 1) * 4 + m_nLevel)] - eciBits;
    qint64 ncComputeBits = 0;

    // Neighbouring numeric and alphanumeric runs become one alphanumeric run where that is shorter,
    // unless joining a neighbouring byte run is shorter still.
    qint64 ncDstBits = 0;
    for (qint64 nBlock = 0; nBlock < m_ncDataBlock - 1;) {
        const quint8 a = m_byBlockMode[nBlock], b = m_byBlockMode[nBlock + 1];
        if ((a == QR_MODE_NUMERAL && b == QR_MODE_ALPHABET) || (a == QR_MODE_ALPHABET && b == QR_MODE_NUMERAL)) {
            const qint64 ncSrcBits = cost(nBlock) + cost(nBlock + 1);
            ncDstBits = GetBitLength(QR_MODE_ALPHABET, m_nBlockLength[nBlock] + m_nBlockLength[nBlock + 1], nVerGroup);
            if (ncSrcBits > ncDstBits) {
                qint64 ncJoinFront = 0, ncJoinBehind = 0;
                if (nBlock >= 1 && m_byBlockMode[nBlock - 1] == QR_MODE_8BIT) {
                    ncJoinFront =
                        GetBitLength(QR_MODE_8BIT, m_nBlockLength[nBlock - 1] + m_nBlockLength[nBlock], nVerGroup)
                        + cost(nBlock + 1);
                    if (ncJoinFront > ncDstBits + cost(nBlock - 1))
                        ncJoinFront = 0;
                }
                if (nBlock < m_ncDataBlock - 2 && m_byBlockMode[nBlock + 2] == QR_MODE_8BIT) {
                    ncJoinBehind = cost(nBlock)
                        + GetBitLength(QR_MODE_8BIT, m_nBlockLength[nBlock + 1] + m_nBlockLength[nBlock + 2],
                                       nVerGroup);
                    if (ncJoinBehind > ncDstBits + cost(nBlock + 2))
                        ncJoinBehind = 0;
                }
                if (ncJoinFront != 0 && (ncJoinBehind == 0 || ncJoinFront < ncJoinBehind)) {
                    joinBlock(nBlock - 1);
                } else if (ncJoinBehind != 0) {
                    m_byBlockMode[nBlock + 1] = QR_MODE_8BIT;
                    joinBlock(nBlock + 1);
                } else {
                    if (nBlock < m_ncDataBlock - 2 && m_byBlockMode[nBlock + 2] == QR_MODE_ALPHABET)
                        joinBlock(nBlock + 1);
                    m_byBlockMode[nBlock] = QR_MODE_ALPHABET;
                    joinBlock(nBlock);
                    if (nBlock >= 1 && m_byBlockMode[nBlock - 1] == QR_MODE_ALPHABET)
                        joinBlock(nBlock - 1);
                }
                continue;
            }
        }
        ncComputeBits = ncDstBits;
        ++nBlock;
    }
    if (ncComputeBits > capacityBits)
        return false;

    // Short runs between byte runs, or short runs side by side, become byte runs where that is shorter.
    const qint64 byteHeader = 4 + nIndicatorLen8Bit[static_cast<std::size_t>(nVerGroup)];
    for (qint64 nBlock = 0; nBlock < m_ncDataBlock - 1;) {
        const qint64 ncSrcBits = cost(nBlock) + cost(nBlock + 1);
        qint64 ncMergedBits =
            GetBitLength(QR_MODE_8BIT, m_nBlockLength[nBlock] + m_nBlockLength[nBlock + 1], nVerGroup);
        if (nBlock >= 1 && m_byBlockMode[nBlock - 1] == QR_MODE_8BIT)
            ncMergedBits -= byteHeader;
        if (nBlock < m_ncDataBlock - 2 && m_byBlockMode[nBlock + 2] == QR_MODE_8BIT)
            ncMergedBits -= byteHeader;
        if (ncSrcBits <= ncMergedBits) {
            ncComputeBits = ncMergedBits;
            ++nBlock;
            continue;
        }
        if (nBlock >= 1 && m_byBlockMode[nBlock - 1] == QR_MODE_8BIT) {
            joinBlock(nBlock - 1);
            --nBlock;
        }
        if (nBlock < m_ncDataBlock - 2 && m_byBlockMode[nBlock + 2] == QR_MODE_8BIT)
            joinBlock(nBlock + 1);
        m_byBlockMode[nBlock] = QR_MODE_8BIT;
        joinBlock(nBlock);
        if (nBlock >= 1)
            --nBlock;
    }
    if (ncComputeBits > capacityBits)
        return false;

    std::memset(m_byDataCodeWord, 0, sizeof(m_byDataCodeWord));
    qint64 nIndex = 0;
    if (eciBits > 0) {
        nIndex = SetBitStream(nIndex, 7, 4);
        nIndex = SetBitStream(nIndex, static_cast<quint16>(m_nEci), 8);
    }
    const unsigned char *data = src;
    for (qint64 block = 0; block < m_ncDataBlock && nIndex != -1; ++block) {
        const quint8 mode = m_byBlockMode[block];
        const qint64 n = m_nBlockLength[block];
        const qint64 indicator = IndicatorLength(mode, nVerGroup);
        switch (mode) {
        case QR_MODE_NUMERAL:
            nIndex = SetBitStream(nIndex, 1, 4);
            nIndex = SetBitStream(nIndex, static_cast<quint16>(n), indicator);
            for (qint64 i = 0; i < n; i += 3) {
                const qint64 digits = std::min<qint64>(3, n - i);
                quint16 value = 0;
                for (qint64 k = 0; k < digits; ++k)
                    value = static_cast<quint16>(value * 10 + (data[i + k] - '0'));
                nIndex = SetBitStream(nIndex, value, digits == 3 ? 10 : digits == 2 ? 7 : 4);
            }
            break;
        case QR_MODE_ALPHABET:
            nIndex = SetBitStream(nIndex, 2, 4);
            nIndex = SetBitStream(nIndex, static_cast<quint16>(n), indicator);
            for (qint64 i = 0; i < n; i += 2) {
                if (i + 1 < n)
                    nIndex = SetBitStream(
                        nIndex, static_cast<quint16>(AlphabetToBinaly(data[i]) * 45 + AlphabetToBinaly(data[i + 1])),
                        11);
                else
                    nIndex = SetBitStream(nIndex, AlphabetToBinaly(data[i]), 6);
            }
            break;
        case QR_MODE_8BIT:
            nIndex = SetBitStream(nIndex, 4, 4);
            nIndex = SetBitStream(nIndex, static_cast<quint16>(n), indicator);
            for (qint64 i = 0; i < n; ++i)
                nIndex = SetBitStream(nIndex, data[i], 8);
            break;
        default:
            nIndex = SetBitStream(nIndex, 8, 4);
            nIndex = SetBitStream(nIndex, static_cast<quint16>(n / 2), indicator);
            for (qint64 i = 0; i + 1 < n; i += 2)
                nIndex = SetBitStream(nIndex, KanjiToBinaly(static_cast<quint16>(data[i] << 8 | data[i + 1])), 13);
            break;
        }
        data += n;
    }
    m_ncDataCodeWordBit = nIndex;
    return nIndex != -1;
}

qint64 CQR_Encode::GetEncodeVersion(qint64 nVersion, const char *lpsSource, qint64 ncLength)
{
    static constexpr qint64 kGroupFirst[3] = {1, 10, 27};
    static constexpr qint64 kGroupLast[3] = {9, 26, 40};
    const qint64 startGroup = nVersion >= 27 ? QR_VRESION_L : nVersion >= 10 ? QR_VRESION_M : QR_VRESION_S;
    for (qint64 group = startGroup; group <= QR_VRESION_L; ++group) {
        if (!EncodeSourceData(lpsSource, ncLength, group))
            continue;
        const qint64 needed = (m_ncDataCodeWordBit + 7) / 8;
        for (qint64 v = kGroupFirst[group]; v <= kGroupLast[group]; ++v)
            if (QR_VersonInfo[static_cast<std::size_t>(v)].ncDataCodeWord[static_cast<std::size_t>(m_nLevel)] >= needed)
                return v;
    }
    return 0;
}

bool CQR_Encode::EncodeData(qint64 nLevel, qint64 nVersion, bool bAutoExtent, qint64 nMaskingNo, const char *lpsSource,
                            qint64 ncSource, bool bShiftJIS, qint64 nEci)
{
    if (lpsSource == nullptr || nLevel < QR_LEVEL_L || nLevel > QR_LEVEL_H || nVersion < 0 || nVersion > 40
        || nMaskingNo < -1 || nMaskingNo > 7 || nEci < -1 || nEci > 127)
        return false;
    m_nLevel = nLevel;
    m_nMaskingNo = nMaskingNo;
    m_bShiftJIS = bShiftJIS;
    m_nEci = nEci;
    m_nVersion_pass = (nVersion != 0 && !bAutoExtent) ? nVersion : 40;

    const qint64 ncLength = ncSource > 0 ? ncSource : static_cast<qint64>(std::strlen(lpsSource));
    if (ncLength == 0)
        return false;
    const qint64 nEncodeVersion = GetEncodeVersion(nVersion, lpsSource, ncLength);
    if (nEncodeVersion == 0)
        return false;
    if (nVersion != 0 && nEncodeVersion > nVersion && !bAutoExtent)
        return false;
    m_nVersion = std::max(nVersion, nEncodeVersion);

    const QR_VERSIONINFO &info = QR_VersonInfo[static_cast<std::size_t>(m_nVersion)];
    const auto level = static_cast<std::size_t>(m_nLevel);
    const qint64 ncDataCodeWord = info.ncDataCodeWord[level];

    // Terminator, then pad codewords.
    const qint64 ncTerminator = std::min<qint64>(4, ncDataCodeWord * 8 - m_ncDataCodeWordBit);
    if (ncTerminator > 0)
        m_ncDataCodeWordBit = SetBitStream(m_ncDataCodeWordBit, 0, ncTerminator);
    for (qint64 i = (m_ncDataCodeWordBit + 7) / 8, k = 0; i < ncDataCodeWord; ++i, ++k)
        m_byDataCodeWord[i] = (k % 2 == 0) ? 0xEC : 0x11;

    // Interleave the data codewords block by block, then each block's check codewords.
    m_ncAllCodeWord = info.ncAllCodeWord;
    std::memset(m_byAllCodeWord, 0, sizeof(m_byAllCodeWord));
    const RS_BLOCKINFO &group1 = info.RS_BlockInfo1[level];
    const RS_BLOCKINFO &group2 = info.RS_BlockInfo2[level];
    const qint64 ncBlocks = group1.ncRSBlock + group2.ncRSBlock;
    const qint64 ncRSCodeWord = group1.ncAllCodeWord - group1.ncDataCodeWord;
    qint64 nDataCwIndex = 0;
    for (qint64 block = 0; block < ncBlocks; ++block) {
        const bool second = block >= group1.ncRSBlock;
        const qint64 ncBlockData = second ? group2.ncDataCodeWord : group1.ncDataCodeWord;
        for (qint64 j = 0; j < ncBlockData; ++j) {
            const qint64 position = j < group1.ncDataCodeWord
                ? ncBlocks * j + block
                : ncBlocks * group1.ncDataCodeWord + (block - group1.ncRSBlock);
            m_byAllCodeWord[position] = m_byDataCodeWord[nDataCwIndex + j];
        }
        std::memset(m_byRSWork, 0, sizeof(m_byRSWork));
        std::memcpy(m_byRSWork, &m_byDataCodeWord[nDataCwIndex], static_cast<std::size_t>(ncBlockData));
        GetRSCodeWord(m_byRSWork, ncBlockData, ncRSCodeWord);
        for (qint64 j = 0; j < ncRSCodeWord; ++j)
            m_byAllCodeWord[ncDataCodeWord + ncBlocks * j + block] = m_byRSWork[j];
        nDataCwIndex += ncBlockData;
    }

    m_nSymbleSize = m_nVersion * 4 + 17;
    FormatModule();
    return true;
}

void CQR_Encode::GetRSCodeWord(quint8 *lpbyRSWork, qint64 ncDataCodeWord, qint64 ncRSCodeWord)
{
    if (ncRSCodeWord < 1 || ncRSCodeWord > kMaxEcc)
        return;
    // Long division by the generator in a shift register of the check codewords.
    const auto &generator = kGenerators.byRSExp[static_cast<std::size_t>(ncRSCodeWord)];
    quint8 remainder[kMaxEcc] = {};
    for (qint64 i = 0; i < ncDataCodeWord; ++i) {
        const quint8 factor = lpbyRSWork[i] ^ remainder[0];
        std::memmove(remainder, remainder + 1, static_cast<std::size_t>(ncRSCodeWord - 1));
        remainder[ncRSCodeWord - 1] = 0;
        if (factor == 0)
            continue;
        const unsigned exponent = kField.byIntToExp[factor];
        for (qint64 k = 0; k < ncRSCodeWord; ++k) {
            unsigned e = generator[static_cast<std::size_t>(k)] + exponent;
            if (e >= 255)
                e -= 255;
            remainder[k] ^= kField.byExpToInt[e];
        }
    }
    std::memcpy(lpbyRSWork, remainder, static_cast<std::size_t>(ncRSCodeWord));
}

void CQR_Encode::FormatModule()
{
    std::memset(m_byModuleData, 0, sizeof(m_byModuleData));
    SetFunctionModule();
    SetCodeWordPattern();

    if (m_nMaskingNo == -1) {
        const int size = static_cast<int>(m_nSymbleSize);
        // The unmasked symbol and the cells a mask may change.
        BitSymbol base(size), data(size), masked(size);
        for (int x = 0; x < size; ++x)
            for (int y = 0; y < size; ++y) {
                const quint8 cell = m_byModuleData[x][y];
                if (cell & 0x20) {
                    base.set(x, y, cell & 0x10);
                } else {
                    data.set(x, y, true);
                    base.set(x, y, cell & 0x02);
                }
            }
        qint64 nMinPenalty = 0;
        for (int p = 0; p <= 7; ++p) {
            for (int k = 0; k < size; ++k)
                for (std::size_t w = 0; w < kWords; ++w) {
                    masked.rows[k][w] = base.rows[k][w] ^ (data.rows[k][w] & kMasks.rows[p][k % 12][w]);
                    masked.columns[k][w] = base.columns[k][w] ^ (data.columns[k][w] & kMasks.columns[p][k % 12][w]);
                }
            const unsigned word = formatWord(m_nLevel, p);
            forEachFormatCell(size, [&](int x, int y, int bit) { masked.set(x, y, bit < 0 || (word >> bit & 1)); });
            const qint64 nPenalty = penaltyOf(masked);
            if (p == 0 || nPenalty < nMinPenalty) {
                nMinPenalty = nPenalty;
                m_nMaskingNo = p;
            }
        }
    }
    SetMaskingPattern(m_nMaskingNo);
    SetFormatInfoPattern(m_nMaskingNo);

    for (qint64 x = 0; x < m_nSymbleSize; ++x)
        for (qint64 y = 0; y < m_nSymbleSize; ++y)
            m_byModuleData[x][y] = (m_byModuleData[x][y] & 0x11) ? 1 : 0;
}

void CQR_Encode::SetFunctionModule()
{
    const qint64 size = m_nSymbleSize;
    SetFinderPattern(0, 0);
    SetFinderPattern(size - 7, 0);
    SetFinderPattern(0, size - 7);

    for (qint64 i = 0; i < 8; ++i) {
        m_byModuleData[i][7] = m_byModuleData[7][i] = kFunctionLight;
        m_byModuleData[size - 8][i] = m_byModuleData[size - 8 + i][7] = kFunctionLight;
        m_byModuleData[i][size - 8] = m_byModuleData[7][size - 8 + i] = kFunctionLight;
    }

    // Format information, written for each mask later.
    for (qint64 i = 0; i < 9; ++i)
        m_byModuleData[i][8] = m_byModuleData[8][i] = kFunctionLight;
    for (qint64 i = 0; i < 8; ++i)
        m_byModuleData[size - 8 + i][8] = m_byModuleData[8][size - 8 + i] = kFunctionLight;

    SetVersionPattern();

    const QR_VERSIONINFO &info = QR_VersonInfo[static_cast<std::size_t>(m_nVersion)];
    for (qint64 i = 0; i < info.ncAlignPoint; ++i) {
        const qint64 p = info.nAlignPoint[static_cast<std::size_t>(i)];
        SetAlignmentPattern(p, 6);
        SetAlignmentPattern(6, p);
        for (qint64 j = 0; j < info.ncAlignPoint; ++j)
            SetAlignmentPattern(p, info.nAlignPoint[static_cast<std::size_t>(j)]);
    }

    for (qint64 k = 8; k <= size - 9; ++k)
        m_byModuleData[k][6] = m_byModuleData[6][k] = (k % 2 == 0) ? kFunctionDark : kFunctionLight;
}

void CQR_Encode::SetFinderPattern(qint64 x, qint64 y)
{
    for (qint64 i = 0; i < 7; ++i)
        for (qint64 j = 0; j < 7; ++j)
            m_byModuleData[x + j][y + i] =
                (kFinderRows[static_cast<std::size_t>(i)] & (1 << (6 - j))) ? kFunctionDark : kFunctionLight;
}

void CQR_Encode::SetAlignmentPattern(qint64 x, qint64 y)
{
    if (m_byModuleData[x][y] & 0x20)
        return; // it would cover a finder
    x -= 2;
    y -= 2;
    for (qint64 i = 0; i < 5; ++i)
        for (qint64 j = 0; j < 5; ++j)
            m_byModuleData[x + j][y + i] =
                (kAlignmentRows[static_cast<std::size_t>(i)] & (1 << (4 - j))) ? kFunctionDark : kFunctionLight;
}

void CQR_Encode::SetVersionPattern()
{
    if (m_nVersion <= 6)
        return;
    const unsigned word = bchCode(static_cast<unsigned>(m_nVersion), 0x1F25, 12);
    for (qint64 i = 0; i < 6; ++i)
        for (qint64 j = 0; j < 3; ++j) {
            const quint8 cell = (word & (1u << (i * 3 + j))) ? kFunctionDark : kFunctionLight;
            m_byModuleData[m_nSymbleSize - 11 + j][i] = cell;
            m_byModuleData[i][m_nSymbleSize - 11 + j] = cell;
        }
}

void CQR_Encode::SetCodeWordPattern()
{
    const qint64 size = m_nSymbleSize;
    qint64 x = size, y = size - 1;
    qint64 nCoef_x = 1, nCoef_y = 1;
    for (qint64 i = 0; i < m_ncAllCodeWord; ++i) {
        for (int j = 0; j < 8; ++j) {
            do {
                x += nCoef_x;
                nCoef_x = -nCoef_x;
                if (nCoef_x < 0) {
                    y += nCoef_y;
                    if (y < 0 || y == size) {
                        y = (y < 0) ? 0 : size - 1;
                        nCoef_y = -nCoef_y;
                        x -= 2;
                        if (x == 6)
                            --x; // the vertical timing pattern
                    }
                }
            } while (m_byModuleData[x][y] & 0x20);
            m_byModuleData[x][y] = (m_byAllCodeWord[i] & (1 << (7 - j))) ? 0x02 : 0x00;
        }
    }
}

void CQR_Encode::SetMaskingPattern(qint64 nPatternNo)
{
    const auto p = static_cast<std::size_t>(nPatternNo);
    for (qint64 i = 0; i < m_nSymbleSize; ++i) { // row
        const BitLine &hits = kMasks.rows[p][i % 12];
        for (qint64 j = 0; j < m_nSymbleSize; ++j) { // column
            quint8 &cell = m_byModuleData[j][i];
            if (cell & 0x20)
                continue;
            const bool dark = ((cell & 0x02) != 0) != bitAt(hits, static_cast<int>(j));
            cell = static_cast<quint8>((cell & 0xFE) | (dark ? 1 : 0));
        }
    }
}

void CQR_Encode::SetFormatInfoPattern(qint64 nPatternNo)
{
    const unsigned word = formatWord(m_nLevel, nPatternNo);
    forEachFormatCell(static_cast<int>(m_nSymbleSize), [this, word](int x, int y, int bit) {
        m_byModuleData[x][y] = (bit < 0 || (word >> bit & 1)) ? kFunctionDark : kFunctionLight;
    });
}

qint64 CQR_Encode::CountPenalty() const
{
    const int size = static_cast<int>(m_nSymbleSize);
    BitSymbol symbol(size);
    for (int x = 0; x < size; ++x)
        for (int y = 0; y < size; ++y)
            symbol.set(x, y, m_byModuleData[x][y] & 0x11);
    return penaltyOf(symbol);
}
