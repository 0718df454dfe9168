#pragma once

#include "properties/ui/PanelTab.h"

class DataSourceTab;
class PanelDesign;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class SKTGraphic;
class StepperSpinBox;
struct SignaturePanelValues;

// The signature tab: outline and picture file of signatures and fingerprints, written into all
// selected objects of the current side (see ShapeTab).
class SignatureTab : public PanelTab {
    Q_OBJECT
public:
    SignatureTab(PanelDesign &design, QCheckBox *print_object_chk, DataSourceTab &source, QWidget *parent = nullptr);

    void Update_Sign_Graphics();
    // The tab shows `graphic`; only while the panel's filling guard is set.
    void fill(SKTGraphic &graphic);

    void Set_SignControl_Clr(QObject *sender);
    void Sign_Border_ChkBox(QObject *sender);
    void Sign_Border_Changed(QObject *sender);
    // A PNG picture for every selected signature.
    void Sign_Browse_Btn(QObject *sender);

    QCheckBox *Sign_border_chk;
    QGroupBox *Sign_Border_Box;
    StepperSpinBox *Sign_bor_Stepper;
    QLineEdit *Sign_bor_Text;
    ColorWell *Sign_bordr_clr;
    QComboBox *Sign_border_style;
    QLineEdit *Sign_image_path;
    QPushButton *Sign_Browse_btn;

private:
    SignaturePanelValues values() const;

    PanelDesign &m_design;
    QCheckBox *m_print;
    DataSourceTab &m_source;
};
