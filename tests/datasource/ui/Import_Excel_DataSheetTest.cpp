#include "core/AppState.h"
#include "datasource/SeriesStore.h"
#include "datasource/SpreadsheetWriter.h"
#include "datasource/ui/Import_Excel_DataSheet.h"
#include "datasource/ui/Import_Wizard.h"
#include "datasource/ui/Long_SMS_Dlg.h"
#include "fixtures/EventLoop.h"
#include "fixtures/ScriptedServices.h"
#include "fixtures/TestSupport.h"

#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

namespace {

class ImportExcelDataSheetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(App().Data_Folder_Path));
        workbook = dir.filePath(QStringLiteral("guests.xlsx"));
        ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(
            workbook, {{"Name", "Table"}, {"Ann", "1"}, {"Bob", "2"}}, true));
        ASSERT_TRUE(Write_Series_File(QStringLiteral("Guests"), {QStringLiteral("old")}));
    }

    static QByteArray file(const QString &name)
    {
        QFile in(Series_File_Path(name));
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray("<none>");
    }

    AppFixture app;
    ScopedScriptedServices services;
    QTemporaryDir dir;
    QString workbook;
};

} // namespace

// From the import wizard's series-file mode: the columns are named in the table and an existing
// series is asked about in the long-message dialog.
TEST_F(ImportExcelDataSheetTest, TheWizardOpensTheSheetImportWhoseControlsMakeTheSeries)
{
    Import_Wizard *wizard = Import_Wizard::defaultInstance();
    wizard->file_name_required = 1;
    Import_Excel_DataSheet *sheet = Import_Excel_DataSheet::defaultInstance();
    QString asked;
    QTimer::singleShot(0, wizard, [&] {
        EXPECT_FALSE(wizard->Excel_file_name->isVisible());
        wizard->Excel_path->setText(workbook);
        whenShown(sheet, [&] {
            EXPECT_TRUE(sheet->Each_col_RD->isChecked());
            EXPECT_FALSE(sheet->list_name->isEnabled());
            QAbstractItemModel &columns = *sheet->ColList->model();
            ASSERT_EQ(columns.rowCount(), 2);
            EXPECT_FALSE(sheet->ColList->isColumnHidden(2));
            EXPECT_TRUE(columns.setData(columns.index(0, 2), QStringLiteral("Guests")));
            EXPECT_TRUE(columns.setData(columns.index(0, 0), Qt::Checked, Qt::CheckStateRole));
            EXPECT_TRUE(columns.setData(columns.index(1, 0), Qt::Checked, Qt::CheckStateRole));
            whenShown(Long_SMS_Dlg::defaultInstance(), [&] {
                Long_SMS_Dlg *dialog = Long_SMS_Dlg::defaultInstance();
                asked = dialog->m_Msg_Title->text();
                EXPECT_TRUE(dialog->apply_chk->isVisible());
                dialog->yes_button->click();
            });
            sheet->findChild<QPushButton *>(QStringLiteral("OK_btn"))->click();
        });
        wizard->OKPressed();
    });
    EXPECT_EQ(wizard->Open_Wnd(), 1);
    EXPECT_EQ(asked, QStringLiteral("Batch Processing Series already exists :"));
    EXPECT_EQ(file(QStringLiteral("Guests")), QByteArray("Ann\nBob\n"));
    EXPECT_EQ(file(QStringLiteral("Table")), QByteArray("1\n2\n"));
}
