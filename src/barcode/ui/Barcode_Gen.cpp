#include "barcode/ui/Barcode_Gen.h"

#include "barcode/BarcodeGenerator.h"
#include "barcode/Draw_DataMatrix_Barcode.h"
#include "barcode/NKDBarcode.h"
#include "barcode/ui/BarcodeWindowDesign.h"
#include "core/AppState.h"
#include "core/MessageBoxes.h"
#include "core/StringHelpers.h"
#include "datasource/Data_From_Excel.h"
#include "datasource/DataSourceState.h"
#include "datasource/DataSourceType.h"
#include "datasource/SeriesStore.h"
#include "platform/XmlCharacters.h"
#include "platform/ui/ColorWell.h"
#include "platform/ui/DialogLook.h"
#include "platform/ui/FontEffects.h"
#include "platform/ui/Form.h"
#include "platform/ui/StepperSpinBox.h"
#include "properties/PanelConversions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <exception>
#include <vector>

namespace {


const QString kCustom = QStringLiteral("Custom");

// A field's text as the design takes it, with U+FFFD for each character a design file cannot hold,
// as typed text is taken everywhere.
QString entered(const QString &typed)
{
    return XmlCharacters::replaced(typed);
}

// The popup lists the symbologies at their stored indexes; none while it shows nothing.
const Barcode_Symbology *shownSymbology(const QComboBox &popup)
{
    return Barcode_Symbology_At(popup.currentIndex());
}

// The first character of the value outside ASCII; empty when there is none.
QString firstNonAscii(const QString &value)
{
    for (const char32_t c : value.toUcs4())
        if (c > 0x7f)
            return QString::fromUcs4(&c, 1);
    return {};
}

// The first record's value of an object bound to a series or an Excel column; nothing for a typed one.
std::optional<QString> boundFirstValue(const SKTGraphic &object)
{
    if (dataSourceTypeOf(object) == DataSourceType::Series)
        return Get_First_Value_Of_Dataset(object.binding.batch_list_name);
    if (dataSourceTypeOf(object) == DataSourceType::Excel)
        return Data_From_Excel::defaultInstance()->Get_First_Value_Of_Excel_Binding(object.binding.excel_col_indx);
    return std::nullopt;
}

// UPC and EAN digits stand apart between the guard bars: there is no caption line to spread.
bool spreadsCaption(const Barcode_Symbology *symbology)
{
    const Symbology id = symbology ? symbology->id : Symbology::Count;
    return id != Symbology::UPCE && id != Symbology::UPCA && id != Symbology::EAN8 && id != Symbology::EAN13;
}

template <typename Body>
void guarded(Body &&body)
{
    Log_Exceptions(std::forward<Body>(body));
}

// An index the list does not hold selects nothing.
void selectIndex(QComboBox *combo, int index)
{
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

QStringList qrVersionItems()
{
    QStringList items{QStringLiteral("Auto")};
    for (int version = 1; version <= 40; ++version)
        items << QStringLiteral("V%1").arg(version);
    return items;
}

// Every section's labels share one width, so that fields line up from section to section.
constexpr int kLabelWidth = 110;

QLabel *rowLabel(const QString &text)
{
    return Form::rowLabel(text, kLabelWidth);
}

QFormLayout *formIn(QWidget *box)
{
    QFormLayout *rows = Form::rows(box);
    rows->setContentsMargins(10, 10, 10, 10);
    return rows;
}

QGroupBox *section(const char *name, const QString &title, QFormLayout **rows)
{
    auto *box = Form::named(new QGroupBox(title), name);
    *rows = formIn(box);
    return box;
}

// A page of the settings tabs: its sections stacked from the top.
QWidget *page(std::initializer_list<QWidget *> sections)
{
    auto *widget = new QWidget;
    auto *column = new QVBoxLayout(widget);
    column->setContentsMargins(10, 10, 10, 10);
    column->setSpacing(10);
    for (QWidget *box : sections)
        column->addWidget(box);
    column->addStretch(1);
    return widget;
}

} // namespace

Barcode_Gen::Barcode_Gen(BarcodeWindowDesign &design, QWidget *parent) : QDialog(parent), m_design(design)
{
    setObjectName(QStringLiteral("Barcode_Gen"));
    setWindowTitle(tr("Barcode Settings"));
    setModal(true);
    DialogLook::applyBackground(this);

    value_font = header_font = footer_font = Default_Barcode_Font();
    chooseFont = [this](const QFont &current, const QString &title) -> std::optional<QFont> {
        // A barcode keeps its fonts by name and size: underline and strike-out are not offered.
        QFontDialog dialog(withoutFontEffects(current), this);
        dialog.setWindowTitle(title);
        dialog.setOption(QFontDialog::DontUseNativeDialog);
        offerFontEffects(dialog, false);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return withoutFontEffects(dialog.selectedFont());
    };

    build();
    connectActions();

    // A new barcode's settings, and a first preview of them.
    {
        const QScopedValueRollback<bool> filling(App().Not_Draw_Only_Prop_Change, true);
        showSettings(BarcodeSettings());
        showDataSource(DataSourceType::Typed);
        Liner_Barcode_Opt_Select();
        _setLabels();
    }
    goButtonActionPerformed();
}

Barcode_Gen::~Barcode_Gen() = default;

// --- Building ------------------------------------------------------------------------------------------

QToolButton *Barcode_Gen::helpButton(const char *name, void (Barcode_Gen::*action)())
{
    auto *button = Form::named(new QToolButton, name);
    button->setText(QStringLiteral("?"));
    button->setToolTip(tr("Explain this setting"));
    button->setAutoRaise(false);
    connect(button, &QToolButton::clicked, this, [this, action] { (this->*action)(); });
    return button;
}

void Barcode_Gen::build()
{
    // The barcode and where its value comes from.
    barcodeTypePopup = Form::comboBox("barcodeTypePopup", Barcode_Symbology_Titles());
    barcodeTypePopup->setMaxVisibleItems(Barcode_Symbology_Titles().size());
    barcodeTypePopup->setMinimumWidth(240);
    Data_source_type = Form::comboBox("Data_source_type", dataSourceTypeNames(false));
    Data_source_type->setMinimumWidth(100);
    Batch_Series = Form::comboBox("Batch_Series");
    Batch_Series->setMinimumWidth(160);
    view_series_btn = Form::named(new QPushButton(tr("View")), "view_series_btn");
    view_series_btn->setToolTip(tr("Show the values of the series"));

    dataText = Form::named(new QLineEdit, "dataText");
    dataText->setPlaceholderText(tr("Value to encode"));
    dataText_2D_scl_v = Form::named(new QWidget, "dataText_2D_scl_v");
    dataText_2D = Form::named(new QPlainTextEdit, "dataText_2D");
    dataText_2D->setTabChangesFocus(true);
    dataText_2D->setFixedHeight(dataText_2D->fontMetrics().lineSpacing() * 3 + 14);
    auto *twoDValue = new QVBoxLayout(dataText_2D_scl_v);
    twoDValue->setContentsMargins(0, 0, 0, 0);
    twoDValue->addWidget(dataText_2D);
    encodeButton = Form::named(new QPushButton(tr("Encode")), "Encode_btn");
    encodeButton->setToolTip(tr("Make the preview again"));
    encodeButton->setAutoDefault(false);

    auto *source = new QGroupBox(tr("Barcode"));
    source->setObjectName(QStringLiteral("barcode_box"));
    auto *grid = new QGridLayout(source);
    grid->setContentsMargins(10, 10, 10, 10);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);
    grid->addWidget(new QLabel(tr("Symbology:")), 0, 0, Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(barcodeTypePopup, 0, 1);
    auto *sourceRow = new QHBoxLayout;
    sourceRow->setSpacing(6);
    sourceRow->addWidget(new QLabel(tr("Value from:")));
    sourceRow->addWidget(Data_source_type);
    sourceRow->addWidget(Batch_Series, 1);
    sourceRow->addWidget(view_series_btn);
    grid->addLayout(sourceRow, 0, 2, 1, 2);
    grid->addWidget(new QLabel(tr("Value:")), 1, 0, Qt::AlignRight | Qt::AlignTop);
    auto *valueStack = new QVBoxLayout;
    valueStack->setContentsMargins(0, 0, 0, 0);
    valueStack->addWidget(dataText);
    valueStack->addWidget(dataText_2D_scl_v);
    grid->addLayout(valueStack, 1, 1, 1, 2);
    grid->addWidget(encodeButton, 1, 3, Qt::AlignTop);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);

    // The preview: the picture at its own size, centred, scrolled when larger.
    barcodeImage = Form::named(new QLabel, "barcodeImage");
    barcodeImage->setAlignment(Qt::AlignCenter);
    barcodeImage->setBackgroundRole(QPalette::Base);
    barcodeImage->setAutoFillBackground(true);
    image_scroll = Form::named(new QScrollArea, "image_scroll");
    image_scroll->setWidget(barcodeImage);
    image_scroll->setWidgetResizable(true);
    image_scroll->setAlignment(Qt::AlignCenter);
    image_scroll->setMinimumSize(380, 300);
    barcode_error_label = Form::named(new QLabel, "barcode_error_label");
    QPalette warning = barcode_error_label->palette();
    warning.setColor(QPalette::WindowText, QColor(178, 34, 34));
    barcode_error_label->setPalette(warning);
    barcode_error_label->setAlignment(Qt::AlignCenter);
    barcode_error_label->setWordWrap(true);
    auto *preview = new QGroupBox(tr("Preview"));
    preview->setObjectName(QStringLiteral("preview_box"));
    auto *previewColumn = new QVBoxLayout(preview);
    previewColumn->setContentsMargins(10, 10, 10, 10);
    previewColumn->addWidget(image_scroll, 1);
    previewColumn->addWidget(barcode_error_label);

    sett_tab = Form::named(new QTabWidget, "sett_tab");
    sett_tab->addTab(buildSymbolTab(), tr("Symbol"));
    sett_tab->addTab(buildTextTab(), tr("Texts"));
    sett_tab->addTab(buildLayoutTab(), tr("Margins and Colours"));
    dpi_tab_item = buildResolutionTab();
    sett_tab->addTab(dpi_tab_item, tr("Resolution"));

    auto *middle = new QHBoxLayout;
    middle->setSpacing(12);
    middle->addWidget(preview, 1);
    middle->addWidget(sett_tab);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OK_btn"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("Cancel_btn"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { OK_Btn_Clicked(); });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { Cancel_Btn_Clicked(); });

    auto *layout = new QVBoxLayout(this);
    // Never smaller than its controls: switching mode shows other rows.
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->setSpacing(12);
    layout->addWidget(source);
    layout->addLayout(middle, 1);
    layout->addWidget(buttons);
}

QWidget *Barcode_Gen::buildSymbolTab()
{
    QFormLayout *rows = nullptr;
    linear_sett_box = section("linear_sett_box", tr("Bars"), &rows);
    HeightStepper = Form::stepper("HeightStepper", "HeightText", Barcode_Ranges::linear_height_val.least,
                                  Barcode_Ranges::linear_height_val.most, QString(), 2);
    HeightStepper->setSingleStep(0.1);
    HeightText = HeightStepper->textField();
    widthStepper = Form::stepper("widthStepper", "widthText", Barcode_Ranges::linear_width_val.least,
                                 Barcode_Ranges::linear_width_val.most, QString(), 1);
    widthText = widthStepper->textField();
    bar_align_combo = Form::comboBox("bar_align_combo",
                                     {QStringLiteral("Center"), QStringLiteral("Top"), QStringLiteral("TopLeft"),
                                      QStringLiteral("TopRight"), QStringLiteral("Left"), QStringLiteral("Bottom"),
                                      QStringLiteral("BottomLeft"), QStringLiteral("BottomRight"),
                                      QStringLiteral("Right")});
    barHeightLabel = Form::named(rowLabel(QString()), "barHeightLabel");
    barWidthLabel = Form::named(rowLabel(QString()), "barWidthLabel");
    rows->addRow(barHeightLabel, HeightStepper);
    rows->addRow(barWidthLabel, widthStepper);
    rows->addRow(rowLabel(tr("In the preview:")), bar_align_combo);

    two_d_sett_box = section("two_d_sett_box", tr("QR Code"), &rows);
    HeightStepper_2D = Form::stepper("HeightStepper_2D", "HeightText_2D", Barcode_Ranges::qr_size_val.least,
                                     Barcode_Ranges::qr_size_val.most, tr(" pt"));
    HeightText_2D = HeightStepper_2D->textField();
    setQrSizeFloor(21);
    qr_version_ComboBox = Form::comboBox("qr_version_ComboBox", qrVersionItems());
    qr_version_ComboBox->setMaxVisibleItems(12);
    qr_ec_lvl_ComboBox = Form::comboBox(
        "qr_ec_lvl_ComboBox", {tr("L (7%)"), tr("M (15%)"), tr("Q (25%)"), tr("H (30%)")});
    rows->addRow(rowLabel(tr("Size:")), HeightStepper_2D);
    rows->addRow(rowLabel(tr("Version:")),
                 Form::sideBySide({qr_version_ComboBox,
                                   helpButton("QR_Version_Help_Btn", &Barcode_Gen::QR_Version_Help_Btn)}));
    rows->addRow(rowLabel(tr("Error correction:")),
                 Form::sideBySide(
                     {qr_ec_lvl_ComboBox, helpButton("QR_EC_Lvl_Help_Btn", &Barcode_Gen::QR_EC_Lvl_Help_Btn)}));

    pdf_2d_sett_box = section("pdf_2d_sett_box", tr("PDF417"), &rows);
    Pdf_widthStepper_2D = Form::stepper("Pdf_widthStepper_2D", "Pdf_widthText_2D", Barcode_Ranges::pdf_wdt_val.least,
                                        Barcode_Ranges::pdf_wdt_val.most, tr(" pt"));
    Pdf_widthText_2D = Pdf_widthStepper_2D->textField();
    pdf_HeightStepper_2D = Form::stepper("pdf_HeightStepper_2D", "pdf_HeightText_2D", Barcode_Ranges::pdf_hgt_val.least,
                                         Barcode_Ranges::pdf_hgt_val.most, tr(" pt"));
    pdf_HeightText_2D = pdf_HeightStepper_2D->textField();
    pdf_ec_lvl_Stepper = Form::stepper("pdf_ec_lvl_Stepper", "pdf_ec_lvl_Text", Barcode_Ranges::pdf_ec_val.least,
                                       Barcode_Ranges::pdf_ec_val.most);
    pdf_ec_lvl_Text = pdf_ec_lvl_Stepper->textField();
    rows->addRow(rowLabel(tr("Width:")), Pdf_widthStepper_2D);
    rows->addRow(rowLabel(tr("Height:")), pdf_HeightStepper_2D);
    rows->addRow(rowLabel(tr("Error correction:")),
                 Form::sideBySide(
                     {pdf_ec_lvl_Stepper, helpButton("PDF_ec_lvl_Help_btn", &Barcode_Gen::PDF_ec_lvl_Help_btn)}));

    dm_2d_sett_box = section("dm_2d_sett_box", tr("Data Matrix"), &rows);
    dm_moduleStepper_2D = Form::stepper("dm_moduleStepper_2D", "dm_moduleText_2D", Barcode_Ranges::dm_module_val.least,
                                        Barcode_Ranges::dm_module_val.most, tr(" pt"));
    dm_moduleText_2D = dm_moduleStepper_2D->textField();
    dm_format_ComboBox = Form::comboBox("dm_format_ComboBox", Data_Matrix_Format_Items());
    dm_format_ComboBox->setMaxVisibleItems(12);
    dm_encoding_ComboBox = Form::comboBox("dm_encoding_ComboBox", Data_Matrix_Encoding_Items());
    rows->addRow(rowLabel(tr("Module size:")), dm_moduleStepper_2D);
    rows->addRow(rowLabel(tr("Format:")),
                 Form::sideBySide(
                     {dm_format_ComboBox, helpButton("DM_format_Help_btn", &Barcode_Gen::DM_format_Help_btn)}));
    rows->addRow(rowLabel(tr("Encoding:")),
                 Form::sideBySide({dm_encoding_ComboBox,
                                   helpButton("DM_Encoding_Help_btn", &Barcode_Gen::DM_Encoding_Help_btn)}));

    return page({linear_sett_box, two_d_sett_box, pdf_2d_sett_box, dm_2d_sett_box});
}

QWidget *Barcode_Gen::buildTextTab()
{
    const auto fontRow = [](QLabel **label, QPushButton **button, const char *labelName, const char *buttonName) {
        *label = Form::named(new QLabel, labelName);
        *button = Form::named(new QPushButton(tr("Choose…")), buttonName);
        (*button)->setAutoDefault(false);
        return Form::sideBySide({*label, *button});
    };

    QFormLayout *rows = nullptr;
    val_text_box = section("val_text_box", tr("Value Text"), &rows);
    captionCheckbox = Form::checkBox("captionCheckbox", tr("Hide the value text"));
    showinTopCheckbox = Form::checkBox("showinTopCheckbox", tr("Above the bars"));
    kerning_value_Checkbox = Form::checkBox("kerning_value_Checkbox", tr("Spread over the bars' width"));
    rows->addRow(rowLabel(QString()), captionCheckbox);
    rows->addRow(rowLabel(QString()), showinTopCheckbox);
    rows->addRow(rowLabel(QString()), kerning_value_Checkbox);
    val_font_label = Form::named(rowLabel(tr("Font:")), "val_font_label");
    rows->addRow(val_font_label, fontRow(&value_font_value, &val_font_btn, "value_font_value", "val_font_btn"));

    QFormLayout *headerRows = nullptr;
    QGroupBox *header = section("header_box", tr("Header"), &headerRows);
    HeaderText = Form::named(new QLineEdit, "HeaderText");
    HeaderText->setMinimumWidth(200);
    hideHeaderCheckbox = Form::checkBox("hideHeaderCheckbox", tr("Hide the header"));
    align_hdr_combo = Form::comboBox("align_hdr_combo", Barcode_Alignment_Titles());
    headerRows->addRow(rowLabel(tr("Text:")), HeaderText);
    headerRows->addRow(rowLabel(QString()), hideHeaderCheckbox);
    headerRows->addRow(rowLabel(tr("Alignment:")), align_hdr_combo);
    headerRows->addRow(rowLabel(tr("Font:")),
                       fontRow(&header_font_value, &hdr_font_btn, "header_font_value", "hdr_font_btn"));

    QFormLayout *footerRows = nullptr;
    QGroupBox *footer = section("footer_box", tr("Footer"), &footerRows);
    FooterText = Form::named(new QLineEdit, "FooterText");
    FooterText->setMinimumWidth(200);
    hideFooterCheckbox = Form::checkBox("hideFooterCheckbox", tr("Hide the footer"));
    align_ftr_combo = Form::comboBox("align_ftr_combo", Barcode_Alignment_Titles());
    footerRows->addRow(rowLabel(tr("Text:")), FooterText);
    footerRows->addRow(rowLabel(QString()), hideFooterCheckbox);
    footerRows->addRow(rowLabel(tr("Alignment:")), align_ftr_combo);
    footerRows->addRow(rowLabel(tr("Font:")),
                       fontRow(&footer_font_value, &ftr_font_btn, "footer_font_value", "ftr_font_btn"));

    return page({val_text_box, header, footer});
}

QWidget *Barcode_Gen::buildLayoutTab()
{
    const auto margin = [](const char *name, const char *textName) {
        StepperSpinBox *stepper = Form::stepper(name, textName, Barcode_Ranges::margin.least, Barcode_Ranges::margin.most,
                                                tr(" cm"), 2);
        stepper->setSingleStep(0.05);
        return stepper;
    };
    QFormLayout *rows = nullptr;
    margin_box = section("margin_box", QString(), &rows);
    val_mar_Stepper = margin("val_mar_Stepper", "val_mar_Text");
    hdr_mar_Stepper = margin("hdr_mar_Stepper", "hdr_mar_Text");
    ftr_mar_Stepper = margin("ftr_mar_Stepper", "ftr_mar_Text");
    TB_mar_Stepper = margin("TB_mar_Stepper", "TB_mar_Text");
    LR_mar_Stepper = margin("LR_mar_Stepper", "LR_mar_Text");
    val_mar_Text = val_mar_Stepper->textField();
    hdr_mar_Text = hdr_mar_Stepper->textField();
    ftr_mar_Text = ftr_mar_Stepper->textField();
    TB_mar_Text = TB_mar_Stepper->textField();
    LR_mar_Text = LR_mar_Stepper->textField();
    val_mar_label = Form::named(rowLabel(tr("Value text:")), "val_mar_label");
    rows->addRow(val_mar_label, val_mar_Stepper);
    rows->addRow(rowLabel(tr("Header:")), hdr_mar_Stepper);
    rows->addRow(rowLabel(tr("Footer:")), ftr_mar_Stepper);
    rows->addRow(rowLabel(tr("Top and bottom:")), TB_mar_Stepper);
    rows->addRow(rowLabel(tr("Left and right:")), LR_mar_Stepper);

    QFormLayout *colours = nullptr;
    QGroupBox *colourBox = section("colour_box", tr("Colours"), &colours);
    barcode_clr = Form::colorWell("barcode_clr", tr("Bar colour"));
    bar_back_clr = Form::colorWell("bar_back_clr", tr("Background colour"));
    bar_val_clr = Form::colorWell("bar_val_clr", tr("Value text colour"));
    bar_hdr_clr = Form::colorWell("bar_hdr_clr", tr("Header colour"));
    bar_ftr_clr = Form::colorWell("bar_ftr_clr", tr("Footer colour"));
    bar_clr_label = Form::named(rowLabel(tr("Bars:")), "bar_clr_label");
    bar_bk_clr_label = Form::named(rowLabel(tr("Background:")), "bar_bk_clr_label");
    val_clr_label = Form::named(rowLabel(tr("Value text:")), "val_clr_label");
    colours->addRow(bar_clr_label, barcode_clr);
    colours->addRow(bar_bk_clr_label, bar_back_clr);
    colours->addRow(val_clr_label, bar_val_clr);
    colours->addRow(rowLabel(tr("Header:")), bar_hdr_clr);
    colours->addRow(rowLabel(tr("Footer:")), bar_ftr_clr);

    return page({margin_box, colourBox});
}

QWidget *Barcode_Gen::buildResolutionTab()
{
    QFormLayout *rows = nullptr;
    QGroupBox *box = section("dpi_box", tr("Resolution of the Picture"), &rows);
    DPI_ComboBox = Form::comboBox("DPI_ComboBox", Barcode_DPI_Titles());
    dpi_Stepper = Form::stepper("dpi_Stepper", "dpi_Text", 72, 1200, tr(" dpi"));
    dpi_Text = dpi_Stepper->textField();
    rows->addRow(rowLabel(tr("Dots per inch:")),
                 Form::sideBySide({DPI_ComboBox, helpButton("DPI_Help_Label", &Barcode_Gen::DPI_Help_Label)}));
    rows->addRow(rowLabel(tr("Custom:")), dpi_Stepper);
    return page({box});
}

void Barcode_Gen::connectActions()
{
    connect(barcodeTypePopup, &QComboBox::currentIndexChanged, this, [this] { barcodeTypeChanged(); });
    for (QLineEdit *field : {dataText, HeaderText, FooterText}) {
        connect(field, &QLineEdit::textEdited, this, [this, field] { controlTextDidChange(field); });
        connect(field, &QLineEdit::editingFinished, this, [this, field] { textDidEndEditing(field); });
    }
    connect(dataText_2D, &QPlainTextEdit::textChanged, this, [this] { textDidChange(); });
    connect(encodeButton, &QPushButton::clicked, this, [this] { Encode_btn(); });

    connect(val_font_btn, &QPushButton::clicked, this, [this] { Value_Font_Changed(); });
    connect(hdr_font_btn, &QPushButton::clicked, this, [this] { Header_Font_Changed(); });
    connect(ftr_font_btn, &QPushButton::clicked, this, [this] { Footer_Font_Changed(); });

    // A stepper's step and a value typed into its field take one action.
    const auto pair = [this](StepperSpinBox *stepper, void (Barcode_Gen::*action)()) {
        connect(stepper, &StepperSpinBox::stepped, this, [this, action] { (this->*action)(); });
        connect(stepper, &StepperSpinBox::typed, this, [this, action] { (this->*action)(); });
    };
    pair(val_mar_Stepper, &Barcode_Gen::Value_Margin_Changed);
    pair(hdr_mar_Stepper, &Barcode_Gen::Header_Margin_Changed);
    pair(ftr_mar_Stepper, &Barcode_Gen::Footer_Margin_Changed);
    pair(LR_mar_Stepper, &Barcode_Gen::LR_Margin_Changed);
    pair(TB_mar_Stepper, &Barcode_Gen::TB_Margin_Changed);
    pair(HeightStepper, &Barcode_Gen::heightChanged);
    pair(HeightStepper_2D, &Barcode_Gen::heightChanged);
    pair(widthStepper, &Barcode_Gen::widthChanged);
    pair(Pdf_widthStepper_2D, &Barcode_Gen::widthChanged);
    pair(pdf_HeightStepper_2D, &Barcode_Gen::pdf_heightChanged);
    pair(pdf_ec_lvl_Stepper, &Barcode_Gen::PDF_EC_Lvl_Changed);
    pair(dm_moduleStepper_2D, &Barcode_Gen::dm_modulesizeChanged);
    pair(dpi_Stepper, &Barcode_Gen::DPI_Value_Changed);

    connect(captionCheckbox, &QCheckBox::clicked, this, [this] { captionChanged(); });
    connect(showinTopCheckbox, &QCheckBox::clicked, this, [this] { showinTopChanged(); });
    connect(hideHeaderCheckbox, &QCheckBox::clicked, this, [this] { hideHeaderChanged(); });
    connect(hideFooterCheckbox, &QCheckBox::clicked, this, [this] { hideFooterChanged(); });
    connect(kerning_value_Checkbox, &QCheckBox::clicked, this, [this] { resizeAndRedraw(); });

    for (ColorWell *well : {bar_hdr_clr, bar_ftr_clr, bar_val_clr, bar_back_clr, barcode_clr})
        connect(well, &ColorWell::colorChanged, this, [this] { Header_Color_Changed(); });

    for (QComboBox *combo : {Data_source_type, Batch_Series, qr_version_ComboBox, qr_ec_lvl_ComboBox,
                             dm_format_ComboBox, dm_encoding_ComboBox, align_hdr_combo, align_ftr_combo,
                             bar_align_combo, DPI_ComboBox})
        connect(combo, &QComboBox::currentIndexChanged, this, [this, combo] { comboBoxSelectionDidChange(combo); });
    connect(view_series_btn, &QPushButton::clicked, this, [this] { View_batch_Series_Button(); });
}

QList<QWidget *> Barcode_Gen::inputControls() const
{
    return {barcodeTypePopup,     dataText,           dataText_2D,          HeaderText,          FooterText,
            Data_source_type,     Batch_Series,       HeightStepper,        widthStepper,        bar_align_combo,
            HeightStepper_2D,     qr_version_ComboBox, qr_ec_lvl_ComboBox,  Pdf_widthStepper_2D, pdf_HeightStepper_2D,
            pdf_ec_lvl_Stepper,   dm_moduleStepper_2D, dm_format_ComboBox,  dm_encoding_ComboBox, captionCheckbox,
            showinTopCheckbox,    kerning_value_Checkbox, hideHeaderCheckbox, hideFooterCheckbox, align_hdr_combo,
            align_ftr_combo,      val_mar_Stepper,    hdr_mar_Stepper,      ftr_mar_Stepper,     TB_mar_Stepper,
            LR_mar_Stepper,       bar_hdr_clr,        bar_ftr_clr,          bar_val_clr,         bar_back_clr,
            barcode_clr,          DPI_ComboBox,       dpi_Stepper};
}

// --- Settings in and out -------------------------------------------------------------------------------

void Barcode_Gen::showSettings(const BarcodeSettings &s)
{
    std::vector<QSignalBlocker> quiet;
    for (QWidget *control : inputControls())
        quiet.emplace_back(control);

    liner_or_2D_font = s.linear_or_2d == 1 ? 1 : 0;
    selectIndex(barcodeTypePopup, s.barcode_font_index);
    dataText->setText(s.linear_font_val);
    dataText_2D->setPlainText(s.two_d_font_val);
    HeaderText->setText(s.header_val);
    FooterText->setText(s.footer_val);
    hideHeaderCheckbox->setChecked(s.show_hide_hdr == 1);
    hideFooterCheckbox->setChecked(s.show_hide_ftr == 1);
    captionCheckbox->setChecked(s.show_hide_val == 1);
    showinTopCheckbox->setChecked(s.show_val_on_top != 0);
    selectIndex(align_hdr_combo, s.align_hdr_index);
    selectIndex(align_ftr_combo, s.align_ftr_index);
    Get_Print_State();

    HeightStepper->setValue(s.linear_height_val);
    widthStepper->setValue(s.linear_width_val);
    // The size's lower limit is the object's own version's, not the one shown before.
    setQrSizeFloor(QR_Minimum_Size(s.qr_version_index));
    HeightStepper_2D->setValue(s.qr_size_val);
    selectIndex(qr_version_ComboBox, s.qr_version_index);
    selectIndex(qr_ec_lvl_ComboBox, s.qr_ec_index);
    pdf_HeightStepper_2D->setValue(s.pdf_hgt_val);
    Pdf_widthStepper_2D->setValue(s.pdf_wdt_val);
    pdf_ec_lvl_Stepper->setValue(s.pdf_ec_val);
    dm_moduleStepper_2D->setValue(s.dm_module_val);
    selectIndex(dm_format_ComboBox, s.dm_format_index);
    selectIndex(dm_encoding_ComboBox, s.dm_encoding_index);
    hdr_mar_Stepper->setValue(s.hdr_margin_val);
    ftr_mar_Stepper->setValue(s.ftr_margin_val);
    val_mar_Stepper->setValue(s.val_margin_val);
    TB_mar_Stepper->setValue(s.TB_marging_val);
    LR_mar_Stepper->setValue(s.LR_margin_val);

    value_font = s.value_font_val;
    header_font = s.header_font_val;
    footer_font = s.footer_font_val;
    setFontLabel(value_font_value, value_font);
    setFontLabel(header_font_value, header_font);
    setFontLabel(footer_font_value, footer_font);

    bar_hdr_clr->setColor(s.barcode_hdr_clr_val);
    bar_ftr_clr->setColor(s.barcode_ftr_clr_val);
    bar_val_clr->setColor(s.barcode_val_clr_val);
    bar_back_clr->setColor(s.barcode_back_clr_val);
    barcode_clr->setColor(s.barcode_clr_val);

    selectIndex(DPI_ComboBox, s.dpi_val_index);
    // The custom resolution is the object's too: OK must not put another one into it.
    m_dpi_custom_val = s.dpi_custom_val;
    bool numeric = false;
    const int custom = Trim_Str(s.dpi_custom_val).toInt(&numeric);
    dpi_Stepper->setValue(numeric && custom > 0 ? custom : s.USED_DPI_VALUE());
    dpi_Stepper->setVisible(DPI_ComboBox->currentText() == kCustom);
}

BarcodeSettings Barcode_Gen::currentSettings() const
{
    BarcodeSettings s;
    s.linear_or_2d = liner_or_2D_font;
    s.barcode_font_index = barcodeTypePopup->currentIndex();
    s.linear_font_val = entered(dataText->text());
    s.two_d_font_val = entered(dataText_2D->toPlainText());
    s.header_val = entered(HeaderText->text());
    s.footer_val = entered(FooterText->text());
    s.show_hide_hdr = hideHeaderCheckbox->isChecked() ? 1 : 0;
    s.show_hide_ftr = hideFooterCheckbox->isChecked() ? 1 : 0;
    s.show_hide_val = captionCheckbox->isChecked() ? 1 : 0;
    s.show_val_on_top = showinTopCheckbox->isChecked() ? 1 : 0;
    s.align_hdr_index = align_hdr_combo->currentIndex();
    s.align_ftr_index = align_ftr_combo->currentIndex();
    s.linear_height_val = static_cast<float>(HeightStepper->value());
    s.linear_width_val = static_cast<float>(widthStepper->value());
    s.qr_size_val = HeightStepper_2D->intValue();
    s.qr_version_index = qr_version_ComboBox->currentIndex();
    s.qr_ec_index = qr_ec_lvl_ComboBox->currentIndex();
    s.pdf_hgt_val = pdf_HeightStepper_2D->intValue();
    s.pdf_wdt_val = Pdf_widthStepper_2D->intValue();
    s.pdf_ec_val = pdf_ec_lvl_Stepper->intValue();
    s.dm_module_val = dm_moduleStepper_2D->intValue();
    s.dm_format_index = dm_format_ComboBox->currentIndex();
    s.dm_encoding_index = dm_encoding_ComboBox->currentIndex();
    s.hdr_margin_val = static_cast<float>(hdr_mar_Stepper->value());
    s.ftr_margin_val = static_cast<float>(ftr_mar_Stepper->value());
    s.val_margin_val = static_cast<float>(val_mar_Stepper->value());
    s.TB_marging_val = static_cast<float>(TB_mar_Stepper->value());
    s.LR_margin_val = static_cast<float>(LR_mar_Stepper->value());
    s.value_font_val = value_font;
    s.header_font_val = header_font;
    s.footer_font_val = footer_font;
    s.barcode_hdr_clr_val = bar_hdr_clr->color();
    s.barcode_ftr_clr_val = bar_ftr_clr->color();
    s.barcode_val_clr_val = bar_val_clr->color();
    s.barcode_back_clr_val = bar_back_clr->color();
    s.barcode_clr_val = barcode_clr->color();
    s.dpi_val_index = DPI_ComboBox->currentIndex();
    s.dpi_custom_val = DPI_ComboBox->currentText() == kCustom ? QString::number(dpi_Stepper->intValue())
                                                                : m_dpi_custom_val;
    s.kerning_value = kerning_value_Checkbox->isChecked();
    return s;
}

QString Barcode_Gen::currentValue() const
{
    return entered(liner_or_2D_font == 1 ? dataText_2D->toPlainText() : dataText->text());
}

void Barcode_Gen::setFontLabel(QLabel *label, const QFont &font)
{
    label->setText(PanelConversions::fontLabel(font));
}

void Barcode_Gen::setValueText(const QString &value)
{
    const QSignalBlocker quietLine(dataText);
    const QSignalBlocker quietText(dataText_2D);
    if (liner_or_2D_font == 1)
        dataText_2D->setPlainText(value);
    else
        dataText->setText(value);
}

// --- Opening and hand-off --------------------------------------------------------------------------------

void Barcode_Gen::Set_Barcode_Prop_To_Control(const SKTGraphicPtr &graphic)
{
    if (!graphic)
        return;
    const QScopedValueRollback<bool> filling(App().Not_Draw_Only_Prop_Change, true);
    guarded([&] {
        pass_barcode_control = graphic;
        showSettings(Barcode_Settings_Of(*graphic));
        {
            const QSignalBlocker quiet(Data_source_type);
            const bool excel = DataSources().Excel_Binding_Use;
            const QString excelItem = dataSourceTypeName(DataSourceType::Excel);
            if (excel && Data_source_type->findText(excelItem) < 0)
                Data_source_type->addItem(excelItem);
            else if (!excel && Data_source_type->findText(excelItem) >= 0)
                Data_source_type->removeItem(Data_source_type->findText(excelItem));
            selectIndex(Data_source_type, graphic->binding.data_source_type);
        }
        showDataSource(dataSourceTypeOfCode(Data_source_type->currentIndex()));
        if (liner_or_2D_font == 1)
            two_d_barcode_Opt_Select();
        else
            Liner_Barcode_Opt_Select();
        kerning_value_Checkbox->setEnabled(spreadsCaption(shownSymbology(*barcodeTypePopup)));
        _setLabels();
    });
}

void Barcode_Gen::Prepare_Wnd(const SKTGraphicPtr &graphic)
{
    // Only this opening's OK hands a picture over.
    Barcode_output_image = QImage();
    if (graphic)
        m_openedSource = {graphic->binding.data_source_type, graphic->binding.batch_list_name,
                          graphic->binding.excel_col_indx};
    Set_Barcode_Prop_To_Control(graphic);
    guarded([this] { goButtonActionPerformed(); });
}

void Barcode_Gen::Finish_Wnd(int code)
{
    if (code != 1) {
        Barcode_output_image = QImage();
        SKTGraphic *object = pass_barcode_control.get();
        if (object && m_openedSource != std::tuple(object->binding.data_source_type, object->binding.batch_list_name,
                                                   object->binding.excel_col_indx)) {
            showBoundValueInObject(*object);
            m_design.Refresh_Canvas();
        }
        return;
    }
    if (pass_barcode_control)
        Set_Barcode_Settings(*pass_barcode_control, currentSettings());
}

SKTGraphicPtr Barcode_Gen::Open_Wnd(const SKTGraphicPtr &graphic)
{
    if (!graphic)
        return nullptr;
    Prepare_Wnd(graphic);
    const int code = exec();
    Finish_Wnd(code);
    return graphic;
}

void Barcode_Gen::OK_Btn_Clicked()
{
    if (!Check_And_Validat_Barcode(false, false))
        return;
    // The picture the object will show; a value the symbology rejects keeps the window open.
    const BarcodeSettings settings = currentSettings();
    const QImage picture =
        Get_Image_From_Val(settings, currentValue(), entered(HeaderText->text()), entered(FooterText->text()))
            .toImage(settings.USED_DPI_VALUE());
    if (picture.isNull()) {
        Set_Blank_Image();
        return;
    }
    Barcode_output_image = picture;
    done(1);
}

void Barcode_Gen::Cancel_Btn_Clicked()
{
    Barcode_output_image = QImage();
    done(0);
}

void Barcode_Gen::reject()
{
    // Escape and the window's close button cancel too.
    Cancel_Btn_Clicked();
}

// --- Generation and preview --------------------------------------------------------------------------------

void Barcode_Gen::goButtonActionPerformed()
{
    if (!Check_And_Validat_Barcode(false, false))
        return;
    testBarcode =
        Generate_Barcode_Variable(1, currentValue(), entered(HeaderText->text()), entered(FooterText->text()));
}

void Barcode_Gen::Encode_btn()
{
    guarded([this] { goButtonActionPerformed(); });
}

bool Barcode_Gen::Check_And_Validat_Barcode(bool show_message, bool check_image)
{
    barcode_error_label->hide();
    bool valid = true;
    guarded([&] {
        const QString value = currentValue();
        // The linear models hold ASCII only; a 2-D symbol holds the value's UTF-8 bytes, so its
        // encoder alone judges the value, as it does in a run.
        const QString outsideAscii = liner_or_2D_font != 1 ? firstNonAscii(value) : QString();
        bool invalid = value.isEmpty() || !outsideAscii.isEmpty();
        if (!invalid && check_image)
            invalid = (testBarcode && !testBarcode->isContentValid()) || m_preview.isNull();
        if (invalid) {
            Set_Blank_Image();
            if (!outsideAscii.isEmpty())
                barcode_error_label->setText(
                    tr("The linear symbologies hold ASCII characters only: \"%1\" cannot be encoded.").arg(outsideAscii));
            if (show_message)
                Show_MessageBox(QStringLiteral("Invalid barcode value"));
            valid = false;
        }
    });
    return valid;
}

std::shared_ptr<NKDBarcode> Barcode_Gen::Generate_Barcode_Variable(int show, const QString &value,
                                                                   const QString &header, const QString &footer)
{
    if (App().Not_Draw_Only_Prop_Change)
        return testBarcode;
    if (value.isEmpty())
        return nullptr;
    std::shared_ptr<NKDBarcode> linear;
    guarded([&] {
        if (show == 1) {
            m_preview = BarcodePicture();
            barcodeImage->clear();
            barcode_error_label->hide();
        }
        Get_Print_State();
        if (liner_or_2D_font != 1) {
            std::shared_ptr<NKDBarcode> model = ::Generate_Barcode_Variable(currentSettings(), value, header, footer);
            if (!model) {
                if (show == 1)
                    Set_Blank_Image();
                return;
            }
            if (show == 1)
                Get_Image_From_Barcode(model);
            linear = model;
            return;
        }
        if (show == 1 && shownSymbology(*barcodeTypePopup) == &Barcode_Symbology_Of(Symbology::QRCode))
            keepQrSizeForValue(value);
        image_2d = Barcode_2D_Symbol(currentSettings(), value);
        if (show == 1) {
            if (image_2d.isNull())
                Set_Blank_Image();
            else
                Get_Image_From_barcode_image(image_2d);
        }
    });
    return linear;
}

void Barcode_Gen::keepQrSizeForValue(const QString &value)
{
    const BarcodeSettings settings = currentSettings();
    const int needed = std::max(QR_Minimum_Size(settings.qr_version_index), QR_Modules_For(settings, value));
    const QSignalBlocker quiet(HeightStepper_2D);
    setQrSizeFloor(needed);
}

void Barcode_Gen::setQrSizeFloor(int modules)
{
    HeightStepper_2D->setMinimum(modules);
    HeightStepper_2D->setToolTip(
        tr("At least %1 pt for this version and value: a module is never drawn smaller than one point, so a "
           "value that needs more modules makes the symbol larger than the size asked for.")
            .arg(modules));
}

void Barcode_Gen::Get_Image_From_Barcode(const std::shared_ptr<NKDBarcode> &model)
{
    if (!Check_And_Validat_Barcode(false, false))
        return;
    barcodeImage->setAlignment(Qt::AlignCenter);
    Set_Barcode_On_Panel(imageFromBarcode(model, currentSettings()));
}

void Barcode_Gen::Get_Image_From_barcode_image(const QImage &symbol)
{
    if (image_2d.isNull()) {
        Set_Blank_Image();
        return;
    }
    guarded([&] {
        barcodeImage->setAlignment(Qt::AlignCenter);
        const BarcodeSettings settings = currentSettings();
        const Barcode_2D_Frame frame =
            Barcode_2D_Frame_For(settings, currentValue(), entered(HeaderText->text()), entered(FooterText->text()),
                                 symbol);
        Set_Barcode_On_Panel(imageFromBarcodeImage(symbol, frame, settings));
    });
}

void Barcode_Gen::Get_2d_barcode_from_image()
{
    if (image_2d.isNull()) {
        Set_Blank_Image();
        return;
    }
    if (liner_or_2D_font == 1)
        Get_Image_From_barcode_image(image_2d);
}

void Barcode_Gen::Set_Barcode_On_Panel(const BarcodePicture &picture)
{
    m_preview = picture;
    // At its own size in points, drawn for the screen's pixels.
    const qreal ratio = devicePixelRatioF();
    const QImage image = picture.toImage(72.0 * ratio);
    if (image.isNull()) {
        Set_Blank_Image();
        return;
    }
    barcodeImage->setPixmap(QPixmap::fromImage(image));
    barcode_error_label->hide();
}

void Barcode_Gen::Set_Blank_Image()
{
    image_2d = QImage();
    m_preview = BarcodePicture();
    barcodeImage->clear();
    barcode_error_label->setText(tr("The value cannot be encoded in this symbology."));
    barcode_error_label->show();
}

bool Barcode_Gen::isBlank() const
{
    return m_preview.isNull();
}

bool Barcode_Gen::Get_Print_State()
{
    if (!captionCheckbox->isEnabled())
        return false;
    const bool printed = !captionCheckbox->isChecked();
    showinTopCheckbox->setEnabled(printed);
    return printed;
}

void Barcode_Gen::setBoxShown(QWidget *widget, bool shown)
{
    // A row of a form goes with its label.
    if (auto *rows = widget->parentWidget() ? qobject_cast<QFormLayout *>(widget->parentWidget()->layout()) : nullptr;
        rows && rows->indexOf(widget) >= 0) {
        rows->setRowVisible(widget, shown);
        return;
    }
    widget->setVisible(shown);
}

void Barcode_Gen::Liner_Barcode_Opt_Select()
{
    liner_or_2D_font = 0;
    dataText->setEnabled(true);
    dataText->show();
    dataText_2D_scl_v->hide();
    for (QWidget *widget : std::initializer_list<QWidget *>{val_text_box, val_mar_Stepper, barcode_clr, bar_back_clr,
                                                            bar_val_clr, linear_sett_box})
        setBoxShown(widget, true);
    for (QWidget *box : {two_d_sett_box, pdf_2d_sett_box, dm_2d_sett_box})
        box->hide();
    if (sett_tab->count() == 4)
        sett_tab->removeTab(sett_tab->indexOf(dpi_tab_item));
    sett_tab->setCurrentIndex(0);
}

void Barcode_Gen::two_d_barcode_Opt_Select()
{
    liner_or_2D_font = 1;
    dataText->setEnabled(false);
    dataText->hide();
    dataText_2D_scl_v->show();
    for (QWidget *widget : std::initializer_list<QWidget *>{val_text_box, val_mar_Stepper, barcode_clr, bar_back_clr,
                                                            bar_val_clr, linear_sett_box})
        setBoxShown(widget, false);
    if (sett_tab->count() == 3)
        sett_tab->insertTab(3, dpi_tab_item, tr("Resolution"));
    if (const Barcode_Symbology *symbology = shownSymbology(*barcodeTypePopup); symbology && symbology->isTwoD()) {
        two_d_sett_box->setVisible(symbology->id == Symbology::QRCode);
        pdf_2d_sett_box->setVisible(symbology->id == Symbology::PDF417);
        dm_2d_sett_box->setVisible(symbology->id == Symbology::DataMatrix);
    }
}

void Barcode_Gen::Check_And_Set_QR_size_Acc_Version(int version)
{
    // Setting the lower limit raises a smaller size to it; a larger one stays.
    const QSignalBlocker quiet(HeightStepper_2D);
    setQrSizeFloor(QR_Minimum_Size(version));
}

void Barcode_Gen::_setLabels()
{
    if (liner_or_2D_font == 1) {
        barHeightLabel->setText(tr("Bar Height :"));
        barWidthLabel->setText(tr("Bar Width :"));
        return;
    }
    barHeightLabel->setText(tr("Bar Height (cm):"));
    margin_box->setTitle(tr("Margins (cm)"));
    barWidthLabel->setText(tr("Bar Width (Mils):"));
}

// --- Actions of the controls ------------------------------------------------------------------------

void Barcode_Gen::resizeAndRedraw()
{
    if (liner_or_2D_font != 1 && testBarcode)
        goButtonActionPerformed();
}

void Barcode_Gen::barcodeTypeChanged()
{
    guarded([this] {
        const Barcode_Symbology *symbology = shownSymbology(*barcodeTypePopup);
        if (symbology && symbology->isTwoD()) {
            two_d_barcode_Opt_Select();
        } else {
            Liner_Barcode_Opt_Select();
            for (QWidget *control : std::initializer_list<QWidget *>{
                     HeightStepper, widthStepper, captionCheckbox, hideHeaderCheckbox, hideFooterCheckbox, FooterText,
                     val_mar_Stepper, hdr_mar_Stepper, ftr_mar_Stepper, align_hdr_combo, align_ftr_combo,
                     kerning_value_Checkbox})
                control->setEnabled(true);
            Get_Print_State();
            kerning_value_Checkbox->setEnabled(spreadsCaption(symbology));
        }
        _setLabels();
        showBoundValue();
        if (currentValue().isEmpty()) {
            Show_MessageBox(QStringLiteral("Please enter barcode value"));
            Set_Blank_Image();
            return;
        }
        goButtonActionPerformed();
    });
}

void Barcode_Gen::controlTextDidChange(QObject *control)
{
    guarded([this, control] {
        if (control != dataText && control != HeaderText && control != FooterText)
            return;
        if (liner_or_2D_font != 1)
            goButtonActionPerformed();
        else if (control != dataText)
            Get_2d_barcode_from_image();
    });
}

void Barcode_Gen::textDidChange()
{
    guarded([this] {
        if (liner_or_2D_font == 1)
            goButtonActionPerformed();
    });
}

void Barcode_Gen::textDidEndEditing(QObject *control)
{
    controlTextDidChange(control);
}

std::optional<QFont> Barcode_Gen::pickFont(const QFont &current, const QString &title)
{
    return chooseFont ? chooseFont(current, title) : std::nullopt;
}

void Barcode_Gen::Value_Font_Changed()
{
    if (const std::optional<QFont> font = pickFont(value_font, tr("Value Text Font")))
        changeFont(*font);
}

void Barcode_Gen::Header_Font_Changed()
{
    if (const std::optional<QFont> font = pickFont(header_font, tr("Header Font")))
        header_changeFont(*font);
}

void Barcode_Gen::Footer_Font_Changed()
{
    if (const std::optional<QFont> font = pickFont(footer_font, tr("Footer Font")))
        footer_changeFont(*font);
}

void Barcode_Gen::changeFont(const QFont &font)
{
    useFont(value_font, value_font_value, font);
}

void Barcode_Gen::header_changeFont(const QFont &font)
{
    useFont(header_font, header_font_value, font);
}

void Barcode_Gen::footer_changeFont(const QFont &font)
{
    useFont(footer_font, footer_font_value, font);
}

void Barcode_Gen::useFont(QFont &kept, QLabel *shown, const QFont &font)
{
    guarded([&] {
        kept = font;
        setFontLabel(shown, font);
        redrawAround();
    });
}

void Barcode_Gen::redrawAround()
{
    if (liner_or_2D_font == 1)
        Get_2d_barcode_from_image();
    else
        resizeAndRedraw();
}

void Barcode_Gen::Value_Margin_Changed()
{
    resizeAndRedraw();
}

void Barcode_Gen::Header_Margin_Changed()
{
    redrawAround();
}

void Barcode_Gen::Footer_Margin_Changed()
{
    redrawAround();
}

void Barcode_Gen::LR_Margin_Changed()
{
    redrawAround();
}

void Barcode_Gen::TB_Margin_Changed()
{
    redrawAround();
}

void Barcode_Gen::heightChanged()
{
    if (liner_or_2D_font == 1)
        goButtonActionPerformed();
    else
        resizeAndRedraw();
}

void Barcode_Gen::widthChanged()
{
    heightChanged();
}

void Barcode_Gen::pdf_heightChanged()
{
    goButtonActionPerformed();
}

void Barcode_Gen::PDF_EC_Lvl_Changed()
{
    goButtonActionPerformed();
}

void Barcode_Gen::dm_modulesizeChanged()
{
    goButtonActionPerformed();
}

void Barcode_Gen::captionChanged()
{
    if (liner_or_2D_font == 1) {
        Get_2d_barcode_from_image();
        return;
    }
    Get_Print_State();
    resizeAndRedraw();
}

void Barcode_Gen::showinTopChanged()
{
    resizeAndRedraw();
}

void Barcode_Gen::hideHeaderChanged()
{
    Header_Margin_Changed();
}

void Barcode_Gen::hideFooterChanged()
{
    Header_Margin_Changed();
}

void Barcode_Gen::Header_Color_Changed()
{
    Header_Margin_Changed();
}

void Barcode_Gen::comboBoxSelectionDidChange(QComboBox *combo)
{
    guarded([this, combo] {
        if (combo == DPI_ComboBox) {
            // The resolution is the next picture's; the preview on screen does not show it.
            dpi_Stepper->setVisible(DPI_ComboBox->currentText() == kCustom);
            return;
        }
        if (combo == Data_source_type) {
            Data_Source_Changed();
            return;
        }
        if (combo == Batch_Series) {
            Batch_Series_Changed();
            return;
        }
        if (liner_or_2D_font == 1) {
            if (combo == qr_version_ComboBox)
                Check_And_Set_QR_size_Acc_Version(qr_version_ComboBox->currentIndex());
            if (combo == qr_version_ComboBox || combo == qr_ec_lvl_ComboBox || combo == dm_format_ComboBox ||
                combo == dm_encoding_ComboBox)
                goButtonActionPerformed();
            else if (combo == align_hdr_combo || combo == align_ftr_combo)
                Get_2d_barcode_from_image();
            return;
        }
        if (!testBarcode)
            return;
        if (combo == align_hdr_combo || combo == align_ftr_combo) {
            resizeAndRedraw();
        } else if (combo == bar_align_combo) {
            static const QHash<QString, Qt::Alignment> alignments{
                {QStringLiteral("Center"), Qt::AlignCenter},
                {QStringLiteral("Top"), Qt::AlignTop | Qt::AlignHCenter},
                {QStringLiteral("TopLeft"), Qt::AlignTop | Qt::AlignLeft},
                {QStringLiteral("TopRight"), Qt::AlignTop | Qt::AlignRight},
                {QStringLiteral("Left"), Qt::AlignLeft | Qt::AlignVCenter},
                {QStringLiteral("Bottom"), Qt::AlignBottom | Qt::AlignHCenter},
                {QStringLiteral("BottomLeft"), Qt::AlignBottom | Qt::AlignLeft},
                {QStringLiteral("BottomRight"), Qt::AlignBottom | Qt::AlignRight},
                {QStringLiteral("Right"), Qt::AlignRight | Qt::AlignVCenter}};
            if (const auto found = alignments.constFind(bar_align_combo->currentText()); found != alignments.cend())
                barcodeImage->setAlignment(*found);
        }
    });
}

void Barcode_Gen::DPI_Value_Changed()
{
    // The stepper and its field are one control; the next picture takes the value.
    m_dpi_custom_val = QString::number(dpi_Stepper->intValue());
}

// --- Data source ---------------------------------------------------------------------------------------

void Barcode_Gen::fillSeriesList(const QStringList &items, int selected)
{
    const QSignalBlocker quiet(Batch_Series);
    Batch_Series->clear();
    Batch_Series->addItems(items);
    selectIndex(Batch_Series, selected);
}

void Barcode_Gen::showDataSource(std::optional<DataSourceType> source)
{
    const bool bound = source == DataSourceType::Series || source == DataSourceType::Excel;
    view_series_btn->setEnabled(bound);
    Batch_Series->setEnabled(bound);
    dataText->setReadOnly(bound);
    dataText_2D->setReadOnly(bound);
    const SKTGraphic *object = pass_barcode_control.get();
    if (source == DataSourceType::Series) {
        const QStringList names = Get_datasheet_File_Name_Array();
        fillSeriesList(names, object && !object->binding.batch_list_name.isEmpty()
                                  ? static_cast<int>(names.indexOf(object->binding.batch_list_name))
                                  : -1);
    } else if (source == DataSourceType::Excel) {
        fillSeriesList(Data_From_Excel::defaultInstance()->columnTitles(),
                       object ? object->binding.excel_col_indx : -1);
    } else {
        fillSeriesList({}, -1);
    }
}

void Barcode_Gen::Data_Source_Changed()
{
    const std::optional<DataSourceType> chosen = dataSourceTypeNamed(Data_source_type->currentText());
    SKTGraphic *object = pass_barcode_control.get();
    if (chosen == DataSourceType::Typed) {
        showDataSource(DataSourceType::Typed);
        if (object)
            setDataSourceType(*object, DataSourceType::Typed);
    } else if (chosen == DataSourceType::Series) {
        view_series_btn->setEnabled(true);
        Batch_Series->setEnabled(true);
        dataText->setReadOnly(true);
        dataText_2D->setReadOnly(true);
        fillSeriesList({}, -1);
        if (Get_datasheet_File_Name_Array().isEmpty()) {
            Show_MessageBox(QStringLiteral("Please create batch processing series first."));
            return;
        }
        showDataSource(DataSourceType::Series);
        if (object)
            setDataSourceType(*object, DataSourceType::Series);
    } else {
        showDataSource(DataSourceType::Excel);
        if (object)
            setDataSourceType(*object, DataSourceType::Excel);
    }
    goButtonActionPerformed();
}

void Barcode_Gen::Batch_Series_Changed()
{
    const QString name = Trim_Str(Batch_Series->currentText());
    const int index = Batch_Series->currentIndex();
    SKTGraphic *object = pass_barcode_control.get();
    if (name.isEmpty() || !object)
        return;
    QString first;
    if (dataSourceTypeOf(*object) == DataSourceType::Excel) {
        object->Set_Excel_binding_Index(index, Data_From_Excel::defaultInstance()->columnTitles().value(index));
        first = Data_From_Excel::defaultInstance()->Get_First_Value_Of_Excel_Binding(index);
    } else {
        object->Set_Batch_List_Name(name);
        object->Set_Batch_List_Index(index);
        first = Get_First_Value_Of_Dataset(name);
    }
    setValueText(first);
    goButtonActionPerformed();
    m_design.Refresh_Canvas();
}

void Barcode_Gen::showBoundValue()
{
    const SKTGraphic *object = pass_barcode_control.get();
    if (!object || Batch_Series->currentIndex() < 0)
        return;
    if (const std::optional<QString> first = boundFirstValue(*object))
        setValueText(*first);
}

void Barcode_Gen::showBoundValueInObject(SKTGraphic &object)
{
    const QString value = boundFirstValue(object).value_or(Barcode_Settings_Of(object).value());
    QImage picture = value.isEmpty() ? QImage() : Barcode_Image_For_Graphic(object, value);
    if (picture.isNull()) {
        // A value no symbol holds prints as nothing: the object shows nothing, in its old size.
        const QImage &old = object._barcode_image;
        picture = old.isNull() ? QImage() : QImage(old.size(), QImage::Format_ARGB32_Premultiplied);
        if (!picture.isNull()) {
            picture.fill(Qt::transparent);
            picture.setDotsPerMeterX(old.dotsPerMeterX());
            picture.setDotsPerMeterY(old.dotsPerMeterY());
            picture.setDevicePixelRatio(old.devicePixelRatio());
        }
    }
    object.Set_Barcode_image(picture);
}

void Barcode_Gen::View_batch_Series_Button()
{
    const QString name = Trim_Str(Batch_Series->currentText());
    if (name.isEmpty()) {
        Show_MessageBox(QStringLiteral("Please select the series."));
        return;
    }
    m_design.View_Data_Series(name);
}

// --- Help --------------------------------------------------------------------------------------------------

void Barcode_Gen::QR_Version_Help_Btn()
{
    m_design.Open_Long_sms_Dialog(
        QStringLiteral("Version :"),
        QStringLiteral("Version is configuration or number of modules (combination of black and white dots)."));
}

void Barcode_Gen::QR_EC_Lvl_Help_Btn()
{
    m_design.Open_Long_sms_Dialog(QStringLiteral("Error correction (EC) level :"),
                                  QStringLiteral("An error-correction mechanism is built in each symbol so that the "
                                                 "symbol can still be decoded even if it is damaged."));
}

void Barcode_Gen::PDF_ec_lvl_Help_btn()
{
    m_design.Open_Long_sms_Dialog(QStringLiteral("PDF EC Level :"),
                                  QStringLiteral("An error-correction mechanism is built in each symbol so that the "
                                                 "symbol can still be decoded even if it is damaged in PDF barcode."));
}

void Barcode_Gen::DM_format_Help_btn()
{
    m_design.Open_Long_sms_Dialog(QStringLiteral("Preferred Format :"),
                                  QStringLiteral("Preferred Mode determines the smallest size of the symbol."));
}

void Barcode_Gen::DM_Encoding_Help_btn()
{
    m_design.Open_Long_sms_Dialog(QStringLiteral("Encoding Mode :"),
                                  QStringLiteral("Encoding Mode is mode of compaction to encode data in the symbol."));
}

void Barcode_Gen::DPI_Help_Label()
{
    m_design.Open_Long_sms_Dialog(
        QStringLiteral("DPI (Dots Per Inch) :"),
        QStringLiteral("Dots per inch is a measure of the resolution of printers in terms of Print Quality.\n\n"
                       "Bigger the DPI, Better the Print Quality. But File size of image also increases, as you "
                       "choose bigger DPI."));
}
