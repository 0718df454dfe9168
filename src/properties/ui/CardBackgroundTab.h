#pragma once

#include "platform/ui/FillBox.h"
#include "properties/ui/PanelTab.h"

class ImageBrowserView;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class StepperSpinBox;

// The card-background tab: how the side is filled (colour, gradient, pattern or picture), the
// background picture and the frame pictures to choose from. Its controls only; CardPanel gives
// them their actions.
class CardBackgroundTab : public PanelTab {
    Q_OBJECT
public:
    explicit CardBackgroundTab(QWidget *parent = nullptr);

    // The thumbnail size of the frame browser.
    static constexpr double kFrameZoom = 0.2;

    QCheckBox *Card_fill_chk;
    FillBox *Card_Fill_Box;
    QRadioButton *Card_solid_fill_rd, *Card_gradient_fill_rd, *Card_Style_fill_rd, *Card_Image_fill_rd;
    ColorWell *Card_fill_clr, *Card_fill_Grd_1_clr, *Card_fill_Grd_2_clr, *Card_hatch_bk_clr;
    StepperSpinBox *Card_grad_Stepper, *Card_alpha_Stepper;
    QLineEdit *Card_grad_Text, *Card_alpha_Text;
    QComboBox *Card_hatch_style;
    QGroupBox *Card_image_box;
    QLineEdit *Card_Image_path;
    QPushButton *Card_Image_Browse_btn, *Card_Image_Library_btn;
    QComboBox *Card_image_layout;
    // The frame pictures of the resources; a pick becomes the front's background.
    ImageBrowserView *imageBrowser;
};
