#include "window/TemplateFiles.h"

#include "core/AppState.h"
#include "core/PathHelpers.h"
#include "platform/RegularFile.h"
#include "platform/SafeFileWriter.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

namespace {

QByteArray digestOf(const QString &path, QString *error)
{
    if (!platform::isRegularFile(path)) {
        if (error)
            *error = QStringLiteral("not a file that can be read");
        return QByteArray();
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return QByteArray();
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file)) {
        if (error)
            *error = file.errorString();
        return QByteArray();
    }
    return hash.result();
}

bool fail(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

} // namespace

namespace TemplateFiles {

QString shippedFolder()
{
    return App().Resource_Path + QStringLiteral("Templates/");
}

QString userFolder()
{
    return App().Resource_Path + QStringLiteral("Templates/User/");
}

bool isAcceptableName(const QString &name)
{
    return nameProblem(name).isEmpty();
}

QString nameProblem(const QString &name)
{
    if (name.isEmpty())
        return QStringLiteral("it is empty");
    if (!isBareName(name))
        return QStringLiteral("it may not contain \"/\" or \"\\\" and may not be \".\" or \"..\"");
    if (isNameTooLong(name))
        return QString::fromLocal8Bit(std::strerror(ENAMETOOLONG));
    return {};
}

bool isNameTooLong(const QString &name)
{
    // The longest extension a template's files take is the design's.
    return QFile::encodeName(name + QLatin1Char('.') + App().design_file_EXT).size() > NAME_MAX;
}

QString withExtension(const QString &path, const QString &extension)
{
    const QFileInfo info(path);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = dot > 0 ? name.left(dot) : name;
    const QString folder = path.left(path.size() - name.size());
    return folder + base + QLatin1Char('.') + extension;
}

QString baseName(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.left(dot) : name;
}

QString firstFreeCopyPath(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const QString folder = path.left(path.size() - name.size());
    const QString base = baseName(path);
    const QString extension = name.size() > base.size() ? name.mid(base.size() + 1) : QString();
    for (int k = 1;; ++k) {
        // Only the file's own name changes: a folder that happens to contain it stays as it is.
        const QString copyName = extension.isEmpty() ? QStringLiteral("%1 (copy %2)").arg(base).arg(k)
                                                     : QStringLiteral("%1 (copy %2).%3").arg(base).arg(k).arg(extension);
        const QString candidate = folder + copyName;
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}

bool copyVerified(const QString &from, const QString &to, QString *error)
{
    if (!platform::copyFileSafely(from, to, error))
        return false;
    QString reason;
    const QByteArray original = digestOf(from, &reason);
    const QByteArray copy = digestOf(to, &reason);
    if (original.isEmpty() || copy.isEmpty() || original != copy)
        return fail(error, QStringLiteral("%1: %2").arg(to, reason.isEmpty() ? QStringLiteral("the copy differs") : reason));
    return true;
}

bool moveFile(const QString &from, const QString &to, QString *error)
{
    if (QFileInfo(from).absoluteFilePath() == QFileInfo(to).absoluteFilePath())
        return true;
    if (!platform::isRegularFile(from))
        return fail(error, QStringLiteral("%1: no such file").arg(from));
    // A rename replaces the target in one step on the same file system.
    bool acrossFileSystems = false;
    const QString renamed = platform::renameSafely(from, to, &acrossFileSystems);
    if (renamed.isEmpty())
        return true;
    if (!acrossFileSystems)
        return fail(error, renamed);
    if (!copyVerified(from, to, error))
        return false;
    if (const QString removed = platform::removeSafely(from); !removed.isEmpty())
        return fail(error, removed);
    return true;
}

} // namespace TemplateFiles
