#include "document/DrawingResources.h"

#include "core/AppState.h"
#include "core/DesignWindowHub.h"
#include "document/Shape_Control.h"

DrawingResources DrawingResources::ofProgram()
{
    const AppState &app = App();
    DrawingResources resources;
    if (const DesignWindowHub *hub = app.Main_App_wnd)
        resources.placeholder = hub->no_image();
    if (!app.Resource_Path.isEmpty())
        resources.hatchFolder = app.Resource_Path + QStringLiteral("Fill_Style_Image/");
    return resources;
}

QImage DrawingResources::hatchPattern(const QString &name) const
{
    return ShapePainting::hatchPattern(hatchFolder, name);
}
