#include "canvas/SKTRenderingView.h"

#include "document/DesignSnapshot.h"
#include "document/SKTGraphicKinds.h"
#include "fixtures/StoredPictures.h"
#include "fixtures/TestSupport.h"

#include <QPainter>
#include <gtest/gtest.h>

#include <array>
#include <thread>

namespace {

// A small card keeps the stored pictures small.
const QRectF kCard(0, 0, 160, 100);

struct Side {
    const char *name;
    Card_Property face;
    GraphicList graphics;
};

Card_Property plainFace(const QColor &colour)
{
    Card_Property side;
    side.setCard_fill_chk(true);
    side.setCard_fill_clr(colour);
    return side;
}

std::shared_ptr<Shape_Control> shape(const char *code, const QRectF &bounds, const char *fill)
{
    auto s = std::make_shared<Shape_Control>();
    s->Set_Shape_Type(QString::fromLatin1(code));
    s->_bounds = bounds;
    s->_fill_type = QString::fromLatin1(fill);
    s->_fill_Grad_clr1 = QColor(230, 60, 40);
    s->_fill_Grad_clr2 = QColor(40, 90, 230);
    s->_fill_grad_angle = 30;
    s->_fillColor = QColor(250, 200, 0);
    s->_fill_htch_clr = QColor(250, 220, 220);
    s->_fill_hatch_type = QStringLiteral("Cross_Hatch");
    s->_strokeColor = QColor(40, 40, 90);
    s->_strokeWidth = 2;
    return s;
}

Side shapesAndGradient()
{
    auto star = shape("DS", QRectF(80, 20, 70, 70), "S");
    star->alpha_val = 0.7f;
    star->_stroke_border_type = QStringLiteral("DA");
    auto line = std::make_shared<SKTLine>();
    line->_bounds = QRectF(10, 70, 140, 20);
    line->_strokeColor = QColor(0, 120, 60);
    line->_strokeWidth = 3;
    line->_line_cap_style = 1;
    return {"shapes", plainFace(QColor(245, 245, 235)), {line, star, shape("C", QRectF(8, 10, 70, 50), "G")}};
}

// Text with a blurred shadow, a picture through the effects, a hatch and a barcode over a hatched
// face: everything whose drawing keeps pictures or measurements.
Side everything()
{
    auto text = std::make_shared<SKTText>();
    text->_bounds = QRectF(5, 5, 110, 40);
    text->Text_Value = QStringLiteral("Shadow 42");
    text->text_ctrl_font = QFont(QStringLiteral("Liberation Sans"), 20, QFont::Bold);
    text->txt_clr = QColor(20, 30, 120);
    text->_isDrawingFill = text->_isDrawingStroke = false;
    text->Drawing_Shadow = true;
    text->Shadow_Color = QColor(120, 120, 120);
    text->Shadow_offset_X = text->Shadow_offset_Y = 3;
    text->Shadow_blur = 2;
    text->Shadow_transparency = 0.6f;
    auto picture = std::make_shared<SKTImage>(QPointF(), quadrants(64, 40));
    picture->_bounds = QRectF(5, 45, 60, 50);
    picture->Sepia = picture->_isDrawingStroke = true;
    picture->hue_val = 0.8f;
    picture->blr_val = 1.5f;
    picture->img_trnsp_val = 85;
    QImage bars(90, 30, QImage::Format_ARGB32);
    bars.fill(Qt::white);
    for (int x = 4; x < 86; ++x)
        for (int y = 2; x % 3 != 1 && x % 7 != 0 && y < 28; ++y)
            bars.setPixel(x, y, qRgb(0, 0, 0));
    auto barcode = std::make_shared<SKTBarcode>();
    barcode->_bounds = QRectF(60, 62, 90, 30);
    barcode->Set_Barcode_image(bars);
    Card_Property face = plainFace(QColor(250, 250, 250));
    face.setCard_fill_style(QStringLiteral("H"));
    face.setCard_hatch_style(QStringLiteral("Dots"));
    return {"everything", face, {text, barcode, shape("RR", QRectF(100, 5, 55, 45), "H"), picture}};
}

DrawingResources shippedResources()
{
    DrawingResources resources;
    resources.hatchFolder = sourceResourcesPath() + QStringLiteral("Fill_Style_Image/");
    return resources;
}

QImage drawn(const SKTRenderingView &view, double scale = 1)
{
    QImage image((kCard.size() * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    EXPECT_TRUE(view.drawRect(painter, view.bounds()));
    return image;
}

QImage drawn(const Side &side, double scale = 1)
{
    return drawn(SKTRenderingView(kCard, side.graphics, side.face, 1, shippedResources()), scale);
}

} // namespace

TEST(RepresentativeSides, LookAsStored)
{
    AppFixture app;
    for (const Side &side : {shapesAndGradient(), everything()})
        EXPECT_TRUE(matchesStoredPicture(drawn(side), QStringLiteral("canvas/pictures/%1.png").arg(side.name)));
}

// Drawing writes nothing into the objects: eight threads drawing one side at once, each for the
// first time, give the picture one thread gives.
TEST(RepresentativeSides, OneSideOnEightThreadsAtOnceGivesOnePicture)
{
    AppFixture app;
    const Side side = everything();
    std::array<QImage, 8> pictures;
    std::array<std::thread, 8> threads;
    for (size_t i = 0; i < threads.size(); ++i)
        threads[i] = std::thread([&, i] { pictures[i] = drawn(side, 2); });
    for (std::thread &thread : threads)
        thread.join();
    const QImage alone = drawn(side, 2);
    for (const QImage &picture : pictures)
        EXPECT_TRUE(picture == alone);
}

// The back with a background picture in each layout of the panel's list, on a rounded and on an oval
// card, under an object: the picture is cut to the card's outline and the object lies over it.
TEST(RepresentativeSides, BackgroundPicturesInEachLayoutLookAsStored)
{
    AppFixture app;
    // Quadrants inside a dark edge and a light ring: which way up, where each copy ends and how
    // it is scaled all show.
    QImage picture = quadrants(48, 30);
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(30, 30, 60), 2));
        painter.drawRect(QRectF(1, 1, 46, 28));
        painter.setPen(QPen(QColor(255, 255, 255, 200), 3));
        painter.drawEllipse(QRectF(14, 5, 20, 20));
    }
    const char *layouts[] = {"Center", "Stretch", "Tile"};
    const int shapes[] = {1, 2};
    const double gap = 8;
    QImage sheet(int(3 * kCard.width() + 4 * gap), int(2 * kCard.height() + 3 * gap), QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(120, 124, 132));
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 3; ++column) {
            DesignSnapshot snapshot;
            snapshot.back.face = plainFace(Qt::white);
            snapshot.back.face.setCard_fill_style(QStringLiteral("I"));
            snapshot.back.face.setCard_BG_Image(picture);
            snapshot.back.face.setCard_BG_Image_Layout(QString::fromLatin1(layouts[column]));
            snapshot.back.graphics = {shape("C", QRectF(110, 60, 36, 30), "S")};
            snapshot.cardShape = shapes[row];
            snapshot.frame = kCard;
            snapshot.resources = shippedResources();
            painter.save();
            painter.translate(gap + column * (kCard.width() + gap), gap + row * (kCard.height() + gap));
            EXPECT_TRUE(SKTRenderingView(snapshot, 1).drawRect(painter, kCard)) << layouts[column];
            painter.restore();
        }
    painter.end();
    EXPECT_TRUE(matchesStoredPicture(sheet, QStringLiteral("canvas/pictures/background-layouts.png")));
}

TEST(RepresentativeSides, ASnapshotDrawsTheSideAsItWasWhenTaken)
{
    AppFixture app;
    const Side side = everything();
    DesignSnapshot snapshot;
    snapshot.back = {DesignSnapshot::copyOf(side.graphics), side.face};
    snapshot.cardShape = 1;
    snapshot.frame = kCard;
    snapshot.resources = shippedResources();
    snapshot.loadPictures();
    for (const SKTGraphicPtr &graphic : side.graphics)
        graphic->_bounds.translate(7, 3);
    const QImage image = drawn(SKTRenderingView(snapshot, 1));
    EXPECT_TRUE(matchesStoredPicture(image, QStringLiteral("canvas/pictures/everything.png")));
}
