#pragma once

#include <QImage>
#include <QSize>

namespace platform {

// `source` made smaller (no side larger) by averaging the pixels each new one covers, into 32 bits
// a pixel. Nothing the size of `source` is made: its rows are turned into 32 bits a few at a time,
// and a strip of one pixel by millions is scaled like any other shape. Null when the result cannot
// be allocated.
QImage shrunkPicture(const QImage &source, const QSize &size);

} // namespace platform
