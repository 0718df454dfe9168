#include "datasource/ui/ExcelRowsTable.h"

#include "datasource/Data_From_Excel.h"

ExcelRowsTable::ExcelRowsTable(Data_From_Excel &store)
    : ColList(new ListDataTableModel({[this] { return numberOfRowsInTableView(ColList); },
                                      [this](const QString &column, int row) {
                                          return tableView_objectValueForTableColumn_row(ColList, column, row);
                                      },
                                      [this](const QVariant &value, const QString &column, int row) {
                                          tableView_setObjectValue_forTableColumn_row(ColList, value, column, row);
                                      }},
                                     {{ListDataTableModel::kColumn, Data_From_Excel::kRowNumberTitle,
                                       Qt::AlignLeft | Qt::AlignVCenter, kColumnWidth}})),
      m_store(store),
      m_rows(store.rowsChanged.subscribe([this] { ColList->reloadData(); })),
      m_columns(store.columnsChanged.subscribe([this] { followColumns(); }))
{
    followColumns();
}

ExcelRowsTable::~ExcelRowsTable()
{
    m_rows.cancel();
    m_columns.cancel();
    delete ColList;
}

void ExcelRowsTable::followColumns()
{
    while (ColList->tableColumns().size() > 1)
        ColList->removeTableColumn(static_cast<int>(ColList->tableColumns().size()) - 1);
    const QStringList titles = m_store.columnTitles();
    for (int k = 1; k < titles.size(); ++k)
        ColList->addTableColumn(
            {Data_From_Excel::columnKey(k), titles.at(k), Qt::AlignLeft | Qt::AlignVCenter, kColumnWidth});
    ColList->reloadData();
}

int ExcelRowsTable::numberOfRowsInTableView(const QAbstractItemModel *table) const
{
    return table && table == ColList ? static_cast<int>(m_store.ListData.size()) : 0;
}

QVariant ExcelRowsTable::tableView_objectValueForTableColumn_row(const QAbstractItemModel *table,
                                                                 const QString &column, int row) const
{
    return table && table == ColList ? m_store.value(column, row) : QVariant();
}

void ExcelRowsTable::tableView_setObjectValue_forTableColumn_row(const QAbstractItemModel *table,
                                                                 const QVariant &value, const QString &column, int row)
{
    if (table && table == ColList)
        m_store.setValue(value, column, row);
}
