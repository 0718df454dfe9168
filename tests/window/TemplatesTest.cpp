#include "DesignWindowFixture.h"

#include "canvas/SKTRenderingView.h"
#include "document/DesignFile.h"
#include "fixtures/Pictures.h"
#include "document/SKTImage.h"
#include "document/Shape_Control.h"
#include "output/OutputState.h"
#include "platform/TemporaryFiles.h"
#include "platform/ui/ImageBrowserView.h"
#include "window/Export_Template.h"
#include "window/Invitation_Wizard.h"
#include "window/TemplateFiles.h"
#include "window/Template_Wizard.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

QString box(const QString &text)
{
    return QLatin1Char('\n') + text;
}

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

SKTGraphicPtr rectangle(const QRectF &bounds, const QColor &fill)
{
    auto shape = std::make_shared<Shape_Control>();
    shape->setBounds(bounds);
    shape->setFillColor(fill);
    shape->setDrawingFill(true);
    return shape;
}

} // namespace

class TemplatesTest : public DesignWindowTest {
protected:
    void SetUp() override
    {
        DesignWindowTest::SetUp();
        load();
        user = resourcePath(QStringLiteral("Templates/User/"));
        shipped = resourcePath(QStringLiteral("Templates/"));
    }

    Template_Wizard *browser() const { return window->templateWizard(); }
    Export_Template *nameDialog() const { return window->exportTemplateDialog(); }

    // A user template as the program writes it, with `bytes` in both files.
    void userTemplate(const QString &name, const QByteArray &bytes = "picture", const QString &picture = QStringLiteral("png"))
    {
        writeFile(QStringLiteral("Templates/User/") + name + QLatin1Char('.') + picture, bytes);
        writeFile(QStringLiteral("Templates/User/") + name + QStringLiteral(".zkse"), "design of " + bytes);
    }

    QStringList shownNames() const
    {
        QStringList names;
        for (const MyImageObject &item : browser()->imageBrowser->items())
            names << item.image_Name;
        return names;
    }

    void showUserTemplates()
    {
        browser()->Prepare_Template_Window();
        browser()->cat_cmbo_bx->setCurrentIndex(1);
        browser()->comboBoxSelectionDidChange(browser()->cat_cmbo_bx);
    }

    // Chooses the user template `name` (its picture a PNG).
    void select(const QString &name)
    {
        const QStringList names = shownNames();
        const QString picture = name + QStringLiteral(".png");
        ASSERT_TRUE(names.contains(picture)) << name.toStdString();
        browser()->imageBrowser->setSelectionIndexes({static_cast<int>(names.indexOf(picture))});
    }

    QString user, shipped;
};

TEST_F(TemplatesTest, ExportWritesTheDesignAndAPictureOfTheFrontAboveTheBack)
{
    document->insertGraphics({rectangle(QRectF(10, 10, 60, 40), Qt::red)}, {0});
    document->graphics_back().insertGraphics({rectangle(QRectF(100, 60, 50, 50), Qt::blue)}, {0});
    App().Project_File_Name = QStringLiteral("/somewhere/mine.zkse");

    ASSERT_TRUE(window->Write_Template(QStringLiteral("Party")));
    EXPECT_EQ(services->messages, QStringList{box(QStringLiteral("Template exported successfully."))});
    // The open design keeps its own name.
    EXPECT_EQ(App().Project_File_Name, QStringLiteral("/somewhere/mine.zkse"));
    EXPECT_EQ(Output().export_card_side, QStringLiteral("BOTH"));

    // The picture: one side wide, two high, each half the side as the renderer draws it.
    QImage picture(user + QStringLiteral("Party.png"));
    const QRectF frame = window->_graphicView->canvasBounds();
    ASSERT_EQ(picture.size(), QSize(243, 308));
    const QImage front = SKTRenderingView::image_From_Card_Graphics(document->graphics().items(), false,
                                                                    window->Front_card_Prop, 0, frame).toImage();
    const QImage back = SKTRenderingView::image_From_Card_Graphics(document->graphics_back().items(), false,
                                                                   window->Back_card_Prop, 0, frame).toImage();
    picture = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(picture.copy(0, 0, 243, 154), front.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    EXPECT_EQ(picture.copy(0, 154, 243, 154), back.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    EXPECT_EQ(picture.pixelColor(30, 30), QColor(Qt::red));
    EXPECT_EQ(picture.pixelColor(120, 154 + 80), QColor(Qt::blue));

    // It opens again as a template: the design comes back without taking the template's path.
    window->New_Project_Setting_Reset();
    ASSERT_EQ(window->Read_and_load_design_Log(user + QStringLiteral("Party.zkse"), QStringLiteral("T")), 1);
    EXPECT_EQ(document->graphics().count(), 1);
    EXPECT_EQ(document->graphics_back().at(0)->bounds(), QRectF(100, 60, 50, 50));
    EXPECT_TRUE(App().Project_File_Name.isEmpty());
}

TEST_F(TemplatesTest, AShippedTemplateNamesItsPicturesByTheirPlaceInTheResourcesOrIsRefused)
{
    // The maker works in a copy of the shipped resources: the frame lies in both, the photo only in
    // the maker's scratch copy.
    QTemporaryDir source;
    const QString sourceResources = source.path() + QLatin1Char('/');
    writeFile(QStringLiteral("Frames/Rose.png"));
    ASSERT_TRUE(solidPicture(Qt::red, 8, 8).save(resourcePath(QStringLiteral("Frames/Rose.png"))));
    ASSERT_TRUE(QDir().mkpath(sourceResources + QStringLiteral("Frames")));
    ASSERT_TRUE(QFile::copy(resourcePath(QStringLiteral("Frames/Rose.png")), sourceResources + QStringLiteral("Frames/Rose.png")));
    ASSERT_TRUE(solidPicture(Qt::blue, 8, 8).save(resourcePath(QStringLiteral("photo.png"))));
    GraphicList pictures;
    for (const char *place : {"Frames/Rose.png", "photo.png"})
        pictures << std::make_shared<SKTImage>(QPointF(40, 40), resourcePath(QString::fromLatin1(place)));
    document->insertGraphics(pictures, platform::IndexSet::range(0, 2));
    const QString design = sourceResources + QStringLiteral("Templates/Rose.zkse");

    services->messages.clear();
    EXPECT_FALSE(window->Write_Shipped_Template(QStringLiteral("Rose"), sourceResources));
    ASSERT_EQ(services->messages.size(), 1);
    EXPECT_TRUE(services->messages[0].contains(resourcePath(QStringLiteral("photo.png"))));
    EXPECT_FALSE(services->messages[0].contains(QStringLiteral("Rose.png")));
    EXPECT_FALSE(QFileInfo::exists(design));

    pictures[1]->Set_Control_File_path(resourcePath(QStringLiteral("Frames/Rose.png")));
    ASSERT_TRUE(window->Write_Shipped_Template(QStringLiteral("Rose"), sourceResources));
    EXPECT_EQ(pictures[0]->FilePath(), resourcePath(QStringLiteral("Frames/Rose.png"))) << "the design keeps its paths";
    const std::optional<DesignFileContents> written = DesignFile::read(contentsOf(design));
    ASSERT_TRUE(written);
    for (const SKTGraphicPtr &graphic : written->frontGraphics)
        EXPECT_EQ(graphic->FilePath(), QStringLiteral("/Resources/Frames/Rose.png"));
    EXPECT_TRUE(QImage(sourceResources + QStringLiteral("Templates/Rose.png")).size().isValid());
}

TEST_F(TemplatesTest, ExportRefusesNamesThatLeaveTheFolderOrAreTooLongWhoeverCalls)
{
    const struct {
        QString name;
        const char *reason;
    } rows[] = {{QStringLiteral("../escape"), "may not contain"},
                {QStringLiteral("a") + QChar(0) + QStringLiteral("b"), "may not contain"},
                {QString(100'000, QLatin1Char('n')), "File name too long"}};
    for (const auto &row : rows) {
        services->messages.clear();
        EXPECT_FALSE(window->Write_Template(row.name));
        ASSERT_EQ(services->messages.size(), 1);
        EXPECT_TRUE(services->messages.first().contains(QLatin1String(row.reason))) << services->messages.first().toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(user + QStringLiteral("../escape.zkse")));
    EXPECT_EQ(QDir(user).entryList(QDir::Files).size(), 0);
}

TEST_F(TemplatesTest, ExportSaysSuccessOnlyWhenBothFilesWereWritten)
{
    // A folder where the picture should go: it cannot be written.
    QDir().mkpath(user + QStringLiteral("Party.png"));
    EXPECT_FALSE(window->Write_Template(QStringLiteral("Party")));
    EXPECT_FALSE(services->messages.contains(box(QStringLiteral("Template exported successfully."))));
    EXPECT_FALSE(services->messages.isEmpty()) << "the failure is reported";
    EXPECT_FALSE(QFileInfo::exists(user + QStringLiteral("Party.zkse"))) << "no design without its picture";

    // An old template is replaced whole.
    userTemplate(QStringLiteral("Old"), "old");
    services->messages.clear();
    ASSERT_TRUE(window->Write_Template(QStringLiteral("Old")));
    EXPECT_NE(contentsOf(user + QStringLiteral("Old.zkse")), QByteArray("design of old"));
    EXPECT_TRUE(QImage(user + QStringLiteral("Old.png")).size().isValid());
    EXPECT_EQ(QDir(user).entryList(QDir::Files), (QStringList{QStringLiteral("Old.png"), QStringLiteral("Old.zkse")}))
        << "no temporary files are left";
}

TEST_F(TemplatesTest, ExportAsTemplateAsksForTheNameFirst)
{
    QTimer::singleShot(0, nameDialog(), [this] {
        nameDialog()->template_name->setText(QStringLiteral("  Picnic  "));
        nameDialog()->OKPressed();
    });
    window->Export_As_Template_Clicked();
    EXPECT_TRUE(QFileInfo::exists(user + QStringLiteral("Picnic.zkse")));
    EXPECT_TRUE(QFileInfo::exists(user + QStringLiteral("Picnic.png")));

    QTimer::singleShot(0, nameDialog(), [this] { nameDialog()->CancelPressed(); });
    window->Export_As_Template_Clicked();
    EXPECT_EQ(QDir(user).entryList(QDir::Files).size(), 2);
}

TEST_F(TemplatesTest, TheNameDialogRefusesNamesThatAreNoFileNameOfTheFolder)
{
    userTemplate(QStringLiteral("Taken"));
    struct Row {
        QString typed;
        QString passed; // the template being renamed
        QList<std::optional<bool>> answers;
        bool accepted;
        QString name;
        QString message;
    };
    const QString enter = box(QStringLiteral("Please enter template name."));
    const auto unusable = [](const QString &name) { // told apart from no name, with the reason
        return box(QStringLiteral("\"%1\" cannot be a template name: a template is a file in your templates folder, "
                                  "so its name may not contain \"/\" or \"\\\" and may not be \".\" or \"..\".").arg(name));
    };
    const QString nul = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
    const Row rows[] = {
        {QStringLiteral("   "), {}, {}, false, {}, enter},
        {QStringLiteral("/*?"), {}, {}, false, {}, enter},
        {QStringLiteral("a/b"), {}, {}, false, {}, unusable(QStringLiteral("a/b"))},
        {QStringLiteral("a\\b"), {}, {}, false, {}, unusable(QStringLiteral("a\\b"))},
        {QStringLiteral("../Escaped"), {}, {}, false, {}, unusable(QStringLiteral("../Escaped"))},
        {QStringLiteral(".."), {}, {}, false, {}, unusable(QStringLiteral(".."))},
        {QStringLiteral("."), {}, {}, false, {}, unusable(QStringLiteral("."))},
        {nul, {}, {}, false, {}, unusable(nul)},
        {QStringLiteral(" *Party* "), {}, {}, true, QStringLiteral("Party"), {}},
        {QStringLiteral("Taken"), {}, {false}, false, {}, {}},
        {QStringLiteral("Taken"), {}, {true}, true, QStringLiteral("Taken"), {}},
        {QStringLiteral("Taken"), QStringLiteral("Taken"), {}, true, QStringLiteral("Taken"), {}},
        {QStringLiteral("Taken"), QStringLiteral("Other"), {}, false, {}, box(QStringLiteral("Template with this name already exists."))},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.typed.toStdString());
        services->messages.clear();
        services->questions.clear();
        services->yesNoAnswers = row.answers;
        Win().export_template_name.clear();
        nameDialog()->setResult(-1);
        nameDialog()->template_name->setText(row.typed);
        nameDialog()->template_passed = row.passed;
        nameDialog()->OKPressed();
        EXPECT_EQ(nameDialog()->result() == 1, row.accepted);
        EXPECT_EQ(Win().export_template_name, row.name);
        EXPECT_EQ(services->messages, row.message.isEmpty() ? QStringList() : QStringList{row.message});
        if (!row.answers.isEmpty()) {
            EXPECT_EQ(services->questions,
                      QStringList{QStringLiteral("Template with this name already exists, Do you want to replace the "
                                                 "existing template?")});
        }
    }
}

TEST_F(TemplatesTest, BrowserListsPicturesAndNumbersTheUsersItems)
{
    writeFile(QStringLiteral("Templates/A.PNG"));
    writeFile(QStringLiteral("Templates/B.jpg"));
    writeFile(QStringLiteral("Templates/Z.gif"));
    writeFile(QStringLiteral("Templates/B.zkse"));
    browser()->Prepare_Template_Window();
    EXPECT_EQ(shownNames(), (QStringList{QStringLiteral("A.PNG"), QStringLiteral("B.jpg")}));
    EXPECT_EQ(browser()->imageBrowser->itemAtIndex(0).image_UID, QStringLiteral("A.PNG"));
    // The first is chosen; the commands are for the user's own templates only.
    EXPECT_EQ(Win().Selected_Template_Path, shipped + QStringLiteral("A.PNG"));
    EXPECT_TRUE(browser()->Delete_temp_btn->isHidden());

    userTemplate(QStringLiteral("One"));
    userTemplate(QStringLiteral("Two"));
    showUserTemplates();
    EXPECT_FALSE(browser()->Delete_temp_btn->isHidden());
    EXPECT_EQ(shownNames(), (QStringList{QStringLiteral("One.png"), QStringLiteral("Two.png")}));
    EXPECT_EQ(browser()->imageBrowser->itemAtIndex(1).image_UID, QStringLiteral("TEMP1.png"));
    browser()->Fill_Templates_User_Defined();
    EXPECT_EQ(browser()->imageBrowser->itemAtIndex(0).image_UID, QStringLiteral("TEMP2.png"));
    EXPECT_EQ(Win().Selected_Template_Path, user + QStringLiteral("One.png"));

    // Dragging one item to the end moves it.
    EXPECT_TRUE(browser()->imageBrowser_moveItemsAtIndexes_toIndex({0}, 2));
    EXPECT_EQ(shownNames(), (QStringList{QStringLiteral("Two.png"), QStringLiteral("One.png")}));

    // An empty user folder shows nothing, and nothing stays chosen from the other list.
    QDir(user).removeRecursively();
    browser()->Fill_Templates_User_Defined();
    EXPECT_TRUE(shownNames().isEmpty());
    EXPECT_TRUE(Win().Selected_Template_Path.isEmpty());
}

TEST_F(TemplatesTest, OkHandsOverTheDesignFileOfAnExistingChoice)
{
    writeFile(QStringLiteral("Templates/B.jpg"));
    writeFile(QStringLiteral("Templates/B.zkse"));
    browser()->Prepare_Template_Window();
    App().Card_Shape = 2;
    QFile::remove(shipped + QStringLiteral("B.jpg"));
    browser()->OK_Click();
    EXPECT_EQ(services->messages, QStringList{box(QStringLiteral("Please select template."))});
    EXPECT_NE(browser()->result(), 1);

    writeFile(QStringLiteral("Templates/B.jpg"));
    browser()->OK_Click();
    EXPECT_EQ(browser()->result(), 1);
    EXPECT_EQ(Win().Selected_Template_Path, shipped + QStringLiteral("B.zkse"));
    EXPECT_EQ(App().Card_Shape, 0);

    browser()->CancelClick();
    EXPECT_EQ(browser()->result(), 0);
    EXPECT_TRUE(Win().Selected_Template_Path.isEmpty());
}

TEST_F(TemplatesTest, CopyMakesTheFirstFreeCopyOfBothFilesOrNone)
{
    userTemplate(QStringLiteral("Party"), "party");
    writeFile(QStringLiteral("Templates/User/Party (copy 1).png"), "older copy");
    showUserTemplates();
    select(QStringLiteral("Party"));
    services->yesNoAnswers = {false, true};
    browser()->Copy_Templatee_Click();
    EXPECT_FALSE(QFileInfo::exists(user + QStringLiteral("Party (copy 2).png")));
    browser()->Copy_Templatee_Click();
    EXPECT_EQ(services->questions.last(), QStringLiteral("Do you want to make copy of this template?"));
    EXPECT_EQ(contentsOf(user + QStringLiteral("Party (copy 2).png")), QByteArray("party"));
    EXPECT_EQ(contentsOf(user + QStringLiteral("Party (copy 2).zkse")), QByteArray("design of party"));
    EXPECT_TRUE(shownNames().contains(QStringLiteral("Party (copy 2).png")));

    // A template without its design file is not copied in half, and the user hears why.
    writeFile(QStringLiteral("Templates/User/Lonely.png"), "lonely");
    showUserTemplates();
    select(QStringLiteral("Lonely"));
    services->yesNoAnswers = {true};
    services->messages.clear();
    browser()->Copy_Templatee_Click();
    ASSERT_EQ(services->messages.size(), 1);
    EXPECT_TRUE(services->messages.first().contains(QStringLiteral("could not be copied")));
    EXPECT_FALSE(QFileInfo::exists(user + QStringLiteral("Lonely (copy 1).png")));
}

TEST_F(TemplatesTest, CopyNamesChangeOnlyTheFileName)
{
    const QString folder = resourcePath(QStringLiteral("Party/"));
    writeFile(QStringLiteral("Party/Party.png"));
    writeFile(QStringLiteral("Party/Party (copy 1).png"));
    EXPECT_EQ(Template_Wizard::Create_New_File_Path(folder + QStringLiteral("Party.png")),
              folder + QStringLiteral("Party (copy 2).png"));
    EXPECT_EQ(Template_Wizard::Create_New_File_Path(folder + QStringLiteral("a.b.jpg")),
              folder + QStringLiteral("a.b (copy 1).jpg"));
}

TEST_F(TemplatesTest, RenameMovesBothFilesAndKeepsTheOriginalsWhenItCannot)
{
    userTemplate(QStringLiteral("Party"), "party");
    userTemplate(QStringLiteral("Taken"), "taken");
    showUserTemplates();
    const auto renameTo = [&](const QString &name) {
        QTimer::singleShot(0, nameDialog(), [this, name] {
            EXPECT_EQ(nameDialog()->template_passed, QStringLiteral("Party"));
            nameDialog()->template_name->setText(name);
            nameDialog()->OKPressed();
            if (nameDialog()->isVisible())
                nameDialog()->CancelPressed();
        });
        browser()->Rename_Template_Click();
    };

    select(QStringLiteral("Party"));
    renameTo(QStringLiteral("Party")); // the same name changes nothing
    EXPECT_EQ(contentsOf(user + QStringLiteral("Party.png")), QByteArray("party"));

    select(QStringLiteral("Party"));
    renameTo(QStringLiteral("Taken"));
    EXPECT_EQ(services->messages.last(), box(QStringLiteral("Template with this name already exists.")));
    EXPECT_EQ(contentsOf(user + QStringLiteral("Taken.png")), QByteArray("taken"));

    select(QStringLiteral("Party"));
    renameTo(QStringLiteral("Picnic"));
    EXPECT_EQ(contentsOf(user + QStringLiteral("Picnic.png")), QByteArray("party"));
    EXPECT_EQ(contentsOf(user + QStringLiteral("Picnic.zkse")), QByteArray("design of party"));
    EXPECT_FALSE(QFileInfo::exists(user + QStringLiteral("Party.png")));
    EXPECT_FALSE(QFileInfo::exists(user + QStringLiteral("Party.zkse")));
    EXPECT_EQ(shownNames(), (QStringList{QStringLiteral("Picnic.png"), QStringLiteral("Taken.png")}));

    // A template whose design file is missing cannot move: its picture stays where it is.
    writeFile(QStringLiteral("Templates/User/Lonely.png"), "lonely");
    showUserTemplates();
    select(QStringLiteral("Lonely"));
    QTimer::singleShot(0, nameDialog(), [this] {
        nameDialog()->template_name->setText(QStringLiteral("Elsewhere"));
        nameDialog()->OKPressed();
    });
    browser()->Rename_Template_Click();
    EXPECT_TRUE(services->messages.last().contains(QStringLiteral("could not be renamed")));
    EXPECT_EQ(contentsOf(user + QStringLiteral("Lonely.png")), QByteArray("lonely"));
    EXPECT_FALSE(QFileInfo::exists(user + QStringLiteral("Elsewhere.png")));
}

TEST_F(TemplatesTest, MovingAFileReplacesItsTargetOnlyWhenItCan)
{
    writeFile(QStringLiteral("a.jpg"), "jpeg bytes");
    writeFile(QStringLiteral("b.png"), "old");
    QString error;
    ASSERT_TRUE(TemplateFiles::moveFile(resourcePath(QStringLiteral("a.jpg")), resourcePath(QStringLiteral("b.png")), &error));
    EXPECT_EQ(contentsOf(resourcePath(QStringLiteral("b.png"))), QByteArray("jpeg bytes"));
    EXPECT_FALSE(QFileInfo::exists(resourcePath(QStringLiteral("a.jpg"))));
    EXPECT_FALSE(TemplateFiles::moveFile(resourcePath(QStringLiteral("a.jpg")), resourcePath(QStringLiteral("c")), &error));
    EXPECT_FALSE(error.isEmpty());
    // What a copy killed before its rename left: the next copy of the file sweeps it.
    const QString leftover = platform::temporaryFilePrefix(resourcePath(QStringLiteral("c.png"))) + QStringLiteral("Ab3xZ9");
    writeFile(QFileInfo(leftover).fileName(), "half");
    ASSERT_TRUE(TemplateFiles::copyVerified(resourcePath(QStringLiteral("b.png")), resourcePath(QStringLiteral("c.png")), &error));
    EXPECT_EQ(contentsOf(resourcePath(QStringLiteral("c.png"))), QByteArray("jpeg bytes"));
    EXPECT_FALSE(QFileInfo::exists(leftover));
    EXPECT_FALSE(TemplateFiles::copyVerified(resourcePath(QStringLiteral("b.png")), resourcePath(QStringLiteral("no/such/c.png")), &error));
}

TEST_F(TemplatesTest, DeleteRemovesBothFilesOfTheUsersTemplateOnly)
{
    userTemplate(QStringLiteral("Party"));
    writeFile(QStringLiteral("Templates/Shipped.png"));
    writeFile(QStringLiteral("Templates/Shipped.zkse"));
    showUserTemplates();
    select(QStringLiteral("Party"));
    services->yesNoAnswers = {false, true};
    browser()->Delete_Template_Click();
    EXPECT_TRUE(QFileInfo::exists(user + QStringLiteral("Party.png")));
    browser()->Delete_Template_Click();
    EXPECT_EQ(services->questions.last(), QStringLiteral("Do you want to delete this template?"));
    EXPECT_FALSE(QFileInfo::exists(user + QStringLiteral("Party.png")));
    EXPECT_FALSE(QFileInfo::exists(user + QStringLiteral("Party.zkse")));

    // A shipped template is not the user's to delete, whatever is chosen.
    Win().Selected_Template_Path = shipped + QStringLiteral("Shipped.png");
    services->messages.clear();
    browser()->Delete_Template_Click();
    EXPECT_EQ(services->messages, QStringList{box(QStringLiteral("Please select template."))});
    EXPECT_TRUE(QFileInfo::exists(shipped + QStringLiteral("Shipped.png")));
}

TEST_F(TemplatesTest, StartingFromATemplateLoadsItWithoutItsPathAndFindsItsFrame)
{
    // A template whose frame picture was made elsewhere: the frame is found in this "Frames".
    QImage frame(20, 25, QImage::Format_ARGB32);
    frame.fill(QColor(10, 20, 30));
    QDir().mkpath(resourcePath(QStringLiteral("Frames")));
    ASSERT_TRUE(frame.save(resourcePath(QStringLiteral("Frames/Gold.png")), "PNG"));
    auto framePicture = std::make_shared<SKTImage>();
    framePicture->control_ID = QStringLiteral("PARTY_IMAGE_BG");
    framePicture->Set_Control_File_path(QStringLiteral("/elsewhere/Frames/Gold.png"));
    framePicture->setBounds(QRectF(0, 0, 243, 154));
    document->insertGraphics({framePicture}, {0});
    ASSERT_TRUE(window->Write_Template(QStringLiteral("Gold Party")));
    QFile::copy(user + QStringLiteral("Gold Party.png"), shipped + QStringLiteral("Gold Party.png"));
    QFile::copy(user + QStringLiteral("Gold Party.zkse"), shipped + QStringLiteral("Gold Party.zkse"));
    window->New_Project_Setting_Reset();

    Invitation_Wizard *wizard = window->invitationWizard();
    wizard->Prepare_Wizard();
    QTimer::singleShot(0, browser(), [this] { browser()->OK_Click(); });
    wizard->Using_Template_Click();
    EXPECT_EQ(wizard->result(), 1);
    EXPECT_EQ(Win().Start_Card_Option, QStringLiteral("T"));
    EXPECT_TRUE(App().Project_File_Name.isEmpty());
    ASSERT_EQ(document->graphics().count(), 1);
    EXPECT_EQ(document->graphics().at(0)->FilePath(), resourcePath(QStringLiteral("Frames/Gold.png")));
    EXPECT_EQ(static_cast<SKTImage &>(*document->graphics().at(0))._contents.size(), QSize(20, 25));

    // Cancelling the browser stays on the start page.
    wizard->Prepare_Wizard();
    wizard->setResult(-1);
    QTimer::singleShot(0, browser(), [this] { browser()->CancelClick(); });
    wizard->Using_Template_Click();
    EXPECT_EQ(wizard->result(), -1);
    EXPECT_EQ(wizard->next_counter, 0);
}
