#include "DesignWindowFixture.h"

#include "barcode/SymbolReader.h"
#include "document/DesignLimits.h"
#include "document/SKTGraphicKinds.h"
#include "profile/ProfileState.h"
#include "profile/User_Profile_Class.h"

#include <QFileInfo>

namespace {

// The palette and the canvas together: each tool's object carries the picture it is meant to
// show, from the pictures that come with the program.
class ToolObjectsTest : public DesignWindowTest {
protected:
    // The window reads its sample pictures when it is made, so they are in place before.
    ToolObjectsTest()
    {
        for (const char *name : {"sign_sample.png", "fingerprints.png", "barcode_sample.png", "no.png"})
            EXPECT_TRUE(QFile::copy(sourceResourcesPath() + QLatin1String(name), resourcePath(QLatin1String(name))));
    }

    void SetUp() override
    {
        DesignWindowTest::SetUp();
        load();
    }

    template <typename Kind>
    std::shared_ptr<Kind> made(void (SKTWindowController::*tool)())
    {
        (window.get()->*tool)();
        return std::dynamic_pointer_cast<Kind>(document->graphics().at(0));
    }
};

} // namespace

TEST_F(ToolObjectsTest, SignatureAndFingerprintToolsShowTheirSamplesInTheirFrames)
{
    const QImage signSample(resourcePath(QStringLiteral("sign_sample.png")));
    const QImage printSample(resourcePath(QStringLiteral("fingerprints.png")));
    ASSERT_FALSE(signSample.isNull());
    ASSERT_NE(signSample, printSample);

    const auto signature = made<SKTSignature>(&SKTWindowController::Signature_Tool_Clicked);
    ASSERT_TRUE(signature);
    EXPECT_EQ(signature->_contents_img, signSample);
    EXPECT_EQ(signature->FilePath(), App().Resource_Path + QStringLiteral("sign_sample.png"));
    EXPECT_EQ(signature->bounds().size(), QSizeF(100, 50));

    const auto fingerprint = made<SKTSignature>(&SKTWindowController::Fingure_Print_Tool_Clicked);
    ASSERT_TRUE(fingerprint);
    EXPECT_EQ(fingerprint->sign_or_fingureprint, QStringLiteral("F"));
    EXPECT_EQ(fingerprint->_contents_img, printSample);
    EXPECT_EQ(fingerprint->FilePath(), App().Resource_Path + QStringLiteral("fingerprints.png"));
}

TEST_F(ToolObjectsTest, BarcodeToolMakesTheSymbolOfItsDefaultSettingsInAFrameOfItsSize)
{
    const auto barcode = made<SKTBarcode>(&SKTWindowController::Barcode_Tool_Clicked);
    ASSERT_TRUE(barcode);
    EXPECT_EQ(readSymbol(barcode->_barcode_image, ZXing::BarcodeFormat::Code39), QByteArray("0123"));
    EXPECT_EQ(barcode->_contents, barcode->_barcode_image);
    EXPECT_EQ(barcode->bounds().size(), barcode->_barcode_image.deviceIndependentSize());
}

// Every road that adds objects stops at the design's limit with the reason a paste gives, and a
// design past the limit, which could not be opened, is not saved.
TEST_F(ToolObjectsTest, NoRoadTakesTheDesignPastItsObjectLimitAndNoSaveWritesOnePast)
{
    const auto fill = [&](qsizetype count) {
        document->graphics().removeGraphicsAtIndexes(platform::IndexSet::range(0, document->graphics().count()));
        document->graphics_back().removeGraphicsAtIndexes(
            platform::IndexSet::range(0, document->graphics_back().count()));
        GraphicList shapes;
        for (qsizetype i = 0; i < count; ++i)
            shapes << std::make_shared<Shape_Control>();
        document->graphics_back().insertGraphics(shapes, platform::IndexSet::range(0, int(count)));
    };
    const auto total = [&] { return document->graphics().count() + document->graphics_back().count(); };
    // Each asks for two objects where there is room for one.
    const struct {
        const char *road;
        std::function<void()> add;
    } roads[] = {
        {"shape tool", [&] { window->Rect_Tool_Clicked(), window->Rect_Tool_Clicked(); }},
        {"barcode and signature tools", [&] { window->Barcode_Tool_Clicked(), window->Signature_Tool_Clicked(); }},
        {"profile placement",
         [&] {
             window->Front_user_profile->Name = QStringLiteral("Ann");
             window->Front_user_profile->Company_name = QStringLiteral("Acme");
             Profiles().Fill_User_Profile = true;
             window->Fill_User_profile_info_front_side();
         }},
        {"invitation wizard",
         [&] {
             Win().Invite_Title = QStringLiteral("Party");
             Win().Invite_Message = QStringLiteral("Come");
             window->Fill_Party_Invidation_Details();
         }},
    };
    for (const auto &row : roads) {
        SCOPED_TRACE(row.road);
        fill(DesignFile::kMaxDesignObjects - 1);
        services->messages.clear();
        row.add();
        EXPECT_LE(total(), DesignFile::kMaxDesignObjects);
        ASSERT_FALSE(services->messages.isEmpty());
        EXPECT_TRUE(DesignFile::isTooManyObjectsReason(services->messages.last())) << services->messages.last().toStdString();
    }

    const QString path = resourcePath(QStringLiteral("full.zkse"));
    fill(DesignFile::kMaxDesignObjects + 1); // as only a fault could make it
    App().Project_File_Name = path;
    EXPECT_FALSE(window->Save_project_file(false, false));
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_TRUE(services->messages.last().endsWith(DesignFile::tooManyObjectsReason(DesignFile::kMaxDesignObjects + 1)));
}
