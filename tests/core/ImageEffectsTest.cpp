#include "core/ImageCategories.h"
#include "core/ImageEffectCache.h"
#include "core/ImageProcesser.h"

#include "fixtures/ScriptedServices.h"
#include "fixtures/Pictures.h"
#include "fixtures/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <thread>
#include <vector>

namespace {

QColor at(const QImage &image, int x, int y)
{
    return image.convertToFormat(QImage::Format_ARGB32).pixelColor(x, y);
}

class ImageEffectsTest : public ::testing::Test {
protected:
    void SetUp() override { ImageEffectCache::sharedInstance().clear(); }
    void TearDown() override
    {
        ImageProcesser::failStepForTesting(QString());
        ImageProcesser::cutPicturesForTesting(0);
        ImageEffectCache::sharedInstance().clear();
    }
    AppFixture app;
};

} // namespace

TEST_F(ImageEffectsTest, ColourStepsFollowThePublishedFormulas)
{
    // Rec. 709 luminance: 0.2126 * 200 + 0.7152 * 100 + 0.0722 * 50 = 117.65.
    EXPECT_TRUE(colourNear(at(ImageProcesser::GrayScale(solidPicture(QColor(200, 100, 50), 4, 4)), 0, 0),
                           QColor(118, 118, 118), 1));
    EXPECT_TRUE(colourNear(at(ImageProcesser::Invert_Color(solidPicture(Qt::red, 4, 4)), 0, 0),
                           QColor(0, 255, 255), 0));
    EXPECT_TRUE(colourNear(at(ImageProcesser::Sepia(solidPicture(QColor(50, 100, 150), 4, 4)), 0, 0),
                           QColor(125, 111, 87), 1));
    EXPECT_TRUE(colourNear(at(ImageProcesser::Sepia(solidPicture(Qt::white, 4, 4)), 0, 0), QColor(255, 255, 239), 1));

    // Hue turns about the grey axis: a third of a turn takes red to green and leaves grey alone.
    const float third = static_cast<float>(2 * std::numbers::pi / 3);
    EXPECT_TRUE(colourNear(at(ImageProcesser::adjust_Hue(solidPicture(Qt::red, 4, 4), third), 0, 0),
                           QColor(0, 255, 0), 1));
    EXPECT_TRUE(colourNear(at(ImageProcesser::adjust_Hue(solidPicture(Qt::red, 4, 4), -third), 0, 0),
                           QColor(0, 0, 255), 1));
    EXPECT_TRUE(colourNear(at(ImageProcesser::adjust_Hue(solidPicture(QColor(90, 90, 90), 4, 4), 1.3f), 0, 0),
                           QColor(90, 90, 90), 1));

    const QImage colour = solidPicture(QColor(200, 100, 50), 4, 4);
    EXPECT_TRUE(colourNear(at(ImageProcesser::adjust_Color_Control(colour, 0, 0, 1), 0, 0), QColor(118, 118, 118), 1));
    EXPECT_TRUE(colourNear(
        at(ImageProcesser::adjust_Color_Control(solidPicture(QColor(100, 100, 100), 4, 4), 1, 0.2f, 1), 0, 0),
        QColor(151, 151, 151), 1));
    // Contrast about mid grey: (0.6 - 0.5) * 3 + 0.5 = 0.8; mid grey itself stays.
    EXPECT_TRUE(colourNear(
        at(ImageProcesser::adjust_Color_Control(solidPicture(QColor(153, 153, 153), 4, 4), 1, 0, 3), 0, 0),
        QColor(204, 204, 204), 1));
    EXPECT_TRUE(colourNear(
        at(ImageProcesser::adjust_Color_Control(solidPicture(QColor(128, 128, 128), 4, 4), 1, 0, 3), 0, 0),
        QColor(128, 128, 128), 1));

    // Exposure doubles linear light per EV: sRGB 128 at +1 EV is 175; white at -1 EV is 188.
    EXPECT_TRUE(colourNear(at(ImageProcesser::adjust_EV(solidPicture(QColor(128, 128, 128), 4, 4), 1), 0, 0),
                           QColor(175, 175, 175), 1));
    EXPECT_TRUE(colourNear(at(ImageProcesser::adjust_EV(solidPicture(Qt::white, 4, 4), -1), 0, 0),
                           QColor(188, 188, 188), 1));
    EXPECT_TRUE(colourNear(at(ImageProcesser::adjust_EV(solidPicture(Qt::black, 4, 4), 3), 0, 0), QColor(0, 0, 0), 0));
    EXPECT_TRUE(colourNear(at(ImageProcesser::adjust_Gamma(solidPicture(QColor(128, 128, 128), 4, 4), 2), 0, 0),
                           QColor(64, 64, 64), 1));
}

TEST_F(ImageEffectsTest, ColourStepsKeepAlphaAndSurviveNonsenseValues)
{
    const QImage halfRed = solidPicture(QColor(255, 0, 0, 128), 4, 4);
    EXPECT_EQ(at(ImageProcesser::Invert_Color(halfRed), 0, 0).alpha(), 128);
    EXPECT_EQ(at(ImageProcesser::GrayScale(halfRed), 0, 0).alpha(), 128);
    EXPECT_TRUE(colourNear(at(ImageProcesser::Invert_Color(halfRed), 0, 0), QColor(0, 255, 255), 1));

    const float nan = std::nanf("");
    EXPECT_FALSE(ImageProcesser::adjust_Hue(halfRed, nan).isNull());
    EXPECT_FALSE(ImageProcesser::adjust_Color_Control(halfRed, nan, nan, nan).isNull());
    EXPECT_FALSE(ImageProcesser::adjust_boxBlur(halfRed, nan).isNull());
    EXPECT_FALSE(ImageProcesser::adjust_boxBlur(halfRed, 1e30f).isNull());
    EXPECT_TRUE(ImageProcesser::GrayScale(QImage()).isNull());
}

TEST_F(ImageEffectsTest, SharpeningRaisesEdgesOnLuminanceOnly)
{
    const QImage flat = solidPicture(QColor(120, 60, 30), 8, 8);
    EXPECT_TRUE(colourNear(at(ImageProcesser::adjust_Sharpness(flat, 2), 4, 4), QColor(120, 60, 30), 0));

    QImage edge(16, 4, QImage::Format_ARGB32);
    edge.fill(QColor(140, 100, 60));
    for (int y = 0; y < 4; ++y)
        for (int x = 8; x < 16; ++x)
            edge.setPixelColor(x, y, QColor(180, 140, 100));
    const QImage sharp = ImageProcesser::adjust_Sharpness(edge, 1);
    // Darker on the dark side of the edge, lighter on the light side, by the same amount per channel.
    const QColor dark = at(sharp, 7, 1), light = at(sharp, 8, 1);
    EXPECT_LT(dark.red(), 140);
    EXPECT_GT(light.red(), 180);
    EXPECT_NEAR(dark.red() - dark.green(), 40, 1);
    EXPECT_NEAR(light.green() - light.blue(), 40, 1);
    EXPECT_TRUE(colourNear(at(ImageProcesser::adjust_Sharpness(edge, 0), 7, 1), QColor(140, 100, 60), 0));
}

TEST_F(ImageEffectsTest, BoxBlurKeepsTheSizeAndSpreadsEvenly)
{
    QImage dot(9, 7, QImage::Format_ARGB32);
    dot.fill(Qt::black);
    dot.setPixelColor(4, 3, Qt::white);
    const QImage blurred = ImageProcesser::adjust_boxBlur(dot, 1);
    EXPECT_EQ(blurred.size(), dot.size());
    // A 3 x 3 box: a ninth of the light in each of the nine pixels, none beyond.
    EXPECT_TRUE(colourNear(at(blurred, 4, 3), QColor(28, 28, 28), 1));
    EXPECT_TRUE(colourNear(at(blurred, 3, 2), QColor(28, 28, 28), 1));
    EXPECT_TRUE(colourNear(at(blurred, 6, 3), QColor(0, 0, 0), 0));

    // Edges repeat outward: a flat picture stays flat right to its border.
    const QImage flat = ImageProcesser::adjust_boxBlur(solidPicture(QColor(30, 140, 220), 10, 10), 4.5f);
    EXPECT_TRUE(colourNear(at(flat, 0, 0), QColor(30, 140, 220), 1));
    EXPECT_TRUE(colourNear(at(flat, 9, 9), QColor(30, 140, 220), 1));

    // Transparent neighbours thin the colour out instead of darkening it.
    QImage lone(5, 5, QImage::Format_ARGB32);
    lone.fill(Qt::transparent);
    lone.setPixelColor(2, 2, Qt::red);
    const QColor spread = at(ImageProcesser::adjust_boxBlur(lone, 1), 1, 1);
    EXPECT_NEAR(spread.alpha(), 28, 1);
    EXPECT_GT(spread.red(), 240);
    EXPECT_EQ(spread.green(), 0);
}

TEST_F(ImageEffectsTest, RotationSizesAndDirection)
{
    const QImage picture = quadrants(100, 50);
    EXPECT_EQ(imageRotated(picture, 0).cacheKey(), picture.cacheKey());
    EXPECT_EQ(imageRotated(picture, 360).cacheKey(), picture.cacheKey());
    EXPECT_EQ(imageRotated(picture, -90).size(), QSize(50, 100));
    EXPECT_EQ(imageRotated(picture, 270).size(), QSize(50, 100));
    EXPECT_EQ(imageRotated(picture, 450).size(), QSize(50, 100));
    EXPECT_EQ(imageRotated(picture, 180).size(), QSize(100, 50));

    // Counter-clockwise on screen: the top-right quadrant (green) ends up top-left.
    const QImage quarter = imageRotated(picture, 90);
    EXPECT_TRUE(colourNear(at(quarter, 5, 5), QColor(0, 255, 0), 0));
    EXPECT_TRUE(colourNear(at(quarter, 45, 95), QColor(0, 0, 255), 0));
    const QImage half = imageRotated(picture, 180);
    EXPECT_TRUE(colourNear(at(half, 5, 5), QColor(255, 255, 0), 0));

    const QImage square = quadrants(100, 100);
    const QImage slanted = imageRotated(square, 45);
    EXPECT_EQ(slanted.size(), QSize(120, 120));
    EXPECT_EQ(at(slanted, 1, 1).alpha(), 0);     // outside the turned square
    EXPECT_EQ(at(slanted, 60, 60).alpha(), 255); // its centre
    EXPECT_EQ(at(slanted, 60, 0).alpha(), 255);  // its top corner reaches past the new picture: cut

    EXPECT_EQ(Image_Effect_Settings::rotationFrom(45.9f), 45);
    EXPECT_EQ(Image_Effect_Settings::rotationFrom(-45.9f), -45);
    EXPECT_EQ(Image_Effect_Settings::rotationFrom(std::nanf("")), 0);
    EXPECT_EQ(Image_Effect_Settings::rotationFrom(1e30f) % 360, Image_Effect_Settings::rotationFrom(1e30f));
}

TEST_F(ImageEffectsTest, TurningByDegreesKeepsTheWholePicture)
{
    const QImage picture = quadrants(200, 100);
    EXPECT_EQ(imageRotatedByDegrees(picture, 90).size(), QSize(100, 200));
    const QImage slanted = imageRotatedByDegrees(picture, 45);
    EXPECT_NEAR(slanted.width(), 212, 1);
    EXPECT_EQ(slanted.width(), slanted.height());
    EXPECT_EQ(ImageProcesser::adjust_Rotate(picture, 0).cacheKey(), picture.cacheKey());
    EXPECT_EQ(ImageProcesser::adjust_Rotate(picture, -90).size(), QSize(100, 200));
}

TEST_F(ImageEffectsTest, TheChainRunsItsStepsInOrder)
{
    const QImage input = solidPicture(QColor(50, 100, 150), 4, 4);
    Image_Effect_Settings s;
    s.grayscale = s.sepia = s.invrtclr = true;
    const QImage expected = ImageProcesser::Invert_Color(ImageProcesser::Sepia(ImageProcesser::GrayScale(input)));
    const QImage chained = ImageProcesser::Get_Processed_Image(input, s);
    EXPECT_EQ(at(chained, 1, 1), at(expected, 1, 1));

    // Blur runs before exposure, and the transparency takes no part.
    s = Image_Effect_Settings();
    s.blur = 1;
    s.exposure = 1;
    s.tranprency = 0;
    const QImage both = ImageProcesser::Get_Processed_Image(input, s);
    EXPECT_EQ(at(both, 2, 2), at(ImageProcesser::adjust_EV(ImageProcesser::adjust_boxBlur(input, 1), 1), 2, 2));
    EXPECT_EQ(at(both, 2, 2).alpha(), 255);

    // Neutral values change no pixel; the rotation comes last and turns the picture.
    const QImage picture = quadrants(40, 20);
    const QImage neutral = ImageProcesser::Get_Processed_Image(picture, Image_Effect_Settings());
    EXPECT_EQ(neutral.size(), picture.size());
    EXPECT_EQ(at(neutral, 30, 15), at(picture, 30, 15));
    EXPECT_EQ(ImageProcesser::Get_Processed_Image(picture, false, false, false, 0, 1, 0, 1, 90, 0, 0, 0, 100).size(),
              QSize(20, 40));
    EXPECT_TRUE(ImageProcesser::Get_Processed_Image(QImage(), s).isNull());
}

TEST_F(ImageEffectsTest, AFailingStepIsLeftOutAndReportedToTheCaller)
{
    ScopedScriptedServices services;
    ImageProcesser::failStepForTesting(QStringLiteral("adjust_Hue"));
    Image_Effect_Settings s;
    s.invrtclr = true;
    s.hue = static_cast<float>(2 * std::numbers::pi / 3);
    QString error;
    {
        LogCapture log;
        const QImage result = ImageProcesser::Get_Processed_Image(solidPicture(Qt::red, 4, 4), s, &error);
        // Inverted (cyan) but not turned (which would make it magenta).
        EXPECT_TRUE(colourNear(at(result, 0, 0), QColor(0, 255, 255), 1));
        EXPECT_TRUE(error.startsWith(QLatin1String("adjust_Hue: ")));
        EXPECT_EQ(log.lines().size(), 1);
    }
    EXPECT_TRUE(services->messages.isEmpty()) << "the command that asked decides what to show";

    // A failure of the chain itself answers no picture and is logged.
    LogCapture log;
    ImageProcesser::failStepForTesting(QStringLiteral("imageRotated"));
    EXPECT_TRUE(ImageProcesser::Get_Processed_Image(solidPicture(Qt::red, 4, 4), s).isNull());
    EXPECT_FALSE(log.lines().isEmpty());
}

TEST_F(ImageEffectsTest, DrawingLogsAFailingStepOnceAndShowsNoBox)
{
    ScopedScriptedServices services;
    LogCapture log;
    ImageProcesser::failStepForTesting(QStringLiteral("adjust_boxBlur"));
    const QImage picture = solidPicture(Qt::red, 8, 8);
    Image_Effect_Settings s;
    s.blur = 2;
    s.invrtclr = true;
    for (int i = 0; i < 3; ++i) {
        const QImage drawn = ImageProcesser::Get_Processed_Image_For_Drawing(picture, s);
        EXPECT_TRUE(colourNear(at(drawn, 0, 0), QColor(0, 255, 255), 1));
    }
    // Even when the result has been dropped from the cache and is made again.
    ImageEffectCache &cache = ImageEffectCache::sharedInstance();
    cache.setByteLimit(0);
    cache.insert(0, Image_Effect_Settings(), solidPicture(Qt::blue, 4, 4));
    ASSERT_FALSE(cache.find(picture.cacheKey(), s));
    ImageProcesser::Get_Processed_Image_For_Drawing(picture, s);
    cache.setByteLimit(ImageEffectCache::DefaultByteLimit);

    EXPECT_EQ(log.lines().filter(QStringLiteral("adjust_boxBlur")).size(), 1);
    EXPECT_TRUE(services->messages.isEmpty());
}

TEST_F(ImageEffectsTest, DrawingAnswersRepeatsFromTheCache)
{
    ImageEffectCache &cache = ImageEffectCache::sharedInstance();
    const QImage picture = quadrants(30, 30);
    Image_Effect_Settings s;
    s.sepia = true;
    const QImage first = ImageProcesser::Get_Processed_Image_For_Drawing(picture, s);
    const QImage second = ImageProcesser::Get_Processed_Image_For_Drawing(picture, s);
    // The same pixels, not a second run of the chain.
    EXPECT_EQ(first.cacheKey(), second.cacheKey());
    EXPECT_EQ(cache.missCount(), 1u);
    EXPECT_EQ(cache.hitCount(), 1u);

    // Opacity is not part of the chain, so it does not make a new entry.
    s.tranprency = 40;
    EXPECT_EQ(ImageProcesser::Get_Processed_Image_For_Drawing(picture, s).cacheKey(), first.cacheKey());
    s.hue = 1;
    EXPECT_NE(ImageProcesser::Get_Processed_Image_For_Drawing(picture, s).cacheKey(), first.cacheKey());
    // A changed picture is another picture.
    QImage edited = picture;
    edited.setPixelColor(0, 0, Qt::black);
    s.hue = 0;
    EXPECT_NE(ImageProcesser::Get_Processed_Image_For_Drawing(edited, s).cacheKey(), first.cacheKey());
    EXPECT_EQ(cache.missCount(), 3u);
}

TEST_F(ImageEffectsTest, NeutralSettingsDrawAPictureAsItIsWithoutACopy)
{
    ImageEffectCache &cache = ImageEffectCache::sharedInstance();
    const Image_Effect_Settings neutral;
    for (const QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied}) {
        const QImage photo = quadrants(40, 30).convertToFormat(format);
        EXPECT_EQ(ImageProcesser::Get_Processed_Image_For_Drawing(photo, neutral).cacheKey(), photo.cacheKey());
    }
    EXPECT_EQ(cache.missCount(), 0u) << "the chain did not run";
    // A picture that would draw slowly as it is still goes through once, and gives the same pixels.
    const QImage straight = quadrants(40, 30).convertToFormat(QImage::Format_ARGB32);
    const QImage drawn = ImageProcesser::Get_Processed_Image_For_Drawing(straight, neutral);
    EXPECT_EQ(drawn.convertToFormat(QImage::Format_ARGB32), straight);
}

TEST_F(ImageEffectsTest, TheCacheStaysWithinItsBoundLeastRecentlyUsedFirst)
{
    ImageEffectCache cache(3 * 100 * 100 * 4);
    const QImage a = solidPicture(Qt::red, 100, 100), b = solidPicture(Qt::green, 100, 100),
                 c = solidPicture(Qt::blue, 100, 100);
    const Image_Effect_Settings s;
    cache.insert(1, s, a);
    cache.insert(2, s, b);
    cache.insert(3, s, c);
    ASSERT_TRUE(cache.find(1, s)); // 1 is now the most recently used
    cache.insert(4, s, a);
    EXPECT_EQ(cache.count(), 3);
    EXPECT_FALSE(cache.find(2, s));
    EXPECT_TRUE(cache.find(1, s));
    EXPECT_LE(cache.byteCount(), 3 * 100 * 100 * 4);

    // One picture larger than the whole bound is still kept until the next arrives.
    const QImage big = solidPicture(Qt::red, 300, 300);
    cache.insert(5, s, big);
    EXPECT_EQ(cache.count(), 1);
    EXPECT_TRUE(cache.find(5, s));

    EXPECT_TRUE(cache.firstReport(5, s, QStringLiteral("Sepia")));
    EXPECT_FALSE(cache.firstReport(5, s, QStringLiteral("Sepia")));
    EXPECT_TRUE(cache.firstReport(6, s, QStringLiteral("Sepia")));
}

TEST_F(ImageEffectsTest, DrawingThreadsShareTheCacheSafely)
{
    const QImage picture = quadrants(64, 64);
    Image_Effect_Settings s;
    s.blur = 3;
    s.hue = 0.5f;
    const QImage expected = ImageProcesser::Get_Processed_Image(picture, s);
    std::vector<QImage> results(8);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < results.size(); ++i)
        threads.emplace_back([&, i] {
            for (int k = 0; k < 20; ++k)
                results[i] = ImageProcesser::Get_Processed_Image_For_Drawing(picture, s);
        });
    for (std::thread &t : threads)
        t.join();
    for (const QImage &result : results)
        EXPECT_EQ(result, expected);
}

TEST_F(ImageEffectsTest, PictureSizesAndBitmaps)
{
    QImage tiny(1, 20, QImage::Format_ARGB32);
    tiny.fill(Qt::red);
    tiny.setDevicePixelRatio(2.0); // 0.5 x 10 points
    EXPECT_TRUE(bitmapImageRepresentation(tiny).isNull());
    EXPECT_TRUE(toCGImageRef(tiny).isNull());

    QImage bitmap = quadrants(300, 150);
    setDPI(bitmap, 144);
    EXPECT_EQ(pictureSize(bitmap), QSizeF(150, 75));
    normalizeSize(bitmap);
    EXPECT_EQ(pictureSize(bitmap), QSizeF(300, 150));
    QImage none;
    EXPECT_TRUE(normalizeSize(setDPI(none, 144)).isNull());

    const QImage decoded = toCGImageRef(quadrants(20, 10));
    EXPECT_EQ(decoded.size(), QSize(20, 10));
    EXPECT_TRUE(colourNear(at(decoded, 15, 8), QColor(255, 255, 0), 0));
}

TEST_F(ImageEffectsTest, MasksAndTints)
{
    const QImage picture = solidPicture(Qt::red, 10, 10);
    EXPECT_EQ(maskImage(picture, QImage()).cacheKey(), picture.cacheKey());
    EXPECT_EQ(maskUsingMaskImage(picture, QImage()).cacheKey(), picture.cacheKey());

    // Black shows the picture, white hides it; a mask of another size is stretched over it.
    QImage mask(5, 5, QImage::Format_RGB32);
    mask.fill(Qt::white);
    QPainter(&mask).fillRect(0, 0, 2, 5, Qt::black);
    const QImage masked = maskImage(picture, mask);
    EXPECT_EQ(masked.size(), picture.size());
    EXPECT_EQ(at(masked, 0, 5).alpha(), 255);
    EXPECT_EQ(at(masked, 9, 5).alpha(), 0);

    QImage half(10, 10, QImage::Format_ARGB32_Premultiplied);
    half.fill(Qt::transparent);
    QPainter(&half).fillRect(0, 0, 5, 10, Qt::red);
    ImageProcesser::imageTintedWithColor(half, Qt::blue);
    EXPECT_TRUE(colourNear(at(half, 1, 1), QColor(0, 0, 255), 0));
    EXPECT_EQ(at(half, 8, 1).alpha(), 0);
    QImage untouched = solidPicture(Qt::red, 4, 4);
    const qint64 before = untouched.cacheKey();
    ImageProcesser::imageTintedWithColor(untouched, QColor());
    EXPECT_EQ(untouched.cacheKey(), before);
}

TEST_F(ImageEffectsTest, PicturePathsAreStandardised)
{
    EXPECT_EQ(standardizedPath(QStringLiteral("/a/b/../c/./d.png")), QStringLiteral("/a/c/d.png"));
    EXPECT_EQ(standardizedPath(QStringLiteral("~/x.png")), QDir::homePath() + QStringLiteral("/x.png"));
    EXPECT_TRUE(loadPicture(QString()).isNull());
    EXPECT_TRUE(loadPicture(app.resourcePath() + QStringLiteral("missing.png")).isNull());
    const QString file = app.resourcePath() + QStringLiteral("q.png");
    ASSERT_TRUE(quadrants(12, 6).save(file));
    EXPECT_EQ(loadPicture(app.resourcePath() + QStringLiteral("sub/../q.png")).size(), QSize(12, 6));
}

// A picture that cannot be read says why; a file that is not there is said to be missing, not to be
// no picture.
TEST_F(ImageEffectsTest, AnUnreadablePictureSaysWhy)
{
    const QString root = app.resourcePath();
    QDir(root).mkdir(QStringLiteral("folder"));
    QFile junk(root + QStringLiteral("junk.png"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly) && junk.write("no picture here") > 0);
    junk.close();
    ASSERT_TRUE(QFile::link(root + QStringLiteral("gone.png"), root + QStringLiteral("dangling.png")));
    const struct {
        const char *name;
        const char *reason;
    } cases[] = {
        {"missing.png", "it was not found"},
        {"dangling.png", "it was not found"},
        {"folder", "it is not a picture file"},
        {"junk.png", "it cannot be read as a picture"},
    };
    for (const auto &c : cases) {
        QString problem;
        EXPECT_TRUE(loadPicture(root + QLatin1String(c.name), nullptr, &problem).isNull()) << c.name;
        EXPECT_EQ(problem, QLatin1String(c.reason)) << c.name;
    }
}

TEST_F(ImageEffectsTest, LargePicturesGiveTheSamePixelsAsTheirPiecesDoneAlone)
{
    // Rows are shared out among threads for a large picture, made in a picture of the chain's own
    // (in huge pages where the system has them); pieces small enough to be done on one thread must
    // give the same bytes.
    QImage large(1800, 1200, QImage::Format_ARGB32);
    for (int y = 0; y < large.height(); ++y)
        for (int x = 0; x < large.width(); ++x)
            large.setPixel(x, y, qRgba(x * 255 / 1800, y * 255 / 1200, (x ^ y) & 0xff, 128 + (x + y) % 128));
    Image_Effect_Settings s;
    s.sepia = true;
    s.hue = 0.8f;
    s.sat = 1.4f;
    s.brt = 0.05f;
    s.con = 1.2f;
    s.exposure = 0.7f;
    const QImage whole = ImageProcesser::Get_Processed_Image(large, s).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(whole.size(), large.size());
    for (int first = 0; first < large.height(); first += 100) {
        const QImage piece =
            ImageProcesser::Get_Processed_Image(large.copy(0, first, 1800, 100), s).convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(piece, whole.copy(0, first, 1800, 100)) << "rows from " << first;
    }
}

TEST_F(ImageEffectsTest, PicturesCutIntoPiecesForThreadsGiveTheBytesOfOneThread)
{
    // Sharpening and blurring read pixels beyond the piece of the picture they write (strips of rows,
    // bands of columns). Cut into pieces of any size, down to one row or column and far below the
    // blur's reach, whether the steps work in place or into a new picture, they must give the bytes
    // of the whole picture on one thread.
    struct Step {
        const char *name;
        void (*set)(Image_Effect_Settings &);
    };
    const Step steps[] = {
        {"sharpen", [](Image_Effect_Settings &s) { s.sharpness = 1.5f; }},
        {"blur 0.5", [](Image_Effect_Settings &s) { s.blur = 0.5f; }},
        {"blur 2.5", [](Image_Effect_Settings &s) { s.blur = 2.5f; }},
        {"blur 6.25", [](Image_Effect_Settings &s) { s.blur = 6.25f; }},
        {"blur 40", [](Image_Effect_Settings &s) { s.blur = 40.0f; }},
        {"blur 1000", [](Image_Effect_Settings &s) { s.blur = 1000.0f; }},
        {"every step", [](Image_Effect_Settings &s) {
             s.sepia = true;
             s.hue = 0.8f;
             s.sat = 1.4f;
             s.brt = 0.05f;
             s.con = 1.2f;
             s.sharpness = 0.9f;
             s.blur = 3.5f;
             s.exposure = 0.7f;
         }},
    };
    struct Cut {
        QSize size;
        std::vector<int> pieces; // 0: as the size decides
    };
    const Cut cuts[] = {
        {{1, 1}, {1, 2}},         {{3, 2}, {1, 3}},       {{1, 9}, {1, 2, 4}}, {{13, 1}, {1, 5}},
        {{37, 23}, {1, 2, 3, 7}}, {{101, 67}, {5, 16, 0}}, {{700, 500}, {0}},
    };
    for (const Cut &cut : cuts) {
        QImage input(cut.size, QImage::Format_ARGB32);
        quint32 seed = 11;
        for (int y = 0; y < input.height(); ++y)
            for (int x = 0; x < input.width(); ++x) {
                seed = seed * 1664525u + 1013904223u;
                const int alpha = (seed >> 8) % 5 == 0 ? 0 : 64 + static_cast<int>(seed >> 26) * 3;
                input.setPixel(x, y, qRgba(x * 255 / input.width(), static_cast<int>(seed >> 24), (x ^ y) & 0xff, alpha));
            }
        for (const Step &step : steps) {
            Image_Effect_Settings s;
            step.set(s);
            const auto inPlace = [&] {
                QImage picture = input.copy();
                ImageProcesser::applyStepsInPlace(picture, s);
                return picture;
            };
            ImageProcesser::cutPicturesForTesting(-1);
            const QImage aloneInPlace = inPlace(), alone = ImageProcesser::Get_Processed_Image(input, s);
            for (const int piece : cut.pieces) {
                SCOPED_TRACE(QStringLiteral("%1 x %2, %3, pieces of %4")
                                 .arg(cut.size.width()).arg(cut.size.height()).arg(QLatin1String(step.name)).arg(piece)
                                 .toStdString());
                ImageProcesser::cutPicturesForTesting(piece);
                EXPECT_EQ(inPlace(), aloneInPlace);
                EXPECT_EQ(ImageProcesser::Get_Processed_Image(input, s), alone);
            }
        }
    }
}
