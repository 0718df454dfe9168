#include "core/AppState.h"
#include "platform/ui/DesktopUiServices.h"
#include "document/SKTDocument.h"
#include "output/MailRun.h"
#include "platform/PictureReading.h"
#include "platform/PrivateFolder.h"
#include "window/SKTWindowController.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

QtMessageHandler g_qtMessages = nullptr;

// Qt aborts when no platform plugin can start, as when DISPLAY names a display nobody answers at:
// say what is missing and fail instead.
void noDisplayIsFatal(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtFatalMsg || !message.contains(QLatin1String("platform plugin"))) {
        if (g_qtMessages)
            g_qtMessages(type, context, message);
        return;
    }
    const QByteArray display = qgetenv("DISPLAY");
    std::fprintf(stderr,
                 "Card Designer needs a graphical session: the display could not be opened (DISPLAY is \"%s\"%s).\n",
                 display.constData(), qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ? "" : ", WAYLAND_DISPLAY is set");
    std::fflush(stderr);
    std::_Exit(1);
}

} // namespace

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
    g_qtMessages = qInstallMessageHandler(noDisplayIsFatal);
    QApplication app(argc, argv);
    qInstallMessageHandler(g_qtMessages);
    // Before any thread reads a picture, so that every road reads one the same way.
    platform::admitTheLargestPicture();
    // The per-user data folder is named after the program, without spaces.
    QApplication::setApplicationName(QStringLiteral("card-designer"));
    QApplication::setApplicationDisplayName(App().App_Name);
    platform::installUiServices(std::make_unique<platform::DesktopUiServices>());
    // The mail pictures killed runs left in the temporary folder: the only folders the program makes
    // there (workbooks are written in memory), so the only ones it takes.
    platform::PrivateFolder::sweepStale({kMailScratchPrefix});

    // One untitled document, whose window controller is the design window.
    SKTDocument document;
    const std::unique_ptr<SKTWindowController> controller = SKTWindowController::makeWindowControllers(document);
    // Shown from the event loop, so that a start sequence that ends the program can end the loop.
    QTimer::singleShot(0, controller.get(), [&controller] { controller->showWindow(); });
    return app.exec();
}
