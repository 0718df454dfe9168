#include "barcode/NKDCode128Barcode.h"
#include "barcode/NKDEAN13Barcode.h"
#include "barcode/NKDEAN8Barcode.h"
#include "barcode/NKDIndustrialTwoOfFiveBarcode.h"
#include "barcode/NKDInterleavedTwoOfFiveBarcode.h"
#include "barcode/NKDModifiedPlesseyHexBarcode.h"
#include "barcode/NKDUPCABarcode.h"
#include "barcode/NKDUPCEBarcode.h"

#define ZX_USE_UTF8
#include <ZXing/BitMatrix.h>
#include <ZXing/MultiFormatWriter.h>

#include <gtest/gtest.h>

#include <functional>

// Module strings, check characters and validity of the linear symbologies, from the published
// element tables written out here independently of the encoders.

namespace {

// Modules of an element-width string, bar first ("211214" is "11010010000").
QString modules(const QString &widths)
{
    QString out;
    for (qsizetype e = 0; e < widths.size(); ++e)
        out += QString(widths.at(e).digitValue(), e % 2 == 0 ? QLatin1Char('1') : QLatin1Char('0'));
    return out;
}

struct Code128Row {
    const char *name;
    int codeSet;
    QString content;
    int chosenSet;
    QString symbols; // element widths of start, data and check symbols; "" for an invalid content
    int check;
};

void PrintTo(const Code128Row &row, std::ostream *out)
{
    *out << row.name;
}

class Code128Symbols : public testing::TestWithParam<Code128Row> {};

TEST_P(Code128Symbols, FollowTheSetAndCountEverySymbol)
{
    const Code128Row &row = GetParam();
    const NKDCode128Barcode barcode(row.content, true, row.codeSet);
    EXPECT_EQ(barcode.codeSet(), row.chosenSet);
    EXPECT_EQ(barcode.isContentValid(), !row.symbols.isEmpty());
    if (row.symbols.isEmpty())
        return;
    EXPECT_EQ(barcode.checkDigit(), row.check);
    EXPECT_EQ(barcode.completeBarcode().toStdString(), modules(row.symbols + QStringLiteral("2331112")).toStdString());
    EXPECT_EQ(barcode.caption(), row.content);
    EXPECT_FLOAT_EQ(barcode.width(), static_cast<float>(barcode.completeBarcode().size()) * barcode.barWidth());
}

// Start A 211412, start B 211214, start C 211232, Shift 411311, Code B 114131 (the published table).
INSTANTIATE_TEST_SUITE_P(
    Code128, Code128Symbols,
    testing::Values(
        // 104 + 1 × 33 + 2 × 34 = 205, 205 mod 103 = 102
        Code128Row{"setB", 1, QStringLiteral("AB"), 1, QStringLiteral("211214" "111323" "131123" "411131"), 102},
        // Empty digits: set C, check 105 mod 103
        Code128Row{"empty", 3, QString(), 2, QStringLiteral("211232" "222221"), 2},
        // 105 + 12 + 2 × 34 + 3 × 100 (Code B) + 4 × 21 ("5") = 569, mod 103 = 54
        Code128Row{"oddDigits", 3, QStringLiteral("12345"), 2,
                   QStringLiteral("211232" "112232" "131123" "114131" "213212" "311123"), 54},
        // 103 + 33 + 2 × 98 (Shift) + 3 × 65 ("a") = 527, mod 103 = 12
        Code128Row{"shiftInSetA", 0, QStringLiteral("Aa"), 0,
                   QStringLiteral("211412" "111323" "411311" "121124" "112232"), 12},
        // A line feed in set A has value 74; 103 + 74 = 177, mod 103 = 74
        Code128Row{"lineFeed", 0, QStringLiteral("\n"), 0, QStringLiteral("211412" "142211" "142211"), 74},
        // A space counts 0: 104 + 0 + 2 × 33 = 170, mod 103 = 67
        Code128Row{"space", 1, QStringLiteral(" A"), 1, QStringLiteral("211214" "212222" "111323" "141122"), 67},
        // More control characters than lower-case letters: set A; 103 + 73 + 2 × 73 + 3 × 98 + 4 × 88 = 968,
        // mod 103 = 41
        Code128Row{"autoControls", 3, QStringLiteral("\t\tx"), 0,
                   QStringLiteral("211412" "142112" "142112" "411311" "421211" "231311"), 41},
        Code128Row{"setCLetters", 2, QStringLiteral("1A"), 2, {}, 0},
        Code128Row{"delete", 1, QStringLiteral("\x7f"), 1, {}, 0},
        Code128Row{"badSet", 7, QStringLiteral("1"), 7, {}, 0}),
    [](const auto &info) { return std::string(info.param.name); });

using Factory = std::function<std::unique_ptr<NKDBarcode>(const QString &)>;
template <typename Model>
const Factory make = [](const QString &content) { return std::make_unique<Model>(content); };

// Plessey bits, least significant first, as modules: a 0 bit "1000", a 1 bit "1110".
QString plessey(const QString &bits)
{
    QString out;
    for (const QChar bit : bits)
        out += bit == u'1' ? QStringLiteral("1110") : QStringLiteral("1000");
    return out;
}

struct ModulesRow {
    const char *name;
    Factory make;
    QString content;
    QString modules;
    int check; // -1 for none
};

void PrintTo(const ModulesRow &row, std::ostream *out)
{
    *out << row.name;
}

class LinearModules : public testing::TestWithParam<ModulesRow> {};

TEST_P(LinearModules, FollowThePublishedPatterns)
{
    const ModulesRow &row = GetParam();
    const auto barcode = row.make(row.content);
    EXPECT_TRUE(barcode->isContentValid());
    EXPECT_EQ(barcode->completeBarcode().toStdString(), row.modules.toStdString());
    EXPECT_EQ(barcode->checkDigit(), row.check);
    EXPECT_FLOAT_EQ(barcode->width(), static_cast<float>(row.modules.size()) * barcode->barWidth());
}

const QString kPlesseyStart = plessey(QStringLiteral("1101"));
const QString kPlesseyStop = QStringLiteral("111") + plessey(QStringLiteral("0011"));

INSTANTIATE_TEST_SUITE_P(
    TwoOfFiveAndPlessey, LinearModules,
    testing::Values(
        // Start 313111, "0" 1111313111 (bars N N W W N), stop 31113, in element widths.
        ModulesRow{"industrialZero", make<NKDIndustrialTwoOfFiveBarcode>, QStringLiteral("0"),
                   modules(QStringLiteral("313111" "1111313111" "31113")), -1},
        ModulesRow{"industrialOneNine", make<NKDIndustrialTwoOfFiveBarcode>, QStringLiteral("19"),
                   modules(QStringLiteral("313111" "3111111131" "1131113111" "31113")), -1},
        // "1" W N N N W as bars, "2" N W N N W as the spaces between them.
        ModulesRow{"interleavedPair", make<NKDInterleavedTwoOfFiveBarcode>, QStringLiteral("12"),
                   QStringLiteral("1010" "111" "0" "1" "000" "1" "0" "1" "0" "111" "000" "11101"), -1},
        ModulesRow{"interleavedOddIsPadded", make<NKDInterleavedTwoOfFiveBarcode>, QStringLiteral("2"),
                   modules(QStringLiteral("1111" "1113313113" "311")), -1},
        // Check digit of 1234: 8 + 4 from the doubled 4 and 2, 3 + 1 added: 16, so 4.
        ModulesRow{"plessey1234", make<NKDModifiedPlesseyBarcode>, QStringLiteral("1234"),
                   kPlesseyStart + plessey(QStringLiteral("1000" "0100" "1100" "0010" "0010")) + kPlesseyStop, '4'},
        ModulesRow{"plesseyMultipleOfTen", make<NKDModifiedPlesseyBarcode>, QStringLiteral("19"),
                   kPlesseyStart + plessey(QStringLiteral("1000" "1001" "0000")) + kPlesseyStop, '0'},
        // Hexadecimal digits count at their values: A doubled is 20 (2), plus 1: check 7.
        ModulesRow{"plesseyHexLowerCase", make<NKDModifiedPlesseyHexBarcode>, QStringLiteral("1a"),
                   kPlesseyStart + plessey(QStringLiteral("1000" "0101" "1110")) + kPlesseyStop, '7'}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(NKDModifiedPlesseyBarcode, LongContentKeepsTheLuhnCheckDigit)
{
    // Luhn check digits worked out by hand; the doubled odd digits of 30 digits overflow any integer.
    EXPECT_EQ(NKDModifiedPlesseyBarcode(QString(QStringLiteral("1234567890")).repeated(3)).checkDigit(), '9');
    EXPECT_EQ(NKDModifiedPlesseyBarcode(QString(23, QLatin1Char('9'))).checkDigit(), '3');
    EXPECT_FALSE(NKDModifiedPlesseyBarcode(QStringLiteral("12A")).isContentValid());
    EXPECT_FALSE(NKDInterleavedTwoOfFiveBarcode(QStringLiteral("1 2")).isContentValid());
    EXPECT_FALSE(NKDIndustrialTwoOfFiveBarcode(QStringLiteral("-1")).isContentValid());
}

// The row of modules zxing-cpp's own encoder writes for a retail number, guards included.
QString zxingModules(ZXing::BarcodeFormat format, const std::string &number)
{
    const ZXing::BitMatrix matrix = ZXing::MultiFormatWriter(format).setMargin(0).encode(number, 0, 1);
    QString out;
    for (int x = 0; x < matrix.width(); ++x)
        out += matrix.get(x, 0) ? QLatin1Char('1') : QLatin1Char('0');
    return out;
}

struct RetailRow {
    const char *name;
    Factory make;
    QString content;
    ZXing::BarcodeFormat format;
    std::string number; // as zxing writes it: data and check digit
    QString left, caption, right;
};

void PrintTo(const RetailRow &row, std::ostream *out)
{
    *out << row.name;
}

class RetailSymbols : public testing::TestWithParam<RetailRow> {};

TEST_P(RetailSymbols, MatchAnIndependentEncoderAndPlaceTheirDigits)
{
    const RetailRow &row = GetParam();
    const auto barcode = row.make(row.content);
    EXPECT_TRUE(barcode->isContentValid());
    EXPECT_EQ(barcode->completeBarcode().toStdString(), zxingModules(row.format, row.number).toStdString());
    EXPECT_EQ(barcode->leftCaption(), row.left);
    EXPECT_EQ(barcode->caption(), row.caption);
    EXPECT_EQ(barcode->rightCaption(), row.right);
    // A tenth of the width on each side for the digits beside the guards.
    const auto modules = static_cast<float>(barcode->completeBarcode().size());
    EXPECT_FLOAT_EQ(barcode->width(), modules * barcode->barWidth() * 1.2f);
    EXPECT_FLOAT_EQ(barcode->firstBar(), barcode->width() * 0.1f);
}

INSTANTIATE_TEST_SUITE_P(
    UPCAndEAN, RetailSymbols,
    testing::Values(
        RetailRow{"ean13", make<NKDEAN13Barcode>, QStringLiteral("400638133393"), ZXing::BarcodeFormat::EAN13,
                  "4006381333931", QStringLiteral("4"), QStringLiteral("  006381\t333931"), QString()},
        RetailRow{"ean13EvenParities", make<NKDEAN13Barcode>, QStringLiteral("9780201379624"),
                  ZXing::BarcodeFormat::EAN13, "9780201379624", QStringLiteral("9"), QStringLiteral("  780201\t379624"),
                  QString()},
        RetailRow{"ean8", make<NKDEAN8Barcode>, QStringLiteral("9638507"), ZXing::BarcodeFormat::EAN8, "96385074",
                  QString(), QStringLiteral(" 9638\t5074"), QString()},
        RetailRow{"upca", make<NKDUPCABarcode>, QStringLiteral("03600029145"), ZXing::BarcodeFormat::UPCA,
                  "036000291452", QStringLiteral("0"), QStringLiteral("36000\t29145"), QStringLiteral("2")},
        RetailRow{"upceFromUpca", make<NKDUPCEBarcode>, QStringLiteral("04210000526"), ZXing::BarcodeFormat::UPCE,
                  "04252614", QStringLiteral("0"), QStringLiteral("425261"), QStringLiteral("4")},
        RetailRow{"upceSystemOne", make<NKDUPCEBarcode>, QStringLiteral("1654321"), ZXing::BarcodeFormat::UPCE,
                  "16543214", QStringLiteral("1"), QStringLiteral("654321"), QStringLiteral("4")}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(NKDUPCEBarcode, SuppressesOnlyTheZerosItCanRestore)
{
    const std::pair<const char *, const char *> rows[] = {
        {"042100005264", "425261"}, // manufacturer ending 100, product 00526
        {"012300000457", "123453"}, // manufacturer ending 00, product 00045
        {"012340000055", "123454"}, // manufacturer ending 0, product 00005
        {"012345000058", "123455"}, // product 00005 to 00009
        {"042100105264", ""},       // a dropped digit is not zero
        {"012345000018", ""},       // product below 5 after a full manufacturer number
        {"04210000526", ""}};       // too short
    for (const auto &[upca, upce] : rows)
        EXPECT_EQ(NKDUPCEBarcode::UPCAToUPCE(QLatin1String(upca)), QLatin1String(upce)) << upca;
    EXPECT_EQ(NKDAbstractUPCEANBarcode::swapParity(QStringLiteral("0001101")), QStringLiteral("0100111"));
    EXPECT_EQ(NKDAbstractUPCEANBarcode::swapHandedness(QStringLiteral("0001101")), QStringLiteral("1110010"));
    EXPECT_EQ(NKDEAN13Barcode(QString()).width(), 0.0f);
}

} // namespace
