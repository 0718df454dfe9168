#include "CorpusTables.h"
#include "RecordingManager.h"

#include "core/StringHelpers.h"
#include "datasource/Data_From_Excel.h"
#include "datasource/ExcelSheetPicker.h"
#include "datasource/SSZipArchive.h"
#include "document/DesignFile.h"
#include "fixtures/ScriptedServices.h"
#include "fixtures/TestSupport.h"

#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

QStringList listedTitles(const ExcelSheetPicker &picker)
{
    QStringList titles;
    for (const QVariantMap &entry : picker.ListData_xl)
        titles << entry.value(ExcelSheetPicker::kTitleKey).toString();
    return titles;
}

class ExcelSheetPickerTest : public ::testing::Test {
protected:
    void SetUp() override { store.reset(); }
    void TearDown() override { store.reset(); }

    Data_From_Excel &store = *Data_From_Excel::defaultInstance();
    ExcelSheetPicker picker;
    ScopedScriptedServices services;
};

} // namespace

// Mode "E" binds, and mode "D" pushes, the ticked columns of the chosen sheet as the reference table
// holds them: rows numbered from 1 among those taken, columns by position, cells trimmed. A binding
// comes back from a design file unchanged.
TEST_F(ExcelSheetPickerTest, TakesTheTickedColumnsOfTheChosenSheetInBothModes)
{
    struct Case {
        QString workbook;
        int sheetIndex, sheetNumber;
        QString sheetName;
        QList<int> ticked; // in column order
        bool header;
        QString expected;
    };
    const QList<Case> cases{
        {"lo-plain.xlsx", 0, 1, "People", {2, 4}, true, "lo-plain.expected.csv"},
        {"lo-plain.xlsx", 0, 1, "People", {0}, false, "lo-plain.expected.csv"},
        {"lo-features.xlsx", 0, 1, "Mixed", {0, 1, 2, 3, 4, 5}, true, "lo-features.sheet1.expected.csv"},
        {"lo-features.xlsx", 1, 2, "Wide", {0, 25, 28}, true, "lo-features.sheet2.expected.csv"},
        {"openpyxl-features.xlsx", 0, 1, "Mixed", {1, 4}, false, "openpyxl-features.sheet1.expected.csv"},
        {"lo-twelve-sheets.xlsx", 9, 10, "Oct", {0, 2}, true, "lo-twelve-sheets.sheet10.expected.csv"},
        {"lo-repeated.ods", 0, 1, "Repeats", {0, 4}, true, "lo-repeated.expected.csv"},
        {"lo-xml2003.xml", 0, 1, "Mixed", {1, 5}, false, "lo-xml2003.expected.csv"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.expected.toStdString());
        const QList<QStringList> table = readCsv(dataFile(c.expected));
        ASSERT_FALSE(table.isEmpty());
        QStringList bound{Data_From_Excel::kRowNumberTitle}, values;
        QList<QVariantMap> rows;
        for (const int column : c.ticked)
            bound << table[0][column];
        for (qsizetype r = c.header ? 1 : 0; r < table.size(); ++r) {
            rows << QVariantMap{{"Extension", QString::number(rows.size() + 1)}};
            for (int k = 0; k < c.ticked.size(); ++k) {
                values << Trim_Str(table[r][c.ticked[k]]);
                rows.last().insert(QStringLiteral("Column%1").arg(k + 1), values.last());
            }
        }

        for (const char *mode : {"E", "D"}) {
            RecordingManager manager;
            store.reset();
            ASSERT_TRUE(picker.Open(dataFile(c.workbook)));
            EXPECT_EQ(picker.sheetNames().value(c.sheetIndex), c.sheetName);
            ASSERT_TRUE(picker.comboBoxSelectionDidChange(c.sheetIndex));
            EXPECT_EQ(picker.Excel_Sheet_Number, c.sheetNumber);
            EXPECT_EQ(listedTitles(picker), table[0]);
            for (const int column : c.ticked)
                picker.setTick(column, true);
            picker.contains_header = c.header;
            picker.open_mode = QLatin1String(mode);
            EXPECT_EQ(picker.OKPressed(store), 1);
            EXPECT_EQ(store.ListData, *mode == 'E' ? rows : QList<QVariantMap>());
            // A design file keeps the binding as it was made.
            DesignFileContents design;
            design.excelColumnTitles = store.columnTitles();
            design.excelRows = store.ListData;
            const std::optional<DesignFileContents> saved = DesignFile::read(DesignFile::data(design));
            EXPECT_TRUE(saved && saved->excelColumnTitles == store.columnTitles() && saved->excelRows == store.ListData);
            EXPECT_EQ(store.columnTitles(), *mode == 'E' ? bound : QStringList{Data_From_Excel::kRowNumberTitle});
            EXPECT_EQ(manager.values, *mode == 'D' ? values : QStringList());
        }
    }
    EXPECT_TRUE(services->messages.isEmpty()) << services->messages.join(u'|').toStdString();
}

// Every sheet column has its entry (blank titles get a name), a sheet that cannot be read keeps the
// sheet that was chosen, and a sheet is read by its part's number.
TEST_F(ExcelSheetPickerTest, EachColumnKeepsItsEntryAndAnUnreadableSheetChangesNothing)
{
    const QByteArray head = "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>";
    auto row = [](int r, const QStringList &texts) {
        QByteArray xml = "<row r=\"" + QByteArray::number(r) + "\">";
        for (const QString &text : texts)
            xml += "<c t=\"inlineStr\"><is><t>" + text.toUtf8() + "</t></is></c>";
        return xml + "</row>";
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("crafted.xlsx"));
    SSZipArchive zip(path);
    ASSERT_TRUE(zip.open());
    for (const auto &[number, xml] :
         {std::pair{1, head + row(1, {"Name", "   ", "", "City"}) + row(2, {"Ann", "x", "y", " Oslo "})},
          {2, head + "<row r=\"1\"><c"}, {3, head}, {5, head + row(1, {"Code"}) + row(2, {"K-1"})}})
        ASSERT_TRUE(zip.writeData(xml + (number == 2 ? "" : "</sheetData></worksheet>"),
                                  QStringLiteral("xl/worksheets/sheet%1.xml").arg(number)));
    ASSERT_TRUE(zip.close());

    ASSERT_TRUE(picker.Open(path));
    EXPECT_EQ(picker.sheetNames(), (QStringList{"sheet1", "sheet2", "sheet3", "sheet5"}));
    picker.setTick(3, true);
    for (const int unreadable : {1, 2, 7}) {
        LogCapture log;
        QString error;
        EXPECT_FALSE(picker.comboBoxSelectionDidChange(unreadable, &error));
        EXPECT_EQ(log.lines(), QStringList{error});
        EXPECT_EQ(picker.chosenSheet(), 0);
    }
    EXPECT_EQ(listedTitles(picker), (QStringList{"Name", "Untitled Column 2", "Untitled Column 3", "City"}));
    picker.open_mode = QStringLiteral("E");
    EXPECT_EQ(picker.OKPressed(store), 1);
    EXPECT_EQ(store.columnTitles(), (QStringList{Data_From_Excel::kRowNumberTitle, "City"}));
    EXPECT_EQ(store.ListData, (QList<QVariantMap>{{{"Extension", "1"}, {"Column1", "Oslo"}}}));

    ASSERT_TRUE(picker.comboBoxSelectionDidChange(3));
    EXPECT_EQ(picker.Excel_Sheet_Number, 5);
    picker.Select_ALL_Pressed();
    EXPECT_EQ(picker.OKPressed(store), 1);
    EXPECT_EQ(store.ListData, (QList<QVariantMap>{{{"Extension", "1"}, {"Column1", "K-1"}}}));
}

// OK says what is missing and stays open; a workbook that cannot be read binds nothing; opening
// again starts over.
TEST_F(ExcelSheetPickerTest, OKSaysWhatIsMissingAndABadWorkbookBindsNothing)
{
    QTemporaryDir dir;
    store.bind({QStringLiteral("Kept")}, {{QStringLiteral("old")}});
    for (const QString &bad : {dataFile("evil-dotdot.xlsx"), dataFile("evil-absolute.xlsx"), dir.path(),
                               dir.filePath(QStringLiteral("missing.xlsx"))}) {
        LogCapture log;
        EXPECT_FALSE(picker.Open(bad)) << bad.toStdString();
        EXPECT_TRUE(picker.sheetNames().isEmpty() && picker.ListData_xl.isEmpty());
    }
    EXPECT_EQ(picker.OKPressed(store), std::nullopt);

    // A copy spoilt after its columns were listed; mode "D" with no series being edited.
    const QString copy = dir.filePath(QStringLiteral("copy.xlsx"));
    ASSERT_TRUE(QFile::copy(dataFile("lo-plain.xlsx"), copy));
    ASSERT_TRUE(picker.Open(copy));
    EXPECT_EQ(picker.OKPressed(store), std::nullopt);
    picker.setTick(0, true);
    LogCapture log;
    EXPECT_EQ(picker.OKPressed(store), 0);
    QFile spoilt(copy);
    ASSERT_TRUE(spoilt.open(QIODevice::WriteOnly | QIODevice::Truncate));
    picker.open_mode = QStringLiteral("E");
    EXPECT_EQ(picker.OKPressed(store), 0);
    EXPECT_EQ(log.lines().size(), 2);
    EXPECT_EQ(services->messages,
              (QStringList{"\nThere is no column.", "\nNo column is selected.",
                           QLatin1Char('\n') + ExcelSheetPicker::unreadable("The file \"copy.xlsx\" is not a workbook or is damaged.")}));
    EXPECT_EQ(store.columnTitles(), (QStringList{Data_From_Excel::kRowNumberTitle, "Kept"}));
    EXPECT_EQ(store.ListData.size(), 1);

    ASSERT_TRUE(picker.Open(dataFile("lo-twelve-sheets.xlsx")));
    EXPECT_TRUE(picker.Excel_Sheet_Number == 1 && picker.contains_header && picker.tickedColumns().isEmpty());
}

// A long sheet is read on a worker: the GUI thread's timers go on meanwhile, and what the read
// gives is the whole sheet.
TEST_F(ExcelSheetPickerTest, ALongSheetIsReadWhileTheGuiThreadGoesOn)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.xlsx"));
    QList<QStringList> rows;
    QByteArray sheet = "<worksheet><sheetData>";
    for (int r = 0; r < 100000; ++r) {
        rows << QStringList{QStringLiteral("Guest %1").arg(r), QString::number(r)};
        sheet += "<row><c t=\"inlineStr\"><is><t>" + rows.last().first().toUtf8() + "</t></is></c><c><v>" +
                 rows.last().last().toUtf8() + "</v></c></row>";
    }
    SSZipArchive zip(path);
    ASSERT_TRUE(zip.open() && zip.writeData(sheet + "</sheetData></worksheet>", QStringLiteral("xl/worksheets/sheet1.xml")) &&
                zip.close());
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(1);
    const SpreadsheetRows read = ExcelSheetPicker().readSheet(path, 1);
    EXPECT_EQ(read.rows, rows);
    EXPECT_GT(ticks, 0);
}

// A sheet taken in place of the bound one: each field follows its column's title, and is told;
// a field whose title is gone is left without a column; a title that cannot tell its column is
// asked about (Yes keeps the column number, No leaves the field without one, Cancel takes nothing).
TEST_F(ExcelSheetPickerTest, FieldsFollowTheirColumnsTitlesIntoATakenSheet)
{
    AppFixture app;
    QTemporaryDir dir;
    // Name and Unique No. bound to the columns titled Name and Number of the first sheet.
    QList<Data_From_Excel::BoundField> fields{{"Front: Name", 0}, {"Front: Unique No.", 0}};
    const platform::Subscription listing = store.listBoundFields.subscribe(
        [&fields](QList<Data_From_Excel::BoundField> &listed) { listed << fields; });
    const platform::Subscription moving = store.columnsRebound.subscribe([&fields](const QHash<int, int> &moves) {
        for (Data_From_Excel::BoundField &field : fields)
            field.column = moves.value(field.column, field.column);
    });
    const auto take = [&](const QStringList &titles, std::optional<bool> answer = std::nullopt) {
        QList<QStringList> rows{titles};
        for (int record = 1; record <= 3; ++record) {
            QStringList cells;
            for (const QString &title : titles)
                cells << QStringLiteral("%1 %2").arg(title).arg(record);
            rows << cells;
        }
        const QString path = dir.filePath(titles.join('-') + ".xlsx");
        EXPECT_TRUE(SpreadsheetWriter::WriteWorkbook(path, rows, true));
        EXPECT_TRUE(picker.Open(path));
        picker.open_mode = QStringLiteral("E");
        picker.Select_ALL_Pressed();
        services->yesNoAnswers = {answer};
        return picker.OKPressed(store);
    };
    const QString question = "These fields cannot be matched to a column of the new sheet by its title:\n"
                             "Front: Name: \"Name\" titles columns 1, 3 of the new sheet\n\nYes keeps them at "
                             "their column numbers; No leaves them without a column, for a run to ask about; "
                             "Cancel goes back to the columns.";
    const QString follow = "\nThese fields follow their column's title to its place in the new sheet:\n";
    const QString lost = "The new sheet has no column for these fields, which are left without one; a run will ask "
                         "about them:\nFront: Name, \"Name\"";
    const struct {
        QStringList titles;
        std::optional<bool> answer; // to the question, when one is asked
        std::optional<int> code;
        QString name, number;       // what the two fields give the second record
        QString told;               // the question and the message, "|" between
    } cases[] = {
        {{"Name", "Email", "Number"}, {}, 1, "Name 2", "Number 2", ""},
        {{"Number", "Email", "Name"}, {}, 1, "Name 2", "Number 2",
         follow + "Front: Name, \"Name\": column 3, was 1\nFront: Unique No., \"Number\": column 1, was 3"},
        {{"Number", "Meal"}, {}, 1, "", "Number 2",
         follow + "Front: Unique No., \"Number\": column 1, was 3\n\n" + lost},
        {{"Name", "Number", "Name"}, std::nullopt, std::nullopt, "Name 2", "Number 2", question},
        {{"Name", "Number", "Name"}, false, 1, "", "Number 2",
         question + '|' + follow + "Front: Unique No., \"Number\": column 2, was 3\n\n" + lost},
        {{"Name", "Number", "Name"}, true, 1, "Name 2", "Number 2",
         question + '|' + follow + "Front: Unique No., \"Number\": column 2, was 3"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.titles.join(' ').toStdString());
        fields.clear();
        ASSERT_EQ(take({"Name", "Email", "Number"}), 1);
        fields = {{"Front: Name", 1}, {"Front: Unique No.", 3}};
        services->messages.clear();
        EXPECT_EQ(take(c.titles, c.answer), c.code);
        const auto value = [this](int column) { return store.value(Data_From_Excel::columnKey(column), 1).toString(); };
        EXPECT_EQ(value(fields[0].column) + '/' + value(fields[1].column), c.name + '/' + c.number);
        EXPECT_EQ((services->questions + services->messages).join('|'), c.told);
        EXPECT_EQ(services->cancelShown, services->questions) << "the Cancel it offers is shown";
        services->questions.clear();
        services->cancelShown.clear();
    }
}
