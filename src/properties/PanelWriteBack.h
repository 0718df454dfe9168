#pragma once

#include "document/SKTGraphic.h"

#include <functional>

class PanelDesign;

// The rule every object tab's write-back follows. Nothing happens while the panel is being filled
// (Not_Draw_Only_Prop_Change) or while nothing is selected on the current side; otherwise `write`
// runs for each selected object, front-most first, whatever its kind and lock, and the current
// side is redrawn. Answers whether anything was written.
bool writeToSelection(PanelDesign &design, const std::function<void(SKTGraphic &)> &write);
