#include "datasource/readers/ZipArchiveReader.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

const QString ZipArchiveReader::ErrorDomain = QStringLiteral("SSZipArchiveErrorDomain");

namespace {

constexpr int kChunk = 64 * 1024;

// The end record, the zip64 locator before it and the zip64 end record, in bytes.
constexpr qint64 kEndRecord = 22, kLocator = 20, kZip64Record = 56;
// What libzip reads of a file's tail to find the end record: the locator, the record and its
// longest comment.
constexpr qint64 kTail = kLocator + kEndRecord + 0xFFFF;

// Names that would lead outside a folder they were unpacked into, or that no folder could hold.
bool isSafeEntryName(const QByteArray &name)
{
    if (name.isEmpty() || name.startsWith('/') || (name.size() >= 2 && name.at(1) == ':'))
        return false;
    for (const QByteArray &part : name.split('/'))
        if (part == "..")
            return false;
    return true;
}

QString cannotRead(const QString &file, int error)
{
    return QStringLiteral("The file \"%1\" cannot be read: %2.").arg(file, qt_error_string(error));
}

QString notAWorkbook(const QString &file)
{
    return QStringLiteral("The file \"%1\" is not a workbook or is damaged.").arg(file);
}

QString methodName(zip_int32_t method)
{
    switch (method) {
    case ZIP_CM_SHRINK: return QStringLiteral("Shrink");
    case ZIP_CM_REDUCE_1: case ZIP_CM_REDUCE_2: case ZIP_CM_REDUCE_3: case ZIP_CM_REDUCE_4: return QStringLiteral("Reduce");
    case ZIP_CM_IMPLODE: return QStringLiteral("Implode");
    case ZIP_CM_DEFLATE64: return QStringLiteral("Deflate64");
    case ZIP_CM_BZIP2: return QStringLiteral("bzip2");
    case ZIP_CM_LZMA: return QStringLiteral("LZMA");
    case 93: return QStringLiteral("Zstandard");
    case ZIP_CM_XZ: return QStringLiteral("XZ");
    case ZIP_CM_PPMD: return QStringLiteral("PPMd");
    default: return QStringLiteral("method %1").arg(method);
    }
}

// Reads `size` bytes at `offset`; false when the file ends before, with errno 0.
bool readAt(int fd, char *into, qint64 size, qint64 offset)
{
    while (size > 0) {
        const ssize_t got = ::pread(fd, into, size_t(size), offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            if (got == 0)
                errno = 0;
            return false;
        }
        into += got;
        size -= got;
        offset += got;
    }
    return true;
}

struct Directory {
    quint64 entries = 0, size = 0, offset = 0;
};

// Whether `directory` could hold the entries its record claims: room for each entry's header of
// 46 bytes, and the first of them where it says. A record met by chance in a comment or a part
// passes libzip's checks as easily as a true one.
bool holdsItsEntries(int fd, const Directory &directory, quint64 counted)
{
    char signature[4];
    return directory.size >= 46 * counted && readAt(fd, signature, 4, qint64(directory.offset))
           && std::memcmp(signature, "PK\x01\x02", 4) == 0;
}

// The directory that the end record at `at` of `tail` (read from `tailStart` on) points to, if
// libzip would load it: libzip tries every record in the tail and keeps the best, so each one
// that passes its cheap checks costs its whole directory. The checks are libzip's and no more, so
// that a record libzip loads is never passed over.
std::optional<Directory> directoryAt(int fd, const QByteArray &tail, qint64 tailStart, qsizetype at)
{
    const auto *record = reinterpret_cast<const uchar *>(tail.constData()) + at;
    const quint64 recordOffset = quint64(tailStart + at);
    Directory found;
    quint64 &offset = found.offset;
    if (at >= kLocator && std::memcmp(record - kLocator, "PK\x06\x07", 4) == 0) {
        // libzip reads the locator's disk number as two halves, either taken from the zip64
        // record when it is 0xFFFF, and then ignores the classic record's counts.
        const uchar *locator = record - kLocator;
        const quint64 at64 = qFromLittleEndian<quint64>(locator + 8);
        if (recordOffset < kLocator + kZip64Record || at64 > recordOffset - kLocator - kZip64Record)
            return std::nullopt;
        uchar zip64[kZip64Record];
        if (!readAt(fd, reinterpret_cast<char *>(zip64), kZip64Record, qint64(at64)) || std::memcmp(zip64, "PK\x06\x06", 4) != 0)
            return std::nullopt;
        const quint16 disks = qFromLittleEndian<quint16>(locator + 4), disk = qFromLittleEndian<quint16>(locator + 6);
        if ((disks == 0xFFFF ? qFromLittleEndian<quint32>(zip64 + 16) : disks) != 0
            || (disk == 0xFFFF ? qFromLittleEndian<quint32>(zip64 + 20) : disk) != 0)
            return std::nullopt;
        found.entries = qFromLittleEndian<quint64>(zip64 + 32);
        if (qFromLittleEndian<quint64>(zip64 + 24) != found.entries)
            return std::nullopt;
        found.size = qFromLittleEndian<quint64>(zip64 + 40);
        offset = qFromLittleEndian<quint64>(zip64 + 48);
    } else {
        if (qFromLittleEndian<quint32>(record + 4) != 0)
            return std::nullopt;
        found.entries = qFromLittleEndian<quint16>(record + 10);
        if (qFromLittleEndian<quint16>(record + 8) != found.entries)
            return std::nullopt;
        found.size = qFromLittleEndian<quint32>(record + 12);
        offset = qFromLittleEndian<quint32>(record + 16);
    }
    if (found.size > recordOffset || offset > recordOffset - found.size)
        return std::nullopt;
    return found;
}

} // namespace

ZipArchiveReader::ZipArchiveReader(const QString &path, qint64 maxEntrySize)
    : m_maxEntrySize(maxEntrySize)
{
    const QString name = QFileInfo(path).fileName();
    // Not blocking, for a FIFO would wait for a writer.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        fail(FailedToOpen, cannotRead(name, errno));
        return;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        fail(FailedToOpen, QStringLiteral("\"%1\" is not a file that can be read.").arg(name));
        return;
    }
    if (!checkDirectories(fd, info.st_size, name)) {
        ::close(fd);
        return;
    }
    FILE *file = ::fdopen(fd, "rb");
    if (!file) {
        const int error = errno;
        ::close(fd);
        fail(FailedToOpen, cannotRead(name, error));
        return;
    }
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_filep_create(file, 0, -1, &error);
    if (!source)
        std::fclose(file);
    else if (!(m_zip = zip_open_from_source(source, ZIP_RDONLY, &error)))
        zip_source_free(source);
    if (!m_zip) {
        // The file was opened and its tail read already: what fails now is its content, unless a
        // read fails.
        const int code = zip_error_code_zip(&error);
        const int system = zip_error_system_type(&error) == ZIP_ET_SYS ? zip_error_code_system(&error) : 0;
        fail(FailedToOpen, code == ZIP_ER_MEMORY ? cannotRead(name, ENOMEM)
                           : code == ZIP_ER_READ && system != 0 ? cannotRead(name, system)
                                                                : notAWorkbook(name));
        zip_error_fini(&error);
        return;
    }
    zip_error_fini(&error);
    if (!listEntries(name)) {
        zip_discard(m_zip);
        m_zip = nullptr;
        m_names.clear();
        m_indexes.clear();
    }
}

bool ZipArchiveReader::checkDirectories(int fd, qint64 fileSize, const QString &name)
{
    const qint64 tailSize = std::min(fileSize, kTail);
    const qint64 tailStart = fileSize - tailSize;
    QByteArray tail(tailSize, Qt::Uninitialized);
    if (!readAt(fd, tail.data(), tailSize, tailStart))
        return fail(FailedToOpen, errno ? cannotRead(name, errno) : notAWorkbook(name));
    // Every directory libzip would try counts, for it loads each in turn. A classic record may keep
    // the count modulo 65536, and libzip then reads on to the directory's end: its size bounds that.
    // libzip skips the first 20 bytes of a whole tail; a record counted there too only errs on the
    // side of refusing.
    // The archive is said to hold too many entries only where one directory could hold them.
    Directory total;
    bool held = false;
    for (qsizetype at = 0; (at = tail.indexOf("PK\x05\x06", at)) >= 0 && at <= tailSize - kEndRecord; ++at) {
        const std::optional<Directory> directory = directoryAt(fd, tail, tailStart, at);
        if (!directory)
            continue;
        const quint64 entries = std::min<quint64>(directory->entries, kMaxEntries + 1);
        total.entries += entries;
        total.size += std::min<quint64>(directory->size, kMaxDirectorySize + 1);
        held = held || (entries > kMaxEntries && holdsItsEntries(fd, *directory, entries));
        if (total.entries > kMaxEntries)
            return fail(Refused, held ? QStringLiteral("The archive holds more than %1 entries.").arg(kMaxEntries)
                                      : QStringLiteral("The archive's end records claim more than %1 entries.").arg(kMaxEntries));
        if (total.size > kMaxDirectorySize)
            return fail(Refused, QStringLiteral("The archive's list of entries is larger than %1 MB.").arg(kMaxDirectorySize >> 20));
    }
    return true;
}

ZipArchiveReader::~ZipArchiveReader()
{
    closeEntry();
    if (m_zip)
        zip_discard(m_zip);
}

bool ZipArchiveReader::fail(ErrorCode code, const QString &reason)
{
    m_errorCode = code;
    m_errorString = reason;
    return false;
}

bool ZipArchiveReader::listEntries(const QString &file)
{
    const zip_int64_t count = zip_get_num_entries(m_zip, 0);
    if (count <= 0)
        return fail(FailedToOpenFirst, notAWorkbook(file));
    if (count > kMaxEntries)
        return fail(Refused, QStringLiteral("The archive holds more than %1 entries.").arg(kMaxEntries));
    for (zip_int64_t index = 0; index < count; ++index) {
        // The bytes as stored, read as UTF-8 whatever the archive's flags say.
        const char *name = zip_get_name(m_zip, zip_uint64_t(index), ZIP_FL_ENC_RAW);
        if (!name)
            return fail(FailedToOpenFirst, notAWorkbook(file));
        QByteArray entry(name);
        entry.replace('\\', '/');
        const QString text = QString::fromUtf8(entry);
        if (!isSafeEntryName(entry))
            return fail(Refused, QStringLiteral("The archive holds an entry whose name leads outside its folder: \"%1\".")
                                     .arg(text));
        if (m_indexes.contains(text))
            return fail(Refused, QStringLiteral("The archive holds two entries named \"%1\".").arg(text));
        m_indexes.insert(text, quint64(index));
        m_names << text;
    }
    return true;
}

std::optional<QByteArray> ZipArchiveReader::read(const QString &name)
{
    if (!openEntry(name))
        return std::nullopt;
    QByteArray bytes;
    bytes.reserve(qsizetype(m_entrySize));
    std::ptrdiff_t got = 0;
    do {
        if (bytes.capacity() - bytes.size() < kChunk)
            bytes.reserve(bytes.size() + std::max<qsizetype>(kChunk, bytes.size()));
        const qsizetype at = bytes.size();
        bytes.resize(at + kChunk);
        got = readPiece(bytes.data() + at, kChunk);
        bytes.resize(at + std::max<std::ptrdiff_t>(got, 0));
    } while (got > 0);
    if (got < 0)
        return std::nullopt;
    return bytes;
}

void ZipArchiveReader::closeEntry()
{
    if (m_file)
        zip_fclose(m_file);
    m_file = nullptr;
}

bool ZipArchiveReader::openEntry(const QString &name, qint64 maxSize)
{
    closeEntry();
    if (!m_zip)
        return false; // the reason of the opening stands
    const auto found = m_indexes.constFind(name);
    if (found == m_indexes.constEnd())
        return fail(FailedToRead, QStringLiteral("The archive has no entry \"%1\".").arg(name));
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(m_zip, *found, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE))
        return fail(FailedToRead, QStringLiteral("The entry \"%1\" cannot be read.").arg(name));
    if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE)
        return fail(FailedToRead, QStringLiteral("The entry \"%1\" is encrypted.").arg(name));
    if ((stat.valid & ZIP_STAT_COMP_METHOD) && !zip_compression_method_supported(stat.comp_method, 0))
        return fail(FailedToRead, QStringLiteral("The entry \"%1\" is compressed with a method this program does not read (%2).")
                                      .arg(name, methodName(stat.comp_method)));
    const qint64 limit = maxSize > 0 ? maxSize : m_maxEntrySize;
    if (stat.size > quint64(limit))
        return fail(Refused, QStringLiteral("The entry \"%1\" is larger than %2 MB.").arg(name).arg(limit >> 20));
    m_file = zip_fopen_index(m_zip, *found, 0);
    if (!m_file)
        return fail(FailedToRead, QStringLiteral("The entry \"%1\" cannot be read.").arg(name));
    m_entry = name;
    m_entrySize = stat.size;
    m_entryRead = 0;
    return true;
}

std::ptrdiff_t ZipArchiveReader::readPiece(char *buffer, std::size_t capacity)
{
    if (!m_file)
        return -1;
    const auto damaged = [&] {
        closeEntry();
        fail(FailedToRead, QStringLiteral("The entry \"%1\" is damaged.").arg(m_entry));
        return std::ptrdiff_t(-1);
    };
    // The declared size bounds the read, and the entry must end there: the library checks the
    // checksum at the end, but not the size.
    if (m_entryRead == m_entrySize) {
        char past = 0;
        const zip_int64_t more = zip_fread(m_file, &past, 1);
        if (more != 0)
            return damaged();
        closeEntry();
        return 0;
    }
    const std::size_t wanted = std::size_t(std::min<quint64>({capacity, 1u << 30, m_entrySize - m_entryRead}));
    const zip_int64_t got = zip_fread(m_file, buffer, wanted);
    if (got <= 0)
        return damaged();
    m_entryRead += quint64(got);
    return std::ptrdiff_t(got);
}
