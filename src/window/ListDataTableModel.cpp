#include "window/ListDataTableModel.h"

#include "window/SKTWindowController.h"

#include <QAbstractItemView>

const QString ListDataTableModel::kColumn = QStringLiteral("Extension");

namespace {

const QAbstractItemView *viewOf(const QObject *model)
{
    return qobject_cast<const QAbstractItemView *>(model->parent());
}

} // namespace

ListDataTableModel::ListDataTableModel(SKTWindowController &window, QObject *parent)
    : QAbstractTableModel(parent), m_window(window)
{
}

void ListDataTableModel::reloadData()
{
    beginResetModel();
    endResetModel();
}

int ListDataTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_window.numberOfRowsInTableView(viewOf(this));
}

int ListDataTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 1;
}

QVariant ListDataTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return QVariant();
    return m_window.tableView_objectValueForTableColumn_row(viewOf(this), kColumn, index.row());
}

bool ListDataTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    m_window.tableView_setObjectValue_forTableColumn_row(viewOf(this), value, kColumn, index.row());
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

Qt::ItemFlags ListDataTableModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable : Qt::NoItemFlags;
}
