#include "DesignWindowFixture.h"
#include "fixtures/Pictures.h"

#include "datasource/RecordBinding.h"
#include "document/DesignFile.h"
#include "document/SKTImage.h"
#include "profile/ProfilePlacement.h"
#include "profile/User_Profile_Class.h"
#include "window/Invitation_Wizard.h"

#include <memory>

// Every road by which a user's picture comes in reads a camera's photo of 8000 × 6000 pixels (48
// megapixels) at its size: Qt's allocation limit of 128 MB refused it on each of them.
class PictureRoadsTest : public DesignWindowTest, public ::testing::WithParamInterface<const char *> {
protected:
    static inline const QSize kPhoto{8000, 6000};
    static inline std::unique_ptr<QTemporaryDir> folder;

    static QImage cameraPhoto() { return solidPicture(QColor(40, 90, 200), kPhoto.width(), kPhoto.height()); }
    static void SetUpTestSuite()
    {
        folder = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(cameraPhoto().save(photoPath(), "JPG"));
    }
    static void TearDownTestSuite() { folder.reset(); }
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
            picture->data_source_type = 2; // Excel
            picture->excel_col_indx = 1;
            GraphicList objects{picture};
            const QStringList failures = RecordBinding::load(objects, {}, {{{"Column1", path}}}).apply(0, objects).failures;
            EXPECT_TRUE(failures.isEmpty()) << failures.join(' ').toStdString();
            return pictureOf(objects);
        }
        DesignFileContents design; // saved and opened, the picture carried in it
        design.frontGraphics << std::make_shared<SKTImage>(QPointF(), cameraPhoto());
        const std::optional<DesignFileContents> opened = DesignFile::read(DesignFile::data(design));
        return opened ? pictureOf(opened->frontGraphics) : QImage();
    }
};

TEST_P(PictureRoadsTest, ACameraPhotoIsReadAtItsSize)
{
    load();
    const QImage picture = readBy(QLatin1String(GetParam()));
    EXPECT_TRUE(picture.size() == kPhoto) << picture.width() << " × " << picture.height();
    EXPECT_TRUE(services->messages.isEmpty()) << services->messages.join(' ').toStdString();
}

INSTANTIATE_TEST_SUITE_P(EveryRoad, PictureRoadsTest,
                         ::testing::Values("WizardPhoto", "PictureTool", "Background", "ProfilePhoto", "RecordPicture",
                                           "SavedDesign"),
                         [](const ::testing::TestParamInfo<const char *> &info) { return std::string(info.param); });
