#pragma once

#include "datasource/ui/ListDataTableModel.h"
#include "platform/Subscription.h"

#include <QStringList>
#include <QVariant>

class Data_From_Excel;
class QAbstractItemModel;

// The table that shows the rows of the Excel binding store: `ColList`, whose first column shows the
// row number ("Extension") and whose further columns ("Column%d", width 100) carry the bound
// columns' titles. It follows the store's changes and writes its edits into the store.
// Main thread only.
class ExcelRowsTable {
public:
    static constexpr int kColumnWidth = 100;

    explicit ExcelRowsTable(Data_From_Excel &store);
    ExcelRowsTable(const ExcelRowsTable &) = delete;
    ExcelRowsTable &operator=(const ExcelRowsTable &) = delete;
    ~ExcelRowsTable();

    // The table's data source: rows, values and edits of ColList; any other table has no rows.
    int numberOfRowsInTableView(const QAbstractItemModel *table) const;
    QVariant tableView_objectValueForTableColumn_row(const QAbstractItemModel *table, const QString &column,
                                                     int row) const;
    void tableView_setObjectValue_forTableColumn_row(const QAbstractItemModel *table, const QVariant &value,
                                                     const QString &column, int row);
    bool tableView_shouldSelectRow(const QAbstractItemModel *, int) const { return true; }
    void tableViewSelectionDidChange() {}

    ListDataTableModel *ColList;

private:
    // The columns again from the store's titles; the row-number column stays.
    void followColumns();

    Data_From_Excel &m_store;
    platform::Subscription m_rows, m_columns;
};
