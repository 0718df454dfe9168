#pragma once

#include <QFont>
#include <QList>
#include <QObject>
#include <QString>

class Card_Property;
class CardBackgroundTab;
class CardSettingsTab;
class FontPanel;
class PanelDesign;
struct CardPanelValues;
struct MyImageObject;

// The card panel: the card-settings and card-background tabs, shown while nothing is selected,
// which edit the current side's card face. Every change is written straight into the side's
// settings (no undo) and the side is redrawn. Its actions take the sending control.
class CardPanel : public QObject {
    Q_OBJECT
public:
    explicit CardPanel(PanelDesign &design, QObject *parent = nullptr);
    ~CardPanel() override;

    CardSettingsTab *card_setting_tab;
    CardBackgroundTab *card_bkgd_tab;
    // The font panel shared with the text tab; without one the card-wide font cannot be chosen.
    FontPanel *fontManager = nullptr;

    // The panel into the current side's settings; nothing while the panel is being filled.
    void Update_Card_Graphics();
    // The fill radios for a fill style code and the enabling of the fill controls.
    void card_prop_set(const QString &fillStyle);
    // The tabs show the current side's settings, which take the card's place and size; only while
    // the panel's filling guard is set.
    void fill();
    void Apply_Size_Clicked(QObject *sender);
    void card_shape_CellClick(QObject *sender);
    // Selects that row alone of the card-size list; a row outside it clears the selection.
    void Mark_List_New_Selection(int row);
    // A row of the card-size list chosen by the user: its size into the size controls, for Apply
    // Size to give the card. Filling the panel shows the card's own size and leaves them alone.
    void tableViewSelectionDidChange();

    // Actions of the controls.
    void Set_Card_Clr(QObject *sender);
    void Card_Border_ChkBox(QObject *sender);
    void Card_Border_Changed(QObject *sender);
    void Card_Fill_Chk_Box(QObject *sender);
    void Card_Gradient_Changed(QObject *sender);
    void Card_Alpha_Changed(QObject *sender);
    void Card_Solid_RD_Sel(QObject *sender);
    void Card_Gradient_RD_Sel(QObject *sender);
    void Card_Hatch_RD_Sel(QObject *sender);
    void Card_Image_RD_Sel(QObject *sender);
    void Card_Image_Browse_Btn(QObject *sender);
    void Card_Image_Library_Btn(QObject *sender);
    void Card_Width_Changed(QObject *sender);
    void Card_Height_Changed(QObject *sender);
    void Contect_Color_Clicked(QObject *sender);
    // Opens the font panel for the card-wide font.
    void Content_Font_Clicked(QObject *sender);
    // The font panel's pick while it serves the card-wide font: to the label and the side's texts.
    void changeAllTextFont(const QFont &font);
    // The sides, orientation and category lists.
    void Sides_Changed();
    void Preset_Changed();
    void Category_Changed();

    // --- The background browser: the frame pictures of the resources --------------------------
    // Lists the png and jpg pictures (any letter case) of the resources' "Frames" folder, sorted
    // by name; without that folder the list stays as it is.
    void Load_and_fill_backgrounds();
    // Appends the picture at `path`, trimmed; an empty path adds nothing.
    void addImageWithPath(const QString &path, const QString &imageName, const QString &image_UID);
    int numberOfItemsInImageBrowser() const;
    const MyImageObject &imageBrowser_itemAtIndex(int index) const;
    // Reorders the list in memory only (see ImageBrowserView::moveItemsAtIndexes); always true.
    bool imageBrowser_moveItemsAtIndexes_toIndex(const QList<int> &indexes, int destination);
    // The first picked picture becomes the front's background, whichever side is current.
    void imageBrowserSelectionDidChange();
    // The path of the frame picked last.
    QString selected_image;

private:
    // The current side's settings as the panel shows them, with the card's place and size and the
    // orientation and preset of that size among the presets of `category`, which the list shows.
    CardPanelValues ownValues(const QString &category);
    // The orientation, category and card-size row of `v`.
    void showSizePreset(const CardPanelValues &v);

    void connectActions();
    CardPanelValues values() const;
    // Radios and the controls of one fill style; the fill and border boxes are left alone.
    void showFillStyle(const QString &fillStyle);
    void useBackgroundPicture(const QString &path);

    PanelDesign &m_design;
};
