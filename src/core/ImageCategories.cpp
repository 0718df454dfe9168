#include "core/ImageCategories.h"

#include "platform/Log.h"
#include "platform/PictureReading.h"
#include "platform/RegularFile.h"
#include "platform/UiServices.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kMetresPerInch = 0.0254;

// Whole pixels for a length in points; the small allowance keeps 100.0000001 from becoming 101.
int pixelsFor(double points, double ratio)
{
    return std::max(1, static_cast<int>(std::ceil(points * ratio - 1e-6)));
}

QImage blankLike(const QImage &picture, const QSizeF &points)
{
    const double ratio = picture.devicePixelRatio();
    QImage out(pixelsFor(points.width(), ratio), pixelsFor(points.height(), ratio), QImage::Format_ARGB32_Premultiplied);
    if (out.isNull())
        return out;
    out.fill(Qt::transparent);
    out.setDevicePixelRatio(ratio);
    out.setDotsPerMeterX(picture.dotsPerMeterX());
    out.setDotsPerMeterY(picture.dotsPerMeterY());
    return out;
}

} // namespace

QSizeF pictureSize(const QImage &picture)
{
    return picture.isNull() ? QSizeF(0, 0) : picture.deviceIndependentSize();
}

QString standardizedPath(const QString &path)
{
    QString expanded = path;
    if (expanded == QLatin1String("~") || expanded.startsWith(QLatin1String("~/")))
        expanded = QDir::homePath() + expanded.mid(1);
    return expanded.isEmpty() ? expanded : QDir::cleanPath(expanded);
}

QImage loadPicture(const QString &path, std::atomic<qint64> *pixelBudget, QString *problem)
{
    if (!pixelBudget)
        return loadPicture(path, platform::PixelSpender(), problem);
    return loadPicture(path, [pixelBudget](qint64 pixels) { return spendPixels(*pixelBudget, pixels); }, problem);
}

namespace {

QImage loadPictureKeeping(const QString &path, const platform::PixelSpender &spend, QString *problem, QByteArray *kept)
{
    const QString file = standardizedPath(path);
    QFile device(file);
    if (!platform::isRegularFile(file) || !device.open(QIODevice::ReadOnly)) {
        // A moved or deleted file is told apart from a folder or device that is there.
        if (problem)
            *problem = QFileInfo::exists(file) ? QStringLiteral("it is not a picture file")
                                               : QStringLiteral("it was not found");
        return QImage();
    }
    platform::PictureReading how;
    how.problem = problem;
    how.spend = spend;
    constexpr qint64 kMostKeptBytes = 256LL * 1024 * 1024;
    if (!kept || device.size() > kMostKeptBytes)
        return platform::readPicture(device, how);
    const QByteArray bytes = device.readAll();
    QImage picture = platform::readPicture(bytes, how);
    if (!picture.isNull())
        *kept = bytes;
    return picture;
}

} // namespace

QImage loadPicture(const QString &path, const platform::PixelSpender &spend, QString *problem)
{
    return loadPictureKeeping(path, spend, problem, nullptr);
}

QImage loadPictureAndFile(const QString &path, QByteArray &file, QString *problem)
{
    file.clear();
    return loadPictureKeeping(path, {}, problem, &file);
}

void tellPictureNotShown(const QString &path, const QString &what, const QString &problem)
{
    platform::uiServices().showMessage(QStringLiteral("The %1 \"%2\" cannot be shown: %3.").arg(what, path, problem));
}

bool spendPixels(std::atomic<qint64> &budget, qint64 pixels)
{
    return budget.fetch_sub(pixels) >= pixels;
}

QImage imageRotated(const QImage &picture, float degrees)
{
    const float a = std::fmod(degrees, 360.0f);
    if (a == 0.0f || picture.isNull() || !std::isfinite(a))
        return picture;
    const QSizeF size = pictureSize(picture);
    const double w = size.width(), h = size.height();

    if (a == 90.0f || a == -270.0f || a == 270.0f || a == -90.0f || a == 180.0f || a == -180.0f) {
        // Exact pixel moves for quarter and half turns; the y axis points down here, so a turn
        // that is counter-clockwise on screen is a negative angle.
        QImage out = picture.transformed(QTransform().rotate(-static_cast<double>(a)));
        out.setDevicePixelRatio(picture.devicePixelRatio());
        return out;
    }

    const double side = std::max(w, h) + 20.0;
    QImage out = blankLike(picture, QSizeF(side, side));
    if (out.isNull())
        return out;
    QPainter painter(&out);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.translate(side / 2.0, side / 2.0);
    painter.rotate(-static_cast<double>(a));
    painter.drawImage(QRectF(-w / 2.0, -h / 2.0, w, h), picture);
    return out;
}

QImage bitmapImageRepresentation(const QImage &picture)
{
    const QSizeF size = pictureSize(picture);
    const int w = static_cast<int>(std::min(size.width(), 1e6));
    const int h = static_cast<int>(std::min(size.height(), 1e6));
    if (w < 1 || h < 1)
        return QImage();
    QImage bitmap(w, h, QImage::Format_ARGB32);
    if (bitmap.isNull())
        return bitmap;
    bitmap.fill(Qt::transparent);
    QPainter painter(&bitmap);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPointF(0, 0), picture);
    return bitmap;
}

QImage toCGImageRef(const QImage &picture)
{
    const QImage bitmap = bitmapImageRepresentation(picture);
    if (bitmap.isNull())
        return QImage();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!bitmap.save(&buffer, "PNG") || png.isEmpty())
        return QImage();
    return platform::readPicture(png);
}

QImage imageRotatedByDegrees(const QImage &picture, double degrees)
{
    if (picture.isNull())
        return picture;
    if (!std::isfinite(degrees)) {
        platform::writeLog(QStringLiteral("imageRotatedByDegrees: the angle is not a number"));
        return picture;
    }
    const QSizeF size = pictureSize(picture);
    const double w = size.width(), h = size.height();
    const double t = degrees * std::numbers::pi / 180.0;
    const double c = std::abs(std::cos(t)), s = std::abs(std::sin(t));
    const QSizeF turned(w * c + h * s, w * s + h * c);

    QImage out = blankLike(picture, turned);
    if (out.isNull()) {
        platform::writeLog(QStringLiteral("imageRotatedByDegrees: no room for the turned picture"));
        return out;
    }
    QPainter painter(&out);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.translate(turned.width() / 2.0, turned.height() / 2.0);
    painter.rotate(-degrees);
    painter.drawImage(QRectF(-w / 2.0, -h / 2.0, w, h), picture);
    return out;
}

QImage &normalizeSize(QImage &picture)
{
    return setDPI(picture, 72);
}

QImage &setDPI(QImage &picture, int dpi)
{
    if (picture.isNull() || dpi <= 0)
        return picture;
    picture.setDevicePixelRatio(static_cast<double>(dpi) / 72.0);
    const int dpm = qRound(dpi / kMetresPerInch);
    picture.setDotsPerMeterX(dpm);
    picture.setDotsPerMeterY(dpm);
    return picture;
}

QImage maskImage(const QImage &picture, const QImage &mask)
{
    if (picture.isNull() || mask.isNull())
        return picture;
    QImage out = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    // The mask covers the whole picture whatever its own size.
    QImage grey = mask.convertToFormat(QImage::Format_Grayscale8);
    if (grey.size() != out.size())
        grey = grey.scaled(out.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (out.isNull() || grey.isNull())
        return picture;
    for (int y = 0; y < out.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(out.scanLine(y));
        const uchar *level = grey.constScanLine(y);
        for (int x = 0; x < out.width(); ++x) {
            const int keep = 255 - level[x];
            const QRgb p = line[x];
            line[x] = qRgba(qRed(p) * keep / 255, qGreen(p) * keep / 255, qBlue(p) * keep / 255, qAlpha(p) * keep / 255);
        }
    }
    return out;
}

QImage maskUsingMaskImage(const QImage &picture, const QImage &mask)
{
    return maskImage(picture, mask);
}
