#include "platform/PictureReading.h"

#include <QBuffer>
#include <QImageReader>

#include <cmath>

namespace platform {

namespace {

// Qt refuses any picture that decodes past its allocation limit (128 MB by default: a 32-megapixel
// photo). It is raised once, before the first reader, to admit the largest picture read in the widest
// format a reader decodes into (16 bits a channel).
constexpr qint64 kWidestPixelBytes = 8;

void admitTheLargestPicture()
{
    static const bool raised = [] {
        const int megabytes = int(kMostPicturePixels * kWidestPixelBytes / (1024 * 1024));
        if (const int limit = QImageReader::allocationLimit(); limit != 0 && limit < megabytes)
            QImageReader::setAllocationLimit(megabytes);
        return true;
    }();
    (void)raised;
}

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

} // namespace

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
    admitTheLargestPicture();
    QImageReader reader(&device);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    QSize target = pictureSizeRead(size);
    if (how.within.isValid() && target.isValid() && (target.width() > how.within.width() || target.height() > how.within.height()))
        target = target.scaled(how.within, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    if (size.isValid() && target != size)
        reader.setScaledSize(target);
    const QString tooMany = QStringLiteral("the picture's %1 pixels are more than there is room for");
    if (how.spend && size.isValid() && !how.spend(qint64(target.width()) * target.height()))
        return refuse(how, tooMany.arg(sizeText(target)));
    QImage picture = reader.read();
    // A format that cannot scale while decoding (PNG) decodes the whole picture first, which the
    // allocation limit refuses for one much larger than the limit.
    if (picture.isNull() && qint64(size.width()) * size.height() > kMostPicturePixels)
        return refuse(how, QStringLiteral("the picture is %1 pixels and cannot be read scaled down to the %2 megapixels "
                                          "a picture may have")
                               .arg(sizeText(size))
                               .arg(kMostPicturePixels / 1'000'000));
    if (picture.isNull())
        return refuse(how, QStringLiteral("it cannot be read as a picture"));
    // A format whose header tells no size is held to the same limit once the size is known.
    if (!size.isValid()) {
        if (const QSize read = pictureSizeRead(picture.size()); read != picture.size())
            picture = picture.scaled(read, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (how.spend && !how.spend(qint64(picture.width()) * picture.height()))
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
