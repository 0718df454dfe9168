#include "canvas/ui/PleaseWait_Modeless.h"
#include "canvas/ui/Repeat_Image.h"
#include "canvas/ui/VerticallyCenteredTextFieldCell.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QImage>
#include <QPixmap>
#include <QProgressBar>

#include <gtest/gtest.h>

#include <optional>

namespace {

// Every pixel of the tile differs, so a misplaced tile cannot pass by chance.
QImage distinctTile(int w, int h)
{
    QImage tile(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            tile.setPixel(x, y, qRgb(30 * x + 10, 40 * y + 10, 200));
    return tile;
}

// The first mismatch of `image` (showing the widget from `origin`) against the tile anchored at the widget's
// top-left corner, if any.
std::optional<QPoint> tileMismatch(const QImage &image, const QImage &tile, QPoint origin = {})
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QPoint w = origin + QPoint(x, y);
            if (image.pixel(x, y) != tile.pixel(w.x() % tile.width(), w.y() % tile.height()))
                return w;
        }
    return std::nullopt;
}

// Top and bottom rows holding ink darker than the background.
std::pair<int, int> inkRows(const QImage &image)
{
    int top = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) {
                if (top < 0)
                    top = y;
                bottom = y;
                break;
            }
    return {top, bottom};
}

} // namespace

TEST(RepeatImageBanner, TilesStartAtTheViewsCornerWhereverItSits)
{
    const QImage tile = distinctTile(7, 5);
    QWidget window;
    window.resize(120, 90);
    auto *banner = new Repeat_Image(&window);
    banner->setBannerImage(tile);
    banner->setGeometry(13, 11, 40, 30);

    const QImage whole = banner->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(whole.size(), QSize(40, 30));
    EXPECT_EQ(tileMismatch(whole, tile), std::nullopt);

    banner->move(50, 47);
    EXPECT_EQ(tileMismatch(banner->grab().toImage().convertToFormat(QImage::Format_RGB32), tile), std::nullopt);

    // A repaint of part of the view continues the tiles across its edge.
    const QRect part(10, 8, 15, 12);
    const QImage partial = banner->grab(part).toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(partial.size(), part.size());
    EXPECT_EQ(tileMismatch(partial, tile, part.topLeft()), std::nullopt);
}

TEST(RepeatImageBanner, OwnPictureLiesCentredOverThePatternShrunkToFit)
{
    const QImage tile = distinctTile(7, 5);
    Repeat_Image banner;
    banner.resize(40, 30);
    banner.setBannerImage(tile);
    QImage green(100, 100, QImage::Format_RGB32);
    green.fill(Qt::green);
    banner.setImage(green);

    const QImage shot = banner.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shot.pixel(20, 15), qRgb(0, 255, 0));
    EXPECT_EQ(shot.pixel(6, 15), qRgb(0, 255, 0)) << "30 x 30 centred: from x 5 to 35";
    EXPECT_EQ(shot.pixel(2, 15), tile.pixel(2, 0));
    EXPECT_EQ(shot.pixel(38, 15), tile.pixel(38 % 7, 0));
}

TEST(CentredCell, TitleRectStartsHalfTheSpareHeightDown)
{
    VerticallyCenteredTextFieldCell cell(QStringLiteral("Name"));
    QFont font = cell.font();
    font.setPixelSize(12);
    cell.setFont(font);
    const double h = QFontMetricsF(font).height();

    const QRectF title = cell.titleRectForBounds(QRectF(5, 40, 100, 30));
    EXPECT_DOUBLE_EQ(title.top(), 40 + (30 - h) / 2);
    EXPECT_DOUBLE_EQ(title.bottom(), 70);
    EXPECT_DOUBLE_EQ(title.left(), 5);
    EXPECT_DOUBLE_EQ(title.width(), 100);
}

TEST(CentredCell, TextFollowsTheMiddleOfTheCell)
{
    auto inkIn = [](int height) {
        VerticallyCenteredTextFieldCell cell(QStringLiteral("Hxg"));
        QFont font = cell.font();
        font.setPixelSize(14);
        cell.setFont(font);
        QPalette pal = cell.palette();
        pal.setColor(QPalette::Window, Qt::white);
        pal.setColor(QPalette::WindowText, Qt::black);
        cell.setPalette(pal);
        cell.setAutoFillBackground(true);
        cell.resize(80, height);
        return inkRows(cell.grab().toImage());
    };
    const auto [top30, bottom30] = inkIn(30);
    const auto [top60, bottom60] = inkIn(60);
    ASSERT_GE(top30, 0);
    EXPECT_NEAR(top60 - top30, 15, 1);
    EXPECT_EQ(bottom60 - top60, bottom30 - top30);
    EXPECT_NEAR((top30 + bottom30) / 2.0, 15, 3) << "the ink sits about the middle";
}

TEST(PleaseWaitWindow, ShowsOverItsOwnerAndHidesWithoutBlocking)
{
    QWidget owner;
    owner.setGeometry(100, 100, 600, 400);
    owner.show();

    PleaseWait_Modeless wait(&owner);
    wait.setMessage(QStringLiteral("Exporting cards..."));
    EXPECT_EQ(wait.message(), QStringLiteral("Exporting cards..."));
    wait.showPanel(); // returns at once
    EXPECT_TRUE(wait.isVisible());
    EXPECT_TRUE(wait.isWindow());
    EXPECT_FALSE(wait.isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_LE((wait.frameGeometry().center() - owner.frameGeometry().center()).manhattanLength(), 2);

    const auto *busy = wait.findChild<QProgressBar *>(QStringLiteral("busyIndicator"));
    ASSERT_NE(busy, nullptr);
    EXPECT_EQ(busy->minimum(), busy->maximum()) << "a running indicator, not a measure";

    const QImage shot = wait.grab().toImage();
    EXPECT_EQ(shot.pixel(4, 4), qRgb(241, 244, 250));

    wait.hidePanel();
    EXPECT_FALSE(wait.isVisible());
}
