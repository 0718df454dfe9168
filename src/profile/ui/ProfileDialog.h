#pragma once

#include "document/SKTGraphic.h"
#include "platform/Subscription.h"

#include <QDialog>
#include <QString>

#include <array>

class ProfileDialogHost;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class User_Profile_Class;
struct User_Profile_Field;

// What the two profile dialogs share: eleven rows, one per profile field, each with its value
// (typed, or the first value of the series or Excel column it is bound to), its source list and its
// series or column list; the photo, the Excel sheet, the preview and the writing of the form into a
// profile. The per-side dialog (Show_User_Profile) and the new-card dialog (User_profile) add
// their own controls and openings.
//
// Every change of a source or series list's selection runs its handling, whoever made it (the
// reset and the read-back rely on that); a list filled again ends with nothing chosen, so that a
// bound field without a series fails the validation. Main thread only.
class ProfileDialog : public QDialog {
    Q_OBJECT
public:
    // One field's controls. The photo row has no value box: its value is image_path_val.
    struct Row {
        const User_Profile_Field *field = nullptr;
        QString caption;                 // "Name :" …
        QLabel *caption_label = nullptr;
        QLineEdit *value = nullptr;      // `<stem>_value`
        QComboBox *ds_combo = nullptr;   // `<stem>_ds_combo`: typed, series, Excel
        QComboBox *ser_col_cb = nullptr; // `<stem>_ser_col_cb`: series names or column titles
        QPushButton *view_btn = nullptr; // `<stem>_view_btn`
    };

    // The dialog stems in the fields' order: "name", "title", "comp_name", … "image".
    static const std::array<const char *, 11> kStems;

    void setHost(ProfileDialogHost *host) { m_host = host; }

    // Runs the dialog modally, once `prepare` has set it up: 1 OK, 0 Cancel.
    int runPrepared();

    virtual void Reset_all_Ctrl();
    bool Check_Validation();
    bool Fill_Front_User_profile_value_in_Variable();
    bool Fill_Back_User_profile_value_in_Variable();
    bool Fill_TEMP_User_profile_value_in_Variable();

    void OK_Btn_Clicked();
    void Cancel_Btn_Clicked();
    void Reset_Btn_Clicked() { Reset_all_Ctrl(); }
    void Help_Btn_Clicked();
    void Preview_Btn_Clicked();
    void Browse_excel_Btn_Clicked();
    void View_Excel_Btn_Clicked();
    void Batch_Series_Btn_Clicked();
    void Add_Excel_in_Data_Source_Combo();
    void Remove_Excel_in_Data_Source_Combo();
    void View_Data_Series_By_Name(QComboBox *seriesList);
    // A browsed photo that cannot be read leaves the path and picture shown, and says why.
    void Browse_image_Btn_Clicked();
    void Clear_image_Btn_Clicked() { Set_User_Image(QString()); }
    // The trimmed path goes into the path box, and its picture beside it when it can be read (a
    // source's first value need not be a picture).
    void Set_User_Image(const QString &path);

    // The selection handling of a row's source list and of its series or column list.
    void sourceSelectionDidChange(int row);
    void seriesSelectionDidChange(int row);

    // Renders Graphics_array into the side picture (and, in the new-card dialog, the template one).
    virtual void Create_and_Set_template_picture();
    void Create_and_Set_Preview_picture();

    QString load_side;
    GraphicList Graphics_array;
    QString checked_field_name;

    std::array<Row, 11> rows;
    QLineEdit *image_path_val;
    QLabel *user_picture;
    QPushButton *browse_pic_btn, *clear_pic_btn;
    QLabel *Preivew_picture;
    QLineEdit *excel_path_field;
    QPushButton *excel_browse_btn, *view_excel_btn, *batch_series_btn;
    QPushButton *ok_btn, *cancel_btn, *reset_btn, *help_btn, *preview_btn;

public slots:
    // Escape and the close button count as Cancel.
    void reject() override;
    void done(int result) override;

protected:
    explicit ProfileDialog(QWidget *parent = nullptr);

    // The grid of the rows and what goes beside them; subclasses add their columns before finish().
    QGridLayout *rowGrid() const { return m_grid; }
    // Builds the side panel and the buttons; called once by each subclass's constructor.
    void finish(QLayout *sidePanelTop);
    // Writes the form into `profile`; `accepting` for the front and back profiles of an OK.
    bool fillProfile(User_Profile_Class &profile, bool accepting);
    // The rows' values from the visible profile objects among `objects`, as their sources say.
    void readBack(const GraphicList &objects);
    // A row's read-back also ticks the per-side dialog's value box.
    virtual void valueReadBack(int row) { Q_UNUSED(row); }
    // "Excel" is offered in every source list exactly while Excel rows are loaded, whoever loaded
    // them: the dialog's own Browse, a design read from its file, the new-card sheet.
    void offerExcelAsLoaded();
    static void showPicture(QLabel *label, const QImage &picture);
    // A bold label over a column or a picture.
    static QLabel *heading(const QString &text);
    // Opening for the side the design window shows: the form reset, the Excel path, the title and
    // the side's objects with their pictures; the rows are read back by the caller. Whether it is
    // the back side.
    bool prepareForShownSide();

    ProfileDialogHost *m_host = nullptr;

private:
    // A row's binding as read back from its object, and what the read-back chose in its lists. A row
    // whose lists still show that choice at OK keeps the object's binding, also where the lists
    // cannot show it (a series or column past their end, a source they do not offer).
    struct ReadBinding {
        bool read = false;
        DataBinding binding;
        int shownSource = -1, shownItem = -1;
    };
    bool keepsReadBinding(int row) const;
    // The column a row is bound to (from 1), as OK would write it; 0 for none.
    int boundColumn(int row) const;
    // A sheet taken in place of the bound one: the rows bound to its columns follow them, and every
    // Excel row lists the new columns with its sample value.
    void columnsRebound(const QHash<int, int> &moves);

    QGridLayout *m_grid;
    std::array<ReadBinding, 11> m_readBindings;
    // From an opening to the end of its run, the rows are fields bound to the sheet's columns.
    bool m_formShown = false;
    platform::Subscription m_boundFieldsListing, m_columnsRebinding;
};
