#pragma once

#include "platform/PictureReading.h"

#include <QImage>
#include <QSizeF>

#include <atomic>

// Picture utilities on QImage, free of widgets and callable from any thread. A picture's size is in
// points: its pixel size divided by its device pixel ratio.

QSizeF pictureSize(const QImage &picture);

// Picture files ------------------------------------------------------------------------------

// The path with a leading "~" expanded and "." / ".." resolved.
QString standardizedPath(const QString &path);
// The picture in the file at the standardised path, read by platform::readPicture (turned as its
// orientation tag says, a larger one than the program's most pixels scaled down); a null picture
// when the path names no regular file ("it was not found" when nothing is there) or the file does
// not load, with the reason as a clause in `problem`. With a budget, the picture's pixels are taken from it before it is decoded: one that
// does not fit is not decoded (a small file may hold an enormous picture, and a design may name many).
QImage loadPicture(const QString &path, std::atomic<qint64> *pixelBudget = nullptr, QString *problem = nullptr);
// The same, the pixels taken by `spend` (none: nothing is taken).
QImage loadPicture(const QString &path, const platform::PixelSpender &spend, QString *problem = nullptr);
// The same, with the file's bytes in `file` when the picture was read from them, so that a design
// may keep the picture as its file holds it (a file of more than 256 MB is read without keeping them).
QImage loadPictureAndFile(const QString &path, QByteArray &file, QString *problem = nullptr);
// Tells the user why the picture at `path` chosen for `what` gave none (`problem`, from loadPicture).
void tellPictureNotShown(const QString &path, const QString &what, const QString &problem);
// Takes `pixels` from the budget; false when they do not fit (the budget then counts as spent).
bool spendPixels(std::atomic<qint64> &budget, qint64 pixels);

// Rotated ------------------------------------------------------------------------------------

// Turns the picture about its centre by `degrees` (counter-clockwise on screen). Quarter turns swap
// width and height, half turns keep them, any other angle gives a square of side max(w, h) + 20
// with the corners that fall outside cut off. A zero angle (after reduction modulo 360) answers the
// picture itself.
QImage imageRotated(const QImage &picture, float degrees);
// The picture drawn into a 32-bit RGBA bitmap of its size truncated to whole points; null when
// either side is below one.
QImage bitmapImageRepresentation(const QImage &picture);
// The bitmap representation passed through PNG, as a standalone image; null when there is none.
QImage toCGImageRef(const QImage &picture);

// Transform ----------------------------------------------------------------------------------

// Turns the picture about its centre into a new picture just large enough for all of it.
QImage imageRotatedByDegrees(const QImage &picture, double degrees);

// normalize ----------------------------------------------------------------------------------

// One point per pixel. A null picture is left as it is.
QImage &normalizeSize(QImage &picture);
// A size of pixels / dpi * 72 points; `dpi` must be positive (others change nothing).
QImage &setDPI(QImage &picture, int dpi);

// Mask ---------------------------------------------------------------------------------------

// The picture shown through the mask's grey levels: black lets the picture show, white makes it
// transparent. Without a picture or a mask the picture comes back unchanged.
QImage maskImage(const QImage &picture, const QImage &mask);
QImage maskUsingMaskImage(const QImage &picture, const QImage &mask);
