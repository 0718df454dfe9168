#pragma once

#include "core/Image_Effect_Settings.h"
#include "platform/ui/EffectSlider.h"
#include "window/TextEntryList.h"

#include <QDialog>
#include <QImage>
#include <QSizeF>
#include <QString>

class ImageBrowserView;
class QCheckBox;
class QDateEdit;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimeEdit;
class QWidget;
struct MyImageObject;

// What the start wizard asks of the design window.
class InvitationWizardHost {
public:
    virtual ~InvitationWizardHost() = default;
    // The open panel and the loading of a saved design; 1 when one was loaded.
    virtual int Open_Log_File() = 0;
    // The template browser and the loading of the chosen template without taking its path; 1 when
    // one was loaded.
    virtual int Open_Template_Design() = 0;
    // The card size: shown in millimetres, then given to the canvases in points.
    virtual void Set_Card_Size_In_Control(const QSizeF &millimetres) = 0;
    virtual void Set_Document_Size(const QSizeF &points) = 0;
    virtual void SetDocumentCanvasSize(const QSizeF &points) = 0;
    // The main photo as it is shown (effects applied) and as it was loaded (none applied), with the
    // bytes of the file it was loaded from when they were kept.
    virtual QImage Main_Photo_image() const = 0;
    virtual QImage Main_Photo_original(QByteArray *file) const = 0;
    virtual void setMainPhoto(const QImage &original, const QByteArray &originalFile, const QImage &processed) = 0;
    // The main photo comes from a data source: it cannot be browsed for.
    virtual bool mainPhotoFromDataSource() const = 0;
};

// The start wizard every run begins with: a start page (a new card with the wizard, a template or
// a saved design), a design page (frame picture, title, message, invitation details, card size)
// and a photo page (the main photo and its effects). When it finishes it leaves its results in the
// invitation variables of the design window; the design window then builds the card. The same
// window edits the main photo later on its photo page alone.
//
// Its logic lives in plain member functions: Prepare_Wizard and Prepare_Edit_Photo do what opening
// does before the modal run, so that a caller can fill the controls and press the buttons through
// their actions without one.
class Invitation_Wizard : public QDialog {
    Q_OBJECT
public:
    Invitation_Wizard(InvitationWizardHost *host, QWidget *parent = nullptr);
    ~Invitation_Wizard() override;

    // The wizard the design window made; null while there is none.
    static Invitation_Wizard *defaultInstance();

    // Field limits, in characters.
    static constexpr int kFromLimit = 40, kToLimit = 40, kVenueLimit = 100, kTitleLimit = 100, kMessageLimit = 250;

    // --- Running ---------------------------------------------------------------------------------
    // The start wizard, modal: 1 when it finished (a card made, a template or a design loaded).
    int Open_Wnd();
    // The photo page alone for the current main photo: 1 when finished with Finish, 0 when closed.
    int Open_Wnd_For_Edit_Photo();
    void Prepare_Wizard();
    void Prepare_Edit_Photo();

    // The backdrop of the whole window and the banner of its heading.
    void setBackgroundPattern(const QImage &pattern);
    void setBanner(const QImage &banner);

    // --- Actions ---------------------------------------------------------------------------------
    // Next and Finish: one step per press.
    void OK_Click();
    void Back_Click();
    // Back to the start page, everything chosen cleared.
    void CancelClick();
    void Close_Form_Click();
    void ExitClick();
    void HelpClick();
    void Using_Wizard_Click();
    void Using_Template_Click();
    void Open_Log_Click();
    // 0 "T" template, 1 "W" wizard, 2 "L" saved design; then OK.
    void Select_card_option(int option, QObject *sender);
    void Title_Back_Click();
    void Title_Next_Click();
    void Msg_Back_Click();
    void Msg_Next_Click();
    // Asks first; Clear_Details clears at once.
    void Clear_Details_Click();
    void Clear_Details();
    void datePickerAction();
    void timePickerAction();
    void Browse_Image_Click();
    // Loads the photo at `path` (the browse panel's answer); false when it is no picture, which
    // changes nothing and says so.
    bool Load_Photo(const QString &path);
    void Image_reset_Button();
    void Reset_Image_Editing_Controls();
    // Any effect control changed: its value shows beside it and the preview follows.
    void Image_Setting_Changed();
    // Stores the effect controls in the main photo's settings and shows the unprocessed photo with
    // them in the preview.
    void Update_Image_With_Settings();
    // Cuts the text of a limited field back to its limit.
    void controlTextDidChange(QWidget *field);

    // --- Lists -----------------------------------------------------------------------------------
    void Load_and_fill_backgrounds();
    void addImageWithPath(const QString &path, const QString &imageName, const QString &image_UID);
    void Load_Msg_And_Title();
    QString Get_Title() const { return Title_Array.current(); }
    QString Get_Message() const { return Message_Array.current(); }
    void Reset_All();
    // YES: the start page; NO: the design page.
    void Show_Hide_Card_Start_Screen(bool start);

    // --- Frame browser ---------------------------------------------------------------------------
    int numberOfItemsInImageBrowser() const;
    const MyImageObject &imageBrowser_itemAtIndex(int index) const;
    bool imageBrowser_moveItemsAtIndexes_toIndex(const QList<int> &indexes, int destination);
    void imageBrowserSelectionDidChange();

    // The effect settings the controls show.
    Image_Effect_Settings effectSettings() const;

    // --- State -----------------------------------------------------------------------------------
    QString selected_image; // frame picture, "" for none
    QString selected_title, selected_msg, selected_date, selected_time;
    TextEntryCycler Title_Array;
    TextEntryCycler Message_Array;
    int next_counter = 0; // 0 start page, 2 design page, 3 photo page
    bool auto_background_selection = false;
    bool wizard_or_edit_photo = false;
    QImage User_Picture; // the main photo as loaded, without effects
    QByteArray User_Picture_file; // the bytes of the file it was loaded from, when kept

    // --- Outlets ---------------------------------------------------------------------------------
    QWidget *Start_card_box, *second_box, *photo_box, *button_box;
    QLabel *page_heading, *APP_path_label;
    ImageBrowserView *imageBrowser;
    QLineEdit *msg_title;
    QPlainTextEdit *msg_value;
    QLineEdit *from_value, *to_value, *venue_value;
    QDateEdit *Date_picker;
    QTimeEdit *Time_picker;
    QLineEdit *Date_ctrl_value, *Time_ctrl_value;
    QPushButton *clear_details_btn;
    QDoubleSpinBox *width_Stepper, *height_Stepper;
    QLineEdit *image_path;
    QLabel *Selected_picture;
    QPushButton *browse_photo_btn;
    QGroupBox *Image_Setting_Box;
    QLabel *effects_note; // names the effects that could not be applied
    QCheckBox *gray_scale_chk, *sepia_chk, *invert_chk, *flip_vertical_chk, *flip_horizontal_chk;
    EffectSlider *sharp_Slider, *EV_Slider, *Blr_Slider, *Sat_Slider, *Brt_Slider, *Con_Slider, *Hue_Slider,
        *Transperncy_Slider, *Rotate_Slider;
    QPushButton *Back_btn, *Next_btn, *Cancel_btn, *Finish_Btn, *Close_Btn, *Exit_btn, *Help_btn;

public slots:
    // Escape and the close button: on the start page and in photo editing they close the window,
    // elsewhere they go back to the start page.
    void reject() override;

private:
    QWidget *buildStartPage();
    QWidget *buildDesignPage();
    QWidget *buildPhotoPage();
    void showPhotoPage();
    // The unprocessed photo at preview size, and the scale it was taken down by.
    void setPreviewSource(const QImage &photo);
    void showPreview(const QImage &picture);
    void finish();
    void setEffectControls(const Image_Effect_Settings &settings, bool flipV, bool flipH);
    void showSliderValue(EffectSlider *slider);
    void setPageHeading();
    void restoreKeptSettings();
    void showEffectFailures(const QString &failed);

    InvitationWizardHost *m_host;
    QList<EffectSlider *> m_sliders;
    QList<QLabel *> m_sliderValues;
    QImage m_previewSource; // the unprocessed photo at preview size
    double m_previewScale = 1.0;
    Image_Effect_Settings m_kept; // the main photo's settings when the photo editor opened
    float m_keptRotation = 0.0f;
    QImage m_pattern;
    QWidget *m_banner = nullptr;
    QLabel *m_title = nullptr;
};
