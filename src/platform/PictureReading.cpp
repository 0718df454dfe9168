#include "platform/PictureReading.h"

#include "platform/DecodingAdmission.h"
#include "platform/PictureHeader.h"
#include "platform/PictureScaling.h"

#include <QBuffer>
#include <QImageReader>
#include <QTransform>
#include <QtEndian>

#include <cmath>
#include <cstdlib>
#include <new>

namespace platform {

namespace {

// Qt refuses any picture that decodes past its allocation limit (128 MB by default: a 32-megapixel
// photo), reckoned at four bytes a pixel whatever the picture decodes into: it is raised to admit
// a grey or palette picture (a byte a pixel) as large as may be decoded whole within the memory of
// one reading. What is read is weighed from its header before.
constexpr qint64 kAllocationLimitBytes = kMostReadingBytes * 4;

QString sizeText(const QSize &size)
{
    return QStringLiteral("%1 × %2").arg(size.width()).arg(size.height());
}

const QString &unreadable()
{
    static const QString why = QStringLiteral("it cannot be read as a picture");
    return why;
}

const QString &noMemory()
{
    static const QString why = QStringLiteral("there is not enough memory to read the picture");
    return why;
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

// The picture turned as its orientation tag says, as Qt turns it.
QImage turned(QImage picture, QImageIOHandler::Transformations turn)
{
    if (turn & QImageIOHandler::TransformationMirror)
        picture = std::move(picture).mirrored(true, false);
    if (turn & QImageIOHandler::TransformationFlip)
        picture = std::move(picture).mirrored(false, true);
    if (turn & QImageIOHandler::TransformationRotate90)
        picture = picture.transformed(QTransform().rotate(90));
    return picture;
}

// Why a picture whose header is not weighed is refused, naming its format where it has one.
QString unweighedProblem(QIODevice &device)
{
    const QByteArray start = device.peek(18);
    const auto *b = reinterpret_cast<const uchar *>(start.constData());
    if (const quint32 length = start.size() >= 18 ? qFromLittleEndian<quint32>(b + 14) : 0;
        start.startsWith("BM") && length && !QList<quint32>{12, 40, 52, 56, 64, 108, 124}.contains(length))
        return QStringLiteral("BMP pictures with a header of %1 bytes are not read").arg(length);
    // A format weighed here whose header is broken.
    const QByteArray format = QImageReader(&device).format();
    static const QList<QByteArray> weighed{"png", "jpeg", "gif", "bmp", "tiff", "webp", "ico",
                                           "tga", "pbm", "pgm", "ppm", "xbm", "xpm", "wbmp"};
    if (format.isEmpty() || weighed.contains(format))
        return unreadable();
    return QStringLiteral("pictures in the %1 format are not read").arg(QString::fromLatin1(format.toUpper()));
}

// Why a picture whose header does not tell its size is not read.
QString headerProblem(const PictureHeader &header, QIODevice &device)
{
    if (!header.refusal.isEmpty())
        return header.refusal;
    if (header.status == PictureHeader::Unknown)
        return QStringLiteral("the picture's header goes on too far to tell its size");
    // Only what can be weighed before it is decoded is read.
    return header.format.isEmpty() ? unweighedProblem(device) : unreadable();
}

// Whether the memory a reading was reckoned to take can be had now: a decoder that gets nothing from
// the allocator fails like one given a broken file.
bool memoryAtHand(qint64 bytes)
{
    void *taken = std::malloc(size_t(std::max<qint64>(bytes, 1)));
    std::free(taken);
    return taken != nullptr;
}

} // namespace

void admitTheLargestPicture()
{
    const int megabytes = int(kAllocationLimitBytes / (1024 * 1024));
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

namespace {

// The picture `bytes` hold, of which this reading holds `held` itself (counted in the memory it
// takes), decoded from them: what is decoded is what was weighed. A file weighed as `weighed` before
// its bytes were held, rewritten in place since (an editor, a sync tool), is decoded as they were
// weighed, or refused.
QImage readHeld(const QByteArray &bytes, qint64 held, const PictureHeader *weighed, const PictureReading &how)
{
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    const PictureHeader header = readingHeader(bytes);
    if (weighed && weighed->status == PictureHeader::Known &&
        (header.status != PictureHeader::Known || header.format != weighed->format || header.size != weighed->size))
        return refuse(how, QStringLiteral("the file changed while it was read"));
    if (header.status != PictureHeader::Known)
        return refuse(how, headerProblem(header, device));
    QImageReader reader(&device, header.format);
    reader.setAutoDetectImageFormat(false);
    // Turned once scaled, so that the whole picture is never copied to turn it.
    reader.setAutoTransform(false);
    const QImageIOHandler::Transformations turn = reader.transformation();
    const QSize size = header.size;
    QSize target = pictureSizeRead(size);
    // The box is the turned picture's; the picture is scaled as it is stored.
    QSize within = how.within;
    if (turn & QImageIOHandler::TransformationRotate90)
        within.transpose();
    if (within.isValid() && (target.width() > within.width() || target.height() > within.height()))
        target = target.scaled(within, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    const qint64 mostBytes = std::min(how.mostBytes, kMostReadingBytes);
    const PictureDecoding decoding = pictureDecoding(header, target, mostBytes - held);
    if (decoding.peakBytes > mostBytes - held)
        return refuse(how, QStringLiteral("the picture is %1 pixels, more than can be read in the %2 MB a picture may take")
                               .arg(sizeText(size))
                               .arg(mostBytes / 1'000'000));
    target = decoding.read;
    if (decoding.asked.isValid() && decoding.asked != size)
        reader.setScaledSize(decoding.asked);
    const QSize decoded = decoding.asked.isValid() ? decoding.asked : size;
    qint64 charged = pixelsOf(target);
    if (how.spend && !how.spend(charged))
        return refuse(how, QStringLiteral("the picture's %1 pixels are more than there is room for").arg(sizeText(target)));
    const auto giveBack = [&](qint64 pixels) {
        if (how.spend && pixels)
            how.spend(-pixels);
        charged -= pixels;
    };
    QImage picture;
    QString failure;
    {
        // Admitted only once charged: a charge may wait for a bound run's earlier records, which may
        // be waiting here.
        const DecodingAdmission admission(decoding.peakBytes + held);
        try {
            picture = reader.read();
            if (picture.isNull()) {
                // A decoder denied its memory gives nothing and does not say why.
                failure = memoryAtHand(decoding.peakBytes) ? unreadable() : noMemory();
            } else if (pixelsOf(picture.size()) > pixelsOf(decoded)) {
                failure = QStringLiteral("the picture decodes to %1 pixels, more than its header's %2")
                              .arg(sizeText(picture.size()), sizeText(decoded));
                picture = QImage();
            } else if (const QSize kept = target.boundedTo(picture.size()); picture.size() != kept) {
                // A picture that decodes smaller than its header said keeps what it has.
                picture = shrunkPicture(picture, kept);
                if (picture.isNull())
                    failure = noMemory();
            }
            if (!picture.isNull())
                picture = turned(std::move(picture), turn);
            if (picture.isNull() && failure.isEmpty())
                failure = noMemory();
        } catch (const std::bad_alloc &) {
            picture = QImage();
            failure = noMemory();
        }
    }
    if (picture.isNull()) {
        giveBack(charged);
        return refuse(how, failure);
    }
    giveBack(charged - pixelsOf(picture.size()));
    return picture;
}

} // namespace

QImage readPicture(QIODevice &device, const PictureReading &how)
{
    // Weighed before its bytes are read, so that a file refused by its header is not read whole.
    const qint64 size = device.isSequential() ? -1 : device.size() - device.pos();
    const PictureHeader weighed = pictureHeader(device);
    if (weighed.status == PictureHeader::None)
        return refuse(how, headerProblem(weighed, device));
    const qint64 mostBytes = std::min(how.mostBytes, kMostReadingBytes);
    const auto tooLong = [&](qint64 bytes) {
        return refuse(how, QStringLiteral("the file is %1 MB, more than the %2 MB a picture may take")
                               .arg(bytes / 1'000'000)
                               .arg(mostBytes / 1'000'000));
    };
    if (size > mostBytes)
        return tooLong(size);
    QByteArray bytes;
    try {
        if (size >= 0)
            bytes = device.read(size);
        else
            while (bytes.size() <= mostBytes && !device.atEnd())
                bytes += device.read(1024 * 1024);
    } catch (const std::bad_alloc &) {
        return refuse(how, noMemory());
    }
    if (bytes.size() > mostBytes)
        return tooLong(bytes.size());
    return readHeld(bytes, bytes.size(), &weighed, how);
}

QImage readPicture(const QByteArray &bytes, const PictureReading &how)
{
    return readHeld(bytes, 0, nullptr, how);
}

} // namespace platform
