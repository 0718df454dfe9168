#pragma once

#include "datasource/BatchSeriesEditor.h"

#include <QDialog>

#include <functional>

class ListDataTableModel;
class PleaseWait_Modeless;
class QLabel;
class QLineEdit;
class QStackedWidget;
class QTableView;

// The batch series manager: screen 1 lists the series, screen 2 shows the values of the one being
// edited. BatchSeriesEditor holds the lists and does the commands; the window shows them and
// forwards its buttons. While it lives, its editor is the manager other dialogs fill.
class BatchWizard : public QDialog {
    Q_OBJECT
public:
    static BatchWizard *defaultInstance();

    explicit BatchWizard(QWidget *parent = nullptr);
    ~BatchWizard() override;

    // Shows the series list and runs the manager until it is closed.
    int Open_Wnd();

    // Screen 1.
    void Add_New_Btn_Clicked();
    void Update_Btn_Clicked();
    void Delete_Btn_Clicked();
    void Import_Btn_Clicked();
    void Generate_Btn_Clicked();
    // Screen 2.
    void Import_Value_Btn_Clicked();
    void Generate_Value_Btn_Clicked();
    void Delete_Rows_Btn_Clicked();
    void Save_Btn_Clicked();
    void Export_Btn_Clicked();
    void Back_Btn_Clicked();
    // Both screens. Close asks about unsaved values first.
    void Close_Btn_Clicked();
    void Help_Btn_Clicked();
    // A double click opens a series, or edits a value in the edit-value dialog.
    void doubleClickTable(QTableView *table);

    void Mark_List_New_Selection(int row);
    void Mark_List_New_Selection_Value(int row);
    bool showsValues() const;
    // The tables read their lists again now rather than when the event loop runs.
    void reloadTables();

    BatchSeriesEditor editor;
    // Shows the completion box of an export that wrote `path`; set by the design window.
    std::function<void(const QString &path)> exportDone;

    QStackedWidget *screens;
    QWidget *avl_list_box, *list_value_box;
    QTableView *List, *List_value;
    QLineEdit *batch_list_name;
    QLabel *batch_list_count, *batch_value_count;
    QDialog *Update_Value_Wnd;
    QLineEdit *Update_m_ex_num_str;
    PleaseWait_Modeless *plz_wait_Window;

public slots:
    // Escape and the close button count as Close.
    void reject() override;

private:
    void showList();
    void showValues();
    void scheduleReload();
    void buildValueDialog();
    QList<int> selectedRows(QTableView *table) const;

    ListDataTableModel *m_listModel;
    ListDataTableModel *m_valueModel;
    BatchSeriesManager *m_previous;
    bool m_reloadPending = false;
    int m_editRow = -1;
    QString m_unedited;
};
