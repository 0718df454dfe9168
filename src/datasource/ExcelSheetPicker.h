#pragma once

#include "core/WorkerWait.h"
#include "datasource/SpreadsheetWriter.h"
#include "datasource/readers/SpreadsheetRows.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <optional>

class BatchSeriesManager;
class Data_From_Excel;

// What the sheet and column picker decides, without its window: which worksheet of a workbook is
// chosen, which of its columns are ticked, and what taking them does. Mode "E" makes the ticked
// columns the design's Excel binding (titles and rows); mode "D" pushes the ticked cells, row by row
// and left to right, into the series the batch series manager is editing. Main thread only; the
// workbook is read through SpreadsheetWriter, which gives a reason for a file it cannot read, on a
// worker while the GUI thread paints, through `wait`.
class ExcelSheetPicker {
public:
    static const QString kStateKey;     // "State": a column entry's tick, 0 or 1
    static const QString kTitleKey;     // "Extension": a column entry's title
    static const QString kNoColumn;     // "There is no column."
    static const QString kNoSelection;  // "No column is selected."
    static const QString kUnreadable;   // "Either file is corrupted or selected file contains invalid characters."
    // kUnreadable with the reader's reason under it, as a window shows it.
    static QString unreadable(const QString &reason);

    // The cells a load takes: for each row from the first (or the second, with a header row), the
    // texts of `columns` (sheet column indexes from 0, in this order), trimmed. A column outside a
    // row gives "".
    static QList<QStringList> takeCells(const QList<QStringList> &rows, const QList<int> &columns, bool containsHeader);
    // The rows of worksheet `sheetNumber` of the workbook at `path`, read on a worker as above.
    SpreadsheetRows readSheet(const QString &path, int sheetNumber) const;

    // Starts over with the workbook at `path`: first sheet, header row ticked, no column ticked;
    // then reads its sheet list and the first sheet's titles. False (logged, with `error` set) when
    // the workbook cannot be read; the lists are empty then.
    bool Open(const QString &path, QString *error = nullptr);
    // The sheet list again from the workbook; chooses the first sheet.
    bool Load_file_Func(const QString &path, QString *error = nullptr);

    const QString &path() const { return m_path; }
    // The sheets to choose from, by name in the workbook's order (see SpreadsheetWriter::Workbook).
    QStringList sheetNames() const;
    // The index in sheetNames() of the sheet whose columns are listed; -1 before one was read.
    int chosenSheet() const { return m_chosen; }

    // Chooses sheet `index` of sheetNames() and lists its columns, none ticked. A sheet that cannot
    // be read, or holds no row, leaves the chosen sheet and its columns as they were: false, with
    // the reason in `error`.
    bool comboBoxSelectionDidChange(int index, QString *error = nullptr);

    // Appends a column entry: the trimmed title, or "Untitled Column %d" (its column from 1) for a
    // blank one, so that entry c always stands for sheet column c.
    void Create_List(const QString &title, bool ExtState);
    // The tick of entry `column`; 0 where there is none.
    int Get_Selection_State(int column) const;
    bool Check_For_One_Extension_Selection() const;
    void Select_ALL_Pressed() { setAllTicks(true); }
    void Clear_All_Pressed() { setAllTicks(false); }
    // Ticks or unticks entry `column`; nothing outside the entries.
    void setTick(int column, bool ticked);
    // The sheet columns ticked, in column order.
    QList<int> tickedColumns() const;

    // OK: the code the picker's run ends with, or nothing when it stays open (no column, or none
    // ticked: the message says which). Mode "D" fills the installed series manager, any other mode
    // the Excel binding store. A sheet that reads no rows shows unreadable() with the reason,
    // changes nothing and ends with 0.
    std::optional<int> OKPressed(Data_From_Excel &store);
    // Cancel: ends with 0, nothing taken.
    int CancelPressed();

    // Mode "E": the ticked columns of the chosen sheet become `store`'s columns (titles as listed)
    // and its rows. False, with `store` as it was, when the sheet reads no rows.
    bool Create_Excel_List_Func(Data_From_Excel &store, QString *error = nullptr);

    // Where the fields bound to `store`'s columns go when columns titled `titles` replace them,
    // as Data_From_Excel::columnsRebound takes it. Fields are bound by column number, but the user
    // bound a title: a title the new columns hold once takes its fields there; one they lack leaves
    // its fields without a column, for a run to ask about. A blank title, or one that titles more
    // than one column of either sheet, cannot tell its column: the user is asked whether its
    // fields keep their column numbers (Yes) or are left without one (No); Cancel gives nothing.
    // `told` gets the one message that names the fields moved and those left without a column.
    static std::optional<QHash<int, int>> rebinding(Data_From_Excel &store, const QStringList &titles, QString *told);
    // Mode "D": each ticked cell, row after row, goes to `manager`.
    bool Insert_file_Func(BatchSeriesManager &manager, QString *error = nullptr);

    // How the picker's window waits for a read, dropping the user's input to it meanwhile; without
    // one a read runs on a worker all the same.
    WorkerWait::Wait wait;
    QString open_mode = QStringLiteral("D");
    bool contains_header = true;
    // The worksheet read (its part number, from 1).
    int Excel_Sheet_Number = 1;
    // One entry per column of the chosen sheet: kStateKey = tick (0 or 1), kTitleKey = title.
    QList<QVariantMap> ListData_xl;
    // The rows last read: the chosen sheet's title row.
    SpreadsheetRows excel_content;

private:
    void setAllTicks(bool ticked);
    // The titles of the ticked columns, as listed.
    QStringList tickedTitles() const;
    // The rows of the chosen sheet, or why there are none.
    SpreadsheetRows readChosenSheet() const;

    QString m_path;
    QList<SpreadsheetWriter::Sheet> m_sheets;
    int m_chosen = -1;
};
