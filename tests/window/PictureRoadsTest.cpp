#include "DesignWindowFixture.h"
#include "fixtures/HostilePictures.h"
#include "fixtures/Pictures.h"

#include "canvas/ui/PleaseWait_Modeless.h"
#include "datasource/RecordBinding.h"
#include "document/DesignFile.h"
#include "document/SKTImage.h"
#include "document/SKTSignature.h"
#include "platform/DecodingAdmission.h"
#include "platform/PictureReading.h"
#include "profile/ProfilePlacement.h"
#include "profile/User_Profile_Class.h"
#include "profile/ui/Show_User_Profile.h"
#include "properties/ui/CardPanel.h"
#include "properties/ui/DataSourceTab.h"
#include "properties/ui/ImageTab.h"
#include "properties/ui/SignatureTab.h"
#include "window/Invitation_Wizard.h"
#include "window/WindowState.h"

#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <future>
#include <memory>
#include <ostream>
#include <thread>

inline void PrintTo(const QSize &size, std::ostream *out)
{
    *out << size.width() << " × " << size.height();
}

// Every road by which a user's picture comes in reads a camera's photo of 8000 × 6000 pixels (48
// megapixels) at its size: Qt's allocation limit of 128 MB refused it on each of them. A photo of 75
// megapixels comes in at the most pixels a picture has, which only the one reader gives it.
class PictureRoadsTest : public DesignWindowTest,
                         public ::testing::WithParamInterface<std::tuple<const char *, QSize>> {
protected:
    static inline std::unique_ptr<QTemporaryDir> folder;

    static QSize photoSize() { return std::get<1>(GetParam()); }
    static QImage cameraPhoto() { return solidPicture(QColor(40, 90, 200), photoSize().width(), photoSize().height()); }
    void SetUp() override
    {
        DesignWindowTest::SetUp();
        folder = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(cameraPhoto().save(photoPath(), "JPG"));
    }
    void TearDown() override
    {
        folder.reset();
        DesignWindowTest::TearDown();
    }
    static QString photoPath() { return folder->filePath(QStringLiteral("camera.jpg")); }
    static QImage pictureOf(const GraphicList &objects)
    {
        return objects.size() == 1 ? static_cast<SKTImage &>(*objects.at(0))._contents : QImage();
    }

    QImage readBy(QLatin1String road)
    {
        const QString path = photoPath();
        if (road == QLatin1String("WizardPhoto"))
            return window->invitationWizard()->Load_Photo(path) ? window->invitationWizard()->User_Picture : QImage();
        if (road == QLatin1String("PictureTool")) {
            services->fileAnswers = {path};
            window->Image_Tool_Clicked();
            return pictureOf(document->graphics().items());
        }
        if (road == QLatin1String("Background")) {
            window->set_Front_BG_Image(path);
            return window->Front_card_Prop.Card_BG_Image();
        }
        if (road == QLatin1String("ProfilePhoto")) {
            SKTGraphicList side;
            Profile_Side_Target target(side, QSizeF(243, 154));
            User_Profile_Class profile;
            profile.Reset_All_Values();
            profile.image = path;
            const QString problem = Fill_User_Profile_Side(profile, target).photoProblem;
            EXPECT_TRUE(problem.isEmpty()) << problem.toStdString();
            return pictureOf(side.items());
        }
        if (road == QLatin1String("RecordPicture")) {
            auto picture = std::make_shared<SKTImage>();
            picture->binding.data_source_type = 2; // Excel
            picture->binding.excel_col_indx = 1;
            GraphicList objects{picture};
            const QStringList failures = RecordBinding::load(objects, {}, {{{"Column1", path}}}).apply(0, objects).failures;
            EXPECT_TRUE(failures.isEmpty()) << failures.join(' ').toStdString();
            return pictureOf(objects);
        }
        if (road == QLatin1String("Paste")) { // from another program
            QFile file(path);
            EXPECT_TRUE(file.open(QIODevice::ReadOnly));
            pasteboard.writeItems({{QStringLiteral("image/jpeg"), file.readAll()}});
            window->Paste_Clicked();
            return pictureOf(document->graphics().items());
        }
        DesignFileContents design; // saved and opened, the picture carried in it
        design.frontGraphics << std::make_shared<SKTImage>(QPointF(), cameraPhoto());
        const std::optional<DesignFileContents> opened = DesignFile::read(DesignFile::data(design));
        return opened ? pictureOf(opened->frontGraphics) : QImage();
    }
};

TEST_P(PictureRoadsTest, ACameraPhotoIsReadAtItsSizeWithinTheMostPixels)
{
    load();
    const QImage picture = readBy(QLatin1String(std::get<0>(GetParam())));
    EXPECT_TRUE(picture.size() == platform::pictureSizeRead(photoSize())) << picture.width() << " × " << picture.height();
    EXPECT_TRUE(services->messages.isEmpty()) << services->messages.join(' ').toStdString();
}

INSTANTIATE_TEST_SUITE_P(EveryRoad, PictureRoadsTest,
                         ::testing::Combine(::testing::Values("WizardPhoto", "PictureTool", "Background", "ProfilePhoto",
                                                              "RecordPicture", "Paste", "SavedDesign"),
                                            ::testing::Values(QSize(8000, 6000), QSize(10000, 7500))),
                         [](const auto &info) {
                             return std::string(std::get<0>(info.param)) + "_" +
                                    std::to_string(std::get<1>(info.param).width());
                         });

// A picture the program refuses (a grey PNG of 30000 × 30000 pixels, too large to decode whole), or one
// that is not there, changes nothing on a road where the user picks a picture, and the user is told
// why: the object, background or dialog keeps the picture and path it had.
class RefusedPictureTest : public DesignWindowTest, public ::testing::WithParamInterface<const char *> {
protected:
    struct Shown {
        QString path;
        QImage picture;
    };

    // What the road shows after picking `path`.
    Shown pick(QLatin1String road, const QString &path)
    {
        services->fileAnswers = {path};
        if (road == QLatin1String("ImageBrowse")) {
            window->image_tab->Manual_Image_Browse_Btn(nullptr);
            const auto &image = static_cast<SKTImage &>(*document->graphics().at(0));
            return {image._file_path, image._contents};
        }
        if (road == QLatin1String("SignatureBrowse")) {
            window->sign_tab->Sign_Browse_Btn(nullptr);
            auto &signature = static_cast<SKTSignature &>(*document->graphics().at(0));
            signature.loadPicturesForDrawing();
            return {signature._file_path, signature._contents_img};
        }
        if (road == QLatin1String("Background")) {
            window->Properties_Panel->cardPanel->Card_Image_Browse_Btn(nullptr);
            return {window->Front_card_Prop.Card_BG_Image_Path(), window->Front_card_Prop.Card_BG_Image()};
        }
        if (road == QLatin1String("ProfilePhoto")) {
            Show_User_Profile *dialog = Show_User_Profile::defaultInstance();
            dialog->Browse_image_Btn_Clicked();
            return {dialog->image_path_val->text(), dialog->user_picture->pixmap().toImage()};
        }
        Invitation_Wizard *wizard = window->invitationWizard();
        wizard->Load_Photo(path);
        return {wizard->image_path->text(), wizard->User_Picture};
    }
};

TEST_P(RefusedPictureTest, KeepsWhatWasShownAndSaysWhy)
{
    load();
    const QLatin1String road(GetParam());
    QTemporaryDir folder;
    const QString good = folder.filePath(QStringLiteral("good.png"));
    ASSERT_TRUE(solidPicture(Qt::green, 24, 16).save(good));
    const QString huge = folder.filePath(QStringLiteral("huge.png"));
    ASSERT_TRUE(writeFileBytes(huge, hostile::pngClaiming(30000, 30000)));

    SKTGraphicPtr object;
    if (road == QLatin1String("ImageBrowse"))
        object = std::make_shared<SKTImage>();
    else if (road == QLatin1String("SignatureBrowse"))
        object = std::make_shared<SKTSignature>(QPointF(50, 50), QStringLiteral("Default"), QStringLiteral("S"));
    if (object) {
        object->setBounds(QRectF(10, 10, 60, 40));
        document->insertGraphics({object}, {0});
        window->_graphicView->changeSelectionIndexes(platform::IndexSet::range(0, 1));
        window->_graphicView->setSelected_Graphic(object);
    }
    const Shown before = pick(road, good);
    ASSERT_EQ(before.path, good);
    ASSERT_FALSE(before.picture.isNull());
    ASSERT_TRUE(services->messages.isEmpty()) << services->messages.join(' ').toStdString();

    const struct {
        QString path;
        const char *reason;
    } refused[] = {{huge, ""}, {folder.filePath(QStringLiteral("moved.png")), "it was not found"}};
    for (const auto &r : refused) {
        SCOPED_TRACE(r.reason);
        services->messages.clear();
        const Shown after = pick(road, r.path);
        EXPECT_EQ(after.path, before.path);
        EXPECT_EQ(after.picture, before.picture);
        ASSERT_EQ(services->messages.size(), 1);
        EXPECT_TRUE(services->messages[0].contains(r.path) && services->messages[0].contains(QLatin1String(r.reason)))
            << services->messages[0].toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(EveryRoad, RefusedPictureTest,
                         ::testing::Values("ImageBrowse", "SignatureBrowse", "Background", "ProfilePhoto", "WizardPhoto"),
                         [](const ::testing::TestParamInfo<const char *> &info) { return std::string(info.param); });

// Every road by which the window reads a picture weighs it first: a large one (3 megapixels) is
// decoded on a worker, where it waits its turn while every decoding's memory is held elsewhere, the
// window's loop running and its waiting sheet up; a Delete typed meanwhile deletes nothing. A small
// one is read at once, the window's decoding going in beside any other.
TEST_F(DesignWindowTest, EveryPictureTheWindowReadsIsWeighedAndALargeOneReadOnAWorker)
{
    load();
    QTemporaryDir folder;
    const QSize large(2000, 1500), small(200, 150);
    ASSERT_GE(platform::picturePixelsRead(large), DesignFile::kDirectWork);
    const auto only = [&]() -> SKTGraphic * {
        return document->graphics().count() == 1 ? document->graphics().at(0).get() : nullptr;
    };
    const auto pictureOfOnly = [&] {
        const SKTGraphic *object = only();
        return object && object->kind() == SKTGraphic::Kind::Image ? static_cast<const SKTImage *>(object)->_contents.size()
                                                                   : QSize();
    };
    const auto select = [&](const SKTGraphicPtr &object) {
        object->setBounds(QRectF(10, 10, 60, 40));
        document->insertGraphics({object}, {0});
        window->_graphicView->changeSelectionIndexes({0});
        window->_graphicView->setSelected_Graphic(object);
    };
    // The picture tab's Browse... for a new picture object tagged `tag`.
    const auto browse = [&](const QString &path, const char *tag) {
        auto object = std::make_shared<SKTImage>();
        object->control_ID = QLatin1String(tag);
        select(object);
        services->fileAnswers = {path};
        window->image_tab->Manual_Image_Browse_Btn(nullptr);
    };
    Show_User_Profile &dialog = *Show_User_Profile::defaultInstance();
    const struct {
        const char *road;
        QSize size;
        bool sheet;  // the read's window has one
        int objects; // on the side afterwards
        std::function<QSize(const QString &path)> read; // the size of the picture taken
    } roads[] = {
        {"picture object", large, true, 1, [&](const QString &path) { browse(path, ""); return pictureOfOnly(); }},
        {"small picture", small, true, 1, [&](const QString &path) { browse(path, ""); return pictureOfOnly(); }},
        {"main photo", large, true, 1, [&](const QString &path) {
             browse(path, "PARTY_IMAGE");
             return Win().Invite_Frame_Pic_IMG == path ? window->Main_Photo_original().size() : QSize();
         }},
        {"signature", large, true, 1, [&](const QString &path) {
             select(std::make_shared<SKTSignature>(QPointF(50, 50), QStringLiteral("Default"), QStringLiteral("S")));
             services->fileAnswers = {path};
             window->sign_tab->Sign_Browse_Btn(nullptr);
             // Taken as read, not left for the drawing to read again.
             const auto *signature = static_cast<const SKTSignature *>(only());
             return signature->file_path == path && signature->_file_path == path ? signature->_contents_img.size()
                                                                                   : QSize();
         }},
        {"picture tool", large, true, 1, [&](const QString &path) {
             services->fileAnswers = {path};
             window->Image_Tool_Clicked();
             return pictureOfOnly();
         }},
        {"series sample", large, true, 1, [&](const QString &path) {
             writeFile(QStringLiteral("DataSet/Photos.txt"), path.toUtf8() + '\n');
             select(std::make_shared<SKTImage>());
             window->datasource_tab->Data_source_type->setCurrentIndex(1);
             window->datasource_tab->Batch_Series->setCurrentIndex(0);
             return pictureOfOnly();
         }},
        {"card background", large, true, 0, [&](const QString &path) {
             services->fileAnswers = {path};
             window->Properties_Panel->cardPanel->Card_Image_Browse_Btn(nullptr);
             return window->Front_card_Prop.Card_BG_Image().size();
         }},
        {"paste", large, true, 1, [&](const QString &path) {
             QFile file(path);
             EXPECT_TRUE(file.open(QIODevice::ReadOnly));
             pasteboard.writeItems({{QStringLiteral("image/png"), file.readAll()}});
             window->Paste_Clicked();
             return pictureOfOnly();
         }},
        {"start wizard's photo", large, false, 0, [&](const QString &path) {
             Invitation_Wizard &wizard = *window->invitationWizard();
             return wizard.Load_Photo(path) ? wizard.User_Picture.size() : QSize();
         }},
        {"profile photo", large, false, 0, [&](const QString &path) {
             services->fileAnswers = {path};
             dialog.Browse_image_Btn_Clicked();
             return dialog.image_path_val->text() == path ? large : QSize(); // shown scaled to its box
         }},
    };
    window->plz_wait_Window->delayMs = 0;
    ShowCounter sheet;
    window->plz_wait_Window->installEventFilter(&sheet);
    for (const auto &road : roads) {
        SCOPED_TRACE(road.road);
        document->graphics().removeGraphicsAtIndexes(platform::IndexSet::range(0, document->graphics().count()));
        const QString path = folder.filePath(QStringLiteral("%1.png").arg(road.road));
        ASSERT_TRUE(solidPicture(QColor(40, 90, 200), road.size.width(), road.size.height()).save(path));
        const bool onWorker = road.size == large;
        sheet.shows = 0;
        bool waited = false, sheetUp = false;
        std::promise<void> holding, letGo;
        std::thread holder([&] { // every decoding's memory, until the watch lets go (or a minute has passed)
            const platform::DecodingAdmission all(platform::kMostReadingBytes);
            holding.set_value();
            letGo.get_future().wait_for(std::chrono::minutes(1));
        });
        holding.get_future().wait();
        QTimer watch; // runs only while the window's loop does
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (waited || platform::DecodingAdmission::waitingForTesting() == 0)
                return;
            waited = true;
            sheetUp = window->plz_wait_Window->isVisible();
            QCoreApplication::postEvent(window->_graphicView,
                                        new QKeyEvent(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier));
            letGo.set_value();
        });
        watch.start(0);
        EXPECT_EQ(road.read(path), road.size);
        watch.stop();
        if (!waited)
            letGo.set_value();
        holder.join();
        QCoreApplication::processEvents();
        EXPECT_EQ(waited, onWorker) << "the decoding waited its turn while the window's loop ran";
        EXPECT_EQ(sheetUp, onWorker && road.sheet);
        EXPECT_EQ(sheet.shows, onWorker && road.sheet ? 1 : 0);
        EXPECT_TRUE(services->messages.isEmpty()) << services->messages.join(' ').toStdString();
        EXPECT_EQ(document->graphics().count(), road.objects) << "the Delete typed during the read deleted nothing";
    }
}
