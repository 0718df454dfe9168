#include "output/ui/Email_Setting.h"
#include "output/ui/Send_Mail.h"
#include "output/ui/Send_Modeless.h"

#include "fixtures/ScriptedServices.h"
#include "fixtures/SmtpServer.h"
#include "fixtures/TestSupport.h"

#include "core/AppState.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>

#include <gtest/gtest.h>

namespace {

void fill(Email_Setting &window, bool ssl)
{
    window._send_mail_sender_mail->setText(QStringLiteral("Me@Example.org"));
    window._send_mail_password->setText(QStringLiteral("pw"));
    window._send_mail_smtp->setText(QStringLiteral("smtp.example.org"));
    window._send_mail_port->setText(QStringLiteral("465"));
    ssl ? window.SSL_Selected() : window.TLS_Selected();
}

} // namespace

TEST(Email_Setting, SavedFieldsComeBackAsTypedAndResetForgetsThem)
{
    AppFixture app;
    ScopedScriptedServices services;
    int resets = 0;
    for (const bool ssl : {true, false}) {
        Email_Setting window(MailScript{});
        fill(window, ssl);
        window.setResult(-1);
        window.Save_Button();
        EXPECT_EQ(window.result(), 1);
        EXPECT_EQ(Preferences().send_email_enable_ssl(), ssl ? QStringLiteral("Y") : QStringLiteral("N"));

        Email_Setting again(MailScript{});
        again.settingsReset = [&] { ++resets; };
        again.loadPreferences();
        EXPECT_EQ(again.form().sender, QStringLiteral("Me@Example.org"));
        EXPECT_EQ(again._send_mail_ssl->isChecked(), ssl);
        EXPECT_EQ(again._send_mail_tls->isChecked(), !ssl);

        services->yesNoAnswers = {true};
        again.Reset_Button();
        EXPECT_FALSE(QFileInfo::exists(Preferences::Email_Settings_File()));
        EXPECT_TRUE(again._send_mail_sender_mail->text().isEmpty());
        EXPECT_TRUE(again._send_mail_tls->isChecked());
    }
    EXPECT_EQ(resets, 2);
    EXPECT_TRUE(services->messages.isEmpty());
}

TEST(Email_Setting, ASaveThatFailsIsSaidAndTheWindowStaysOpen)
{
    AppFixture app;
    ScopedScriptedServices services;
    App().Resource_Path = app.resourcePath() + QStringLiteral("gone/");
    Email_Setting window(MailScript{});
    fill(window, false);
    window.setResult(-1);
    window.Save_Button();
    EXPECT_EQ(window.result(), -1);
    ASSERT_EQ(services->messages.size(), 1);
    EXPECT_TRUE(services->messages.first().contains(QStringLiteral("could not be saved")));

    // An invalid form is not saved either; the first wanting field takes the focus.
    window._send_mail_port->clear();
    window.Save_Button();
    EXPECT_EQ(services->messages.last(), QStringLiteral("\nPlease enter port number."));
}

TEST(Email_Setting, MailWindowsForALook)
{
    AppFixture app;
    Email_Setting settings(MailScript{});
    fill(settings, false);
    settings.show();
    settings.adjustSize();
    EXPECT_TRUE(settings.grab().save(testOutputPath(QStringLiteral("Email_Setting.png"))));
    Send_Mail mail(MailHost{});
    mail.reset();
    mail.delayed_delv_chk->click();
    mail.show();
    mail.adjustSize();
    EXPECT_TRUE(mail.grab().save(testOutputPath(QStringLiteral("Send_Mail.png"))));
    // A pause counts down on the progress sheet.
    std::atomic<int> total{5}, pause{3'725'000};
    std::atomic<double> current{2};
    std::atomic<bool> stop{false};
    Send_Modeless progress;
    progress.beginRun({&total, &current, &stop, &pause}, RunSheet{QStringLiteral("Sending E-mail"), {}, {}, {}});
    EXPECT_EQ(progress.pause_label->text(), QStringLiteral("Pausing the process for 1 Hour 2 Minutes 5 Seconds."));
    progress.show();
    progress.adjustSize();
    EXPECT_TRUE(progress.grab().save(testOutputPath(QStringLiteral("Send_Modeless_Pause.png"))));
}

TEST(Email_Setting, TheTestMailGoesWithTheFieldsAsTypedAndSaysHowItWent)
{
    if (SmtpServer::python().isEmpty())
        GTEST_SKIP() << "No python3 with aiosmtpd: install python3-aiosmtpd.";
    SmtpServer server;
    ASSERT_EQ(server.problem(), QString());
    AppFixture app;
    ScopedScriptedServices services;
    MailScript task = MailScript::inFolder(sourceResourcesPath());
    Email_Setting window(task);
    fill(window, false);
    window._send_mail_smtp->setText(QStringLiteral("127.0.0.1"));
    window._send_mail_port->setText(QString::number(server.port()));
    window._send_mail_to->setText(QStringLiteral("Friend@Example.org"));
    window.Send_Test_Email();
    EXPECT_EQ(window._send_mail_result_status->text(), QStringLiteral("E-mail has been sent successfully."));
    ASSERT_EQ(server.mails().size(), 1);
    EXPECT_EQ(server.mails().first().subject, App().App_Name + QStringLiteral(" Test Mail"));
    EXPECT_EQ(server.mails().first().recipients, QStringList{"friend@example.org"});

    // A server that never answers ends with the failure text once the time limit is reached.
    SilentServer silent;
    task.timeLimitMs = 1000;
    Email_Setting waiting(task);
    fill(waiting, false);
    waiting._send_mail_smtp->setText(QStringLiteral("127.0.0.1"));
    waiting._send_mail_port->setText(QString::number(silent.port()));
    waiting._send_mail_to->setText(QStringLiteral("friend@example.org"));
    waiting.Send_Test_Email();
    EXPECT_TRUE(waiting._send_mail_result_status->text().endsWith(QStringLiteral("Could not send email.")));
    EXPECT_FALSE(QFileInfo::exists(Preferences::Email_Settings_File()));
}
