#pragma once

#include "document/SKTGraphic.h"

// What showing the properties panel changes in the design window beyond the panel: the tool, the
// current side's selection and the object command buttons. The design window implements it.
class PanelWindow {
public:
    virtual ~PanelWindow() = default;

    virtual void selectArrowTool() = 0;
    // Deselects every object of the current side.
    virtual void clearCurrentSelection() = 0;
    // The shared object behind `graphic`, so the panel can remember it without keeping it alive.
    virtual SKTGraphicPtr sharedGraphic(const SKTGraphic *graphic) const = 0;
    // The front canvas's selection holds the main photo or the frame picture (asked on either side).
    virtual bool frontSelectionHoldsFramePicture() const = 0;

    // The object command buttons for what the panel shows.
    virtual void Enable_Standard_Button_For_Control() = 0;
    virtual void Enable_Standard_Button_For_Unlock() = 0;
    virtual void Disable_Standard_Button_For_Card() = 0;
    virtual void Disable_Standard_Button_For_Lock() = 0;
    // Bring to front, send to back, lock and unlock together.
    virtual void setArrangeAndLockButtonsEnabled(bool enabled) = 0;
};
