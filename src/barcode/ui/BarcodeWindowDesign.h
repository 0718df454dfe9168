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

    // The first value of a series; "" when it has none or is missing.
    virtual QString Get_First_Value_Of_Dataset(const QString &seriesName) const = 0;
    // Whether an Excel sheet is bound, the titles of its columns (the row-number column first) and
    // the first bound row's value of a column; "" without rows.
    virtual bool Excel_Binding_Use() const = 0;
    virtual QStringList Excel_Column_Titles() const = 0;
    virtual QString Get_First_Value_Of_Excel_Binding(int column) const = 0;
    // Shows the values of a series.
    virtual void View_Data_Series(const QString &seriesName) = 0;

    // The long-message dialog with a title line and a text, OK alone.
    virtual void Open_Long_sms_Dialog(const QString &title, const QString &text) = 0;
};
