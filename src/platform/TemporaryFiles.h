#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

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

// `prefix` and six random ASCII letters and digits, as temporary files and folders are named.
QByteArray withRandomLetters(const QByteArray &prefix);

// The part of a temporary file's name that names the file `fileName` in `folder` it was a write of;
// the folder given by a descriptor held open on it, or by its path.
QString temporaryStem(int folder, const QString &fileName);
QString temporaryStem(const QString &folder, const QString &fileName);

// The names in the folder held at `folder`, but for "." and ".."; nothing, with errno set, where it
// cannot be listed.
std::optional<QByteArrayList> folderEntries(int folder);

// This user's temporary files in `folder` that unfinished writes left, by their stem; whether or not
// a write still holds them. Names only are read, and only a leftover's entry is looked up. Of a folder
// held open, their names; of a folder named by its path, their paths.
QHash<QString, QStringList> findLeftovers(int folder);
QHash<QString, QStringList> findLeftovers(const QString &folder);

// The same for the writes of `path` alone, sorted.
QStringList leftoverTemporaryFiles(const QString &path);

// Runs `act` while holding a shared flock on the regular file of this user at `path`, when no one
// holds it under an exclusive one (a writer of a temporary file, the owner of a QLockFile) and this
// process is not writing it, and says what `act` said; false when it did not run. No writer can
// take the file meanwhile.
bool whileNobodyHolds(const QString &path, const std::function<bool()> &act);
// The same for the file `name` in the folder held open at `folder`: a folder swapped meanwhile for
// a link to another changes nothing.
bool whileNobodyHolds(int folder, const QByteArray &name, const std::function<bool()> &act);

// Removes `path`, or `name` in the folder held open at `folder`, when whileNobodyHolds lets it, and
// says whether it did.
bool removeIfAbandoned(const QString &path);
bool removeIfAbandoned(int folder, const QByteArray &name);

// Removes what killed writes left in `folder` and the folders under it (links are not followed):
// this user's temporary files that no writer holds. For the program's own folders, at start-up,
// where a file that is never written again would keep its leftover for ever. The number removed.
int sweepLeftovers(const QString &folder);

// A temporary file made beside its target and held under an exclusive flock from its making to
// its end, so that no sweep takes it while it is written; removed unless it was put in place. It is
// made, renamed and removed inside its folder, held open from the start: were the folder swapped for
// a link meanwhile, nothing would go where the link points.
class LockedTemporaryFile {
public:
    // A temporary file of a write of the file `fileName` in the folder held open at `folder`, whose
    // path is `folderPath`, made with `mode` less the umask; nullptr, with errno set, when it cannot be.
    static std::unique_ptr<LockedTemporaryFile> create(int folder, const QString &folderPath, const QString &fileName,
                                                       mode_t mode);
    // The same for the file at `target`, its folder named by its path.
    static std::unique_ptr<LockedTemporaryFile> create(const QString &target, mode_t mode);
    ~LockedTemporaryFile();
    LockedTemporaryFile(const LockedTemporaryFile &) = delete;
    LockedTemporaryFile &operator=(const LockedTemporaryFile &) = delete;

    int handle() const { return m_fd; }
    // Its folder, held open for as long as the file lives.
    int folder() const { return m_folder; }
    QString fileName() const;
    // As it was made, before the umask.
    mode_t creationMode() const { return m_mode; }

    // Renames the file over `target`, in its folder, while still holding its lock; false, with errno
    // set, when it cannot be. A link at `target` is replaced only where `replaceLink` says so; one
    // that is there, or is put there while the file takes its place, is otherwise left as it is,
    // and errno is ELOOP.
    bool renameOver(const QByteArray &target, bool replaceLink);

private:
    LockedTemporaryFile(int fd, int folder, const QString &folderPath, const QByteArray &name, mode_t mode)
        : m_fd(fd), m_folder(folder), m_folderPath(folderPath), m_name(name), m_mode(mode)
    {
    }

    int m_fd;
    int m_folder;
    QString m_folderPath;
    QByteArray m_name;
    mode_t m_mode;
    bool m_placed = false;
};

} // namespace platform
