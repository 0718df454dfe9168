#include "canvas/CardFace.h"

#include "document/Card_Property.h"
#include "fixtures/Pictures.h"
#include "fixtures/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

const QRgb kUntouched = qRgb(0, 128, 0);

QImage drawFace(const Card_Property &side, int shape, QSize size = {100, 60})
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(kUntouched);
    QPainter painter(&image);
    drawCardFace(painter, QRectF(QPointF(), size), side, shape, DrawingResources::ofProgram());
    return image;
}

Card_Property filled(const QString &style)
{
    Card_Property side;
    side.setCard_fill_chk(true);
    side.setCard_fill_style(style);
    side.setCard_fill_clr(Qt::red);
    side.setCard_fill_Grd_1_clr(Qt::red);
    side.setCard_fill_Grd_2_clr(Qt::blue);
    side.setCard_hatch_bk_clr(Qt::yellow);
    side.setCard_hatch_style(QStringLiteral("Lines"));
    return side;
}

class CardFace : public ::testing::Test {
protected:
    AppFixture app;
};

} // namespace

TEST_F(CardFace, StaysWhiteWithTheFillOffOrAPictureFill)
{
    Card_Property side = filled("S");
    side.setCard_fill_chk(false);
    EXPECT_TRUE(colourNear(drawFace(side, 0).pixel(50, 30), Qt::white, 2));

    EXPECT_TRUE(colourNear(drawFace(filled("I"), 0).pixel(50, 30), Qt::white, 2));
    EXPECT_TRUE(colourNear(drawFace(filled("S"), 0).pixel(50, 30), Qt::red, 2));
    EXPECT_TRUE(colourNear(drawFace(filled("?"), 0).pixel(50, 30), Qt::red, 2)) << "unknown codes fill solid";
}

TEST_F(CardFace, ShapeDecidesWhichCornersArePainted)
{
    const Card_Property side = filled("S");
    for (int shape : {0, 3, -1}) {
        const QImage image = drawFace(side, shape);
        EXPECT_TRUE(colourNear(image.pixel(0, 0), Qt::red, 2)) << "shape " << shape << " is the rectangle";
        EXPECT_TRUE(colourNear(image.pixel(99, 59), Qt::red, 2)) << "shape " << shape;
    }

    const QImage rounded = drawFace(side, 1);
    EXPECT_EQ(rounded.pixel(0, 0), kUntouched);
    EXPECT_EQ(rounded.pixel(99, 59), kUntouched);
    EXPECT_TRUE(colourNear(rounded.pixel(12, 1), Qt::red, 2)) << "the corner radius is 10";
    EXPECT_TRUE(colourNear(rounded.pixel(1, 12), Qt::red, 2));

    const QImage oval = drawFace(side, 2);
    EXPECT_EQ(oval.pixel(0, 0), kUntouched);
    EXPECT_EQ(oval.pixel(12, 1), kUntouched) << "an oval reaches further in than a rounded corner";
    EXPECT_EQ(oval.pixel(99, 0), kUntouched);
    EXPECT_TRUE(colourNear(oval.pixel(50, 30), Qt::red, 2));
    EXPECT_TRUE(colourNear(oval.pixel(50, 1), Qt::red, 2));
}

TEST_F(CardFace, GradientRunsFromTheFirstColourAtTheAngle)
{
    Card_Property side = filled("G");
    const QImage across = drawFace(side, 0);
    EXPECT_TRUE(colourNear(across.pixel(0, 30), Qt::red, 8));
    EXPECT_TRUE(colourNear(across.pixel(99, 30), Qt::blue, 8));
    EXPECT_TRUE(colourNear(across.pixel(50, 30), QColor(127, 0, 128), 8));

    side.setCard_grad_Stepper(90);
    const QImage down = drawFace(side, 0);
    EXPECT_TRUE(colourNear(down.pixel(50, 0), Qt::red, 8)) << "90 degrees runs top to bottom";
    EXPECT_TRUE(colourNear(down.pixel(50, 59), Qt::blue, 8));
    EXPECT_TRUE(colourNear(down.pixel(0, 30), down.pixel(99, 30), 1));
}

TEST_F(CardFace, HatchLaysThePatternOverItsBackground)
{
    // One ink pixel per 4 x 4 tile, the rest see-through.
    QImage tile(4, 4, QImage::Format_ARGB32);
    tile.fill(Qt::transparent);
    tile.setPixel(1, 2, qRgb(0, 0, 255));
    QDir().mkpath(app.resourcePath() + "Fill_Style_Image");
    ASSERT_TRUE(tile.save(app.resourcePath() + "Fill_Style_Image/Lines.png"));

    const QImage image = drawFace(filled("H"), 0);
    EXPECT_TRUE(colourNear(image.pixel(9, 6), Qt::blue, 2)) << "tiles repeat from the origin";
    EXPECT_TRUE(colourNear(image.pixel(10, 6), Qt::yellow, 2));

    Card_Property missing = filled("H");
    missing.setCard_hatch_style(QStringLiteral("No_Such_Pattern"));
    EXPECT_TRUE(colourNear(drawFace(missing, 0).pixel(9, 6), Qt::yellow, 2))
        << "a missing pattern leaves the background";
}

TEST_F(CardFace, SampleSheetForALook)
{
    QDir().mkpath(app.resourcePath() + "Fill_Style_Image");
    ASSERT_TRUE(QFile::copy(sourceResourcesPath() + "Fill_Style_Image/Cross_Hatch.png",
                            app.resourcePath() + "Fill_Style_Image/Cross_Hatch.png"));
    const QSizeF card(170, 107); // a CR80 card at 0.5 pt per mm
    const double gap = 16;
    QImage sheet(int(3 * card.width() + 4 * gap), int(3 * card.height() + 4 * gap), QImage::Format_ARGB32);
    sheet.fill(QColor(120, 124, 132));
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::Antialiasing);

    Card_Property solid = filled("S");
    solid.setCard_fill_clr(QColor(70, 130, 200));
    Card_Property gradient = filled("G");
    gradient.setCard_fill_Grd_1_clr(QColor(250, 200, 60));
    gradient.setCard_fill_Grd_2_clr(QColor(200, 40, 90));
    gradient.setCard_grad_Stepper(45);
    Card_Property hatch = filled("H");
    hatch.setCard_hatch_bk_clr(QColor(210, 235, 215));
    hatch.setCard_hatch_style(QStringLiteral("Cross_Hatch"));

    const Card_Property fills[] = {solid, gradient, hatch};
    for (int row = 0; row < 3; ++row)
        for (int shape = 0; shape < 3; ++shape) {
            const QPointF at(gap + shape * (card.width() + gap), gap + row * (card.height() + gap));
            drawCardFace(painter, QRectF(at, card), fills[row], shape, DrawingResources::ofProgram());
        }
    painter.end();
    EXPECT_TRUE(sheet.save(testOutputPath("card_faces.png")));
}
