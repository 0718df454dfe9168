#pragma once

#include "window/ListDataTableModel.h"

#include <QList>
#include <QStringList>
#include <QVariantMap>

class QAbstractItemModel;

// The rows of the Excel worksheet a design is bound to, kept for the whole run. `ListData` holds one
// Excel row dictionary per loaded row ("Extension" = its number from 1, "Column1" … the bound
// columns' texts by position); `ColList` is the table that shows them, whose column identifiers are
// the keys of the rows and whose titles are the names objects are bound under. The sheet picker
// fills both, the design file stores and restores both, the record engine reads them.
// Main thread only.
class Data_From_Excel {
public:
    static constexpr int kColumnWidth = 100;
    static const QString kRowNumberTitle; // title of the row-number column

    // The one store, made on first use.
    static Data_From_Excel *defaultInstance();

    Data_From_Excel();
    Data_From_Excel(const Data_From_Excel &) = delete;
    Data_From_Excel &operator=(const Data_From_Excel &) = delete;
    ~Data_From_Excel();

    // Back to the start of a run: no rows and the row-number column alone.
    void reset();

    // Appends one row built from the first `count` values (trimmed); a shorter list is logged and
    // adds nothing.
    void Create_List_By_Array(const QStringList &values, int count);
    // Appends a row holding only "Extension" = the trimmed text; nothing for a blank text.
    void Create_Value_List(const QString &text);

    // The table's data source: rows, values and edits of ColList; any other table has no rows.
    int numberOfRowsInTableView(const QAbstractItemModel *table) const;
    QVariant tableView_objectValueForTableColumn_row(const QAbstractItemModel *table, const QString &column,
                                                     int row) const;
    void tableView_setObjectValue_forTableColumn_row(const QAbstractItemModel *table, const QVariant &value,
                                                     const QString &column, int row);
    bool tableView_shouldSelectRow(const QAbstractItemModel *, int) const { return true; }
    void tableViewSelectionDidChange() {}

    // The design file's form: the titles of every column, the row-number column's first.
    QStringList columnTitles() const;
    // Keeps the row-number column and adds one "Column%d" column per title after the first. An
    // empty list leaves the columns as they are.
    void setColumnTitles(const QStringList &titles);
    // Replaces the rows and shows them.
    void setListData(const QList<QVariantMap> &rows);

    QList<QVariantMap> ListData;
    ListDataTableModel *ColList;

private:
    // Leaves the row-number column alone.
    void removeBoundColumns();
    void appendRow(const QVariantMap &row);
};
