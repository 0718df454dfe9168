// Printing from the design window: the sources read once, the print dialog over the design as it
// stands.

#include "window/SKTWindowController.h"

#include "core/MessageBoxes.h"
#include "output/PictureExport.h"
#include "output/ui/Print_Wnd.h"
#include "output/ui/RecordRun.h"

#include <QPointer>
#include <QPrinterInfo>

#include <memory>

void SKTWindowController::Print_Button()
{
    Log_Exceptions([&] {
        if (m_recordRun && m_recordRun->isRunning())
            return;
        Check_Series_Or_Excel_Use_or_not();
        const RecordBinding binding(data_table_content);
        if ((binding.Use_Data_Sheet_Values || binding.Use_Excel_Binding_Values) && binding.Total_Batch_Excel_Card == 0) {
            Show_MessageBox(PictureExport::kListEmpty);
            return;
        }
        Print_method();
    });
}

void SKTWindowController::Print_method()
{
    Log_Exceptions([&] {
        // A PDF file stands in for a printer, so only a machine that can write neither stops here.
        if (QPrinterInfo::availablePrinterNames().isEmpty() && !Print_Wnd::pdfTargetAvailable()) {
            Show_MessageBox(QStringLiteral("No printer found."));
            return;
        }
        // The sources as Print_Button read them: the dialog and its runs read this copy and nothing else.
        // Given unbound too: the fields of a series that cannot be read come out empty in every run.
        PrintSource source;
        source.design = std::make_shared<const DesignSnapshot>(exportSnapshot());
        source.binding = std::make_shared<RecordBinding>(data_table_content);
        source.run = m_recordRun;
        // The dialog outlives the window at the program's end: a late run must not reach a gone window.
        source.finished = [self = QPointer<SKTWindowController>(this)] {
            if (self)
                self->Select_first_row_value_for_design(true);
        };
        Print_Wnd::defaultInstance()->Open_Print_Wnd(source);
    });
}
