#include "platform/SafeFileWriter.h"

#include "fixtures/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

TEST(SafeFileWriter, EveryNameTheFolderTakesIsWrittenAndAKilledWritesLeftoversAreItsOwn)
{
    QTemporaryDir dir;
    const struct {
        const char *what;
        QString name;
    } cases[] = {
        {"a short name", QStringLiteral("card.zkse")},
        {"250 bytes", QString(245, QLatin1Char('n')) + QStringLiteral(".zkse")},
        {"255 bytes", QString(250, QLatin1Char('n')) + QStringLiteral(".zkse")},
        {"255 bytes of two-byte letters", QString(1, QLatin1Char('a')) + QString(127, QChar(0xE9))},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = dir.filePath(c.name);
        // What a write killed between naming its temporary file and the rename leaves.
        const QString leftover = platform::temporaryFilePrefix(path) + QStringLiteral("Ab3xZ9");
        EXPECT_LE(QFile::encodeName(QFileInfo(leftover).fileName()).size(), NAME_MAX);
        ASSERT_TRUE(writeFileBytes(leftover, "half"));
        EXPECT_EQ(platform::leftoverTemporaryFiles(path), QStringList{leftover});
        // Another long name that begins alike has leftovers of its own.
        QString alike = c.name;
        alike[alike.size() - 1] = QLatin1Char('x');
        EXPECT_TRUE(platform::leftoverTemporaryFiles(dir.filePath(alike)).isEmpty());

        QString error;
        EXPECT_TRUE(platform::writeFileSafely(path, "whole", &error)) << error.toStdString();
        EXPECT_EQ(fileBytes(path), "whole");
        EXPECT_FALSE(QFileInfo::exists(leftover));
    }
}

TEST(SafeFileWriter, APrintedFileOfTheLongestNameTakesItsPlace)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QString(251, QLatin1Char('p')) + QStringLiteral(".pdf"));
    platform::SavingFile file(path);
    QString error;
    ASSERT_TRUE(file.begin(&error)) << error.toStdString();
    EXPECT_LE(QFile::encodeName(QFileInfo(file.temporaryPath()).fileName()).size(), NAME_MAX);
    file.write("%PDF-1.4\n%%EOF\n");
    EXPECT_TRUE(file.commit({}, &error)) << error.toStdString();
    EXPECT_EQ(fileBytes(path), "%PDF-1.4\n%%EOF\n");
}

TEST(SafeFileWriter, ATargetTheUserMayNotWriteOrAFolderIsRefusedAndLeftAsItWas)
{
    QTemporaryDir dir;
    // A folder the plain user may write in, so that only the file's own protection stands in the way.
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 01777), 0);
    const struct {
        const char *what;
        mode_t mode; // 0: a folder stands there
        bool refused;
        const char *reason;
    } cases[] = {
        {"a read-only file", 0444, true, "The file %1 is read-only."},
        {"a writable file", 0644, false, ""},
        {"a folder", 0, true, "%1 is a folder, not a file."},
    };
    int row = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = dir.filePath(QStringLiteral("target-%1").arg(++row));
        // Checked in a child: root would pass every permission check.
        const int outcome = asPlainUser([&] {
            if (c.mode == 0 ? !QDir().mkdir(path)
                            : !writeFileBytes(path, "kept") || ::chmod(QFile::encodeName(path).constData(), c.mode) != 0)
                return 10;
            const QString expected = c.refused ? QString::fromLatin1(c.reason).arg(path) : QString();
            QString saved;
            QString printed;
            platform::SavingFile printing(path);
            const bool wrote = platform::writeFileSafely(path, "new", &saved);
            const bool began = printing.begin(&printed);
            printing.discard();
            if (wrote == c.refused || began == c.refused)
                return 1;
            if (c.refused && (saved != expected || printed != expected))
                return 2;
            if (c.mode != 0 && fileBytes(path) != (c.refused ? "kept" : "new"))
                return 3;
            for (const QString &name : QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
                if (name.contains(QLatin1String(".saving-")) || name.contains(QLatin1String(".part-")))
                    return 4;
            return 0;
        });
        EXPECT_EQ(outcome, 0) << "1: refused or not as it should be, 2: the reason, 3: the file, 4: a file left";
    }
}

TEST(SafeFileWriter, ABatchSweepsEachFilesLeftoversOfThisUserOnly)
{
    QTemporaryDir dir;
    const auto path = [&](const QString &name) { return dir.filePath(name); };
    const QStringList theirs{path(QStringLiteral("Card_1.PNG.saving-a1B2c3")), path(QStringLiteral("Card_2.PNG.saving-Zz9Yy8")),
                             path(QStringLiteral("Card_2.PNG.saving-Qq1Ww2"))};
    const QStringList kept{path(QStringLiteral("Card_3.PNG.saving-a1B2c3")), path(QStringLiteral("Card_1.PNG.saving-a1B2c")),
                           path(QStringLiteral("Card_1.PNG.saving-a1B2c!"))};
    for (const QString &file : theirs + kept)
        ASSERT_TRUE(writeFileBytes(file, "half"));
    // Not regular files of this user: a link to someone's file, and a folder.
    const QString precious = path(QStringLiteral("precious"));
    ASSERT_TRUE(writeFileBytes(precious, "keep"));
    const QString link = path(QStringLiteral("Card_1.PNG.saving-L1nk00"));
    ASSERT_TRUE(QFile::link(precious, link));
    const QString folder = path(QStringLiteral("Card_2.PNG.saving-F0lder"));
    ASSERT_TRUE(QDir().mkdir(folder));

    platform::SafeFileBatch batch;
    for (const char *name : {"Card_1.PNG", "Card_2.PNG"})
        ASSERT_TRUE(batch.write(path(QLatin1String(name)), "picture"));
    for (const QString &file : theirs)
        EXPECT_FALSE(QFileInfo::exists(file)) << file.toStdString();
    for (const QString &file : kept + QStringList{link, folder})
        EXPECT_TRUE(QFileInfo(file).isSymLink() || QFileInfo::exists(file)) << file.toStdString();
    EXPECT_EQ(fileBytes(precious), "keep");
}

TEST(SafeFileWriter, APrintsLeftoverSweepTakesOnlyThisUsersOwnFilesOfEndedProcesses)
{
    QTemporaryDir dir;
    const pid_t ended = ::fork();
    if (ended == 0)
        ::_exit(0);
    ASSERT_GT(ended, 0);
    ::waitpid(ended, nullptr, 0);
    const auto part = [&](const char *name, qint64 pid) {
        return dir.filePath(QStringLiteral(".%1.part-%2-a1B2c3").arg(QLatin1String(name)).arg(pid));
    };
    const QString own = part("own.pdf", ended);
    const QString running = part("running.pdf", ::getpid());
    const QString linked = part("linked.pdf", ended);
    const QString someoneElses = part("theirs.pdf", ended);
    const QString precious = dir.filePath(QStringLiteral("precious.pdf"));
    for (const QString &file : {own, running, precious, someoneElses})
        ASSERT_TRUE(writeFileBytes(file, "%PDF"));
    ASSERT_TRUE(QFile::link(precious, linked));
    ASSERT_TRUE(QDir().mkdir(part("folder.pdf", ended)));
    QStringList expected{own};
    if (::getuid() != 0 || ::chown(QFile::encodeName(someoneElses).constData(), 65534, 65534) != 0)
        expected << someoneElses; // without root the test cannot give a file away: it is the user's own
    expected.sort();
    EXPECT_EQ(platform::SavingFile::leftovers(dir.path()), expected);
}
