#include "barcode/BarcodeGenerator.h"
#include "barcode/BarcodeSizing.h"
#include "barcode/BarcodeText.h"
#include "barcode/NKDBarcodeOffscreenView.h"
#include "core/ImageHelpers.h"

#include <QRawFont>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

// Frame sizes against the sizing rules worked out by hand, and the drawn layout read from pixels at
// 720 dpi (ten pixels per point), each kind of ink in a colour of its own.

namespace {

constexpr double kScale = 10.0; // pixels per point at 720 dpi
const double kTenthCm = Centimetres_To_Points(0.1);

// 1.35 cap heights in points, measured straight from the font file at one pixel per point.
double band(const QFont &font)
{
    QRawFont raw = QRawFont::fromFont(font);
    raw.setPixelSize(font.pointSizeF());
    return 1.35 * raw.capHeight();
}

// A barcode whose module string is given, one point per module.
class Modules : public NKDBarcode {
public:
    Modules(const QString &modules, const QString &caption = QStringLiteral("X"), const QString &initiator = {})
        : NKDBarcode(Init{caption, false, 1.0f, 20.0f}), m_modules(modules), m_initiator(initiator)
    {
        calculateWidth();
    }
    QString barcode() const override { return m_modules; }
    QString initiator() const override { return m_initiator; }

private:
    QString m_modules;
    QString m_initiator;
};

BarcodeSettings noMargins()
{
    BarcodeSettings settings;
    settings.hdr_margin_val = settings.ftr_margin_val = settings.val_margin_val = 0;
    settings.TB_marging_val = settings.LR_margin_val = 0;
    settings.barcode_val_clr_val = Qt::red;
    settings.barcode_hdr_clr_val = Qt::green;
    settings.barcode_ftr_clr_val = Qt::blue;
    return settings;
}

QImage render(const BarcodePicture &picture)
{
    return picture.toImage(72.0 * kScale).convertToFormat(QImage::Format_ARGB32);
}

using Ink = std::function<bool(QRgb)>;
const Ink black = [](QRgb p) { return qAlpha(p) > 128 && qRed(p) < 80 && qGreen(p) < 80 && qBlue(p) < 80; };
const Ink red = [](QRgb p) { return qRed(p) > 150 && qGreen(p) < 120 && qBlue(p) < 120; };
const Ink green = [](QRgb p) { return qGreen(p) > 100 && qRed(p) < 120 && qBlue(p) < 120; };

// The box of pixels of one ink, in points; nothing when there are none.
std::optional<QRectF> inkBox(const QImage &image, const Ink &ink)
{
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (ink(image.pixel(x, y))) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    if (right < 0)
        return std::nullopt;
    return QRectF(left / kScale, top / kScale, (right + 1 - left) / kScale, (bottom + 1 - top) / kScale);
}

struct HeightRow {
    const char *name;
    float barCm, marginCm;
    bool caption, header, footer;
    // Expected from the bands (1.35 cap heights, the same font for all three) and a margin.
    std::function<double(double band, double margin)> expected;
};

class FrameHeight : public testing::TestWithParam<HeightRow> {};

TEST_P(FrameHeight, AddsTheShownBandsAndMargins)
{
    const HeightRow &row = GetParam();
    BarcodeSettings settings;
    settings.linear_height_val = row.barCm;
    settings.hdr_margin_val = settings.ftr_margin_val = settings.val_margin_val = row.marginCm;
    settings.TB_marging_val = settings.LR_margin_val = row.marginCm;
    settings.show_hide_val = row.caption ? 0 : 1;
    settings.show_hide_hdr = row.header ? 0 : 1;
    settings.show_hide_ftr = row.footer ? 0 : 1;
    const auto model = Generate_Barcode_Variable(settings, QStringLiteral("A1"), QStringLiteral("H"), QStringLiteral("F"));
    ASSERT_TRUE(model);
    const double margin = Centimetres_To_Points(row.marginCm);
    EXPECT_NEAR(model->height(), row.expected(band(settings.value_font_val), margin), 1e-3);
    EXPECT_DOUBLE_EQ(imageFromBarcode(model, settings).size().height(), model->height());
}

INSTANTIATE_TEST_SUITE_P(
    Sizing, FrameHeight,
    testing::Values(
        HeightRow{"barsAlone", 0.6f, 0, false, false, false, [](double, double) { return 17.007883; }},
        HeightRow{"captionOnly", 2.0f, 0.1f, true, false, false,
                  [](double b, double) { return 56.692944 + b + 2.8346472 + 2 * 2.8346472; }},
        HeightRow{"everything", 1.0f, 0.2f, true, true, true,
                  [](double b, double m) { return Centimetres_To_Points(1.0) + 3 * (b + m) + 2 * m; }},
        HeightRow{"headerAndFooter", 1.0f, 0.2f, false, true, true,
                  [](double b, double m) { return Centimetres_To_Points(1.0) + 2 * (b + m) + 2 * m; }}),
    [](const auto &info) { return std::string(info.param.name); });

struct WidthRow {
    const char *name;
    QString header;
    bool headerShown;
    float lrCm;
    bool headerSetsWidth;
};

class FrameWidth : public testing::TestWithParam<WidthRow> {};

TEST_P(FrameWidth, IsTheWidestPartWithSideMargins)
{
    const WidthRow &row = GetParam();
    BarcodeSettings settings;
    settings.LR_margin_val = row.lrCm;
    settings.show_hide_hdr = row.headerShown ? 0 : 1;
    const auto model = Generate_Barcode_Variable(settings, QStringLiteral("A"), row.header, QString());
    ASSERT_TRUE(model);
    const double bars = static_cast<double>(model->completeBarcode().size()) * Mils_To_Points(20);
    const double content = row.headerSetsWidth ? model->headerWidth() : bars;
    const double sides = row.lrCm > 0 ? 2 * Centimetres_To_Points(row.lrCm) + 15.0 : 0.0;
    EXPECT_NEAR(model->width(), content + sides, 1e-3);
    EXPECT_EQ(model->headerWidth() > bars, row.headerSetsWidth || !row.headerShown);
    // The picture adds ground beside the bars where their quiet zones need it.
    EXPECT_GE(imageFromBarcode(model, settings).size().width(), model->width() - 1e-3);
}

INSTANTIATE_TEST_SUITE_P(
    Sizing, FrameWidth,
    testing::Values(WidthRow{"barsNoMargin", QStringLiteral("H"), true, 0.0f, false},
                    WidthRow{"barsWithMargin", QStringLiteral("H"), true, 0.1f, false},
                    WidthRow{"wideHeader", QStringLiteral("A HEADER FAR WIDER THAN THE BARS"), true, 0.1f, true},
                    WidthRow{"wideHeaderHidden", QStringLiteral("A HEADER FAR WIDER THAN THE BARS"), false, 0.0f,
                             false}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(FrameOf2D, HoldsTheSymbolBetweenHeaderAndFooter)
{
    BarcodeSettings settings;
    settings.linear_or_2d = 1;
    QImage symbol(200, 100, QImage::Format_RGB32);
    symbol.fill(Qt::black);
    setImageSizeInPoints(symbol, QSizeF(100, 50));
    Barcode_2D_Frame frame =
        Barcode_2D_Frame_For(settings, QStringLiteral("v"), QStringLiteral("HEADER"), QStringLiteral("F"), symbol);
    const double b = band(settings.header_font_val);
    EXPECT_NEAR(frame.height(), 50 + 2 * (b + kTenthCm) + 2 * kTenthCm, 1e-3);
    EXPECT_NEAR(frame.width(), std::max(100.0, double(frame.headerWidth())) + 2 * kTenthCm + 15, 1e-3);
    settings.show_hide_hdr = settings.show_hide_ftr = 1; // hidden texts take no room, nor their margins
    Set_2d_Barcode_Height(settings, frame, QSizeF(100, 50));
    EXPECT_NEAR(frame.height(), 50 + 2 * kTenthCm, 1e-3);
}

struct RunsRow {
    QString modules;
    QList<QPair<int, int>> runs; // first module and length of each dark run
};

TEST(BarcodeRenderer, DrawsEachRunOfDarkModulesAsOneBar)
{
    const RunsRow rows[] = {{QStringLiteral("1101"), {{0, 2}, {3, 1}}},
                            {QStringLiteral("0110"), {{1, 2}}},
                            {QStringLiteral("10001"), {{0, 1}, {4, 1}}},
                            {QStringLiteral("0"), {}},
                            {QStringLiteral("1111"), {{0, 4}}}};
    // Bare module strings: no symbology's quiet zone narrows them.
    BarcodeSettings settings = noMargins();
    settings.barcode_font_index = -1;
    for (const RunsRow &row : rows) {
        const QImage image = render(imageFromBarcode(std::make_shared<Modules>(row.modules), settings));
        QList<QPair<int, int>> runs;
        const int y = image.height() / 2;
        for (int x = 0; x < image.width();) {
            if (!black(image.pixel(x, y))) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < image.width() && black(image.pixel(x, y)))
                ++x;
            runs.append({qRound(start / kScale), qRound((x - start) / kScale)});
        }
        EXPECT_EQ(runs, row.runs) << row.modules.toStdString();
    }
}

TEST(BarcodeRenderer, BarsStandOnTheBaselineOfTheirCaptionPlace)
{
    for (const bool onTop : {false, true}) {
        BarcodeSettings settings = noMargins();
        settings.val_margin_val = settings.ftr_margin_val = settings.TB_marging_val = 0.1f;
        settings.show_val_on_top = onTop ? 1 : 0;
        settings.show_hide_hdr = 1;
        settings.linear_height_val = 1.0f;
        const auto model = Generate_Barcode_Variable(settings, QStringLiteral("AB"), {}, QStringLiteral("FOOT"));
        ASSERT_TRUE(model);
        const QImage image = render(imageFromBarcode(model, settings));
        const QRectF bars = *inkBox(image, black);
        const QRectF caption = *inkBox(image, red);
        const double height = model->height();
        const double footer = band(settings.footer_font_val) + kTenthCm + kTenthCm; // band, margin, bottom margin
        const double baseline = onTop ? footer : footer + band(settings.value_font_val) + kTenthCm;
        EXPECT_NEAR(bars.bottom(), height - baseline, 0.15) << onTop;
        EXPECT_NEAR(bars.height(), Centimetres_To_Points(1.0), 0.15) << onTop;
        if (onTop)
            EXPECT_LT(caption.bottom(), bars.top()) << "the caption stands above the bars";
        else
            EXPECT_GT(caption.top(), bars.bottom()) << "the caption stands below the bars";
    }
}

TEST(BarcodeRenderer, SymbolOf2DSitsBelowTheHeader)
{
    BarcodeSettings settings = noMargins();
    settings.linear_or_2d = 1;
    settings.hdr_margin_val = settings.TB_marging_val = 0.1f;
    settings.header_font_val.setPointSizeF(20); // a band taller than the header margin
    QImage symbol(40, 40, QImage::Format_RGB32);
    symbol.fill(Qt::black);
    const Barcode_2D_Frame frame = Barcode_2D_Frame_For(settings, QStringLiteral("v"), QStringLiteral("HEADER"), {}, symbol);
    const QImage image = render(imageFromBarcodeImage(symbol, frame, settings));
    const QRectF drawn = *inkBox(image, black);
    EXPECT_NEAR(drawn.top(), kTenthCm + band(settings.header_font_val) + kTenthCm, 0.15);
    EXPECT_NEAR(drawn.width(), 40, 0.15);
    EXPECT_NEAR(drawn.center().x(), frame.width() / 2, 0.15);
    EXPECT_LT(inkBox(image, green)->bottom(), drawn.top()) << "header and symbol do not overlap";
}

// Pictures without side margins hold each symbology's quiet zone in ground added beside the bars, which
// keep their set width: Code 128's ten modules, EAN-13's wider left zone, a QR symbol's four modules
// on every side. Read from the pixels.
TEST(BarcodeRenderer, KeepsTheQuietZoneInsideThePicture)
{
    struct Row {
        Symbology symbology;
        QString value;
        int modules;
        double left, right;
    };
    for (const Row &row : {Row{Symbology::Code128, QStringLiteral("0123"), 57, 10, 10},
                           Row{Symbology::EAN13, QStringLiteral("400638133393"), 95, 11, 7}}) {
        BarcodeSettings settings = noMargins();
        settings.barcode_font_index = Barcode_Symbology_Of(row.symbology).storedIndex();
        settings.show_hide_val = settings.show_hide_hdr = settings.show_hide_ftr = 1;
        const BarcodePicture picture = Get_Image_From_Val(settings, row.value, {}, {});
        const QRectF bars = *inkBox(render(picture), black);
        const double module = bars.width() / row.modules;
        EXPECT_NEAR(module, Mils_To_Points(settings.linear_width_val), 0.01) << row.value.toStdString();
        EXPECT_GE(bars.left() + 0.1, row.left * module) << row.value.toStdString();
        EXPECT_GE(picture.size().width() - bars.right() + 0.1, row.right * module) << row.value.toStdString();
    }

    BarcodeSettings settings = noMargins();
    settings.linear_or_2d = 1;
    settings.barcode_font_index = Barcode_Symbology_Of(Symbology::QRCode).storedIndex();
    settings.show_hide_hdr = settings.show_hide_ftr = 1;
    settings.qr_size_val = 42; // two points a module for version 1
    const BarcodePicture picture = Get_Image_From_Val(settings, QStringLiteral("v"), {}, {});
    const QRectF drawn = *inkBox(render(picture), black);
    const double module = Whole_Pixels_Points(2.0, settings.USED_DPI_VALUE());
    EXPECT_NEAR(drawn.width(), 21 * module, 0.15);
    for (const double gap : {drawn.left(), drawn.top(), picture.size().width() - drawn.right(),
                             picture.size().height() - drawn.bottom()})
        EXPECT_GE(gap + 0.15, 4 * module);
}

TEST(BarcodeRenderer, SplitCaptionDrawsItsPartsAndSkipsEmptyOnes)
{
    const std::pair<QString, bool> rows[] = {{QStringLiteral("12\t34"), true},
                                             {QStringLiteral("\t34"), true},
                                             {QStringLiteral("12\t"), true},
                                             {QStringLiteral("\t\t"), false}};
    for (const auto &[caption, inked] : rows) {
        auto model = std::make_shared<Modules>(QString(60, QLatin1Char('1')), caption, QStringLiteral("101"));
        model->setPrintsCaption(true);
        model->setCaptionFontSize(Default_Barcode_Font());
        model->setHeight(40);
        const QImage image = render(imageFromBarcode(model, noMargins()));
        EXPECT_EQ(inkBox(image, red).has_value(), inked) << caption.toStdString();
    }
}

TEST(BarcodeRenderer, SingleCaptionSpreadsOverTheBarsWhenAsked)
{
    for (const bool spread : {false, true}) {
        BarcodeSettings settings = noMargins();
        settings.kerning_value = spread;
        const auto model = Generate_Barcode_Variable(settings, QStringLiteral("0123456789"), {}, {});
        const QRectF caption = *inkBox(render(imageFromBarcode(model, settings)), red);
        // Spread, the digits and their kerning fill the width; the last kerning trails the ink.
        const double plain = BarcodeText(model->caption(), settings.value_font_val).width();
        const double kerning = spread ? (model->width() - plain) / 10 : 2.0;
        EXPECT_NEAR(caption.width(), plain + 9 * kerning, 1.0) << spread;
    }
}

} // namespace
