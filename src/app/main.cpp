#include "core/AppState.h"
#include "platform/ui/DesktopUiServices.h"
#include "document/SKTDocument.h"
#include "window/SKTWindowController.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // The per-user data folder is named after the program, without spaces.
    QApplication::setApplicationName(QStringLiteral("card-designer"));
    QApplication::setApplicationDisplayName(App().App_Name);
    platform::installUiServices(std::make_unique<platform::DesktopUiServices>());

    // One untitled document, whose window controller is the design window.
    SKTDocument document;
    const std::unique_ptr<SKTWindowController> controller = SKTWindowController::makeWindowControllers(document);
    // Shown from the event loop, so that a start sequence that ends the program can end the loop.
    QTimer::singleShot(0, controller.get(), [&controller] { controller->showWindow(); });
    return app.exec();
}
