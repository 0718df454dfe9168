#include "canvas/ui/SKTGraphicView.h"

#include "core/AppState.h"
#include "document/SKTDocument.h"
#include "document/SKTGraphicKinds.h"
#include "fixtures/CanvasEvents.h"
#include "fixtures/Pictures.h"
#include "fixtures/TestSupport.h"

#include <QFile>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

// One pixel per point.
const Page kPage(QSize(300, 200), QImage::Format_ARGB32);

QColor centreOf(const QImage &image, const SKTGraphic &graphic)
{
    return image.pixelColor(graphic.bounds().center().toPoint());
}

class CreationKindsTest : public ::testing::Test {
protected:
    AppFixture app;
    SKTDocument document;
    SKTGraphicView view{document.graphics(), &document};

    CreationKindsTest()
    {
        app.hub.noImage = solidPicture(QColor(200, 200, 200), 20, 10);
        app.hub.barcodeSample = solidPicture(QColor(10, 10, 10), 120, 60);
        app.hub.signSample = solidPicture(QColor(0, 0, 180), 200, 80);
        app.hub.fingerprintSample = solidPicture(QColor(120, 60, 0), 90, 110);
        app.hub.mainPhoto = solidPicture(QColor(0, 160, 0), 20, 10);
        app.hub.nextPoint = QPointF(40, 30);
    }

    // As a tool button does: no event, the window's rectangle, no value and no tag.
    SKTGraphicPtr placeWithTool(int tool, SKTGraphic::Kind kind, const QSizeF &size)
    {
        app.hub.tool = tool;
        return view.createGraphicOfClass(kind, std::nullopt, true, QRectF(QPointF(0, 0), size), QStringLiteral("F"),
                                         QString(QLatin1String("")), QString(QLatin1String("")));
    }

    QString writePicture(const QString &name, const QColor &colour)
    {
        const QString path = app.resourcePath() + name;
        EXPECT_TRUE(solidPicture(colour, 40, 30).save(path));
        return path;
    }
};

} // namespace

TEST_F(CreationKindsTest, SignatureAndFingerprintToolsHoldTheirSamplesInTheWindowsSize)
{
    auto signature = std::dynamic_pointer_cast<SKTSignature>(placeWithTool(11, SKTGraphic::Kind::Signature, {100, 50}));
    ASSERT_TRUE(signature);
    EXPECT_EQ(signature->bounds(), QRectF(40, 30, 100, 50));
    EXPECT_EQ(signature->sign_or_fingureprint, QStringLiteral("S"));
    EXPECT_EQ(signature->FilePath(), app.resourcePath() + QStringLiteral("sign_sample.png"));
    EXPECT_TRUE(signature->_isDrawingStroke);
    // The sample file is not in this resources folder: what shows is the window's own picture,
    // scaled into the frame, not a failed reload.
    EXPECT_EQ(centreOf(drawnOnWhite(*signature, kPage), *signature), QColor(0, 0, 180));

    // The class the caller names does not matter for the picture tools.
    app.hub.nextPoint = QPointF(150, 100);
    auto fingerprint = std::dynamic_pointer_cast<SKTSignature>(placeWithTool(12, SKTGraphic::Kind::Shape, {100, 50}));
    ASSERT_TRUE(fingerprint);
    EXPECT_EQ(fingerprint->sign_or_fingureprint, QStringLiteral("F"));
    EXPECT_EQ(fingerprint->FilePath(), app.resourcePath() + QStringLiteral("fingerprints.png"));
    EXPECT_EQ(fingerprint->bounds(), QRectF(150, 100, 100, 50));
    EXPECT_EQ(centreOf(drawnOnWhite(*fingerprint, kPage), *fingerprint), QColor(120, 60, 0));

    EXPECT_EQ(app.hub.imageControlsResetCount, 2);
    EXPECT_EQ(view.graphicsList().at(0), fingerprint);
    EXPECT_EQ(view.selectedGraphics(), GraphicList{fingerprint});
}

TEST_F(CreationKindsTest, BarcodeToolTakesTheWindowsSymbolAsItsBarcode)
{
    ASSERT_TRUE(QFile::copy(sourceResourcesPath() + QStringLiteral("barcode_sample.png"),
                            app.resourcePath() + QStringLiteral("barcode_sample.png")));
    auto barcode = std::dynamic_pointer_cast<SKTBarcode>(placeWithTool(10, SKTGraphic::Kind::Barcode, {120, 60}));
    ASSERT_TRUE(barcode);
    EXPECT_EQ(barcode->bounds(), QRectF(40, 30, 120, 60));
    EXPECT_FALSE(barcode->_contents.isNull());
    EXPECT_EQ(barcode->_barcode_image, app.hub.barcodeSample);

    // Once the settings window delivers a symbol it is drawn, and taking it away brings the sample back.
    barcode->Set_Barcode_image(solidPicture(QColor(255, 0, 0), 30, 30));
    EXPECT_EQ(drawnOnWhite(*barcode, kPage).pixelColor(45, 35), QColor(255, 0, 0));
    barcode->Set_Barcode_image(QImage());
    EXPECT_NE(drawnOnWhite(*barcode, kPage).pixelColor(45, 35), QColor(255, 0, 0));
}

TEST_F(CreationKindsTest, PictureToolTakesTheChosenFileThenTheValueThenThePlaceholder)
{
    // Neither a chosen picture nor a value: the window's placeholder, drawn, with no path that
    // would hide it.
    auto placeholder = placeWithTool(8, SKTGraphic::Kind::Image, {50, 50});
    ASSERT_EQ(placeholder->kind(), SKTGraphic::Kind::Image);
    EXPECT_EQ(placeholder->bounds(), QRectF(40, 30, 50, 50));
    EXPECT_EQ(centreOf(drawnOnWhite(*placeholder, kPage), *placeholder), QColor(200, 200, 200));

    // The chosen file wins over the value.
    const QString chosen = writePicture(QStringLiteral("chosen.png"), QColor(250, 120, 0));
    const QString value = writePicture(QStringLiteral("value.png"), QColor(0, 120, 250));
    app.hub.librarySelectedImage = chosen;
    app.hub.tool = 8;
    auto fromChosen = view.createGraphicOfClass(SKTGraphic::Kind::Image, std::nullopt, true, {60, 60, 80, 40},
                                                QStringLiteral("F"), value, QStringLiteral("Fup_Photo"));
    EXPECT_EQ(fromChosen->FilePath(), chosen);
    EXPECT_EQ(fromChosen->control_ID, QStringLiteral("Fup_Photo"));
    EXPECT_EQ(fromChosen->bounds(), QRectF(60, 60, 80, 40));
    EXPECT_EQ(centreOf(drawnOnWhite(*fromChosen, kPage), *fromChosen), QColor(250, 120, 0));

    // A missing chosen file falls back to the value's file, tagged before it loads, so the main
    // photo's object shows the window's main photo.
    app.hub.librarySelectedImage = app.resourcePath() + QStringLiteral("gone.png");
    auto fromValue = view.createGraphicOfClass(SKTGraphic::Kind::Image, std::nullopt, true, {60, 60, 80, 40},
                                               QStringLiteral("F"), value, QStringLiteral("Fup_Photo"));
    EXPECT_EQ(fromValue->FilePath(), value);
    EXPECT_EQ(centreOf(drawnOnWhite(*fromValue, kPage), *fromValue), QColor(0, 120, 250));
    auto mainPhoto = view.createGraphicOfClass(SKTGraphic::Kind::Image, std::nullopt, true, {60, 60, 80, 40},
                                               QStringLiteral("F"), value, QStringLiteral("PARTY_IMAGE"));
    EXPECT_EQ(centreOf(drawnOnWhite(*mainPhoto, kPage), *mainPhoto), QColor(0, 160, 0));

    // The library tool takes its path without asking whether the file is there.
    EXPECT_EQ(placeWithTool(9, SKTGraphic::Kind::Image, {50, 50})->FilePath(), app.hub.librarySelectedImage);

    // A picture placed by its tool keeps its shape (40 x 30) within the tool's size.
    app.hub.librarySelectedImage = chosen;
    for (const QSizeF &toolSize : {QSizeF(50, 50), QSizeF(20, 60)})
        EXPECT_EQ(placeWithTool(8, SKTGraphic::Kind::Image, toolSize)->bounds().size(),
                  QSizeF(40, 30).scaled(toolSize, Qt::KeepAspectRatio));
}

TEST_F(CreationKindsTest, APressWithTheFingerprintToolDragsOutAFingerprint)
{
    app.hub.tool = 12;
    mouse(view, QEvent::MouseButtonPress, {20, 20});
    mouse(view, QEvent::MouseMove, {60, 50});
    mouse(view, QEvent::MouseButtonRelease, {80, 70});
    ASSERT_EQ(view.graphicsList().count(), 1);
    auto fingerprint = std::dynamic_pointer_cast<SKTSignature>(view.graphicsList().at(0));
    ASSERT_TRUE(fingerprint);
    EXPECT_EQ(fingerprint->sign_or_fingureprint, QStringLiteral("F"));
    EXPECT_EQ(fingerprint->bounds(), QRectF(20, 20, 60, 50));
    EXPECT_EQ(centreOf(drawnOnWhite(*fingerprint, kPage), *fingerprint), QColor(120, 60, 0));

    // One undo step takes it away again.
    document.undoManager().undo();
    EXPECT_TRUE(view.graphicsList().isEmpty());
}
