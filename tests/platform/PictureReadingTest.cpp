#include "platform/PictureReading.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QtEndian>
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

namespace {

QByteArray encoded(const QImage &picture, const char *format, bool progressive = false,
                   QImageIOHandler::Transformations turn = QImageIOHandler::TransformationNone)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setProgressiveScanWrite(progressive);
    writer.setTransformation(turn);
    EXPECT_TRUE(writer.write(picture));
    return bytes;
}

QImage flat(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    return picture;
}

// A small JPEG whose frame header claims another size: its body ends long before such a picture.
QByteArray jpegClaiming(bool progressive, int width, int height)
{
    QByteArray jpeg = encoded(flat(16, 16), "jpeg", progressive);
    for (qsizetype at = 2; at + 9 < jpeg.size(); at += 2 + qFromBigEndian<quint16>(jpeg.constData() + at + 2))
        if (uchar(jpeg[at + 1]) == 0xC0 || uchar(jpeg[at + 1]) == 0xC2) {
            qToBigEndian<quint16>(height, jpeg.data() + at + 5);
            qToBigEndian<quint16>(width, jpeg.data() + at + 7);
            break;
        }
    return jpeg;
}

// An icon whose one entry says 16 × 16 and holds `png`.
QByteArray iconHolding(const QByteArray &png)
{
    QByteArray icon("\0\0\1\0\1\0\x10\x10\0\0\1\0\x20\0", 14);
    icon.resize(22);
    qToLittleEndian<quint32>(quint32(png.size()), icon.data() + 14);
    qToLittleEndian<quint32>(22, icon.data() + 18);
    return icon + png;
}

} // namespace

// A picture is charged the size its decoder makes of it, read within the memory a picture may take,
// and gives its charge back when it cannot be decoded after all.
TEST(PictureReading, APictureIsChargedWhatItDecodesToWithinTheMemoryOfOnePicture)
{
    QByteArray hugePng = encoded(flat(8, 8), "png"); // its header says 11500 × 11500, its body 8 × 8
    qToBigEndian<quint32>(11500, hugePng.data() + 16);
    qToBigEndian<quint32>(11500, hugePng.data() + 20);
    QByteArray brokenPng = encoded(flat(100, 100), "png");
    brokenPng.truncate(60);
    QByteArray webp = encoded(flat(16, 16), "webp"); // claiming 16383 × 16383
    const struct {
        const char *name;
        QByteArray bytes;
        QSize within;
        QSize read;      // invalid when refused
        QString problem; // part of the reason of a refusal
    } rows[] = {
        {"an icon's entry says 16 × 16 of a PNG of 300 × 200", iconHolding(encoded(flat(300, 200), "png")), {}, {300, 200}, {}},
        {"an icon's entry says 16 × 16 of a PNG of 11500 × 11500", iconHolding(hugePng), {}, {}, "11500 × 11500 pixels, more than can be read"},
        {"a progressive JPEG claiming 30000 × 30000", jpegClaiming(true, 30000, 30000), {}, {}, "30000 × 30000 pixels, more than can be read"},
        {"a JPEG claiming 20000 × 20000 is read at an eighth that fits", jpegClaiming(false, 20000, 20000), {}, {5000, 5000}, {}},
        {"a WebP claiming 16383 × 16383 decodes whole", webp.left(26) + QByteArray("\xff\x3f\xff\x3f", 4) + webp.mid(30), {}, {}, "16383 × 16383 pixels, more than can be read"},
        {"a PNG whose body is cut", brokenPng, {}, {}, "cannot be read"},
        {"a JPEG turned a quarter, within a box", encoded(flat(400, 300), "jpeg", false, QImageIOHandler::TransformationRotate90), {160, 120}, {90, 120}, {}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        qint64 charged = 0;
        QString problem;
        PictureReading how;
        how.within = row.within;
        how.problem = &problem;
        how.spend = [&charged](qint64 pixels) {
            charged += pixels;
            return true;
        };
        const QImage picture = readPicture(row.bytes, how);
        EXPECT_EQ(picture.size(), row.read.isValid() ? row.read : QSize(0, 0));
        EXPECT_EQ(charged, qint64(picture.width()) * picture.height()) << "what is kept is what was charged";
        EXPECT_TRUE(problem.contains(row.problem)) << problem.toStdString();
    }
}
