#include "platform/PrivateFolder.h"

#include "fixtures/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ctime>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

namespace {

// The temporary folder of the test alone, for as long as it lives.
class OwnTemporaryFolder {
public:
    OwnTemporaryFolder() : m_before(qgetenv("TMPDIR")) { qputenv("TMPDIR", m_dir.path().toLocal8Bit()); }
    ~OwnTemporaryFolder() { qputenv("TMPDIR", m_before); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QByteArray m_before;
};

qint64 endedProcess()
{
    QProcess ended;
    ended.start(QStringLiteral("true"));
    ended.waitForStarted();
    const qint64 id = ended.processId();
    ended.waitForFinished();
    return id;
}

} // namespace

TEST(PrivateFolder, TheSweepTakesWhatKilledRunsLeftAndNothingOfARunningOne)
{
    OwnTemporaryFolder temp;
    const platform::PrivateFolder live(QStringLiteral("card-mail"));
    ASSERT_TRUE(live.isValid()) << live.errorString().toStdString();
    EXPECT_TRUE(live.path().startsWith(temp.filePath(QStringLiteral("card-mail-"))));

    // A run killed while it held its lock: the lock names a process that is gone.
    const QString killed = temp.filePath(QStringLiteral("card-test-a1B2c3"));
    ASSERT_TRUE(QDir().mkpath(killed));
    QFile held(QDir(live.path()).filePath(platform::PrivateFolder::kLockName));
    ASSERT_TRUE(held.open(QIODevice::ReadOnly));
    QByteArray contents = held.readAll();
    contents.replace(0, contents.indexOf('\n'), QByteArray::number(endedProcess()));
    QFile lock(QDir(killed).filePath(platform::PrivateFolder::kLockName));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly) && lock.write(contents) == contents.size());
    lock.close();
    // One killed before it took its lock; another program's folder, and a file of the same shape.
    auto early = std::make_unique<platform::PrivateFolder>(QStringLiteral("card-test"));
    const QString unlocked = early->path();
    ASSERT_TRUE(QFile::remove(early->filePath(platform::PrivateFolder::kLockName)));
    const QString foreign = temp.filePath(QStringLiteral("other-a1B2c3"));
    ASSERT_TRUE(QDir().mkpath(foreign));
    QFile file(temp.filePath(QStringLiteral("card-test-q1w2e3")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    EXPECT_EQ(platform::PrivateFolder::sweepStale({QStringLiteral("card-test"), QStringLiteral("card-mail")}, 0), 2);
    EXPECT_FALSE(QFileInfo::exists(killed));
    EXPECT_FALSE(QFileInfo::exists(unlocked));
    EXPECT_TRUE(QFileInfo::exists(live.path())) << "its owner runs";
    EXPECT_TRUE(QFileInfo::exists(foreign));
    EXPECT_TRUE(file.exists());
    // Unlocked but young: its owner may be about to lock it.
    early = std::make_unique<platform::PrivateFolder>(QStringLiteral("card-test"));
    ASSERT_TRUE(QFile::remove(early->filePath(platform::PrivateFolder::kLockName)));
    EXPECT_EQ(platform::PrivateFolder::sweepStale({QStringLiteral("card-test")}), 0);
    EXPECT_TRUE(QFileInfo::exists(early->path()));
}

TEST(PrivateFolder, TheSweepLeavesFoldersOfTheSameShapeThatTheProgramDidNotMake)
{
    OwnTemporaryFolder temp;
    const auto makeOld = [](const QString &folder, const QString &file, const QByteArray &contents, bool made) {
        // The program makes its folders sticky and 0700 with mkdir itself.
        const bool there = made ? ::mkdir(QFile::encodeName(folder).constData(), S_ISVTX | S_IRWXU) == 0 : QDir().mkpath(folder);
        if (!there || (!file.isEmpty() && !writeFileBytes(QDir(folder).filePath(file), contents)))
            return false;
        // Two hours old, as `touch -d '2 hours ago'` makes it.
        const struct timeval old[2] = {{::time(nullptr) - 7200, 0}, {::time(nullptr) - 7200, 0}};
        return ::utimes(QFile::encodeName(folder).constData(), old) == 0;
    };
    const struct {
        const char *name;
        const char *file;
        QByteArray contents;
        bool held; // its lock flocked by another open file, as a live owner in another pid namespace holds it
        bool removed;
        bool made = false; // as the program makes its folders
        bool arrives = false; // a file is written into it after the sweep looked, before it removes
    } cases[] = {
        {"card-mail-outbox", "letter.txt", "Dear all,", false, false},
        {"card-mail-drafts", "", "", false, false},
        {"card-designer-export", "Card_1.PNG", "picture", false, false},
        {"card-mail-a1B2c3", "", "", false, true, true}, // its run was killed before it took its lock
        {"card-mail-N3wF1l", "", "", false, false, true, true},
        {"card-mail-Q1w2E3", ".owner.lock", "not a lock", false, false},
        {"card-mail-Z9y8X7", ".owner.lock", QByteArray::number(endedProcess()) + "\ncard-designer\n\n", false, true},
        {"card-mail-H3ld00", ".owner.lock", QByteArray::number(endedProcess()) + "\ncard-designer\n\n", true, false},
    };
    static QStringList arriving;
    std::vector<int> held;
    for (const auto &c : cases) {
        const QString folder = temp.filePath(QLatin1String(c.name));
        ASSERT_TRUE(makeOld(folder, QLatin1String(c.file), c.contents, c.made)) << c.name;
        if (c.arrives)
            arriving << folder;
        if (c.held) {
            held.push_back(::open(QFile::encodeName(QDir(folder).filePath(QLatin1String(c.file))).constData(), O_RDWR | O_CLOEXEC));
            ASSERT_EQ(::flock(held.back(), LOCK_EX), 0) << c.name;
        }
    }

    platform::PrivateFolder::setBeforeRemovingForTesting([](const QString &folder) {
        if (arriving.contains(folder))
            writeFileBytes(QDir(folder).filePath(QStringLiteral("Card_1.PNG")), "picture");
    });
    platform::PrivateFolder::sweepStale({QStringLiteral("card-designer"), QStringLiteral("card-mail")});
    platform::PrivateFolder::setBeforeRemovingForTesting(nullptr);
    for (const auto &c : cases) {
        EXPECT_EQ(QFileInfo::exists(temp.filePath(QLatin1String(c.name))), !c.removed) << c.name;
        if (c.arrives) {
            EXPECT_TRUE(QFileInfo::exists(temp.filePath(QLatin1String(c.name) + QStringLiteral("/Card_1.PNG")))) << c.name;
        }
    }
    EXPECT_TRUE(QFileInfo::exists(temp.filePath(QStringLiteral("card-mail-outbox/letter.txt"))));
    for (const int fd : held)
        ::close(fd);
    EXPECT_EQ(platform::PrivateFolder::sweepStale({QStringLiteral("card-mail")}), int(held.size())) << "once let go";
}
