#include "platform/SafeFileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryFile>

#include <atomic>
#include <cerrno>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

const QLatin1String kTemporaryInfix(".saving-");
constexpr int kRandomLength = 6; // QTemporaryFile's XXXXXX

bool isOurTemporaryName(const QString &name, const QString &target)
{
    const QString prefix = target + kTemporaryInfix;
    if (name.size() != prefix.size() + kRandomLength || !name.startsWith(prefix))
        return false;
    for (qsizetype i = prefix.size(); i < name.size(); ++i)
        if (!name.at(i).isLetterOrNumber() || name.at(i).unicode() > 0x7F)
            return false;
    return true;
}

std::atomic<WriteFunction> g_write{&::write};

// All the bytes, or false with errno telling why not.
bool writeAll(int fd, const QByteArray &bytes)
{
    const WriteFunction write = g_write.load();
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

bool syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

} // namespace

WriteFunction setSafeWriteFunction(WriteFunction write)
{
    return g_write.exchange(write ? write : &::write);
}

QStringList leftoverTemporaryFiles(const QString &path)
{
    const QFileInfo target(path);
    QStringList found;
    // Names only, without looking each entry up: a batch writes thousands of files into one folder,
    // and every write looks for its own leftovers there.
    DIR *folder = ::opendir(QFile::encodeName(target.absolutePath()).constData());
    if (!folder)
        return found;
    const QByteArray prefix = QFile::encodeName(target.fileName() + kTemporaryInfix);
    while (const dirent *entry = ::readdir(folder)) {
        if (std::strncmp(entry->d_name, prefix.constData(), size_t(prefix.size())) != 0)
            continue;
        const QString name = QFile::decodeName(entry->d_name);
        if (isOurTemporaryName(name, target.fileName()) && QFileInfo(target.absoluteDir().filePath(name)).isFile())
            found << target.absoluteDir().filePath(name);
    }
    ::closedir(folder);
    found.sort();
    return found;
}

bool writeFileSafely(const QString &path, const QByteArray &bytes, QString *error, int mode)
{
    const auto fail = [&](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    // A link keeps pointing at the file it names: that file is the one written.
    const QFileInfo named(path);
    const QFileInfo target(named.isSymLink() ? named.symLinkTarget() : path);
    const QString folder = target.absolutePath();
    if (!QFileInfo(folder).isDir())
        return fail(QStringLiteral("No such folder: %1").arg(folder));
    // Leftovers of this same file only; a current write of it by someone else is not expected.
    const QStringList leftovers = leftoverTemporaryFiles(target.absoluteFilePath());

    QTemporaryFile file(target.absoluteFilePath() + kTemporaryInfix + QStringLiteral("XXXXXX"));
    if (!file.open())
        return fail(file.errorString());
    if (mode >= 0 && ::fchmod(file.handle(), mode_t(mode)) != 0)
        return fail(QString::fromLocal8Bit(strerror(errno)));
    // The system's reason, read at once: Qt may report a full disk as an unknown error.
    const auto systemReason = [](int code, const QString &otherwise) {
        if (code == ENOSPC || code == EDQUOT)
            return QStringLiteral("There is no space left on the disk.");
        return code != 0 ? QString::fromLocal8Bit(strerror(code)) : otherwise;
    };
    errno = 0;
    if (!writeAll(file.handle(), bytes))
        return fail(systemReason(errno, QStringLiteral("The file could not be written.")));
    if (::fsync(file.handle()) != 0)
        return fail(systemReason(errno, QStringLiteral("The file could not be written to the disk.")));
    // A file that existed keeps its permissions and, where allowed, its group; a new one gets the
    // permissions the user's umask gives new files.
    // A mode that was asked for was set before the first byte and stays.
    if (mode < 0 && target.exists()) {
        file.setPermissions(QFile::permissions(target.absoluteFilePath()));
        struct stat old {};
        if (::stat(QFile::encodeName(target.absoluteFilePath()).constData(), &old) == 0)
            (void)::fchown(file.handle(), old.st_uid, old.st_gid);
    } else if (mode < 0) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(file.handle(), 0666 & ~mask);
    }
    file.close();
    if (::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(target.absoluteFilePath()).constData()) != 0)
        return fail(QString::fromLocal8Bit(strerror(errno)));
    file.setAutoRemove(false);
    syncFolder(folder);
    for (const QString &leftover : leftovers)
        QFile::remove(leftover);
    return true;
}

} // namespace platform
