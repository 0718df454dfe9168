#include "BarcodeTestSupport.h"

#include "barcode/BarcodeGenerator.h"
#include "barcode/Draw_DataMatrix_Barcode.h"
#include "core/ImageHelpers.h"
#include "document/SKTBarcode.h"
#include "fixtures/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

// The generator turns a symbology title of the settings and a value into a picture; zxing-cpp, an
// independent decoder, must read every picture back as the same symbology and value.

namespace {

int titleIndex(const char *title)
{
    return static_cast<int>(Barcode_Symbology_Titles().indexOf(QLatin1String(title)));
}

struct GenerationRow {
    const char *name;
    const char *title;
    QString value;
    std::function<void(BarcodeSettings &)> options; // may be empty
    ZXing::BarcodeFormat format;
    Decoded expected;
};

BarcodeSettings settingsOf(const GenerationRow &row)
{
    BarcodeSettings settings;
    settings.barcode_font_index = titleIndex(row.title);
    const bool twoD = Barcode_Symbology_Named(QLatin1String(row.title))->isTwoD();
    settings.linear_or_2d = twoD ? 1 : 0;
    (twoD ? settings.two_d_font_val : settings.linear_font_val) = row.value;
    if (row.options)
        row.options(settings);
    return settings;
}

class SymbologyGeneration : public testing::TestWithParam<GenerationRow> {
protected:
    AppFixture app;
};

TEST_P(SymbologyGeneration, ObjectPictureReadsBackAsItsSymbologyAndValue)
{
    const GenerationRow &row = GetParam();
    const BarcodeSettings settings = settingsOf(row);
    SKTBarcode barcode;
    Set_Barcode_Settings(barcode, settings);
    const QImage picture = Barcode_Image_For_Graphic(barcode);
    ASSERT_FALSE(picture.isNull());
    // Pixels at the settings' resolution, measuring the picture's size in points.
    const QSizeF points = Get_Image_From_Val(settings, row.value, barcode.header_val, barcode.footer_val).size();
    EXPECT_NEAR(imageSizeInPoints(picture).width(), points.width(), 0.5);
    EXPECT_NEAR(picture.width(), std::ceil(points.width() * settings.USED_DPI_VALUE() / 72.0), 1.0);
    const bool extended = QLatin1String(row.title) == QLatin1String("Extended Code 39");
    EXPECT_EQ(decodeBarcode(picture, row.format, extended), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Titles, SymbologyGeneration,
    testing::Values(
        GenerationRow{"code39", "Code 39", QStringLiteral("CARD-7"), {}, ZXing::BarcodeFormat::Code39, {"Code39", "CARD-7"}},
        GenerationRow{"extendedCode39", "Extended Code 39", QStringLiteral("Card 7"), {}, ZXing::BarcodeFormat::Code39,
                      {"Code39", "Card 7"}},
        GenerationRow{"qrAutomatic", "QR Code", QStringLiteral("0123"), {}, ZXing::BarcodeFormat::QRCode, {"QRCode", "0123"}},
        GenerationRow{"qrVersionAndLevel", "QR Code", QStringLiteral("HELLO CARD"),
                      [](BarcodeSettings &s) { s.qr_version_index = 5, s.qr_ec_index = 3, s.qr_size_val = 74; },
                      ZXing::BarcodeFormat::QRCode, {"QRCode", "HELLO CARD"}},
        // Version 1 holds 17 bytes at level L: this needs more modules than the size of 21 gives.
        GenerationRow{"qrGrowsPastItsSize", "QR Code", QStringLiteral("https://example.org/cards/invite?id=1234567"),
                      [](BarcodeSettings &s) { s.qr_size_val = 21; }, ZXing::BarcodeFormat::QRCode,
                      {"QRCode", "https://example.org/cards/invite?id=1234567"}},
        GenerationRow{"qrAt300Dpi", "QR Code", QStringLiteral("dpi"),
                      [](BarcodeSettings &s) { s.dpi_val_index = static_cast<int>(Barcode_DPI_Titles().indexOf("300")); },
                      ZXing::BarcodeFormat::QRCode, {"QRCode", "dpi"}},
        GenerationRow{"pdf417", "PDF417", QStringLiteral("PDF417 on a card"),
                      [](BarcodeSettings &s) { s.pdf_wdt_val = 200, s.pdf_hgt_val = 60; }, ZXing::BarcodeFormat::PDF417,
                      {"PDF417", "PDF417 on a card"}},
        GenerationRow{"pdf417Level5", "PDF417", QStringLiteral("level five"),
                      [](BarcodeSettings &s) { s.pdf_wdt_val = 240, s.pdf_hgt_val = 90, s.pdf_ec_val = 5; },
                      ZXing::BarcodeFormat::PDF417, {"PDF417", "level five"}},
        GenerationRow{"dataMatrixAutomatic", "DataMatrix", QStringLiteral("DM 0123"), {}, ZXing::BarcodeFormat::DataMatrix,
                      {"DataMatrix", "DM 0123"}},
        GenerationRow{"dataMatrixSizeAndC40", "DataMatrix", QStringLiteral("ABC123XYZ"),
                      [](BarcodeSettings &s) {
                          s.dm_format_index = static_cast<int>(Data_Matrix_Format_Items().indexOf("C16X16"));
                          s.dm_encoding_index = static_cast<int>(Data_Matrix_Encoding_Items().indexOf("C40"));
                          s.dm_module_val = 3;
                      },
                      ZXing::BarcodeFormat::DataMatrix, {"DataMatrix", "ABC123XYZ"}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(SymbologyGeneration, TwoDimensionalTitlesDrawAndOthersDoNot)
{
    AppFixture app;
    for (const char *title : {"QR Code", "PDF417", "DataMatrix"}) {
        const Barcode_Symbology *symbology = Barcode_Symbology_Named(QLatin1String(title));
        ASSERT_TRUE(symbology && symbology->symbolPicture && !symbology->linearModel) << title;
    }
    BarcodeSettings settings;
    settings.linear_or_2d = 1;
    // A 2-D object whose index names a linear title, and a value a symbol cannot hold: no picture.
    EXPECT_TRUE(Get_Image_From_Val(settings, QStringLiteral("0123"), {}, {}).isNull());
    settings.barcode_font_index = titleIndex("DataMatrix");
    settings.dm_format_index = static_cast<int>(Data_Matrix_Format_Items().indexOf("C10X10"));
    EXPECT_TRUE(Get_Image_From_Val(settings, QString(40, QLatin1Char('A')), {}, {}).isNull());
    settings.barcode_font_index = titleIndex("QR Code");
    settings.qr_version_index = 1;
    EXPECT_TRUE(Get_Image_From_Val(settings, QString(18, QLatin1Char('a')), {}, {}).isNull())
        << "a chosen version holds no more than its capacity";
}

TEST(SymbologyGeneration, QrSizeFollowsTheVersionTheValueNeeds)
{
    EXPECT_EQ(QR_Minimum_Size(0), 21);
    EXPECT_EQ(QR_Minimum_Size(1), 21);
    EXPECT_EQ(QR_Minimum_Size(10), 57);
    EXPECT_EQ(QR_Minimum_Size(40), 177);
    BarcodeSettings settings;
    settings.barcode_font_index = titleIndex("QR Code");
    settings.linear_or_2d = 1;
    EXPECT_EQ(QR_Modules_For(settings, QStringLiteral("short")), 21);
    EXPECT_EQ(QR_Modules_For(settings, QString(100, QLatin1Char('x'))), QR_Minimum_Size(5)) << "106 bytes fit version 5-L";
    EXPECT_EQ(QR_Modules_For(settings, QString()), 0);
    settings.qr_version_index = 10;
    EXPECT_EQ(QR_Modules_For(settings, QStringLiteral("short")), 57);
}

// As the record loop does it for every record: each bound object's picture from its own settings
// and the record's value, the objects taken in turn and on two threads at once.
TEST(SymbologyGeneration, EveryRecordDrawsEachObjectWithItsOwnSettings)
{
    AppFixture app;
    SKTBarcode linear, square;
    linear.barcode_font_index = titleIndex("Code 39");
    linear.header_val = QStringLiteral("TICKET");
    square.barcode_font_index = titleIndex("QR Code");
    square.linear_or_2d = 1;
    square.qr_ec_index = 2;
    square.show_hide_hdr = 1;
    const QStringList records{QStringLiteral("A-100"), QStringLiteral("B-2000"), QStringLiteral("C-3")};

    for (const QString &record : records) {
        EXPECT_EQ(decodeBarcode(Barcode_Image_For_Graphic(linear, record), ZXing::BarcodeFormat::Any),
                  (Decoded{"Code39", record.toStdString()}));
        EXPECT_EQ(decodeBarcode(Barcode_Image_For_Graphic(square, record + QStringLiteral("/qr")),
                                ZXing::BarcodeFormat::Any),
                  (Decoded{"QRCode", (record + QStringLiteral("/qr")).toStdString()}));
    }

    QList<Decoded> linearReads, squareReads;
    std::thread first([&] {
        for (const QString &record : records)
            linearReads << decodeBarcode(Barcode_Image_For_Graphic(linear, record), ZXing::BarcodeFormat::Any);
    });
    std::thread second([&] {
        for (const QString &record : records)
            squareReads << decodeBarcode(Barcode_Image_For_Graphic(square, record), ZXing::BarcodeFormat::Any);
    });
    first.join();
    second.join();
    ASSERT_EQ(linearReads.size(), records.size());
    ASSERT_EQ(squareReads.size(), records.size());
    for (int i = 0; i < records.size(); ++i) {
        EXPECT_EQ(linearReads[i], (Decoded{"Code39", records[i].toStdString()}));
        EXPECT_EQ(squareReads[i], (Decoded{"QRCode", records[i].toStdString()}));
    }
    // The objects' own settings and pictures are untouched by the records.
    EXPECT_EQ(linear.linear_font_val, QStringLiteral("0123"));
    EXPECT_TRUE(square._barcode_image.isNull());
}

} // namespace
