#include "DesignWindowFixture.h"
#include "canvas/ui/PleaseWait_Modeless.h"

#include "core/ImageCategories.h"
#include "core/ImageProcesser.h"
#include "core/PathHelpers.h"
#include "core/StringHelpers.h"
#include "datasource/DataSourceState.h"
#include "document/DesignFile.h"
#include "document/SKTGraphicKinds.h"
#include "output/ui/SupportWindows.h"
#include "fixtures/EventLoop.h"
#include "fixtures/Pictures.h"
#include "platform/KeyedArchiver.h"
#include "platform/KeyedCoder.h"
#include "platform/PropertyList.h"
#include "profile/User_Profile_Class.h"
#include "datasource/Data_From_Excel.h"
#include "window/ToolIcons.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QTimer>
#include <QButtonGroup>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QMainWindow>
#include <QPainter>
#include <QProgressBar>
#include <QToolButton>

namespace {

// A message box's text as shown: after a leading line feed.
QString box(const char *text)
{
    return QLatin1Char('\n') + QString::fromUtf8(text);
}

// A failed save names the file; its reason follows on a line of its own.
QString saveFailed(const QString &path)
{
    return QStringLiteral("\nThe design could not be saved to \"%1\".").arg(path);
}

QList<QStringList> archivesOf(const SKTGraphicList &list)
{
    QList<QStringList> archives;
    for (const SKTGraphicPtr &graphic : list.items())
        archives << (QStringList{graphic->className()} +
                     fieldsOf([&](platform::KeyedEncoder &coder) { graphic->encodeWithCoder(coder); }));
    return archives;
}

} // namespace

class DesignFileCommandsTest : public DesignWindowTest {
protected:
    void SetUp() override
    {
        DesignWindowTest::SetUp();
        Data_From_Excel::defaultInstance()->reset();
        ASSERT_TRUE(files.isValid());
        load();
    }

    void TearDown() override
    {
        Data_From_Excel::defaultInstance()->reset();
        DesignWindowTest::TearDown();
    }

    QString filePath(const QString &name) const { return files.path() + QLatin1Char('/') + name; }

    QString writePicture(const QString &name, const QColor &color, const QSize &size = QSize(12, 8))
    {
        const QString path = filePath(name);
        EXPECT_TRUE(solidPicture(color, size.width(), size.height()).save(path, "PNG"));
        return path;
    }

    // One object of every kind on each side, the main photo among them, both card faces changed from
    // their defaults, the main photo with effects and an Excel binding.
    void buildRichDesign()
    {
        const QString picture = writePicture(QStringLiteral("flower.png"), Qt::magenta);
        const QString backdrop = writePicture(QStringLiteral("backdrop.png"), Qt::darkGreen, QSize(30, 20));
        window->setMain_Photo_image(solidPicture(Qt::cyan, 9, 7));
        // The sheet first: objects put on a side find their columns in it.
        Data_From_Excel *excel = Data_From_Excel::defaultInstance();
        excel->setColumnTitles({QStringLiteral("#"), QStringLiteral("Name"), QStringLiteral("City")});

        for (int side = 0; side < 2; ++side) {
            GraphicList graphics;
            for (const char *cls : {"Shape_Control", "SKTLine", "SKTText", "SKTImage", "SKTSignature", "SKTBarcode"}) {
                SKTGraphicPtr g = SKTGraphic::graphicWithClassName(QLatin1String(cls));
                g->_bounds = QRectF(10 + graphics.size() * 17, 5 + side * 3, 40, 30);
                g->control_ID = QStringLiteral("%1_%2").arg(QLatin1String(cls)).arg(side);
                g->Text_Value = QStringLiteral("value %1").arg(graphics.size());
                g->_fillColor = QColor::fromHsv(static_cast<int>(graphics.size()) * 40, 200, 200);
                g->_strokeWidth = 1.5 + side;
                g->binding.data_source_type = 2;
                g->binding.excel_col_indx = 1;
                graphics << g;
            }
            graphics[0]->_shape_type = side == 0 ? QStringLiteral("DS") : QStringLiteral("P");
            graphics[2]->Text_contents().string = QStringLiteral("Hello side %1").arg(side);
            graphics[3]->_file_path = picture;
            graphics[4]->_file_path = filePath(QStringLiteral("signature-elsewhere.png"));
            graphics[4]->sign_or_fingureprint = side == 0 ? QStringLiteral("S") : QStringLiteral("F");
            graphics[5]->_barcode_image = solidPicture(Qt::black, 6, 3);
            SKTGraphicList &list = side == 0 ? document->graphics() : document->graphics_back();
            list.insertGraphics(graphics, platform::IndexSet::range(0, static_cast<int>(graphics.size())));
        }
        auto photo = std::make_shared<SKTImage>();
        photo->control_ID = QStringLiteral("PARTY_IMAGE");
        photo->_bounds = QRectF(100, 60, 50, 40);
        photo->_file_path = filePath(QStringLiteral("photo-gone.png"));
        document->graphics().insertGraphics({photo}, {6});

        Card_Property &front = window->Front_card_Prop;
        front.setCard_fill_chk(true);
        front.setCard_fill_style(QStringLiteral("I"));
        front.setCard_BG_Image_Path(backdrop);
        front.setCard_Size(QSizeF(283.5, 170.25));
        front.setCard_Shape(QStringLiteral("E"));
        front.setCard_Name(QStringLiteral("Party"));
        front.setCard_Content_font(QFont(QStringLiteral("Liberation Sans"), 16));
        Card_Property &back = window->Back_card_Prop;
        back.setCard_fill_chk(true);
        back.setCard_fill_style(QStringLiteral("G"));
        back.setCard_fill_Grd_1_clr(QColor(200, 10, 10));
        back.setCard_fill_Grd_2_clr(QColor(10, 10, 200, 128));
        back.setCard_grad_Stepper(45);
        back.setCard_BG_Image_Path(QStringLiteral("/left/over.png"));
        back.setCard_Location(QPointF(12.5, 3));
        back.setCard_Size(QSizeF(100, 50));

        WindowState &win = Win();
        win.Invite_Frame_Pic_IMG = picture;
        win.IMG_Sepia = true;
        win.IMG_invert_clr = true;
        win.IMG_hue_val = 1.7f;
        win.IMG_ev_val = -2.5f;
        win.IMG_rotate_image = 90;
        win.IMG_trnsp_val = 80;
        DataSources().Excel_Binding_Use = true;
        DataSources().Excel_Source_Path = filePath(QStringLiteral("guests.xlsx"));
        excel->Create_List_By_Array({QStringLiteral("Ann"), QStringLiteral(" Oslo ")}, 2);
        excel->Create_List_By_Array({QStringLiteral("Bo"), QStringLiteral("Rome")}, 2);
    }

    // A file written through the window, so tests can open it.
    QString savedDesign(const QString &name)
    {
        const QString path = filePath(name);
        App().Project_File_Name = path;
        EXPECT_TRUE(window->Save_project_file(false, false));
        return path;
    }

    bool undoIsRecorded() { return document->undoManager().isUndoRegistrationEnabled(); }

    QTemporaryDir files;
};

TEST_F(DesignFileCommandsTest, ADesignComesBackFieldForFieldThroughSaveAndOpen)
{
    buildRichDesign();
    const QString path = filePath(QStringLiteral("party"));
    services->fileAnswers << path;
    window->Save_Btn_Clicked();
    ASSERT_EQ(services->messages, QStringList{box("Photo Frame Design Log has been saved successfully.")});
    // The panel's name gets the design file extension.
    const QString saved = path + QStringLiteral(".zkse");
    EXPECT_EQ(App().Project_File_Name, saved);
    EXPECT_EQ(window->Main_wnd->windowTitle(), QStringLiteral("party.zkse"));
    // The solid back lost its unused background path, in memory too.
    EXPECT_EQ(window->Back_card_Prop.Card_BG_Image_Path(), QString());

    const Card_Property front = window->Front_card_Prop;
    const Card_Property back = window->Back_card_Prop;
    const QList<QStringList> frontArchives = archivesOf(document->graphics());
    const QList<QStringList> backArchives = archivesOf(document->graphics_back());
    ASSERT_EQ(frontArchives.size(), 7);
    ASSERT_EQ(backArchives.size(), 6);
    auto temp = std::make_shared<SKTText>();
    document->graphics_temp().insertGraphics({temp}, {0});

    // Everything is put back to a fresh design before opening.
    window->New_Project_Setting_Reset();
    Win().reset();
    DataSources().reset();
    Data_From_Excel::defaultInstance()->reset();
    App().Card_Shape = 0;
    window->SetDocumentCanvasSize(QSizeF(50, 50));
    ASSERT_EQ(document->graphics().count(), 0);

    services->yesNoAnswers << false;
    services->fileAnswers << saved;
    window->Open_Btn_Clicked();
    EXPECT_EQ(services->questions, QStringList{QStringLiteral("Do you want to save changes before opening document?")});
    EXPECT_EQ(services->messages.size(), 1) << services->messages.join(QLatin1Char('|')).toStdString();

    Card_Property expectedFront = front;
    expectedFront.setCard_BG_Image(QImage(front.Card_BG_Image_Path()));
    EXPECT_EQ(window->Front_card_Prop, expectedFront);
    EXPECT_FALSE(window->Front_card_Prop.Card_BG_Image().isNull());
    EXPECT_EQ(window->Back_card_Prop, back);
    EXPECT_EQ(archivesOf(document->graphics()), frontArchives);
    EXPECT_EQ(archivesOf(document->graphics_back()), backArchives);
    EXPECT_EQ(document->graphics_temp().count(), 1) << "the temp side is not part of a design";

    // The main photo came first, so the photo object shows it; plain pictures reloaded their files.
    EXPECT_EQ(window->Main_Photo_image().convertToFormat(QImage::Format_ARGB32), solidPicture(Qt::cyan, 9, 7));
    auto *photo = static_cast<SKTImage *>(document->graphics().at(6).get());
    EXPECT_EQ(photo->_contents.convertToFormat(QImage::Format_ARGB32), solidPicture(Qt::cyan, 9, 7));
    auto *picture = static_cast<SKTImage *>(document->graphics().at(3).get());
    EXPECT_EQ(picture->_contents.convertToFormat(QImage::Format_ARGB32), solidPicture(Qt::magenta, 12, 8));

    const WindowState &win = Win();
    EXPECT_TRUE(win.IMG_Sepia);
    EXPECT_TRUE(win.IMG_invert_clr);
    EXPECT_FALSE(win.IMG_gray_Scale);
    EXPECT_EQ(win.IMG_hue_val, 1.7f);
    EXPECT_EQ(win.IMG_ev_val, -2.5f);
    EXPECT_EQ(win.IMG_rotate_image, 90.0f);
    EXPECT_EQ(win.IMG_trnsp_val, 80.0f);
    EXPECT_EQ(win.IMG_sat_val, 1.0f);
    EXPECT_EQ(win.Invite_Frame_Pic_IMG, filePath(QStringLiteral("flower.png")));
    EXPECT_TRUE(DataSources().Excel_Binding_Use);
    EXPECT_EQ(DataSources().Excel_Source_Path, filePath(QStringLiteral("guests.xlsx")));
    const Data_From_Excel *excel = Data_From_Excel::defaultInstance();
    EXPECT_EQ(excel->columnTitles(),
              (QStringList{QStringLiteral("#"), QStringLiteral("Name"), QStringLiteral("City")}));
    ASSERT_EQ(excel->ListData.size(), 2);
    EXPECT_EQ(excel->ListData[0].value(QStringLiteral("Column2")).toString(), QStringLiteral("Oslo"));
    EXPECT_EQ(excel->value(QStringLiteral("Column1"), 1).toString(), QStringLiteral("Bo"));

    // The front size reached the canvases and the size controls; the outline is the saved oval.
    for (SKTGraphicView *canvas : {window->_graphicView, window->_graphicView_BACK, window->_graphicView_TEMP})
        EXPECT_EQ(canvas->canvasSize(), QSizeF(283.5, 170.25));
    EXPECT_NEAR(window->card_setting_tab->width_Stepper->value(), 283.5 * 0.3527777777778, 1e-3);
    EXPECT_NEAR(window->card_setting_tab->height_Stepper->value(), 170.25 * 0.3527777777778, 1e-3);
    EXPECT_EQ(App().Card_Shape, 2);
    EXPECT_TRUE(window->card_setting_tab->matrix_card_shape_rows->button(2)->isChecked());

    // The loaded objects are no undo steps, and registration works again.
    EXPECT_FALSE(document->undoManager().canUndo());
    EXPECT_FALSE(App().Not_Draw_Only_Prop_Change);
    EXPECT_TRUE(undoIsRecorded());
    EXPECT_EQ(App().Project_File_Name, saved);
    EXPECT_EQ(window->Main_wnd->windowTitle(), QStringLiteral("party.zkse"));
    EXPECT_EQ(window->Selected_Control_Tool(), 0);
    EXPECT_EQ(tabNames(), (QStringList{QStringLiteral("card_setting_tab"), QStringLiteral("card_bkgd_tab")}));
    EXPECT_EQ(window->startWizardRuns, 1) << "only the start-up wizard";
}

TEST_F(DesignFileCommandsTest, CancelledSavePanelsWriteNothingAndKeepTheName)
{
    // Untitled: the panel is shown; Cancel leaves the name empty and the title as it was.
    window->Main_wnd->setWindowTitle(QStringLiteral("before"));
    EXPECT_FALSE(window->Save_project_file(false, true));
    EXPECT_TRUE(App().Project_File_Name.isEmpty());
    EXPECT_EQ(window->Main_wnd->windowTitle(), QStringLiteral("before"));
    EXPECT_TRUE(services->messages.isEmpty());
    EXPECT_TRUE(QDir(files.path()).isEmpty());

    // Save As on a titled design asks again; Cancel restores the previous name.
    const QString titled = savedDesign(QStringLiteral("titled.zkse"));
    const QByteArray before = [&] {
        QFile file(titled);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    window->Front_card_Prop.setCard_Name(QStringLiteral("changed"));
    window->SaveAs_Btn_Clicked();
    EXPECT_EQ(App().Project_File_Name, titled);
    QFile file(titled);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
}

TEST_F(DesignFileCommandsTest, ANameTypedWithoutTheExtensionReplacesAnotherDesignOnlyWhenAllowed)
{
    const QString other = savedDesign(QStringLiteral("party.zkse"));
    QFile file(other);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    App().Project_File_Name = filePath(QStringLiteral("mine.zkse"));
    window->Front_card_Prop.setCard_Name(QStringLiteral("changed"));

    // The panel confirmed "party", which does not exist; "party.zkse" is another design.
    services->fileAnswers << filePath(QStringLiteral("party"));
    services->yesNoAnswers << false;
    EXPECT_FALSE(window->Save_project_file(true, true));
    EXPECT_EQ(services->questions, QStringList{QStringLiteral("\"party.zkse\" already exists. Do you want to replace it?")});
    EXPECT_TRUE(services->messages.isEmpty());
    EXPECT_EQ(App().Project_File_Name, filePath(QStringLiteral("mine.zkse")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    file.close();

    services->fileAnswers << filePath(QStringLiteral("party"));
    services->yesNoAnswers << true;
    EXPECT_TRUE(window->Save_project_file(true, false));
    EXPECT_EQ(App().Project_File_Name, other);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_NE(file.readAll(), before);
}

TEST_F(DesignFileCommandsTest, ACardSizeNoCanvasCanHoldIsMadeOneTheCanvasesShowAndSave)
{
    // A hostile or damaged file: the canvases would need more pixels than any integer holds.
    window->Front_card_Prop.setCard_Size(QSizeF(1e12, 90));
    const QString path = savedDesign(QStringLiteral("huge.zkse"));
    window->SetDocumentCanvasSize(QSizeF(200, 100));
    EXPECT_EQ(window->Read_and_load_design_Log(path, QStringLiteral("L")), 1);
    for (SKTGraphicView *canvas : {window->_graphicView, window->_graphicView_BACK, window->_graphicView_TEMP})
        EXPECT_EQ(canvas->canvasSize(), QSizeF(14400, 90));
    EXPECT_EQ(window->Front_card_Prop.Card_Size(), QSizeF(14400, 90)) << "what is shown is what is saved";
}

TEST_F(DesignFileCommandsTest, ANameOfBlanksIsUntitledAndADeletedFileIsWrittenAgain)
{
    App().Project_File_Name = QStringLiteral("   ");
    services->fileAnswers << filePath(QStringLiteral("chosen.zkse"));
    EXPECT_TRUE(window->Save_project_file(false, false));
    EXPECT_TRUE(services->fileAnswers.isEmpty()) << "the panel was asked";
    EXPECT_EQ(App().Project_File_Name, filePath(QStringLiteral("chosen.zkse")));
    // No message and no title without show-message.
    EXPECT_TRUE(services->messages.isEmpty());
    EXPECT_EQ(window->Main_wnd->windowTitle(), QStringLiteral("Card Designer"));

    ASSERT_TRUE(QFile::remove(App().Project_File_Name));
    services->fileAnswers << filePath(QStringLiteral("never.zkse"));
    window->Save_Btn_Clicked();
    EXPECT_TRUE(QFileInfo::exists(filePath(QStringLiteral("chosen.zkse"))));
    EXPECT_EQ(services->fileAnswers.size(), 1) << "no panel for a named design";
}

TEST_F(DesignFileCommandsTest, AFailedWriteSaysWhyAndLeavesTheDesignWithItsPreviousName)
{
    const QString unreachable = filePath(QStringLiteral("no-such-folder/design.zkse"));
    App().Project_File_Name = unreachable;
    window->Main_wnd->setWindowTitle(QStringLiteral("old.zkse"));
    EXPECT_FALSE(window->Save_project_file(false, false));
    ASSERT_EQ(services->messages.size(), 1);
    EXPECT_EQ(services->messages[0],
              saveFailed(unreachable) + QStringLiteral("\nNo such folder: ") + QFileInfo(unreachable).absolutePath());

    // Save As to a name that cannot be written: the design keeps its previous name (here the
    // saved one), so the next Save writes there and asks nothing.
    const QString saved = savedDesign(QStringLiteral("saved.zkse"));
    services->messages.clear();
    services->fileAnswers << unreachable;
    services->panelFolders.clear();
    window->SaveAs_Btn_Clicked();
    EXPECT_EQ(services->panelFolders, QStringList{files.path()}) << "Save As opens in the design's folder";
    ASSERT_EQ(services->messages.size(), 1);
    EXPECT_TRUE(services->messages[0].startsWith(saveFailed(unreachable)));
    EXPECT_EQ(App().Project_File_Name, saved);
    EXPECT_EQ(window->Main_wnd->windowTitle(), QStringLiteral("saved.zkse"));

    // Untitled, a failed Save As leaves it untitled: the next Save shows the panel again.
    App().Project_File_Name.clear();
    services->fileAnswers << unreachable;
    window->SaveAs_Btn_Clicked();
    EXPECT_TRUE(App().Project_File_Name.isEmpty());
    services->fileAnswers << filePath(QStringLiteral("second-try.zkse"));
    window->Save_Btn_Clicked();
    EXPECT_TRUE(QFileInfo::exists(filePath(QStringLiteral("second-try.zkse"))));
}

TEST_F(DesignFileCommandsTest, EscapeOnASaveQuestionStopsTheCommandWithNothingChanged)
{
    buildRichDesign();
    const QString saved = savedDesign(QStringLiteral("escape.zkse"));
    const int wizardRuns = window->startWizardRuns;
    window->Main_wnd->show();
    const struct {
        const char *command;
        std::function<bool()> run; // true when the command went ahead
    } commands[] = {
        {"New button", [&] { window->New_Btn_Clicked(); return window->startWizardRuns != wizardRuns; }},
        {"File > New", [&] {
             window->newDocumentWindow();
             return window->startWizardRuns != wizardRuns;
         }},
        {"Open", [&] {
             services->fileAnswers << saved;
             window->Open_Btn_Clicked();
             return services->fileAnswers.isEmpty();
         }},
        {"Close", [&] { return window->Main_wnd->close(); }},
    };
    for (const auto &command : commands) {
        services->questions.clear();
        services->yesNoAnswers << std::nullopt;
        EXPECT_FALSE(command.run()) << command.command;
        EXPECT_EQ(services->questions.size(), 1) << command.command;
        EXPECT_EQ(document->graphics().count(), 7) << command.command;
        EXPECT_TRUE(window->Main_wnd->isVisible()) << command.command;
        EXPECT_EQ(App().Project_File_Name, saved) << command.command;
        services->fileAnswers.clear();
    }
    // The menu's New is the toolbar's: answered No, it starts a new design.
    services->yesNoAnswers << false;
    window->newDocumentWindow();
    EXPECT_EQ(window->startWizardRuns, wizardRuns + 1);
    EXPECT_EQ(document->graphics().count(), 0);
}

TEST_F(DesignFileCommandsTest, PicturesAreFoundAgainBelowResourcesOrShownAsMissing)
{
    // Saved on another account: its data folder's pictures lay below another "Resources".
    writeFile(QStringLiteral("Frames/rose.png"));
    ASSERT_TRUE(solidPicture(Qt::red, 10, 10).save(resourcePath(QStringLiteral("Frames/rose.png")), "PNG"));
    const QString elsewhere = QStringLiteral("/home/someone/.local/share/card-designer/Resources/Frames/rose.png");
    const QString gone = filePath(QStringLiteral("moved-away.png"));
    const QString here = writePicture(QStringLiteral("here.png"), Qt::blue);
    GraphicList pictures;
    for (const QString &path : {elsewhere, gone, here, gone}) {
        auto picture = std::make_shared<SKTImage>();
        picture->_file_path = path;
        picture->_bounds = QRectF(10 + 40 * pictures.size(), 10, 30, 30);
        pictures << picture;
    }
    document->graphics().insertGraphics(pictures, platform::IndexSet::range(0, 4));
    window->Front_card_Prop.setCard_fill_chk(true);
    window->Front_card_Prop.setCard_fill_style(QStringLiteral("I"));
    window->Front_card_Prop.setCard_BG_Image_Path(elsewhere);
    // The back's background was moved away: it is said to be missing, not to be no picture.
    window->Back_card_Prop.setCard_fill_chk(true);
    window->Back_card_Prop.setCard_fill_style(QStringLiteral("I"));
    window->Back_card_Prop.setCard_BG_Image_Path(gone);
    const QString saved = savedDesign(QStringLiteral("moved.zkse"));
    services->messages.clear();

    ASSERT_EQ(window->Read_and_load_design_Log(saved, QStringLiteral("L")), 1);
    const GraphicList opened = document->graphics().items();
    ASSERT_EQ(opened.size(), 4);
    EXPECT_EQ(opened[0]->FilePath(), resourcePath(QStringLiteral("Frames/rose.png")));
    EXPECT_EQ(window->Front_card_Prop.Card_BG_Image_Path(), resourcePath(QStringLiteral("Frames/rose.png")));
    EXPECT_EQ(window->Back_card_Prop.Card_BG_Image_Path(), gone);
    EXPECT_EQ(opened[1]->FilePath(), gone) << "the path is kept for when the file comes back";
    ASSERT_EQ(services->messages.size(), 2) << "the back's background, then one message for the objects";
    EXPECT_TRUE(services->messages[0].contains(QStringLiteral("The card background \"%1\"").arg(gone)) &&
                services->messages[0].endsWith(QStringLiteral(": it was not found.")))
        << services->messages[0].toStdString();
    services->messages.removeFirst();
    EXPECT_TRUE(services->messages[0].contains(gone));
    EXPECT_FALSE(services->messages[0].contains(QStringLiteral("rose.png")));
    EXPECT_EQ(services->messages[0].count(gone), 1);

    // The missing picture shows the placeholder; the found ones their own pictures.
    const auto centre = [](SKTGraphic &graphic) {
        QImage page(200, 60, QImage::Format_ARGB32);
        page.fill(Qt::transparent);
        QPainter painter(&page);
        graphic.drawContentsInView(painter, false);
        painter.end();
        return page.pixelColor(graphic.bounds().center().toPoint());
    };
    EXPECT_EQ(centre(*opened[0]), QColor(Qt::red));
    EXPECT_EQ(centre(*opened[2]), QColor(Qt::blue));
    EXPECT_TRUE(static_cast<SKTImage &>(*opened[1]).isMissingItsFile()) << "shown by the placeholder";
}

// A design names hatch patterns; a name that would leave the patterns' folder is dropped and said.
TEST_F(DesignFileCommandsTest, PatternNamesThatLeaveTheirFolderAreDroppedAndSaid)
{
    const struct {
        const char *name;
        bool kept;
    } names[] = {{"Lines", true}, {"../../../home/someone/private", false}, {"/etc/x", false}, {"..", false}};
    GraphicList shapes;
    for (const auto &row : names) {
        auto shape = std::make_shared<Shape_Control>();
        shape->_fill_type = QStringLiteral("H");
        shape->_fill_hatch_type = QLatin1String(row.name);
        shapes << shape;
    }
    document->graphics().insertGraphics(shapes, platform::IndexSet::range(0, int(shapes.size())));
    window->Back_card_Prop.setCard_hatch_style(QStringLiteral("../Frames/rose"));
    const QString saved = savedDesign(QStringLiteral("patterns.zkse"));
    services->messages.clear();

    ASSERT_EQ(window->Read_and_load_design_Log(saved, QStringLiteral("L")), 1);
    EXPECT_EQ(window->Back_card_Prop.Card_hatch_style(), QString());
    ASSERT_EQ(services->messages.size(), 1);
    const QString said = services->messages[0];
    EXPECT_TRUE(said.contains(QStringLiteral("\"../Frames/rose\" (the back)")));
    for (int i = 0; i < int(std::size(names)); ++i) {
        const QString name = QLatin1String(names[i].name);
        EXPECT_EQ(document->graphics().at(i)->fill_hatch_type(), names[i].kept ? name : QString()) << names[i].name;
        EXPECT_EQ(said.contains(QStringLiteral("\"%1\" (Shape %2 on the front)").arg(name).arg(i + 1)), !names[i].kept)
            << names[i].name;
    }
}

// A message that names what an open dropped takes a screenful, however many names, however long.
TEST_F(DesignFileCommandsTest, DroppedPatternsAreNamedAScreenfulAtMostAndTheRestCounted)
{
    GraphicList shapes;
    for (int i = 0; i < 30; ++i) {
        auto shape = std::make_shared<Shape_Control>();
        shape->_fill_type = QStringLiteral("H");
        shape->_fill_hatch_type = QStringLiteral("/%1/%2").arg(QString(250, QLatin1Char('x'))).arg(i);
        shapes << shape;
    }
    document->graphics().insertGraphics(shapes, platform::IndexSet::range(0, int(shapes.size())));
    const QString saved = savedDesign(QStringLiteral("many-patterns.zkse"));
    services->messages.clear();

    ASSERT_EQ(window->Read_and_load_design_Log(saved, QStringLiteral("L")), 1);
    ASSERT_EQ(services->messages.size(), 1);
    const QStringList lines = services->messages[0].split(QLatin1Char('\n')).mid(2); // after the sentence
    ASSERT_EQ(lines.size(), kMessageListLines);
    for (const QString &line : lines)
        EXPECT_LE(line.size(), kMessageLineCharacters);
    EXPECT_TRUE(lines.first().endsWith(QStringLiteral("/0\" (Shape 1 on the front)"))) << lines.first().toStdString();
    EXPECT_EQ(lines.last(), QStringLiteral("… and 11 more"));
}

// A small design whose objects or background name one large picture file is opened on a worker
// behind the waiting sheet: the file's header weighs it. The file gave no picture and is named once.
TEST_F(DesignFileCommandsTest, ADesignNamingALargePictureOpensOnAWorker)
{
    const QString large = filePath(QStringLiteral("large.png"));
    ASSERT_TRUE(writeFileBytes(large, pngHeaderOnly(QSize(11500, 11500))));
    ShowCounter counter;
    window->plz_wait_Window->installEventFilter(&counter);
    window->plz_wait_Window->delayMs = 0;
    const struct {
        const char *what;
        bool background;
        int objects;
    } rows[] = {{"the back's background", true, 0}, {"50 picture objects", false, 50}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        window->Back_card_Prop.setCard_fill_chk(row.background);
        window->Back_card_Prop.setCard_fill_style(QStringLiteral("I"));
        window->Back_card_Prop.setCard_BG_Image_Path(large);
        GraphicList pictures;
        for (int i = 0; i < row.objects; ++i) {
            auto picture = std::make_shared<SKTImage>();
            picture->_file_path = large;
            picture->_bounds = QRectF(i, i, 40, 40);
            pictures << picture;
        }
        document->graphics().insertGraphics(pictures, platform::IndexSet::range(0, int(pictures.size())));
        const QString saved = savedDesign(QStringLiteral("named.zkse"));
        ASSERT_LT(QFileInfo(saved).size(), window->directWorkBytes);
        const int shows = counter.shows;
        services->messages.clear();

        ASSERT_EQ(window->Read_and_load_design_Log(saved, QStringLiteral("L")), 1);
        EXPECT_EQ(counter.shows, shows + 1) << "the sheet shows for work on a worker only";
        EXPECT_EQ(document->graphics().count(), row.objects);
        ASSERT_EQ(services->messages.size(), 1);
        EXPECT_EQ(services->messages[0].count(large), 1);
        EXPECT_EQ(services->messages[0].contains(QLatin1String("card background")), row.background);
    }
}

TEST_F(DesignFileCommandsTest, LongSavesAndOpensShowTheirProgressAndThenGo)
{
    ShowCounter counter;
    window->plz_wait_Window->installEventFilter(&counter);
    GraphicList shapes;
    for (int i = 0; i < 600; ++i) { // more than one step of work
        auto shape = std::make_shared<Shape_Control>();
        shape->_bounds = QRectF(i % 50, i / 50, 20, 10);
        shapes << shape;
    }
    document->graphics().insertGraphics(shapes, platform::IndexSet::range(0, int(shapes.size())));

    // Work quicker than the delay shows nothing.
    window->plz_wait_Window->delayMs = 60'000;
    const QString path = savedDesign(QStringLiteral("many.zkse"));
    EXPECT_EQ(counter.shows, 0);

    // Work that takes longer than the delay (none, here) shows the sheet, which ends full and goes.
    window->plz_wait_Window->delayMs = 0;
    window->directWorkBytes = 0;
    for (const auto &run : {std::function<bool()>([&] { return window->Save_project_file(false, false); }),
                            std::function<bool()>([&] { return window->Read_and_load_design_Log(path, "L") == 1; })}) {
        counter.shows = 0;
        ASSERT_TRUE(run());
        EXPECT_EQ(counter.shows, 1);
        EXPECT_EQ(window->plz_wait_Window->progressPercent(), 100);
        EXPECT_FALSE(window->plz_wait_Window->isVisible());
    }
    EXPECT_EQ(document->graphics().count(), 600);
}

namespace {

// Every PNG in an archive (a design element or a graphic archive inside one) replaced by bytes no
// reader can decode.
QVariant withDamagedPictures(const QVariant &value, int &damaged)
{
    if (value.metaType() == QMetaType::fromType<QByteArray>()) {
        const QByteArray bytes = value.toByteArray();
        if (bytes.startsWith("\x89PNG")) {
            ++damaged;
            return QByteArray("\x89PNG damaged beyond reading");
        }
        if (bytes.startsWith("bplist")) {
            const std::optional<QVariant> inner = platform::propertyListFromData(bytes);
            return inner ? QVariant(platform::propertyListData(withDamagedPictures(*inner, damaged),
                                                              platform::PropertyListFormat::Binary))
                         : value;
        }
        return value;
    }
    if (value.metaType() == QMetaType::fromType<QVariantList>()) {
        QVariantList list = value.toList();
        for (QVariant &element : list)
            element = withDamagedPictures(element, damaged);
        return list;
    }
    if (value.metaType() == QMetaType::fromType<QVariantMap>()) {
        QVariantMap map = value.toMap();
        for (QVariant &element : map)
            element = withDamagedPictures(element, damaged);
        return map;
    }
    return value;
}

} // namespace

TEST_F(DesignFileCommandsTest, UnreadablePicturesAreNamedAndKeptForTheNextSave)
{
    window->setMain_Photo_image(solidPicture(Qt::cyan, 9, 7));
    auto pasted = std::make_shared<SKTImage>(QPointF(40, 40), solidPicture(Qt::red, 6, 6));
    auto barcode = std::make_shared<SKTBarcode>();
    barcode->_barcode_image = solidPicture(Qt::black, 6, 3);
    document->graphics().insertGraphics({pasted, barcode}, platform::IndexSet::range(0, 2));
    const QString path = savedDesign(QStringLiteral("damaged.zkse"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    int damaged = 0;
    const QByteArray broken = platform::propertyListData(
        withDamagedPictures(*platform::propertyListFromData(file.readAll()), damaged), platform::PropertyListFormat::Xml);
    file.close();
    ASSERT_EQ(damaged, 3);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(broken);
    file.close();

    services->messages.clear();
    ASSERT_EQ(window->Read_and_load_design_Log(path, QStringLiteral("L")), 1);
    ASSERT_EQ(services->messages.size(), 1);
    for (const char *name : {"the main photo", "Picture 1 on the front", "Barcode 2 on the front"})
        EXPECT_TRUE(services->messages[0].contains(QLatin1String(name))) << name;

    // Saved again, the pictures' data is what the file held, byte for byte: damaging the new file
    // finds the three damaged pictures and no readable one.
    ASSERT_TRUE(window->Save_project_file(false, false));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    int found = 0;
    const QVariant resaved = *platform::propertyListFromData(file.readAll());
    EXPECT_EQ(withDamagedPictures(resaved, found), withDamagedPictures(resaved, damaged));
    EXPECT_EQ(found, 3);
}

TEST_F(DesignFileCommandsTest, PanelsOpenInTheDesignsFolderOrAUsableStandardOne)
{
    App().Project_File_Name = filePath(QStringLiteral("somewhere.zkse"));
    EXPECT_EQ(Panel_Start_Folder(QStandardPaths::DocumentsLocation), files.path());

    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString expected = QFileInfo(documents).isDir() ? documents : QDir::homePath();
    for (const QString &design : {QString(), filePath(QStringLiteral("gone/x.zkse")), QStringLiteral("/dev/x.zkse"),
                                  QStringLiteral("relative.zkse")}) {
        App().Project_File_Name = design;
        const QString folder = Panel_Start_Folder(QStandardPaths::DocumentsLocation);
        if (design == QLatin1String("relative.zkse") && QDir::currentPath() != QLatin1String("/dev"))
            continue; // a design named relative to a usable working folder does live there
        EXPECT_EQ(folder, expected) << qPrintable(design);
    }
}

TEST_F(DesignFileCommandsTest, AnUnsoundFileLeavesTheCurrentDesignAsItWas)
{
    buildRichDesign();
    const QString good = savedDesign(QStringLiteral("good.zkse"));
    QFile in(good);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    QVariantList elements = platform::propertyListFromData(in.readAll())->toList();

    const auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile out(filePath(name));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        return filePath(name);
    };
    QVariantList truncated = elements.mid(0, 75); // ends after the Excel rows
    QVariantList badSignature = elements;
    badSignature[0] = DesignFile::Signature + QLatin1Char(' ');
    QVariantList badArchive = elements;
    badArchive[76] = QByteArray("not an archive");
    const QStringList unsound = {
        write(QStringLiteral("truncated.zkse"),
              platform::propertyListData(truncated, platform::PropertyListFormat::Xml)),
        write(QStringLiteral("signature.zkse"),
              platform::propertyListData(badSignature, platform::PropertyListFormat::Xml)),
        write(QStringLiteral("archive.zkse"),
              platform::propertyListData(badArchive, platform::PropertyListFormat::Xml)),
        write(QStringLiteral("garbage.zkse"), QByteArray("<?xml version=\"1.0\"?><plist><array><string>")),
        filePath(QStringLiteral("missing.zkse")),
        files.path()};

    const QList<QStringList> frontBefore = archivesOf(document->graphics());
    const Card_Property cardBefore = window->Front_card_Prop;
    window->Main_wnd->setWindowTitle(QStringLiteral("kept"));
    for (const QString &path : unsound) {
        services->messages.clear();
        services->fileAnswers << path;
        EXPECT_EQ(window->Open_Log_File(), 0) << path.toStdString();
        // A file that is not there or not a file is not called corrupt: the message says what it is.
        const QString expected = !QFileInfo(path).exists() ? QStringLiteral("\"missing.zkse\" cannot be opened: there is no such file.")
                                 : QFileInfo(path).isDir() ? QStringLiteral("\"%1\" cannot be opened: it is not a regular file.").arg(QFileInfo(path).fileName())
                                                           : QStringLiteral("File is corrupt and cannot be opened.");
        EXPECT_EQ(services->messages, QStringList{QLatin1Char('\n') + expected});
        EXPECT_EQ(archivesOf(document->graphics()), frontBefore);
        EXPECT_EQ(document->graphics_back().count(), 6);
        EXPECT_EQ(window->Front_card_Prop, cardBefore);
        EXPECT_EQ(App().Project_File_Name, good);
        EXPECT_EQ(Data_From_Excel::defaultInstance()->ListData.size(), 2);
        EXPECT_EQ(window->Main_wnd->windowTitle(), QStringLiteral("kept"));
        EXPECT_FALSE(App().Not_Draw_Only_Prop_Change);
        EXPECT_TRUE(undoIsRecorded());
    }
}

TEST_F(DesignFileCommandsTest, OpenResetsOnlyForASoundFileAndNeverRestartsTheWizard)
{
    buildRichDesign();
    const QString good = savedDesign(QStringLiteral("good.zkse"));
    const int wizardRuns = window->startWizardRuns;

    // Cancelled panel: the design stays, no start wizard.
    services->yesNoAnswers << false;
    window->Open_Btn_Clicked();
    EXPECT_EQ(document->graphics().count(), 7);
    EXPECT_EQ(App().Project_File_Name, good);
    EXPECT_EQ(window->startWizardRuns, wizardRuns);

    // A save that fails stops Open before its panel.
    App().Project_File_Name = filePath(QStringLiteral("gone/x.zkse"));
    services->yesNoAnswers << true;
    services->fileAnswers << good;
    window->Open_Btn_Clicked();
    ASSERT_EQ(services->messages.size(), 1);
    EXPECT_TRUE(services->messages[0].startsWith(saveFailed(filePath(QStringLiteral("gone/x.zkse")))));
    EXPECT_EQ(services->fileAnswers, QStringList{good}) << "the open panel was not shown";
    EXPECT_EQ(services->questions.size(), 2) << "asked on every Open";

    // Template mode loads without taking the path.
    services->fileAnswers.clear();
    window->Main_wnd->setWindowTitle(QStringLiteral("x"));
    EXPECT_EQ(window->Read_and_load_design_Log(good, QStringLiteral("T")), 1);
    EXPECT_EQ(App().Project_File_Name, QString());
    EXPECT_EQ(window->Main_wnd->windowTitle(), QStringLiteral("Card Designer"));
    EXPECT_EQ(document->graphics().count(), 7);
}

TEST_F(DesignFileCommandsTest, NewStopsWhenTheSaveDoesNotHappen)
{
    buildRichDesign();
    const int wizardRuns = window->startWizardRuns;
    // Yes, then Cancel in the save panel: nothing is reset.
    services->yesNoAnswers << true;
    window->New_Btn_Clicked();
    EXPECT_EQ(services->questions,
              QStringList{QStringLiteral("Do you want to save changes before opening new document?")});
    EXPECT_EQ(document->graphics().count(), 7);
    EXPECT_EQ(window->startWizardRuns, wizardRuns);

    // No: a new design and the start wizard.
    services->yesNoAnswers << false;
    window->New_Btn_Clicked();
    EXPECT_EQ(document->graphics().count(), 0);
    EXPECT_EQ(document->graphics_back().count(), 0);
    EXPECT_EQ(window->startWizardRuns, wizardRuns + 1);

    // Yes with a saved name: saved, then new.
    App().Project_File_Name = filePath(QStringLiteral("kept.zkse"));
    services->yesNoAnswers << true;
    window->New_Btn_Clicked();
    EXPECT_TRUE(QFileInfo::exists(filePath(QStringLiteral("kept.zkse"))));
    EXPECT_TRUE(App().Project_File_Name.isEmpty());
    EXPECT_EQ(window->startWizardRuns, wizardRuns + 2);
}

TEST_F(DesignFileCommandsTest, AnEmptyDesignIsSeventySevenElementsAndExcelLeavesTheCombo)
{
    const QString path = savedDesign(QStringLiteral("empty.zkse"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QVariantList elements = platform::propertyListFromData(file.readAll())->toList();
    ASSERT_EQ(elements.size(), 77);
    EXPECT_EQ(elements[73].toList(), QVariantList{Data_From_Excel::kRowNumberTitle});

    auto *combo = new QComboBox(window->Main_wnd);
    combo->addItems({QStringLiteral("Typed"), QStringLiteral("Series"), QStringLiteral("Excel")});
    window->Data_source_type = combo;
    EXPECT_EQ(window->Read_and_load_design_Log(path, QStringLiteral("L")), 1);
    EXPECT_EQ(combo->count(), 2);
    window->Add_Excel_Col_Name_In_Combo(combo);
    window->Add_Excel_Col_Name_In_Combo(combo);
    EXPECT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(2), QStringLiteral("Excel"));
    combo->addItem(QStringLiteral("Other"));
    window->Remove_Excel_Col_Name_In_Combo(combo);
    EXPECT_EQ(combo->count(), 4) << "only a list of three loses its Excel entry";
}

TEST_F(DesignFileCommandsTest, FileCommandsHaveButtonsAndStandardShortcuts)
{
    for (QToolButton *button : {window->New_btn, window->Open_btn, window->Save_btn, window->SaveAs_btn}) {
        ASSERT_NE(button, nullptr);
        EXPECT_FALSE(button->icon().isNull());
    }
    EXPECT_EQ(window->Open_btn->defaultAction()->shortcut(), QKeySequence(QKeySequence::Open));
    EXPECT_EQ(window->SaveAs_btn->defaultAction()->shortcut(), QKeySequence(QKeySequence::SaveAs));
    // A sheet of the four pictures, large, for a look.
    QImage sheet(4 * 104, 104, QImage::Format_ARGB32);
    sheet.fill(QColor(241, 244, 250));
    QPainter painter(&sheet);
    int x = 4;
    for (ToolIcons::Command command : {ToolIcons::Command::NewDesign, ToolIcons::Command::OpenDesign,
                                       ToolIcons::Command::SaveDesign, ToolIcons::Command::SaveDesignAs}) {
        painter.drawImage(x, 4, ToolIcons::commandImage(command, 96));
        x += 104;
    }
    painter.end();
    EXPECT_TRUE(sheet.save(testOutputPath(QStringLiteral("file-command-icons.png"))));

    services->fileAnswers << filePath(QStringLiteral("clicked.zkse"));
    window->Save_btn->click();
    EXPECT_TRUE(QFileInfo::exists(filePath(QStringLiteral("clicked.zkse"))));
}

TEST_F(DesignFileCommandsTest, QuittingAsksToSaveShowsTheReviewRequestAndEndsTheProgramOnce)
{
    // Answers the review request once it is up (after the save's own wait), counting the times it was.
    int reviews = 0;
    const auto answerReview = [&] {
        Review_Form *review = Review_Form::defaultInstance();
        whenShown(review, [&reviews, review] {
            ++reviews;
            review->OK_Clicked();
        });
    };
    window->Main_wnd->show();
    // Yes, then a cancelled save panel: nothing was saved, so the window stays and nothing ends.
    services->yesNoAnswers << true;
    EXPECT_FALSE(window->Main_wnd->close());
    EXPECT_TRUE(window->Main_wnd->isVisible());
    EXPECT_EQ(services->questions, QStringList{"Do you want to save changes before closing?"});
    EXPECT_EQ(reviews, 0);
    EXPECT_TRUE(services->terminations.isEmpty());

    // Yes with a name saves, shows the review request and ends the program; the window closing
    // afterwards asks nothing more.
    services->yesNoAnswers << true;
    services->fileAnswers << filePath(QStringLiteral("closing"));
    answerReview();
    EXPECT_TRUE(window->Main_wnd->close());
    EXPECT_TRUE(QFileInfo::exists(filePath(QStringLiteral("closing.zkse"))));
    EXPECT_EQ(reviews, 1);
    EXPECT_EQ(services->terminations, QList<int>{0});
    EXPECT_EQ(services->openedUrls.size(), 1);
    window->Main_wnd->show();
    EXPECT_TRUE(window->Main_wnd->close());
    EXPECT_EQ(services->questions.size(), 2);

    // No skips the save and still shows the review request; Quit goes the same way.
    window->quitting = false;
    services->terminations.clear();
    window->Main_wnd->show();
    services->yesNoAnswers << false;
    answerReview();
    window->Main_wnd->findChild<QAction *>(QStringLiteral("Exit_action"))->trigger();
    EXPECT_FALSE(window->Main_wnd->isVisible());
    EXPECT_EQ(reviews, 2);
    EXPECT_EQ(services->terminations, QList<int>{0});
}

// Saving and the record runs start from a snapshot: what it holds stays as the design was when it
// was taken, whatever the user changes afterwards.
TEST_F(DesignFileCommandsTest, ASnapshotStaysAsTheDesignWasWhenTaken)
{
    buildRichDesign();
    window->Front_user_profile->Name_id = QStringLiteral("NAME");
    const DesignSnapshot snapshot = window->designSnapshot();
    const QByteArray taken = DesignFile::data(DesignFile::contentsOf(snapshot));

    for (SKTGraphicList *list : {&document->graphics(), &document->graphics_back()})
        for (const SKTGraphicPtr &graphic : list->items()) {
            EXPECT_FALSE(snapshot.front.graphics.contains(graphic) || snapshot.back.graphics.contains(graphic));
            graphic->_bounds.translate(3, 3);
            graphic->Text_Value = QStringLiteral("changed");
        }
    window->Front_card_Prop.setCard_Name(QStringLiteral("Changed"));
    window->setMain_Photo_image(solidPicture(Qt::red, 3, 3));
    Win().IMG_hue_val = 0.2f;
    window->Front_user_profile->Name_id = QStringLiteral("OTHER");
    EXPECT_TRUE(DesignFile::data(DesignFile::contentsOf(snapshot)) == taken);
    EXPECT_EQ(snapshot.frontProfile->Name_id, QStringLiteral("NAME"));
    EXPECT_EQ(snapshot.frame, window->frontCanvasBounds());
}

// A design bound to a sheet of 20,000 rows of 30 columns is saved and opened on a worker: the
// window handles events throughout and the sheet's bar moves with the rows; a copy that fails to
// read late leaves the open design, its name and its title as they were.
TEST_F(DesignFileCommandsTest, ALargeBoundSheetSavesAndOpensWhileTheWindowGoesOn)
{
    constexpr int kRows = 20'000, kColumns = 30;
    QStringList titles;
    QList<QStringList> cells(kRows);
    for (int c = 1; c <= kColumns; ++c) {
        titles << QStringLiteral("Title %1").arg(c);
        for (int r = 0; r < kRows; ++r)
            cells[r] << QStringLiteral("Row %1 column %2").arg(r + 1).arg(c);
    }
    Data_From_Excel *excel = Data_From_Excel::defaultInstance();
    excel->bind(titles, std::exchange(cells, {}));
    const QVariantMap lastRow = excel->ListData.last();
    GraphicList shapes(6);
    std::generate(shapes.begin(), shapes.end(), [] { return std::make_shared<Shape_Control>(); });
    document->graphics().insertGraphics(shapes, platform::IndexSet::range(0, 6));

    window->plz_wait_Window->delayMs = 0;
    QSet<int> barValues;
    QObject::connect(window->plz_wait_Window->findChild<QProgressBar *>(), &QProgressBar::valueChanged,
                     [&](int value) { barValues << value; });
    // The window goes on when its timers tick and its posted calls arrive while the work runs, and
    // most of the work's time is another thread's than the GUI's: the GUI thread's share of the
    // process's time shows where the work ran. No wall clock is read, so a busy machine fails nothing.
    int ticks = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });

    const QString path = filePath(QStringLiteral("guests.zkse")), damaged = filePath(QStringLiteral("damaged.zkse"));
    const struct {
        const char *what;
        std::function<bool()> run;
        bool succeeds;
        const char *title;
    } cases[] = {
        {"save", [&] { return window->Save_project_file(false, false); }, true, "kept"},
        {"open", [&] { return window->Read_and_load_design_Log(path, QStringLiteral("L")) == 1; }, true, "guests.zkse"},
        {"open damaged", [&] { return window->Read_and_load_design_Log(damaged, QStringLiteral("L")) == 1; }, false,
         "kept"},
    };
    App().Project_File_Name = path;
    for (const auto &run : cases) {
        SCOPED_TRACE(run.what);
        if (QFileInfo::exists(path) && !QFileInfo::exists(damaged)) {
            const QByteArray whole = fileBytes(path);
            ASSERT_TRUE(writeFileBytes(damaged, whole.left(whole.size() * 9 / 10)));
        }
        window->Main_wnd->setWindowTitle(QStringLiteral("kept"));
        services->messages.clear();
        barValues.clear();
        ticks = 0;
        bool posted = false;
        QMetaObject::invokeMethod(window->Main_wnd, [&] { posted = true; }, Qt::QueuedConnection);
        ticker.start();
        const qint64 guiBefore = cpuNanoseconds(CLOCK_THREAD_CPUTIME_ID), allBefore = cpuNanoseconds(CLOCK_PROCESS_CPUTIME_ID);
        EXPECT_EQ(run.run(), run.succeeds);
        const qint64 gui = cpuNanoseconds(CLOCK_THREAD_CPUTIME_ID) - guiBefore,
                     all = cpuNanoseconds(CLOCK_PROCESS_CPUTIME_ID) - allBefore;
        EXPECT_LT(gui * 2, all) << "the GUI thread's time " << gui / 1000000 << " ms of " << all / 1000000;
        EXPECT_TRUE(posted) << "a call posted before the work arrived while it ran";
        EXPECT_GT(ticks, 0);
        ticker.stop();

        EXPECT_GE(barValues.size(), 7) << "the window saw the work at more steps than objects";
        EXPECT_FALSE(window->plz_wait_Window->isVisible());
        EXPECT_EQ(services->messages,
                  run.succeeds ? QStringList() : QStringList{box("File is corrupt and cannot be opened.")});
        EXPECT_EQ(excel->ListData.size(), kRows);
        EXPECT_EQ(excel->ListData.last(), lastRow);
        EXPECT_EQ(document->graphics().count(), 6);
        EXPECT_EQ(App().Project_File_Name, path);
        EXPECT_EQ(window->Main_wnd->windowTitle(), QLatin1String(run.title));
    }
}

// The wizard's photo from a camera is saved as its own JPEG while it has no effects, read back as it
// was; once effects are set it is encoded once, and every save writes those bytes.
TEST_F(DesignFileCommandsTest, TheMainPhotoIsSavedAsItsFileOrAsBytesEncodedOnceForItsEffects)
{
    QImage noisy(160, 120, QImage::Format_RGB32);
    quint32 seed = 99;
    for (int y = 0; y < noisy.height(); ++y)
        for (int x = 0; x < noisy.width(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            noisy.setPixel(x, y, qRgb(x, 100 + int(seed >> 27), y * 2));
        }
    const QString camera = filePath(QStringLiteral("camera.jpg"));
    ASSERT_TRUE(noisy.save(camera, "JPEG", 90));
    QFile cameraFile(camera);
    ASSERT_TRUE(cameraFile.open(QIODevice::ReadOnly));
    const QByteArray jpeg = cameraFile.readAll();
    const QImage photo = loadPicture(camera);
    const auto storedPhoto = [&](const QString &path) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return platform::propertyListFromData(file.readAll())->toList().value(58).toByteArray();
    };
    const auto openedPhoto = [&](const QString &path) {
        EXPECT_EQ(window->Read_and_load_design_Log(path, QStringLiteral("L")), 1);
        return window->Main_Photo_image().convertToFormat(QImage::Format_RGB32);
    };

    int encoded = StoredPictureBytes::encodingsDone();
    window->Update_frame_Main_Photo_And_Path(camera, true);
    const QString plain = savedDesign(QStringLiteral("plain.zkse"));
    EXPECT_EQ(StoredPictureBytes::encodingsDone(), encoded);
    EXPECT_EQ(platform::KeyedUnarchiver::pictureData(storedPhoto(plain)), jpeg);
    EXPECT_EQ(openedPhoto(plain), photo.convertToFormat(QImage::Format_RGB32));

    encoded = StoredPictureBytes::encodingsDone();
    Win().IMG_gray_Scale = true;
    Win().IMG_con_val = 1.5f;
    window->Update_Image_With_Settings();
    const QImage withEffects = window->Main_Photo_image().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(nearPicture(ImageProcesser::Get_Processed_Image(photo, Win().mainPhotoEffects()).convertToFormat(QImage::Format_RGB32),
                            withEffects, 0));
    const QByteArray first = storedPhoto(savedDesign(QStringLiteral("effects.zkse")));
    const QByteArray second = storedPhoto(savedDesign(QStringLiteral("effects.zkse")));
    EXPECT_EQ(second, first);
    EXPECT_EQ(StoredPictureBytes::encodingsDone() - encoded, 1);
    EXPECT_TRUE(nearPicture(withEffects, openedPhoto(filePath(QStringLiteral("effects.zkse"))), 8));
}
