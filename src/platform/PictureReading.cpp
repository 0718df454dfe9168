#include "platform/PictureReading.h"

#include "platform/PictureHeader.h"

#include <QBuffer>
#include <QImageReader>

#include <cmath>

namespace platform {

namespace {

// Qt refuses any picture that decodes past its allocation limit (128 MB by default: a 32-megapixel
// photo): it is raised to admit the largest picture read in the widest format a reader decodes into
// (16 bits a channel).
constexpr qint64 kWidestPixelBytes = 8;

// Most headers are in their first 64 KiB; a JPEG's with a large colour profile may go further.
constexpr qint64 kFirstPeek = 64 * 1024, kLongestPeek = 1024 * 1024;

QString sizeText(const QSize &size)
{
    return QStringLiteral("%1 × %2").arg(size.width()).arg(size.height());
}

QImage refuse(const PictureReading &how, const QString &why)
{
    if (how.problem)
        *how.problem = why;
    return {};
}

qint64 pixelsOf(const QSize &size)
{
    return size.isValid() ? qint64(size.width()) * size.height() : 0;
}

// The target, or the largest eighth of the JPEG's size below it that can be read within the memory
// a picture may take (it is decoded at that eighth, not scaled from a larger one); empty when none can.
QSize targetWithinMemory(const PictureHeader &header, const QSize &target)
{
    if (readingPeakBytes(header, target) <= kMostReadingBytes)
        return target;
    if (header.scalesByEighths)
        for (const int eighths : {2, 4, 8}) {
            const QSize smaller(header.size.width() / eighths, header.size.height() / eighths);
            if (!smaller.isEmpty() && pixelsOf(smaller) < pixelsOf(target) &&
                readingPeakBytes(header, smaller) <= kMostReadingBytes)
                return smaller;
        }
    return {};
}

} // namespace

void admitTheLargestPicture()
{
    const int megabytes = int(kMostPicturePixels * kWidestPixelBytes / (1024 * 1024));
    if (const int limit = QImageReader::allocationLimit(); limit != 0 && limit < megabytes)
        QImageReader::setAllocationLimit(megabytes);
}

QSize pictureSizeRead(const QSize &size)
{
    const qint64 pixels = qint64(size.width()) * size.height();
    if (size.isEmpty() || pixels <= kMostPicturePixels)
        return size;
    const double shrink = std::sqrt(double(kMostPicturePixels) / double(pixels));
    // A side cut to one pixel leaves the other more than its share: that one is cut to what is left.
    if (size.width() <= size.height()) {
        const int width = std::max(1, int(size.width() * shrink));
        return QSize(width, int(std::min<qint64>(qint64(size.height() * shrink), kMostPicturePixels / width)));
    }
    const int height = std::max(1, int(size.height() * shrink));
    return QSize(int(std::min<qint64>(qint64(size.width() * shrink), kMostPicturePixels / height)), height);
}

qint64 picturePixelsRead(const QSize &size)
{
    const QSize read = pictureSizeRead(size);
    return read.isValid() ? qint64(read.width()) * read.height() : 0;
}

QImage readPicture(QIODevice &device, const PictureReading &how)
{
    PictureHeader header = pictureHeader(device.peek(kFirstPeek));
    if (header.status == PictureHeader::Unknown)
        header = pictureHeader(device.peek(kLongestPeek));
    QImageReader reader(&device);
    reader.setAutoTransform(true);
    if (header.status != PictureHeader::Known) {
        // Other formats tell their decoded size in their header, which Qt reads; an icon does not.
        const QByteArray format = reader.format();
        if (format == "ico" || format == "cur")
            return refuse(how, QStringLiteral("the size of the picture in the icon cannot be told before it is decoded"));
        header = PictureHeader();
        header.size = reader.size();
    }
    const QSize size = header.size;
    QSize target = pictureSizeRead(size);
    // The box is the turned picture's; the decoder scales the picture as it is stored.
    QSize within = how.within;
    if (reader.transformation() & QImageIOHandler::TransformationRotate90)
        within.transpose();
    if (within.isValid() && target.isValid() && (target.width() > within.width() || target.height() > within.height()))
        target = target.scaled(within, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    if (size.isValid()) {
        target = targetWithinMemory(header, target);
        if (target.isEmpty())
            return refuse(how, QStringLiteral("the picture is %1 pixels, more than can be read in the %2 MB a picture "
                                              "may take")
                                   .arg(sizeText(size))
                                   .arg(kMostReadingBytes / 1'000'000));
        if (target != size)
            reader.setScaledSize(target);
    }
    const QString tooMany = QStringLiteral("the picture's %1 pixels are more than there is room for");
    const qint64 charged = pixelsOf(target);
    if (how.spend && size.isValid() && !how.spend(charged))
        return refuse(how, tooMany.arg(sizeText(target)));
    const auto giveBack = [&] {
        if (how.spend && size.isValid())
            how.spend(-charged);
    };
    QImage picture = reader.read();
    if (picture.isNull()) {
        giveBack();
        // A format that cannot scale while decoding decodes the whole picture first, which the
        // allocation limit refuses for one much larger than the limit.
        if (pixelsOf(size) > kMostPicturePixels)
            return refuse(how, QStringLiteral("the picture is %1 pixels and cannot be read scaled down to the %2 megapixels "
                                              "a picture may have")
                                   .arg(sizeText(size))
                                   .arg(kMostPicturePixels / 1'000'000));
        return refuse(how, QStringLiteral("it cannot be read as a picture"));
    }
    if (size.isValid() && pixelsOf(picture.size()) > charged) {
        giveBack();
        return refuse(how, QStringLiteral("the picture decodes to %1 pixels, more than its header's %2")
                               .arg(sizeText(picture.size()), sizeText(target)));
    }
    // A format whose header tells no size is held to the same limit once the size is known.
    if (!size.isValid()) {
        if (const QSize read = pictureSizeRead(picture.size()); read != picture.size())
            picture = picture.scaled(read, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (how.spend && !how.spend(pixelsOf(picture.size())))
            return refuse(how, tooMany.arg(sizeText(picture.size())));
    }
    return picture;
}

QImage readPicture(const QByteArray &bytes, const PictureReading &how)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return readPicture(buffer, how);
}

} // namespace platform
