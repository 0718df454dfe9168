#pragma once

#include <QImage>
#include <QSize>
#include <QSizeF>
#include <QString>

class QTransform;

// Re-rendering and saving of pictures, which any thread may call. Pictures are QImage only (workers
// call these too); a QImage's size in points follows from its pixel size and its dots per metre.

// The picture's size in points: pixels at its resolution (dots per metre, which files keep too).
// Without a resolution of its own (a new QImage's default) it is the device-independent size.
QSizeF imageSizeInPoints(const QImage &image);
// Gives the picture the resolution, per axis, at which it measures `size` points, and the
// matching device pixel ratio; its pixels stay as they are.
void setImageSizeInPoints(QImage &image, const QSizeF &size);

// The picture scaled, with smooth interpolation, to a new picture of `newSize` points at 72 dpi.
// A null picture logs "Invalid Image" and gives a null one; so does a size that cannot be made.
QImage imageResize(const QImage &image, const QSizeF &newSize);
// The picture redrawn, without interpolation, into ceil(dpi × w / 72) × ceil(dpi × h / 72) pixels
// that measure the picture's w × h points. A null picture logs "Invalid image" and gives a null one.
QImage Increase_DPI(const QImage &image, double dpi);
// As Increase_DPI, for a picture whose pixels are stretched over `points` (whatever resolution it
// carries): each pixel becomes a sharp block of points.width() / width by points.height() / height.
QImage Increase_DPI(const QImage &image, double dpi, const QSizeF &points);
// The pixel size of a smaller copy of a picture of `pixels` to draw over `target` points under
// `device` (the painter's device transform), or an invalid size where the picture itself is drawn:
// a smooth draw of a picture shrunk several times samples too few of its pixels and shimmers. The
// copies come in steps of 1.25, so that a small change of zoom keeps the copy it has.
QSize reducedSizeForDrawing(const QSize &pixels, const QSizeF &target, const QTransform &device);
// Writes the picture as PNG data, whatever the path's extension, replacing the file at the path
// in one step. On failure the path and then the reason are shown; the old file is kept. Answers
// whether the file was written.
bool Save_gen_image(const QImage &image, const QString &path);
