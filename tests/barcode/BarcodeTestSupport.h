#pragma once

#define ZX_USE_UTF8
#include <ZXing/ReadBarcode.h>

#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QString>

#include <ostream>
#include <string>

// What zxing-cpp reads in a picture: the symbology's name and the text, or an empty name.
struct Decoded {
    std::string format;
    std::string text;
    bool operator==(const Decoded &) const = default;
};

inline void PrintTo(const Decoded &decoded, std::ostream *out)
{
    *out << (decoded.format.empty() ? "nothing read" : decoded.format + " \"" + decoded.text + "\"");
}

inline Decoded decodeBarcode(const QImage &picture, const ZXing::DecodeHints &hints)
{
    // On white, as paper shows a transparent edge.
    QImage flat(picture.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QImage pixels = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    pixels.setDevicePixelRatio(1.0); // every pixel, not the picture's size in points
    {
        QPainter painter(&flat);
        painter.drawImage(QPoint(0, 0), pixels);
    }
    const QImage grey = flat.convertToFormat(QImage::Format_Grayscale8);
    const ZXing::Result result = ZXing::ReadBarcode(
        ZXing::ImageView(grey.constBits(), grey.width(), grey.height(), ZXing::ImageFormat::Lum,
                         static_cast<int>(grey.bytesPerLine())),
        hints);
    if (!result.isValid())
        return {};
    return {ZXing::ToString(result.format()), result.text()};
}

// Code 39 extended mode only when asked for; Codabar start and stop characters kept, which the reader
// drops by default.
inline Decoded decodeBarcode(const QImage &picture, ZXing::BarcodeFormats formats, bool code39Extended = false)
{
    return decodeBarcode(picture, ZXing::DecodeHints()
                                      .setFormats(formats)
                                      .setTryHarder(true)
                                      .setTryCode39ExtendedMode(code39Extended)
                                      .setReturnCodabarStartEnd(true));
}

// What a command-line reader prints for a picture file, without the line end.
inline QString readerOutput(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        return QStringLiteral("(reader did not finish)");
    QByteArray out = process.readAllStandardOutput();
    if (out.endsWith('\n'))
        out.chop(1);
    return QString::fromUtf8(out);
}
