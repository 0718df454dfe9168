#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <memory>

namespace platform {

// What a save panel with a choice of formats answers.
struct SavePanelChoice {
    QString path;   // as the user typed it; empty when cancelled
    QString format; // the offered format picked in the panel's box; empty when cancelled
};

// Everything that needs a person in front of a screen goes through here: message boxes, questions,
// file panels, opening files and links, and ending the program. Tests install a scripted one.
// All calls are made on the GUI thread (the core helpers hand calls from workers over).
class UiServices {
public:
    virtual ~UiServices() = default;

    enum class Answer { Yes, No, Cancelled };

    // One "OK" button; the text is shown as given.
    virtual void showMessage(const QString &text) = 0;
    // "Yes" (default) and "No". Escape or closing the box answers Cancelled, never No: a question
    // that guards the user's work then stops its command with nothing changed.
    virtual Answer askYesNo(const QString &question) = 0;
    // The same with "Cancel" shown beside them, for a question whose text offers it.
    virtual Answer askYesNoCancel(const QString &question) { return askYesNo(question); }
    // Closes `question` while it is being asked, as answered No: what it asks about was settled
    // meanwhile (a run that ended while the user was asked whether to stop it). Nothing when it is
    // not up. The question's askYesNo returns once the call that closed it has returned.
    virtual void closeQuestion(const QString &question) = 0;

    // File panels answer the chosen path, or an empty string when cancelled.
    // `filters` are extensions without the dot; empty means any file.
    virtual QString chooseFileToOpen(const QString &title, const QString &directory,
                                     const QStringList &extensions) = 0;
    virtual QStringList chooseFilesToOpen(const QString &title, const QString &directory,
                                          const QStringList &extensions) = 0;
    virtual QString chooseFolder(const QString &title, const QString &directory) = 0;
    virtual QString chooseFileToSave(const QString &title, const QString &directory,
                                     const QString &suggestedName, const QStringList &extensions) = 0;
    // A save panel that offers `formats` (extensions without the dot), the first one picked at the
    // start. The path keeps whatever extension the user typed: callers that write the picked
    // format give the path its extension themselves.
    virtual SavePanelChoice chooseFileToSaveInFormat(const QString &title, const QString &directory,
                                                     const QString &suggestedName, const QStringList &formats) = 0;

    // Opens a file with its default application, or a link in the browser.
    virtual bool openPath(const QString &path) = 0;
    virtual bool openUrl(const QUrl &url) = 0;

    // Asks the application to end with the given exit code.
    virtual void terminate(int exitCode) = 0;
};

// The extensions an open panel for a photo offers.
const QStringList &photoFileTypes();

// The service in use. Until the program installs the desktop's (platform/ui), a headless one that
// logs messages and answers every question and panel as cancelled.
UiServices &uiServices();
// Installs `services` and answers the one it replaces (so a test can put it back).
std::unique_ptr<UiServices> installUiServices(std::unique_ptr<UiServices> services);

} // namespace platform
