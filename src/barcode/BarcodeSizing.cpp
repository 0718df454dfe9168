#include "barcode/BarcodeSizing.h"

#include "barcode/Barcode_2D_Frame.h"
#include "barcode/NKDBarcode.h"
#include "core/ImageHelpers.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kPointsPerInch = 72.0f;
// Room beside the bars, on top of the left and right margins, whenever there are margins.
constexpr float kSideAllowance = 15.0f;

float totalWidth(const BarcodeSettings &settings, float headerWidth, float footerWidth, float content)
{
    const float header = settings.printsHeader() ? headerWidth : 0.0f;
    const float footer = settings.printsFooter() ? footerWidth : 0.0f;
    const float margin = Barcode_Margins_Of(settings).LR_margin;
    const float widest = std::max({header, footer, content});
    return widest + 2.0f * margin + (margin > 0.0f ? kSideAllowance : 0.0f);
}

} // namespace

void Set_Barcode_Height(const BarcodeSettings &settings, NKDBarcode &barcode)
{
    const Barcode_Margins margins = Barcode_Margins_Of(settings);
    const auto barHeight = static_cast<float>(Centimetres_To_Points(settings.linear_height_val));
    barcode.setHeight(barHeight + (barcode.printsCaption()
                                       ? barcode.captionHeight() * kPointsPerInch + margins.value_margin
                                       : 0.0f));
    if (barcode.printsHeader())
        barcode.setHeight(barcode.height() + barcode.headerHeight() * kPointsPerInch + margins.header_margin);
    if (barcode.printsFooter())
        barcode.setHeight(barcode.height() + barcode.footerHeight() * kPointsPerInch + margins.footer_margin);
    barcode.setHeight(barcode.height() + margins.TB_margin * 2.0f);
}

float Set_Linear_Barcode_Width(const BarcodeSettings &settings, const NKDBarcode &barcode)
{
    return totalWidth(settings, barcode.headerWidth(), barcode.footerWidth(), barcode.width());
}

void Set_2d_Barcode_Height(const BarcodeSettings &settings, Barcode_2D_Frame &frame, const QSizeF &symbol)
{
    const Barcode_Margins margins = Barcode_Margins_Of(settings);
    const float header = settings.printsHeader() ? frame.headerHeight() * kPointsPerInch : 0.0f;
    const float footer = settings.printsFooter() ? frame.footerHeight() * kPointsPerInch : 0.0f;
    const auto symbolHeight = static_cast<float>(symbol.height());
    frame.setHeight(symbolHeight + header + margins.header_margin + footer + margins.footer_margin +
                    2.0f * margins.TB_margin);
}

void Set_2d_Barcode_Width(const BarcodeSettings &settings, Barcode_2D_Frame &frame, const QSizeF &symbol)
{
    const auto symbolWidth = static_cast<float>(symbol.width());
    frame.setWidth(totalWidth(settings, frame.headerWidth(), frame.footerWidth(), symbolWidth));
}

double Whole_Pixels_Points(double points, double dpi)
{
    const double perPoint = dpi / kPointsPerInch;
    return std::max(1.0, std::ceil(points * perPoint - 1e-4)) / perPoint;
}

QImage Increase_DPI(const QImage &symbol, const BarcodeSettings &settings)
{
    return Increase_DPI(symbol, static_cast<double>(settings.USED_DPI_VALUE()));
}
