#pragma once

#include "properties/ui/PanelTab.h"

#include <QFont>

#include <optional>

class QButtonGroup;
class QCheckBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class StepperSpinBox;

// The card-settings tab: the card's name, sides, outline shape and size, its border and the
// card-wide text font and colour. Its controls only; CardPanel gives them their actions.
class CardSettingsTab : public PanelTab {
    Q_OBJECT
public:
    explicit CardSettingsTab(QWidget *parent = nullptr);

    QLineEdit *card_name;
    QComboBox *Sides_ComboBox;
    QWidget *matrix_card_shape;
    QButtonGroup *matrix_card_shape_rows; // the rows of the shape matrix, by Card_Shape
    QComboBox *Category_ComboBox;
    QComboBox *Preset_ComboBox;
    QTableView *ColList; // the design window gives it its rows
    StepperSpinBox *width_Stepper, *height_Stepper;
    QLineEdit *width_Text, *height_Text;
    QPushButton *Apply_Size_btn;
    QCheckBox *Card_border_chk;
    QGroupBox *Card_Border_Box;
    StepperSpinBox *Card_bor_Stepper;
    QLineEdit *Card_bor_Text;
    ColorWell *Card_bordr_clr;
    QComboBox *Card_border_style;
    QLabel *All_Text_font_value;
    QPushButton *Content_Font_btn;
    ColorWell *All_Text_clr;
    // The card-wide font and colour as last shown from the side's settings: the card-wide
    // commands change the texts only where the panel's values differ from these. Never shown.
    QLabel *All_Text_font_value_COPY;
    ColorWell *All_Text_clr_COPY;
    std::optional<QFont> All_Text_font_COPY;
};
