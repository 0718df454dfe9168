#include "properties/ui/PropertiesPanel.h"

#include "core/AppState.h"
#include "core/MessageBoxes.h"
#include "document/ControlTags.h"
#include "properties/PanelConversions.h"
#include "properties/PanelDesign.h"
#include "properties/PanelWindow.h"
#include "properties/ui/AlignmentTab.h"
#include "properties/ui/CardBackgroundTab.h"
#include "properties/ui/CardPanel.h"
#include "properties/ui/CardSettingsTab.h"
#include "properties/ui/DataSourceTab.h"
#include "properties/ui/FontPanel.h"
#include "properties/ui/ImageTab.h"
#include "properties/ui/LineTab.h"
#include "properties/ui/ShapeTab.h"
#include "properties/ui/SignatureTab.h"
#include "properties/ui/TextEditTab.h"
#include "properties/ui/TextPanel.h"
#include "properties/ui/TextPropertiesTab.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QTabWidget>
#include <QVBoxLayout>

#include <exception>
#include <functional>

PropertiesPanel::PropertiesPanel(PanelDesign &design, PanelWindow &window, PanelArrange &arrange, QWidget *parent)
    : QWidget(parent), m_design(design), m_window(window)
{
    setObjectName(QStringLiteral("Properties_Panel"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);

    sett_tab = new QTabWidget(this);
    sett_tab->setObjectName(QStringLiteral("sett_tab"));
    sett_tab->setUsesScrollButtons(true);
    sett_tab->setElideMode(Qt::ElideNone);
    layout->addWidget(sett_tab, 1);

    print_object_chk = new QCheckBox(tr("Leave out when printing"), this);
    print_object_chk->setObjectName(QStringLiteral("print_object_chk"));
    print_object_chk->setToolTip(tr("The object stays on the card but is not printed or exported"));
    auto *printRow = new QHBoxLayout;
    printRow->setContentsMargins(8, 0, 8, 2);
    printRow->addWidget(print_object_chk);
    layout->addLayout(printRow);
    connect(print_object_chk, &QCheckBox::clicked, this, [this] { Print_object_chk_changed(print_object_chk); });
    sel_control_name = new QLineEdit(QStringLiteral("NONE"), this);
    sel_control_name->setObjectName(QStringLiteral("sel_control_name"));
    sel_control_name->hide();

    fontManager = new FontPanel(this);
    cardPanel = new CardPanel(design, this);
    cardPanel->fontManager = fontManager;
    card_setting_tab = cardPanel->card_setting_tab;
    card_bkgd_tab = cardPanel->card_bkgd_tab;
    shape_tab = new ShapeTab(design, print_object_chk);
    line_tab = new LineTab(design, print_object_chk);
    datasource_tab = new DataSourceTab(design, window);
    data_source_title = datasource_tab->data_source_title;
    textPanel = new TextPanel(design, print_object_chk, *datasource_tab, *fontManager, this);
    text_edtng_tab = textPanel->text_edtng_tab;
    text_prop_tab = textPanel->text_prop_tab;
    image_tab = new ImageTab(design, print_object_chk, *datasource_tab);
    sign_tab = new SignatureTab(design, print_object_chk, *datasource_tab);
    // What choosing a source changes on the other tabs.
    datasource_tab->Text_value_Edit = text_edtng_tab->Text_value_Edit;
    datasource_tab->insert_template_btn = text_edtng_tab->insert_template_btn;
    datasource_tab->Update_Image_Graphics = [this] { image_tab->Update_Image_Graphics(); };
    aligmnt_tab = new AlignmentTab(design, arrange);
    barcode_tab = new BarcodeTab(design, print_object_chk);
    Lock_tab = new PanelTab("Lock_tab", tr("Locked"));
    auto *locked = new QLabel(tr("This object is locked. Unlock it to change its properties."));
    locked->setWordWrap(true);
    Lock_tab->addWidget(locked);
    Lock_tab->finish();

    // Every tab lives in the tab view from the start, so it is deleted with it.
    for (QWidget *tab : std::initializer_list<QWidget *>{card_setting_tab, card_bkgd_tab, shape_tab, line_tab,
                                                          text_edtng_tab, text_prop_tab, image_tab, sign_tab,
                                                          datasource_tab, aligmnt_tab, barcode_tab, Lock_tab})
        sett_tab->addTab(tab, tab->windowTitle());
    Remove_All_Tab_Items();
    insertTab(0, card_setting_tab);
    insertTab(1, card_bkgd_tab);
    print_object_chk->hide();
}

PropertiesPanel::~PropertiesPanel() = default;

void PropertiesPanel::insertTab(int index, QWidget *tab)
{
    sett_tab->insertTab(index, tab, tab->windowTitle());
}

void PropertiesPanel::Remove_All_Tab_Items()
{
    // Taking a tab out leaves it a child of the tab view, ready to be shown again.
    while (sett_tab->count() > 0)
        sett_tab->removeTab(0);
}

void PropertiesPanel::Print_object_chk_changed(QObject *)
{
    m_design.print_contol_or_not(print_object_chk->isChecked() ? 1 : 0);
}

void PropertiesPanel::Show_RHS_Properties(SKTGraphic *graphic)
{
    if (App().Not_Draw_Only_Prop_Change)
        return;
    try {
        m_window.selectArrowTool();
        if (graphic)
            showObject(*graphic);
        else
            showCardFace();
    } catch (const std::exception &e) {
        // The filling guard is already cleared: the panel keeps filling and writing back.
        Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
    }
}

void PropertiesPanel::showCardFace()
{
    const QScopedValueRollback<bool> filling(App().Not_Draw_Only_Prop_Change, true);
    m_window.clearCurrentSelection();
    m_window.Disable_Standard_Button_For_Card();
    Last_Selected_Graphic.reset();
    Remove_All_Tab_Items();
    print_object_chk->hide();
    insertTab(0, card_setting_tab);
    insertTab(1, card_bkgd_tab);
    sett_tab->setCurrentIndex(0);
    cardPanel->fill();
    sett_tab->update();
}

void PropertiesPanel::showObject(SKTGraphic &g)
{
    m_window.Enable_Standard_Button_For_Control();
    const bool locked = g.ctrl_is_locked;
    if (locked) {
        m_window.Disable_Standard_Button_For_Lock();
    } else {
        m_window.Enable_Standard_Button_For_Unlock();
        if (isMainPhoto(g))
            m_window.setArrangeAndLockButtonsEnabled(false);
    }
    if (Last_Selected_Graphic.lock().get() == &g)
        return;

    Last_Selected_Graphic = m_window.sharedGraphic(&g);
    Remove_All_Tab_Items();
    print_object_chk->setChecked(g.print_object != 0);
    print_object_chk->setVisible(!locked);
    sel_control_name->setText(QStringLiteral("NONE"));
    {
        const QScopedValueRollback<bool> filling(App().Not_Draw_Only_Prop_Change, true);
        QList<QWidget *> tabs;
        QString lockLabel = Lock_tab->windowTitle();
        std::function<void()> fill;
        switch (g.kind()) {
        case SKTGraphic::Kind::Text:
            sel_control_name->setText(QStringLiteral("T"));
            tabs = {text_edtng_tab, text_prop_tab, datasource_tab};
            lockLabel = tr("Text Properties");
            if (!locked) {
                datasource_tab->setWindowTitle(tr("Text Source"));
                data_source_title->setText(tr("Text Source"));
                datasource_tab->manual_brws_box->hide();
            }
            fill = [this, &g] { textPanel->fill(g); };
            break;
        case SKTGraphic::Kind::Image:
            sel_control_name->setText(QStringLiteral("I"));
            tabs = {datasource_tab, image_tab};
            lockLabel = tr("Image Properties");
            if (!locked) {
                datasource_tab->setWindowTitle(tr("Image Source"));
                data_source_title->setText(tr("Image Source"));
                datasource_tab->manual_brws_box->show();
            }
            fill = [this, &g] {
                // Neither the main photo nor the frame picture moves in the order or locks, locked
                // or not, nor shows effects.
                const bool framePicture = m_window.frontSelectionHoldsFramePicture();
                m_window.setArrangeAndLockButtonsEnabled(!framePicture);
                image_tab->fill(g, framePicture);
            };
            break;
        case SKTGraphic::Kind::Line:
            tabs = {line_tab};
            lockLabel = tr("Line Properties");
            fill = [this, &g] { line_tab->fill(g); };
            break;
        case SKTGraphic::Kind::Signature:
            sel_control_name->setText(g.sign_or_fingureprint);
            sign_tab->setWindowTitle(g.sign_or_fingureprint == QLatin1String("S") ? tr("Signature Properties")
                                                                                : tr("FingrePrint Properties"));
            tabs = {sign_tab};
            lockLabel = tr("Signature Properties");
            fill = [this, &g] { sign_tab->fill(g); };
            break;
        case SKTGraphic::Kind::Barcode:
            tabs = {barcode_tab};
            lockLabel = tr("Barcode Properties");
            break;
        case SKTGraphic::Kind::Shape:
        case SKTGraphic::Kind::Graphic: {
            shape_tab->showShapeMeasures(QString());
            // A code without a name keeps the label shown before.
            const QString name = PanelConversions::shapePropertiesName(g.Get_shape_type());
            if (!name.isEmpty())
                lockLabel = name;
            if (!locked) {
                if (!name.isEmpty())
                    shape_tab->setShapeName(name);
                shape_tab->showShapeMeasures(g.Get_shape_type());
            }
            tabs = {shape_tab};
            fill = [this, &g] { shape_tab->fill(g); };
            break;
        }
        }
        if (locked) {
            Lock_tab->setWindowTitle(lockLabel);
            insertTab(0, Lock_tab);
        } else {
            for (int i = 0; i < tabs.size(); ++i)
                insertTab(i, tabs[i]);
        }
        sett_tab->setCurrentIndex(0);
        if (fill)
            fill();
    }
    if (!locked)
        insertTab(sett_tab->count(), aligmnt_tab);
    sett_tab->update();
}
