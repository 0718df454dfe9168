#pragma once

#include "datasource/SeriesImporter.h"

#include <QDialog>

class PleaseWait_Modeless;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

// The series import wizard: the user picks a source (a workbook, a text, CSV or RTF file, pasted
// text or a folder of pictures) and, when it makes a new series, its name. SeriesImporter reads
// and delivers the values; the window holds the choices. The caller sets file_name_required and
// file_name_Insert before Open_Wnd.
class Import_Wizard : public QDialog {
    Q_OBJECT
public:
    static Import_Wizard *defaultInstance();

    explicit Import_Wizard(QWidget *parent = nullptr);

    // Resets the choices and runs the wizard: 1 when an import finished, 0 for Cancel.
    int Open_Wnd();

    void Excel_RD_Pressed() { chooseSource(SeriesImporter::Workbook); }
    void Text_RD_Pressed() { chooseSource(SeriesImporter::TextFile); }
    void Manual_RD_Pressed() { chooseSource(SeriesImporter::PastedText); }
    void Image_RD_Pressed() { chooseSource(SeriesImporter::PictureFolder); }
    // A file or folder chosen in the panel goes into its field and is imported at once.
    void Browse_Excel_Pressed();
    void Browse_Text_Pressed();
    void Browse_Image_Pressed();
    void OKPressed();
    void CancelPressed();
    void HelpPressed();

    int import_option = SeriesImporter::Workbook;
    int file_name_required = 0;
    int file_name_Insert = 0;

    QRadioButton *Excel_RD, *Text_RD, *Mnul_RD, *Image_RD;
    QLineEdit *Excel_path, *Text_path, *Image_path;
    QPushButton *Excel_btn, *Text_btn, *Image_btn;
    QPlainTextEdit *ManualEdit;
    // The workbook's name field is never shown: the sheet import names the series it writes.
    QLineEdit *Excel_file_name, *Text_file_name, *Manual_file_name, *Image_file_name;
    PleaseWait_Modeless *plz_wait_Window;

public slots:
    // Escape and the close button count as Cancel.
    void reject() override;

private:
    void chooseSource(int option);
    // The ticked columns of a workbook: as series files through the sheet import, into the edited
    // series through the sheet and column picker.
    bool importWorkbook(SeriesImporter &importer);
    void Show_Create_Modeless();
    void Hide_Destroy_Modeless();
};
