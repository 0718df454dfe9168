// The makers of the 2-D rows of the symbology table: the QR Code, PDF417 and Data Matrix drawings of
// a value with a barcode's own settings.

#include "barcode/BarcodeGenerator.h"

#include "barcode/BarcodeSizing.h"
#include "barcode/Draw_DataMatrix_Barcode.h"
#include "barcode/QREncoder.h"
#include "barcode/pdf417View.h"

#include "core/ImageHelpers.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// Well past any card; a size read from a damaged file stops here rather than asking for gigabytes.
constexpr int kMostQrSide = 2000;

std::optional<DataMatrix> qrGrid(const BarcodeSettings &settings, const QString &value)
{
    if (!Barcode_Symbology_Of(Symbology::QRCode).mayHold(value))
        return std::nullopt;
    return QREncoder::encodeWithECLevel(settings.qr_ec_index, settings.qr_version_index, value);
}

// The QR symbol as the earlier builds drew it: a square of the size set (of the modules, where more),
// modules of whole points centred in it, each module's edges on the pixels nearest its points.
QImage earlierQrSymbol(const BarcodeSettings &settings, const QString &value, QSizeF *area)
{
    const std::optional<DataMatrix> grid = qrGrid(settings, value);
    if (!grid)
        return {};
    const int side = std::max(static_cast<int>(grid->dimension()), std::min(settings.qr_size_val, kMostQrSide));
    *area = QSizeF(side, side);
    const QImage symbol = QREncoder::renderDataMatrix(*grid, side);
    return symbol.isNull() ? symbol : Increase_DPI(symbol, settings);
}

// The PDF417 symbol as the earlier builds drew it: stretched over its frame, without a quiet zone.
QImage earlierPdf417Symbol(const BarcodeSettings &settings, const QString &value, QSizeF *area)
{
    *area = QSizeF(settings.pdf_wdt_val, settings.pdf_hgt_val);
    pdf417View view(*area);
    view.setStretched(true);
    if (settings.pdf_ec_val != view.getErrorLevel())
        view.setErrorLevel(settings.pdf_ec_val);
    if (view.drawWithText(value, settings.USED_DPI_VALUE()) != pdf417View::Drawn)
        return {};
    return view.getImage();
}

} // namespace

QImage Barcode_2D_Earlier_Symbol(const BarcodeSettings &settings, const QString &value, QSizeF *area)
{
    const Barcode_Symbology *symbology = settings.symbology();
    *area = QSizeF();
    if (!symbology || !symbology->mayHold(value))
        return {};
    switch (symbology->id) {
    case Symbology::QRCode:
        return earlierQrSymbol(settings, value, area);
    case Symbology::PDF417:
        return earlierPdf417Symbol(settings, value, area);
    default:
        return {};
    }
}

QSizeF Barcode_2D_Earlier_Area(const BarcodeSettings &settings)
{
    const Barcode_Symbology *symbology = settings.symbology();
    if (symbology && symbology->id == Symbology::QRCode) {
        const int side = std::clamp(settings.qr_size_val, QR_Minimum_Size(1), kMostQrSide);
        return QSizeF(side, side);
    }
    if (symbology && symbology->id == Symbology::PDF417)
        return QSizeF(settings.pdf_wdt_val, settings.pdf_hgt_val);
    return {};
}

QImage QR_Code_Symbol(const BarcodeSettings &settings, const QString &value)
{
    const std::optional<DataMatrix> grid = qrGrid(settings, value);
    if (!grid)
        return {};
    // A record's value may need a larger version than the size was chosen for: a point per module
    // at least, so that every record gets its symbol. Each module whole pixels at the resolution, never
    // narrower than the size gives it, and the quiet zone transparent around the grid.
    const int modules = static_cast<int>(grid->dimension());
    const int side = std::max(modules, std::min(settings.qr_size_val, kMostQrSide));
    const double dpi = settings.USED_DPI_VALUE();
    const auto modulePixels = static_cast<int>(std::lround(Whole_Pixels_Points(static_cast<double>(side / modules), dpi) * dpi / 72.0));
    const auto quiet = static_cast<int>(Barcode_Symbology_Of(Symbology::QRCode).quietZone.left);
    const int pixels = (modules + 2 * quiet) * modulePixels;
    QImage symbol = QREncoder::renderDataMatrix(*grid, pixels, modulePixels);
    if (symbol.isNull())
        return symbol;
    setImageSizeInPoints(symbol, QSizeF(pixels, pixels) * (72.0 / dpi));
    return symbol;
}

QImage PDF417_Symbol(const BarcodeSettings &settings, const QString &value)
{
    pdf417View view(QSizeF(settings.pdf_wdt_val, settings.pdf_hgt_val));
    if (settings.pdf_ec_val != view.getErrorLevel())
        view.setErrorLevel(settings.pdf_ec_val);
    if (view.drawWithText(value, settings.USED_DPI_VALUE()) != pdf417View::Drawn)
        return {};
    const QImage symbol = view.getImage();
    if (symbol.isNull() || view.moduleColumns() <= 0)
        return symbol;
    // Its quiet zone, transparent, on every side.
    const int quiet = static_cast<int>(Barcode_Symbology_Of(Symbology::PDF417).quietZone.left) *
                      (symbol.width() / view.moduleColumns());
    QImage grounded(symbol.width() + 2 * quiet, symbol.height() + 2 * quiet, QImage::Format_ARGB32_Premultiplied);
    if (grounded.isNull())
        return {};
    grounded.fill(Qt::transparent);
    QPainter(&grounded).drawImage(QRect(quiet, quiet, symbol.width(), symbol.height()), symbol);
    const QSizeF points = imageSizeInPoints(symbol);
    setImageSizeInPoints(grounded, QSizeF(points.width() * grounded.width() / symbol.width(),
                                          points.height() * grounded.height() / symbol.height()));
    return grounded;
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
