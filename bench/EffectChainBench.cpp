#include "core/ImageCategories.h"
#include "core/ImageProcesser.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QThreadPool>
#include <benchmark/benchmark.h>

#include <cmath>
#include <functional>

namespace {

constexpr int kPhotoWidth = 4000;
constexpr int kPhotoHeight = 3000;
constexpr double kMegapixels = kPhotoWidth * kPhotoHeight / 1e6;

// A stand-in for a camera picture: smooth colour gradients, hard edges and grain, so that no step
// meets a flat picture it could treat cheaply. Opaque, as decoded photos are.
const QImage &photo()
{
    static const QImage picture = [] {
        QImage image(kPhotoWidth, kPhotoHeight, QImage::Format_ARGB32);
        quint32 seed = 7;
        for (int y = 0; y < kPhotoHeight; ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < kPhotoWidth; ++x) {
                seed = seed * 1664525u + 1013904223u;
                const int grain = static_cast<int>(seed >> 28) - 8;
                const int r = (x * 255 / kPhotoWidth + grain) & 0xff;
                const int g = (y * 255 / kPhotoHeight + grain) & 0xff;
                const int b = ((x + y) / 40 % 2 ? 200 : 60) + grain;
                line[x] = qRgb(r, g, b);
            }
        }
        return image;
    }();
    return picture;
}

// Every value away from neutral, rotation included.
Image_Effect_Settings everyStep(int rotation)
{
    Image_Effect_Settings s;
    s.grayscale = true;
    s.sepia = true;
    s.invrtclr = true;
    s.hue = 0.5f;
    s.sat = 1.3f;
    s.brt = 0.05f;
    s.con = 1.1f;
    s.sharpness = 0.8f;
    s.exposure = 0.5f;
    s.blur = 10.0f;
    s.rotate = rotation;
    return s;
}

void reportRate(benchmark::State &state)
{
    state.counters["MP/s"] =
        benchmark::Counter(kMegapixels * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void runStep(benchmark::State &state, const std::function<QImage(const QImage &)> &step)
{
    const QImage &input = photo();
    for (auto _ : state) {
        QImage out = step(input);
        benchmark::DoNotOptimize(out.constBits());
    }
    reportRate(state);
}

void BM_GrayScale(benchmark::State &state) { runStep(state, [](const QImage &p) { return ImageProcesser::GrayScale(p); }); }
void BM_Sepia(benchmark::State &state) { runStep(state, [](const QImage &p) { return ImageProcesser::Sepia(p); }); }
void BM_Invert(benchmark::State &state) { runStep(state, [](const QImage &p) { return ImageProcesser::Invert_Color(p); }); }
void BM_Hue(benchmark::State &state) { runStep(state, [](const QImage &p) { return ImageProcesser::adjust_Hue(p, 0.5f); }); }
void BM_ColorControls(benchmark::State &state)
{
    runStep(state, [](const QImage &p) { return ImageProcesser::adjust_Color_Control(p, 1.3f, 0.05f, 1.1f); });
}
void BM_Sharpen(benchmark::State &state)
{
    runStep(state, [](const QImage &p) { return ImageProcesser::adjust_Sharpness(p, 0.8f); });
}
void BM_BoxBlur(benchmark::State &state)
{
    const float radius = static_cast<float>(state.range(0));
    runStep(state, [radius](const QImage &p) { return ImageProcesser::adjust_boxBlur(p, radius); });
}
void BM_Exposure(benchmark::State &state) { runStep(state, [](const QImage &p) { return ImageProcesser::adjust_EV(p, 0.5f); }); }
void BM_Rotation(benchmark::State &state)
{
    // The chain hands the rotation premultiplied pixels.
    static const QImage premultiplied = photo().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const float degrees = static_cast<float>(state.range(0));
    for (auto _ : state) {
        QImage out = imageRotated(premultiplied, degrees);
        benchmark::DoNotOptimize(out.constBits());
    }
    reportRate(state);
}

BENCHMARK(BM_GrayScale)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Sepia)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Invert)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Hue)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ColorControls)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Sharpen)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BoxBlur)->ArgName("radius")->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Exposure)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Rotation)->ArgName("degrees")->Arg(90)->Arg(30)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole chain as a picture object's drawing runs it, without the cache.
void BM_WholeChain(benchmark::State &state)
{
    const Image_Effect_Settings settings = everyStep(static_cast<int>(state.range(0)));
    const QImage &input = photo();
    for (auto _ : state) {
        QImage out = ImageProcesser::Get_Processed_Image(input, settings);
        benchmark::DoNotOptimize(out.constBits());
    }
    reportRate(state);
}
BENCHMARK(BM_WholeChain)->ArgName("rotation")->Arg(0)->Arg(90)->Arg(30)->Unit(benchmark::kMillisecond)->UseRealTime();

// Neutral values still run hue to exposure.
void BM_NeutralChain(benchmark::State &state)
{
    const QImage &input = photo();
    for (auto _ : state) {
        QImage out = ImageProcesser::Get_Processed_Image(input, Image_Effect_Settings());
        benchmark::DoNotOptimize(out.constBits());
    }
    reportRate(state);
}
BENCHMARK(BM_NeutralChain)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
