#pragma once

#define ZX_USE_UTF8
#include <ZXing/ReadBarcode.h>

#include <QByteArray>
#include <QImage>
#include <QPainter>

#include <cstdint>
#include <optional>
#include <random>

// Reads the one symbol of `format` in a picture with an independent decoder. The picture is laid on
// white with a margin first, as the barcode frame places it, and read pixel for pixel. `ecLevel`
// receives the error-correction level the decoder found. A `pure` picture holds nothing but the
// symbol, which the decoder then reads without searching for it.
inline std::optional<QByteArray> readSymbol(const QImage &picture, ZXing::BarcodeFormat format,
                                            std::string *ecLevel = nullptr, int margin = 12, bool pure = false)
{
    QImage pixels = picture;
    pixels.setDevicePixelRatio(1.0);
    QImage page(pixels.width() + 2 * margin, pixels.height() + 2 * margin, QImage::Format_Grayscale8);
    page.fill(255);
    {
        QPainter painter(&page);
        painter.drawImage(margin, margin, pixels);
    }
    ZXing::DecodeHints hints;
    hints.setFormats(format);
    hints.setIsPure(pure);
    const ZXing::Result result = ZXing::ReadBarcode(
        ZXing::ImageView(page.constBits(), page.width(), page.height(), ZXing::ImageFormat::Lum,
                         static_cast<int>(page.bytesPerLine())),
        hints);
    if (!result.isValid())
        return std::nullopt;
    if (ecLevel)
        *ecLevel = result.ecLevel();
    return QByteArray(reinterpret_cast<const char *>(result.bytes().data()),
                      static_cast<qsizetype>(result.bytes().size()));
}

// Test texts of one kind, of a byte length in [1, maxBytes], from a fixed seed.
// Upper and Lower favour Data Matrix's C40 and Text: letters of one case, digits, some punctuation.
enum class TextKind { Ascii, Digits, Utf8, Binary, Upper, Lower };

inline QByteArray randomBytes(std::mt19937 &rng, TextKind kind, int maxBytes)
{
    const int target = std::uniform_int_distribution<int>(1, maxBytes)(rng);
    const auto pick = [&rng](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };
    QByteArray out;
    while (out.size() < target) {
        const int r = pick(0, 99);
        QByteArray piece;
        switch (kind) {
        case TextKind::Ascii:
            piece.append(r < 3 ? "\t\r\n"[pick(0, 2)] : static_cast<char>(pick(32, 126)));
            break;
        case TextKind::Digits:
            if (r < 70)
                piece = QByteArray::number(pick(0, 999999999)) + QByteArray::number(pick(0, 99999));
            else
                piece.append(static_cast<char>(pick(r < 90 ? 'a' : ' ', 'z')));
            break;
        case TextKind::Utf8: {
            static const char32_t others[] = {U'é', U'ü', U'ß', U'€', U'中', U'Ω', U'ñ', U'😀'};
            if (r < 25) {
                const char32_t c = others[pick(0, 7)];
                piece = QString::fromUcs4(&c, 1).toUtf8();
            } else {
                piece.append(static_cast<char>(pick(32, 126)));
            }
            break;
        }
        case TextKind::Binary:
            piece.append(static_cast<char>(pick(0, 255)));
            break;
        case TextKind::Upper:
        case TextKind::Lower:
            piece.append(static_cast<char>(r < 60   ? pick(0, 25) + (kind == TextKind::Upper ? 'A' : 'a')
                                           : r < 85 ? pick('0', '9')
                                           : r < 93 ? ' '
                                                    : pick(33, 64)));
            break;
        }
        if (out.size() + piece.size() > target) {
            if (!out.isEmpty())
                break;
            piece = kind == TextKind::Utf8 ? QByteArray("x") : piece.left(target);
        }
        out += piece;
    }
    return out;
}
