// The design window's help, quit, card-face and link commands: each hands its work to a support
// window, the properties panel or the desktop.

#include "window/SKTWindowController.h"

#include "core/AppState.h"
#include "core/MessageBoxes.h"
#include "output/SupportLinks.h"
#include "output/ui/SupportWindows.h"
#include "platform/UiServices.h"
#include "properties/ui/CardBackgroundTab.h"
#include "window/WindowState.h"

#include <QAction>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>

using SupportLinks::Link;

void SKTWindowController::buildSupportCommands(QWidget *bar, QHBoxLayout *row, QMenu *fileMenu)
{
    fileMenu->addSeparator();
    QAction *quit = fileMenu->addAction(tr("&Quit"));
    quit->setObjectName(QStringLiteral("Exit_action"));
    quit->setShortcut(QKeySequence::Quit);
    quit->setMenuRole(QAction::QuitRole);
    connect(quit, &QAction::triggered, this, &SKTWindowController::Exit_Btn_Clicked);

    QMenu *cardMenu = Main_wnd->menuBar()->addMenu(tr("&Card"));
    const struct {
        const char *name;
        const char *text;
        void (SKTWindowController::*action)();
    } cardCommands[] = {
        {"Card_Prop_action", "Card &Settings", &SKTWindowController::Card_Prop_Clicked},
        {"Card_Bckgrnd_action", "Card &Background...", &SKTWindowController::Card_Bckgrnd_Clicked},
    };
    for (const auto &command : cardCommands) {
        QAction *action = cardMenu->addAction(tr(command.text));
        action->setObjectName(QLatin1String(command.name));
        connect(action, &QAction::triggered, this, command.action);
    }

    QMenu *helpMenu = Main_wnd->menuBar()->addMenu(tr("&Help"));
    const struct {
        const char *name;
        const char *text;
        void (SKTWindowController::*action)();
    } helpCommands[] = {
        {"Help_action", "&Help and Support...", &SKTWindowController::Help_Button},
        {nullptr, nullptr, nullptr},
        {"Support_Mail_action", "Write to &Support...", &SKTWindowController::Open_Support_Mail},
        {"Reseller_Mail_action", "Become a &Partner...", &SKTWindowController::Open_Reseller_Mail},
        {"Website_1_action", "Project &Home Page", &SKTWindowController::Open_Website_1},
        {"Website_2_action", "&Card Designer Page", &SKTWindowController::Open_Website_2},
        {nullptr, nullptr, nullptr},
        {"Google_Plus_action", "Share on &Google+", &SKTWindowController::Open_Google_Plus},
        {"FaceBook_action", "Share on &Facebook", &SKTWindowController::Open_FaceBook},
        {"Twitter_action", "Share on &Twitter", &SKTWindowController::Open_Twitter},
        {"FB_Like_action", "&Like on Facebook", &SKTWindowController::Open_FB_Like},
        {"Share_It_action", "&Comments...", &SKTWindowController::Open_Share_It_Dl},
        {nullptr, nullptr, nullptr},
        {"SMS_Promotion_action", "Cards by &E-mail", &SKTWindowController::ZOLT_SMS_Prmotion},
        {"Recovery_Promotion_action", "Designs Kept &Safe", &SKTWindowController::ZOLT_Recovery_Prmotion},
        {"Barcode_Promotion_action", "&Barcodes and Series", &SKTWindowController::ZOLT_Barcode_Prmotion},
    };
    for (const auto &command : helpCommands) {
        if (!command.name) {
            helpMenu->addSeparator();
            continue;
        }
        QAction *action = helpMenu->addAction(tr(command.text));
        action->setObjectName(QLatin1String(command.name));
        connect(action, &QAction::triggered, this, command.action);
    }
    helpMenu->actions().constFirst()->setShortcut(QKeySequence::HelpContents);

    auto *help = new QPushButton(tr("Help"), bar);
    help->setObjectName(QStringLiteral("Help_btn"));
    help->setToolTip(tr("Help and support"));
    connect(help, &QPushButton::clicked, this, &SKTWindowController::Help_Button);
    row->addWidget(help);
}

void SKTWindowController::Help_Button()
{
    Log_Exceptions([&] {
        if (!HelpWindow)
            HelpWindow = new Help_Support(Main_wnd);
        HelpWindow->exec();
        HelpWindow->hide();
    });
}

void SKTWindowController::Exit_Btn_Clicked()
{
    // Through the close box's path, so that quitting asks once whichever way it starts.
    if (Main_wnd)
        Main_wnd->close();
}

bool SKTWindowController::Exit_App()
{
    if (quitting)
        return true;
    if (!windowShouldClose())
        return false;
    stopRecordRun();
    Log_Exceptions([] {
        Review_Form *review = Review_Form::defaultInstance();
        review->exec();
        review->hide();
    });
    quitting = true;
    platform::uiServices().terminate(0);
    return true;
}

namespace {

void showPromotion(const char *code)
{
    Promotion_Form *promotion = Promotion_Form::defaultInstance();
    promotion->software_type = QLatin1String(code);
    promotion->Open_Promotion_Window();
}

} // namespace

void SKTWindowController::ZOLT_SMS_Prmotion()
{
    showPromotion("S");
}

void SKTWindowController::ZOLT_Recovery_Prmotion()
{
    showPromotion("R");
}

void SKTWindowController::ZOLT_Barcode_Prmotion()
{
    showPromotion("B");
}

void SKTWindowController::Card_Prop_Clicked()
{
    Show_RHS_Properties(nullptr);
}

void SKTWindowController::Card_Bckgrnd_Clicked()
{
    Show_RHS_Properties(nullptr);
    if (Open_Image_Library_Window(QStringLiteral("B")) != 1)
        return;
    const QString path = Win().lib_window_sel_file;
    if (!(App().Card_Front_Or_Back == 1 ? set_Back_BG_Image(path) : set_Front_BG_Image(path)))
        return;
    if (card_bkgd_tab)
        card_bkgd_tab->Card_fill_chk->setChecked(true);
    Update_Card_Graphics();
    if (sett_tab && card_bkgd_tab)
        sett_tab->setCurrentWidget(card_bkgd_tab);
}

void SKTWindowController::Open_Support_Mail()
{
    SupportLinks::open(Link::SupportMail);
}

void SKTWindowController::Open_Reseller_Mail()
{
    SupportLinks::open(Link::ResellerMail);
}

void SKTWindowController::Open_Website_1()
{
    SupportLinks::open(Link::Website);
}

void SKTWindowController::Open_Website_2()
{
    SupportLinks::open(Link::CardWebsite);
}

void SKTWindowController::Open_Google_Plus()
{
    SupportLinks::open(Link::GooglePlus);
}

void SKTWindowController::Open_FaceBook()
{
    SupportLinks::open(Link::Facebook);
}

void SKTWindowController::Open_Twitter()
{
    SupportLinks::open(Link::Twitter);
}

void SKTWindowController::Open_FB_Like()
{
    SupportLinks::open(Link::FacebookLike);
}

void SKTWindowController::Open_Share_It_Dl()
{
    SupportLinks::open(Link::SocialComments);
}
