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
// declare it: nonzero when the data fits in `tl` codewords, which it pads to `tl`; `lenp` receives
// those before the final unlatch and the padding. It prints nothing for a size too small, nor for
// letters and bytes it takes.
char ecc200encode(unsigned char *t, int tl, unsigned char *s, int sl, char *encoding, int *lenp);
}

#include <QColor>

#include <algorithm>
#include <array>
#include <cstring>
#include <exception>
#include <mutex>
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

// The ECC200 sizes in the encoder's order, by capacity, a square before a rectangle of the same: rows,
// columns, rows and columns of a data region with its frame, data codewords.
struct SymbolSize {
    int rows, columns, regionRows, regionColumns, dataCodewords;
};
constexpr SymbolSize kSymbolSizes[] = {
    {10, 10, 10, 10, 3},      {12, 12, 12, 12, 5},      {8, 18, 8, 18, 5},        {14, 14, 14, 14, 8},
    {8, 32, 8, 16, 10},       {16, 16, 16, 16, 12},     {12, 26, 12, 26, 16},     {18, 18, 18, 18, 18},
    {20, 20, 20, 20, 22},     {12, 36, 12, 18, 22},     {22, 22, 22, 22, 30},     {16, 36, 16, 18, 32},
    {24, 24, 24, 24, 36},     {26, 26, 26, 26, 44},     {16, 48, 16, 24, 49},     {32, 32, 16, 16, 62},
    {36, 36, 18, 18, 86},     {40, 40, 20, 20, 114},    {44, 44, 22, 22, 144},    {48, 48, 24, 24, 174},
    {52, 52, 26, 26, 204},    {64, 64, 16, 16, 280},    {72, 72, 18, 18, 368},    {80, 80, 20, 20, 456},
    {88, 88, 22, 22, 576},    {96, 96, 24, 24, 696},    {104, 104, 26, 26, 816},  {120, 120, 20, 20, 1050},
    {132, 132, 22, 22, 1304}, {144, 144, 24, 24, 1558},
};

// The data codewords of the largest size smaller than one of the given capacity; 0 for none.
int smallerCapacity(int capacity)
{
    int smaller = 0;
    for (const SymbolSize &size : kSymbolSizes)
        if (size.dataCodewords < capacity)
            smaller = std::max(smaller, size.dataCodewords);
    return smaller;
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

// The symbol of the size that carries the data codewords, as a grid of modules with row 0 at the
// bottom. Codeword p, data or check, belongs to Reed-Solomon block p mod blocks: the encoder's own
// symbols start the check codewords at block 0, which readers reject at 144 x 144, the one size whose
// data codewords do not fill the blocks evenly. Callers hold the encoder lock, whose coder this uses.
std::vector<unsigned char> symbolGrid(const SymbolSize &size, std::vector<unsigned char> codewords)
{
    const int regionRows = size.regionRows - 2, regionColumns = size.regionColumns - 2;
    const int mappedRows = size.rows / size.regionRows * regionRows;
    const int mappedColumns = size.columns / size.regionColumns * regionColumns;
    const int all = mappedRows * mappedColumns / 8;
    const int blocks = interleavedBlocks(size.dataCodewords);
    const int checks = (all - size.dataCodewords) / blocks;
    codewords.resize(static_cast<std::size_t>(all));
    rs_init_gf(0x12d);
    rs_init_code(checks, 1);
    std::vector<unsigned char> block, check(static_cast<std::size_t>(checks));
    for (int b = 0; b < blocks; ++b) {
        block.clear();
        for (int n = b; n < size.dataCodewords; n += blocks)
            block.push_back(codewords[static_cast<std::size_t>(n)]);
        rs_encode(static_cast<int>(block.size()), block.data(), check.data());
        int k = checks; // the coder gives the last check codeword first
        for (int n = size.dataCodewords + (b - size.dataCodewords % blocks + blocks) % blocks; n < all; n += blocks)
            codewords[static_cast<std::size_t>(n)] = check[static_cast<std::size_t>(--k)];
    }

    // Every region is framed by solid left and bottom edges and alternating top and right ones.
    std::vector<unsigned char> grid(static_cast<std::size_t>(size.rows) * size.columns);
    for (int y = 0; y < size.rows; ++y)
        for (int x = 0; x < size.columns; ++x) {
            const int ry = y % size.regionRows, rx = x % size.regionColumns;
            grid[static_cast<std::size_t>(y) * size.columns + x] =
                ry == 0 || rx == 0 || (ry == size.regionRows - 1 && x % 2 == 0) ||
                (rx == size.regionColumns - 1 && y % 2 == 0);
        }
    const CodewordPlacement placement(mappedRows, mappedColumns);
    for (int r = 0; r < mappedRows; ++r)
        for (int c = 0; c < mappedColumns; ++c) {
            const int v = placement.at(r, c);
            // Mapping row 0 is the top; the grid's row 0 is the bottom.
            const int y = mappedRows - 1 - r;
            grid[static_cast<std::size_t>(1 + y + 2 * (y / regionRows)) * size.columns + 1 + c +
                 2 * (c / regionColumns)] =
                v == 1 || (v > 7 && (codewords[static_cast<std::size_t>((v >> 3) - 1)] >> (v & 7)) & 1);
        }
    return grid;
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


struct EncoderAnswer {
    const SymbolSize *size = nullptr; // none where the encoder refuses
    std::vector<unsigned char> codewords; // the data codewords, the ECI in its place
    int length = 0; // of them, those before the final unlatch and the padding
};

// libiec16022's data codewords of the data in the encoding at the size (0 x 0: the first in its order
// that holds them), led by the ECI `eci` (-1 none). Callers hold the encoder lock.
EncoderAnswer encode(QByteArray data, QByteArray encoding, const DataMatrixFormatSize &size, int eci)
{
    EncoderAnswer answer;
    // The encoder prints its refusals on standard error, a byte of the value among them: it is asked
    // only what it takes.
    if (!dataMatrixEncoderTakes(data, encoding))
        return answer;
    // It writes no ECI: two ASCII codewords hold the ECI's place, so that every codeword after them,
    // the padding too, is written where it stays.
    if (eci >= 0) {
        data.prepend("\x01\x01");
        encoding.prepend("AA");
    }
    const bool automatic = size.columns == 0 && size.rows == 0;
    std::array<unsigned char, 3000> codewords{}; // it may write a few past the size's codewords
    for (const SymbolSize &s : kSymbolSizes) {
        int length = 0;
        if ((!automatic && (s.columns != size.columns || s.rows != size.rows)) ||
            !ecc200encode(codewords.data(), s.dataCodewords, reinterpret_cast<unsigned char *>(data.data()),
                          static_cast<int>(data.size()), encoding.data(), &length))
            continue;
        answer.size = &s;
        answer.length = length;
        answer.codewords.assign(codewords.begin(), codewords.begin() + s.dataCodewords);
        if (eci >= 0) {
            answer.codewords[0] = 241;
            answer.codewords[1] = static_cast<unsigned char>(eci + 1);
        }
        break;
    }
    return answer;
}

// One line in the log, without the value: a value may be a record's private data, and megabytes long.
void writeDiagnostics(const QByteArray &data, const QByteArray &encoding, const DataMatrixFormatSize &size,
                      const EncoderAnswer &answer, const char *reason)
{
    platform::writeLog(QStringLiteral("No Data Matrix symbol for a value of %1 bytes (%2 letters of encodation, "
                                      "size %3x%4, %5 of %6 bytes encoded)%7")
                           .arg(data.size())
                           .arg(encoding.size())
                           .arg(answer.size ? answer.size->columns : size.columns)
                           .arg(answer.size ? answer.size->rows : size.rows)
                           .arg(answer.length)
                           .arg(answer.size ? answer.size->dataCodewords : 0)
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

        EncoderAnswer first;
        // The encoder cannot take an empty value, nor more than it could ever place.
        if (data.isEmpty() || data.size() + (eci >= 0 ? 2 : 0) > MAXBARCODE) {
            writeDiagnostics(data, encodingTried(0).letters, size, first,
                             data.isEmpty() ? "Empty value" : "Value too long");
            return {};
        }
        // The smallest symbol whose codewords read back as the data; a fixed size or a forced choice
        // takes the first that does, and an encoding too long for a smaller symbol than the best is not
        // tried.
        EncoderAnswer best;
        QByteArray firstLetters;
        QList<QByteArray> tried;
        for (int k = 0; k < (automatic ? kDataMatrixEncodations : 2); ++k) {
            const DataMatrixEncodation encoding = encodingTried(k);
            if (tried.contains(encoding.letters) ||
                (best.size &&
                 encoding.codewords + (eci >= 0 ? 2 : 0) - 1 > smallerCapacity(best.size->dataCodewords)))
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
            if (!answer.size || dataMatrixDecodeCodewords(answer.codewords.data(), answer.size->dataCodewords) != data)
                continue;
            if (!best.size || answer.size->dataCodewords < best.size->dataCodewords)
                best = std::move(answer);
            if (size.columns != 0 || !automatic)
                break;
        }
        if (!best.size) {
            writeDiagnostics(data, firstLetters, size, first, nullptr);
            return {};
        }
        const int w = best.size->columns, h = best.size->rows;
        std::vector<unsigned char> grid;
        {
            const std::lock_guard<std::mutex> guard(encoderLock());
            grid = symbolGrid(*best.size, std::move(best.codewords));
        }
        QImage result = Increase_DPI(gridPicture(grid.data(), w, h), USED_DPI_VALUE, QSizeF(w + 2, h + 2));
        const int module = Held_To_Range(Barcode_module_size, Barcode_Ranges::dm_module_val);
        setImageSizeInPoints(result, QSizeF(w * module, h * module));
        return result;
    } catch (const std::exception &e) {
        Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
        return {};
    }
}
