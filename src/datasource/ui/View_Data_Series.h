#pragma once

#include <QAbstractListModel>
#include <QDialog>
#include <QStringList>

class QLabel;
class QLineEdit;
class QTableView;

// The values of one series as a read-only table: one row per value, nothing else kept, so that a
// series of a million values shows at once.
class SeriesValuesModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    // Shows `values` instead of the rows shown before.
    void setValues(QStringList values);
    const QStringList &values() const { return m_values; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QStringList m_values;
};

// The series viewer: the values of one series (blank lines left out, each value trimmed) with
// their count. Looking changes nothing on disk or in the design. One instance for the run.
class View_Data_Series : public QDialog {
    Q_OBJECT
public:
    explicit View_Data_Series(QWidget *parent = nullptr);

    static View_Data_Series *defaultInstance();
    // Shows the series `seriesName` over `parent` until the user closes the viewer.
    static void Open_Series(const QString &seriesName, QWidget *parent = nullptr);

    // The series to show: its name, without folder or extension.
    QString file_name;
    // Shows the series named by file_name modally: 1 from OK. A missing series, an empty one or
    // one that does not read as text shows no values; one past the series limits, or a file that
    // does not open, is said first.
    int Open_Wnd();
    // Reads the series file at `path` into the list and the count.
    void Load_file_Func(const QString &path);
    void Update_batch_List_Count();
    void OK_Btn_Clicked();

    QLineEdit *series_name;
    QTableView *List;
    QLabel *list_count;
    SeriesValuesModel ListData;

public slots:
    // Escape closes it as OK does: there is nothing to cancel.
    void reject() override;
};
