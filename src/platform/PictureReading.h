#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <functional>

class QIODevice;

namespace platform {

// The most pixels one picture is decoded to, whatever brings it (a file, a design, the pasteboard):
// a camera's photo of 48 megapixels is read at its size, a larger picture scaled down to this many.
constexpr qint64 kMostPicturePixels = 64LL * 1024 * 1024;

// About the most memory reading one picture may take: the largest picture read, at 8 bytes a pixel,
// and its decoder's own buffers. A picture that cannot be read within it is refused.
constexpr qint64 kMostReadingBytes = 600LL * 1000 * 1000;

// Raises Qt's allocation limit (128 MB) to admit the largest picture read whole. Called
// once at program start, before any thread reads a picture.
void admitTheLargestPicture();

// The size a picture whose header tells `size` is decoded at: its own within kMostPicturePixels,
// else the largest of its proportions within them.
QSize pictureSizeRead(const QSize &size);
qint64 picturePixelsRead(const QSize &size);

// Takes the pixels a picture is about to be decoded to; false when they do not fit, and then the
// picture is not decoded. A picture that then cannot be decoded gives them back: the spender is
// called again with their negative.
using PixelSpender = std::function<bool(qint64 pixels)>;

// How a picture is read: the one way every picture of the program is decoded.
struct PictureReading {
    PixelSpender spend;
    QSize within;               // when valid, the picture is decoded no larger than this box
    QString *problem = nullptr; // why nothing was read, as a clause
    // The most memory this reading may take: lowered for one reading (a fuzzer reading many), never
    // raised past kMostReadingBytes.
    qint64 mostBytes = kMostReadingBytes;
};

// The picture the device (or the bytes) holds, turned as its orientation tag says, decoded at
// pictureSizeRead() of its size (or fitting `within`, turned); null when it cannot be read, with the
// reason. It is charged the size its decoder makes of it, told from its header (an icon's entry says
// nothing of the picture inside), and refused when reading it would take more than
// kMostReadingBytes (or the reading's lower mostBytes), weighed by what its decoder does with it; a
// JPEG is then read at the largest M/8 of its size that fits. Only the formats pictureHeader() weighs
// are read: any other is refused, named, and so is a picture that decodes larger than it was
// charged. Pictures decoded at once on several threads take together the memory of one reading
// (DecodingAdmission); one for which memory runs out is refused for that, and gives its charge back.
// A device is decoded where it stands, never held whole: once admitted it is weighed again (a file
// rewritten in place since it was weighed as another picture is refused as changed) and walked on
// as its decoder walks it, and its decoder is given the header that was weighed.
QImage readPicture(QIODevice &device, const PictureReading &how = {});
QImage readPicture(const QByteArray &bytes, const PictureReading &how = {});

} // namespace platform
