#include "DesignWindowFixture.h"

#include "fixtures/EventLoop.h"
#include "output/ui/Print_Wnd.h"
#include "output/ui/RecordRun.h"

#include <QComboBox>
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

// Nothing else bound: the same card in every cell, its field of the unreadable series empty once the
// user goes on, the design's own sample kept.
TEST_F(PrintCommandsTest, AnUnboundPrintAsksAboutASeriesThatCannotBeReadAndLeavesItsFieldEmpty)
{
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        GTEST_SKIP() << "this machine has a printer";
    auto shown = std::make_shared<SKTText>();
    shown->setBounds(QRectF(10, 10, 150, 30));
    shown->Text_Value = QStringLiteral("Hello");
    auto gone = std::make_shared<SKTText>();
    gone->setBounds(QRectF(10, 60, 150, 30));
    gone->Text_Value = QStringLiteral("Zoe");
    gone->data_source_type = 1;
    gone->batch_list_name = QStringLiteral("Gone");
    document->insertGraphics({shown, gone}, {0, 1});
    const QString pdf = resourcePath(QStringLiteral("same.pdf"));
    services->fileAnswers = {pdf};
    services->yesNoAnswers = {true};
    QTimer::singleShot(0, [&] {
        Print_Wnd *dialog = Print_Wnd::defaultInstance();
        EXPECT_TRUE(dialog->Execute_Printing(false));
        EXPECT_TRUE(waitFor([&] { return !dialog->printRun()->isRunning(); }));
        dialog->CancelButtonPressed();
    });
    window->Print_Button();
    ASSERT_EQ(services->questions.size(), 1);
    EXPECT_TRUE(services->questions.first().startsWith(QStringLiteral("The series \"Gone\" cannot be used")));
    QProcess reader;
    reader.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    ASSERT_TRUE(reader.waitForFinished(30000));
    const QString printed = QString::fromUtf8(reader.readAllStandardOutput());
    EXPECT_TRUE(printed.contains(QStringLiteral("Hello"))) << printed.toStdString();
    EXPECT_FALSE(printed.contains(QStringLiteral("Zoe"))) << printed.toStdString();
    EXPECT_EQ(gone->Text_Value, QStringLiteral("Zoe"));
}
