// Creation of the design window controller, the set-up of its window, its attachment to the document,
// and the start of a new design.

#include "platform/ui/StepperSpinBox.h"
#include "window/SKTWindowController.h"

#include "barcode/BarcodeGenerator.h"
#include "canvas/ui/SKTGraphicView.h"
#include "canvas/ui/SKTZoomingScrollView.h"
#include "core/AppState.h"
#include "core/FontNames.h"
#include "core/ImageCategories.h"
#include "core/MessageBoxes.h"
#include "core/Side_Code.h"
#include "core/PathHelpers.h"
#include "core/UnitConversion.h"
#include "datasource/DataSourceState.h"
#include "datasource/Data_From_Excel.h"
#include "document/SKTBarcode.h"
#include "document/SKTDocument.h"
#include "output/ui/RecordRun.h"
#include "output/ui/Send_Modeless.h"
#include "platform/Pasteboard.h"
#include "platform/ScopedFlag.h"
#include "platform/UiServices.h"
#include "profile/ProfileState.h"
#include "profile/User_Profile_Class.h"
#include "window/Card_Wizard.h"
#include "platform/ui/ColorWell.h"
#include "properties/PanelConversions.h"
#include "properties/ui/CardBackgroundTab.h"
#include "properties/ui/CardPanel.h"
#include "properties/ui/CardSettingsTab.h"
#include "properties/ui/PropertiesPanel.h"
#include "properties/ui/ShapeTab.h"
#include "window/Grid_Wizard.h"
#include "window/Invitation_Wizard.h"
#include "window/ResourceFolders.h"
#include "window/StartWizardHost.h"
#include "window/WindowState.h"

#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>
#include <QScreen>
#include <QScopedValueRollback>
#include <QSpinBox>
#include <QStyle>
#include <QTabWidget>

#include <algorithm>
#include <exception>
#include <optional>

namespace {

SKTWindowController *app_DefaultInstance = nullptr;

QImage loadResourcePicture(const QString &folder, const QString &name)
{
    return folder.isEmpty() ? QImage() : loadPicture(folder + name);
}

void selectItem(QComboBox *combo, int index)
{
    if (combo && index < combo->count())
        combo->setCurrentIndex(index);
}

} // namespace

// --- Creation (init) ---------------------------------------------------------------------------

SKTWindowController *SKTWindowController::defaultInstance()
{
    return app_DefaultInstance;
}

std::unique_ptr<SKTWindowController> SKTWindowController::makeWindowControllers(SKTDocument &document)
{
    // One design window for the run: later documents get none.
    if (defaultInstance())
        return nullptr;
    auto controller = std::make_unique<SKTWindowController>();
    controller->setDocument(&document);
    return controller;
}

SKTWindowController::SKTWindowController()
{
    app_DefaultInstance = this;
    App().Main_App_wnd = defaultInstance();

    Text_font = Font_With_Name(App().Text_Ctrl_Font, 14.0);
    App().All_Text_font = Text_font;

    paper_card_arry = {QStringLiteral("Durable 1452 - Name Badge"), QStringLiteral("Durable 1453 - Name Badge"),
                       QStringLiteral("Durable 1454 - Name Badge"), QStringLiteral("Durable 1455 - Name Badge"),
                       QStringLiteral("Durable 1456 - Name Badge"), QStringLiteral("Durable 1457 - Name Badge"),
                       QStringLiteral("Durable 1458 - Name Badge"), QStringLiteral("Durable 1459 - Name Badge")};
    pvc_card_arry = {QStringLiteral("CR80-Credit Card Size"), QStringLiteral("CR79"),
                     QStringLiteral("CR90-Over Sized"),       QStringLiteral("CR100-Military Size"),
                     QStringLiteral("CR50"),                  QStringLiteral("CR60"),
                     QStringLiteral("CR70")};

    // The pictures come with the program, so they are read from the shipped folder.
    act_path_location = ResourceFolders::shippedResourcesFolder();
    m_no_image = loadResourcePicture(act_path_location, QStringLiteral("no.png"));
    banner_image = loadResourcePicture(act_path_location, QStringLiteral("banner.png"));
    promotion_pattern_image = loadResourcePicture(act_path_location, QStringLiteral("pattern_1.jpg"));
    wizard_pattern_image = loadResourcePicture(act_path_location, QStringLiteral("Wizard_pattern.png"));
    m_sign_sample_img = loadResourcePicture(act_path_location, QStringLiteral("sign_sample.png"));
    m_fp_sample_img = loadResourcePicture(act_path_location, QStringLiteral("fingerprints.png"));
    // A new barcode object shows the symbol its default settings make, which reads as it says.
    m_barcode_sample_img = Barcode_Image_For_Graphic(SKTBarcode());

    Front_user_profile = std::make_unique<User_Profile_Class>();
    Back_user_profile = std::make_unique<User_Profile_Class>();
    TEMP_user_profile = std::make_unique<User_Profile_Class>();
    Front_user_profile->Reset_All_Values();
    Back_user_profile->Reset_All_Values();
    TEMP_user_profile->Reset_All_Values();
}

SKTWindowController::~SKTWindowController()
{
    // First: a run's worker must not outlive the window, and a tool change while the window is taken
    // apart would reach controls already gone.
    stopRecordRun();
    m_toolObservation.cancel();
    setDocument(nullptr);
    delete Main_wnd;
    Main_wnd = nullptr;
    if (App().Main_App_wnd == this)
        App().Main_App_wnd = nullptr;
    if (app_DefaultInstance == this)
        app_DefaultInstance = nullptr;
}

// --- Window ------------------------------------------------------------------------------------

QMainWindow *SKTWindowController::window()
{
    if (!m_windowLoaded) {
        m_windowLoaded = true;
        buildWindow();
        awakeFromNib();
    }
    return Main_wnd;
}

void SKTWindowController::showWindow()
{
    QMainWindow *shown = window();
    shown->show();
    shown->raise();
    shown->activateWindow();
}

void SKTWindowController::awakeFromNib()
{
    AppState &app = App();

    // The window itself, shown before the start sequence runs. It keeps within the screen's free
    // area, title bar included: a window reaching past the screen's edge hides the bottom of the card
    // at high zooms, and the scroll bar that would bring it up.
    QRect frame(QPoint(100, 0), QSize(1000, 800));
    if (const QScreen *screen = Main_wnd->screen()) {
        const QRect free = screen->availableGeometry();
        const int titleBar = Main_wnd->style()->pixelMetric(QStyle::PM_TitleBarHeight);
        frame.setSize(frame.size().boundedTo(free.size() - QSize(0, titleBar)).expandedTo(Main_wnd->minimumSizeHint()));
        frame.moveTo(free.left() + std::clamp(free.width() - frame.width(), 0, 100), free.top());
    }
    Main_wnd->move(frame.topLeft());
    Main_wnd->resize(frame.size());
    Main_wnd->show();
    Main_wnd->raise();
    Main_wnd->activateWindow();

    send_modls_wnd = qobject_cast<Send_Modeless *>(Send_Models_Window);
    data_table_content = RecordBinding();

    // Every folder the program writes lives in the per-user copy of the resources.
    app.Resource_Path = ResourceFolders::userResourcesFolder();
    if (!ResourceFolders::prepareUserResources(act_path_location, app.Resource_Path)) {
        Show_MessageBox(QStringLiteral("Can not access Bulk sms Data file."));
        platform::uiServices().terminate(0);
        return;
    }
    app.Data_Folder_Path = app.Resource_Path + QStringLiteral("DataSet");
    // The mail settings live in that copy too.
    Get_Email_Details();

    Load_and_fill_backgrounds();
    selectItem(shape_tab->shape_border_style, 0);
    ListData.clear();
    reloadListTable();

    // The rulers start shown.
    Show_Hide_Ruler_ChkBox();

    // Filling the lists must not write into objects.
    platform::ScopedFlag fillingLists(app.Not_Draw_Only_Prop_Change);
    CardSettingsTab *card = card_setting_tab;
    CardBackgroundTab *background = card_bkgd_tab;
    selectItem(background->Card_image_layout, 1);
    selectItem(card->Sides_ComboBox, 0);
    selectItem(card->Preset_ComboBox, 0);
    selectItem(card->Category_ComboBox, 0);
    // The lists were selected when they were made: their choices run as a selection would run them.
    Properties_Panel->cardPanel->Sides_Changed();
    Properties_Panel->cardPanel->Category_Changed();
    {
        const QSignalBlocker blockDates(Text_Date_style);
        const QSignalBlocker blockTimes(Text_Time_style);
        Text_Date_style->clear();
        Text_Date_style->addItems({QStringLiteral("M-d-yyyy"), QStringLiteral("M-d-yy"), QStringLiteral("MM-dd-yy"),
                                   QStringLiteral("MM-dd-yyyy"), QStringLiteral("yy-MM-dd"),
                                   QStringLiteral("yyyy-MM-dd"), QStringLiteral("dd-MMM-yy"),
                                   QStringLiteral("dd-MM-yyyy"), QStringLiteral("d-M-yy")});
        Text_Time_style->clear();
        Text_Time_style->addItems({QStringLiteral("h:mm:ss a"), QStringLiteral("hh:mm:ss a"),
                                   QStringLiteral("H:mm:ss"), QStringLiteral("HH:mm:ss")});
    }
    selectItem(Text_Date_style, 0);
    selectItem(Text_Time_style, 0);
    selectItem(Text_vert_align_combo, 0);
    selectItem(Text_align_combo, 0);
    selectItem(Text_case_combo, 0);

    QComboBox *shapeHatches = shape_tab->shape_hatch_style;
    QComboBox *cardHatches = background->Card_hatch_style;
    {
        const QSignalBlocker blockShape(shapeHatches);
        const QSignalBlocker blockCard(cardHatches);
        shapeHatches->clear();
        shapeHatches->setCurrentIndex(-1);
        cardHatches->clear();
        cardHatches->setCurrentIndex(-1);
    }
    card->Card_bor_Stepper->setValue(3);
    selectItem(card->Card_border_style, 0);
    card_prop_set(QStringLiteral("S"));

    const QStringList hatches = Get_Files_Array_At_Path(app.Resource_Path + QStringLiteral("Fill_Style_Image"));
    if (!hatches.isEmpty()) {
        {
            const QSignalBlocker blockShape(shapeHatches);
            const QSignalBlocker blockCard(cardHatches);
            shapeHatches->addItems(hatches);
            cardHatches->addItems(hatches);
            shapeHatches->setCurrentIndex(-1);
            cardHatches->setCurrentIndex(-1);
        }
        shapeHatches->setCurrentIndex(0);
        cardHatches->setCurrentIndex(0);
    }
    fillingLists.end();

    // The canvases take the default card size and the document's lists.
    const QSizeF cardSize = SKTDocument::canvasSize(true, QSizeF());
    applyCanvasSize(cardSize);
    // The size controls start at the card's size, so that a step goes on from there.
    Set_Card_Size_In_Control(QSizeF(Points_to_MM_Convert(static_cast<float>(cardSize.width())),
                                    Points_to_MM_Convert(static_cast<float>(cardSize.height()))));
    m_awake = true;
    bindCanvases();

    connectDialogs();
    connectColumnBindings();
    createWindows();
    // Another program's copy enables Paste here too.
    if (QClipboard *clipboard = QGuiApplication::clipboard())
        connect(clipboard, &QClipboard::dataChanged, this, &SKTWindowController::Set_Paste_Button_Status);

    // The current tool once, then every tool change.
    selectedToolDidChange();
    m_toolObservation = platform::Subscription::connection(connect(
        this, &SKTWindowController::SKTSelectedToolDidChange, this, &SKTWindowController::selectedToolDidChange));

    New_Project();
    changeViewController(0);
}

void SKTWindowController::connectDialogs()
{
    // The dialogs know nothing of the window: it lends them its lists and operations. They outlive
    // the window, so each call checks that the window is still there.
    const QPointer<SKTWindowController> self(this);
    Card_Wizard *cardSize = Card_Wizard::defaultInstance();
    cardSize->pvc_card_arry = pvc_card_arry;
    cardSize->paper_card_arry = paper_card_arry;
    cardSize->Get_My_card_Size = &SKTWindowController::Get_My_card_Size;
    cardSize->Set_Document_Size = [self](const QSizeF &points) {
        if (self)
            self->Set_Document_Size(points);
    };
    cardSize->SetDocumentCanvasSize = [self](const QSizeF &points) {
        if (self)
            self->SetDocumentCanvasSize(points);
    };
    cardSize->Open_User_Profile_Window = [self](bool edit, const QString &side) {
        if (self)
            self->Open_User_Profile_Window(edit, side);
    };

    Grid_Wizard *grid = Grid_Wizard::defaultInstance();
    grid->Grid_Clr_Changed = [self](const QColor &color) {
        if (!self)
            return;
        self->_grid._color = color;
        self->_grid.setAlwaysShown(true);
    };
    grid->Grid_Slider_Changed = [self](double spacing) {
        if (!self)
            return;
        self->_grid._spacing = spacing;
        self->_grid.setAlwaysShown(true);
    };
    grid->Grid_Show_Hide_Changed = [self](bool shown) {
        if (self)
            self->_grid.setAlwaysShown(shown);
    };
}

// --- Document ----------------------------------------------------------------------------------

void SKTWindowController::setDocument(SKTDocument *document)
{
    if (document == m_document)
        return;
    m_canvasSizeSubscription.cancel();
    unbindCanvases();
    m_document = document;
    if (m_document)
        m_canvasSizeSubscription = m_document->subscribe(
            SKTDocument::CanvasSizeKey, [this](const QString &key, const QVariant &, const QVariant &newValue) {
                observeValueForKeyPath(key, newValue, QString::fromLatin1(kCanvasSizeContext));
            });
    if (m_awake)
        bindCanvases();
}

void SKTWindowController::bindCanvases()
{
    if (!m_document || _graphicView)
        return;
    SKTGraphicList *lists[3] = {&m_document->graphics(), &m_document->graphics_back(),
                                &m_document->graphics_temp()};
    SKTZoomingScrollView *scrolls[3] = {_zoomingScrollView, _zoomingScrollView_BACK, _zoomingScrollView_TEMP};
    SKTGraphicView **canvases[3] = {&_graphicView, &_graphicView_BACK, &_graphicView_TEMP};
    static const char *const names[3] = {"_graphicView", "_graphicView_BACK", "_graphicView_TEMP"};
    const QSizeF size = _zoomingScrollView->documentSize().isEmpty() ? SKTDocument::defaultCanvasSize
                                                                     : _zoomingScrollView->documentSize();
    const auto bind = [this](const QMetaObject::Connection &connection) {
        m_canvasBindings.push_back(platform::Subscription::connection(connection));
    };
    for (int i = 0; i < 3; ++i) {
        auto *canvas = new SKTGraphicView(*lists[i], m_document);
        canvas->setObjectName(QString::fromLatin1(names[i]));
        canvas->setGrid(&_grid);
        canvas->setCardFace(i == 1 ? &Back_card_Prop : &Front_card_Prop);
        canvas->setCanvasSize(size);
        canvas->setZoomFactor(_zoomFactor);
        scrolls[i]->setDocumentView(canvas);
        scrolls[i]->setDocumentSize(canvas->canvasSize());
        bind(connect(scrolls[i], &SKTZoomingScrollView::zoomFactorChanged, canvas, &SKTGraphicView::setZoomFactor));
        bind(connect(canvas, &SKTGraphicView::rulerEchoChanged, scrolls[i], &SKTZoomingScrollView::echoOnRulers));
        SKTZoomingScrollView *scroll = scrolls[i];
        bind(connect(canvas, &SKTGraphicView::rulersToggleRequested, this, [this, scroll] {
            scroll->toggleRulers();
            syncRulerBox();
        }));
        *canvases[i] = canvas;
        // Whatever comes onto a side (an undo, a paste, a template, an open) finds its column by title.
        m_canvasBindings.push_back(lists[i]->subscribe(findColumnsOfInserted));
    }
}

void SKTWindowController::unbindCanvases()
{
    m_canvasBindings.clear();
    // A canvas holds its list by reference: without the document it cannot stay.
    SKTZoomingScrollView *scrolls[3] = {_zoomingScrollView, _zoomingScrollView_BACK, _zoomingScrollView_TEMP};
    SKTGraphicView **canvases[3] = {&_graphicView, &_graphicView_BACK, &_graphicView_TEMP};
    for (int i = 0; i < 3; ++i) {
        if (!*canvases[i])
            continue;
        if (scrolls[i])
            scrolls[i]->setDocumentView(nullptr);
        delete *canvases[i];
        *canvases[i] = nullptr;
    }
    if (Properties_Panel)
        Properties_Panel->Last_Selected_Graphic.reset();
}

void SKTWindowController::observeValueForKeyPath(const QString &keyPath, const QVariant &newValue,
                                                 const QString &context)
{
    Q_UNUSED(keyPath);
    if (context != QLatin1String(kCanvasSizeContext))
        return;
    if (newValue.canConvert<QSizeF>() && !newValue.isNull())
        SetDocumentCanvasSize(newValue.toSizeF());
}

// --- New design ----------------------------------------------------------------------------------

void SKTWindowController::New_Project_Setting_Reset()
{
    AppState &app = App();
    WindowState &win = Win();
    const platform::ScopedFlag resetting(app.Not_Draw_Only_Prop_Change);

    // Objects copied from the design replaced go with it; what another program put on the
    // pasteboard (text, a picture) is not the program's to take.
    platform::Pasteboard &pasteboard = platform::generalPasteboard();
    if (pasteboard.types().contains(SKTGraphicView::SKTGraphicViewPasteboardType))
        pasteboard.writeItems({});
    Check_Path_And_Create_Files();
    _grid.setAlwaysShown(false);
    if (m_document)
        m_document->Clear_All_Undo_Redo();
    Undo_Redo_Button_state();
    app.last_ctrl_X = 10.0f;
    app.last_ctrl_Y = 10.0f;

    Profiles().Fill_User_Profile = false;
    Front_user_profile->Reset_All_Values();
    Back_user_profile->Reset_All_Values();
    // The bound sheet was the discarded design's: nothing offers its columns any more.
    DataSources().Excel_Binding_Use = false;
    DataSources().Excel_Source_Path.clear();
    Data_From_Excel::defaultInstance()->reset();
    Remove_Excel_Col_Name_In_Combo(Data_source_type);

    app.Project_File_Name.clear();
    main_photo_ds_batch = false;
    setMainPhoto(QImage(), QByteArray(), QImage());
    win.Library_Selected_Image.clear();
    win.Invite_Frame_IMG.clear();
    win.Invite_Frame_Pic_IMG.clear();

    // The content font and colour start afresh whatever the text panel showed.
    app.All_Text_font = Font_With_Name(app.Text_Ctrl_Font, 14.0);
    app.All_Text_clr = QColor(Qt::black);
    if (CardSettingsTab *card = card_setting_tab) {
        card->All_Text_font_value->setText(PanelConversions::fontLabel(app.All_Text_font));
        card->All_Text_clr->setColor(app.All_Text_clr);
        card->All_Text_font_value_COPY->clear();
        card->All_Text_font_COPY.reset();
        card->All_Text_clr_COPY->setColor(app.All_Text_clr);
    }

    for (Card_Property *side : {&Front_card_Prop, &Back_card_Prop}) {
        side->setCard_border_chk(true);
        side->setCard_bordr_clr(QColor(Qt::black));
        side->setCard_bor_Stepper(1);
        side->setCard_border_style(QStringLiteral("S"));
        side->setCard_fill_chk(false);
        side->setCard_fill_style(QStringLiteral("S"));
        side->setCard_fill_clr(QColor(Qt::white));
        side->setCard_fill_Grd_1_clr(QColor(Qt::white));
        side->setCard_fill_Grd_2_clr(QColor(Qt::white));
        side->setCard_grad_Stepper(0);
        side->setCard_hatch_style(QString(QLatin1String("")));
        side->setCard_hatch_bk_clr(QColor(Qt::white));
        side->setCard_alpha_Stepper(100);
        side->setCard_Side(QStringLiteral("2"));
        side->setCard_Side_Name(Side_Code_Name(Side_Code::Front));
        side->setCard_Shape(QStringLiteral("R"));
        side->setCard_Name(QStringLiteral("Untitled"));
        side->setCard_Location(QPointF(0, 0));
        side->setCard_Size(QSizeF(0, 0));
        side->setCard_Preset(QStringLiteral("Horizontal"));
        side->setCard_Category(QStringLiteral("PVC Card"));
        side->setCard_Sub_Category(QStringLiteral("CR80-Credit Card Size"));
        side->setCard_Cat_index(0);
        side->setCard_Create_Mode(QStringLiteral("W"));
        side->setCard_Content_clr(app.All_Text_clr);
        side->setCard_Content_font(app.All_Text_font);
        side->setCard_BG_Image(QImage());
        side->setCard_BG_Image_Path(QString(QLatin1String("")));
        side->setCard_BG_Image_Layout(QStringLiteral("Stretch"));
    }

    Select_front_side();
    card_prop_set(QStringLiteral("S"));
    Set_Log_Name_In_Title();
    delete_all_control(_graphicView);
    delete_all_control(_graphicView_BACK);
}

void SKTWindowController::New_Project()
{
    Log_Exceptions([&] {
        New_Project_Setting_Reset();
        Show_RHS_Properties(nullptr);
        Refresh_Canvas();
        Open_Start_Window();
    });
}

int SKTWindowController::runStartWizard()
{
    return m_invitationWizard ? m_invitationWizard->Open_Wnd() : 0;
}

void SKTWindowController::Open_Start_Window()
{
    if (Front_back_label)
        Front_back_label->hide();
    if (runStartWizard() != 1) {
        platform::uiServices().terminate(0);
        return;
    }
    if (Win().Start_Card_Option != QLatin1String("W"))
        return;
    // The wizard's objects are part of the new design, not steps the user can undo.
    const platform::ScopedUndoDisabling quietly(m_document ? &m_document->undoManager() : nullptr);
    Update_Card_Graphics();
    if (myTargetView)
        myTargetView->show();
    if (sett_tab)
        sett_tab->show();
    if (card_setting_tab) {
        if (QAbstractButton *row = card_setting_tab->matrix_card_shape_rows->button(App().Card_Shape))
            row->setChecked(true);
    }
    Fill_Party_Invidation_Details();
    Show_RHS_Properties(nullptr);
}
