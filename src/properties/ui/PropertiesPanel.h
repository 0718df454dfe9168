#pragma once

#include "document/SKTGraphic.h"
#include "properties/ui/BarcodeTab.h"

#include <QWidget>

#include <memory>

class AlignmentTab;
class CardBackgroundTab;
class CardPanel;
class CardSettingsTab;
class DataSourceTab;
class FontPanel;
class ImageTab;
class LineTab;
class PanelArrange;
class PanelDesign;
class PanelTab;
class PanelWindow;
class QCheckBox;
class QLabel;
class QLineEdit;
class QTabWidget;
class ShapeTab;
class SignatureTab;
class TextEditTab;
class TextPanel;
class TextPropertiesTab;

// The right-hand properties panel of the design window: one tab view whose tabs follow what is
// shown. Nothing selected shows the current side's card face on two tabs; an object shows the tabs
// of its kind filled from that object, or the lock tab alone while it is locked. Every tab is kept
// for the whole run and only put into the tab view and taken out again.
class PropertiesPanel : public QWidget {
    Q_OBJECT
public:
    PropertiesPanel(PanelDesign &design, PanelWindow &window, PanelArrange &arrange, QWidget *parent = nullptr);
    ~PropertiesPanel() override;

    // The card face for nullptr, else `graphic`'s tabs and values. The same object again only sets
    // the command buttons. Nothing at all happens while the panel is being filled. A failure on the
    // way is logged, and the panel stays usable.
    void Show_RHS_Properties(SKTGraphic *graphic);
    // Takes every tab out of the tab view; none is deleted.
    void Remove_All_Tab_Items();
    // The print box: the print flag of the selected, unlocked objects.
    void Print_object_chk_changed(QObject *sender);

    QTabWidget *sett_tab;
    CardPanel *cardPanel;
    CardSettingsTab *card_setting_tab;
    CardBackgroundTab *card_bkgd_tab;
    ShapeTab *shape_tab;
    LineTab *line_tab;
    TextPanel *textPanel;
    TextEditTab *text_edtng_tab;
    TextPropertiesTab *text_prop_tab;
    ImageTab *image_tab;
    SignatureTab *sign_tab;
    DataSourceTab *datasource_tab;
    PanelTab *Lock_tab;
    AlignmentTab *aligmnt_tab;
    BarcodeTab *barcode_tab;
    QLabel *data_source_title;
    // The font panel the text tab and the card-wide font share.
    FontPanel *fontManager;
    // One print box for every object tab, below the tabs.
    QCheckBox *print_object_chk;
    // The kind of the object shown: "NONE", "T" text, "I" image, or a signature's own code.
    QLineEdit *sel_control_name;
    // The object whose tabs are shown; empty while the card face is.
    std::weak_ptr<SKTGraphic> Last_Selected_Graphic;

private:
    void showCardFace();
    void showObject(SKTGraphic &graphic);
    void insertTab(int index, QWidget *tab);

    PanelDesign &m_design;
    PanelWindow &m_window;
};
