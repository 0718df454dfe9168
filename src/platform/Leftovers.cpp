#include "platform/Leftovers.h"

#include <QFile>

#include <cerrno>
#include <limits>
#include <mutex>
#include <set>
#include <utility>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The files this process writes. NFS emulates flock with byte-range locks, which belong to the
// process: there a sweep of this process would be granted its own writer's lock, and its close()
// would drop that lock. So a sweep never touches a file of this set.
struct OwnFiles {
    std::mutex lock;
    std::set<std::pair<dev_t, ino_t>> files;
};

OwnFiles &ownFiles()
{
    static OwnFiles own;
    return own;
}

std::pair<dev_t, ino_t> keyOf(const struct stat &info)
{
    return {info.st_dev, info.st_ino};
}

bool isOwnWrite(const struct stat &info)
{
    return ownFiles().files.count(keyOf(info)) > 0;
}

} // namespace

bool isProcessRunning(qint64 pid)
{
    return pid > 0 && pid <= std::numeric_limits<pid_t>::max() && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

bool isOwnRegularFile(const QString &path)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode) &&
           info.st_uid == ::getuid();
}

bool removeIfAbandoned(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    // Looked at before it is opened: opening a device or a FIFO may block or do something.
    struct stat named {};
    if (::lstat(name.constData(), &named) != 0 || !S_ISREG(named.st_mode) || named.st_uid != ::getuid())
        return false;
    // Held until the file is closed: where locks belong to the process (NFS), a writer of this
    // process that locked the file meanwhile would lose its lock with the sweep's close. Every call
    // below returns at once.
    const std::lock_guard guard(ownFiles().lock);
    if (isOwnWrite(named))
        return false;
    const int fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    // A shared lock: it needs no write access (NFS emulates flock with byte-range locks, which do),
    // and it conflicts with the writer's exclusive one all the same.
    struct stat opened {};
    bool removed = false;
    if (::fstat(fd, &opened) == 0 && sameFile(opened, named) && ::flock(fd, LOCK_SH | LOCK_NB) == 0 &&
        ::lstat(name.constData(), &named) == 0 && sameFile(opened, named))
        removed = !isOwnWrite(opened) && ::unlink(name.constData()) == 0;
    ::close(fd);
    return removed;
}

bool lockNewFile(int fd, const QString &path)
{
    // A sweep holds its lock only while it unlinks: the wait is short. Where the file system keeps
    // no locks the file is written unlocked: no sweep can lock it there either, so none takes it.
    struct stat opened {};
    if (::fstat(fd, &opened) != 0) {
        const int code = errno;
        ::close(fd);
        errno = code;
        return false;
    }
    {
        const std::lock_guard guard(ownFiles().lock);
        ownFiles().files.insert(keyOf(opened));
    }
    while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
    struct stat named {};
    if (::lstat(QFile::encodeName(path).constData(), &named) != 0 || !sameFile(opened, named)) {
        closeNewFile(fd);
        errno = EEXIST; // taken by a sweep between open() and flock(): another name will do
        return false;
    }
    return true;
}

void closeNewFile(int fd)
{
    struct stat opened {};
    if (::fstat(fd, &opened) == 0) {
        const std::lock_guard guard(ownFiles().lock);
        ownFiles().files.erase(keyOf(opened));
    }
    ::close(fd);
}

} // namespace platform
