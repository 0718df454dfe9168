#include "platform/PointTextLayout.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPaintDevice>
#include <QScreen>

#include <climits>

namespace {

// The resolution Qt lays text out at when no device is named: 96 when the application asks for
// it, else the primary screen's logical resolution in whole dots, else 100 before there is a screen.
int defaultDpiY()
{
    if (QCoreApplication::testAttribute(Qt::AA_Use96Dpi))
        return 96;
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        return qRound(screen->logicalDotsPerInchY());
    return 100;
}

// Only asked for its resolution, which is Qt's default one: absolute letter spacing is scaled by
// this resolution over the default one in whole numbers, so any other resolution would lose or
// multiply the kerning.
class LayoutDevice final : public QPaintDevice {
public:
    QPaintEngine *paintEngine() const override { return nullptr; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
        case PdmHeight: return 100000;
        case PdmWidthMM:
        case PdmHeightMM: return 100000 * 254 / (10 * defaultDpiY());
        case PdmNumColors: return INT_MAX;
        case PdmDepth: return 32;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY: return defaultDpiY();
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return static_cast<int>(devicePixelRatioFScale());
        default: return 0;
        }
    }
};

} // namespace

namespace PointTextLayout {

QFont font(const QFont &font, float kerning, PairKerning pairKerning)
{
    QFont f = font;
    // The device turns points into pixels at its resolution: scale so that one pixel is one point.
    if (f.pointSizeF() > 0)
        f.setPointSizeF(f.pointSizeF() * 72.0 / device()->logicalDpiY());
    f.setHintingPreference(QFont::PreferNoHinting);
    if (pairKerning == NoPairKerning)
        f.setKerning(false);
    if (kerning != 0.0f)
        f.setLetterSpacing(QFont::AbsoluteSpacing, kerning);
    return f;
}

const QPaintDevice *device()
{
    static const LayoutDevice layoutDevice;
    return &layoutDevice;
}

} // namespace PointTextLayout
