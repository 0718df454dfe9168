#pragma once

#include <QLockFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace platform {

// A private scratch folder in the system's temporary folder, "<prefix>-XXXXXX" (mode 0700), gone with
// everything in it when the object goes. While it lives its owner holds a lock file in it, so that
// a later start's sweep can tell the folder of a killed run, which it removes, from one another
// running instance is using.
class PrivateFolder {
public:
    explicit PrivateFolder(const QString &prefix);

    bool isValid() const { return m_dir.isValid() && m_lock; }
    QString errorString() const { return m_error; }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

    // Removes this user's folders of `prefixes` in the temporary folder whose lock names a process
    // that no longer runs and that no one holds locked; a folder without a lock file goes only when it
    // is empty and `graceSeconds` old (its owner was killed before it took the lock). The number
    // removed.
    static int sweepStale(const QStringList &prefixes, int graceSeconds = 600);

    static inline const QString kLockName = QStringLiteral(".owner.lock");

private:
    QTemporaryDir m_dir;
    std::unique_ptr<QLockFile> m_lock; // after the folder: it is unlocked before the folder goes
    QString m_error;
};

} // namespace platform
