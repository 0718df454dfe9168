// The "DrawWindow" layout: the design window's widgets, built in code. Every outlet carries its name
// as its objectName; actions are connected here and nowhere else.

#include "window/SKTWindowController.h"

#include "canvas/ui/PleaseWait_Modeless.h"
#include "canvas/ui/SKTZoomingScrollView.h"
#include "canvas/SKTTool.h"
#include "canvas/ui/SKTGraphicView.h"
#include "core/AppState.h"
#include "core/PathHelpers.h"
#include "output/ui/ExportCommand.h"
#include "output/ui/ExportSheet.h"
#include "output/ui/RecordRun.h"
#include "output/ui/Send_Modeless.h"
#include "properties/ui/AlignmentTab.h"
#include "properties/ui/CardSettingsTab.h"
#include "properties/ui/DataSourceTab.h"
#include "properties/ui/PanelTab.h"
#include "properties/ui/PropertiesPanel.h"
#include "properties/ui/TextEditTab.h"
#include "properties/ui/TextPropertiesTab.h"
#include "datasource/ui/ListDataTableModel.h"
#include "window/ToolIcons.h"
#include "platform/ui/DialogLook.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QFrame>
#include <QStandardPaths>
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
#include <QItemSelectionModel>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {


template <typename Widget>
Widget *named(Widget *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

void SKTWindowController::buildWindow()
{
    Main_wnd = named(new QMainWindow, "Main_wnd");
    Main_wnd->installEventFilter(this);
    Main_wnd->setProperty("layoutName", QString::fromLatin1(kWindowLayoutName));
    Main_wnd->setWindowTitle(App().App_Name);
    DialogLook::applyBackground(Main_wnd);

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
    columns->addWidget(Properties_Panel);

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
    editMenu->addSeparator();
    QAction *editPhoto = editMenu->addAction(tr("Edit Main &Photo..."));
    editPhoto->setObjectName(QStringLiteral("Edit_Main_Photo_action"));
    connect(editPhoto, &QAction::triggered, this, &SKTWindowController::Edit_Main_Photo_Button);

    User_Profile_btn = named(new QPushButton(tr("User Profile"), bar), "User_Profile_btn");
    User_Profile_btn->setToolTip(tr("Place a user profile on the current side"));
    connect(User_Profile_btn, &QPushButton::clicked, this, &SKTWindowController::User_Profile_Button_Clicked);
    Share_It_btn = named(new QPushButton(tr("Share"), bar), "Share_It_btn");
    connect(Share_It_btn, &QPushButton::clicked, this, &SKTWindowController::Share_It_Button_Clicked);
    row->addSpacing(12);
    row->addWidget(User_Profile_btn);
    row->addWidget(Share_It_btn);
    buildSeriesCommands();
    buildSupportCommands(bar, row, fileMenu);
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
    Properties_Panel = new PropertiesPanel(*this, *this, *this);
    Properties_Panel->setFixedWidth(320);
    sett_tab = Properties_Panel->sett_tab;
    card_setting_tab = Properties_Panel->card_setting_tab;
    card_bkgd_tab = Properties_Panel->card_bkgd_tab;
    shape_tab = Properties_Panel->shape_tab;
    line_tab = Properties_Panel->line_tab;
    text_edtng_tab = Properties_Panel->text_edtng_tab;
    text_prop_tab = Properties_Panel->text_prop_tab;
    image_tab = Properties_Panel->image_tab;
    sign_tab = Properties_Panel->sign_tab;
    datasource_tab = Properties_Panel->datasource_tab;
    aligmnt_tab = Properties_Panel->aligmnt_tab;
    barcode_tab = Properties_Panel->barcode_tab;
    Lock_tab = Properties_Panel->Lock_tab;

    // The card-size list shows the window's list data.
    QTableView *list = card_setting_tab->ColList;
    auto *model = new ListDataTableModel(
        {[this, list] { return numberOfRowsInTableView(list); },
         [this, list](const QString &column, int row) { return tableView_objectValueForTableColumn_row(list, column, row); },
         [this, list](const QVariant &value, const QString &column, int row) {
             tableView_setObjectValue_forTableColumn_row(list, value, column, row);
         }},
        {{ListDataTableModel::kColumn, QString()}}, list);
    m_listModel = model;
    list->setModel(model);
    connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { tableViewSelectionDidChange(); });

    // The text tabs' controls the window fills at start-up.
    textPanel = Properties_Panel->textPanel;
    Text_Date_style = text_edtng_tab->Text_Date_style;
    Text_Time_style = text_edtng_tab->Text_Time_style;
    Text_font_value = text_prop_tab->Text_font_value;
    Text_align_combo = text_prop_tab->Text_align_combo;
    Text_vert_align_combo = text_prop_tab->Text_vert_align_combo;
    Text_case_combo = text_prop_tab->Text_case_combo;
    Data_source_type = datasource_tab->Data_source_type;
}

void SKTWindowController::buildSheets()
{
    plz_wait_Window = named(new PleaseWait_Modeless(Main_wnd), "plz_wait_Window");
    modeless_msg_lbl = plz_wait_Window->findChild<QLabel *>();
    if (modeless_msg_lbl)
        modeless_msg_lbl->setObjectName(QStringLiteral("modeless_msg_lbl"));

    // The progress sheet and the export sheet are the output windows'; a run's worker is owned here
    // so that it ends with the window.
    auto *progress = new Send_Modeless(Main_wnd);
    Send_Models_Window = progress;
    m_recordRun = new RecordRun(progress, this);
    ExportWindow = new ExportSheet(Main_wnd);
    ExportHost exportHost;
    exportHost.sources = [this] {
        Check_Series_Or_Excel_Use_or_not();
        return std::make_shared<RecordBinding>(data_table_content);
    };
    exportHost.snapshot = [this] { return exportSnapshot(); };
    exportHost.startFolder = [] { return Panel_Start_Folder(QStandardPaths::PicturesLocation); };
    exportHost.completed = [this](const QString &path, const QString &message) { showExportDone(path, message); };
    exportHost.runEnded = [this] { Select_first_row_value_for_design(false); };
    exportHost.sheet = ExportWindow;
    exportHost.run = m_recordRun;
    m_export = new ExportCommand(std::move(exportHost), this);

    Open_Export_Files = named(new QDialog(Main_wnd), "Open_Export_Files");
    Open_Export_Files->setWindowTitle(tr("Export"));
    QPalette palette = Open_Export_Files->palette();
    palette.setColor(QPalette::Window, DialogLook::kBackground);
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
