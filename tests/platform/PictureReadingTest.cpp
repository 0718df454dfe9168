#include "platform/PictureReading.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

using namespace platform;

// Pictures of 16000 × 12000 pixels: a grey JPEG (the smallest to make) scales while decoding, a
// one-bit PNG does not.
TEST(PictureReading, LargerPicturesAreReadScaledDownOrRefusedWithTheirSize)
{
    QTemporaryDir dir;
    const QString jpeg = dir.filePath("large.jpg"), png = dir.filePath("large.png");
    QImage grey(16000, 12000, QImage::Format_Grayscale8), mono(16000, 12000, QImage::Format_Mono);
    grey.fill(0);
    mono.fill(0);
    ASSERT_TRUE(grey.save(jpeg) && mono.save(png));
    grey = QImage();
    const struct {
        QString path;
        qint64 budget;
        QString problem; // empty when it is read
    } rows[] = {
        {jpeg, kMostPicturePixels, {}},
        // Charged the pixels it decodes to, not its header's 192 million.
        {jpeg, kMostPicturePixels * 99 / 100, "the picture's 9459 × 7094 pixels are more than there is room for"},
        {png, kMostPicturePixels, "16000 × 12000 pixels and cannot be read scaled down to the 67 megapixels"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.problem.toStdString());
        QFile file(row.path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QString problem;
        PictureReading how;
        how.problem = &problem;
        how.spend = [&row](qint64 pixels) { return pixels <= row.budget; };
        const QImage picture = readPicture(file, how);
        EXPECT_EQ(picture.isNull(), !row.problem.isEmpty());
        EXPECT_TRUE(problem.contains(row.problem)) << problem.toStdString();
        if (const qint64 pixels = qint64(picture.width()) * picture.height(); !picture.isNull()) {
            EXPECT_TRUE(pixels <= kMostPicturePixels && pixels > kMostPicturePixels * 0.999) << pixels;
            EXPECT_NEAR(picture.width() * 3.0 / 4.0, picture.height(), 1.0) << "the proportions are kept";
        }
    }
}
