#include "../CorpusTables.h"

#include "core/AppState.h"
#include "datasource/ui/BatchWizard.h"
#include "datasource/ui/Generate_List.h"
#include "datasource/ui/Import_Wizard.h"
#include "fixtures/ScriptedServices.h"
#include "fixtures/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

void click(QWidget &window, const char *name)
{
    window.findChild<QPushButton *>(QLatin1String(name))->click();
}

class SeriesWindowsTest : public ::testing::Test {
protected:
    SeriesWindowsTest()
    {
        QDir().mkpath(App().Data_Folder_Path);
        QFile file(App().Data_Folder_Path + QStringLiteral("/Guests.txt"));
        if (file.open(QIODevice::WriteOnly))
            file.write("Ann\nBob\n");
    }

    AppFixture app;
    ScopedScriptedServices ui;
};

} // namespace

// The manager opens a series, edits a value in its dialog, asks before Back or Close drops the
// edit, and its value-list Import fills the series through the wizard.
TEST_F(SeriesWindowsTest, TheManagerEditsAndImportsAndAsksBeforeDroppingValues)
{
    BatchWizard manager;
    QTimer::singleShot(0, &manager, [&] {
        ASSERT_EQ(manager.List->model()->rowCount(), 1);
        EXPECT_EQ(manager.batch_list_count->text(), QStringLiteral("Total List : 1"));
        manager.List->selectRow(0);
        click(manager, "Update_btn");
        ASSERT_TRUE(manager.showsValues());
        EXPECT_EQ(manager.batch_list_name->text(), QStringLiteral("Guests"));
        manager.List_value->selectRow(1);
        QTimer::singleShot(0, manager.Update_Value_Wnd, [&] {
            manager.Update_m_ex_num_str->setText(QStringLiteral(" Bea "));
            click(*manager.Update_Value_Wnd, "Update_OK_btn");
        });
        manager.doubleClickTable(manager.List_value);
        EXPECT_EQ(manager.List_value->model()->index(1, 0).data().toString(), QStringLiteral("Bea"));

        Import_Wizard *wizard = Import_Wizard::defaultInstance();
        QTimer::singleShot(0, wizard, [wizard] {
            EXPECT_FALSE(wizard->Manual_file_name->isVisible());
            wizard->Mnul_RD->click();
            wizard->ManualEdit->setPlainText(QStringLiteral("Cy\n\n Dee \n"));
            click(*wizard, "OK_btn");
        });
        ui->yesNoAnswers = {false, std::nullopt, std::nullopt, false};
        click(manager, "Import_Value_btn");
        manager.reloadTables();
        EXPECT_EQ(manager.batch_value_count->text(), QStringLiteral("Total Rows : 4"));
        EXPECT_EQ(manager.List_value->model()->index(3, 0).data().toString(), QStringLiteral("Dee"));
        click(manager, "Back_btn");
        click(manager, "Close_Value_btn");
        EXPECT_TRUE(manager.isVisible());
        click(manager, "Close_Value_btn");
    });
    EXPECT_EQ(manager.Open_Wnd(), 0);
    EXPECT_EQ(ui->questions.size(), 4);
    QFile file(App().Data_Folder_Path + QStringLiteral("/Guests.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "Ann\nBob\n");
}

// Generate on the list screen writes a new series file; on the values screen it appends to the
// series being edited once the user chose to keep its values.
TEST_F(SeriesWindowsTest, TheManagersGenerateButtonsMakeASeriesOrAddToTheEditedOne)
{
    BatchWizard manager;
    Generate_List *generator = Generate_List::defaultInstance();
    QTimer::singleShot(0, &manager, [&] {
        QTimer::singleShot(0, generator, [generator] {
            EXPECT_TRUE(generator->seq_file_name->isVisible());
            generator->radioButton_Sequntial->click();
            generator->seq_file_name->setText(QStringLiteral("Numbers"));
            generator->from_txt->setText(QStringLiteral("1"));
            generator->to_txt->setText(QStringLiteral("3"));
            generator->OKPressed();
        });
        click(manager, "Generate_btn");
        EXPECT_EQ(manager.List->model()->rowCount(), 2);

        manager.List->selectRow(manager.List->model()->index(0, 0).data().toString() == QLatin1String("Guests") ? 0 : 1);
        click(manager, "Update_btn");
        ASSERT_TRUE(manager.showsValues());
        QTimer::singleShot(0, generator, [generator] {
            EXPECT_FALSE(generator->const_file_name->isVisible());
            generator->radioButton_Constant->click();
            generator->value_txt->setText(QStringLiteral("Zed"));
            generator->count_txt->setText(QStringLiteral("2"));
            generator->OKPressed();
        });
        ui->yesNoAnswers = {false};
        click(manager, "Generate_Value_btn");
        manager.reloadTables();
        EXPECT_EQ(manager.batch_value_count->text(), QStringLiteral("Total Rows : 4"));
        EXPECT_EQ(manager.List_value->model()->index(3, 0).data().toString(), QStringLiteral("Zed"));
        ui->yesNoAnswers = {false};
        click(manager, "Close_Value_btn");
    });
    manager.Open_Wnd();
    QFile file(App().Data_Folder_Path + QStringLiteral("/Numbers.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "1\n2\n3\n");
}

// From the design window the wizard asks for a name and writes a new series; a browsed file is
// imported at once. A name that would never be listed is refused, saying why, and the wizard stays.
TEST_F(SeriesWindowsTest, TheWizardWritesANewSeriesFromABrowsedFile)
{
    Import_Wizard *wizard = Import_Wizard::defaultInstance();
    wizard->file_name_required = 1;
    wizard->file_name_Insert = 0;
    ui->fileAnswers = {dataFile("csv-one-column.csv"), dataFile("csv-one-column.csv")};
    QTimer::singleShot(0, wizard, [this, wizard] {
        EXPECT_TRUE(wizard->Excel_RD->isChecked());
        EXPECT_FALSE(wizard->Text_path->isEnabled());
        wizard->Text_RD->click();
        EXPECT_EQ(wizard->Text_file_name->text(), QStringLiteral("Untitled"));
        wizard->Text_file_name->setText(QStringLiteral(".Codes"));
        click(*wizard, "Text_btn");
        EXPECT_EQ(ui->messages, QStringList{"\nThis series name cannot be used.\n\nA series name cannot begin with \".\", which would "
                                            "hide it from the list of series."});
        wizard->Text_file_name->setText(QStringLiteral("Codes"));
        click(*wizard, "Text_btn");
    });
    EXPECT_EQ(wizard->Open_Wnd(), 1);
    QFile file(App().Data_Folder_Path + QStringLiteral("/Codes.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "Code\nA-001\nB-002\nC 003\n007\n");
}

TEST_F(SeriesWindowsTest, BothWindowsRenderForALook)
{
    BatchWizard manager;
    manager.editor.Fill_List();
    manager.List->selectRow(0);
    manager.show();
    manager.adjustSize();
    EXPECT_TRUE(manager.grab().save(testOutputPath(QStringLiteral("BatchWizard_list.png"))));
    manager.Update_Btn_Clicked();
    EXPECT_TRUE(manager.grab().save(testOutputPath(QStringLiteral("BatchWizard_values.png"))));
    manager.hide();

    Import_Wizard *wizard = Import_Wizard::defaultInstance();
    wizard->file_name_required = 1;
    QTimer::singleShot(0, wizard, [wizard] {
        wizard->Text_RD->click();
        wizard->Text_path->setText(dataFile("list-styled.rtf"));
        wizard->adjustSize();
        EXPECT_TRUE(wizard->grab().save(testOutputPath(QStringLiteral("Import_Wizard.png"))));
        wizard->CancelPressed();
    });
    EXPECT_EQ(wizard->Open_Wnd(), 0);
}
