#include "document/SKTGraphic.h"
#include "document/SKTGraphicKinds.h"
#include "document/Shape_Control.h"

#include "core/AppState.h"
#include "fixtures/TestSupport.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class SKTGraphicTest : public ::testing::Test {
protected:
    AppFixture app;
};

// Records every announcement of the given keys as "key".
struct Announcements {
    QStringList heard;
    void watch(SKTGraphic &g, const QStringList &keys)
    {
        for (const QString &key : keys)
            g.addObserver(key, [this](const QString &k, const QVariant &, const QVariant &) { heard << k; });
    }
};

class FlipCounter : public SKTGraphic {
public:
    int horizontal = 0;
    int vertical = 0;
    void flipHorizontally() override { ++horizontal; }
    void flipVertically() override { ++vertical; }
};

} // namespace

TEST_F(SKTGraphicTest, NewGraphicsTakeTheirDefaults)
{
    Shape_Control shape;
    EXPECT_EQ(shape._bounds, QRectF());
    EXPECT_TRUE(shape._isDrawingFill);
    EXPECT_TRUE(shape._isDrawingStroke);
    EXPECT_EQ(shape._fillColor, QColor(Qt::white));
    EXPECT_EQ(shape._strokeColor, QColor(Qt::black));
    EXPECT_DOUBLE_EQ(shape._strokeWidth, 1.0);
    EXPECT_EQ(shape._stroke_border_type, QStringLiteral("S"));
    EXPECT_EQ(shape._shape_type, QStringLiteral("R"));
    EXPECT_FLOAT_EQ(shape.img_trnsp_val, 100.0f);
    EXPECT_FLOAT_EQ(shape.sat_val, 1.0f);
    EXPECT_FLOAT_EQ(shape.cor_rad_val, 10.0f);
    EXPECT_EQ(shape._file_path, app.resourcePath() + QStringLiteral("no.png"));
    EXPECT_EQ(shape.text_ctrl_font, App().All_Text_font);
    EXPECT_EQ(shape.txt_clr, QColor(Qt::black));
    EXPECT_EQ(shape.linear_font_val, QStringLiteral("0123"));
    EXPECT_EQ(shape.header_val, QStringLiteral("HEADER"));
    EXPECT_EQ(shape.align_hdr_index, 1);
    EXPECT_FLOAT_EQ(shape.linear_height_val, 0.6f);
    EXPECT_EQ(shape.qr_size_val, 60);
    EXPECT_EQ(shape.pdf_ec_val, 2);
    EXPECT_EQ(shape.value_font_val.family(), QStringLiteral("Times New Roman"));
    EXPECT_DOUBLE_EQ(shape.value_font_val.pointSizeF(), 10.0);
    EXPECT_EQ(shape.barcode_back_clr_val, QColor(Qt::white));
    EXPECT_EQ(shape.dpi_custom_val, QStringLiteral("0"));
    EXPECT_EQ(shape.text_alignmnet, 2);
    EXPECT_EQ(shape.Text_Value, QStringLiteral("Text here"));
    EXPECT_TRUE(shape.ctrl_is_visible);
    EXPECT_EQ(shape.Shadow_Color, QColor(0, 0, 255));
    EXPECT_FLOAT_EQ(shape.Shadow_transparency, 50.0f);
    EXPECT_TRUE(shape.control_ID.isEmpty());

    // Only a picture starts without an outline.
    EXPECT_FALSE(SKTImage()._isDrawingStroke);
    EXPECT_TRUE(SKTSignature()._isDrawingStroke);
    EXPECT_TRUE(SKTBarcode()._isDrawingStroke);
    EXPECT_TRUE(SKTText()._isDrawingStroke);
    EXPECT_TRUE(SKTLine()._isDrawingStroke);
}

TEST(SKTGraphicWithoutWindow, TakesNoTextFontColourOrPicturePath)
{
    App().reset();
    SKTGraphic g;
    EXPECT_FALSE(g.txt_clr.isValid());
    EXPECT_TRUE(g._file_path.isEmpty());
}

TEST_F(SKTGraphicTest, KindsAnswerTheirConstants)
{
    SKTLine line;
    line._isDrawingFill = true;
    line._bounds = QRectF(0, 0, 10, 20);
    EXPECT_FALSE(line.isDrawingFill());
    EXPECT_FALSE(line.canSetDrawingFill());
    EXPECT_FALSE(line.canMakeNaturalSize());
    EXPECT_EQ(line.creationSizingHandle(), 2);
    EXPECT_FALSE(SKTImage().isDrawingFill());
    EXPECT_FALSE(SKTBarcode().isDrawingStroke());
    EXPECT_FALSE(SKTText().canSetDrawingStroke());
    EXPECT_EQ(Shape_Control().creationSizingHandle(), 8);
    EXPECT_EQ(SKTText().kind(), SKTGraphic::Kind::Text);
    EXPECT_THROW(SKTGraphic().bezierPathForDrawing(), std::logic_error);
}

TEST_F(SKTGraphicTest, ColourAccessorsAnswerTheStoredColourWithItsOpacity)
{
    Shape_Control g;
    g._fillColor = Qt::red;
    EXPECT_EQ(g.fillColor().alpha(), 255); // 100.0 means opaque
    g.alpha_val = 0.5f;
    EXPECT_NEAR(g.fillColor().alphaF(), 0.5, 0.01);
    EXPECT_EQ(g._fillColor, QColor(Qt::red)) << "the stored colour stays as set";
    EXPECT_EQ(g.fillColor().red(), 255);
    g.alpha_val_stroke = -3.0f;
    EXPECT_EQ(g.strokeColor().alpha(), 0);
    g._fill_Grad_clr1 = Qt::blue;
    EXPECT_NEAR(g.fill_Grad_clr1().alphaF(), 0.5, 0.01);
    EXPECT_NEAR(g.fill_hatch_bk_clr().alphaF(), 0.5, 0.01);
}

TEST_F(SKTGraphicTest, TextContentsAreMadeOnFirstUse)
{
    SKTText text;
    EXPECT_FALSE(text.hasTextContents());
    text.Text_Value = QStringLiteral("Hello");
    const SKTTextStorage &storage = text.Text_contents();
    EXPECT_EQ(storage.string, QStringLiteral("Hello"));
    EXPECT_EQ(storage.foregroundColor, QColor(Qt::black));
    EXPECT_EQ(storage.font.family(), QStringLiteral("Times New Roman"));
    EXPECT_TRUE(storage.font.italic());
    EXPECT_DOUBLE_EQ(storage.font.pointSizeF(), 14.0);
    text.Text_Value = QStringLiteral("Changed");
    EXPECT_EQ(text.Text_contents().string, QStringLiteral("Hello"));
}

TEST_F(SKTGraphicTest, ACopyKeepsGeometryFillAndStrokeOnly)
{
    Shape_Control source;
    source._bounds = QRectF(1, 2, 3, 4);
    source._isDrawingFill = false;
    source._fillColor = Qt::green;
    source._strokeWidth = 7;
    source._stroke_border_type = QStringLiteral("DD");
    source._fill_type = QStringLiteral("G");
    source._fill_Grad_clr2 = Qt::blue;
    source._fill_grad_angle = 45;
    source._fill_hatch_type = QStringLiteral("Dots");
    source.ctrl_is_locked = true;
    source.ctrl_is_visible = false;
    source.control_ID = QStringLiteral("PARTY_TITLE");
    source.gray_Scale = true;
    source._shape_type = QStringLiteral("S");

    const SKTGraphicPtr copy = source.clone();
    EXPECT_EQ(copy->kind(), SKTGraphic::Kind::Shape);
    EXPECT_EQ(copy->_bounds, source._bounds);
    EXPECT_FALSE(copy->_isDrawingFill);
    EXPECT_EQ(copy->_fillColor, QColor(Qt::green));
    EXPECT_DOUBLE_EQ(copy->_strokeWidth, 7.0);
    EXPECT_EQ(copy->_stroke_border_type, QStringLiteral("DD"));
    EXPECT_EQ(copy->_fill_type, QStringLiteral("G"));
    EXPECT_EQ(copy->_fill_Grad_clr2, QColor(Qt::blue));
    EXPECT_DOUBLE_EQ(copy->_fill_grad_angle, 45.0);
    EXPECT_EQ(copy->_fill_hatch_type, QStringLiteral("Dots"));
    EXPECT_FALSE(copy->ctrl_is_locked);
    EXPECT_TRUE(copy->ctrl_is_visible);
    EXPECT_TRUE(copy->control_ID.isEmpty());
    EXPECT_FALSE(copy->gray_Scale);
    EXPECT_EQ(copy->_shape_type, QStringLiteral("R"));
    EXPECT_EQ(SKTImage().clone()->kind(), SKTGraphic::Kind::Image);
}

TEST_F(SKTGraphicTest, ObservedSettersAnnounceAndDirectWritesStaySilent)
{
    Shape_Control g;
    Announcements a;
    a.watch(g, {SKTGraphic::BoundsKey, SKTGraphic::WidthKey, SKTGraphic::XPositionKey, SKTGraphic::DrawingBoundsKey,
                SKTGraphic::DrawingContentsKey, SKTGraphic::FillColorKey, SKTGraphic::StrokeWidthKey});

    g._bounds = QRectF(0, 0, 5, 5);
    g._fillColor = Qt::red;
    EXPECT_TRUE(a.heard.isEmpty());

    g.setWidth(20);
    EXPECT_EQ(g.bounds(), QRectF(0, 0, 20, 5));
    EXPECT_EQ(a.heard, (QStringList{QStringLiteral("bounds"), QStringLiteral("xPosition"), QStringLiteral("width"),
                                    QStringLiteral("drawingBounds")}));
    a.heard.clear();
    g.setValueForKey(SKTGraphic::FillColorKey, QColor(Qt::blue));
    EXPECT_EQ(a.heard, (QStringList{QStringLiteral("fillColor"), QStringLiteral("drawingContents")}));
    a.heard.clear();
    g.setStrokeWidth(4);
    EXPECT_EQ(a.heard, (QStringList{QStringLiteral("strokeWidth"), QStringLiteral("drawingBounds")}));

    QVariant oldWidth, newWidth;
    g.addObserver(SKTGraphic::WidthKey, [&](const QString &, const QVariant &o, const QVariant &n) {
        oldWidth = o;
        newWidth = n;
    });
    g.setValueForKey(SKTGraphic::BoundsKey, QRectF(1, 1, 8, 8));
    EXPECT_DOUBLE_EQ(oldWidth.toDouble(), 20.0);
    EXPECT_DOUBLE_EQ(newWidth.toDouble(), 8.0);
    EXPECT_EQ(g.valueForKey(SKTGraphic::YPositionKey).toDouble(), 1.0);
}

TEST_F(SKTGraphicTest, SetColorTurnsTheFillOnWhereAFillCanBeSet)
{
    Shape_Control shape;
    shape._isDrawingFill = false;
    shape.setColor(Qt::red);
    EXPECT_TRUE(shape._isDrawingFill);
    EXPECT_EQ(shape._fillColor, QColor(Qt::red));

    SKTImage image;
    image.setColor(Qt::red);
    EXPECT_EQ(image._fillColor, QColor(Qt::white));
}

TEST_F(SKTGraphicTest, DrawingBoundsGrowByTheHandleOrHalfTheStroke)
{
    Shape_Control g;
    g._bounds = QRectF(0, 0, 10, 10);
    EXPECT_EQ(g.drawingBounds(), QRectF(-3, -3, 17, 17));
    g._strokeWidth = 10;
    EXPECT_EQ(g.drawingBounds(), QRectF(-5, -5, 21, 21));
    g._isDrawingStroke = false;
    EXPECT_EQ(g.drawingBounds(), QRectF(-3, -3, 17, 17));
}

TEST_F(SKTGraphicTest, HandlesAreFoundInOrderWithinTheirSquares)
{
    SKTGraphic g;
    g._bounds = QRectF(10, 10, 20, 20);
    EXPECT_EQ(g.handleUnderPoint(QPointF(8, 8)), 1);
    EXPECT_EQ(g.handleUnderPoint(QPointF(20, 10)), 2);
    EXPECT_EQ(g.handleUnderPoint(QPointF(30, 30)), 8);
    EXPECT_EQ(g.handleUnderPoint(QPointF(20, 20)), 0);
    EXPECT_EQ(g.handleUnderPoint(QPointF(6, 10)), 0);

    g._bounds = QRectF(10, 10, 2, 20); // handles 1 and 2 overlap
    EXPECT_EQ(g.handleUnderPoint(QPointF(11, 10)), 1);

    EXPECT_TRUE(g.isContentsUnderPoint(QPointF(10, 10)));
    EXPECT_FALSE(g.isContentsUnderPoint(QPointF(12, 10)));
}

TEST_F(SKTGraphicTest, ResizingPastTheOppositeEdgeFlipsTheHandle)
{
    FlipCounter g;
    g._bounds = QRectF(10, 10, 20, 20);
    EXPECT_EQ(g.resizeByMovingHandle(8, QPointF(5, 40)), 6);
    EXPECT_EQ(g.bounds(), QRectF(5, 10, 5, 30));
    EXPECT_EQ(g.horizontal, 1);
    EXPECT_EQ(g.vertical, 0);

    g._bounds = QRectF(10, 10, 20, 20);
    EXPECT_EQ(g.resizeByMovingHandle(2, QPointF(15, 50)), 7);
    EXPECT_EQ(g.bounds(), QRectF(10, 30, 20, 20));
    EXPECT_EQ(g.vertical, 1);

    g._bounds = QRectF(10, 10, 20, 20);
    EXPECT_EQ(g.resizeByMovingHandle(1, QPointF(40, 40)), 8);
    EXPECT_EQ(g.bounds(), QRectF(30, 30, 10, 10));

    g._bounds = QRectF(10, 10, 20, 20);
    EXPECT_EQ(g.resizeByMovingHandle(5, QPointF(10, 99)), 5); // zero width is allowed
    EXPECT_EQ(g.bounds(), QRectF(10, 10, 0, 20));
}

TEST_F(SKTGraphicTest, NaturalSizeIsTheSquareOfTheSmallerSide)
{
    SKTGraphic g;
    g._bounds = QRectF(0, 0, 30, 20);
    EXPECT_TRUE(g.canMakeNaturalSize());
    g.makeNaturalSize();
    EXPECT_EQ(g.bounds(), QRectF(0, 0, 20, 20));
    EXPECT_FALSE(g.canMakeNaturalSize());
    g._bounds = QRectF(5, 5, 10, 40);
    g.makeNaturalSize();
    EXPECT_EQ(g.bounds(), QRectF(5, 5, 10, 10));
}

TEST_F(SKTGraphicTest, ListOperations)
{
    auto a = std::make_shared<Shape_Control>();
    auto b = std::make_shared<Shape_Control>();
    auto locked = std::make_shared<Shape_Control>();
    auto frame = std::make_shared<SKTImage>();
    a->_bounds = QRectF(0, 0, 10, 10);
    b->_bounds = QRectF(20, 30, 0, 5); // a vertical line still counts
    locked->_bounds = QRectF(0, 0, 1, 1);
    locked->ctrl_is_locked = true;
    frame->_bounds = QRectF(0, 0, 243, 154);
    frame->control_ID = QStringLiteral("PARTY_IMAGE_BG");

    EXPECT_EQ(SKTGraphic::boundsOfGraphics({a, b}), QRectF(0, 0, 20, 35));
    EXPECT_EQ(SKTGraphic::boundsOfGraphics({}), QRectF());
    EXPECT_EQ(SKTGraphic::drawingBoundsOfGraphics({}), QRectF(0, 0, 243, 154));
    EXPECT_EQ(SKTGraphic::drawingBoundsOfGraphics({a}), a->drawingBounds());

    SKTGraphic::translateGraphics({a, locked, frame}, 5, -1);
    EXPECT_EQ(a->bounds(), QRectF(5, -1, 10, 10));
    EXPECT_EQ(locked->bounds(), QRectF(0, 0, 1, 1));
    EXPECT_EQ(frame->bounds(), QRectF(0, 0, 243, 154));

    app.hub.nextPoint = QPointF(40, 50);
    SKTGraphic::Paste_Location_Of_Graphics({a, locked, b}, 7, 8, QStringLiteral("B"));
    EXPECT_EQ(a->bounds(), QRectF(7, 8, 10, 10));
    EXPECT_EQ(locked->bounds(), QRectF(0, 0, 1, 1));
    EXPECT_EQ(b->bounds(), QRectF(40, 50, 0, 5));
    // The cascade advances for every graphic after the first, locked or not.
    EXPECT_EQ(app.hub.newPointSides, (QStringList{QStringLiteral("B"), QStringLiteral("B")}));

    const QPointF p = SKTGraphic::randomPoint(QRectF(10, 20, 5.9, 3));
    EXPECT_TRUE(p.x() >= 10 && p.x() < 15 && p.y() >= 20 && p.y() < 23);
}

TEST_F(SKTGraphicTest, HandlesAreRedWhenLocked)
{
    SKTGraphic g;
    g._bounds = QRectF(10, 10, 20, 20);
    QImage image(40, 40, QImage::Format_ARGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        g.drawHandlesInView(painter, true);
    }
    EXPECT_EQ(image.pixelColor(10, 10), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(30, 20), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(20, 20), QColor(Qt::white));
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        g.drawHandlesInView(painter, false);
    }
    EXPECT_NE(image.pixelColor(10, 10), QColor(Qt::red));
    EXPECT_NE(image.pixelColor(10, 10), QColor(Qt::white));
}
