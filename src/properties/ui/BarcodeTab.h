#pragma once

#include "properties/ui/PanelTab.h"

class PanelDesign;
class QCheckBox;
class QImage;
class QPushButton;
class SKTGraphic;

// The barcode tab: a barcode is set up in the barcode settings window, which its one button opens
// on the current object (as a double click on the object does). When that window closes with OK the
// design window hands its result here to be written into the selection.
class BarcodeTab : public PanelTab {
    Q_OBJECT
public:
    // `print_object_chk` is the panel's print box, shared by every object tab.
    BarcodeTab(PanelDesign &design, QCheckBox *print_object_chk, QWidget *parent = nullptr);

    // Opens the barcode settings window through the design window.
    void View_barcode_prop_Button();
    // The settings of `source` into every selected object; `current` shows the window's picture.
    void Update_Barcode_Graphics(const SKTGraphic &source, const SKTGraphic *current,
                                 const QImage &Barcode_output_image);

    QPushButton *barcode_prop_btn;

private:
    PanelDesign &m_design;
    QCheckBox *m_print;
};
