#include "canvas/SKTRenderingView.h"

#include "core/FontNames.h"
#include "core/ImageEffectCache.h"
#include "document/SKTGraphicKinds.h"
#include "document/Shape_Control.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QThreadPool>
#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include <cmath>

namespace {

constexpr double kPointsPerMillimetre = 2.834645669291;
const QRectF kCard(0, 0, 85.6 * kPointsPerMillimetre, 54.0 * kPointsPerMillimetre);
constexpr int kObjectCount = 200;
constexpr double kDpi = 300.0;

QRectF somewhere(Lcg &random, double w, double h)
{
    return QRectF(random.between(-10, kCard.width() - w + 10), random.between(-10, kCard.height() - h + 10), w, h);
}

// A camera-like picture of its own for each of a few pictures, so several chains run.
QImage photo(int seed, int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0, QColor::fromHsv((seed * 47) % 360, 120, 240));
    sky.setColorAt(1, QColor::fromHsv((seed * 47 + 90) % 360, 200, 120));
    painter.fillRect(image.rect(), sky);
    painter.setBrush(QColor::fromHsv((seed * 91) % 360, 220, 220));
    painter.drawEllipse(QRectF(w * 0.2, h * 0.3, w * 0.5, h * 0.5));
    return image;
}

QImage signatureScan(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(20, 30, 120), 4));
    QPainterPath stroke(QPointF(10, h * 0.7));
    stroke.cubicTo(w * 0.3, 0, w * 0.4, h, w * 0.6, h * 0.4);
    stroke.cubicTo(w * 0.7, 0, w * 0.8, h, w - 10, h * 0.3);
    painter.drawPath(stroke);
    return image;
}

QImage barcodeBars(int seed)
{
    QImage image(240, 100, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    for (int x = 10, i = seed; x < 230; ++i) {
        const int w = 1 + (i * 7) % 4;
        if (i % 2 == 0)
            painter.fillRect(x, 8, w, 84, Qt::black);
        x += w;
    }
    return image;
}

// 200 objects, a mix of every kind a card holds: shapes, lines, texts (some turned, some with a
// shadow), pictures with effects (some flipped), signatures, fingerprints and barcodes.
GraphicList makeSide()
{
    Lcg random(2024);
    const QImage photos[] = {photo(1, 640, 480), photo(2, 800, 600), photo(3, 480, 640), photo(4, 1024, 768)};
    const QImage signature = signatureScan(400, 160);
    const QImage fingerprint = signatureScan(180, 220);
    static const char *const shapeCodes[] = {"R", "C", "RR", "T", "D", "S", "DS", "P"};
    static const char *const dashes[] = {"S", "DA", "DO", "DD", "DDD"};
    GraphicList side;
    for (int i = 0; i < kObjectCount; ++i) {
        SKTGraphicPtr graphic;
        switch (i % 8) {
        case 0:
        case 1: {
            auto shape = std::make_shared<Shape_Control>();
            shape->Set_Shape_Type(QLatin1String(shapeCodes[(i / 2) % 8]));
            shape->_bounds = somewhere(random, random.between(15, 60), random.between(15, 60));
            shape->_fillColor = QColor::fromHsvF(random.next(), 0.6f, 0.9f);
            if (i % 3 == 0) {
                shape->_fill_type = QStringLiteral("G");
                shape->_fill_Grad_clr1 = QColor::fromHsvF(random.next(), 0.8f, 0.9f);
                shape->_fill_Grad_clr2 = QColor::fromHsvF(random.next(), 0.8f, 0.5f);
                shape->_fill_grad_angle = random.between(0, 360);
            }
            shape->_stroke_border_type = QLatin1String(dashes[i % 5]);
            shape->_strokeWidth = 1 + i % 3;
            graphic = shape;
            break;
        }
        case 2: {
            auto line = std::make_shared<SKTLine>();
            line->setBounds(somewhere(random, random.between(10, 80), random.between(0, 40)));
            line->_strokeWidth = 1 + i % 4;
            line->_stroke_border_type = QLatin1String(dashes[i % 5]);
            graphic = line;
            break;
        }
        case 3:
        case 4: {
            auto text = std::make_shared<SKTText>();
            text->Text_Value = QStringLiteral("Card text %1\nsecond line").arg(i);
            text->text_ctrl_font = Font_With_Name(QLatin1String(i % 2 ? "ArialMT" : "TimesNewRomanPSMT"),
                                                  8 + i % 10);
            text->txt_clr = QColor::fromHsvF(random.next(), 0.7f, 0.5f);
            text->_isDrawingFill = false;
            text->_isDrawingStroke = false;
            text->_bounds = somewhere(random, 90, 30);
            if (i % 5 == 0)
                text->text_rotation = 30;
            if (i % 3 == 0) {
                text->Drawing_Shadow = true;
                text->Shadow_blur = 2;
            }
            graphic = text;
            break;
        }
        case 5: {
            auto picture = std::make_shared<SKTImage>(QPointF(), photos[(i / 8) % 4]);
            picture->_bounds = somewhere(random, random.between(30, 80), random.between(25, 60));
            picture->gray_Scale = i % 3 == 0;
            picture->Sepia = i % 4 == 0;
            picture->invert_clr = i % 5 == 0;
            picture->hue_val = static_cast<float>(random.between(-1, 1));
            picture->sat_val = 1.2f;
            picture->srp_val = 0.4f;
            picture->blr_val = i % 2 ? 2.0f : 0.0f;
            picture->ev_val = 0.3f;
            picture->img_trnsp_val = 90;
            picture->_isFlippedHorizontally = i % 2 == 0;
            graphic = picture;
            break;
        }
        case 6: {
            const bool isSignature = i % 16 == 6;
            auto sign = std::make_shared<SKTSignature>(QPointF(), isSignature ? signature : fingerprint,
                                                       QLatin1String(isSignature ? "S" : "F"));
            sign->_bounds = somewhere(random, 60, 30);
            graphic = sign;
            break;
        }
        default: {
            auto barcode = std::make_shared<SKTBarcode>();
            barcode->Set_Barcode_image(barcodeBars(i));
            barcode->_bounds = somewhere(random, 80, 33);
            graphic = barcode;
            break;
        }
        }
        side << graphic;
    }
    return side;
}

Card_Property gradientFace()
{
    Card_Property face;
    face.setCard_fill_chk(true);
    face.setCard_fill_style(QStringLiteral("G"));
    face.setCard_grad_Stepper(45);
    face.setCard_fill_Grd_1_clr(QColor(255, 240, 220));
    face.setCard_fill_Grd_2_clr(QColor(200, 220, 255));
    return face;
}

// Argument 0: the effect cache holds every picture's result (repeated renders of one side).
// Argument 1: the cache is emptied first, so every picture runs its chain (the first render).
void BM_RenderSideAt300Dpi(benchmark::State &state)
{
    const bool cold = state.range(0) != 0;
    const GraphicList side = makeSide();
    const Card_Property face = gradientFace();
    ImageEffectCache &cache = ImageEffectCache::sharedInstance();
    cache.clear();
    const auto render = [&] {
        return SKTRenderingView::image_From_Card_Graphics(side, false, face, 1, kCard).toImage(kDpi);
    };
    if (!cold)
        render(); // fills the cache, and lays out every text once
    QSize pixels;
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            cache.clear();
            state.ResumeTiming();
        }
        const QImage image = render();
        pixels = image.size();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["objects"] = kObjectCount;
    state.counters["width_px"] = pixels.width();
    state.counters["height_px"] = pixels.height();
}
BENCHMARK(BM_RenderSideAt300Dpi)->ArgName("cold")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
