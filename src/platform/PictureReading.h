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

// The size a picture whose header tells `size` is decoded at: its own within kMostPicturePixels,
// else the largest of its proportions within them.
QSize pictureSizeRead(const QSize &size);
qint64 picturePixelsRead(const QSize &size);

// Takes the pixels a picture is about to be decoded to; false when they do not fit, and then the
// picture is not decoded.
using PixelSpender = std::function<bool(qint64 pixels)>;

// How a picture is read: the one way every picture of the program is decoded.
struct PictureReading {
    PixelSpender spend;
    QSize within;               // when valid, the picture is decoded no larger than this box
    QString *problem = nullptr; // why nothing was read, as a clause
};

// The picture the device (or the bytes) holds, turned as its orientation tag says, decoded at
// pictureSizeRead() of its size (or fitting `within`); null when it cannot be read, with the reason.
// A larger picture whose format cannot scale while decoding is read only while decoding it whole
// stays within Qt's allocation limit, raised here to admit the largest picture at 8 bytes a pixel.
QImage readPicture(QIODevice &device, const PictureReading &how = {});
QImage readPicture(const QByteArray &bytes, const PictureReading &how = {});

} // namespace platform
