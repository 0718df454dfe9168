#include "datasource/SSZipArchive.h"

#include "platform/PrivateFolder.h"
#include "platform/SafeFileWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <minizip/zip.h>

namespace {

constexpr qint64 kFileChunk = 16 * 1024;
constexpr qsizetype kMaxNameBytes = 65534; // longer names overflow this version of the library's writer
constexpr uLong kUtf8Names = 1u << 11;
constexpr uLong kMadeByUnix = 3u << 8;

zipFile handle(void *zip)
{
    return static_cast<zipFile>(zip);
}

zip_fileinfo infoFor(const QDateTime &date)
{
    zip_fileinfo info{};
    const QDate day = date.date();
    const QTime time = date.time();
    info.tmz_date.tm_sec = uInt(time.second());
    info.tmz_date.tm_min = uInt(time.minute());
    info.tmz_date.tm_hour = uInt(time.hour());
    info.tmz_date.tm_mday = uInt(day.day());
    info.tmz_date.tm_mon = uInt(day.month() - 1); // the library counts months from 0
    info.tmz_date.tm_year = uInt(day.year());
    return info;
}

} // namespace

SSZipArchive::SSZipArchive(const QString &path)
    : _path(path)
{
}

SSZipArchive::~SSZipArchive()
{
    if (_zip)
        zipClose(handle(_zip), nullptr);
}

QDateTime SSZipArchive::_dateFor1980()
{
    return QDateTime(QDate(1980, 1, 1), QTime(0, 0));
}

bool SSZipArchive::createZipFileAtPath(const QString &path, const QStringList &paths, QString *error)
{
    SSZipArchive archive(path);
    bool written = archive.open();
    if (written) {
        for (QString source : paths) {
            if (source.endsWith(QLatin1Char('/')))
                source.chop(1);
            const qsizetype slash = source.lastIndexOf(QLatin1Char('/'));
            archive.writeFile(source.mid(slash + 1), source.left(slash + 1));
        }
        written = archive.close();
    }
    if (!written && error)
        *error = archive.errorString();
    return written;
}

bool SSZipArchive::open()
{
    Q_ASSERT_X(!_zip, "SSZipArchive::open", "Attempting open an archive which is already open");
    if (_zip)
        return false;
    m_scratch = std::make_unique<platform::PrivateFolder>(QCoreApplication::applicationName());
    if (!m_scratch->isValid()) {
        m_error = m_scratch->errorString();
        return false;
    }
    _zip = zipOpen64(QFile::encodeName(m_scratch->filePath(QStringLiteral("archive.zip"))).constData(),
                     APPEND_STATUS_CREATE);
    if (!_zip)
        m_error = QStringLiteral("The archive cannot be created.");
    return _zip != nullptr;
}

bool SSZipArchive::writeFile(const QString &name, const QString &basePath)
{
    Q_ASSERT_X(_zip, "SSZipArchive::writeFile", "Attempting to write to an archive which was never opened");
    if (!_zip)
        return false;
    const QFileInfo source(basePath + name);
    if (source.isSymLink())
        return false;
    if (source.isDir()) {
        const QStringList entries = QDir(source.filePath())
                                        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                                   QDir::Name);
        if (entries.isEmpty())
            return addEntry(name + QLatin1Char('/'), _dateFor1980(), 0, {}, {});
        for (const QString &entry : entries)
            if (!writeFile(name + QLatin1Char('/') + entry, basePath))
                return false;
        return true;
    }
    if (!source.isFile())
        return false;
    return addEntry(name, _dateFor1980(), source.size(), source.filePath(), {});
}

bool SSZipArchive::writeData(const QByteArray &data, const QString &filename, Method method)
{
    if (!_zip || data.isEmpty())
        return false;
    return addEntry(filename, QDateTime::currentDateTime(), data.size(), {}, data, method);
}

bool SSZipArchive::addEntry(const QString &name, const QDateTime &date, qint64 size, const QString &sourceFile,
                            const QByteArray &data, Method method)
{
    const QByteArray entryName = name.toUtf8();
    if (entryName.isEmpty() || entryName.size() > kMaxNameBytes)
        return false;
    QFile file(sourceFile);
    if (!sourceFile.isEmpty() && !file.open(QIODevice::ReadOnly))
        return false;
    const zip_fileinfo info = infoFor(date);
    const int zip64 = size >= 0xffffffffLL ? 1 : 0;
    const int level = method == Method::Stored ? 0 : Z_DEFAULT_COMPRESSION;
    if (zipOpenNewFileInZip4_64(handle(_zip), entryName.constData(), &info, nullptr, 0, nullptr, 0, nullptr,
                                method == Method::Stored ? 0 : Z_DEFLATED, level, 0, -MAX_WBITS, DEF_MEM_LEVEL,
                                Z_DEFAULT_STRATEGY, nullptr, 0, kMadeByUnix, kUtf8Names, zip64)
        != ZIP_OK)
        return false;
    bool written = true;
    if (file.isOpen()) {
        QByteArray chunk(kFileChunk, Qt::Uninitialized);
        qint64 got = 0;
        while (written && (got = file.read(chunk.data(), kFileChunk)) > 0)
            written = zipWriteInFileInZip(handle(_zip), chunk.constData(), unsigned(got)) == ZIP_OK;
        written = written && got == 0;
    } else if (!data.isEmpty()) {
        written = zipWriteInFileInZip(handle(_zip), data.constData(), unsigned(data.size())) == ZIP_OK;
    }
    return zipCloseFileInZip(handle(_zip)) == ZIP_OK && written;
}

bool SSZipArchive::close()
{
    Q_ASSERT_X(_zip, "SSZipArchive::close", "Attempting to close an archive which was never opened");
    if (!_zip)
        return false;
    const bool finished = zipClose(handle(_zip), nullptr) == ZIP_OK;
    _zip = nullptr;
    QFile built(m_scratch->filePath(QStringLiteral("archive.zip")));
    if (!finished || !built.open(QIODevice::ReadOnly)) {
        m_error = QStringLiteral("The archive cannot be finished.");
        m_scratch.reset();
        return false;
    }
    const QByteArray bytes = built.readAll();
    built.close();
    m_scratch.reset();
    return platform::writeFileSafely(_path, bytes, &m_error);
}
