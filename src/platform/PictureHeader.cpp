#include "platform/PictureHeader.h"

#include "platform/PictureScaling.h"

#include <QIODevice>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace platform {

namespace {

// A header walked further than this is not weighed from its bytes: a JPEG's segments before its
// frame rarely take more than a camera's 64 KiB of EXIF and a few more of XMP and colour profile.
constexpr qsizetype kHeaderWindow = 1024 * 1024;
// Most headers are in their first 64 KiB; a JPEG's with a large colour profile may go further.
constexpr qint64 kFirstPeek = 64 * 1024;

// Reads at offsets of the bytes given; a read past them fails. `walked` bounds the reads a walk
// from the start makes, `all` those a header makes at offsets it names (a TIFF's directory, an
// icon's entry), which cost the same wherever they point.
class Bytes {
public:
    explicit Bytes(QByteArrayView all) : m_all(all), m_walked(std::min(all.size(), kHeaderWindow)) {}

    bool walkable(qint64 at, qint64 n) const { return at >= 0 && n >= 0 && at + n <= m_walked; }
    bool has(qint64 at, qint64 n) const { return at >= 0 && n >= 0 && at + n <= m_all.size(); }
    // What a walk that needs bytes it may not read answers: they were there but not read.
    PictureHeader::Status past() const
    {
        return m_walked < m_all.size() ? PictureHeader::Unknown : PictureHeader::None;
    }
    uchar u8(qint64 at) const { return uchar(m_all[at]); }
    quint16 be16(qint64 at) const { return qFromBigEndian<quint16>(m_all.data() + at); }
    quint32 be32(qint64 at) const { return qFromBigEndian<quint32>(m_all.data() + at); }
    quint16 le16(qint64 at) const { return qFromLittleEndian<quint16>(m_all.data() + at); }
    quint32 le32(qint64 at) const { return qFromLittleEndian<quint32>(m_all.data() + at); }
    bool startsWith(qint64 at, QByteArrayView text) const
    {
        return has(at, text.size()) && std::memcmp(m_all.data() + at, text.data(), size_t(text.size())) == 0;
    }
    QByteArrayView from(qint64 at) const { return m_all.sliced(at); }

private:
    QByteArrayView m_all;
    qsizetype m_walked;
};

PictureHeader known(const char *format, qint64 width, qint64 height, qsizetype length, int bytesPerPixel = 4)
{
    PictureHeader header;
    if (width <= 0 || height <= 0 || width > INT_MAX || height > INT_MAX)
        return header;
    header.status = PictureHeader::Known;
    header.format = format;
    header.size = QSize(int(width), int(height));
    header.headerLength = length;
    header.bytesPerPixel = bytesPerPixel;
    return header;
}

PictureHeader status(PictureHeader::Status status)
{
    PictureHeader header;
    header.status = status;
    return header;
}

constexpr char kPngSignature[] = "\x89PNG\r\n\x1a\n";

PictureHeader png(const Bytes &b, qint64 *steps)
{
    if (!b.has(0, 29))
        return {};
    if (!b.startsWith(12, "IHDR") || b.be32(16) > INT_MAX || b.be32(20) > INT_MAX)
        return {};
    const uchar depth = b.u8(24), colour = b.u8(25), interlace = b.u8(28);
    // A transparent colour is given before the data; it turns a grey picture into a coloured one.
    bool transparentColour = false;
    for (qint64 at = 33; b.walkable(at, 8) && !b.startsWith(at + 4, "IDAT"); at += 12 + qint64(b.be32(at))) {
        transparentColour |= b.startsWith(at + 4, "tRNS");
        if (steps)
            ++*steps;
    }
    // Qt decodes a palette into one byte a pixel, grey into one or two, 16 bits a channel of
    // colour into eight, the rest into four.
    const bool grey = colour == 0 && !transparentColour;
    const int bytesPerPixel = colour == 3 ? 1 : grey ? (depth == 16 ? 2 : 1) : depth == 16 ? 8 : 4;
    PictureHeader header = known("png", b.be32(16), b.be32(20), 33, bytesPerPixel);
    // Only 8-bit colour and grey with alpha are scaled as their rows are decoded, and only when not
    // interlaced; every other is decoded whole.
    header.scalesRowByRow = interlace == 0 && depth == 8 && (colour == 2 || colour == 4 || colour == 6);
    // One decoded whole is given a pointer to each of its rows.
    header.decoderBytes = qint64(header.size.height()) * qint64(sizeof(void *));
    return header;
}

bool isFrameMarker(uchar marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// The picture a JPEG's frame header (at `frame`, its length) tells, the first scan holding
// `scanComponents` of its components.
PictureHeader jpegFrame(const Bytes &b, qint64 frame, uchar marker, int scanComponents, qsizetype length)
{
    if (!b.walkable(frame, 8))
        return status(b.past());
    const int height = b.be16(frame + 3), width = b.be16(frame + 5), components = b.u8(frame + 7);
    // A height told only after the data (DNL) is refused by the decoder.
    if (components == 0 || b.be16(frame) < 8 + 3 * components)
        return {};
    if (!b.walkable(frame + 8, 3 * components))
        return status(b.past());
    PictureHeader header = known("jpeg", width, height, length, components == 1 ? 1 : 4);
    if (header.status != PictureHeader::Known)
        return {};
    header.scalesByEighths = true;
    // A picture of more than one scan (progressive, or its colours in a scan each) has all its
    // coefficients held until its last scan, whatever size it is decoded at: two bytes a sample.
    const bool progressive = marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
    if (progressive || scanComponents < components) {
        int hMax = 1, vMax = 1;
        for (int c = 0; c < components; ++c) {
            hMax = std::max(hMax, b.u8(frame + 9 + 3 * c) >> 4);
            vMax = std::max(vMax, b.u8(frame + 9 + 3 * c) & 15);
        }
        for (int c = 0; c < components; ++c) {
            const int h = std::max(1, b.u8(frame + 9 + 3 * c) >> 4), v = std::max(1, b.u8(frame + 9 + 3 * c) & 15);
            const qint64 columns = (qint64(width) * h / hMax + 7) / 8, rows = (qint64(height) * v / vMax + 7) / 8;
            header.decoderBytes += ((columns + h - 1) / h * h) * ((rows + v - 1) / v * v) * 128;
        }
    }
    return header;
}

// The segments before the first scan are walked by their lengths, never their contents; bytes
// between them are skipped, as the decoder skips them.
PictureHeader jpeg(const Bytes &b, qint64 *steps)
{
    qint64 at = 2, frame = -1;
    uchar frameMarker = 0;
    // Without a scan the picture does not decode: it is weighed as if of one.
    const auto ended = [&](PictureHeader::Status walked) {
        return frame >= 0 && walked == PictureHeader::None ? jpegFrame(b, frame, frameMarker, 255, qsizetype(at))
                                                           : status(walked);
    };
    for (int segments = 1;; ++segments) {
        if (segments > kMostJpegSegments) {
            PictureHeader refused;
            refused.refusal = QStringLiteral("the picture has more than %1 segments before its data, more than any "
                                             "camera or editor writes")
                                  .arg(kMostJpegSegments);
            return refused;
        }
        for (; b.walkable(at, 1) && b.u8(at) != 0xFF; ++at)
            if (steps)
                ++*steps;
        for (; b.walkable(at + 1, 1) && b.u8(at + 1) == 0xFF; ++at) // fill bytes
            if (steps)
                ++*steps;
        if (!b.walkable(at, 2))
            return ended(b.past());
        const uchar marker = b.u8(at + 1);
        at += 2;
        if (steps)
            ++*steps;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;
        if (marker == 0xD9)
            return ended(PictureHeader::None);
        if (marker == 0x00 || marker == 0xD8 || (marker == 0xDA && frame < 0))
            return {}; // no frame before the data
        if (!b.walkable(at, 2))
            return ended(b.past());
        const quint16 length = b.be16(at);
        if (length < 2)
            return {};
        if (isFrameMarker(marker) && frame < 0) {
            if (length < 8)
                return {};
            frame = at, frameMarker = marker;
        }
        if (marker != 0xDA) {
            at += length;
            continue;
        }
        if (!b.walkable(at, 3))
            return status(b.past());
        return jpegFrame(b, frame, frameMarker, b.u8(at + 2), qsizetype(at + 3));
    }
}

PictureHeader gif(const Bytes &b, qint64 *steps)
{
    if (!b.walkable(0, 13))
        return status(b.past());
    if (!b.startsWith(0, "GIF87a") && !b.startsWith(0, "GIF89a"))
        return {};
    const int screenWidth = b.le16(6), screenHeight = b.le16(8), flags = b.u8(10);
    qint64 at = 13 + ((flags & 0x80) ? 3 << ((flags & 7) + 1) : 0);
    for (;;) {
        if (!b.walkable(at, 1))
            return status(b.past());
        if (steps)
            ++*steps;
        const uchar block = b.u8(at);
        if (block == 0x21) { // an extension: its label, then sub-blocks up to an empty one
            at += 2;
            for (;;) {
                if (!b.walkable(at, 1))
                    return status(b.past());
                const uchar n = b.u8(at);
                at += 1 + n;
                if (steps)
                    ++*steps;
                if (n == 0)
                    break;
            }
            continue;
        }
        if (block != 0x2C)
            return {};
        if (!b.walkable(at, 10))
            return status(b.past());
        const int left = b.le16(at + 1), top = b.le16(at + 3), width = b.le16(at + 5), height = b.le16(at + 7);
        // Qt takes the screen's size, unless it is absent or ten times what a frame could fill.
        const auto side = [](int screen, int offset, int frame) {
            return screen == 0 || screen / 10 > std::max(frame, 16384) ? offset + frame : screen;
        };
        if (width == 0 || height == 0)
            return {};
        return known("gif", side(screenWidth, left, width), side(screenHeight, top, height), at + 10);
    }
}

constexpr quint32 kBitmapHeaderLengths[] = {12, 40, 52, 56, 64, 108, 124};

PictureHeader bmp(const Bytes &b)
{
    if (!b.has(0, 30) || !std::ranges::count(kBitmapHeaderLengths, b.le32(14)))
        return {};
    const quint32 headerLength = b.le32(14);
    if (headerLength == 12)
        return known("bmp", b.le16(18), b.le16(20), 26, b.le16(24) <= 8 ? 1 : 4);
    const qint64 width = qint32(b.le32(18)), height = qint32(b.le32(22));
    return known("bmp", width, height < 0 ? -height : height, 14 + headerLength, b.le16(28) <= 8 ? 1 : 4);
}

PictureHeader webp(const Bytes &b)
{
    if (!b.has(0, 30) || !b.startsWith(8, "WEBP"))
        return {};
    PictureHeader header;
    if (b.startsWith(12, "VP8 ") && b.startsWith(23, "\x9d\x01\x2a"))
        header = known("webp", b.le16(26) & 0x3FFF, b.le16(28) & 0x3FFF, 30);
    else if (b.startsWith(12, "VP8L") && b.u8(20) == 0x2F)
        header = known("webp", (b.le32(21) & 0x3FFF) + 1, ((b.le32(21) >> 14) & 0x3FFF) + 1, 25);
    else if (b.startsWith(12, "VP8X")) {
        const auto le24 = [&](qint64 at) { return qint64(b.le16(at)) | qint64(b.u8(at + 2)) << 16; };
        header = known("webp", le24(24) + 1, le24(27) + 1, 30);
        if (b.u8(20) & 0x02) // animated: the canvas is kept beside the frame
            header.decoderBytes = qint64(header.size.width()) * header.size.height() * 4;
    }
    return header;
}

// The first directory's width, height and bits a sample; the directory may be anywhere.
PictureHeader tiff(const Bytes &b, qint64 *steps)
{
    if (!b.has(0, 8))
        return {};
    const bool big = b.u8(0) == 'M';
    const auto u16 = [&](qint64 at) { return big ? b.be16(at) : b.le16(at); };
    const auto u32 = [&](qint64 at) { return big ? b.be32(at) : b.le32(at); };
    const qint64 directory = u32(4);
    if (!b.has(directory, 2))
        return {};
    const int entries = u16(directory);
    if (!b.has(directory + 2, qint64(entries) * 12))
        return {};
    qint64 width = 0, height = 0;
    int bits = 8;
    for (int i = 0; i < entries; ++i) {
        const qint64 entry = directory + 2 + qint64(i) * 12;
        const int tag = u16(entry), type = u16(entry + 2);
        const quint32 count = u32(entry + 4);
        // A short is held in the first two bytes of the value.
        const qint64 value = type == 3 ? u16(entry + 8) : type == 4 ? qint64(u32(entry + 8)) : -1;
        if (tag == 256)
            width = value;
        else if (tag == 257)
            height = value;
        else if (tag == 258 && type == 3)
            bits = count <= 2 ? int(value) : b.has(u32(entry + 8), 2) ? u16(u32(entry + 8)) : bits;
    }
    if (steps)
        *steps += entries;
    // Qt decodes 16 bits a sample into 8 bytes a pixel, floating-point samples into 16.
    return known("tiff", width, height, 8, bits >= 32 ? 16 : bits == 16 ? 8 : 4);
}

// Qt reads an icon's first entry: a PNG it holds is decoded whole at the PNG's own size, whatever
// the entry says; a bitmap at the entry's size, or the bitmap's own where the entry says 0.
PictureHeader icon(const Bytes &b)
{
    if (!b.has(0, 22) || b.le16(4) == 0 || b.u8(9) != 0)
        return {};
    const qint64 offset = b.le32(18);
    if (offset < 22 || !b.has(offset, 16))
        return {};
    PictureHeader header;
    if (b.startsWith(offset, QByteArrayView(kPngSignature, 8))) {
        header = png(Bytes(b.from(offset)), nullptr);
        header.scalesRowByRow = false;
    } else if (b.le32(offset) == 40) {
        const int entryWidth = b.u8(6), entryHeight = b.u8(7);
        header = known("ico", entryWidth ? entryWidth : qint64(qint32(b.le32(offset + 4))),
                       entryHeight ? entryHeight : qint64(qint32(b.le32(offset + 8))) / 2, 0);
    } else {
        return {};
    }
    header.format = "ico";
    header.headerLength = 22;
    return header;
}

} // namespace

PictureHeader pictureHeader(QByteArrayView bytes, qint64 *steps)
{
    if (!mayBeginPicture(reinterpret_cast<const uchar *>(bytes.data()), bytes.size()))
        return {};
    const Bytes b(bytes);
    // A broken header after a whole signature still names its format; two letters or a few zeros
    // begin too many other things to count as a signature without more of the header.
    PictureHeader header;
    const char *format = nullptr;
    switch (uchar(bytes[0])) {
    case 0x89:
        if (b.startsWith(0, QByteArrayView(kPngSignature, 8)))
            header = png(b, steps), format = "png";
        break;
    case 0xFF:
        if (b.startsWith(0, "\xff\xd8\xff"))
            header = jpeg(b, steps), format = "jpeg";
        break;
    case 'I':
    case 'M':
        if (b.startsWith(0, QByteArrayView("II*\0", 4)) || b.startsWith(0, QByteArrayView("MM\0*", 4)))
            header = tiff(b, steps), format = "tiff";
        break;
    case 'G':
        if (b.startsWith(0, "GIF87a") || b.startsWith(0, "GIF89a"))
            header = gif(b, steps), format = "gif";
        break;
    case 'R':
        if (b.startsWith(0, "RIFF") && b.startsWith(8, "WEBP"))
            header = webp(b), format = "webp";
        break;
    case 'B':
        if (b.startsWith(0, "BM"))
            header = bmp(b);
        break;
    default:
        if (b.startsWith(0, QByteArrayView("\0\0\1\0", 4)) || b.startsWith(0, QByteArrayView("\0\0\2\0", 4)))
            header = icon(b);
        break;
    }
    if (header.status == PictureHeader::None && format)
        header.format = format;
    return header;
}

PictureHeader pictureHeader(QIODevice &device)
{
    PictureHeader header = pictureHeader(device.peek(kFirstPeek));
    if (header.status == PictureHeader::Unknown)
        header = pictureHeader(device.peek(kHeaderWindow));
    return header;
}

namespace {

// Products and sums of sizes that stop at the largest number rather than wrap.
qint64 times(qint64 a, qint64 b)
{
    qint64 product;
    return __builtin_mul_overflow(a, b, &product) ? std::numeric_limits<qint64>::max() : product;
}

qint64 plus(qint64 a, qint64 b)
{
    qint64 sum;
    return __builtin_add_overflow(a, b, &sum) ? std::numeric_limits<qint64>::max() : sum;
}

qint64 pixels(const QSize &size)
{
    return times(std::max(0, size.width()), std::max(0, size.height()));
}

// The M of the M/8 Qt decodes a JPEG at when asked for `target`.
int eighthsFor(const QSize &size, const QSize &target)
{
    const double shrink = std::min(double(size.width()) / target.width(), double(size.height()) / target.height());
    return std::clamp(int(std::ceil(8 / shrink)), 1, 8);
}

// Decoded whole, then scaled into a new picture: 8-bit grey where the header tells a grey picture
// (a grey JPEG, a 16-bit grey PNG), else 32 bits.
qint64 wholePeak(const PictureHeader &header, const QSize &target)
{
    const bool grey = header.bytesPerPixel == 2 || (header.bytesPerPixel == 1 && header.format == "jpeg");
    const qint64 out = target == header.size ? 0 : shrinkingBytes(target, grey);
    return plus(plus(header.decoderBytes, times(pixels(header.size), header.bytesPerPixel)), out);
}

// A JPEG decoded at an eighth and scaled by Qt, which first turns a grey picture into 32 bits.
qint64 eighthPeak(const PictureHeader &header, const QSize &asked)
{
    const QSize decoded = jpegDecodedSize(header.size, asked);
    const qint64 scaled = decoded == asked ? 0
                          : plus(header.bytesPerPixel < 4 ? times(pixels(decoded), 4) : 0, times(pixels(asked), 4));
    return plus(plus(header.decoderBytes, times(pixels(decoded), header.bytesPerPixel)), scaled);
}

} // namespace

QSize jpegDecodedSize(const QSize &size, const QSize &target)
{
    if (target.isEmpty() || target == size)
        return size;
    const qint64 eighths = eighthsFor(size, target);
    return QSize(int((size.width() * eighths + 7) / 8), int((size.height() * eighths + 7) / 8));
}

PictureDecoding pictureDecoding(const PictureHeader &header, const QSize &target, qint64 mostBytes)
{
    const QSize size = header.size;
    if (header.scalesRowByRow && target != size)
        return {target, target, times(pixels(target), 4)};
    PictureDecoding least{QSize(), target, wholePeak(header, target)};
    if (!header.scalesByEighths || target.isEmpty() || target == size)
        return least;
    // A JPEG is decoded at the M/8 of the target, where that takes less than decoding it whole, or
    // else at the largest smaller M/8 that fits, and scaled by Qt. Qt's scaler is handed no strip
    // of a few pixels: such a picture is decoded whole, which is small.
    const int first = eighthsFor(size, target);
    for (int eighths = first; eighths >= 1; --eighths) {
        const QSize asked = eighths == first ? target
                                             : QSize(int(qint64(size.width()) * eighths / 8), int(qint64(size.height()) * eighths / 8));
        if (asked.isEmpty() || eighthsFor(size, asked) != eighths ||
            (jpegDecodedSize(size, asked) != asked && std::min(asked.width(), asked.height()) < 8))
            continue;
        if (const qint64 peak = eighthPeak(header, asked); peak < least.peakBytes)
            least = {asked, asked, peak};
        if (least.peakBytes <= mostBytes)
            return least;
    }
    return least;
}

qint64 readingPeakBytes(const PictureHeader &header, const QSize &target)
{
    if (header.scalesByEighths && target != header.size && !target.isEmpty())
        return std::min(wholePeak(header, target), eighthPeak(header, target));
    return pictureDecoding(header, target, 0).peakBytes;
}

} // namespace platform
