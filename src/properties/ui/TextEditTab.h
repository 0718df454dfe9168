#pragma once

#include "properties/ui/PanelTab.h"

class QPlainTextEdit;
class QPushButton;

// The text-editing tab: the text itself, a ready-made title or message, and the date and time to
// insert. Its controls only; TextPanel gives them their actions.
class TextEditTab : public PanelTab {
    Q_OBJECT
public:
    explicit TextEditTab(QWidget *parent = nullptr);

    QPlainTextEdit *Text_value_Edit;
    // Titled "Use Template Title" or "Use Template Message" by the text shown; hidden for others.
    QPushButton *insert_template_btn;
    // The design window fills both lists with date and time patterns.
    QComboBox *Text_Date_style, *Text_Time_style;
    QPushButton *Text_Insert_Date_btn, *Text_Insert_Time_btn;
};
