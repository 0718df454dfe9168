// The "DrawWindow" layout: the design window's widgets, built in code. Every outlet carries its name
// as its objectName; actions are connected here and nowhere else.

#include "window/SKTWindowController.h"

#include "canvas/ui/PleaseWait_Modeless.h"
#include "canvas/ui/SKTZoomingScrollView.h"
#include "canvas/SKTTool.h"
#include "canvas/ui/SKTGraphicView.h"
#include "core/AppState.h"
#include "window/ColorWell.h"
#include "window/ListDataTableModel.h"
#include "window/ToolIcons.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QColor kWindowColor(241, 244, 250);

template <typename Widget>
Widget *named(Widget *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QComboBox *comboBox(const char *name, const QStringList &items = {})
{
    auto *combo = named(new QComboBox, name);
    combo->addItems(items);
    combo->setMinimumWidth(120);
    return combo;
}

QStringList outlineStyles()
{
    return {QStringLiteral("Solid"), QStringLiteral("Dash"), QStringLiteral("Dot"), QStringLiteral("Dash Dot"),
            QStringLiteral("Dash Dot Dot")};
}

// A page of the properties panel: sections stacked from the top.
QWidget *tabPage(const char *name, const QString &title)
{
    auto *page = named(new QWidget, name);
    page->setWindowTitle(title);
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(10, 12, 10, 10);
    layout->setSpacing(12);
    return page;
}

QFormLayout *section(QWidget *page, const QString &title)
{
    auto *box = new QGroupBox(title, page);
    auto *form = new QFormLayout(box);
    form->setContentsMargins(10, 8, 10, 10);
    form->setHorizontalSpacing(10);
    form->setVerticalSpacing(8);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    static_cast<QVBoxLayout *>(page->layout())->addWidget(box);
    return form;
}

void finishPage(QWidget *page)
{
    static_cast<QVBoxLayout *>(page->layout())->addStretch(1);
}

} // namespace

void SKTWindowController::buildWindow()
{
    Main_wnd = named(new QMainWindow, "Main_wnd");
    Main_wnd->installEventFilter(this);
    Main_wnd->setProperty("layoutName", QString::fromLatin1(kWindowLayoutName));
    Main_wnd->setWindowTitle(App().App_Name);
    QPalette palette = Main_wnd->palette();
    palette.setColor(QPalette::Window, kWindowColor);
    Main_wnd->setPalette(palette);
    Main_wnd->setAutoFillBackground(true);

    auto *central = new QWidget(Main_wnd);
    auto *rows = new QVBoxLayout(central);
    rows->setContentsMargins(10, 6, 10, 10);
    rows->setSpacing(8);
    rows->addWidget(buildCommandBar());

    auto *columns = new QHBoxLayout;
    columns->setSpacing(10);
    rows->addLayout(columns, 1);

    auto *palettePanel = named(new QFrame(central), "Tool_Palette");
    buildToolPalette(palettePanel);
    columns->addWidget(palettePanel, 0, Qt::AlignTop);

    // Centre: the side switcher over the canvas panel host.
    auto *centre = new QWidget(central);
    auto *centreLayout = new QVBoxLayout(centre);
    centreLayout->setContentsMargins(0, 0, 0, 0);
    centreLayout->setSpacing(6);
    centreLayout->addWidget(buildSideBar());

    myTargetView = named(new QFrame(centre), "myTargetView");
    static_cast<QFrame *>(myTargetView)->setFrameShape(QFrame::StyledPanel);
    auto *host = new QVBoxLayout(myTargetView);
    host->setContentsMargins(1, 1, 1, 1);
    centreLayout->addWidget(myTargetView, 1);

    static const char *const panels[3] = {"first_view", "second_view", "temp_design_view"};
    static const char *const scrolls[3] = {"_zoomingScrollView", "_zoomingScrollView_BACK",
                                           "_zoomingScrollView_TEMP"};
    SKTZoomingScrollView **scrollFields[3] = {&_zoomingScrollView, &_zoomingScrollView_BACK,
                                              &_zoomingScrollView_TEMP};
    QWidget **panelFields[3] = {&first_view, &second_view, &temp_design_view};
    for (int i = 0; i < 3; ++i) {
        // Panels not shown stay children of the host, hidden, so they live as long as the window.
        auto *panel = named(new QWidget(myTargetView), panels[i]);
        auto *panelLayout = new QVBoxLayout(panel);
        panelLayout->setContentsMargins(0, 0, 0, 0);
        auto *scroll = named(new SKTZoomingScrollView(panel), scrolls[i]);
        panelLayout->addWidget(scroll);
        panel->hide();
        *panelFields[i] = panel;
        *scrollFields[i] = scroll;
        // One zoom for the three sides.
        connect(scroll, &SKTZoomingScrollView::factorChanged, this, [this](double factor) {
            if (factor == _zoomFactor)
                return;
            _zoomFactor = factor;
            for (SKTZoomingScrollView *other : {_zoomingScrollView, _zoomingScrollView_BACK, _zoomingScrollView_TEMP})
                if (other && other->factor() != factor)
                    other->setFactor(factor);
        });
    }
    columns->addWidget(centre, 1);

    buildPropertiesPanel();
    columns->addWidget(sett_tab);

    Main_wnd->setCentralWidget(central);
    buildSheets();
}

void SKTWindowController::buildToolPalette(QWidget *palettePanel)
{
    auto *frame = static_cast<QFrame *>(palettePanel);
    frame->setFrameShape(QFrame::StyledPanel);
    auto *layout = new QVBoxLayout(frame);
    layout->setContentsMargins(6, 8, 6, 8);
    layout->setSpacing(6);
    auto *title = new QLabel(tr("Tools"), frame);
    title->setAlignment(Qt::AlignHCenter);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    layout->addWidget(title);

    auto *grid = new QGridLayout;
    grid->setSpacing(4);
    auto *group = new QButtonGroup(frame);
    group->setExclusive(true);
    int slot = 0;
    for (const SKTTool &tool : SKTTool::palette()) {
        auto *button = named(new QToolButton(frame), tool.button);
        button->setIcon(ToolIcons::toolIcon(tool.number));
        button->setIconSize(QSize(24, 24));
        button->setFixedSize(36, 36);
        button->setCheckable(true);
        button->setAutoRaise(true);
        button->setToolTip(tr(tool.tooltip));
        button->setChecked(tool.number == SKTTool::Arrow);
        group->addButton(button, tool.number);
        connect(button, &QToolButton::clicked, this, [this, number = tool.number] { setTool(number); });
        toolButtons[static_cast<size_t>(tool.number)] = button;
        grid->addWidget(button, slot / 2, slot % 2);
        ++slot;
    }
    layout->addLayout(grid);
    layout->addStretch(1);
}

QWidget *SKTWindowController::buildCommandBar()
{
    auto *bar = named(new QWidget, "Command_Bar");
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);

    using ToolIcons::Command;
    const CommandButton commands[] = {
        {Command::Undo, "Undo_btn", "Undo", QKeySequence::Undo, &SKTWindowController::Undo_Clicked,
         &SKTWindowController::Undo_btn},
        {Command::Redo, "Redo_btn", "Redo", QKeySequence::Redo, &SKTWindowController::Redo_Clicked,
         &SKTWindowController::Redo_btn},
        {Command::Cut, "Cut_btn", "Cut", QKeySequence::Cut, &SKTWindowController::Cut_Clicked,
         &SKTWindowController::Cut_btn},
        {Command::Copy, "Copy_btn", "Copy", QKeySequence::Copy, &SKTWindowController::Copy_Clicked,
         &SKTWindowController::Copy_btn},
        {Command::Paste, "Paste_btn", "Paste", QKeySequence::Paste, &SKTWindowController::Paste_Clicked,
         &SKTWindowController::Paste_btn},
        {Command::Delete, "Delete_btn", "Delete", QKeySequence::Delete, &SKTWindowController::Delete_Clicked,
         &SKTWindowController::Delete_btn},
        {Command::BringToFront, "Begin_Front_btn", "Bring to Front", QKeySequence::UnknownKey,
         &SKTWindowController::Begin_Front_Clicked, &SKTWindowController::Begin_Front_btn},
        {Command::SendToBack, "Send_Back_btn", "Send to Back", QKeySequence::UnknownKey,
         &SKTWindowController::Send_Back_Clicked, &SKTWindowController::Send_Back_btn},
        {Command::Lock, "Lock_btn", "Lock", QKeySequence::UnknownKey, &SKTWindowController::Lock_Clicked,
         &SKTWindowController::Lock_btn},
        {Command::Unlock, "Unlock_btn", "Unlock", QKeySequence::UnknownKey, &SKTWindowController::Unlock_Clicked,
         &SKTWindowController::Unlock_btn},
    };

    QMenu *fileMenu = Main_wnd->menuBar()->addMenu(tr("&File"));
    QAction *newDesign = fileMenu->addAction(tr("&New Design"));
    newDesign->setShortcut(QKeySequence::New);
    connect(newDesign, &QAction::triggered, this, &SKTWindowController::newDocumentWindow);
    buildFileCommands(bar, row, fileMenu);
    QMenu *editMenu = Main_wnd->menuBar()->addMenu(tr("&Edit"));

    for (const CommandButton &entry : commands) {
        QAction *action = addCommandButton(bar, row, entry, 54);
        if (entry.command == Command::BringToFront)
            action->setIconText(tr("To Front"));
        else if (entry.command == Command::SendToBack)
            action->setIconText(tr("To Back"));
        editMenu->addAction(action);
        // Groups: history, clipboard, order, lock.
        if (entry.command == Command::Redo || entry.command == Command::Delete ||
            entry.command == Command::SendToBack) {
            addCommandSeparator(bar, row);
            editMenu->addSeparator();
        }
    }
    editMenu->addSeparator();
    const struct {
        const char *name;
        const char *text;
        QKeySequence::StandardKey key;
        void (SKTGraphicView::*command)();
    } selecting[] = {
        {"Select_All_action", "Select &All", QKeySequence::SelectAll, &SKTGraphicView::selectAll},
        {"Deselect_action", "&Deselect", QKeySequence::Deselect, &SKTGraphicView::deselectAll},
    };
    for (const auto &entry : selecting) {
        QAction *action = editMenu->addAction(tr(entry.text));
        action->setObjectName(QLatin1String(entry.name));
        action->setShortcut(entry.key);
        connect(action, &QAction::triggered, this, [this, command = entry.command] { onCurrentCanvas(command); });
    }
    row->addStretch(1);

    User_Profile_btn = named(new QPushButton(tr("User Profile"), bar), "User_Profile_btn");
    User_Profile_btn->setToolTip(tr("Place a user profile on the current side"));
    connect(User_Profile_btn, &QPushButton::clicked, this, &SKTWindowController::User_Profile_Button_Clicked);
    Share_It_btn = named(new QPushButton(tr("Share"), bar), "Share_It_btn");
    connect(Share_It_btn, &QPushButton::clicked, this, &SKTWindowController::Share_It_Button_Clicked);
    row->addSpacing(12);
    row->addWidget(User_Profile_btn);
    row->addWidget(Share_It_btn);
    return bar;
}

QWidget *SKTWindowController::buildSideBar()
{
    auto *bar = named(new QWidget, "Side_Bar");
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    // Sides: exactly one is shown.
    auto *sides = new QButtonGroup(bar);
    sides->setExclusive(true);
    const struct {
        const char *name;
        const char *text;
        const char *tip;
        QPushButton *SKTWindowController::*field;
        void (SKTWindowController::*action)();
    } sideButtons[] = {
        {"Front_Side_btn", "Front", "Show and edit the front of the card", &SKTWindowController::Front_Side_btn,
         &SKTWindowController::Front_Card_Btn_Clicked},
        {"Back_Side_btn", "Back", "Show and edit the back of the card", &SKTWindowController::Back_Side_btn,
         &SKTWindowController::Back_Card_Btn_Clicked},
        {"Temp_Side_btn", "Preview", "Preview the current side's objects on the scratch side",
         &SKTWindowController::Temp_Side_btn, &SKTWindowController::Temp_Card_Btn_Clicked},
    };
    for (const auto &side : sideButtons) {
        auto *button = named(new QPushButton(tr(side.text), bar), side.name);
        button->setCheckable(true);
        button->setToolTip(tr(side.tip));
        button->setMinimumWidth(64);
        sides->addButton(button);
        connect(button, &QPushButton::clicked, this, side.action);
        this->*side.field = button;
        row->addWidget(button);
    }
    Front_Side_btn->setChecked(true);

    Front_back_label = named(new QLabel(tr("Front"), bar), "Front_back_label");
    Front_back_label->setMinimumWidth(40);
    row->addSpacing(8);
    row->addWidget(Front_back_label);

    row->addStretch(1);
    Show_Ruler_chk = named(new QCheckBox(tr("Show Rulers"), bar), "Show_Ruler_chk");
    Show_Ruler_chk->setToolTip(tr("Show or hide the rulers"));
    // Starts unticked: start-up toggles the rulers on and ticks it with them.
    connect(Show_Ruler_chk, &QCheckBox::clicked, this, &SKTWindowController::Show_Hide_Ruler_ChkBox);
    row->addWidget(Show_Ruler_chk);

    return bar;
}

void SKTWindowController::buildPropertiesPanel()
{
    sett_tab = named(new QTabWidget, "sett_tab");
    sett_tab->setFixedWidth(320);
    sett_tab->setUsesScrollButtons(true);
    sett_tab->setDocumentMode(false);

    // Card settings.
    card_setting_tab = tabPage("card_setting_tab", tr("Card Settings"));
    {
        QFormLayout *card = section(card_setting_tab, tr("Card"));
        Sides_ComboBox = comboBox("Sides_ComboBox", {tr("Two Sides"), tr("One Side")});
        card->addRow(tr("Sides:"), Sides_ComboBox);
        matrix_card_shape = named(new QWidget, "matrix_card_shape");
        auto *rows = new QVBoxLayout(matrix_card_shape);
        rows->setContentsMargins(0, 0, 0, 0);
        rows->setSpacing(4);
        matrix_card_shape_rows = new QButtonGroup(matrix_card_shape);
        const QString shapes[] = {tr("Rectangle"), tr("Rounded Rectangle"), tr("Oval")};
        for (int row = 0; row < 3; ++row) {
            auto *radio = new QRadioButton(shapes[row], matrix_card_shape);
            radio->setObjectName(QStringLiteral("matrix_card_shape_%1").arg(row));
            matrix_card_shape_rows->addButton(radio, row);
            rows->addWidget(radio);
        }
        matrix_card_shape_rows->button(0)->setChecked(true);
        card->addRow(tr("Shape:"), matrix_card_shape);

        QFormLayout *content = section(card_setting_tab, tr("Content Font"));
        All_Text_font_value = named(new QLabel, "All_Text_font_value");
        All_Text_font_value->setWordWrap(true);
        All_Text_clr = named(new ColorWell, "All_Text_clr");
        All_Text_clr->setToolTip(tr("Text colour of the whole card"));
        content->addRow(tr("Font:"), All_Text_font_value);
        content->addRow(tr("Colour:"), All_Text_clr);
        // The baselines against which card-wide changes are found; never shown.
        All_Text_font_value_COPY = named(new QLabel(card_setting_tab), "All_Text_font_value_COPY");
        All_Text_clr_COPY = named(new ColorWell(card_setting_tab), "All_Text_clr_COPY");
        All_Text_font_value_COPY->hide();
        All_Text_clr_COPY->hide();
        finishPage(card_setting_tab);
    }

    card_info_tab = tabPage("card_info_tab", tr("Card Info"));
    finishPage(card_info_tab);

    card_size_tab = tabPage("card_size_tab", tr("Card Size"));
    {
        QFormLayout *size = section(card_size_tab, tr("Size"));
        Category_ComboBox = comboBox("Category_ComboBox", {tr("PVC Card"), tr("Paper Card")});
        Preset_ComboBox = comboBox("Preset_ComboBox", {tr("Horizontal"), tr("Vertical")});
        size->addRow(tr("Category:"), Category_ComboBox);
        size->addRow(tr("Orientation:"), Preset_ComboBox);
        ColList = named(new QTableView, "ColList");
        auto *model = new ListDataTableModel(
            {[this] { return numberOfRowsInTableView(ColList); },
             [this](const QString &column, int row) {
                 return tableView_objectValueForTableColumn_row(ColList, column, row);
             },
             [this](const QVariant &value, const QString &column, int row) {
                 tableView_setObjectValue_forTableColumn_row(ColList, value, column, row);
             }},
            {{ListDataTableModel::kColumn, QString()}}, ColList);
        m_listModel = model;
        ColList->setModel(model);
        ColList->setSelectionBehavior(QAbstractItemView::SelectRows);
        ColList->setSelectionMode(QAbstractItemView::SingleSelection);
        ColList->horizontalHeader()->setStretchLastSection(true);
        ColList->horizontalHeader()->hide();
        ColList->verticalHeader()->hide();
        ColList->setMinimumHeight(150);
        size->addRow(ColList);
        const auto millimetres = [](const char *name) {
            auto *spin = named(new QDoubleSpinBox, name);
            spin->setDecimals(3);
            spin->setRange(1.0, 1000.0);
            spin->setSingleStep(1.0);
            spin->setSuffix(QStringLiteral(" mm"));
            return spin;
        };
        width_Stepper = millimetres("width_Stepper");
        height_Stepper = millimetres("height_Stepper");
        // The stepper and its text are one control here: the text is the spin box's field.
        width_Text = named(width_Stepper->findChild<QLineEdit *>(), "width_Text");
        height_Text = named(height_Stepper->findChild<QLineEdit *>(), "height_Text");
        size->addRow(tr("Width:"), width_Stepper);
        size->addRow(tr("Height:"), height_Stepper);
        finishPage(card_size_tab);
    }

    card_bkgd_tab = tabPage("card_bkgd_tab", tr("Card Background"));
    {
        QFormLayout *background = section(card_bkgd_tab, tr("Background"));
        imageBrowser = named(new QListWidget, "imageBrowser");
        imageBrowser->setViewMode(QListView::IconMode);
        imageBrowser->setIconSize(QSize(72, 72));
        imageBrowser->setResizeMode(QListView::Adjust);
        imageBrowser->setMovement(QListView::Snap);
        imageBrowser->setMinimumHeight(220);
        background->addRow(imageBrowser);
        Card_image_layout = comboBox("Card_image_layout", {tr("Center"), tr("Stretch"), tr("Tile")});
        Card_hatch_style = comboBox("Card_hatch_style");
        background->addRow(tr("Layout:"), Card_image_layout);
        background->addRow(tr("Pattern:"), Card_hatch_style);
        finishPage(card_bkgd_tab);
    }

    card_brdr_tab = tabPage("card_brdr_tab", tr("Card Border"));
    {
        QFormLayout *border = section(card_brdr_tab, tr("Border"));
        Card_border_style = comboBox("Card_border_style", outlineStyles());
        Card_bor_Stepper = named(new QSpinBox, "Card_bor_Stepper");
        Card_bor_Stepper->setRange(0, 50);
        Card_bor_Stepper->setSuffix(QStringLiteral(" pt"));
        Card_bor_Text = named(Card_bor_Stepper->findChild<QLineEdit *>(), "Card_bor_Text");
        border->addRow(tr("Style:"), Card_border_style);
        border->addRow(tr("Width:"), Card_bor_Stepper);
        finishPage(card_brdr_tab);
    }

    line_tab = tabPage("line_tab", tr("Line Properties"));
    finishPage(line_tab);

    shape_tab = tabPage("shape_tab", tr("Rectangle Properties"));
    {
        QFormLayout *shape = section(shape_tab, tr("Outline and Fill"));
        shape_border_style = comboBox("shape_border_style", outlineStyles());
        shape_hatch_style = comboBox("shape_hatch_style");
        shape->addRow(tr("Outline:"), shape_border_style);
        shape->addRow(tr("Pattern:"), shape_hatch_style);
        finishPage(shape_tab);
    }

    text_edtng_tab = tabPage("text_edtng_tab", tr("Text"));
    finishPage(text_edtng_tab);

    text_prop_tab = tabPage("text_prop_tab", tr("Text Properties"));
    {
        QFormLayout *text = section(text_prop_tab, tr("Text"));
        Text_font_value = named(new QLabel, "Text_font_value");
        Text_font_value->setWordWrap(true);
        Text_align_combo = comboBox("Text_align_combo", {tr("Left"), tr("Right"), tr("Center"), tr("Justified"),
                                                         tr("Natural")});
        Text_vert_align_combo = comboBox("Text_vert_align_combo", {tr("Top"), tr("Bottom"), tr("Middle")});
        Text_case_combo = comboBox("Text_case_combo", {tr("As Typed"), tr("Upper Case"), tr("Lower Case"),
                                                       tr("Capitalized")});
        Text_Date_style = comboBox("Text_Date_style");
        Text_Time_style = comboBox("Text_Time_style");
        text->addRow(tr("Font:"), Text_font_value);
        text->addRow(tr("Alignment:"), Text_align_combo);
        text->addRow(tr("Vertical:"), Text_vert_align_combo);
        text->addRow(tr("Case:"), Text_case_combo);
        text->addRow(tr("Date:"), Text_Date_style);
        text->addRow(tr("Time:"), Text_Time_style);
        finishPage(text_prop_tab);
    }

    image_tab = tabPage("image_tab", tr("Image Properties"));
    finishPage(image_tab);
    sign_tab = tabPage("sign_tab", tr("Signature Properties"));
    finishPage(sign_tab);
    datasource_tab = tabPage("datasource_tab", tr("Text Source"));
    finishPage(datasource_tab);
    aligmnt_tab = tabPage("aligmnt_tab", tr("Alignment"));
    finishPage(aligmnt_tab);
    barcode_tab = tabPage("barcode_tab", tr("Barcode Properties"));
    finishPage(barcode_tab);
    Lock_tab = tabPage("Lock_tab", tr("Lock"));
    finishPage(Lock_tab);

    for (QWidget *tab : {card_setting_tab, card_info_tab, card_size_tab, card_bkgd_tab, card_brdr_tab, line_tab,
                         shape_tab, text_edtng_tab, text_prop_tab, image_tab, sign_tab, datasource_tab, aligmnt_tab,
                         barcode_tab, Lock_tab})
        sett_tab->addTab(tab, tab->windowTitle());
}

void SKTWindowController::buildSheets()
{
    plz_wait_Window = named(new PleaseWait_Modeless(Main_wnd), "plz_wait_Window");
    modeless_msg_lbl = plz_wait_Window->findChild<QLabel *>();
    if (modeless_msg_lbl)
        modeless_msg_lbl->setObjectName(QStringLiteral("modeless_msg_lbl"));

    // The progress sheet's controls belong to the output windows, which fill this sheet.
    Send_Models_Window = named(new QDialog(Main_wnd, Qt::Sheet), "Send_Models_Window");
    Send_Models_Window->setWindowTitle(tr("Sending"));
    Send_Models_Window->setModal(false);
    new QVBoxLayout(Send_Models_Window);

    Open_Export_Files = named(new QDialog(Main_wnd), "Open_Export_Files");
    Open_Export_Files->setWindowTitle(tr("Export"));
    QPalette palette = Open_Export_Files->palette();
    palette.setColor(QPalette::Window, kWindowColor);
    Open_Export_Files->setPalette(palette);
    auto *layout = new QVBoxLayout(Open_Export_Files);
    layout->setContentsMargins(20, 18, 20, 14);
    layout->setSpacing(10);
    _open_log_message = named(new QLabel(Open_Export_Files), "_open_log_message");
    QFont bold = _open_log_message->font();
    bold.setBold(true);
    _open_log_message->setFont(bold);
    _open_log_message->setWordWrap(true);
    _open_log_path = named(new QLabel(Open_Export_Files), "_open_log_path");
    _open_log_path->setTextInteractionFlags(Qt::TextSelectableByMouse);
    _open_log_path->setWordWrap(true);
    _open_log_path->setMinimumWidth(360);
    _open_log_chk = named(new QCheckBox(Open_Export_Files), "_open_log_chk");
    _open_log_chk->setChecked(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Open_Export_Files);
    connect(buttons, &QDialogButtonBox::accepted, Open_Export_Files, [this] { Open_Export_Files->done(1); });
    connect(buttons, &QDialogButtonBox::rejected, Open_Export_Files, [this] { Open_Export_Files->done(0); });
    layout->addWidget(_open_log_message);
    layout->addWidget(_open_log_path);
    layout->addWidget(_open_log_chk);
    layout->addWidget(buttons);
}

QAction *SKTWindowController::addCommandButton(QWidget *bar, QHBoxLayout *row, const CommandButton &entry,
                                               int minimumWidth)
{
    auto *action = new QAction(ToolIcons::commandIcon(entry.command), tr(entry.text), Main_wnd);
    if (entry.key != QKeySequence::UnknownKey)
        action->setShortcut(entry.key);
    const QString shortcut = action->shortcut().toString(QKeySequence::NativeText);
    action->setToolTip(shortcut.isEmpty() ? action->text() : QStringLiteral("%1 (%2)").arg(action->text(), shortcut));
    connect(action, &QAction::triggered, this, entry.action);
    auto *button = named(new QToolButton(bar), entry.button);
    button->setDefaultAction(action);
    button->setIconSize(QSize(22, 22));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    button->setMinimumWidth(minimumWidth);
    this->*entry.field = button;
    row->addWidget(button);
    return action;
}

void SKTWindowController::addCommandSeparator(QWidget *bar, QHBoxLayout *row)
{
    auto *line = new QFrame(bar);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    row->addSpacing(4);
    row->addWidget(line);
    row->addSpacing(4);
}
