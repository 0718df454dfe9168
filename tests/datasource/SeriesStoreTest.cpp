#include "datasource/SeriesStore.h"

#include "core/AppState.h"
#include "datasource/WorkbookScratch.h"
#include "fixtures/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

void writeFile(const QString &path, const QByteArray &data = QByteArray("x"))
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(data);
}

class SeriesStoreTest : public ::testing::Test {
protected:
    AppFixture app;
    QTemporaryDir dir;

    QString path(const QString &name) const { return dir.filePath(name); }
};

} // namespace

TEST_F(SeriesStoreTest, SeriesAreTheFilesOfTheSeriesFolder)
{
    EXPECT_TRUE(Get_datasheet_File_Name_Array().isEmpty());
    ASSERT_TRUE(QDir().mkpath(App().Data_Folder_Path));
    writeFile(App().Data_Folder_Path + QStringLiteral("/Guests.txt"));
    writeFile(App().Data_Folder_Path + QStringLiteral("/Numbers.csv"));
    EXPECT_EQ(Get_datasheet_File_Name_Array(), (QStringList{"Guests", "Numbers"}));
}

TEST_F(SeriesStoreTest, TheFirstValueOfASeriesIsItsFirstLineAsWritten)
{
    ASSERT_TRUE(QDir().mkpath(App().Data_Folder_Path));
    writeFile(App().Data_Folder_Path + QStringLiteral("/Guests.txt"), "  Ann Lee \nBob\n");
    writeFile(App().Data_Folder_Path + QStringLiteral("/Windows.txt"), "Row one\r\nRow two\r\n");
    writeFile(App().Data_Folder_Path + QStringLiteral("/Single.txt"), "only");
    writeFile(App().Data_Folder_Path + QStringLiteral("/Empty.txt"), "");
    writeFile(App().Data_Folder_Path + QStringLiteral("/Accents.txt"), "Gr\xC3\xBC\xC3\x9F Gott\n");
    writeFile(app.resourcePath() + QStringLiteral("outside.txt"), "secret\n");
    const struct {
        const char *name;
        const char *first;
    } cases[] = {{"Guests", "  Ann Lee "}, {"Windows", "Row one\r"}, {"Single", "only"}, {"Empty", ""},
                 {"Accents", "Gr\xC3\xBC\xC3\x9F Gott"}, {"Missing", ""}, {"", ""},
                 // Names lead to files of the series folder only.
                 {"../outside", ""}, {"..", ""}};
    for (const auto &c : cases)
        EXPECT_EQ(Get_First_Value_Of_Dataset(QString::fromUtf8(c.name)), QString::fromUtf8(c.first)) << c.name;
}

TEST_F(SeriesStoreTest, ScratchFolderIsRemovedButNotThroughALink)
{
    const QByteArray previous = qgetenv("TMPDIR");
    qputenv("TMPDIR", dir.path().toLocal8Bit());
    const QString scratch = path(QStringLiteral("ziptmp"));
    ASSERT_TRUE(QDir().mkpath(scratch + QStringLiteral("/xl")));
    writeFile(scratch + QStringLiteral("/xl/sheet1.xml"));
    Delete_Excel_File_Temp_Folder();
    EXPECT_FALSE(QFileInfo::exists(scratch));

    // /tmp is shared: a link planted there must not lead to someone's files.
    QTemporaryDir elsewhere;
    writeFile(elsewhere.filePath(QStringLiteral("precious.txt")));
    ASSERT_TRUE(QFile::link(elsewhere.path(), scratch));
    Delete_Excel_File_Temp_Folder();
    EXPECT_TRUE(QFileInfo::exists(elsewhere.filePath(QStringLiteral("precious.txt"))));
    previous.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", previous);
}
