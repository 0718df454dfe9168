#include "platform/SafeFileWriter.h"

#include "platform/Leftovers.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringList>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <optional>
#include <string_view>

#include <dirent.h>
#include <fcntl.h>
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

// The folder's limit on the length of a name, in bytes.
qsizetype nameLimit(const QString &folder)
{
    const long limit = ::pathconf(QFile::encodeName(folder).constData(), _PC_NAME_MAX);
    return limit > 0 ? qsizetype(limit) : NAME_MAX;
}

// `name` as the start of a temporary name whose other `reserved` bytes must fit within the folder's
// limit: whole where it fits, else cut at a character's boundary and marked with a digest of the whole
// name, so that two long names that begin alike never take each other's temporary files.
QString temporaryStem(const QString &folder, const QString &name, qsizetype reserved)
{
    const QByteArray bytes = QFile::encodeName(name);
    const qsizetype room = nameLimit(folder) - reserved;
    if (bytes.size() <= room)
        return name;
    const QByteArray digest = QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex().left(8);
    qsizetype cut = std::max<qsizetype>(0, room - 1 - digest.size());
    while (cut > 0 && (uchar(bytes.at(cut)) & 0xC0) == 0x80)
        --cut;
    return QFile::decodeName(bytes.left(cut)) + QLatin1Char('~') + QString::fromLatin1(digest);
}

// ASCII's letters and digits, whatever the locale says a letter is.
constexpr std::string_view kRandomLetters("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789");

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

// This user's leftovers of unfinished writes in `folder`, by the stem they were written for. Names
// only are read, and only a leftover's entry is looked up.
QHash<QString, QStringList> findLeftovers(const QString &folder)
{
    QHash<QString, QStringList> found;
    DIR *entries = ::opendir(QFile::encodeName(folder).constData());
    if (!entries)
        return found;
    const QDir dir(folder);
    while (const dirent *entry = ::readdir(entries)) {
        const std::optional<QByteArray> stem = stemOfTemporaryName(entry->d_name);
        if (!stem)
            continue;
        const QString path = dir.filePath(QFile::decodeName(entry->d_name));
        if (isOwnRegularFile(path))
            found[QFile::decodeName(*stem)] << path;
    }
    ::closedir(entries);
    return found;
}

// The path of a temporary file of `fileName` in `folder` but for its random letters.
QString temporaryPrefix(const QString &folder, const QString &fileName)
{
    return QDir(folder).filePath(temporaryStem(folder, fileName, kSavingTail)) + kTemporaryInfix;
}

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

} // namespace

// A temporary file made beside its target and held under an exclusive flock from its making to
// its end, so that no sweep takes it while it is written; removed unless it was put in place.
class LockedTemporaryFile {
public:
    // "<prefix>XXXXXX", made with `mode` less the umask; nullptr, with errno set, when it cannot be.
    static std::unique_ptr<LockedTemporaryFile> create(const QString &prefix, mode_t mode)
    {
        for (int attempt = 0; attempt < 100; ++attempt) {
            QString path = prefix;
            for (int i = 0; i < kRandomLength; ++i)
                path += QLatin1Char(kRandomLetters[QRandomGenerator::global()->bounded(int(kRandomLetters.size()))]);
            const int fd =
                ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
            if (fd >= 0 && lockNewFile(fd, path))
                return std::unique_ptr<LockedTemporaryFile>(new LockedTemporaryFile(fd, path, mode));
            if (errno != EEXIST)
                return nullptr;
        }
        errno = EEXIST;
        return nullptr;
    }

    ~LockedTemporaryFile()
    {
        // Unlinked under the lock: no one else can have taken the name meanwhile.
        if (!m_placed)
            ::unlink(QFile::encodeName(m_path).constData());
        closeNewFile(m_fd);
    }
    LockedTemporaryFile(const LockedTemporaryFile &) = delete;
    LockedTemporaryFile &operator=(const LockedTemporaryFile &) = delete;

    int handle() const { return m_fd; }
    QString fileName() const { return m_path; }

    // Syncs the file, gives it the permissions and, where allowed, the group of the file it replaces
    // (a new one keeps what the umask gave it, a mode that was asked for was set before the first
    // byte), and renames it over `target` while still holding the lock.
    bool putInPlace(const QString &target, int mode, QString *error)
    {
        if (::fsync(m_fd) != 0) {
            if (error)
                *error = systemReason(errno, QStringLiteral("The file could not be written to the disk."));
            return false;
        }
        const QByteArray targetName = QFile::encodeName(target);
        struct stat old {};
        if (mode < 0 && ::lstat(targetName.constData(), &old) == 0 && !S_ISLNK(old.st_mode)) {
            // Only its owner may give a file away; the group goes where the user is in it. Before
            // fchmod: a change of group may clear bits.
            (void)::fchown(m_fd, uid_t(-1), old.st_gid);
            ::fchmod(m_fd, old.st_mode & 0777);
        } else if (mode < 0 && m_mode != 0666) {
            // The file it was to replace went while it was written: it is a new file after all.
            if (const int mask = currentUmask(); mask >= 0)
                ::fchmod(m_fd, 0666 & ~mode_t(mask));
        }
        if (::rename(QFile::encodeName(m_path).constData(), targetName.constData()) != 0) {
            if (error)
                *error = QString::fromLocal8Bit(strerror(errno));
            return false;
        }
        m_placed = true;
        syncFolder(QFileInfo(target).absolutePath());
        return true;
    }

private:
    LockedTemporaryFile(int fd, const QString &path, mode_t mode) : m_fd(fd), m_path(path), m_mode(mode) {}

    int m_fd;
    QString m_path;
    mode_t m_mode; // as it was made, before the umask
    bool m_placed = false;
};

WriteFunction setSafeWriteFunction(WriteFunction write)
{
    return g_write.exchange(write ? write : &::write);
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

QString temporaryFilePrefix(const QString &path)
{
    const QFileInfo target(path);
    return temporaryPrefix(target.absolutePath(), target.fileName());
}

QStringList leftoverTemporaryFiles(const QString &path)
{
    const QFileInfo target(path);
    QStringList found = findLeftovers(target.absolutePath())
                            .value(temporaryStem(target.absolutePath(), target.fileName(), kSavingTail));
    found.sort();
    return found;
}

bool writeFileSafely(const QString &path, const QByteArray &bytes, QString *error, int mode, AtALink link)
{
    return SafeFileBatch().write(path, bytes, error, mode, link);
}

bool SafeFileBatch::write(const QString &path, const QByteArray &bytes, QString *error, int mode, AtALink link)
{
    const auto fail = [&](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    // A link that is kept goes on pointing at the file it names: that file is the one written.
    const QFileInfo named(path);
    const QFileInfo target(named.isSymLink() && link == AtALink::WriteItsTarget ? named.symLinkTarget() : path);
    const QString folder = target.absolutePath();
    if (!QFileInfo(folder).isDir())
        return fail(QStringLiteral("No such folder: %1").arg(folder));
    if (const QString problem = targetProblem(path, link); !problem.isEmpty())
        return fail(problem);
    auto leftovers = m_leftovers.find(folder);
    if (leftovers == m_leftovers.end())
        leftovers = m_leftovers.insert(folder, findLeftovers(folder));
    // Leftovers of this same file only.
    const QString stem = temporaryStem(folder, target.fileName(), kSavingTail);

    errno = 0;
    const std::unique_ptr<LockedTemporaryFile> file = LockedTemporaryFile::create(
        temporaryPrefix(folder, target.fileName()), creationMode(target.absoluteFilePath(), mode));
    if (!file)
        return fail(systemReason(errno, QStringLiteral("The file could not be made.")));
    if (mode >= 0 && ::fchmod(file->handle(), mode_t(mode)) != 0)
        return fail(QString::fromLocal8Bit(strerror(errno)));
    errno = 0;
    if (!writeAll(file->handle(), bytes))
        return fail(systemReason(errno, QStringLiteral("The file could not be written.")));
    if (!file->putInPlace(target.absoluteFilePath(), mode, error))
        return false;
    for (const QString &leftover : leftovers->take(stem))
        removeIfAbandoned(leftover);
    return true;
}

SavingFile::SavingFile(const QString &path) : m_target(path) {}

SavingFile::~SavingFile()
{
    discard();
}

bool SavingFile::begin(QString *error)
{
    const QString folder = m_target.absolutePath();
    // Refused before a page is drawn: the rename would replace what the user protected, and cannot
    // replace a folder.
    if (const QString problem = targetProblem(m_target.absoluteFilePath(), AtALink::ReplaceIt); !problem.isEmpty()) {
        if (error)
            *error = problem;
        return false;
    }
    // What killed prints of this same file left: a print may take long enough to be killed. Other
    // names of the shape are left alone, for a user's own file may happen to have it.
    for (const QString &leftover : leftoverTemporaryFiles(m_target.absoluteFilePath()))
        removeIfAbandoned(leftover);
    errno = 0;
    if (QFileInfo(folder).isDir())
        m_file = LockedTemporaryFile::create(temporaryPrefix(folder, m_target.fileName()),
                                             creationMode(m_target.absoluteFilePath(), -1));
    if (!m_file) {
        const int code = errno;
        if (error)
            *error = code == ENOSPC || code == EDQUOT
                         ? systemReason(code, QString())
                         : QStringLiteral("The folder %1 cannot be written.").arg(QDir::toNativeSeparators(folder));
        return false;
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
    if (const QString problem = targetProblem(m_target.absoluteFilePath(), AtALink::ReplaceIt); !problem.isEmpty())
        return fail(problem);
    QString reason;
    if (!m_file->putInPlace(m_target.absoluteFilePath(), -1, &reason))
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
