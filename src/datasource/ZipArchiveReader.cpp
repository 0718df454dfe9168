#include "datasource/ZipArchiveReader.h"

#include <QFile>
#include <QFileInfo>

#include <minizip/unzip.h>

#include <algorithm>

const QString ZipArchiveReader::ErrorDomain = QStringLiteral("SSZipArchiveErrorDomain");

namespace {

constexpr int kChunk = 64 * 1024;
constexpr uLong kMaxNameBytes = 65535; // the format's own limit

unzFile handle(void *zip)
{
    return static_cast<unzFile>(zip);
}

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
    m_zip = unzOpen64(QFile::encodeName(path).constData());
    if (!m_zip) {
        fail(FailedToOpen, QStringLiteral("failed to open zip file"));
        return;
    }
    if (!listEntries()) {
        unzClose(handle(m_zip));
        m_zip = nullptr;
        m_names.clear();
        m_positions.clear();
    }
}

ZipArchiveReader::~ZipArchiveReader()
{
    if (m_entryOpen)
        unzCloseCurrentFile(handle(m_zip));
    if (m_zip)
        unzClose(handle(m_zip));
}

bool ZipArchiveReader::fail(ErrorCode code, const QString &reason)
{
    m_errorCode = code;
    m_errorString = reason;
    return false;
}

bool ZipArchiveReader::listEntries()
{
    unz_global_info64 global{};
    if (unzGetGlobalInfo64(handle(m_zip), &global) != UNZ_OK || unzGoToFirstFile(handle(m_zip)) != UNZ_OK)
        return fail(FailedToOpenFirst, QStringLiteral("failed to open first file in zip file"));
    QByteArray name(kMaxNameBytes + 1, '\0');
    int status = UNZ_OK;
    for (; status == UNZ_OK; status = unzGoToNextFile(handle(m_zip))) {
        if (m_names.size() >= kMaxEntries)
            return fail(Refused, QStringLiteral("The archive holds more than %1 entries.").arg(kMaxEntries));
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(handle(m_zip), &info, name.data(), kMaxNameBytes, nullptr, 0, nullptr, 0) != UNZ_OK)
            return fail(FailedToOpenFirst, QStringLiteral("failed to open first file in zip file"));
        QByteArray entry(name.constData(), qsizetype(qMin<uLong>(info.size_filename, kMaxNameBytes)));
        entry.replace('\\', '/');
        const QString text = QString::fromUtf8(entry);
        if (!isSafeEntryName(entry))
            return fail(Refused, QStringLiteral("The archive holds an entry whose name leads outside its folder: \"%1\".")
                                     .arg(text));
        if (m_positions.contains(text))
            return fail(Refused, QStringLiteral("The archive holds two entries named \"%1\".").arg(text));
        unz64_file_pos position{};
        unzGetFilePos64(handle(m_zip), &position);
        m_positions.insert(text, {position.pos_in_zip_directory, position.num_of_file});
        m_names << text;
    }
    if (status != UNZ_END_OF_LIST_OF_FILE)
        return fail(FailedToOpenFirst, QStringLiteral("failed to open first file in zip file"));
    return true;
}

std::optional<QByteArray> ZipArchiveReader::read(const QString &name)
{
    if (!openEntry(name))
        return std::nullopt;
    QByteArray bytes;
    bytes.reserve(qsizetype(m_entrySize));
    // The declared size is not trusted: the bytes are counted as they come.
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

bool ZipArchiveReader::openEntry(const QString &name, qint64 maxSize)
{
    if (m_entryOpen) {
        unzCloseCurrentFile(handle(m_zip));
        m_entryOpen = false;
    }
    if (!m_zip)
        return fail(FailedToOpen, QStringLiteral("failed to open zip file"));
    const auto found = m_positions.constFind(name);
    if (found == m_positions.constEnd())
        return fail(FailedToRead, QStringLiteral("The archive has no entry \"%1\".").arg(name));
    const unz64_file_pos position{found->directoryOffset, found->fileNumber};
    unz_file_info64 info{};
    if (unzGoToFilePos64(handle(m_zip), &position) != UNZ_OK
        || unzGetCurrentFileInfo64(handle(m_zip), &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
        return fail(FailedToRead, QStringLiteral("The entry \"%1\" cannot be read.").arg(name));
    if (info.flag & 1u)
        return fail(FailedToRead, QStringLiteral("The entry \"%1\" is encrypted.").arg(name));
    m_entry = name;
    m_entryLimit = maxSize > 0 ? maxSize : m_maxEntrySize;
    if (info.uncompressed_size > quint64(m_entryLimit))
        return fail(Refused, QStringLiteral("The entry \"%1\" is larger than %2 MB.").arg(name).arg(m_entryLimit >> 20));
    if (unzOpenCurrentFile(handle(m_zip)) != UNZ_OK)
        return fail(FailedToRead, QStringLiteral("The entry \"%1\" cannot be read.").arg(name));
    m_entryOpen = true;
    m_entrySize = info.uncompressed_size;
    m_entryRead = 0;
    return true;
}

std::ptrdiff_t ZipArchiveReader::readPiece(char *buffer, std::size_t capacity)
{
    if (!m_entryOpen)
        return -1;
    const auto failed = [&](ErrorCode code, const QString &reason) {
        unzCloseCurrentFile(handle(m_zip));
        m_entryOpen = false;
        fail(code, reason);
        return std::ptrdiff_t(-1);
    };
    const int got = unzReadCurrentFile(handle(m_zip), buffer, unsigned(std::min<std::size_t>(capacity, 1u << 30)));
    if (got > 0) {
        m_entryRead += quint64(got);
        if (m_entryRead > quint64(m_entryLimit))
            return failed(Refused, QStringLiteral("The entry \"%1\" is larger than %2 MB.").arg(m_entry).arg(m_entryLimit >> 20));
        return got;
    }
    if (got < 0)
        return failed(FailedToRead, QStringLiteral("The entry \"%1\" is damaged.").arg(m_entry));
    m_entryOpen = false;
    // Closing checks the checksum.
    if (unzCloseCurrentFile(handle(m_zip)) != UNZ_OK || m_entryRead != m_entrySize) {
        fail(FailedToRead, QStringLiteral("The entry \"%1\" is damaged.").arg(m_entry));
        return -1;
    }
    return 0;
}
