#include "barcode/Draw_DataMatrix_Barcode.h"

#include "core/MessageBoxes.h"
#include "core/StringHelpers.h"
#include "core/WindowUtilities.h"

extern "C" {
#include <iec16022ecc200.h>
#include <reedsol.h>
}

#include <QColor>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
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

// Values a byte takes in the encoder's C40 (or Text) sets; 0 where it writes the byte wrongly (the
// zero byte, plain or upper-shifted).
int c40Values(unsigned char c, bool text)
{
    int values = 0;
    if (c & 0x80) {
        values = 2; // upper shift
        c &= 0x7f;
    }
    if (c == 0)
        return 0;
    const bool basic = c == ' ' || (c >= '0' && c <= '9') || (text ? (c >= 'a' && c <= 'z') : (c >= 'A' && c <= 'Z'));
    return values + (basic ? 1 : 2);
}

// C40 and Text write three values per codeword pair. The encoder pads an unfinished last pair with
// values that read back as an extra zero byte, so each run ends where its values fill whole pairs and
// the rest goes in ASCII.
void c40Runs(const QByteArray &data, char letter, QByteArray &encoding)
{
    const bool text = letter == 'T';
    const int n = static_cast<int>(data.size());
    int k = 0;
    while (k < n) {
        if (c40Values(static_cast<unsigned char>(data[k]), text) == 0) {
            ++k;
            continue;
        }
        int sum = 0, whole = k, end = k;
        for (; end < n; ++end) {
            const int v = c40Values(static_cast<unsigned char>(data[end]), text);
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

bool plainAscii(const QByteArray &data)
{
    return std::all_of(data.begin(), data.end(), [](char c) { return c != 0 && static_cast<unsigned char>(c) < 0x80; });
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
    unsigned char *grid = nullptr;
    int w = 0, h = 0, length = 0, capacity = 0, ecc = 0;
};

void writeDiagnostics(const QByteArray &data, const QByteArray &encoding, const EncoderAnswer &answer,
                      const char *reason)
{
    std::fprintf(stderr, "No barcode produced\n");
    if (reason)
        std::fprintf(stderr, "%s\n", reason);
    std::fprintf(stdout, "Size    : %dx%d\n", answer.w, answer.h);
    std::fprintf(stdout, "Encoded : %d of %d bytes with %d bytes of ecc\n", answer.length, answer.capacity, answer.ecc);
    std::fprintf(stdout, "Barcode : %s\n", data.constData());
    std::fprintf(stdout, "Encoding: %s\n", encoding.isEmpty() ? "Auto" : encoding.constData());
    std::fflush(stdout);
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
    // The encoder's own choice, and its Base256, fail on any byte above 127 (and Base256 on all data).
    if (encodingItem == QLatin1String("Auto") || !Data_Matrix_Encoding_Items().contains(encodingItem))
        return plainAscii(data) ? QByteArray() : QByteArray(data.size(), 'A');
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
        QByteArray data = text.toUtf8();
        QByteArray encoding = dataMatrixEncoding(data, encodingItem);

        EncoderAnswer answer;
        answer.w = size.columns;
        answer.h = size.rows;
        // The encoder cannot take an empty value, nor more than it could ever place.
        if (data.isEmpty() || data.size() > MAXBARCODE) {
            writeDiagnostics(data, encoding, answer, data.isEmpty() ? "Empty value" : "Value too long");
            return {};
        }
        {
            const std::lock_guard<std::mutex> guard(encoderLock());
            // The encoder hands back either this string or, choosing itself, one of its own.
            char *forced = nullptr;
            if (!encoding.isEmpty()) {
                forced = static_cast<char *>(std::malloc(static_cast<std::size_t>(encoding.size()) + 1));
                if (!forced)
                    throw std::bad_alloc();
                std::memcpy(forced, encoding.constData(), static_cast<std::size_t>(encoding.size()) + 1);
            }
            answer.grid = iec16022ecc200(&answer.w, &answer.h, &forced, static_cast<int>(data.size()),
                                         reinterpret_cast<unsigned char *>(data.data()), &answer.length,
                                         &answer.capacity, &answer.ecc);
            if (answer.grid && forced && encoding.isEmpty())
                encoding = QByteArray(forced);
            std::free(forced);
            if (answer.grid && answer.w == 144 && !repairLargestSize(answer.grid, answer.w, answer.h)) {
                std::free(answer.grid);
                writeDiagnostics(data, encoding, answer, "No readable 144x144 symbol can be made");
                return {};
            }
        }
        if (!answer.grid || answer.w == 0) {
            std::free(answer.grid);
            writeDiagnostics(data, encoding, answer, nullptr);
            return {};
        }
        QImage picture = gridPicture(answer.grid, answer.w, answer.h);
        std::free(answer.grid);

        QImage result = Increase_DPI(picture, USED_DPI_VALUE, QSizeF(answer.w + 2, answer.h + 2));
        const int module = std::max(1, Barcode_module_size);
        setImageSizeInPoints(result, QSizeF(answer.w * module, answer.h * module));
        return result;
    } catch (const std::exception &e) {
        Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
        return {};
    }
}
