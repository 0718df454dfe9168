#include "core/AppState.h"
#include "platform/ui/DesktopUiServices.h"
#include "document/SKTDocument.h"
#include "window/SKTWindowController.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char **argv)
{
    // Without a screen Qt would abort with advice to reinstall; say what is missing instead.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fputs("Card Designer needs a graphical session: no display was found (DISPLAY and "
                   "WAYLAND_DISPLAY are not set).\n",
                   stderr);
        return 1;
    }
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
