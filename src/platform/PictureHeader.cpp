#include "platform/PictureHeader.h"

#include "platform/PictureScaling.h"

#include <QIODevice>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>

namespace platform {

namespace {

// A device is read in pieces of this size, where a walk asks: a header at the end of a large file
// costs a piece or two, a walk from the start reads each piece once.
constexpr qint64 kPiece = 64 * 1024;
// A device that cannot seek is weighed from this much of its beginning.
constexpr qint64 kSequentialPeek = 1024 * 1024;
// A device is read in at most this many pieces to weigh a picture: a header found in its first MiB,
// or where a TIFF's offset points, whatever the rest of the file holds.
constexpr int kMostWeighedPieces = int(kMostWeighedBytes / kPiece);
// libpng reads no picture with a side longer than this.
constexpr quint32 kLongestPngSide = 1'000'000;
// libtiff refuses a directory of more entries than this, classic or BigTIFF.
constexpr quint64 kMostTiffEntries = 4096;

// What a walk over a device may read, and what it read.
struct DeviceReads {
    int piecesLeft = std::numeric_limits<int>::max();
    WeighedPieces *kept = nullptr; // each piece read, when given
    qint64 bytes = 0;
};

// The bytes of a picture at offsets from its start: all at hand, or read from a device where a walk
// asks for them, so that a header is found wherever in its file it lies without reading the rest.
class Bytes {
public:
    // `cut`: the picture may go on past the bytes given.
    explicit Bytes(QByteArrayView all, bool cut = false) : m_piece(all), m_size(all.size()), m_cut(cut) {}
    // Read as `reads` allows, shared with the pictures it holds (an icon's).
    Bytes(QIODevice &device, qint64 start, qint64 size, DeviceReads &reads)
        : m_device(&device), m_start(start), m_size(size), m_reads(&reads) {}
    Bytes(const Bytes &) = delete;
    Bytes &operator=(const Bytes &) = delete;

    // The bytes from `at` on, as a picture of their own.
    Bytes from(qint64 at) const
    {
        if (m_device)
            return Bytes(*m_device, m_start + at, m_size - at, *m_reads);
        return Bytes(m_piece.sliced(at), m_cut);
    }

    qint64 size() const { return m_size; }
    // Once the pieces it may read are spent, nothing more is at hand: a walk stops as at the end.
    bool has(qint64 at, qint64 n) const { return !spent() && at >= 0 && n >= 0 && at <= m_size - n; }
    bool spent() const { return m_reads && m_reads->piecesLeft < 0; }
    // Whether the picture may go on past its bytes: its size then cannot tell what is missing.
    bool cut() const { return m_cut; }
    // What a walk that needs bytes past the end answers.
    PictureHeader::Status past() const { return m_cut ? PictureHeader::Unknown : PictureHeader::None; }
    uchar u8(qint64 at) const { return uchar(*bytes(at, 1)); }
    quint16 be16(qint64 at) const { return qFromBigEndian<quint16>(bytes(at, 2)); }
    quint32 be32(qint64 at) const { return qFromBigEndian<quint32>(bytes(at, 4)); }
    quint16 le16(qint64 at) const { return qFromLittleEndian<quint16>(bytes(at, 2)); }
    quint32 le32(qint64 at) const { return qFromLittleEndian<quint32>(bytes(at, 4)); }
    quint64 be64(qint64 at) const { return qFromBigEndian<quint64>(bytes(at, 8)); }
    quint64 le64(qint64 at) const { return qFromLittleEndian<quint64>(bytes(at, 8)); }
    bool startsWith(qint64 at, QByteArrayView text) const
    {
        return has(at, text.size()) && std::memcmp(bytes(at, text.size()), text.data(), size_t(text.size())) == 0;
    }
    // The bytes at hand from `at` on, read when none are: empty only at the end.
    QByteArrayView span(qint64 at) const
    {
        if (!has(at, 1))
            return {};
        const char *first = bytes(at, 1);
        if (spent())
            return {};
        return QByteArrayView(first, m_piece.data() + m_piece.size() - first);
    }

private:
    // `n` bytes at `at`, within the picture and at most a piece: read where they are not at hand.
    const char *bytes(qint64 at, qint64 n) const
    {
        if (at >= m_pieceAt && at - m_pieceAt <= m_piece.size() - n)
            return m_piece.data() + (at - m_pieceAt);
        static const char zeros[8] = {};
        if (!m_device || !has(at, n) || --m_reads->piecesLeft < 0)
            return zeros;
        m_read.clear();
        if (m_device->seek(m_start + at))
            m_read = m_device->read(std::min(std::max(n, kPiece), m_size - at));
        m_reads->bytes += m_read.size();
        if (m_reads->kept)
            m_reads->kept->emplace_back(m_start + at, m_read);
        // A file that shrank while it was read reads as zeros.
        if (m_read.size() < n)
            m_read.resize(n, '\0');
        m_piece = m_read;
        m_pieceAt = at;
        return m_read.constData();
    }

    QIODevice *m_device = nullptr;
    qint64 m_start = 0;
    mutable QByteArrayView m_piece; // the bytes at hand, from m_pieceAt
    mutable QByteArray m_read;
    mutable qint64 m_pieceAt = 0;
    qint64 m_size;
    bool m_cut = false;
    DeviceReads *m_reads = nullptr;
};

// How far a walk goes: a weighing stops where the size is told, a reading's walk goes on to the
// picture's end. Its steps are counted for a caller that weighs many pictures and may stop the walk.
class Walk {
public:
    Walk(qint64 *count, qint64 most, bool whole = false) : m_count(count), m_most(most), m_whole(whole) {}
    // Whether the walk goes on past what tells the size, for what makes the decoder refuse the
    // picture or run long.
    bool whole() const { return m_whole; }
    // False once the walk has taken more than it may.
    bool take(qint64 n = 1)
    {
        if (!m_count)
            return true;
        *m_count += n;
        return *m_count <= m_most;
    }

private:
    qint64 *m_count;
    qint64 m_most;
    bool m_whole;
};

PictureHeader known(const char *format, qint64 width, qint64 height, qsizetype length, int bitsPerPixel = 32)
{
    PictureHeader header;
    if (width <= 0 || height <= 0 || width > INT_MAX || height > INT_MAX)
        return header;
    header.status = PictureHeader::Known;
    header.format = format;
    header.size = QSize(int(width), int(height));
    header.headerLength = length;
    header.bitsPerPixel = bitsPerPixel;
    return header;
}

PictureHeader status(PictureHeader::Status status)
{
    PictureHeader header;
    header.status = status;
    return header;
}

PictureHeader refused(const QString &why)
{
    PictureHeader header;
    header.refusal = why;
    return header;
}

constexpr char kPngSignature[] = "\x89PNG\r\n\x1a\n";

bool isLetter(uchar c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Whether the chunk type at `at` is four letters, as libpng requires of every chunk it reads.
bool isChunkType(const Bytes &b, qint64 at)
{
    return isLetter(b.u8(at)) && isLetter(b.u8(at + 1)) && isLetter(b.u8(at + 2)) && isLetter(b.u8(at + 3));
}

// The chunks are walked to the first data: a transparent colour given before it turns a grey
// picture into a coloured one. A reading's walk goes on to the end: libpng takes the memory any
// chunk but the data claims before it reads it, after the data too, and stops at a chunk whose
// type is not four letters.
PictureHeader png(const Bytes &b, Walk &walk)
{
    if (!b.has(0, 29))
        return {};
    if (!b.startsWith(12, "IHDR") || b.be32(16) > INT_MAX || b.be32(20) > INT_MAX)
        return {};
    const quint32 width = b.be32(16), height = b.be32(20);
    if (width > kLongestPngSide || height > kLongestPngSide)
        return refused(QStringLiteral("the picture is %1 × %2 pixels, more than can be read in the PNG format, which takes no "
                                      "side longer than %3 pixels")
                           .arg(width)
                           .arg(height)
                           .arg(kLongestPngSide));
    const uchar depth = b.u8(24), colour = b.u8(25), interlace = b.u8(28);
    bool transparentColour = false, data = false;
    const auto weighed = [&] {
        // Qt decodes a palette into a byte a pixel, grey into one or two, 16 bits a channel of
        // colour into eight bytes, the rest into four.
        const bool grey = colour == 0 && !transparentColour;
        const int bits = colour == 3 ? 8 : grey ? (depth == 16 ? 16 : 8) : depth == 16 ? 64 : 32;
        PictureHeader header = known("png", width, height, 33, bits);
        header.grey = grey;
        // Only 8-bit colour and grey with alpha are scaled as their rows are decoded, and only when
        // not interlaced; every other is decoded whole.
        header.scalesRowByRow = interlace == 0 && depth == 8 && (colour == 2 || colour == 4 || colour == 6);
        // One decoded whole is given a pointer to each of its rows.
        header.decoderBytes = qint64(header.size.height()) * qint64(sizeof(void *));
        return header;
    };
    qint64 at = 33;
    for (; b.has(at, 8) && !b.startsWith(at + 4, "IEND"); at += 12 + qint64(b.be32(at))) {
        if (!isChunkType(b, at + 4))
            return refused(QStringLiteral("its chunk at byte %1 has no type of four letters").arg(at));
        const qint64 length = b.be32(at), left = b.size() - at - 8;
        const bool isData = b.startsWith(at + 4, "IDAT");
        // The data is read as it comes: a cut picture ends where its data does.
        if (!isData && length + 4 > left && !b.cut())
            return refused(QStringLiteral("its %1 chunk claims %2 bytes, more than the %3 left in the file")
                               .arg(QString::fromLatin1(QByteArray(1, char(b.u8(at + 4))) + char(b.u8(at + 5)) +
                                                        char(b.u8(at + 6)) + char(b.u8(at + 7))))
                               .arg(length)
                               .arg(left));
        transparentColour |= !data && b.startsWith(at + 4, "tRNS");
        data |= isData;
        // Charged the bytes of its header: what it holds is passed over unread.
        if (!walk.take(12))
            return data ? weighed() : status(PictureHeader::Unknown);
        if (data && !walk.whole())
            return weighed();
    }
    if (!data && !b.has(at, 8) && b.cut())
        return status(PictureHeader::Unknown);
    return weighed();
}

bool isFrameMarker(uchar marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// The picture a JPEG's frame header (at `frame`, its length) tells, the first scan holding
// `scanComponents` of its components.
PictureHeader jpegFrame(const Bytes &b, qint64 frame, uchar marker, int scanComponents, qsizetype length)
{
    if (!b.has(frame, 8))
        return status(b.past());
    const int height = b.be16(frame + 3), width = b.be16(frame + 5), components = b.u8(frame + 7);
    // A height told only after the data (DNL) is refused by the decoder.
    if (components == 0 || b.be16(frame) < 8 + 3 * components)
        return {};
    if (!b.has(frame + 8, 3 * components))
        return status(b.past());
    PictureHeader header = known("jpeg", width, height, length, components == 1 ? 8 : 32);
    if (header.status != PictureHeader::Known)
        return {};
    header.scalesByEighths = true;
    header.grey = components == 1;
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

constexpr qint64 kEnded = -1, kOutOfSteps = -2;

// Where the marker that follows `at` begins (its last 0xFF), or kEnded when the bytes end first, or
// kOutOfSteps. Bytes that begin no marker are skipped, as the decoder skips them:
// within a scan's data a 0xFF followed by a zero or a restart marker is data.
qint64 nextMarker(const Bytes &b, qint64 at, bool inScan, Walk &walk)
{
    for (;;) {
        const QByteArrayView span = b.span(at);
        if (span.isEmpty())
            return kEnded;
        const auto *mark = static_cast<const char *>(std::memchr(span.data(), 0xFF, size_t(span.size())));
        const qint64 skipped = mark ? mark - span.data() : span.size();
        if (!walk.take(skipped + 1))
            return kOutOfSteps;
        at += skipped;
        if (!mark)
            continue;
        if (!b.has(at, 2))
            return kEnded;
        const uchar next = b.u8(at + 1);
        if (next == 0xFF) { // fill, passed over at once
            const QByteArrayView fill = b.span(at + 1);
            const qint64 run =
                std::find_if(fill.begin(), fill.end(), [](char c) { return uchar(c) != 0xFF; }) - fill.begin();
            if (!walk.take(run))
                return kOutOfSteps;
            at += run;
        } else if (next == 0x00 || (inScan && next >= 0xD0 && next <= 0xD7))
            at += 2;
        else
            return at;
    }
}

// The segments are walked by their lengths, never their contents, to the first scan, which tells
// how the picture is decoded. A reading's walk goes on through the data of each scan for the markers
// within it: the decoder walks every marker of the file in quadratic time, so that a picture of more
// than a camera writes is refused wherever its markers stand.
PictureHeader jpeg(const Bytes &b, Walk &walk)
{
    qint64 at = 2, frame = -1;
    uchar frameMarker = 0;
    int scanComponents = -1; // of the first scan, once it is reached
    qsizetype length = 0;    // of the header, to the first scan's data
    bool inScan = false;
    // A picture without a scan does not decode: it is weighed as if of one.
    const auto weighed = [&]() -> PictureHeader {
        if (frame < 0)
            return {};
        return jpegFrame(b, frame, frameMarker, scanComponents < 0 ? 255 : scanComponents,
                         scanComponents < 0 ? qsizetype(at) : length);
    };
    // What a walk that ends before an end marker answers: once the first scan is reached, the rest
    // only looks for a reason to refuse.
    const auto ended = [&](bool outOfSteps) {
        return scanComponents >= 0 || (!outOfSteps && !b.cut()) ? weighed() : status(PictureHeader::Unknown);
    };
    for (int segments = 1;; ++segments) {
        if (segments > kMostJpegSegments)
            return refused(QStringLiteral("the picture has more than %1 segments, more than any camera or editor writes")
                               .arg(kMostJpegSegments));
        const qint64 next = nextMarker(b, at, inScan, walk);
        if (next < 0)
            return ended(next == kOutOfSteps);
        at = next;
        const uchar marker = b.u8(at + 1);
        at += 2;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;
        if (marker == 0xD9)
            return weighed();
        if (marker == 0xD8 || (marker == 0xDA && frame < 0))
            return scanComponents < 0 ? PictureHeader() : weighed(); // no frame before the data
        if (!b.has(at, 2))
            return ended(false);
        const quint16 segment = b.be16(at);
        if (segment < 2)
            return scanComponents < 0 ? PictureHeader() : weighed();
        if (isFrameMarker(marker) && frame < 0) {
            if (segment < 8)
                return {};
            frame = at, frameMarker = marker;
        }
        inScan = marker == 0xDA;
        if (inScan && scanComponents < 0) {
            if (!b.has(at, 3))
                return status(b.past());
            scanComponents = b.u8(at + 2);
            length = qsizetype(at + 3);
            if (!walk.whole())
                return weighed();
        }
        at += segment;
    }
}

// Its extensions are walked block by block to the first image.
PictureHeader gif(const Bytes &b, Walk &walk)
{
    if (!b.has(0, 13))
        return status(b.past());
    if (!b.startsWith(0, "GIF87a") && !b.startsWith(0, "GIF89a"))
        return {};
    const int screenWidth = b.le16(6), screenHeight = b.le16(8), flags = b.u8(10);
    qint64 at = 13 + ((flags & 0x80) ? 3 << ((flags & 7) + 1) : 0);
    for (;;) {
        if (!b.has(at, 1))
            return status(b.past());
        if (!walk.take())
            return status(PictureHeader::Unknown);
        const uchar block = b.u8(at);
        if (block == 0x21) { // an extension: its label, then sub-blocks up to an empty one
            at += 2;
            for (;;) {
                if (!b.has(at, 1))
                    return status(b.past());
                const uchar n = b.u8(at);
                at += 1 + n;
                if (!walk.take())
                    return status(PictureHeader::Unknown);
                if (n == 0)
                    break;
            }
            continue;
        }
        if (block != 0x2C)
            return {};
        if (!b.has(at, 10))
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
        return known("bmp", b.le16(18), b.le16(20), 26, b.le16(24) <= 8 ? 8 : 32);
    const qint64 width = qint32(b.le32(18)), height = qint32(b.le32(22));
    return known("bmp", width, height < 0 ? -height : height, 14 + headerLength, b.le16(28) <= 8 ? 8 : 32);
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

// The first directory's width, height and bits a sample, read where its offset points. A BigTIFF's
// offsets and counts take eight bytes, its entries twenty; libtiff takes no directory of more than
// 4096 entries.
PictureHeader tiff(const Bytes &b, Walk &walk)
{
    if (!b.has(0, 8))
        return {};
    const bool bigEndian = b.u8(0) == 'M';
    const auto u16 = [&](qint64 at) { return bigEndian ? b.be16(at) : b.le16(at); };
    const auto u32 = [&](qint64 at) { return bigEndian ? b.be32(at) : b.le32(at); };
    const auto u64 = [&](qint64 at) { return bigEndian ? b.be64(at) : b.le64(at); };
    const bool big = u16(2) == 43;
    if (big && (!b.has(0, 16) || u16(4) != 8 || u16(6) != 0))
        return {};
    const int offsetBytes = big ? 8 : 4, countBytes = big ? 8 : 2, entryBytes = big ? 20 : 12;
    const auto offset = [&](qint64 at) { return big ? u64(at) : quint64(u32(at)); };
    const quint64 directory = offset(4 + (big ? 4 : 0));
    if (directory > quint64(b.size()) || !b.has(qint64(directory), countBytes))
        return status(b.past());
    const quint64 entries = big ? u64(qint64(directory)) : u16(qint64(directory));
    if (entries > kMostTiffEntries)
        return refused(QStringLiteral("its first directory has %1 entries, more than the %2 the TIFF reader takes")
                           .arg(entries)
                           .arg(kMostTiffEntries));
    if (!b.has(qint64(directory) + countBytes, qint64(entries) * entryBytes))
        return status(b.past());
    if (!walk.take(qint64(entries)))
        return status(PictureHeader::Unknown);
    qint64 width = 0, height = 0, bitsAt = -1;
    int bits = 8;
    for (quint64 i = 0; i < entries; ++i) {
        const qint64 entry = qint64(directory) + countBytes + qint64(i) * entryBytes;
        const int tag = u16(entry), type = u16(entry + 2);
        const quint64 count = big ? u64(entry + 4) : u32(entry + 4);
        const qint64 field = entry + 4 + offsetBytes;
        // A value is held at the start of its field when it fits there.
        const qint64 value = type == 3                ? u16(field)
                             : type == 4              ? qint64(u32(field))
                             : type == 16 && big      ? qint64(std::min<quint64>(u64(field), INT_MAX + 1ULL))
                                                      : -1;
        if (tag == 256)
            width = value;
        else if (tag == 257)
            height = value;
        else if (tag == 258 && type == 3) {
            const quint64 values = offset(field);
            if (count <= quint64(offsetBytes / 2))
                bits = int(value), bitsAt = -1;
            else if (values < quint64(b.size()))
                bitsAt = qint64(values);
        }
    }
    // Read once the directory is walked: values that lie elsewhere in the file cost a piece, not a
    // piece for each entry.
    if (bitsAt >= 0 && b.has(bitsAt, 2))
        bits = u16(bitsAt);
    // Qt decodes 16 bits a sample into 8 bytes a pixel, floating-point samples into 16.
    return known("tiff", width, height, 8, bits >= 32 ? 128 : bits == 16 ? 64 : 32);
}

// Qt reads an icon's first entry: a PNG it holds is decoded whole at the PNG's own size, whatever
// the entry says; a bitmap at the entry's size, or the bitmap's own where the entry says 0.
PictureHeader icon(const Bytes &b, Walk &walk)
{
    if (!b.has(0, 22) || b.le16(4) == 0 || b.u8(9) != 0)
        return {};
    const qint64 offset = b.le32(18);
    if (offset < 22 || !b.has(offset, 16))
        return status(offset >= 22 ? b.past() : PictureHeader::None);
    PictureHeader header;
    if (b.startsWith(offset, QByteArrayView(kPngSignature, 8))) {
        header = png(b.from(offset), walk);
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

bool isBlank(uchar c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// What Qt names a Netpbm picture of the kind: "P1" to "P6", in plain text or raw.
const char *netpbmFormat(uchar kind)
{
    return std::array{"pbm", "pgm", "ppm"}[(kind - '1') % 3];
}

// A Netpbm picture, as scanners' tools write it: "P1" to "P6", then its width, its height and (but
// for a bitmap) its largest sample, in decimal between blanks and comments, read as Qt reads them.
PictureHeader netpbm(const Bytes &b, uchar kind, Walk &walk)
{
    qint64 at = 3;
    bool walked = true;
    const auto skipLine = [&] {
        while (walked && b.has(at, 1) && (walked = walk.take()) && b.u8(at++) != '\n') {
        }
    };
    // Blanks and comments before the digits; the character after them is passed, and a comment it
    // begins too.
    const auto number = [&] {
        qint64 value = -1;
        while (walked && b.has(at, 1) && (walked = walk.take())) {
            const uchar c = b.u8(at++);
            const bool digit = c >= '0' && c <= '9';
            if (value >= 0 && digit) {
                value = std::min<qint64>(value * 10 + (c - '0'), INT_MAX);
                continue;
            }
            if (c == '#')
                skipLine();
            if (value >= 0 || !(digit || isBlank(c) || c == '#'))
                break;
            if (digit)
                value = c - '0';
        }
        return value;
    };
    const qint64 width = number(), height = number(), largest = kind == '1' || kind == '4' ? 1 : number();
    if (!walked || (!b.has(at, 1) && b.cut()))
        return status(PictureHeader::Unknown);
    if (width <= 0 || width > 32767 || height <= 0 || height > 32767 || largest <= 0)
        return {};
    // Qt decodes a bitmap into a bit a pixel, grey into a byte, colour into four.
    const bool bitmap = kind == '1' || kind == '4', grey = kind == '2' || kind == '5';
    PictureHeader header = known(netpbmFormat(kind), width, height, at, bitmap ? 1 : grey ? 8 : 32);
    header.grey = bitmap || grey;
    return header;
}

// An X bitmap: C text whose first line that begins with '#' defines its width, and the next line its
// height, read as Qt reads them: lines shorter than 299 bytes, that first '#' within 4 KiB.
PictureHeader xbm(const Bytes &b, Walk &walk)
{
    qint64 at = 0;
    // The bytes of the next line read (at most 299), and in `text` all but the last (its newline), as
    // Qt's reader takes them.
    const auto line = [&](QByteArray &text) {
        const qint64 from = at;
        text.clear();
        while (b.has(at, 1) && at - from < 299 && walk.take())
            if ((text += char(b.u8(at++))).endsWith('\n'))
                break;
        text.chop(1);
        return at - from;
    };
    // "#define", a name and a decimal number, and nothing else.
    const auto defined = [](const QByteArray &text) -> qint64 {
        if (!text.startsWith("#define") || text.size() < 8 || (text[7] != ' ' && text[7] != '\t'))
            return -1;
        qsizetype i = 7;
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
            ++i;
        const qsizetype name = i;
        while (i < text.size() && (std::isalnum(uchar(text[i])) || text[i] == '.' || text[i] == '_'))
            ++i;
        if (i == name || i == text.size() || (text[i] != ' ' && text[i] != '\t'))
            return -1;
        const QByteArray number = text.mid(i).trimmed();
        bool ok = false;
        const int value = number.toInt(&ok);
        return ok && std::isdigit(uchar(number.front())) ? value : -1;
    };
    QByteArray first, second;
    while (!first.startsWith('#'))
        if (const qint64 read = line(first); read <= 0 || read >= 299 || at >= 4096)
            return {};
    if (line(second) <= 0)
        return {};
    const qint64 width = defined(first), height = defined(second);
    if (width <= 0 || width > 32767 || height <= 0 || height > 32767)
        return {};
    PictureHeader header = known("xbm", width, height, at, 1);
    header.grey = true;
    return header;
}

// An X pixmap: "/* XPM", then C text whose first string holds its width, height, number of colours
// and characters a pixel. Qt holds each colour in a map while it decodes, and decodes a picture of
// more than 256 colours into four bytes a pixel.
PictureHeader xpm(const Bytes &b, Walk &walk)
{
    qint64 at = 6;
    bool walked = true;
    while (b.has(at, 1) && (walked = walk.take()) && b.u8(at) != '"')
        ++at;
    if (!walked || !b.has(at, 1))
        return status(!walked || b.cut() ? PictureHeader::Unknown : PictureHeader::None);
    ++at;
    // Numbers as sscanf reads "%d %d %d %d", within the string.
    const auto number = [&]() -> qint64 {
        while (b.has(at, 1) && isBlank(b.u8(at)) && (walked = walk.take()))
            ++at;
        const bool negative = b.has(at, 1) && b.u8(at) == '-';
        if (b.has(at, 1) && (b.u8(at) == '-' || b.u8(at) == '+'))
            ++at;
        qint64 value = -1;
        for (; walked && b.has(at, 1) && b.u8(at) >= '0' && b.u8(at) <= '9' && (walked = walk.take()); ++at)
            value = std::min<qint64>(std::max<qint64>(value, 0) * 10 + (b.u8(at) - '0'), INT_MAX);
        return negative && value > 0 ? -value : value;
    };
    const qint64 width = number(), height = number(), colours = number(), characters = number();
    if (!walked)
        return status(PictureHeader::Unknown);
    if (width <= 0 || width > 32767 || height <= 0 || height > 32767 || colours <= 0 || colours > 64 * 64 * 64 * 64 ||
        characters <= 0 || characters > 15)
        return status(!b.has(at, 1) && b.cut() ? PictureHeader::Unknown : PictureHeader::None);
    PictureHeader header = known("xpm", width, height, at, colours <= 256 ? 8 : 32);
    // A colour takes a string of its characters and a value: no more are read than the file holds.
    const qint64 held = b.cut() ? colours : std::min(colours, (b.size() - at) / (characters + 6));
    header.decoderBytes = held * 64;
    return header;
}

// A WBMP picture: no signature, its type and its fixed header zero, then its width and height in
// bytes of seven bits; Qt takes one whose rows fill the rest of the file exactly.
PictureHeader wbmp(const Bytes &b)
{
    qint64 at = 2;
    const auto number = [&]() -> qint64 {
        qint64 value = 0;
        for (int i = 0; i < 4 && b.has(at, 1); ++i) {
            const uchar c = b.u8(at++);
            value = value << 7 | (c & 0x7F);
            if (!(c & 0x80))
                return value;
        }
        return -1;
    };
    if (!b.has(0, 4) || b.u8(0) != 0 || b.u8(1) != 0)
        return {};
    const qint64 width = number(), height = number();
    if (width <= 0 || height <= 0)
        return {};
    if (b.cut())
        return status(PictureHeader::Unknown);
    if ((width + 7) / 8 * height != b.size() - at)
        return {};
    PictureHeader header = known("wbmp", width, height, at, 1);
    header.grey = true;
    return header;
}

// A TGA picture has no signature: a header that looks like one is taken for one. Qt reads one of
// true colour, uncompressed, of no more than 8192 × 8192 pixels, that ends with the footer of the
// format's version 2.0, into four bytes a pixel.
PictureHeader tga(const Bytes &b)
{
    if (!b.has(0, 18))
        return {};
    const uchar type = b.u8(2), depth = b.u8(16);
    const qint64 width = b.le16(12), height = b.le16(14);
    if (b.u8(1) > 1 || !QByteArrayView("\1\2\3\11\12\13", 6).contains(char(type)) ||
        !QByteArrayView("\10\17\20\30\40", 5).contains(char(depth)) || width == 0 || height == 0)
        return {};
    if (type != 2)
        return refused(QStringLiteral("pictures in the TGA format are read only uncompressed and in true colour"));
    if (depth == 8 || depth == 15)
        return refused(QStringLiteral("pictures in the TGA format are not read at %1 bits a pixel").arg(depth));
    if (width * height > 8192 * 8192)
        return refused(QStringLiteral("the picture is %1 × %2 pixels, more than can be read in the TGA format, which takes "
                                      "no more than 8192 × 8192")
                           .arg(width)
                           .arg(height));
    if (b.cut())
        return status(PictureHeader::Unknown);
    if (b.size() < 18 + 26 || !b.startsWith(b.size() - 18, "TRUEVISION-XFILE"))
        return refused(QStringLiteral("pictures in the TGA format are read only with the footer of its version 2.0"));
    return known("tga", width, height, 18);
}

PictureHeader readHeader(const Bytes &b, Walk &walk)
{
    // A broken header after a whole signature still names its format; two letters or a few zeros
    // begin too many other things to count as a signature without more of the header.
    PictureHeader header;
    const char *format = nullptr;
    switch (b.u8(0)) {
    case 0x89:
        if (b.startsWith(0, QByteArrayView(kPngSignature, 8)))
            header = png(b, walk), format = "png";
        break;
    case 0xFF:
        if (b.startsWith(0, "\xff\xd8\xff"))
            header = jpeg(b, walk), format = "jpeg";
        break;
    case 'I':
    case 'M':
        if (b.startsWith(0, QByteArrayView("II*\0", 4)) || b.startsWith(0, QByteArrayView("MM\0*", 4)) ||
            b.startsWith(0, QByteArrayView("II+\0", 4)) || b.startsWith(0, QByteArrayView("MM\0+", 4)))
            header = tiff(b, walk), format = "tiff";
        break;
    case 'G':
        if (b.startsWith(0, "GIF87a") || b.startsWith(0, "GIF89a"))
            header = gif(b, walk), format = "gif";
        break;
    case 'R':
        if (b.startsWith(0, "RIFF") && b.startsWith(8, "WEBP"))
            header = webp(b), format = "webp";
        break;
    case 'B':
        if (b.startsWith(0, "BM"))
            header = bmp(b);
        break;
    case 'P':
        // Its kind is read before the walk, which may spend every piece there is.
        if (const uchar kind = b.u8(1); b.has(0, 3) && kind >= '1' && kind <= '6' && isBlank(b.u8(2)))
            header = netpbm(b, kind, walk), format = netpbmFormat(kind);
        break;
    case '/':
        if (b.startsWith(0, "/* XPM"))
            header = xpm(b, walk), format = "xpm";
        else
            header = xbm(b, walk); // after a comment
        break;
    case '#':
        header = xbm(b, walk);
        break;
    default:
        if (b.startsWith(0, QByteArrayView("\0\0\1\0", 4)) || b.startsWith(0, QByteArrayView("\0\0\2\0", 4)))
            header = icon(b, walk);
        // Neither has a signature: a header that is not one of the others may be one of them.
        if (header.status == PictureHeader::None && b.startsWith(0, QByteArrayView("\0\0", 2)))
            header = wbmp(b);
        break;
    }
    if (header.status == PictureHeader::None && header.refusal.isEmpty() && !format)
        header = tga(b);
    if (header.status == PictureHeader::None && format)
        header.format = format;
    return header;
}

// The header as the walk finds it; one that spent the pieces it may read tells nothing of what it
// did not read.
PictureHeader walked(const Bytes &b, Walk &walk)
{
    const PictureHeader header = readHeader(b, walk);
    return b.spent() ? status(PictureHeader::Unknown) : header;
}

} // namespace

PictureHeader pictureHeader(QByteArrayView bytes, qint64 *steps, qint64 mostSteps)
{
    Walk walk(steps, mostSteps);
    return readHeader(Bytes(bytes), walk);
}

PictureHeader readingHeader(QByteArrayView bytes)
{
    Walk walk(nullptr, 0, true);
    return readHeader(Bytes(bytes), walk);
}

PictureHeader pictureHeader(QIODevice &device, qint64 *steps, qint64 mostSteps)
{
    Walk walk(steps, mostSteps);
    if (device.isSequential()) {
        const QByteArray start = device.peek(kSequentialPeek);
        return readHeader(Bytes(start, start.size() == kSequentialPeek), walk);
    }
    const qint64 start = device.pos();
    DeviceReads reads{kMostWeighedPieces};
    const PictureHeader header = walked(Bytes(device, start, device.size() - start, reads), walk);
    device.seek(start);
    return header;
}

PictureHeader readingHeader(QIODevice &device, bool whole, WeighedPieces *kept, qint64 *read)
{
    Walk walk(nullptr, 0, whole);
    const qint64 start = device.pos();
    DeviceReads reads;
    reads.kept = kept;
    const PictureHeader header = readHeader(Bytes(device, start, device.size() - start, reads), walk);
    device.seek(start);
    if (read)
        *read = reads.bytes;
    return header;
}

bool sameWeighing(const PictureHeader &a, const PictureHeader &b)
{
    return a.status == b.status && a.format == b.format && a.size == b.size && a.bitsPerPixel == b.bitsPerPixel &&
           a.grey == b.grey && a.decoderBytes == b.decoderBytes && a.scalesRowByRow == b.scalesRowByRow &&
           a.scalesByEighths == b.scalesByEighths && a.refusal == b.refusal;
}

namespace {

// Sums of sizes that stop at the largest number rather than wrap.
qint64 plus(qint64 a, qint64 b)
{
    qint64 sum;
    return __builtin_add_overflow(a, b, &sum) ? std::numeric_limits<qint64>::max() : sum;
}

// The M of the M/8 Qt decodes a JPEG at when asked for `target`.
int eighthsFor(const QSize &size, const QSize &target)
{
    const double shrink = std::min(double(size.width()) / target.width(), double(size.height()) / target.height());
    return std::clamp(int(std::ceil(8 / shrink)), 1, 8);
}

// Decoded whole, then scaled into a new picture: 8-bit grey where the header tells a grey picture,
// else 32 bits.
qint64 wholePeak(const PictureHeader &header, const QSize &target)
{
    const qint64 out = target == header.size ? 0 : shrinkingBytes(target, header.grey);
    return plus(plus(header.decoderBytes, pictureBytes(header.size, header.bitsPerPixel)), out);
}

// A JPEG decoded at an eighth and scaled by Qt, which first turns a grey picture into 32 bits.
qint64 eighthPeak(const PictureHeader &header, const QSize &asked)
{
    const QSize decoded = jpegDecodedSize(header.size, asked);
    const qint64 scaled = decoded == asked ? 0
                          : plus(header.bitsPerPixel < 32 ? pictureBytes(decoded, 32) : 0, pictureBytes(asked, 32));
    return plus(plus(header.decoderBytes, pictureBytes(decoded, header.bitsPerPixel)), scaled);
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
        return {target, target, pictureBytes(target, 32)};
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
