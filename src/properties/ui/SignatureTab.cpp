#include "properties/ui/SignatureTab.h"

#include "canvas/ui/InputShield.h"
#include "core/PathHelpers.h"
#include "document/SKTSignature.h"
#include "platform/UiServices.h"
#include "platform/ui/ColorWell.h"
#include "platform/ui/SetObjEnabled.h"
#include "platform/ui/StepperSpinBox.h"
#include "properties/PanelDesign.h"
#include "properties/PanelWriteBack.h"
#include "properties/SignaturePanelValues.h"
#include "properties/ui/DataSourceTab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

SignatureTab::SignatureTab(PanelDesign &design, QCheckBox *print_object_chk, DataSourceTab &source, QWidget *parent)
    : PanelTab("sign_tab", tr("Signature Properties"), parent), m_design(design), m_print(print_object_chk),
      m_source(source)
{
    QFormLayout *outline = addSection(tr("Outline"));
    Sign_border_chk = checkBox("Sign_border_chk", tr("Draw an outline"));
    addRow(outline, QString(), Sign_border_chk);
    QFormLayout *border = nullptr;
    Sign_Border_Box = innerBox("Sign_Border_Box", &border);
    Sign_bor_Stepper = stepper("Sign_bor_Stepper", "Sign_bor_Text", 0, 50, tr(" pt"));
    Sign_bor_Text = Sign_bor_Stepper->textField();
    Sign_bordr_clr = colorWell("Sign_bordr_clr", tr("Outline colour"));
    Sign_border_style = comboBox("Sign_border_style", outlineStyles());
    addRow(border, tr("Width:"), Sign_bor_Stepper);
    addRow(border, tr("Colour:"), Sign_bordr_clr);
    addRow(border, tr("Style:"), Sign_border_style);
    outline->addRow(Sign_Border_Box);

    QFormLayout *picture = addSection(tr("Picture"));
    Sign_image_path = named(new QLineEdit, "Sign_image_path");
    Sign_image_path->setReadOnly(true);
    Sign_image_path->setPlaceholderText(tr("Sample picture"));
    Sign_image_path->setMinimumWidth(170);
    addRow(picture, tr("File:"), Sign_image_path);
    Sign_Browse_btn = named(new QPushButton(tr("Browse…")), "Sign_Browse_btn");
    Sign_Browse_btn->setToolTip(tr("Choose a scanned signature or fingerprint (PNG)"));
    addRow(picture, QString(), Sign_Browse_btn);
    finish();

    connect(Sign_bordr_clr, &ColorWell::colorChanged, this, [this] { Set_SignControl_Clr(Sign_bordr_clr); });
    connect(Sign_border_chk, &QCheckBox::clicked, this, [this] { Sign_Border_ChkBox(Sign_border_chk); });
    connect(Sign_bor_Stepper, &StepperSpinBox::stepped, this, [this] { Sign_Border_Changed(Sign_bor_Stepper); });
    connect(Sign_bor_Stepper, &StepperSpinBox::typed, this, [this] { Sign_Border_Changed(Sign_bor_Text); });
    connect(Sign_border_style, &QComboBox::currentIndexChanged, this, [this] { Update_Sign_Graphics(); });
    connect(Sign_Browse_btn, &QPushButton::clicked, this, [this] { Sign_Browse_Btn(Sign_Browse_btn); });
}

SignaturePanelValues SignatureTab::values() const
{
    SignaturePanelValues v;
    v.border = Sign_border_chk->isChecked();
    v.borderColor = Sign_bordr_clr->color();
    v.borderWidth = Sign_bor_Stepper->intValue();
    v.borderStyle = Sign_border_style->currentIndex();
    v.path = Sign_image_path->text();
    v.printObject = m_print && m_print->isChecked() ? 1 : 0;
    return v;
}

void SignatureTab::Update_Sign_Graphics()
{
    const SignaturePanelValues v = values();
    writeToSelection(m_design, [&v](SKTGraphic &graphic) { v.writeInto(graphic); });
}

void SignatureTab::fill(SKTGraphic &graphic)
{
    m_source.showDataSource(graphic.binding.data_source_type);
    m_source.showSeries(graphic, false);
    const SignaturePanelValues v = SignaturePanelValues::of(graphic);
    Sign_border_chk->setChecked(v.border);
    Sign_bor_Stepper->setValue(v.borderWidth);
    Sign_bordr_clr->setColor(v.borderColor);
    if (v.borderStyle >= 0)
        Sign_border_style->setCurrentIndex(v.borderStyle);
    // The path shown is the one written back: another signature's would replace this one's picture.
    Sign_image_path->setText(v.path);
    SetObjEnabled(Sign_Border_Box, v.border);
}

void SignatureTab::Set_SignControl_Clr(QObject *) { Update_Sign_Graphics(); }
void SignatureTab::Sign_Border_Changed(QObject *) { Update_Sign_Graphics(); }

void SignatureTab::Sign_Border_ChkBox(QObject *)
{
    SetObjEnabled(Sign_Border_Box, Sign_border_chk->isChecked());
    Update_Sign_Graphics();
}

void SignatureTab::Sign_Browse_Btn(QObject *)
{
    const QString path = platform::uiServices().chooseFileToOpen(
        tr("Choose a Signature Picture"), Panel_Start_Folder(QStandardPaths::PicturesLocation),
        {QStringLiteral("png"), QStringLiteral("PNG")});
    if (path.isEmpty())
        return;
    // Read once, as the window reads pictures; one that cannot be read leaves the signatures as they were.
    const QImage picture = InputShield::loadChosenPicture(window(), path);
    if (picture.isNull())
        return;
    Sign_image_path->setText(path);
    Update_Sign_Graphics();
    for (const SKTGraphicPtr &graphic : m_design.selectedGraphics())
        if (graphic->kind() == SKTGraphic::Kind::Signature && graphic->_file_path == path)
            static_cast<SKTSignature &>(*graphic).setPicture(path, picture);
}
