#pragma once

#include "datasource/ExcelSeriesImport.h"

#include <QDialog>

class ListDataTableModel;
class PleaseWait_Modeless;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;
class QTableView;

// The Excel sheet to series import: the user chooses a worksheet, ticks columns and makes either
// one series per column (named in the table) or fills one series that is new, replaced or extended.
// What OK does is ExcelSeriesImport's; questions about existing series go to the long-message
// dialog. The caller sets file_name_Insert before Open_excel_Wnd.
class Import_Excel_DataSheet : public QDialog {
    Q_OBJECT
public:
    static Import_Excel_DataSheet *defaultInstance();

    explicit Import_Excel_DataSheet(QWidget *parent = nullptr);
    ~Import_Excel_DataSheet() override;

    // 1: the batch series manager reads its series list again after writing.
    int file_name_Insert = 0;

    // Starts over with the workbook and runs the chooser: 1 after an import, 0 for Cancel or a
    // workbook that cannot be read (said so; the chooser does not open then).
    int Open_excel_Wnd(const QString &path);
    bool Load_file_Func(const QString &path);
    void comboBoxSelectionDidChange(int index);
    void Select_ALL_Pressed();
    void Clear_All_Pressed();
    void Each_Col_RD_Click();
    void Fill_Col_RD_Click();
    void Fill_Type_CellClick(int target);
    void OKPressed();
    void CancelPressed();

    ExcelSeriesImport import;

    QLineEdit *file_path;
    QCheckBox *contains_header;
    QComboBox *Sheet_ComboBox;
    QTableView *ColList;
    QRadioButton *Each_col_RD, *Fill_col_RD;
    QGroupBox *fill_box;
    QButtonGroup *matrix_fill_type;
    QLineEdit *list_name;
    QComboBox *List_ComboBox;
    PleaseWait_Modeless *plz_wait_Window;

public slots:
    void reject() override;

private:
    void showControls();
    void Show_Create_Modeless();
    void Hide_Destroy_Modeless();

    ListDataTableModel *m_columns;
};
