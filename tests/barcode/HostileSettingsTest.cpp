#include "barcode/BarcodeGenerator.h"
#include "barcode/Draw_DataMatrix_Barcode.h"
#include "document/SKTBarcode.h"

#include "fixtures/HangGuard.h"

#include <climits>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

// Barcode settings come from files and pasteboards that anyone may write: every number is held to
// the settings window's range on reading, and a value longer than its symbology can hold draws
// nothing, at once.

TEST(HostileBarcodeSettings, NumbersReadAreHeldToTheWindowsRangesAndDrawBoundedPictures)
{
    struct Row {
        int integer;
        float real;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    for (const Row &row : {Row{INT_MAX, 1e30f}, Row{INT_MIN, -1e30f}, Row{0, nan}, Row{INT_MAX, inf}}) {
        auto barcode = std::make_shared<SKTBarcode>();
#define SET_HOSTILE(Name, Range) barcode->Name = std::is_integral_v<decltype(barcode->Name)> ? row.integer : row.real;
        BARCODE_SETTINGS_RANGES(SET_HOSTILE)
#undef SET_HOSTILE
        const std::optional<GraphicList> pasted =
            SKTGraphic::graphicsWithPasteboardData(SKTGraphic::pasteboardDataWithGraphics({barcode}));
        ASSERT_TRUE(pasted && pasted->size() == 1);
        for (const SKTGraphicPtr &copy : {SKTGraphic::graphicWithArchivedData(barcode->archivedData()), pasted->first()}) {
            ASSERT_TRUE(copy);
#define EXPECT_IN_RANGE(Name, Range)                                                                     \
    EXPECT_TRUE(copy->Name >= Barcode_Ranges::Range.least && copy->Name <= Barcode_Ranges::Range.most)  \
        << #Name << " " << copy->Name;
            BARCODE_SETTINGS_RANGES(EXPECT_IN_RANGE)
#undef EXPECT_IN_RANGE
            for (const QString &title : Barcode_Symbology_Titles()) {
                BarcodeSettings settings = Barcode_Settings_Of(*copy);
                settings.barcode_font_index = Barcode_Symbology_Named(title)->storedIndex();
                settings.linear_or_2d = Barcode_Symbology_Named(title)->isTwoD() ? 1 : 0;
                const BarcodePicture picture = Get_Image_From_Val(settings, QStringLiteral("0123456789012"), {}, {});
                // A picture of at most a large poster; never gigapoints, never 0 × 0 instead of null.
                EXPECT_TRUE(picture.isNull() || (picture.size().width() >= 1 && picture.size().width() < 20000 &&
                                                 picture.size().height() >= 1 && picture.size().height() < 20000))
                    << title.toStdString() << " " << picture.size().width() << " x " << picture.size().height();
            }
        }
    }
}

TEST(HostileBarcodeSettings, ValuesLongerThanTheSymbologyHoldsDrawNothingAtOnce)
{
    {
        const HangGuard guard(1000);
        for (const QString &title : Barcode_Symbology_Titles()) {
            const Barcode_Symbology &symbology = *Barcode_Symbology_Named(title);
            BarcodeSettings settings;
            settings.barcode_font_index = symbology.storedIndex();
            settings.linear_or_2d = symbology.isTwoD() ? 1 : 0;
            EXPECT_TRUE(
                Get_Image_From_Val(settings, QString(symbology.mostValueLength + 1, QLatin1Char('1')), {}, {}).isNull())
                << title.toStdString();
        }
        EXPECT_TRUE(Get_Image_From_Val(BarcodeSettings(), QString(10'000'000, QLatin1Char('A')), {}, {}).isNull());
    }

    // A value the Data Matrix encoder refuses is not printed anywhere: it may be a record's private data.
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    for (const int length : {1, 3000, 5000})
        Draw_DataMatrix_Barcode(QString(length, QLatin1Char('S')) + QStringLiteral("ECRET"), QStringLiteral("C10X10"),
                                QStringLiteral("Auto"), 2, 300);
    const std::string printed = testing::internal::GetCapturedStdout() + testing::internal::GetCapturedStderr();
    EXPECT_EQ(printed.find("ECRET"), std::string::npos) << printed;
}
