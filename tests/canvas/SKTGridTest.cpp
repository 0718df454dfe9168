#include "canvas/SKTGrid.h"

#include "core/AppState.h"
#include "fixtures/ManualClock.h"
#include "fixtures/TestSupport.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

// A red grid over a white 40 x 40 picture, drawn for the dirty rectangle given.
QImage drawGrid(SKTGrid &grid, const QRectF &dirty)
{
    QImage image(40, 40, QImage::Format_ARGB32);
    image.fill(Qt::white);
    grid._color = Qt::red;
    QPainter painter(&image);
    grid.drawRect(painter, dirty);
    return image;
}

bool isRed(const QImage &image, int x, int y)
{
    return image.pixel(x, y) == qRgb(255, 0, 0);
}

int redPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += isRed(image, x, y);
    return count;
}

} // namespace

TEST(SKTGridGeometry, PointsSnapOnlyWhileSnappingIsOnAndTheGridUsable)
{
    SKTGrid grid;
    grid.setAlwaysShown(true);
    EXPECT_EQ(grid.constrainedPoint({13.4, 4.5}), QPointF(13.4, 4.5)) << "snapping is off";

    grid.setConstraining(true);
    EXPECT_EQ(grid.constrainedPoint({13.4, 4.5}), QPointF(9, 9));
    EXPECT_EQ(grid.constrainedPoint({-4.5, 0}), QPointF(0, 0)) << "halves round upwards";
    EXPECT_EQ(grid.constrainedPoint({-4.6, 22.4}), QPointF(-9, 18));

    for (double spacing : {0.0, -9.0}) {
        grid._spacing = spacing;
        EXPECT_EQ(grid.constrainedPoint({13.4, 4.5}), QPointF(13.4, 4.5)) << spacing;
    }
}

TEST(SKTGridGeometry, RectanglesAlignWhateverTheSnapFlagButNotOnAnUnusableGrid)
{
    SKTGrid grid;
    ASSERT_FALSE(grid.isConstraining());
    EXPECT_EQ(grid.alignedRect({10, 10, 3, 3}), QRectF(9, 9, 0, 0));
    EXPECT_EQ(grid.alignedRect({10, 10, 20, 20}), QRectF(9, 9, 18, 18));
    EXPECT_EQ(grid.alignedRect({-10, 4.5, 20, 4}), QRectF(-9, 9, 18, 0));

    for (double spacing : {0.0, -3.0}) {
        grid._spacing = spacing;
        EXPECT_EQ(grid.alignedRect({10, 10, 3, 3}), QRectF(10, 10, 3, 3)) << spacing;
    }
}

TEST(SKTGridNotification, EverySetterCallNotifiesAndShowingDrivesTheAlignButton)
{
    AppFixture app;
    int any = 0;
    SKTGrid grid;
    grid.addObserver([&any] { ++any; });
    grid.setConstraining(false);
    grid.setAlwaysShown(false);
    grid.setSpacing(9.0); // unchanged values still notify
    EXPECT_EQ(any, 3);
    grid._color = Qt::blue;
    grid._spacing = 20;
    EXPECT_EQ(any, 3) << "direct writes are silent";

    grid.setAlwaysShown(true);
    EXPECT_TRUE(app.hub.alignWithGridEnabled);
    app.hub.alignWithGridEnabled = false;
    grid.setAlwaysShown(true);
    EXPECT_FALSE(app.hub.alignWithGridEnabled) << "an unchanged flag leaves the button alone";

    App().Main_App_wnd = nullptr;
    grid.setAlwaysShown(false); // no design window to tell
    EXPECT_FALSE(grid.isAlwaysShown());
}

TEST(SKTGridDrawing, LinesCrossOnlyTheDirtyRectangle)
{
    SKTGrid grid;
    grid.setAlwaysShown(true);
    const QImage image = drawGrid(grid, QRectF(5, 5, 20, 20));

    for (int v : {9, 18}) {
        EXPECT_TRUE(isRed(image, v, 6) && isRed(image, v, 24)) << "vertical at " << v;
        EXPECT_TRUE(isRed(image, 6, v) && isRed(image, 24, v)) << "horizontal at " << v;
        EXPECT_FALSE(isRed(image, v, 3) || isRed(image, v, 27)) << "vertical at " << v << " leaves the rectangle";
        EXPECT_FALSE(isRed(image, 3, v) || isRed(image, 27, v)) << "horizontal at " << v << " leaves the rectangle";
    }
    // Hairlines: four lines of about 21 pixels, sharing four crossings.
    EXPECT_LE(redPixels(image), 4 * 21);
    EXPECT_GE(redPixels(image), 4 * 19);
}

TEST(SKTGridDrawing, NothingWhenHiddenOrUnusable)
{
    SKTGrid grid;
    EXPECT_EQ(redPixels(drawGrid(grid, QRectF(0, 0, 40, 40))), 0) << "hidden";
    grid.setAlwaysShown(true);
    grid._spacing = 0;
    EXPECT_EQ(redPixels(drawGrid(grid, QRectF(0, 0, 40, 40))), 0) << "spacing 0";
    grid._spacing = 1e-12;
    EXPECT_EQ(redPixels(drawGrid(grid, QRectF(0, 0, 40, 40))), 0) << "lines too dense to tell apart";
}

TEST(SKTGridShowing, ShowingEndsATemporaryShowingAndAShownGridStartsNoTimer)
{
    SKTGrid grid;
    grid.setSpacing(12);
    EXPECT_TRUE(grid.isShowing());
    grid.setAlwaysShown(true);
    grid.setAlwaysShown(false);
    EXPECT_FALSE(grid.isShowing()) << "the pending hiding went with the showing";

    grid.setAlwaysShown(true);
    grid.setSpacing(20);
    grid.setAlwaysShown(false);
    EXPECT_FALSE(grid.isShowing());

    grid.setSpacing(0);
    grid.setSpacing(-4);
    EXPECT_FALSE(grid.isShowing()) << "an unusable spacing shows nothing";
}

TEST(SKTGridShowing, ANewSpacingShowsTheGridForASecondRestartedByTheNext)
{
    int any = 0;
    ManualClock clock;
    SKTGrid grid(clock.timers());
    grid.addObserver([&any] { ++any; });
    grid.setSpacing(12);
    EXPECT_GT(redPixels(drawGrid(grid, QRectF(0, 0, 40, 40))), 0) << "draws while temporarily shown";

    clock.advance(600ms);
    ASSERT_TRUE(grid.isShowing());
    grid.setSpacing(15);
    clock.advance(600ms);
    EXPECT_TRUE(grid.isShowing()) << "the second spacing restarted the second";

    const int before = any;
    clock.advance(399ms);
    EXPECT_TRUE(grid.isShowing());
    clock.advance(1ms);
    EXPECT_FALSE(grid.isShowing()) << "a second after the restart";
    EXPECT_EQ(any, before + 1) << "the end of the showing tells the canvases";
}

TEST(SKTGridDrawing, TheKeptPictureOfTheLinesGivesTheSamePixelsAsStrokingThem)
{
    AppFixture app;
    SKTGrid grid;
    grid.setAlwaysShown(true);
    const QRectF card(0, 0, 243, 154);
    const struct {
        double zoom;
        QPointF offset; // device pixels, whole
        double spacing;
        QColor colour;
    } cases[] = {{1.0, {0, 0}, 9.0, Qt::lightGray}, {1.5, {0, 0}, 9.0, Qt::lightGray}, {2.25, {7, 3}, 12.5, Qt::blue},
                 {0.5, {0, 0}, 9.0, QColor(200, 30, 30)}, {3.0, {2, 11}, 7.3, Qt::darkGreen}};
    for (const auto &c : cases) {
        grid._spacing = c.spacing;
        grid._color = c.colour;
        for (const QRectF &dirty : {card, QRectF(10.3, 20.7, 55.5, 40.1), QRectF(200, 100, 80, 80)}) {
            QImage stroked(800, 520, QImage::Format_ARGB32_Premultiplied), copied = stroked;
            for (QImage *page : {&stroked, &copied}) {
                page->fill(Qt::white);
                QPainter painter(page);
                painter.translate(c.offset);
                painter.scale(c.zoom, c.zoom);
                painter.setClipRect(dirty);
                if (page == &stroked)
                    grid.drawRect(painter, dirty.intersected(card));
                else
                    grid.drawRect(painter, dirty.intersected(card), card);
            }
            ASSERT_EQ(copied, stroked) << "zoom " << c.zoom << " dirty " << dirty.x();
        }
    }
}
