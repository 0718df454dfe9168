#include "DesignWindowFixture.h"
#include "fixtures/Pictures.h"

#include "datasource/RecordBinding.h"
#include "document/DesignFile.h"
#include "document/SKTImage.h"
#include "platform/PictureReading.h"
#include "profile/ProfilePlacement.h"
#include "profile/User_Profile_Class.h"
#include "window/Invitation_Wizard.h"

#include <memory>
#include <ostream>

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
            picture->data_source_type = 2; // Excel
            picture->excel_col_indx = 1;
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
