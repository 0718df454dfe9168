#pragma once

#include "properties/ui/PanelTab.h"

class DataSourceTab;
class EffectSlider;
class PanelDesign;
class QCheckBox;
class QGroupBox;
class QImage;
class QLabel;
class QLineEdit;
class QPushButton;
class SKTGraphic;
class StepperSpinBox;
struct ImagePanelValues;

// The image tab: the picture's outline, mirroring, colour effects and effect sliders, written into
// all selected objects of the current side (see ShapeTab). The picture file is chosen on the
// data-source tab, whose path field and browse buttons this tab drives.
class ImageTab : public PanelTab {
    Q_OBJECT
public:
    ImageTab(PanelDesign &design, QCheckBox *print_object_chk, DataSourceTab &source, QWidget *parent = nullptr);

    void Update_Image_Graphics();
    // The tab shows `graphic`; only while the panel's filling guard is set. The main photo and the
    // frame picture show no effects and no library button.
    void fill(SKTGraphic &graphic, bool framePictureSelected);
    // The sliders and effect boxes back at their neutral values; no object is written.
    void Reset_Image_Editing_Controls();

    // Actions of the controls.
    void Set_ImageControl_Clr(QObject *sender);
    void Image_Border_ChkBox(QObject *sender);
    void Image_Border_Changed(QObject *sender);
    void Image_Gray_Scale_Chked(QObject *sender);
    void Image_Sepia_Chked(QObject *sender);
    void Image_Invert_Chked(QObject *sender);
    void Image_FIV_Chked(QObject *sender);
    void Image_FIH_Chked(QObject *sender);
    // Every slider's action: the slider's value into its field, then the write-back.
    void Transperncy_Slider_Changed(QObject *sender);
    void Rotate_Slider_Changed(QObject *sender);
    void Hue_Slider_Changed(QObject *sender);
    void Sat_Slider_Changed(QObject *sender);
    void Brt_Slider_Changed(QObject *sender);
    void Con_Slider_Changed(QObject *sender);
    void sharp_Slider_Changed(QObject *sender);
    void EV_Slider_Changed(QObject *sender);
    void Blr_Slider_Changed(QObject *sender);
    // Asks first; a yes resets the controls and writes them.
    void Image_reset_Button(QObject *sender);
    // A picture file for the current object; only the main photo object makes it the design's
    // main photo.
    void Manual_Image_Browse_Btn(QObject *sender);
    // A library picture for the current object.
    void Manual_Library_Browse_Btn(QObject *sender);

    QCheckBox *Image_border_chk;
    QGroupBox *Image_Border_Box;
    StepperSpinBox *Image_bor_Stepper;
    QLineEdit *Image_bor_Text;
    ColorWell *Image_bordr_clr;
    QComboBox *Image_border_style;
    QGroupBox *Image_Edit_Prop_Box;
    QCheckBox *Image_FIH_chk, *Image_FIV_chk, *Image_Invert_chk, *Image_Gray_Scale_chk, *Image_Sepia_chk;
    EffectSlider *Trsp_slidr, *Rotate_slidr, *Hue_slidr, *Sat_slidr, *Brt_slidr, *Con_slidr, *shrp_slidr, *ev_slidr,
        *blr_slidr;
    QLabel *Trsp_slidr_val, *Rotate_slidr_val, *Hue_slidr_val, *Sat_slidr_val, *Brt_slidr_val, *Con_slidr_val,
        *shrp_slidr_val, *ev_slidr_val, *blr_slidr_val;
    QPushButton *Image_reset_btn;

private:
    struct Slider;
    static const Slider kSliders[];
    ImagePanelValues values() const;
    void slid(EffectSlider *slider);
    // Sets a slider without its action and shows the value in its field.
    void showSlider(EffectSlider *slider, double value);
    QLabel *valueField(const EffectSlider *slider) const;
    // The current object takes `picture`, read from `path`; the main photo object takes the main photo.
    void givePicture(const QString &path, const QImage &picture);

    PanelDesign &m_design;
    QCheckBox *m_print;
    DataSourceTab &m_source;
};
