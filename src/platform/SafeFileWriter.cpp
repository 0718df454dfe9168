#include "platform/SafeFileWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryFile>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <limits>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

const QLatin1String kTemporaryInfix(".saving-");
constexpr int kRandomLength = 6; // QTemporaryFile's XXXXXX

bool isOurTemporaryName(const QString &name, const QString &target)
{
    const QString prefix = target + kTemporaryInfix;
    if (name.size() != prefix.size() + kRandomLength || !name.startsWith(prefix))
        return false;
    for (qsizetype i = prefix.size(); i < name.size(); ++i)
        if (!name.at(i).isLetterOrNumber() || name.at(i).unicode() > 0x7F)
            return false;
    return true;
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

// Syncs a written temporary file, gives it the permissions the target's file has or a new file gets,
// and renames it over the target.
bool putInPlace(QTemporaryFile &file, const QFileInfo &target, int mode, QString *error)
{
    if (::fsync(file.handle()) != 0) {
        if (error)
            *error = systemReason(errno, QStringLiteral("The file could not be written to the disk."));
        return false;
    }
    // A file that existed keeps its permissions and, where allowed, its group; a new one gets the
    // permissions the user's umask gives new files.
    // A mode that was asked for was set before the first byte and stays.
    if (mode < 0 && target.exists() && !target.isSymLink()) {
        file.setPermissions(QFile::permissions(target.absoluteFilePath()));
        struct stat old {};
        if (::stat(QFile::encodeName(target.absoluteFilePath()).constData(), &old) == 0)
            (void)::fchown(file.handle(), old.st_uid, old.st_gid);
    } else if (mode < 0) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(file.handle(), 0666 & ~mask);
    }
    file.close();
    if (::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(target.absoluteFilePath()).constData()) != 0) {
        if (error)
            *error = QString::fromLocal8Bit(strerror(errno));
        return false;
    }
    file.setAutoRemove(false);
    syncFolder(target.absolutePath());
    return true;
}

// "<.name>.part-<pid>-XXXXXX": hidden, and telling which process writes it.
const QLatin1String kPartInfix(".part-");

bool isRunning(qint64 pid)
{
    return pid > 0 && pid <= std::numeric_limits<pid_t>::max() && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

// The process id in a streamed file's temporary name; 0 for a name of another kind.
qint64 partOwner(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^\\..+\\.part-([0-9]{1,10})-[A-Za-z0-9]{6}$"));
    const QRegularExpressionMatch match = pattern.match(name);
    return match.hasMatch() ? match.captured(1).toLongLong() : 0;
}

} // namespace

WriteFunction setSafeWriteFunction(WriteFunction write)
{
    return g_write.exchange(write ? write : &::write);
}

QStringList leftoverTemporaryFiles(const QString &path)
{
    const QFileInfo target(path);
    QStringList found;
    // Names only, without looking each entry up: a batch writes thousands of files into one folder,
    // and every write looks for its own leftovers there.
    DIR *folder = ::opendir(QFile::encodeName(target.absolutePath()).constData());
    if (!folder)
        return found;
    const QByteArray prefix = QFile::encodeName(target.fileName() + kTemporaryInfix);
    while (const dirent *entry = ::readdir(folder)) {
        if (std::strncmp(entry->d_name, prefix.constData(), size_t(prefix.size())) != 0)
            continue;
        const QString name = QFile::decodeName(entry->d_name);
        if (isOurTemporaryName(name, target.fileName()) && QFileInfo(target.absoluteDir().filePath(name)).isFile())
            found << target.absoluteDir().filePath(name);
    }
    ::closedir(folder);
    found.sort();
    return found;
}

bool writeFileSafely(const QString &path, const QByteArray &bytes, QString *error, int mode, AtALink link)
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
    // Leftovers of this same file only; a current write of it by someone else is not expected.
    const QStringList leftovers = leftoverTemporaryFiles(target.absoluteFilePath());

    QTemporaryFile file(target.absoluteFilePath() + kTemporaryInfix + QStringLiteral("XXXXXX"));
    if (!file.open())
        return fail(file.errorString());
    if (mode >= 0 && ::fchmod(file.handle(), mode_t(mode)) != 0)
        return fail(QString::fromLocal8Bit(strerror(errno)));
    errno = 0;
    if (!writeAll(file.handle(), bytes))
        return fail(systemReason(errno, QStringLiteral("The file could not be written.")));
    if (!putInPlace(file, target, mode, error))
        return false;
    for (const QString &leftover : leftovers)
        QFile::remove(leftover);
    return true;
}

SavingFile::SavingFile(const QString &path) : m_target(path) {}

SavingFile::~SavingFile()
{
    discard();
}

QStringList SavingFile::leftovers(const QString &folder)
{
    QStringList found;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name)) {
        const qint64 owner = partOwner(name);
        if (owner > 0 && !isRunning(owner))
            found << dir.filePath(name);
    }
    return found;
}

bool SavingFile::begin(QString *error)
{
    const QString folder = m_target.absolutePath();
    for (const QString &leftover : leftovers(folder))
        QFile::remove(leftover);
    m_file = std::make_unique<QTemporaryFile>(QDir(folder).filePath(QLatin1Char('.') + m_target.fileName() + kPartInfix +
                                                                    QString::number(QCoreApplication::applicationPid()) +
                                                                    QStringLiteral("-XXXXXX")));
    errno = 0;
    if (!QFileInfo(folder).isDir() || !m_file->open()) {
        const int code = errno;
        m_file.reset();
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

bool SavingFile::commit(const std::function<QString(const QString &written)> &check, QString *error)
{
    const auto fail = [&](const QString &reason) {
        if (error)
            *error = reason;
        discard();
        return false;
    };
    if (!flushBuffer())
        return fail(m_error.isEmpty() ? QStringLiteral("The file could not be written.") : m_error);
    if (check)
        if (const QString problem = check(m_file->fileName()); !problem.isEmpty())
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
