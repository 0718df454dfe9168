#include "properties/ui/TextPanel.h"

#include "core/AppState.h"
#include "core/FontNames.h"
#include "core/MessageBoxes.h"
#include "core/StringHelpers.h"
#include "core/DatePatterns.h"
#include "document/ControlTags.h"
#include "document/SKTGraphic.h"
#include "platform/ui/ColorWell.h"
#include "platform/ui/FillBox.h"
#include "platform/ui/SetObjEnabled.h"
#include "platform/ui/StepperSpinBox.h"
#include "properties/PanelConversions.h"
#include "properties/PanelDesign.h"
#include "properties/PanelWriteBack.h"
#include "properties/TextPanelValues.h"
#include "properties/ui/DataSourceTab.h"
#include "properties/ui/FontPanel.h"
#include "properties/ui/TextEditTab.h"
#include "properties/ui/TextPropertiesTab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTextCursor>

#include <algorithm>
#include <exception>

namespace {

const QString kUseTemplateTitle = QStringLiteral("Use Template Title");
const QString kUseTemplateMessage = QStringLiteral("Use Template Message");

// A list position as the fills show it: one the list does not hold selects nothing.
void selectIndex(QComboBox *combo, int index)
{
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

} // namespace

TextPanel::TextPanel(PanelDesign &design, QCheckBox *print_object_chk, DataSourceTab &source, FontPanel &fonts,
                     QObject *parent)
    : QObject(parent), text_edtng_tab(new TextEditTab), text_prop_tab(new TextPropertiesTab),
      Text_font(Font_With_Name(App().Text_Ctrl_Font, 14.0)), m_design(design), m_print(print_object_chk),
      m_source(source), m_fonts(fonts)
{
    showFont();
    connectActions();
}

// The tabs belong to the tab view they are shown in.
TextPanel::~TextPanel() = default;

void TextPanel::connectActions()
{
    TextEditTab *e = text_edtng_tab;
    TextPropertiesTab *p = text_prop_tab;
    for (ColorWell *well : {p->Text_bordr_clr, p->Text_fill_clr, p->Text_fill_Grd_1_clr, p->Text_fill_Grd_2_clr,
                            p->Text_clr})
        connect(well, &ColorWell::colorChanged, this, [this, well] { Set_TextControl_Clr(well); });
    connect(p->Shadow_clr, &ColorWell::colorChanged, this, [this, p] { Set_Shadow_Clr(p->Shadow_clr); });
    connect(p->Text_border_chk, &QCheckBox::clicked, this, [this, p] { Text_Border_ChkBox(p->Text_border_chk); });
    connect(p->Text_fill_chk, &QCheckBox::clicked, this, [this, p] { Text_Fill_Chk_Box(p->Text_fill_chk); });
    connect(p->draw_shadow_chkbox, &QCheckBox::clicked, this,
            [this, p] { Draw_Shadow_ChkBox(p->draw_shadow_chkbox); });
    const struct {
        StepperSpinBox *stepper;
        void (TextPanel::*action)(QObject *);
    } steppers[] = {{p->Text_bor_Stepper, &TextPanel::Text_Border_Changed},
                    {p->Text_grad_Stepper, &TextPanel::Text_Gradient_Changed},
                    {p->Text_alpha_Stepper, &TextPanel::Text_Alpha_Changed},
                    {p->Text_Kern_Stepper, &TextPanel::Text_Kerning_Changed},
                    {p->shadow_x_Stepper, &TextPanel::Shadow_X_Changed},
                    {p->shadow_y_Stepper, &TextPanel::Shadow_Y_Changed},
                    {p->shadow_blur_Stepper, &TextPanel::Shadow_Blur_Changed},
                    {p->shadow_transp_Stepper, &TextPanel::Shadow_Transp_Changed}};
    for (const auto &entry : steppers) {
        StepperSpinBox *spin = entry.stepper;
        const auto action = entry.action;
        connect(spin, &StepperSpinBox::stepped, this, [this, spin, action] { (this->*action)(spin); });
        connect(spin, &StepperSpinBox::typed, this, [this, spin, action] { (this->*action)(spin->textField()); });
    }
    connect(p->txt_rotation_slidr, &QSlider::valueChanged, this,
            [this, p] { Txt_Rotate_Slider_Changed(p->txt_rotation_slidr); });
    connect(p->Text_solid_fill_rd, &QRadioButton::clicked, this, [this, p] { Text_Solid_RD_Sel(p->Text_solid_fill_rd); });
    connect(p->Text_gradient_fill_rd, &QRadioButton::clicked, this,
            [this, p] { Text_Gradient_RD_Sel(p->Text_gradient_fill_rd); });
    connect(p->Text_Font_btn, &QPushButton::clicked, this, [this, p] { Text_Font_Changed(p->Text_Font_btn); });
    // A selection made while the panel is filled reaches the write-back too, which then does nothing.
    for (QComboBox *combo : {p->Text_border_style, p->Text_align_combo, p->Text_vert_align_combo, p->Text_case_combo})
        connect(combo, &QComboBox::currentIndexChanged, this, [this] { Update_Text_Graphics(); });

    connect(e->Text_value_Edit, &QPlainTextEdit::textChanged, this, [this] { textDidChange(); });
    connect(e->Text_Insert_Date_btn, &QPushButton::clicked, this, [this, e] { Text_Insert_Date(e->Text_Insert_Date_btn); });
    connect(e->Text_Insert_Time_btn, &QPushButton::clicked, this, [this, e] { Text_Insert_Time(e->Text_Insert_Time_btn); });
    connect(e->insert_template_btn, &QPushButton::clicked, this,
            [this, e] { Insert_Template_Button(e->insert_template_btn); });
}

TextPanelValues TextPanel::values() const
{
    const TextEditTab *e = text_edtng_tab;
    const TextPropertiesTab *p = text_prop_tab;
    TextPanelValues v;
    v.border = p->Text_border_chk->isChecked();
    v.borderColor = p->Text_bordr_clr->color();
    v.borderWidth = p->Text_bor_Stepper->intValue();
    v.borderStyle = p->Text_border_style->currentIndex();
    v.fill = p->Text_fill_chk->isChecked();
    v.fillColor = p->Text_fill_clr->color();
    v.gradient = p->Text_gradient_fill_rd->isChecked();
    v.gradient1 = p->Text_fill_Grd_1_clr->color();
    v.gradient2 = p->Text_fill_Grd_2_clr->color();
    v.gradientAngle = p->Text_grad_Stepper->value();
    v.opacityPercent = p->Text_alpha_Stepper->value();
    v.textColor = p->Text_clr->color();
    v.font = Text_font;
    v.text = e->Text_value_Edit->toPlainText();
    v.alignment = p->Text_align_combo->currentIndex();
    v.verticalAlignment = p->Text_vert_align_combo->currentIndex();
    v.textCase = p->Text_case_combo->currentIndex();
    v.kerning = p->Text_Kern_Stepper->value();
    v.shadow = p->draw_shadow_chkbox->isChecked();
    v.rotation = p->txt_rotation_slidr->value();
    v.shadowColor = p->Shadow_clr->color();
    v.shadowX = p->shadow_x_Stepper->value();
    v.shadowY = p->shadow_y_Stepper->value();
    v.shadowBlur = p->shadow_blur_Stepper->value();
    v.shadowOpacityPercent = p->shadow_transp_Stepper->value();
    v.printObject = m_print && m_print->isChecked() ? 1 : 0;
    return v;
}

void TextPanel::Update_Text_Graphics()
{
    const TextPanelValues v = values();
    // The text is one object's own: with several selected, none takes it.
    const bool alone = m_design.selectedGraphics().size() == 1;
    writeToSelection(m_design, [&v, alone](SKTGraphic &graphic) { v.writeInto(graphic, alone); });
}

void TextPanel::fill(SKTGraphic &graphic)
{
    TextEditTab *e = text_edtng_tab;
    TextPropertiesTab *p = text_prop_tab;
    const QString tag = graphic.control_ID;
    const bool title = tag == ControlTags::PartyTitle;
    e->insert_template_btn->setVisible(title || tag == ControlTags::PartyMessage);
    e->insert_template_btn->setText(title ? kUseTemplateTitle : kUseTemplateMessage);

    const TextPanelValues v = TextPanelValues::of(graphic);
    {
        // Showing a text is no edit of it.
        const QSignalBlocker quiet(e->Text_value_Edit);
        e->Text_value_Edit->setPlainText(v.text);
        e->Text_value_Edit->selectAll();
    }
    m_source.showDataSource(graphic.binding.data_source_type);
    m_source.showSeries(graphic, true);

    p->Text_border_chk->setChecked(v.border);
    p->Text_fill_chk->setChecked(v.fill);
    p->Text_bor_Stepper->setValue(v.borderWidth);
    p->Text_bordr_clr->setColor(v.borderColor);
    // A code the list does not hold keeps the style shown before.
    if (v.borderStyle >= 0)
        p->Text_border_style->setCurrentIndex(v.borderStyle);
    p->Text_fill_clr->setColor(v.fillColor);
    p->Text_fill_Grd_1_clr->setColor(v.gradient1);
    p->Text_fill_Grd_2_clr->setColor(v.gradient2);
    p->Text_grad_Stepper->setValue(v.gradientAngle);
    p->Text_alpha_Stepper->setValue(v.opacityPercent);
    SetObjEnabled(p->Text_Fill_Box, v.fill);
    SetObjEnabled(p->Text_Border_Box, v.border);
    showFillType(v.gradient);

    p->Text_clr->setColor(v.textColor);
    Text_font = v.font;
    p->txt_rotation_slidr->setValue(v.rotation);
    p->txt_rotation_slidr_val->setText(QStringLiteral("%1°").arg(p->txt_rotation_slidr->value()));
    selectIndex(p->Text_vert_align_combo, v.verticalAlignment);
    selectIndex(p->Text_align_combo, v.alignment);
    selectIndex(p->Text_case_combo, v.textCase);
    p->Text_Kern_Stepper->setValue(v.kerning);
    showFont();
    p->draw_shadow_chkbox->setChecked(v.shadow);
    p->Shadow_clr->setColor(v.shadowColor);
    p->shadow_x_Stepper->setValue(v.shadowX);
    p->shadow_y_Stepper->setValue(v.shadowY);
    p->shadow_blur_Stepper->setValue(v.shadowBlur);
    p->shadow_transp_Stepper->setValue(v.shadowOpacityPercent);
    // The shadow's controls follow its box, as the outline's and the background's do.
    SetObjEnabled(p->shadow_box, v.shadow);
}

void TextPanel::showFillType(bool gradient)
{
    text_prop_tab->Text_Fill_Box->showFillType(gradient ? QStringLiteral("G") : QStringLiteral("S"));
}

void TextPanel::showFont()
{
    text_prop_tab->Text_font_value->setText(PanelConversions::fontLabel(Text_font));
}

// The text fields are the steppers' own (see ShapeTab): each action writes the stepper's value.

void TextPanel::Set_TextControl_Clr(QObject *) { Update_Text_Graphics(); }
void TextPanel::Set_Shadow_Clr(QObject *) { Update_Text_Graphics(); }
void TextPanel::Text_Border_Changed(QObject *) { Update_Text_Graphics(); }
void TextPanel::Text_Gradient_Changed(QObject *) { Update_Text_Graphics(); }
void TextPanel::Text_Alpha_Changed(QObject *) { Update_Text_Graphics(); }
void TextPanel::Text_Kerning_Changed(QObject *) { Update_Text_Graphics(); }
void TextPanel::Shadow_X_Changed(QObject *) { Update_Text_Graphics(); }
void TextPanel::Shadow_Y_Changed(QObject *) { Update_Text_Graphics(); }
void TextPanel::Shadow_Blur_Changed(QObject *) { Update_Text_Graphics(); }
void TextPanel::Shadow_Transp_Changed(QObject *) { Update_Text_Graphics(); }

void TextPanel::Text_Border_ChkBox(QObject *)
{
    SetObjEnabled(text_prop_tab->Text_Border_Box, text_prop_tab->Text_border_chk->isChecked());
    Update_Text_Graphics();
}

void TextPanel::Text_Fill_Chk_Box(QObject *)
{
    SetObjEnabled(text_prop_tab->Text_Fill_Box, text_prop_tab->Text_fill_chk->isChecked());
    Update_Text_Graphics();
}

void TextPanel::Draw_Shadow_ChkBox(QObject *)
{
    SetObjEnabled(text_prop_tab->shadow_box, text_prop_tab->draw_shadow_chkbox->isChecked());
    Update_Text_Graphics();
}

void TextPanel::Txt_Rotate_Slider_Changed(QObject *)
{
    QSlider *slider = text_prop_tab->txt_rotation_slidr;
    text_prop_tab->txt_rotation_slidr_val->setText(QStringLiteral("%1°").arg(slider->value()));
    Update_Text_Graphics();
}

void TextPanel::Text_Solid_RD_Sel(QObject *)
{
    showFillType(false);
    Update_Text_Graphics();
}

void TextPanel::Text_Gradient_RD_Sel(QObject *)
{
    showFillType(true);
    Update_Text_Graphics();
}

void TextPanel::Text_Font_Changed(QObject *)
{
    m_fonts.open(Text_font, [this](const QFont &font) { changeTextFont(font); }, true);
    Update_Text_Graphics();
}

void TextPanel::changeTextFont(const QFont &font)
{
    Log_Exceptions([&] {
        Text_font = font;
        showFont();
        Update_Text_Graphics();
    });
}

void TextPanel::insertAtCursor(const QString &pattern, const QString &message, QString (*value)(const QString &))
{
    const QString format = Trim_Str(pattern);
    if (format.isEmpty()) {
        Show_MessageBox(message);
        return;
    }
    // In place of the selection, or at the caret; the editor's change notice writes it to the objects.
    text_edtng_tab->Text_value_Edit->insertPlainText(value(format));
}

void TextPanel::Text_Insert_Date(QObject *)
{
    const QComboBox *dates = text_edtng_tab->Text_Date_style;
    insertAtCursor(dates->currentIndex() < 0 ? QString() : dates->currentText(),
                   QStringLiteral("Please select Date format."), &Get_date_Value);
}

void TextPanel::Text_Insert_Time(QObject *)
{
    const QComboBox *times = text_edtng_tab->Text_Time_style;
    insertAtCursor(times->currentIndex() < 0 ? QString() : times->currentText(),
                   QStringLiteral("Please select Time format."), &Get_time_Value);
}

void TextPanel::textDidChange()
{
    Log_Exceptions([&] {
        QPlainTextEdit *editor = text_edtng_tab->Text_value_Edit;
        const QString text = editor->toPlainText();
        const QString cleaned = PanelConversions::cleanedEditorText(text);
        if (cleaned != text) {
            // The caret stays after what the user typed, less what was taken out before it.
            const int caret = editor->textCursor().position();
            const auto kept = std::min(PanelConversions::cleanedEditorText(text.left(caret)).size(), cleaned.size());
            const QSignalBlocker quiet(editor);
            editor->setPlainText(cleaned);
            QTextCursor cursor = editor->textCursor();
            cursor.setPosition(static_cast<int>(kept));
            editor->setTextCursor(cursor);
        }
        Update_Text_Graphics();
    });
}

void TextPanel::Insert_Template_Button(QObject *)
{
    const bool titles = text_edtng_tab->insert_template_btn->text() == kUseTemplateTitle;
    const std::optional<QString> chosen = m_design.chooseTemplateText(titles ? QStringLiteral("T") : QStringLiteral("M"));
    if (!chosen)
        return;
    // The editor's change notice writes it to the objects.
    text_edtng_tab->Text_value_Edit->setPlainText(*chosen);
}
