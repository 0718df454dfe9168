#include "datasource/ui/SheetColumnTicks.h"

#include "core/MessageBoxes.h"

#include <QHeaderView>
#include <QTableView>

ListDataTableModel *columnTicksModel(QList<QVariantMap> &entries, QList<ListDataTableModel::Column> columns,
                                     QObject *parent)
{
    return new ListDataTableModel(
        {[&entries] { return static_cast<int>(entries.size()); },
         [&entries](const QString &column, int row) { return ListDataTableModel::valueInRows(entries, column, row); },
         [&entries](const QVariant &value, const QString &column, int row) {
             if (!ListDataTableModel::containsRow(entries, row)) {
                 Show_NSLog_Message(QStringLiteral("No column %1 to change.").arg(row + 1));
                 return;
             }
             entries[row].insert(column, value);
         }},
        std::move(columns), parent);
}

void setUpColumnTicksView(QTableView *view, ListDataTableModel *model, int minimumHeight)
{
    view->setModel(model);
    view->setSelectionMode(QAbstractItemView::NoSelection);
    view->setAlternatingRowColors(true);
    view->verticalHeader()->hide();
    QHeaderView *header = view->horizontalHeader();
    for (int column = 0; column + 1 < model->columnCount(); ++column)
        header->resizeSection(column, model->headerData(column, Qt::Horizontal, Qt::SizeHintRole).toSize().width());
    header->setStretchLastSection(true);
    // The columns' size hints give widths only: the header takes the height of its text.
    header->setMinimumHeight(header->fontMetrics().height() + 10);
    view->setMinimumHeight(minimumHeight);
}
