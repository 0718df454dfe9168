// Export from the design window: the Export command's own class does the work; here are the window's
// part (the design's snapshot, the completion box) and the end of a run.

#include "window/SKTWindowController.h"

#include "barcode/BarcodeGenerator.h"
#include "core/AppState.h"
#include "output/OutputState.h"
#include "output/ui/ExportCommand.h"
#include "output/ui/RecordRun.h"

void SKTWindowController::Export_Button()
{
    if (m_export)
        m_export->Export_Button();
}

bool SKTWindowController::Export_Single_File(const QString &path, bool show_msg)
{
    return m_export && m_export->Export_Single_File(path, show_msg);
}

bool SKTWindowController::Export_Batch_File(const QString &folder)
{
    return m_export && m_export->Export_Batch_File(folder);
}

void SKTWindowController::showExportDone(const QString &path, const QString &message)
{
    OutputState &output = Output();
    output.Export_File_Path = path;
    output.Export_File_Message = message;
    Open_Export_File_Box();
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
