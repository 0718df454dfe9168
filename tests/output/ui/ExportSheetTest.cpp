#include "output/ui/ExportSheet.h"
#include "output/ui/RecordRun.h"
#include "core/AppState.h"
#include "core/MessageBoxes.h"
#include "output/OutputState.h"
#include "output/ui/Send_Modeless.h"

#include "fixtures/EventLoop.h"
#include "fixtures/ScriptedServices.h"
#include "fixtures/TestSupport.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

TEST(ExportSheet, ChoicesFollowTheRowsTheUserClicks)
{
    ExportSheet sheet;
    const struct {
        int sideRow;
        bool tickCombined;
        int typeRow;
        int dpiItem;
        ExportChoice expected;
    } rows[] = {
        {1, true, 0, 0, {"F", false, "TIFF", 72}},
        {0, true, 1, 1, {"BOTH", true, "PNG", 300}},
        {0, false, 2, 2, {"BOTH", false, "JPEG", 600}},
        {2, true, 3, 1, {"B", false, "BMP", 300}},
    };
    for (const auto &row : rows) {
        sheet.resetForExport(false, false);
        sheet.export_card_side_CellClick(row.sideRow);
        EXPECT_EQ(sheet.export_combined_image_chk->isEnabled(), row.sideRow == 0);
        sheet.export_combined_image_chk->setChecked(row.tickCombined);
        sheet.export_file_type_CellClick(row.typeRow);
        EXPECT_EQ(sheet.fileFormatPopup->currentIndex(), row.typeRow);
        sheet.saveDPIText->setCurrentIndex(row.dpiItem);
        const ExportChoice choice = sheet.choice();
        EXPECT_EQ(choice.sides, row.expected.sides);
        EXPECT_EQ(choice.combined, row.expected.combined);
        EXPECT_EQ(choice.type, row.expected.type);
        EXPECT_EQ(choice.dpi, row.expected.dpi);
    }
    // Opening again resets it and offers only the sources in use.
    sheet.resetForExport(true, false);
    EXPECT_EQ(sheet.choice().sides + sheet.choice().type, QStringLiteral("FTIFF"));
    EXPECT_TRUE(sheet.exportsSeries());
    EXPECT_FALSE(sheet.exportsExcel());
    // The popup moves the type rows with it.
    sheet.fileFormatPopup->setCurrentIndex(2);
    sheet.exportFileTypeChanged(2);
    EXPECT_EQ(sheet.typeRows->checkedId(), 2);
}

TEST(Send_Modeless, StopAsksWhetherToStopAndOnlyYesStops)
{
    ScopedScriptedServices services;
    std::atomic<int> total{10};
    std::atomic<double> current{3};
    std::atomic<bool> stop{false};
    Send_Modeless sheet;
    sheet.beginRun({&total, &current, &stop}, RunSheet{QStringLiteral("Exporting"), QStringLiteral("Frame"),
                                                       QStringLiteral("Do you want to stop the export?"), QString()});
    EXPECT_EQ(sheet._tot_msg_cnt->text(), QStringLiteral("10"));
    EXPECT_EQ(sheet._curr_msg_cnt->text(), QStringLiteral("3 / 10 Frame"));
    EXPECT_EQ(sheet._Curr_Progress->value(), 3);

    EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Exporting"));

    // Closing the sheet asks as Stop does, and it stays.
    sheet.show();
    services->yesNoAnswers = {false, std::nullopt, true};
    sheet.close();
    EXPECT_TRUE(sheet.isVisible());
    for (int press = 0; press < 2; ++press)
        sheet._stop_btn->click();
    EXPECT_EQ(services->questions, QStringList(3, QStringLiteral("Do you want to stop the export?")));
    EXPECT_TRUE(stop);
    EXPECT_FALSE(sheet._stop_btn->isEnabled());
    EXPECT_TRUE(sheet.isVisible()) << "until its run ends";
}

TEST(RecordRun, TheSheetFollowsTheWorkerUntilItEnds)
{
    AppFixture app;
    ScopedScriptedServices services;
    QWidget window;
    auto *sheet = new Send_Modeless(&window);
    window.show();

    // A run that ends by itself: the sheet shows the counters until the end, then `finished` runs;
    // a run of records holds the canvas's redraws meanwhile.
    auto run = std::make_unique<RecordRun>(sheet);
    std::atomic<bool> release{false};
    bool finished = false;
    Output().Stop_SMS_Sending_Now = true; // left by an earlier run
    ASSERT_TRUE(run->start(RunSheet{QStringLiteral("Exporting"), QStringLiteral("Frame"), QStringLiteral("Stop?"), QString()},
                           true, [&](const RunCounters &counters) {
                               EXPECT_FALSE(counters.stop->load());
                               *counters.total = 4;
                               *counters.current = 2;
                               while (!release)
                                   std::this_thread::yield();
                           },
                           [&] { finished = true; }));
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_TRUE(App().Card_Value_In_Process);
    EXPECT_FALSE(run->start({}, false, [](const RunCounters &) {}, [] {})) << "one run at a time";
    EXPECT_TRUE(waitFor([&] { return sheet->_curr_msg_cnt->text() == QStringLiteral("2 / 4 Frame"); }));
    release = true;
    EXPECT_TRUE(waitFor([&] { return finished; }));
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_FALSE(run->isRunning());
    EXPECT_FALSE(App().Card_Value_In_Process);

    // Closing the program: the run is told to end what it waits on, and is waited for.
    ASSERT_TRUE(run->start({}, true, [](const RunCounters &counters) {
        while (!counters.end->load())
            std::this_thread::yield();
    }, [] {}));
    run->stopAndWait();
    EXPECT_TRUE(Output().Stop_SMS_Sending_Now && Output().End_Outside_Programs);
    EXPECT_FALSE(run->isRunning());
    EXPECT_FALSE(App().Card_Value_In_Process);
}

// The run ends while the user is asked whether to stop it: the question goes as answered No, and
// only then the closing report comes, for a run that finished.
TEST(RecordRun, ARunThatEndsWhileItsStopQuestionIsUpClosesItAndReportsAFinishedRun)
{
    AppFixture app;
    const struct {
        const char *what;
        QString question;
        bool closeBox; // the sheet's close box instead of Stop
    } cases[] = {
        {"export, Stop", QStringLiteral("Do you want to stop the export?"), false},
        {"printing, the close box", QStringLiteral("Do you want to stop printing?"), true},
        {"mail, Stop", QStringLiteral("Do you want to stop sending?"), false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ScopedScriptedServices services;
        Send_Modeless sheet;
        RecordRun run(&sheet);
        std::atomic<bool> ended{false};
        bool reported = false;
        ASSERT_TRUE(run.start(
            RunSheet{QStringLiteral("Running"), QString(), c.question, QStringLiteral("Stopping…")}, true,
            [&](const RunCounters &) {
                while (!ended)
                    std::this_thread::yield();
            },
            [&] {
                reported = true;
                Show_MessageBox(RecordRun::counters().stop->load() ? QStringLiteral("stopped") : QStringLiteral("finished"));
            }));
        services->yesNoAnswers = {true}; // what the user would have answered
        services->whileAsking = [&] {
            ended = true;
            // The run's end arrives while the question is up; its report waits for the question.
            EXPECT_TRUE(waitFor([&] { return services->shown.contains(QStringLiteral("closed")); }));
            spinFor(50);
            EXPECT_FALSE(reported);
        };
        if (c.closeBox)
            sheet.reject();
        else
            sheet._stop_btn->click();
        ASSERT_TRUE(waitFor([&] { return reported; }));
        EXPECT_EQ(services->shown, (QStringList{"question", "closed", "message"}));
        EXPECT_EQ(services->questions, QStringList{c.question});
        EXPECT_EQ(services->messages, QStringList{"\nfinished"});
        EXPECT_FALSE(run.isRunning());
        EXPECT_FALSE(sheet.isVisible());
    }
}

TEST(ExportSheet, SheetsForALook)
{
    ExportSheet sheet;
    sheet.resetForExport(true, false);
    sheet.show();
    sheet.adjustSize();
    EXPECT_EQ(sheet.palette().color(QPalette::Window), QColor(241, 244, 250));
    EXPECT_TRUE(sheet.grab().save(testOutputPath(QStringLiteral("ExportSheet.png"))));
    std::atomic<int> total{250};
    std::atomic<double> current{87};
    std::atomic<bool> stop{false};
    Send_Modeless progress;
    progress.beginRun({&total, &current, &stop}, RunSheet{QStringLiteral("Exporting"), QStringLiteral("Frame"), {}, {}});
    progress.show();
    progress.adjustSize();
    EXPECT_TRUE(progress.grab().save(testOutputPath(QStringLiteral("Send_Modeless.png"))));
}
