#include "properties/ui/LineTab.h"

#include "document/SKTGraphic.h"
#include "platform/ui/ColorWell.h"
#include "platform/ui/StepperSpinBox.h"
#include "properties/LinePanelValues.h"
#include "properties/PanelDesign.h"
#include "properties/PanelWriteBack.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>

LineTab::LineTab(PanelDesign &design, QCheckBox *print_object_chk, QWidget *parent)
    : PanelTab("line_tab", tr("Line Properties"), parent), m_design(design), m_print(print_object_chk)
{
    QFormLayout *line = addSection(tr("Line"));
    Line_Wdt_Stepper = stepper("Line_Wdt_Stepper", "Line_Wdt_Text", 1, 50, tr(" pt"));
    Line_Wdt_Text = Line_Wdt_Stepper->textField();
    Line_clr = colorWell("Line_clr", tr("Line colour"));
    Line_border_style = comboBox("Line_border_style", outlineStyles());
    // Positions are the stored values: cap 0 butt, 1 round, 2 square.
    Line_cap_style = comboBox("Line_cap_style", {tr("Flat"), tr("Round"), tr("Square")});
    Line_ori_style = comboBox("Line_ori_style", {tr("Free"), tr("Horizontal"), tr("Vertical")});
    Line_alpha_Stepper = stepper("Line_alpha_Stepper", "Line_alpha_Text", 0, 100, tr(" %"));
    Line_alpha_Text = Line_alpha_Stepper->textField();
    addRow(line, tr("Width:"), Line_Wdt_Stepper);
    addRow(line, tr("Colour:"), Line_clr);
    addRow(line, tr("Style:"), Line_border_style);
    addRow(line, tr("Ends:"), Line_cap_style);
    addRow(line, tr("Direction:"), Line_ori_style);
    addRow(line, tr("Opacity:"), Line_alpha_Stepper);
    finish();

    connect(Line_clr, &ColorWell::colorChanged, this, [this] { Set_LineControl_Clr(Line_clr); });
    connect(Line_Wdt_Stepper, &StepperSpinBox::stepped, this, [this] { Line_Width_Changed(Line_Wdt_Stepper); });
    connect(Line_Wdt_Stepper, &StepperSpinBox::typed, this, [this] { Line_Width_Changed(Line_Wdt_Text); });
    connect(Line_alpha_Stepper, &StepperSpinBox::stepped, this, [this] { Line_Alpha_Changed(Line_alpha_Stepper); });
    connect(Line_alpha_Stepper, &StepperSpinBox::typed, this, [this] { Line_Alpha_Changed(Line_alpha_Text); });
    for (QComboBox *combo : {Line_border_style, Line_cap_style, Line_ori_style})
        connect(combo, &QComboBox::currentIndexChanged, this, [this] { Update_Line_Graphics(); });
}

LinePanelValues LineTab::values() const
{
    LinePanelValues v;
    v.color = Line_clr->color();
    v.width = Line_Wdt_Stepper->intValue();
    v.borderStyle = Line_border_style->currentIndex();
    v.capStyle = Line_cap_style->currentIndex();
    v.orientation = Line_ori_style->currentIndex();
    v.opacityPercent = Line_alpha_Stepper->value();
    v.printObject = m_print && m_print->isChecked() ? 1 : 0;
    return v;
}

void LineTab::Update_Line_Graphics()
{
    const LinePanelValues v = values();
    writeToSelection(m_design, [&v](SKTGraphic &graphic) { v.writeInto(graphic); });
}

void LineTab::fill(const SKTGraphic &graphic)
{
    const LinePanelValues v = LinePanelValues::of(graphic);
    Line_Wdt_Stepper->setValue(v.width);
    Line_clr->setColor(v.color);
    if (v.borderStyle >= 0)
        Line_border_style->setCurrentIndex(v.borderStyle);
    // An index the list does not hold selects nothing.
    Line_ori_style->setCurrentIndex(v.orientation < Line_ori_style->count() ? v.orientation : -1);
    Line_cap_style->setCurrentIndex(v.capStyle < Line_cap_style->count() ? v.capStyle : -1);
    Line_alpha_Stepper->setValue(v.opacityPercent);
}

// The fields are the steppers' own (see ShapeTab).
void LineTab::Set_LineControl_Clr(QObject *) { Update_Line_Graphics(); }
void LineTab::Line_Width_Changed(QObject *) { Update_Line_Graphics(); }
void LineTab::Line_Alpha_Changed(QObject *) { Update_Line_Graphics(); }
