#pragma once

#include "datasource/ExcelSheetPicker.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The Excel sheet to series import without its window: the ticked columns of a worksheet become
// series, either one series per column, named by the column's "Header" (its title unless edited),
// or one series filled row by row, left to right, that is new, replaces a chosen series or extends
// it. Sheets, columns and ticks are the picker's. Every file goes through the series store's safe
// writer. Main thread only.
class ExcelSeriesImport {
public:
    enum FillTarget { NewSeries = 0, ReplaceSeries = 1, ExtendSeries = 2 };

    static const QString kHeaderKey;  // "Header": the series a column becomes
    static const QString kNoRows;     // each-column mode, a sheet without rows
    static const QString kExists;     // the replace question's text after the series name
    static const QString kNotImported; // heads the list of columns that were not written

    // Asks a question with Yes and No, the apply-to-all box shown as told: 1 for Yes. The window
    // asks through the long-message dialog, which keeps the box's answer in
    // DataSources().Msg_Apply_All_Chk.
    using Ask = std::function<int(const QString &title, const QString &text, bool applyToAllShown)>;

    // Starts over with the workbook: each-column mode, a new series as the fill target, every
    // column's series named by its title. False (with `error`) when the workbook cannot be read.
    bool Open(const QString &path, QString *error = nullptr);
    // Chooses sheet `index` of the picker's sheets and names its columns' series by their titles.
    bool chooseSheet(int index, QString *error = nullptr);
    // The series of column `column` is to be called `name`; nothing outside the columns.
    void setHeader(int column, const QString &name);

    // OK: the code the chooser's run ends with, or nothing when it stays open (the message says why).
    std::optional<int> OKPressed(const Ask &ask);
    int CancelPressed();

    // Each ticked column into the series named by its header. A name that is not a safe series
    // name, a series the design uses and a file that cannot be written are not imported and are
    // listed afterwards; an existing series is replaced only when the user agrees, for it or for
    // all of this import. Two columns whose names clean to one series are refused with nothing
    // written (nothing then, and false).
    bool Create_file_For_Col_Func(const Ask &ask);
    // The ticked cells into the one target series. The rows are read first: a sheet without rows
    // leaves every series as it was. False when the chooser stays open.
    bool Insert_file_Func();

    ExcelSheetPicker picker;
    bool each_column = true;
    int fill_col_option = NewSeries;
    QString list_name;     // the new series' name
    QString chosen_series; // the series to replace or extend
    int file_name_Insert = 0;

private:
    void nameSeriesByTitles();
    // Every row of the chosen sheet; nothing, with the reason in `reason` and logged, when it has none.
    std::optional<QList<QStringList>> readRows(QString &reason) const;
    int firstRow() const { return picker.contains_header ? 1 : 0; }
    void refillManager() const;
};
