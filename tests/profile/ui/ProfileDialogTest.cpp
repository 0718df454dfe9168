#include "core/AppState.h"
#include "datasource/Data_From_Excel.h"
#include "datasource/DataSourceState.h"
#include "datasource/ui/Import_Excel.h"
#include "datasource/ui/Import_Wizard.h"
#include "document/SKTGraphicList.h"
#include "fixtures/EventLoop.h"
#include "fixtures/HangGuard.h"
#include "fixtures/ScriptedServices.h"
#include "fixtures/TestSupport.h"
#include "profile/ProfilePlacement.h"
#include "profile/User_Profile_Class.h"
#include "profile/ui/ProfileDialogHost.h"
#include "profile/ui/Show_User_Profile.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>


namespace {

const auto &fields = User_Profile_Fields();

// The design window as the dialogs see it: a side of objects and the three profiles.
class RecordingProfileHost : public ProfileDialogHost {
public:
    RecordingProfileHost() { front.Reset_All_Values(), back.Reset_All_Values(), temp.Reset_All_Values(); }
    User_Profile_Class &profile(Profile which) override { return which == Front ? front : which == Back ? back : temp; }
    bool backShown() const override { return false; }
    GraphicList shownSideObjects() const override { return side.items(); }
    QImage sidePicture(const GraphicList &) override { return QImage(); }
    GraphicList previewTempProfile() override { return {}; }
    void View_Data_Series(const QString &name) override { viewed << name; }
    void Batch_Series_Button() override {}

    User_Profile_Class front, back, temp;
    SKTGraphicList side;
    QStringList viewed;
};

void writeSeries(const QString &name, const QByteArray &bytes)
{
    QDir().mkpath(App().Data_Folder_Path);
    QFile file(QDir(App().Data_Folder_Path).filePath(name + ".txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class ProfileDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeSeries("Alpha", "a1\na2\n");
        writeSeries("Beta", "b1\n");
        Data_From_Excel::defaultInstance()->bind({"Given", "Photo"}, {{"Cy", "/p/cy.png"}, {"Di", "/p/di.png"}});
        dialog.setHost(&host);
        dialog.Add_Excel_in_Data_Source_Combo();
    }
    void TearDown() override
    {
        dialog.Remove_Excel_in_Data_Source_Combo();
        Data_From_Excel::defaultInstance()->reset();
    }
    QLineEdit *valueBox(int row) { return dialog.rows[row].value ? dialog.rows[row].value : dialog.image_path_val; }

    AppFixture app;
    ScopedScriptedServices services;
    RecordingProfileHost host;
    Show_User_Profile &dialog = *Show_User_Profile::defaultInstance();
};

} // namespace

// Fields read back from the card as their sources say, and OK writing the form as it then stands.
TEST_F(ProfileDialogTest, TheFormIsReadBackFromTheSideAndOKWritesItAsShown)
{
    const struct {
        int source, item;
        QString onCard, shown;
    } cases[] = {{0, 0, "Ann", "Ann"}, {1, 1, "stale", "b1"}, {2, 1, "stale", "Cy"}, {2, 0, "stale", "1"},
                 {1, 0, "stale", "a1"}, {0, 0, " spaced ", " spaced "}, {1, 7, "past the list", "past the list"},
                 {2, 1, "hidden", ""}, {0, 0, "", ""}, {2, 2, "stale", "/p/cy.png"}, {1, 0, "/x.png", "a1"}};
    User_Profile_Class placed;
    placed.Reset_All_Values();
    for (int r = 0; r < 11; ++r) {
        const User_Profile_Field &f = fields[r];
        placed.*f.value = cases[r].onCard;
        DataBinding &b = placed.*f.binding;
        b.data_source_type = cases[r].source;
        b.batch_list_index = b.excel_col_indx = cases[r].item;
    }
    Profile_Side_Target target(host.side, QSizeF(243, 154));
    Fill_User_Profile_Side(placed, target);
    Selcect_Ctrl_With_ID(host.side, "Fup_EmailID")->Set_Ctrl_Is_Visible(false); // an emptied field

    dialog.prepare(true);
    for (int r = 0; r < 11; ++r) {
        SCOPED_TRACE(fields[r].stem);
        const auto &c = cases[r];
        const bool shown = r != 7 && r != 8;
        const bool chosen = shown && c.source != 0 && c.item < dialog.rows[r].ser_col_cb->count();
        EXPECT_EQ(valueBox(r)->text(), c.shown);
        EXPECT_EQ(dialog.rows[r].ds_combo->currentIndex() * 10 + dialog.rows[r].ser_col_cb->currentIndex(),
                  (shown ? c.source : 0) * 10 + (chosen ? c.item : -1));
        if (r < 10) {
            EXPECT_EQ(QPair(valueBox(r)->isReadOnly(), dialog.value_chks[r]->isChecked()),
                      QPair(shown && c.source != 0, shown));
        }
    }
    dialog.rows[6].ser_col_cb->setCurrentIndex(0); // the series past the list, chosen again
    dialog.load_side = "F";
    dialog.OK_Btn_Clicked();
    EXPECT_TRUE(dialog.result() == 1 && host.front.Fill_User_Profile_Enable && DataSources().Excel_Binding_Use);
    EXPECT_EQ(host.back.Title, ""); // the front side's dialog leaves the back profile alone
    for (int r = 0; r < 11; ++r) {
        const User_Profile_Field &f = fields[r];
        const int source = dialog.rows[r].ds_combo->currentIndex();
        EXPECT_EQ(host.front.*f.value, valueBox(r)->text()) << f.stem;
        const DataBinding &b = host.front.*f.binding;
        EXPECT_EQ(b.data_source_type, source) << f.stem;
        EXPECT_EQ(b.batch_list_index + b.excel_col_indx,
                  source == 0 ? 0 : dialog.rows[r].ser_col_cb->currentIndex()) << f.stem;
    }
}

TEST_F(ProfileDialogTest, ABoundFieldWithoutASeriesIsNamedAndNothingIsWritten)
{
    dialog.prepare(true);
    for (const int row : {8, 2, 10}) // the company comes first in the fields' order
        dialog.rows[row].ds_combo->setCurrentIndex(row == 10 ? 2 : 1);
    // Filled again, a list offers its items with none chosen, however the box fills.
    EXPECT_TRUE(dialog.rows[2].ser_col_cb->count() == 2 && dialog.rows[2].ser_col_cb->currentIndex() == -1);
    const QStringList expected{"\nPlease select the source for 'Company Name'",
                               "\nPlease select the source for 'Website'", "\nPlease select the source for 'Photo'"};
    for (int step = 0; step < 3; ++step) {
        dialog.setResult(-1);
        dialog.OK_Btn_Clicked();
        dialog.Preview_Btn_Clicked();
        EXPECT_EQ(dialog.result(), -1);
        EXPECT_EQ(services->messages.mid(2 * step), QStringList(2, expected[step]));
        dialog.rows[step == 0 ? 2 : step == 1 ? 8 : 10].ser_col_cb->setCurrentIndex(step == 2 ? 2 : 0);
    }
    EXPECT_TRUE(host.front.Company_name.isEmpty() && dialog.image_path_val->text() == "/p/cy.png");
    dialog.rows[2].ds_combo->setCurrentIndex(0); // back to typed: the value stays, to be edited
    EXPECT_EQ(dialog.rows[2].value->text(), "a1");
    EXPECT_FALSE(dialog.rows[2].value->isReadOnly() || dialog.rows[2].ser_col_cb->isEnabled() ||
                 dialog.rows[2].ser_col_cb->count() > 0);
    dialog.Reset_all_Ctrl();
    for (const ProfileDialog::Row &row : dialog.rows)
        EXPECT_EQ(row.ds_combo->currentIndex(), 0);
    EXPECT_TRUE(dialog.image_path_val->text().isEmpty() && dialog.browse_pic_btn->isEnabled());
}

TEST_F(ProfileDialogTest, ASeriesOfAMillionNamesInEveryRowIsChosenAtOnce)
{
    QByteArray million;
    for (int value = 0; value < 1000000; ++value)
        million += "Name " + QByteArray::number(value) + '\n';
    writeSeries("Many", million);
    dialog.prepare(true);
    {
        const HangGuard guard(2000);
        for (ProfileDialog::Row &row : dialog.rows) {
            row.ds_combo->setCurrentIndex(1);
            row.ser_col_cb->setCurrentIndex(row.ser_col_cb->findText("Many"));
        }
    }
    EXPECT_EQ(dialog.rows[9].value->text() + dialog.image_path_val->text(), "Name 0Name 0");
    dialog.View_Data_Series_By_Name(dialog.rows[4].ser_col_cb);
    EXPECT_EQ(host.viewed, QStringList{"Many"});
}

// The Excel browse binds the columns ticked in the sheet picker and offers "Excel" in every row
// while rows are loaded; OK then keeps the sheet's path for the design. A workbook refused, or left
// in the picker, never stands in the field.
TEST_F(ProfileDialogTest, TheExcelBrowseBindsTheTickedColumnsThroughThePicker)
{
    const QString workbook = QStringLiteral(CARD_DATASOURCE_TEST_DATA "/lo-features.xlsx");
    QTemporaryDir dir;
    const QString refused = dir.filePath(QStringLiteral("text.xlsx"));
    ASSERT_TRUE(writeFileBytes(refused, "Name,City\n"));
    TearDown(); // no sheet, no "Excel"
    dialog.prepare(true);
    Import_Excel *picker = Import_Excel::defaultInstance();
    for (const auto &[path, take] : {std::pair{refused, false}, {workbook, false}, {workbook, true}, {refused, false}}) {
        SCOPED_TRACE(path.toStdString());
        services->fileAnswers << path;
        if (path == workbook) // a refused workbook shows no picker
            whenShown(picker, [picker, take] {
                EXPECT_EQ(picker->open_mode(), "E");
                picker->picker.setTick(1, true);
                take ? picker->OKPressed() : picker->CancelPressed();
            });
        const QString shown = dialog.excel_path_field->text();
        dialog.Browse_excel_Btn_Clicked();
        EXPECT_EQ(dialog.excel_path_field->text(), take ? path : shown);
        for (const ProfileDialog::Row &row : dialog.rows)
            EXPECT_EQ(row.ds_combo->count(), dialog.excel_path_field->text().isEmpty() ? 2 : 3);
    }
    dialog.rows[3].ds_combo->setCurrentIndex(2);
    dialog.rows[3].ser_col_cb->setCurrentIndex(1);
    EXPECT_EQ(dialog.rows[3].value->text(), QString::fromUtf8("Zoë Ångström"));
    dialog.OK_Btn_Clicked();
    EXPECT_TRUE(DataSources().Excel_Source_Path == workbook && DataSources().Excel_Binding_Use);
    EXPECT_TRUE(host.front.slogan_binding.isExcel() && host.front.Excel_Binding &&
                host.front.slogan_binding.excel_col_indx == 1);
}

// A field that a sheet taken again left without a column reads back as Excel with no column chosen
// and OK keeps its title for a later sheet; a typed value read back with its box ticked can be
// edited, whatever an earlier opening left.
TEST_F(ProfileDialogTest, AFieldWithoutAColumnAndATickedValueReadBackAsTheyAre)
{
    User_Profile_Class placed;
    placed.Reset_All_Values();
    placed.Name = "Ann";
    placed.unique = "Cy";
    placed.unique_binding = {DataBinding::Excel, "", 0, true, 1, "Given"};
    Profile_Side_Target target(host.side, QSizeF(243, 154));
    Fill_User_Profile_Side(placed, target);
    const SKTGraphicPtr unique = Selcect_Ctrl_With_ID(host.side, "Fup_UniqueNo");
    ASSERT_TRUE(unique);
    unique->binding.excel_col_indx = -1; // as a sheet without "Given" leaves it
    unique->Set_Ctrl_Is_Visible(false);

    dialog.prepare(true);
    dialog.value_chks[0]->click(); // the name unticked: it cannot be edited
    EXPECT_TRUE(valueBox(0)->isReadOnly());
    dialog.prepare(true);
    EXPECT_TRUE(dialog.value_chks[0]->isChecked() && !valueBox(0)->isReadOnly());
    const ProfileDialog::Row &row = dialog.rows[9];
    EXPECT_EQ(QPair(row.ds_combo->currentIndex(), row.ser_col_cb->currentIndex()), QPair(2, -1));
    EXPECT_TRUE(valueBox(9)->text().isEmpty() && !dialog.value_chks[9]->isChecked());
    dialog.load_side = "F";
    dialog.OK_Btn_Clicked();
    EXPECT_EQ(host.front.unique_binding, (DataBinding{DataBinding::Excel, "", 0, false, -1, "Given"}));
    EXPECT_EQ(host.front.unique, "");
}

// The temporary folder is shared: Browse... for a workbook, on every road to it, leaves alone what
// others keep there, such as a folder of the name unpacked workbooks once took.
TEST_F(ProfileDialogTest, BrowsingForAWorkbookLeavesTheTemporaryFolderAsItWas)
{
    QTemporaryDir temp;
    const QByteArray before = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(temp.path()));
    const QString kept = temp.filePath(QStringLiteral("ziptmp/keep.txt"));
    const struct {
        const char *road;
        std::function<void()> browse;
    } roads[] = {
        {"the profile dialog", [this] { dialog.Browse_excel_Btn_Clicked(); }},
        {"the import wizard", [] { Import_Wizard::defaultInstance()->Browse_Excel_Pressed(); }},
    };
    for (const auto &r : roads) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(kept).path()) && writeFileBytes(kept, "mine"));
        services->shown.clear();
        r.browse(); // the panel cancelled
        EXPECT_EQ(services->shown, QStringList{"panel"}) << r.road;
        EXPECT_EQ(fileBytes(kept), "mine") << r.road;
    }
    before.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", before);
}
