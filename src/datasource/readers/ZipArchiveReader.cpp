#include "datasource/readers/ZipArchiveReader.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <minizip/unzip.h>
#include <zlib.h>

#include <algorithm>

const QString ZipArchiveReader::ErrorDomain = QStringLiteral("SSZipArchiveErrorDomain");

namespace {

constexpr int kChunk = 64 * 1024;
constexpr uLong kMaxNameBytes = 65535; // the format's own limit, for extra fields too
constexpr ZPOS64_T kZip64Size = 0xFFFFFFFF;

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

// This version of minizip leaves the sizes that the central directory keeps in a zip64 extra field
// (id 0x0001) at 0xFFFFFFFF: they are read there, the uncompressed size first, each present only
// when its place says 0xFFFFFFFF. A size not found stays 0xFFFFFFFF.
void readZip64Sizes(const QByteArray &extra, unz_file_info64 &info)
{
    const auto word = [&](qsizetype at) { return qFromLittleEndian<quint16>(extra.constData() + at); };
    for (qsizetype at = 0; at + 4 <= extra.size(); at += 4 + word(at + 2)) {
        const qsizetype end = at + 4 + word(at + 2);
        if (end > extra.size())
            return;
        if (word(at) != 0x0001)
            continue;
        qsizetype field = at + 4;
        for (ZPOS64_T *size : {&info.uncompressed_size, &info.compressed_size})
            if (*size == kZip64Size && field + 8 <= end) {
                *size = qFromLittleEndian<quint64>(extra.constData() + field);
                field += 8;
            }
        return;
    }
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
    bytes.reserve(qsizetype(m_entrySize.value_or(0)));
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
    QByteArray extra(kMaxNameBytes, '\0');
    if (unzGoToFilePos64(handle(m_zip), &position) != UNZ_OK
        || unzGetCurrentFileInfo64(handle(m_zip), &info, nullptr, 0, extra.data(), kMaxNameBytes, nullptr, 0) != UNZ_OK)
        return fail(FailedToRead, QStringLiteral("The entry \"%1\" cannot be read.").arg(name));
    extra.truncate(qsizetype(std::min(info.size_file_extra, kMaxNameBytes)));
    // The library checks the checksum only where it knows the size.
    m_checkCrc = info.uncompressed_size == kZip64Size;
    readZip64Sizes(extra, info);
    if (info.flag & 1u)
        return fail(FailedToRead, QStringLiteral("The entry \"%1\" is encrypted.").arg(name));
    m_entry = name;
    m_entryLimit = maxSize > 0 ? maxSize : m_maxEntrySize;
    // A size still unknown is bounded as it is read.
    if (info.uncompressed_size != kZip64Size && info.uncompressed_size > quint64(m_entryLimit))
        return fail(Refused, QStringLiteral("The entry \"%1\" is larger than %2 MB.").arg(name).arg(m_entryLimit >> 20));
    if (unzOpenCurrentFile(handle(m_zip)) != UNZ_OK)
        return fail(FailedToRead, QStringLiteral("The entry \"%1\" cannot be read.").arg(name));
    m_entryOpen = true;
    m_entrySize = info.uncompressed_size != kZip64Size ? std::optional<quint64>(info.uncompressed_size) : std::nullopt;
    m_entryRead = 0;
    m_entryCrc = info.crc;
    m_crc = crc32(0, nullptr, 0);
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
    // Not past the declared size: the library's own bound is lost with a zip64 size.
    std::size_t wanted = std::min<std::size_t>(capacity, 1u << 30);
    if (m_entrySize)
        wanted = std::size_t(std::min<quint64>(wanted, *m_entrySize - m_entryRead));
    const int got = wanted > 0 ? unzReadCurrentFile(handle(m_zip), buffer, unsigned(wanted)) : 0;
    if (got > 0) {
        m_entryRead += quint64(got);
        if (m_checkCrc)
            m_crc = crc32(m_crc, reinterpret_cast<const Bytef *>(buffer), uInt(got));
        if (m_entryRead > quint64(m_entryLimit))
            return failed(Refused, QStringLiteral("The entry \"%1\" is larger than %2 MB.").arg(m_entry).arg(m_entryLimit >> 20));
        return got;
    }
    if (got < 0)
        return failed(FailedToRead, QStringLiteral("The entry \"%1\" is damaged.").arg(m_entry));
    m_entryOpen = false;
    // Closing checks the checksum, where the library knew the size.
    if (unzCloseCurrentFile(handle(m_zip)) != UNZ_OK || m_entryRead != m_entrySize.value_or(m_entryRead)
        || (m_checkCrc && m_crc != m_entryCrc)) {
        fail(FailedToRead, QStringLiteral("The entry \"%1\" is damaged.").arg(m_entry));
        return -1;
    }
    return 0;
}
