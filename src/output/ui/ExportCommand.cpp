#include "output/ui/ExportCommand.h"

#include "core/MessageBoxes.h"
#include "core/Side_Code.h"
#include "output/OutputState.h"
#include "output/ui/ExportSheet.h"
#include "output/ui/RecordRun.h"
#include "platform/UiServices.h"

#include <QFileInfo>

ExportCommand::ExportCommand(ExportHost host, QObject *parent) : QObject(parent), m_host(std::move(host)) {}

void ExportCommand::Export_Button()
{
    Log_Exceptions([&] {
        ExportSheet *sheet = m_host.sheet;
        if (!sheet || !m_host.run || m_host.run->isRunning())
            return;
        OutputState &output = Output();
        // The sources are read once, here: the run reads this copy and nothing else of them.
        const std::shared_ptr<RecordBinding> binding = m_host.sources();
        sheet->resetForExport(binding->Use_Data_Sheet_Values, binding->Use_Excel_Binding_Values);
        output.export_card_side = Side_Code_Name(Side_Code::Front);
        if (sheet->Open_Wnd() != 1)
            return;
        choice = sheet->choice();
        output.export_card_side = choice.sides;
        binding->useSources(sheet->exportsSeries(), sheet->exportsExcel());
        const bool bound = binding->Use_Data_Sheet_Values || binding->Use_Excel_Binding_Values;
        const QString start = m_host.startFolder();
        if (!bound) {
            QString path = platform::uiServices().chooseFileToSave(tr("Export"), start, QStringLiteral("Card.") + choice.type,
                                                                   {choice.type});
            if (path.isEmpty())
                return;
            if (QFileInfo(path).suffix().compare(choice.type, Qt::CaseInsensitive) != 0)
                path += QLatin1Char('.') + choice.type;
            if (const QString problem = PictureExport::singleFileProblem(choice, path); !problem.isEmpty())
                Show_MessageBox(problem);
            else if (const auto run = startRun(m_host.snapshot(), binding))
                exportSingle(*run->design, path, true, run->apply);
            return;
        }
        const int count = binding->Total_Batch_Excel_Card;
        if (count <= 0) {
            Show_MessageBox(PictureExport::kListEmpty);
            return;
        }
        const QString folder = platform::uiServices().chooseFolder(tr("Export"), start);
        if (folder.isEmpty())
            return;
        exportBatch(binding, folder);
    });
}

bool ExportCommand::Export_Single_File(const QString &path, bool show_msg)
{
    return exportSingle(m_host.snapshot(), path, show_msg);
}

bool ExportCommand::exportSingle(const DesignSnapshot &design, const QString &path, bool show_msg,
                                 const RecordApplier &apply)
{
    const ExportReport report = PictureExport::Export_Single_File(design, choice, path, apply);
    // A card written without all its values is written: the completion box says what it lacked.
    if (!report.error.isEmpty() || report.run.delivered == 0) {
        Show_MessageBox(report.message());
        return false;
    }
    if (show_msg && m_host.completed)
        m_host.completed(report.path, report.message());
    return true;
}

bool ExportCommand::Export_Batch_File(const QString &folder)
{
    return m_host.run && !m_host.run->isRunning() && exportBatch(m_host.sources(), folder);
}

bool ExportCommand::exportBatch(const std::shared_ptr<const RecordBinding> &sources, const QString &folder)
{
    if (!m_host.run || m_host.run->isRunning())
        return false;
    const int count = sources->Use_Data_Sheet_Values || sources->Use_Excel_Binding_Values ? sources->Total_Batch_Excel_Card : 0;
    if (count <= 0) {
        Show_MessageBox(PictureExport::kListEmpty);
        return false;
    }
    // Fields that cannot be used are asked about only once the target is taken: a "Continue" is
    // never followed by its refusal.
    if (const QString problem = PictureExport::batchProblem(choice, folder, count); !problem.isEmpty()) {
        Show_MessageBox(problem);
        return false;
    }
    // Everything the worker reads is made here, on the GUI thread: copies, not the objects the user edits.
    const std::optional<RunDrawing> drawing = startRun(m_host.snapshot(), sources);
    if (!drawing)
        return false;
    auto report = std::make_shared<ExportReport>();
    return m_host.run->start(
        RunSheet{tr("Exporting"), tr("Frame"), tr("Do you want to stop the export?"),
                 tr("Stopping after the current record…")},
        true,
        [drawing = *drawing, report, choice = choice, folder](const RunCounters &counters) {
            *report = PictureExport::Export_Batch_File(*drawing.design, choice, folder, drawing.records, drawing.apply,
                                                       counters);
        },
        [host = m_host, report] {
            if (host.runEnded)
                host.runEnded();
            if (!report->error.isEmpty()) {
                Show_MessageBox(report->error);
                return;
            }
            if (host.completed)
                host.completed(report->path, report->message());
        });
}
