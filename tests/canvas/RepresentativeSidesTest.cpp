#include "canvas/SKTRenderingView.h"

#include "document/DesignSnapshot.h"
#include "document/SKTGraphicKinds.h"
#include "fixtures/Pictures.h"
#include "fixtures/StoredPictures.h"
#include "fixtures/TestSupport.h"

#include <QPainter>
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <thread>

namespace {

// A small card keeps the stored pictures small.
const QRectF kCard(0, 0, 160, 100);

Card_Property plainFace(const QColor &colour)
{
    Card_Property side;
    side.setCard_fill_chk(true);
    side.setCard_fill_clr(colour);
    return side;
}

std::shared_ptr<Shape_Control> shape(const char *code, const QRectF &bounds)
{
    auto s = std::make_shared<Shape_Control>();
    s->Set_Shape_Type(QString::fromLatin1(code));
    s->_bounds = bounds;
    s->_strokeColor = QColor(40, 40, 90);
    s->_strokeWidth = 2;
    return s;
}

struct Side {
    const char *name;
    Card_Property face;
    GraphicList graphics;
};

Side shapesAndGradient()
{
    auto oval = shape("C", QRectF(8, 10, 70, 50));
    oval->_fill_type = QStringLiteral("G");
    oval->_fill_Grad_clr1 = QColor(230, 60, 40);
    oval->_fill_Grad_clr2 = QColor(40, 90, 230);
    oval->_fill_grad_angle = 30;
    auto star = shape("DS", QRectF(80, 20, 70, 70));
    star->_fillColor = QColor(250, 200, 0);
    star->alpha_val = 0.7f;
    star->_stroke_border_type = QStringLiteral("DA");
    auto line = std::make_shared<SKTLine>();
    line->_bounds = QRectF(10, 70, 140, 20);
    line->_strokeColor = QColor(0, 120, 60);
    line->_strokeWidth = 3;
    line->_line_cap_style = 1;
    return {"shapes", plainFace(QColor(245, 245, 235)), {line, star, oval}};
}

std::shared_ptr<SKTText> shadowedText(const QRectF &bounds)
{
    auto text = std::make_shared<SKTText>();
    text->_bounds = bounds;
    text->Text_Value = QStringLiteral("Shadow 42");
    text->text_ctrl_font = QFont(QStringLiteral("Liberation Sans"), 20, QFont::Bold);
    text->txt_clr = QColor(20, 30, 120);
    text->_isDrawingFill = false;
    text->_isDrawingStroke = false;
    text->Drawing_Shadow = true;
    text->Shadow_Color = QColor(120, 120, 120);
    text->Shadow_offset_X = 3;
    text->Shadow_offset_Y = 3;
    text->Shadow_blur = 2;
    text->Shadow_transparency = 0.6f;
    return text;
}

Side textWithShadow()
{
    auto turned = shadowedText(QRectF(20, 50, 120, 40));
    turned->text_rotation = 10;
    turned->Shadow_blur = 0;
    return {"text", plainFace(QColor(255, 250, 240)), {turned, shadowedText(QRectF(5, 5, 150, 40))}};
}

std::shared_ptr<SKTImage> pictureWithEffects(const QRectF &bounds)
{
    auto picture = std::make_shared<SKTImage>(QPointF(), quadrants(64, 40));
    picture->_bounds = bounds;
    picture->Sepia = true;
    picture->hue_val = 0.8f;
    picture->con_val = 1.4f;
    picture->blr_val = 1.5f;
    picture->img_trnsp_val = 85;
    picture->_isDrawingStroke = true;
    picture->_strokeWidth = 2;
    return picture;
}

Side picture()
{
    auto flipped = pictureWithEffects(QRectF(90, 40, 64, 50));
    flipped->gray_Scale = true;
    flipped->_isFlippedHorizontally = true;
    return {"picture", plainFace(QColor(230, 240, 250)), {flipped, pictureWithEffects(QRectF(6, 8, 96, 60))}};
}

// Bars of a symbol, as the barcode window would have rendered them.
QImage bars()
{
    QImage symbol(90, 30, QImage::Format_ARGB32);
    symbol.fill(Qt::white);
    QPainter painter(&symbol);
    for (int x = 4, i = 0; x < 86; x += 1 + i % 3, ++i)
        if (i % 2 == 0)
            painter.fillRect(x, 2, 1 + i % 2, 26, Qt::black);
    return symbol;
}

// Everything whose drawing keeps pictures or measurements: text shadows, effects, a hatch and a
// barcode, over a hatched face.
Side everything()
{
    Card_Property face = plainFace(QColor(250, 250, 250));
    face.setCard_fill_style(QStringLiteral("H"));
    face.setCard_hatch_style(QStringLiteral("Dots"));
    face.setCard_hatch_bk_clr(QColor(220, 240, 220));
    auto hatched = shape("RR", QRectF(100, 5, 55, 45));
    hatched->_fill_type = QStringLiteral("H");
    hatched->_fill_hatch_type = QStringLiteral("Cross_Hatch");
    hatched->_fill_htch_clr = QColor(250, 220, 220);
    auto barcode = std::make_shared<SKTBarcode>();
    barcode->_bounds = QRectF(60, 62, 90, 30);
    barcode->Set_Barcode_image(bars());
    return {"everything", face, {shadowedText(QRectF(5, 5, 110, 40)), barcode, hatched,
                                 pictureWithEffects(QRectF(5, 45, 60, 50))}};
}

DrawingResources shippedResources()
{
    DrawingResources resources;
    resources.hatchFolder = sourceResourcesPath() + QStringLiteral("Fill_Style_Image/");
    return resources;
}

QImage drawn(const Side &side, double scale = 1)
{
    const SKTRenderingView view(kCard, side.graphics, side.face, 1, shippedResources());
    QImage image(int(kCard.width() * scale), int(kCard.height() * scale), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    EXPECT_TRUE(view.drawRect(painter, view.bounds()));
    return image;
}

} // namespace

TEST(RepresentativeSides, LookAsStored)
{
    AppFixture app;
    for (const Side &side : {shapesAndGradient(), textWithShadow(), picture(), everything()})
        EXPECT_TRUE(matchesStoredPicture(drawn(side), QStringLiteral("canvas/pictures/%1.png").arg(side.name)))
            << side.name;
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

// Workers draw a snapshot while the design it was taken from changes under the user's hands.
TEST(RepresentativeSides, ASnapshotDrawsTheSideAsItWasWhenTaken)
{
    AppFixture app;
    const Side side = everything();
    DesignSnapshot snapshot;
    snapshot.frame = kCard;
    snapshot.cardShape = 1;
    snapshot.resources = shippedResources();
    snapshot.back = {DesignSnapshot::copyOf(side.graphics), side.face};
    snapshot.loadPictures();

    std::atomic<bool> drawing{true};
    std::thread editing([&] {
        // The user's objects only: the snapshot shares none of them.
        for (int step = 0; drawing; ++step)
            for (const SKTGraphicPtr &graphic : side.graphics) {
                graphic->_bounds.translate(step % 2 ? 1 : -1, 0);
                graphic->Text_Value = QString::number(step);
                graphic->_fillColor = QColor::fromHsv(step % 360, 200, 200);
            }
    });
    QImage image(kCard.size().toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        const SKTRenderingView view(snapshot, 1);
        EXPECT_TRUE(view.drawRect(painter, view.bounds()));
    }
    drawing = false;
    editing.join();
    EXPECT_TRUE(matchesStoredPicture(image, QStringLiteral("canvas/pictures/everything.png")));
}
