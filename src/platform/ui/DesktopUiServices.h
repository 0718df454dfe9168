#pragma once

#include "platform/UiServices.h"

#include <QList>

class QMessageBox;

namespace platform {

// Dialogs of the desktop (QMessageBox, QFileDialog, QDesktopServices).
class DesktopUiServices : public UiServices {
public:
    void showMessage(const QString &text) override;
    Answer askYesNo(const QString &question) override;
    Answer askYesNoCancel(const QString &question) override;
    void closeQuestion(const QString &question) override;
    QString chooseFileToOpen(const QString &title, const QString &directory,
                             const QStringList &extensions) override;
    QStringList chooseFilesToOpen(const QString &title, const QString &directory,
                                  const QStringList &extensions) override;
    QString chooseFolder(const QString &title, const QString &directory) override;
    QString chooseFileToSave(const QString &title, const QString &directory, const QString &suggestedName,
                             const QStringList &extensions) override;
    SavePanelChoice chooseFileToSaveInFormat(const QString &title, const QString &directory,
                                             const QString &suggestedName, const QStringList &formats) override;
    bool openPath(const QString &path) override;
    bool openUrl(const QUrl &url) override;
    void terminate(int exitCode) override;

private:
    Answer ask(const QString &question, bool cancelShown);

    QList<QMessageBox *> m_questions; // those up, the innermost last
};

} // namespace platform
