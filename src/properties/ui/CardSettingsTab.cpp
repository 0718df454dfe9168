#include "properties/ui/CardSettingsTab.h"

#include "platform/ui/ColorWell.h"
#include "platform/ui/StepperSpinBox.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

CardSettingsTab::CardSettingsTab(QWidget *parent) : PanelTab("card_setting_tab", tr("Card Settings"), parent)
{
    QFormLayout *card = addSection(tr("Card"));
    card_name = named(new QLineEdit, "card_name");
    card_name->setPlaceholderText(tr("Untitled"));
    card_name->setMinimumWidth(150);
    addRow(card, tr("Name:"), card_name);
    Sides_ComboBox = comboBox("Sides_ComboBox", {tr("Two Sides"), tr("One Side")});
    addRow(card, tr("Sides:"), Sides_ComboBox);
    matrix_card_shape = named(new QWidget, "matrix_card_shape");
    auto *shapes = new QVBoxLayout(matrix_card_shape);
    shapes->setContentsMargins(0, 0, 0, 0);
    shapes->setSpacing(4);
    matrix_card_shape_rows = new QButtonGroup(matrix_card_shape);
    const QString shapeNames[] = {tr("Rectangle"), tr("Rounded Rectangle"), tr("Oval")};
    for (int row = 0; row < 3; ++row) {
        auto *radio = new QRadioButton(shapeNames[row], matrix_card_shape);
        radio->setObjectName(QStringLiteral("matrix_card_shape_%1").arg(row));
        matrix_card_shape_rows->addButton(radio, row);
        shapes->addWidget(radio);
    }
    matrix_card_shape_rows->button(0)->setChecked(true);
    addRow(card, tr("Shape:"), matrix_card_shape)->setAlignment(Qt::AlignRight | Qt::AlignTop);

    // Category, orientation and layout items are what the card settings store.
    QFormLayout *size = addSection(tr("Size"));
    Category_ComboBox = comboBox("Category_ComboBox", {QStringLiteral("PVC Card"), QStringLiteral("Paper Card")});
    Preset_ComboBox = comboBox("Preset_ComboBox", {QStringLiteral("Horizontal"), QStringLiteral("Vertical")});
    addRow(size, tr("Category:"), Category_ComboBox);
    addRow(size, tr("Orientation:"), Preset_ComboBox);
    ColList = named(new QTableView, "ColList");
    ColList->setSelectionBehavior(QAbstractItemView::SelectRows);
    ColList->setSelectionMode(QAbstractItemView::SingleSelection);
    ColList->horizontalHeader()->setStretchLastSection(true);
    ColList->horizontalHeader()->hide();
    ColList->verticalHeader()->hide();
    ColList->setShowGrid(false);
    ColList->verticalHeader()->setDefaultSectionSize(ColList->fontMetrics().height() + 6);
    ColList->setFixedHeight(112);
    addRow(size, tr("Preset:"), ColList)->setAlignment(Qt::AlignRight | Qt::AlignTop);
    width_Stepper = stepper("width_Stepper", "width_Text", 1.0, 1000.0, tr(" mm"), 3);
    height_Stepper = stepper("height_Stepper", "height_Text", 1.0, 1000.0, tr(" mm"), 3);
    width_Stepper->setMinimumWidth(110);
    height_Stepper->setMinimumWidth(110);
    width_Text = width_Stepper->textField();
    height_Text = height_Stepper->textField();
    addRow(size, tr("Width:"), width_Stepper);
    addRow(size, tr("Height:"), height_Stepper);
    Apply_Size_btn = named(new QPushButton(tr("Apply Size")), "Apply_Size_btn");
    Apply_Size_btn->setToolTip(tr("Give the card the width and height above"));
    addRow(size, QString(), Apply_Size_btn);

    QFormLayout *borderSection = addSection(tr("Border"));
    Card_border_chk = checkBox("Card_border_chk", tr("Draw a border"));
    addRow(borderSection, QString(), Card_border_chk);
    QFormLayout *border = nullptr;
    Card_Border_Box = innerBox("Card_Border_Box", &border);
    Card_bor_Stepper = stepper("Card_bor_Stepper", "Card_bor_Text", 0, 50, tr(" pt"));
    Card_bor_Text = Card_bor_Stepper->textField();
    Card_bordr_clr = colorWell("Card_bordr_clr", tr("Border colour"));
    Card_border_style = comboBox("Card_border_style", outlineStyles());
    addRow(border, tr("Width:"), Card_bor_Stepper);
    addRow(border, tr("Colour:"), Card_bordr_clr);
    addRow(border, tr("Style:"), Card_border_style);
    borderSection->addRow(Card_Border_Box);

    QFormLayout *content = addSection(tr("Text of the Card"));
    All_Text_font_value = wrappingLabel("All_Text_font_value");
    All_Text_clr = colorWell("All_Text_clr", tr("Text colour of the whole card"));
    addRow(content, tr("Font:"), All_Text_font_value);
    Content_Font_btn = named(new QPushButton(tr("Choose Font…")), "Content_Font_btn");
    Content_Font_btn->setToolTip(tr("Open the font panel for every text of this side"));
    addRow(content, QString(), Content_Font_btn);
    addRow(content, tr("Colour:"), All_Text_clr);
    All_Text_font_value_COPY = named(new QLabel(this), "All_Text_font_value_COPY");
    All_Text_clr_COPY = named(new ColorWell(this), "All_Text_clr_COPY");
    All_Text_font_value_COPY->hide();
    All_Text_clr_COPY->hide();
    finish();
}
