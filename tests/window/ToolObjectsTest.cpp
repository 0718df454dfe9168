#include "DesignWindowFixture.h"

#include "barcode/SymbolReader.h"
#include "document/SKTGraphicKinds.h"

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
