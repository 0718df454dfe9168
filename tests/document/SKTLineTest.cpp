#include "document/SKTLine.h"

#include "fixtures/Pictures.h"
#include "fixtures/TestSupport.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <functional>

namespace {

const QSize kPage(200, 120);

class SKTLineTest : public ::testing::Test {
protected:
    AppFixture app;
};

std::shared_ptr<SKTLine> lineFrom(const QPointF &begin, const QPointF &end, double width = 1)
{
    auto line = std::make_shared<SKTLine>();
    line->_bounds = SKTLine::boundsWithBeginPoint(begin, end, &line->_pointsRight, &line->_pointsDown);
    line->_strokeWidth = width;
    return line;
}

bool isInk(QRgb pixel)
{
    return qGray(pixel) < 200;
}

} // namespace

TEST_F(SKTLineTest, EndsFollowTheDirectionAndTheTwoHandles)
{
    // The canvas makes a line at the press point and drags handle 2, its end.
    auto line = std::make_shared<SKTLine>();
    line->_bounds = QRectF(10, 80, 0, 0);
    EXPECT_EQ(line->resizeByMovingHandle(line->creationSizingHandle(), QPointF(90, 20)), 2);
    EXPECT_EQ(line->bounds(), QRectF(10, 20, 80, 60));
    EXPECT_TRUE(line->_pointsRight);
    EXPECT_FALSE(line->_pointsDown);
    EXPECT_EQ(line->beginPoint(), QPointF(10, 80));
    SKTGraphic::translateGraphics({line}, 5, 5);
    EXPECT_EQ(line->beginPoint(), QPointF(15, 85));
    EXPECT_EQ(line->endPoint(), QPointF(95, 25));
    EXPECT_EQ(line->handleUnderPoint({17, 83}), 1);
    EXPECT_EQ(line->handleUnderPoint({93, 27}), 2);
    EXPECT_EQ(line->handleUnderPoint({15, 25}), 0); // a corner that is no end

    // Dragging one end past the other keeps the handle.
    auto diagonal = lineFrom({0, 0}, {100, 100});
    EXPECT_EQ(diagonal->resizeByMovingHandle(1, QPointF(150, 50)), 1);
    EXPECT_EQ(diagonal->bounds(), QRectF(100, 50, 50, 50));
    EXPECT_FALSE(diagonal->_pointsRight);
    EXPECT_TRUE(diagonal->_pointsDown);
    EXPECT_EQ(diagonal->resizeByMovingHandle(8, QPointF(500, 500)), 8);
    EXPECT_EQ(diagonal->bounds(), QRectF(100, 50, 50, 50));

    EXPECT_EQ(lineFrom({10, 10}, {12, 10})->handleUnderPoint({11, 10}), 1); // the begin wins
}

TEST_F(SKTLineTest, HitTestingFollowsTheLine)
{
    auto line = lineFrom({0, 0}, {100, 100}, 2); // tolerance 3
    EXPECT_TRUE(line->isContentsUnderPoint({50, 52}));
    EXPECT_FALSE(line->isContentsUnderPoint({50, 54}));
    EXPECT_FALSE(line->isContentsUnderPoint({100, 100})); // right and bottom edges are out
    EXPECT_TRUE(lineFrom({0, 100}, {100, 0})->isContentsUnderPoint({50, 51}));

    // Steep, level and upright lines are hit across them too.
    auto steep = lineFrom({50, 0}, {60, 100}); // tolerance 2.5
    EXPECT_TRUE(steep->isContentsUnderPoint({55.5, 50}));
    EXPECT_FALSE(steep->isContentsUnderPoint({58.5, 50}));
    auto level = lineFrom({10, 40}, {90, 40});
    EXPECT_TRUE(level->isContentsUnderPoint({50, 42}));
    EXPECT_FALSE(level->isContentsUnderPoint({50, 44}));
    EXPECT_FALSE(level->isContentsUnderPoint({95, 40}));
    auto upright = lineFrom({30, 10}, {30, 90});
    EXPECT_TRUE(upright->isContentsUnderPoint({31, 50}));
    EXPECT_FALSE(upright->isContentsUnderPoint({34, 50}));
}

TEST_F(SKTLineTest, UndoOfTheEndsRestoresTheDirection)
{
    auto line = lineFrom({0, 0}, {100, 100});
    QStringList heard;
    for (const QString &key : {SKTGraphic::BoundsKey, SKTLine::BeginPointKey, SKTLine::EndPointKey})
        line->addObserver(key, [&](const QString &k, const QVariant &, const QVariant &) { heard << k; });
    line->setBeginPoint({150, 50});
    EXPECT_EQ(heard, (QStringList{"bounds", "beginPoint", "endPoint"}));
    const QStringList keys = line->keysForValuesToObserveForUndo();
    EXPECT_FALSE(keys.contains("bounds"));
    EXPECT_TRUE(keys.contains("beginPoint") && keys.contains("endPoint") && keys.contains("strokeColor"));

    line->setValueForKey(SKTLine::BeginPointKey, QPointF(0, 0));
    line->setValueForKey(SKTLine::EndPointKey, QPointF(100, 100));
    EXPECT_EQ(line->bounds(), QRectF(0, 0, 100, 100));
    EXPECT_TRUE(line->_pointsRight && line->_pointsDown);

    EXPECT_EQ(std::static_pointer_cast<SKTLine>(lineFrom({0, 100}, {100, 0})->clone())->beginPoint(), QPointF(0, 100));
    line->addObserver(SKTGraphic::StrokeColorKey, [&](const QString &k, const QVariant &, const QVariant &) { heard << k; });
    line->setColor(Qt::red); // the stroke's colour, announced; the fill stays off and white
    EXPECT_EQ(heard.last(), "strokeColor");
    EXPECT_EQ(line->_fillColor, QColor(Qt::white));
}

TEST_F(SKTLineTest, DrawsOnlyItsStrokeWithItsDashesAndCaps)
{
    auto line = lineFrom({10, 60}, {110, 60}, 6);
    line->_strokeColor = Qt::blue;
    line->_isDrawingStroke = false; // not consulted
    line->_fillColor = Qt::red;     // never drawn
    QImage image = drawnOnWhite(*line, kPage);
    EXPECT_EQ(image.pixelColor(50, 60), QColor(Qt::blue));
    EXPECT_EQ(image.pixelColor(50, 65), QColor(Qt::white));
    EXPECT_EQ(app.hub.refreshCount, 0);
    line->alpha_val_stroke = 0.5f;
    EXPECT_NEAR(drawnOnWhite(*line, kPage).pixelColor(50, 60).red(), 127, 3);
    line->Set_Ctrl_Is_Visible(false);
    EXPECT_FALSE(isInk(drawnOnWhite(*line, kPage).pixel(50, 60)));

    // Dashes are in points, whatever the width.
    auto dashed = lineFrom({0, 50}, {200, 50}, 4);
    dashed->_stroke_border_type = "DD";
    image = drawnOnWhite(*dashed, kPage);
    QList<int> runs{0};
    for (int x = 0; x < 100; ++x) {
        if (x > 0 && isInk(image.pixel(x, 50)) != isInk(image.pixel(x - 1, 50)))
            runs << 0;
        ++runs.last();
    }
    EXPECT_EQ(runs.mid(0, 4), (QList<int>{24, 10, 6, 10}));

    // Caps: flat ends at the end, round and square reach half the width past it, square to the corner.
    auto capped = lineFrom({20, 50}, {80, 50}, 10);
    for (int cap : {0, 1, 2}) {
        capped->_line_cap_style = cap;
        image = drawnOnWhite(*capped, kPage);
        EXPECT_EQ(isInk(image.pixel(84, 50)), cap != 0) << cap;
        EXPECT_EQ(isInk(image.pixel(84, 54)), cap == 2) << cap;
    }

    // A thick diagonal's projecting caps reach furthest, yet stay within the drawing bounds.
    auto diagonal = lineFrom({40, 40}, {80, 80}, 20);
    diagonal->_line_cap_style = 2;
    image = drawnOnWhite(*diagonal, kPage);
    const QRect allowed = diagonal->drawingBounds().toAlignedRect();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            EXPECT_TRUE(allowed.contains(x, y) || image.pixel(x, y) == qRgb(255, 255, 255)) << x << "," << y;
}

TEST_F(SKTLineTest, CacheKeyFollowsWhatTheDrawingReadsButNotThePosition)
{
    auto line = lineFrom({10, 10}, {60, 40});
    auto keyOf = [&] {
        QByteArray key;
        EXPECT_TRUE(line->appendDrawingCacheKey(key));
        return key;
    };
    const QByteArray base = keyOf();
    line->setBounds(line->bounds().translated(30, 7));
    drawnOnWhite(*line, kPage); // stamps the opacity into the colour
    EXPECT_EQ(keyOf(), base);

    auto &l = *line;
    const std::vector<std::function<void()>> changes = {
        [&] { l.ctrl_is_visible = false; },   [&] { l._bounds.setWidth(20); },      [&] { l._pointsRight ^= true; },
        [&] { l._pointsDown ^= true; },       [&] { l._strokeColor = Qt::green; }, [&] { l.alpha_val_stroke = 0.3f; },
        [&] { l._strokeWidth = 7; },          [&] { l._stroke_border_type = "DO"; }, [&] { l._line_cap_style = 1; },
    };
    for (size_t i = 0; i < changes.size(); ++i) {
        const QByteArray before = keyOf();
        changes[i]();
        EXPECT_NE(keyOf(), before) << "change " << i;
    }
}
