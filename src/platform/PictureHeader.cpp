#include "platform/PictureHeader.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

// A header walked further than this is not weighed from its bytes: a JPEG's segments before its
// frame rarely take more than a camera's 64 KiB of EXIF and a few more of XMP and colour profile.
constexpr qsizetype kHeaderWindow = 1024 * 1024;

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

PictureHeader png(const Bytes &b)
{
    if (!b.has(0, 29))
        return {};
    if (!b.startsWith(12, "IHDR") || b.be32(16) > INT_MAX || b.be32(20) > INT_MAX)
        return {};
    const uchar depth = b.u8(24), interlace = b.u8(28);
    // Qt decodes 16 bits a channel into 8 bytes a pixel.
    PictureHeader header = known("png", b.be32(16), b.be32(20), 33, depth == 16 ? 8 : 4);
    // One that is not interlaced is scaled as its rows are decoded.
    header.scalesRowByRow = interlace == 0;
    return header;
}

bool isFrameMarker(uchar marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// The segments before the frame header are walked by their lengths, never their contents.
PictureHeader jpeg(const Bytes &b, qint64 *steps)
{
    qint64 at = 2;
    for (;;) {
        if (!b.walkable(at, 2))
            return status(b.past());
        if (b.u8(at) != 0xFF)
            return {};
        for (; b.walkable(at + 1, 1) && b.u8(at + 1) == 0xFF; ++at) // fill bytes
            if (steps)
                ++*steps;
        if (!b.walkable(at, 2))
            return status(b.past());
        const uchar marker = b.u8(at + 1);
        at += 2;
        if (steps)
            ++*steps;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;
        if (marker == 0x00 || marker == 0xD8 || marker == 0xD9 || marker == 0xDA)
            return {}; // no frame before the data, or a picture that ends before it begins
        if (!b.walkable(at, 2))
            return status(b.past());
        const quint16 length = b.be16(at);
        if (length < 2)
            return {};
        if (!isFrameMarker(marker)) {
            at += length;
            continue;
        }
        if (length < 8)
            return {};
        if (!b.walkable(at, 8))
            return status(b.past());
        const int height = b.be16(at + 3), width = b.be16(at + 5), components = b.u8(at + 7);
        // A height told only after the data (DNL) is refused by the decoder.
        if (components == 0 || length < 8 + 3 * components)
            return {};
        if (!b.walkable(at + 8, 3 * components))
            return status(b.past());
        PictureHeader header = known("jpeg", width, height, at + length, components == 1 ? 1 : 4);
        if (header.status != PictureHeader::Known)
            return {};
        header.scalesByEighths = true;
        // A progressive picture's coefficients are all held until its last scan: two bytes a sample.
        if (marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE) {
            int hMax = 1, vMax = 1;
            for (int c = 0; c < components; ++c) {
                hMax = std::max(hMax, b.u8(at + 9 + 3 * c) >> 4);
                vMax = std::max(vMax, b.u8(at + 9 + 3 * c) & 15);
            }
            for (int c = 0; c < components; ++c) {
                const int h = std::max(1, b.u8(at + 9 + 3 * c) >> 4), v = std::max(1, b.u8(at + 9 + 3 * c) & 15);
                const qint64 columns = (qint64(width) * h / hMax + 7) / 8, rows = (qint64(height) * v / vMax + 7) / 8;
                header.decoderBytes += ((columns + h - 1) / h * h) * ((rows + v - 1) / v * v) * 128;
            }
        }
        return header;
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
        header = png(Bytes(b.from(offset)));
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
            header = png(b), format = "png";
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

QSize jpegDecodedSize(const QSize &size, const QSize &target)
{
    if (target.isEmpty() || target == size)
        return size;
    const int ratio = std::min(size.width() / target.width(), size.height() / target.height());
    const int eighths = ratio >= 8 ? 8 : ratio >= 4 ? 4 : ratio >= 2 ? 2 : 1;
    return QSize((size.width() + eighths - 1) / eighths, (size.height() + eighths - 1) / eighths);
}

qint64 readingPeakBytes(const PictureHeader &header, const QSize &target)
{
    const auto pixels = [](const QSize &size) { return qint64(size.width()) * size.height(); };
    const qint64 out = target == header.size ? 0 : pixels(target) * 4;
    if (header.scalesByEighths) {
        const QSize decoded = jpegDecodedSize(header.size, target);
        return header.decoderBytes + pixels(decoded) * header.bytesPerPixel + (decoded == target ? 0 : out);
    }
    if (header.scalesRowByRow && out)
        return out;
    // Decoded whole, then scaled from a copy in a format the scaler takes.
    const qint64 whole = pixels(header.size) * header.bytesPerPixel;
    const qint64 converted = out && header.bytesPerPixel < 4 ? pixels(header.size) * 4 : 0;
    return header.decoderBytes + whole + converted + out;
}

} // namespace platform
