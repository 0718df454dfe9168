#pragma once

#include "platform/TemporaryFiles.h"

#include <QByteArray>
#include <QHash>
#include <QIODevice>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <utility>

#include <sys/types.h>

class QFile;

namespace platform {

// Writes a file whole and safely: the bytes go to a temporary file beside it, named
// "<name>.saving-XXXXXX", which is flushed to the disk and renamed over the file; the folder is then
// synced, so that after a crash the folder holds the old file or the new one, never half of one.
// A name too long for the folder to take that tail is cut and marked with a digest of the whole
// name, so every name the folder takes can be written. The temporary file is locked while it is
// written; a temporary file of this user that an interrupted earlier write of the same file left
// behind, and that nothing holds locked, is removed (see removeIfAbandoned); no other file is touched.
// False, with the reason, when the file could not be written; the previous file is then as it was.
// `mode` gives the file these permissions from the start (0600 for a file that holds a secret); -1
// keeps an existing file's and gives a new one what the umask allows.
// A symbolic link at the path is kept and the file at the end of its chain of links written, beside
// which the temporary file is made; a chain longer than the kernel follows (a loop) is refused, and so
// is a link the kernel would not follow, wherever in the path it stands (a folder's too): another
// user's in a folder everyone may write to and only owners may delete from, unless the folder is that
// user's. Unless `link` says to put the file in the final link's place: where the folder is the
// program's own, a link must not send it elsewhere. The path is walked a name at a time, as the
// kernel walks it (a ".." goes up from where the link before it led), each folder held open on the
// way, and the file is made, renamed and removed inside the last: a folder swapped for a link once
// it was passed sends nothing elsewhere. A name that turns into a link while the file is written is
// left as it is, and the write refused.
enum class AtALink { WriteItsTarget, ReplaceIt };
bool writeFileSafely(const QString &path, const QByteArray &bytes, QString *error = nullptr, int mode = -1,
                     AtALink link = AtALink::WriteItsTarget);

// Makes the folder `folder` and those above it that are missing, on the road writeFileSafely takes:
// each link on the way followed as it follows them, each folder made inside the one above it, held
// open, so that none is made through a link the write itself refuses, nor through one swapped in
// meanwhile. Why not, naming the folder, when one cannot be made; empty when all are there.
QString makeFolders(const QString &folder);

// Why `folder` could not be made, as makeFolders would say it; empty when it could be. Tried by making
// the first missing folder and removing it again: permissions say nothing of a file system that takes
// no folders (/proc, /sys), or of one mounted read-only, and root passes every permission check.
QString unmakeableFolder(const QString &folder);

// Removes what stands at `path`, a file or a link, or a folder with all it holds where `folders`
// says so, inside the folder that holds it, reached on the road writeFileSafely takes. A link, at
// `path` or anywhere inside, is removed itself, never followed: a folder swapped for a link meanwhile
// leads nowhere. Why not, naming what could not be removed; empty once nothing stands there, or where
// nothing stood.
enum class Removing { AFile, AFolderToo };
QString removeSafely(const QString &path, Removing folders = Removing::AFile);

// Renames `from` to `to`, each reached on the road writeFileSafely takes and renamed inside the
// folders held at the walk's end; within one folder, that folder is walked to once, so that the name
// goes nowhere else whatever is swapped meanwhile. As a rename does, a link at either name is itself
// renamed or replaced, and a file at `to` replaced. Why not; `acrossFileSystems` says where the two
// lie on different file systems, which no rename crosses.
QString renameSafely(const QString &from, const QString &to, bool *acrossFileSystems = nullptr);

// Copies the regular file `from` to `to` as writeFileSafely writes, piece by piece; false, with the
// file at fault and the reason, when it could not.
bool copyFileSafely(const QString &from, const QString &to, QString *error = nullptr);

// Why the file at `path` may not be replaced, naming it: a folder stands there, or the user may not
// write it (a rename would sidestep the protection). Empty when it may, or when nothing is there.
QString targetProblem(const QString &path, AtALink link = AtALink::WriteItsTarget);

// Writes as writeFileSafely does, but looks for leftovers once per folder rather than once per file:
// a batch writes thousands of files into one folder, and listing it for each grows with the square.
// Leftovers that appear in a folder after its first write are left to the next batch.
class SafeFileBatch {
public:
    bool write(const QString &path, const QByteArray &bytes, QString *error = nullptr, int mode = -1,
               AtALink link = AtALink::WriteItsTarget);

private:
    // Folder (its device and inode: the one written, whatever its path names meanwhile) → the stem of
    // the file a leftover was a write of → the leftovers' names.
    QHash<std::pair<quint64, quint64>, QHash<QString, QStringList>> m_leftovers;
};

// The umask as the kernel keeps it, read without setting it (which would change it for every thread
// at once); -1 where the system does not say.
int currentUmask();

// The system call that puts the bytes in the temporary file: tests replace it to meet a full disk.
// Returns the one it replaces.
using WriteFunction = ssize_t (*)(int fd, const void *data, size_t size);
WriteFunction setSafeWriteFunction(WriteFunction write);

// A file written piece by piece (a printed PDF, a copy) that takes its place whole or not at all. The bytes
// go to a temporary file beside it, named and locked as writeFileSafely's are, and beside the end of
// a chain of links as theirs; commit() checks it, syncs it and renames it over the file. Until then
// the file there is untouched, and discard(), or the end of the object, removes the temporary file.
// Temporary files of this user that killed writes of the same file left, and that nothing holds
// locked, are removed when the next one begins. Writes go through the same replaceable system call
// as writeFileSafely; a failed one fails every later write and is kept as the reason.
class SavingFile : public QIODevice {
public:
    explicit SavingFile(const QString &path);
    ~SavingFile() override;

    // Makes the temporary file and opens for writing; false with the reason (a target that may not be
    // replaced, a loop of links, "The folder … cannot be written.", a full disk) when it cannot be made.
    bool begin(QString *error);
    // The reason the first failed write gave; empty while every byte went.
    QString writeError() const { return m_error; }
    // Writes what is held back; false once a write has failed.
    bool flushBuffer();
    // Puts the file in place when `check` (given the file as written, open for reading) finds
    // nothing wrong and the target may still be replaced (targetProblem: it may have been made
    // read-only, or a folder, while the file was written); otherwise, or when a write failed,
    // discards it and says why.
    bool commit(const std::function<QString(QFile &written)> &check, QString *error);
    void discard();

    QString temporaryPath() const;

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override;

private:
    QString m_path;
    QString m_target; // as it is replaced (at the end of the links), once begun
    QByteArray m_name; // its name in the temporary file's folder
    std::unique_ptr<LockedTemporaryFile> m_file;
    QByteArray m_buffer;
    QString m_error;
};

} // namespace platform
