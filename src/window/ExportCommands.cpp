// Export from the design window: the export sheet, a single picture of the design or one file set per
// record on a worker with the progress sheet, and the end of a run.

#include "window/SKTWindowController.h"

#include "barcode/BarcodeGenerator.h"
#include "core/AppState.h"
#include "core/MessageBoxes.h"
#include "core/PathHelpers.h"
#include "core/Side_Code.h"
#include "document/SKTDocument.h"
#include "output/OutputState.h"
#include "output/PictureExport.h"
#include "output/ui/ExportSheet.h"
#include "output/ui/RecordRun.h"
#include "output/ui/Send_Modeless.h"
#include "platform/UiServices.h"
#include "window/WindowState.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <memory>

void SKTWindowController::Export_Button()
{
    Log_Exceptions([&] {
        if (!ExportWindow || (m_recordRun && m_recordRun->isRunning()))
            return;
        OutputState &output = Output();
        // The sources are read once, here: the run reads this copy and nothing else of them.
        Check_Series_Or_Excel_Use_or_not();
        auto binding = std::make_shared<RecordBinding>(data_table_content);
        ExportWindow->resetForExport(binding->Use_Data_Sheet_Values, binding->Use_Excel_Binding_Values);
        output.export_card_side = Side_Code_Name(Side_Code::Front);
        if (ExportWindow->Open_Wnd() != 1)
            return;
        exportChoice = ExportWindow->choice();
        output.export_card_side = exportChoice.sides;
        binding->useSources(ExportWindow->exportsSeries(), ExportWindow->exportsExcel());
        if (!binding->Continue_Without_Missing_Series())
            return;
        const bool bound = binding->Use_Data_Sheet_Values || binding->Use_Excel_Binding_Values;
        const QString start = Panel_Start_Folder(QStandardPaths::PicturesLocation);
        if (!bound) {
            QString path = platform::uiServices().chooseFileToSave(
                tr("Export"), start, QStringLiteral("Card.") + exportChoice.type, {exportChoice.type});
            if (path.isEmpty())
                return;
            if (QFileInfo(path).suffix().compare(exportChoice.type, Qt::CaseInsensitive) != 0)
                path += QLatin1Char('.') + exportChoice.type;
            Export_Single_File(path, true);
            return;
        }
        const int count = binding->Total_Batch_Excel_Card;
        if (count <= 0) {
            Show_MessageBox(PictureExport::kListEmpty);
            return;
        }
        const QString folder = platform::uiServices().chooseFolder(tr("Export"), start);
        if (!folder.isEmpty())
            Export_Batch_File(folder, count, applierOf(binding));
    });
}

bool SKTWindowController::Export_Single_File(const QString &path, bool show_msg)
{
    const ExportReport report = PictureExport::Export_Single_File(exportSnapshot(), exportChoice, path);
    if (!report.succeeded()) {
        Show_MessageBox(report.message());
        return false;
    }
    if (show_msg) {
        OutputState &output = Output();
        output.Export_File_Path = report.path;
        output.Export_File_Message = report.message();
        Open_Export_File_Box();
    }
    return true;
}

bool SKTWindowController::Export_Batch_File(const QString &folder, int count, const RecordApplier &apply)
{
    if (!m_recordRun || m_recordRun->isRunning())
        return false;
    if (count <= 0) {
        Show_MessageBox(PictureExport::kListEmpty);
        return false;
    }
    // Everything the worker reads is made here, on the GUI thread: copies, not the objects the user edits.
    auto design = std::make_shared<const DesignSnapshot>(exportSnapshot());
    auto report = std::make_shared<ExportReport>();
    const ExportChoice choice = exportChoice;
    return m_recordRun->start(
        RunSheet{tr("Exporting"), tr("Frame"), tr("Do you want to stop the export?"),
                 tr("Stopping after the current record…")},
        true,
        [design, report, choice, folder, count, apply](const RunCounters &counters) {
            *report = PictureExport::Export_Batch_File(*design, choice, folder, count, apply, counters);
        },
        [this, report] {
            Select_first_row_value_for_design(false);
            if (!report->error.isEmpty()) {
                Show_MessageBox(report->error);
                return;
            }
            OutputState &output = Output();
            output.Export_File_Path = report->path;
            output.Export_File_Message = report->message();
            Open_Export_File_Box();
        });
}

DesignSnapshot SKTWindowController::exportSnapshot()
{
    DesignSnapshot snapshot = designSnapshot();
    // Workers then draw without reading a file: a side never shown has not loaded its pictures.
    snapshot.loadPictures();
    // A PDF then holds the texts of the design's own barcodes as text.
    for (const DesignSnapshot::Side *side : {&snapshot.front, &snapshot.back})
        for (const SKTGraphicPtr &graphic : side->graphics)
            Attach_Barcode_Drawing(*graphic);
    return snapshot;
}

void SKTWindowController::Select_first_row_value_for_design(bool print_box)
{
    Q_UNUSED(print_box);
    // Records were drawn from copies: the design the user sees never left record 0 and its side.
    App().Card_Value_In_Process = false;
    Refresh_Canvas();
}

void SKTWindowController::stopRecordRun()
{
    if (m_recordRun)
        m_recordRun->stopAndWait();
}
