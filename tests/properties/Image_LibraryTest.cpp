#include "PanelTestSupport.h"

#include "platform/ui/ImageBrowserView.h"
#include "properties/ui/Image_Library.h"

#include <QComboBox>
#include <QDir>
#include "fixtures/EventLoop.h"
#include <QFile>
#include <QLabel>
#include <QSlider>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class Image_LibraryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char *name : {"LibraryImage/Flowers/rose.png", "LibraryImage/animals/cat.png",
                                 "LibraryImage/animals/dog.JPG", "LibraryImage/animals/fox.jpeg",
                                 "LibraryImage/animals/notes.txt", "LibraryImage/nature scenes/hills.jpg",
                                 "LibraryImage/loose.png", "Frames/a.png", "Frames/b.PNG", "Frames/c.tif"})
            writePicture(QString::fromLatin1(name));
    }

    void writePicture(const QString &relative)
    {
        const QString path = app.resourcePath() + relative;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QImage picture(12, 9, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        const QString suffix = QFileInfo(path).suffix().toLower();
        if (suffix == QLatin1String("txt"))
            QFile(path).open(QIODevice::WriteOnly);
        else
            ASSERT_TRUE(picture.save(path, suffix == QLatin1String("jpeg") || suffix == QLatin1String("jpg") ? "JPG" : "PNG"));
    }

    QStringList titles() const
    {
        QStringList names;
        for (const MyImageObject &item : library.imageBrowser->items())
            names << item.imageTitle();
        return names;
    }

    AppFixture app;
    ScopedScriptedServices services;
    Image_Library library;
};

TEST_F(Image_LibraryTest, CategoriesAreTheLibrarysFoldersShownCapitalised)
{
    library.Fill_Combobox();
    QStringList shown, folders;
    for (int i = 0; i < library.cat_cmbo_bx->count(); ++i) {
        shown << library.cat_cmbo_bx->itemText(i);
        folders << library.cat_cmbo_bx->itemData(i).toString();
    }
    EXPECT_EQ(shown, (QStringList{QStringLiteral("Flowers"), QStringLiteral("Animals"), QStringLiteral("Nature Scenes")}));
    EXPECT_EQ(folders, (QStringList{QStringLiteral("Flowers"), QStringLiteral("animals"), QStringLiteral("nature scenes")}));
    EXPECT_EQ(library.cat_cmbo_bx->currentIndex(), 0);

    // A category named in lower case is found through its capitalised item.
    library.cat_cmbo_bx->setCurrentIndex(1);
    EXPECT_EQ(titles(), (QStringList{QStringLiteral("cat.png"), QStringLiteral("dog.JPG")}));
    const MyImageObject &dog = library.imageBrowser_itemAtIndex(1);
    EXPECT_EQ(dog.imageRepresentation(), app.resourcePath() + QStringLiteral("LibraryImage/animals/dog.JPG"));
    EXPECT_EQ(dog.imageUID(), QStringLiteral("dog.JPG"));
    EXPECT_EQ(dog.imageSubtitle(), QStringLiteral("dog.JPG"));
    library.cat_cmbo_bx->setCurrentIndex(2);
    EXPECT_EQ(titles(), QStringList{QStringLiteral("hills.jpg")});

    // A folder that went away leaves the list as it was.
    QDir(app.resourcePath() + QStringLiteral("LibraryImage/animals")).removeRecursively();
    library.cat_cmbo_bx->setCurrentIndex(1);
    EXPECT_EQ(titles(), QStringList{QStringLiteral("hills.jpg")});

    // Without a library nothing is offered.
    QDir(app.resourcePath() + QStringLiteral("LibraryImage")).removeRecursively();
    library.imageBrowser->removeAllItems();
    library.Prepare_Window();
    EXPECT_EQ(library.cat_cmbo_bx->count(), 0);
    EXPECT_EQ(library.numberOfItemsInImageBrowser(), 0);
}

TEST_F(Image_LibraryTest, TheTwoModesShowCategoriesOrFrames)
{
    library.show();
    library.control_or_BG = QStringLiteral("B");
    library.Prepare_Window();
    EXPECT_EQ(library.windowTitle(), QStringLiteral("Frame Library"));
    EXPECT_FALSE(library.cat_cmbo_bx->isVisible());
    EXPECT_FALSE(library.category_label->isVisible());
    EXPECT_EQ(titles(), (QStringList{QStringLiteral("a.png"), QStringLiteral("b.PNG")}));

    library.imageBrowser->setZoomValue(0.9);
    library.control_or_BG = QStringLiteral("C");
    library.Prepare_Window();
    EXPECT_EQ(library.windowTitle(), QStringLiteral("Image Library"));
    EXPECT_TRUE(library.cat_cmbo_bx->isVisible());
    EXPECT_TRUE(library.category_label->isVisible());
    EXPECT_EQ(titles(), QStringList{QStringLiteral("rose.png")});
    EXPECT_EQ(library.imageBrowser->zoomValue(), 0.4);
    EXPECT_EQ(library._zoom_slider->value(), 40);

    // Each opening lists the first category again.
    library.cat_cmbo_bx->setCurrentIndex(1);
    library.Prepare_Window();
    EXPECT_EQ(titles(), QStringList{QStringLiteral("rose.png")});

    // Without a frames folder the frame library stays empty.
    QDir(app.resourcePath() + QStringLiteral("Frames")).removeRecursively();
    library.control_or_BG = QStringLiteral("B");
    library.Prepare_Window();
    EXPECT_EQ(library.numberOfItemsInImageBrowser(), 0);
}

TEST_F(Image_LibraryTest, OkNeedsAPictureThatExistsAndOnlyCancelForgetsIt)
{
    library.control_or_BG = QStringLiteral("C");
    library.Prepare_Window();
    library.OK_Clicked();
    EXPECT_EQ(services->messages, QStringList{QStringLiteral("\nPlease select image.")});

    library.imageBrowser->setSelectionIndexes({0});
    const QString rose = app.resourcePath() + QStringLiteral("LibraryImage/Flowers/rose.png");
    EXPECT_EQ(library.selected_image, rose);
    QTimer::singleShot(0, &library, [this] { library.OK_Clicked(); });
    EXPECT_EQ(library.Open_Library_Window(), 1);
    EXPECT_FALSE(library.isVisible());
    // Opening again and pressing OK at once takes the earlier picture.
    QTimer::singleShot(0, &library, [this] { library.OK_Clicked(); });
    EXPECT_EQ(library.Open_Library_Window(), 1);
    EXPECT_EQ(library.selected_image, rose);

    QTimer::singleShot(0, &library, [this] { library.reject(); });
    EXPECT_EQ(library.Open_Library_Window(), 0);
    EXPECT_TRUE(library.selected_image.isEmpty());
    library.OK_Clicked();
    EXPECT_EQ(services->messages.size(), 2);

    // A picked file that is gone is no picture.
    library.imageBrowser->setSelectionIndexes({0});
    QFile::remove(rose);
    library.OK_Clicked();
    EXPECT_EQ(services->messages.size(), 3);
}

TEST_F(Image_LibraryTest, ItemsReorderAndStayWhenRemoved)
{
    for (const char *name : {"one.png", "two.png", "three.png", "four.png"})
        library.addImageWithPath(QStringLiteral("  /p/") + QString::fromLatin1(name) + QStringLiteral("\n"),
                                 QString::fromLatin1(name), QString::fromLatin1(name));
    library.addImageWithPath(QStringLiteral("   "), QStringLiteral("blank"), QStringLiteral("blank"));
    EXPECT_EQ(library.imageBrowser_itemAtIndex(0).path, QStringLiteral("/p/one.png"));
    EXPECT_TRUE(library.imageBrowser_moveItemsAtIndexes_toIndex({0, 1}, 3));
    EXPECT_EQ(titles(), (QStringList{QStringLiteral("three.png"), QStringLiteral("one.png"), QStringLiteral("two.png"),
                                     QStringLiteral("four.png")}));
    library.imageBrowser_removeItemsAtIndexes({0, 1});
    EXPECT_EQ(library.numberOfItemsInImageBrowser(), 4);
}

// The library as the program ships it, to be looked at.
TEST_F(Image_LibraryTest, TheShippedLibraryRendersForALook)
{
    App().Resource_Path = sourceResourcesPath();
    library.control_or_BG = QStringLiteral("C");
    library.resize(640, 480);
    library.show();
    library.Prepare_Window();
    ASSERT_GE(library.cat_cmbo_bx->count(), 3);
    ASSERT_GE(library.numberOfItemsInImageBrowser(), 2);
    library.imageBrowser->setSelectionIndexes({1});
    library.imageBrowser->requestThumbnails(0, library.numberOfItemsInImageBrowser() - 1);
    waitFor([&] { return library.imageBrowser->pendingThumbnails() == 0; });
    QApplication::processEvents();
    EXPECT_TRUE(library.grab().save(testOutputPath(QStringLiteral("image-library.png"))));
    library.control_or_BG = QStringLiteral("B");
    library.Prepare_Window();
    library.imageBrowser->requestThumbnails(0, library.numberOfItemsInImageBrowser() - 1);
    waitFor([&] { return library.imageBrowser->pendingThumbnails() == 0; });
    QApplication::processEvents();
    EXPECT_TRUE(library.grab().save(testOutputPath(QStringLiteral("frame-library.png"))));
}

} // namespace
