#include "PanelTestSupport.h"

#include "platform/ui/ImageBrowserView.h"
#include "properties/ui/CardBackgroundTab.h"
#include "properties/ui/CardPanel.h"

#include <QDir>
#include <QFile>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class BackgroundBrowserTest : public ::testing::Test {
protected:
    BackgroundBrowserTest()
    {
        // Thumbnails are not what these tests look at.
        ImageBrowserView::setThumbnailDecoderForTesting([](const QString &, const QSize &) { return QImage(); });
    }
    ~BackgroundBrowserTest() override { ImageBrowserView::setThumbnailDecoderForTesting(nullptr); }

    QString frames() const { return app.resourcePath() + QStringLiteral("Frames"); }

    void touch(const QString &relative)
    {
        const QString path = app.resourcePath() + relative;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("x");
    }

    QStringList names() const
    {
        QStringList list;
        for (int i = 0; i < card.numberOfItemsInImageBrowser(); ++i)
            list << card.imageBrowser_itemAtIndex(i).image_Name;
        return list;
    }

    void listLetters(const QString &letters)
    {
        card.card_bkgd_tab->imageBrowser->removeAllItems();
        for (const QChar letter : letters)
            card.addImageWithPath(QStringLiteral("/frames/") + letter, QString(letter), QString(letter));
    }

    AppFixture app;
    FakeDesign design;
    CardPanel card{design};
};

TEST_F(BackgroundBrowserTest, ListsThePngAndJpgFramesOfTheResourcesByName)
{
    for (const char *name : {"b.png", "A.JPG", "c.Png", "d.jpeg", "e.tif", "f.gif", "notes.txt", "g.jpg"})
        touch(QStringLiteral("Frames/") + QLatin1String(name));
    QDir().mkpath(frames() + QStringLiteral("/folder.png"));

    card.Load_and_fill_backgrounds();
    EXPECT_EQ(names(), (QStringList{"A.JPG", "b.png", "c.Png", "g.jpg"}));
    for (int i = 0; i < card.numberOfItemsInImageBrowser(); ++i) {
        const MyImageObject &item = card.imageBrowser_itemAtIndex(i);
        EXPECT_EQ(item.path, QDir(frames()).filePath(item.image_Name));
        EXPECT_EQ(item.image_UID, item.image_Name);
        EXPECT_TRUE(item.image.isNull());
    }

    // Filled again, the list starts afresh; without the folder it stays as it was.
    card.Load_and_fill_backgrounds();
    EXPECT_EQ(card.numberOfItemsInImageBrowser(), 4);
    ASSERT_TRUE(QDir(frames()).removeRecursively());
    card.Load_and_fill_backgrounds();
    EXPECT_EQ(card.numberOfItemsInImageBrowser(), 4);
    App().Resource_Path.clear();
    card.Load_and_fill_backgrounds();
    EXPECT_EQ(card.numberOfItemsInImageBrowser(), 4);
}

TEST_F(BackgroundBrowserTest, AddedPathsAreTrimmedAndEmptyOnesLeftOut)
{
    card.addImageWithPath(QStringLiteral("  /frames/a.png\n"), QStringLiteral("a.png"), QStringLiteral("uid"));
    card.addImageWithPath(QStringLiteral(" \t\n"), QStringLiteral("blank"), QStringLiteral("blank"));
    card.addImageWithPath(QString(), QStringLiteral("none"), QStringLiteral("none"));
    ASSERT_EQ(card.numberOfItemsInImageBrowser(), 1);
    EXPECT_EQ(card.imageBrowser_itemAtIndex(0).path, QStringLiteral("/frames/a.png"));
    EXPECT_EQ(card.imageBrowser_itemAtIndex(0).image_UID, QStringLiteral("uid"));
}

// The reorder rule, written out plainly: take the items out, lower the destination by those taken
// from before it, put them back there in their order.
QString reordered(const QString &items, const QList<int> &indexes, int destination)
{
    QString taken, rest;
    for (int i = 0; i < items.size(); ++i)
        (indexes.contains(i) ? taken : rest) += items.at(i);
    const auto before = std::count_if(indexes.begin(), indexes.end(), [&](int i) { return i < destination; });
    return rest.insert(destination - static_cast<int>(before), taken);
}

TEST_F(BackgroundBrowserTest, ReorderingMovesItemsInMemoryByTheRule)
{
    listLetters(QStringLiteral("ABCD"));
    ASSERT_TRUE(card.imageBrowser_moveItemsAtIndexes_toIndex({0, 1}, 3));
    EXPECT_EQ(names().join(QString()), QStringLiteral("CABD"));

    // Every set of items to every destination of a list of four.
    for (int set = 1; set < 16; ++set) {
        QList<int> indexes;
        for (int i = 0; i < 4; ++i)
            if (set & (1 << i))
                indexes << i;
        for (int destination = 0; destination <= 4; ++destination) {
            listLetters(QStringLiteral("ABCD"));
            EXPECT_TRUE(card.imageBrowser_moveItemsAtIndexes_toIndex(indexes, destination));
            EXPECT_EQ(names().join(QString()), reordered(QStringLiteral("ABCD"), indexes, destination))
                << "set " << set << " to " << destination;
        }
    }
    // Nothing moves, and nothing is picked, by a reorder.
    EXPECT_TRUE(design.frontBackgrounds.isEmpty());
}

TEST_F(BackgroundBrowserTest, APickBecomesTheFrontBackgroundFromEitherSide)
{
    for (const char *name : {"one.png", "two.png"})
        touch(QStringLiteral("Frames/") + QLatin1String(name));
    card.Load_and_fill_backgrounds();
    ImageBrowserView *browser = card.card_bkgd_tab->imageBrowser;

    App().Card_Front_Or_Back = 1;
    browser->setSelectionIndexes({1});
    const QString two = QDir(frames()).filePath(QStringLiteral("two.png"));
    EXPECT_EQ(design.frontBackgrounds, QStringList{two});
    EXPECT_TRUE(design.backgrounds.isEmpty()) << "the current side's setter is not used";
    EXPECT_EQ(card.selected_image, two);
    EXPECT_EQ(design.refreshes, 1);

    // The same pick again is no change; a move keeps the pick without a new one.
    browser->setSelectionIndexes({1});
    ASSERT_TRUE(card.imageBrowser_moveItemsAtIndexes_toIndex({1}, 0));
    EXPECT_EQ(design.frontBackgrounds.size(), 1);

    App().Card_Front_Or_Back = 0;
    browser->setSelectionIndexes({1});
    EXPECT_EQ(design.frontBackgrounds.last(), QDir(frames()).filePath(QStringLiteral("one.png")));
    // An empty selection picks nothing.
    browser->setSelectionIndexes({});
    EXPECT_EQ(design.frontBackgrounds.size(), 2);
}

TEST_F(BackgroundBrowserTest, DeleteKeyAndDoubleClickLeaveTheListAsItIs)
{
    listLetters(QStringLiteral("ABC"));
    ImageBrowserView *browser = card.card_bkgd_tab->imageBrowser;
    browser->resize(400, 300);
    browser->show();
    browser->setSelectionIndexes({1});
    for (const int key : {Qt::Key_Delete, Qt::Key_Backspace}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(browser, &press);
    }
    EXPECT_EQ(names().join(QString()), QStringLiteral("ABC"));

    const QRect cell = browser->visualRect(browser->model()->index(2, 0));
    const QPointF at = cell.center();
    const QPointF global = browser->viewport()->mapToGlobal(at);
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                                    QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, global, Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(browser->viewport(), &event);
    }
    EXPECT_EQ(names().join(QString()), QStringLiteral("ABC"));
    // The double click's first press picked the item, and that was all.
    EXPECT_EQ(design.frontBackgrounds, (QStringList{"/frames/B", "/frames/C"}));
}

} // namespace
