#include "platform/PrivateFolder.h"

#include "platform/SafeFileWriter.h"
#include "platform/TemporaryFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSysInfo>

#include <unistd.h>

namespace platform {

PrivateFolder::PrivateFolder(const QString &prefix) : m_dir(QDir::temp().filePath(prefix + QStringLiteral("-XXXXXX")))
{
    if (!m_dir.isValid()) {
        m_error = m_dir.errorString();
        return;
    }
    auto lock = std::make_unique<QLockFile>(m_dir.filePath(kLockName));
    // Only a dead owner makes the lock stale: a long run is no reason to take its folder.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0))
        m_lock = std::move(lock);
    else
        m_error = QStringLiteral("The scratch folder %1 cannot be locked.").arg(m_dir.path());
}

int PrivateFolder::sweepStale(const QStringList &prefixes, int graceSeconds)
{
    QStringList alternatives;
    for (const QString &prefix : prefixes)
        alternatives << QRegularExpression::escape(prefix);
    const QRegularExpression ours(QStringLiteral("^(%1)-[A-Za-z0-9]{6}$").arg(alternatives.join(QLatin1Char('|'))));
    const QDir temp = QDir::temp();
    const QDateTime oldest = QDateTime::currentDateTimeUtc().addSecs(-graceSeconds);
    int removed = 0;
    for (const QFileInfo &entry : temp.entryInfoList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System)) {
        // Only this user's own folders, never through a link: /tmp is shared.
        if (entry.isSymLink() || entry.ownerId() != ::getuid() || !ours.match(entry.fileName()).hasMatch())
            continue;
        // A name of this shape may be the user's own ("card-mail-drafts"): only a folder that holds
        // the program's lock of a run that has ended goes, or one left empty by a run killed before
        // it took its lock.
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
        // Its owner may not have taken the lock yet, or it is not the program's.
        if (entry.lastModified().toUTC() > oldest ||
            !QDir(entry.filePath()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
            continue;
        if (removeSafely(entry.filePath(), Removing::AFolderToo).isEmpty())
            ++removed;
    }
    return removed;
}

} // namespace platform
