#include "barcode/QREncoder.h"

#include "barcode/BarcodeEci.h"
#include "core/MessageBoxes.h"

#include <cstring>
#include <exception>
#include <memory>

namespace {

qint64 capacity(quint8 mode, int version, int level, bool eci)
{
    const auto index = static_cast<std::size_t>((version - 1) * 4 + level);
    switch (mode) {
    case CQR_Encode::QR_MODE_NUMERAL:
        return QREncoder::QR_Numric_size_array[index];
    case CQR_Encode::QR_MODE_ALPHABET:
        return QREncoder::QR_AlphaNumric_size_array[index];
    case CQR_Encode::QR_MODE_8BIT:
        return eci ? QREncoder::QR_UTF8_size_array[index] : QREncoder::QR_8_BIT_size_array[index];
    default:
        return QREncoder::QR_Kanji_size_array[index];
    }
}

} // namespace

std::optional<DataMatrix> QREncoder::encodeWithECLevel(int level, int version, const QString &string)
{
    const QByteArray bytes = string.toUtf8();
    return encodeCStringWithECLevel(level, version, bytes, false, Utf8_Eci_For(bytes));
}

std::optional<DataMatrix> QREncoder::encodeCStringWithECLevel(int level, int version, QByteArrayView cstring,
                                                              bool shiftJIS, int eci)
{
    if (level < 0 || level > 3 || version < 0 || version > 40 || cstring.isEmpty() || eci < -1 || eci > 127)
        return std::nullopt;
    try {
        const qint64 n = cstring.size();
        const quint8 mode = CQR_Encode::Get_Encoding_Mode(cstring.data(), n, shiftJIS);
        // Kanji capacities count characters, a pair of bytes each.
        qint64 characters = n;
        if (mode == CQR_Encode::QR_MODE_KANJI) {
            const auto *bytes = reinterpret_cast<const unsigned char *>(cstring.data());
            for (qint64 i = 0; i + 1 < n; ++i)
                if (CQR_Encode::IsKanjiData(bytes[i], bytes[i + 1])) {
                    --characters;
                    ++i;
                }
        }
        if (characters > capacity(mode, version == 0 ? 40 : version, level, eci >= 0))
            return std::nullopt;

        // About 100 KB: off the stack.
        const auto encoder = std::make_unique<CQR_Encode>();
        if (!encoder->EncodeData(level, version, true, -1, cstring.data(), n, shiftJIS, eci))
            return std::nullopt;
        const qint64 size = encoder->m_nSymbleSize;
        DataMatrix matrix(size);
        for (qint64 x = 0; x < size; ++x)
            for (qint64 y = 0; y < size; ++y)
                matrix.set(encoder->m_byModuleData[x][y] == 1 ? 1 : 0, x, y);
        return matrix;
    } catch (const std::exception &e) {
        Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
        return std::nullopt;
    }
}

QImage QREncoder::renderDataMatrix(const DataMatrix &matrix, int imageDimension)
{
    const qint64 n = matrix.dimension();
    return n > 0 ? renderDataMatrix(matrix, imageDimension, static_cast<int>(imageDimension / n)) : QImage();
}

QImage QREncoder::renderDataMatrix(const DataMatrix &matrix, int imageDimension, int modulePixels)
{
    const qint64 n = matrix.dimension();
    const qint64 side = imageDimension;
    const qint64 scale = modulePixels;
    if (n <= 0 || scale < 1 || side < scale * n)
        return {};
    const qint64 margin = (side - scale * n) / 2;

    QImage image(static_cast<int>(side), static_cast<int>(side), QImage::Format_RGBA8888);
    if (image.isNull())
        return {};

    static constexpr uchar kDark[4] = {0, 0, 0, 255};
    static constexpr uchar kLight[4] = {255, 255, 255, 255};
    static constexpr uchar kMargin[4] = {255, 255, 255, 0};
    const auto fillPixels = [](uchar *line, qint64 count, const uchar(&rgba)[4]) {
        for (qint64 i = 0; i < count; ++i, line += 4)
            std::memcpy(line, rgba, 4);
    };

    const qint64 top = margin, bottom = side - scale * n - margin;
    for (qint64 y = 0; y < top; ++y)
        fillPixels(image.scanLine(static_cast<int>(y)), side, kMargin);
    for (qint64 row = 0; row < n; ++row) {
        const qint64 y = top + row * scale;
        uchar *line = image.scanLine(static_cast<int>(y));
        fillPixels(line, margin, kMargin);
        for (qint64 x = 0; x < n; ++x)
            fillPixels(line + 4 * (margin + x * scale), scale, matrix.valueAt(x, row) ? kDark : kLight);
        fillPixels(line + 4 * (margin + n * scale), side - n * scale - margin, kMargin);
        for (qint64 k = 1; k < scale; ++k)
            std::memcpy(image.scanLine(static_cast<int>(y + k)), line, static_cast<std::size_t>(4 * side));
    }
    for (qint64 y = side - bottom; y < side; ++y)
        fillPixels(image.scanLine(static_cast<int>(y)), side, kMargin);
    return image;
}
