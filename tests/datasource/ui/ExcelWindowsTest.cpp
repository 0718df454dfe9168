#include "datasource/ui/ExcelRowsWindow.h"
#include "datasource/ui/Import_Excel.h"

#include "datasource/Data_From_Excel.h"
#include "fixtures/ScriptedServices.h"
#include "fixtures/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

QString dataFile(const QString &name)
{
    return QStringLiteral(CARD_DATASOURCE_TEST_DATA "/") + name;
}

class ExcelWindowsTest : public ::testing::Test {
protected:
    void SetUp() override { excel.reset(); }
    void TearDown() override { excel.reset(); }

    QPushButton *button(QWidget &window, const char *name)
    {
        return window.findChild<QPushButton *>(QLatin1String(name));
    }

    Data_From_Excel &excel = *Data_From_Excel::defaultInstance();
    ScopedScriptedServices services;
};

} // namespace

// The picker's controls drive its choice: the sheet from the list, the ticks in the column list and
// the header box; OK binds the columns, and the binding table window shows them.
TEST_F(ExcelWindowsTest, ThePickerBindsWhatItsControlsChoseAndTheTableShowsIt)
{
    Import_Excel picker;
    picker.setOpen_mode(QStringLiteral("E"));
    ASSERT_TRUE(picker.Load_file_Func(dataFile("lo-twelve-sheets.xlsx")));
    ASSERT_EQ(picker.Sheet_ComboBox->count(), 12);
    EXPECT_EQ(picker.Sheet_ComboBox->itemText(9), QStringLiteral("sheet10"));
    EXPECT_TRUE(picker.contains_header->isChecked());

    picker.Sheet_ComboBox->setCurrentIndex(9);
    EXPECT_EQ(picker.picker.Excel_Sheet_Number, 10);
    QAbstractItemModel &columns = *picker.ColList->model();
    ASSERT_EQ(columns.rowCount(), 3);
    EXPECT_EQ(columns.index(2, 1).data().toString(), QStringLiteral("Value"));
    EXPECT_FALSE(columns.flags(columns.index(2, 1)) & Qt::ItemIsEditable);
    EXPECT_TRUE(columns.setData(columns.index(2, 0), Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(columns.index(2, 0).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    picker.contains_header->setChecked(false);
    button(picker, "OK_btn")->click();
    EXPECT_EQ(picker.result(), 1);
    EXPECT_TRUE(services->messages.isEmpty());

    ExcelRowsWindow table(excel);
    ASSERT_EQ(excel.ListData.size(), 11) << "the title row is a record too";
    EXPECT_EQ(excel.ListData.first(), (QVariantMap{{"Extension", "1"}, {"Column1", "Value"}}));
    QAbstractItemModel &rows = *table.ColList->model();
    EXPECT_EQ(rows.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Value"));
    EXPECT_EQ(rows.index(10, 1).data().toString(), QStringLiteral("1010"));
    QTimer::singleShot(0, &table, [&] {
        EXPECT_EQ(table.rows_count->text(), QStringLiteral("11"));
        EXPECT_EQ(table.column_count->text(), QStringLiteral("2"));
        table.Mark_List_New_Selection(4);
        button(table, "OK_btn")->click();
    });
    EXPECT_EQ(table.Open_Wnd(), 1);
    EXPECT_EQ(table.ColList->selectionModel()->selectedRows().value(0).row(), 4);

    // Select all and clear all tick every column; Cancel takes nothing.
    button(picker, "Select_ALL_btn")->click();
    EXPECT_EQ(picker.picker.tickedColumns(), (QList<int>{0, 1, 2}));
    button(picker, "Clear_All_btn")->click();
    EXPECT_TRUE(picker.picker.tickedColumns().isEmpty());
    button(picker, "OK_btn")->click();
    EXPECT_EQ(services->messages, QStringList{QStringLiteral("\nNo column is selected.")});
    button(picker, "Cancel_btn")->click();
    EXPECT_EQ(picker.result(), 0);
    EXPECT_EQ(excel.ListData.size(), 11);
}

// A workbook that cannot be read is said so and the picker does not open.
TEST_F(ExcelWindowsTest, AnUnreadableWorkbookIsSaidSoWithoutOpeningThePicker)
{
    Import_Excel picker;
    EXPECT_EQ(picker.Open_excel_Wnd(dataFile("evil-dotdot.xlsx")), 0);
    EXPECT_FALSE(picker.isVisible());
    ASSERT_EQ(services->messages.size(), 1);
    EXPECT_TRUE(services->messages.first().startsWith(QStringLiteral("\nEither file is corrupted")));
    EXPECT_EQ(picker.Sheet_ComboBox->count(), 0);
    EXPECT_EQ(picker.file_path->text(), dataFile("evil-dotdot.xlsx"));
}

TEST_F(ExcelWindowsTest, BothWindowsRenderForALook)
{
    Import_Excel *picker = Import_Excel::defaultInstance();
    EXPECT_EQ(picker, Import_Excel::defaultInstance());
    EXPECT_EQ(picker->palette().color(QPalette::Window), QColor(241, 244, 250));
    picker->file_path->setText(dataFile("lo-features.xlsx"));
    ASSERT_TRUE(picker->Load_file_Func(dataFile("lo-features.xlsx")));
    picker->picker.setTick(1, true);
    picker->picker.setTick(4, true);
    picker->show();
    picker->adjustSize();
    EXPECT_TRUE(picker->grab().save(testOutputPath(QStringLiteral("Import_Excel.png"))));
    picker->picker.open_mode = QStringLiteral("E");
    picker->OKPressed();

    ExcelRowsWindow *table = ExcelRowsWindow::defaultInstance();
    EXPECT_EQ(table->palette().color(QPalette::Window), QColor(241, 244, 250));
    table->showCounts();
    table->show();
    table->adjustSize();
    EXPECT_TRUE(table->grab().save(testOutputPath(QStringLiteral("Data_From_Excel.png"))));
    table->hide();
}
