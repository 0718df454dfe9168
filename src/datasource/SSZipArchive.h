#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

struct zip;
struct zip_source;

// Writes zip archives: entries deflated at zlib's default level unless asked stored, "/" between
// folders, a folder entry's name ending in "/". The archive is built in memory and written whole and
// safely at `close`, so that a failed or abandoned write leaves the file that was there. Reading
// archives is ZipArchiveReader's. One caller at a time; any thread.
class SSZipArchive {
public:
    explicit SSZipArchive(const QString &path);
    // An archive still open is abandoned: nothing is written.
    ~SSZipArchive();
    SSZipArchive(const SSZipArchive &) = delete;
    SSZipArchive &operator=(const SSZipArchive &) = delete;

    // Packs each file or folder (with everything in it) under its last path component; a path that
    // cannot be packed does not stop the others. False when the archive cannot be written.
    static bool createZipFileAtPath(const QString &path, const QStringList &paths, QString *error = nullptr);

    bool open();
    // Adds the file `basePath` + `name` under `name`, or that folder with everything in it (an empty
    // folder as the entry `name` + "/"). Links are not followed and only regular files are read.
    bool writeFile(const QString &name, const QString &basePath);
    enum class Method { Deflated, Stored };
    // Adds one entry dated now, an empty one too; false when the name is taken or longer than an
    // entry can hold. Formats that sniff their type from the first entry (OpenDocument's "mimetype")
    // need it Stored.
    bool writeData(const QByteArray &data, const QString &filename, Method method = Method::Deflated);
    // Finishes the archive and writes it to its path; false, with the reason, when that fails.
    bool close();
    QString errorString() const { return m_error; }

    // 1 January 1980, the earliest date an entry can carry.
    static QDateTime _dateFor1980();

private:
    // A folder entry when `folder`, holding nothing.
    bool addEntry(const QString &name, const QDateTime &date, const QByteArray &data, Method method, bool folder = false);
    void discard();

    QString _path;
    zip *_zip = nullptr;
    // The archive's bytes, kept past zip_close to be read out.
    zip_source *m_bytes = nullptr;
    // The entries' bytes: the library reads them only when the archive is closed.
    QList<QByteArray> m_held;
    QString m_error;
};
