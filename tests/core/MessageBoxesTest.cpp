#include "core/MessageBoxes.h"

#include "core/AppState.h"
#include "core/WorkerWait.h"
#include "fixtures/ScriptedServices.h"
#include "fixtures/TestSupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QThread>
#include <QTimer>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <thread>
#include <vector>

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Records the thread of every box and can answer or fail from a function of the question.
class ThreadCheckingServices : public ScriptedServices {
public:
    QList<QThread *> threads;
    std::function<bool(const QString &)> answer;
    bool failMessages = false;

    void showMessage(const QString &text) override
    {
        threads << QThread::currentThread();
        if (failMessages)
            throw std::runtime_error("no screen");
        ScriptedServices::showMessage(text);
    }
    Answer askYesNo(const QString &question) override
    {
        threads << QThread::currentThread();
        if (!answer)
            return ScriptedServices::askYesNo(question);
        questions << question;
        return answer(question) ? Answer::Yes : Answer::No;
    }
};

class ScopedThreadCheckingServices {
public:
    ScopedThreadCheckingServices()
    {
        auto services = std::make_unique<ThreadCheckingServices>();
        m_services = services.get();
        m_previous = platform::installUiServices(std::move(services));
    }
    ~ScopedThreadCheckingServices() { platform::installUiServices(std::move(m_previous)); }
    ThreadCheckingServices *operator->() { return m_services; }

private:
    ThreadCheckingServices *m_services;
    std::unique_ptr<platform::UiServices> m_previous;
};

// Runs each job on its own worker while the GUI thread serves their boxes. All workers are running
// before the GUI thread takes any call, so their calls queue up together. A lost hand-off would hang
// the workers, so it aborts with a message instead.
void runOnWorkers(const std::vector<std::function<void()>> &jobs)
{
    std::atomic<int> started{0};
    std::atomic<int> finished{0};
    std::vector<std::thread> workers;
    for (const auto &job : jobs)
        workers.emplace_back([&] {
            ++started;
            job();
            ++finished;
        });
    const int count = int(jobs.size());
    while (started < count)
        std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (finished < count) {
        if (std::chrono::steady_clock::now() > deadline) {
            std::fprintf(stderr, "workers still waiting for the GUI thread\n");
            std::abort();
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    for (std::thread &worker : workers)
        worker.join();
}

QThread *guiThread()
{
    return QCoreApplication::instance()->thread();
}

TEST(MessageBoxes, MessageGetsLineFeedPrefixQuestionDoesNot)
{
    ScopedScriptedServices ui;
    ui->yesNoAnswers = {true, false};

    Show_MessageBox(QStringLiteral("Saved"));
    Show_MessageBox_No_Thread(QStringLiteral("Done"));
    EXPECT_TRUE(Show_YES_NO_MessageBox(QStringLiteral("Replace?")));
    EXPECT_FALSE(Show_YES_NO_MessageBox(QStringLiteral("Really?")));

    EXPECT_EQ(ui->messages, QStringList({QStringLiteral("\nSaved"), QStringLiteral("\nDone")}));
    EXPECT_EQ(ui->questions, QStringList({QStringLiteral("Replace?"), QStringLiteral("Really?")}));
}

TEST(MessageBoxes, WorkerBoxesRunOnTheGuiThread)
{
    ScopedThreadCheckingServices ui;
    ui->yesNoAnswers = {true};
    bool answer = false;

    runOnWorkers({[&] {
        Show_MessageBox(QStringLiteral("From worker"));
        answer = Show_YES_NO_MessageBox(QStringLiteral("Go on?"));
    }});

    EXPECT_TRUE(answer);
    EXPECT_EQ(ui->messages, QStringList(QStringLiteral("\nFrom worker")));
    EXPECT_EQ(ui->threads, QList<QThread *>({guiThread(), guiThread()}));
}

TEST(MessageBoxes, ConcurrentQuestionsEachGetTheirOwnAnswer)
{
    ScopedThreadCheckingServices ui;
    ui->answer = [](const QString &question) { return question.startsWith(QLatin1String("yes")); };

    std::array<bool, 6> answers{};
    std::vector<std::function<void()>> jobs;
    for (int i = 0; i < int(answers.size()); ++i)
        jobs.push_back([&answers, i] {
            const QString question = QString::fromLatin1(i % 2 ? "no %1?" : "yes %1?").arg(i);
            answers[i] = Show_YES_NO_MessageBox(question);
        });
    runOnWorkers(jobs);

    for (int i = 0; i < int(answers.size()); ++i)
        EXPECT_EQ(answers[i], i % 2 == 0) << i;
    EXPECT_EQ(ui->questions.size(), int(answers.size()));
    EXPECT_EQ(ui->threads.count(guiThread()), int(answers.size()));
}

TEST(MessageBoxes, ExceptionsAreLoggedNotThrown)
{
    ScopedThreadCheckingServices ui;
    ui->failMessages = true;
    LogCapture log;

    Show_MessageBox(QStringLiteral("a"));
    Show_MessageBox_No_Thread(QStringLiteral("b"));
    runOnWorkers({[] { Show_MessageBox(QStringLiteral("c")); }});

    EXPECT_EQ(log.lines(), QStringList(3, QStringLiteral("no screen")));
}

TEST(MessageBoxes, LogSkipsNullAndEmptyText)
{
    LogCapture log;
    Show_NSLog_Message(QString());
    Show_NSLog_Message(QStringLiteral(""));
    Show_NSLog_Message(QStringLiteral("Reason: 100%"));
    EXPECT_EQ(log.lines(), QStringList(QStringLiteral("Reason: 100%")));
}

class FolderTest : public ::testing::Test {
protected:
    AppFixture app;
    ScopedScriptedServices ui;

    QString resource(const QString &name) const { return app.resourcePath() + name; }
};

// Names of the entries created directly in `folder` while `action` runs, in creation order.
QStringList createdIn(const QString &folder, const std::function<void()> &action)
{
    const int fd = inotify_init1(IN_NONBLOCK);
    if (fd < 0)
        return {QStringLiteral("inotify unavailable")};
    inotify_add_watch(fd, QFile::encodeName(folder).constData(), IN_CREATE);
    action();
    QStringList names;
    alignas(inotify_event) char buffer[4096];
    ssize_t length;
    while ((length = read(fd, buffer, sizeof buffer)) > 0) {
        for (char *p = buffer; p < buffer + length;) {
            const auto *event = reinterpret_cast<const inotify_event *>(p);
            if (event->len > 0)
                names << QFile::decodeName(event->name);
            p += sizeof(inotify_event) + event->len;
        }
    }
    close(fd);
    return names;
}

TEST_F(FolderTest, CreatesTheDataFoldersInOrderWithoutWorldWriteAccess)
{
    const mode_t previousMask = umask(022);
    const QStringList created = createdIn(app.resourcePath(), [] { Check_Path_And_Create_Files(); });
    umask(previousMask);

    EXPECT_EQ(created, QStringList({"DataSet", "Frames", "Fill_Style_Image", "LibraryImage", "Templates"}));
    for (const char *name : {"DataSet", "Frames", "Fill_Style_Image", "LibraryImage", "Templates",
                                "Templates/User"}) {
        const QString path = resource(QString::fromLatin1(name));
        struct stat info {};
        ASSERT_EQ(stat(QFile::encodeName(path).constData(), &info), 0) << path.toStdString();
        EXPECT_TRUE(S_ISDIR(info.st_mode)) << path.toStdString();
        EXPECT_EQ(info.st_mode & S_IWOTH, 0u) << path.toStdString();
    }
}

TEST_F(FolderTest, KeepsExistingFoldersAndIgnoresErrors)
{
    ASSERT_TRUE(QDir().mkpath(resource("Templates/User")));
    QFile kept(resource("Templates/User/mine.zkse"));
    ASSERT_TRUE(kept.open(QIODevice::WriteOnly));
    kept.close();
    // A file where a folder belongs cannot be replaced; the rest must still be made.
    QFile blocker(resource("Frames"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    // Without a trailing slash the names must still land inside the folder.
    App().Resource_Path.chop(1);

    Check_Path_And_Create_Files();

    EXPECT_TRUE(QFileInfo(resource("Templates/User/mine.zkse")).isFile());
    EXPECT_TRUE(QFileInfo(resource("Frames")).isFile());
    EXPECT_TRUE(QFileInfo(resource("LibraryImage")).isDir());
    EXPECT_TRUE(QFileInfo(resource("DataSet")).isDir());
}

TEST_F(FolderTest, HelpFileOpensOrIsReportedMissing)
{
    Open_Help_File();
    EXPECT_EQ(ui->messages, QStringList(QStringLiteral("\nHelp file does not exist!")));
    EXPECT_TRUE(ui->openedPaths.isEmpty());

    QFile help(resource("Help.pdf"));
    ASSERT_TRUE(help.open(QIODevice::WriteOnly));
    help.close();
    Open_Help_File();
    EXPECT_EQ(ui->openedPaths, QStringList(resource("Help.pdf")));
    EXPECT_EQ(ui->messages.size(), 1);
}

TEST_F(FolderTest, DeleteFileRemovesFilesAndFoldersButNotThroughLinks)
{
    QFile file(resource("a.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_TRUE(QDir().mkpath(resource("folder/inner")));
    ASSERT_TRUE(QDir().mkpath(resource("target")));
    QFile inTarget(resource("target/keep.txt"));
    ASSERT_TRUE(inTarget.open(QIODevice::WriteOnly));
    inTarget.close();
    ASSERT_TRUE(QFile::link(resource("target"), resource("link")));

    Delete_File(resource("a.txt"));
    Delete_File(resource("folder"));
    Delete_File(resource("link"));
    Delete_File(resource("missing.txt"));
    Delete_File(QString());

    EXPECT_FALSE(QFileInfo::exists(resource("a.txt")));
    EXPECT_FALSE(QFileInfo::exists(resource("folder")));
    EXPECT_FALSE(QFileInfo(resource("link")).isSymLink());
    EXPECT_TRUE(QFileInfo(resource("target/keep.txt")).isFile());
}

} // namespace

// A long read runs on a worker while the GUI thread goes on: its timers fire, its windows paint.
TEST(WorkerWait, TheGuiThreadGoesOnWhileTheJobRuns)
{
    // The job ends only once the GUI thread's timer has ticked five times: were the loop not served,
    // it would never end. Run inline, it would wait for itself: there it gives up at once.
    std::atomic<int> ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(10);
    const int answer = WorkerWait::run<int>([&] {
        if (QThread::currentThread() == guiThread())
            return -1;
        while (ticks < 5)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return 42;
    });
    EXPECT_EQ(answer, 42);
}
