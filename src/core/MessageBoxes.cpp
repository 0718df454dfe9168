#include "core/MessageBoxes.h"

#include "core/AppState.h"
#include "platform/Log.h"
#include "platform/SafeFileWriter.h"
#include "platform/UiServices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <exception>

namespace {

// Runs `body` on the GUI thread and waits for it. A blocking hand-off from the GUI thread itself
// would deadlock, so that case (and the case of no application) runs it in place.
template <typename Body>
void onGuiThread(Body &&body)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread())
        body();
    else
        QMetaObject::invokeMethod(app, std::forward<Body>(body), Qt::BlockingQueuedConnection);
}

// Exceptions must not cross the event loop of a queued call, so they are caught where they arise.
template <typename Body>
void guarded(Body &&body)
{
    Log_Exceptions(std::forward<Body>(body));
}

QString joinPath(const QString &folder, const QString &name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

void createFolder(const QString &path)
{
    // Made with the default mode filtered by the user's umask: data folders must not be
    // world-writable.
    if (path.isEmpty())
        return;
    if (const QString problem = platform::makeFolders(path); !problem.isEmpty())
        platform::writeLog(problem);
}

} // namespace

void Show_MessageBox(const QString &message)
{
    guarded([&] {
        const QString text = QLatin1Char('\n') + message;
        onGuiThread([&] { guarded([&] { platform::uiServices().showMessage(text); }); });
    });
}

bool Show_YES_NO_MessageBox(const QString &question)
{
    return Show_YES_NO_Cancel_MessageBox(question) == platform::UiServices::Answer::Yes;
}

platform::UiServices::Answer Show_YES_NO_Cancel_MessageBox(const QString &question)
{
    // The answer lives on the caller's stack, so concurrent askers cannot see each other's answer.
    auto answer = platform::UiServices::Answer::Cancelled;
    guarded([&] { onGuiThread([&] { guarded([&] { answer = platform::uiServices().askYesNo(question); }); }); });
    return answer;
}

platform::UiServices::Answer Show_YES_NO_Cancel_Shown_MessageBox(const QString &question)
{
    auto answer = platform::UiServices::Answer::Cancelled;
    guarded([&] { onGuiThread([&] { guarded([&] { answer = platform::uiServices().askYesNoCancel(question); }); }); });
    return answer;
}

void Show_MessageBox_No_Thread(const QString &message)
{
    guarded([&] { platform::uiServices().showMessage(QLatin1Char('\n') + message); });
}

void Show_NSLog_Message(const QString &text)
{
    if (!text.isEmpty())
        platform::writeLog(text);
}

void Delete_File(const QString &path)
{
    if (path.isEmpty())
        return;
    // A link is removed itself, never the folder it points to.
    guarded([&] {
        if (const QString problem = platform::removeSafely(path, platform::Removing::AFolderToo); !problem.isEmpty())
            platform::writeLog(problem);
    });
}

void Check_Path_And_Create_Files()
{
    guarded([] {
        const AppState &app = App();
        createFolder(app.Data_Folder_Path);
        // An unset resources folder would put these in the working directory.
        if (app.Resource_Path.isEmpty())
            return;
        for (const char *name : {"Frames", "Fill_Style_Image", "LibraryImage", "Templates", "Templates/User"})
            createFolder(joinPath(app.Resource_Path, QString::fromLatin1(name)));
    });
}

void Open_Help_File()
{
    const QString path = joinPath(App().Resource_Path, QStringLiteral("Help.pdf"));
    if (!App().Resource_Path.isEmpty() && QFileInfo::exists(path))
        Open_With_Desktop(path);
    else
        Show_MessageBox(QStringLiteral("Help file does not exist!"));
}

void Open_With_Desktop(const QString &path)
{
    bool opened = false;
    onGuiThread([&] { guarded([&] { opened = platform::uiServices().openPath(path); }); });
    if (!opened)
        Show_MessageBox(QStringLiteral("%1 %2 could not be opened: no program to open it could be started. You can open "
                                       "it from your file manager.")
                            .arg(QFileInfo(path).isDir() ? QStringLiteral("The folder") : QStringLiteral("The file"),
                                 QDir::toNativeSeparators(path)));
}
