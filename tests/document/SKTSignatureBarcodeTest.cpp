#include "document/SKTBarcode.h"
#include "document/SKTSignature.h"

#include "core/AppState.h"
#include "fixtures/Pictures.h"
#include "fixtures/TestSupport.h"

#include <QFile>
#include <QPainter>
#include <gtest/gtest.h>

#include <numbers>

namespace {

const Page kPage(QSize(400, 200), QImage::Format_ARGB32);

class PictureKindsTest : public ::testing::Test {
protected:
    // The samples the program ships, in the test's resources folder.
    void copySamples()
    {
        for (const char *name : {"sign_sample.png", "fingerprints.png", "barcode_sample.png"})
            ASSERT_TRUE(QFile::copy(sourceResourcesPath() + QLatin1String(name), app.resourcePath() + QLatin1String(name)));
    }
    QString resource(const char *name) const { return app.resourcePath() + QLatin1String(name); }

    AppFixture app;
};

} // namespace

TEST_F(PictureKindsTest, NewSignaturesAndFingerprintsShowTheirSamples)
{
    copySamples();
    const QImage sign(resource("sign_sample.png"));
    const QImage print(resource("fingerprints.png"));
    ASSERT_FALSE(sign.isNull());
    ASSERT_FALSE(print.isNull());

    SKTSignature signature(QPointF(200, 100), sign, QStringLiteral("S"));
    EXPECT_EQ(signature.bounds(), QRectF(200 - sign.width() / 2.0, 100 - sign.height() / 2.0, sign.width(), sign.height()));
    EXPECT_EQ(signature.FilePath(), resource("sign_sample.png"));
    EXPECT_EQ(signature.file_path, resource("sign_sample.png"));
    EXPECT_TRUE(signature.isDrawingStroke());
    EXPECT_EQ(signature._strokeColor, QColor(Qt::black));
    EXPECT_EQ(signature._strokeWidth, 1.0);
    EXPECT_EQ(app.hub.imageControlsResetCount, 1);

    SKTSignature fingerprint(QPointF(100, 100), print, QStringLiteral("F"));
    EXPECT_EQ(fingerprint.Sign_Or_FP_Val(), QStringLiteral("F"));
    EXPECT_EQ(fingerprint.FilePath(), resource("fingerprints.png"));
    EXPECT_EQ(fingerprint.bounds().size(), QSizeF(print.size()));

    // Drawn at the picture's own size with a black outline on the frame.
    const QImage out = drawnOnWhite(fingerprint, Page(QSize(300, 300), QImage::Format_ARGB32));
    const QRectF frame = fingerprint.bounds();
    EXPECT_EQ(out.pixelColor(qRound(frame.left()), qRound(frame.center().y())), QColor(Qt::black));
    int ink = 0;
    for (int y = qRound(frame.top()) + 2; y < qRound(frame.bottom()) - 2; ++y)
        ink += out.pixelColor(qRound(frame.center().x()), y).lightness() < 128;
    EXPECT_GT(ink, 10);
}

TEST_F(PictureKindsTest, TheSignaturePictureFollowsThePathField)
{
    copySamples();
    SKTSignature fingerprint;
    fingerprint.Set_Sign_Or_FP(QStringLiteral("F"));
    fingerprint._bounds = QRectF(10, 10, 60, 30);
    fingerprint._isDrawingStroke = false;
    fingerprint.Set_Control_File_path(QStringLiteral("Default"));
    drawnOnWhite(fingerprint, kPage);
    EXPECT_EQ(fingerprint.FilePath(), resource("fingerprints.png"));
    EXPECT_EQ(fingerprint.file_path, resource("fingerprints.png"));
    EXPECT_FALSE(fingerprint._contents_img.isNull());

    // The panel writes another file: the next drawing shows it in the unchanged frame.
    const QString red = resource("red.png");
    solidPicture(Qt::red, 5, 5).save(red);
    fingerprint.Set_Control_File_path(red);
    QImage out = drawnOnWhite(fingerprint, kPage);
    EXPECT_EQ(out.pixelColor(12, 12), QColor(Qt::red));
    EXPECT_EQ(out.pixelColor(68, 38), QColor(Qt::red));
    EXPECT_EQ(out.pixelColor(72, 20), QColor(Qt::white));
    EXPECT_EQ(fingerprint.bounds(), QRectF(10, 10, 60, 30));

    // Opacity and effects belong to picture objects, not to this one.
    fingerprint.img_trnsp_val = 0;
    fingerprint.invert_clr = true;
    EXPECT_EQ(drawnOnWhite(fingerprint, kPage).pixelColor(30, 20), QColor(Qt::red));

    // Hidden, it does not reload; shown again, it does.
    const QString blue = resource("blue.png");
    solidPicture(Qt::blue, 5, 5).save(blue);
    fingerprint.Set_Control_File_path(blue);
    fingerprint.ctrl_is_visible = false;
    drawnOnWhite(fingerprint, kPage);
    EXPECT_EQ(fingerprint.file_path, red);
    fingerprint.ctrl_is_visible = true;
    EXPECT_EQ(drawnOnWhite(fingerprint, kPage).pixelColor(30, 20), QColor(Qt::blue));
    EXPECT_EQ(app.hub.refreshCount, 0);
}

TEST_F(PictureKindsTest, AnUnreadableSignatureDrawsItsOutlineAndIsNotRetried)
{
    SKTSignature signature;
    signature._bounds = QRectF(10, 10, 60, 30);
    const QString later = resource("later.png");
    signature.Set_Control_File_path(later);
    QImage out = drawnOnWhite(signature, kPage);
    EXPECT_EQ(out.pixelColor(10, 20), QColor(Qt::black));
    EXPECT_EQ(out.pixelColor(30, 20), QColor(Qt::white));

    // The file appearing afterwards changes nothing until the path itself changes.
    solidPicture(Qt::green, 4, 4).save(later);
    EXPECT_EQ(drawnOnWhite(signature, kPage).pixelColor(30, 20), QColor(Qt::white));
    signature.Set_Control_File_path(QStringLiteral("Default"));
    drawnOnWhite(signature, kPage);
    signature.Set_Control_File_path(later);
    EXPECT_EQ(drawnOnWhite(signature, kPage).pixelColor(30, 20), QColor(Qt::green));
}

TEST_F(PictureKindsTest, RotationTransformTurnsAboutItsPoint)
{
    const QTransform turn = RotationTransform(std::numbers::pi / 2, 10, 10);
    const QPointF moved = turn.map(QPointF(20, 10));
    EXPECT_NEAR(moved.x(), 10, 1e-9);
    EXPECT_NEAR(moved.y(), 20, 1e-9);
    EXPECT_EQ(turn.map(QPointF(10, 10)), QPointF(10, 10));
}

TEST_F(PictureKindsTest, BarcodesDrawTheirPictureUnscaledOrTheSample)
{
    copySamples();
    const QImage sample(resource("barcode_sample.png"));
    ASSERT_EQ(sample.size(), QSize(120, 60));

    SKTBarcode barcode(QPointF(200, 100), QImage());
    EXPECT_EQ(barcode.bounds(), QRectF(140, 70, 120, 60));
    QImage out = drawnOnWhite(barcode, kPage);
    EXPECT_EQ(out.pixelColor(140 + 60, 70 + 20), sample.pixelColor(60, 20));
    EXPECT_EQ(out.pixelColor(139, 90), QColor(Qt::white));

    // A delivered barcode picture is drawn at its own size; the frame stays.
    barcode.Set_Barcode_image(solidPicture(Qt::darkGreen, 300, 80));
    out = drawnOnWhite(barcode, kPage);
    EXPECT_EQ(out.pixelColor(141, 71), QColor(Qt::darkGreen));
    EXPECT_EQ(out.pixelColor(398, 148), QColor(Qt::darkGreen));
    EXPECT_EQ(out.pixelColor(300, 151), QColor(Qt::white));
    EXPECT_EQ(barcode.bounds(), QRectF(140, 70, 120, 60));
    // Canvases clip each object to its drawing bounds: they must hold the whole symbol.
    EXPECT_TRUE(barcode.drawingBounds().contains(QRectF(140, 70, 300, 80)));

    // Taken away again, the sample returns.
    barcode.Set_Barcode_image(QImage());
    EXPECT_EQ(drawnOnWhite(barcode, kPage).pixelColor(140 + 60, 70 + 20), sample.pixelColor(60, 20));
    EXPECT_EQ(app.hub.refreshCount, 0);
}

TEST_F(PictureKindsTest, BarcodesIgnoreOutlineAndFill)
{
    SKTBarcode barcode;
    barcode._bounds = QRectF(10, 10, 100, 50);
    barcode.Set_Barcode_image(solidPicture(Qt::black, 20, 10));
    barcode._isDrawingStroke = true;
    barcode._isDrawingFill = true;
    barcode._fillColor = Qt::red;
    barcode._strokeWidth = 6;
    const QImage out = drawnOnWhite(barcode, kPage);
    EXPECT_EQ(out.pixelColor(15, 15), QColor(Qt::black));
    EXPECT_EQ(out.pixelColor(60, 40), QColor(Qt::white));
    EXPECT_EQ(out.pixelColor(10, 40), QColor(Qt::white));
    EXPECT_FALSE(barcode.isDrawingStroke());

    barcode.ctrl_is_visible = false;
    EXPECT_EQ(drawnOnWhite(barcode, kPage).pixelColor(15, 15), QColor(Qt::white));
}
