#include "RecordingManager.h"

#include "core/AppState.h"
#include "datasource/DataSourceState.h"
#include "datasource/ExcelSeriesImport.h"
#include "datasource/SeriesStore.h"
#include "datasource/SpreadsheetWriter.h"
#include "fixtures/ScriptedServices.h"
#include "fixtures/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

// Name, City and Zip over two rows; blank cells among them.
const QList<QStringList> kSheet = {
    {"Name", "City", "Zip"},
    {"Ann", " Paris ", ""},
    {"Bob", "", "75001"},
};

// One answer of the long-message question: Yes or No, and the apply-to-all box's tick.
struct Answer {
    int code;
    bool all;
};

class ExcelSeriesImportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(App().Data_Folder_Path));
        workbook = dir.filePath(QStringLiteral("book.xlsx"));
        ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(workbook, kSheet, true));
        ASSERT_TRUE(import.Open(workbook));
    }

    static QByteArray file(const QString &name)
    {
        QFile in(Series_File_Path(name));
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray("<none>");
    }

    // Asks as the long-message dialog does: the answers in order, the box's tick kept as the
    // apply-to-all answer only where the box showed.
    ExcelSeriesImport::Ask answering(QList<Answer> answers)
    {
        return [this, answers](const QString &title, const QString &text, bool boxShown) mutable {
            asked << title + u'|' + text + (boxShown ? QStringLiteral("|box") : QString());
            const Answer answer = answers.isEmpty() ? Answer{0, false} : answers.takeFirst();
            if (answer.code == 1)
                DataSources().Msg_Apply_All_Chk = boxShown && answer.all;
            return answer.code;
        };
    }

    void tick(std::initializer_list<int> columns)
    {
        import.picker.Clear_All_Pressed();
        for (const int column : columns)
            import.picker.setTick(column, true);
    }

    AppFixture app;
    ScopedScriptedServices services;
    QTemporaryDir dir;
    QString workbook;
    ExcelSeriesImport import;
    QStringList asked;
};

} // namespace

TEST_F(ExcelSeriesImportTest, EachTickedColumnBecomesTheSeriesItsHeaderNames)
{
    const struct {
        const char *what;
        std::initializer_list<int> ticked;
        bool header;
        QStringList names; // the header of each column
        QStringList series;
        QList<QByteArray> files;
        QString report; // what was not imported, after kNotImported
    } cases[] = {
        {"titles", {0, 2}, true, {"Name", "City", "Zip"}, {"Name", "Zip"}, {"Ann\nBob\n", "\n75001\n"}, {}},
        {"titles row too", {1}, false, {"Name", "City", "Zip"}, {"City"}, {"City\nParis\n\n"}, {}},
        {"renamed, a refused name reported", {0, 1}, true, {" /Guests? ", "A/B", "Zip"}, {"Guests"}, {"Ann\nBob\n"},
         "City: the series \"A/B\" could not be written (a series name cannot hold \"/\" or \"\\\", which separate folders)."},
        {"titles with line breaks and tabs", {0, 2}, true, {"First\r\nName", "City", "Zip\t\tcode\n"}, {"First Name", "Zip code"},
         {"Ann\nBob\n", "\n75001\n"}, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        for (const QString &name : Get_datasheet_File_Name_Array())
            QFile::remove(Series_File_Path(name));
        services->messages.clear();
        tick(c.ticked);
        import.picker.contains_header = c.header;
        for (int column = 0; column < c.names.size(); ++column)
            import.setHeader(column, c.names[column]);
        EXPECT_EQ(import.OKPressed(answering({})), 1);
        EXPECT_EQ(Get_datasheet_File_Name_Array(), c.series);
        for (int s = 0; s < c.series.size(); ++s)
            EXPECT_EQ(file(c.series[s]), c.files[s]) << c.series[s].toStdString();
        EXPECT_EQ(services->messages, c.report.isEmpty() ? QStringList()
                                                         : QStringList{u'\n' + ExcelSeriesImport::kNotImported +
                                                                       QStringLiteral("\n\n") + c.report});
    }
    EXPECT_TRUE(asked.isEmpty());
}

TEST_F(ExcelSeriesImportTest, TwoColumnsCleaningToOneSeriesAreRefusedBeforeAnythingIsWritten)
{
    tick({0, 1, 2});
    import.setHeader(0, QStringLiteral("Guests"));
    import.setHeader(2, QStringLiteral(" Guests*"));
    EXPECT_EQ(import.OKPressed(answering({})), std::nullopt);
    EXPECT_TRUE(Get_datasheet_File_Name_Array().isEmpty());
    ASSERT_EQ(services->messages.size(), 1);
    EXPECT_TRUE(services->messages[0].contains(QStringLiteral("\"Name\" and \"Zip\""))) << services->messages[0].toStdString();
}

// Existing series are replaced only as answered; apply-to-all holds for the rest of this import
// alone and never for a series the design uses.
TEST_F(ExcelSeriesImportTest, ExistingSeriesAreReplacedAsAnsweredButNeverOneInUse)
{
    const QString question = QStringLiteral("Batch Processing Series already exists :|%1") + ExcelSeriesImport::kExists +
                             QStringLiteral("|box");
    const struct {
        const char *what;
        QList<Answer> answers;
        QList<QByteArray> files; // Name, City, Zip
        QStringList asked;
    } cases[] = {
        {"yes to all", {{1, true}}, {"Ann\nBob\n", "Paris\n\n", "old\n"}, {question.arg("Name")}},
        {"no, then yes", {{0, true}, {1, false}}, {"old\n", "Paris\n\n", "old\n"},
         {question.arg("Name"), question.arg("City")}},
    };
    app.hub.seriesInUse = {QStringLiteral("Zip")};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        for (const char *name : {"Name", "City", "Zip"})
            ASSERT_TRUE(Write_Series_File(QLatin1String(name), {QStringLiteral("old")}));
        asked.clear();
        services->messages.clear();
        tick({0, 1, 2});
        EXPECT_EQ(import.OKPressed(answering(c.answers)), 1);
        EXPECT_EQ((QList<QByteArray>{file("Name"), file("City"), file("Zip")}), c.files);
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(services->messages,
                  QStringList{u'\n' + ExcelSeriesImport::kNotImported +
                              QStringLiteral("\n\nZip: the series \"Zip\" is in use in the design.")});
        EXPECT_FALSE(DataSources().Msg_Apply_All_Chk) << "the answer ends with the import";
    }
}

TEST_F(ExcelSeriesImportTest, FillModeWritesTheTickedCellsRowByRowIntoOneSeries)
{
    const struct {
        const char *what;
        int target;
        const char *name;
        QList<std::optional<bool>> answers;
        std::optional<int> code;
        QByteArray file;
        QString message;
    } cases[] = {
        {"new", ExcelSeriesImport::NewSeries, "Fresh", {}, 1, "Ann\n\nBob\n75001\n", {}},
        {"new over an existing one, kept", ExcelSeriesImport::NewSeries, "Target", {false}, std::nullopt, "old\n", {}},
        {"new over an existing one, replaced", ExcelSeriesImport::NewSeries, "Target", {true}, 1, "Ann\n\nBob\n75001\n", {}},
        {"replaced without a question", ExcelSeriesImport::ReplaceSeries, "Target", {}, 1, "Ann\n\nBob\n75001\n", {}},
        {"extended", ExcelSeriesImport::ExtendSeries, "Target", {}, 1, "old\nAnn\n\nBob\n75001\n", {}},
        {"no new name", ExcelSeriesImport::NewSeries, " ", {}, std::nullopt, "old\n", "Please enter list name."},
        {"no series chosen", ExcelSeriesImport::ExtendSeries, "", {}, std::nullopt, "old\n", "Please select list name."},
    };
    RecordingManager manager;
    import.file_name_Insert = 1;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(Series_File_Path(QStringLiteral("Fresh")));
        ASSERT_TRUE(Write_Series_File(QStringLiteral("Target"), {QStringLiteral("old")}));
        services->messages.clear();
        services->yesNoAnswers = c.answers;
        manager.values.clear();
        tick({0, 2});
        import.each_column = false;
        import.fill_col_option = c.target;
        (c.target == ExcelSeriesImport::NewSeries ? import.list_name : import.chosen_series) = QLatin1String(c.name);
        EXPECT_EQ(import.OKPressed(answering({})), c.code);
        EXPECT_EQ(file(c.target == ExcelSeriesImport::NewSeries && c.code ? QLatin1String(c.name) : QStringLiteral("Target")),
                  c.file);
        EXPECT_EQ(services->messages, c.message.isEmpty() ? QStringList() : QStringList{u'\n' + c.message});
        EXPECT_EQ(manager.values, c.code ? QStringList{"<fill>"} : QStringList());
    }
}

// The rows are read before anything is written: a workbook that reads no rows any more leaves the
// series as they were, in both modes.
TEST_F(ExcelSeriesImportTest, ASheetWithoutRowsLeavesEverySeriesAsItWas)
{
    ASSERT_TRUE(Write_Series_File(QStringLiteral("Name"), {QStringLiteral("old")}));
    QFile book(workbook);
    ASSERT_TRUE(book.open(QIODevice::WriteOnly | QIODevice::Truncate));
    book.close();
    tick({0});
    EXPECT_EQ(import.OKPressed(answering({{1, true}})), 1);
    import.each_column = false;
    import.fill_col_option = ExcelSeriesImport::ReplaceSeries;
    import.chosen_series = QStringLiteral("Name");
    EXPECT_EQ(import.OKPressed(answering({})), 1);
    EXPECT_EQ(file(QStringLiteral("Name")), QByteArray("old\n"));
    const QString reason = QStringLiteral("The file \"book.xlsx\" is not a workbook or is damaged.");
    EXPECT_EQ(services->messages,
              (QStringList{u'\n' + ExcelSeriesImport::kNoRows + "\n\n" + reason, u'\n' + ExcelSheetPicker::unreadable(reason)}));
    EXPECT_TRUE(asked.isEmpty());
}

// A column past the series limits is not written, and reported.
TEST_F(ExcelSeriesImportTest, AColumnPastTheSeriesLimitsIsNotWritten)
{
    // Cells as long as a spreadsheet keeps them, enough of them to pass 16 MB.
    const QString cell(32767, u'x');
    QList<QStringList> rows{{"Big", "Small"}};
    for (int row = 0; row < 520; ++row)
        rows.append({cell, "a"});
    ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(workbook, rows, true));
    ASSERT_TRUE(import.Open(workbook));
    tick({0, 1});
    EXPECT_EQ(import.OKPressed(answering({})), 1);
    EXPECT_EQ(Get_datasheet_File_Name_Array(), QStringList{"Small"});
    EXPECT_EQ(services->messages, QStringList{u'\n' + ExcelSeriesImport::kNotImported +
                                              "\n\nBig: the series \"Big\" could not be written (it is larger than 16 MB, "
                                              "the most a series may be)."});
}
