#include "DesignWindowFixture.h"

#include "datasource/SeriesStore.h"
#include "datasource/ui/BatchWizard.h"
#include "datasource/ui/Generate_List.h"
#include "datasource/ui/Import_Wizard.h"
#include "document/SKTGraphicKinds.h"

#include <QAction>
#include <QLineEdit>
#include <QMainWindow>
#include <QTimer>

namespace {

class SeriesCommandsTest : public DesignWindowTest {
protected:
    void SetUp() override
    {
        DesignWindowTest::SetUp();
        load();
    }
    void trigger(const char *action) { window->Main_wnd->findChild<QAction *>(QLatin1String(action))->trigger(); }
};

} // namespace

// The Series menu runs the manager, which asks the design whether a series is in use, and the
// wizard in the mode that writes a new series.
TEST_F(SeriesCommandsTest, TheSeriesMenuOpensTheManagerAndTheWizard)
{
    writeFile(QStringLiteral("DataSet/Guests.txt"), "Ann\n");
    auto text = std::make_shared<SKTText>();
    text->Set_Data_source_type(1);
    text->Set_Batch_List_Name(QStringLiteral("Guests"));
    document->insertGraphics({text}, {0});
    BatchWizard *manager = BatchWizard::defaultInstance();
    QTimer::singleShot(0, manager, [manager] {
        EXPECT_TRUE(manager->isVisible());
        EXPECT_EQ(manager->editor.ListData.size(), 1);
        EXPECT_TRUE(manager->editor.inUse(QStringLiteral("Guests")));
        manager->Close_Btn_Clicked();
    });
    trigger("Batch_Series_action");
    EXPECT_FALSE(manager->isVisible());

    Import_Wizard *wizard = Import_Wizard::defaultInstance();
    wizard->file_name_Insert = 1;
    QTimer::singleShot(0, wizard, [wizard] {
        EXPECT_EQ(wizard->file_name_required * 10 + wizard->file_name_Insert, 10);
        EXPECT_TRUE(wizard->Text_file_name->isVisible());
        wizard->CancelPressed();
    });
    trigger("Import_Wizard_action");
}

TEST_F(SeriesCommandsTest, CreateSeriesOpensTheGeneratorForANewSeriesFile)
{
    Generate_List *generator = Generate_List::defaultInstance();
    generator->file_name_required = 0;
    generator->file_name_Insert = 1;
    QTimer::singleShot(0, generator, [generator] {
        EXPECT_EQ(generator->file_name_required * 10 + generator->file_name_Insert, 10);
        generator->from_txt->setText(QStringLiteral("1"));
        generator->to_txt->setText(QStringLiteral("3"));
        generator->OKPressed();
    });
    trigger("Create_Series_action");
    EXPECT_EQ(Get_datasheet_File_Name_Array(), QStringList{QStringLiteral("Untitled")});
    EXPECT_EQ(Get_First_Value_Of_Dataset(QStringLiteral("Untitled")), QStringLiteral("1"));
}
