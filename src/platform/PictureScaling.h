#pragma once

#include <QImage>
#include <QSize>

namespace platform {

// `source` made smaller (no side larger) by averaging the pixels each new one covers: into 8-bit
// grey when it is grey without alpha, else into 32 bits (premultiplied when it has alpha). It takes
// the result and buffers of a bounded size, whatever the source's shape (a strip of one pixel by
// millions is scaled like any other), and runs on the thread pool. Null when the result cannot be
// allocated; it never throws.
QImage shrunkPicture(const QImage &source, const QSize &size);

// The bytes a picture of `size` takes at `depth` bits a pixel, each of its rows padded to whole 32-bit
// words as Qt pads them: a strip one pixel wide takes four bytes a row whatever its depth. Saturates.
qint64 pictureBytes(const QSize &size, int depth);

// What shrunkPicture takes at most beside its source to make a picture of `target`, the picture
// included; `grey` when it is 8-bit grey.
qint64 shrinkingBytes(const QSize &target, bool grey);

} // namespace platform
