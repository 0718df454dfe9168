#include "RecordingManager.h"

#include "core/AppState.h"
#include "datasource/SeriesGenerator.h"
#include "datasource/SeriesStore.h"
#include "fixtures/ScriptedServices.h"
#include "fixtures/TestSupport.h"
#include "platform/SafeFileWriter.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cstring>
#include <set>

namespace {

using Mode = SeriesGenerator::Mode;
using Fields = SeriesGenerator::Fields;

Fields sequential(const QString &from, const QString &to, bool pad = false, const QString &prefix = {},
                  const QString &suffix = {})
{
    Fields f;
    f.from = from;
    f.to = to;
    f.manage_digit = pad;
    f.prefix = prefix;
    f.suffix = suffix;
    return f;
}

Fields constant(const QString &value, const QString &count)
{
    Fields f;
    f.mode = Mode::Constant;
    f.value = value;
    f.count = count;
    return f;
}

Fields random(const QString &length, const QString &count, const QString &prefix = {}, const QString &suffix = {})
{
    Fields f;
    f.mode = Mode::Random;
    f.rand_length = length;
    f.rand_count = count;
    f.rand_prefix = prefix;
    f.rand_suffix = suffix;
    return f;
}

class SeriesGeneratorTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(QDir().mkpath(App().Data_Folder_Path)); }

    static QByteArray file(const QString &name)
    {
        QFile in(Series_File_Path(name));
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray("<none>");
    }

    AppFixture app;
    ScopedScriptedServices services;
};

} // namespace

TEST_F(SeriesGeneratorTest, WritesEachModesValuesAsTheSeriesFile)
{
    const struct {
        const char *what;
        Fields fields;
        QByteArray file;
    } cases[] = {
        {"prefix and suffix as typed", sequential("1", "4", false, " A-", "-Z"), " A-1-Z\n A-2-Z\n A-3-Z\n A-4-Z\n"},
        {"padded to the longer To", sequential("8", "011", true), "008\n009\n010\n011\n"},
        {"padded to the longer From", sequential("001", "3", true), "001\n002\n003\n"},
        {"typed zeros without padding", sequential("001", "0003"), "1\n2\n3\n"},
        {"sign before the zeros", sequential("-2", "002", true), "-02\n-01\n000\n001\n002\n"},
        {"blanks, sign and digits only", sequential("  7abc", "+9 items"), "7\n8\n9\n"},
        {"64-bit", sequential("9223372036854775806", "99999999999999999999"), "9223372036854775806\n9223372036854775807\n"},
        {"constant", constant("ABC", "3"), "ABC\nABC\nABC\n"},
        {"constant blanks", constant("  ", "2"), "  \n  \n"},
    };
    services->yesNoAnswers = QList<std::optional<bool>>(std::size(cases), true);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_TRUE(SeriesGenerator::OKPressed(c.fields, QStringLiteral("/Made?"), 1, 0));
        EXPECT_EQ(file(QStringLiteral("Made")), c.file);
    }
    EXPECT_EQ(services->questions.size(), static_cast<qsizetype>(std::size(cases)) - 1) << "each replace asked";
}

TEST_F(SeriesGeneratorTest, RandomValuesHaveTheirDigitsAndNeverALeadingZero)
{
    QRandomGenerator seeded(7);
    for (const int digits : {1, 4, 9}) {
        SCOPED_TRACE(digits);
        Fields f = random(QString::number(digits), QStringLiteral("10000"), QStringLiteral("P"), QStringLiteral("S"));
        const std::optional<QByteArray> lines = SeriesGenerator::generate(f, kMostSeriesBytes, &seeded);
        ASSERT_TRUE(lines);
        QList<QByteArray> values = lines->split('\n');
        ASSERT_EQ(values.takeLast(), QByteArray());
        ASSERT_EQ(values.size(), 10000);
        const QRegularExpression shape(QStringLiteral("^P[1-9][0-9]{%1}S$").arg(digits - 1));
        std::set<QByteArray> distinct;
        for (const QByteArray &value : values) {
            ASSERT_TRUE(shape.match(QString::fromLatin1(value)).hasMatch()) << value.constData();
            distinct.insert(value);
        }
        if (digits == 1) {
            EXPECT_EQ(distinct.size(), 9u) << "every number can come";
        }
    }
}

TEST_F(SeriesGeneratorTest, RefusalsKeepTheDialogOpenWithNothingWritten)
{
    const QString name = QStringLiteral("This series name cannot be used.\n\nA series name cannot ");
    const struct {
        Fields fields;
        QString name;
        QString message;
        const char *focus;
    } cases[] = {
        {sequential("", "5"), "S", "Please enter valid 'From' value.", "from_txt"},
        {sequential(" ", ""), "S", "Please enter valid 'To' value.", "to_txt"},
        {sequential("5", "5"), "S", "'From' value must be smaller than 'To' value.", "from_txt"},
        {sequential("x", "-1"), "S", "'From' value must be smaller than 'To' value.", "from_txt"},
        {constant("", "3"), "S", "Please enter valid 'Value'.", "value_txt"},
        {constant("A", ""), "S", "Please enter valid 'Count' value.", "count_txt"},
        {random("1", ""), "S", "Please enter valid 'Count' value.", "rand_count_txt"},
        {random("", "1"), "S", "Please enter valid 'Length' value.", "rand_length_txt"},
        {sequential("1", "2"), " / ", name + "hold \"/\" or \"\\\", which separate folders.", SeriesGenerator::kNameField},
        {sequential("1", "2"), "A/B", name + "hold \"/\" or \"\\\", which separate folders.", SeriesGenerator::kNameField},
        {sequential("1", "2"), "..", name + "be \".\" or \"..\", which name folders.", SeriesGenerator::kNameField},
        {sequential("1", "2"), "A\r\nB", name + "hold line breaks, tabs or other control characters.", SeriesGenerator::kNameField},
        {sequential("1", "9999999999"), "S", SeriesGenerator::kTooLarge, nullptr},
    };
    services->yesNoAnswers = {true};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        services->messages.clear();
        const char *focus = "unset";
        EXPECT_FALSE(SeriesGenerator::OKPressed(c.fields, c.name, 1, 0, &focus));
        EXPECT_EQ(services->messages, QStringList{QLatin1Char('\n') + c.message});
        EXPECT_TRUE(c.focus ? focus && std::strcmp(focus, c.focus) == 0 : focus == nullptr);
    }
    EXPECT_EQ(services->questions, QStringList{SeriesGenerator::kTooMany.arg(9999999999LL)});
    EXPECT_TRUE(Get_datasheet_File_Name_Array().isEmpty());
}

TEST_F(SeriesGeneratorTest, AboveAMillionValuesAndOverAnExistingSeriesItAsksFirst)
{
    ASSERT_TRUE(Write_Series_File(QStringLiteral("Old"), {QStringLiteral("kept")}));
    // No to the count, no to replacing, then yes to both: more values than a series may have.
    services->yesNoAnswers = {false, true, false, true, true};
    const Fields million = sequential(QStringLiteral("0"), QStringLiteral("1000000"));
    EXPECT_FALSE(SeriesGenerator::OKPressed(million, QStringLiteral("Old"), 1, 0));
    EXPECT_FALSE(SeriesGenerator::OKPressed(million, QStringLiteral("Old"), 1, 0));
    EXPECT_FALSE(SeriesGenerator::OKPressed(million, QStringLiteral("Old"), 1, 0));
    EXPECT_EQ(services->messages, QStringList{"\nThe series \"Old\" cannot be written: it has more than 1,000,000 values, "
                                              "the most a series may have."});
    EXPECT_EQ(file(QStringLiteral("Old")), QByteArray("kept\n"));
    EXPECT_EQ(services->questions.size(), 5);
}

// A failed write is said, naming the file and why, and logged; a No to replacing is not; the
// dialog stays open on both.
TEST_F(SeriesGeneratorTest, AFailedWriteIsSaidAndLoggedButNoToReplacingIsNot)
{
    ASSERT_TRUE(Write_Series_File(QStringLiteral("Old"), {QStringLiteral("kept")}));
    for (const bool full : {false, true}) {
        LogCapture log;
        services->messages.clear();
        services->yesNoAnswers = {full};
        const char *focus = "unset";
        {
            std::optional<ScopedFullDisk> disk;
            if (full)
                disk.emplace();
            EXPECT_FALSE(SeriesGenerator::OKPressed(constant("A", "2"), QStringLiteral("Old"), 1, 0, &focus));
        }
        const QString said = "The series \"Old\" cannot be written to " + Series_File_Path(QStringLiteral("Old")) +
                             ": there is no space left on the disk.";
        EXPECT_EQ(services->messages, full ? QStringList{"\nError in file accessing.\n\n" + said} : QStringList());
        EXPECT_EQ(log.lines().filter(said).size(), full ? 1 : 0);
        EXPECT_TRUE(focus == nullptr && file(QStringLiteral("Old")) == "kept\n");
    }
}

TEST_F(SeriesGeneratorTest, ListModeHandsEachValueToTheManagerThenRefillsItsList)
{
    const struct {
        Fields fields;
        int insert;
        QStringList values;
    } cases[] = {
        {sequential("9", "11", true, "N"), 1, {"N09", "N10", "N11", "<fill>"}},
        // The manager drops blank values itself; the generator hands over what it made.
        {constant("  ", "2"), 0, {"  ", "  "}},
        {constant("Ü", "1"), 1, {"Ü", "<fill>"}},
    };
    for (const auto &c : cases) {
        RecordingManager manager;
        EXPECT_TRUE(SeriesGenerator::OKPressed(c.fields, QString(), 0, c.insert));
        EXPECT_EQ(manager.values, c.values);
    }
    EXPECT_TRUE(Get_datasheet_File_Name_Array().isEmpty());
    EXPECT_TRUE(services->questions.isEmpty());
}

TEST(SeriesGeneratorRules, CountAndLengthFieldsHoldWhatTheyCanCount)
{
    const struct {
        const char *typed;
        bool length;
        const char *held;
    } cases[] = {
        {"20000", false, "10000"}, {"", false, "1"},   {"0", false, "1"},  {"000005", false, "1"},
        {"123456", false, "10000"}, {"-5", false, "1"}, {" 42", false, " 42"}, {"12", true, "1"},
        {"0", true, "1"},          {"05", true, "1"},    {"7", true, "7"},   {"x", true, "1"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SeriesGenerator::fieldRule(QString::fromUtf8(c.typed), c.length ? 9 : 10000, c.length ? 1 : 5),
                  QString::fromUtf8(c.held))
            << c.typed;
}
