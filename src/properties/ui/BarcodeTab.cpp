#include "properties/ui/BarcodeTab.h"

#include "core/AppState.h"
#include "core/DesignWindowHub.h"
#include "properties/BarcodeWriteBack.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>

BarcodeTab::BarcodeTab(PanelDesign &design, QCheckBox *print_object_chk, QWidget *parent)
    : PanelTab("barcode_tab", tr("Barcode Properties"), parent), m_design(design), m_print(print_object_chk)
{
    QFormLayout *rows = addSection(tr("Barcode"));
    auto *note = new QLabel(tr("Symbology, value, texts, sizes and colours are set in the barcode settings "
                               "window. A double click on the barcode opens it too."));
    note->setWordWrap(true);
    rows->addRow(note);
    barcode_prop_btn = named(new QPushButton(tr("Barcode Settings…")), "barcode_prop_btn");
    barcode_prop_btn->setToolTip(tr("Set up the selected barcode"));
    rows->addRow(barcode_prop_btn);
    finish();

    connect(barcode_prop_btn, &QPushButton::clicked, this, [this] { View_barcode_prop_Button(); });
}

void BarcodeTab::View_barcode_prop_Button()
{
    if (DesignWindowHub *window = App().Main_App_wnd)
        window->Open_Barcode_Window();
}

void BarcodeTab::Update_Barcode_Graphics(const SKTGraphic &source, const SKTGraphic *current,
                                         const QImage &Barcode_output_image)
{
    writeBarcodeSettingsToSelection(m_design, source, current, Barcode_output_image,
                                    m_print && m_print->isChecked() ? 1 : 0);
}
