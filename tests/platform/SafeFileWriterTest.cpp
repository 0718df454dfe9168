#include "platform/SafeFileWriter.h"

#include "fixtures/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QDirIterator>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <csignal>
#include <cstdio>
#include <functional>
#include <iostream>
#include <memory>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

mode_t modeOf(const QString &path)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// The two ways a file is written: whole, and a piece at a time as it is printed.
using Write = bool (*)(const QString &path, const QByteArray &bytes, QString *error);
bool writeWhole(const QString &path, const QByteArray &bytes, QString *error)
{
    return platform::writeFileSafely(path, bytes, error);
}
bool writePrinted(const QString &path, const QByteArray &bytes, QString *error)
{
    QString ignored;
    error = error ? error : &ignored;
    platform::SavingFile file(path);
    return file.begin(error) && file.write(bytes) == bytes.size() && file.commit({}, error);
}
const struct {
    const char *what;
    Write write;
} kWriters[] = {{"a whole file", writeWhole}, {"a printed file", writePrinted}};

// A child process that runs `start`, tells whether it went, then runs `step` over and over until the
// object ends. Both run after a fork of a process that may have threads: system calls only.
class ChildProcess {
public:
    ChildProcess(const std::function<bool()> &start, const std::function<void()> &step)
    {
        int ready[2];
        if (::pipe(ready) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            const char done = start() ? '1' : '0';
            (void)!::write(ready[1], &done, 1);
            for (;;)
                step();
        }
        ::close(ready[1]);
        char done = '0';
        m_ready = m_pid > 0 && ::read(ready[0], &done, 1) == 1 && done == '1';
        ::close(ready[0]);
    }
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;
    ~ChildProcess()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    bool ready() const { return m_ready; }

private:
    pid_t m_pid = -1;
    bool m_ready = false;
};

// Another process that holds an exclusive flock on a file, as a second instance writing it would.
std::unique_ptr<ChildProcess> lockingProcess(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    return std::make_unique<ChildProcess>(
        [name] {
            const int fd = ::open(name.constData(), O_RDWR);
            return fd >= 0 && ::flock(fd, LOCK_EX) == 0;
        },
        [] { ::pause(); });
}

// Puts the calling process, which must have one thread (a child just forked), into a user and a mount
// namespace of its own, as the same user, so that it may mount file systems that no other process sees.
bool inOwnMountNamespace()
{
    const uid_t user = ::getuid();
    const gid_t group = ::getgid();
    const auto write = [](const char *file, const QByteArray &line) {
        const int fd = ::open(file, O_WRONLY | O_CLOEXEC);
        const bool written = fd >= 0 && ::write(fd, line.constData(), size_t(line.size())) == line.size();
        if (fd >= 0)
            ::close(fd);
        return written;
    };
    // A process that gave up root may not write its own maps until it says it may be looked into.
    return ::prctl(PR_SET_DUMPABLE, 1) == 0 && ::unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0 &&
           write("/proc/self/setgroups", "deny") &&
           write("/proc/self/uid_map", QByteArray::number(user) + ' ' + QByteArray::number(user) + " 1") &&
           write("/proc/self/gid_map", QByteArray::number(group) + ' ' + QByteArray::number(group) + " 1") &&
           ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

} // namespace

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

// A chain of links, each relative to its own folder, is kept and the file at its end written; the
// temporary file is made beside that file. A loop is refused.
TEST(SafeFileWriter, AWriteThroughAChainOfLinksReachesTheFileAtItsEnd)
{
    const auto linkText = [](const QString &path) {
        char text[PATH_MAX];
        const ssize_t size = ::readlink(QFile::encodeName(path).constData(), text, sizeof text);
        return size > 0 ? QByteArray(text, size) : QByteArray();
    };
    for (const auto &writer : kWriters) {
        SCOPED_TRACE(writer.what);
        QTemporaryDir dir;
        const QString a = dir.filePath(QStringLiteral("a")), b = dir.filePath(QStringLiteral("links/b"));
        const QString c = dir.filePath(QStringLiteral("kept/c"));
        ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("links"))) && QDir().mkpath(dir.filePath(QStringLiteral("kept"))));
        ASSERT_TRUE(writeFileBytes(c, "old"));
        ASSERT_EQ(::symlink("../kept/c", QFile::encodeName(b).constData()), 0);
        ASSERT_EQ(::symlink("links/b", QFile::encodeName(a).constData()), 0);
        QString error;
        EXPECT_TRUE(writer.write(a, "new", &error)) << error.toStdString();
        EXPECT_EQ(fileBytes(c), "new");
        EXPECT_EQ(linkText(a), "links/b");
        EXPECT_EQ(linkText(b), "../kept/c");
        EXPECT_EQ(QDir(dir.filePath(QStringLiteral("kept"))).entryList(QDir::Files | QDir::Hidden), QStringList{"c"});

        const QString loop = dir.filePath(QStringLiteral("loop"));
        ASSERT_EQ(::symlink("round", QFile::encodeName(loop).constData()), 0);
        ASSERT_EQ(::symlink("loop", QFile::encodeName(dir.filePath(QStringLiteral("round"))).constData()), 0);
        EXPECT_FALSE(writer.write(loop, "new", &error));
        EXPECT_EQ(error, QStringLiteral("The links at %1 go round in a loop, or through more than 40 links.").arg(loop));
        EXPECT_EQ(linkText(loop), "round");
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::System | QDir::Hidden).size(), 3) << "a, loop and round";
    }
}

// Each link on the way is followed only as the kernel would follow it, a folder's as well as the final
// name's: in a folder everyone may write to and only owners may delete from, another user's link is
// refused. Written by a plain user, whom such links are planted against.
TEST(SafeFileWriter, ALinkAnotherUserPlantedInASharedFolderIsNotFollowed)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "giving links to other users needs root";
    constexpr uid_t kUser = 65534, kOther = 65533, kFolderOwner = 65532;
    enum Reached { AtTheLink, ThroughOwnLink, AsItsFolder };
    const struct {
        const char *what;
        mode_t folderMode;
        uid_t linkOwner;
        Reached reached; // ThroughOwnLink: through a link of the user's in a private folder first
        bool followed;
    } cases[] = {
        {"another user's link in a shared folder", 01777, kOther, AtTheLink, false},
        {"the same, at the end of a chain", 01777, kOther, ThroughOwnLink, false},
        {"the user's own link there", 01777, kUser, AtTheLink, true},
        {"a link of the folder's owner", 01777, kFolderOwner, AtTheLink, true},
        {"another user's link where none may delete others' files", 0777, kOther, AtTheLink, true},
        {"another user's link to a folder, written into", 01777, kOther, AsItsFolder, false},
        {"the user's own link to a folder there", 01777, kUser, AsItsFolder, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString shared = dir.filePath(QStringLiteral("shared")), own = dir.filePath(QStringLiteral("own"));
        const QString folder = dir.filePath(QStringLiteral("folder"));
        const QString planted = shared + (c.reached == AsItsFolder ? QStringLiteral("/planted") : QStringLiteral("/card.png"));
        const QString target = c.reached == AsItsFolder ? folder + QStringLiteral("/card.png") : dir.filePath(QStringLiteral("target"));
        const QString written = c.reached == AsItsFolder ? planted + QStringLiteral("/card.png") : c.reached == ThroughOwnLink ? own : planted;
        const auto name = [](const QString &path) { return QFile::encodeName(path); };
        ASSERT_TRUE(QDir().mkdir(shared) && QDir().mkdir(folder) && writeFileBytes(target, "old") &&
                    QFile::link(c.reached == AsItsFolder ? folder : target, planted) && QFile::link(planted, own));
        for (const QString &users : {dir.path(), folder, target, own})
            ASSERT_EQ(::lchown(name(users).constData(), kUser, kUser), 0);
        ASSERT_TRUE(::chown(name(shared).constData(), kFolderOwner, 0) == 0 && ::chmod(name(shared).constData(), c.folderMode) == 0 &&
                    ::lchown(name(planted).constData(), c.linkOwner, 0) == 0);
        const QString refusal = QStringLiteral("The link %1 belongs to another user in a folder others may write to: it is not followed.").arg(planted);
        enum Outcome { Written, RefusedSo, OtherwiseRefused };
        const int outcome = asPlainUser([&] {
            QString error;
            // Folders made for a write take the same road as the write.
            if (platform::makeFolders(QFileInfo(written).path() + QStringLiteral("/made")).isEmpty() !=
                (c.reached != AsItsFolder || c.followed))
                return OtherwiseRefused;
            return platform::writeFileSafely(written, "new", &error) ? Written : error == refusal ? RefusedSo : OtherwiseRefused;
        });
        EXPECT_EQ(outcome, c.followed ? Written : RefusedSo);
        EXPECT_EQ(fileBytes(target), c.followed ? "new" : "old");
        EXPECT_TRUE(QFileInfo(planted).isSymLink());
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"card.png"}.mid(c.reached == AsItsFolder ? 0 : 1));
    }
}

TEST(SafeFileWriter, ATargetTheUserMayNotWriteOrAFolderIsRefusedAndLeftAsItWas)
{
    QTemporaryDir dir;
    // A folder the plain user may write in, so that only the file's own protection stands in the way.
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 01777), 0);
    enum Refused { No, AtTheStart, WhenPrinted };
    const struct {
        const char *what;
        mode_t mode; // 0: a folder stands there
        Refused refused;
        const char *reason; // %1: the file, or its folder on a read-only file system
        bool readOnlyMount; // the file's folder a file system mounted read-only
    } cases[] = {
        {"a read-only file", 0444, AtTheStart, "The file %1 is read-only.", false},
        {"a writable file", 0644, No, "", false},
        {"a folder", 0, AtTheStart, "%1 is a folder, not a file.", false},
        // A print takes long: the user may protect the file meanwhile, or put a folder in its place.
        {"a file made read-only while it is printed", 0444, WhenPrinted, "The file %1 is read-only.", false},
        {"a folder put in the file's place while it is printed", 0, WhenPrinted, "%1 is a folder, not a file.", false},
        {"a writable file on a read-only file system", 0644, AtTheStart, "The file system of the folder %1 is read-only.", true},
    };
    const QString mounted = dir.filePath(QStringLiteral("mounted"));
    ASSERT_TRUE(QDir().mkdir(mounted));
    const QByteArray mountedName = QFile::encodeName(mounted);
    int row = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = (c.readOnlyMount ? mounted : dir.path()) + QStringLiteral("/target-%1").arg(++row);
        const QByteArray pathName = QFile::encodeName(path);
        // Checked in a child: root would pass every permission check.
        const int outcome = asPlainUser([&] {
            const auto protect = [&] {
                if (c.readOnlyMount)
                    return ::mount(nullptr, mountedName.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
                return c.mode == 0 ? QDir().mkdir(path) : ::chmod(pathName.constData(), c.mode) == 0;
            };
            // A file system of the child's own, in namespaces that end with it: no mount of the
            // machine's changes.
            if (c.readOnlyMount && !inOwnMountNamespace())
                return 20;
            if (c.readOnlyMount && ::mount("none", mountedName.constData(), "tmpfs", 0, nullptr) != 0)
                return 10;
            if (c.mode != 0 && !writeFileBytes(path, "kept"))
                return 10;
            if (c.refused != WhenPrinted && !protect())
                return 10;
            const QString expected =
                c.refused != No ? QString::fromLatin1(c.reason).arg(c.readOnlyMount ? mounted : path) : QString();
            QString saved;
            QString printed;
            platform::SavingFile printing(path);
            const bool wrote = c.refused == WhenPrinted || platform::writeFileSafely(path, "new", &saved);
            const bool began = printing.begin(&printed);
            if (c.refused == WhenPrinted) {
                if (!began || printing.write("new") != 3 || !protect())
                    return 10;
                if (printing.commit({}, &printed))
                    return 1;
                if (printed != expected)
                    return 2;
            } else {
                printing.discard();
                if (wrote == (c.refused != No) || began == (c.refused != No))
                    return 1;
                if (c.refused != No && (saved != expected || printed != expected))
                    return 2;
            }
            if (c.mode != 0 && (fileBytes(path) != (c.refused != No ? "kept" : "new") || modeOf(path) != c.mode))
                return 3;
            // Removing a file leaves a folder in its place standing.
            if (c.mode == 0 && (platform::removeSafely(path).isEmpty() || !QFileInfo(path).isDir()))
                return 3;
            for (const QString &name : QDir(QFileInfo(path).path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
                if (name.contains(QLatin1String(".saving-")) || name.contains(QLatin1String(".part-")))
                    return 4;
            return 0;
        });
        if (outcome == 20) {
            std::cout << "skipped: " << c.what << ": no user namespace may be made here\n";
            continue;
        }
        EXPECT_EQ(outcome, 0) << "1: refused or not as it should be, 2: the reason, 3: the file or folder, 4: a file left";
    }
}

// Where nothing stands, nothing is said, though unlink answers that the file system is read-only
// before it looks for the name; a file that stays there is named.
TEST(SafeFileWriter, RemovingANameWhereNothingStandsOnAReadOnlyFileSystemSaysNothing)
{
    QTemporaryDir dir;
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 01777), 0);
    const QString mounted = dir.filePath(QStringLiteral("mounted"));
    ASSERT_TRUE(QDir().mkdir(mounted));
    const QByteArray mountedName = QFile::encodeName(mounted);
    const QString path = mounted + QStringLiteral("/settings.plist");
    const struct {
        const char *what;
        bool there; // a file stands at the name
        platform::Removing folders;
    } cases[] = {
        {"nothing", false, platform::Removing::AFile},
        {"nothing, a folder too", false, platform::Removing::AFolderToo},
        {"a file", true, platform::Removing::AFile},
        {"a file, a folder too", true, platform::Removing::AFolderToo},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const int outcome = asPlainUser([&] {
            if (!inOwnMountNamespace())
                return 20;
            if (::mount("none", mountedName.constData(), "tmpfs", 0, nullptr) != 0 || (c.there && !writeFileBytes(path, "kept")) ||
                ::mount(nullptr, mountedName.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0)
                return 10;
            const QString said = platform::removeSafely(path, c.folders);
            if (said != (c.there ? QStringLiteral("%1 could not be removed: Read-only file system.").arg(path) : QString()))
                return 1;
            return QFileInfo::exists(path) == c.there ? 0 : 2;
        });
        if (outcome == 20) {
            std::cout << "skipped: " << c.what << ": no user namespace may be made here\n";
            continue;
        }
        EXPECT_EQ(outcome, 0) << "1: what was said, 2: what stands there";
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

TEST(SafeFileWriter, ASweepTakesOnlyThisUsersLeftoversThatNoWriteHoldsLocked)
{
    const pid_t ended = ::fork();
    if (ended == 0)
        ::_exit(0);
    ASSERT_GT(ended, 0);
    ::waitpid(ended, nullptr, 0);
    enum Kind { Plain, LockedHere, LockedElsewhere, Link, Folder, Theirs };
    const struct {
        const char *what;
        QString name;
        Kind kind;
        bool gone; // by a print begun and by a whole file's write alike: they take their own file's only
    } rows[] = {
        {"a killed write's file", QStringLiteral("card.pdf.saving-a1B2c3"), Plain, true},
        {"an earlier version's part of an ended process", QStringLiteral(".card.pdf.part-%1-a1B2c3").arg(ended), Plain, true},
        // Those versions take no lock: a process of theirs still running may be writing it.
        {"an earlier version's part of a running process", QStringLiteral(".card.pdf.part-%1-b1B2c3").arg(::getpid()), Plain, false},
        // A user's own file may happen to have the shape.
        {"another file's leftover", QStringLiteral("other.pdf.saving-a1B2c3"), Plain, false},
        {"a file another open file holds locked", QStringLiteral("card.pdf.saving-L0ck3d"), LockedHere, false},
        {"a write of another process", QStringLiteral("card.pdf.saving-0ther1"), LockedElsewhere, false},
        // Of an ended process, as the swept one above: only the lock keeps it.
        {"an earlier name another process holds", QStringLiteral(".card.pdf.part-%1-0ther2").arg(ended), LockedElsewhere, false},
        {"a link to someone's file", QStringLiteral("card.pdf.saving-L1nk00"), Link, false},
        {"a folder", QStringLiteral("card.pdf.saving-F0lder"), Folder, false},
        {"another user's file", QStringLiteral("card.pdf.saving-Th3irs"), Theirs, false},
        {"five letters", QStringLiteral("card.pdf.saving-a1B2c"), Plain, false},
        {"a letter not of the shape", QStringLiteral("card.pdf.saving-a1B2c!"), Plain, false},
        {"a part without a process", QStringLiteral(".card.pdf.part--a1B2c3"), Plain, false},
        {"a part not hidden", QStringLiteral("card.pdf.part-12-a1B2c3"), Plain, false},
    };
    const struct {
        const char *what;
        bool print;
    } sweepers[] = {{"a print begun", true}, {"a whole file written", false}};
    for (const auto &sweeper : sweepers) {
        QTemporaryDir dir;
        const QString precious = dir.filePath(QStringLiteral("precious"));
        ASSERT_TRUE(writeFileBytes(precious, "keep"));
        const QString target = dir.filePath(QStringLiteral("card.pdf"));
        QString error;
        // A print of the same name under way: its own lock keeps its file.
        platform::SavingFile first(target);
        ASSERT_TRUE(first.begin(&error)) << error.toStdString();
        first.write("%PDF first");
        std::vector<std::unique_ptr<ChildProcess>> others;
        std::vector<int> heldHere;
        bool given = false; // a file could be given to another user: the test runs as root
        for (const auto &row : rows) {
            const QString path = dir.filePath(row.name);
            if (row.kind == Link) {
                ASSERT_TRUE(QFile::link(precious, path));
                continue;
            }
            if (row.kind == Folder) {
                ASSERT_TRUE(QDir().mkdir(path));
                continue;
            }
            ASSERT_TRUE(writeFileBytes(path, "half"));
            if (row.kind == Theirs)
                given = ::getuid() == 0 && ::chown(QFile::encodeName(path).constData(), 65534, 65534) == 0;
            if (row.kind == LockedHere) {
                // A second open() is a description of its own: the sweep's must see this one's lock.
                heldHere.push_back(::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC));
                ASSERT_EQ(::flock(heldHere.back(), LOCK_EX), 0);
            }
            if (row.kind == LockedElsewhere) {
                others.push_back(lockingProcess(path));
                ASSERT_TRUE(others.back()->ready());
            }
        }
        const auto sweep = [&] {
            if (!sweeper.print)
                return platform::writeFileSafely(target, "whole", &error);
            platform::SavingFile printing(target);
            return printing.begin(&error);
        };
        ASSERT_TRUE(sweep()) << error.toStdString();
        for (const auto &row : rows) {
            const QFileInfo left(dir.filePath(row.name));
            const bool gone = row.gone || (row.kind == Theirs && !given);
            EXPECT_EQ(!left.exists() && !left.isSymLink(), gone) << sweeper.what << ": " << row.what;
        }
        EXPECT_EQ(fileBytes(precious), "keep");
        EXPECT_TRUE(first.commit({}, &error)) << error.toStdString();
        EXPECT_EQ(fileBytes(target), "%PDF first");
        // The lock was all that kept them.
        others.clear();
        for (const int fd : heldHere)
            ::close(fd);
        ASSERT_TRUE(sweep()) << error.toStdString();
        for (const auto &row : rows)
            EXPECT_TRUE((row.kind != LockedHere && row.kind != LockedElsewhere) || !QFileInfo::exists(dir.filePath(row.name)))
                << sweeper.what << ", unlocked: " << row.what;
    }
}

TEST(SafeFileWriter, ManyThreadsWritingLeaveTheUmaskAsItWasAndEachFileTheModeItShouldHave)
{
    ASSERT_NE(platform::currentUmask(), -1) << "the system does not tell the umask";
    constexpr mode_t kMask = 027;
    const mode_t previous = ::umask(kMask);
    constexpr int kThreads = 8;
    constexpr int kFiles = 300;
    // Every third file replaces one, whose permissions it keeps; the others are new.
    const auto expectedMode = [](int file) { return file % 3 == 0 ? mode_t(0604) : mode_t(0666 & ~kMask); };
    for (const auto &writer : kWriters) {
        SCOPED_TRACE(writer.what);
        QTemporaryDir dir;
        const auto path = [&](int thread, int file) { return dir.filePath(QStringLiteral("%1-%2").arg(thread).arg(file)); };
        for (int thread = 0; thread < kThreads; ++thread)
            for (int file = 0; file < kFiles; file += 3) {
                ASSERT_TRUE(writeFileBytes(path(thread, file), "old"));
                ASSERT_EQ(::chmod(QFile::encodeName(path(thread, file)).constData(), 0604), 0);
            }
        std::atomic<bool> done{false};
        std::atomic<int> otherMask{-1};
        std::thread watcher([&] {
            while (!done)
                if (const int mask = platform::currentUmask(); mask != int(kMask))
                    otherMask = mask;
        });
        std::atomic<int> failed{0};
        std::vector<std::thread> threads;
        for (int thread = 0; thread < kThreads; ++thread)
            threads.emplace_back([&, thread] {
                for (int file = 0; file < kFiles; ++file)
                    if (!writer.write(path(thread, file), "bytes", nullptr))
                        ++failed;
            });
        for (std::thread &thread : threads)
            thread.join();
        done = true;
        watcher.join();
        EXPECT_EQ(failed, 0);
        EXPECT_EQ(otherMask, -1) << "the umask was " << std::oct << otherMask.load();
        EXPECT_EQ(platform::currentUmask(), int(kMask));
        int wrongModes = 0;
        for (int thread = 0; thread < kThreads; ++thread)
            for (int file = 0; file < kFiles; ++file)
                wrongModes += modeOf(path(thread, file)) != expectedMode(file);
        EXPECT_EQ(wrongModes, 0) << "of " << kThreads * kFiles;
    }
    // A file that was to replace one gone meanwhile is a new file after all.
    QTemporaryDir dir;
    const QString gone = dir.filePath(QStringLiteral("gone.pdf"));
    ASSERT_TRUE(writeFileBytes(gone, "old") && ::chmod(QFile::encodeName(gone).constData(), 0604) == 0);
    platform::SavingFile printing(gone);
    QString error;
    ASSERT_TRUE(printing.begin(&error) && printing.write("%PDF") == 4 && QFile::remove(gone));
    EXPECT_TRUE(printing.commit({}, &error)) << error.toStdString();
    EXPECT_EQ(modeOf(gone), mode_t(0666 & ~kMask));
    ::umask(previous);
}

namespace {

// Another user (nobody) who, in a child process, sets up what `prepare` makes and then swaps the
// names `a` and `b` with each other, over and over, until the object ends.
std::unique_ptr<ChildProcess> swapper(const std::function<bool()> &prepare, const QString &a, const QString &b)
{
    const QByteArray first = QFile::encodeName(a), second = QFile::encodeName(b);
    // Held for a while between swaps, a different while each time, so that swaps fall at every step
    // of a write rather than mostly in the first; the swapped state briefly, for a write that meets
    // it is refused at once, and then another tried.
    return std::make_unique<ChildProcess>([prepare] { return ::setgid(65534) == 0 && ::setuid(65534) == 0 && prepare(); },
                        [first, second, turn = 1u, swapped = 1u]() mutable {
                            ::renameat2(AT_FDCWD, first.constData(), AT_FDCWD, second.constData(), RENAME_EXCHANGE);
                            for (unsigned spin = (turn >> 16) % (swapped ? 20000 : 200000); spin > 0; --spin)
                                asm volatile("");
                            turn = turn * 1103515245u + 12345u;
                            swapped ^= 1;
                        });
}

} // namespace

// Root works in a folder of another user's inside a folder everyone may write to without the sticky
// bit, where the kernel follows every link whatever the machine's rule on links says, and so does the
// walk; that user swaps the folder for a link to one of root's, or the file's name for a link, over
// and over. Whichever moment the swap comes, each write, make, removal and rename acts wholly in the
// one folder its walk reached: nothing is split between the two, left behind, or put in a link's place.
TEST(SafeFileWriter, EachWriteMakeRemovalAndRenameActsInOneFolderWhileAnotherUserSwapsLinksIn)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "a race with another user needs root";
    enum Swapped { TheFolder, TheFolderOverALink, TheName };
    const auto exists = [](const QString &path) { return QFileInfo::exists(path); };
    // What the entry `n` is in one folder: before or after a road took it, or anything else.
    using State = std::function<QString(const QString &folder, const QString &n)>;
    const State made = [&](const QString &folder, const QString &n) {
        return !exists(folder + n) ? "before" : QFileInfo(folder + n + "/a/b").isDir() ? "after" : "split";
    };
    const State removed = [&](const QString &folder, const QString &n) {
        return !exists(folder + n) ? "after" : exists(folder + n + "/a/x") && exists(folder + n + "/b") ? "before" : "split";
    };
    const State renamed = [&](const QString &folder, const QString &n) {
        const bool before = exists(folder + n + ".old"), after = exists(folder + n + ".new");
        return before != after ? (before ? "before" : "after") : "split";
    };
    const struct {
        const char *what;
        Swapped swapped;
        int count;
        Write write; // a file written; or the road below, on an entry of its own each time
        std::function<bool(const QString &sub, const QString &n)> road;
        std::function<bool(const QString &folder, const QString &n)> prepare;
        State state;
    } rows[] = {
        {"a whole file, its folder swapped for a link to root's", TheFolder, 200, writeWhole, {}, {}, {}},
        {"a printed file, the same", TheFolder, 100, writePrinted, {}, {}, {}},
        {"a whole file, root's folder holding a link of the file's name", TheFolderOverALink, 300, writeWhole, {}, {}, {}},
        {"a whole file, its name swapped for a link", TheName, 100, writeWhole, {}, {}, {}},
        {"folders made", TheFolder, 200, nullptr,
         [](const QString &sub, const QString &n) { return platform::makeFolders(sub + n + "/a/b").isEmpty(); }, {}, made},
        {"a folder removed with all it holds", TheFolder, 200, nullptr,
         [](const QString &sub, const QString &n) {
             return platform::removeSafely(sub + n, platform::Removing::AFolderToo).isEmpty();
         },
         [](const QString &folder, const QString &n) {
             return QDir().mkpath(folder + n + "/a") && QDir().mkpath(folder + n + "/b") && writeFileBytes(folder + n + "/a/x", "x");
         },
         removed},
        {"a file renamed in its folder", TheFolder, 200, nullptr,
         [](const QString &sub, const QString &n) { return platform::renameSafely(sub + n + ".old", sub + n + ".new").isEmpty(); },
         [](const QString &folder, const QString &n) { return writeFileBytes(folder + n + ".old", "old"); }, renamed},
    };
    const auto entries = [](const QString &folder) {
        return QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        QTemporaryDir dir;
        ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
        const QString shared = dir.filePath(QStringLiteral("shared")), elsewhere = dir.filePath(QStringLiteral("elsewhere"));
        const QString sub = shared + QStringLiteral("/sub"), swap = shared + QStringLiteral("/swap");
        const QString card = sub + QStringLiteral("/card.png"), cardLink = sub + QStringLiteral("/card.link");
        const QString rootsLink = elsewhere + QStringLiteral("/card.png"), kept = elsewhere + QStringLiteral("/kept");
        ASSERT_TRUE(QDir().mkdir(shared) && ::chmod(QFile::encodeName(shared).constData(), 0777) == 0 &&
                    QDir().mkdir(elsewhere) && QDir().mkdir(sub) && QFile::link(elsewhere, swap));
        ASSERT_TRUE(::chown(QFile::encodeName(sub).constData(), 65534, 65534) == 0 &&
                    ::lchown(QFile::encodeName(swap).constData(), 65534, 65534) == 0);
        if (row.swapped == TheFolderOverALink) {
            ASSERT_TRUE(writeFileBytes(kept, "root's") && QFile::link(QStringLiteral("kept"), rootsLink));
        }
        for (int n = 0; row.prepare && n < row.count; ++n)
            ASSERT_TRUE(row.prepare(sub + '/', QString::number(n)) && row.prepare(elsewhere + '/', QString::number(n)));
        // Made by system calls alone: the child of a process that may have threads.
        const QByteArray cardName = QFile::encodeName(card), cardLinkName = QFile::encodeName(cardLink);
        std::unique_ptr<ChildProcess> other = swapper(
            [&] {
                const int fd = row.swapped == TheName ? ::open(cardName.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644) : -1;
                return row.swapped != TheName || (fd >= 0 && ::close(fd) == 0 && ::symlink("kept", cardLinkName.constData()) == 0);
            },
            row.swapped == TheName ? card : sub, row.swapped == TheName ? cardLink : swap);
        ASSERT_TRUE(other->ready());
        // As many as the row says get past the walk, while the swaps refuse many others at once.
        int done = 0, attempts = 0, linksReplaced = 0;
        for (; done < row.count && attempts < 200 * row.count; ++attempts) {
            if (!row.write) {
                done += row.road(sub + '/', QString::number(done)) ? 1 : 0;
                continue;
            }
            done += row.write(card, "card", nullptr) ? 1 : 0;
            if (row.swapped == TheFolderOverALink && !QFileInfo(rootsLink).isSymLink()) {
                ++linksReplaced;
                ASSERT_TRUE(QFile::remove(rootsLink) && QFile::link(QStringLiteral("kept"), rootsLink));
            }
        }
        other.reset(); // no swap between the looks at the two names
        if (row.swapped == TheName)
            linksReplaced = QFileInfo(card).isSymLink() || QFileInfo(cardLink).isSymLink() ? 0 : 1;
        const QString aimed = QFileInfo(sub).isSymLink() ? swap : sub;
        EXPECT_EQ(done, row.count) << "in " << attempts << " attempts";
        EXPECT_EQ(entries(elsewhere).filter(QStringLiteral(".saving-")).size(), 0) << "in " << attempts << " attempts";
        EXPECT_EQ(entries(aimed).filter(QStringLiteral(".saving-")).size(), 0) << "in " << attempts << " attempts";
        EXPECT_EQ(linksReplaced, 0) << "in " << attempts << " attempts";
        if (row.swapped == TheFolderOverALink) {
            EXPECT_TRUE(fileBytes(kept) == "root's" || fileBytes(kept) == "card");
        }
        // Each entry was taken in one folder, and is whole in the other.
        QStringList split;
        for (int n = 0; row.state && n < done; ++n) {
            QStringList states{row.state(aimed + '/', QString::number(n)), row.state(elsewhere + '/', QString::number(n))};
            states.sort();
            if (states != QStringList{"after", "before"})
                split << QString::number(n) + ": " + states.join(QLatin1Char('/'));
        }
        EXPECT_EQ(split.join(QStringLiteral(", ")).toStdString(), "") << "of " << done;
    }
}

// A ".." is taken as the kernel takes it: after the link before it, from the folder the link reached.
// A link the writer may not follow is refused whatever comes after it.
TEST(SafeFileWriter, AFolderAboveALinkIsTheFolderAboveWhereTheLinkGoes)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "giving links to other users needs root";
    const struct {
        const char *what;
        const char *linkTo; // nothing: a plain folder
        uid_t linkOwner;
        const char *reached; // nothing: refused
    } rows[] = {
        {"another user's link in a shared folder", "../far/deep", 65534, nullptr},
        {"root's own link there", "../far/deep", 0, "far/mine/card2.png"},
        {"a plain folder", nullptr, 0, "shared/mine/card2.png"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        QTemporaryDir dir;
        const QString shared = dir.filePath(QStringLiteral("shared")), planted = shared + QStringLiteral("/planted");
        ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("far/deep"))) && QDir().mkpath(dir.filePath(QStringLiteral("far/mine"))) &&
                    QDir().mkpath(shared + QStringLiteral("/mine")) && ::chmod(QFile::encodeName(shared).constData(), 01777) == 0);
        ASSERT_TRUE(row.linkTo ? ::symlink(row.linkTo, QFile::encodeName(planted).constData()) == 0 &&
                                     ::lchown(QFile::encodeName(planted).constData(), row.linkOwner, row.linkOwner) == 0
                               : QDir().mkdir(planted));
        const QString path = planted + QStringLiteral("/../mine/card2.png");
        QString error;
        EXPECT_EQ(platform::writeFileSafely(path, "card", &error), row.reached != nullptr) << error.toStdString();
        QStringList found;
        for (QDirIterator it(dir.path(), {QStringLiteral("card2.png*")}, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();)
            found << QDir(dir.path()).relativeFilePath(it.next());
        EXPECT_EQ(found.join(QLatin1Char(' ')).toStdString(), row.reached ? row.reached : "");
        // Where the kernel itself opens the path.
        if (row.reached) {
            EXPECT_EQ(fileBytes(path), "card");
        }
    }
}
