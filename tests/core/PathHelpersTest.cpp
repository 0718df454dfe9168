#include "core/PathHelpers.h"

#include "fixtures/ScriptedServices.h"
#include "fixtures/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

void writeFile(const QString &path, const QByteArray &data = QByteArray("x"))
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(data);
}

class PathHelpersTest : public ::testing::Test {
protected:
    AppFixture app;
    ScopedScriptedServices services;
    QTemporaryDir dir;

    QString path(const QString &name) const { return dir.filePath(name); }
};

} // namespace

TEST_F(PathHelpersTest, FileListHasRegularFilesByNameWithoutExtension)
{
    for (const char *name : {"b.png", "a.txt", ".hidden", "C.txt", "x.tar.gz", "a-b.txt"})
        writeFile(path(QString::fromLatin1(name)));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("c")));
    ASSERT_TRUE(QFile::link(path(QStringLiteral("c")), path(QStringLiteral("e"))));

    // Code-unit order whatever the locale: upper case first, and "a-b.txt" before "a.txt".
    EXPECT_EQ(Get_Files_Array_At_Path(dir.path()),
              (QStringList{".hidden", "C", "a-b", "a", "b", "x.tar"}));
    EXPECT_TRUE(Get_Files_Array_At_Path(path(QStringLiteral("b.png"))).isEmpty());
    EXPECT_TRUE(Get_Files_Array_At_Path(QString()).isEmpty()) << "not the working directory";
}

TEST_F(PathHelpersTest, PathChecks)
{
    EXPECT_EQ(Convert_Path_From_URL(QUrl(QStringLiteral("file:///tmp/a%20b%23.png"))), "/tmp/a b#.png");

    writeFile(path(QStringLiteral("design.zkse")));
    EXPECT_EQ(Check_And_Validate_File_Path(" " + path(QStringLiteral("design.zkse")) + "\n"), 0);
    EXPECT_EQ(Check_And_Validate_File_Path(dir.path()), 0);
    EXPECT_TRUE(services->messages.isEmpty());

    EXPECT_EQ(Check_And_Validate_File_Path(QStringLiteral("   \t ")), 1);
    EXPECT_EQ(services->messages, QStringList{QStringLiteral("\nPlease select valid file path.")});
    EXPECT_EQ(Check_And_Validate_File_Path(QString()), 1);
    EXPECT_EQ(Check_And_Validate_File_Path(path(QStringLiteral("missing"))), 1);
    EXPECT_EQ(services->messages.size(), 3);
}

TEST_F(PathHelpersTest, ResourceNamesResolveBelowAnyResourcesFolder)
{
    const QString made = path(QStringLiteral("maker/"));
    const QString elsewhere = app.resourcePath(); // the reading machine's Resource_Path
    ASSERT_TRUE(QDir().mkpath(elsewhere + QStringLiteral("Frames")));
    writeFile(elsewhere + QStringLiteral("Frames/Rose.png"));
    const struct {
        QString path, name;
    } rows[] = {
        {made + QStringLiteral("Frames/Rose.png"), QStringLiteral("/Resources/Frames/Rose.png")},
        {made + QStringLiteral("Frames/../Frames/Rose.png"), QStringLiteral("/Resources/Frames/Rose.png")},
        {made + QStringLiteral("../outside.png"), QString()},
        {path(QStringLiteral("maker-other/Rose.png")), QString()},
        {made, QString()},
        {QString(), QString()},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.path.toStdString());
        const QString name = Resource_Relative_Path(row.path, made);
        EXPECT_EQ(name, row.name);
        if (name.isEmpty())
            continue;
        // Found again by this reader, and by one that knows only the older relocation.
        EXPECT_EQ(Resource_File_Of_Name(name, elsewhere), elsewhere + QStringLiteral("Frames/Rose.png"));
        EXPECT_EQ(Relocated_Resource_Path(name), elsewhere + QStringLiteral("Frames/Rose.png"));
    }
    EXPECT_TRUE(Resource_File_Of_Name(QStringLiteral("/Resources/../etc/passwd"), elsewhere).isEmpty());
    EXPECT_TRUE(Resource_File_Of_Name(made + QStringLiteral("Frames/Rose.png"), elsewhere).isEmpty());
}
