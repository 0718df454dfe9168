#include "DesignWindowFixture.h"

#include "core/ImageProcesser.h"
#include "document/ControlTags.h"
#include "document/SKTImage.h"
#include "platform/ui/ImageBrowserView.h"
#include "properties/ui/CardSettingsTab.h"
#include "window/Invitation_Wizard.h"
#include "window/Template_Wizard.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimeEdit>
#include <QTemporaryDir>
#include <QTimer>

namespace {

QString box(const QString &text)
{
    return QLatin1Char('\n') + text;
}

// What the user fills in on the design page; empty fields stay empty.
struct Details {
    QString title, message, from, to, venue;
    QDate date;
    QTime time;
};

struct Placed {
    QString tag;
    QRectF bounds;
    QString text; // texts only
};

} // namespace

class InvitationWizardTest : public DesignWindowTest {
protected:
    void SetUp() override
    {
        DesignWindowTest::SetUp();
        QImage frame(34, 42, QImage::Format_ARGB32);
        frame.fill(QColor(200, 160, 60, 255));
        QDir().mkpath(resourcePath(QStringLiteral("Frames")));
        ASSERT_TRUE(frame.save(resourcePath(QStringLiteral("Frames/A.PNG")), "PNG"));
        ASSERT_TRUE(frame.save(resourcePath(QStringLiteral("Frames/B.jpg")), "JPG"));
        ASSERT_TRUE(frame.save(resourcePath(QStringLiteral("Frames/C.png")), "PNG"));
        writeFile(QStringLiteral("Frames/Z.gif"));
        writeFile(QStringLiteral("Title.txt"), "First Title\nSecond Title\nThird Title\n\n");
        writeFile(QStringLiteral("Message.txt"), "First message\nSecond message\n");
        photo = quadrants(80, 60);
        ASSERT_TRUE(photo.save(resourcePath(QStringLiteral("photo.png")), "PNG"));
    }

    Invitation_Wizard *wizard() const { return window->invitationWizard(); }

    // Runs the start wizard through its actions as a user would, filling `details`.
    void startWithWizard(const Details &details, bool withPhoto = true)
    {
        window->onStartWizard = [this, details, withPhoto] {
            Invitation_Wizard *w = wizard();
            w->Prepare_Wizard();
            w->Using_Wizard_Click();
            w->msg_title->setText(details.title);
            w->msg_value->setPlainText(details.message);
            w->from_value->setText(details.from);
            w->to_value->setText(details.to);
            w->venue_value->setText(details.venue);
            if (details.date.isValid())
                w->Date_picker->setDate(details.date);
            if (details.time.isValid())
                w->Time_picker->setTime(details.time);
            w->OK_Click();
            if (withPhoto)
                w->Load_Photo(resourcePath(QStringLiteral("photo.png")));
            w->OK_Click();
            return w->result();
        };
        load();
    }

    QList<Placed> placed() const
    {
        QList<Placed> result;
        for (const SKTGraphicPtr &graphic : document->graphics().items())
            result << Placed{graphic->control_ID, graphic->bounds(),
                             graphic->kind() == SKTGraphic::Kind::Text ? graphic->Text_Value : QString()};
        return result;
    }

    QImage photo;
};

// The card of 340 x 425 points that the wizard's default size makes, field by field.
TEST_F(InvitationWizardTest, WizardCardPlacesItsObjectsAsTheExampleCard)
{
    using namespace ControlTags;
    const QString frame = resourcePath(QStringLiteral("Frames/A.PNG"));
    const QString photoPath = resourcePath(QStringLiteral("photo.png"));
    struct Row {
        const char *name;
        Details details;
        QList<Placed> expected; // front to back
    };
    const Row rows[] = {
        {"every field",
         {QStringLiteral("  Party Time  "), QStringLiteral("Come along!\n"), QStringLiteral("Ben"), QStringLiteral("Anna"),
          QStringLiteral("The Old Mill"), QDate(2025, 6, 14), QTime(19, 30)},
         {{QString(FramePicture), QRectF(0, 0, 340.157, 425.197), QString()},
          {QString(PartyFrom), QRectF(40, 300, 260.157, 40), QStringLiteral("From:\nBen")},
          {QString(PartyVenue), QRectF(30, 230, 260.157, 60), QStringLiteral("Venue:\nThe Old Mill")},
          {QString(PartyDate), QRectF(30, 200, 260.157, 20), QStringLiteral("DATE at 7:30 PM")},
          {QString(PartyMessage), QRectF(50, 120, 260.157, 80), QStringLiteral("Come along!")},
          {QString(PartyTo), QRectF(30, 90, 260.157, 20), QStringLiteral("Dear Anna,")},
          {QString(PartyTitle), QRectF(40, 40, 260.157, 30), QStringLiteral("Party Time")},
          {QString(MainPhoto), QRectF(40, 115.039, 260.157, 195.118), QString()}}},
        {"a time without a date",
         {QStringLiteral("Party Time"), QString(), QString(), QString(), QStringLiteral("Home"), QDate(), QTime(9, 5)},
         {{QString(FramePicture), QRectF(0, 0, 340.157, 425.197), QString()},
          {QString(PartyVenue), QRectF(30, 150, 260.157, 60), QStringLiteral("Venue:\nHome")},
          {QString(PartyTime), QRectF(30, 90, 260.157, 20), QStringLiteral("AT 9:05 AM")},
          {QString(PartyTitle), QRectF(40, 40, 260.157, 30), QStringLiteral("Party Time")},
          {QString(MainPhoto), QRectF(40, 115.039, 260.157, 195.118), QString()}}},
        {"no title",
         {QString(), QString(), QStringLiteral("Ben"), QStringLiteral("Anna"), QString(), QDate(), QTime()},
         {{QString(FramePicture), QRectF(0, 0, 340.157, 425.197), QString()},
          {QString(PartyFrom), QRectF(40, 120, 260.157, 40), QStringLiteral("From:\nBen")},
          {QString(PartyTo), QRectF(30, 40, 260.157, 20), QStringLiteral("Dear Anna,")},
          {QString(MainPhoto), QRectF(40, 115.039, 260.157, 195.118), QString()}}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        TearDown();
        SetUp();
        startWithWizard(row.details);
        // The date is written in the user's own words for dates.
        const QString date = QLocale().toString(QDate(2025, 6, 14), QLocale::LongFormat);
        const QList<Placed> got = placed();
        ASSERT_EQ(got.size(), row.expected.size());
        for (int i = 0; i < got.size(); ++i) {
            const Placed &want = row.expected.at(i);
            EXPECT_EQ(got.at(i).tag, want.tag) << i;
            EXPECT_NEAR(got.at(i).bounds.x(), want.bounds.x(), 0.01) << want.tag.toStdString();
            EXPECT_NEAR(got.at(i).bounds.y(), want.bounds.y(), 0.01) << want.tag.toStdString();
            EXPECT_NEAR(got.at(i).bounds.width(), want.bounds.width(), 0.01) << want.tag.toStdString();
            EXPECT_NEAR(got.at(i).bounds.height(), want.bounds.height(), 0.01) << want.tag.toStdString();
            EXPECT_EQ(got.at(i).text, QString(want.text).replace(QStringLiteral("DATE"), date)) << want.tag.toStdString();
        }
        const SKTGraphicPtr frameObject = document->graphics().at(0);
        EXPECT_EQ(frameObject->FilePath(), frame);
        EXPECT_EQ(document->graphics().items().last()->FilePath(), photoPath);
        EXPECT_FALSE(document->undoManager().canUndo()) << "the wizard's card is no undo step";
    }
}

// Without a pictures folder the photo panel opens in one that is there, with no name typed in.
TEST_F(InvitationWizardTest, PhotoBrowseOpensInAFolderThatIsThere)
{
    QTemporaryDir home;
    const QByteArray kept = qgetenv("HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    load();
    wizard()->Browse_Image_Click();
    qputenv("HOME", kept);
    EXPECT_EQ(services->panelFolders, QStringList{home.path()});
}

TEST_F(InvitationWizardTest, FinishingSetsTheCardSizeAndLeavesTheTrimmedChoices)
{
    App().Card_Shape = 2;
    startWithWizard({QStringLiteral(" Hello "), QStringLiteral(" Words "), QStringLiteral(" Ben "),
                     QStringLiteral(" Anna "), QStringLiteral(" Hall "), QDate(), QTime()});
    EXPECT_EQ(wizard()->result(), 1);
    const WindowState &win = Win();
    EXPECT_EQ(win.Start_Card_Option, QStringLiteral("W"));
    EXPECT_EQ(win.Invite_Title, QStringLiteral("Hello"));
    EXPECT_EQ(win.Invite_Message, QStringLiteral("Words"));
    EXPECT_EQ(win.Invite_From, QStringLiteral("Ben"));
    EXPECT_EQ(win.Invite_To, QStringLiteral("Anna"));
    EXPECT_EQ(win.Invite_Venue, QStringLiteral("Hall"));
    EXPECT_TRUE(win.Invite_Date.isEmpty());
    EXPECT_EQ(win.Invite_Frame_IMG, resourcePath(QStringLiteral("Frames/A.PNG")));
    EXPECT_EQ(win.Invite_BG_IMG, win.Invite_Frame_IMG);
    EXPECT_EQ(win.Invite_Frame_Pic_IMG, resourcePath(QStringLiteral("photo.png")));
    EXPECT_EQ(App().Card_Shape, 0);
    // 120 x 150 mm.
    EXPECT_NEAR(window->_graphicView->canvasSize().width(), 340.16, 0.01);
    EXPECT_NEAR(window->_graphicView_TEMP->canvasSize().height(), 425.20, 0.01);
    EXPECT_NEAR(window->card_setting_tab->width_Stepper->value(), 120.0, 1e-4);
    EXPECT_EQ(window->Main_Photo_image(), ImageProcesser::Get_Processed_Image(photo, Image_Effect_Settings{}));
}

TEST_F(InvitationWizardTest, PagesFollowNextBackAndCancel)
{
    load();
    Invitation_Wizard *w = wizard();
    w->Prepare_Wizard();
    EXPECT_FALSE(w->Start_card_box->isHidden());
    EXPECT_TRUE(w->button_box->isHidden());
    // The list skips what is not a png or jpg picture, whatever the letter case.
    ASSERT_EQ(w->numberOfItemsInImageBrowser(), 3);
    EXPECT_EQ(w->imageBrowser_itemAtIndex(0).image_Name, QStringLiteral("A.PNG"));
    EXPECT_EQ(w->imageBrowser_itemAtIndex(1).image_Name, QStringLiteral("B.jpg"));

    w->Using_Wizard_Click();
    EXPECT_EQ(w->next_counter, 2);
    EXPECT_FALSE(w->second_box->isHidden());
    EXPECT_EQ(w->imageBrowser->selectionIndexes(), QList<int>{0});
    EXPECT_EQ(w->selected_image, resourcePath(QStringLiteral("Frames/A.PNG")));
    w->OK_Click();
    EXPECT_EQ(w->next_counter, 3);
    EXPECT_FALSE(w->photo_box->isHidden());
    w->Back_Click();
    EXPECT_EQ(w->next_counter, 2);
    EXPECT_FALSE(w->second_box->isHidden());

    // A frame the user clicks moves straight on.
    w->imageBrowser->setSelectionIndexes({2});
    EXPECT_EQ(w->next_counter, 3);
    EXPECT_EQ(w->selected_image, resourcePath(QStringLiteral("Frames/C.png")));

    // Without a photo the wizard stays on its page.
    w->OK_Click();
    EXPECT_EQ(services->messages, QStringList{box(QStringLiteral("Please select photo."))});
    EXPECT_EQ(w->next_counter, 3);
    EXPECT_EQ(w->result(), 0);

    // Back twice: the start page, everything chosen cleared.
    ASSERT_TRUE(w->Load_Photo(resourcePath(QStringLiteral("photo.png"))));
    w->to_value->setText(QStringLiteral("Anna"));
    w->Title_Next_Click();
    w->Back_Click();
    w->Back_Click();
    EXPECT_EQ(w->next_counter, 0);
    EXPECT_FALSE(w->Start_card_box->isHidden());
    EXPECT_TRUE(w->selected_image.isEmpty());
    EXPECT_TRUE(w->User_Picture.isNull());
    EXPECT_TRUE(w->image_path->text().isEmpty());
    EXPECT_TRUE(w->to_value->text().isEmpty());
    EXPECT_EQ(w->msg_title->text(), QStringLiteral("First Title"));
    EXPECT_FALSE(w->Image_Setting_Box->isEnabled());

    // Cancel from the design page does the same.
    w->Using_Wizard_Click();
    w->CancelClick();
    EXPECT_EQ(w->next_counter, 0);
}

TEST_F(InvitationWizardTest, RefusesAFrameOrPhotoThatIsNotThere)
{
    load();
    Invitation_Wizard *w = wizard();
    w->Prepare_Wizard();
    w->Using_Wizard_Click();
    QFile::remove(resourcePath(QStringLiteral("Frames/A.PNG")));
    w->OK_Click();
    EXPECT_EQ(w->next_counter, 2);
    EXPECT_EQ(services->messages, QStringList{box(QStringLiteral("Please select frame."))});

    w->imageBrowser->setSelectionIndexes({1});
    ASSERT_EQ(w->next_counter, 3);
    // A file that is no picture changes neither the path nor the photo.
    ASSERT_TRUE(w->Load_Photo(resourcePath(QStringLiteral("photo.png"))));
    EXPECT_FALSE(w->Load_Photo(resourcePath(QStringLiteral("Frames/Z.gif"))));
    EXPECT_EQ(w->image_path->text(), resourcePath(QStringLiteral("photo.png")));
    EXPECT_EQ(w->User_Picture.size(), QSize(80, 60));
    // A photo deleted before finishing is refused too.
    QFile::remove(resourcePath(QStringLiteral("photo.png")));
    w->OK_Click();
    EXPECT_EQ(services->messages.last(), box(QStringLiteral("Please select photo.")));
    EXPECT_EQ(w->next_counter, 3);
}

TEST_F(InvitationWizardTest, TitlesAndMessagesWrapAndFieldsKeepTheirLimits)
{
    load();
    Invitation_Wizard *w = wizard();
    w->Prepare_Wizard();
    w->Using_Wizard_Click();
    EXPECT_EQ(w->msg_title->text(), QStringLiteral("First Title"));
    w->Title_Back_Click();
    EXPECT_EQ(w->msg_title->text(), QStringLiteral("Third Title"));
    w->Title_Next_Click();
    w->Title_Next_Click();
    w->Title_Next_Click();
    EXPECT_EQ(w->msg_title->text(), QStringLiteral("Third Title"));
    w->Title_Next_Click();
    EXPECT_EQ(w->msg_title->text(), QStringLiteral("First Title"));
    w->Msg_Next_Click();
    EXPECT_EQ(w->msg_value->toPlainText(), QStringLiteral("Second message"));

    struct Limit {
        const char *field;
        std::function<void(const QString &)> type;
        std::function<QString()> read;
        int limit;
    };
    const Limit limits[] = {
        {"from", [&](const QString &t) { w->from_value->setText(t); }, [&] { return w->from_value->text(); }, 40},
        {"to", [&](const QString &t) { w->to_value->setText(t); }, [&] { return w->to_value->text(); }, 40},
        {"venue", [&](const QString &t) { w->venue_value->setText(t); }, [&] { return w->venue_value->text(); }, 100},
        {"title", [&](const QString &t) { w->msg_title->setText(t); }, [&] { return w->msg_title->text(); }, 100},
        {"message", [&](const QString &t) { w->msg_value->setPlainText(t); }, [&] { return w->msg_value->toPlainText(); }, 250},
    };
    for (const Limit &limit : limits) {
        limit.type(QString(limit.limit, QLatin1Char('x')));
        EXPECT_EQ(limit.read().size(), limit.limit) << limit.field;
        limit.type(QString(limit.limit, QLatin1Char('x')) + QStringLiteral("yz"));
        EXPECT_EQ(limit.read(), QString(limit.limit, QLatin1Char('x'))) << limit.field;
    }
    EXPECT_TRUE(w->clear_details_btn->isEnabled());
}

TEST_F(InvitationWizardTest, ClearingDetailsTakesTheDateAndTimeOffTheCardToo)
{
    load();
    Invitation_Wizard *w = wizard();
    w->Prepare_Wizard();
    w->Using_Wizard_Click();
    w->Date_picker->setDate(QDate(2030, 1, 2));
    w->Time_picker->setTime(QTime(18, 0));
    EXPECT_EQ(w->selected_time, QStringLiteral("6:00 PM"));
    EXPECT_EQ(w->Time_ctrl_value->text(), QStringLiteral("6:00 PM"));
    services->yesNoAnswers = {false, true};
    w->Clear_Details_Click();
    EXPECT_FALSE(w->selected_date.isEmpty());
    w->Clear_Details_Click();
    EXPECT_EQ(services->questions.last(), QStringLiteral("Are you sure you want to clear details?"));
    EXPECT_TRUE(w->selected_date.isEmpty());
    EXPECT_TRUE(w->selected_time.isEmpty());
    EXPECT_TRUE(w->Date_ctrl_value->text().isEmpty());
    EXPECT_FALSE(w->clear_details_btn->isEnabled());
}

TEST_F(InvitationWizardTest, FramesReorderByTheBrowserRule)
{
    load();
    Invitation_Wizard *w = wizard();
    w->Prepare_Wizard();
    w->addImageWithPath(QStringLiteral("  /x/D.png \n"), QStringLiteral("D.png"), QStringLiteral("D.png"));
    w->addImageWithPath(QStringLiteral(" \n"), QStringLiteral("none"), QStringLiteral("none"));
    ASSERT_EQ(w->numberOfItemsInImageBrowser(), 4);
    EXPECT_EQ(w->imageBrowser_itemAtIndex(3).path, QStringLiteral("/x/D.png"));
    EXPECT_TRUE(w->imageBrowser_moveItemsAtIndexes_toIndex({0}, 3));
    EXPECT_EQ(w->numberOfItemsInImageBrowser(), 4);
    EXPECT_EQ(w->imageBrowser_itemAtIndex(2).image_Name, QStringLiteral("A.PNG"));
}

TEST_F(InvitationWizardTest, OpeningASavedDesignEndsTheWizard)
{
    // A design to open.
    load();
    window->Rect_Tool_Clicked();
    App().Project_File_Name = resourcePath(QStringLiteral("saved.zkse"));
    ASSERT_TRUE(window->Save_project_file(false, false));

    Invitation_Wizard *w = wizard();
    w->Prepare_Wizard();
    services->fileAnswers = {QString(), resourcePath(QStringLiteral("saved.zkse"))};
    w->Open_Log_Click(); // the panel is cancelled: the start page stays
    EXPECT_EQ(w->next_counter, 0);
    EXPECT_NE(w->result(), 1);
    w->Open_Log_Click();
    EXPECT_EQ(w->result(), 1);
    EXPECT_EQ(Win().Start_Card_Option, QStringLiteral("L"));
    EXPECT_EQ(App().Project_File_Name, resourcePath(QStringLiteral("saved.zkse")));
    EXPECT_EQ(document->graphics().count(), 1);
}

TEST_F(InvitationWizardTest, ExitEndsTheProgramAndClosingTheStartPageEndsTheStart)
{
    window->onStartWizard = [this] {
        wizard()->Prepare_Wizard();
        wizard()->ExitClick();
        return wizard()->result();
    };
    load();
    EXPECT_EQ(Win().Start_Card_Option, QString());
    EXPECT_FALSE(services->terminations.isEmpty());
    EXPECT_EQ(services->terminations.first(), 0);

    // Escape on a later page goes back to the start page; on the start page it closes.
    Invitation_Wizard *w = wizard();
    w->Prepare_Wizard();
    w->setResult(-1);
    w->Using_Wizard_Click();
    w->reject();
    EXPECT_EQ(w->next_counter, 0);
    EXPECT_EQ(w->result(), -1);
    w->reject();
    EXPECT_EQ(w->result(), 0);
}

TEST_F(InvitationWizardTest, EditedPhotoEffectsStartFromTheUnprocessedPhotoEveryTime)
{
    startWithWizard({QStringLiteral("Title"), QString(), QString(), QString(), QString(), QDate(), QTime()});
    Invitation_Wizard *w = wizard();
    const auto editWith = [&](float brightness, bool finish) {
        QTimer::singleShot(0, w, [w, brightness, finish] {
            w->Brt_Slider->setFloatValue(brightness);
            w->sepia_chk->setChecked(true);
            if (finish)
                w->Finish_Btn->click();
            else
                w->Close_Btn->click();
        });
        window->Edit_Main_Photo_Button();
    };
    Image_Effect_Settings expected;
    expected.brt = 0.2f;
    expected.sepia = true;
    editWith(0.2f, true);
    EXPECT_EQ(window->Main_Photo_image(), ImageProcesser::Get_Processed_Image(photo, expected));
    // The same edit again gives the same photo, not one with the effects twice.
    editWith(0.2f, true);
    EXPECT_EQ(window->Main_Photo_image(), ImageProcesser::Get_Processed_Image(photo, expected));
    EXPECT_NEAR(Win().IMG_brt_val, 0.2f, 1e-6);
    // The photo object on the card shows it.
    const SKTGraphicPtr photoObject = window->_graphicView->Selcect_Ctrl_With_ID(QString(ControlTags::MainPhoto));
    ASSERT_TRUE(photoObject);
    EXPECT_EQ(static_cast<SKTImage &>(*photoObject)._contents, window->Main_Photo_image());

    // Closing the editor keeps the photo and the settings it was made with.
    editWith(-0.5f, false);
    EXPECT_NEAR(Win().IMG_brt_val, 0.2f, 1e-6);
    EXPECT_EQ(window->Main_Photo_image(), ImageProcesser::Get_Processed_Image(photo, expected));
    // The editor opened on the photo page with the kept settings.
    EXPECT_FALSE(w->photo_box->isHidden());
    EXPECT_TRUE(w->second_box->isHidden());
    EXPECT_TRUE(w->button_box->isHidden());
}

TEST_F(InvitationWizardTest, MainPhotoReloadsFromItsPathWithItsSettings)
{
    load();
    Win().IMG_gray_Scale = true;
    window->Update_frame_Main_Photo_And_Path(resourcePath(QStringLiteral("photo.png")), false);
    Image_Effect_Settings grey;
    grey.grayscale = true;
    EXPECT_EQ(window->Main_Photo_image(), ImageProcesser::Get_Processed_Image(photo, grey));
    EXPECT_TRUE(Win().Invite_Frame_Pic_IMG.isEmpty());
    window->Update_Image_With_Settings();
    window->Update_Image_With_Settings();
    EXPECT_EQ(window->Main_Photo_image(), ImageProcesser::Get_Processed_Image(photo, grey));
    window->Update_frame_Main_Photo_And_Path(resourcePath(QStringLiteral("nothing.png")), true);
    EXPECT_TRUE(window->Main_Photo_image().isNull());
    EXPECT_EQ(Win().Invite_Frame_Pic_IMG, resourcePath(QStringLiteral("nothing.png")));
}

TEST(RotateImage, TakesTheSizeOfTheTurnedPicture)
{
    struct Row {
        QSize size;
        float angle;
        QSize expected;
    };
    const Row rows[] = {{{100, 50}, 90.0f, {50, 100}},  {{100, 50}, 45.0f, {106, 106}}, {{100, 50}, -90.0f, {50, 100}},
                        {{100, 50}, 180.0f, {100, 50}}, {{100, 50}, 0.0f, {100, 50}},   {{30, 10}, 30.0f, {30, 23}}};
    for (const Row &row : rows) {
        QImage picture(row.size, QImage::Format_ARGB32);
        picture.fill(Qt::red);
        EXPECT_EQ(SKTWindowController::RotateImage(picture, row.angle).size(), row.expected) << row.angle;
    }
    EXPECT_TRUE(SKTWindowController::RotateImage(QImage(), 10.0f).isNull());
    // The picture is drawn turned: a quarter turn puts the top-left red quadrant at the bottom left.
    const QImage turned = SKTWindowController::RotateImage(quadrants(40, 40), 90.0f);
    EXPECT_EQ(turned.pixelColor(8, 32), QColor(Qt::red));
}
