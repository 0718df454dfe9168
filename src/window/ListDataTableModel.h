#pragma once

#include <QAbstractTableModel>

class SKTWindowController;

// Shows the design window's one-column list table: rows, values and edits go through the window's
// table data source, so the window's list stays the only copy.
class ListDataTableModel : public QAbstractTableModel {
public:
    ListDataTableModel(SKTWindowController &window, QObject *parent = nullptr);

    // The column's identifier, the key of the rows' dictionaries.
    static const QString kColumn; // "Extension"

    // Rereads the window's list.
    void reloadData();

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    SKTWindowController &m_window;
};
