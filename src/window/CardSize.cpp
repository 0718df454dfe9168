// Card size presets and the one size of the three canvases.

#include "platform/ui/StepperSpinBox.h"
#include "window/SKTWindowController.h"

#include "canvas/ui/SKTGraphicView.h"
#include "canvas/ui/SKTZoomingScrollView.h"
#include "properties/ui/CardSettingsTab.h"
#include "properties/ui/CardSizeChoice.h"


#include <cmath>

namespace {

struct PresetInches {
    float first;
    float second;
};

// By list index; the first and second values are the card's two sides as the presets list them.
constexpr PresetInches kPvcPresets[] = {{3.37f, 2.13f}, {3.31f, 2.06f}, {3.62f, 2.38f}, {3.88f, 2.62f},
                                        {3.5f, 1.75f},  {3.25f, 2.34f}, {2.88f, 2.12f}};
constexpr PresetInches kPaperPresets[] = {{2.36f, 1.58f}, {2.95f, 1.58f}, {2.95f, 1.58f}, {3.54f, 2.13f},
                                          {3.54f, 2.36f}, {2.36f, 3.54f}, {3.94f, 4.09f}, {5.91f, 4.96f}};

// The largest page a PDF can hold, 200 inches: far beyond any card, and small enough that the canvas
// at its greatest zoom still has a size in whole pixels.
constexpr double kMaxCanvasPoints = 14400.0;

float toMillimetres(float inches)
{
    return static_cast<float>(static_cast<double>(inches) * 25.4);
}

} // namespace

QSizeF SKTWindowController::cardPresetSize(const QString &category, const QString &preset, int list_index) const
{
    return Get_My_card_Size(category, preset, list_index);
}

QSizeF SKTWindowController::Get_My_card_Size(const QString &category, const QString &preset, int list_index)
{
    // A list index without a row (none selected, or past the end) keeps the small default card:
    // scaling the default as if it were inches would give a card of 762 mm.
    float first = 30.0f;
    float second = 30.0f;
    const bool pvc = category == QLatin1String("PVC Card");
    const int rows = pvc ? static_cast<int>(std::size(kPvcPresets)) : static_cast<int>(std::size(kPaperPresets));
    if (list_index >= 0 && list_index < rows) {
        const PresetInches &row = pvc ? kPvcPresets[list_index] : kPaperPresets[list_index];
        first = toMillimetres(row.first);
        second = toMillimetres(row.second);
    }
    if (preset == QLatin1String("V"))
        return QSizeF(second, first);
    return QSizeF(first, second);
}

void SKTWindowController::Set_Card_Size_In_Control(const QSizeF &millimetres)
{
    if (!card_setting_tab)
        return;
    showCardMillimetres(*card_setting_tab->width_Stepper, *card_setting_tab->height_Stepper, millimetres);
}

void SKTWindowController::SetDocumentCanvasSize(const QSizeF &points)
{
    // A size read from a design file is checked here too: NaN and infinities fail both tests.
    if (!(points.width() > 0.0 && points.height() > 0.0 && points.width() <= kMaxCanvasPoints &&
          points.height() <= kMaxCanvasPoints))
        return;
    applyCanvasSize(points);
    Refresh_Canvas();
}

void SKTWindowController::applyCanvasSize(const QSizeF &points)
{
    // The centring clip views re-centre the card on these changes.
    SKTGraphicView *canvases[3] = {_graphicView, _graphicView_BACK, _graphicView_TEMP};
    SKTZoomingScrollView *scrolls[3] = {_zoomingScrollView, _zoomingScrollView_BACK, _zoomingScrollView_TEMP};
    for (int i = 0; i < 3; ++i) {
        if (canvases[i])
            canvases[i]->setCanvasSize(points);
        if (scrolls[i])
            scrolls[i]->setDocumentSize(points);
    }
}
