#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QSize>

namespace platform {

// What the first bytes of a picture tell of it, read without a decoder: the size a decoder makes
// of it and what decoding takes. Only the header is read, never the picture's data, so that weighing
// a picture costs the same whatever the picture.
struct PictureHeader {
    enum Status {
        None,    // no picture of a format read here begins there, or its header is broken
        Known,   // a picture whose decoded size is `size`
        Unknown, // its header goes on past the bytes read: the size cannot be told from them
    };
    Status status = None;
    QByteArray format; // as Qt names it: "png", "jpeg", "gif", "bmp", "tiff", "webp", "ico"
    QSize size;        // what the decoder makes of it, whatever the header's other fields claim
    int bytesPerPixel = 4;       // of the decoded picture
    qint64 decoderBytes = 0;     // what the decoder holds beside the picture (a progressive JPEG's coefficients)
    bool scalesRowByRow = false; // decoded to a smaller size without the whole picture in memory (PNG)
    bool scalesByEighths = false; // decoded at 1/2, 1/4 or 1/8 of its size without the whole (JPEG)
    qsizetype headerLength = 0;  // the bytes the header took: no other picture begins inside them
};

// The header of the picture `bytes` begins with. A JPEG's segments, a GIF's blocks and a TIFF's
// directory are walked as far as the size; each step is counted in `steps` when given, so that a
// caller weighing many can stop. Bytes past `bytes` (or past 1 MiB of it) are not read.
PictureHeader pictureHeader(QByteArrayView bytes, qint64 *steps = nullptr);

// Whether a picture may begin at `bytes` (of which `size` follow): a scan for pictures looks at no
// other place. Two bytes tell most places apart; zeros, frequent in binary data, take four.
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
    default: return false;
    }
}

// About the most memory reading the picture takes when it is decoded to `target`: the picture, its
// decoder's own buffers and the copy it is scaled into.
qint64 readingPeakBytes(const PictureHeader &header, const QSize &target);

// The size a JPEG is decoded at when Qt is asked for `target`: it decodes at the largest eighth of its
// size that is at least `target` and scales the rest.
QSize jpegDecodedSize(const QSize &size, const QSize &target);

} // namespace platform
