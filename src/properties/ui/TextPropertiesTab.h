#pragma once

#include "platform/ui/FillBox.h"
#include "properties/ui/PanelTab.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class StepperSpinBox;

// The text-properties tab: the text's font, colour, alignment, case, spacing and rotation, its
// outline and background, and its drop shadow. Its controls only; TextPanel gives them their
// actions.
class TextPropertiesTab : public PanelTab {
    Q_OBJECT
public:
    explicit TextPropertiesTab(QWidget *parent = nullptr);

    QLabel *Text_font_value;
    QPushButton *Text_Font_btn;
    ColorWell *Text_clr;
    // Positions are the stored values: alignment 0 left, 1 right, 2 centre, 3 justified,
    // 4 natural; vertical 0 top, 1 bottom, 2 middle; case 0 as typed, 1 upper, 2 lower, 3 words.
    QComboBox *Text_align_combo, *Text_vert_align_combo, *Text_case_combo;
    StepperSpinBox *Text_Kern_Stepper;
    QLineEdit *Text_Kern_Text;
    QSlider *txt_rotation_slidr;
    QLabel *txt_rotation_slidr_val;

    QCheckBox *Text_border_chk;
    QGroupBox *Text_Border_Box;
    StepperSpinBox *Text_bor_Stepper;
    QLineEdit *Text_bor_Text;
    ColorWell *Text_bordr_clr;
    QComboBox *Text_border_style;

    QCheckBox *Text_fill_chk;
    FillBox *Text_Fill_Box;
    QRadioButton *Text_solid_fill_rd, *Text_gradient_fill_rd;
    ColorWell *Text_fill_clr, *Text_fill_Grd_1_clr, *Text_fill_Grd_2_clr;
    StepperSpinBox *Text_grad_Stepper, *Text_alpha_Stepper;
    QLineEdit *Text_grad_Text, *Text_alpha_Text;

    QCheckBox *draw_shadow_chkbox;
    QGroupBox *shadow_box;
    ColorWell *Shadow_clr;
    StepperSpinBox *shadow_x_Stepper, *shadow_y_Stepper, *shadow_blur_Stepper, *shadow_transp_Stepper;
    QLineEdit *shadow_x_Text, *shadow_y_Text, *shadow_blur_Text, *shadow_transp_Text;
};
