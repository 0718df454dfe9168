#pragma once

#include "datasource/ui/ListDataTableModel.h"

#include <QList>
#include <QVariantMap>

class QTableView;

// The table in which a sheet picker shows a workbook sheet's columns with their "Use" ticks: a
// model over the picker's entries (the list outlives the model) and a view set up to tick them.
ListDataTableModel *columnTicksModel(QList<QVariantMap> &entries, QList<ListDataTableModel::Column> columns,
                                     QObject *parent);
void setUpColumnTicksView(QTableView *view, ListDataTableModel *model, int minimumHeight);
