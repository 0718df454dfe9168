// What the design window asks of the properties panel before the panel itself exists: the panel's
// tabs follow the selection and the object buttons their state, and the picture tools get their
// file. Filling the panel's controls from objects and the card face, and writing them back, belong
// to the panel and are left out here; the functions below that do nothing yet say so.

#include "window/SKTWindowController.h"

#include "canvas/ui/SKTGraphicView.h"
#include "core/AppState.h"
#include "document/SKTDocument.h"
#include "document/SKTImage.h"
#include "platform/Pasteboard.h"
#include "platform/ScopedFlag.h"
#include "platform/UiServices.h"
#include "window/ColorWell.h"
#include "window/WindowState.h"

#include <QAction>
#include <QTabWidget>
#include <QToolButton>

namespace {

QString shapeTabLabel(const QString &code)
{
    static const QHash<QString, QString> names = {
        {QStringLiteral("R"), QStringLiteral("Rectangle Properties")},
        {QStringLiteral("C"), QStringLiteral("Ellipse Properties")},
        {QStringLiteral("RR"), QStringLiteral("Rounded Rectangle Properties")},
        {QStringLiteral("T"), QStringLiteral("Triangle Properties")},
        {QStringLiteral("D"), QStringLiteral("Diamond Properties")},
        {QStringLiteral("S"), QStringLiteral("Star Properties")},
        {QStringLiteral("DS"), QStringLiteral("Double Star Properties")},
        {QStringLiteral("P"), QStringLiteral("Polygon Properties")}};
    return names.value(code);
}

void setEnabled(QToolButton *button, bool enabled)
{
    if (!button)
        return;
    if (QAction *action = button->defaultAction())
        action->setEnabled(enabled);
    else
        button->setEnabled(enabled);
}

} // namespace

SKTGraphicPtr SKTWindowController::findGraphic(const SKTGraphic *graphic) const
{
    if (!graphic || !m_document)
        return nullptr;
    for (SKTGraphicList *list : {&m_document->graphics(), &m_document->graphics_back(), &m_document->graphics_temp()}) {
        const int index = list->indexOf(graphic);
        if (index >= 0)
            return list->at(index);
    }
    return nullptr;
}

QString SKTWindowController::insertTabItem(int index, QWidget *tab)
{
    const QString label = tab->windowTitle();
    sett_tab->insertTab(index, tab, label);
    return label;
}

void SKTWindowController::Remove_All_Tab_Items()
{
    if (!sett_tab)
        return;
    // The pages stay with the window: they are shown again later.
    while (sett_tab->count() > 0)
        sett_tab->removeTab(0);
}

void SKTWindowController::Show_RHS_Properties(SKTGraphic *graphic)
{
    AppState &app = App();
    if (app.Not_Draw_Only_Prop_Change)
        return;
    selectArrowTool();
    if (!sett_tab)
        return;

    if (!graphic) {
        const platform::ScopedFlag showingCard(app.Not_Draw_Only_Prop_Change);
        Clear_Control_Selection(currentCanvas());
        Disable_Standard_Button_For_Card();
        Last_Selected_Graphic.reset();
        Remove_All_Tab_Items();
        insertTabItem(0, card_setting_tab);
        insertTabItem(1, card_bkgd_tab);
        sett_tab->setCurrentIndex(0);
        return;
    }

    Enable_Standard_Button_For_Control();
    const bool locked = graphic->ctrl_is_locked;
    if (locked) {
        Disable_Standard_Button_For_Lock();
    } else {
        Enable_Standard_Button_For_Unlock();
        if (graphic->control_ID == QLatin1String("PARTY_IMAGE")) {
            for (QToolButton *button : {Begin_Front_btn, Send_Back_btn, Lock_btn, Unlock_btn})
                setEnabled(button, false);
        }
    }
    if (Last_Selected_Graphic.lock().get() == graphic)
        return;
    Last_Selected_Graphic = findGraphic(graphic);
    Remove_All_Tab_Items();

    QList<QWidget *> tabs;
    QString lockLabel;
    switch (graphic->kind()) {
    case SKTGraphic::Kind::Text:
        datasource_tab->setWindowTitle(QStringLiteral("Text Source"));
        tabs = {text_edtng_tab, text_prop_tab, datasource_tab};
        lockLabel = QStringLiteral("Text Properties");
        break;
    case SKTGraphic::Kind::Image:
        datasource_tab->setWindowTitle(QStringLiteral("Image Source"));
        tabs = {datasource_tab, image_tab};
        lockLabel = QStringLiteral("Image Properties");
        break;
    case SKTGraphic::Kind::Line:
        tabs = {line_tab};
        lockLabel = QStringLiteral("Line Properties");
        break;
    case SKTGraphic::Kind::Signature:
        sign_tab->setWindowTitle(graphic->sign_or_fingureprint == QLatin1String("S")
                                     ? QStringLiteral("Signature Properties")
                                     : QStringLiteral("FingrePrint Properties"));
        tabs = {sign_tab};
        lockLabel = QStringLiteral("Signature Properties");
        break;
    case SKTGraphic::Kind::Barcode:
        tabs = {barcode_tab};
        lockLabel = QStringLiteral("Barcode Properties");
        break;
    case SKTGraphic::Kind::Shape:
    case SKTGraphic::Kind::Graphic: {
        // A code without a name keeps the label the tab had.
        const QString name = shapeTabLabel(graphic->Get_shape_type());
        if (!name.isEmpty())
            shape_tab->setWindowTitle(name);
        tabs = {shape_tab};
        lockLabel = shape_tab->windowTitle();
        break;
    }
    }
    if (locked) {
        Lock_tab->setWindowTitle(lockLabel);
        insertTabItem(0, Lock_tab);
    } else {
        for (int i = 0; i < tabs.size(); ++i)
            insertTabItem(i, tabs[i]);
        insertTabItem(sett_tab->count(), aligmnt_tab);
    }
    sett_tab->setCurrentIndex(0);
}

// --- Object buttons --------------------------------------------------------------------------------

void SKTWindowController::setButtonsEnabled(bool cut, bool copy, bool del, bool front, bool back, bool lock,
                                            bool unlock)
{
    setEnabled(Cut_btn, cut);
    setEnabled(Copy_btn, copy);
    setEnabled(Delete_btn, del);
    setEnabled(Begin_Front_btn, front);
    setEnabled(Send_Back_btn, back);
    setEnabled(Lock_btn, lock);
    setEnabled(Unlock_btn, unlock);
}

void SKTWindowController::Set_Paste_Button_Status()
{
    // Graphics come first: a pasteboard offering graphics and file names pastes graphics.
    setEnabled(Paste_btn,
               platform::generalPasteboard().types().contains(SKTGraphicView::SKTGraphicViewPasteboardType));
}

void SKTWindowController::Enable_Standard_Button_For_Control()
{
    Enable_Standard_Button_For_Unlock();
}

void SKTWindowController::Enable_Standard_Button_For_Unlock()
{
    Undo_Redo_Button_state();
    setButtonsEnabled(true, true, true, true, true, true, false);
    Set_Paste_Button_Status();
}

void SKTWindowController::Disable_Standard_Button_For_Card()
{
    setButtonsEnabled(false, false, false, false, false, false, false);
    Set_Paste_Button_Status();
}

void SKTWindowController::Disable_Standard_Button_For_Lock()
{
    setButtonsEnabled(false, false, false, false, false, false, true);
    setEnabled(Paste_btn, false);
}

void SKTWindowController::Update_All_Card_Content()
{
    AppState &app = App();
    SKTGraphicView *canvas = currentCanvas();
    if (canvas) {
        const bool colourChanged = All_Text_clr && All_Text_clr_COPY && All_Text_clr->color() != All_Text_clr_COPY->color();
        // Without a baseline the card-wide font was never changed: texts keep their own fonts.
        const bool fontChanged = All_Text_font_COPY && app.All_Text_font != *All_Text_font_COPY;
        for (const SKTGraphicPtr &graphic : canvas->graphics()) {
            if (graphic->kind() == SKTGraphic::Kind::Text) {
                if (colourChanged)
                    graphic->txt_clr = All_Text_clr->color();
                if (fontChanged)
                    graphic->text_ctrl_font = app.All_Text_font;
            } else if (graphic->kind() == SKTGraphic::Kind::Image &&
                       graphic->control_ID == QLatin1String("PARTY_IMAGE_BG") && _graphicView) {
                graphic->setBounds(_graphicView->canvasBounds());
            }
        }
    }
    Update_Card_Graphics();
}

// --- Panel services not built yet ----------------------------------------------------------------

// The fill controls of the card face come with the panel.
void SKTWindowController::card_prop_set(const QString &) {}

// Writing the card-face controls back into the side comes with the panel.
void SKTWindowController::Update_Card_Graphics() {}

// The background browser's pictures come with the panel's browser.
void SKTWindowController::Load_and_fill_backgrounds() {}

// The image panel's effect controls come with the panel.
void SKTWindowController::Reset_Image_Editing_Controls() {}

// The background-path field comes with the panel; the side and the frame picture take the picture
// now, so that a loaded design shows its background.
void SKTWindowController::set_Front_BG_Image(const QString &path)
{
    if (path.isEmpty())
        return;
    Front_card_Prop.setCard_fill_chk(true);
    Front_card_Prop.setCard_BG_Image_Path(path);
    Front_card_Prop.setCard_BG_Image(QImage(path));
    if (SKTGraphicList *front = Get_Front_Controls_Array()) {
        for (const SKTGraphicPtr &graphic : front->items()) {
            if (graphic->control_ID == QLatin1String("PARTY_IMAGE_BG") && graphic->kind() == SKTGraphic::Kind::Image) {
                static_cast<SKTImage &>(*graphic).setFilePath(path);
                break;
            }
        }
    }
    Show_RHS_Properties(nullptr);
}

void SKTWindowController::set_Back_BG_Image(const QString &path)
{
    if (path.isEmpty())
        return;
    Back_card_Prop.setCard_fill_chk(true);
    Back_card_Prop.setCard_fill_style(QStringLiteral("I"));
    Back_card_Prop.setCard_BG_Image_Path(path);
    Back_card_Prop.setCard_BG_Image(QImage(path));
    Show_RHS_Properties(nullptr);
}

// The barcode settings window comes with the barcodes.
void SKTWindowController::Open_Barcode_Window() {}

bool SKTWindowController::Browse_User_Image_Manually()
{
    const QString path = platform::uiServices().chooseFileToOpen(
        QStringLiteral("Choose a Picture"), QString(),
        {QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("jpe"), QStringLiteral("jfif"),
         QStringLiteral("gif"), QStringLiteral("bmp"), QStringLiteral("png"), QStringLiteral("tif"),
         QStringLiteral("tiff")});
    Win().Library_Selected_Image = path;
    return !path.isEmpty();
}

int SKTWindowController::Open_Image_Library_Window(const QString &category)
{
    Q_UNUSED(category);
    // Until the image library window exists, its pictures are chosen from the library folder.
    const QString path = platform::uiServices().chooseFileToOpen(
        QStringLiteral("Choose a Library Picture"), App().Resource_Path + QStringLiteral("LibraryImage"),
        {QStringLiteral("png"), QStringLiteral("jpg"), QStringLiteral("jpeg")});
    if (path.isEmpty())
        return 0;
    Win().lib_window_sel_file = path;
    return 1;
}
