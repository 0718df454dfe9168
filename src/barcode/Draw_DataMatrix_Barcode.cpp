#include "barcode/Draw_DataMatrix_Barcode.h"

#include "barcode/BarcodeEci.h"
#include "barcode/DataMatrixEncodation.h"

#include "core/MessageBoxes.h"
#include "core/StringHelpers.h"
#include "core/ImageHelpers.h"
#include "document/BarcodeFields.h"
#include "platform/Log.h"

extern "C" {
#include <iec16022ecc200.h>
#include <reedsol.h>
// The encoder's writing of the data codewords, exported by the library though its header does not
// declare it: nonzero when the data fits in `tl` codewords. It prints nothing for letters and bytes
// it takes, where the whole encoder prints every size it finds too small.
char ecc200encode(unsigned char *t, int tl, unsigned char *s, int sl, char *encoding, int *lenp);
}

#include <QColor>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace {

// The encoder keeps its Reed-Solomon tables in globals that every call rebuilds for its own symbol
// size, so two symbols must never be made at the same time.
std::mutex &encoderLock()
{
    static std::mutex lock;
    return lock;
}

// C40 and Text write three values per codeword pair. The encoder pads an unfinished last pair with
// values that read back as an extra zero byte, so each run ends where its values fill whole pairs and
// the rest goes in ASCII.
void c40Runs(const QByteArray &data, char letter, QByteArray &encoding)
{
    const int n = static_cast<int>(data.size());
    int k = 0;
    while (k < n) {
        if (dataMatrixTripletValues(static_cast<unsigned char>(data[k]), letter) == 0) {
            ++k;
            continue;
        }
        int sum = 0, whole = k, end = k;
        for (; end < n; ++end) {
            const int v = dataMatrixTripletValues(static_cast<unsigned char>(data[end]), letter);
            if (v == 0)
                break;
            sum += v;
            if (sum % 3 == 0)
                whole = end + 1;
        }
        std::memset(encoding.data() + k, letter, static_cast<std::size_t>(whole - k));
        k = end;
    }
}

// Where the bits of each codeword lie in the mapping matrix of an ECC200 symbol (the symbol without
// its finder and alignment patterns): codeword * 8 + bit, codewords counted from 1, bit 7 first;
// 1 marks the fixed dark corner that some sizes leave.
class CodewordPlacement {
public:
    CodewordPlacement(int rows, int columns)
        : m_rows(rows), m_columns(columns), m_places(static_cast<std::size_t>(rows) * columns, 0)
    {
        int codeword = 1, r = 4, c = 0;
        do {
            if (r == rows && c == 0)
                corner(kCornerA, codeword++);
            if (r == rows - 2 && c == 0 && columns % 4)
                corner(kCornerB, codeword++);
            if (r == rows - 2 && c == 0 && columns % 8 == 4)
                corner(kCornerC, codeword++);
            if (r == rows + 4 && c == 2 && columns % 8 == 0)
                corner(kCornerD, codeword++);
            do { // up and to the right
                if (r < rows && c >= 0 && !at(r, c))
                    utah(r, c, codeword++);
                r -= 2;
                c += 2;
            } while (r >= 0 && c < columns);
            r += 1;
            c += 3;
            do { // down and to the left
                if (r >= 0 && c < columns && !at(r, c))
                    utah(r, c, codeword++);
                r += 2;
                c -= 2;
            } while (r < rows && c >= 0);
            r += 3;
            c += 1;
        } while (r < rows || c < columns);
        if (!at(rows - 1, columns - 1))
            m_places.back() = m_places[static_cast<std::size_t>(rows - 1) * columns - 2] = 1;
    }

    int at(int r, int c) const { return m_places[static_cast<std::size_t>(r) * m_columns + c]; }

private:
    // A corner's eight modules, bit 7 first; a negative row or column counts from the far edge.
    using Corner = std::array<std::pair<int, int>, 8>;
    static constexpr Corner kCornerA = {{{-1, 0}, {-1, 1}, {-1, 2}, {0, -2}, {0, -1}, {1, -1}, {2, -1}, {3, -1}}};
    static constexpr Corner kCornerB = {{{-3, 0}, {-2, 0}, {-1, 0}, {0, -4}, {0, -3}, {0, -2}, {0, -1}, {1, -1}}};
    static constexpr Corner kCornerC = {{{-3, 0}, {-2, 0}, {-1, 0}, {0, -2}, {0, -1}, {1, -1}, {2, -1}, {3, -1}}};
    static constexpr Corner kCornerD = {{{-1, 0}, {-1, -1}, {0, -3}, {0, -2}, {0, -1}, {1, -3}, {1, -2}, {1, -1}}};

    void module(int r, int c, int codeword, int bit)
    {
        if (r < 0) {
            r += m_rows;
            c += 4 - ((m_rows + 4) % 8);
        }
        if (c < 0) {
            c += m_columns;
            r += 4 - ((m_columns + 4) % 8);
        }
        m_places[static_cast<std::size_t>(r) * m_columns + c] = codeword * 8 + bit;
    }

    // The usual L-shaped group of eight modules whose last module is (r, c).
    void utah(int r, int c, int codeword)
    {
        static constexpr std::pair<int, int> offsets[8] = {{-2, -2}, {-2, -1}, {-1, -2}, {-1, -1},
                                                           {-1, 0},  {0, -2},  {0, -1},  {0, 0}};
        for (int k = 0; k < 8; ++k)
            module(r + offsets[k].first, c + offsets[k].second, codeword, 7 - k);
    }

    void corner(const Corner &cells, int codeword)
    {
        for (int k = 0; k < 8; ++k) {
            const auto [r, c] = cells[k];
            m_places[static_cast<std::size_t>(r < 0 ? m_rows + r : r) * m_columns + (c < 0 ? m_columns + c : c)] =
                codeword * 8 + 7 - k;
        }
    }

    int m_rows, m_columns;
    std::vector<int> m_places;
};

// A 144 x 144 symbol holds 1558 data codewords in ten interleaved blocks, so its check codewords
// continue the interleaving at block 8. This encoder starts them at block 0, and readers reject the
// symbol. Moves each check codeword to its place once the encoder's own Reed-Solomon coder confirms
// which order the grid holds; false when it holds neither.
bool repairLargestSize(unsigned char *grid, int w, int h)
{
    constexpr int kData = 1558, kBlocks = 10, kCheck = 62, kRegion = 22, kMapped = 132;
    if (w != 144 || h != 144)
        return false;
    const CodewordPlacement placement(kMapped, kMapped);
    // Mapping row 0 is the top; the grid's row 0 is the bottom, and regions are framed by two modules.
    const auto module = [grid, w](int r, int c) -> unsigned char & {
        const int y = kMapped - 1 - r;
        return grid[static_cast<std::size_t>(1 + y + 2 * (y / kRegion)) * w + 1 + c + 2 * (c / kRegion)];
    };
    std::vector<unsigned char> codewords(kData + kBlocks * kCheck, 0);
    for (int r = 0; r < kMapped; ++r)
        for (int c = 0; c < kMapped; ++c)
            if (const int v = placement.at(r, c); v > 7 && module(r, c))
                codewords[static_cast<std::size_t>((v >> 3) - 1)] |= static_cast<unsigned char>(1 << (v & 7));

    std::vector<unsigned char> block, check(kCheck);
    for (int n = 0; n < kData; n += kBlocks)
        block.push_back(codewords[static_cast<std::size_t>(n)]);
    rs_init_gf(0x12d);
    rs_init_code(kCheck, 1);
    rs_encode(static_cast<int>(block.size()), block.data(), check.data()); // last check codeword first
    const auto blockZeroAt = [&](int slot) {
        for (int k = 0; k < kCheck; ++k)
            if (codewords[static_cast<std::size_t>(kData + kBlocks * k + slot)] != check[kCheck - 1 - k])
                return false;
        return true;
    };
    if (blockZeroAt(2))
        return true;
    if (!blockZeroAt(0))
        return false;

    std::vector<unsigned char> moved(codewords);
    for (int k = 0; k < kCheck; ++k)
        for (int b = 0; b < kBlocks; ++b)
            moved[static_cast<std::size_t>(kData + kBlocks * k + (b + 2) % kBlocks)] =
                codewords[static_cast<std::size_t>(kData + kBlocks * k + b)];
    for (int r = 0; r < kMapped; ++r)
        for (int c = 0; c < kMapped; ++c)
            if (const int v = placement.at(r, c); v > 7 && (v >> 3) > kData)
                module(r, c) = (moved[static_cast<std::size_t>((v >> 3) - 1)] >> (v & 7)) & 1;
    return true;
}

// The ECC200 sizes: rows, columns, rows and columns of a data region with its frame, data codewords.
struct SymbolSize {
    int rows, columns, regionRows, regionColumns, dataCodewords;
};
constexpr SymbolSize kSymbolSizes[] = {
    {10, 10, 10, 10, 3},      {12, 12, 12, 12, 5},      {14, 14, 14, 14, 8},      {16, 16, 16, 16, 12},
    {18, 18, 18, 18, 18},     {20, 20, 20, 20, 22},     {22, 22, 22, 22, 30},     {24, 24, 24, 24, 36},
    {26, 26, 26, 26, 44},     {32, 32, 16, 16, 62},     {36, 36, 18, 18, 86},     {40, 40, 20, 20, 114},
    {44, 44, 22, 22, 144},    {48, 48, 24, 24, 174},    {52, 52, 26, 26, 204},    {64, 64, 16, 16, 280},
    {72, 72, 18, 18, 368},    {80, 80, 20, 20, 456},    {88, 88, 22, 22, 576},    {96, 96, 24, 24, 696},
    {104, 104, 26, 26, 816},  {120, 120, 20, 20, 1050}, {132, 132, 22, 22, 1304}, {144, 144, 24, 24, 1558},
    {8, 18, 8, 18, 5},        {8, 32, 8, 16, 10},       {12, 26, 12, 26, 16},     {12, 36, 12, 18, 22},
    {16, 36, 16, 18, 32},     {16, 48, 16, 24, 49},
};

constexpr int kLargestCapacity = 1558;

// The data codewords of the largest size smaller than one of the given capacity; 0 for none.
int smallerCapacity(int capacity)
{
    int smaller = 0;
    for (const SymbolSize &size : kSymbolSizes)
        if (size.dataCodewords < capacity)
            smaller = std::max(smaller, size.dataCodewords);
    return smaller;
}

const SymbolSize *symbolSize(int w, int h)
{
    const auto size = std::find_if(std::begin(kSymbolSizes), std::end(kSymbolSizes),
                                   [w, h](const SymbolSize &s) { return s.columns == w && s.rows == h; });
    return size == std::end(kSymbolSizes) ? nullptr : size;
}

// Calls `module(codeword, bit, cell)` for every module of the codewords below `count` in a grid of the
// size: codewords counted from 0, bit 0 the lowest, cell the grid index.
template <typename Module>
void forEachCodewordModule(const SymbolSize &size, int count, Module module)
{
    const int regionRows = size.regionRows - 2, regionColumns = size.regionColumns - 2;
    const int mappedRows = size.rows / size.regionRows * regionRows;
    const int mappedColumns = size.columns / size.regionColumns * regionColumns;
    const CodewordPlacement placement(mappedRows, mappedColumns);
    for (int r = 0; r < mappedRows; ++r)
        for (int c = 0; c < mappedColumns; ++c) {
            const int v = placement.at(r, c);
            if (v <= 7 || (v >> 3) > count)
                continue;
            // Mapping row 0 is the top; the grid's row 0 is the bottom, and regions are framed.
            const int y = mappedRows - 1 - r;
            module((v >> 3) - 1, v & 7,
                   static_cast<std::size_t>(1 + y + 2 * (y / regionRows)) * size.columns + 1 + c +
                       2 * (c / regionColumns));
        }
}

// The data the grid's modules carry, read as a reader reads it; none for a grid of no ECC200 size or
// codewords that stand for no data this program writes.
std::optional<QByteArray> readBack(const unsigned char *grid, int w, int h)
{
    const SymbolSize *size = symbolSize(w, h);
    if (!size)
        return std::nullopt;
    std::vector<unsigned char> codewords(static_cast<std::size_t>(size->dataCodewords), 0);
    forEachCodewordModule(*size, size->dataCodewords, [&](int codeword, int bit, std::size_t cell) {
        if (grid[cell])
            codewords[static_cast<std::size_t>(codeword)] |= static_cast<unsigned char>(1 << bit);
    });
    return dataMatrixDecodeCodewords(codewords.data(), size->dataCodewords);
}

// Reed-Solomon blocks of the sizes whose data codewords are interleaved.
int interleavedBlocks(int dataCodewords)
{
    switch (dataCodewords) {
    case 1558:
        return 10;
    case 1304:
        return 8;
    case 1050:
    case 816:
        return 6;
    case 696:
    case 576:
    case 456:
    case 368:
        return 4;
    case 280:
    case 204:
        return 2;
    default:
        return 1;
    }
}

// The encoder writes no ECI, so a symbol that needs one is made with `kEciStandIn` in its place: two
// ASCII codewords, replaced here by the ECI codeword and its designator, after which every block's
// check codewords are computed afresh. False when the grid does not start with the stand-in.
constexpr char kEciStandIn[] = "\x01\x01";
bool putEci(unsigned char *grid, int w, int h, int eci)
{
    const SymbolSize *size = symbolSize(w, h);
    if (!size || eci < 0 || eci > 126)
        return false;
    const int regions = (size->rows / size->regionRows) * (size->columns / size->regionColumns);
    const int all = regions * (size->regionRows - 2) * (size->regionColumns - 2) / 8;
    const int blocks = interleavedBlocks(size->dataCodewords);
    const int checks = (all - size->dataCodewords) / blocks;
    std::vector<unsigned char> codewords(static_cast<std::size_t>(all), 0);
    forEachCodewordModule(*size, all, [&](int codeword, int bit, std::size_t cell) {
        if (grid[cell])
            codewords[static_cast<std::size_t>(codeword)] |= static_cast<unsigned char>(1 << bit);
    });
    if (codewords[0] != kEciStandIn[0] + 1 || codewords[1] != kEciStandIn[1] + 1)
        return false;
    codewords[0] = 241;
    codewords[1] = static_cast<unsigned char>(eci + 1);
    // Codeword p, data or check, belongs to block p mod blocks.
    std::vector<std::vector<unsigned char>> check(static_cast<std::size_t>(blocks),
                                                  std::vector<unsigned char>(static_cast<std::size_t>(checks)));
    rs_init_gf(0x12d);
    rs_init_code(checks, 1);
    for (int b = 0; b < blocks; ++b) {
        std::vector<unsigned char> block;
        for (int n = b; n < size->dataCodewords; n += blocks)
            block.push_back(codewords[static_cast<std::size_t>(n)]);
        rs_encode(static_cast<int>(block.size()), block.data(), check[static_cast<std::size_t>(b)].data());
    }
    std::vector<int> written(static_cast<std::size_t>(blocks), 0);
    for (int n = size->dataCodewords; n < all; ++n) {
        const auto b = static_cast<std::size_t>(n % blocks);
        codewords[static_cast<std::size_t>(n)] = check[b][static_cast<std::size_t>(checks - 1 - written[b]++)]; // last first
    }
    forEachCodewordModule(*size, all, [&](int codeword, int bit, std::size_t cell) {
        grid[cell] = (codewords[static_cast<std::size_t>(codeword)] >> bit) & 1;
    });
    return true;
}

// The symbol as the picture of its PostScript form: one pixel per module, a light module around it,
// grid row 0 at the bottom, dark modules black.
QImage gridPicture(const unsigned char *grid, int w, int h)
{
    QImage picture(w + 2, h + 2, QImage::Format_Mono);
    if (picture.isNull())
        return {};
    picture.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    picture.fill(0);
    for (int y = 0; y < h; ++y) {
        uchar *line = picture.scanLine(h - y);
        const unsigned char *row = grid + static_cast<std::size_t>(y) * w;
        for (int x = 0; x < w; ++x)
            if (row[x])
                line[(x + 1) >> 3] |= static_cast<uchar>(0x80 >> ((x + 1) & 7));
    }
    return picture;
}

struct EncoderCounts {
    int w = 0, h = 0, length = 0, capacity = 0, ecc = 0;
};

struct EncoderAnswer : EncoderCounts {
    std::unique_ptr<unsigned char, void (*)(void *)> grid{nullptr, std::free};
};

// The encoder's symbol of the data in the encoding and the size (0 x 0: the smallest that holds it),
// led by the ECI `eci` (-1 none), with the largest size repaired; no grid where it refuses. Callers
// hold the encoder lock.
EncoderAnswer encode(QByteArray data, QByteArray encoding, const DataMatrixFormatSize &size, int eci)
{
    EncoderAnswer answer;
    answer.w = size.columns;
    answer.h = size.rows;
    // The encoder prints its refusals on standard error, a byte of the value among them: it is asked
    // only what it takes, at a size it is known to fit (without one it tries each, the largest last).
    const auto fixed = std::find_if(std::begin(kSymbolSizes), std::end(kSymbolSizes), [&size](const SymbolSize &s) {
        return s.columns == size.columns && s.rows == size.rows;
    });
    const bool automatic = size.columns == 0 && size.rows == 0;
    if ((!automatic && fixed == std::end(kSymbolSizes)) || !dataMatrixEncoderTakes(data, encoding))
        return answer;
    if (eci >= 0) {
        data.prepend(kEciStandIn);
        encoding.prepend("AA");
    }
    {
        std::array<unsigned char, 3000> codewords{}; // as large as the encoder's own
        QByteArray letters = encoding;
        if (!ecc200encode(codewords.data(), automatic ? kLargestCapacity : fixed->dataCodewords,
                          reinterpret_cast<unsigned char *>(data.data()), static_cast<int>(data.size()), letters.data(),
                          nullptr))
            return answer;
    }
    // The encoder hands the string back through the pointer; it must be malloc'ed.
    char *forced = static_cast<char *>(std::malloc(static_cast<std::size_t>(encoding.size()) + 1));
    if (!forced)
        throw std::bad_alloc();
    std::memcpy(forced, encoding.constData(), static_cast<std::size_t>(encoding.size()) + 1);
    answer.grid.reset(iec16022ecc200(&answer.w, &answer.h, &forced, static_cast<int>(data.size()),
                                     reinterpret_cast<unsigned char *>(data.data()), &answer.length,
                                     &answer.capacity, &answer.ecc));
    std::free(forced);
    if (answer.grid && (answer.w == 0 || (answer.w == 144 && !repairLargestSize(answer.grid.get(), answer.w, answer.h)) ||
                        (eci >= 0 && !putEci(answer.grid.get(), answer.w, answer.h, eci))))
        answer.grid.reset();
    return answer;
}

// One line in the log, without the value: a value may be a record's private data, and megabytes long.
void writeDiagnostics(const QByteArray &data, const QByteArray &encoding, const EncoderCounts &answer,
                      const char *reason)
{
    platform::writeLog(QStringLiteral("No Data Matrix symbol for a value of %1 bytes (%2 letters of encodation, "
                                      "size %3x%4, %5 of %6 bytes encoded)%7")
                           .arg(data.size())
                           .arg(encoding.size())
                           .arg(answer.w)
                           .arg(answer.h)
                           .arg(answer.length)
                           .arg(answer.capacity)
                           .arg(reason ? QStringLiteral(": ") + QLatin1String(reason) : QString()));
}

// "Auto", and any item the list does not hold, leave the encodation to this program.
bool automaticEncoding(const QString &encodingItem)
{
    return encodingItem == QLatin1String("Auto") || !Data_Matrix_Encoding_Items().contains(encodingItem);
}

} // namespace

const QStringList &Data_Matrix_Format_Items()
{
    static const QStringList items = {
        QStringLiteral("Auto"),     QStringLiteral("C10X10"),   QStringLiteral("C12X12"),   QStringLiteral("C14X14"),
        QStringLiteral("C16X16"),   QStringLiteral("C18X18"),   QStringLiteral("C20X20"),   QStringLiteral("C22X22"),
        QStringLiteral("C24X24"),   QStringLiteral("C26X26"),   QStringLiteral("C32X32"),   QStringLiteral("C36X36"),
        QStringLiteral("C40X40"),   QStringLiteral("C44X44"),   QStringLiteral("C48X48"),   QStringLiteral("C52X52"),
        QStringLiteral("C64X64"),   QStringLiteral("C72X72"),   QStringLiteral("C80X80"),   QStringLiteral("C88X88"),
        QStringLiteral("C96X96"),   QStringLiteral("C104X104"), QStringLiteral("C120X120"), QStringLiteral("C132X132"),
        QStringLiteral("C144X144"), QStringLiteral("C8X18"),    QStringLiteral("C8X32"),    QStringLiteral("C12X26"),
        QStringLiteral("C12X36"),   QStringLiteral("C16X36"),   QStringLiteral("C16X48"),
    };
    return items;
}

const QStringList &Data_Matrix_Encoding_Items()
{
    static const QStringList items = {QStringLiteral("Auto"), QStringLiteral("Ascii"), QStringLiteral("C40"),
                                      QStringLiteral("Text"), QStringLiteral("Base256")};
    return items;
}

DataMatrixFormatSize dataMatrixFormatSize(const QString &formatItem)
{
    if (formatItem == QLatin1String("Auto"))
        return {};
    const QString size = formatItem.mid(1);
    const qsizetype x = size.indexOf(QLatin1Char('X'));
    if (x < 0)
        return {};
    return {Trim_Str(size.left(x)).toInt(), Trim_Str(size.mid(x + 1)).toInt()};
}

QByteArray dataMatrixEncoding(const QByteArray &data, const QString &encodingItem)
{
    if (automaticEncoding(encodingItem))
        return dataMatrixEncodation(data, 0).letters;
    // Base256 fails in this encoder whatever the data.
    QByteArray encoding(data.size(), 'A');
    if (encodingItem == QLatin1String("C40"))
        c40Runs(data, 'C', encoding);
    else if (encodingItem == QLatin1String("Text"))
        c40Runs(data, 'T', encoding);
    return encoding;
}

QImage Draw_DataMatrix_Barcode(const QString &text, const QString &formatItem, const QString &encodingItem,
                               int Barcode_module_size, double USED_DPI_VALUE)
{
    try {
        const DataMatrixFormatSize size = dataMatrixFormatSize(formatItem);
        const QByteArray data = text.toUtf8();
        const int eci = Utf8_Eci_For(data);
        const bool automatic = automaticEncoding(encodingItem);
        // The encodings to try: a forced one, priced at nothing, then plain ASCII, which the encoder
        // always writes right, for when it does not read back; or this program's own choices.
        const QByteArray ascii(data.size(), 'A');
        const auto encodingTried = [&](int k) {
            return automatic ? dataMatrixEncodation(data, k)
                             : DataMatrixEncodation{k == 0 ? dataMatrixEncoding(data, encodingItem) : ascii, 0};
        };

        EncoderCounts first;
        first.w = size.columns;
        first.h = size.rows;
        // The encoder cannot take an empty value, nor more than it could ever place.
        if (data.isEmpty() || data.size() + (eci >= 0 ? 2 : 0) > MAXBARCODE) {
            writeDiagnostics(data, encodingTried(0).letters, first, data.isEmpty() ? "Empty value" : "Value too long");
            return {};
        }
        // The smallest symbol that reads back as the data; a fixed size or a forced choice takes the
        // first that does, and an encoding too long for a smaller symbol than the best is not tried.
        EncoderAnswer best;
        QByteArray firstLetters;
        QList<QByteArray> tried;
        for (int k = 0; k < (automatic ? kDataMatrixEncodations : 2); ++k) {
            const DataMatrixEncodation encoding = encodingTried(k);
            if (tried.contains(encoding.letters) ||
                (best.grid && encoding.codewords + (eci >= 0 ? 2 : 0) - 1 > smallerCapacity(best.capacity)))
                continue;
            tried.append(encoding.letters);
            EncoderAnswer answer;
            {
                const std::lock_guard<std::mutex> guard(encoderLock());
                answer = encode(data, encoding.letters, size, eci);
            }
            if (k == 0) {
                first = answer;
                firstLetters = encoding.letters;
            }
            if (!answer.grid || readBack(answer.grid.get(), answer.w, answer.h) != data)
                continue;
            if (!best.grid || answer.capacity < best.capacity)
                best = std::move(answer);
            if (size.columns != 0 || !automatic)
                break;
        }
        if (!best.grid) {
            writeDiagnostics(data, firstLetters, first, nullptr);
            return {};
        }
        const QImage picture = gridPicture(best.grid.get(), best.w, best.h);
        QImage result = Increase_DPI(picture, USED_DPI_VALUE, QSizeF(best.w + 2, best.h + 2));
        const int module = Held_To_Range(Barcode_module_size, Barcode_Ranges::dm_module_val);
        setImageSizeInPoints(result, QSizeF(best.w * module, best.h * module));
        return result;
    } catch (const std::exception &e) {
        Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
        return {};
    }
}
