#pragma once

#include <QString>
#include <QStringList>

// What the barcode settings window asks of the design: the redraw of the current side, the values
// of the data sources a barcode can take its value from, and the shared long-message dialog. The
// design window implements it; tests give a recording one.
class BarcodeWindowDesign {
public:
    virtual ~BarcodeWindowDesign() = default;

    // Marks the current side's canvas for redrawing.
    virtual void Refresh_Canvas() = 0;

    // Shows the values of a series.
    virtual void View_Data_Series(const QString &seriesName) = 0;

    // The long-message dialog with a title line and a text, OK alone.
    virtual void Open_Long_sms_Dialog(const QString &title, const QString &text) = 0;
};
