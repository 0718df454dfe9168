#pragma once

#include "platform/ui/FillBox.h"
#include "properties/ui/PanelTab.h"

class PanelDesign;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class SKTGraphic;
class StepperSpinBox;
struct ShapePanelValues;

// The shape tab: outline, fill and the shape's own measures. Every change is written into all
// selected objects of the current side. Its actions take the sending control: a stepper's own step
// and a value typed into its field both write the stepper's value.
class ShapeTab : public PanelTab {
    Q_OBJECT
public:
    // `print_object_chk` is the panel's print box, shared by every object tab.
    ShapeTab(PanelDesign &design, QCheckBox *print_object_chk, QWidget *parent = nullptr);

    // The tab into the selected objects.
    void Update_Shape_Graphics();
    // The tab shows `graphic`; only while the panel's filling guard is set, so nothing is written.
    void fill(const SKTGraphic &graphic);
    // The measures of this shape code alone: corner radius, star points or polygon sides.
    void showShapeMeasures(const QString &shapeCode);
    // Titles the tab and its heading with a shape's name.
    void setShapeName(const QString &name);

    // Actions of the controls.
    void Set_Control_Clr(QObject *sender);
    void Shape_Border_ChkBox(QObject *sender);
    void Shape_Fill_Chk_Box(QObject *sender);
    void Shape_Border_Changed(QObject *sender);
    void Shape_Gradient_Changed(QObject *sender);
    void Shape_Alpha_Changed(QObject *sender);
    void Shape_Corner_Radius_Changed(QObject *sender);
    void Double_Star_Shape_Changed(QObject *sender);
    void Polygon_Shape_Changed(QObject *sender);
    void Shape_Solid_RD_Sel(QObject *sender);
    void Shape_Gradient_RD_Sel(QObject *sender);
    void Shape_Hatch_RD_Sel(QObject *sender);

    QLabel *Shape_prop_title;
    QCheckBox *Shape_border_chk;
    QGroupBox *Shape_Border_Box;
    StepperSpinBox *shape_bor_Stepper;
    QLineEdit *shape_bor_Text;
    ColorWell *shape_bordr_clr;
    QComboBox *shape_border_style;
    QCheckBox *Shape_fill_chk;
    FillBox *Shape_Fill_Box;
    QRadioButton *Shape_solid_fill_rd, *Shape_gradient_fill_rd, *Shape_Style_fill_rd;
    ColorWell *shape_fill_clr, *shape_fill_Grd_1_clr, *shape_fill_Grd_2_clr;
    StepperSpinBox *shape_grad_Stepper;
    QLineEdit *shape_grad_Text;
    ColorWell *shape_hatch_bk_clr;
    QComboBox *shape_hatch_style;
    StepperSpinBox *shape_alpha_Stepper;
    QLineEdit *shape_alpha_Text;
    QGroupBox *Shape_Measure_Box;
    QLabel *shape_cor_radius_Label;
    StepperSpinBox *shape_cor_radius_Stepper;
    QLineEdit *shape_cor_radius_Text;
    QLabel *double_star_Label;
    StepperSpinBox *double_star_Stepper;
    QLineEdit *double_star_Text;
    QLabel *polygon_Label;
    StepperSpinBox *polygon_Stepper;
    QLineEdit *polygon_Text;

private:
    void build();
    void connectActions();
    ShapePanelValues values() const;
    // Radios and the fill controls of one fill type, which win over the fill box's enabling.
    void showFillType(const QString &fillType);

    PanelDesign &m_design;
    QCheckBox *m_print;
    QFormLayout *m_measures = nullptr;
};
