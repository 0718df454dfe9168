#include "platform/ui/PrinterSettings.h"

#include <QPrinter>

namespace platform {

bool applyPrintInfo(const PrintInfo &info, QPrinter &printer)
{
    const QVariantMap &settings = info.dictionary;
    const QString printerName = settings.value(QLatin1String(PrintInfo::PrinterName)).toString();
    if (!printerName.isEmpty())
        printer.setPrinterName(printerName);
    const QString outputFileName = settings.value(QLatin1String(PrintInfo::OutputFileName)).toString();
    if (!outputFileName.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(outputFileName);
    }
    bool isCount = false;
    const int copies = settings.value(QLatin1String(PrintInfo::Copies)).toInt(&isCount);
    if (isCount && copies >= 1)
        printer.setCopyCount(copies);
    return printer.setPageLayout(info.pageLayout);
}

} // namespace platform
