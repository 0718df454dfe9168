#include "barcode/BarcodeSettings.h"
#include "barcode/NKDBarcode.h"
#include "barcode/NKDCode39Barcode.h"
#include "barcode/NKDExtendedCode39Barcode.h"

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
                    ModulesRow{"extendedTab", extended, QStringLiteral("\t"), {}, QStringLiteral("$I")},
                    ModulesRow{"extendedLineFeed", extended, QStringLiteral("\n"), {}, QStringLiteral("$J")},
                    ModulesRow{"extendedPunctuation", extended, QStringLiteral("!,/:"), {},
                               QStringLiteral("/A/L/O/Z")},
                    ModulesRow{"extendedShifts", extended, QStringLiteral("$%+"), {}, QStringLiteral("/D/E/K")},
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
    const NKDCode39Barcode upper(QStringLiteral("abc"));
    EXPECT_EQ(upper.content(), QStringLiteral("ABC"));
    EXPECT_EQ(upper.caption(), QStringLiteral("ABC"));
    const NKDExtendedCode39Barcode kept(QStringLiteral("abc"));
    EXPECT_EQ(kept.caption(), QStringLiteral("abc"));
    EXPECT_EQ(kept.header(), QLatin1String(""));
    EXPECT_EQ(kept.footer(), QLatin1String(""));
    EXPECT_TRUE(kept.leftCaption().isEmpty() && kept.rightCaption().isEmpty());
    EXPECT_TRUE(upper.isEqual(NKDExtendedCode39Barcode(QStringLiteral("ABC"))));
}

TEST(NKDBarcode, BarTopTakesTheBandsAndMarginsOff)
{
    Barcode_Margins margins;
    margins.value_margin = 1;
    margins.header_margin = 2;
    margins.footer_margin = 3;
    margins.TB_margin = 4;
    NKDCode39Barcode barcode(QStringLiteral("A"), false);
    barcode.setHeight(100);
    barcode.setCaptionHeight(0.5f); // 36 pt
    barcode.setHeaderHeight(0.25f); // 18 pt
    barcode.setFooterHeight(0.125f); // 9 pt
    EXPECT_FLOAT_EQ(barcode.barTop(0, margins), 92);
    EXPECT_FLOAT_EQ(barcode.barBottom(0), 0);
    barcode.setPrintsCaption(true);
    barcode.setPrintsHeader(true);
    barcode.setPrintsFooter(true);
    EXPECT_FLOAT_EQ(barcode.barTop(5, margins), 100 - 36 - 1 - 18 - 2 - 9 - 3 - 8);
    EXPECT_FLOAT_EQ(barcode.barBottom(5), 36 + 18 + 9);
}

TEST(NKDBarcode, CloneIsOfTheSameClassWithTheCodedFields)
{
    NKDExtendedCode39Barcode original(QStringLiteral("ab"), false);
    original.setBarWidth(2);
    original.setHeight(50);
    original.setHeader(QStringLiteral("H"));
    original.setPrintsHeader(true);
    const std::unique_ptr<NKDBarcode> copy = original.clone();
    EXPECT_EQ(copy->className(), QStringLiteral("NKDExtendedCode39Barcode"));
    EXPECT_EQ(copy->content(), QStringLiteral("ab"));
    EXPECT_FALSE(copy->printsCaption());
    EXPECT_FLOAT_EQ(copy->height(), 50);
    EXPECT_FLOAT_EQ(copy->width(), static_cast<float>(original.completeBarcode().size()) * 2);
    EXPECT_EQ(copy->completeBarcode(), original.completeBarcode());
    EXPECT_TRUE(copy->header().isEmpty());
    EXPECT_FALSE(copy->printsHeader());
}

} // namespace
