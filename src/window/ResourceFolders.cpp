#include "window/ResourceFolders.h"

#include "core/MessageBoxes.h"
#include "platform/SafeFileWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QStandardPaths>

#ifndef CARD_INSTALLED_RESOURCES
#define CARD_INSTALLED_RESOURCES "../share/card-designer/Resources"
#endif

namespace {

QString withSlash(const QString &folder)
{
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder;
    return folder + QLatin1Char('/');
}

QString overridePath()
{
    return qEnvironmentVariable("CARD_RESOURCE_PATH");
}

} // namespace

namespace ResourceFolders {

QString shippedResourcesFolder()
{
    const QString chosen = overridePath();
    if (!chosen.isEmpty())
        return withSlash(QDir::cleanPath(chosen));
    const QDir exe(QCoreApplication::applicationDirPath());
    for (const QString &candidate : {exe.filePath(QStringLiteral("Resources")),
                                     exe.filePath(QStringLiteral(CARD_INSTALLED_RESOURCES))}) {
        if (QFileInfo(candidate).isDir())
            return withSlash(QDir::cleanPath(candidate));
    }
    return QString();
}

QString userResourcesFolder()
{
    const QString chosen = overridePath();
    if (!chosen.isEmpty())
        return withSlash(QDir::cleanPath(chosen));
    QString base = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (base.isEmpty())
        base = QDir::home().filePath(QStringLiteral(".card-designer"));
    return withSlash(QDir(base).filePath(QStringLiteral("Resources")));
}

bool prepareUserResources(const QString &shipped, const QString &target)
{
    if (target.isEmpty())
        return false;
    if (const QString problem = platform::makeFolders(target); !problem.isEmpty()) {
        Show_NSLog_Message(problem);
        return false;
    }
    // Every folder the program writes is in here: a file that is not written again would keep what a
    // killed write of it left.
    platform::sweepLeftovers(target);
    const QString from = QDir::cleanPath(shipped);
    const QString to = QDir::cleanPath(target);
    if (shipped.isEmpty() || !QFileInfo(from).isDir() || from == to)
        return true;

    const QDir source(from);
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        const QString copy = QDir(to).filePath(source.relativeFilePath(info.filePath()));
        if (info.isDir()) {
            if (const QString problem = platform::makeFolders(copy); !problem.isEmpty())
                Show_NSLog_Message(problem);
            continue;
        }
        const QFileInfo existing(copy);
        if (existing.exists() && (!existing.isFile() || existing.lastModified() >= info.lastModified()))
            continue;
        if (!platform::copyFileSafely(info.filePath(), copy))
            Show_NSLog_Message(QStringLiteral("Could not copy resource %1").arg(info.filePath()));
    }
    return true;
}

} // namespace ResourceFolders
