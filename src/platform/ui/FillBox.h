#pragma once

#include <QGroupBox>

class ColorWell;
class QComboBox;
class QRadioButton;
class StepperSpinBox;

// The controls of a fill, inside a section: the radios of the fill types, a plain colour, a
// gradient's two colours and angle, a pattern and the colour behind it, and the opacity. The box
// is turned on and off as a whole (SetObjEnabled); the radio that is on enables its type's own
// controls. The outlets are named after their owner, "Shape" and "shape" giving "Shape_Fill_Box",
// "Shape_solid_fill_rd", "_gradient_fill_rd", "_Style_fill_rd", "_Image_fill_rd", and
// "shape_fill_clr", "_fill_Grd_1_clr", "_fill_Grd_2_clr", "_grad_Stepper" with "_grad_Text",
// "_hatch_style", "_hatch_bk_clr", "_alpha_Stepper" with "_alpha_Text".
class FillBox : public QGroupBox {
    Q_OBJECT
public:
    // A plain colour is always offered; these are the types a box may offer besides.
    enum Type { Gradient = 1, Pattern = 2, Picture = 4 };

    FillBox(const QString &radioOwner, const QString &controlOwner, int types, QWidget *parent = nullptr);

    // The code of the radio that is on: "G" gradient, "H" pattern, "I" picture, "S" solid.
    QString fillType() const;
    // Ticks the radio of a fill type (solid for any other code and for a type the box does not
    // offer) and enables only that type's controls.
    void showFillType(const QString &fillType);

    // Null where the box does not offer the type.
    QRadioButton *solidRadio, *gradientRadio, *patternRadio = nullptr, *pictureRadio = nullptr;
    ColorWell *color, *gradient1, *gradient2;
    StepperSpinBox *angle;
    QComboBox *patternStyle = nullptr;
    ColorWell *patternBehind = nullptr;
    StepperSpinBox *opacity;
    // The controls of a picture fill, which sit outside the box.
    QWidget *pictureControls = nullptr;
};
