#include "output/ui/Email_Setting.h"

#include "canvas/ui/InputShield.h"
#include "canvas/ui/PleaseWait_Modeless.h"
#include "core/AppState.h"
#include "core/MessageBoxes.h"
#include "platform/SafeFileWriter.h"
#include "platform/ui/DialogLook.h"
#include "platform/ui/Form.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QString kTestFailed = QStringLiteral(
    "Please make sure that:\n1. Entered E-mail settings are correct.\n2. Internet connectivity to E-mail server is "
    "not interrupted and E-mail server is not down.\n3. Your Firewall or Security software (if any) is not "
    "blocking the software to communicate with your E-mail server.\n\nCould not send email.");

QLineEdit *lineEdit(const char *name, QWidget *parent)
{
    auto *field = Form::named(new QLineEdit(parent), name);
    field->setMinimumWidth(260);
    return field;
}

} // namespace

Email_Setting::Email_Setting(MailScript task, QWidget *parent)
    : QDialog(parent), _send_mail_to(lineEdit("_send_mail_to", this)),
      _send_mail_sender_mail(lineEdit("_send_mail_sender_mail", this)),
      _send_mail_password(lineEdit("_send_mail_password", this)), _send_mail_smtp(lineEdit("_send_mail_smtp", this)),
      _send_mail_port(lineEdit("_send_mail_port", this)),
      _send_mail_ssl(Form::named(new QRadioButton(tr("SSL"), this), "_send_mail_ssl")),
      _send_mail_tls(Form::named(new QRadioButton(tr("TLS"), this), "_send_mail_tls")),
      _send_mail_result_status(Form::named(new QLabel(this), "_send_mail_result_status")),
      testButton(Form::named(new QPushButton(tr("Send Test Mail"), this), "_send_mail_test_mail")),
      resetButton(Form::named(new QPushButton(tr("Reset"), this), "Reset_Button")),
      buttons(new QDialogButtonBox(this)), plz_wait_Window(new PleaseWait_Modeless(this)), m_task(std::move(task))
{
    setObjectName(QStringLiteral("Email_Setting"));
    setWindowTitle(tr("E-mail Settings"));
    setModal(true);
    DialogLook::applyBackground(this);
    plz_wait_Window->setObjectName(QStringLiteral("plz_wait_Window"));
    plz_wait_Window->hide();
    _send_mail_password->setEchoMode(QLineEdit::Password);
    _send_mail_port->setMinimumWidth(90);
    _send_mail_port->setMaximumWidth(90);
    _send_mail_port->setInputMethodHints(Qt::ImhDigitsOnly);
    _send_mail_result_status->setWordWrap(true);
    _send_mail_result_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    _send_mail_tls->setChecked(true);
    // Two exclusive choices, set by code as well as by the user.
    _send_mail_ssl->setAutoExclusive(false);
    _send_mail_tls->setAutoExclusive(false);
    connect(_send_mail_ssl, &QRadioButton::clicked, this, [this] { SSL_Selected(); });
    connect(_send_mail_tls, &QRadioButton::clicked, this, [this] { TLS_Selected(); });
    connect(testButton, &QPushButton::clicked, this, [this] { Send_Test_Email(); });
    connect(resetButton, &QPushButton::clicked, this, [this] { Reset_Button(); });

    QPushButton *save = buttons->addButton(QDialogButtonBox::Save);
    save->setObjectName(QStringLiteral("Save_Button"));
    QPushButton *close = buttons->addButton(QDialogButtonBox::Close);
    close->setObjectName(QStringLiteral("Close_Button"));
    buttons->addButton(resetButton, QDialogButtonBox::ResetRole);
    connect(save, &QPushButton::clicked, this, [this] { Save_Button(); });
    connect(close, &QPushButton::clicked, this, [this] { Close_Button(); });

    auto *heading = new QLabel(tr("The account your e-mails are sent from"), this);
    DialogLook::makeHeading(heading);
    auto *account = Form::rows(nullptr);
    account->addRow(tr("Sender E-mail:"), _send_mail_sender_mail);
    account->addRow(tr("Password:"), _send_mail_password);
    account->addRow(tr("SMTP server:"), _send_mail_smtp);
    account->addRow(tr("Port:"), _send_mail_port);
    account->addRow(tr("Security:"), Form::sideBySide({_send_mail_ssl, _send_mail_tls}));
    auto *testRows = Form::rows(nullptr);
    testRows->addRow(tr("Test recipient:"), _send_mail_to);
    testRows->addRow(QString(), testButton);
    testRows->addRow(QString(), _send_mail_result_status);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 14);
    layout->setSpacing(10);
    layout->addWidget(heading);
    layout->addLayout(account);
    layout->addSpacing(6);
    layout->addLayout(testRows);
    layout->addStretch(1);
    layout->addWidget(buttons);
}

int Email_Setting::Open_Wnd()
{
    loadPreferences();
    const int result = exec();
    hide();
    return result;
}

void Email_Setting::loadPreferences()
{
    const Preferences saved;
    if (!saved.readError().isEmpty())
        Show_MessageBox(saved.readError() + QStringLiteral("\nThe file is left as it is; saving replaces it."));
    _send_mail_to->setText(saved.send_email_Recipient());
    _send_mail_sender_mail->setText(saved.send_email_SenderEmail());
    _send_mail_smtp->setText(saved.send_email_SMTP_server());
    _send_mail_port->setText(saved.send_email_PORT_num());
    _send_mail_password->setText(saved.send_email_Password());
    const bool ssl = saved.send_email_enable_ssl() == QLatin1String("Y");
    _send_mail_ssl->setChecked(ssl);
    _send_mail_tls->setChecked(!ssl);
    _send_mail_result_status->clear();
}

bool Email_Setting::flushPreferences()
{
    const EmailSettingsForm typed = form();
    Preferences settings;
    settings.setsend_email_Recipient(typed.recipient);
    settings.setsend_email_SenderEmail(typed.sender);
    settings.setsend_email_Password(typed.password);
    settings.setsend_email_SMTP_server(typed.server);
    settings.setsend_email_PORT_num(typed.port);
    settings.setsend_email_enable_ssl(typed.sslFlag());
    QString error;
    if (settings.flush(&error))
        return true;
    Show_MessageBox(QStringLiteral("The e-mail settings could not be saved in %1: %2")
                        .arg(settings.mPreferencesPath, error));
    return false;
}

EmailSettingsForm Email_Setting::form() const
{
    return EmailSettingsForm{_send_mail_to->text(),       _send_mail_sender_mail->text(),
                             _send_mail_password->text(), _send_mail_smtp->text(),
                             _send_mail_port->text(),     _send_mail_ssl->isChecked(),
                             _send_mail_tls->isChecked()};
}

QLineEdit *Email_Setting::fieldOf(EmailSettingsProblem::Field field) const
{
    using Field = EmailSettingsProblem::Field;
    switch (field) {
    case Field::Recipient: return _send_mail_to;
    case Field::Sender: return _send_mail_sender_mail;
    case Field::Password: return _send_mail_password;
    case Field::Server: return _send_mail_smtp;
    case Field::Port: return _send_mail_port;
    }
    return _send_mail_sender_mail;
}

bool Email_Setting::Check_Validation(bool with_recipient)
{
    const auto problem = ::Check_Validation(form(), with_recipient);
    if (!problem)
        return true;
    Show_MessageBox(problem->message);
    fieldOf(problem->field)->setFocus();
    return false;
}

void Email_Setting::Send_Test_Email()
{
    if (m_testing || !Check_Validation(true))
        return;
    const EmailSettingsForm typed = form();
    const QString app = App().App_Name;
    // The window's input is dropped until the mail has gone; only its close box still answers.
    m_testing = true;
    _send_mail_result_status->setText(QStringLiteral("It may take a while, Please wait..."));
    plz_wait_Window->setMessage(QStringLiteral("It may take a while, Please wait..."));
    plz_wait_Window->showPanel();
    const MailScript task = m_task;
    const MailResult result = InputShield::run<MailResult>(this, [task, typed, app] {
        return sendEmail_pyth(task, typed.recipient.toLower(), app + QStringLiteral(" Test Mail"), {},
                              typed.sender.toLower(), typed.password, typed.server, typed.port,
                              QStringLiteral("This is test mail sent by %1.").arg(app), typed.sslFlag());
    });
    plz_wait_Window->hidePanel();
    m_testing = false;
    if (!result.sent)
        Show_NSLog_Message(result.detail);
    const QString text = result.sent ? QStringLiteral("E-mail has been sent successfully.") : kTestFailed;
    _send_mail_result_status->setText(text);
    Show_MessageBox(text);
}

void Email_Setting::Save_Button()
{
    if (Check_Validation(false) && flushPreferences())
        done(1);
}

void Email_Setting::Close_Button()
{
    if (!m_testing)
        done(0);
}

void Email_Setting::reject()
{
    // The test mail's result has nowhere to go once the window is gone.
    if (!m_testing)
        QDialog::reject();
}

void Email_Setting::Reset_Button()
{
    if (!Show_YES_NO_MessageBox(QStringLiteral("Are you sure you want to reset current email settings?")))
        return;
    const QString path = Preferences::Email_Settings_File();
    if (const QString problem = path.isEmpty() ? QString() : platform::removeSafely(path); !problem.isEmpty()) {
        Show_MessageBox(QStringLiteral("The e-mail settings in %1 could not be removed.\n\n%2").arg(path, problem));
        return;
    }
    for (QLineEdit *field : {_send_mail_to, _send_mail_sender_mail, _send_mail_smtp, _send_mail_port, _send_mail_password})
        field->clear();
    _send_mail_result_status->clear();
    TLS_Selected();
    if (settingsReset)
        settingsReset();
}

void Email_Setting::SSL_Selected()
{
    _send_mail_ssl->setChecked(true);
    _send_mail_tls->setChecked(false);
}

void Email_Setting::TLS_Selected()
{
    _send_mail_tls->setChecked(true);
    _send_mail_ssl->setChecked(false);
}
