#include "canvas/GraphicPictureCache.h"
#include "document/Shape_Control.h"

#include "fixtures/Pictures.h"
#include "fixtures/TestSupport.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

std::shared_ptr<Shape_Control> dashedStar()
{
    auto shape = std::make_shared<Shape_Control>();
    shape->Set_Shape_Type(QStringLiteral("DS"));
    shape->_bounds = QRectF(20.3, 15.6, 70, 55);
    shape->_fill_type = QStringLiteral("G");
    shape->_fill_Grad_clr1 = Qt::yellow;
    shape->_fill_Grad_clr2 = Qt::darkBlue;
    shape->_fill_grad_angle = 30;
    shape->_strokeWidth = 3;
    shape->_stroke_border_type = QStringLiteral("DD");
    return shape;
}

// What the canvas does for one object: scale, clip to the drawing bounds, draw.
QImage drawn(SKTGraphic &graphic, double zoom, GraphicPictureCache *cache)
{
    QImage image = whitePage(QSize(240, 200));
    QPainter painter(&image);
    painter.scale(zoom, zoom);
    painter.setClipRect(graphic.drawingBounds());
    if (cache)
        cache->drawContents(painter, graphic, false);
    else
        graphic.drawContentsInView(painter, false);
    return image;
}

// Largest difference of any channel over the whole picture.
int largestDifference(const QImage &a, const QImage &b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q))});
        }
    return largest;
}

} // namespace

TEST(GraphicPictureCache, KeptPictureLooksLikeDirectDrawingAtEveryZoom)
{
    AppFixture app;
    GraphicPictureCache cache;
    auto shape = dashedStar();
    for (double zoom : {1.0, 2.0, 0.5, 1.37}) {
        const QImage direct = drawn(*shape, zoom, nullptr);
        EXPECT_LE(largestDifference(drawn(*shape, zoom, &cache), direct), 2) << zoom;
        // The second time comes from the kept picture.
        EXPECT_LE(largestDifference(drawn(*shape, zoom, &cache), direct), 2) << zoom;
    }
    EXPECT_EQ(cache.pictureCount(), 1);
}

TEST(GraphicPictureCache, FollowsSilentFieldWritesAndMoves)
{
    AppFixture app;
    GraphicPictureCache cache;
    auto shape = dashedStar();
    drawn(*shape, 1.0, &cache);

    // The properties panel writes fields directly, without announcing anything.
    shape->_fill_Grad_clr2 = Qt::red;
    shape->_stroke_border_type = QStringLiteral("S");
    shape->alpha_val = 40;
    EXPECT_LE(largestDifference(drawn(*shape, 1.0, &cache), drawn(*shape, 1.0, nullptr)), 2);

    // A whole-pixel move reuses the picture at the new place; a sub-pixel move draws afresh.
    for (const QPointF &by : {QPointF(7, -3), QPointF(0.4, 0.25)}) {
        shape->_bounds.translate(by);
        EXPECT_LE(largestDifference(drawn(*shape, 1.0, &cache), drawn(*shape, 1.0, nullptr)), 2) << by.x();
    }

    shape->_bounds.setSize(QSizeF(30, 90));
    EXPECT_LE(largestDifference(drawn(*shape, 1.0, &cache), drawn(*shape, 1.0, nullptr)), 2);
    EXPECT_EQ(cache.pictureCount(), 1) << "an object keeps one picture, not one per state";
}

TEST(GraphicPictureCache, HatchedShapesKeepTheirTilesAnchoredToTheCanvas)
{
    AppFixture app;
    GraphicPictureCache cache;
    auto shape = dashedStar();
    shape->Set_Shape_Type(QStringLiteral("R"));
    shape->_fill_type = QStringLiteral("H");
    shape->_fill_hatch_type = QStringLiteral("Bricks");
    drawn(*shape, 1.0, &cache);
    shape->_bounds.translate(5, 3);
    EXPECT_LE(largestDifference(drawn(*shape, 1.0, &cache), drawn(*shape, 1.0, nullptr)), 2);
}

TEST(GraphicPictureCache, TurnedPaintersAndUndescribedKindsAreDrawnDirectly)
{
    AppFixture app;
    GraphicPictureCache cache;
    auto shape = dashedStar();
    QImage image = whitePage(QSize(240, 200));
    {
        QPainter painter(&image);
        painter.rotate(10);
        cache.drawContents(painter, *shape, false);
    }
    EXPECT_EQ(cache.pictureCount(), 0);
    QImage direct = whitePage(QSize(240, 200));
    {
        QPainter painter(&direct);
        painter.rotate(10);
        shape->drawContentsInView(painter, false);
    }
    EXPECT_EQ(largestDifference(image, direct), 0);

    {
        QPainter painter(&image);
        cache.drawContents(painter, *shape, false);
    }
    EXPECT_EQ(cache.pictureCount(), 1);
    cache.forget(shape.get());
    EXPECT_EQ(cache.pictureCount(), 0);
    EXPECT_EQ(cache.byteCount(), 0);
}
