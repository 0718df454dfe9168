#include "core/ImageHelpers.h"

#include "core/MessageBoxes.h"
#include "platform/SafeFileWriter.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <exception>

namespace {

constexpr double kMetresPerInch = 0.0254;
constexpr double kPointsPerInch = 72.0;
// Beyond this a side is no picture anyone meant to make; QImage would fail later and less clearly.
constexpr double kMaxPixelSide = 32767.0;

// What a new QImage claims (the screen's resolution once there is a GUI), which says nothing about
// the picture.
int unspecifiedDotsPerMetre()
{
    return QImage(1, 1, QImage::Format_Mono).dotsPerMeterX();
}

// Dots per metre are whole numbers, so 72 dpi is stored as 2835 (72.009 dpi) and 300 as 11811:
// a resolution within a dot and a half per metre of a whole dpi is taken as that whole dpi.
double dotsPerInch(int dotsPerMetre)
{
    const double dpi = dotsPerMetre * kMetresPerInch;
    const double whole = std::round(dpi);
    return std::abs(dpi - whole) <= 1.5 * kMetresPerInch ? whole : dpi;
}

bool usablePixelSide(double side)
{
    return std::isfinite(side) && side >= 1.0 && side <= kMaxPixelSide;
}

QImage blankImage(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    if (!image.isNull())
        image.fill(Qt::transparent);
    return image;
}

void logException(const std::exception &e)
{
    Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
}

bool reportSaveFailure(const QString &path, const QString &reason)
{
    Show_MessageBox(path);
    Show_MessageBox(reason);
    return false;
}

} // namespace

QSizeF imageSizeInPoints(const QImage &image)
{
    if (image.isNull())
        return {};
    // Without a resolution of its own a picture measures its device-independent size, as the
    // other picture helpers read it.
    const int unspecified = unspecifiedDotsPerMetre();
    const QSizeF independent = image.deviceIndependentSize();
    const auto side = [unspecified](int pixels, int dotsPerMetre, double fallback) {
        if (dotsPerMetre <= 0 || dotsPerMetre == unspecified)
            return fallback;
        return pixels * kPointsPerInch / dotsPerInch(dotsPerMetre);
    };
    return {side(image.width(), image.dotsPerMeterX(), independent.width()),
            side(image.height(), image.dotsPerMeterY(), independent.height())};
}

void setImageSizeInPoints(QImage &image, const QSizeF &size)
{
    if (image.isNull() || !(size.width() > 0.0) || !(size.height() > 0.0))
        return;
    const int unspecified = unspecifiedDotsPerMetre();
    const auto perMetre = [unspecified](int pixels, double points) {
        const int value = static_cast<int>(std::lround(pixels * kPointsPerInch / (points * kMetresPerInch)));
        // The default would read as "no resolution"; one dot more still reads as the same dpi.
        return value == unspecified ? value + 1 : value;
    };
    image.setDotsPerMeterX(perMetre(image.width(), size.width()));
    image.setDotsPerMeterY(perMetre(image.height(), size.height()));
    // Painters draw a picture at its device-independent size: keep that in step (exact across).
    image.setDevicePixelRatio(image.width() / size.width());
}

QImage imageResize(const QImage &image, const QSizeF &newSize)
{
    if (image.isNull()) {
        Show_NSLog_Message(QStringLiteral("Invalid Image"));
        return {};
    }
    try {
        const double width = std::ceil(newSize.width());
        const double height = std::ceil(newSize.height());
        if (!usablePixelSide(width) || !usablePixelSide(height)) {
            Show_NSLog_Message(QStringLiteral("Invalid image size"));
            return {};
        }
        QImage result = blankImage(static_cast<int>(width), static_cast<int>(height));
        if (result.isNull()) {
            Show_NSLog_Message(QStringLiteral("Invalid image size"));
            return {};
        }
        {
            QPainter painter(&result);
            painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.drawImage(QRectF(0, 0, newSize.width(), newSize.height()), image, QRectF(image.rect()));
        }
        setImageSizeInPoints(result, newSize);
        return result;
    } catch (const std::exception &e) {
        logException(e);
        return {};
    }
}

QImage Increase_DPI(const QImage &image, double dpi)
{
    return Increase_DPI(image, dpi, imageSizeInPoints(image));
}

QImage Increase_DPI(const QImage &image, double dpi, const QSizeF &points)
{
    if (image.isNull()) {
        Show_NSLog_Message(QStringLiteral("Invalid image"));
        return {};
    }
    try {
        // Single precision, as the symbol sizes built on these pixel counts assume.
        const float scale = static_cast<float>(dpi) / 72.0f;
        const double pixelWidth = std::ceil(scale * static_cast<float>(points.width()));
        const double pixelHeight = std::ceil(scale * static_cast<float>(points.height()));
        if (!(dpi > 0.0) || !usablePixelSide(pixelWidth) || !usablePixelSide(pixelHeight)) {
            Show_NSLog_Message(QStringLiteral("Invalid image resolution"));
            return {};
        }
        QImage result = blankImage(static_cast<int>(pixelWidth), static_cast<int>(pixelHeight));
        if (result.isNull()) {
            Show_NSLog_Message(QStringLiteral("Invalid image resolution"));
            return {};
        }
        {
            // No interpolation: every module of a symbol stays a sharp block.
            QPainter painter(&result);
            painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
            painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
            painter.drawImage(QRectF(result.rect()), image, QRectF(image.rect()));
        }
        setImageSizeInPoints(result, points);
        return result;
    } catch (const std::exception &e) {
        logException(e);
        return {};
    }
}

QSize reducedSizeForDrawing(const QSize &pixels, const QSizeF &target, const QTransform &device)
{
    if (pixels.isEmpty())
        return QSize();
    const double across = target.width() * std::hypot(device.m11(), device.m12());
    const double down = target.height() * std::hypot(device.m21(), device.m22());
    const double needed = std::max(across / pixels.width(), down / pixels.height());
    constexpr double kStep = 1.25;
    if (!(needed > 0.0) || !std::isfinite(needed) || needed * kStep >= 1.0)
        return QSize();
    const double factor = std::pow(kStep, std::floor(std::log(1.0 / needed) / std::log(kStep)));
    return QSize(std::max(1, int(std::ceil(pixels.width() / factor))),
                 std::max(1, int(std::ceil(pixels.height() / factor))));
}

bool Save_gen_image(const QImage &image, const QString &path)
{
    try {
        if (image.isNull())
            return reportSaveFailure(path, QStringLiteral("Invalid image"));
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "png");
        if (!writer.write(image))
            return reportSaveFailure(path, writer.errorString());
        // The old file is replaced only once the new one is complete, so a failed write keeps it.
        QString reason;
        if (!platform::writeFileSafely(path, bytes, &reason))
            return reportSaveFailure(path, reason);
        return true;
    } catch (const std::exception &e) {
        logException(e);
        return false;
    }
}
