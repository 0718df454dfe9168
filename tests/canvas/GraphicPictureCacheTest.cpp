#include "canvas/GraphicPictureCache.h"
#include "canvas/SKTGrid.h"
#include "canvas/SKTSelection.h"
#include "canvas/SideDrawing.h"
#include "document/Card_Property.h"
#include "document/SKTImage.h"
#include "document/SKTLine.h"
#include "document/SKTText.h"
#include "document/Shape_Control.h"

#include "fixtures/Pictures.h"
#include "fixtures/TestSupport.h"

#include <QPainter>
#include <gtest/gtest.h>

#include <functional>
#include <random>

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

// The card face a user sees most: a gradient over the whole card.
void fillWithGradient(Card_Property &face)
{
    face.setCard_fill_chk(true);
    face.setCard_fill_style(QStringLiteral("G"));
    face.setCard_fill_Grd_1_clr(QColor(250, 240, 210));
    face.setCard_fill_Grd_2_clr(QColor(120, 160, 230));
}

// What the canvas does for one object: scale, clip to the drawing bounds, draw.
QImage drawn(SKTGraphic &graphic, double zoom, GraphicPictureCache *cache)
{
    QImage image = whitePage(QSize(240, 200));
    QPainter painter(&image);
    painter.scale(zoom, zoom);
    painter.setClipRect(graphic.drawingBounds());
    if (cache)
        cache->drawContents(painter, graphic, false, {});
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
        cache.drawContents(painter, *shape, false, {});
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
        cache.drawContents(painter, *shape, false, {});
    }
    EXPECT_EQ(cache.pictureCount(), 1);
    cache.forget(shape.get());
    EXPECT_EQ(cache.pictureCount(), 0);
    EXPECT_EQ(cache.byteCount(), 0);
}

// A side as the canvas draws it: gradient face, grid, pictures kept, handles on every third object,
// a picture object (never kept) and an object being created breaking the runs of kept pictures.
TEST(GraphicPictureCache, SideBlendedInBandsMatchesOnePassByteForByte)
{
    AppFixture app;
    std::mt19937 engine(42);
    const auto between = [&](double low, double high) { return std::uniform_real_distribution<>(low, high)(engine); };
    GraphicList graphics;
    for (int i = 0; i < 120; ++i) {
        SKTGraphicPtr graphic;
        if (i % 7 == 3) {
            auto line = std::make_shared<SKTLine>();
            line->_bounds = QRectF(between(0, 200), between(0, 150), between(5, 60), between(0, 40));
            line->_strokeWidth = 1 + i % 4;
            graphic = line;
        } else if (i % 11 == 5) {
            auto text = std::make_shared<SKTText>();
            text->Text_Value = QStringLiteral("Band %1").arg(i);
            text->_bounds = QRectF(between(0, 200), between(0, 150), 70, 24);
            text->Drawing_Shadow = i % 2 == 1;
            graphic = text;
        } else if (i == 40) {
            graphic = std::make_shared<SKTImage>(QPointF(60.5, 33.25), solidPicture(Qt::darkGreen, 50, 40));
        } else {
            auto shape = dashedStar();
            shape->Set_Shape_Type(QLatin1String(i % 3 ? "C" : "DS"));
            shape->_bounds = QRectF(between(-20, 220), between(-20, 170), between(10, 90), between(10, 90));
            shape->_fill_Grad_clr1 = QColor::fromHsvF(float(between(0, 1)), 0.7f, 0.9f);
            graphic = shape;
        }
        graphics << graphic;
    }
    SKTGraphicList list;
    list.insertGraphics(graphics, platform::IndexSet::range(0, graphics.size()));
    SKTSelection selection(list);
    platform::IndexSet every3rd;
    for (int i = 0; i < graphics.size(); i += 3)
        every3rd.add(i);
    selection.setIndexes(every3rd);
    Card_Property face;
    fillWithGradient(face);
    SKTGrid grid;
    grid.setAlwaysShown(true);
    const QRectF card(0, 0, 243, 190);

    struct Case {
        double zoom;
        qreal ratio;
        QRectF area;
        int cardShape; // square, rounded, oval
    };
    for (const Case &c : {Case{1.0, 1, card, 0}, Case{1.37, 1, QRectF(13.2, 7.7, 200, 170), 1},
                          Case{1.0, 2, card, 2}, Case{2.0, 2, QRectF(40, 30, 120, 110), 1}, Case{1.25, 3, card, 2}}) {
        GraphicPictureCache inBands, inOnePass;
        UnderlayPicture underlay;
        SideDrawingOptions options;
        options.nonPrintingObjects = true;
        options.handlesOf = &selection;
        options.beingCreated = graphics.at(17).get();
        options.grid = &grid;
        options.backdrop = QColor(230, 231, 232);
        const QSize pixels = (card.size() * c.zoom * c.ratio).toSize();
        const auto paint = [&](GraphicPictureCache &pictures, bool clipFirst, const QRectF &area) {
            QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::gray);
            image.setDevicePixelRatio(c.ratio);
            QPainter painter(&image);
            if (clipFirst) // a clip set by the caller keeps the drawing in one pass
                painter.setClipRect(QRect(QPoint(), pixels));
            painter.scale(c.zoom, c.zoom);
            options.pictures = &pictures;
            options.underlay = &underlay; // a painter with a clip of its own draws it afresh
            EXPECT_TRUE(drawCardSide(painter, list.items(), &face, c.cardShape, card, area, options));
            return image;
        };
        for (int round = 0; round < 3; ++round) // pictures made, then kept; the underlay kept from the second
            EXPECT_EQ(paint(inBands, false, c.area), paint(inOnePass, true, c.area)) << c.zoom << " x" << c.ratio << " round " << round;
        EXPECT_EQ(inBands.pictureCount(), inOnePass.pictureCount());

        // A repaint of scattered places leaves objects elsewhere out, draws the face under each
        // place alone, and gives the same pixels there.
        const QImage whole = paint(inBands, false, c.area);
        const QRegion exposed = QRegion(QRect(10, 10, 30, 20)) + QRect(QPoint(pixels.width() / 2, 40) / c.ratio, QSize(25, 60)) +
                                QRect(QPoint(pixels.width() / 3, pixels.height() * 2 / 3) / c.ratio, QSize(7, 3));
        options.exposed = exposed;
        const QImage scattered = paint(inBands, false, c.area);
        for (const QRect &rect : exposed)
            for (int y = rect.top(); y <= rect.bottom(); ++y)
                for (int x = rect.left(); x <= rect.right(); ++x)
                    ASSERT_EQ(whole.pixel(QPoint(x, y) * c.ratio), scattered.pixel(QPoint(x, y) * c.ratio)) << x << "," << y;

        // A repaint of a part copies the part of the kept underlay: the pixels of the whole, with
        // no seam where a gradient face would begin afresh. Only pictures of whole points are kept.
        if (c.ratio != 1)
            continue;
        options.exposed = QRegion();
        const QRectF part = c.area.adjusted(c.area.width() / 3, 5.5, -7, -c.area.height() / 4);
        const QImage ofPart = paint(inBands, false, part);
        const QRect inside = QTransform::fromScale(c.zoom * c.ratio, c.zoom * c.ratio).mapRect(part).toRect().adjusted(1, 1, -1, -1);
        EXPECT_EQ(ofPart.copy(inside), whole.copy(inside)) << c.zoom << " x" << c.ratio;

        // Whatever the underlay shows, changed, is drawn afresh.
        const std::function<void()> changes[] = {
            [&] { face.setCard_fill_Grd_2_clr(QColor(200, 90, 60)); },
            [&] { face.setCard_fill_style(QStringLiteral("S")); },
            [&] { grid._spacing = 13; },
            [&] { options.backdrop = Qt::darkCyan; },
        };
        for (const std::function<void()> &change : changes) {
            change();
            for (int showing = 0; showing < 2; ++showing) // drawn, then kept
                EXPECT_EQ(paint(inBands, false, c.area), paint(inOnePass, true, c.area)) << c.zoom;
        }
        face.setCard_fill_style(QStringLiteral("G"));
        grid._spacing = 9;
    }
}

// The kept underlay serves only the scale it was drawn at, though a closer zoom shows an area of
// points that lies inside the kept one.
TEST(GraphicPictureCache, AnUnderlayIsDrawnAfreshAtAnotherZoom)
{
    AppFixture app;
    Card_Property face;
    fillWithGradient(face);
    SKTGrid grid;
    grid.setAlwaysShown(true);
    const QRectF card(0, 0, 240, 200);
    GraphicPictureCache pictures;
    UnderlayPicture underlay;
    const auto paint = [&](double zoom, const QRectF &area, bool clipFirst) {
        QImage image(QSize(480, 400), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::gray);
        QPainter painter(&image);
        if (clipFirst)
            painter.setClipRect(image.rect());
        painter.scale(zoom, zoom);
        SideDrawingOptions options;
        options.grid = &grid;
        options.backdrop = QColor(230, 231, 232);
        options.pictures = &pictures;
        options.underlay = &underlay;
        EXPECT_TRUE(drawCardSide(painter, {}, &face, 0, card, area, options));
        return image;
    };
    paint(1.0, card, false);
    paint(1.0, card, false); // kept from its second showing
    const QRectF half(0, 0, 240, 200 / 2);
    EXPECT_EQ(paint(2.0, half, false), paint(2.0, half, true));
}

// A picture fill drawn in bands gives the pixels of one pass, from a smaller copy of a large picture
// too, and the kept underlay is drawn afresh when the picture or its layout changes.
TEST(GraphicPictureCache, AnUnderlayFollowsTheBackgroundPictureAndItsLayout)
{
    AppFixture app;
    Card_Property face;
    face.setCard_fill_chk(true);
    face.setCard_fill_style(QStringLiteral("I"));
    face.setCard_BG_Image(quadrants(30, 20));
    face.setCard_BG_Image_Layout(QStringLiteral("Tile"));
    GraphicPictureCache pictures;
    UnderlayPicture underlay;
    const auto paint = [&](bool clipFirst) {
        // A card of whole pixels at this zoom, so that the kept underlay has no partly covered edge.
        QImage image(360, 285, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::gray);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        if (clipFirst) // drawn in one pass, without the underlay
            painter.setClipRect(image.rect());
        painter.scale(1.5, 1.5);
        SideDrawingOptions options;
        options.backdrop = QColor(230, 231, 232);
        options.pictures = &pictures;
        options.underlay = &underlay;
        EXPECT_TRUE(drawCardSide(painter, {}, &face, 1, QRectF(0, 0, 240, 190), QRectF(0, 0, 240, 190), options));
        return image;
    };
    const std::function<void()> changes[] = {
        [] {},
        [&] { face.setCard_BG_Image_Layout(QStringLiteral("Center")); },
        [&] { face.setCard_BG_Image(quadrants(1200, 900)); },
        [&] { face.setCard_BG_Image_Layout(QStringLiteral("Stretch")); },
        [&] { face.setCard_BG_Image(solidPicture(Qt::darkCyan, 1200, 900)); },
    };
    for (const std::function<void()> &change : changes) {
        change();
        const QImage onePass = paint(true);
        // A tiled texture's smooth sampling may round a level apart at a band's clip.
        for (int showing = 0; showing < 3; ++showing) // drawn in bands, then kept
            EXPECT_TRUE(nearPicture(onePass, paint(false), 1)) << face.Card_BG_Image_Layout().toStdString() << " showing " << showing;
    }
}
