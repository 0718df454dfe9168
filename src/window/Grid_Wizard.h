#pragma once

#include <QColor>
#include <QDialog>

#include <functional>

class ColorWell;
class QCheckBox;
class QGroupBox;
class QLabel;
class QSlider;

// The grid dialog. Its controls act at once, through the design window's grid actions plugged in
// below; OK and Cancel only close it, so Cancel undoes nothing.
class Grid_Wizard : public QDialog {
    Q_OBJECT
public:
    explicit Grid_Wizard(QWidget *parent = nullptr);

    static Grid_Wizard *defaultInstance();

    // Whole points the spacing slider offers; its lowest value keeps the grid usable.
    static constexpr int kMinSpacing = 2;
    static constexpr int kMaxSpacing = 72;

    // The design window's grid actions, called as the user changes a control.
    std::function<void(const QColor &color)> Grid_Clr_Changed;
    std::function<void(double spacing)> Grid_Slider_Changed;
    std::function<void(bool shown)> Grid_Show_Hide_Changed;

    // Shows the grid's state in the controls without calling any action; the options are enabled
    // exactly while the grid is shown.
    void Fill_Controls(const QColor &color, double spacing, bool shown);

    // Runs modally and closes; the result is not used.
    void Open_Wnd();
    void OK_Btn_Clicked();
    void Cancel_Btn_Clicked();

    ColorWell *Grid_clr;
    QSlider *Grid_Space_slidr;
    QCheckBox *Show_hide_grid_chk;
    QGroupBox *Grid_Opt_box;

private:
    void showSpacing(int spacing);

    QLabel *m_spacingValue;
};
