#pragma once

// Pictures made byte by byte: headers that claim what no body holds, and large flat pictures
// written a row at a time, never held whole. Shared by the picture tests and the fuzz seeds.

#include <QByteArray>
#include <QIODevice>
#include <QtEndian>

#include <zlib.h>

#include <algorithm>
#include <vector>

namespace hostile {

inline QByteArray be32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

inline QByteArray pngChunk(const char *type, const QByteArray &data)
{
    const QByteArray typed = QByteArray(type, 4) + data;
    return be32(quint32(data.size())) + typed
           + be32(quint32(crc32(0, reinterpret_cast<const Bytef *>(typed.constData()), uInt(typed.size()))));
}

inline QByteArray pngHeader(const char *signature, quint32 width, quint32 height, int colourType, int depth,
                            bool interlaced)
{
    QByteArray ihdr = be32(width) + be32(height);
    ihdr += char(depth);
    ihdr += char(colourType);
    ihdr += QByteArray(2, '\0');
    ihdr += char(interlaced ? 1 : 0);
    return QByteArray(signature, 8) + pngChunk("IHDR", ihdr);
}

// A PNG (or, with MNG's signature, what Qt's MNG reader takes) whose header claims the size and
// whose one data chunk holds a row of one grey pixel.
inline QByteArray pngClaiming(quint32 width, quint32 height, const char *signature = "\x89PNG\r\n\x1a\n")
{
    uLongf length = 64;
    QByteArray data(int(length), '\0');
    compress(reinterpret_cast<Bytef *>(data.data()), &length, reinterpret_cast<const Bytef *>("\0\0"), 2);
    data.truncate(qsizetype(length));
    return pngHeader(signature, width, height, 0, 8, false) + pngChunk("IDAT", data) + pngChunk("IEND", {});
}

// A flat PNG of the colour type, depth and interlace, its rows deflated as they are made.
inline bool writePng(QIODevice &out, int width, int height, int colourType, int depth, bool interlaced)
{
    const int channels = colourType == 2 ? 3 : colourType == 4 ? 2 : colourType == 6 ? 4 : 1;
    if (!out.write(pngHeader("\x89PNG\r\n\x1a\n", quint32(width), quint32(height), colourType, depth, interlaced)))
        return false;
    if (colourType == 3 && !out.write(pngChunk("PLTE", QByteArray("\x20\x80\xc0\xff\xff\xff", 6))))
        return false;
    z_stream z{};
    deflateInit(&z, 1);
    std::vector<Bytef> buffer(1 << 20);
    QByteArray row;
    bool ok = true;
    const auto deflateRow = [&](int flush) {
        z.next_in = reinterpret_cast<Bytef *>(row.data());
        z.avail_in = uInt(row.size());
        do {
            z.next_out = buffer.data();
            z.avail_out = uInt(buffer.size());
            deflate(&z, flush);
            if (const qsizetype made = qsizetype(buffer.size() - z.avail_out); made > 0)
                ok &= out.write(pngChunk("IDAT", QByteArray(reinterpret_cast<const char *>(buffer.data()), made))) > 0;
        } while (z.avail_out == 0 || (flush == Z_FINISH && z.avail_in > 0));
    };
    // Adam7's passes: where each begins and how far apart its pixels are.
    struct Pass { int x, y, dx, dy; };
    const std::vector<Pass> passes = interlaced ? std::vector<Pass>{{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                                                   {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}}
                                                : std::vector<Pass>{{0, 0, 1, 1}};
    for (const Pass &pass : passes) {
        const qint64 columns = (width - pass.x + pass.dx - 1) / pass.dx, rows = (height - pass.y + pass.dy - 1) / pass.dy;
        if (columns <= 0 || rows <= 0)
            continue;
        row = QByteArray(1 + (columns * channels * depth + 7) / 8, '\0');
        for (qint64 y = 0; y < rows && ok; ++y)
            deflateRow(Z_NO_FLUSH);
    }
    row.clear();
    deflateRow(Z_FINISH);
    deflateEnd(&z);
    return ok && out.write(pngChunk("IEND", {})) > 0;
}

inline QByteArray jpegSegment(uchar marker, const QByteArray &data)
{
    QByteArray segment("\xff", 1);
    segment += char(marker);
    segment += char((data.size() + 2) >> 8);
    segment += char((data.size() + 2) & 0xff);
    return segment + data;
}

// A flat JPEG of 1, 3 or 4 components, each sampled at full size, its colours in one scan or in a
// scan each. Its Huffman tables hold one code each, so that every block is two bits.
inline bool writeJpeg(QIODevice &out, int width, int height, int components, bool scanEach)
{
    QByteArray frame("\x08", 1);
    for (const int side : {height, width})
        frame += char(side >> 8), frame += char(side & 0xff);
    frame += char(components);
    for (int c = 1; c <= components; ++c)
        frame += char(c), frame += QByteArray("\x11\0", 2);
    QByteArray oneCode(17, '\0');
    oneCode[0] = 1;
    bool ok = out.write(QByteArray("\xff\xd8", 2) + jpegSegment(0xDB, QByteArray(1, '\0') + QByteArray(64, '\1'))
                        + jpegSegment(0xC0, frame) + jpegSegment(0xC4, QByteArray(1, '\0') + oneCode)
                        + jpegSegment(0xC4, QByteArray(1, '\x10') + oneCode)) > 0;
    const qint64 blocks = qint64((width + 7) / 8) * ((height + 7) / 8);
    for (int scan = 1; scan <= (scanEach ? components : 1) && ok; ++scan) {
        QByteArray sos(1, char(scanEach ? 1 : components));
        for (int c = scanEach ? scan : 1; c <= (scanEach ? scan : components); ++c)
            sos += char(c), sos += '\0';
        ok &= out.write(jpegSegment(0xDA, sos + QByteArray("\0\x3f\0", 3))) > 0;
        qint64 bits = blocks * (sos.size() - 1); // two bits a block of each component scanned
        for (const QByteArray zeros(1 << 20, '\0'); bits >= 8 << 20 && ok; bits -= 8 << 20)
            ok &= out.write(zeros) > 0;
        ok &= out.write(QByteArray(bits / 8, '\0') + QByteArray(bits % 8 ? 1 : 0, char(0xff >> (bits % 8)))) >= 0;
    }
    return ok && out.write("\xff\xd9", 2) == 2;
}

// `jpeg` with `count` comment segments before its frame.
inline QByteArray withComments(const QByteArray &jpeg, int count)
{
    QByteArray comments;
    comments.reserve(qsizetype(count) * 6);
    for (int i = 0; i < count; ++i)
        comments += jpegSegment(0xFE, "ab");
    return jpeg.left(2) + comments + jpeg.mid(2);
}

// `jpeg` told by its EXIF orientation tag to be turned a quarter clockwise.
inline QByteArray turnedQuarter(const QByteArray &jpeg)
{
    const QByteArray exif("Exif\0\0MM\0*\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\x06\0\0\0\0\0\0", 32);
    return jpeg.left(2) + jpegSegment(0xE1, exif) + jpeg.mid(2);
}

// A TIFF whose one directory claims the size at 16 bits a sample.
inline QByteArray tiffClaiming(quint32 width, quint32 height)
{
    return QByteArray("MM\0*\0\0\0\x08\0\x03\x01\x00\0\x04\0\0\0\x01", 18) + be32(width)
           + QByteArray("\x01\x01\0\x04\0\0\0\x01", 8) + be32(height)
           + QByteArray("\x01\x02\0\x03\0\0\0\x01\0\x10\0\0\0\0\0\0", 16);
}

// A bitmap whose header claims the size at 32 bits a pixel.
inline QByteArray bitmapClaiming(qint32 width, qint32 height)
{
    QByteArray bmp("BM\0\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0", 18);
    bmp += QByteArray(8, '\0') + QByteArray("\1\0\x20\0", 4) + QByteArray(24, '\0') + QByteArray(64, '\x7f');
    qToLittleEndian<qint32>(width, bmp.data() + 18);
    qToLittleEndian<qint32>(height, bmp.data() + 22);
    return bmp;
}

} // namespace hostile
