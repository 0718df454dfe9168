#pragma once

#include "output/PictureExport.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class ExportSheet;
class RecordRun;

// What the Export command asks of the design window.
struct ExportHost {
    // Refreshes which data sources the design uses and answers a copy of them (GUI thread).
    std::function<std::shared_ptr<RecordBinding>()> sources;
    // The design as it stands, for the worker to draw from.
    std::function<DesignSnapshot()> snapshot;
    // The folder a file panel opens in.
    std::function<QString()> startFolder;
    // The completion box over the file or folder written, with the export's message.
    std::function<void(const QString &path, const QString &message)> completed;
    // The end of a run with records: the design window shows the design again.
    std::function<void()> runEnded;
    ExportSheet *sheet = nullptr;
    RecordRun *run = nullptr; // the program's one run
};

// The Export command: the export sheet, then the design as it stands into one file set chosen in a
// save panel, or one file set per record into a chosen folder on the program's run behind the
// progress sheet. Beside printing and mail, which start their runs the same way.
class ExportCommand : public QObject {
    Q_OBJECT
public:
    explicit ExportCommand(ExportHost host, QObject *parent = nullptr);

    void Export_Button();
    // The design as it stands, as `choice` says, to `path` (and its back name). Failures are always
    // reported; with `show_msg` the completion box follows success.
    bool Export_Single_File(const QString &path, bool show_msg);
    // Starts one file set per record of the sources the design uses into `folder` on the run, as
    // Export_Button does once the folder is chosen; the end is reported in the completion box. False
    // when a run is already going, there are no records, the folder is refused, or the user does not
    // go on without fields that cannot be used.
    bool Export_Batch_File(const QString &folder);

    // What the export sheet chose last, or what the template export set.
    ExportChoice choice;

private:
    bool exportSingle(const DesignSnapshot &design, const QString &path, bool show_msg, const RecordApplier &apply = {});
    bool exportBatch(const std::shared_ptr<const RecordBinding> &sources, const QString &folder);

    ExportHost m_host;
};
