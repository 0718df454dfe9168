#include "window/Data_From_Excel.h"

#include "core/MessageBoxes.h"
#include "core/StringHelpers.h"

const QString Data_From_Excel::kRowNumberTitle = QStringLiteral("#");

namespace {

ListDataTableModel::Column rowNumberColumn()
{
    return {ListDataTableModel::kColumn, Data_From_Excel::kRowNumberTitle, Qt::AlignLeft | Qt::AlignVCenter,
            Data_From_Excel::kColumnWidth};
}

} // namespace

Data_From_Excel *Data_From_Excel::defaultInstance()
{
    // Lives for the whole run, like the window it stands for.
    static Data_From_Excel *const instance = new Data_From_Excel;
    return instance;
}

Data_From_Excel::Data_From_Excel()
    : ColList(new ListDataTableModel({[this] { return numberOfRowsInTableView(ColList); },
                                      [this](const QString &column, int row) {
                                          return tableView_objectValueForTableColumn_row(ColList, column, row);
                                      },
                                      [this](const QVariant &value, const QString &column, int row) {
                                          tableView_setObjectValue_forTableColumn_row(ColList, value, column, row);
                                      }},
                                     {rowNumberColumn()}))
{
}

Data_From_Excel::~Data_From_Excel()
{
    delete ColList;
}

void Data_From_Excel::reset()
{
    ListData.clear();
    removeBoundColumns();
    ColList->reloadData();
}

void Data_From_Excel::removeBoundColumns()
{
    while (ColList->tableColumns().size() > 1)
        ColList->removeTableColumn(static_cast<int>(ColList->tableColumns().size()) - 1);
}

void Data_From_Excel::appendRow(const QVariantMap &row)
{
    const int at = static_cast<int>(ListData.size());
    ColList->beginAppend(at, at);
    ListData.append(row);
    ColList->endAppend();
}

void Data_From_Excel::Create_List_By_Array(const QStringList &values, int count)
{
    if (count > values.size()) {
        Show_NSLog_Message(
            QStringLiteral("An Excel row has %1 cells where %2 are bound.").arg(values.size()).arg(count));
        return;
    }
    QVariantMap row;
    row.insert(ListDataTableModel::kColumn, QString::number(ListData.size() + 1));
    for (int i = 0; i < count; ++i)
        row.insert(QStringLiteral("Column%1").arg(i + 1), Trim_Str(values.at(i)));
    appendRow(row);
}

void Data_From_Excel::Create_Value_List(const QString &text)
{
    const QString trimmed = Trim_Str(text);
    if (trimmed.isEmpty())
        return;
    appendRow(QVariantMap{{ListDataTableModel::kColumn, trimmed}});
}

int Data_From_Excel::numberOfRowsInTableView(const QAbstractItemModel *table) const
{
    return table && table == ColList ? static_cast<int>(ListData.size()) : 0;
}

QVariant Data_From_Excel::tableView_objectValueForTableColumn_row(const QAbstractItemModel *table,
                                                                  const QString &column, int row) const
{
    return table && table == ColList ? ListDataTableModel::valueInRows(ListData, column, row) : QVariant();
}

void Data_From_Excel::tableView_setObjectValue_forTableColumn_row(const QAbstractItemModel *table,
                                                                  const QVariant &value, const QString &column, int row)
{
    if (!table || table != ColList)
        return;
    if (!ListDataTableModel::containsRow(ListData, row)) {
        Show_NSLog_Message(QStringLiteral("Invalid parameter not satisfying: %1")
                               .arg(QStringLiteral("pRowIndex >= 0 && pRowIndex < [ListData count]")));
        return;
    }
    // The rows hold text only: the design file stores them as strings.
    ListData[row].insert(column, value.toString());
}

QStringList Data_From_Excel::columnTitles() const
{
    QStringList titles;
    for (const ListDataTableModel::Column &column : ColList->tableColumns())
        titles << column.title;
    return titles;
}

void Data_From_Excel::setColumnTitles(const QStringList &titles)
{
    if (!titles.isEmpty()) {
        removeBoundColumns();
        for (int k = 1; k < titles.size(); ++k)
            ColList->addTableColumn(
                {QStringLiteral("Column%1").arg(k), titles.at(k), Qt::AlignLeft | Qt::AlignVCenter, kColumnWidth});
    }
    ColList->reloadData();
}

void Data_From_Excel::setListData(const QList<QVariantMap> &rows)
{
    ListData = rows;
    ColList->reloadData();
}
