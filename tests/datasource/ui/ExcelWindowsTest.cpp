#include "../CorpusTables.h"

#include "datasource/Data_From_Excel.h"
#include "datasource/ui/ExcelRowsWindow.h"
#include "datasource/ui/Import_Excel.h"
#include "fixtures/ScriptedServices.h"
#include "fixtures/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
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
