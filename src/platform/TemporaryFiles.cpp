#include "platform/TemporaryFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <limits>
#include <mutex>
#include <optional>
#include <set>
#include <string_view>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr QLatin1String kTemporaryInfix(".saving-");
constexpr int kRandomLength = 6;
constexpr qsizetype kSavingTail = kTemporaryInfix.size() + kRandomLength; // ".saving-XXXXXX"
// Earlier versions named a printed file's temporary file ".<name>.part-<pid>-XXXXXX"; what they
// left is still swept.
constexpr std::string_view kPartInfix(".part-");

// ASCII's letters and digits, whatever the locale says a letter is.
constexpr std::string_view kRandomLetters("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789");

// The folder's limit on the length of a name, in bytes.
qsizetype nameLimit(int folder)
{
    const long limit = ::fpathconf(folder, _PC_NAME_MAX);
    return limit > 0 ? qsizetype(limit) : NAME_MAX;
}

// A folder named by its path, held open (for its descriptor alone, which needs no permission to read it).
int openFolder(const QString &path)
{
    return ::open(QFile::encodeName(path).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
}

// Runs `act` on a folder named by its path, held open; `otherwise` when it cannot be opened.
template<typename T>
T inFolder(const QString &path, T otherwise, const std::function<T(int)> &act)
{
    const int folder = openFolder(path);
    if (folder < 0)
        return otherwise;
    T done = act(folder);
    ::close(folder);
    return done;
}

bool endsInRandomLetters(std::string_view name)
{
    return name.size() >= size_t(kRandomLength) &&
           name.substr(name.size() - kRandomLength).find_first_not_of(kRandomLetters) == std::string_view::npos;
}

// The stem a name of an unfinished write was made from, if it is one: "<stem>.saving-XXXXXX", or
// an earlier version's ".<stem>.part-<pid>-XXXXXX".
std::optional<QByteArray> stemOfTemporaryName(const char *name)
{
    const std::string_view view(name);
    if (!endsInRandomLetters(view))
        return std::nullopt;
    const std::string_view head = view.substr(0, view.size() - kRandomLength);
    if (head.size() > size_t(kTemporaryInfix.size()) && head.ends_with(kTemporaryInfix.data()))
        return QByteArray(head.data(), qsizetype(head.size() - kTemporaryInfix.size()));
    if (head.size() < 2 || head.front() != '.' || head.back() != '-')
        return std::nullopt;
    const std::string_view part = head.substr(1, head.size() - 2); // "<stem>.part-<pid>"
    const size_t infix = part.rfind(kPartInfix);
    const std::string_view pid =
        infix == std::string_view::npos ? std::string_view() : part.substr(infix + kPartInfix.size());
    if (infix == 0 || pid.empty() || pid.size() > 10 || pid.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    // Those versions take no lock: a part of a process still running here is its write under way.
    if (isProcessRunning(std::stoll(std::string(pid))))
        return std::nullopt;
    return QByteArray(part.data(), qsizetype(infix));
}

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

void closeNewFile(int fd)
{
    struct stat opened {};
    if (::fstat(fd, &opened) == 0) {
        const std::lock_guard guard(ownFiles().lock);
        ownFiles().files.erase(keyOf(opened));
    }
    ::close(fd);
}

// Takes the writer's lock on `fd`, a file just made as `name` in `folder` with O_EXCL, and checks
// that no sweep removed it first (a sweep holds its shared lock while it unlinks). False, with errno
// set and `fd` closed, when the file must be made again under another name.
bool lockNewFile(int fd, int folder, const QByteArray &name)
{
    // The wait is short. Where the file system keeps no locks the file is written unlocked: no sweep
    // can lock it there either, so none takes it.
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
    if (::fstatat(folder, name.constData(), &named, AT_SYMLINK_NOFOLLOW) != 0 || !sameFile(opened, named)) {
        closeNewFile(fd);
        errno = EEXIST; // taken by a sweep between open() and flock(): another name will do
        return false;
    }
    return true;
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

// `name` whole where it fits with the tail, else cut at a character's boundary and marked with a
// digest of the whole name, so that two long names that begin alike never take each other's files.
QString temporaryStem(int folder, const QString &fileName)
{
    const QByteArray bytes = QFile::encodeName(fileName);
    const qsizetype room = nameLimit(folder) - kSavingTail;
    if (bytes.size() <= room)
        return fileName;
    const QByteArray digest = QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex().left(8);
    qsizetype cut = std::max<qsizetype>(0, room - 1 - digest.size());
    while (cut > 0 && (uchar(bytes.at(cut)) & 0xC0) == 0x80)
        --cut;
    return QFile::decodeName(bytes.left(cut)) + QLatin1Char('~') + QString::fromLatin1(digest);
}

QString temporaryStem(const QString &folder, const QString &fileName)
{
    return inFolder<QString>(folder, fileName, [&](int held) { return temporaryStem(held, fileName); });
}

QString temporaryFilePrefix(const QString &path)
{
    const QFileInfo target(path);
    const QString folder = target.absolutePath();
    return QDir(folder).filePath(temporaryStem(folder, target.fileName())) + kTemporaryInfix;
}

std::optional<QByteArrayList> folderEntries(int folder)
{
    const int listed = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR *entries = listed < 0 ? nullptr : ::fdopendir(listed);
    if (!entries) {
        const int code = errno;
        if (listed >= 0)
            ::close(listed);
        errno = code;
        return std::nullopt;
    }
    QByteArrayList names;
    while (const dirent *entry = ::readdir(entries))
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names << QByteArray(entry->d_name);
    ::closedir(entries);
    return names;
}

QHash<QString, QStringList> findLeftovers(int folder)
{
    QHash<QString, QStringList> found;
    for (const QByteArray &name : folderEntries(folder).value_or(QByteArrayList())) {
        const std::optional<QByteArray> stem = stemOfTemporaryName(name.constData());
        struct stat info {};
        if (stem && ::fstatat(folder, name.constData(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode) &&
            info.st_uid == ::getuid())
            found[QFile::decodeName(*stem)] << QFile::decodeName(name);
    }
    return found;
}

QHash<QString, QStringList> findLeftovers(const QString &folder)
{
    QHash<QString, QStringList> found = inFolder<QHash<QString, QStringList>>(folder, {}, [](int held) { return findLeftovers(held); });
    const QDir dir(folder);
    for (QStringList &names : found)
        for (QString &name : names)
            name = dir.filePath(name);
    return found;
}

QStringList leftoverTemporaryFiles(const QString &path)
{
    const QFileInfo target(path);
    QStringList found =
        findLeftovers(target.absolutePath()).value(temporaryStem(target.absolutePath(), target.fileName()));
    found.sort();
    return found;
}

bool whileNobodyHolds(const QString &path, const std::function<bool()> &act)
{
    const QFileInfo file(path);
    const QByteArray name = QFile::encodeName(file.fileName());
    return inFolder<bool>(file.absolutePath(), false, [&](int folder) { return whileNobodyHolds(folder, name, act); });
}

bool whileNobodyHolds(int folder, const QByteArray &name, const std::function<bool()> &act)
{
    // Held until the file is closed: where locks belong to the process (NFS), a writer of this
    // process that locked the file meanwhile would lose its lock with this close. The lock is held
    // while `act` runs too, so `act` must not write through the safe writer.
    const std::lock_guard guard(ownFiles().lock);
    // Looked at before it is opened: opening a device or a FIFO may block or do something.
    struct stat named {};
    if (::fstatat(folder, name.constData(), &named, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(named.st_mode) ||
        named.st_uid != ::getuid() || ownFiles().files.count(keyOf(named)) > 0)
        return false;
    const int fd = ::openat(folder, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    // A shared lock: it needs no write access (NFS emulates flock with byte-range locks, which do),
    // and it conflicts with a writer's exclusive one all the same.
    struct stat opened {};
    bool done = false;
    if (::fstat(fd, &opened) == 0 && sameFile(opened, named) && ::flock(fd, LOCK_SH | LOCK_NB) == 0 &&
        ::fstatat(folder, name.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0 && sameFile(opened, named))
        done = act();
    ::close(fd);
    return done;
}

bool removeIfAbandoned(const QString &path)
{
    // Removed from the folder where it was looked at, whatever its path names meanwhile.
    const QFileInfo file(path);
    const QByteArray name = QFile::encodeName(file.fileName());
    return inFolder<bool>(file.absolutePath(), false, [&](int folder) { return removeIfAbandoned(folder, name); });
}

bool removeIfAbandoned(int folder, const QByteArray &name)
{
    return whileNobodyHolds(folder, name, [&] { return ::unlinkat(folder, name.constData(), 0) == 0; });
}

namespace {

// The leftovers in the folder held at `folder` and in the folders under it, each opened inside the
// one above without following a link.
int sweepFolder(int folder, int depth)
{
    int removed = 0;
    for (const QStringList &leftovers : findLeftovers(folder))
        for (const QString &leftover : leftovers)
            removed += removeIfAbandoned(folder, QFile::encodeName(leftover)) ? 1 : 0;
    constexpr int kDeepest = 64;
    if (depth >= kDeepest)
        return removed;
    for (const QByteArray &name : folderEntries(folder).value_or(QByteArrayList())) {
        const int below = ::openat(folder, name.constData(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (below >= 0) {
            removed += sweepFolder(below, depth + 1);
            ::close(below);
        }
    }
    return removed;
}

} // namespace

QByteArray withRandomLetters(const QByteArray &prefix)
{
    QByteArray name = prefix;
    for (int i = 0; i < kRandomLength; ++i)
        name += kRandomLetters[QRandomGenerator::global()->bounded(int(kRandomLetters.size()))];
    return name;
}

int sweepLeftovers(const QString &folder)
{
    return inFolder<int>(folder, 0, [](int held) { return sweepFolder(held, 0); });
}

std::unique_ptr<LockedTemporaryFile> LockedTemporaryFile::create(int folder, const QString &folderPath,
                                                                 const QString &fileName, mode_t mode)
{
    const QByteArray prefix = QFile::encodeName(temporaryStem(folder, fileName)) + kTemporaryInfix.data();
    // Its own descriptor of the folder: the file outlives the writer's.
    const int held = ::fcntl(folder, F_DUPFD_CLOEXEC, 0);
    if (held < 0)
        return nullptr;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray name = withRandomLetters(prefix);
        const int fd = ::openat(held, name.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0 && lockNewFile(fd, held, name))
            return std::unique_ptr<LockedTemporaryFile>(new LockedTemporaryFile(fd, held, folderPath, name, mode));
        if (errno != EEXIST) {
            const int code = errno;
            ::close(held);
            errno = code;
            return nullptr;
        }
    }
    ::close(held);
    errno = EEXIST;
    return nullptr;
}

std::unique_ptr<LockedTemporaryFile> LockedTemporaryFile::create(const QString &target, mode_t mode)
{
    const QFileInfo file(target);
    const QString folderPath = file.absolutePath();
    return inFolder<std::unique_ptr<LockedTemporaryFile>>(folderPath, nullptr, [&](int folder) {
        return create(folder, folderPath, file.fileName(), mode);
    });
}

LockedTemporaryFile::~LockedTemporaryFile()
{
    // Unlinked under the lock: no one else can have taken the name meanwhile.
    if (!m_placed)
        ::unlinkat(m_folder, m_name.constData(), 0);
    closeNewFile(m_fd);
    ::close(m_folder);
}

QString LockedTemporaryFile::fileName() const
{
    return QDir(m_folderPath).filePath(QFile::decodeName(m_name));
}

bool LockedTemporaryFile::renameOver(const QByteArray &target, bool replaceLink)
{
    const auto rename = [&](unsigned flags) {
        return ::renameat2(m_folder, m_name.constData(), m_folder, target.constData(), flags) == 0;
    };
    // File systems that know neither way (some network ones) are left with a plain rename just after
    // the last look.
    const auto unsupported = [] { return errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP; };
    if (replaceLink)
        return m_placed = rename(0);
    // What stands at the name is looked at, then replaced only as it was seen: nothing there is
    // replaced only while nothing is (RENAME_NOREPLACE); a file is swapped with this one, and whatever
    // took its place meanwhile is looked at again before it goes. A link is swapped back.
    for (int attempt = 0; attempt < 10; ++attempt) {
        struct stat there {};
        if (::fstatat(m_folder, target.constData(), &there, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT)
                return false;
            if (rename(RENAME_NOREPLACE))
                return m_placed = true;
            if (errno == EEXIST)
                continue;
            return unsupported() && (m_placed = rename(0));
        }
        if (S_ISLNK(there.st_mode)) {
            errno = ELOOP;
            return false;
        }
        if (!rename(RENAME_EXCHANGE)) {
            if (errno == ENOENT)
                continue;
            return unsupported() && (m_placed = rename(0));
        }
        struct stat replaced {};
        if (::fstatat(m_folder, m_name.constData(), &replaced, AT_SYMLINK_NOFOLLOW) == 0 &&
            (S_ISLNK(replaced.st_mode) || S_ISDIR(replaced.st_mode))) {
            // A plain rename would not have replaced a folder either.
            const int code = S_ISLNK(replaced.st_mode) ? ELOOP : EISDIR;
            rename(RENAME_EXCHANGE);
            errno = code;
            return false;
        }
        ::unlinkat(m_folder, m_name.constData(), 0);
        return m_placed = true;
    }
    errno = EBUSY;
    return false;
}

} // namespace platform
