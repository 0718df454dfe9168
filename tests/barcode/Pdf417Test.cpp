#include "barcode/BarcodeEci.h"
#include "barcode/pdf417View.h"
#include "barcode/pdf417lib.h"
#include "core/ImageHelpers.h"

#include "SymbolReader.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

// The decoder's own codeword lookup, pattern to codeword value or -1 (not in its public headers).
namespace ZXing::Pdf417 {
class CodewordDecoder {
public:
    static int GetCodeword(int symbol);
};
} // namespace ZXing::Pdf417

namespace {

constexpr auto kPdf417 = ZXing::BarcodeFormat::PDF417;

pdf417param encode(const QByteArray &data, int level, int options = PDF417_USE_ERROR_LEVEL | PDF417_INVERT_BITMAP,
                   int eci = -1)
{
    pdf417param p;
    pdf417init(p);
    p.text = data;
    p.lenText = static_cast<int>(data.size());
    p.eci = eci;
    p.errorLevel = level;
    p.options = options;
    p.aspectRatio = 1.0f;
    paintCode(p);
    return p;
}

bool bitAt(const pdf417param &p, int row, int column)
{
    const int bytesPerRow = p.lenBits / p.codeRows;
    const unsigned char byte = p.outBits[static_cast<std::size_t>(row * bytesPerRow + column / 8)];
    return byte & (0x80 >> (column % 8));
}

// The matrix drawn straight from its bits, `module` pixels per module and `rowHeight` per row.
QImage matrixPicture(const pdf417param &p, int module = 3, int rowHeight = 9)
{
    const bool inverted = p.options & PDF417_INVERT_BITMAP;
    QImage image(p.bitColumns * module, p.codeRows * rowHeight, QImage::Format_Grayscale8);
    for (int y = 0; y < image.height(); ++y) {
        uchar *line = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x)
            line[x] = bitAt(p, y / rowHeight, x / module) != inverted ? 0 : 255;
    }
    return image;
}

// Overwrites the pattern of data column `column` in `row` with that of another codeword.
void damageCodeword(pdf417param &p, int row, int column)
{
    const int bytesPerRow = p.lenBits / p.codeRows;
    const int first = 17 * (column + 2);
    const int replacement = CLUSTERS[row % 3][(p.codewords[row * p.codeColumns + column] + 1) % 929];
    for (int k = 0; k < 17; ++k) {
        unsigned char &byte = p.outBits[static_cast<std::size_t>(row * bytesPerRow + (first + k) / 8)];
        const unsigned char mask = static_cast<unsigned char>(0x80 >> ((first + k) % 8));
        const bool bar = (replacement >> (16 - k)) & 1;
        byte = bar != bool(p.options & PDF417_INVERT_BITMAP) ? (byte | mask) : (byte & ~mask);
    }
}

const char *kindName(TextKind kind)
{
    switch (kind) {
    case TextKind::Ascii:
        return "ascii";
    case TextKind::Digits:
        return "digits";
    case TextKind::Utf8:
        return "utf8";
    case TextKind::Binary:
        return "binary";
    default:
        break;
    }
    return "";
}

} // namespace

TEST(Pdf417Encoder, ClusterTablesAreTheStandardCodewords)
{
    for (int cluster = 0; cluster < 3; ++cluster)
        for (int value = 0; value < 929; ++value) {
            const int pattern = CLUSTERS[cluster][value];
            std::vector<int> widths;
            bool bar = true;
            int run = 0;
            for (int k = 16; k >= 0; --k) {
                if (bool((pattern >> k) & 1) != bar) {
                    widths.push_back(run);
                    bar = !bar;
                    run = 0;
                }
                ++run;
            }
            widths.push_back(run);
            ASSERT_EQ(widths.size(), 8u) << cluster << " " << value;
            ASSERT_TRUE((pattern >> 16) & 1);
            for (const int w : widths)
                ASSERT_TRUE(w >= 1 && w <= 6);
            EXPECT_EQ((widths[0] - widths[2] + widths[4] - widths[6] + 9) % 9, 3 * cluster) << value;
            EXPECT_EQ(ZXing::Pdf417::CodewordDecoder::GetCodeword(pattern), value) << cluster;
        }
}

// Every level, every kind of data, lengths up to 1,000 bytes: the decoder reads back the bytes and
// the level written in the row indicators. Texts go the window's road, through the view's picture at
// the frame size and resolution asked for; raw bytes, which no text holds, through the matrix itself.
TEST(Pdf417, RandomDataDecodesAtEveryLevel)
{
    std::mt19937 rng(417);
    for (int level = 0; level <= 8; ++level)
        for (const TextKind kind : {TextKind::Ascii, TextKind::Digits, TextKind::Utf8, TextKind::Binary}) {
            // Raw bytes split into many short stretches cost more codewords than text does.
            const QByteArray data = randomBytes(rng, kind, kind == TextKind::Binary ? 700 : 1000);
            SCOPED_TRACE(testing::Message() << "level " << level << " " << kindName(kind) << " " << data.size());
            // As the view encodes text, whose UTF-8 it names.
            const int eci = kind == TextKind::Binary ? -1 : Utf8_Eci_For(data);
            const pdf417param p = encode(data, level, PDF417_USE_ERROR_LEVEL | PDF417_INVERT_BITMAP, eci);
            ASSERT_EQ(p.error, PDF417_ERROR_SUCCESS);
            if (data.size() <= 100) { // the asked level fits: it is at least what was asked
                EXPECT_GE(p.errorLevel, level);
            }
            QImage picture = matrixPicture(p);
            if (kind != TextKind::Binary) {
                pdf417View view(QSizeF(p.bitColumns * 2, p.codeRows * 6));
                view.setErrorLevel(level);
                ASSERT_EQ(view.drawWithText(QString::fromUtf8(data), 108.0), pdf417View::Drawn);
                picture = view.getImage();
                EXPECT_EQ(picture.size(), QSize(p.bitColumns * 3, p.codeRows * 9));
            }
            std::string ecLevel;
            EXPECT_EQ(readSymbol(picture, kPdf417, &ecLevel), data);
            EXPECT_EQ(ecLevel, std::to_string(p.errorLevel));
        }
}

// The splitting and compaction choices, codeword by codeword (-1: any value).
TEST(Pdf417Encoder, CompactionFollowsTheSplittingRules)
{
    const struct {
        QByteArray data;
        std::vector<int> codewords; // from position 1, up to and including the first pad
    } rows[] = {
        {"ABC", {1, 89, 900}},
        {"A;<>", {28, 750, 32, 900}},
        {"ab\x80" "cd", {810, 59, 913, 128, 63, 900}},
        {"AB1234567890123CD", {1, 902, -1, -1, -1, -1, -1, 900, 63, 900}},
        {"AB123456789012CD", {1, 841}},
        {"12345678", {902, -1, -1, -1, 900}},
        {"1234567", {841}},
        {QByteArray(12, '\x80'), {924, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 900}},
        {QByteArray(13, '\x80'), {901, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 128, 900}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.data.toStdString());
        pdf417param p;
        pdf417init(p);
        p.text = row.data;
        p.options = PDF417_FIXED_RECTANGLE | PDF417_USE_ERROR_LEVEL;
        p.codeColumns = 5;
        p.codeRows = 20;
        paintCode(p);
        ASSERT_EQ(p.error, PDF417_ERROR_SUCCESS);
        for (std::size_t k = 0; k < row.codewords.size(); ++k)
            if (row.codewords[k] >= 0) {
                EXPECT_EQ(p.codewords[k + 1], row.codewords[k]) << "position " << k + 1;
            }
        EXPECT_EQ(readSymbol(matrixPicture(p), kPdf417), row.data);
    }
}

TEST(Pdf417Encoder, ShapeFollowsTheOptions)
{
    const QByteArray longText = QByteArray(400, 'x');
    const struct {
        const char *name;
        QByteArray data;
        int options, columns, rows;
        int wantColumns, wantRows; // 0: computed
    } rows[] = {
        {"aspect ratio, short text", "A", 0, 0, 0, 0, 0},
        {"fixed columns", longText, PDF417_FIXED_COLUMNS, 7, 0, 7, 0},
        {"fixed rows", longText, PDF417_FIXED_ROWS, 0, 12, 0, 12},
        {"fixed rectangle that holds the data", "A", PDF417_FIXED_RECTANGLE, 10, 20, 10, 20},
        {"fixed rectangle grown from its columns", longText, PDF417_FIXED_RECTANGLE, 2, 3, 3, 90},
        {"fixed rectangle grown from its rows", longText, PDF417_FIXED_RECTANGLE | PDF417_FIXED_ROWS, 1, 5, 30, 8},
        {"oversized rectangle", "A", PDF417_FIXED_RECTANGLE, 30, 90, 29, 32},
        {"oversized narrow rectangle", "A", PDF417_FIXED_RECTANGLE, 20, 90, 16, 58},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        pdf417param p;
        pdf417init(p);
        p.text = row.data;
        p.options = row.options;
        p.codeColumns = row.columns;
        p.codeRows = row.rows;
        p.aspectRatio = 1.0f;
        paintCode(p);
        ASSERT_EQ(p.error, PDF417_ERROR_SUCCESS);
        if (row.wantColumns) {
            EXPECT_EQ(p.codeColumns, row.wantColumns);
        }
        if (row.wantRows) {
            EXPECT_EQ(p.codeRows, row.wantRows);
        }
        EXPECT_GE(p.codeRows, 3);
        EXPECT_LE(p.codeRows * p.codeColumns, 928);
        EXPECT_EQ(p.lenCodewords, p.codeRows * p.codeColumns);
        EXPECT_EQ(p.bitColumns, 17 * (p.codeColumns + 3) + 18);
        EXPECT_EQ(readSymbol(matrixPicture(p), kPdf417), row.data);
    }
}

TEST(Pdf417Encoder, InvertedOutputHasLightBarsAndSetPadding)
{
    for (const bool inverted : {false, true}) {
        const pdf417param p = encode("A", 2, PDF417_USE_ERROR_LEVEL | (inverted ? PDF417_INVERT_BITMAP : 0));
        const int bytesPerRow = p.lenBits / p.codeRows;
        ASSERT_GT(bytesPerRow * 8, p.bitColumns);
        for (int r = 0; r < p.codeRows; ++r) {
            EXPECT_EQ(bitAt(p, r, 0), !inverted);                 // first bar of the start pattern
            EXPECT_EQ(bitAt(p, r, p.bitColumns - 1), !inverted); // last bar of the stop pattern
            for (int c = p.bitColumns; c < bytesPerRow * 8; ++c)
                EXPECT_EQ(bitAt(p, r, c), inverted);
        }
    }
}

TEST(Pdf417Encoder, RefusesWhatDoesNotFit)
{
    std::mt19937 rng(5);
    QByteArray binary(1200, '\0');
    for (char &c : binary)
        c = static_cast<char>(rng());
    const struct {
        const char *name;
        QByteArray data;
    } rows[] = {
        {"more than 5420 bytes", QByteArray(5421, 'A')},
        {"more codewords than a symbol holds, bytes", binary},
        {"more codewords than a symbol holds, text", QByteArray(1900, 'a')},
        {"more codewords than a symbol holds, digits", QByteArray(2800, '7')},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const pdf417param p = encode(row.data, 2);
        EXPECT_EQ(p.error, PDF417_ERROR_TEXT_TOO_BIG);
        EXPECT_TRUE(p.outBits.empty());
    }
}

TEST(Pdf417Encoder, RawCodewordsAreCheckedBeforeUse)
{
    const struct {
        const char *name;
        std::vector<int> codewords;
        int length;
        int error;
    } rows[] = {
        {"valid", {3, 1, 89}, 3, PDF417_ERROR_SUCCESS},
        {"no codewords", {0}, 0, PDF417_ERROR_INVALID_PARAMS},
        {"length not repeated", {4, 1, 89}, 3, PDF417_ERROR_INVALID_PARAMS},
        {"too many", {927}, 927, PDF417_ERROR_INVALID_PARAMS},
        {"value out of range", {3, 1, 929}, 3, PDF417_ERROR_INVALID_PARAMS},
        {"negative value", {3, -1, 89}, 3, PDF417_ERROR_INVALID_PARAMS},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        pdf417param p;
        pdf417init(p);
        p.options = PDF417_USE_RAW_CODEWORDS;
        std::copy(row.codewords.begin(), row.codewords.end(), p.codewords.begin());
        p.lenCodewords = row.length;
        paintCode(p);
        EXPECT_EQ(p.error, row.error);
        if (row.error == PDF417_ERROR_SUCCESS) {
            EXPECT_EQ(readSymbol(matrixPicture(p), kPdf417), QByteArray("ABC"));
        }
    }
}

TEST(Pdf417Encoder, ErrorCorrectionRepairsDamagedCodewords)
{
    pdf417param p = encode("Error correction keeps this text readable 0123456789", 5);
    ASSERT_EQ(p.error, PDF417_ERROR_SUCCESS);
    for (int k = 0; k < 12; ++k)
        damageCodeword(p, (k * 5) % p.codeRows, k % p.codeColumns);
    EXPECT_EQ(readSymbol(matrixPicture(p), kPdf417), QByteArray("Error correction keeps this text readable 0123456789"));
}

// Each module and row whole pixels, the picture no smaller than the frame and less than a pixel a
// module larger.
TEST(Pdf417View, PictureHasTheFrameSizeAtTheResolution)
{
    const struct {
        double width, height, dpi;
    } rows[] = {{100, 20, 72}, {100, 20, 600}, {100, 50, 600}, {37, 91, 300}};
    for (const auto &row : rows) {
        pdf417View view(QSizeF(row.width, row.height));
        ASSERT_EQ(view.drawWithText(QStringLiteral("PDF417 picture"), row.dpi), pdf417View::Drawn);
        const QImage picture = view.getImage();
        const int columns = view.moduleColumns();
        ASSERT_GT(columns, 0);
        EXPECT_EQ(picture.width() % columns, 0) << row.dpi;
        EXPECT_GE(picture.width(), std::ceil(row.width * row.dpi / 72 - 1e-4));
        EXPECT_LT(picture.width(), row.width * row.dpi / 72 + columns);
        EXPECT_GE(picture.height(), std::ceil(row.height * row.dpi / 72 - 1e-4));
        const QSizeF points = imageSizeInPoints(picture);
        EXPECT_NEAR(points.width(), picture.width() * 72 / row.dpi, 0.05);
    }
}

TEST(Pdf417View, StatesAndThePictureAfterAFailure)
{
    pdf417View view(QSizeF(300, 120));
    EXPECT_EQ(view.getErrorLevel(), 2);
    EXPECT_EQ(view.drawWithText(QString(), 300), pdf417View::Empty);
    EXPECT_TRUE(view.getImage().isNull());

    ASSERT_EQ(view.drawWithText(QStringLiteral("first"), 300), pdf417View::Drawn);
    const QImage first = view.getImage();
    ASSERT_FALSE(first.isNull());

    EXPECT_EQ(view.drawWithText(QString(6000, QLatin1Char('a')), 300), pdf417View::Error);
    EXPECT_EQ(view.imageState(), pdf417View::Error);
    EXPECT_EQ(view.getImage(), first);

    view.setFrameSize(QSizeF(0, 20));
    EXPECT_EQ(view.drawWithText(QStringLiteral("no room"), 300), pdf417View::Drawn);
    EXPECT_TRUE(view.getImage().isNull());
}
