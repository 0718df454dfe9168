#include "DesignWindowFixture.h"

#include "canvas/Card_Side_Image.h"
#include "canvas/SKTRenderingView.h"
#include "core/UnitConversion.h"
#include "datasource/DataSourceState.h"
#include "datasource/Data_From_Excel.h"
#include "document/DesignFile.h"
#include "document/SKTText.h"
#include "profile/ProfilePlacement.h"
#include "profile/ProfileState.h"
#include "profile/User_Profile_Class.h"
#include "profile/ui/Show_User_Profile.h"
#include "profile/ui/User_profile.h"
#include "datasource/SpreadsheetWriter.h"
#include "datasource/ui/Import_Excel.h"
#include "fixtures/EventLoop.h"
#include "window/Template_Wizard.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>

TEST_F(DesignWindowTest, ProfileLayoutFitsEveryPresetCardOfItsOrientation)
{
    load();
    for (const char *category : {"PVC Card", "Paper"}) {
        const int rows = int((QLatin1String(category) == "PVC Card" ? window->pvc_card_arry : window->paper_card_arry).size());
        for (int row = 0; row < rows * 2; ++row) {
            const QSizeF mm = SKTWindowController::Get_My_card_Size(category, row % 2 ? "V" : "H", row / 2);
            const QSizeF card(MM_to_Points_Convert(float(mm.width())), MM_to_Points_Convert(float(mm.height())));
            for (const Profile_Layout_Entry &entry : Profile_Layout_Table()) {
                const QRectF rect = Get_Control_Rect_From_Template(entry.tag, card);
                EXPECT_TRUE(!rect.isEmpty() && QRectF(QPointF(), card).contains(rect)) << category << row << entry.tag;
            }
        }
    }
}

TEST_F(DesignWindowTest, TheUserProfileFillPlacesOnlyAnAcceptedProfileAndKeepsTheToolbarsTool)
{
    load();
    const int tool = window->Selected_Control_Tool(); // the arrow
    window->Front_user_profile->Name = QStringLiteral("Ann");
    window->Front_user_profile->image = QStringLiteral("/no/such/photo.png");
    DataSources().Excel_Binding_Use = true;

    window->Fill_User_profile_info_front_side(); // not accepted: only the panel's source list follows
    EXPECT_EQ(window->Data_source_type->count(), 3);
    EXPECT_EQ(document->graphics().count(), 0);

    Profiles().Fill_User_Profile = true;
    DataSources().Excel_Binding_Use = false;
    window->Fill_User_profile_info_front_side();
    EXPECT_TRUE(window->Data_source_type->count() == 2 && document->graphics().count() == 2);
    EXPECT_TRUE(services->messages.size() == 1 && services->messages.value(0).contains("/no/such/photo.png"));
    EXPECT_TRUE(window->Selected_Control_Tool() == tool && window->toolButtons[tool]->isChecked());
    EXPECT_EQ(window->_graphicView->Selected_Graphic(), document->graphics().at(0));

    document->undoManager().undo(); // the new objects go in one undoable step
    EXPECT_EQ(document->graphics().count(), 0);

    // In a design opened from its file too, the Undo button offers the placement at once.
    const QString saved = resourcePath(QStringLiteral("profiled.zkse"));
    App().Project_File_Name = saved;
    ASSERT_TRUE(window->Save_project_file(false, false));
    ASSERT_EQ(window->Read_and_load_design_Log(saved, QStringLiteral("L")), 1);
    window->Undo_Redo_Button_state();
    ASSERT_FALSE(window->Undo_btn->defaultAction()->isEnabled());
    Profiles().Fill_User_Profile = true;
    window->Front_user_profile->Name = QStringLiteral("Ann");
    window->Fill_User_profile_info_front_side();
    EXPECT_TRUE(window->Undo_btn->defaultAction()->isEnabled());
}

namespace {

// The objects on the front card a run makes of `record`.
GraphicList frontCardOf(SKTWindowController &window, int record)
{
    const Card_Side_Image card = window.Set_data_table_value_to_card(record, QStringLiteral("F"), false);
    EXPECT_NE(card.renderingView(), nullptr) << "record " << record;
    return card.renderingView() ? card.renderingView()->graphics() : GraphicList();
}

QStringList archived(const SKTGraphicList &side)
{
    QStringList fields;
    for (const SKTGraphicPtr &g : side.items())
        fields << fieldsOf([&](platform::KeyedEncoder &coder) { g->encodeWithCoder(coder); });
    return fields;
}

} // namespace

// The preview works on copies: Cancel leaves every object of the side as it was, field by field.
TEST_F(DesignWindowTest, PreviewThenCancelLeavesTheDesignExactlyAsItWas)
{
    load();
    window->_graphicView->createGraphicOfClass(SKTGraphic::Kind::Text, std::nullopt, true, QRectF(5, 5, 80, 20), "F",
                                               "Mine", QString());
    window->Front_user_profile->Name = QStringLiteral("Ann");
    window->Front_user_profile->email = QStringLiteral("ann@example.org");
    Profiles().Fill_User_Profile = true;
    window->Fill_User_profile_info_front_side();
    const GraphicList before = document->graphics().items();
    const QStringList fields = archived(document->graphics());

    Show_User_Profile *dialog = Show_User_Profile::defaultInstance();
    QTimer::singleShot(0, dialog, [&] {
        EXPECT_EQ(dialog->rows[0].value->text(), "Ann");
        dialog->rows[0].value->setText("Bo");
        dialog->rows[7].value->clear();
        dialog->Preview_Btn_Clicked();
        EXPECT_EQ(window->TEMP_user_profile->Name, "Bo");
        EXPECT_EQ(Selcect_Ctrl_With_ID(document->graphics_temp(), "Fup_Name")->Text_contents().string, "Bo");
        dialog->Cancel_Btn_Clicked();
    });
    EXPECT_EQ(window->Open_User_Profile_Window(true, "F"), 0);
    EXPECT_EQ(document->graphics().items(), before);
    EXPECT_EQ(archived(document->graphics()), fields);
    EXPECT_EQ(window->Front_user_profile->email, "ann@example.org");

    QTimer::singleShot(0, dialog, [&] { dialog->OK_Btn_Clicked(); }); // OK twice adds nothing
    window->User_Profile_Button_Clicked();
    EXPECT_EQ(document->graphics().count(), before.size());
}

// The template browser's profile button, then a template: what was entered is placed on the card.
TEST_F(DesignWindowTest, TheNewCardProfileIsPlacedOnBothSidesOnceTheTemplateIsLoaded)
{
    load();
    Template_Wizard *browser = window->templateWizard();
    User_profile *dialog = User_profile::defaultInstance();
    QTimer::singleShot(0, dialog, [&] {
        EXPECT_TRUE(dialog->side_combos[0]->isVisibleTo(dialog) && dialog->side_combos[0]->currentIndex() == 2);
        dialog->rows[0].value->setText("Ann");
        dialog->rows[2].value->setText("Zolt Ltd");
        dialog->OK_Btn_Clicked();
    });
    browser->User_Profile_Click();
    EXPECT_TRUE(Profiles().Fill_User_Profile);
    window->New_Project_Setting_Reset(); // as reading the chosen template does
    EXPECT_EQ(window->Front_user_profile->Name, "");
    window->Place_New_Card_Profile();
    for (SKTGraphicList *side : {&document->graphics(), &document->graphics_back()}) {
        ASSERT_EQ(side->count(), 2);
        EXPECT_EQ(Selcect_Ctrl_With_ID(*side, "Fup_Name")->Text_contents().string, "Ann");
        EXPECT_EQ(Selcect_Ctrl_With_ID(*side, "Fup_Company")->Text_contents().string, "Zolt Ltd");
    }
    window->Place_New_Card_Profile(); // placed once only
    EXPECT_EQ(document->graphics().count(), 2);
}

// The new-card profile bound to a sheet: the template read after it binds none, and the sheet's
// rows come back with the profiles, one card per row.
TEST_F(DesignWindowTest, TheNewCardProfilesSheetOutlivesTheTemplateAndGivesOneCardPerRow)
{
    load();
    const QString blank = resourcePath(QStringLiteral("blank.zkse"));
    ASSERT_TRUE(DesignFile::write(blank, DesignFile::contentsOf(window->designSnapshot())));
    User_profile *dialog = User_profile::defaultInstance();
    QTimer::singleShot(0, dialog, [&] {
        // As the dialog's Excel browse loads a sheet of three members.
        Data_From_Excel *excel = Data_From_Excel::defaultInstance();
        excel->setColumnTitles({QStringLiteral("No."), QStringLiteral("Name")});
        excel->setListData({{{"Extension", "1"}, {"Column1", "Ann"}},
                            {{"Extension", "2"}, {"Column1", "Bob"}},
                            {{"Extension", "3"}, {"Column1", "Cy"}}});
        dialog->excel_path_field->setText(resourcePath(QStringLiteral("members.xlsx")));
        dialog->Add_Excel_in_Data_Source_Combo();
        dialog->rows[0].ds_combo->setCurrentIndex(2);
        dialog->rows[0].ser_col_cb->setCurrentIndex(1);
        dialog->OK_Btn_Clicked();
    });
    window->templateWizard()->User_Profile_Click();
    ASSERT_EQ(window->Read_and_load_design_Log(blank, QStringLiteral("T")), 1);
    EXPECT_FALSE(DataSources().Excel_Binding_Use) << "the template binds no sheet";
    window->Place_New_Card_Profile();

    window->Check_Series_Or_Excel_Use_or_not();
    EXPECT_EQ(DataSources().Total_Batch_Excel_Card, 3);
    EXPECT_EQ(DataSources().Excel_Source_Path, resourcePath(QStringLiteral("members.xlsx")));
    const QStringList names{"Ann", "Bob", "Cy"};
    for (int record = 0; record < 3; ++record) {
        QStringList shown;
        for (const SKTGraphicPtr &graphic : frontCardOf(*window, record))
            if (graphic->control_ID == QLatin1String("Fup_Name"))
                shown << graphic->Text_contents().string;
        EXPECT_EQ(shown, QStringList{names.at(record)});
    }
}

// After New the template browser's profile dialog offers no Excel columns, as its sheet box says.
TEST_F(DesignWindowTest, AfterNewTheTemplateBrowsersProfileOffersNoSheet)
{
    load();
    Data_From_Excel::defaultInstance()->bind({QStringLiteral("Name")}, {{QStringLiteral("Ann")}});
    DataSources().Excel_Binding_Use = true;
    DataSources().Excel_Source_Path = resourcePath(QStringLiteral("members.xlsx"));
    window->New_Project_Setting_Reset();
    User_profile *dialog = User_profile::defaultInstance();
    QString offered;
    QTimer::singleShot(0, dialog, [&] {
        offered = QStringLiteral("%1 sources, sheet \"%2\"")
                      .arg(dialog->rows[0].ds_combo->count())
                      .arg(dialog->excel_path_field->text());
        dialog->Cancel_Btn_Clicked();
    });
    window->templateWizard()->User_Profile_Click();
    EXPECT_EQ(offered, QStringLiteral("2 sources, sheet \"\""));
}

namespace {

// Thirty members as a workbook whose title row lists Name, Email and Number in `order`.
void writeMembers(const QString &path, const QStringList &order)
{
    QList<QStringList> rows{order};
    for (int member = 1; member <= 30; ++member) {
        const QMap<QString, QString> cells{{"Name", QStringLiteral("Member %1").arg(member)},
                                           {"Email", QStringLiteral("m%1@club.org").arg(member)},
                                           {"Number", QStringLiteral("M%1").arg(1000 + member)}};
        QStringList row;
        for (const QString &title : order)
            row << cells.value(title);
        rows << row;
    }
    ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(path, rows, true));
}

// The profile dialog's Excel browse, answered with the workbook at `path`, its columns all ticked.
void browseWorkbook(ScriptedServices &services, Show_User_Profile *dialog, const QString &path)
{
    services.fileAnswers << path;
    Import_Excel *picker = Import_Excel::defaultInstance();
    whenShown(picker, [picker] {
        picker->Select_ALL_Pressed();
        picker->OKPressed();
    });
    dialog->Browse_excel_Btn_Clicked();
}

} // namespace

// Name and Unique No. bound to the columns titled Name and Number: every card keeps its own
// member when the design is opened again and its profile confirmed unchanged, and when a newer
// workbook lists the columns in another order; a workbook without numbers leaves the number out,
// which the user is told and the run asks about.
TEST_F(DesignWindowTest, EachOfThirtyCardsKeepsItsOwnMember)
{
    load();
    ASSERT_TRUE(QFile::copy(sourceResourcesPath() + "Template.xlsx", resourcePath("Template.xlsx")));
    const QString members = resourcePath("members.xlsx"), newer = resourcePath("newer.xlsx"),
                  unnumbered = resourcePath("unnumbered.xlsx");
    writeMembers(members, {"Name", "Email", "Number"});
    writeMembers(newer, {"Number", "Email", "Name"});
    writeMembers(unnumbered, {"Email", "Name"});
    Show_User_Profile *dialog = Show_User_Profile::defaultInstance();
    const auto confirm = [&](const std::function<void()> &edit) {
        QTimer::singleShot(0, dialog, [&] {
            edit();
            dialog->OK_Btn_Clicked();
        });
        window->User_Profile_Button_Clicked();
    };
    confirm([&] {
        browseWorkbook(*services, dialog, members);
        for (const auto &[row, title] : {std::pair{0, "Name"}, {9, "Number"}}) {
            dialog->rows[row].ds_combo->setCurrentIndex(2);
            dialog->rows[row].ser_col_cb->setCurrentIndex(dialog->rows[row].ser_col_cb->findText(title));
        }
    });
    const QString club = resourcePath("club.zkse");
    const struct {
        const char *step;
        std::function<void()> act;
        std::string told;  // what the user is told on the way
        bool numbered = true;
        QString asked;     // what the run asks first
    } steps[] = {
        {"bound", [] {}, "", true, ""},
        {"reopened",
         [&] {
             ASSERT_TRUE(DesignFile::write(club, window->designFileContents()));
             dialog->Remove_Excel_in_Data_Source_Combo(); // as a new start has them
             ASSERT_EQ(window->Read_and_load_design_Log(club, QStringLiteral("L")), 1);
             confirm([] {});
         },
         "", true, ""},
        {"a newer workbook",
         [&] {
             confirm([&] {
                 browseWorkbook(*services, dialog, newer); // the rows show the new sheet at once
                 EXPECT_EQ(dialog->rows[0].ser_col_cb->currentText() + '=' + dialog->rows[0].value->text(),
                           "Name=Member 1");
             });
         },
         "\nThese fields follow their column's title to its place in the new sheet:\n"
         "Front: Name, \"Name\": column 3, was 1\nFront: Unique No., \"Number\": column 1, was 3", true, ""},
        {"a workbook without numbers", [&] { confirm([&] { browseWorkbook(*services, dialog, unnumbered); }); },
         "\nThese fields follow their column's title to its place in the new sheet:\nFront: Name, \"Name\": column 2, "
         "was 3\n\nThe new sheet has no column for these fields, which are left without one; a run will ask about "
         "them:\nFront: Unique No., \"Number\"",
         false, "Front: Unique No. (no Excel column) cannot be used: the sheet has no such column."},
    };
    for (const auto &step : steps) {
        SCOPED_TRACE(step.step);
        services->messages.clear();
        step.act();
        EXPECT_EQ(services->messages.join("").toStdString(), step.told);
        window->Check_Series_Or_Excel_Use_or_not();
        ASSERT_EQ(DataSources().Total_Batch_Excel_Card, 30);
        EXPECT_EQ(window->data_table_content.problems.value(0), step.asked);
        for (int record = 0; record < 30; ++record) {
            QStringList shown;
            for (const SKTGraphicPtr &graphic : frontCardOf(*window, record))
                if (graphic->ctrl_is_visible && graphic->control_ID.startsWith("Fup_"))
                    shown << graphic->control_ID + '=' + graphic->Text_contents().string;
            shown.sort();
            // A field left without a column has no sample to show: its object is hidden.
            const QString number = step.numbered ? QStringLiteral(" Fup_UniqueNo=M%1").arg(1001 + record) : QString();
            EXPECT_EQ(shown.join(' ').toStdString(),
                      QStringLiteral("Fup_Name=Member %1%2").arg(record + 1).arg(number).toStdString());
        }
    }
}

// A text bound to "Name" and one to "Email" while the sheet lists Name, Email; the name text is
// taken off the side and comes back after a newer workbook lists Email, Name. Whichever road brings
// it back (an undone deletion or placement, a paste, an open of a design saved with or without the
// columns' titles), it finds its column by title: each of the thirty cards shows its member's name
// there and the e-mail beside it, and the run asks about nothing.
TEST_F(DesignWindowTest, ABindingBroughtBackReadsTheColumnOfItsTitle)
{
    load();
    ASSERT_TRUE(QFile::copy(sourceResourcesPath() + "Template.xlsx", resourcePath("Template.xlsx")));
    const QString members = resourcePath("members.xlsx"), newer = resourcePath("newer.xlsx");
    writeMembers(members, {"Name", "Email"});
    writeMembers(newer, {"Email", "Name"});
    Show_User_Profile *dialog = Show_User_Profile::defaultInstance();
    const auto profile = [&](bool confirmed, const std::function<void()> &edit) {
        QTimer::singleShot(0, dialog, [&, confirmed] {
            edit();
            confirmed ? dialog->OK_Btn_Clicked() : dialog->Cancel_Btn_Clicked();
        });
        window->User_Profile_Button_Clicked();
    };
    // The sheet is taken at the picker's OK, whatever the profile dialog does next.
    const auto take = [&](const QString &path) {
        profile(false, [&] { browseWorkbook(*services, dialog, path); });
    };
    const auto bound = [](int column, const QString &marker) {
        auto text = std::make_shared<SKTText>();
        text->Text_Value = marker;
        text->binding = {DataBinding::Excel, {}, 0, false, column, {}};
        return text;
    };
    const auto named = [&](const QString &marker) -> SKTGraphicPtr {
        for (const SKTGraphicPtr &graphic : document->graphics().items())
            if (graphic->Text_Value == marker || graphic->control_ID == marker)
                return graphic;
        return nullptr;
    };
    const auto select = [&](const QString &marker) {
        window->_graphicView->changeSelectionIndexes({document->graphics().indexOf(named(marker).get())});
    };
    const auto step = [&] { document->undoManager().closeEventGroup(); };
    const auto deleteAndUndoAfterTheNewer = [&](const QString &marker) {
        select(marker);
        window->Delete_Clicked();
        step();
        take(newer);
        window->Undo_Clicked();
    };
    const QString club = resourcePath("club.zkse");
    // As an older writer left it, a design may hold no titles.
    const auto saveAndOpen = [&](bool titled) {
        DesignFileContents design = window->designFileContents();
        for (const SKTGraphicPtr &graphic : design.frontGraphics)
            if (!titled)
                graphic->binding.excel_col_title.clear();
        ASSERT_TRUE(DesignFile::write(club, design));
        QFile file(club);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const std::optional<DesignFileContents> written = DesignFile::read(file.readAll());
        ASSERT_TRUE(written && written->frontGraphics.size() == 2);
        EXPECT_EQ(written->frontGraphics.at(1)->binding.excel_col_title, titled ? "Name" : "");
        ASSERT_EQ(window->Read_and_load_design_Log(club, QStringLiteral("L")), 1);
    };

    const struct {
        const char *road;
        QString name; // what the name field is found by
        std::function<void()> bringBack;
    } roads[] = {
        {"an undone deletion", "name", [&] { deleteAndUndoAfterTheNewer("name"); }},
        {"an undone placement", "Fup_Name",
         [&] {
             profile(true, [&] {
                 dialog->rows[0].ds_combo->setCurrentIndex(2);
                 dialog->rows[0].ser_col_cb->setCurrentIndex(dialog->rows[0].ser_col_cb->findText("Name"));
             });
             step();
             profile(true, [&] {
                 dialog->rows[0].ds_combo->setCurrentIndex(0);
                 dialog->rows[0].value->setText("typed");
             });
             step();
             take(newer);
             window->Undo_Clicked();
         }},
        {"a paste", "name",
         [&] {
             select("name");
             window->Cut_Clicked();
             step();
             take(newer);
             window->Paste_Clicked();
         }},
        {"an open of a design with titles", "name",
         [&] {
             saveAndOpen(true);
             deleteAndUndoAfterTheNewer("name");
         }},
        {"an open of a design without titles", "name",
         [&] {
             saveAndOpen(false);
             deleteAndUndoAfterTheNewer("name");
         }},
    };
    for (const auto &road : roads) {
        SCOPED_TRACE(road.road);
        window->New_Project_Setting_Reset();
        take(members);
        document->insertGraphics({bound(2, "email"), bound(1, "name")}, platform::IndexSet{0, 1});
        step();
        road.bringBack();
        ASSERT_NE(named(road.name), nullptr);
        EXPECT_EQ(named(road.name)->binding.excel_col_indx, 2);

        window->Check_Series_Or_Excel_Use_or_not();
        ASSERT_EQ(DataSources().Total_Batch_Excel_Card, 30);
        EXPECT_EQ(window->data_table_content.problems, QStringList());
        QStringList wrong;
        for (int record = 0; record < 30; ++record) {
            QString name, email;
            for (const SKTGraphicPtr &graphic : frontCardOf(*window, record)) {
                if (graphic->Text_Value == "email")
                    email += graphic->Text_contents().string;
                else if (graphic->ctrl_is_visible && (graphic->Text_Value == road.name || graphic->control_ID == road.name))
                    name += graphic->Text_contents().string;
            }
            if (name + ',' + email != QStringLiteral("Member %1,m%1@club.org").arg(record + 1))
                wrong << name + ',' + email;
        }
        EXPECT_EQ(wrong.join(" | ").toStdString(), "");
    }
}
