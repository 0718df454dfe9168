#pragma once

#include <QLockFile>
#include <QString>
#include <QStringList>

#include <memory>

namespace platform {

// A private scratch folder in the system's temporary folder, "<prefix>-XXXXXX" (mode 0700 and the
// sticky bit), gone with everything in it when the object goes. While it lives its owner holds a
// lock file in it, so that a later start's sweep can tell the folder of a killed run, which it
// removes, from one another running instance is using.
class PrivateFolder {
public:
    explicit PrivateFolder(const QString &prefix);
    ~PrivateFolder();
    PrivateFolder(const PrivateFolder &) = delete;
    PrivateFolder &operator=(const PrivateFolder &) = delete;

    bool isValid() const { return !m_path.isEmpty() && m_lock; }
    QString errorString() const { return m_error; }
    QString path() const { return m_path; }
    QString filePath(const QString &name) const;

    // Removes this user's folders of `prefixes` in the temporary folder whose lock names a process
    // that no longer runs and that no one holds locked; a folder without a lock file goes only when it
    // bears the sticky bit it was made with, is `graceSeconds` old, and is empty when it is removed
    // (its owner was killed before it took the lock). The number removed.
    static int sweepStale(const QStringList &prefixes, int graceSeconds = 600);
    // Called with a lockless folder's path just before the sweep removes it.
    static void setBeforeRemovingForTesting(void (*hook)(const QString &folder));

    static inline const QString kLockName = QStringLiteral(".owner.lock");

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    QString m_error;
};

} // namespace platform
