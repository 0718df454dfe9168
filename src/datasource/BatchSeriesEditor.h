#pragma once

#include "datasource/BatchSeriesManager.h"

#include <QList>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <optional>

// What the batch series manager does, without its window: the list of series (screen 1) and the
// values of the series being edited (screen 2), with the commands on them. Messages and questions
// go through the message boxes, so tests answer them; the window shows the lists and forwards its
// buttons here. Files are written whole and safely; nothing is lost quietly: an unsaved edit is
// asked about before it is dropped, and a series that cannot be saved back as it was read (a
// read-only file, or one that is not UTF-8) opens for viewing and is saved only under another name.
// Main thread only.
class BatchSeriesEditor : public BatchSeriesManager {
public:
    static const QString kListKey;  // "Extension": a series row's name
    static const QString kValueKey; // "Header": a value row's value

    // Whether a design object takes its values from the series; the window installs the design's.
    std::function<bool(const QString &seriesName)> inUse = [](const QString &) { return false; };
    // Called after the series list or the values changed, so that views read them again.
    std::function<void()> listChanged = [] {};
    std::function<void()> valuesChanged = [] {};

    // Appends a value (trimmed, line breaks inside made blanks); a blank one is dropped.
    void Create_Value_List(const QString &value) override;
    // The series list again from the series folder.
    void Fill_List() override;

    QString Get_List_Name_Text(int row) const;
    QString Get_Value_Text(int row) const;

    // Opens the series of list row `row` for editing; false (said why) when it stays on the list.
    bool On_Update(int row);
    // Starts a new, empty series named "Untitled".
    void Add_New();
    // Deletes the series of `rows` that no design object uses, after asking, and reads the list
    // again. `current` is the table's current row; the answer is the row to select (-1 for none),
    // or nothing when nothing was deleted.
    std::optional<int> Delete_Series(const QList<int> &rows, int current);

    // Deletes the value rows `rows`; the row to select afterwards, or nothing when nothing changed.
    std::optional<int> Delete_Rows(const QList<int> &rows, int current);
    // The edit-value dialog's OK: true when it may close.
    bool Update_Value(int row, const QString &edited, const QString &unedited);
    // Before values are imported or generated into a series that holds some: Yes empties it, No
    // keeps them (the new ones follow), a cancelled question stops the command (false).
    bool Prepare_Value_Import();
    // Saves the values under the typed name; true when saved (the window then shows the list).
    bool Save();
    // Asks for a file and writes the values to it as a workbook ("Batch Value" above them) or as
    // text; the path written, or nothing.
    std::optional<QString> Export_Values();
    // Writes the values to `path`, given the extension of `format` ("xlsx" or "txt") unless it has
    // it; asks before replacing a file that the panel did not name. The path written, or nothing.
    std::optional<QString> Export_To(const QString &path, const QString &format);
    // Before Back or Close drops the values: true when they may go (saved, unchanged or given up).
    bool Confirm_Leave();

    QList<QVariantMap> ListData;       // screen 1: kListKey = series name
    QList<QVariantMap> ListData_value; // screen 2: kValueKey = value
    QString batch_list_name;           // the name typed for the series being edited
    QString update_list_name;          // the name it was opened under; empty for a new series
    // Why the opened series cannot be saved under its own name; empty when it can.
    QString read_only_reason;
    bool modified = false;             // the values changed since they were opened or saved

private:
    bool checkListSelection(int row) const;
    void clearValues();
};
