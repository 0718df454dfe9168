#include "datasource/readers/ZipArchiveReader.h"

#include <QFile>
#include <QFileInfo>

#include <zip.h>

#include <algorithm>

const QString ZipArchiveReader::ErrorDomain = QStringLiteral("SSZipArchiveErrorDomain");

namespace {

constexpr int kChunk = 64 * 1024;

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

} // namespace

ZipArchiveReader::ZipArchiveReader(const QString &path, qint64 maxEntrySize)
    : m_maxEntrySize(maxEntrySize)
{
    // A FIFO or a device would block or never end.
    if (!QFileInfo(path).isFile()) {
        fail(FailedToOpen, QStringLiteral("\"%1\" is not a file that can be read.").arg(QFileInfo(path).fileName()));
        return;
    }
    int error = 0;
    m_zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (!m_zip) {
        fail(FailedToOpen, QStringLiteral("failed to open zip file"));
        return;
    }
    if (!listEntries()) {
        zip_discard(m_zip);
        m_zip = nullptr;
        m_names.clear();
        m_indexes.clear();
    }
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

bool ZipArchiveReader::listEntries()
{
    const zip_int64_t count = zip_get_num_entries(m_zip, 0);
    if (count <= 0)
        return fail(FailedToOpenFirst, QStringLiteral("failed to open first file in zip file"));
    if (count > kMaxEntries)
        return fail(Refused, QStringLiteral("The archive holds more than %1 entries.").arg(kMaxEntries));
    for (zip_int64_t index = 0; index < count; ++index) {
        // The bytes as stored, read as UTF-8 whatever the archive's flags say.
        const char *name = zip_get_name(m_zip, zip_uint64_t(index), ZIP_FL_ENC_RAW);
        if (!name)
            return fail(FailedToOpenFirst, QStringLiteral("failed to open first file in zip file"));
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
        return fail(FailedToOpen, QStringLiteral("failed to open zip file"));
    const auto found = m_indexes.constFind(name);
    if (found == m_indexes.constEnd())
        return fail(FailedToRead, QStringLiteral("The archive has no entry \"%1\".").arg(name));
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(m_zip, *found, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE))
        return fail(FailedToRead, QStringLiteral("The entry \"%1\" cannot be read.").arg(name));
    if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE)
        return fail(FailedToRead, QStringLiteral("The entry \"%1\" is encrypted.").arg(name));
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
