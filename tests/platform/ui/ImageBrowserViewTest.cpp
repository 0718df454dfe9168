#include "platform/ui/ImageBrowserView.h"
#include "fixtures/EventLoop.h"

#include <QApplication>
#include <QImage>
#include <QSemaphore>
#include <QSlider>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>

namespace {

// Items named by letters, so that an order reads as a word.
QList<MyImageObject> lettered(const QString &letters)
{
    QList<MyImageObject> items;
    for (QChar letter : letters)
        items << MyImageObject(QStringLiteral("/nowhere/%1.png").arg(letter), QString(letter), QString(letter));
    return items;
}

QString order(const ImageBrowserView &view)
{
    QString letters;
    for (const MyImageObject &item : view.items())
        letters += item.image_Name;
    return letters;
}

// Counts a signal's emissions.
class Counter {
public:
    template <typename Sender, typename Signal>
    Counter(Sender *sender, Signal signal)
    {
        QObject::connect(sender, signal, &m_context, [this] { ++m_count; });
    }
    int count() const { return m_count; }

private:
    QObject m_context;
    int m_count = 0;
};

class DecoderGuard {
public:
    explicit DecoderGuard(ImageBrowserView::ThumbnailDecoder decoder)
    {
        ImageBrowserView::setThumbnailDecoderForTesting(std::move(decoder));
    }
    ~DecoderGuard() { ImageBrowserView::setThumbnailDecoderForTesting(nullptr); }
};

} // namespace

TEST(ImageBrowserView, MovingItemsFollowsTheReorderRule)
{
    struct Row {
        QList<int> indexes;
        int destination;
        const char *expected;
        bool moved;
    };
    const Row rows[] = {
        {{0}, 3, "BCADE", true},     // dropped before D: it lands at index 2
        {{0}, 5, "BCDEA", true},     // to the end; the list keeps its length
        {{4}, 0, "EABCD", true},
        {{1, 3}, 5, "ACEBD", true},  // several keep their order
        {{3, 1}, 0, "BDACE", true},  // given in any order
        {{1, 2}, 2, "ABCDE", true},  // dropped onto themselves
        {{2}, 99, "ABDEC", true},    // past the end counts as the end
        {{9, -1}, 0, "ABCDE", false} // nothing there to move
    };
    for (const Row &row : rows) {
        ImageBrowserView view;
        view.setItems(lettered(QStringLiteral("ABCDE")));
        EXPECT_EQ(view.moveItemsAtIndexes(row.indexes, row.destination), row.moved) << row.expected;
        EXPECT_EQ(order(view), QString::fromLatin1(row.expected));
    }
}

TEST(ImageBrowserView, SelectionStaysWithMovedItemsWithoutAnnouncingAChange)
{
    ImageBrowserView view;
    view.setItems(lettered(QStringLiteral("ABCDE")));
    Counter changes(&view, &ImageBrowserView::selectionDidChange);
    view.setSelectionIndexes({1, 99});
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(view.selectionIndexes(), QList<int>{1});

    ASSERT_TRUE(view.moveItemsAtIndexes({1}, 5));
    EXPECT_EQ(view.selectionIndexes(), QList<int>{4});
    EXPECT_EQ(view.itemAtIndex(4).image_Name, QStringLiteral("B"));
    EXPECT_EQ(changes.count(), 1);

    // Emptying the browser drops the selection silently too.
    view.removeAllItems();
    EXPECT_TRUE(view.selectionIndexes().isEmpty());
    EXPECT_EQ(changes.count(), 1);
}

TEST(ImageBrowserView, ZoomAndItsSliderFollowEachOther)
{
    ImageBrowserView view;
    QSlider *slider = view.zoomSlider();
    EXPECT_EQ(view.zoomSlider(), slider);
    const int smallEdge = view.thumbnailEdge();
    view.setZoomValue(0.6);
    EXPECT_EQ(slider->value(), 60);
    EXPECT_GT(view.thumbnailEdge(), smallEdge);
    slider->setValue(25);
    EXPECT_DOUBLE_EQ(view.zoomValue(), 0.25);
    view.setZoomValue(7.0);
    EXPECT_DOUBLE_EQ(view.zoomValue(), 1.0);
    view.setZoomValue(std::numeric_limits<double>::quiet_NaN());
    EXPECT_DOUBLE_EQ(view.zoomValue(), 0.0);
}

TEST(ImageBrowserView, DropPositionsInsertBeforeOrAfterTheNearestCell)
{
    ImageBrowserView view;
    view.resize(900, 400);
    view.setItems(lettered(QStringLiteral("ABCD")));
    view.show();
    QCoreApplication::processEvents();
    const QRect second = view.visualRect(view.model()->index(1, 0));
    ASSERT_TRUE(second.isValid());
    EXPECT_EQ(view.dropIndexAt(second.center() - QPoint(second.width() / 4, 0)), 1);
    EXPECT_EQ(view.dropIndexAt(second.center() + QPoint(second.width() / 4, 0)), 2);
    const QRect last = view.visualRect(view.model()->index(3, 0));
    EXPECT_EQ(view.dropIndexAt(QPoint(last.right() + 40, last.center().y())), 4);
    EXPECT_EQ(view.dropIndexAt(QPoint(5, last.bottom() + 60)), 4);
}

TEST(ImageBrowserView, DecodesThumbnailsThatFitAndRefusesWhatIsNoPicture)
{
    QTemporaryDir dir;
    QImage wide(800, 200, QImage::Format_RGB32);
    wide.fill(Qt::darkCyan);
    ASSERT_TRUE(wide.save(dir.filePath(QStringLiteral("wide.PNG")), "PNG"));
    const QImage thumbnail = ImageBrowserView::decodeThumbnail(dir.filePath(QStringLiteral("wide.PNG")), QSize(100, 100));
    EXPECT_EQ(thumbnail.size(), QSize(100, 25));
    EXPECT_EQ(thumbnail.pixelColor(50, 12), QColor(Qt::darkCyan));
    EXPECT_TRUE(ImageBrowserView::decodeThumbnail(dir.filePath(QStringLiteral("none.png")), QSize(100, 100)).isNull());
}

// A folder of 500 pictures: filling the browser and showing it never waits for a thumbnail, only
// what is in view is decoded, on workers, and it arrives afterwards.
TEST(ImageBrowserView, AFolderOfFiveHundredPicturesOpensWithoutWaitingForThumbnails)
{
    QTemporaryDir dir;
    QImage tile(4, 4, QImage::Format_RGB32);
    tile.fill(Qt::darkMagenta);
    QList<MyImageObject> files;
    for (int i = 0; i < 500; ++i) {
        const QString name = QStringLiteral("picture%1.png").arg(i, 3, 10, QLatin1Char('0'));
        ASSERT_TRUE(tile.save(dir.filePath(name), "PNG"));
        files << MyImageObject(dir.filePath(name), name, name);
    }

    // Decoders wait for the test's word, as a slow disk would make them wait.
    QSemaphore release;
    std::mutex mutex;
    std::set<QString> decoded;
    std::atomic<bool> onGuiThread{false};
    QThread *gui = QThread::currentThread();
    DecoderGuard guard([&](const QString &path, const QSize &size) {
        if (QThread::currentThread() == gui)
            onGuiThread = true;
        release.acquire();
        {
            const std::lock_guard<std::mutex> lock(mutex);
            decoded.insert(path);
        }
        return ImageBrowserView::decodeThumbnail(path, size);
    });

    ImageBrowserView view;
    view.resize(700, 420);
    Counter arrivals(&view, &ImageBrowserView::thumbnailLoaded);
    // No decoder can finish before the release below: getting here shows that filling and showing
    // did not wait for pictures.
    for (const MyImageObject &item : files)
        view.addItem(item);
    view.show();
    QCoreApplication::processEvents();
    view.repaint();
    EXPECT_EQ(view.count(), 500);
    EXPECT_FALSE(view.hasThumbnail(0));
    EXPECT_EQ(arrivals.count(), 0);
    const int requested = view.pendingThumbnails();
    EXPECT_GT(requested, 0);
    EXPECT_LT(requested, 100) << "only the cells in view ask for pictures";

    release.release(1000);
    ASSERT_TRUE(waitFor([&] { return view.pendingThumbnails() == 0; }));
    EXPECT_FALSE(onGuiThread);
    EXPECT_TRUE(view.hasThumbnail(0));
    EXPECT_FALSE(view.hasThumbnail(499));
    EXPECT_EQ(arrivals.count(), requested);
    EXPECT_EQ(static_cast<int>(decoded.size()), requested);

    // Scrolling to the end brings the last pictures in.
    view.scrollToBottom();
    view.repaint();
    ASSERT_TRUE(waitFor([&] { return view.hasThumbnail(499); }));
}
