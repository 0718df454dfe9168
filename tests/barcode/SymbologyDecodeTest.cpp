#include "BarcodeTestSupport.h"

#include "barcode/BarcodeGenerator.h"

#include <gtest/gtest.h>

#include <tuple>

// Every symbology zxing-cpp reads is drawn by the generator from its settings title and read back by
// that independent decoder, which also checks the symbols' check characters: at 300 dpi with the
// default bar width, and at 72 dpi with two-point modules as the canvas shows them.

namespace {

struct SymbolRow {
    const char *name;
    const char *title;
    QString value;
    ZXing::BarcodeFormat format;
    std::string expected; // what a reader must find; "" when the value must make no picture
};

void PrintTo(const SymbolRow &row, std::ostream *out)
{
    *out << row.name;
}

BarcodeSettings settingsFor(const SymbolRow &row, float mils, float sideCm)
{
    BarcodeSettings settings;
    settings.LR_margin_val = sideCm;
    settings.barcode_font_index = static_cast<int>(Barcode_Symbology_Titles().indexOf(QLatin1String(row.title)));
    settings.linear_font_val = row.value;
    settings.linear_width_val = mils;
    return settings;
}

class SymbologyDecode : public testing::TestWithParam<SymbolRow> {};

TEST_P(SymbologyDecode, ReadsBackAsTyped)
{
    const SymbolRow &row = GetParam();
    // Two-point modules keep whole pixels only where the side margins hold their quiet zones.
    for (const auto &[mils, sideCm, dpi] : {std::tuple{20.0f, 0.1f, 300.0}, std::tuple{2000.0f / 72.0f, 0.5f, 72.0}}) {
        const BarcodeSettings settings = settingsFor(row, mils, sideCm);
        const BarcodePicture picture =
            Get_Image_From_Val(settings, row.value, settings.header_val, settings.footer_val);
        if (row.expected.empty()) {
            EXPECT_TRUE(picture.isNull()) << "no symbol for a value the symbology cannot carry";
            continue;
        }
        ASSERT_FALSE(picture.isNull()) << dpi;
        EXPECT_EQ(decodeBarcode(picture.toImage(dpi), row.format), (Decoded{ZXing::ToString(row.format), row.expected}))
            << dpi << " dpi";
    }
}

const auto rowName = [](const auto &info) { return std::string(info.param.name); };
constexpr auto kCode128 = ZXing::BarcodeFormat::Code128;

INSTANTIATE_TEST_SUITE_P(
    Code128, SymbologyDecode,
    testing::Values(
        SymbolRow{"autoText", "Code 128", QStringLiteral("Hello, World!"), kCode128, "Hello, World!"},
        SymbolRow{"autoEvenDigits", "Code 128", QStringLiteral("123456"), kCode128, "123456"},
        SymbolRow{"autoOddDigits", "Code 128", QStringLiteral("12345"), kCode128, "12345"},
        SymbolRow{"autoOneDigit", "Code 128", QStringLiteral("7"), kCode128, "7"},
        SymbolRow{"autoTextWithTab", "Code 128", QStringLiteral("tab\there"), kCode128, "tab\there"},
        SymbolRow{"autoControls", "Code 128", QStringLiteral("A\tB\nc"), kCode128, "A\tB\nc"},
        SymbolRow{"setAShiftsLowerCase", "Code 128 SET A", QStringLiteral("ABCdef"), kCode128, "ABCdef"},
        SymbolRow{"setALineFeed", "Code 128 SET A", QStringLiteral("LINE\nFEED"), kCode128, "LINE\nFEED"},
        SymbolRow{"setBShiftsControls", "Code 128 SET B", QStringLiteral("a\rb"), kCode128, "a\rb"},
        SymbolRow{"setBDigits", "Code 128 SET B", QStringLiteral("0042"), kCode128, "0042"},
        SymbolRow{"setBPunctuation", "Code 128 SET B", QStringLiteral("{~}|`"), kCode128, "{~}|`"},
        SymbolRow{"setCEven", "Code 128 SET C", QStringLiteral("00998877"), kCode128, "00998877"},
        SymbolRow{"setCOdd", "Code 128 SET C", QStringLiteral("9876543"), kCode128, "9876543"},
        SymbolRow{"setCLetters", "Code 128 SET C", QStringLiteral("12AB"), kCode128, ""},
        SymbolRow{"delete", "Code 128", QStringLiteral("a\x7f"), kCode128, ""},
        SymbolRow{"accent", "Code 128", QStringLiteral("caf\u00e9"), kCode128, ""}),
    rowName);

constexpr auto kITF = ZXing::BarcodeFormat::ITF;
constexpr auto kCodabar = ZXing::BarcodeFormat::Codabar;

INSTANTIATE_TEST_SUITE_P(
    TwoOfFiveAndCodabar, SymbologyDecode,
    testing::Values(SymbolRow{"itfSix", "Interleaved 2 of 5", QStringLiteral("123456"), kITF, "123456"},
                    SymbolRow{"itfFourteen", "Interleaved 2 of 5", QStringLiteral("00012345678905"), kITF,
                              "00012345678905"},
                    // An odd count is written with a leading zero, as readers expect pairs.
                    SymbolRow{"itfOdd", "Interleaved 2 of 5", QStringLiteral("1234567"), kITF, "01234567"},
                    SymbolRow{"itfLetter", "Interleaved 2 of 5", QStringLiteral("12A456"), kITF, ""},
                    SymbolRow{"codabarDigits", "Codabar", QStringLiteral("A40156B"), kCodabar, "A40156B"},
                    SymbolRow{"codabarSymbols", "Codabar", QStringLiteral("C-$:/.+D"), kCodabar, "C-$:/.+D"},
                    SymbolRow{"codabarEveryStop", "Codabar", QStringLiteral("B0123456789C"), kCodabar,
                              "B0123456789C"},
                    SymbolRow{"codabarDA", "Codabar", QStringLiteral("D987A"), kCodabar, "D987A"},
                    SymbolRow{"codabarNoStartStop", "Codabar", QStringLiteral("40156"), kCodabar, ""},
                    SymbolRow{"codabarStopInside", "Codabar", QStringLiteral("A12B34C"), kCodabar, ""},
                    SymbolRow{"codabarLowerCase", "Codabar", QStringLiteral("a123a"), kCodabar, ""}),
    rowName);

constexpr auto kEAN13 = ZXing::BarcodeFormat::EAN13;
constexpr auto kEAN8 = ZXing::BarcodeFormat::EAN8;
constexpr auto kUPCA = ZXing::BarcodeFormat::UPCA;
constexpr auto kUPCE = ZXing::BarcodeFormat::UPCE;

INSTANTIATE_TEST_SUITE_P(
    UPCAndEAN, SymbologyDecode,
    testing::Values(SymbolRow{"ean13Computed", "EAN-13", QStringLiteral("400638133393"), kEAN13, "4006381333931"},
                    SymbolRow{"ean13Typed", "EAN-13", QStringLiteral("4006381333931"), kEAN13, "4006381333931"},
                    SymbolRow{"ean13EveryParity", "EAN-13", QStringLiteral("978020137962"), kEAN13, "9780201379624"},
                    SymbolRow{"ean13LeadingFive", "EAN-13", QStringLiteral("501234567890"), kEAN13, "5012345678900"},
                    SymbolRow{"ean13WrongCheck", "EAN-13", QStringLiteral("4006381333932"), kEAN13, ""},
                    SymbolRow{"ean13TooLong", "EAN-13", QStringLiteral("40063813339312"), kEAN13, ""},
                    SymbolRow{"ean13Letters", "EAN-13", QStringLiteral("ABC"), kEAN13, ""},
                    SymbolRow{"ean8Computed", "EAN-8", QStringLiteral("9638507"), kEAN8, "96385074"},
                    SymbolRow{"ean8Typed", "EAN-8", QStringLiteral("55123457"), kEAN8, "55123457"},
                    SymbolRow{"ean8WrongCheck", "EAN-8", QStringLiteral("55123458"), kEAN8, ""},
                    SymbolRow{"ean8Letters", "EAN-8", QStringLiteral("ABCDEFG"), kEAN8, ""},
                    SymbolRow{"upcaComputed", "UPCA", QStringLiteral("03600029145"), kUPCA, "036000291452"},
                    SymbolRow{"upcaTyped", "UPCA", QStringLiteral("725272730706"), kUPCA, "725272730706"},
                    SymbolRow{"upcaWrongCheck", "UPCA", QStringLiteral("725272730707"), kUPCA, ""},
                    // Suppressed from the UPC-A number 04210000526, check digit 4.
                    SymbolRow{"upceFromUpca", "UPCE", QStringLiteral("04210000526"), kUPCE, "04252614"},
                    SymbolRow{"upceComputed", "UPCE", QStringLiteral("0123456"), kUPCE, "01234565"},
                    SymbolRow{"upceTyped", "UPCE", QStringLiteral("01234565"), kUPCE, "01234565"},
                    SymbolRow{"upceSystemOne", "UPCE", QStringLiteral("1654321"), kUPCE, "16543214"},
                    SymbolRow{"upceEndingThree", "UPCE", QStringLiteral("0987653"), kUPCE, "09876539"},
                    SymbolRow{"upceEndingFour", "UPCE", QStringLiteral("0555554"), kUPCE, "05555545"},
                    SymbolRow{"upceWrongCheck", "UPCE", QStringLiteral("01234566"), kUPCE, ""},
                    SymbolRow{"upceNotSuppressible", "UPCE", QStringLiteral("04210010526"), kUPCE, ""},
                    SymbolRow{"upceSystemTwo", "UPCE", QStringLiteral("2123456"), kUPCE, ""}),
    rowName);

} // namespace
