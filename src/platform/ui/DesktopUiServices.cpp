#include "platform/ui/DesktopUiServices.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include <utility>

#include <algorithm>

namespace platform {

namespace {

QString nameFilter(const QStringList &extensions)
{
    if (extensions.isEmpty())
        return QString();
    QStringList patterns;
    for (const QString &ext : extensions)
        patterns << QStringLiteral("*.") + ext;
    return patterns.join(QLatin1Char(' '));
}

QString startPath(const QString &directory, const QString &suggestedName)
{
    if (suggestedName.isEmpty())
        return directory;
    return directory.isEmpty() ? suggestedName : directory + QLatin1Char('/') + suggestedName;
}

} // namespace

void DesktopUiServices::showMessage(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
}

UiServices::Answer DesktopUiServices::askYesNo(const QString &question)
{
    return ask(question, false);
}

UiServices::Answer DesktopUiServices::askYesNoCancel(const QString &question)
{
    return ask(question, true);
}

UiServices::Answer DesktopUiServices::ask(const QString &question, bool cancelShown)
{
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), question, QMessageBox::NoButton,
                    QApplication::activeWindow());
    QPushButton *yes = box.addButton(QStringLiteral("Yes"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("No"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    // Escape and the close button would otherwise press No. They press Cancel, seen only where the
    // question offers it.
    QPushButton *cancel = box.addButton(QMessageBox::Cancel);
    cancel->setVisible(cancelShown);
    box.setEscapeButton(cancel);
    m_questions.append(&box);
    box.exec();
    m_questions.removeOne(&box);
    if (box.clickedButton() == yes)
        return Answer::Yes;
    return box.clickedButton() == no ? Answer::No : Answer::Cancelled;
}

void DesktopUiServices::closeQuestion(const QString &question)
{
    for (QMessageBox *box : std::as_const(m_questions))
        if (box->text() == question)
            for (QAbstractButton *button : box->buttons())
                if (box->buttonRole(button) == QMessageBox::NoRole)
                    button->click();
}

QString DesktopUiServices::chooseFileToOpen(const QString &title, const QString &directory,
                                            const QStringList &extensions)
{
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), title, directory, nameFilter(extensions));
}

QStringList DesktopUiServices::chooseFilesToOpen(const QString &title, const QString &directory,
                                                 const QStringList &extensions)
{
    return QFileDialog::getOpenFileNames(QApplication::activeWindow(), title, directory, nameFilter(extensions));
}

QString DesktopUiServices::chooseFolder(const QString &title, const QString &directory)
{
    return QFileDialog::getExistingDirectory(QApplication::activeWindow(), title, directory);
}

QString DesktopUiServices::chooseFileToSave(const QString &title, const QString &directory,
                                            const QString &suggestedName, const QStringList &extensions)
{
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), title, startPath(directory, suggestedName),
                                        nameFilter(extensions));
}

SavePanelChoice DesktopUiServices::chooseFileToSaveInFormat(const QString &title, const QString &directory,
                                                            const QString &suggestedName, const QStringList &formats)
{
    // One filter per format: the dialog's filter box is the choice of format.
    QStringList filters;
    for (const QString &format : formats)
        filters << QStringLiteral("%1 (%2)").arg(format.toUpper(), nameFilter({format}));
    QString selected = filters.value(0);
    const QString path = QFileDialog::getSaveFileName(QApplication::activeWindow(), title,
                                                      startPath(directory, suggestedName),
                                                      filters.join(QStringLiteral(";;")), &selected);
    if (path.isEmpty())
        return {};
    return {path, formats.value(std::max<qsizetype>(0, filters.indexOf(selected)))};
}

bool DesktopUiServices::openPath(const QString &path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool DesktopUiServices::openUrl(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}

void DesktopUiServices::terminate(int exitCode)
{
    QCoreApplication::exit(exitCode);
}

} // namespace platform
