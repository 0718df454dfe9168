#pragma once

#include "output/MailScript.h"
#include "output/Preferences.h"

#include <QDialog>

#include <functional>

class PleaseWait_Modeless;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The e-mail settings window: the SMTP account every mail leaves with, kept in the settings file,
// and a test mail sent with what the fields hold. Its logic is in plain members, so a test can fill
// the fields and press the buttons without a modal loop.
class Email_Setting : public QDialog {
    Q_OBJECT
public:
    // `task` sends the test mail.
    explicit Email_Setting(MailScript task, QWidget *parent = nullptr);

    // Loads the saved settings and runs the window modally: 1 when saved, 0 when closed.
    int Open_Wnd();
    // The saved settings into the fields; a file that cannot be read is reported.
    void loadPreferences();
    // The fields into the settings file; false, reported, when it could not be written.
    bool flushPreferences();
    // The form's checks; the first failure is shown and its field takes the focus.
    bool Check_Validation(bool with_recipient);
    // Sends a test mail behind the waiting sheet; the result goes to `_send_mail_result_status` and
    // a message box. Nothing is saved.
    void Send_Test_Email();
    void Save_Button();
    void Close_Button();
    void Reset_Button();
    void SSL_Selected();
    void TLS_Selected();

    // The fields as typed.
    EmailSettingsForm form() const;
    // After a reset the design window reloads the settings in force.
    std::function<void()> settingsReset;

    void reject() override;

    QLineEdit *_send_mail_to;
    QLineEdit *_send_mail_sender_mail;
    QLineEdit *_send_mail_password;
    QLineEdit *_send_mail_smtp;
    QLineEdit *_send_mail_port;
    QRadioButton *_send_mail_ssl;
    QRadioButton *_send_mail_tls;
    QLabel *_send_mail_result_status;
    QPushButton *testButton;
    QPushButton *resetButton;
    QDialogButtonBox *buttons;
    PleaseWait_Modeless *plz_wait_Window;

private:
    QLineEdit *fieldOf(EmailSettingsProblem::Field field) const;

    MailScript m_task;
    bool m_testing = false;
};
