#pragma once

#include "output/PictureExport.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;

// The export sheet: which sides, combined or not, the file type and resolution, and whether a bound
// design is exported once per record of its series or Excel rows. Its logic is in plain members so
// that the design window (and tests) can set it up, choose and press OK without a modal loop.
class ExportSheet : public QDialog {
    Q_OBJECT
public:
    explicit ExportSheet(QWidget *parent = nullptr);

    // As the Export command opens it: front only, the first file type and resolution, not combined;
    // each data box enabled and ticked only for a source the design uses.
    void resetForExport(bool seriesInUse, bool excelInUse);
    // Runs the sheet modally; 1 for OK, 0 for Cancel.
    int Open_Wnd();

    void exportOkay();
    void exportCancel();
    // Side rows: 0 both sides, 1 front, 2 back.
    void export_card_side_CellClick(int row);
    // Type rows and the popup's items go together.
    void export_file_type_CellClick(int row);
    void exportFileTypeChanged(int item);

    // What the sheet holds now.
    ExportChoice choice() const;
    bool exportsSeries() const;
    bool exportsExcel() const;

    QGroupBox *matrix_export_card_side;
    QButtonGroup *sideRows;
    QCheckBox *export_combined_image_chk;
    QGroupBox *matrix_file_type;
    QButtonGroup *typeRows;
    QComboBox *fileFormatPopup;
    QComboBox *saveDPIText;
    QCheckBox *Export_with_batch_chk;
    QCheckBox *Export_with_excel_chk;
    QPushButton *okButton;
    QPushButton *cancelButton;
};
