// The makers of the 2-D rows of the symbology table: the QR Code, PDF417 and Data Matrix drawings of
// a value with a barcode's own settings.

#include "barcode/BarcodeGenerator.h"

#include "barcode/BarcodeSizing.h"
#include "barcode/Draw_DataMatrix_Barcode.h"
#include "barcode/QREncoder.h"
#include "barcode/pdf417View.h"

#include <algorithm>

namespace {

// Well past any card; a size read from a damaged file stops here rather than asking for gigabytes.
constexpr int kMostQrSide = 2000;

std::optional<DataMatrix> qrGrid(const BarcodeSettings &settings, const QString &value)
{
    if (!Barcode_Symbology_Of(Symbology::QRCode).mayHold(value))
        return std::nullopt;
    return QREncoder::encodeWithECLevel(settings.qr_ec_index, settings.qr_version_index, value);
}

} // namespace

QImage QR_Code_Symbol(const BarcodeSettings &settings, const QString &value)
{
    const std::optional<DataMatrix> grid = qrGrid(settings, value);
    if (!grid)
        return {};
    // A record's value may need a larger version than the size was chosen for: a point per module
    // at least, so that every record gets its symbol.
    const int modules = static_cast<int>(grid->dimension());
    const int side = std::max(modules, std::min(settings.qr_size_val, kMostQrSide));
    const QImage symbol = QREncoder::renderDataMatrix(*grid, side);
    return symbol.isNull() ? symbol : Increase_DPI(symbol, settings);
}

QImage PDF417_Symbol(const BarcodeSettings &settings, const QString &value)
{
    pdf417View view(QSizeF(settings.pdf_wdt_val, settings.pdf_hgt_val));
    if (settings.pdf_ec_val != view.getErrorLevel())
        view.setErrorLevel(settings.pdf_ec_val);
    if (view.drawWithText(value, settings.USED_DPI_VALUE()) != pdf417View::Drawn)
        return {};
    return view.getImage();
}

QImage DataMatrix_Symbol(const BarcodeSettings &settings, const QString &value)
{
    return Draw_DataMatrix_Barcode(value, Data_Matrix_Format_Items().value(settings.dm_format_index),
                                   Data_Matrix_Encoding_Items().value(settings.dm_encoding_index),
                                   settings.dm_module_val, settings.USED_DPI_VALUE());
}

int QR_Minimum_Size(int version)
{
    return std::max(21, 4 * (std::min(version, 40) - 1) + 21);
}

int QR_Modules_For(const BarcodeSettings &settings, const QString &value)
{
    const std::optional<DataMatrix> grid = qrGrid(settings, value);
    return grid ? static_cast<int>(grid->dimension()) : 0;
}
