#pragma once

#include "datasource/ui/ExcelRowsTable.h"

#include <QDialog>

class Data_From_Excel;
class QLabel;
class QTableView;

// The window that shows the rows of the Excel binding: the row number and one column per bound
// sheet column under its title, with the counts of rows and of columns (the row-number column
// included). Showing it changes nothing; its one button is OK.
class ExcelRowsWindow : public QDialog {
    Q_OBJECT
public:
    // The one window over the one store, made on first use.
    static ExcelRowsWindow *defaultInstance();

    explicit ExcelRowsWindow(Data_From_Excel &store, QWidget *parent = nullptr);

    // Shows the rows modally: 1 from OK.
    int Open_Wnd();
    void OK_Click();
    // Selects that one row; nothing outside the rows.
    void Mark_List_New_Selection(int row);
    // Writes the counts into rows_count and column_count.
    void showCounts();

    ExcelRowsTable &rows() { return m_rows; }

    QTableView *ColList;
    QLabel *rows_count;
    QLabel *column_count;

public slots:
    // Escape closes it as OK does: there is nothing to cancel.
    void reject() override;

private:
    ExcelRowsTable m_rows;
};
