#include "barcode/BarcodeSettings.h"
#include "barcode/NKDBarcode.h"
#include "barcode/NKDCode39Barcode.h"
#include "barcode/NKDExtendedCode39Barcode.h"
#include "document/SKTGraphic.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using Factory = std::function<std::unique_ptr<NKDBarcode>(const QString &)>;

const Factory base = [](const QString &c) { return std::make_unique<NKDBarcode>(c); };
const Factory code39 = [](const QString &c) { return std::make_unique<NKDCode39Barcode>(c); };
const Factory extended = [](const QString &c) { return std::make_unique<NKDExtendedCode39Barcode>(c); };

// The published patterns the symbology's description spells out.
const QString kStar = QStringLiteral("1001011011010");
const QString kZero = QStringLiteral("1010011011010");
const QString kA = QStringLiteral("1101010010110");

struct ModulesRow {
    const char *name;
    Factory make;
    QString content;
    QString modules;  // expected module string, or
    QString code39As; // the Code 39 content whose module string it must equal
};

class ModuleStrings : public testing::TestWithParam<ModulesRow> {};

TEST_P(ModuleStrings, EncodeAsTheTablesSay)
{
    const ModulesRow &row = GetParam();
    const auto barcode = row.make(row.content);
    const QString expected = row.code39As.isNull() ? row.modules : NKDCode39Barcode(row.code39As).completeBarcode();
    EXPECT_EQ(barcode->completeBarcode(), expected);
    EXPECT_FLOAT_EQ(barcode->width(), static_cast<float>(expected.size()) * barcode->barWidth());
}

INSTANTIATE_TEST_SUITE_P(
    Code39, ModuleStrings,
    testing::Values(ModulesRow{"zero", code39, QStringLiteral("0"), kStar + kZero + kStar, {}},
                    ModulesRow{"letter", code39, QStringLiteral("A0"), kStar + kA + kZero + kStar, {}},
                    ModulesRow{"empty", code39, QString(), kStar + kStar, {}},
                    ModulesRow{"lowerCase", code39, QStringLiteral("a"), kStar + kA + kStar, {}},
                    ModulesRow{"baseEmpty", base, QString(), QString(), {}},
                    ModulesRow{"baseAnyCharacter", base, QStringLiteral("a?"), QStringLiteral("10101010"), {}},
                    ModulesRow{"extendedPlain", extended, QStringLiteral("AB-. 9"), {}, QStringLiteral("AB-. 9")},
                    ModulesRow{"extendedLower", extended, QStringLiteral("a"), {}, QStringLiteral("+A")},
                    ModulesRow{"extendedUnderscore", extended, QStringLiteral("_"), {}, QStringLiteral("%O")},
                    ModulesRow{"extendedAsterisk", extended, QStringLiteral("*"), {}, QStringLiteral("/J")},
                    ModulesRow{"extendedSlashRows", extended, QStringLiteral("\t\n!,/:$%+"), {},
                               QStringLiteral("$I$J/A/L/O/Z/D/E/K")},
                    ModulesRow{"extendedPercentRows", extended, QStringLiteral(";?@[`{~"), {},
                               QStringLiteral("%F%J%V%K%W%P%S")},
                    ModulesRow{"extendedKeepsCase", extended, QStringLiteral("zZ"), {}, QStringLiteral("+ZZ")}),
    [](const auto &info) { return std::string(info.param.name); });

struct ValidityRow {
    const char *name;
    Factory make;
    QString content;
    bool valid;
};

class ContentValidity : public testing::TestWithParam<ValidityRow> {};

TEST_P(ContentValidity, FollowsTheCharacterSet)
{
    EXPECT_EQ(GetParam().make(GetParam().content)->isContentValid(), GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(
    Code39, ContentValidity,
    testing::Values(ValidityRow{"code39Full", code39, QStringLiteral("CODE 39-.$/+%"), true},
                    ValidityRow{"code39Empty", code39, QString(), true},
                    ValidityRow{"code39LowerCaseUpperCased", code39, QStringLiteral("abc"), true},
                    // A start/stop character inside the data would end the symbol early.
                    ValidityRow{"code39Asterisk", code39, QStringLiteral("A*B"), false},
                    ValidityRow{"code39Underscore", code39, QStringLiteral("A_B"), false},
                    ValidityRow{"code39Accent", code39, QStringLiteral("CAF\u00c9"), false},
                    ValidityRow{"extendedAsterisk", extended, QStringLiteral("A*B"), true},
                    ValidityRow{"extendedCarriageReturn", extended, QStringLiteral("a\rb"), false},
                    ValidityRow{"extendedDelete", extended, QStringLiteral("\x7f"), false},
                    ValidityRow{"extendedAccent", extended, QStringLiteral("\u00e9"), false},
                    ValidityRow{"baseAccent", base, QStringLiteral("\u00e9"), false},
                    ValidityRow{"baseEmpty", base, QString(), true}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(NKDCode39Barcode, ChecksumIsTheModulo43Character)
{
    const std::pair<QString, char> rows[] = {{QStringLiteral("CODE39"), 'W'},
                                             {QStringLiteral("0"), '0'},
                                             {QStringLiteral("%%"), '+'}, // 84 mod 43 = 41
                                             {QString(), '0'}};
    for (const auto &[content, check] : rows) {
        NKDCode39Barcode barcode(content);
        barcode.generateChecksum();
        EXPECT_EQ(barcode.checkDigit(), check) << content.toStdString();
        EXPECT_EQ(barcode.completeBarcode(), NKDCode39Barcode(content + QLatin1Char(check)).completeBarcode());
    }
}

TEST(NKDBarcode, CaptionsAndTextsBeforeAnythingIsSet)
{
    const NKDExtendedCode39Barcode kept(QStringLiteral("abc"));
    EXPECT_EQ(NKDCode39Barcode(QStringLiteral("abc")).caption(), QStringLiteral("ABC"));
    EXPECT_EQ(kept.caption(), QStringLiteral("abc"));
    EXPECT_EQ(kept.header() + kept.footer() + kept.leftCaption() + kept.rightCaption(), QLatin1String(""));
    EXPECT_TRUE(kept.isEqual(NKDBarcode(QStringLiteral("abc"))));
}

TEST(BarcodeSettings, TravelWithTheGraphicAndChooseTheResolution)
{
    SKTGraphic graphic;
    EXPECT_TRUE(Barcode_Settings_Of(graphic) == BarcodeSettings()) << "a new barcode's settings";
    BarcodeSettings settings;
    settings.header_val = QStringLiteral("H");
    settings.footer_font_val = QFont(QStringLiteral("Liberation Sans"), 7);
    settings.barcode_clr_val = Qt::darkBlue;
    settings.LR_margin_val = 0.3f;
    Set_Barcode_Settings(graphic, settings);
    EXPECT_TRUE(Barcode_Settings_Of(graphic) == settings);

    const auto dpi = [](const char *title, const char *custom) {
        BarcodeSettings s;
        s.dpi_val_index = static_cast<int>(Barcode_DPI_Titles().indexOf(QLatin1String(title)));
        s.dpi_custom_val = QLatin1String(custom);
        return s.USED_DPI_VALUE();
    };
    EXPECT_EQ(dpi("Auto", "0"), 600);
    EXPECT_EQ(dpi("300", "0"), 300);
    EXPECT_EQ(dpi("Custom", " 450 "), 450);
    EXPECT_EQ(dpi("Custom", "0"), 600) << "never set";
    EXPECT_EQ(dpi("Custom", "20"), 72) << "held to the usable range";
    EXPECT_EQ(dpi("Custom", "99999"), 1200);
    EXPECT_EQ(dpi("Custom", "many"), 600);
    EXPECT_EQ(dpi("no such item", "0"), 600);
}

} // namespace
