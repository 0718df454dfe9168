#include "BarcodeTestSupport.h"

#include "barcode/BarcodeGenerator.h"
#include "barcode/BarcodeSizing.h"
#include "canvas/SKTRenderingView.h"
#include "core/ImageHelpers.h"
#include "document/SKTBarcode.h"
#include "fixtures/TestSupport.h"

#include <ZXing/BitMatrix.h>
#include <ZXing/MultiFormatWriter.h>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cmath>

#include <gtest/gtest.h>

// Every symbol is drawn by the generator and read back by zxing-cpp, an independent decoder: from the
// picture at 300 dpi, at the canvas's 72 dpi, from its PDF rasterised by poppler, and from a card
// side exported at 300 dpi after the barcode object has been through the archive and the pasteboard.

namespace {

// At 72 dpi a module must be two whole pixels for any reader (20 mils is 1.44 px there): two points,
// with side margins wide enough for ten such modules, or the bars narrow to keep their quiet zones.
constexpr float kCanvasReadableMils = 2000.0f / 72.0f;
constexpr float kCanvasReadableSideCm = 0.5f;

struct DecodeRow {
    const char *name;
    const char *symbology;
    QString value;
    std::string expected;
};

BarcodeSettings settingsFor(const DecodeRow &row)
{
    BarcodeSettings settings;
    settings.barcode_font_index = static_cast<int>(Barcode_Symbology_Titles().indexOf(QLatin1String(row.symbology)));
    settings.linear_font_val = row.value;
    return settings;
}

Decoded read(const DecodeRow &row, const QImage &picture)
{
    const bool extended = QLatin1String(row.symbology) == QLatin1String("Extended Code 39");
    return decodeBarcode(picture, ZXing::BarcodeFormat::Code39, extended);
}

const Decoded expectedOf(const DecodeRow &row)
{
    return {"Code39", row.expected};
}

class LinearDecode : public testing::TestWithParam<DecodeRow> {};

TEST_P(LinearDecode, ReadsBackAt300And72Dpi)
{
    const DecodeRow &row = GetParam();
    BarcodeSettings settings = settingsFor(row);
    const BarcodePicture picture = Get_Image_From_Val(settings, row.value, settings.header_val, settings.footer_val);
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(read(row, picture.toImage(300)), expectedOf(row));

    settings.linear_width_val = kCanvasReadableMils;
    settings.LR_margin_val = kCanvasReadableSideCm;
    settings.dpi_val_index = static_cast<int>(Barcode_DPI_Titles().indexOf(QStringLiteral("72")));
    const BarcodePicture wide = Get_Image_From_Val(settings, row.value, settings.header_val, settings.footer_val);
    EXPECT_EQ(read(row, wide.toImage(72)), expectedOf(row));
}

TEST_P(LinearDecode, ReadsBackFromItsPdf)
{
    const DecodeRow &row = GetParam();
    const BarcodeSettings settings = settingsFor(row);
    const QByteArray pdf = Get_Image_From_Val(settings, row.value, QString(), QString()).pdfData();
    ASSERT_TRUE(pdf.startsWith("%PDF-"));
    const QString rasteriser = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (rasteriser.isEmpty())
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed: the PDF was written but not read back";
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("symbol.pdf")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(pdf) == pdf.size());
    file.close();
    QProcess process;
    process.start(rasteriser, {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-png"),
                               QStringLiteral("-singlefile"), file.fileName(), folder.filePath(QStringLiteral("page"))});
    ASSERT_TRUE(process.waitForFinished(30000) && process.exitCode() == 0) << process.readAllStandardError().toStdString();
    const QImage page(folder.filePath(QStringLiteral("page.png")));
    ASSERT_FALSE(page.isNull());
    EXPECT_EQ(read(row, page), expectedOf(row));
}

INSTANTIATE_TEST_SUITE_P(
    Code39, LinearDecode,
    testing::Values(DecodeRow{"word", "Code 39", QStringLiteral("CODE39"), "CODE39"},
                    DecodeRow{"digits", "Code 39", QStringLiteral("0123456789"), "0123456789"},
                    DecodeRow{"letters", "Code 39", QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ"),
                              "ABCDEFGHIJKLMNOPQRSTUVWXYZ"},
                    DecodeRow{"symbols", "Code 39", QStringLiteral("- . $/+%"), "- . $/+%"},
                    DecodeRow{"upperCased", "Code 39", QStringLiteral("card 7"), "CARD 7"},
                    DecodeRow{"extendedText", "Extended Code 39", QStringLiteral("Hello, World!"), "Hello, World!"},
                    DecodeRow{"extendedAsterisk", "Extended Code 39", QStringLiteral("a*b"), "a*b"},
                    DecodeRow{"extendedPunctuation", "Extended Code 39", QStringLiteral("{x@y_z}~[`]?"),
                              "{x@y_z}~[`]?"},
                    DecodeRow{"extendedShifts", "Extended Code 39", QStringLiteral("$%+/:;"), "$%+/:;"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(BarcodeDecode, AnInvalidValueMakesNoPicture)
{
    BarcodeSettings settings;
    for (const QString &value : {QStringLiteral("A*B"), QStringLiteral("CAF\u00c9"), QString()})
        EXPECT_TRUE(Get_Image_From_Val(settings, value, {}, {}).isNull()) << value.toStdString();
    settings.linear_or_2d = 1;
    EXPECT_TRUE(Get_Image_From_Val(settings, QStringLiteral("CODE39"), {}, {}).isNull()) << "no 2-D drawing yet";
    // Settings read from a file may hold anything: no picture then, or a harmless one, never a crash.
    const float hostile[] = {std::nanf(""), INFINITY, -5.0f, 1e30f};
    for (const float value : hostile) {
        BarcodeSettings odd;
        odd.linear_height_val = odd.linear_width_val = odd.TB_marging_val = odd.LR_margin_val = value;
        const BarcodePicture picture = Get_Image_From_Val(odd, QStringLiteral("A"), QStringLiteral("H"), {});
        picture.toImage(300);
        picture.pdfData();
    }
}

// A QR symbol made by zxing itself, `module` points per module, framed by the renderer.
QImage qrSymbol(const std::string &text, double module)
{
    const ZXing::BitMatrix matrix = ZXing::MultiFormatWriter(ZXing::BarcodeFormat::QRCode).setMargin(0).encode(text, 0, 0);
    constexpr int kPixels = 8;
    QImage symbol(matrix.width() * kPixels, matrix.height() * kPixels, QImage::Format_RGB32);
    for (int y = 0; y < symbol.height(); ++y)
        for (int x = 0; x < symbol.width(); ++x)
            symbol.setPixel(x, y, matrix.get(x / kPixels, y / kPixels) ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    setImageSizeInPoints(symbol, QSizeF(matrix.width() * module, matrix.height() * module));
    return symbol;
}

TEST(BarcodeDecode, FramedTwoDimensionalSymbolReadsBack)
{
    BarcodeSettings settings;
    settings.linear_or_2d = 1;
    const std::string text = "https://example.org/card?id=42";
    for (const double dpi : {300.0, 72.0}) {
        const QImage symbol = qrSymbol(text, 2.0);
        const Barcode_2D_Frame frame = Barcode_2D_Frame_For(settings, QString::fromStdString(text),
                                                            QStringLiteral("HEADER"), QStringLiteral("FOOTER"), symbol);
        const BarcodePicture picture = imageFromBarcodeImage(symbol, frame, settings);
        EXPECT_EQ(decodeBarcode(picture.toImage(dpi), ZXing::BarcodeFormat::QRCode), (Decoded{"QRCode", text})) << dpi;
        const QImage resampled = Increase_DPI(symbol, settings);
        EXPECT_NEAR(imageSizeInPoints(resampled).width(), imageSizeInPoints(symbol).width(), 0.05);
        EXPECT_EQ(resampled.width(), std::ceil(600.0 / 72.0 * imageSizeInPoints(symbol).width()));
    }
}

TEST(BarcodeDecode, ObjectPictureKeepsItsSizeThroughArchiveAndPasteboardAndReadsFromAnExport)
{
    AppFixture app;
    auto barcode = std::make_shared<SKTBarcode>();
    barcode->linear_font_val = QStringLiteral("CARD-42");
    barcode->dpi_val_index = static_cast<int>(Barcode_DPI_Titles().indexOf(QStringLiteral("300")));
    barcode->Set_Barcode_image(Barcode_Image_For_Graphic(*barcode));
    const BarcodeSettings settings = Barcode_Settings_Of(*barcode);
    const QSizeF points = Get_Image_From_Val(settings, settings.value(), settings.header_val, settings.footer_val).size();
    const QSizeF drawn = barcode->_barcode_image.deviceIndependentSize();
    // Whole pixels at 300 dpi: at most one more than the points ask for.
    EXPECT_NEAR(drawn.width(), points.width(), 72.0 / 300);
    EXPECT_NEAR(drawn.height(), points.height(), 72.0 / 300);
    barcode->_bounds = QRectF(QPointF(20, 30), points);

    const SKTGraphicPtr archived = SKTGraphic::graphicWithArchivedData(barcode->archivedData());
    const std::optional<GraphicList> pasted =
        SKTGraphic::graphicsWithPasteboardData(SKTGraphic::pasteboardDataWithGraphics({barcode}));
    ASSERT_TRUE(archived && pasted && pasted->size() == 1);
    for (const SKTGraphicPtr &copy : {archived, pasted->first()}) {
        EXPECT_EQ(copy->_barcode_image.size(), barcode->_barcode_image.size());
        EXPECT_NEAR(copy->_barcode_image.deviceIndependentSize().width(), drawn.width(), 0.01);
        EXPECT_NEAR(copy->_barcode_image.deviceIndependentSize().height(), drawn.height(), 0.01);
        const Card_Side_Image side =
            SKTRenderingView::image_From_Card_Graphics({copy}, false, Card_Property(), 0, QRectF(0, 0, 260, 120));
        EXPECT_EQ(decodeBarcode(side.toImage(300), ZXing::BarcodeFormat::Code39), (Decoded{"Code39", "CARD-42"}));
    }
}

} // namespace
