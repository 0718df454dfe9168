#pragma once

#include "output/RecordLoop.h"
#include "platform/SafeFileWriter.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

// Pictures of the design written to files: one side, both, or both in one picture, once for the
// design as it stands or once per record of a bound run.

// What the export sheet chose.
struct ExportChoice {
    QString sides = QStringLiteral("F"); // "F", "B" or "BOTH"
    bool combined = false;               // "BOTH" as one picture, the front above the back
    QString type = QStringLiteral("PNG"); // the file type's title, also the files' extension
    double dpi = 72.0;                   // 72 gives one pixel per point

    bool wantsFront() const { return sides != QLatin1String("B"); }
    bool wantsBack() const { return sides == QLatin1String("B") || sides == QLatin1String("BOTH"); }
};

// How an export ended. `error` says why nothing was written at all; otherwise `path` is the file or
// folder written to and `run` what became of the records.
struct ExportReport {
    QString error;
    QString path;
    RunReport run;

    bool succeeded() const { return error.isEmpty() && run.succeeded(); }
    // The completion box's message.
    QString message() const;
};

namespace PictureExport {

// The folder a batch writes into, under the folder the user chose.
inline const QString kBatchFolder = QStringLiteral("ZOLT Photo Frame");
inline const QString kExported = QStringLiteral("Frame has been exported successfully.");
inline const QString kListEmpty = QStringLiteral("List is empty.");

// The file types the sheet offers, in its order: the titles are the extensions written.
const QStringList &fileTypes();
// The resolutions the sheet offers; the first gives one pixel per point.
const QList<int> &resolutions();
// The image writer's format for a path's extension ("png", "jpeg", "tiff", "bmp"); empty for a type
// that none of them is.
QByteArray formatOf(const QString &path);

QString Create_Front_Card_Path(const QString &path);
// The back side's file beside the front's: "Card_3.TIFF" gives "Card_3_Back.TIFF".
QString Create_Back_Card_Path(const QString &path);

// The front above the back, each drawn at `dpi` into its half (not scaled from another size).
QImage combinedPicture(const Card_Side_Image &front, const Card_Side_Image &back, double dpi,
                       QString *error = nullptr);
// The picture in the format the path's extension names, tagged with its resolution. Formats
// without transparency get white where the card is transparent.
QByteArray encodePicture(const QImage &image, const QString &path, QString *error = nullptr);

// Record r's files: "Card_<r+1>.<type>" in `folder`, and the back's beside it.
QString batchPath(const QString &folder, const ExportChoice &choice, int record);

// How a sink's files reach the disk. Durable: through a temporary file, a sync and a rename, in
// record order; files the user keeps. AheadUnsynced: written plainly as soon as they are encoded,
// ahead of their record's turn, into a private folder the run removes, where a crash loses nothing
// of worth; no two records in flight may then share a path.
enum class FileWrites { Durable, AheadUnsynced };

// The run's sink for picture files: each record's files drawn and encoded side by side, and written
// (for both sides not combined, the back first). A symbolic link under a file's name is written
// through, as a save is, to a path the user chose; in a folder of the program's own naming it is
// replaced by the file. A file that cannot be written stops the run.
class PictureFileSink : public RecordSink {
public:
    PictureFileSink(ExportChoice choice, std::function<QString(int record)> pathOf,
                    FileWrites writes = FileWrites::Durable,
                    platform::AtALink link = platform::AtALink::WriteItsTarget);

    bool wantsFront() const override { return m_choice.wantsFront(); }
    bool wantsBack() const override { return m_choice.wantsBack(); }
    std::any prepare(const RecordDrawing &drawing) const override;
    bool deliver(const RecordDrawing &drawing, std::any &prepared, QString *error) override;

    // Every file written, in order.
    const QStringList &written() const { return m_written; }

private:
    ExportChoice m_choice;
    std::function<QString(int)> m_pathOf;
    FileWrites m_writes;
    platform::AtALink m_link;
    QStringList m_written;
    platform::SafeFileBatch m_files;
};

// Why an export to `path` (and its back name), or a batch of `count` records into `folder`, would be
// refused: a file it would write may not be replaced, or a file stands where the batch's folder
// goes, or that folder cannot be made (tried, and undone). Empty when nothing stands in the way. Leaves
// nothing made: a command asks it before it asks anything else, and the export asks it again before it writes.
QString singleFileProblem(const ExportChoice &choice, const QString &path);
QString batchProblem(const ExportChoice &choice, const QString &folder, int count);

// The design as it stands, to `path` (and its back name), on the calling thread with the pool's help.
// A file there that may not be replaced stops the export before anything is drawn, as in a batch.
// `apply`, where given, is the card's (RunDrawing::apply of a run without records).
ExportReport Export_Single_File(const DesignSnapshot &design, const ExportChoice &choice, const QString &path,
                                const RecordApplier &apply = {});
// One file set per record into `folder`/"ZOLT Photo Frame", made when missing once nothing refuses
// the batch. Nothing is made for no records.
ExportReport Export_Batch_File(const DesignSnapshot &design, const ExportChoice &choice, const QString &folder, int count,
                               const RecordApplier &apply, const RunCounters &counters);

} // namespace PictureExport
