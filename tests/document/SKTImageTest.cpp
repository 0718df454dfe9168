#include "document/SKTImage.h"

#include "core/AppState.h"
#include "core/ImageEffectCache.h"
#include "fixtures/Pictures.h"
#include "fixtures/TestSupport.h"

#include <QPainter>
#include <gtest/gtest.h>

#include <thread>

namespace {

const Page kPage(QSize(300, 200), QImage::Format_ARGB32);

class SKTImageTest : public ::testing::Test {
protected:
    SKTImageTest()
    {
        picturePath = app.resourcePath() + QStringLiteral("quadrants.png");
        quadrants(40, 20).save(picturePath);
        ImageEffectCache::sharedInstance().clear();
    }

    // A picture object filling (10, 10, 80, 40) with the quadrant picture.
    std::shared_ptr<SKTImage> placed()
    {
        auto image = std::make_shared<SKTImage>(QPointF(0, 0), picturePath);
        image->_bounds = QRectF(10, 10, 80, 40);
        return image;
    }

    AppFixture app;
    QString picturePath;
};

} // namespace

TEST_F(SKTImageTest, ANewPictureIsCentredOnItsPoint)
{
    app.hub.librarySelectedImage = QStringLiteral("/pictures/chosen.png");
    SKTImage image(QPointF(100, 100), quadrants(300, 200));
    EXPECT_EQ(image.bounds(), QRectF(-50, 0, 300, 200));
    EXPECT_EQ(image.FilePath(), QStringLiteral("/pictures/chosen.png"));
    EXPECT_FALSE(image._isDrawingStroke);
    EXPECT_EQ(app.hub.imageControlsResetCount, 1);

    SKTImage fromFile(QPointF(20, 10), picturePath);
    EXPECT_EQ(fromFile.bounds(), QRectF(0, 0, 40, 20));
    EXPECT_EQ(fromFile.FilePath(), picturePath);
    EXPECT_EQ(app.hub.imageControlsResetCount, 2);

    // Without a library picture the path stays unset, which still draws.
    app.hub.librarySelectedImage = QString();
    SKTImage pasted(QPointF(50, 50), quadrants(20, 20));
    EXPECT_TRUE(pasted.FilePath().isNull());
    EXPECT_TRUE(colourNear(drawnOnWhite(pasted, kPage).pixelColor(45, 45), Qt::red, 2));
}

TEST_F(SKTImageTest, PicturesAreDrawnScaledIntoTheFrameAndMirroredByTheFlips)
{
    auto image = placed();
    QImage out = drawnOnWhite(*image, kPage);
    EXPECT_TRUE(colourNear(out.pixelColor(15, 15), Qt::red, 2));
    EXPECT_TRUE(colourNear(out.pixelColor(85, 15), Qt::green, 2));
    EXPECT_TRUE(colourNear(out.pixelColor(15, 45), Qt::blue, 2));
    EXPECT_TRUE(colourNear(out.pixelColor(85, 45), Qt::yellow, 2));
    EXPECT_TRUE(colourNear(out.pixelColor(95, 30), Qt::white, 2));

    image->_isFlippedHorizontally = true;
    out = drawnOnWhite(*image, kPage);
    EXPECT_TRUE(colourNear(out.pixelColor(15, 15), Qt::green, 2));
    EXPECT_TRUE(colourNear(out.pixelColor(15, 45), Qt::yellow, 2));

    // Both flips turn the picture half round inside the same frame.
    image->_isFlippedVertically = true;
    out = drawnOnWhite(*image, kPage);
    EXPECT_TRUE(colourNear(out.pixelColor(15, 15), Qt::yellow, 2));
    EXPECT_TRUE(colourNear(out.pixelColor(85, 45), Qt::red, 2));
    EXPECT_TRUE(colourNear(out.pixelColor(95, 30), Qt::white, 2));
    EXPECT_EQ(app.hub.refreshCount, 0); // drawing never asks for another drawing
}

TEST_F(SKTImageTest, OpacityAndOutline)
{
    auto image = placed();
    image->_isDrawingStroke = true;
    image->_strokeColor = Qt::black;
    image->_strokeWidth = 4;
    image->img_trnsp_val = 0;
    QImage out = drawnOnWhite(*image, kPage);
    EXPECT_TRUE(colourNear(out.pixelColor(15, 15), Qt::white, 2));
    EXPECT_TRUE(colourNear(out.pixelColor(9, 30), Qt::black, 2)); // the outer half of the outline

    image->img_trnsp_val = 50;
    out = drawnOnWhite(*image, kPage);
    EXPECT_TRUE(colourNear(out.pixelColor(15, 15), QColor(255, 128, 128), 2));
    EXPECT_TRUE(colourNear(out.pixelColor(9, 30), Qt::black, 2));
    image->img_trnsp_val = 100;
    // The picture covers the inner half.
    EXPECT_TRUE(colourNear(drawnOnWhite(*image, kPage).pixelColor(11, 20), Qt::red, 2));
}

TEST_F(SKTImageTest, AnEmptyPathDrawsNothingAndAMissingFileTheOutlineAndThePlaceholder)
{
    auto image = placed();
    image->_isDrawingStroke = true;
    image->_strokeWidth = 2;
    image->setFilePath(QLatin1String(""));
    EXPECT_TRUE(colourNear(drawnOnWhite(*image, kPage).pixelColor(10, 30), Qt::white, 2));
    EXPECT_FALSE(image->isMissingItsFile());

    // The placeholder keeps its square shape in the middle of the frame.
    QImage placeholder(10, 10, QImage::Format_ARGB32);
    placeholder.fill(Qt::magenta);
    app.hub.noImage = placeholder;
    image->setFilePath(app.resourcePath() + QStringLiteral("missing.png"));
    EXPECT_TRUE(image->isMissingItsFile());
    QImage out = drawnOnWhite(*image, kPage);
    EXPECT_TRUE(colourNear(out.pixelColor(10, 30), Qt::black, 2));
    EXPECT_TRUE(colourNear(out.pixelColor(15, 15), Qt::white, 2));
    EXPECT_TRUE(colourNear(out.pixelColor(50, 30), Qt::magenta, 2));

    image->setFilePath(QString());
    EXPECT_TRUE(colourNear(drawnOnWhite(*image, kPage).pixelColor(10, 30), Qt::black, 2));
    image->ctrl_is_visible = false;
    EXPECT_TRUE(colourNear(drawnOnWhite(*image, kPage).pixelColor(10, 30), Qt::white, 2));
}

TEST_F(SKTImageTest, TheMainPhotoShowsWhateverThePathWithoutItsOwnEffects)
{
    app.hub.mainPhoto = quadrants(60, 30);
    SKTImage photo(QPointF(100, 100), QStringLiteral("/no/such/file.png"), QStringLiteral("PARTY_IMAGE"));
    EXPECT_EQ(photo._contents.cacheKey(), app.hub.mainPhoto.cacheKey());
    EXPECT_EQ(photo.bounds(), QRectF(70, 85, 60, 30));

    photo.invert_clr = true;
    photo._isFlippedHorizontally = true;
    photo.img_trnsp_val = 50;
    const QImage out = drawnOnWhite(photo, kPage);
    EXPECT_TRUE(colourNear(out.pixelColor(75, 90), QColor(128, 255, 128), 2)); // green at half opacity, not magenta

    // The frame picture is drawn as it is too; any other picture goes through the chain.
    auto frame = placed();
    frame->control_ID = QStringLiteral("PARTY_IMAGE_BG");
    frame->invert_clr = true;
    EXPECT_TRUE(colourNear(drawnOnWhite(*frame, kPage).pixelColor(15, 15), Qt::red, 2));
    frame->control_ID.clear();
    EXPECT_TRUE(colourNear(drawnOnWhite(*frame, kPage).pixelColor(15, 15), Qt::cyan, 2));

    // A replacement main photo reaches the object at its next setFilePath only.
    app.hub.mainPhoto = quadrants(10, 10);
    EXPECT_EQ(photo._contents.size(), QSize(60, 30));
    photo.setFilePath(QStringLiteral("anything"));
    EXPECT_EQ(photo._contents.size(), QSize(10, 10));
}

TEST_F(SKTImageTest, ObjectsGivenOnlyAPathLoadItOnFirstDrawing)
{
    // How the canvas makes picture objects: path and tag written straight into the fields.
    app.hub.mainPhoto = quadrants(20, 20);
    SKTImage tool;
    tool.Set_Control_File_path(picturePath);
    tool.control_ID = QStringLiteral("PARTY_IMAGE");
    tool._bounds = QRectF(0, 0, 40, 40);
    EXPECT_TRUE(colourNear(drawnOnWhite(tool, kPage).pixelColor(35, 35), Qt::yellow, 2));
    EXPECT_EQ(tool._contents.cacheKey(), app.hub.mainPhoto.cacheKey());

    SKTImage plain;
    plain.Set_Control_File_path(picturePath);
    plain._bounds = QRectF(0, 0, 40, 20);
    plain.makeNaturalSize();
    EXPECT_EQ(plain._contents.size(), QSize(40, 20));
}

TEST_F(SKTImageTest, AProcessedPictureOfAnotherShapeIsFittedIntoTheFrame)
{
    auto image = placed(); // 40 x 20 picture in an 80 x 40 frame
    image->rotate_image = 90.7f;
    const QImage out = drawnOnWhite(*image, kPage);
    // Turned to 20 x 40, fitted into 80 x 40 keeping its shape: 20 x 40 centred at x 40..60.
    EXPECT_TRUE(colourNear(out.pixelColor(35, 30), Qt::white, 2));
    EXPECT_TRUE(colourNear(out.pixelColor(65, 30), Qt::white, 2));
    EXPECT_TRUE(colourNear(out.pixelColor(44, 14), Qt::green, 2)); // the top-right quadrant turned to the top-left
    EXPECT_TRUE(colourNear(out.pixelColor(56, 46), Qt::blue, 2));

    // Blur keeps the size, so the picture still fills the frame.
    image->rotate_image = 0;
    image->blr_val = 2;
    EXPECT_FALSE(colourNear(drawnOnWhite(*image, kPage).pixelColor(11, 11), Qt::white, 60));
}

TEST_F(SKTImageTest, RepaintingUsesTheCachedEffects)
{
    ImageEffectCache &cache = ImageEffectCache::sharedInstance();
    auto image = placed();
    image->Sepia = true;
    drawnOnWhite(*image, kPage);
    const quint64 misses = cache.missCount();
    for (int i = 0; i < 5; ++i)
        drawnOnWhite(*image, kPage);
    EXPECT_EQ(cache.missCount(), misses);
    EXPECT_EQ(cache.hitCount(), 5u);
    // Opacity is applied while drawing, not by the chain.
    image->img_trnsp_val = 30;
    drawnOnWhite(*image, kPage);
    EXPECT_EQ(cache.missCount(), misses);
}

TEST_F(SKTImageTest, WorkersDrawTheirOwnCopies)
{
    auto image = placed();
    image->gray_Scale = true;
    QImage out[4];
    std::thread workers[4];
    for (int i = 0; i < 4; ++i)
        workers[i] = std::thread([&, i] {
            auto copy = std::make_shared<SKTImage>(QPointF(0, 0), picturePath);
            copy->_bounds = image->bounds();
            copy->gray_Scale = true;
            out[i] = drawnOnWhite(*copy, kPage);
        });
    for (std::thread &w : workers)
        w.join();
    for (const QImage &o : out)
        EXPECT_EQ(o, drawnOnWhite(*image, kPage));
}

TEST_F(SKTImageTest, NaturalSizeAndFlipsAnnounceTheirChanges)
{
    auto image = placed();
    QStringList heard;
    for (const QString &key : {SKTImage::FlippedHorizontallyKey, SKTImage::FlippedVerticallyKey,
                               SKTGraphic::DrawingContentsKey, SKTGraphic::BoundsKey})
        image->addObserver(key, [&heard](const QString &k, const QVariant &, const QVariant &) { heard << k; });

    image->flipHorizontally();
    EXPECT_TRUE(image->_isFlippedHorizontally);
    EXPECT_EQ(heard, QStringList({SKTImage::FlippedHorizontallyKey, SKTGraphic::DrawingContentsKey}));
    image->setValueForKey(SKTImage::FlippedVerticallyKey, true);
    EXPECT_TRUE(image->valueForKey(SKTImage::FlippedVerticallyKey).toBool());

    image->ctrl_is_locked = true;
    heard.clear();
    image->makeNaturalSize();
    EXPECT_EQ(image->bounds(), QRectF(10, 10, 80, 40));
    EXPECT_TRUE(heard.isEmpty());

    image->ctrl_is_locked = false;
    image->makeNaturalSize();
    EXPECT_EQ(image->bounds(), QRectF(10, 10, 40, 20));
    EXPECT_FALSE(image->_isFlippedHorizontally);
    EXPECT_FALSE(image->_isFlippedVertically);
    EXPECT_TRUE(heard.contains(SKTImage::FlippedVerticallyKey));

    // Without a picture there is no natural size to take.
    image->setFilePath(app.resourcePath() + QStringLiteral("missing.png"));
    image->makeNaturalSize();
    EXPECT_EQ(image->bounds(), QRectF(10, 10, 40, 20));

    EXPECT_TRUE(image->keysForValuesToObserveForUndo().contains(SKTImage::FlippedVerticallyKey));
    EXPECT_EQ(image->presentablePropertyNameForKey(SKTImage::FlippedHorizontallyKey), QStringLiteral("Horizontal Flipping"));
    EXPECT_EQ(image->presentablePropertyNameForKey(SKTImage::FlippedVerticallyKey), QStringLiteral("Vertical Flipping"));
}

TEST_F(SKTImageTest, ACopyKeepsThePictureButNotTheEffects)
{
    auto image = placed();
    image->invert_clr = true;
    image->_isDrawingStroke = true;
    const auto copy = std::static_pointer_cast<SKTImage>(image->clone());
    EXPECT_EQ(copy->kind(), SKTGraphic::Kind::Image);
    EXPECT_EQ(copy->_contents, image->_contents);
    EXPECT_EQ(copy->bounds(), image->bounds());
    EXPECT_FALSE(copy->invert_clr);
    EXPECT_TRUE(copy->_isDrawingStroke);
    EXPECT_TRUE(colourNear(drawnOnWhite(*copy, kPage).pixelColor(15, 15), Qt::red, 2));
}

TEST_F(SKTImageTest, ThePropertyFormCarriesThePictureAndFlips)
{
    auto image = placed();
    image->_isFlippedVertically = true;
    const QVariantMap dictionary = image->properties();

    SKTImage back;
    back.initWithProperties(dictionary);
    EXPECT_EQ(back._contents.size(), QSize(40, 20));
    EXPECT_TRUE(back._isFlippedVertically);
    EXPECT_FALSE(back._isFlippedHorizontally);
    EXPECT_EQ(back.bounds(), image->bounds());

    // Values of the wrong type are passed over.
    SKTImage odd;
    odd.initWithProperties({{QStringLiteral("contents"), QByteArray("not a picture")},
                            {SKTImage::FlippedHorizontallyKey, QStringLiteral("yes")}});
    EXPECT_TRUE(odd._contents.isNull());
    EXPECT_FALSE(odd._isFlippedHorizontally);
}

TEST_F(SKTImageTest, LargePicturesAreDrawnFromACopyOfTheSizeTheyCover)
{
    // Fine stripes and a ramp: a copy reduced badly would shift the average or the edges.
    QImage large(1600, 1200, QImage::Format_ARGB32);
    for (int y = 0; y < large.height(); ++y)
        for (int x = 0; x < large.width(); ++x)
            large.setPixel(x, y, qRgb(x % 2 ? 255 : 0, x * 255 / 1600, y * 255 / 1200));
    auto image = std::make_shared<SKTImage>(QPointF(0, 0), large);
    image->_bounds = QRectF(10, 10, 100, 75);

    const struct {
        double scale;  // device pixels per point
        bool reduced;
    } cases[] = {{1.0, true}, {300.0 / 72.0, true}, {20.0, false}};
    for (const auto &c : cases) {
        QImage page(int(130 * c.scale), int(100 * c.scale), QImage::Format_ARGB32);
        QPainter painter(&page);
        painter.scale(c.scale, c.scale);
        const QImage copy = image->pictureForDrawing(painter, image->bounds());
        const double covered = 100 * c.scale;
        if (c.reduced) {
            EXPECT_GE(copy.width(), covered) << c.scale;
            EXPECT_LE(copy.width(), covered * 1.25 + 1) << c.scale;
            EXPECT_EQ(copy.cacheKey(), image->pictureForDrawing(painter, image->bounds()).cacheKey())
                << "kept between paints";
            EXPECT_NEAR(copy.deviceIndependentSize().width(), large.width(), large.width() * 0.01);
            EXPECT_NEAR(copy.deviceIndependentSize().height(), large.height(), large.height() * 0.01);
        } else {
            EXPECT_EQ(copy.cacheKey(), large.cacheKey()) << "drawn larger than it is: the picture itself";
        }
    }

    // What the copy draws is what the whole picture draws, within the filtering's rounding.
    QImage fromCopy(130, 100, QImage::Format_ARGB32), whole(130, 100, QImage::Format_ARGB32);
    fromCopy.fill(Qt::white);
    whole.fill(Qt::white);
    {
        QPainter painter(&fromCopy);
        image->drawContentsInView(painter, false);
    }
    {
        QPainter painter(&whole);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(image->bounds(), large.scaled(100, 75, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    long long difference = 0;
    for (int y = 20; y < 75; ++y)
        for (int x = 20; x < 100; ++x) {
            const QRgb a = fromCopy.pixel(x, y), b = whole.pixel(x, y);
            difference += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
        }
    EXPECT_LT(double(difference) / (55 * 80 * 3), 6.0);
}
