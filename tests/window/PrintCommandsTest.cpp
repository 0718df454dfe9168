#include "DesignWindowFixture.h"

#include "fixtures/EventLoop.h"
#include "fixtures/SmtpServer.h"
#include "output/Preferences.h"
#include "output/ui/ExportSheet.h"
#include "output/ui/Print_Wnd.h"
#include "output/ui/RecordRun.h"
#include "output/ui/Send_Mail.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPrinterInfo>
#include <QProcess>
#include <QTimer>

class PrintCommandsTest : public DesignWindowTest {
protected:
    void SetUp() override
    {
        DesignWindowTest::SetUp();
        load();
    }
};

TEST_F(PrintCommandsTest, WithoutAPrinterTheDialogOffersAPdfFileThatGetsOneCardPerRecord)
{
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        GTEST_SKIP() << "this machine has a printer";
    const std::shared_ptr<SKTText> text = bindTextToGuests("Ann\nBob\nCy\n");
    const QString pdf = resourcePath(QStringLiteral("sheets.pdf"));
    services->fileAnswers = {pdf};
    bool opened = false;
    QTimer::singleShot(0, [&] {
        Print_Wnd *dialog = Print_Wnd::defaultInstance();
        opened = dialog->isVisible();
        EXPECT_EQ(dialog->Printer_ComboBox->currentText(), Print_Wnd::kPdfTarget);
        EXPECT_EQ(dialog->Total_Stepper->intValue(), 3);
        EXPECT_TRUE(dialog->Execute_Printing(false));
        EXPECT_TRUE(waitFor([&] { return !dialog->printRun()->isRunning(); }));
        dialog->CancelButtonPressed();
    });
    window->Print_Button();
    EXPECT_TRUE(opened);
    QProcess reader;
    reader.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    ASSERT_TRUE(reader.waitForFinished(30000));
    const QString printed = QString::fromUtf8(reader.readAllStandardOutput());
    EXPECT_EQ(printed.count(QLatin1Char('\f')), 3) << "one card a sheet";
    for (const char *name : {"Ann", "Bob", "Cy"})
        EXPECT_TRUE(printed.contains(QLatin1String(name))) << name;
    // The design itself never took a record.
    EXPECT_EQ(text->Text_Value, QStringLiteral("Sample"));
    EXPECT_FALSE(App().Card_Value_In_Process);
}

// Runs that draw no records (one file, one card in every cell, one card to every recipient) ask about
// a series that cannot be read and then draw its field empty, as a record would; the design keeps its sample.
TEST_F(PrintCommandsTest, NoRoadWithoutRecordsDrawsTheSampleOfASeriesThatCannotBeRead)
{
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        GTEST_SKIP() << "this machine has a printer";
    if (SmtpServer::python().isEmpty())
        GTEST_SKIP() << "No python3 with aiosmtpd: install python3-aiosmtpd.";
    SmtpServer server;
    ASSERT_EQ(server.problem(), QString());
    mailThrough(server);
    const QRectF helloField(10, 10, 150, 30), zoeField(10, 60, 150, 30);
    auto shown = std::make_shared<SKTText>();
    shown->setBounds(helloField);
    shown->Text_Value = QStringLiteral("Hello");
    auto gone = std::make_shared<SKTText>();
    gone->setBounds(zoeField);
    gone->Text_Value = QStringLiteral("Zoe");
    gone->binding.data_source_type = 1;
    gone->binding.batch_list_name = QStringLiteral("Gone");
    document->insertGraphics({shown, gone}, {0, 1});
    const double cardWidth = window->designSnapshot().frame.width();
    const auto inkIn = [cardWidth](const QImage &card, const QRectF &field) {
        const double scale = card.width() / cardWidth;
        const QRect pixels = QRectF(field.topLeft() * scale, field.size() * scale).toRect() & card.rect();
        int ink = 0;
        for (int y = pixels.top(); y <= pixels.bottom(); ++y)
            for (int x = pixels.left(); x <= pixels.right(); ++x)
                ink += qAlpha(card.pixel(x, y)) > 128 && qGray(card.pixel(x, y)) < 128;
        return ink;
    };
    const struct {
        const char *road;
        std::function<QString()> run; // the text on the card, or the path of its picture
    } roads[] = {
        {"one file",
         [&] {
             const QString path = resourcePath(QStringLiteral("Card.PNG"));
             services->fileAnswers = {path};
             QTimer::singleShot(0, window->ExportWindow, [this] {
                 window->ExportWindow->export_file_type_CellClick(1);
                 window->ExportWindow->exportOkay();
                 whenShown(window->Open_Export_Files, [this] { window->Open_Export_Files->done(1); });
             });
             window->Export_Button();
             return path;
         }},
        {"the same card in every cell",
         [&] {
             const QString pdf = resourcePath(QStringLiteral("same.pdf"));
             services->fileAnswers = {pdf};
             QTimer::singleShot(0, [&] {
                 Print_Wnd *dialog = Print_Wnd::defaultInstance();
                 EXPECT_TRUE(dialog->Execute_Printing(false));
                 EXPECT_TRUE(waitFor([&] { return !dialog->printRun()->isRunning(); }));
                 dialog->CancelButtonPressed();
             });
             window->Print_Button();
             QProcess reader;
             reader.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
             EXPECT_TRUE(reader.waitForFinished(30000));
             return QString::fromUtf8(reader.readAllStandardOutput());
         }},
        {"the same card to every recipient",
         [&] {
             QTimer::singleShot(0, window->window(), [this] {
                 auto *mail = window->window()->findChild<Send_Mail *>();
                 ASSERT_NE(mail, nullptr);
                 mail->to_txt->setText(QStringLiteral("one@example.org"));
                 EXPECT_TRUE(mail->Send_Button());
                 EXPECT_TRUE(waitFor([&] { return !window->recordRun()->isRunning() && !mail->lastMessage().isEmpty(); }));
                 mail->Close_Button();
             });
             window->Mail_Button();
             const QList<ReceivedMail> mails = server.mails();
             return mails.size() == 1 && mails.first().attachments.size() == 1 ? mails.first().attachments.first().path
                                                                                : QString();
         }},
    };
    for (const auto &r : roads) {
        SCOPED_TRACE(r.road);
        services->questions.clear();
        services->yesNoAnswers = {true};
        const QString drawn = r.run();
        ASSERT_EQ(services->questions.size(), 1);
        EXPECT_TRUE(services->questions.first().startsWith(QStringLiteral("The series \"Gone\" cannot be used")));
        const QImage card(drawn);
        if (card.isNull()) {
            EXPECT_TRUE(drawn.contains(QStringLiteral("Hello"))) << drawn.toStdString();
            EXPECT_FALSE(drawn.contains(QStringLiteral("Zoe"))) << drawn.toStdString();
        } else {
            EXPECT_GT(inkIn(card, helloField), 0);
            EXPECT_EQ(inkIn(card, zoeField), 0);
        }
    }
    EXPECT_EQ(gone->Text_Value, QStringLiteral("Zoe"));
}
