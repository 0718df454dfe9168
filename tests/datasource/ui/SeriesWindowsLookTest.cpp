#include "core/AppState.h"
#include "datasource/SeriesStore.h"
#include "datasource/SpreadsheetWriter.h"
#include "datasource/ui/Generate_List.h"
#include "datasource/ui/Import_Excel_DataSheet.h"
#include "datasource/ui/Long_SMS_Dlg.h"
#include "datasource/ui/View_Data_Series.h"
#include "fixtures/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

namespace {

// Grabs the dialog once it shows, then closes it.
void shootWhileOpen(QDialog *dialog, const QString &file)
{
    QTimer::singleShot(0, dialog, [dialog, file] {
        EXPECT_TRUE(dialog->grab().toImage().save(testOutputPath(file)));
        dialog->done(0);
    });
}

} // namespace

TEST(SeriesWindowsLook, TheSeriesWindowsForALook)
{
    AppFixture app;
    ASSERT_TRUE(QDir().mkpath(App().Data_Folder_Path));
    QStringList values;
    for (int n = 1; n <= 250; ++n)
        values << QStringLiteral("Guest %1").arg(n, 3, 10, QLatin1Char('0'));
    ASSERT_TRUE(Write_Series_File(QStringLiteral("Guests"), values));
    shootWhileOpen(View_Data_Series::defaultInstance(), QStringLiteral("series-viewer.png"));
    View_Data_Series::Open_Series(QStringLiteral("Guests"));

    shootWhileOpen(Long_SMS_Dlg::defaultInstance(), QStringLiteral("long-message-question.png"));
    Long_SMS_Dlg::Ask_Question(QStringLiteral("Batch Processing Series already exists :"),
                               QStringLiteral("Guests\nBatch Processing Series already exists. Do you want to replace it?"),
                               true);
    shootWhileOpen(Long_SMS_Dlg::defaultInstance(), QStringLiteral("long-message-information.png"));
    Long_SMS_Dlg::Show_Information(QStringLiteral("Version :"),
                                   QStringLiteral("Version is configuration or number of modules (combination of black "
                                                  "and white dots).\n\nA higher version holds more data."));

    Generate_List *generator = Generate_List::defaultInstance();
    generator->file_name_required = 1;
    QTimer::singleShot(0, generator, [generator] {
        generator->prefix_txt->setText(QStringLiteral("INV-"));
        generator->from_txt->setText(QStringLiteral("1"));
        generator->to_txt->setText(QStringLiteral("200"));
    });
    shootWhileOpen(generator, QStringLiteral("series-generator.png"));
    generator->Open_Wnd();

    QTemporaryDir dir;
    const QString workbook = dir.filePath(QStringLiteral("guests.xlsx"));
    ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(
        workbook, {{"Name", "Company", "City", "Table"}, {"Ann Lee", "Lee & Co", "Paris", "4"}}, true));
    Import_Excel_DataSheet *sheet = Import_Excel_DataSheet::defaultInstance();
    QTimer::singleShot(0, sheet, [sheet] {
        sheet->import.picker.setTick(0, true);
        sheet->import.picker.setTick(3, true);
        sheet->Each_Col_RD_Click();
        EXPECT_TRUE(sheet->grab().toImage().save(testOutputPath(QStringLiteral("series-from-sheet-each.png"))));
        sheet->Fill_col_RD->click();
        sheet->Fill_Type_CellClick(2);
    });
    shootWhileOpen(sheet, QStringLiteral("series-from-sheet-fill.png"));
    sheet->Open_excel_Wnd(workbook);
}
