#include "document/SKTImage.h"

#include "core/AppState.h"
#include "core/ImageEffectCache.h"
#include "fixtures/TestSupport.h"

#include <QPainter>
#include <gtest/gtest.h>

#include <thread>

namespace {

QImage canvas(int w = 300, int h = 200)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(Qt::white);
    return image;
}

QImage drawn(SKTGraphic &graphic, int w = 300, int h = 200)
{
    QImage image = canvas(w, h);
    QPainter painter(&image);
    graphic.drawContentsInView(painter, false);
    return image;
}

::testing::AssertionResult isColour(const QImage &image, int x, int y, const QColor &expected, int tolerance = 2)
{
    const QColor c = image.pixelColor(x, y);
    if (std::abs(c.red() - expected.red()) <= tolerance && std::abs(c.green() - expected.green()) <= tolerance
        && std::abs(c.blue() - expected.blue()) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is (" << c.red() << ", " << c.green()
                                         << ", " << c.blue() << "), not (" << expected.red() << ", "
                                         << expected.green() << ", " << expected.blue() << ")";
}

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
    EXPECT_TRUE(isColour(drawn(pasted), 45, 45, Qt::red));
}

TEST_F(SKTImageTest, PicturesAreDrawnScaledIntoTheFrameAndMirroredByTheFlips)
{
    auto image = placed();
    QImage out = drawn(*image);
    EXPECT_TRUE(isColour(out, 15, 15, Qt::red));
    EXPECT_TRUE(isColour(out, 85, 15, Qt::green));
    EXPECT_TRUE(isColour(out, 15, 45, Qt::blue));
    EXPECT_TRUE(isColour(out, 85, 45, Qt::yellow));
    EXPECT_TRUE(isColour(out, 95, 30, Qt::white));

    image->_isFlippedHorizontally = true;
    out = drawn(*image);
    EXPECT_TRUE(isColour(out, 15, 15, Qt::green));
    EXPECT_TRUE(isColour(out, 15, 45, Qt::yellow));

    // Both flips turn the picture half round inside the same frame.
    image->_isFlippedVertically = true;
    out = drawn(*image);
    EXPECT_TRUE(isColour(out, 15, 15, Qt::yellow));
    EXPECT_TRUE(isColour(out, 85, 45, Qt::red));
    EXPECT_TRUE(isColour(out, 95, 30, Qt::white));
    EXPECT_EQ(app.hub.refreshCount, 0); // drawing never asks for another drawing
}

TEST_F(SKTImageTest, OpacityAndOutline)
{
    auto image = placed();
    image->_isDrawingStroke = true;
    image->_strokeColor = Qt::black;
    image->_strokeWidth = 4;
    image->img_trnsp_val = 0;
    QImage out = drawn(*image);
    EXPECT_TRUE(isColour(out, 15, 15, Qt::white));
    EXPECT_TRUE(isColour(out, 9, 30, Qt::black)); // the outer half of the outline

    image->img_trnsp_val = 50;
    out = drawn(*image);
    EXPECT_TRUE(isColour(out, 15, 15, QColor(255, 128, 128)));
    EXPECT_TRUE(isColour(out, 9, 30, Qt::black));
    image->img_trnsp_val = 100;
    EXPECT_TRUE(isColour(drawn(*image), 11, 20, Qt::red)); // the picture covers the inner half
}

TEST_F(SKTImageTest, AnEmptyPathDrawsNothingAndAMissingFileTheOutlineAndThePlaceholder)
{
    auto image = placed();
    image->_isDrawingStroke = true;
    image->_strokeWidth = 2;
    image->setFilePath(QLatin1String(""));
    EXPECT_TRUE(isColour(drawn(*image), 10, 30, Qt::white));
    EXPECT_FALSE(image->isMissingItsFile());

    // The placeholder keeps its square shape in the middle of the frame.
    QImage placeholder(10, 10, QImage::Format_ARGB32);
    placeholder.fill(Qt::magenta);
    app.hub.noImage = placeholder;
    image->setFilePath(app.resourcePath() + QStringLiteral("missing.png"));
    EXPECT_TRUE(image->isMissingItsFile());
    QImage out = drawn(*image);
    EXPECT_TRUE(isColour(out, 10, 30, Qt::black));
    EXPECT_TRUE(isColour(out, 15, 15, Qt::white));
    EXPECT_TRUE(isColour(out, 50, 30, Qt::magenta));

    image->setFilePath(QString());
    EXPECT_TRUE(isColour(drawn(*image), 10, 30, Qt::black));
    image->ctrl_is_visible = false;
    EXPECT_TRUE(isColour(drawn(*image), 10, 30, Qt::white));
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
    const QImage out = drawn(photo);
    EXPECT_TRUE(isColour(out, 75, 90, QColor(128, 255, 128))); // green at half opacity, not magenta

    // The frame picture is drawn as it is too; any other picture goes through the chain.
    auto frame = placed();
    frame->control_ID = QStringLiteral("PARTY_IMAGE_BG");
    frame->invert_clr = true;
    EXPECT_TRUE(isColour(drawn(*frame), 15, 15, Qt::red));
    frame->control_ID.clear();
    EXPECT_TRUE(isColour(drawn(*frame), 15, 15, Qt::cyan));

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
    EXPECT_TRUE(isColour(drawn(tool), 35, 35, Qt::yellow));
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
    const QImage out = drawn(*image);
    // Turned to 20 x 40, fitted into 80 x 40 keeping its shape: 20 x 40 centred at x 40..60.
    EXPECT_TRUE(isColour(out, 35, 30, Qt::white));
    EXPECT_TRUE(isColour(out, 65, 30, Qt::white));
    EXPECT_TRUE(isColour(out, 44, 14, Qt::green)); // the top-right quadrant turned to the top-left
    EXPECT_TRUE(isColour(out, 56, 46, Qt::blue));

    // Blur keeps the size, so the picture still fills the frame.
    image->rotate_image = 0;
    image->blr_val = 2;
    EXPECT_FALSE(isColour(drawn(*image), 11, 11, Qt::white, 60));
}

TEST_F(SKTImageTest, RepaintingUsesTheCachedEffects)
{
    ImageEffectCache &cache = ImageEffectCache::sharedInstance();
    auto image = placed();
    image->Sepia = true;
    drawn(*image);
    const quint64 misses = cache.missCount();
    for (int i = 0; i < 5; ++i)
        drawn(*image);
    EXPECT_EQ(cache.missCount(), misses);
    EXPECT_EQ(cache.hitCount(), 5u);
    // Opacity is applied while drawing, not by the chain.
    image->img_trnsp_val = 30;
    drawn(*image);
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
            out[i] = drawn(*copy);
        });
    for (std::thread &w : workers)
        w.join();
    for (const QImage &o : out)
        EXPECT_EQ(o, drawn(*image));
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
    EXPECT_TRUE(isColour(drawn(*copy), 15, 15, Qt::red));
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
