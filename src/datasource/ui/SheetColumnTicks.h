#pragma once

#include "datasource/ui/ListDataTableModel.h"

#include <QList>
#include <QVariantMap>

#include <functional>

class QCheckBox;
class QComboBox;
class QDialog;
class QFormLayout;
class QHBoxLayout;
class QLineEdit;
class QTableView;

// The table in which a sheet picker shows a workbook sheet's columns with their "Use" ticks: a
// model over the picker's entries (the list outlives the model) and a view set up to tick them.
ListDataTableModel *columnTicksModel(QList<QVariantMap> &entries, QList<ListDataTableModel::Column> columns,
                                     QObject *parent);
void setUpColumnTicksView(QTableView *view, ListDataTableModel *model, int minimumHeight);

// The rows above a sheet picker's table: the workbook (shown, not typed), its sheets, and whether
// the first row holds the column titles.
QFormLayout *sheetPickerForm(QLineEdit *workbook, int workbookWidth, QComboBox *sheets, QCheckBox *containsHeader);
// The row under it: Select All, Clear All, Cancel and OK (the default button), each calling its
// handler.
QHBoxLayout *sheetPickerButtons(QDialog *dialog, const std::function<void()> &selectAll,
                                const std::function<void()> &clearAll, const std::function<void()> &cancel,
                                const std::function<void()> &ok);
