#include "../CorpusTables.h"

#include "canvas/ui/PleaseWait_Modeless.h"
#include "core/AppState.h"
#include "datasource/Data_From_Excel.h"
#include "datasource/SeriesStore.h"
#include "datasource/SpreadsheetWriter.h"
#include "datasource/ui/ExcelRowsWindow.h"
#include "datasource/ui/Import_Excel.h"
#include "datasource/ui/Import_Excel_DataSheet.h"
#include "fixtures/ScriptedServices.h"
#include "fixtures/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

void click(QWidget &window, const char *name)
{
    window.findChild<QPushButton *>(QLatin1String(name))->click();
}

class ExcelWindowsTest : public ::testing::Test {
protected:
    void SetUp() override { excel.reset(); }
    void TearDown() override { excel.reset(); }

    Data_From_Excel &excel = *Data_From_Excel::defaultInstance();
    ScopedScriptedServices services;
};

} // namespace

// The picker's controls make its choice (sheet, ticks, header box); OK binds the columns, and the
// rows window shows them with their counts.
TEST_F(ExcelWindowsTest, ThePickerBindsWhatItsControlsChoseAndTheRowsWindowShowsIt)
{
    Import_Excel picker;
    picker.setOpen_mode(QStringLiteral("E"));
    ASSERT_TRUE(picker.Load_file_Func(dataFile("lo-twelve-sheets.xlsx")));
    EXPECT_EQ(picker.Sheet_ComboBox->itemText(9), QStringLiteral("Oct"));
    picker.Sheet_ComboBox->setCurrentIndex(9);
    QAbstractItemModel &columns = *picker.ColList->model();
    ASSERT_EQ(columns.rowCount(), 3);
    EXPECT_EQ(columns.index(2, 1).data().toString(), QStringLiteral("Value"));
    EXPECT_TRUE(columns.setData(columns.index(2, 0), Qt::Checked, Qt::CheckStateRole));
    picker.contains_header->setChecked(false);
    click(picker, "OK_btn");
    EXPECT_EQ(picker.result(), 1);

    ExcelRowsWindow table(excel);
    ASSERT_EQ(excel.ListData.size(), 11) << "the title row is a record too";
    EXPECT_EQ(table.ColList->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Value"));
    EXPECT_EQ(table.ColList->model()->index(10, 1).data().toString(), QStringLiteral("1010"));
    QTimer::singleShot(0, &table, [&] {
        EXPECT_EQ(table.rows_count->text() + u'/' + table.column_count->text(), QStringLiteral("11/2"));
        table.Mark_List_New_Selection(4);
        click(table, "OK_btn");
    });
    EXPECT_EQ(table.Open_Wnd(), 1);
    EXPECT_EQ(table.ColList->selectionModel()->selectedRows().value(0).row(), 4);

    click(picker, "Clear_All_btn");
    click(picker, "OK_btn");
    click(picker, "Cancel_btn");
    EXPECT_EQ(picker.result(), 0);
    EXPECT_EQ(services->messages, QStringList{QStringLiteral("\nNo column is selected.")});
    EXPECT_EQ(excel.ListData.size(), 11);

    // A workbook that cannot be read is said so, and the picker does not open.
    EXPECT_EQ(picker.Open_excel_Wnd(dataFile("evil-dotdot.xlsx")), 0);
    EXPECT_TRUE(services->messages.value(1).startsWith(QStringLiteral("\nEither file is corrupted")));
    EXPECT_EQ(picker.Sheet_ComboBox->count(), 0);
}

// Every window that reads a workbook shows why it cannot under its own message: opening it, and
// taking the ticked columns of a sheet or choosing another sheet once the workbook was spoilt. The
// profile dialogs' Excel browse is the picker in mode "E".
TEST_F(ExcelWindowsTest, EveryWindowShowsWhyTheWorkbookCannotBeRead)
{
    AppFixture app; // the import lists and writes series in its data folder
    ASSERT_TRUE(QDir().mkpath(App().Data_Folder_Path));
    QTemporaryDir dir;
    const QString book = dir.filePath(QStringLiteral("book.xlsx"));
    const auto spoil = [&] { return writeFileBytes(book, "Name,City\n"); };
    const QString reason = QStringLiteral("The file \"book.xlsx\" is not a workbook or is damaged.");
    const QString unreadable = ExcelSheetPicker::unreadable(reason);
    const struct {
        const char *what;
        std::function<void()> run;
        QString message;
    } cases[] = {
        {"the picker opening it", [&] {
             ASSERT_TRUE(spoil());
             EXPECT_EQ(Import_Excel().Open_excel_Wnd(book), 0);
         }, unreadable},
        {"the picker taking the ticked columns", [&] {
             Import_Excel picker;
             picker.setOpen_mode(QStringLiteral("E"));
             ASSERT_TRUE(picker.Load_file_Func(book));
             picker.picker.setTick(0, true);
             ASSERT_TRUE(spoil());
             picker.OKPressed();
         }, unreadable},
        {"the picker choosing another sheet", [&] {
             Import_Excel picker;
             ASSERT_TRUE(picker.Load_file_Func(book) && spoil());
             picker.Sheet_ComboBox->setCurrentIndex(1);
         }, reason},
        {"the import opening it", [&] {
             ASSERT_TRUE(spoil());
             EXPECT_EQ(Import_Excel_DataSheet().Open_excel_Wnd(book), 0);
         }, unreadable},
        {"the import making a series of each ticked column", [&] {
             Import_Excel_DataSheet import;
             ASSERT_TRUE(import.Load_file_Func(book));
             import.import.picker.setTick(0, true);
             ASSERT_TRUE(spoil());
             import.OKPressed();
         }, ExcelSeriesImport::kNoRows + QStringLiteral("\n\n") + reason},
        {"the import filling one series", [&] {
             Import_Excel_DataSheet import;
             ASSERT_TRUE(import.Load_file_Func(book));
             import.import.picker.setTick(0, true);
             import.Fill_col_RD->click();
             import.list_name->setText(QStringLiteral("Fresh"));
             ASSERT_TRUE(spoil());
             import.OKPressed();
         }, unreadable},
        {"the import choosing another sheet", [&] {
             Import_Excel_DataSheet import;
             ASSERT_TRUE(import.Load_file_Func(book) && spoil());
             import.Sheet_ComboBox->setCurrentIndex(1);
         }, reason},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(book);
        ASSERT_TRUE(QFile::copy(dataFile("lo-twelve-sheets.xlsx"), book));
        services->messages.clear();
        c.run();
        EXPECT_EQ(services->messages, QStringList{u'\n' + c.message});
    }
    EXPECT_TRUE(Get_datasheet_File_Name_Array().isEmpty());
}

// The picker's waiting sheet is up while the workbook is read, not behind the question about a
// title that stands twice, asked before the sheet is taken.
TEST_F(ExcelWindowsTest, ThePickersWaitingSheetIsDownWhileItAsks)
{
    AppFixture app; // the workbooks are written from its template
    QTemporaryDir dir;
    QList<Data_From_Excel::BoundField> fields;
    const platform::Subscription listing = excel.listBoundFields.subscribe(
        [&fields](QList<Data_From_Excel::BoundField> &listed) { listed << fields; });
    Import_Excel picker;
    picker.setOpen_mode(QStringLiteral("E"));
    const auto take = [&](const QStringList &titles) {
        const QString path = dir.filePath(titles.join('-') + ".xlsx");
        EXPECT_TRUE(SpreadsheetWriter::WriteWorkbook(path, {titles, titles}, true));
        EXPECT_TRUE(picker.Load_file_Func(path));
        picker.Select_ALL_Pressed();
        picker.setResult(0);
        picker.OKPressed();
        return picker.result();
    };
    ASSERT_EQ(take({"Name", "Email"}), 1);
    fields = {{"Front: Name", 1}};
    std::optional<bool> sheetUp;
    services->whileAsking = [&] { sheetUp = picker.plz_wait_Window->isVisible(); };
    services->yesNoAnswers = {true};
    EXPECT_EQ(take({"Name", "Number", "Name"}), 1);
    ASSERT_TRUE(sheetUp.has_value()) << "the question was asked";
    EXPECT_FALSE(*sheetUp);
    EXPECT_FALSE(picker.plz_wait_Window->isVisible());
}

TEST_F(ExcelWindowsTest, BothWindowsRenderForALook)
{
    Import_Excel *picker = Import_Excel::defaultInstance();
    EXPECT_EQ(picker->palette().color(QPalette::Window), QColor(241, 244, 250));
    picker->file_path->setText(dataFile("lo-features.xlsx"));
    ASSERT_TRUE(picker->Load_file_Func(dataFile("lo-features.xlsx")));
    picker->picker.setTick(1, true);
    picker->picker.setTick(4, true);
    picker->show();
    picker->adjustSize();
    EXPECT_TRUE(picker->grab().save(testOutputPath(QStringLiteral("Import_Excel.png"))));
    picker->setOpen_mode(QStringLiteral("E"));
    picker->OKPressed();

    ExcelRowsWindow *table = ExcelRowsWindow::defaultInstance();
    table->showCounts();
    table->show();
    table->adjustSize();
    EXPECT_TRUE(table->grab().save(testOutputPath(QStringLiteral("Data_From_Excel.png"))));
    table->hide();
}
