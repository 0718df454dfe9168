#include "core/ImageHelpers.h"

#include "fixtures/ScriptedServices.h"
#include "fixtures/TestSupport.h"
#include "platform/TemporaryFiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include <cmath>
#include <thread>

namespace {

void writeFile(const QString &path, const QByteArray &data = QByteArray("x"))
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(data);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Left half red, right half blue: any interpolation would leave mixed pixels at the seam.
QImage twoColourImage(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::blue);
    QPainter(&image).fillRect(0, 0, width / 2, height, Qt::red);
    return image;
}

bool onlyRedAndBlue(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (const QRgb p = image.pixel(x, y); p != qRgb(255, 0, 0) && p != qRgb(0, 0, 255))
                return false;
    return true;
}

class ImageHelpersTest : public ::testing::Test {
protected:
    AppFixture app;
    ScopedScriptedServices services;
    QTemporaryDir dir;

    QString path(const QString &name) const { return dir.filePath(name); }
};

} // namespace

TEST(ImageHelpers, PictureSizesInPoints)
{
    // A new QImage claims the screen's resolution: that means "none", one pixel per point.
    EXPECT_EQ(imageSizeInPoints(QImage(100, 50, QImage::Format_ARGB32)), QSizeF(100, 50));
    // ... yet a picture given exactly that resolution must keep its size.
    const int screenDpi = int(std::lround(QImage(1, 1, QImage::Format_Mono).dotsPerMeterX() * 0.0254));
    QImage atScreenDpi(screenDpi, screenDpi, QImage::Format_ARGB32);
    setImageSizeInPoints(atScreenDpi, QSizeF(72, 72));
    EXPECT_EQ(imageSizeInPoints(atScreenDpi), QSizeF(72, 72));
    // Without a resolution the device pixel ratio counts, as other picture helpers read it.
    QImage doubled(200, 100, QImage::Format_ARGB32);
    doubled.setDevicePixelRatio(2.0);
    EXPECT_EQ(imageSizeInPoints(doubled), QSizeF(100, 50));
}

TEST_F(ImageHelpersTest, ResolutionAndResizeMakeNewPictures)
{
    const QImage result = Increase_DPI(twoColourImage(100, 50), 300.0);
    ASSERT_EQ(result.size(), QSize(417, 209));
    EXPECT_NEAR(imageSizeInPoints(result).width(), 100.0, 0.01);
    EXPECT_NEAR(imageSizeInPoints(result).height(), 50.0, 0.01);
    EXPECT_TRUE(onlyRedAndBlue(result)) << "interpolated pixels";
    EXPECT_DOUBLE_EQ(result.deviceIndependentSize().width(), 100.0) << "painters draw it at its size";

    // The source is measured in points, not pixels.
    QImage fine = twoColourImage(200, 100);
    setImageSizeInPoints(fine, QSizeF(100, 50));
    EXPECT_EQ(Increase_DPI(fine, 300.0).size(), QSize(417, 209));

    LogCapture log;
    EXPECT_TRUE(Increase_DPI(QImage(), 300.0).isNull());
    EXPECT_EQ(log.lines(), QStringList{QStringLiteral("Invalid image")});
    for (double dpi : {0.0, std::nan(""), 1e12})
        EXPECT_TRUE(Increase_DPI(fine, dpi).isNull()) << dpi;

    // Resizing scales the whole picture, smoothly.
    const QImage resized = imageResize(twoColourImage(10, 10), QSizeF(40, 20));
    ASSERT_EQ(resized.size(), QSize(40, 20));
    EXPECT_EQ(resized.pixel(39, 19), qRgb(0, 0, 255));
    EXPECT_FALSE(onlyRedAndBlue(resized));
    EXPECT_TRUE(imageResize(QImage(), QSizeF(10, 10)).isNull());
    EXPECT_TRUE(imageResize(fine, QSizeF(0, 10)).isNull());
    EXPECT_EQ(log.lines().last(), QStringLiteral("Invalid image size"));
}

TEST_F(ImageHelpersTest, SaveWritesPngWholeWhateverTheExtension)
{
    const QString target = path(QStringLiteral("card.jpg"));
    writeFile(target, QByteArray("old"));
    // What a save killed before its rename left: the next save of the file sweeps it.
    writeFile(platform::temporaryFilePrefix(target) + QStringLiteral("Ab3xZ9"), QByteArray("half"));
    bool saved = false;
    // Workers save too: nothing here may need the GUI thread.
    std::thread worker([&] { saved = Save_gen_image(Increase_DPI(twoColourImage(100, 50), 300.0), target); });
    worker.join();
    EXPECT_TRUE(saved);
    EXPECT_TRUE(readFile(target).startsWith("\x89PNG\r\n\x1a\n"));
    const QImage back(target, "png");
    EXPECT_EQ(back.size(), QSize(417, 209));
    EXPECT_NEAR(imageSizeInPoints(back).width(), 100.0, 0.01) << "the resolution travels with the file";
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1) << "a temporary file was left";
    EXPECT_TRUE(services->messages.isEmpty());

    // A failure shows the path, then the reason, and keeps the old file.
    const QString missingFolder = path(QStringLiteral("nowhere/card.png"));
    EXPECT_FALSE(Save_gen_image(twoColourImage(4, 4), missingFolder));
    ASSERT_EQ(services->messages.size(), 2);
    EXPECT_EQ(services->messages.at(0), QLatin1Char('\n') + missingFolder);
    EXPECT_GT(services->messages.at(1).size(), 1);

    const QString existing = path(QStringLiteral("keep.png"));
    writeFile(existing, QByteArray("keep me"));
    EXPECT_FALSE(Save_gen_image(QImage(), existing));
    EXPECT_EQ(readFile(existing), QByteArray("keep me"));
    EXPECT_FALSE(Save_gen_image(twoColourImage(4, 4), dir.path()));
    EXPECT_EQ(services->messages.size(), 6);
}
