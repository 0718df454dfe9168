#include "DesignWindowFixture.h"

#include "document/SKTText.h"
#include "fixtures/EventLoop.h"
#include "output/OutputState.h"
#include "output/ui/ExportSheet.h"
#include "output/ui/RecordRun.h"
#include "output/ui/Send_Modeless.h"
#include "platform/SafeFileWriter.h"

#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QScopeGuard>
#include <QTimer>

class ExportCommandsTest : public DesignWindowTest {
protected:
    void SetUp() override
    {
        DesignWindowTest::SetUp();
        load();
        auto text = std::make_shared<SKTText>();
        text->setBounds(QRectF(10, 10, 150, 30));
        text->Text_Value = QStringLiteral("Sample");
        document->insertGraphics({text}, {0});
    }

    // Answers the completion box with OK once it shows, and keeps what it showed.
    void answerCompletionBox()
    {
        whenShown(window->Open_Export_Files, [this] {
            shown = window->_open_log_message->text();
            window->Open_Export_Files->done(1);
        });
    }

    QString shown;
};

TEST_F(ExportCommandsTest, TheSheetsChoiceGoesToTheSavePanelsFileAndTheBoxOpensIt)
{
    const QString path = resourcePath(QStringLiteral("out/Card"));
    QDir().mkpath(resourcePath(QStringLiteral("out")));
    services->fileAnswers = {path};
    QTimer::singleShot(0, window->ExportWindow, [this] {
        window->ExportWindow->export_card_side_CellClick(2);
        window->ExportWindow->export_file_type_CellClick(1);
        window->ExportWindow->exportOkay();
        answerCompletionBox();
    });
    window->Export_Button();
    // The type's extension is added; the back alone goes to its back name.
    EXPECT_TRUE(QFileInfo(resourcePath(QStringLiteral("out/Card_Back.PNG"))).isFile());
    EXPECT_EQ(QDir(resourcePath(QStringLiteral("out"))).entryList(QDir::Files), QStringList{"Card_Back.PNG"});
    EXPECT_EQ(shown, QStringLiteral("Frame has been exported successfully."));
    EXPECT_EQ(services->openedPaths, QStringList{resourcePath(QStringLiteral("out/Card_Back.PNG"))});
    EXPECT_TRUE(window->_open_log_chk->isChecked());
}

TEST_F(ExportCommandsTest, NoRecordsSayTheListIsEmptyAndClosingStopsARun)
{
    EXPECT_FALSE(window->Export_Batch_File(resourcePath(QStringLiteral("out"))));
    EXPECT_EQ(services->messages, QStringList{QStringLiteral("\nList is empty.")});
    EXPECT_FALSE(QFileInfo::exists(resourcePath(QStringLiteral("out"))));

    // A run the window's end interrupts: stopped and joined, no box afterwards.
    QByteArray values;
    for (int record = 1; record <= 100; ++record)
        values += QByteArray::number(record) + '\n';
    writeFile(QStringLiteral("DataSet/Guests.txt"), values);
    auto *text = static_cast<SKTText *>(document->graphics().items().first().get());
    text->binding.data_source_type = 1;
    text->binding.batch_list_name = QStringLiteral("Guests");
    static std::atomic<bool> entered;
    entered = false;
    const platform::WriteFunction previous = platform::setSafeWriteFunction([](int fd, const void *data, size_t size) {
        entered = true;
        while (!Output().Stop_SMS_Sending_Now)
            std::this_thread::yield();
        return ::write(fd, data, size);
    });
    const auto restore = qScopeGuard([previous] { platform::setSafeWriteFunction(previous); });
    ASSERT_TRUE(window->Export_Batch_File(resourcePath(QStringLiteral("out"))));
    ASSERT_TRUE(waitFor([&] { return entered.load(); }));
    window.reset();
    EXPECT_TRUE(Output().Stop_SMS_Sending_Now);
    EXPECT_FALSE(App().Card_Value_In_Process);
    EXPECT_LT(QDir(resourcePath(QStringLiteral("out/ZOLT Photo Frame"))).entryList(QDir::Files).size(), 100);
}

TEST_F(ExportCommandsTest, ASeriesBoundToTheFrontExportsOnePictureOfEachRecord)
{
    writeFile(QStringLiteral("DataSet/Guests.txt"), "A\nB\nC\n");
    auto *text = static_cast<SKTText *>(document->graphics().items().first().get());
    text->binding.data_source_type = 1;
    text->binding.batch_list_name = QStringLiteral("Guests");
    services->fileAnswers = {resourcePath(QStringLiteral("out"))};
    QTimer::singleShot(0, window->ExportWindow, [this] {
        EXPECT_TRUE(window->ExportWindow->Export_with_batch_chk->isChecked());
        EXPECT_FALSE(window->ExportWindow->Export_with_excel_chk->isEnabled());
        window->ExportWindow->export_file_type_CellClick(1);
        window->ExportWindow->exportOkay();
    });
    window->Export_Button();
    // The run goes on a worker while the progress sheet shows; the design never takes a record.
    EXPECT_TRUE(window->send_modls_wnd->isVisible());
    EXPECT_TRUE(App().Card_Value_In_Process);
    answerCompletionBox();
    ASSERT_TRUE(waitFor([&] { return !window->recordRun()->isRunning() && !shown.isEmpty(); }));
    EXPECT_EQ(shown, QStringLiteral("Frame has been exported successfully."));
    EXPECT_EQ(text->Text_Value, QStringLiteral("Sample"));
    EXPECT_FALSE(App().Card_Value_In_Process);
    EXPECT_FALSE(window->send_modls_wnd->isVisible());
    const QDir folder(resourcePath(QStringLiteral("out/ZOLT Photo Frame")));
    EXPECT_EQ(folder.entryList(QDir::Files), (QStringList{"Card_1.PNG", "Card_2.PNG", "Card_3.PNG"}));
    const QImage first(folder.filePath(QStringLiteral("Card_1.PNG")));
    EXPECT_NE(QImage(folder.filePath(QStringLiteral("Card_2.PNG"))), first);
    EXPECT_NE(QImage(folder.filePath(QStringLiteral("Card_3.PNG"))), first);
    EXPECT_EQ(services->openedPaths, QStringList{folder.path()});
}

TEST_F(ExportCommandsTest, AMissingSeriesIsAskedAboutOnlyOnceTheTargetIsTakenAndItsFieldsAreNamedAfter)
{
    writeFile(QStringLiteral("DataSet/Guests.txt"), "A\nB\n");
    auto *text = static_cast<SKTText *>(document->graphics().items().first().get());
    auto gone = std::make_shared<SKTText>();
    gone->setBounds(QRectF(10, 60, 150, 30));
    gone->binding.data_source_type = 1;
    gone->binding.batch_list_name = QStringLiteral("Gone"); // its file was deleted after binding
    document->insertGraphics({gone}, {1});
    const QString out = resourcePath(QStringLiteral("out"));
    ASSERT_TRUE(QDir().mkpath(out + QStringLiteral("/taken.TIFF")));
    ASSERT_TRUE(QDir().mkpath(out + QStringLiteral("/taken/ZOLT Photo Frame/Card_2.TIFF")));
    const struct {
        const char *what;
        bool batch;       // the front's text bound to a series that can be used
        QString answer;   // of the file or folder panel, under "out"; "" cancels it
        bool goOn;        // the answer to the question
        const char *shown;
        QStringList written; // under "out" afterwards
        bool direct = false; // a batch started on the folder, without the sheet and the panel
    } cases[] = {
        {"a file: the panel cancelled", false, "", true, "panel", {}},
        {"a file: a folder where it goes", false, "taken.TIFF", true, "panel message", {}},
        {"a file: the question answered No", false, "no.TIFF", false, "panel question", {}},
        {"a file: the question answered Yes", false, "yes.TIFF", true, "panel question", {"yes.TIFF"}},
        {"a batch: the panel cancelled", true, "", true, "panel", {}},
        {"a batch: a folder where a file goes", true, "taken", true, "panel message", {}},
        // No folder is made for a run that was not taken.
        {"a batch: the question answered No", true, "no", false, "panel question", {}},
        {"a batch: the question answered Yes", true, "yes", true, "panel question",
         {"yes/ZOLT Photo Frame/Card_1.TIFF", "yes/ZOLT Photo Frame/Card_2.TIFF"}},
        // A batch started on a folder goes through the same start.
        {"a batch started directly: the question answered No", true, "direct-no", false, "question", {}, true},
        {"a batch started directly: the question answered Yes", true, "direct-yes", true, "question",
         {"direct-yes/ZOLT Photo Frame/Card_1.TIFF", "direct-yes/ZOLT Photo Frame/Card_2.TIFF"}, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        text->binding.data_source_type = c.batch ? 1 : 0;
        text->binding.batch_list_name = QStringLiteral("Guests");
        services->shown.clear();
        services->messages.clear();
        services->questions.clear();
        services->yesNoAnswers = {c.goOn};
        const QString answer = c.answer.isEmpty() ? QString() : out + QLatin1Char('/') + c.answer;
        services->fileAnswers = {answer};
        shown.clear();
        if (!c.direct)
            QTimer::singleShot(0, window->ExportWindow, [this] { window->ExportWindow->exportOkay(); });
        if (!c.written.isEmpty())
            answerCompletionBox();
        if (c.direct)
            window->Export_Batch_File(answer);
        else
            window->Export_Button();
        if (!c.written.isEmpty()) {
            ASSERT_TRUE(waitFor([&] { return !window->recordRun()->isRunning() && !shown.isEmpty(); }));
        }
        EXPECT_EQ(services->shown.join(QLatin1Char(' ')).toStdString(), c.shown);
        if (services->shown.contains(QStringLiteral("question"))) {
            EXPECT_TRUE(services->questions.first().startsWith(QStringLiteral("The series \"Gone\" cannot be used: ")));
            EXPECT_TRUE(services->questions.first().endsWith(QStringLiteral("\n\nContinue with these fields empty?")));
        }
        if (services->shown.contains(QStringLiteral("message"))) {
            EXPECT_TRUE(services->messages.first().endsWith(QStringLiteral(" is a folder, not a file.")));
        }
        if (c.answer.isEmpty() || c.answer.startsWith(QLatin1String("taken")))
            continue;
        for (const QString &file : c.written)
            EXPECT_TRUE(QFileInfo(out + QLatin1Char('/') + file).isFile()) << file.toStdString();
        EXPECT_EQ(QFileInfo::exists(answer), !c.written.isEmpty());
        if (c.batch && !c.written.isEmpty()) {
            EXPECT_TRUE(shown.startsWith(QStringLiteral("Not every record took all its values."))) << shown.toStdString();
            EXPECT_TRUE(shown.contains(QStringLiteral("Records without all their values: 1-2."))) << shown.toStdString();
            EXPECT_TRUE(shown.contains(QStringLiteral("the series \"Gone\" cannot be used, the field is empty")));
        }
    }
    EXPECT_FALSE(QFileInfo::exists(out + QStringLiteral("/taken/ZOLT Photo Frame/Card_1.TIFF"))) << "nothing written";
}
