#pragma once

#include "BoundCard.h"

#include "barcode/BarcodeGenerator.h"
#include "output/SheetPrinting.h"

#include <QPdfWriter>

// The print benchmark's card and run, which a test prints too and reads back with a decoder: bound
// records on A4 sheets of two columns and five rows of 85.6 × 54 mm cards, each card with two texts,
// a Code 128 and a QR Code taking the record's values.

namespace print_card {

inline QString codeOf(int record)
{
    return QStringLiteral("TICKET-%1").arg(record + 100000);
}

inline QString linkOf(int record)
{
    return QStringLiteral("https://example.org/guest/%1").arg(record + 1);
}

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

inline RecordOutcome applyRecord(int record, GraphicList &objects)
{
    for (const SKTGraphicPtr &object : objects) {
        const QString series = object->batch_list_name;
        if (series == QLatin1String("Name") || series == QLatin1String("Title")) {
            auto *graphic = static_cast<SKTText *>(object.get());
            graphic->Text_Value = QStringLiteral("%1 %2").arg(series).arg(record + 1);
            graphic->contents_val.reset();
        } else if (series == QLatin1String("Code")) {
            // As the record binding gives a barcode its value.
            Set_Record_Barcode(*object, codeOf(record));
        } else if (series == QLatin1String("Link")) {
            Set_Record_Barcode(*object, linkOf(record));
        }
    }
    return {};
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
