#include "output/PictureExport.h"

#include "canvas/SKTRenderingView.h"
#include "core/NamesTable.h"
#include "platform/SafeFileWriter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>

#include <array>
#include <cmath>
#include <utility>

QString ExportReport::message() const
{
    if (!error.isEmpty())
        return error;
    return run.closing(PictureExport::kExported, QStringLiteral("frames"), QStringLiteral("written"), true).text();
}

namespace PictureExport {

namespace {

enum class ExportFormat { TIFF, PNG, JPEG, BMP, Count };

// The sheet's file types in its order: the title is the extension written, `writer` the image
// writer's format, `alias` the other extension that names it.
struct ExportFormatRow {
    ExportFormat id;
    const char *title;
    const char *writer;
    const char *alias;
    bool transparent;
};

constexpr std::array kExportFormats{
    ExportFormatRow{ExportFormat::TIFF, "TIFF", "tiff", "tif", true},
    ExportFormatRow{ExportFormat::PNG, "PNG", "png", "png", true},
    ExportFormatRow{ExportFormat::JPEG, "JPEG", "jpeg", "jpg", false},
    ExportFormatRow{ExportFormat::BMP, "BMP", "bmp", "bmp", false},
};
static_assert(Names_Table_In_Step<ExportFormat>(kExportFormats));

const ExportFormatRow *formatRowOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    for (const ExportFormatRow &row : kExportFormats)
        if (suffix == QLatin1String(row.writer) || suffix == QLatin1String(row.alias))
            return &row;
    return nullptr;
}

// One file of a record: where it goes and its bytes, or why it has none.
struct PreparedFile {
    QString path;
    QByteArray bytes;
    QString error;
    bool written = false; // already on the disk
};
using PreparedFiles = QList<PreparedFile>;

PreparedFile prepareFile(const QString &path, const QImage &image, const QString &drawError)
{
    PreparedFile file{path, {}, {}};
    if (image.isNull()) {
        file.error = drawError.isEmpty() ? QStringLiteral("The card could not be drawn.") : drawError;
        return file;
    }
    file.bytes = encodePicture(image, path, &file.error);
    return file;
}

// Without a temporary file or a sync: for the run's private folder alone.
void writePlainly(PreparedFile &file)
{
    file.error = platform::makeFolders(QFileInfo(file.path).path());
    if (!file.error.isEmpty())
        return;
    QFile out(file.path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(file.bytes) != file.bytes.size() ||
        !out.flush()) {
        file.error = out.errorString();
        return;
    }
    file.written = true;
    file.bytes.clear();
}

// One of a record's files: which picture it holds and where it goes.
struct RecordFile {
    enum Picture { Combined, Back, Front } picture;
    QString path;
};

// A record's files in the order they are written: both sides in one picture, or the back's, then
// the front's.
QList<RecordFile> recordFiles(const ExportChoice &choice, const QString &path)
{
    if (choice.sides == QLatin1String("BOTH") && choice.combined)
        return {{RecordFile::Combined, path}};
    QList<RecordFile> files;
    if (choice.wantsBack())
        files.append({RecordFile::Back, Create_Back_Card_Path(path)});
    if (choice.wantsFront())
        files.append({RecordFile::Front, Create_Front_Card_Path(path)});
    return files;
}

// Why one of the files the run is to write may not be replaced; empty when none stands in the way.
QString protectedFile(const ExportChoice &choice, int count, const std::function<QString(int)> &pathOf,
                      platform::AtALink link)
{
    for (int record = 0; record < count; ++record)
        for (const RecordFile &file : recordFiles(choice, pathOf(record)))
            if (QString problem = platform::targetProblem(file.path, link); !problem.isEmpty())
                return problem;
    return {};
}

} // namespace

const QStringList &fileTypes()
{
    static const QStringList types = [] {
        QStringList titles;
        for (const ExportFormatRow &row : kExportFormats)
            titles << QLatin1String(row.title);
        return titles;
    }();
    return types;
}

const QList<int> &resolutions()
{
    static const QList<int> dpi{72, 300, 600};
    return dpi;
}

QByteArray formatOf(const QString &path)
{
    const ExportFormatRow *row = formatRowOf(path);
    return row ? QByteArray(row->writer) : QByteArray();
}

QString Create_Front_Card_Path(const QString &path)
{
    return path;
}

QString Create_Back_Card_Path(const QString &path)
{
    const QFileInfo info(path);
    const QString name = info.suffix().isEmpty()
                             ? info.fileName() + QStringLiteral("_Back")
                             : QStringLiteral("%1_Back.%2").arg(info.completeBaseName(), info.suffix());
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? name : path.left(slash + 1) + name;
}

QImage combinedPicture(const Card_Side_Image &front, const Card_Side_Image &back, double dpi, QString *error)
{
    if (front.isNull() || back.isNull()) {
        if (error)
            *error = QStringLiteral("Invalid image");
        return {};
    }
    const double scale = dpi / 72.0;
    const QSizeF half = front.size() * scale;
    // Each half takes the rows of a side's own picture, so the picture is exactly twice one.
    const QSizeF pixels = SKTRenderingView::wholePixels(half);
    const double rows = pixels.height();
    QImage picture = SKTRenderingView::newTransparentImage(QSizeF(pixels.width(), 2 * rows), dpi);
    if (picture.isNull()) {
        if (error)
            *error = QStringLiteral("Invalid image resolution");
        return {};
    }
    QPainter painter(&picture);
    if (!front.draw(painter, QRectF(QPointF(0, 0), half), error) ||
        !back.draw(painter, QRectF(QPointF(0, rows), back.size() * scale), error))
        return {};
    return picture;
}

QByteArray encodePicture(const QImage &image, const QString &path, QString *error)
{
    const ExportFormatRow *row = formatRowOf(path);
    if (!row) {
        if (error)
            *error = QStringLiteral("No picture type has the extension of %1.").arg(path);
        return {};
    }
    const QByteArray format(row->writer);
    QImage pixels = image;
    if (!row->transparent) {
        // Without transparency the corners of a rounded card would come out black.
        QImage opaque(image.size(), QImage::Format_RGB32);
        opaque.fill(Qt::white);
        opaque.setDotsPerMeterX(image.dotsPerMeterX());
        opaque.setDotsPerMeterY(image.dotsPerMeterY());
        QPainter painter(&opaque);
        painter.drawImage(0, 0, image);
        painter.end();
        pixels = opaque;
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (format == "jpeg")
        writer.setQuality(95);
    if (format == "tiff")
        writer.setCompression(1); // LZW: lossless and far smaller than raw rows
    if (!writer.write(pixels)) {
        if (error)
            *error = writer.errorString();
        return {};
    }
    return bytes;
}

QString batchPath(const QString &folder, const ExportChoice &choice, int record)
{
    return QDir(folder).filePath(QStringLiteral("Card_%1.%2").arg(record + 1).arg(choice.type));
}

PictureFileSink::PictureFileSink(ExportChoice choice, std::function<QString(int record)> pathOf, FileWrites writes,
                                 platform::AtALink link)
    : m_choice(std::move(choice)), m_pathOf(std::move(pathOf)), m_writes(writes), m_link(link)
{
}

std::any PictureFileSink::prepare(const RecordDrawing &drawing) const
{
    PreparedFiles files;
    for (const RecordFile &file : recordFiles(m_choice, m_pathOf(drawing.record))) {
        QString error;
        const QImage picture = file.picture == RecordFile::Combined
                                   ? combinedPicture(drawing.front, drawing.back, m_choice.dpi, &error)
                                   : (file.picture == RecordFile::Back ? drawing.back : drawing.front)
                                         .toImage(m_choice.dpi, &error);
        files.append(prepareFile(file.path, picture, error));
    }
    // The design's own drawing before the records only readies what they share.
    if (m_writes == FileWrites::AheadUnsynced && drawing.record >= 0)
        for (PreparedFile &file : files)
            if (file.error.isEmpty())
                writePlainly(file);
    return files;
}

bool PictureFileSink::deliver(const RecordDrawing &, std::any &prepared, QString *error)
{
    const auto *files = std::any_cast<PreparedFiles>(&prepared);
    if (!files) {
        if (error)
            *error = QStringLiteral("The card could not be drawn.");
        return false;
    }
    for (const PreparedFile &file : *files) {
        QString reason = file.error;
        if (reason.isEmpty() &&
            (file.written || m_files.write(file.path, file.bytes, &reason, -1, m_link))) {
            m_written.append(file.path);
            continue;
        }
        if (error)
            *error = QStringLiteral("%1 could not be written. %2").arg(QDir::toNativeSeparators(file.path), reason);
        return false;
    }
    return true;
}

QString singleFileProblem(const ExportChoice &choice, const QString &path)
{
    return protectedFile(choice, 1, [&](int) { return path; }, platform::AtALink::WriteItsTarget);
}

QString batchProblem(const ExportChoice &choice, const QString &folder, int count)
{
    const QString target = QDir(folder).filePath(kBatchFolder);
    const QFileInfo made(target);
    const QString shown = QDir::toNativeSeparators(target);
    if (!made.exists())
        return made.isSymLink() ? QStringLiteral("%1 is a link to nothing, not a folder.").arg(shown)
                                : platform::unmakeableFolder(target);
    if (!made.isDir())
        return QStringLiteral("%1 is a file, not a folder.").arg(shown);
    return protectedFile(
        choice, count, [&](int record) { return batchPath(target, choice, record); }, platform::AtALink::ReplaceIt);
}

ExportReport Export_Single_File(const DesignSnapshot &design, const ExportChoice &choice, const QString &path,
                                const RecordApplier &apply)
{
    ExportReport report;
    report.error = singleFileProblem(choice, path);
    if (!report.error.isEmpty())
        return report;
    PictureFileSink sink(choice, [path](int) { return path; });
    report.run = runRecords(design, 1, apply, sink, {});
    // The file to open afterwards: the front's when both were written, the back's for the back alone.
    report.path = sink.written().isEmpty() ? path : sink.written().last();
    return report;
}

ExportReport Export_Batch_File(const DesignSnapshot &design, const ExportChoice &choice, const QString &folder, int count,
                               const RecordApplier &apply, const RunCounters &counters)
{
    ExportReport report;
    if (count <= 0) {
        report.error = kListEmpty;
        return report;
    }
    // Checked before the folder is made: a refused batch leaves nothing behind.
    report.error = batchProblem(choice, folder, count);
    if (!report.error.isEmpty())
        return report;
    const QString target = QDir(folder).filePath(kBatchFolder);
    report.error = platform::makeFolders(target);
    if (!report.error.isEmpty())
        return report;
    report.path = target;
    // The batch's folder and its files' names are the program's: a link there must not send a file elsewhere.
    PictureFileSink sink(
        choice, [&](int record) { return batchPath(target, choice, record); }, FileWrites::Durable,
        platform::AtALink::ReplaceIt);
    report.run = runRecords(design, count, apply, sink, counters);
    return report;
}

} // namespace PictureExport
