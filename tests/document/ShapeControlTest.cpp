#include "document/Shape_Control.h"

#include "fixtures/Pictures.h"
#include "fixtures/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

std::shared_ptr<Shape_Control> makeShape(const QString &code, const QRectF &bounds)
{
    auto shape = std::make_shared<Shape_Control>();
    shape->Set_Shape_Type(code);
    shape->_bounds = bounds;
    return shape;
}

// The corners of the first closed figure, without the repeated starting point.
QList<QPointF> corners(const QPainterPath &path)
{
    const QList<QPolygonF> polygons = path.toSubpathPolygons();
    QList<QPointF> points;
    if (!polygons.isEmpty())
        points = QList<QPointF>(polygons.first().begin(), polygons.first().end());
    if (points.size() > 1 && points.first() == points.last())
        points.removeLast();
    return points;
}

::testing::AssertionResult near(const QPointF &actual, const QPointF &expected, double tolerance = 1e-4)
{
    if (std::abs(actual.x() - expected.x()) <= tolerance && std::abs(actual.y() - expected.y()) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << actual.x() << ", " << actual.y() << ") is not near ("
                                         << expected.x() << ", " << expected.y() << ")";
}

QPointF onCircle(double cx, double cy, double r, double degrees)
{
    const double a = degrees * std::numbers::pi / 180;
    return {cx + r * std::cos(a), cy + r * std::sin(a)};
}

void draw(Shape_Control &shape, QImage &image, double scale = 1)
{
    QPainter painter(&image);
    painter.scale(scale, scale);
    shape.drawContentsInView(painter, false, DrawingResources::ofProgram());
}

// Lengths of the alternating painted and open runs along a row, from the first painted pixel; the
// last, possibly cut, run is left out.
QList<int> runsAlongRow(const QImage &image, int y, int x0, int x1)
{
    QList<int> runs;
    int length = 0;
    bool painted = true;
    for (int x = x0; x < x1; ++x) {
        const bool dark = qGray(image.pixel(x, y)) < 128;
        if (runs.isEmpty() && length == 0 && !dark)
            continue;
        if (dark != painted) {
            runs << length;
            painted = dark;
            length = 0;
        }
        ++length;
    }
    return runs;
}

class ShapeRendering : public ::testing::Test {
protected:
    AppFixture app;

    void installPattern(const QString &name)
    {
        QDir().mkpath(app.resourcePath() + "Fill_Style_Image");
        const QString from = sourceResourcesPath() + "Fill_Style_Image/" + name + ".png";
        ASSERT_TRUE(QFile::copy(from, app.resourcePath() + "Fill_Style_Image/" + name + ".png")) << from.toStdString();
    }
};

} // namespace

TEST(ShapeOutline, TriangleAndFourPointStarCorners)
{
    auto shape = makeShape("T", QRectF(0, 0, 100, 50));
    const QList<QPointF> triangle = corners(shape->bezierPathForDrawing());
    ASSERT_EQ(triangle.size(), 3);
    EXPECT_TRUE(near(triangle[0], {0, 50}));
    EXPECT_TRUE(near(triangle[1], {50, 0}));
    EXPECT_TRUE(near(triangle[2], {100, 50}));

    const QList<QPointF> expected{{0, 0}, {50, 25}, {100, 0}, {75, 50}, {100, 100}, {50, 75}, {0, 100}, {25, 50}};
    shape->_bounds = QRectF(0, 0, 100, 100);
    shape->Set_Shape_Type("P");
    for (int stored : {1, 8}) {
        shape->polygon_type = stored;
        const QList<QPointF> star = corners(shape->bezierPathForDrawing());
        ASSERT_EQ(star.size(), expected.size()) << "polygon_type " << stored;
        for (int i = 0; i < star.size(); ++i)
            EXPECT_TRUE(near(star[i], expected[i])) << "polygon_type " << stored << ", corner " << i;
    }
}

TEST(ShapeOutline, FivePointStarIsUprightAndFilledInside)
{
    auto shape = makeShape("S", QRectF(0, 0, 100, 100));
    const QList<QPointF> points = corners(shape->bezierPathForDrawing());
    ASSERT_EQ(points.size(), 5);
    EXPECT_TRUE(near(points[0], {50, 0}));
    for (int k = 1; k < 5; ++k)
        EXPECT_TRUE(near(points[k], onCircle(50, 50, 50, -90 + 144 * k))) << "point " << k;

    // The inner pentagon has winding number 2: inside under the winding rule, a hole under odd-even.
    EXPECT_TRUE(shape->isContentsUnderPoint({50, 50}));
    EXPECT_FALSE(shape->isContentsUnderPoint({50, 98})); // between the two lower points
}

TEST(ShapeOutline, StarAndPolygonPointCounts)
{
    auto shape = makeShape("DS", QRectF(0, 0, 100, 100));
    for (auto [stored, count] : std::initializer_list<std::pair<int, int>>{{1, 7}, {3, 11}, {5, 15}, {6, 6}, {21, 21}}) {
        shape->double_star_type = stored;
        EXPECT_EQ(corners(shape->bezierPathForDrawing()).size(), count) << "double_star_type " << stored;
    }

    // Even counts visit n/2 corners twice: 2 -> a pentagon, a stored 6 -> a triangle.
    shape->Set_Shape_Type("P");
    for (auto [stored, sides] : {std::pair{2, 5}, std::pair{6, 3}}) {
        shape->polygon_type = stored;
        const QList<QPointF> points = corners(shape->bezierPathForDrawing());
        ASSERT_EQ(points.size(), 2 * sides) << "polygon_type " << stored;
        for (int i = 0; i < sides; ++i) {
            EXPECT_TRUE(near(points[i], points[i + sides]));
            EXPECT_TRUE(near(points[i], onCircle(50, 50, 50, -90 + 360.0 * i / sides))) << "corner " << i;
        }
        EXPECT_TRUE(shape->isContentsUnderPoint({50, 55})) << "traced twice is still filled";
    }

    // No points, or an unknown code: no area, never hit.
    shape->Set_Shape_Type("DS");
    for (int stored : {0, -3}) {
        shape->double_star_type = stored;
        const QRectF box = shape->bezierPathForDrawing().boundingRect();
        EXPECT_EQ(box.width() * box.height(), 0);
        EXPECT_FALSE(shape->isContentsUnderPoint({50, 50}));
    }
    shape->Set_Shape_Type("X");
    EXPECT_TRUE(shape->bezierPathForDrawing().isEmpty());
    EXPECT_FALSE(shape->isContentsUnderPoint({50, 50}));
}

TEST(ShapeOutline, HitTestIgnoresFillAndStrokeWidth)
{
    auto shape = makeShape("R", QRectF(10, 10, 100, 100));
    shape->_isDrawingFill = false;
    shape->_strokeWidth = 20;
    EXPECT_TRUE(shape->isContentsUnderPoint({60, 60}));
    EXPECT_TRUE(shape->isContentsUnderPoint({15, 60})); // inner half of the outline
    EXPECT_FALSE(shape->isContentsUnderPoint({5, 60})); // outer half of the outline

    shape->Set_Shape_Type("RR");
    shape->cor_rad_val = 30;
    EXPECT_FALSE(shape->isContentsUnderPoint({12, 12}));
    EXPECT_TRUE(shape->isContentsUnderPoint({60, 12}));
    shape->cor_rad_val = 500; // more than half the side: the corners meet and the shape stays whole
    EXPECT_TRUE(shape->isContentsUnderPoint({60, 60}));
    EXPECT_FALSE(shape->isContentsUnderPoint({20, 20}));
}

TEST(ShapePainting, ZeroWidthPenKeepsFiniteDashes)
{
    const QList<qreal> pattern = ShapePainting::outlinePen(Qt::black, 0, "DDD").dashPattern();
    EXPECT_EQ(pattern, (QList<qreal>{24, 8, 8, 8, 8, 8}));
    EXPECT_EQ(ShapePainting::outlinePen(Qt::black, 3, "zigzag").style(), Qt::SolidLine);
}

TEST(ShapePainting, GradientCornersTakeThePureColours)
{
    // At any angle the box's extreme corners lie on the lines through the ends, square to the direction.
    const QRectF box(10, 20, 200, 100);
    for (double angle : {30.0, 45.0, 135.0, 180.0, -60.0}) {
        const QLinearGradient g = ShapePainting::gradientForBox(box, angle, Qt::red, Qt::blue);
        const QPointF d = g.finalStop() - g.start();
        double lowest = 2, highest = -1;
        for (const QPointF corner : {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()}) {
            const double t = QPointF::dotProduct(corner - g.start(), d) / QPointF::dotProduct(d, d);
            lowest = std::min(lowest, t);
            highest = std::max(highest, t);
        }
        EXPECT_NEAR(lowest, 0, 1e-9) << angle;
        EXPECT_NEAR(highest, 1, 1e-9) << angle;
    }
}

TEST_F(ShapeRendering, FillsFollowTheWindingRuleAndTheGradientAngle)
{
    QImage image = whitePage(QSize(240, 200));
    auto star = makeShape("S", QRectF(10, 10, 100, 100));
    star->_fillColor = QColor(0, 128, 0);
    star->_isDrawingStroke = false;
    draw(*star, image);
    EXPECT_TRUE(colourNear(image.pixel(60, 60), QColor(0, 128, 0), 12)); // inner pentagon
    EXPECT_TRUE(colourNear(image.pixel(60, 13), QColor(0, 128, 0), 12)); // top point
    EXPECT_TRUE(colourNear(image.pixel(60, 106), Qt::white, 12));        // between the lower points
    EXPECT_TRUE(colourNear(image.pixel(115, 60), Qt::white, 12));        // just outside

    auto gradient = makeShape("R", QRectF(120, 10, 100, 50));
    gradient->_isDrawingStroke = false;
    gradient->_fill_type = "G";
    gradient->_fill_Grad_clr1 = Qt::red;
    gradient->_fill_Grad_clr2 = Qt::blue;
    draw(*gradient, image);
    EXPECT_TRUE(colourNear(image.pixel(120, 35), Qt::red, 8));
    EXPECT_TRUE(colourNear(image.pixel(219, 35), Qt::blue, 8));
    EXPECT_TRUE(colourNear(image.pixel(170, 35), QColor(128, 0, 128), 8));

    gradient->_bounds = QRectF(120, 70, 100, 50);
    gradient->_fill_grad_angle = 90;
    draw(*gradient, image);
    EXPECT_TRUE(colourNear(image.pixel(170, 70), Qt::red, 8));
    EXPECT_TRUE(colourNear(image.pixel(170, 119), Qt::blue, 8));

    gradient->_bounds = QRectF(120, 130, 100, 50);
    gradient->_fill_grad_angle = 45;
    draw(*gradient, image);
    EXPECT_TRUE(colourNear(image.pixel(120, 130), Qt::red, 8));
    EXPECT_TRUE(colourNear(image.pixel(219, 179), Qt::blue, 8));
}

TEST_F(ShapeRendering, HatchShowsAHalfOpaqueBackgroundUnderAnOpaquePattern)
{
    installPattern("Lines");
    const QImage tile(app.resourcePath() + "Fill_Style_Image/Lines.png");
    ASSERT_FALSE(tile.isNull());
    QPoint ink(-1, -1), open(-1, -1);
    for (int y = 0; y < tile.height(); ++y)
        for (int x = 0; x < tile.width(); ++x) {
            const int alpha = qAlpha(tile.pixel(x, y));
            if (alpha == 255 && ink.x() < 0)
                ink = {x, y};
            if (alpha == 0 && open.x() < 0)
                open = {x, y};
        }
    ASSERT_TRUE(ink.x() >= 0 && open.x() >= 0) << "the tile needs opaque and clear pixels";

    auto shape = makeShape("R", QRectF(0, 0, 64, 64));
    shape->_isDrawingStroke = false;
    shape->_fill_type = "H";
    shape->_fill_hatch_type = "Lines";
    shape->_fill_htch_clr = QColor(255, 0, 0);
    shape->alpha_val = 0.5f;
    QImage image = whitePage(QSize(80, 80));
    draw(*shape, image);

    // Tiles repeat from the canvas origin at their own size.
    const QPoint inkAt = ink + QPoint(tile.width(), tile.height());
    const QPoint openAt = open + QPoint(tile.width(), tile.height());
    EXPECT_TRUE(colourNear(image.pixel(inkAt), QColor::fromRgba(tile.pixel(ink)), 2));
    EXPECT_TRUE(colourNear(image.pixel(openAt), QColor(255, 128, 128), 3));
    EXPECT_TRUE(colourNear(image.pixel(70, 70), Qt::white, 12));

    // A replaced picture shows at the next draw.
    QImage solid(4, 4, QImage::Format_ARGB32);
    solid.fill(Qt::blue);
    QFile::remove(app.resourcePath() + "Fill_Style_Image/Lines.png");
    ASSERT_TRUE(solid.save(app.resourcePath() + "Fill_Style_Image/Lines.png"));
    draw(*shape, image);
    EXPECT_TRUE(colourNear(image.pixel(openAt), Qt::blue, 2));

    // Without a readable picture only the background is painted; a name that leaves the patterns'
    // folder reads nothing, though the file it reaches is a picture.
    ASSERT_TRUE(solid.save(app.resourcePath() + "Secret.png"));
    ASSERT_TRUE(QDir().mkpath(app.resourcePath() + "Fill_Style_Image/sub"));
    for (const QString &name : QStringList{"", "Missing", "..", "../Secret", "sub/../../Secret", app.resourcePath() + "Secret"}) {
        shape->_fill_hatch_type = name;
        QImage plain = whitePage(QSize(80, 80));
        draw(*shape, plain);
        EXPECT_TRUE(colourNear(plain.pixel(inkAt), QColor(255, 128, 128), 3)) << name.toStdString();
    }
}

TEST_F(ShapeRendering, DashesKeepTheirLengthInPointsAtEveryWidth)
{
    for (double width : {1.0, 10.0}) {
        // The top edge runs left to right from the start of the outline, centred on pixel row 20.
        auto shape = makeShape("R", QRectF(10, 20.5, 200, 40));
        shape->_isDrawingFill = false;
        shape->_strokeWidth = width;
        shape->_stroke_border_type = "DO";
        QImage image = whitePage(QSize(240, 80));
        draw(*shape, image);
        const QList<int> runs = runsAlongRow(image, 20, 10, 200);
        ASSERT_GE(runs.size(), 10) << "width " << width;
        for (int i = 0; i < runs.size(); ++i)
            EXPECT_EQ(runs[i], i % 2 == 0 ? 4 : 6) << "width " << width << ", run " << i;
        EXPECT_LT(qGray(image.pixel(10, 20)), 128) << "the outline starts with a dash";
    }
}

TEST_F(ShapeRendering, CornersAreMitredUpToTenTimesTheWidth)
{
    // Mitre length over width is 1 / sin(half the corner angle): 6.7 here, 12.5 for the thin one.
    const auto topmostInk = [](double halfBase) {
        auto shape = makeShape("T", QRectF(100 - halfBase, 60, 2 * halfBase, 200));
        shape->_isDrawingFill = false;
        shape->_strokeWidth = 10;
        QImage image = whitePage(QSize(200, 280));
        draw(*shape, image);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qGray(image.pixel(x, y)) < 250)
                    return y;
        return -1;
    };
    EXPECT_NEAR(topmostInk(30), 60 - 5 / std::sin(std::atan(30.0 / 200)), 1.5); // full mitre
    EXPECT_NEAR(topmostInk(16), 60, 1.5);                                        // bevelled
}

TEST_F(ShapeRendering, DrawingLeavesPainterAndWindowAlone)
{
    auto shape = makeShape("S", QRectF(10, 10, 60, 60));
    shape->_fillColor = Qt::blue;
    shape->_strokeWidth = 4;
    shape->_stroke_border_type = "DA";

    QImage image = whitePage(QSize(80, 80));
    {
        QPainter painter(&image);
        const QPen pen(Qt::green, 7);
        painter.setPen(pen);
        painter.setBrush(Qt::yellow);
        painter.translate(1, 2);
        shape->drawContentsInView(painter, true);
        EXPECT_EQ(painter.pen(), pen);
        EXPECT_EQ(painter.brush(), QBrush(Qt::yellow));
        EXPECT_EQ(painter.transform(), QTransform::fromTranslate(1, 2));
        EXPECT_FALSE(painter.testRenderHint(QPainter::Antialiasing));
    }
    EXPECT_NE(image, whitePage(QSize(80, 80)));

    // Invisible, pointless and unknown shapes draw nothing.
    shape->ctrl_is_visible = false;
    QImage untouched = whitePage(QSize(80, 80));
    draw(*shape, untouched);
    shape->ctrl_is_visible = true;
    shape->double_star_type = 0;
    for (const QString code : {"DS", "X"}) {
        shape->Set_Shape_Type(code);
        draw(*shape, untouched);
    }
    EXPECT_EQ(untouched, whitePage(QSize(80, 80)));
    EXPECT_EQ(app.hub.refreshCount, 0);
}

TEST_F(ShapeRendering, SampleSheet)
{
    const QStringList patterns{"Lines", "Cross_Hatch", "Dots", "Bricks", "Horizontal", "Vertical"};
    for (const QString &name : patterns)
        installPattern(name);

    const QList<std::pair<QString, int>> columns{{"R", 0},  {"C", 0},  {"RR", 0}, {"T", 0}, {"D", 0}, {"S", 0},
                                                 {"DS", 1}, {"DS", 3}, {"DS", 5}, {"P", 1}, {"P", 2}, {"P", 4}};
    struct Row {
        QString fill; // empty: no fill
        QString detail;
        QString border;
        double width;
    };
    QList<Row> rows{{"S", "", "S", 2},  {"G", "0", "S", 1},  {"G", "90", "S", 1},  {"G", "45", "S", 1},
                    {"", "", "DA", 3},  {"", "", "DO", 3},   {"", "", "DD", 3},    {"", "", "DDD", 3},
                    {"", "", "S", 8}};
    for (const QString &name : patterns)
        rows.append({"H", name, "S", 1});

    const int cell = 90, inset = 10, scale = 2;
    QImage sheet = whitePage(QSize(columns.size() * cell * scale, rows.size() * cell * scale));
    const auto cellBox = [&](int r, int c) {
        return QRectF(c * cell + inset, r * cell + inset, cell - 2 * inset, cell - 2 * inset);
    };
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < columns.size(); ++c) {
            auto shape = makeShape(columns[c].first, cellBox(r, c));
            shape->double_star_type = shape->polygon_type = columns[c].second;
            shape->cor_rad_val = 14;
            const Row &row = rows[r];
            shape->_isDrawingFill = !row.fill.isEmpty();
            shape->_fill_type = row.fill;
            shape->_fillColor = QColor(90, 160, 220);
            shape->_fill_Grad_clr1 = QColor(250, 200, 40);
            shape->_fill_Grad_clr2 = QColor(200, 30, 90);
            shape->_fill_grad_angle = row.detail.toDouble();
            shape->_fill_hatch_type = row.detail;
            shape->_fill_htch_clr = QColor(255, 235, 200);
            shape->_stroke_border_type = row.border;
            shape->_strokeWidth = row.width;
            shape->_strokeColor = QColor(30, 30, 60);
            draw(*shape, sheet, scale);
        }
    }
    const auto at = [&](int r, int c, double fx, double fy) {
        const QRectF box = cellBox(r, c);
        return sheet.pixel(int((box.x() + fx * box.width()) * scale), int((box.y() + fy * box.height()) * scale));
    };
    EXPECT_TRUE(colourNear(at(0, 5, 0.5, 0.5), QColor(90, 160, 220), 12));
    EXPECT_TRUE(colourNear(at(1, 0, 0.02, 0.5), QColor(250, 200, 40), 16));
    EXPECT_TRUE(colourNear(at(2, 0, 0.5, 0.98), QColor(200, 30, 90), 16));

    const QString out = testOutputPath("shapes.png");
    ASSERT_TRUE(sheet.save(out)) << out.toStdString();
}
