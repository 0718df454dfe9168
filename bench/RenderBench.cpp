#include "canvas/SKTRenderingView.h"

#include "core/FontNames.h"
#include "core/ImageEffectCache.h"
#include "document/SKTGraphicKinds.h"
#include "document/Shape_Control.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QThreadPool>
#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include <algorithm>
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

// --- The first export of a typical card, beside the same drawing done with plain QPainter calls.

const QRectF kTypicalCard(0, 0, 3.5 * 72, 2.0 * 72);
constexpr int kPointsPerMetre = 2835; // 72 per inch
const int kDotsPerMetre = static_cast<int>(std::lround(kDpi / 0.0254));
const QRectF kPhotoFrame(10, 8, 232, 118);

// A 12-megapixel camera photo as opening the design leaves it: decoded from JPEG, with soft
// gradients and sensor grain, so that neither the scaling nor the PNG encoding meets flat colour.
const QImage &decodedPhoto()
{
    static const QImage decoded = [] {
        constexpr int w = 4000, h = 3000;
        QImage image = photo(5, w, h);
        {
            QPainter painter(&image);
            QRadialGradient light(QPointF(w * 0.7, h * 0.25), w * 0.4);
            light.setColorAt(0, QColor(255, 250, 220, 170));
            light.setColorAt(1, QColor(255, 250, 220, 0));
            painter.fillRect(image.rect(), light);
        }
        Lcg random(7);
        for (int y = 0; y < h; ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < w; ++x) {
                const int grain = static_cast<int>(random.between(-12, 12));
                const QRgb p = line[x];
                line[x] = qRgb(std::clamp(qRed(p) + grain, 0, 255), std::clamp(qGreen(p) + grain, 0, 255),
                               std::clamp(qBlue(p) + grain, 0, 255));
            }
        }
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPEG", 90);
        return QImage::fromData(jpeg, "JPEG");
    }();
    return decoded;
}

struct TypicalText {
    const char *text;
    const char *font;
    double size;
    QRectF bounds;
    QColor color;
};
const TypicalText kTypicalTexts[] = {
    {"Jane Example", "TimesNewRomanPSMT", 20, QRectF(20, 14, 200, 30), QColor(30, 30, 60)},
    {"Designer\nPhotography and prints", "ArialMT", 9, QRectF(20, 92, 150, 26), QColor(60, 40, 20)},
    {"+1 555 0100  jane@example.com", "ArialMT", 8, QRectF(20, 128, 200, 12), QColor(20, 20, 20)},
};
const QRectF kTypicalShape(196, 86, 44, 44);
const QLineF kTypicalLine(20, 124, 232, 124);
const QColor kShapeFill(230, 120, 40);
const QColor kShapeStroke(90, 40, 10);

// Made afresh for every export: nothing laid out, no reduced copy, as right after opening.
GraphicList typicalSide()
{
    GraphicList side;
    for (const TypicalText &t : kTypicalTexts) {
        auto text = std::make_shared<SKTText>();
        text->Text_Value = QString::fromUtf8(t.text);
        text->text_ctrl_font = Font_With_Name(QLatin1String(t.font), t.size);
        text->txt_clr = t.color;
        text->_isDrawingFill = false;
        text->_isDrawingStroke = false;
        text->_bounds = t.bounds;
        side << text;
    }
    auto shape = std::make_shared<Shape_Control>();
    shape->Set_Shape_Type(QStringLiteral("C"));
    shape->_bounds = kTypicalShape;
    shape->_fillColor = kShapeFill;
    shape->_strokeColor = kShapeStroke;
    shape->_strokeWidth = 2;
    side << shape;
    auto line = std::make_shared<SKTLine>();
    line->setBounds(QRectF(kTypicalLine.p1(), kTypicalLine.p2()));
    line->_strokeWidth = 1;
    side << line;
    auto picture = std::make_shared<SKTImage>(QPointF(), decodedPhoto());
    picture->_bounds = kPhotoFrame;
    picture->sat_val = 1.15f;
    picture->brt_val = 0.04f;
    picture->srp_val = 0.3f;
    side << picture; // the last object is drawn first, under the rest
    return side;
}

// As the program's export writes a PNG file.
qint64 savedPngBytes(const QImage &image)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image))
        return -1;
    return buffer.size();
}

void reportExport(benchmark::State &state, const QImage &image, qint64 pngBytes)
{
    if (image.isNull() || pngBytes <= 0)
        state.SkipWithError("the card was not exported");
    state.counters["width_px"] = image.width();
    state.counters["height_px"] = image.height();
    state.counters["png_bytes"] = static_cast<double>(pngBytes);
}

void BM_FirstExportOfTypicalCard(benchmark::State &state)
{
    decodedPhoto(); // made once, before any timing
    const Card_Property face = gradientFace();
    QImage image;
    qint64 pngBytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ImageEffectCache::sharedInstance().clear();
        const GraphicList side = typicalSide();
        state.ResumeTiming();
        image = SKTRenderingView::image_From_Card_Graphics(side, false, face, 0, kTypicalCard).toImage(kDpi);
        pngBytes = savedPngBytes(image);
    }
    reportExport(state, image, pngBytes);
}
BENCHMARK(BM_FirstExportOfTypicalCard)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same card with no effects and nothing of the program's: the least its export could cost.
// Argument 0: drawImage scales the photo itself, sampling a few photo pixels per device pixel; the
// grain aliases into a noisier card, whose PNG is larger and slower to write than the export's.
// Argument 1: the photo is first scaled to its device pixels, averaging every photo pixel as the
// export's reduced copy does, so both PNGs hold about as much detail.
void BM_FirstExportFloor(benchmark::State &state)
{
    const bool scaledFirst = state.range(0) != 0;
    const QImage &picture = decodedPhoto();
    const Card_Property face = gradientFace();
    const double scale = kDpi / 72.0;
    QImage image;
    qint64 pngBytes = 0;
    for (auto _ : state) {
        image = QImage(static_cast<int>(std::ceil(kTypicalCard.width() * scale)),
                       static_cast<int>(std::ceil(kTypicalCard.height() * scale)), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        // Fonts are sized at one point a unit, as on the card, while painting.
        image.setDotsPerMeterX(kPointsPerMetre);
        image.setDotsPerMeterY(kPointsPerMetre);
        {
            QPainter painter(&image);
            painter.scale(scale, scale);
            painter.fillRect(kTypicalCard,
                             ShapePainting::gradientForBox(kTypicalCard, face.Card_grad_Stepper(),
                                                           face.Card_fill_Grd_1_clr(), face.Card_fill_Grd_2_clr()));
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            if (scaledFirst) {
                const QSize pixels = painter.transform().mapRect(kPhotoFrame).toAlignedRect().size();
                painter.drawImage(kPhotoFrame, picture.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
            } else {
                painter.drawImage(kPhotoFrame, picture);
            }
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(QPen(Qt::black, 1));
            painter.drawLine(kTypicalLine);
            painter.setPen(QPen(kShapeStroke, 2));
            painter.setBrush(kShapeFill);
            painter.drawEllipse(kTypicalShape);
            for (const TypicalText &t : kTypicalTexts) {
                painter.setFont(Font_With_Name(QLatin1String(t.font), t.size));
                painter.setPen(t.color);
                painter.drawText(t.bounds, Qt::AlignHCenter | Qt::TextWordWrap, QString::fromUtf8(t.text));
            }
        }
        image.setDotsPerMeterX(kDotsPerMetre);
        image.setDotsPerMeterY(kDotsPerMetre);
        pngBytes = savedPngBytes(image);
    }
    reportExport(state, image, pngBytes);
}
BENCHMARK(BM_FirstExportFloor)->ArgName("scaled_first")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
