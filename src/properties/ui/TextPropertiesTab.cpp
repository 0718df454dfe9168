#include "properties/ui/TextPropertiesTab.h"

#include "platform/ui/ColorWell.h"
#include "platform/ui/FillBox.h"
#include "platform/ui/StepperSpinBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

TextPropertiesTab::TextPropertiesTab(QWidget *parent) : PanelTab("text_prop_tab", tr("Text Properties"), parent)
{
    QFormLayout *text = addSection(tr("Text"));
    Text_font_value = wrappingLabel("Text_font_value");
    addRow(text, tr("Font:"), Text_font_value);
    Text_Font_btn = named(new QPushButton(tr("Choose Font…")), "Text_Font_btn");
    Text_Font_btn->setToolTip(tr("Open the font panel for the selected texts"));
    addRow(text, QString(), Text_Font_btn);
    Text_clr = colorWell("Text_clr", tr("Text colour"));
    addRow(text, tr("Colour:"), Text_clr);
    Text_align_combo = comboBox("Text_align_combo",
                                {tr("Left"), tr("Right"), tr("Center"), tr("Justified"), tr("Natural")});
    addRow(text, tr("Alignment:"), Text_align_combo);
    Text_vert_align_combo = comboBox("Text_vert_align_combo", {tr("Top"), tr("Bottom"), tr("Middle")});
    addRow(text, tr("Vertical:"), Text_vert_align_combo);
    Text_case_combo = comboBox("Text_case_combo", {tr("As Typed"), tr("Upper Case"), tr("Lower Case"),
                                                   tr("Capitalized")});
    addRow(text, tr("Case:"), Text_case_combo);
    Text_Kern_Stepper = stepper("Text_Kern_Stepper", "Text_Kern_Text", -20, 50, tr(" pt"), 1);
    Text_Kern_Stepper->setSingleStep(0.5);
    Text_Kern_Text = Text_Kern_Stepper->textField();
    addRow(text, tr("Spacing:"), Text_Kern_Stepper);
    txt_rotation_slidr = named(new QSlider(Qt::Horizontal), "txt_rotation_slidr");
    txt_rotation_slidr->setRange(-180, 180);
    txt_rotation_slidr->setPageStep(15);
    txt_rotation_slidr->setMinimumWidth(130);
    txt_rotation_slidr->setToolTip(tr("Turns the text about its centre, in degrees"));
    txt_rotation_slidr_val = named(new QLabel(QStringLiteral("0°")), "txt_rotation_slidr_val");
    txt_rotation_slidr_val->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txt_rotation_slidr_val->setMinimumWidth(txt_rotation_slidr_val->fontMetrics().horizontalAdvance(QStringLiteral("-180°")) + 4);
    addRow(text, tr("Rotation:"), sideBySide({txt_rotation_slidr, txt_rotation_slidr_val}));

    QFormLayout *outlineSection = addSection(tr("Outline"));
    Text_border_chk = checkBox("Text_border_chk", tr("Draw an outline"));
    addRow(outlineSection, QString(), Text_border_chk);
    QFormLayout *border = nullptr;
    Text_Border_Box = innerBox("Text_Border_Box", &border);
    Text_bor_Stepper = stepper("Text_bor_Stepper", "Text_bor_Text", 0, 50, tr(" pt"));
    Text_bor_Text = Text_bor_Stepper->textField();
    Text_bordr_clr = colorWell("Text_bordr_clr", tr("Outline colour"));
    Text_border_style = comboBox("Text_border_style", outlineStyles());
    addRow(border, tr("Width:"), Text_bor_Stepper);
    addRow(border, tr("Colour:"), Text_bordr_clr);
    addRow(border, tr("Style:"), Text_border_style);
    outlineSection->addRow(Text_Border_Box);

    QFormLayout *fillSection = addSection(tr("Background"));
    Text_fill_chk = checkBox("Text_fill_chk", tr("Fill behind the text"));
    addRow(fillSection, QString(), Text_fill_chk);
    Text_Fill_Box = new FillBox(QStringLiteral("Text"), QStringLiteral("Text"), FillBox::Gradient);
    const FillBox &f = *Text_Fill_Box;
    Text_solid_fill_rd = f.solidRadio;
    Text_gradient_fill_rd = f.gradientRadio;
    Text_fill_clr = f.color;
    Text_fill_Grd_1_clr = f.gradient1;
    Text_fill_Grd_2_clr = f.gradient2;
    Text_grad_Stepper = f.angle;
    Text_grad_Text = f.angle->textField();
    Text_alpha_Stepper = f.opacity;
    Text_alpha_Text = f.opacity->textField();
    fillSection->addRow(Text_Fill_Box);

    QFormLayout *shadowSection = addSection(tr("Shadow"));
    draw_shadow_chkbox = checkBox("draw_shadow_chkbox", tr("Cast a shadow"));
    addRow(shadowSection, QString(), draw_shadow_chkbox);
    QFormLayout *shadow = nullptr;
    shadow_box = innerBox("shadow_box", &shadow);
    Shadow_clr = colorWell("Shadow_clr", tr("Shadow colour"));
    addRow(shadow, tr("Colour:"), Shadow_clr);
    shadow_x_Stepper = stepper("shadow_x_Stepper", "shadow_x_Text", -50, 50, tr(" pt"), 1);
    shadow_x_Text = shadow_x_Stepper->textField();
    addRow(shadow, tr("Across:"), shadow_x_Stepper);
    shadow_y_Stepper = stepper("shadow_y_Stepper", "shadow_y_Text", -50, 50, tr(" pt"), 1);
    shadow_y_Text = shadow_y_Stepper->textField();
    addRow(shadow, tr("Down:"), shadow_y_Stepper);
    shadow_blur_Stepper = stepper("shadow_blur_Stepper", "shadow_blur_Text", 0, 50, tr(" pt"), 1);
    shadow_blur_Text = shadow_blur_Stepper->textField();
    addRow(shadow, tr("Blur:"), shadow_blur_Stepper);
    shadow_transp_Stepper = stepper("shadow_transp_Stepper", "shadow_transp_Text", 0, 100, tr(" %"));
    shadow_transp_Text = shadow_transp_Stepper->textField();
    addRow(shadow, tr("Opacity:"), shadow_transp_Stepper);
    shadowSection->addRow(shadow_box);
    finish();
}
