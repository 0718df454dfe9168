#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <QVariantMap>

#include <functional>

// A table of row dictionaries as the program's tables show them: each column has an identifier,
// the key under which a row holds the column's value, and a header title. Rows, values and edits
// go through the owner's table data source, so the owner's list stays the only copy of the rows.
class ListDataTableModel : public QAbstractTableModel {
public:
    struct Column {
        QString identifier;
        QString title;
        Qt::Alignment headerAlignment = Qt::AlignLeft | Qt::AlignVCenter;
        int width = 100;
        // A check box (the row holds 0 or 1) instead of a text; a text column may be read-only.
        bool checkBox = false;
        bool editable = true;
    };

    // The owner's data source, asked for this table.
    struct DataSource {
        std::function<int()> numberOfRows;
        std::function<QVariant(const QString &column, int row)> objectValue;
        std::function<void(const QVariant &value, const QString &column, int row)> setObjectValue;
    };

    // The identifier of the row-number column that the program's tables start with.
    static const QString kColumn; // "Extension"

    // The owners keep their rows as dictionaries: a row's value for a column, nothing outside them.
    static bool containsRow(const QList<QVariantMap> &rows, int row) { return row >= 0 && row < rows.size(); }
    static QVariant valueInRows(const QList<QVariantMap> &rows, const QString &column, int row)
    {
        return containsRow(rows, row) ? rows.at(row).value(column) : QVariant();
    }

    ListDataTableModel(DataSource source, QList<Column> columns, QObject *parent = nullptr);

    const QList<Column> &tableColumns() const { return m_columns; }
    void addTableColumn(const Column &column);
    // Nothing for an index outside the columns.
    void removeTableColumn(int index);

    // Rereads the owner's rows.
    void reloadData();
    // Announce rows the owner appends at `first` .. `last`.
    void beginAppend(int first, int last);
    void endAppend();

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Title, alignment and the column's width as the size hint.
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    DataSource m_source;
    QList<Column> m_columns;
};
