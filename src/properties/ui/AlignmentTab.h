#pragma once

#include "properties/PanelArrange.h"
#include "properties/ui/PanelTab.h"

class PanelDesign;
class QPushButton;
class QToolButton;

// The alignment tab: lines up, sizes and snaps the selected objects of the current side, and sets
// the grid the canvases share. Each command runs the current side's canvas operation and redraws;
// the sizing and grid commands say first what they need.
class AlignmentTab : public PanelTab {
    Q_OBJECT
public:
    AlignmentTab(PanelDesign &design, PanelArrange &arrange, QWidget *parent = nullptr);

    void Align_Center_Clicked(QObject *sender);
    void Align_Left_Clicked(QObject *sender);
    void Align_Right_Clicked(QObject *sender);
    void Align_Top_Clicked(QObject *sender);
    void Align_Bottom_Clicked(QObject *sender);
    void Align_Horz_Clicked(QObject *sender);
    void Align_Vert_Clicked(QObject *sender);
    // Two or more selected objects on the current side, else "Please select more than one control.".
    void Make_Same_Width_Clicked(QObject *sender);
    void Make_Same_Height_Clicked(QObject *sender);
    void Make_Natural_Clicked(QObject *sender);
    // Only while the grid is always shown, else "Please use grid option first.".
    void Align_To_Grid_Clicked(QObject *sender);
    void toggleGridConstraining(QObject *sender);
    void toggleGridShowing(QObject *sender);

    // The canvases enable the sizing buttons for two or more selected objects, and the grid the
    // align-to-grid button while it is always shown.
    void setMakeSameSizeButtonsEnabled(bool enabled);
    void setAlignWithGridButtonEnabled(bool enabled);

    QToolButton *Align_Left_btn, *Align_Right_btn, *Align_Top_btn, *Align_Bottom_btn, *Align_Horz_btn,
        *Align_Vert_btn, *Align_Center_btn;
    QPushButton *Make_same_width_btn, *Make_same_height_btn, *Make_natural_size_btn;
    QPushButton *Align_with_grid_btn, *Grid_Settings_btn;
    QCheckBox *Grid_Snap_chk;

protected:
    // The snap box shows the grid as it is whenever the tab comes into view.
    void showEvent(QShowEvent *event) override;

private:
    void arrange(PanelArrange::Operation operation);

    PanelDesign &m_design;
    PanelArrange &m_arrange;
};
