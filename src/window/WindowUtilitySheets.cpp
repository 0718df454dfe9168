// Services of the design window that keep state: the waiting sheets, the export completion box, the
// mail settings in force and the test whether the design uses a series.

#include "window/SKTWindowController.h"

#include "canvas/ui/PleaseWait_Modeless.h"
#include "core/AppState.h"
#include "core/MessageBoxes.h"
#include "core/WindowUtilities.h"
#include "window/WindowState.h"

#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QThread>

#include <exception>

namespace {

// The mail settings: none are saved, so every field is empty.
struct EmailDetails {
    QString sender, password, server, port, ssl;
};

EmailDetails savedEmailDetailsSeam()
{
    return {};
}

bool isSeriesBound(const SKTGraphic &graphic, const QString &seriesName)
{
    const SKTGraphic::Kind kind = graphic.kind();
    const bool bindable =
        kind == SKTGraphic::Kind::Image || kind == SKTGraphic::Kind::Text || kind == SKTGraphic::Kind::Barcode;
    return bindable && graphic.data_source_type == 1 && graphic.batch_list_name == seriesName;
}

bool sideUsesSeries(const SKTGraphicList *side, const QString &seriesName)
{
    if (!side)
        return false;
    for (const SKTGraphicPtr &graphic : side->items())
        if (isSeriesBound(*graphic, seriesName))
            return true;
    return false;
}

} // namespace

void SKTWindowController::Get_Email_Details()
{
    const EmailDetails details = savedEmailDetailsSeam();
    WindowState &win = Win();
    win.sender_email = details.sender;
    win.sender_pwd = details.password;
    win.sending_server = details.server;
    win.sending_port = details.port;
    win.send_enable_ssl = details.ssl;
}

bool SKTWindowController::Check_Batch_File_In_Use_Validation(const QString &seriesName)
{
    bool used = false;
    try {
        const QString file = Series_File_Path(seriesName);
        if (file.isEmpty() || !QFileInfo(file).isFile())
            return false;
        used = sideUsesSeries(Get_Front_Controls_Array(), seriesName);
        if (!used && Win().CARD_SIDE_STR == QLatin1String("2"))
            used = sideUsesSeries(Get_Back_Controls_Array(), seriesName);
    } catch (const std::exception &e) {
        Show_MessageBox(QString::fromLocal8Bit(e.what()));
    }
    return used;
}

void SKTWindowController::Open_Export_File_Box()
{
    if (!Open_Export_Files)
        return;
    const WindowState &win = Win();
    _open_log_chk->setText(QFileInfo(win.Export_File_Path).isDir() ? QStringLiteral("Open containing folder.")
                                                                    : QStringLiteral("Open exported file."));
    _open_log_path->setText(win.Export_File_Path);
    _open_log_message->setText(win.Export_File_Message);
    Open_Export_Files->adjustSize();
    Open_Export_Files->exec();
    Open_Export_Files->hide();
}

void SKTWindowController::Show_Create_Modeless()
{
    if (!plz_wait_Window)
        return;
    plz_wait_Window->setMessage(QStringLiteral("It may take a while, Please wait.."));
    plz_wait_Window->showPanel();
}

void SKTWindowController::Hide_Destroy_Modeless()
{
    if (plz_wait_Window)
        plz_wait_Window->hidePanel();
}

void SKTWindowController::Show_One_By_One_Modeless()
{
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(this, [this] { Show_One_By_One_Modeless(); }, Qt::QueuedConnection);
        return;
    }
    if (!Send_Models_Window)
        return;
    Send_Models_Window->show();
    Send_Models_Window->raise();
}

void SKTWindowController::Hide_One_By_One_Modeless()
{
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(this, [this] { Hide_One_By_One_Modeless(); }, Qt::QueuedConnection);
        return;
    }
    if (Send_Models_Window)
        Send_Models_Window->hide();
}
