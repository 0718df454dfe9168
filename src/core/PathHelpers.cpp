#include "core/PathHelpers.h"

#include "core/AppState.h"
#include "core/MessageBoxes.h"
#include "core/StringHelpers.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

// The folder every reader takes for its own resources folder in a path of another machine.
const QLatin1String kResourceNamePrefix("/Resources/");

// A place below a folder that stays inside it.
bool isPlaceInside(const QString &below)
{
    return !below.isEmpty() && below != QLatin1String(".") && below != QLatin1String("..") &&
           !below.startsWith(QLatin1String("../")) && !QDir::isAbsolutePath(below);
}

// A file name with its last extension removed; a name that is all extension (".hidden") stays.
QString withoutExtension(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.left(dot) : name;
}

} // namespace

bool isBareName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) && !name.contains(QChar(0));
}

QStringList Get_Files_Array_At_Path(const QString &folder)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return {};
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Unsorted);
    // Name order by code unit, not by locale: stored list positions must mean the same everywhere.
    std::sort(names.begin(), names.end());
    for (QString &name : names)
        name = withoutExtension(name);
    return names;
}

QString Convert_Path_From_URL(const QUrl &url)
{
    return url.isLocalFile() ? url.toLocalFile() : url.path();
}

int Check_And_Validate_File_Path(const QString &path)
{
    const QString trimmed = Trim_Str(path);
    if (!trimmed.isEmpty() && QFileInfo::exists(trimmed))
        return 0;
    Show_MessageBox(QStringLiteral("Please select valid file path."));
    return 1;
}

QString Panel_Start_Folder(QStandardPaths::StandardLocation fallback)
{
    const auto usable = [](const QString &folder) {
        const QFileInfo info(folder);
        if (folder.isEmpty() || !info.isDir() || !info.isReadable())
            return false;
        // System folders of devices and processes are no place for a user's designs.
        const QString path = info.canonicalFilePath();
        for (const char *special : {"/dev", "/proc", "/sys", "/run"})
            if (path == QLatin1String(special) || path.startsWith(QLatin1String(special) + QLatin1Char('/')))
                return false;
        return true;
    };
    const QString design = App().Project_File_Name;
    if (!design.isEmpty()) {
        const QString folder = QFileInfo(design).absolutePath();
        if (usable(folder))
            return folder;
    }
    const QString standard = QStandardPaths::writableLocation(fallback);
    return usable(standard) ? standard : QDir::homePath();
}

QString Frames_Folder()
{
    const QString resources = App().Resource_Path;
    return resources.isEmpty() ? QString() : resources + QStringLiteral("Frames");
}

QString Relocated_Resource_Path(const QString &path)
{
    const QString resources = App().Resource_Path;
    if (path.isEmpty() || resources.isEmpty() || QFileInfo::exists(path))
        return path;
    const qsizetype at = path.lastIndexOf(kResourceNamePrefix);
    if (at < 0)
        return path;
    const QString below = path.mid(at + kResourceNamePrefix.size());
    // Only a path that stays inside the data folders is followed.
    if (!isPlaceInside(QDir::cleanPath(below)))
        return path;
    const QString candidate = QDir(resources).filePath(below);
    return QFileInfo::exists(candidate) ? candidate : path;
}

QString Resource_Relative_Path(const QString &path, const QString &resources)
{
    if (path.isEmpty() || resources.isEmpty())
        return QString();
    // The folder may be reached through a link (a temporary folder's often is): its real place counts too.
    const auto placeBelow = [&](const QString &folder, const QString &file) -> QString {
        if (folder.isEmpty() || file.isEmpty())
            return QString();
        const QString below = QDir(folder).relativeFilePath(file);
        return isPlaceInside(below) ? below : QString();
    };
    QString below = placeBelow(QDir::cleanPath(QFileInfo(resources).absoluteFilePath()),
                               QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    if (below.isEmpty())
        below = placeBelow(QFileInfo(resources).canonicalFilePath(), QFileInfo(path).canonicalFilePath());
    return below.isEmpty() ? QString() : kResourceNamePrefix + below;
}

QString Resource_File_Of_Name(const QString &name, const QString &resources)
{
    if (resources.isEmpty() || !name.startsWith(kResourceNamePrefix))
        return QString();
    const QString below = QDir::cleanPath(name.mid(kResourceNamePrefix.size()));
    return isPlaceInside(below) ? QDir(resources).filePath(below) : QString();
}
