#include "platform/PrivateFolder.h"

#include "platform/SafeFileWriter.h"
#include "platform/TemporaryFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSysInfo>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>

#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

std::atomic<void (*)(const QString &)> g_beforeRemoving{nullptr};

// No plain mkdir gives a folder the sticky bit; mkdir itself sets it, with the folder, so that a run
// killed before it took its lock leaves a folder the sweep can tell from a user's own of the same
// shape ("card-mail-drafts"). The bit costs nothing in a folder no one else may write to.
constexpr mode_t kFolderMode = S_ISVTX | S_IRWXU;

} // namespace

PrivateFolder::PrivateFolder(const QString &prefix)
{
    const QByteArray base = QFile::encodeName(QDir::temp().filePath(prefix + QLatin1Char('-')));
    for (int attempt = 0; attempt < 100 && m_path.isEmpty(); ++attempt) {
        const QByteArray path = withRandomLetters(base);
        if (::mkdir(path.constData(), kFolderMode) == 0)
            m_path = QFile::decodeName(path);
        else if (errno != EEXIST)
            break;
    }
    if (m_path.isEmpty()) {
        m_error = QStringLiteral("The scratch folder %1XXXXXX cannot be made: %2.")
                      .arg(QFile::decodeName(base), QString::fromLocal8Bit(strerror(errno)));
        return;
    }
    auto lock = std::make_unique<QLockFile>(filePath(kLockName));
    // Only a dead owner makes the lock stale: a long run is no reason to take its folder.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0))
        m_lock = std::move(lock);
    else
        m_error = QStringLiteral("The scratch folder %1 cannot be locked.").arg(m_path);
}

PrivateFolder::~PrivateFolder()
{
    m_lock.reset(); // unlocked before its folder goes
    if (!m_path.isEmpty())
        removeSafely(m_path, Removing::AFolderToo);
}

QString PrivateFolder::filePath(const QString &name) const
{
    return QDir(m_path).filePath(name);
}

void PrivateFolder::setBeforeRemovingForTesting(void (*hook)(const QString &folder))
{
    g_beforeRemoving = hook;
}

int PrivateFolder::sweepStale(const QStringList &prefixes, int graceSeconds)
{
    QStringList alternatives;
    for (const QString &prefix : prefixes)
        alternatives << QRegularExpression::escape(prefix);
    const QRegularExpression ours(QStringLiteral("^(%1)-[A-Za-z0-9]{6}$").arg(alternatives.join(QLatin1Char('|'))));
    const QDir temp = QDir::temp();
    int removed = 0;
    for (const QFileInfo &entry : temp.entryInfoList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System)) {
        // Only this user's own folders, never through a link: /tmp is shared.
        if (entry.isSymLink() || entry.ownerId() != ::getuid() || !ours.match(entry.fileName()).hasMatch())
            continue;
        // A name of this shape may be the user's own ("card-mail-drafts"): only a folder that holds
        // the program's lock of a run that has ended goes with all it holds; one made as the program
        // makes its folders but never locked goes only while it is empty.
        const QString lockPath = QDir(entry.filePath()).filePath(kLockName);
        if (QFileInfo(lockPath).isSymLink() || QFileInfo::exists(lockPath)) {
            if (!isOwnRegularFile(lockPath))
                continue;
            QLockFile lock(lockPath);
            qint64 owner = 0;
            QString host;
            QString application;
            if (!lock.getLockInfo(&owner, &host, &application) || isProcessRunning(owner) ||
                (!host.isEmpty() && host != QSysInfo::machineHostName()))
                continue;
            // Its owner holds an flock on the lock while it runs: the id may be of another pid
            // namespace (a container or sandbox sharing this temporary folder), the lock is not.
            if (whileNobodyHolds(lockPath, [&] { return removeSafely(entry.filePath(), Removing::AFolderToo).isEmpty(); }))
                ++removed;
            continue;
        }
        // Its owner was killed before it took the lock, or has yet to take it. By rmdir, which fails
        // once anything is in it: a file that arrives after the look stays.
        struct stat info {};
        const QByteArray path = QFile::encodeName(entry.filePath());
        if (::lstat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || (info.st_mode & 07777) != kFolderMode ||
            info.st_mtime > ::time(nullptr) - graceSeconds)
            continue;
        if (const auto hook = g_beforeRemoving.load())
            hook(entry.filePath());
        if (::rmdir(path.constData()) == 0)
            ++removed;
    }
    return removed;
}

} // namespace platform
