#pragma once

#include "properties/ui/PanelTab.h"

class PanelDesign;
class QCheckBox;
class QLineEdit;
class SKTGraphic;
class StepperSpinBox;
struct LinePanelValues;

// The line tab: width, colour, style, caps, orientation and opacity of the line, written into all
// selected objects of the current side (see ShapeTab).
class LineTab : public PanelTab {
    Q_OBJECT
public:
    LineTab(PanelDesign &design, QCheckBox *print_object_chk, QWidget *parent = nullptr);

    void Update_Line_Graphics();
    // The tab shows `graphic`; only while the panel's filling guard is set.
    void fill(const SKTGraphic &graphic);

    void Set_LineControl_Clr(QObject *sender);
    void Line_Width_Changed(QObject *sender);
    void Line_Alpha_Changed(QObject *sender);

    StepperSpinBox *Line_Wdt_Stepper;
    QLineEdit *Line_Wdt_Text;
    ColorWell *Line_clr;
    QComboBox *Line_border_style;
    QComboBox *Line_cap_style;
    QComboBox *Line_ori_style;
    StepperSpinBox *Line_alpha_Stepper;
    QLineEdit *Line_alpha_Text;

private:
    LinePanelValues values() const;

    PanelDesign &m_design;
    QCheckBox *m_print;
};
