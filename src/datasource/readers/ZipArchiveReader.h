#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

struct zip;
struct zip_file;

// Reads entries of a zip archive into memory, for packages (workbooks) that the user picks: the
// archive is hostile until proven otherwise. Opening checks every entry name and refuses the whole
// archive when one is unsafe (a ".." component, an absolute or drive path, an empty name, two
// entries of one name) or when it holds too many entries, which is known from its end records
// before its directory is loaded; an entry larger than a size limit is
// refused before it is read, and one whose bytes do not end at the size the archive declares, or
// whose checksum is wrong, is damaged; an encrypted entry is refused. Sizes and offsets are read
// wherever the archive keeps them, zip64 fields and records included. Nothing is ever written to
// disk. One reader serves one caller; any thread.
class ZipArchiveReader {
public:
    // The error domain and the codes of the opening failures that callers tell apart.
    static const QString ErrorDomain; // "SSZipArchiveErrorDomain"
    enum ErrorCode {
        NoError = 0,
        FailedToOpen = -1,      // a file that cannot be read, is no archive or is damaged
        FailedToOpenFirst = -2, // an archive without entries
        Refused = -3,           // an unsafe or oversized archive or entry
        FailedToRead = -4,      // an entry that is missing, damaged, encrypted or in an unknown method
    };

    static constexpr int kMaxEntries = 10000;
    // The most directory libzip is let load, every end record it would try counted: ten thousand
    // entries with names and extra fields of 370 bytes each fit. libzip holds a byte of it in up
    // to 8 (an empty extra field of 4 bytes is a list node of its own): some 32 MB at most.
    static constexpr qint64 kMaxDirectorySize = 4LL * 1024 * 1024;
    static constexpr qint64 kDefaultMaxEntrySize = 64LL * 1024 * 1024;
    // An entry read a piece at a time is not held in memory: only the time to inflate it is bounded.
    static constexpr qint64 kMaxStreamedSize = 256LL * 1024 * 1024;

    // Opens the archive at `path`, a regular file only.
    explicit ZipArchiveReader(const QString &path, qint64 maxEntrySize = kDefaultMaxEntrySize);
    ~ZipArchiveReader();
    ZipArchiveReader(const ZipArchiveReader &) = delete;
    ZipArchiveReader &operator=(const ZipArchiveReader &) = delete;

    bool isOpen() const { return m_zip != nullptr; }
    ErrorCode errorCode() const { return m_errorCode; }
    // The reason of the last failure, for the user.
    QString errorString() const { return m_errorString; }

    // Entry names in archive order, with "/" between folders (a "\" is read as "/").
    QStringList entryNames() const { return m_names; }
    bool contains(const QString &name) const { return m_indexes.contains(name); }
    // The bytes of the entry `name`; nothing, with the reason, when it cannot be read.
    std::optional<QByteArray> read(const QString &name);

    // Opens the entry `name` to be read a piece at a time with readPiece, if it holds no more than
    // `maxSize` bytes (the reader's own limit when 0). Opening another entry, or read(), ends it.
    bool openEntry(const QString &name, qint64 maxSize = 0);
    // Inflates up to `capacity` bytes of the open entry into `buffer`: their count, 0 at its end
    // once its checksum and size have been found right, -1 on an error (see errorString).
    std::ptrdiff_t readPiece(char *buffer, std::size_t capacity);

private:
    bool fail(ErrorCode code, const QString &reason);
    // Refuses an archive whose end records claim too many entries, or too large a directory, before
    // libzip loads them all; `file` names it.
    bool checkDirectories(int fd, qint64 fileSize, const QString &file);
    bool listEntries(const QString &file);
    void closeEntry();

    struct zip *m_zip = nullptr;
    qint64 m_maxEntrySize;
    // The entry open for readPiece.
    QString m_entry;
    struct zip_file *m_file = nullptr;
    quint64 m_entrySize = 0, m_entryRead = 0;
    ErrorCode m_errorCode = NoError;
    QString m_errorString;
    QStringList m_names;
    QHash<QString, quint64> m_indexes;
};
