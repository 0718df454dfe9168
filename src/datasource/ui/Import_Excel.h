#pragma once

#include "datasource/ExcelSheetPicker.h"

#include <QDialog>

class ListDataTableModel;
class PleaseWait_Modeless;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QTableView;

// The sheet and column picker: the user chooses a worksheet of a workbook and ticks the columns to
// take. Its decisions are ExcelSheetPicker's; the window shows them and forwards the controls'
// actions. The caller sets the mode ("E": the Excel binding, "D": the series being edited) before
// Open_excel_Wnd.
class Import_Excel : public QDialog {
    Q_OBJECT
public:
    static Import_Excel *defaultInstance();

    explicit Import_Excel(QWidget *parent = nullptr);
    ~Import_Excel() override;

    QString open_mode() const { return picker.open_mode; }
    void setOpen_mode(const QString &mode) { picker.open_mode = mode; }

    // Starts over with the workbook, reads its sheets and the first sheet's titles and runs the
    // picker: 1 when columns were taken, else 0. A workbook that cannot be read is said so and the
    // picker does not open.
    int Open_excel_Wnd(const QString &path);
    // Reads the sheet list and the first sheet's columns under the please-wait sheet.
    bool Load_file_Func(const QString &path);
    // A sheet was chosen in Sheet_ComboBox; one that cannot be read is said so, and the sheet whose
    // columns are listed stays chosen.
    void comboBoxSelectionDidChange(int index);
    void Select_ALL_Pressed();
    void Clear_All_Pressed();
    void OKPressed();
    void CancelPressed();
    void Show_Create_Modeless();
    void Hide_Destroy_Modeless();

    ExcelSheetPicker picker;

    QLineEdit *file_path;
    QCheckBox *contains_header;
    QComboBox *Sheet_ComboBox;
    QTableView *ColList;
    PleaseWait_Modeless *plz_wait_Window;

public slots:
    // Escape and the close button count as Cancel.
    void reject() override;

private:
    // The controls again from the picker.
    void showSheets();
    void reloadColumns();

    ListDataTableModel *m_columns;
};
