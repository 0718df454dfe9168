#include "platform/SafeFileWriter.h"

#include "platform/RegularFile.h"

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

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// What a temporary file is made with. A new file takes what the umask gives (the kernel applies
// it, where setting the umask to read it would change it for every thread). One that will replace
// a file, or that holds a secret, is the user's alone until it takes its final permissions.
mode_t creationMode(const QString &target, int mode)
{
    struct stat info {};
    if (mode >= 0 || (::lstat(QFile::encodeName(target).constData(), &info) == 0 && !S_ISLNK(info.st_mode)))
        return 0600;
    return 0666;
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

// The system's reason, read at once: Qt may report a full disk as an unknown error.
QString systemReason(int code, const QString &otherwise)
{
    if (code == ENOSPC || code == EDQUOT)
        return QStringLiteral("There is no space left on the disk.");
    return code != 0 ? QString::fromLocal8Bit(strerror(code)) : otherwise;
}

// Syncs the file, gives it the permissions and, where allowed, the group of the file it replaces
// (a new one keeps what the umask gave it, a mode that was asked for was set before the first byte),
// and renames it over `target` while still holding its lock.
bool putInPlace(LockedTemporaryFile &file, const QString &target, int mode, QString *error)
{
    if (::fsync(file.handle()) != 0) {
        if (error)
            *error = systemReason(errno, QStringLiteral("The file could not be written to the disk."));
        return false;
    }
    struct stat old {};
    if (mode < 0 && ::lstat(QFile::encodeName(target).constData(), &old) == 0 && !S_ISLNK(old.st_mode)) {
        // Only its owner may give a file away; the group goes where the user is in it. Before
        // fchmod: a change of group may clear bits.
        (void)::fchown(file.handle(), uid_t(-1), old.st_gid);
        ::fchmod(file.handle(), old.st_mode & 0777);
    } else if (mode < 0 && file.creationMode() != 0666) {
        // The file it was to replace went while it was written: it is a new file after all.
        if (const int mask = currentUmask(); mask >= 0)
            ::fchmod(file.handle(), 0666 & ~mode_t(mask));
    }
    if (!file.renameOver(target)) {
        if (error)
            *error = QString::fromLocal8Bit(strerror(errno));
        return false;
    }
    syncFolder(QFileInfo(target).absolutePath());
    return true;
}

// Whether the kernel would follow a link in `folder` whose owner `info` gives: in a folder everyone
// may write to and only owners may delete from (the system's temporary folder), another user may
// have planted it, so it is followed only when it belongs to this user or to the folder's owner.
// The kernel holds root to this too. The effective user stands for the file-system one, which this
// program never sets apart.
bool mayFollow(const QByteArray &folder, const struct stat &info)
{
    if (info.st_uid == ::geteuid())
        return true;
    struct stat shared {};
    if (::stat(folder.isEmpty() ? "/" : folder.constData(), &shared) != 0)
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

// The file a write of `path` replaces, reached as the kernel reaches it: every link on the way is
// read against the folder that holds it and followed, a folder's as much as the final name's, but
// where `link` says to replace the final name's link rather than write through it. Nothing, with the
// reason, for a chain longer than the kernel follows, which a loop is, or a link the kernel would
// not follow: the folder part of a path is no less a way for another user to send a file elsewhere.
std::optional<QString> fileToReplace(const QString &path, AtALink link, QString *error)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QByteArrayList rest = namesOf(QFile::encodeName(absolute));
    QByteArray at; // where the walk has come to, through no link; empty at the root
    constexpr int kMostLinks = 40; // as many as the kernel follows
    int followed = 0;
    while (!rest.isEmpty()) {
        const QByteArray name = rest.takeFirst();
        if (name == "..") {
            at.truncate(std::max<qsizetype>(at.lastIndexOf('/'), 0));
            continue;
        }
        const QByteArray next = at + '/' + name;
        struct stat info {};
        char to[PATH_MAX];
        ssize_t size = 0;
        if ((rest.isEmpty() && link == AtALink::ReplaceIt) || ::lstat(next.constData(), &info) != 0 ||
            !S_ISLNK(info.st_mode) || (size = ::readlink(next.constData(), to, sizeof to)) <= 0) {
            at = next;
            continue;
        }
        if (!mayFollow(at, info)) {
            if (error)
                *error = QStringLiteral("The link %1 belongs to another user in a folder others may write to: "
                                        "it is not followed.")
                             .arg(QDir::toNativeSeparators(QFile::decodeName(next)));
            return std::nullopt;
        }
        if (++followed > kMostLinks) {
            if (error)
                *error = QStringLiteral("The links at %1 go round in a loop, or through more than %2 links.")
                             .arg(QDir::toNativeSeparators(path))
                             .arg(kMostLinks);
            return std::nullopt;
        }
        const QByteArray target(to, size);
        rest = namesOf(target) + rest;
        if (target.startsWith('/'))
            at.clear();
    }
    if (followed == 0)
        return absolute;
    return QFile::decodeName(at.isEmpty() ? QByteArray("/") : at);
}

} // namespace

WriteFunction setSafeWriteFunction(WriteFunction write)
{
    return g_write.exchange(write ? write : &::write);
}

std::optional<QString> pathReached(const QString &path, QString *error)
{
    return fileToReplace(path, AtALink::WriteItsTarget, error);
}

QString targetProblem(const QString &path, AtALink link)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (::lstat(name.constData(), &info) != 0)
        return {};
    if (S_ISLNK(info.st_mode) && (link == AtALink::ReplaceIt || ::stat(name.constData(), &info) != 0))
        return {}; // the link itself is replaced, or the file it names is yet to be made
    const QString shown = QDir::toNativeSeparators(path);
    if (S_ISDIR(info.st_mode))
        return QStringLiteral("%1 is a folder, not a file.").arg(shown);
    if (::access(name.constData(), W_OK) != 0 && errno != ENOENT)
        return QStringLiteral("The file %1 is read-only.").arg(shown);
    return {};
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
    QString reason;
    const std::optional<QString> replaced = fileToReplace(path, link, &reason);
    if (!replaced)
        return fail(reason);
    const QFileInfo target(*replaced);
    const QString folder = target.absolutePath();
    if (!QFileInfo(folder).isDir())
        return fail(QStringLiteral("No such folder: %1").arg(folder));
    if (const QString problem = targetProblem(path, link); !problem.isEmpty())
        return fail(problem);
    auto leftovers = m_leftovers.find(folder);
    if (leftovers == m_leftovers.end())
        leftovers = m_leftovers.insert(folder, findLeftovers(folder));
    // Leftovers of this same file only.
    const QString stem = temporaryStem(folder, target.fileName());

    errno = 0;
    const std::unique_ptr<LockedTemporaryFile> file =
        LockedTemporaryFile::create(*replaced, creationMode(*replaced, mode));
    if (!file)
        return fail(systemReason(errno, QStringLiteral("The file could not be made.")));
    if (mode >= 0 && ::fchmod(file->handle(), mode_t(mode)) != 0)
        return fail(QString::fromLocal8Bit(strerror(errno)));
    errno = 0;
    if (!writeAll(file->handle(), bytes))
        return fail(systemReason(errno, QStringLiteral("The file could not be written.")));
    if (!putInPlace(*file, *replaced, mode, error))
        return false;
    for (const QString &leftover : leftovers->take(stem))
        removeIfAbandoned(leftover);
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
    QString reason;
    const std::optional<QString> target = fileToReplace(m_path, AtALink::WriteItsTarget, &reason);
    if (!target)
        return refuse(reason);
    m_target = *target;
    // Refused before a page is drawn: the rename would replace what the user protected, and cannot
    // replace a folder.
    if (const QString problem = targetProblem(m_target, AtALink::ReplaceIt); !problem.isEmpty())
        return refuse(problem);
    // What killed prints of this same file left: a print may take long enough to be killed. Other
    // names of the shape are left alone, for a user's own file may happen to have it.
    for (const QString &leftover : leftoverTemporaryFiles(m_target))
        removeIfAbandoned(leftover);
    const QString folder = QFileInfo(m_target).absolutePath();
    errno = 0;
    if (QFileInfo(folder).isDir())
        m_file = LockedTemporaryFile::create(m_target, creationMode(m_target, -1));
    if (!m_file) {
        const int code = errno;
        return refuse(code == ENOSPC || code == EDQUOT
                          ? systemReason(code, QString())
                          : QStringLiteral("The folder %1 cannot be written.").arg(QDir::toNativeSeparators(folder)));
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
    if (const QString problem = targetProblem(m_target, AtALink::ReplaceIt); !problem.isEmpty())
        return fail(problem);
    QString reason;
    if (!putInPlace(*m_file, m_target, -1, &reason))
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
