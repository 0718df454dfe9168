#include "document/Shape_Control.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace {

std::shared_ptr<Shape_Control> makeStar()
{
    auto star = std::make_shared<Shape_Control>();
    star->Set_Shape_Type(QStringLiteral("DS"));
    star->double_star_type = 5;
    star->setBounds(QRectF(10, 10, 120, 120));
    return star;
}

// Hit testing runs for every object under the mouse on every move.
void BM_StarHitTest(benchmark::State &state)
{
    auto star = makeStar();
    double x = 0;
    for (auto _ : state) {
        x = x > 140 ? 0 : x + 0.7;
        benchmark::DoNotOptimize(star->isContentsUnderPoint(QPointF(x, 70)));
    }
}
BENCHMARK(BM_StarHitTest);

void BM_DrawGradientStar(benchmark::State &state)
{
    auto star = makeStar();
    star->_fill_type = QStringLiteral("G");
    star->_fill_Grad_clr2 = Qt::blue;
    star->_stroke_border_type = QStringLiteral("DD");
    QImage image(160, 160, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        star->drawContentsInView(painter, false);
    }
}
BENCHMARK(BM_DrawGradientStar);

} // namespace
