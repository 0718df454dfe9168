#include "properties/ui/CardPanel.h"

#include "core/AppState.h"
#include "core/MessageBoxes.h"
#include "document/Card_Property.h"
#include "core/PathHelpers.h"
#include "core/UnitConversion.h"
#include "platform/UiServices.h"
#include "platform/ui/ColorWell.h"
#include "platform/ui/ImageBrowserView.h"
#include "platform/ui/SetObjEnabled.h"
#include "platform/ui/StepperSpinBox.h"
#include "properties/CardPanelValues.h"
#include "properties/PanelConversions.h"
#include "properties/PanelDesign.h"
#include "properties/ui/CardBackgroundTab.h"
#include "properties/ui/CardSettingsTab.h"
#include "properties/ui/CardSizeChoice.h"
#include "properties/ui/FontPanel.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>


namespace {

// The folder of the open design, else the user's pictures.
QString pictureFolder()
{
    const QString design = App().Project_File_Name;
    if (!design.isEmpty())
        return QFileInfo(design).absolutePath();
    return QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
}

int selectedRow(const QTableView *table)
{
    const QItemSelectionModel *selection = table->selectionModel();
    if (!selection)
        return -1;
    const QModelIndexList rows = selection->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

// Makes `page` the current tab of the tab view that shows it, if one does.
void keepInView(QWidget *page)
{
    for (QWidget *parent = page->parentWidget(); parent; parent = parent->parentWidget()) {
        if (auto *tabs = qobject_cast<QTabWidget *>(parent)) {
            const int index = tabs->indexOf(page);
            if (index >= 0)
                tabs->setCurrentIndex(index);
            return;
        }
    }
}

} // namespace

CardPanel::CardPanel(PanelDesign &design, QObject *parent)
    : QObject(parent), card_setting_tab(new CardSettingsTab), card_bkgd_tab(new CardBackgroundTab), m_design(design)
{
    connectActions();
}

// The tabs belong to the tab view they are shown in.
CardPanel::~CardPanel() = default;

void CardPanel::connectActions()
{
    CardSettingsTab *s = card_setting_tab;
    CardBackgroundTab *b = card_bkgd_tab;
    for (ColorWell *well : {s->Card_bordr_clr, b->Card_fill_clr, b->Card_fill_Grd_1_clr, b->Card_fill_Grd_2_clr,
                            b->Card_hatch_bk_clr})
        connect(well, &ColorWell::colorChanged, this, [this, well] { Set_Card_Clr(well); });
    connect(s->Card_border_chk, &QCheckBox::clicked, this, [this, s] { Card_Border_ChkBox(s->Card_border_chk); });
    connect(b->Card_fill_chk, &QCheckBox::clicked, this, [this, b] { Card_Fill_Chk_Box(b->Card_fill_chk); });
    const struct {
        StepperSpinBox *stepper;
        void (CardPanel::*action)(QObject *);
    } steppers[] = {{s->Card_bor_Stepper, &CardPanel::Card_Border_Changed},
                    {b->Card_grad_Stepper, &CardPanel::Card_Gradient_Changed},
                    {b->Card_alpha_Stepper, &CardPanel::Card_Alpha_Changed},
                    {s->width_Stepper, &CardPanel::Card_Width_Changed},
                    {s->height_Stepper, &CardPanel::Card_Height_Changed}};
    for (const auto &entry : steppers) {
        StepperSpinBox *spin = entry.stepper;
        const auto action = entry.action;
        connect(spin, &StepperSpinBox::stepped, this, [this, spin, action] { (this->*action)(spin); });
        connect(spin, &StepperSpinBox::typed, this, [this, spin, action] { (this->*action)(spin->textField()); });
    }
    const struct {
        QRadioButton *radio;
        void (CardPanel::*action)(QObject *);
    } radios[] = {{b->Card_solid_fill_rd, &CardPanel::Card_Solid_RD_Sel},
                  {b->Card_gradient_fill_rd, &CardPanel::Card_Gradient_RD_Sel},
                  {b->Card_Style_fill_rd, &CardPanel::Card_Hatch_RD_Sel},
                  {b->Card_Image_fill_rd, &CardPanel::Card_Image_RD_Sel}};
    for (const auto &entry : radios) {
        QRadioButton *radio = entry.radio;
        const auto action = entry.action;
        connect(radio, &QRadioButton::clicked, this, [this, radio, action] { (this->*action)(radio); });
    }
    connect(b->Card_Image_Browse_btn, &QPushButton::clicked, this,
            [this, b] { Card_Image_Browse_Btn(b->Card_Image_Browse_btn); });
    connect(b->Card_Image_Library_btn, &QPushButton::clicked, this,
            [this, b] { Card_Image_Library_Btn(b->Card_Image_Library_btn); });
    connect(s->Apply_Size_btn, &QPushButton::clicked, this, [this, s] { Apply_Size_Clicked(s->Apply_Size_btn); });
    connect(s->matrix_card_shape_rows, &QButtonGroup::idClicked, this,
            [this, s] { card_shape_CellClick(s->matrix_card_shape); });
    connect(s->All_Text_clr, &ColorWell::colorChanged, this, [this, s] { Contect_Color_Clicked(s->All_Text_clr); });
    connect(s->Content_Font_btn, &QPushButton::clicked, this, [this, s] { Content_Font_Clicked(s->Content_Font_btn); });
    // Selections made while the panel is filled reach these too; the write-back then does nothing.
    for (QComboBox *combo : {b->Card_image_layout, s->Card_border_style, b->Card_hatch_style})
        connect(combo, &QComboBox::currentIndexChanged, this, [this] { Update_Card_Graphics(); });
    connect(s->Sides_ComboBox, &QComboBox::currentIndexChanged, this, [this] { Sides_Changed(); });
    connect(s->Preset_ComboBox, &QComboBox::currentIndexChanged, this, [this] { Preset_Changed(); });
    connect(s->Category_ComboBox, &QComboBox::currentIndexChanged, this, [this] { Category_Changed(); });
    connect(b->imageBrowser, &ImageBrowserView::selectionDidChange, this, [this] { imageBrowserSelectionDidChange(); });
}

CardPanelValues CardPanel::values() const
{
    const CardSettingsTab *s = card_setting_tab;
    const CardBackgroundTab *b = card_bkgd_tab;
    const AppState &app = App();
    CardPanelValues v;
    v.border = s->Card_border_chk->isChecked();
    v.borderColor = s->Card_bordr_clr->color();
    v.borderWidth = s->Card_bor_Stepper->intValue();
    v.borderStyle = s->Card_border_style->currentIndex();
    v.fill = b->Card_fill_chk->isChecked();
    v.fillColor = b->Card_fill_clr->color();
    v.fillRadio = b->Card_Fill_Box->fillType();
    v.gradient1 = b->Card_fill_Grd_1_clr->color();
    v.gradient2 = b->Card_fill_Grd_2_clr->color();
    v.gradientAngle = b->Card_grad_Stepper->value();
    v.hatchBackground = b->Card_hatch_bk_clr->color();
    v.hatchName = b->Card_hatch_style->currentIndex() < 0 ? QString() : b->Card_hatch_style->currentText();
    v.opacityPercent = b->Card_alpha_Stepper->value();
    v.imagePath = b->Card_Image_path->text();
    v.imageLayout = b->Card_image_layout->currentIndex() < 0 ? QString() : b->Card_image_layout->currentText();
    v.contentColor = s->All_Text_clr->color();
    v.contentFont = app.All_Text_font;
    v.sidesIndex = s->Sides_ComboBox->currentIndex();
    v.cardName = s->card_name->text();
    v.preset = s->Preset_ComboBox->currentText();
    v.category = s->Category_ComboBox->currentText();
    v.catIndex = selectedRow(s->ColList);
    v.subCategory = m_design.Get_Item_Text(v.catIndex);
    v.cardShape = app.Card_Shape;
    v.side = app.Card_Front_Or_Back;
    v.frontBounds = m_design.frontCanvasBounds();
    return v;
}

void CardPanel::Update_Card_Graphics()
{
    if (App().Not_Draw_Only_Prop_Change)
        return;
    values().writeInto(m_design.currentCardFace());
    m_design.Refresh_Canvas();
}

CardPanelValues CardPanel::ownValues(const QString &category)
{
    CardSettingsTab *s = card_setting_tab;
    Card_Property &side = m_design.currentCardFace();
    // The card's place and size first, and its category: the size list then shows the presets
    // among which the card's own is found.
    const QRectF front = m_design.frontCanvasBounds();
    side.setCard_Location(front.topLeft());
    side.setCard_Size(front.size());
    s->Category_ComboBox->setCurrentIndex(s->Category_ComboBox->findText(category));
    QList<QSizeF> presetSizes;
    const int presets = s->ColList->model() ? s->ColList->model()->rowCount() : 0;
    for (int row = 0; row < presets; ++row)
        presetSizes << m_design.cardPresetSize(s->Category_ComboBox->currentText(), QStringLiteral("H"), row);
    CardPanelValues v = CardPanelValues::of(side, presetSizes);
    v.category = category;
    return v;
}

void CardPanel::showSizePreset(const CardPanelValues &v)
{
    CardSettingsTab *s = card_setting_tab;
    s->Preset_ComboBox->setCurrentIndex(s->Preset_ComboBox->findText(v.preset));
    s->Category_ComboBox->setCurrentIndex(s->Category_ComboBox->findText(v.category));
    Mark_List_New_Selection(v.catIndex);
}

void CardPanel::fill()
{
    CardSettingsTab *s = card_setting_tab;
    CardBackgroundTab *b = card_bkgd_tab;
    const CardPanelValues v = ownValues(m_design.currentCardFace().Card_Category());

    s->Card_border_chk->setChecked(v.border);
    s->Card_bordr_clr->setColor(v.borderColor);
    s->Card_bor_Stepper->setValue(v.borderWidth);
    if (v.borderStyle >= 0)
        s->Card_border_style->setCurrentIndex(v.borderStyle);
    b->Card_fill_chk->setChecked(v.fill);
    b->Card_fill_clr->setColor(v.fillColor);
    b->Card_fill_Grd_1_clr->setColor(v.gradient1);
    b->Card_fill_Grd_2_clr->setColor(v.gradient2);
    b->Card_grad_Stepper->setValue(v.gradientAngle);
    b->Card_hatch_bk_clr->setColor(v.hatchBackground);
    // Only a pattern fill shows its pattern; other fills leave the list as it is.
    if (v.fillRadio == QLatin1String("H"))
        b->Card_hatch_style->setCurrentIndex(v.hatchName.isEmpty() ? -1 : b->Card_hatch_style->findText(v.hatchName));
    b->Card_alpha_Stepper->setValue(v.opacityPercent);
    b->Card_Image_path->setText(v.imagePath);
    b->Card_image_layout->setCurrentIndex(b->Card_image_layout->findText(v.imageLayout));

    s->All_Text_clr->setColor(v.contentColor);
    App().All_Text_font = v.contentFont;
    const QString fontLabel = PanelConversions::fontLabel(v.contentFont);
    s->All_Text_font_value->setText(fontLabel);
    s->All_Text_font_value_COPY->setText(fontLabel);
    s->All_Text_font_COPY = v.contentFont;
    s->All_Text_clr_COPY->setColor(v.contentColor);
    if (QAbstractButton *row = s->matrix_card_shape_rows->button(App().Card_Shape))
        row->setChecked(true);
    s->card_name->setText(v.cardName);
    showSizePreset(v);
    card_prop_set(v.fillRadio);
}

void CardPanel::card_prop_set(const QString &fillStyle)
{
    // The boxes first, then the style's own controls, which have the last word.
    SetObjEnabled(card_setting_tab->Card_Border_Box, card_setting_tab->Card_border_chk->isChecked());
    SetObjEnabled(card_bkgd_tab->Card_Fill_Box, card_bkgd_tab->Card_fill_chk->isChecked());
    showFillStyle(fillStyle);
    card_bkgd_tab->update();
}

void CardPanel::showFillStyle(const QString &fillStyle)
{
    card_bkgd_tab->Card_Fill_Box->showFillType(fillStyle);
}

void CardPanel::Mark_List_New_Selection(int row)
{
    QTableView *list = card_setting_tab->ColList;
    if (!list->model() || !list->selectionModel())
        return;
    const QModelIndex index = list->model()->index(row, 0);
    if (!index.isValid()) {
        list->clearSelection();
        return;
    }
    list->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
}

void CardPanel::tableViewSelectionDidChange()
{
    if (App().Not_Draw_Only_Prop_Change)
        return;
    CardSettingsTab *s = card_setting_tab;
    showPresetSize([this](const QString &category, const QString &preset,
                          int row) { return m_design.cardPresetSize(category, preset, row); },
                   *s->Category_ComboBox, *s->Preset_ComboBox, selectedRow(s->ColList), *s->width_Stepper,
                   *s->height_Stepper);
}

// --- Size and shape ------------------------------------------------------------------------------

void CardPanel::Apply_Size_Clicked(QObject *)
{
    const QSizeF points(MM_to_Points_Convert(static_cast<float>(card_setting_tab->width_Stepper->value())),
                        MM_to_Points_Convert(static_cast<float>(card_setting_tab->height_Stepper->value())));
    m_design.SetDocumentCanvasSize(points);
    {
        // The orientation and preset shown are the new size's own (none for a size of no
        // preset), and the card settings take them with the size; the size typed stays.
        const QScopedValueRollback<bool> filling(App().Not_Draw_Only_Prop_Change, true);
        showSizePreset(ownValues(card_setting_tab->Category_ComboBox->currentText()));
    }
    // The frame picture follows the new card, and the card settings its place and size.
    m_design.Update_All_Card_Content();
}

void CardPanel::card_shape_CellClick(QObject *sender)
{
    App().Card_Shape = card_setting_tab->matrix_card_shape_rows->checkedId();
    Apply_Size_Clicked(sender);
    m_design.Refresh_Canvas();
}

// Typing a size only fills the field; a step, or the apply button, gives the card that size.
void CardPanel::Card_Width_Changed(QObject *sender)
{
    if (sender == card_setting_tab->width_Stepper)
        Apply_Size_Clicked(sender);
}

void CardPanel::Card_Height_Changed(QObject *sender)
{
    if (sender == card_setting_tab->height_Stepper)
        Apply_Size_Clicked(sender);
}

// --- Border and fill -----------------------------------------------------------------------------

// The text fields are the steppers' own: a step shows in its field at once, and a typed value is
// the stepper's when the action comes.

void CardPanel::Set_Card_Clr(QObject *) { Update_Card_Graphics(); }
void CardPanel::Card_Border_Changed(QObject *) { Update_Card_Graphics(); }
void CardPanel::Card_Gradient_Changed(QObject *) { Update_Card_Graphics(); }
void CardPanel::Card_Alpha_Changed(QObject *) { Update_Card_Graphics(); }

void CardPanel::Card_Border_ChkBox(QObject *)
{
    SetObjEnabled(card_setting_tab->Card_Border_Box, card_setting_tab->Card_border_chk->isChecked());
    Update_Card_Graphics();
}

void CardPanel::Card_Fill_Chk_Box(QObject *)
{
    SetObjEnabled(card_bkgd_tab->Card_Fill_Box, card_bkgd_tab->Card_fill_chk->isChecked());
    // The radios go back to the side's stored style.
    card_prop_set(m_design.currentCardFace().Card_fill_style());
    Update_Card_Graphics();
}

void CardPanel::Card_Solid_RD_Sel(QObject *)
{
    showFillStyle(QStringLiteral("S"));
    Update_Card_Graphics();
}

void CardPanel::Card_Gradient_RD_Sel(QObject *)
{
    showFillStyle(QStringLiteral("G"));
    Update_Card_Graphics();
}

void CardPanel::Card_Hatch_RD_Sel(QObject *)
{
    showFillStyle(QStringLiteral("H"));
    Update_Card_Graphics();
}

void CardPanel::Card_Image_RD_Sel(QObject *)
{
    showFillStyle(QStringLiteral("I"));
    Update_Card_Graphics();
}

void CardPanel::Contect_Color_Clicked(QObject *)
{
    m_design.Update_All_Card_Content();
}

void CardPanel::Content_Font_Clicked(QObject *)
{
    if (fontManager)
        // The card keeps its font by name and size: no underline or strike-out.
        fontManager->open(App().All_Text_font, [this](const QFont &font) { changeAllTextFont(font); }, false);
}

void CardPanel::changeAllTextFont(const QFont &font)
{
    Log_Exceptions([&] {
        App().All_Text_font = font;
        card_setting_tab->All_Text_font_value->setText(PanelConversions::fontLabel(font));
        m_design.Update_All_Card_Content();
    });
}

// --- Background picture --------------------------------------------------------------------------

void CardPanel::useBackgroundPicture(const QString &path)
{
    m_design.setCurrentSideBackground(path);
}

void CardPanel::Card_Image_Browse_Btn(QObject *)
{
    const QString path = platform::uiServices().chooseFileToOpen(
        tr("Choose a Background Picture"), pictureFolder(),
        platform::photoFileTypes());
    if (path.isEmpty())
        return;
    useBackgroundPicture(path);
    Update_Card_Graphics();
}

void CardPanel::Card_Image_Library_Btn(QObject *)
{
    const QString path = m_design.chooseLibraryBackground();
    if (!path.isEmpty())
        useBackgroundPicture(path);
    Update_Card_Graphics();
}

// --- Lists ---------------------------------------------------------------------------------------

void CardPanel::Sides_Changed()
{
    m_design.setTwoSided(card_setting_tab->Sides_ComboBox->currentIndex() == 0);
}

void CardPanel::Preset_Changed()
{
    // The orientation reads the category again, which lists its sizes afresh.
    if (card_setting_tab->Category_ComboBox->currentIndex() < 0)
        return;
    Category_Changed();
}

void CardPanel::Category_Changed()
{
    m_design.showSizePresets(card_setting_tab->Category_ComboBox->currentIndex());
    Mark_List_New_Selection(0);
}

// --- Background browser --------------------------------------------------------------------------

void CardPanel::Load_and_fill_backgrounds()
{
    card_bkgd_tab->imageBrowser->showPicturesIn(Frames_Folder());
}

void CardPanel::addImageWithPath(const QString &path, const QString &imageName, const QString &image_UID)
{
    card_bkgd_tab->imageBrowser->addImageWithPath(path, imageName, image_UID);
}

int CardPanel::numberOfItemsInImageBrowser() const
{
    return card_bkgd_tab->imageBrowser->count();
}

const MyImageObject &CardPanel::imageBrowser_itemAtIndex(int index) const
{
    return card_bkgd_tab->imageBrowser->itemAtIndex(index);
}

bool CardPanel::imageBrowser_moveItemsAtIndexes_toIndex(const QList<int> &indexes, int destination)
{
    card_bkgd_tab->imageBrowser->moveItemsAtIndexes(indexes, destination);
    return true;
}

void CardPanel::imageBrowserSelectionDidChange()
{
    const QList<int> selection = card_bkgd_tab->imageBrowser->selectionIndexes();
    if (selection.isEmpty() || selection.first() >= numberOfItemsInImageBrowser())
        return;
    selected_image = imageBrowser_itemAtIndex(selection.first()).path;
    m_design.setFrontBackground(selected_image);
    m_design.Refresh_Canvas();
    // Showing the card face again selects its first tab; the user is still choosing frames here.
    keepInView(card_bkgd_tab);
}
