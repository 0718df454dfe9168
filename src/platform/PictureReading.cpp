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
#include <cstring>
#include <functional>
#include <new>
#include <optional>

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

// A file as its weighing read it: what the weighing read is given from the pieces it kept, the rest
// from the file as it is now. A file rewritten in place since (an editor, a sync tool) is decoded
// with the header that was weighed, so that its decoder takes no more than was reckoned; what it
// then makes of the rest is the decoder's to refuse.
class WeighedFile : public QIODevice {
public:
    WeighedFile(QIODevice &file, qint64 start, qint64 size, WeighedPieces pieces)
        : m_file(file), m_start(start), m_size(size), m_pieces(std::move(pieces))
    {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return false; }
    qint64 size() const override { return m_size; }

protected:
    qint64 readData(char *data, qint64 most) override
    {
        const qint64 at = m_start + pos(), wanted = std::min(most, m_size - pos());
        if (wanted <= 0)
            return 0;
        if (!m_file.seek(at))
            return -1;
        const qint64 read = m_file.read(data, wanted);
        if (read <= 0)
            return read;
        for (const auto &[offset, piece] : m_pieces) {
            const qint64 from = std::max(offset, at), to = std::min(offset + piece.size(), at + read);
            if (from < to)
                std::memcpy(data + (from - at), piece.constData() + (from - offset), size_t(to - from));
        }
        return read;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QIODevice &m_file;
    qint64 m_start, m_size;
    WeighedPieces m_pieces;
};

// What a reading decodes once it is admitted: the device its decoder reads, or why nothing is.
using DecodedFrom = std::function<QIODevice *(QString *why)>;

// The picture weighed as `header` from `device` (where it stands), decoded from what `from` gives once
// admitted beside the `held` bytes the reading holds itself while it decodes.
QImage decoded(QIODevice &device, const PictureHeader &header, qint64 held, const DecodedFrom &from,
               const PictureReading &how)
{
    // Turned once scaled, so that the whole picture is never copied to turn it.
    QImageIOHandler::Transformations turn;
    {
        const qint64 start = device.pos();
        QImageReader reader(&device, header.format);
        reader.setAutoDetectImageFormat(false);
        turn = reader.transformation();
        device.seek(start);
    }
    const QSize size = header.size;
    QSize target = pictureSizeRead(size);
    // The box is the turned picture's; the picture is scaled as it is stored.
    QSize within = how.within;
    if (turn & QImageIOHandler::TransformationRotate90)
        within.transpose();
    if (within.isValid() && (target.width() > within.width() || target.height() > within.height()))
        target = target.scaled(within, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    const qint64 mostBytes = std::min(how.mostBytes, kMostReadingBytes);
    const PictureDecoding decoding = pictureDecoding(header, target, mostBytes);
    if (decoding.peakBytes > mostBytes)
        return refuse(how, QStringLiteral("the picture is %1 pixels, more than can be read in the %2 MB a picture may take")
                               .arg(sizeText(size))
                               .arg(mostBytes / 1'000'000));
    target = decoding.read;
    const QSize decodedSize = decoding.asked.isValid() ? decoding.asked : size;
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
            if (QIODevice *source = from(&failure)) {
                QImageReader reader(source, header.format);
                reader.setAutoDetectImageFormat(false);
                reader.setAutoTransform(false);
                if (decoding.asked.isValid() && decoding.asked != size)
                    reader.setScaledSize(decoding.asked);
                picture = reader.read();
                if (picture.isNull()) {
                    // A decoder denied its memory gives nothing and does not say why.
                    failure = memoryAtHand(decoding.peakBytes) ? unreadable() : noMemory();
                } else if (pixelsOf(picture.size()) > pixelsOf(decodedSize)) {
                    failure = QStringLiteral("the picture decodes to %1 pixels, more than its header's %2")
                                  .arg(sizeText(picture.size()), sizeText(decodedSize));
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
            }
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

const QString &changed()
{
    static const QString why = QStringLiteral("the file changed while it was read");
    return why;
}

// The picture `bytes` hold, weighed and walked whole before it is decoded from them. Bytes held
// since a file was weighed as `weighed` are decoded as they were weighed, or refused.
QImage readBytes(const QByteArray &bytes, qint64 held, const PictureHeader *weighed, const PictureReading &how)
{
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    const PictureHeader header = readingHeader(bytes);
    if (weighed && weighed->status == PictureHeader::Known &&
        (header.status != PictureHeader::Known || header.format != weighed->format || header.size != weighed->size))
        return refuse(how, changed());
    if (header.status != PictureHeader::Known)
        return refuse(how, headerProblem(header, device));
    return decoded(device, header, held, [&](QString *) { return &device; }, how);
}

} // namespace

QImage readPicture(QIODevice &device, const PictureReading &how)
{
    if (device.isSequential()) {
        // What cannot be read again is held whole, within what a picture may take; a header that
        // goes on past its first MiB is walked once its bytes are held.
        const PictureHeader weighed = pictureHeader(device);
        if (weighed.status == PictureHeader::None)
            return refuse(how, headerProblem(weighed, device));
        const qint64 mostBytes = std::min(how.mostBytes, kMostReadingBytes);
        QByteArray bytes;
        try {
            while (bytes.size() <= mostBytes && !device.atEnd())
                bytes += device.read(1024 * 1024);
        } catch (const std::bad_alloc &) {
            return refuse(how, noMemory());
        }
        if (bytes.size() > mostBytes)
            return refuse(how, QStringLiteral("the picture's data is more than the %1 MB a picture may take")
                                   .arg(mostBytes / 1'000'000));
        // Decoded within what is left beside them.
        PictureReading beside = how;
        beside.mostBytes = mostBytes - bytes.size();
        return readBytes(bytes, bytes.size(), &weighed, beside);
    }
    // Decoded from the file, never held whole. Weighed as its decoder reads its header, which it
    // holds while it decodes; weighed again once admitted, holding what that read for its decoder,
    // and walked on as its decoder will walk it.
    qint64 held = 0;
    const PictureHeader weighed = readingHeader(device, false, nullptr, &held);
    if (weighed.status != PictureHeader::Known)
        return refuse(how, headerProblem(weighed, device));
    const qint64 start = device.pos(), size = device.size() - start;
    std::optional<WeighedFile> file;
    return decoded(device, weighed, held,
                   [&](QString *why) -> QIODevice * {
                       WeighedPieces pieces;
                       if (!sameWeighing(readingHeader(device, false, &pieces), weighed)) {
                           *why = changed();
                           return nullptr;
                       }
                       file.emplace(device, start, size, std::move(pieces));
                       const PictureHeader whole = readingHeader(*file, true);
                       if (whole.status == PictureHeader::Known &&
                           (whole.format != weighed.format || whole.size != weighed.size))
                           *why = changed();
                       else if (whole.status != PictureHeader::Known)
                           *why = headerProblem(whole, *file);
                       return why->isEmpty() ? &*file : nullptr;
                   },
                   how);
}

QImage readPicture(const QByteArray &bytes, const PictureReading &how)
{
    return readBytes(bytes, 0, nullptr, how);
}

} // namespace platform
