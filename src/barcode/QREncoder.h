#pragma once

#include "barcode/DataMatrix.h"
#include "barcode/QR_Encode.h"

#include <QByteArrayView>
#include <QImage>
#include <QString>

#include <array>
#include <optional>

namespace qr_detail {

// The most characters of one mode that fit (version, level) as one segment, after `headerBits`.
constexpr std::array<qint64, 160> characterCapacities(quint8 mode, qint64 headerBits = 0)
{
    std::array<qint64, 160> table{};
    const qint64 bytesPerChar = mode == CQR_Encode::QR_MODE_KANJI ? 2 : 1;
    for (int v = 1; v <= 40; ++v) {
        const qint64 group = v >= 27 ? CQR_Encode::QR_VRESION_L
            : v >= 10                ? CQR_Encode::QR_VRESION_M
                                     : CQR_Encode::QR_VRESION_S;
        for (int level = 0; level < 4; ++level) {
            const qint64 bits = data_bit_size_array[static_cast<std::size_t>((v - 1) * 4 + level)] - headerBits;
            // From the count the data bits alone would allow, down to the first that fits with its headers.
            qint64 chars = mode == CQR_Encode::QR_MODE_NUMERAL ? bits * 3 / 10 + 1
                : mode == CQR_Encode::QR_MODE_ALPHABET         ? bits * 2 / 11 + 1
                : mode == CQR_Encode::QR_MODE_8BIT             ? bits / 8
                                                               : bits / 13;
            while (chars > 0 && CQR_Encode::GetBitLength(mode, chars * bytesPerChar, group) > bits)
                --chars;
            table[static_cast<std::size_t>((v - 1) * 4 + level)] = chars;
        }
    }
    return table;
}

} // namespace qr_detail

// Turns a QR barcode's value into its picture: the capacity check, the symbol, its module grid and the
// square picture of the grid. Class methods only; safe on any thread.
class QREncoder {
public:
    // Characters of each data mode that fit (version, level), indexed (version - 1) * 4 + level.
    static constexpr std::array<qint64, 160> QR_Numric_size_array =
        qr_detail::characterCapacities(CQR_Encode::QR_MODE_NUMERAL);
    static constexpr std::array<qint64, 160> QR_AlphaNumric_size_array =
        qr_detail::characterCapacities(CQR_Encode::QR_MODE_ALPHABET);
    static constexpr std::array<qint64, 160> QR_8_BIT_size_array =
        qr_detail::characterCapacities(CQR_Encode::QR_MODE_8BIT);
    static constexpr std::array<qint64, 160> QR_Kanji_size_array =
        qr_detail::characterCapacities(CQR_Encode::QR_MODE_KANJI);
    // Bytes after the ECI header that says they are UTF-8.
    static constexpr std::array<qint64, 160> QR_UTF8_size_array =
        qr_detail::characterCapacities(CQR_Encode::QR_MODE_8BIT, CQR_Encode::QR_ECI_BITS);

    // The grid of the text's UTF-8 bytes (byte mode for everything beyond alphanumeric data), led by
    // the UTF-8 ECI where the text is not plain ASCII: without it readers take the bytes for ISO-8859-1
    // or guess. `level` 0 to 3 is L, M, Q, H; `version` 0 picks the smallest version that holds the
    // text, 1 to 40 asks for that one and refuses a text longer than its capacity. Nothing for an empty
    // text, a text that does not fit, or settings out of range.
    static std::optional<DataMatrix> encodeWithECLevel(int level, int version, const QString &string);
    // The same for raw bytes; `shiftJIS` says that they are Shift JIS text, whose Kanji then take
    // Kanji mode, and `eci` (0 to 127, or -1 for none) names their character set to readers.
    static std::optional<DataMatrix> encodeCStringWithECLevel(int level, int version, QByteArrayView cstring,
                                                              bool shiftJIS = false, int eci = -1);

    // The grid drawn on a transparent square of `imageDimension` pixels (RGBA, not premultiplied):
    // whole pixels per module, black on opaque white, centred; the rounding remainder is the margin. It
    // carries no resolution of its own, so it measures `imageDimension` points. A null picture for an
    // empty grid and for a side too small to give each module a pixel.
    static QImage renderDataMatrix(const DataMatrix &matrix, int imageDimension);
    // The same with `modulePixels` a module (the square at least the grid's), the rest the margin.
    static QImage renderDataMatrix(const DataMatrix &matrix, int imageDimension, int modulePixels);
};
