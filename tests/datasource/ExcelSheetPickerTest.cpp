#include "datasource/ExcelSheetPicker.h"

#include "core/StringHelpers.h"
#include "datasource/BatchSeriesManager.h"
#include "datasource/Data_From_Excel.h"
#include "datasource/SSZipArchive.h"
#include "document/DesignFile.h"
#include "fixtures/ScriptedServices.h"
#include "fixtures/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString dataFile(const QString &name)
{
    return QStringLiteral(CARD_DATASOURCE_TEST_DATA "/") + name;
}

// The expected tables beside the workbooks: RFC 4180 with CRLF record ends.
QList<QStringList> readCsv(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(file.readAll());
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted && c == u'"' && text.mid(i + 1, 1) == u"\"")
            field += text.at(++i);
        else if (c == u'"')
            quoted = !quoted;
        else if (!quoted && c == u',')
            row << std::exchange(field, {});
        else if (!quoted && text.mid(i, 2) == u"\r\n") {
            row << std::exchange(field, {});
            rows << std::exchange(row, {});
            ++i;
        } else
            field += c;
    }
    return rows;
}

class RecordingManager : public BatchSeriesManager {
public:
    RecordingManager() : m_previous(installBatchWizard_Window(this)) {}
    ~RecordingManager() override { installBatchWizard_Window(m_previous); }
    void Create_Value_List(const QString &value) override { values << value; }
    void Fill_List() override { ++fills; }

    QStringList values;
    int fills = 0;

private:
    BatchSeriesManager *m_previous;
};

// A workbook made here: inline strings, a blank and an empty title, an unreadable sheet 2, a sheet 3
// without rows and no sheet 4.
QString craftedWorkbook(const QTemporaryDir &dir)
{
    const QByteArray head = "<?xml version=\"1.0\"?><worksheet xmlns=\"http://schemas.openxmlformats.org/"
                            "spreadsheetml/2006/main\"><sheetData>";
    auto cell = [](const char *ref, const char *text) {
        return QByteArray("<c r=\"") + ref + "\" t=\"inlineStr\"><is><t>" + text + "</t></is></c>";
    };
    const QByteArray sheet1 = head + "<row r=\"1\">" + cell("A1", "Name") + cell("B1", "   ") + cell("D1", "City") +
                              "</row><row r=\"2\">" + cell("A2", "Ann") + cell("B2", "x") + cell("C2", "y") +
                              cell("D2", " Oslo ") + "</row></sheetData></worksheet>";
    const QByteArray sheet5 = head + "<row r=\"1\">" + cell("A1", "Code") + "</row><row r=\"2\">" + cell("A2", "K-1") +
                              "</row></sheetData></worksheet>";
    const QString path = dir.filePath(QStringLiteral("crafted.xlsx"));
    SSZipArchive zip(path);
    EXPECT_TRUE(zip.open());
    EXPECT_TRUE(zip.writeData(sheet1, QStringLiteral("xl/worksheets/sheet1.xml")));
    EXPECT_TRUE(zip.writeData(head + "<row r=\"1\"><c r=\"A1\"", QStringLiteral("xl/worksheets/sheet2.xml")));
    EXPECT_TRUE(zip.writeData(head + "</sheetData></worksheet>", QStringLiteral("xl/worksheets/sheet3.xml")));
    EXPECT_TRUE(zip.writeData(sheet5, QStringLiteral("xl/worksheets/sheet5.xml")));
    EXPECT_TRUE(zip.close());
    return path;
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

// For every sheet and choice of columns, the rows bound in mode "E" and the values pushed in mode
// "D" are those of the reference table: numbered from 1 among the taken rows, the ticked columns by
// position, trimmed.
TEST_F(ExcelSheetPickerTest, TakesTheTickedColumnsOfTheChosenSheetInBothModes)
{
    struct Case {
        QString workbook;
        int sheetIndex;
        int sheetNumber;
        QList<int> ticked;
        bool header;
        QString expected;
    };
    const QList<Case> cases{
        {"lo-plain.xlsx", 0, 1, {2, 4}, true, "lo-plain.expected.csv"},
        {"lo-plain.xlsx", 0, 1, {0}, false, "lo-plain.expected.csv"},
        {"lo-features.xlsx", 0, 1, {0, 1, 2, 3, 4, 5}, true, "lo-features.sheet1.expected.csv"},
        {"lo-features.xlsx", 1, 2, {0, 25, 28}, true, "lo-features.sheet2.expected.csv"},
        {"openpyxl-features.xlsx", 0, 1, {4, 1}, false, "openpyxl-features.sheet1.expected.csv"},
        {"openpyxl-features.xlsx", 1, 2, {27}, true, "openpyxl-features.sheet2.expected.csv"},
        {"lo-twelve-sheets.xlsx", 9, 10, {0, 2}, true, "lo-twelve-sheets.sheet10.expected.csv"},
        {"lo-twelve-sheets.xlsx", 11, 12, {1}, false, "lo-twelve-sheets.sheet12.expected.csv"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.expected.toStdString());
        const QList<QStringList> table = readCsv(dataFile(c.expected));
        ASSERT_FALSE(table.isEmpty());
        QStringList titles;
        for (const QString &title : table.first())
            titles << Trim_Str(title);
        QList<int> columns = c.ticked;
        std::sort(columns.begin(), columns.end());
        QStringList boundTitles{Data_From_Excel::kRowNumberTitle};
        for (const int column : columns)
            boundTitles << titles.at(column);
        QList<QVariantMap> rows;
        QStringList values;
        for (qsizetype r = c.header ? 1 : 0; r < table.size(); ++r) {
            QVariantMap row{{QStringLiteral("Extension"), QString::number(rows.size() + 1)}};
            for (int k = 0; k < columns.size(); ++k) {
                row.insert(QStringLiteral("Column%1").arg(k + 1), Trim_Str(table[r].at(columns[k])));
                values << Trim_Str(table[r].at(columns[k]));
            }
            rows << row;
        }

        for (const QString mode : {"E", "D"}) {
            RecordingManager manager;
            store.reset();
            ASSERT_TRUE(picker.Open(dataFile(c.workbook)));
            picker.open_mode = mode;
            EXPECT_EQ(picker.sheetNames().value(c.sheetIndex), QStringLiteral("sheet%1").arg(c.sheetNumber));
            ASSERT_TRUE(picker.comboBoxSelectionDidChange(c.sheetIndex));
            EXPECT_EQ(picker.Excel_Sheet_Number, c.sheetNumber);
            QStringList listed;
            for (const QVariantMap &entry : picker.ListData_xl)
                listed << entry.value(ExcelSheetPicker::kTitleKey).toString();
            EXPECT_EQ(listed, titles);
            for (const int column : c.ticked)
                picker.setTick(column, true);
            picker.contains_header = c.header;
            EXPECT_EQ(picker.OKPressed(store), 1);
            if (mode == QLatin1String("E")) {
                EXPECT_EQ(store.columnTitles(), boundTitles);
                EXPECT_EQ(store.ListData, rows);
                EXPECT_TRUE(manager.values.isEmpty());
            } else {
                EXPECT_EQ(manager.values, values);
                EXPECT_EQ(manager.fills, 0);
                EXPECT_TRUE(store.ListData.isEmpty());
            }
        }
    }
    EXPECT_TRUE(services->messages.isEmpty()) << services->messages.join(u'|').toStdString();
}

// Every sheet column has its entry, a sheet that cannot be read keeps the sheet that was chosen, and
// the list skips no part number.
TEST_F(ExcelSheetPickerTest, EachColumnKeepsItsEntryAndAnUnreadableSheetChangesNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(picker.Open(craftedWorkbook(dir)));
    EXPECT_EQ(picker.sheetNames(), (QStringList{"sheet1", "sheet2", "sheet3", "sheet5"}));
    picker.setTick(3, true);
    for (const int unreadable : {1, 2, 7}) {
        LogCapture log;
        QString error;
        EXPECT_FALSE(picker.comboBoxSelectionDidChange(unreadable, &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(log.lines(), QStringList{error});
        EXPECT_EQ(picker.chosenSheet(), 0);
        EXPECT_EQ(picker.Excel_Sheet_Number, 1);
    }
    QStringList listed;
    for (const QVariantMap &entry : picker.ListData_xl)
        listed << entry.value(ExcelSheetPicker::kTitleKey).toString();
    EXPECT_EQ(listed, (QStringList{"Name", "Untitled Column 2", "Untitled Column 3", "City"}));
    EXPECT_EQ(picker.tickedColumns(), QList<int>{3});

    picker.open_mode = QStringLiteral("E");
    EXPECT_EQ(picker.OKPressed(store), 1);
    EXPECT_EQ(store.columnTitles(), (QStringList{Data_From_Excel::kRowNumberTitle, "City"}));
    EXPECT_EQ(store.ListData, (QList<QVariantMap>{{{"Extension", "1"}, {"Column1", "Oslo"}}}));

    ASSERT_TRUE(picker.comboBoxSelectionDidChange(3));
    EXPECT_EQ(picker.Excel_Sheet_Number, 5);
    picker.Select_ALL_Pressed();
    EXPECT_EQ(picker.OKPressed(store), 1);
    EXPECT_EQ(store.ListData, (QList<QVariantMap>{{{"Extension", "1"}, {"Column1", "K-1"}}}));
    EXPECT_TRUE(services->messages.isEmpty());
}

// OK says what is missing and stays open; a workbook that cannot be read binds nothing; opening
// again starts over.
TEST_F(ExcelSheetPickerTest, OKSaysWhatIsMissingAndABadWorkbookBindsNothing)
{
    QTemporaryDir dir;
    store.bind({QStringLiteral("Kept")}, {{QStringLiteral("old")}});
    for (const QString &bad : {dataFile("evil-dotdot.xlsx"), dataFile("evil-absolute.xlsx"), dir.path(),
                               dir.filePath(QStringLiteral("missing.xlsx"))}) {
        SCOPED_TRACE(bad.toStdString());
        LogCapture log;
        QString error;
        EXPECT_FALSE(picker.Open(bad, &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_TRUE(picker.sheetNames().isEmpty());
        EXPECT_TRUE(picker.ListData_xl.isEmpty());
    }
    EXPECT_EQ(picker.OKPressed(store), std::nullopt);
    EXPECT_EQ(services->messages, QStringList{QStringLiteral("\nThere is no column.")});

    ASSERT_TRUE(picker.Open(dataFile("lo-twelve-sheets.xlsx")));
    ASSERT_TRUE(picker.comboBoxSelectionDidChange(4));
    picker.contains_header = false;
    picker.Select_ALL_Pressed();
    picker.Clear_All_Pressed();
    EXPECT_EQ(picker.OKPressed(store), std::nullopt);
    EXPECT_EQ(services->messages.value(1), QStringLiteral("\nNo column is selected."));

    // Mode "D" with no series being edited takes nothing.
    picker.setTick(0, true);
    picker.open_mode = QStringLiteral("D");
    {
        LogCapture log;
        EXPECT_EQ(picker.OKPressed(store), 0);
        EXPECT_EQ(log.lines().size(), 1);
    }
    EXPECT_EQ(picker.CancelPressed(), 0);

    // A workbook spoilt after its columns were listed binds nothing and says so.
    const QString copy = dir.filePath(QStringLiteral("copy.xlsx"));
    ASSERT_TRUE(QFile::copy(dataFile("lo-plain.xlsx"), copy));
    ASSERT_TRUE(picker.Open(copy));
    picker.setTick(0, true);
    picker.open_mode = QStringLiteral("E");
    QFile spoilt(copy);
    ASSERT_TRUE(spoilt.open(QIODevice::WriteOnly | QIODevice::Truncate));
    spoilt.write("PK\x03\x04 no longer a workbook");
    spoilt.close();
    {
        LogCapture log;
        EXPECT_EQ(picker.OKPressed(store), 0);
        EXPECT_EQ(log.lines().size(), 1);
    }
    EXPECT_EQ(services->messages.value(2), QLatin1Char('\n') + ExcelSheetPicker::kUnreadable);
    EXPECT_EQ(store.ListData.size(), 1);

    ASSERT_TRUE(picker.Open(dataFile("lo-twelve-sheets.xlsx")));
    EXPECT_EQ(picker.Excel_Sheet_Number, 1);
    EXPECT_TRUE(picker.contains_header);
    EXPECT_TRUE(picker.tickedColumns().isEmpty());
    EXPECT_EQ(store.columnTitles(), (QStringList{Data_From_Excel::kRowNumberTitle, "Kept"}));
}

// A binding the picker made comes back from a design file with the same titles and values.
TEST_F(ExcelSheetPickerTest, ABindingComesBackThroughTheDesignFile)
{
    ASSERT_TRUE(picker.Open(dataFile("lo-features.xlsx")));
    picker.open_mode = QStringLiteral("E");
    picker.setTick(1, true);
    picker.setTick(4, true);
    ASSERT_EQ(picker.OKPressed(store), 1);
    const QStringList titles = store.columnTitles();
    const QList<QVariantMap> rows = store.ListData;
    ASSERT_EQ(rows.size(), 5);

    DesignFileContents contents;
    contents.Excel_Binding_Use = true;
    contents.Excel_Source_Path = dataFile("lo-features.xlsx");
    contents.excelColumnTitles = titles;
    contents.excelRows = rows;
    QString error;
    const std::optional<DesignFileContents> back = DesignFile::read(DesignFile::data(contents), &error);
    ASSERT_TRUE(back) << error.toStdString();
    store.reset();
    store.setColumnTitles(back->excelColumnTitles);
    store.setListData(back->excelRows);
    EXPECT_EQ(store.columnTitles(), titles);
    EXPECT_EQ(store.ListData, rows);
    EXPECT_EQ(store.Get_First_Value_Of_Excel_Binding(2), QStringLiteral("Bold and italic"));
}
