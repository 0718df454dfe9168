#pragma once

#include "BoundCard.h"

#include "barcode/BarcodeGenerator.h"
#include "output/SheetPrinting.h"

#include <QPdfWriter>

// The print benchmark's card and run, which a test prints too and reads back with a decoder: bound
// records on A4 sheets of two columns and five rows of 85.6 × 54 mm cards, each card with two texts,
// a Code 128 and a QR Code taking the record's values.

namespace print_card {

inline const DesignSnapshot &design()
{
    static const DesignSnapshot card = [] {
        // A symbol's white ground hides what lies under it: the frames stand apart, inside the card.
        SKTGraphicPtr code = boundBarcode(QStringLiteral("Code 128"), QStringLiteral("Code"), QRectF(6, 56, 1, 1));
        // 10 mils, 3 dots a module at 300 dpi: at 20 the symbol is wider than the card.
        code->linear_width_val = 10;
        showSymbol(*code, codeOf(0));
        SKTGraphicPtr link = boundBarcode(QStringLiteral("QR Code"), QStringLiteral("Link"), QRectF(158, 52, 1, 1));
        showSymbol(*link, linkOf(0));
        DesignSnapshot made;
        made.front.graphics = {boundText(QStringLiteral("Name"), QRectF(10, 8, 150, 22), 14),
                               boundText(QStringLiteral("Title"), QRectF(10, 32, 150, 16), 9), code, link};
        made.frame = kCard;
        return made;
    }();
    return card;
}

inline Print_Sheet_Layout twoByFive(int records)
{
    Print_Sheet_Layout layout;
    layout.Set_values_From_Printer(QSizeF(595.28, 841.89), QMarginsF());
    layout.Print_Card_Side = QStringLiteral("F");
    layout.Check_Max_Cell_Value(PrintCellFields{85.6f, 54.0f, 0, 0, 5, 2}, true);
    layout.label_align_val = 5;
    layout.Total_Label = records;
    return layout;
}

// The records printed to a PDF file at a printer's high resolution.
inline RunReport printToPdf(const QString &path, int records, RunCounters counters)
{
    QPdfWriter writer(path);
    writer.setResolution(1200);
    writer.setPageLayout(sheetPageLayout(twoByFive(records).paper));
    PagedDeviceTarget target(writer);
    return printSheets(design(), SheetRun{twoByFive(records), records}, applyRecord, target, counters);
}

} // namespace print_card
