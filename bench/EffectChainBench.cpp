#include "core/ImageCategories.h"
#include "core/ImageProcesser.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QThreadPool>
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstring>
#include <numbers>

#if defined(CARD_HAVE_VIPS)
// GLib names a field `signals`, which Qt defines as a keyword.
#pragma push_macro("signals")
#undef signals
#include <vips/vips.h>
#pragma pop_macro("signals")
#endif

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

// The colour, sharpening, blur and exposure steps a photo typically gets, without the rotation: the
// work libvips is measured on below.
Image_Effect_Settings photoSteps()
{
    Image_Effect_Settings s;
    s.hue = 0.5f;
    s.sat = 1.3f;
    s.brt = 0.05f;
    s.con = 1.1f;
    s.sharpness = 0.8f;
    s.blur = 10.0f;
    s.exposure = 0.5f;
    return s;
}

void reportRate(benchmark::State &state)
{
    state.counters["MP/s"] =
        benchmark::Counter(kMegapixels * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// One step as the chain runs it: in place, on a picture of the benchmark's own that is refilled with
// the photo outside the timing, so that neither a new picture nor its first touch is measured.
void runStep(benchmark::State &state, const Image_Effect_Settings &settings)
{
    const QImage &input = photo();
    QImage work = input.copy();
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(work.bits(), input.constBits(), static_cast<size_t>(input.sizeInBytes()));
        state.ResumeTiming();
        ImageProcesser::applyStepsInPlace(work, settings);
        benchmark::DoNotOptimize(work.constBits());
    }
    reportRate(state);
}

template <typename Change>
Image_Effect_Settings only(Change change)
{
    Image_Effect_Settings s;
    change(s);
    return s;
}

void BM_GrayScale(benchmark::State &state) { runStep(state, only([](auto &s) { s.grayscale = true; })); }
void BM_Sepia(benchmark::State &state) { runStep(state, only([](auto &s) { s.sepia = true; })); }
void BM_Invert(benchmark::State &state) { runStep(state, only([](auto &s) { s.invrtclr = true; })); }
void BM_Hue(benchmark::State &state) { runStep(state, only([](auto &s) { s.hue = 0.5f; })); }
void BM_ColorControls(benchmark::State &state)
{
    runStep(state, only([](auto &s) {
        s.sat = 1.3f;
        s.brt = 0.05f;
        s.con = 1.1f;
    }));
}
void BM_Sharpen(benchmark::State &state) { runStep(state, only([](auto &s) { s.sharpness = 0.8f; })); }
void BM_BoxBlur(benchmark::State &state)
{
    const float radius = static_cast<float>(state.range(0));
    runStep(state, only([radius](auto &s) { s.blur = radius; }));
}
void BM_Exposure(benchmark::State &state) { runStep(state, only([](auto &s) { s.exposure = 0.5f; })); }
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

void BM_PhotoChain(benchmark::State &state)
{
    const Image_Effect_Settings settings = photoSteps();
    const QImage &input = photo();
    for (auto _ : state) {
        QImage out = ImageProcesser::Get_Processed_Image(input, settings);
        benchmark::DoNotOptimize(out.constBits());
    }
    reportRate(state);
}
BENCHMARK(BM_PhotoChain)->Unit(benchmark::kMillisecond)->UseRealTime();

#if defined(CARD_HAVE_VIPS)
// The photo chain through libvips' C API, in this process so that one run gives the ratio. libvips
// picks its own thread count (all cores) and its cache is off, so every run computes every pixel;
// writing the result to memory makes it evaluate. Our steps and the operations standing for them:
//   hue, saturation       sRGB to LCh, the hue angle added and the chroma scaled (one vips_linear),
//                         back to sRGB
//   brightness, contrast  vips_linear about mid grey, to 8 bits
//   sharpen               vips_sharpen: unsharp mask of L* in LabS, sigma 1 (the deviation of our
//                         5 x 5 binomial), a straight response of our slope, nothing clipped
//   box blur              vips_convsep with a box of 2r + 1 ones (libvips has no box blur), in
//                         integer precision, its fast path for 8-bit pictures
//   exposure              sRGB to scRGB (linear light), vips_linear by 2^EV, back to sRGB
// Our blur works on premultiplied colour; the photo is opaque, so that changes nothing libvips would
// have to match. libvips takes the photo's pixels as RGBA bytes, converted once outside the timing.
// The pictures a chain of libvips operations makes, let go however the chain ends.
template <size_t N>
struct VipsSteps {
    std::array<VipsImage *, N> images{};
    VipsSteps() = default;
    VipsSteps(const VipsSteps &) = delete;
    VipsSteps &operator=(const VipsSteps &) = delete;
    ~VipsSteps()
    {
        for (VipsImage *image : images)
            if (image)
                g_object_unref(image);
    }
};

// libvips computes nothing until the pixels are asked for.
bool evaluated(VipsImage *last)
{
    size_t size = 0;
    void *pixels = vips_image_write_to_memory(last, &size);
    if (!pixels)
        return false;
    benchmark::DoNotOptimize(pixels);
    g_free(pixels);
    return true;
}

bool vipsPhotoSteps(VipsImage *in, VipsImage *box, const Image_Effect_Settings &s)
{
    VipsSteps<9> steps;
    auto &t = steps.images;
    double lchScale[4] = {1.0, s.sat, 1.0, 1.0};
    double lchShift[4] = {0.0, 0.0, s.hue * 180.0 / std::numbers::pi, 0.0};
    const double grey = s.con * (255.0 * s.brt - 127.5) + 127.5;
    double controlScale[4] = {s.con, s.con, s.con, 1.0};
    double controlShift[4] = {grey, grey, grey, 0.0};
    const double gain = std::exp2(s.exposure);
    double exposureScale[4] = {gain, gain, gain, 1.0};
    double exposureShift[4] = {0.0, 0.0, 0.0, 0.0};
    if (vips_colourspace(in, &t[0], VIPS_INTERPRETATION_LCH, nullptr)
        || vips_linear(t[0], &t[1], lchScale, lchShift, 4, nullptr)
        || vips_colourspace(t[1], &t[2], VIPS_INTERPRETATION_sRGB, nullptr)
        || vips_linear(t[2], &t[3], controlScale, controlShift, 4, "uchar", TRUE, nullptr)
        || vips_sharpen(t[3], &t[4], "sigma", 1.0, "x1", 0.0, "m1", double(s.sharpness), "m2", double(s.sharpness),
                        "y2", 100.0, "y3", 100.0, nullptr)
        || vips_convsep(t[4], &t[5], box, "precision", VIPS_PRECISION_INTEGER, nullptr)
        || vips_colourspace(t[5], &t[6], VIPS_INTERPRETATION_scRGB, nullptr)
        || vips_linear(t[6], &t[7], exposureScale, exposureShift, 4, nullptr)
        || vips_colourspace(t[7], &t[8], VIPS_INTERPRETATION_sRGB, nullptr))
        return false;
    return evaluated(t[8]);
}

// The same arithmetic as our chain, on sRGB bytes, the cheapest way libvips offers it:
//   hue                   vips_recomb with our turn about the grey diagonal
//   saturation, brightness, contrast  vips_recomb and vips_linear with our colour matrix, to 8 bits
//   sharpen               vips_conv with one 5 x 5 integer mask: the picture plus our slope times
//                         its difference from the 5 x 5 binomial blur (on every channel, where ours
//                         works on luminance)
//   box blur              vips_convsep as above
//   exposure              vips_maplut with a table of 2^EV, as ours
struct VipsMatrixSteps {
    VipsImage *hue = nullptr, *controls = nullptr, *sharpen = nullptr, *exposure = nullptr;
    double offset[4] = {};

    explicit VipsMatrixSteps(const Image_Effect_Settings &s)
    {
        const double c = std::cos(s.hue), n = std::sin(s.hue), third = (1 - c) / 3, root = std::sqrt(1.0 / 3) * n;
        const double d = c + third, p = third + root, m = third - root;
        const double turn[3][3] = {{d, m, p}, {p, d, m}, {m, p, d}};
        const double luma[3] = {0.299, 0.587, 0.114};
        hue = vips_image_new_matrix(4, 4);
        controls = vips_image_new_matrix(4, 4);
        for (int r = 0; r < 4; ++r)
            for (int k = 0; k < 4; ++k) {
                *VIPS_MATRIX(hue, k, r) = r < 3 && k < 3 ? turn[r][k] : double(r == k);
                *VIPS_MATRIX(controls, k, r) =
                    r < 3 && k < 3 ? s.con * ((r == k ? s.sat : 0.0) + (1 - s.sat) * luma[k]) : double(r == k);
            }
        for (int r = 0; r < 3; ++r)
            offset[r] = 255.0 * (s.con * (s.brt - 0.5) + 0.5);
        const int taps[5] = {1, 4, 6, 4, 1};
        sharpen = vips_image_new_matrix(5, 5);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 5; ++x)
                *VIPS_MATRIX(sharpen, x, y) =
                    std::round((x == 2 && y == 2 ? 256.0 * (1 + s.sharpness) : 0.0) - s.sharpness * taps[x] * taps[y]);
        vips_image_set_double(sharpen, "scale", 256);
        unsigned char table[256];
        const double gain = std::exp2(s.exposure);
        for (int v = 0; v < 256; ++v)
            table[v] = static_cast<unsigned char>(std::min(255.0, std::round(v * gain)));
        exposure = vips_image_new_from_memory_copy(table, sizeof table, 256, 1, 1, VIPS_FORMAT_UCHAR);
    }
    ~VipsMatrixSteps()
    {
        for (VipsImage *image : {hue, controls, sharpen, exposure})
            if (image)
                g_object_unref(image);
    }

    bool run(VipsImage *in, VipsImage *box)
    {
        VipsSteps<6> steps;
        auto &t = steps.images;
        double ones[4] = {1, 1, 1, 1};
        if (vips_recomb(in, &t[0], hue, nullptr) || vips_recomb(t[0], &t[1], controls, nullptr)
            || vips_linear(t[1], &t[2], ones, offset, 4, "uchar", TRUE, nullptr)
            || vips_conv(t[2], &t[3], sharpen, "precision", VIPS_PRECISION_INTEGER, nullptr)
            || vips_convsep(t[3], &t[4], box, "precision", VIPS_PRECISION_INTEGER, nullptr)
            || vips_maplut(t[4], &t[5], exposure, nullptr))
            return false;
        return evaluated(t[5]);
    }
};

// Argument 0: colour spaces as libvips would have them; 1: our arithmetic on sRGB bytes.
void BM_VipsPhotoChain(benchmark::State &state)
{
    static const bool started = [] {
        if (vips_init("bench_effects") != 0)
            return false;
        vips_cache_set_max(0);
        return true;
    }();
    if (!started) {
        state.SkipWithError("libvips did not start");
        return;
    }
    const Image_Effect_Settings settings = photoSteps();
    const QImage rgba = photo().convertToFormat(QImage::Format_RGBA8888);
    VipsImage *pixels = vips_image_new_from_memory(rgba.constBits(), static_cast<size_t>(rgba.sizeInBytes()),
                                                   rgba.width(), rgba.height(), 4, VIPS_FORMAT_UCHAR);
    VipsImage *in = nullptr;
    const int radius = static_cast<int>(settings.blur);
    VipsImage *box = vips_image_new_matrix(2 * radius + 1, 1);
    for (int x = 0; x <= 2 * radius; ++x)
        *VIPS_MATRIX(box, x, 0) = 1.0;
    vips_image_set_double(box, "scale", 2 * radius + 1);
    if (!pixels || vips_copy(pixels, &in, "interpretation", VIPS_INTERPRETATION_sRGB, nullptr) != 0) {
        state.SkipWithError(vips_error_buffer());
    } else {
        VipsMatrixSteps matrixSteps(settings);
        const bool sameArithmetic = state.range(0) != 0;
        for (auto _ : state) {
            if (!(sameArithmetic ? matrixSteps.run(in, box) : vipsPhotoSteps(in, box, settings))) {
                state.SkipWithError(vips_error_buffer());
                break;
            }
        }
        reportRate(state);
    }
    for (VipsImage *image : {in, pixels, box})
        if (image)
            g_object_unref(image);
}
BENCHMARK(BM_VipsPhotoChain)->ArgName("same_arithmetic")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

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
