#include "DesignWindowFixture.h"

#include "fixtures/EventLoop.h"
#include "fixtures/SmtpServer.h"
#include "output/OutputState.h"
#include "output/Preferences.h"
#include "output/ui/RecordRun.h"
#include "output/ui/Send_Mail.h"
#include "output/ui/Send_Modeless.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>

TEST_F(DesignWindowTest, TheMailCommandSendsOneMailPerRecordOfTheBoundSeries)
{
    if (SmtpServer::python().isEmpty())
        GTEST_SKIP() << "No python3 with aiosmtpd: install python3-aiosmtpd.";
    SmtpServer server;
    ASSERT_EQ(server.problem(), QString());
    load();
    mailThrough(server);

    const std::shared_ptr<SKTText> text = bindTextToGuests("Ann\nBob\n");

    QTimer::singleShot(0, window->window(), [this] {
        auto *mail = window->window()->findChild<Send_Mail *>();
        ASSERT_NE(mail, nullptr);
        EXPECT_EQ(mail->from_txt->text(), QStringLiteral("me@example.org"));
        EXPECT_TRUE(mail->send_with_batch_chk->isEnabled());
        EXPECT_FALSE(mail->send_with_excel_chk->isEnabled());
        mail->subject_txt->setText(QStringLiteral("Your card"));
        mail->send_with_batch_chk->click();
        mail->rd_one_per_recp->click();
        // A record without a recipient is asked about first; No sends nothing.
        mail->to_txt->setText(QStringLiteral("one@example.org"));
        EXPECT_FALSE(mail->Send_Button());
        EXPECT_EQ(services->questions,
                  QStringList{QStringLiteral("2 records, 1 recipient: record 2 will not be mailed. Continue?")});
        mail->to_txt->setText(QStringLiteral("one@example.org, two@example.org"));
        EXPECT_TRUE(mail->Send_Button());
        EXPECT_FALSE(mail->closeButton->isEnabled());
        auto *sheet = window->window()->findChild<Send_Modeless *>();
        ASSERT_NE(sheet, nullptr);
        EXPECT_EQ(sheet->windowTitle(), QStringLiteral("Sending E-mail"));
        EXPECT_TRUE(waitFor([&] { return !window->recordRun()->isRunning() && !mail->lastMessage().isEmpty(); }));
        mail->Close_Button();
    });
    window->Mail_Button();

    EXPECT_EQ(services->messages, QStringList{QStringLiteral("\nE-mail has been sent successfully.")});
    const QList<ReceivedMail> mails = server.mails();
    ASSERT_EQ(mails.size(), 2);
    EXPECT_EQ(mails.at(0).recipients, QStringList{"one@example.org"});
    EXPECT_EQ(mails.at(1).recipients, QStringList{"two@example.org"});
    EXPECT_EQ(mails.at(1).attachments.at(0).filename, QStringLiteral("ZOLTFrame.jpeg"));
    EXPECT_NE(QImage(mails.at(0).attachments.at(0).path), QImage(mails.at(1).attachments.at(0).path));
    // The records were drawn from copies: the design is as it was.
    EXPECT_EQ(text->Text_Value, QStringLiteral("Sample"));
    EXPECT_FALSE(App().Card_Value_In_Process);
}

TEST_F(DesignWindowTest, TheMailFormIsCheckedBeforeAMissingSeriesIsAskedAboutOnce)
{
    ASSERT_TRUE(QFile::copy(sourceResourcesPath() + QStringLiteral("pyth_mail.py"), resourcePath(QStringLiteral("pyth_mail.py"))));
    load();
    Output().sender_email = QStringLiteral("me@example.org");
    bindTextToGuests("Ann\nBob\n");
    auto gone = std::make_shared<SKTText>();
    gone->setBounds(QRectF(10, 60, 150, 30));
    gone->binding.data_source_type = 1;
    gone->binding.batch_list_name = QStringLiteral("Gone");
    document->insertGraphics({gone}, {1});

    QTimer::singleShot(0, window->window(), [this] {
        auto *mail = window->window()->findChild<Send_Mail *>();
        ASSERT_NE(mail, nullptr);
        mail->send_with_batch_chk->click();
        EXPECT_FALSE(mail->Send_Button()) << "no recipient";
        EXPECT_EQ(services->questions, QStringList());
        ASSERT_EQ(services->messages.size(), 1) << "only the form's fault, not the series when the window opened";
        EXPECT_FALSE(services->messages.first().contains(QStringLiteral("Gone")));
        mail->to_txt->setText(QStringLiteral("one@example.org, two@example.org"));
        services->yesNoAnswers = {false};
        EXPECT_FALSE(mail->Send_Button());
        ASSERT_EQ(services->questions.size(), 1);
        EXPECT_TRUE(services->questions.first().contains(QStringLiteral("The series \"Gone\" cannot be used")));
        EXPECT_FALSE(window->recordRun()->isRunning());
        mail->Close_Button();
    });
    window->Mail_Button();
    EXPECT_EQ(services->messages.size(), 1);
}
