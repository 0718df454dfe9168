#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

#include <sys/types.h>

// The temporary files that writes make beside their targets: how they are named, how a writer holds
// one, and how a later write sweeps what a killed one left. The folders users write into are shared,
// so a sweep takes only this user's own files of the program's making that no writer holds: a
// process id proves nothing on a shared folder or across pid namespaces, a lock does.
namespace platform {

// True while a process of that id runs, whoever owns it.
bool isProcessRunning(qint64 pid);

// A regular file of this user, looked at without following a link.
bool isOwnRegularFile(const QString &path);

// The path of a temporary file of a write of `path` but for its random letters: "<name>.saving-",
// the name cut to the folder's limit and marked with a digest of the whole where it is too long.
QString temporaryFilePrefix(const QString &path);

// The part of a temporary file's name that names the file `fileName` in `folder` it was a write of.
QString temporaryStem(const QString &folder, const QString &fileName);

// This user's temporary files in `folder` that unfinished writes left, by their stem; whether or not
// a write still holds them. Names only are read, and only a leftover's entry is looked up.
QHash<QString, QStringList> findLeftovers(const QString &folder);

// The same for the writes of `path` alone, sorted.
QStringList leftoverTemporaryFiles(const QString &path);

// Runs `act` while holding a shared flock on the regular file of this user at `path`, when no one
// holds it under an exclusive one (a writer of a temporary file, the owner of a QLockFile) and this
// process is not writing it, and says what `act` said; false when it did not run. No writer can
// take the file meanwhile.
bool whileNobodyHolds(const QString &path, const std::function<bool()> &act);

// Removes `path` when whileNobodyHolds lets it, and says whether it did.
bool removeIfAbandoned(const QString &path);

// Removes what killed writes left in `folder` and the folders under it (links are not followed):
// this user's temporary files that no writer holds. For the program's own folders, at start-up,
// where a file that is never written again would keep its leftover for ever. The number removed.
int sweepLeftovers(const QString &folder);

// A temporary file made beside its target and held under an exclusive flock from its making to
// its end, so that no sweep takes it while it is written; removed unless it was put in place.
class LockedTemporaryFile {
public:
    // A temporary file of a write of `target`, made with `mode` less the umask; nullptr, with errno
    // set, when it cannot be.
    static std::unique_ptr<LockedTemporaryFile> create(const QString &target, mode_t mode);
    ~LockedTemporaryFile();
    LockedTemporaryFile(const LockedTemporaryFile &) = delete;
    LockedTemporaryFile &operator=(const LockedTemporaryFile &) = delete;

    int handle() const { return m_fd; }
    QString fileName() const { return m_path; }
    // As it was made, before the umask.
    mode_t creationMode() const { return m_mode; }

    // Renames the file over `target` while still holding its lock; false, with errno set, when it
    // cannot be.
    bool renameOver(const QString &target);

private:
    LockedTemporaryFile(int fd, const QString &path, mode_t mode) : m_fd(fd), m_path(path), m_mode(mode) {}

    int m_fd;
    QString m_path;
    mode_t m_mode;
    bool m_placed = false;
};

} // namespace platform
