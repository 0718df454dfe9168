// Services of the design window that keep state: the waiting sheets, the export completion box, the
// mail settings in force and the test whether the design uses a series.

#include "window/SKTWindowController.h"

#include "canvas/ui/PleaseWait_Modeless.h"
#include "core/AppState.h"
#include "core/MessageBoxes.h"
#include "datasource/SeriesStore.h"
#include "output/OutputState.h"
#include "output/Preferences.h"
#include "platform/UiServices.h"
#include "window/WindowState.h"

#include <QCheckBox>
#include <QDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QThread>


void SKTWindowController::Get_Email_Details()
{
    const Preferences saved;
    // An unreadable file is left alone and said when mail is used; here it only gives no settings.
    Show_NSLog_Message(saved.readError());
    OutputState &mail = Output();
    mail.sender_email = saved.send_email_SenderEmail();
    mail.sender_pwd = saved.send_email_Password();
    mail.sending_server = saved.send_email_SMTP_server();
    mail.sending_port = saved.send_email_PORT_num();
    mail.send_enable_ssl = saved.send_email_enable_ssl();
}

bool SKTWindowController::Check_Batch_File_In_Use_Validation(const QString &seriesName)
{
    return ::Check_Batch_File_In_Use_Validation(
        seriesName, Get_Front_Controls_Array(),
        Win().CARD_SIDE_STR == QLatin1String("2") ? Get_Back_Controls_Array() : nullptr);
}

void SKTWindowController::Open_Export_File_Box()
{
    if (!Open_Export_Files)
        return;
    const OutputState &output = Output();
    _open_log_chk->setText(QFileInfo(output.Export_File_Path).isDir() ? QStringLiteral("Open containing folder.")
                                                                    : QStringLiteral("Open exported file."));
    _open_log_path->setText(output.Export_File_Path);
    _open_log_message->setText(output.Export_File_Message);
    Open_Export_Files->adjustSize();
    const int answer = Open_Export_Files->exec();
    Open_Export_Files->hide();
    if (answer == 1 && _open_log_chk->isChecked())
        Open_With_Desktop(output.Export_File_Path);
    // Ticked again for next time, whatever the user did with it.
    _open_log_chk->setChecked(true);
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
