#include "DesignWindowFixture.h"

#include "canvas/ui/PleaseWait_Modeless.h"
#include "document/SKTGraphicKinds.h"
#include "output/OutputState.h"
#include "platform/TemporaryFiles.h"
#include "window/ResourceFolders.h"
#include "window/ToolIcons.h"

#include <QCheckBox>
#include <QDialog>
#include <QFileInfo>
#include <QLabel>
#include <QSet>
#include <QTimer>

#include <thread>

namespace {

class WindowSheetsTest : public DesignWindowTest {
protected:
    void SetUp() override
    {
        DesignWindowTest::SetUp();
        load();
    }

    SKTGraphicPtr boundTo(SKTGraphicPtr graphic, const QString &series)
    {
        graphic->Set_Data_source_type(1);
        graphic->Set_Batch_List_Name(series);
        return graphic;
    }
};


} // namespace

TEST_F(WindowSheetsTest, ASeriesIsInUseOnlyWhenItsFileExistsAndABindableObjectNamesIt)
{
    document->insertGraphics({boundTo(std::make_shared<SKTText>(), QStringLiteral("Guests"))}, {0});
    EXPECT_FALSE(window->Check_Batch_File_In_Use_Validation(QStringLiteral("Guests")));

    writeFile(QStringLiteral("DataSet/Guests.txt"), "Ann\n");
    writeFile(QStringLiteral("DataSet/Codes.txt"), "1\n");
    EXPECT_TRUE(window->Check_Batch_File_In_Use_Validation(QStringLiteral("Guests")));
    EXPECT_FALSE(window->Check_Batch_File_In_Use_Validation(QStringLiteral("Codes")));

    // Shapes are never bound, whatever their fields say.
    document->insertGraphics({boundTo(std::make_shared<Shape_Control>(), QStringLiteral("Codes"))}, {0});
    EXPECT_FALSE(window->Check_Batch_File_In_Use_Validation(QStringLiteral("Codes")));

    // The back side counts only for a two-sided design.
    document->graphics_back().insertGraphics({boundTo(std::make_shared<SKTBarcode>(), QStringLiteral("Codes"))}, {0});
    Win().CARD_SIDE_STR = QStringLiteral("1");
    EXPECT_FALSE(window->Check_Batch_File_In_Use_Validation(QStringLiteral("Codes")));
    Win().CARD_SIDE_STR = QStringLiteral("2");
    EXPECT_TRUE(window->Check_Batch_File_In_Use_Validation(QStringLiteral("Codes")));

    // A name that leaves the series folder is no series.
    writeFile(QStringLiteral("Outside.txt"));
    document->insertGraphics({boundTo(std::make_shared<SKTText>(), QStringLiteral("../Outside"))}, {0});
    EXPECT_FALSE(window->Check_Batch_File_In_Use_Validation(QStringLiteral("../Outside")));
}

TEST_F(WindowSheetsTest, ExportBoxOffersToOpenTheFileOrTheFolder)
{
    writeFile(QStringLiteral("out/Card_1.png"));
    Output().Export_File_Message = QStringLiteral("Frame has been exported successfully.");
    QStringList seen;
    const auto runBox = [&] {
        QTimer::singleShot(0, window->Open_Export_Files, [&] {
            seen << window->_open_log_chk->text() << window->_open_log_path->text()
                 << window->_open_log_message->text();
            EXPECT_TRUE(window->Open_Export_Files->isVisible());
            window->Open_Export_Files->done(1);
        });
        window->Open_Export_File_Box();
    };
    Output().Export_File_Path = resourcePath(QStringLiteral("out"));
    runBox();
    Output().Export_File_Path = resourcePath(QStringLiteral("out/Card_1.png"));
    runBox();
    EXPECT_EQ(seen, (QStringList{QStringLiteral("Open containing folder."), resourcePath(QStringLiteral("out")),
                                 QStringLiteral("Frame has been exported successfully."),
                                 QStringLiteral("Open exported file."), resourcePath(QStringLiteral("out/Card_1.png")),
                                 QStringLiteral("Frame has been exported successfully.")}));
    EXPECT_FALSE(window->Open_Export_Files->isVisible());
}

TEST_F(WindowSheetsTest, WaitingSheetsShowAndHideAlsoWhenWorkersAsk)
{
    window->Show_Create_Modeless();
    EXPECT_TRUE(window->plz_wait_Window->isVisible());
    ASSERT_NE(window->modeless_msg_lbl, nullptr);
    EXPECT_EQ(window->modeless_msg_lbl->text(), QStringLiteral("It may take a while, Please wait.."));
    window->Hide_Destroy_Modeless();
    EXPECT_FALSE(window->plz_wait_Window->isVisible());

    std::thread([&] { window->Show_One_By_One_Modeless(); }).join();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->Send_Models_Window->isVisible());
    std::thread([&] { window->Hide_One_By_One_Modeless(); }).join();
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->Send_Models_Window->isVisible());
}

TEST(ResourceFoldersTest, TheUserCopyGainsMissingAndUpdatedFilesAndKeepsItsOwn)
{
    QTemporaryDir shipped, user;
    const auto write = [](const QString &path, const QByteArray &data, const QDateTime &when) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
        file.flush(); // or closing would stamp the time of the write
        ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
    };
    const QDateTime past = QDateTime::currentDateTime().addDays(-10);
    const QDateTime recent = QDateTime::currentDateTime().addDays(-1);
    write(shipped.filePath(QStringLiteral("no.png")), "shipped", recent);
    write(shipped.filePath(QStringLiteral("Fill_Style_Image/Dots.png")), "dots", recent);
    write(user.filePath(QStringLiteral("Title.txt")), "edited by user", recent);
    write(shipped.filePath(QStringLiteral("Title.txt")), "shipped titles", past);
    write(user.filePath(QStringLiteral("Message.txt")), "old copy", past);
    write(shipped.filePath(QStringLiteral("Message.txt")), "new messages", recent);
    // What a copy killed before its rename left: the next copy of the file sweeps it.
    const QString leftover = platform::temporaryFilePrefix(user.filePath(QStringLiteral("Message.txt"))) + QStringLiteral("Ab3xZ9");
    write(leftover, "half", recent);
    // What a killed write of a file that is not written again left goes all the same; a write under
    // way keeps its file.
    const QString abandoned =
        platform::temporaryFilePrefix(user.filePath(QStringLiteral("Templates/User/Party.zkse"))) + QStringLiteral("Qw12Er");
    write(abandoned, "half", recent);
    const auto live = platform::LockedTemporaryFile::create(user.filePath(QStringLiteral("Templates/User/Other.zkse")), 0600);
    ASSERT_TRUE(live);
    QDir().mkpath(shipped.filePath(QStringLiteral("Frames")));
    QFile::link(QStringLiteral("/etc"), shipped.filePath(QStringLiteral("escape")));

    const QString target = user.filePath(QStringLiteral("Resources"));
    ASSERT_TRUE(ResourceFolders::prepareUserResources(shipped.path(), user.path()));
    EXPECT_EQ(fileBytes(user.filePath(QStringLiteral("no.png"))), QByteArray("shipped"));
    EXPECT_EQ(fileBytes(user.filePath(QStringLiteral("Fill_Style_Image/Dots.png"))), QByteArray("dots"));
    EXPECT_EQ(fileBytes(user.filePath(QStringLiteral("Title.txt"))), QByteArray("edited by user"));
    EXPECT_EQ(fileBytes(user.filePath(QStringLiteral("Message.txt"))), QByteArray("new messages"));
    EXPECT_FALSE(QFileInfo::exists(leftover));
    EXPECT_FALSE(QFileInfo::exists(abandoned));
    EXPECT_TRUE(QFileInfo::exists(live->fileName()));
    EXPECT_TRUE(QFileInfo(user.filePath(QStringLiteral("Frames"))).isDir());
    EXPECT_FALSE(QFileInfo::exists(user.filePath(QStringLiteral("escape"))));
    // The shipped folder itself is never written.
    EXPECT_EQ(fileBytes(shipped.filePath(QStringLiteral("Title.txt"))), QByteArray("shipped titles"));

    EXPECT_TRUE(ResourceFolders::prepareUserResources(QString(), target));
    EXPECT_TRUE(QFileInfo(target).isDir());
    EXPECT_FALSE(ResourceFolders::prepareUserResources(shipped.path(),
                                                      shipped.filePath(QStringLiteral("no.png/Resources"))));
}

TEST(ResourceFoldersTest, TheEnvironmentNamesOneFolderForBoth)
{
    qputenv("CARD_RESOURCE_PATH", "/tmp/some/where/");
    EXPECT_EQ(ResourceFolders::userResourcesFolder(), QStringLiteral("/tmp/some/where/"));
    EXPECT_EQ(ResourceFolders::shippedResourcesFolder(), QStringLiteral("/tmp/some/where/"));
    qunsetenv("CARD_RESOURCE_PATH");
    EXPECT_TRUE(ResourceFolders::userResourcesFolder().endsWith(QStringLiteral("/Resources/")));
}

TEST(ToolIconsTest, EveryToolAndCommandHasAPictureOfItsOwn)
{
    QSet<QByteArray> pictures;
    const auto keep = [&](const QImage &image) {
        int inked = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                inked += qAlpha(image.pixel(x, y)) > 0;
        EXPECT_GT(inked, 20);
        pictures.insert(QByteArray(reinterpret_cast<const char *>(image.constBits()), image.sizeInBytes()));
    };
    for (int tool = 0; tool < 16; ++tool) {
        SCOPED_TRACE(tool);
        keep(ToolIcons::toolImage(tool, 24));
    }
    using ToolIcons::Command;
    for (Command command : {Command::Undo, Command::Redo, Command::Cut, Command::Copy, Command::Paste,
                            Command::Delete, Command::BringToFront, Command::SendToBack, Command::Lock,
                            Command::Unlock, Command::NewDesign, Command::OpenDesign, Command::SaveDesign,
                            Command::SaveDesignAs})
        keep(ToolIcons::commandImage(command, 24));
    EXPECT_EQ(pictures.size(), 30);
}
