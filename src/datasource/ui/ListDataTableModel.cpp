#include "datasource/ui/ListDataTableModel.h"

#include <QSize>

const QString ListDataTableModel::kColumn = QStringLiteral("Extension");

ListDataTableModel::ListDataTableModel(DataSource source, QList<Column> columns, QObject *parent)
    : QAbstractTableModel(parent), m_source(std::move(source)), m_columns(std::move(columns))
{
}

void ListDataTableModel::addTableColumn(const Column &column)
{
    const int at = static_cast<int>(m_columns.size());
    beginInsertColumns(QModelIndex(), at, at);
    m_columns.append(column);
    endInsertColumns();
}

void ListDataTableModel::removeTableColumn(int index)
{
    if (index < 0 || index >= m_columns.size())
        return;
    beginRemoveColumns(QModelIndex(), index, index);
    m_columns.removeAt(index);
    endRemoveColumns();
}

void ListDataTableModel::reloadData()
{
    beginResetModel();
    endResetModel();
}

void ListDataTableModel::beginAppend(int first, int last)
{
    beginInsertRows(QModelIndex(), first, last);
}

void ListDataTableModel::endAppend()
{
    endInsertRows();
}

int ListDataTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_source.numberOfRows ? 0 : m_source.numberOfRows();
}

int ListDataTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant ListDataTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.column() >= m_columns.size() || !m_source.objectValue)
        return QVariant();
    const Column &column = m_columns.at(index.column());
    if (column.checkBox)
        return role == Qt::CheckStateRole
                   ? QVariant(m_source.objectValue(column.identifier, index.row()).toInt() != 0 ? Qt::Checked : Qt::Unchecked)
                   : QVariant();
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return QVariant();
    return m_source.objectValue(column.identifier, index.row());
}

bool ListDataTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.column() >= m_columns.size() || !m_source.setObjectValue)
        return false;
    const Column &column = m_columns.at(index.column());
    if (column.checkBox ? role != Qt::CheckStateRole : (role != Qt::EditRole || !column.editable))
        return false;
    // A check box stores 0 or 1, as the program's rows keep ticks.
    const QVariant stored = column.checkBox ? QVariant(value.toInt() == Qt::Checked ? 1 : 0) : value;
    m_source.setObjectValue(stored, column.identifier, index.row());
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole, Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags ListDataTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid() || index.column() >= m_columns.size())
        return Qt::NoItemFlags;
    const Column &column = m_columns.at(index.column());
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (column.checkBox)
        flags |= Qt::ItemIsUserCheckable;
    else if (column.editable)
        flags |= Qt::ItemIsEditable;
    return flags;
}

QVariant ListDataTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    const Column &column = m_columns.at(section);
    switch (role) {
    case Qt::DisplayRole:
        return column.title;
    case Qt::TextAlignmentRole:
        return static_cast<int>(column.headerAlignment);
    case Qt::SizeHintRole:
        return QSize(column.width, -1);
    default:
        return QVariant();
    }
}
