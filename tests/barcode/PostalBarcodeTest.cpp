#include "barcode/BarcodeGenerator.h"
#include "barcode/JapanPostBarcode.h"
#include "barcode/NKDPlanetBarcode.h"
#include "barcode/NKDRoyalMailBarcode.h"

#include <QMap>

#include <gtest/gtest.h>

#include <functional>

// The postal symbologies against their published tables, written out here in letters, one per bar:
// F full, A ascender, D descender, T tracker (PostNet and Planet: F tall, T short). Each bar is
// checked in the model and measured in the drawn picture, bottom and top above the baseline.

namespace {

const QMap<QChar, QString> kRoyalMail{
    {u'0', "TTFF"}, {u'1', "TDAF"}, {u'2', "TDFA"}, {u'3', "DTAF"}, {u'4', "DTFA"}, {u'5', "DDAA"},
    {u'6', "TADF"}, {u'7', "TFTF"}, {u'8', "TFDA"}, {u'9', "DATF"}, {u'A', "DADA"}, {u'B', "DFTA"},
    {u'C', "TAFD"}, {u'D', "TFAD"}, {u'E', "TFFT"}, {u'F', "DAAD"}, {u'G', "DAFT"}, {u'H', "DFAT"},
    {u'I', "ATDF"}, {u'J', "ADTF"}, {u'K', "ADDA"}, {u'L', "FTTF"}, {u'M', "FTDA"}, {u'N', "FDTA"},
    {u'O', "ATFD"}, {u'P', "ADAD"}, {u'Q', "ADFT"}, {u'R', "FTAD"}, {u'S', "FTFT"}, {u'T', "FDAT"},
    {u'U', "AADD"}, {u'V', "AFTD"}, {u'W', "AFDT"}, {u'X', "FATD"}, {u'Y', "FADT"}, {u'Z', "FFTT"}};

// Digits, hyphen and control codes 1 to 8 (":" ";" "<" "=" ">" "?" "." "/").
const QMap<QChar, QString> kJapanPost{
    {u'1', "FFT"}, {u'2', "FDA"}, {u'3', "DFA"}, {u'4', "FAD"}, {u'5', "FTF"}, {u'6', "DAF"}, {u'7', "AFD"},
    {u'8', "ADF"}, {u'9', "TFF"}, {u'0', "FTT"}, {u'-', "TFT"}, {u':', "DAT"}, {u';', "DTA"}, {u'<', "ADT"},
    {u'=', "TDA"}, {u'>', "ATD"}, {u'?', "TAD"}, {u'.', "TTF"}, {u'/', "FFF"}};

// RM4SCC: the characters fill a 6 × 6 grid row by row; the check character stands at the row of the
// summed rows and the column of the summed columns, each modulo 6 with 0 as 6.
QString royalMailBars(const QString &content)
{
    const QString grid = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    int rows = 0, columns = 0;
    QString bars = QStringLiteral("A");
    for (const QChar c : content) {
        rows += static_cast<int>(grid.indexOf(c)) / 6 + 1;
        columns += static_cast<int>(grid.indexOf(c)) % 6 + 1;
        bars += kRoyalMail.value(c);
    }
    const int row = (rows + 5) % 6, column = (columns + 5) % 6;
    return bars + kRoyalMail.value(grid.at(row * 6 + column)) + QLatin1Char('F');
}

// Japan Post: 20 characters filled with control code 4; the check character brings the sum of
// values (digits, "-" 10, control codes 1 to 4 as 11 to 14) to a multiple of 19.
QString japanPostBars(const QString &encoded)
{
    const QString values = QStringLiteral("0123456789-:;<=>?./");
    const QString filled = encoded.leftJustified(20, QLatin1Char('='));
    int sum = 0;
    QString bars = QStringLiteral("FD");
    for (const QChar c : filled) {
        sum += static_cast<int>(values.indexOf(c));
        bars += kJapanPost.value(c);
    }
    return bars + kJapanPost.value(values.at((19 - sum % 19) % 19)) + QStringLiteral("DF");
}

// POSTNET: each digit has two tall bars among five weighted 7, 4, 2, 1, 0 that add up to it (0 as
// 11); the check digit brings the sum of the digits to a multiple of ten. Planet exchanges heights.
QString postnetBars(const QString &digits, bool planet)
{
    const int weights[] = {7, 4, 2, 1, 0};
    QString bars = QStringLiteral("F");
    int sum = 0;
    const auto digit = [&](int d) {
        const int target = d == 0 ? 11 : d;
        for (int bar = 0; bar < 5; ++bar) {
            bool tall = false;
            for (int other = 0; other < 5; ++other)
                tall = tall || (other != bar && weights[bar] + weights[other] == target);
            bars += tall != planet ? QLatin1Char('F') : QLatin1Char('T');
        }
    };
    for (const QChar c : digits) {
        digit(c.digitValue());
        sum += c.digitValue();
    }
    digit((10 - sum % 10) % 10);
    return bars + QLatin1Char('F');
}

// Bottom and top of a bar above the baseline, in points.
struct Span {
    double bottom, top;
};

constexpr double kPointsPerMm = 72.0 / 25.4;

Span royalMailSpan(QChar bar, double)
{
    const bool ascender = bar == u'A' || bar == u'F', descender = bar == u'D' || bar == u'F';
    return {(descender ? 0.0 : 1.9) * kPointsPerMm, (ascender ? 5.05 : 3.15) * kPointsPerMm};
}

Span japanPostSpan(QChar bar, double size)
{
    const bool ascender = bar == u'A' || bar == u'F', descender = bar == u'D' || bar == u'F';
    return {(descender ? 0.0 : 1.2) * size / 10 * kPointsPerMm, (ascender ? 3.6 : 2.4) * size / 10 * kPointsPerMm};
}

Span postnetSpan(QChar bar, double)
{
    return {0.0, bar == u'F' ? 9.0 : 3.6};
}

struct PostalRow {
    const char *name;
    const char *title;
    QString value;
    QString bars;
    std::function<Span(QChar, double size)> span;
};

// The bars drawn in black, from left to right, measured at the middle of each.
QList<Span> drawnBars(const QImage &image, double scale)
{
    const auto black = [&](int x, int y) {
        const QRgb p = image.pixel(x, y);
        return qAlpha(p) > 128 && qRed(p) < 80 && qGreen(p) < 80 && qBlue(p) < 80;
    };
    QList<std::pair<int, int>> rows; // first and last black row of each bar
    for (int x = 0; x < image.width();) {
        const auto inked = [&](int column) {
            for (int y = 0; y < image.height(); ++y)
                if (black(column, y))
                    return true;
            return false;
        };
        if (!inked(x)) {
            ++x;
            continue;
        }
        int end = x;
        while (end < image.width() && inked(end))
            ++end;
        const int middle = (x + end) / 2;
        int top = 0, bottom = image.height() - 1;
        while (!black(middle, top))
            ++top;
        while (!black(middle, bottom))
            --bottom;
        rows.append({top, bottom});
        x = end;
    }
    int baseline = 0;
    for (const auto &[top, bottom] : rows)
        baseline = std::max(baseline, bottom + 1);
    QList<Span> spans;
    for (const auto &[top, bottom] : rows)
        spans.append({(baseline - bottom - 1) / scale, (baseline - top) / scale});
    return spans;
}

class PostalBars : public testing::TestWithParam<PostalRow> {};

TEST_P(PostalBars, FollowThePublishedTablesInTheModelAndThePicture)
{
    const PostalRow &row = GetParam();
    BarcodeSettings settings;
    settings.barcode_font_index = static_cast<int>(Barcode_Symbology_Titles().indexOf(QLatin1String(row.title)));
    settings.barcode_val_clr_val = Qt::red;
    settings.barcode_hdr_clr_val = Qt::green;
    settings.barcode_ftr_clr_val = Qt::blue;
    const std::shared_ptr<NKDBarcode> model = Generate_Barcode_Variable(settings, row.value, QStringLiteral("HEADER"),
                                                                        QStringLiteral("FOOTER"));
    ASSERT_TRUE(model);
    const auto *japan = dynamic_cast<const JapanPostBarcode *>(model.get());
    const double size = japan ? japan->symbolSize() : 0.0;

    QList<Span> modelled;
    const QString modules = model->completeBarcode();
    for (int i = 0; i < modules.size(); ++i)
        if (modules.at(i) == u'1')
            modelled.append({model->isFourState() ? model->barBottom(i) : 0.0, model->barTop(i, {})});
    const QImage picture = imageFromBarcode(model, settings).toImage(600).convertToFormat(QImage::Format_ARGB32);
    const QList<Span> drawn = drawnBars(picture, 600.0 / 72.0);
    ASSERT_EQ(modelled.size(), row.bars.size());
    ASSERT_EQ(drawn.size(), row.bars.size());
    for (qsizetype i = 0; i < row.bars.size(); ++i) {
        const Span expected = row.span(row.bars.at(i), size);
        EXPECT_NEAR(modelled.at(i).bottom, expected.bottom, 1e-3) << "bar " << i;
        EXPECT_NEAR(modelled.at(i).top, expected.top, 1e-3) << "bar " << i;
        EXPECT_NEAR(drawn.at(i).bottom, expected.bottom, 0.25) << "drawn bar " << i;
        EXPECT_NEAR(drawn.at(i).top, expected.top, 0.25) << "drawn bar " << i;
    }
}

void PrintTo(const PostalRow &row, std::ostream *out)
{
    *out << row.name;
}

const auto rowName = [](const auto &info) { return std::string(info.param.name); };

INSTANTIATE_TEST_SUITE_P(
    Postal, PostalBars,
    testing::Values(
        PostalRow{"postnetFive", "PostNet", QStringLiteral("12345"), postnetBars(QStringLiteral("12345"), false),
                  postnetSpan},
        PostalRow{"postnetEleven", "PostNet", QStringLiteral("55555123409"),
                  postnetBars(QStringLiteral("55555123409"), false), postnetSpan},
        PostalRow{"planetNine", "Planet", QStringLiteral("098765432"), postnetBars(QStringLiteral("098765432"), true),
                  postnetSpan},
        PostalRow{"royalMail", "Royal Mail Barcode (RM4SCC / CBC)", QStringLiteral("SN34RD1A"),
                  royalMailBars(QStringLiteral("SN34RD1A")), royalMailSpan},
        PostalRow{"royalMailLowerCase", "Royal Mail Barcode (RM4SCC / CBC)", QStringLiteral("bx11lt1a"),
                  royalMailBars(QStringLiteral("BX11LT1A")), royalMailSpan},
        PostalRow{"royalMailEveryCharacter", "Royal Mail Barcode (RM4SCC / CBC)",
                  QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"),
                  royalMailBars(QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ")), royalMailSpan},
        PostalRow{"japanPostDigits", "Japan Post Barcode", QStringLiteral("2630023-3-30-8"),
                  japanPostBars(QStringLiteral("2630023-3-30-8")), japanPostSpan},
        // Letters are a control code and a digit; the space is dropped.
        PostalRow{"japanPostLetters", "Japan Post Barcode", QStringLiteral("1234567 akU"),
                  japanPostBars(QStringLiteral("1234567:0;0<0")), japanPostSpan},
        PostalRow{"japanPostFull", "Japan Post Barcode", QStringLiteral("12345678901234567890"),
                  japanPostBars(QStringLiteral("12345678901234567890")), japanPostSpan}),
    rowName);

TEST(NKDPostnetBarcode, KeepsItsPostalGeometryAndLengths)
{
    NKDPostnetBarcode postnet(QStringLiteral("12345"));
    EXPECT_EQ(postnet.checkDigit(), '5');
    postnet.setBarWidth(Mils_To_Points(20)); // the settings' bar width does not apply
    EXPECT_EQ(postnet.completeBarcode().size(), 3 + 6 * 15 + 1);
    EXPECT_FLOAT_EQ(postnet.width(), 94 * 1.08f);
    for (const char *content : {"12345", "123456789", "12345678901"})
        EXPECT_TRUE(NKDPlanetBarcode(QLatin1String(content)).isContentValid()) << content;
    for (const char *content : {"123456", "1234", "1234A", ""})
        EXPECT_FALSE(NKDPostnetBarcode(QLatin1String(content)).isContentValid()) << content;
}

TEST(NKDRoyalMailBarcode, TakesDigitsAndLettersOnly)
{
    EXPECT_TRUE(NKDRoyalMailBarcode(QStringLiteral("lu17 8xe").remove(u' ')).isContentValid());
    EXPECT_EQ(NKDRoyalMailBarcode(QStringLiteral("lu178xe")).caption(), QStringLiteral("LU178XE"));
    for (const char *content : {"LU17 8XE", "AB-1", "A_B"})
        EXPECT_FALSE(NKDRoyalMailBarcode(QLatin1String(content)).isContentValid()) << content;
    EXPECT_FALSE(NKDRoyalMailBarcode(QStringLiteral("\u00c91")).isContentValid());
}

TEST(JapanPostBarcode, EncodesTwentyCharactersAndKeepsItsSizeApartFromTheFrame)
{
    const JapanPostBarcode letters(QStringLiteral("123-4567 abc"));
    EXPECT_EQ(letters.japanpostContents(), QStringLiteral("123-4567:0:1:2======"));
    EXPECT_EQ(letters.content(), QStringLiteral("123-4567ABC"));
    EXPECT_FALSE(letters.isContentValid()) << "the postal code is seven digits";
    EXPECT_FALSE(JapanPostBarcode(QStringLiteral("12345")).isContentValid());
    // Cut to 20 without leaving a letter's control code apart from its digit.
    const JapanPostBarcode cut(QStringLiteral("1234567ABCDEFG"));
    EXPECT_EQ(cut.japanpostContents(), QStringLiteral("1234567:0:1:2:3:4:5="));
    EXPECT_EQ(cut.content(), QStringLiteral("1234567ABCDEF"));

    JapanPostBarcode japan(QStringLiteral("1234567"));
    EXPECT_FLOAT_EQ(japan.symbolSize(), 10.0f);
    EXPECT_EQ(japan.completeBarcode().size(), 4 + 21 * 6 + 3);
    EXPECT_FLOAT_EQ(japan.width(), 133 * 10.0f / 6);
    japan.setSymbolSize(8.2f);
    EXPECT_FLOAT_EQ(japan.symbolSize(), 8.5f);
    japan.setBarWidth(1.3666667f);
    EXPECT_NEAR(japan.symbolSize(), 8.2f, 1e-5);
    japan.setHeight(60.0f);
    EXPECT_NEAR(japan.symbolSize(), 8.2f, 1e-5) << "the frame's height is not the symbol's size";
    EXPECT_FLOAT_EQ(japan.height(), 60.0f);
    EXPECT_FLOAT_EQ(JapanPostBarcode(NKDBarcode::Init{QStringLiteral("1234567"), true, 1, 9.0f}).symbolSize(), 9.0f);
}

} // namespace
