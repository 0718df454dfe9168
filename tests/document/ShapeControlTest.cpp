#include "document/Shape_Control.h"

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
    if (polygons.isEmpty())
        return {};
    QList<QPointF> points(polygons.first().begin(), polygons.first().end());
    if (points.size() > 1 && points.first() == points.last())
        points.removeLast();
    return points;
}

::testing::AssertionResult near(const QPointF &actual, const QPointF &expected, double tolerance = 1e-4)
{
    if (std::abs(actual.x() - expected.x()) <= tolerance && std::abs(actual.y() - expected.y()) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << actual.x() << ", " << actual.y() << ") is not near (" << expected.x()
                                         << ", " << expected.y() << ")";
}

QPointF onCircle(double cx, double cy, double r, double degrees)
{
    const double a = degrees * std::numbers::pi / 180;
    return {cx + r * std::cos(a), cy + r * std::sin(a)};
}

QImage whiteImage(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    return image;
}

void draw(Shape_Control &shape, QImage &image, double scale = 1)
{
    QPainter painter(&image);
    painter.scale(scale, scale);
    shape.drawContentsInView(painter, false);
}

::testing::AssertionResult colourNear(QRgb actual, const QColor &expected, int tolerance = 12)
{
    const QColor a = QColor::fromRgba(actual);
    if (std::abs(a.red() - expected.red()) <= tolerance && std::abs(a.green() - expected.green()) <= tolerance &&
        std::abs(a.blue() - expected.blue()) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << a.name().toStdString() << ", expected "
                                         << expected.name().toStdString();
}

// Lengths of alternating painted / open runs along a row, starting with the first painted run.
QList<int> runsAlongRow(const QImage &image, int y, int x0, int x1)
{
    QList<int> runs;
    bool painted = false;
    bool started = false;
    int length = 0;
    for (int x = x0; x < x1; ++x) {
        const bool dark = qGray(image.pixel(x, y)) < 128;
        if (!started) {
            if (!dark)
                continue;
            started = true;
            painted = true;
        }
        if (dark == painted) {
            ++length;
        } else {
            runs << length;
            painted = dark;
            length = 1;
        }
    }
    return runs; // the last, possibly cut run is left out
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

TEST(ShapeOutline, TriangleDiamondAndFourPointStarCorners)
{
    auto shape = makeShape("T", QRectF(0, 0, 100, 50));
    const QList<QPointF> triangle = corners(shape->bezierPathForDrawing());
    ASSERT_EQ(triangle.size(), 3);
    EXPECT_TRUE(near(triangle[0], {0, 50}));
    EXPECT_TRUE(near(triangle[1], {50, 0}));
    EXPECT_TRUE(near(triangle[2], {100, 50}));

    shape->Set_Shape_Type("D");
    const QList<QPointF> diamond = corners(shape->bezierPathForDrawing());
    ASSERT_EQ(diamond.size(), 4);
    EXPECT_TRUE(near(diamond[0], {0, 25}));
    EXPECT_TRUE(near(diamond[3], {50, 50}));

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
    EXPECT_FALSE(shape->isContentsUnderPoint({50, 10})); // the notch between two points
    EXPECT_TRUE(shape->isContentsUnderPoint({50, 50}));
}

TEST(ShapeOutline, FivePointStarIsUprightAndFilledInside)
{
    auto shape = makeShape("S", QRectF(0, 0, 100, 100));
    const QPainterPath path = shape->bezierPathForDrawing();
    const QList<QPointF> points = corners(path);
    ASSERT_EQ(points.size(), 5);
    EXPECT_TRUE(near(points[0], {50, 0}));
    for (int k = 1; k < 5; ++k)
        EXPECT_TRUE(near(points[k], onCircle(50, 50, 50, -90 + 144 * k))) << "point " << k;

    // The inner pentagon has winding number 2: inside under the winding rule, a hole under odd-even.
    EXPECT_EQ(path.fillRule(), Qt::WindingFill);
    EXPECT_TRUE(shape->isContentsUnderPoint({50, 50}));
    EXPECT_FALSE(shape->isContentsUnderPoint({50, 98})); // between the two lower points
}

TEST(ShapeOutline, StarAndPolygonPointCounts)
{
    auto shape = makeShape("DS", QRectF(0, 0, 100, 100));
    const std::pair<int, int> starCounts[] = {{1, 7}, {3, 11}, {5, 15}, {6, 6}, {21, 21}};
    for (auto [stored, count] : starCounts) {
        shape->double_star_type = stored;
        const QList<QPointF> points = corners(shape->bezierPathForDrawing());
        EXPECT_EQ(points.size(), count) << "double_star_type " << stored;
    }
    shape->double_star_type = 3;
    const QList<QPointF> eleven = corners(shape->bezierPathForDrawing());
    for (int i = 0; i < eleven.size(); ++i)
        for (int j = i + 1; j < eleven.size(); ++j)
            EXPECT_FALSE(near(eleven[i], eleven[j], 0.5)) << i << " and " << j << " coincide";

    // Even counts visit n/2 corners twice: 2 -> a pentagon, a stored 6 -> a triangle.
    shape->Set_Shape_Type("P");
    for (auto [stored, sides] : {std::pair{2, 5}, std::pair{6, 3}}) {
        shape->polygon_type = stored;
        const QPainterPath path = shape->bezierPathForDrawing();
        const QList<QPointF> points = corners(path);
        ASSERT_EQ(points.size(), 2 * sides) << "polygon_type " << stored;
        EXPECT_TRUE(near(points[0], {50, 0}));
        for (int i = 0; i < sides; ++i) {
            EXPECT_TRUE(near(points[i], points[i + sides]));
            EXPECT_TRUE(near(points[i], onCircle(50, 50, 50, -90 + 360.0 * i / sides))) << "corner " << i;
        }
        EXPECT_TRUE(shape->isContentsUnderPoint({50, 55})) << "traced twice is still filled";
    }
}

TEST(ShapeOutline, DegenerateAndUnknownOutlinesAreNeverHit)
{
    auto shape = makeShape("DS", QRectF(0, 0, 100, 100));
    for (int stored : {0, -3}) {
        shape->double_star_type = stored;
        EXPECT_EQ(shape->bezierPathForDrawing().boundingRect().width() *
                      shape->bezierPathForDrawing().boundingRect().height(),
                  0);
        EXPECT_FALSE(shape->isContentsUnderPoint({50, 50}));
    }
    shape->Set_Shape_Type("X");
    EXPECT_TRUE(shape->bezierPathForDrawing().isEmpty());
    EXPECT_FALSE(shape->isContentsUnderPoint({50, 50}));
    shape->Set_Shape_Type("");
    EXPECT_TRUE(shape->bezierPathForDrawing().isEmpty());
}

TEST(ShapeOutline, HitTestIgnoresFillAndStrokeWidth)
{
    auto shape = makeShape("R", QRectF(10, 10, 100, 100));
    shape->_isDrawingFill = false;
    shape->_strokeWidth = 20;
    EXPECT_TRUE(shape->isContentsUnderPoint({60, 60}));
    EXPECT_TRUE(shape->isContentsUnderPoint({15, 60}));  // inner half of the outline
    EXPECT_FALSE(shape->isContentsUnderPoint({5, 60})); // outer half of the outline

    shape->Set_Shape_Type("RR");
    shape->cor_rad_val = 30;
    EXPECT_FALSE(shape->isContentsUnderPoint({12, 12}));
    EXPECT_TRUE(shape->isContentsUnderPoint({60, 12}));
    shape->cor_rad_val = 500; // larger than the shape: the corners meet in the middle of each side
    EXPECT_TRUE(shape->isContentsUnderPoint({60, 60}));
    EXPECT_FALSE(shape->isContentsUnderPoint({20, 20}));

    shape->Set_Shape_Type("C");
    EXPECT_FALSE(shape->isContentsUnderPoint({14, 14}));
    EXPECT_TRUE(shape->isContentsUnderPoint({60, 12}));
}

TEST(ShapePaintingPen, DashLengthsStayInPoints)
{
    for (double width : {0.0, 0.5, 1.0, 10.0}) {
        const QPen pen = ShapePainting::outlinePen(Qt::black, width, "DDD");
        EXPECT_EQ(pen.capStyle(), Qt::FlatCap);
        EXPECT_EQ(pen.joinStyle(), Qt::MiterJoin);
        const double unit = width > 0 ? width : 1.0;
        const QList<qreal> pattern = pen.dashPattern();
        const QList<double> expected{24, 8, 8, 8, 8, 8};
        ASSERT_EQ(pattern.size(), expected.size()) << "width " << width;
        for (int i = 0; i < pattern.size(); ++i)
            EXPECT_NEAR(pattern[i] * unit, expected[i], 1e-9) << "width " << width;
    }
    EXPECT_EQ(ShapePainting::outlinePen(Qt::black, 3, "S").style(), Qt::SolidLine);
    EXPECT_EQ(ShapePainting::outlinePen(Qt::black, 3, "zigzag").style(), Qt::SolidLine);
}

TEST(ShapePaintingGradient, SpansTheBoxAlongTheAngle)
{
    const QRectF box(10, 20, 200, 100);
    const auto ends = [&](double angle) {
        const QLinearGradient g = ShapePainting::gradientForBox(box, angle, Qt::red, Qt::blue);
        return std::pair{g.start(), g.finalStop()};
    };
    auto [start0, end0] = ends(0);
    EXPECT_TRUE(near(start0, {10, 70}));
    EXPECT_TRUE(near(end0, {210, 70}));
    auto [start90, end90] = ends(90);
    EXPECT_TRUE(near(start90, {110, 20}));
    EXPECT_TRUE(near(end90, {110, 120}));
    auto [start180, end180] = ends(180);
    EXPECT_TRUE(near(start180, {210, 70}));
    EXPECT_TRUE(near(end180, {10, 70}));

    // At any angle the corners lie on the lines through the ends, square to the direction.
    for (double angle : {30.0, 45.0, 135.0, -60.0}) {
        auto [start, end] = ends(angle);
        const QPointF d = end - start;
        const double length2 = QPointF::dotProduct(d, d);
        double lowest = 2, highest = -1;
        for (const QPointF corner : {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()}) {
            const double t = QPointF::dotProduct(corner - start, d) / length2;
            lowest = std::min(lowest, t);
            highest = std::max(highest, t);
        }
        EXPECT_NEAR(lowest, 0, 1e-9) << angle;
        EXPECT_NEAR(highest, 1, 1e-9) << angle;
    }
}

TEST_F(ShapeRendering, FillsFollowTheWindingRuleAndTheFillType)
{
    QImage image = whiteImage(240, 240);
    auto star = makeShape("S", QRectF(10, 10, 100, 100));
    star->_fillColor = QColor(0, 128, 0);
    star->_isDrawingStroke = false;
    draw(*star, image);
    EXPECT_TRUE(colourNear(image.pixel(60, 60), QColor(0, 128, 0))); // inner pentagon
    EXPECT_TRUE(colourNear(image.pixel(60, 13), QColor(0, 128, 0))); // top point
    EXPECT_TRUE(colourNear(image.pixel(60, 106), Qt::white));        // between the lower points
    EXPECT_TRUE(colourNear(image.pixel(115, 60), Qt::white));        // just outside

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

    auto unknownFill = makeShape("C", QRectF(10, 130, 100, 100));
    unknownFill->_isDrawingStroke = false;
    unknownFill->_fill_type = "Q";
    unknownFill->_fillColor = QColor(200, 100, 0);
    draw(*unknownFill, image);
    EXPECT_TRUE(colourNear(image.pixel(60, 180), QColor(200, 100, 0)));
    EXPECT_TRUE(colourNear(image.pixel(13, 133), Qt::white));
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
    ASSERT_GE(ink.x(), 0);
    ASSERT_GE(open.x(), 0);

    auto shape = makeShape("R", QRectF(0, 0, 64, 64));
    shape->_isDrawingStroke = false;
    shape->_fill_type = "H";
    shape->_fill_hatch_type = "Lines";
    shape->_fill_htch_clr = QColor(255, 0, 0);
    shape->alpha_val = 0.5f;
    QImage image = whiteImage(80, 80);
    draw(*shape, image);

    // Tiles repeat from the canvas origin at their own size.
    const QPoint inkAt = ink + QPoint(tile.width(), tile.height());
    const QPoint openAt = open + QPoint(tile.width(), tile.height());
    EXPECT_TRUE(colourNear(image.pixel(inkAt), QColor::fromRgba(tile.pixel(ink)), 2));
    EXPECT_TRUE(colourNear(image.pixel(openAt), QColor(255, 128, 128), 3));
    EXPECT_TRUE(colourNear(image.pixel(70, 70), Qt::white));

    // Without a readable picture only the background is painted.
    for (const QString name : {"", "Missing"}) {
        shape->_fill_hatch_type = name;
        QImage plain = whiteImage(80, 80);
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
        QImage image = whiteImage(240, 80);
        draw(*shape, image);
        const QList<int> runs = runsAlongRow(image, 20, 10, 200);
        ASSERT_GE(runs.size(), 10) << "width " << width;
        for (int i = 0; i < runs.size(); ++i)
            EXPECT_EQ(runs[i], i % 2 == 0 ? 4 : 6) << "width " << width << ", run " << i;
        EXPECT_LT(qGray(image.pixel(10, 20)), 128) << "the outline starts with a dash";
    }
}

TEST_F(ShapeRendering, DrawingLeavesPainterAndWindowAlone)
{
    auto shape = makeShape("S", QRectF(10, 10, 60, 60));
    shape->_fillColor = Qt::blue;
    shape->_strokeWidth = 4;
    shape->_stroke_border_type = "DA";

    QImage image = whiteImage(80, 80);
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
    EXPECT_NE(image, whiteImage(80, 80));

    shape->ctrl_is_visible = false;
    QImage untouched = whiteImage(80, 80);
    draw(*shape, untouched);
    EXPECT_EQ(untouched, whiteImage(80, 80));

    // Degenerate and unknown outlines draw nothing either.
    shape->ctrl_is_visible = true;
    for (const QString code : {"X", "DS"}) {
        shape->Set_Shape_Type(code);
        shape->double_star_type = 0;
        QImage blank = whiteImage(80, 80);
        draw(*shape, blank);
        EXPECT_EQ(blank, whiteImage(80, 80)) << code.toStdString();
    }
    EXPECT_EQ(app.hub.refreshCount, 0);
}

TEST_F(ShapeRendering, SampleSheet)
{
    const QStringList patterns{"Lines", "Cross_Hatch", "Dots", "Bricks", "Horizontal", "Vertical"};
    for (const QString &name : patterns)
        installPattern(name);

    struct Column {
        QString code;
        int variant;
    };
    const QList<Column> columns{{"R", 0},  {"C", 0},  {"RR", 0}, {"T", 0}, {"D", 0}, {"S", 0},
                                {"DS", 1}, {"DS", 3}, {"DS", 5}, {"P", 1}, {"P", 2}, {"P", 4}};
    struct Row {
        QString fill; // "" no fill
        QString detail;
        QString border;
        double width;
    };
    QList<Row> rows{{"S", "", "S", 2},       {"G", "0", "S", 1},      {"G", "90", "S", 1},
                    {"G", "45", "S", 1},     {"", "", "DA", 3},       {"", "", "DO", 3},
                    {"", "", "DD", 3},       {"", "", "DDD", 3},      {"", "", "S", 8}};
    for (const QString &name : patterns)
        rows.append({"H", name, "S", 1});

    const int cell = 90, inset = 10, scale = 2;
    QImage sheet = whiteImage(columns.size() * cell * scale, rows.size() * cell * scale);
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < columns.size(); ++c) {
            auto shape = makeShape(columns[c].code, QRectF(c * cell + inset, r * cell + inset, cell - 2 * inset,
                                                           cell - 2 * inset));
            shape->double_star_type = columns[c].variant;
            shape->polygon_type = columns[c].variant;
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
    // Spot checks on the sheet: a star's core is filled and the gradient runs the right way.
    const auto at = [&](int r, int c, double fx, double fy) {
        return sheet.pixel(int((c * cell + inset + fx * (cell - 2 * inset)) * scale),
                           int((r * cell + inset + fy * (cell - 2 * inset)) * scale));
    };
    EXPECT_TRUE(colourNear(at(0, 5, 0.5, 0.5), QColor(90, 160, 220)));
    EXPECT_TRUE(colourNear(at(1, 0, 0.02, 0.5), QColor(250, 200, 40), 16));
    EXPECT_TRUE(colourNear(at(2, 0, 0.5, 0.98), QColor(200, 30, 90), 16));

    const QString out = testOutputPath("shapes.png");
    ASSERT_TRUE(sheet.save(out)) << out.toStdString();
}
