#pragma once

#include <QString>

// Where an object's or a profile field's value comes from. A binding to an Excel column carries the
// column's title with its number: the number reads the bound sheet, the title finds the column again
// in a sheet taken later, so that an object brought back (undo, paste, a template, an open) reads the
// column it was bound to, or none, never whatever another sheet holds at that number.
struct DataBinding {
    enum Source { Typed = 0, Series = 1, Excel = 2 };

    int data_source_type = Typed;
    QString batch_list_name;     // the series, by name
    int batch_list_index = 0;    // the series' place in the list when it was chosen
    bool excel_binding = false;  // a profile placement bound the object to a column
    int excel_col_indx = 0;      // the bound sheet's column, 0 the row number; -1 none
    QString excel_col_title;     // that column's title; kept while the column is lost

    bool isExcel() const { return data_source_type == Excel; }
    bool hasColumn() const { return excel_col_indx >= 0; }

    bool operator==(const DataBinding &) const = default;
};
