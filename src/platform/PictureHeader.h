#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QSize>
#include <QString>

#include <limits>
#include <utility>
#include <vector>

class QIODevice;

namespace platform {

// What the header of a picture tells of it, read without a decoder: the size a decoder makes of it
// and what decoding takes. Only the header is read, never a picture's data, so that weighing a
// picture costs about the same whatever the picture.
struct PictureHeader {
    enum Status {
        None,    // no picture of a format read here begins there, or its header is broken
        Known,   // a picture whose decoded size is `size`
        Unknown, // its header goes on past the bytes it may read: the size cannot be told from them
    };
    Status status = None;
    // As Qt names it: "png", "jpeg", "gif", "bmp", "tiff", "webp", "ico", "tga", "pbm", "pgm", "ppm",
    // "xbm", "xpm", "wbmp".
    QByteArray format;
    QSize size;                  // what the decoder makes of it, whatever the header's other fields claim
    int bitsPerPixel = 32;       // of the decoded picture, each row padded to whole 32-bit words
    bool grey = false;           // decoded grey without alpha, and so kept
    qint64 decoderBytes = 0;     // what the decoder holds beside the picture (a JPEG's coefficients
                                 // when it comes in more than one scan, a PNG's row pointers)
    bool scalesRowByRow = false; // decoded to a smaller size without the whole picture in memory (PNG)
    bool scalesByEighths = false; // decoded at M/8 of its size without the whole (JPEG)
    qsizetype headerLength = 0;  // the bytes the header took: no other picture begins inside them
    QString refusal;             // why a picture of a format read here is refused from its header alone
};

// A JPEG is refused with more segments than this, wherever they stand: no camera or editor writes so
// many, and its decoder walks them in quadratic time.
constexpr int kMostJpegSegments = 4096;

// The header of the picture `bytes` begins with, wherever in them it lies: a JPEG's segments to its
// first scan, a PNG's chunks to its first data, a GIF's blocks to its first image, a TIFF's first
// directory where its offset points; what follows is its reading's to walk (readingHeader). Each
// step is counted in `steps` when given, so that a caller weighing many can stop: a walk stops once
// they pass `mostSteps`, and its header is then Unknown, or the one told so far.
PictureHeader pictureHeader(QByteArrayView bytes, qint64 *steps = nullptr,
                            qint64 mostSteps = std::numeric_limits<qint64>::max());
// The most of a device pictureHeader() reads.
constexpr qint64 kMostWeighedBytes = 1024 * 1024;

// The header of the picture the device holds from where it stands, read at the offsets the walk
// needs, in a few pieces at most (kMostWeighedBytes): a header that needs more is Unknown (a device
// that cannot seek is weighed from its first MiB). Nothing is consumed.
PictureHeader pictureHeader(QIODevice &device, qint64 *steps = nullptr,
                            qint64 mostSteps = std::numeric_limits<qint64>::max());
// The header of the picture `bytes` hold whole, walked as its reading needs before it is decoded:
// on to the picture's end for what makes its decoder refuse it or run long (a JPEG's markers after
// its first scan, a PNG's chunks after its data), however long it is.
PictureHeader readingHeader(QByteArrayView bytes);

// The bytes a walk read of a device, each at its offset on the device.
using WeighedPieces = std::vector<std::pair<qint64, QByteArray>>;
// The header of the picture a seekable device holds from where it stands, read as its decoder reads
// it, however far it goes (a Netpbm picture's comments of megabytes), a piece at a time where the
// walk asks: to where its size is told, or `whole`, on as readingHeader() walks bytes. The pieces
// read are kept in `kept` when given, and their bytes counted in `read`. Nothing is consumed.
PictureHeader readingHeader(QIODevice &device, bool whole, WeighedPieces *kept = nullptr, qint64 *read = nullptr);

// Whether two weighings tell the same of a picture: it is decoded as either says.
bool sameWeighing(const PictureHeader &a, const PictureHeader &b);

// Whether a picture may begin at `bytes` (of which `size` follow): a scan for pictures looks at no
// other place. Two bytes tell most places apart; zeros, frequent in binary data, and letters take
// more. A WBMP picture, and a TGA one with an identification or a palette, have no signature: a scan
// does not find them.
inline bool mayBeginPicture(const uchar *bytes, qsizetype size)
{
    if (size < 4)
        return false;
    switch (bytes[0]) {
    case 0x89: return bytes[1] == 'P';
    case 0xFF: return bytes[1] == 0xD8;
    case 'I': return bytes[1] == 'I';
    case 'M': return bytes[1] == 'M';
    case 'G': return bytes[1] == 'I';
    case 'R': return bytes[1] == 'I';
    case 'B': return bytes[1] == 'M';
    case 0x00: return bytes[1] == 0 && (bytes[2] == 1 || bytes[2] == 2) && bytes[3] == 0;
    case 'P': // a Netpbm picture's kind, then a blank
        return bytes[1] >= '1' && bytes[1] <= '6' && (bytes[2] == ' ' || (bytes[2] >= '\t' && bytes[2] <= '\r'));
    case '#': return bytes[1] == 'd' && bytes[2] == 'e' && bytes[3] == 'f'; // an X bitmap's #define
    case '/': return bytes[1] == '*'; // an X pixmap, or a comment before an X bitmap
    default: return false;
    }
}

// How a picture is read to about `target`: the size its decoder is asked for (invalid: its own
// size, scaled afterwards a few rows at a time), the size read, and about the most memory that takes:
// the picture, its decoder's own buffers and the copy it is scaled into. Sizes are products that
// saturate, never wrap.
struct PictureDecoding {
    QSize asked;
    QSize read;
    qint64 peakBytes = 0;
};
// The way that reads the largest picture, up to `target`, within `mostBytes`; where none fits,
// the one that takes least.
PictureDecoding pictureDecoding(const PictureHeader &header, const QSize &target, qint64 mostBytes);

// About the most memory reading the picture takes when it is decoded to `target`.
qint64 readingPeakBytes(const PictureHeader &header, const QSize &target);

// The size a JPEG is decoded at when Qt is asked for `target`: the smallest M/8 of its size (M from
// 1 to 8) that is at least `target` on both sides; the rest is scaled.
QSize jpegDecodedSize(const QSize &size, const QSize &target);

} // namespace platform
