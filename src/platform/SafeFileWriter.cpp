#include "platform/SafeFileWriter.h"

#include "platform/RegularFile.h"
#include "platform/TemporaryFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// A descriptor, closed with its object.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    Descriptor(Descriptor &&other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    Descriptor &operator=(Descriptor &&other) noexcept
    {
        reset(std::exchange(other.m_fd, -1));
        return *this;
    }
    ~Descriptor() { reset(); }
    void reset(int fd = -1)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    int get() const { return m_fd; }

private:
    int m_fd;
};

// A folder of the walk, held for its name alone: no permission to read it is needed, as the kernel
// needs none to pass through it.
constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;

QString shown(const QByteArray &path)
{
    return QDir::toNativeSeparators(QFile::decodeName(path.isEmpty() ? QByteArray("/") : path));
}

// Where a walk came to: a folder held open, and the name in it that a write replaces.
struct Reached {
    Descriptor folder;
    QByteArray path; // of the folder, absolute and through no link; empty at the root
    QByteArray name; // empty where the walk went to a folder
    QString file() const { return shown(path + '/' + name); }
};

// Why a walk stopped: a refusal said in full, or a folder on the way that could not be passed (or
// made), and the system's reason.
struct Stopped {
    QString refusal;
    QByteArray folder; // the one that could not be passed or made
    QByteArray folderOfFile; // the folder the file was to go to, as far as the walk knew it
    int code = 0;
};

enum class WalkTo { AFile, AFolderMade, AFolderTried };

// Whether the kernel would follow a link in the folder held at `folder` whose owner `info` gives: in
// a folder everyone may write to and only owners may delete from (the system's temporary folder),
// another user may have planted it, so it is followed only when it belongs to this user or to the
// folder's owner. The kernel holds root to this too. The effective user stands for the file-system
// one, which this program never sets apart.
bool mayFollow(int folder, const struct stat &info)
{
    if (info.st_uid == ::geteuid())
        return true;
    struct stat shared {};
    if (::fstat(folder, &shared) != 0)
        return false;
    constexpr mode_t kShared = S_ISVTX | S_IWOTH;
    return (shared.st_mode & kShared) != kShared || shared.st_uid == info.st_uid;
}

// The names of a path in order, without the empty ones and ".", which change nothing.
QByteArrayList namesOf(const QByteArray &path)
{
    QByteArrayList names = path.split('/');
    names.removeIf([](const QByteArray &name) { return name.isEmpty() || name == "."; });
    return names;
}

// Walks `path` as the kernel would, a name at a time from the root (or the working folder), each
// folder held open and the next opened inside it without following a link. A link is read against
// the folder that holds it and followed (a folder's as much as the final name's, but where `link`
// says to replace the final name's link rather than write through it), and a ".." goes up from
// where the walk came to. Stops, saying why, at a chain longer than the kernel follows (a loop), or
// a link the kernel would not follow: the folder part of a path is no less a way for another user to
// send a file elsewhere. Where `to` says so, folders that are missing are made as it goes, or the
// first missing one is tried.
std::optional<Reached> walk(const QString &path, WalkTo to, AtALink link, Stopped &stopped)
{
    const QByteArray given = QFile::encodeName(path);
    Reached at;
    const auto startAt = [&](bool root) {
        at.folder.reset(::open(root ? "/" : ".", kFolderFlags));
        at.path = root ? QByteArray() : QFile::encodeName(QDir::currentPath());
        if (at.path == "/")
            at.path.clear();
    };
    startAt(given.startsWith('/'));
    QByteArrayList rest = namesOf(given);
    const auto stop = [&](const QByteArray &folder, int code) {
        stopped.folder = folder;
        stopped.folderOfFile = folder;
        for (qsizetype i = 0; i < rest.size() - (to == WalkTo::AFile ? 1 : 0); ++i)
            stopped.folderOfFile += '/' + rest.at(i);
        stopped.code = code;
        return std::nullopt;
    };
    constexpr int kMostLinks = 40; // as many as the kernel follows
    int followed = 0, retried = 0;
    bool made = false; // the name was just made, or found made by another
    while (!rest.isEmpty()) {
        if (at.folder.get() < 0)
            return stop(at.path, errno);
        const QByteArray name = rest.takeFirst();
        if (name == "..") {
            at.folder.reset(::openat(at.folder.get(), "..", kFolderFlags));
            at.path.truncate(std::max<qsizetype>(at.path.lastIndexOf('/'), 0));
            continue;
        }
        const QByteArray next = at.path + '/' + name;
        struct stat info {};
        if (rest.isEmpty() && to == WalkTo::AFile) {
            if (link == AtALink::ReplaceIt || ::fstatat(at.folder.get(), name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
                !S_ISLNK(info.st_mode)) {
                at.name = name;
                return at;
            }
        } else if (const int folder = ::openat(at.folder.get(), name.constData(), kFolderFlags | O_NOFOLLOW); folder >= 0) {
            at.folder.reset(folder);
            at.path = next;
            made = false;
            continue;
        } else if (const int code = errno;
                   ::fstatat(at.folder.get(), name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISLNK(info.st_mode)) {
            const bool folderNow = code != ENOENT && S_ISDIR(info.st_mode);
            if (to == WalkTo::AFolderTried && code == ENOENT) {
                // Made for the user alone, so that nobody puts anything in it before it goes.
                if (::mkdirat(at.folder.get(), name.constData(), 0700) == 0) {
                    ::unlinkat(at.folder.get(), name.constData(), AT_REMOVEDIR);
                    return at;
                }
                if (errno == EEXIST) // made meanwhile, by another
                    return at;
                return stop(next, errno);
            }
            // A link swapped for a folder between the two looks, or a folder made by another thread
            // meanwhile: looked at again.
            if (folderNow && ++retried <= kMostLinks) {
                rest.prepend(name);
                continue;
            }
            if (to != WalkTo::AFolderMade || made)
                return stop(next, made ? EEXIST : code);
            if (::mkdirat(at.folder.get(), name.constData(), 0777) != 0 && errno != EEXIST)
                return stop(next, errno);
            made = true;
            rest.prepend(name);
            continue;
        }
        // A link, followed from the folder that holds it as the kernel follows it.
        if (!mayFollow(at.folder.get(), info)) {
            stopped.refusal = QStringLiteral("The link %1 belongs to another user in a folder others may write to: "
                                             "it is not followed.")
                                  .arg(shown(next));
            return std::nullopt;
        }
        if (++followed > kMostLinks) {
            stopped.refusal = QStringLiteral("The links at %1 go round in a loop, or through more than %2 links.")
                                  .arg(QDir::toNativeSeparators(path))
                                  .arg(kMostLinks);
            return std::nullopt;
        }
        char target[PATH_MAX];
        const ssize_t size = ::readlinkat(at.folder.get(), name.constData(), target, sizeof target);
        if (size < 0 && errno == EINVAL && ++retried <= kMostLinks) { // no longer a link: looked at again
            rest.prepend(name);
            continue;
        }
        if (size <= 0)
            return stop(next, size < 0 ? errno : ENOENT);
        rest = namesOf(QByteArray(target, size)) + rest;
        if (target[0] == '/')
            startAt(true);
    }
    if (at.folder.get() < 0)
        return stop(at.path, errno);
    if (to == WalkTo::AFile) {
        stopped.refusal = QStringLiteral("%1 is a folder, not a file.").arg(QDir::toNativeSeparators(path));
        return std::nullopt;
    }
    return at;
}

// What a temporary file is made with. A new file takes what the umask gives (the kernel applies
// it, where setting the umask to read it would change it for every thread). One that will replace
// a file, or that holds a secret, is the user's alone until it takes its final permissions.
mode_t creationMode(const Reached &target, int mode)
{
    struct stat info {};
    if (mode >= 0 || (::fstatat(target.folder.get(), target.name.constData(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                      !S_ISLNK(info.st_mode)))
        return 0600;
    return 0666;
}

// A write refused by a file system mounted read-only: no permission the user could change.
QString readOnlyFileSystem(const QString &folder)
{
    return QStringLiteral("The file system of the folder %1 is read-only.").arg(QDir::toNativeSeparators(folder));
}

// Why the file `name` in the folder held at `folder` may not be replaced, `shownAs`.
QString problemAt(int folder, const QByteArray &name, const QString &shownAs)
{
    struct stat info {};
    if (::fstatat(folder, name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0 || S_ISLNK(info.st_mode))
        return {}; // the link itself is replaced, or the file it named is yet to be made
    if (S_ISDIR(info.st_mode))
        return QStringLiteral("%1 is a folder, not a file.").arg(QDir::toNativeSeparators(shownAs));
    if (::faccessat(folder, name.constData(), W_OK, 0) != 0 && errno != ENOENT)
        return errno == EROFS ? readOnlyFileSystem(QFileInfo(shownAs).absolutePath())
                              : QStringLiteral("The file %1 is read-only.").arg(QDir::toNativeSeparators(shownAs));
    return {};
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

bool syncFolder(int folder)
{
    const int fd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

// The system's reason, read at once: Qt may report a full disk as an unknown error.
QString systemReason(int code, const QString &otherwise)
{
    if (code == ENOSPC || code == EDQUOT)
        return QStringLiteral("There is no space left on the disk.");
    return code != 0 ? QString::fromLocal8Bit(strerror(code)) : otherwise;
}

// Syncs the file, gives it the permissions and, where allowed, the group of the file it replaces
// (a new one keeps what the umask gave it, a mode that was asked for was set before the first byte),
// and renames it over `name`, in its folder, while still holding its lock.
bool putInPlace(LockedTemporaryFile &file, const QByteArray &name, const QString &shownAs, int mode, AtALink link,
                QString *error)
{
    if (::fsync(file.handle()) != 0) {
        if (error)
            *error = systemReason(errno, QStringLiteral("The file could not be written to the disk."));
        return false;
    }
    struct stat old {};
    if (mode < 0 && ::fstatat(file.folder(), name.constData(), &old, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISLNK(old.st_mode)) {
        // Only its owner may give a file away; the group goes where the user is in it. Before
        // fchmod: a change of group may clear bits.
        (void)::fchown(file.handle(), uid_t(-1), old.st_gid);
        ::fchmod(file.handle(), old.st_mode & 0777);
    } else if (mode < 0 && file.creationMode() != 0666) {
        // The file it was to replace went while it was written: it is a new file after all.
        if (const int mask = currentUmask(); mask >= 0)
            ::fchmod(file.handle(), 0666 & ~mode_t(mask));
    }
    if (!file.renameOver(name, link == AtALink::ReplaceIt)) {
        if (error)
            *error = errno == ELOOP ? QStringLiteral("%1 was made a link while it was written: it is left as it is.")
                                          .arg(QDir::toNativeSeparators(shownAs))
                                    : QString::fromLocal8Bit(strerror(errno));
        return false;
    }
    syncFolder(file.folder());
    return true;
}

// The folders of `folder` made or tried as `to` says; why not, naming the folder, when one cannot be.
QString walkFolders(const QString &folder, WalkTo to)
{
    Stopped stopped;
    if (walk(folder, to, AtALink::WriteItsTarget, stopped))
        return {};
    if (!stopped.refusal.isEmpty())
        return stopped.refusal;
    return QStringLiteral("The folder %1 could not be made: %2.")
        .arg(shown(stopped.folder), QString::fromLocal8Bit(strerror(stopped.code)));
}

// Removes the entry `name` of the folder held at `folder` as unlinkat does with `flags`; true once
// nothing stands there. unlink answers that a file system is read-only before it looks for the name:
// where nothing stood, nothing was to be removed.
bool unlinkedAt(int folder, const QByteArray &name, int flags)
{
    if (::unlinkat(folder, name.constData(), flags) == 0 || errno == ENOENT)
        return true;
    const int code = errno;
    struct stat info {};
    if (::fstatat(folder, name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0 && errno == ENOENT)
        return true;
    errno = code;
    return false;
}

// Removes `name` in the folder held at `folder`, with all it holds where it is a folder, inside
// folders held open and never through a link; the system's reason where something stays, 0 once
// nothing stands there.
int removeAt(int folder, const QByteArray &name, int depth)
{
    constexpr int kDeepest = 256; // each level holds a descriptor
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (unlinkedAt(folder, name, 0))
            return 0;
        if (errno != EISDIR)
            return errno;
        const int held = ::openat(folder, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (held < 0 && (errno == ELOOP || errno == ENOTDIR)) // swapped for a link or a file meanwhile
            continue;
        if (held < 0)
            return errno == ENOENT ? 0 : errno;
        if (depth >= kDeepest) {
            ::close(held);
            return ELOOP;
        }
        const std::optional<QByteArrayList> names = folderEntries(held);
        if (!names) {
            const int code = errno;
            ::close(held);
            return code;
        }
        int failed = 0;
        for (const QByteArray &each : *names)
            if (const int code = removeAt(held, each, depth + 1); code != 0 && failed == 0)
                failed = code;
        ::close(held);
        if (failed != 0)
            return failed;
        if (unlinkedAt(folder, name, AT_REMOVEDIR))
            return 0;
        if (errno != ENOTDIR)
            return errno;
    }
    return EBUSY;
}

// The folder part of a path as given, and its last name; the name is empty where it does not name
// an entry of that folder ("", ".", "..").
std::pair<QString, QString> splitLast(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString name = path.mid(slash + 1);
    const bool entry = !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..");
    return {path.left(slash + 1), entry ? name : QString()};
}

QString stoppedReason(const Stopped &stopped)
{
    return !stopped.refusal.isEmpty() ? stopped.refusal : QStringLiteral("No such folder: %1").arg(shown(stopped.folderOfFile));
}

} // namespace

WriteFunction setSafeWriteFunction(WriteFunction write)
{
    return g_write.exchange(write ? write : &::write);
}

QString makeFolders(const QString &folder)
{
    return walkFolders(folder, WalkTo::AFolderMade);
}

QString unmakeableFolder(const QString &folder)
{
    return walkFolders(folder, WalkTo::AFolderTried);
}

QString removeSafely(const QString &path, Removing folders)
{
    Stopped stopped;
    const std::optional<Reached> target = walk(path, WalkTo::AFile, AtALink::ReplaceIt, stopped);
    if (!target && stopped.refusal.isEmpty() && stopped.code == ENOENT)
        return {};
    if (!target)
        return stoppedReason(stopped);
    int code = 0;
    if (folders == Removing::AFolderToo)
        code = removeAt(target->folder.get(), target->name, 0);
    else if (!unlinkedAt(target->folder.get(), target->name, 0))
        code = errno; // a folder stays, with all it holds
    if (code != 0)
        return QStringLiteral("%1 could not be removed: %2.").arg(target->file(), QString::fromLocal8Bit(strerror(code)));
    return {};
}

QString renameSafely(const QString &from, const QString &to, bool *acrossFileSystems)
{
    if (acrossFileSystems)
        *acrossFileSystems = false;
    Stopped stopped;
    const std::optional<Reached> source = walk(from, WalkTo::AFile, AtALink::ReplaceIt, stopped);
    if (!source)
        return stoppedReason(stopped);
    const auto [fromFolder, fromName] = splitLast(from);
    const auto [toFolder, toName] = splitLast(to);
    // The walk to a file's name passes its folder part alone: one folder, one walk.
    std::optional<Reached> target;
    if (fromFolder != toFolder || fromName.isEmpty() || toName.isEmpty()) {
        target = walk(to, WalkTo::AFile, AtALink::ReplaceIt, stopped);
        if (!target)
            return stoppedReason(stopped);
    }
    const int folder = target ? target->folder.get() : source->folder.get();
    const QByteArray name = target ? target->name : QFile::encodeName(toName);
    if (::renameat(source->folder.get(), source->name.constData(), folder, name.constData()) != 0) {
        const int code = errno;
        if (acrossFileSystems)
            *acrossFileSystems = code == EXDEV;
        return QStringLiteral("%1 could not be renamed: %2.").arg(source->file(), QString::fromLocal8Bit(strerror(code)));
    }
    syncFolder(folder);
    if (target)
        syncFolder(source->folder.get());
    return {};
}

QString targetProblem(const QString &path, AtALink link)
{
    // Where the walk stops, the write says why.
    Stopped stopped;
    const std::optional<Reached> target = walk(path, WalkTo::AFile, link, stopped);
    return target ? problemAt(target->folder.get(), target->name, path) : QString();
}

int currentUmask()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("Umask:"))
                return line.mid(6).trimmed().toInt(nullptr, 8);
    return -1;
}

bool writeFileSafely(const QString &path, const QByteArray &bytes, QString *error, int mode, AtALink link)
{
    return SafeFileBatch().write(path, bytes, error, mode, link);
}

bool copyFileSafely(const QString &from, const QString &to, QString *error)
{
    const auto fail = [error](const QString &path, const QString &reason) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, reason);
        return false;
    };
    if (!isRegularFile(from))
        return fail(from, QStringLiteral("not a file that can be read"));
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return fail(from, source.errorString());
    SavingFile target(to);
    QString reason;
    if (!target.begin(&reason))
        return fail(to, reason);
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(1 << 16);
        if (chunk.isEmpty() && source.error() != QFileDevice::NoError)
            return fail(from, source.errorString());
        if (target.write(chunk) != chunk.size())
            return fail(to, target.writeError());
    }
    return target.commit({}, &reason) || fail(to, reason);
}

bool SafeFileBatch::write(const QString &path, const QByteArray &bytes, QString *error, int mode, AtALink link)
{
    const auto fail = [&](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    // A link that is kept goes on pointing at the file it names: that file is the one written.
    Stopped stopped;
    const std::optional<Reached> target = walk(path, WalkTo::AFile, link, stopped);
    if (!target)
        return fail(!stopped.refusal.isEmpty() ? stopped.refusal
                                               : QStringLiteral("No such folder: %1").arg(shown(stopped.folderOfFile)));
    const int folder = target->folder.get();
    if (const QString problem = problemAt(folder, target->name, path); !problem.isEmpty())
        return fail(problem);
    struct stat held {};
    if (::fstat(folder, &held) != 0)
        return fail(QString::fromLocal8Bit(strerror(errno)));
    auto leftovers = m_leftovers.find({held.st_dev, held.st_ino});
    if (leftovers == m_leftovers.end())
        leftovers = m_leftovers.insert({held.st_dev, held.st_ino}, findLeftovers(folder));
    const QString fileName = QFile::decodeName(target->name);
    // Leftovers of this same file only.
    const QString stem = temporaryStem(folder, fileName);

    errno = 0;
    const std::unique_ptr<LockedTemporaryFile> file =
        LockedTemporaryFile::create(folder, shown(target->path), fileName, creationMode(*target, mode));
    if (!file)
        return fail(errno == EROFS ? readOnlyFileSystem(shown(target->path))
                                   : systemReason(errno, QStringLiteral("The file could not be made.")));
    if (mode >= 0 && ::fchmod(file->handle(), mode_t(mode)) != 0)
        return fail(QString::fromLocal8Bit(strerror(errno)));
    errno = 0;
    if (!writeAll(file->handle(), bytes))
        return fail(systemReason(errno, QStringLiteral("The file could not be written.")));
    if (!putInPlace(*file, target->name, path, mode, link, error))
        return false;
    for (const QString &leftover : leftovers->take(stem))
        removeIfAbandoned(folder, QFile::encodeName(leftover));
    return true;
}

SavingFile::SavingFile(const QString &path) : m_path(path) {}

SavingFile::~SavingFile()
{
    discard();
}

bool SavingFile::begin(QString *error)
{
    const auto refuse = [&](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    Stopped stopped;
    const std::optional<Reached> target = walk(m_path, WalkTo::AFile, AtALink::WriteItsTarget, stopped);
    if (!target)
        return refuse(!stopped.refusal.isEmpty() ? stopped.refusal
                                                 : QStringLiteral("The folder %1 cannot be written.").arg(shown(stopped.folderOfFile)));
    m_target = target->file();
    m_name = target->name;
    const int folder = target->folder.get();
    // Refused before a page is drawn: the rename would replace what the user protected, and cannot
    // replace a folder.
    if (const QString problem = problemAt(folder, m_name, m_target); !problem.isEmpty())
        return refuse(problem);
    // What killed prints of this same file left: a print may take long enough to be killed. Other
    // names of the shape are left alone, for a user's own file may happen to have it.
    const QString fileName = QFile::decodeName(m_name);
    for (const QString &leftover : findLeftovers(folder).value(temporaryStem(folder, fileName)))
        removeIfAbandoned(folder, QFile::encodeName(leftover));
    errno = 0;
    m_file = LockedTemporaryFile::create(folder, shown(target->path), fileName, creationMode(*target, -1));
    if (!m_file) {
        const int code = errno;
        return refuse(code == ENOSPC || code == EDQUOT ? systemReason(code, QString())
                      : code == EROFS                  ? readOnlyFileSystem(shown(target->path))
                                                       : QStringLiteral("The folder %1 cannot be written.").arg(shown(target->path)));
    }
    m_error.clear();
    m_buffer.clear();
    return QIODevice::open(QIODevice::WriteOnly);
}

QString SavingFile::temporaryPath() const
{
    return m_file ? m_file->fileName() : QString();
}

bool SavingFile::flushBuffer()
{
    if (!m_file)
        return false;
    if (m_error.isEmpty() && !m_buffer.isEmpty()) {
        errno = 0;
        if (!writeAll(m_file->handle(), m_buffer))
            m_error = systemReason(errno, QStringLiteral("The file could not be written."));
    }
    m_buffer.clear();
    return m_error.isEmpty();
}

qint64 SavingFile::writeData(const char *data, qint64 size)
{
    if (!m_error.isEmpty() || !m_file)
        return -1;
    // Writers of PDF send many small pieces: they go to the disk a block at a time.
    constexpr qsizetype kBlock = 256 * 1024;
    m_buffer.append(data, size);
    if (m_buffer.size() >= kBlock && !flushBuffer())
        return -1;
    return size;
}

bool SavingFile::commit(const std::function<QString(QFile &written)> &check, QString *error)
{
    const auto fail = [&](const QString &reason) {
        if (error)
            *error = reason;
        discard();
        return false;
    };
    if (!flushBuffer())
        return fail(m_error.isEmpty() ? QStringLiteral("The file could not be written.") : m_error);
    if (check) {
        // Read through the writer's own descriptor: where locks are mandatory (SMB), another could not.
        QFile written;
        if (!written.open(m_file->handle(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
            return fail(written.errorString());
        if (const QString problem = check(written); !problem.isEmpty())
            return fail(problem);
    }
    // A long print gives the user time to protect the file, or to put a folder in its place.
    if (const QString problem = problemAt(m_file->folder(), m_name, m_target); !problem.isEmpty())
        return fail(problem);
    QString reason;
    if (!putInPlace(*m_file, m_name, m_target, -1, AtALink::WriteItsTarget, &reason))
        return fail(reason);
    m_file.reset();
    QIODevice::close();
    return true;
}

void SavingFile::discard()
{
    if (isOpen())
        QIODevice::close();
    m_file.reset(); // removes what it wrote
    m_buffer.clear();
}

} // namespace platform
