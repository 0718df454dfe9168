#include "platform/UiServices.h"

#include "platform/Log.h"

#include <QCoreApplication>

namespace platform {

namespace {

// Without a screen nobody can answer: a message goes to the log, and every question and panel is
// cancelled, so that no command goes ahead on an answer nobody gave.
class HeadlessUiServices : public UiServices {
public:
    void showMessage(const QString &text) override { writeLog(text.trimmed()); }
    Answer askYesNo(const QString &question) override
    {
        writeLog(question.trimmed());
        return Answer::Cancelled;
    }
    void closeQuestion(const QString &) override {}
    QString chooseFileToOpen(const QString &, const QString &, const QStringList &) override { return {}; }
    QStringList chooseFilesToOpen(const QString &, const QString &, const QStringList &) override { return {}; }
    QString chooseFolder(const QString &, const QString &) override { return {}; }
    QString chooseFileToSave(const QString &, const QString &, const QString &, const QStringList &) override
    {
        return {};
    }
    SavePanelChoice chooseFileToSaveInFormat(const QString &, const QString &, const QString &,
                                             const QStringList &) override
    {
        return {};
    }
    bool openPath(const QString &) override { return false; }
    bool openUrl(const QUrl &) override { return false; }
    void terminate(int exitCode) override { QCoreApplication::exit(exitCode); }
};

std::unique_ptr<UiServices> &current()
{
    static std::unique_ptr<UiServices> services = std::make_unique<HeadlessUiServices>();
    return services;
}

} // namespace

const QStringList &photoFileTypes()
{
    // Every format the picture reader weighs and reads (platform::readPicture).
    static const QStringList types = {QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("jpe"),
                                      QStringLiteral("jfif"), QStringLiteral("gif"), QStringLiteral("bmp"),
                                      QStringLiteral("png"), QStringLiteral("tif"), QStringLiteral("tiff"),
                                      QStringLiteral("webp"), QStringLiteral("ico"), QStringLiteral("tga"),
                                      QStringLiteral("pbm"), QStringLiteral("pgm"), QStringLiteral("ppm"),
                                      QStringLiteral("pnm"), QStringLiteral("xbm"), QStringLiteral("xpm"),
                                      QStringLiteral("wbmp")};
    return types;
}

UiServices &uiServices()
{
    return *current();
}

std::unique_ptr<UiServices> installUiServices(std::unique_ptr<UiServices> services)
{
    std::unique_ptr<UiServices> previous = std::move(current());
    current() = services ? std::move(services) : std::make_unique<HeadlessUiServices>();
    return previous;
}

} // namespace platform
