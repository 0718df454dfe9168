#include "properties/PanelWriteBack.h"

#include "core/AppState.h"
#include "properties/PanelDesign.h"

bool writeToSelection(PanelDesign &design, const std::function<void(SKTGraphic &)> &write)
{
    if (App().Not_Draw_Only_Prop_Change)
        return false;
    const GraphicList selected = design.selectedGraphics();
    if (selected.isEmpty())
        return false;
    for (const SKTGraphicPtr &graphic : selected)
        write(*graphic);
    design.Refresh_Canvas();
    return true;
}
