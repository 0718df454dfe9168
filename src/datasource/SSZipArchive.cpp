#include "datasource/SSZipArchive.h"

#include "platform/SafeFileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <zip.h>

#include <optional>

namespace {

// zlib's default; libzip's own default is its slowest level.
constexpr zip_uint32_t kDeflateLevel = 6;
// The format's limit. This libzip keeps a longer name's length modulo 65536: it would write another name.
constexpr qsizetype kMaxNameBytes = 0xFFFF;

QString reasonOf(zip_error_t *error)
{
    return QString::fromUtf8(zip_error_strerror(error));
}

// The bytes zip_close left in the source.
std::optional<QByteArray> readAll(zip_source_t *source)
{
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_source_stat(source, &stat) < 0 || !(stat.valid & ZIP_STAT_SIZE) || zip_source_open(source) < 0)
        return std::nullopt;
    QByteArray bytes(qsizetype(stat.size), Qt::Uninitialized);
    qsizetype done = 0;
    zip_int64_t got = 0;
    while (done < bytes.size() && (got = zip_source_read(source, bytes.data() + done, zip_uint64_t(bytes.size() - done))) > 0)
        done += qsizetype(got);
    zip_source_close(source);
    if (done != bytes.size())
        return std::nullopt;
    return bytes;
}

} // namespace

SSZipArchive::SSZipArchive(const QString &path)
    : _path(path)
{
}

SSZipArchive::~SSZipArchive()
{
    discard();
}

void SSZipArchive::discard()
{
    if (_zip)
        zip_discard(_zip);
    _zip = nullptr;
    if (m_bytes)
        zip_source_free(m_bytes);
    m_bytes = nullptr;
    m_held.clear();
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
    zip_error_t error;
    zip_error_init(&error);
    m_bytes = zip_source_buffer_create(nullptr, 0, 0, &error);
    if (m_bytes) {
        zip_source_keep(m_bytes);
        _zip = zip_open_from_source(m_bytes, ZIP_TRUNCATE, &error);
        if (!_zip)
            zip_source_free(m_bytes); // the reference the archive would have held
    }
    if (!_zip) {
        m_error = QStringLiteral("The archive cannot be created: %1").arg(reasonOf(&error));
        discard();
    }
    zip_error_fini(&error);
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
            return addEntry(name + QLatin1Char('/'), _dateFor1980(), {}, Method::Deflated, true);
        for (const QString &entry : entries)
            if (!writeFile(name + QLatin1Char('/') + entry, basePath))
                return false;
        return true;
    }
    if (!source.isFile())
        return false;
    QFile file(source.filePath());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    return file.error() == QFileDevice::NoError && addEntry(name, _dateFor1980(), bytes, Method::Deflated);
}

bool SSZipArchive::writeData(const QByteArray &data, const QString &filename, Method method)
{
    if (!_zip)
        return false;
    return addEntry(filename, QDateTime::currentDateTime(), data, method);
}

bool SSZipArchive::addEntry(const QString &name, const QDateTime &date, const QByteArray &data, Method method, bool folder)
{
    const QByteArray entryName = name.toUtf8();
    if (entryName.isEmpty() || entryName.size() > kMaxNameBytes) {
        m_error = entryName.isEmpty() ? QStringLiteral("An entry needs a name.")
                                      : QStringLiteral("An entry's name holds at most %1 bytes.").arg(kMaxNameBytes);
        return false;
    }
    zip_int64_t index = -1;
    if (folder) {
        index = zip_dir_add(_zip, entryName.constData(), ZIP_FL_ENC_UTF_8);
    } else if (zip_source_t *source = zip_source_buffer(_zip, data.constData(), zip_uint64_t(data.size()), 0)) {
        index = zip_file_add(_zip, entryName.constData(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0)
            zip_source_free(source);
        else
            m_held.append(data);
    }
    const bool added = index >= 0
                       && zip_set_file_compression(_zip, zip_uint64_t(index), method == Method::Stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE,
                                                   method == Method::Stored ? 0 : kDeflateLevel) == 0
                       && zip_file_set_mtime(_zip, zip_uint64_t(index), time_t(date.toSecsSinceEpoch()), 0) == 0;
    if (!added) {
        m_error = QStringLiteral("The entry \"%1\" cannot be added: %2").arg(name, reasonOf(zip_get_error(_zip)));
        if (index >= 0)
            zip_delete(_zip, zip_uint64_t(index));
    }
    return added;
}

bool SSZipArchive::close()
{
    Q_ASSERT_X(_zip, "SSZipArchive::close", "Attempting to close an archive which was never opened");
    if (!_zip)
        return false;
    // libzip writes nothing for an archive without entries, where readers expect its end record.
    const bool empty = zip_get_num_entries(_zip, 0) == 0;
    if (zip_close(_zip) < 0) {
        m_error = QStringLiteral("The archive cannot be finished: %1").arg(reasonOf(zip_get_error(_zip)));
        discard();
        return false;
    }
    _zip = nullptr;
    const std::optional<QByteArray> bytes = empty ? QByteArray("PK\x05\x06", 4) + QByteArray(18, '\0') : readAll(m_bytes);
    discard();
    if (!bytes) {
        m_error = QStringLiteral("The archive cannot be finished.");
        return false;
    }
    return platform::writeFileSafely(_path, *bytes, &m_error);
}
