#include "core/ImageProcesser.h"

#include "core/ImageCategories.h"
#include "core/ImageEffectCache.h"
#include "core/MessageBoxes.h"

#include <QMutex>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>
#include <vector>

namespace {

// Rec. 709 luma weights.
constexpr float kLumaR = 0.2126f, kLumaG = 0.7152f, kLumaB = 0.0722f;

QMutex g_failingStepMutex;
QString g_failingStep;

void failWhenAsked(const char *step)
{
    QMutexLocker lock(&g_failingStepMutex);
    if (!g_failingStep.isEmpty() && g_failingStep == QLatin1String(step))
        throw std::runtime_error("the step was told to fail");
}

// NaN and out-of-range values end up as 0 or 255 rather than as an undefined conversion.
inline int toByte(float v)
{
    if (!(v > 0.0f))
        return 0;
    if (v >= 1.0f)
        return 255;
    return static_cast<int>(v * 255.0f + 0.5f);
}

QImage newLike(const QImage &source, QImage::Format format)
{
    QImage out(source.size(), format);
    if (out.isNull())
        throw std::runtime_error("no memory for the picture");
    out.setDevicePixelRatio(source.devicePixelRatio());
    out.setDotsPerMeterX(source.dotsPerMeterX());
    out.setDotsPerMeterY(source.dotsPerMeterY());
    return out;
}

QImage converted(const QImage &source, QImage::Format format)
{
    QImage out = source.convertToFormat(format);
    if (out.isNull())
        throw std::runtime_error("no memory for the picture");
    return out;
}

// Applies f(r, g, b) to every pixel's unpremultiplied colour, in 0..1; alpha stays.
template <typename F>
QImage mapColours(const QImage &image, F f)
{
    if (image.isNull())
        return image;
    const QImage in = converted(image, QImage::Format_ARGB32);
    QImage out = newLike(in, QImage::Format_ARGB32);
    for (int y = 0; y < in.height(); ++y) {
        const auto *src = reinterpret_cast<const QRgb *>(in.constScanLine(y));
        auto *dst = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < in.width(); ++x) {
            const QRgb p = src[x];
            float r = qRed(p) / 255.0f, g = qGreen(p) / 255.0f, b = qBlue(p) / 255.0f;
            f(r, g, b);
            dst[x] = qRgba(toByte(r), toByte(g), toByte(b), qAlpha(p));
        }
    }
    return out;
}

// The same table for each channel, for steps that treat channels alike.
QImage mapThroughTable(const QImage &image, const std::array<uchar, 256> &table)
{
    if (image.isNull())
        return image;
    const QImage in = converted(image, QImage::Format_ARGB32);
    QImage out = newLike(in, QImage::Format_ARGB32);
    for (int y = 0; y < in.height(); ++y) {
        const auto *src = reinterpret_cast<const QRgb *>(in.constScanLine(y));
        auto *dst = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < in.width(); ++x) {
            const QRgb p = src[x];
            dst[x] = qRgba(table[qRed(p)], table[qGreen(p)], table[qBlue(p)], qAlpha(p));
        }
    }
    return out;
}

float srgbToLinear(float c)
{
    return c <= 0.04045f ? c / 12.92f : std::pow((c + 0.055f) / 1.055f, 2.4f);
}

float linearToSrgb(float l)
{
    if (!(l > 0.0f))
        return 0.0f;
    return l <= 0.0031308f ? 12.92f * l : 1.055f * std::pow(l, 1.0f / 2.4f) - 0.055f;
}

// A box along one line: full weight for samples within `whole` of the centre, the two
// next ones weighted by the fraction, edge samples repeated beyond the ends.
void boxLine(const float *in, float *out, int count, int stride, int whole, float fraction)
{
    const double norm = 2.0 * whole + 1.0 + 2.0 * fraction;
    for (int c = 0; c < 4; ++c) {
        const auto sample = [&](long i) {
            return static_cast<double>(in[std::clamp<long>(i, 0, count - 1) * stride * 4 + c]);
        };
        double sum = 0.0;
        for (long k = -whole; k <= whole; ++k)
            sum += sample(k);
        for (long x = 0; x < count; ++x) {
            const double edge = fraction > 0.0f ? fraction * (sample(x - whole - 1) + sample(x + whole + 1)) : 0.0;
            out[x * stride * 4 + c] = static_cast<float>((sum + edge) / norm);
            sum += sample(x + whole + 1) - sample(x - whole);
        }
    }
}

} // namespace

// --- Single steps ----------------------------------------------------------------------------

QImage ImageProcesser::GrayScale(const QImage &image)
{
    failWhenAsked("GrayScale");
    // Monochrome in mid grey at full intensity leaves each pixel's luminance.
    return mapColours(image, [](float &r, float &g, float &b) {
        const float l = kLumaR * r + kLumaG * g + kLumaB * b;
        r = g = b = l;
    });
}

QImage ImageProcesser::Sepia(const QImage &image)
{
    failWhenAsked("Sepia");
    return mapColours(image, [](float &r, float &g, float &b) {
        const float nr = 0.393f * r + 0.769f * g + 0.189f * b;
        const float ng = 0.349f * r + 0.686f * g + 0.168f * b;
        const float nb = 0.272f * r + 0.534f * g + 0.131f * b;
        r = nr;
        g = ng;
        b = nb;
    });
}

QImage ImageProcesser::Invert_Color(const QImage &image)
{
    failWhenAsked("Invert_Color");
    std::array<uchar, 256> table;
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<uchar>(255 - i);
    return mapThroughTable(image, table);
}

QImage ImageProcesser::adjust_Hue(const QImage &image, float hue)
{
    failWhenAsked("adjust_Hue");
    // A turn of the colour cube about its grey diagonal: greys stay, red goes towards green for
    // positive angles.
    const float c = std::cos(hue), s = std::sin(hue);
    const float third = (1.0f - c) / 3.0f;
    const float root = std::sqrt(1.0f / 3.0f) * s;
    const float d = c + third, p = third + root, m = third - root;
    return mapColours(image, [=](float &r, float &g, float &b) {
        const float nr = d * r + m * g + p * b;
        const float ng = p * r + d * g + m * b;
        const float nb = m * r + p * g + d * b;
        r = nr;
        g = ng;
        b = nb;
    });
}

QImage ImageProcesser::adjust_Color_Control(const QImage &image, float sat, float brt, float con)
{
    failWhenAsked("adjust_Color_Control");
    return mapColours(image, [=](float &r, float &g, float &b) {
        const float l = kLumaR * r + kLumaG * g + kLumaB * b;
        float *channels[3] = {&r, &g, &b};
        for (float *v : channels) {
            float x = l + (*v - l) * sat; // saturation: from the grey (0) through the colour (1)
            x += brt;
            *v = (x - 0.5f) * con + 0.5f; // contrast about mid grey
        }
    });
}

QImage ImageProcesser::adjust_Sharpness(const QImage &image, float value)
{
    failWhenAsked("adjust_Sharpness");
    if (image.isNull())
        return image;
    const QImage in = converted(image, QImage::Format_ARGB32);
    const int w = in.width(), h = in.height();
    std::vector<float> luma(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        const auto *src = reinterpret_cast<const QRgb *>(in.constScanLine(y));
        for (int x = 0; x < w; ++x)
            luma[static_cast<size_t>(y) * w + x] = (kLumaR * qRed(src[x]) + kLumaG * qGreen(src[x]) + kLumaB * qBlue(src[x])) / 255.0f;
    }
    // Unsharp mask on luminance alone: each channel moves by the same amount, so the chroma stays.
    static constexpr float kTaps[5] = {1.0f / 16, 4.0f / 16, 6.0f / 16, 4.0f / 16, 1.0f / 16};
    std::vector<float> across(luma.size()), blurred(luma.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float sum = 0.0f;
            for (int k = -2; k <= 2; ++k)
                sum += kTaps[k + 2] * luma[static_cast<size_t>(y) * w + std::clamp(x + k, 0, w - 1)];
            across[static_cast<size_t>(y) * w + x] = sum;
        }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float sum = 0.0f;
            for (int k = -2; k <= 2; ++k)
                sum += kTaps[k + 2] * across[static_cast<size_t>(std::clamp(y + k, 0, h - 1)) * w + x];
            blurred[static_cast<size_t>(y) * w + x] = sum;
        }
    QImage out = newLike(in, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y) {
        const auto *src = reinterpret_cast<const QRgb *>(in.constScanLine(y));
        auto *dst = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const size_t i = static_cast<size_t>(y) * w + x;
            const float delta = value * (luma[i] - blurred[i]);
            const QRgb p = src[x];
            dst[x] = qRgba(toByte(qRed(p) / 255.0f + delta), toByte(qGreen(p) / 255.0f + delta),
                           toByte(qBlue(p) / 255.0f + delta), qAlpha(p));
        }
    }
    return out;
}

QImage ImageProcesser::adjust_boxBlur(const QImage &image, float value)
{
    failWhenAsked("adjust_boxBlur");
    if (image.isNull())
        return image;
    // Premultiplied, so that transparent pixels do not bleed their hidden colour into neighbours.
    const QImage in = converted(image, QImage::Format_ARGB32_Premultiplied);
    if (!(value > 0.0f))
        return in.copy();
    const int w = in.width(), h = in.height();
    // Past the picture's own extent a wider box only repeats edge pixels.
    const float radius = std::min(value, static_cast<float>(std::max(w, h)));
    const int whole = static_cast<int>(radius);
    const float fraction = radius - static_cast<float>(whole);

    std::vector<float> a(static_cast<size_t>(w) * h * 4), b(a.size());
    for (int y = 0; y < h; ++y) {
        const auto *src = reinterpret_cast<const QRgb *>(in.constScanLine(y));
        float *row = &a[static_cast<size_t>(y) * w * 4];
        for (int x = 0; x < w; ++x) {
            row[x * 4 + 0] = static_cast<float>(qRed(src[x]));
            row[x * 4 + 1] = static_cast<float>(qGreen(src[x]));
            row[x * 4 + 2] = static_cast<float>(qBlue(src[x]));
            row[x * 4 + 3] = static_cast<float>(qAlpha(src[x]));
        }
    }
    for (int y = 0; y < h; ++y)
        boxLine(&a[static_cast<size_t>(y) * w * 4], &b[static_cast<size_t>(y) * w * 4], w, 1, whole, fraction);
    for (int x = 0; x < w; ++x)
        boxLine(&b[static_cast<size_t>(x) * 4], &a[static_cast<size_t>(x) * 4], h, w, whole, fraction);

    QImage out = newLike(in, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < h; ++y) {
        const float *row = &a[static_cast<size_t>(y) * w * 4];
        auto *dst = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int alpha = toByte(row[x * 4 + 3] / 255.0f);
            const auto channel = [&](int c) { return std::min(alpha, toByte(row[x * 4 + c] / 255.0f)); };
            dst[x] = qRgba(channel(0), channel(1), channel(2), alpha);
        }
    }
    return out;
}

QImage ImageProcesser::adjust_EV(const QImage &image, float value)
{
    failWhenAsked("adjust_EV");
    const float gain = std::exp2(value);
    std::array<uchar, 256> table;
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<uchar>(toByte(linearToSrgb(srgbToLinear(i / 255.0f) * gain)));
    return mapThroughTable(image, table);
}

QImage ImageProcesser::adjust_Gamma(const QImage &image, float value)
{
    failWhenAsked("adjust_Gamma");
    std::array<uchar, 256> table;
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<uchar>(toByte(std::pow(i / 255.0f, value)));
    return mapThroughTable(image, table);
}

QImage &ImageProcesser::imageTintedWithColor(QImage &image, const QColor &color)
{
    if (!color.isValid() || image.isNull())
        return image;
    if (image.format() != QImage::Format_ARGB32_Premultiplied)
        image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    painter.fillRect(QRectF(QPointF(0, 0), pictureSize(image)), color);
    return image;
}

QImage ImageProcesser::adjust_Rotate(const QImage &image, float degrees)
{
    if (degrees == 0.0f)
        return image;
    return ::imageRotatedByDegrees(image, static_cast<double>(degrees));
}

QImage ImageProcesser::imageRotatedByDegrees(const QImage &image, double degrees)
{
    return ::imageRotatedByDegrees(image, degrees);
}

void ImageProcesser::failStepForTesting(const QString &stepName)
{
    QMutexLocker lock(&g_failingStepMutex);
    g_failingStep = stepName;
}

// --- The chain -------------------------------------------------------------------------------

QImage ImageProcesser::runChain(const QImage &image, const Image_Effect_Settings &s, const StepFailure &onFailure)
{
    if (image.isNull())
        return QImage();
    QImage p = image;
    // A failing step leaves the picture as it was before it; the chain goes on.
    const auto step = [&](const char *name, auto &&apply) {
        try {
            p = apply(p);
        } catch (const std::exception &e) {
            onFailure(QString::fromLatin1(name), QString::fromLocal8Bit(e.what()));
        }
    };
    try {
        if (s.grayscale)
            step("GrayScale", [](const QImage &q) { return GrayScale(q); });
        if (s.sepia)
            step("Sepia", [](const QImage &q) { return Sepia(q); });
        if (s.invrtclr)
            step("Invert_Color", [](const QImage &q) { return Invert_Color(q); });
        step("adjust_Hue", [&](const QImage &q) { return adjust_Hue(q, s.hue); });
        step("adjust_Color_Control", [&](const QImage &q) { return adjust_Color_Control(q, s.sat, s.brt, s.con); });
        step("adjust_Sharpness", [&](const QImage &q) { return adjust_Sharpness(q, s.sharpness); });
        step("adjust_boxBlur", [&](const QImage &q) { return adjust_boxBlur(q, s.blur); });
        step("adjust_EV", [&](const QImage &q) { return adjust_EV(q, s.exposure); });
        failWhenAsked("imageRotated");
        p = imageRotated(p, static_cast<float>(s.rotate));
    } catch (const std::exception &e) {
        Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
        return QImage();
    }
    // Drawn often: premultiplied pixels paint without a conversion each time.
    if (p.format() != QImage::Format_ARGB32_Premultiplied)
        p = p.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return p;
}

QImage ImageProcesser::Get_Processed_Image(const QImage &image, const Image_Effect_Settings &settings)
{
    return runChain(image, settings, [](const QString &step, const QString &reason) {
        if (step == QLatin1String("GrayScale"))
            Show_MessageBox(reason);
        Show_MessageBox(step);
    });
}

QImage ImageProcesser::Get_Processed_Image(const QImage &image, bool grayscale, bool sepia, bool invrtclr, float hue,
                                           float sat, float brt, float con, int rotate, float r, float g, float b,
                                           float tranprency)
{
    Image_Effect_Settings s;
    s.grayscale = grayscale;
    s.sepia = sepia;
    s.invrtclr = invrtclr;
    s.hue = hue;
    s.sat = sat;
    s.brt = brt;
    s.con = con;
    s.rotate = rotate;
    s.sharpness = r;
    s.exposure = g;
    s.blur = b;
    s.tranprency = tranprency;
    return Get_Processed_Image(image, s);
}

QImage ImageProcesser::Get_Processed_Image_Wizard(const QImage &image, bool grayscale, bool sepia, bool invrtclr,
                                                  float hue, float sat, float brt, float con, int rotate, float r,
                                                  float g, float b, float tranprency, bool, bool, const QRectF &)
{
    return Get_Processed_Image(image, grayscale, sepia, invrtclr, hue, sat, brt, con, rotate, r, g, b, tranprency);
}

QImage ImageProcesser::Get_Processed_Image_For_Drawing(const QImage &image, const Image_Effect_Settings &settings)
{
    if (image.isNull())
        return QImage();
    ImageEffectCache &cache = ImageEffectCache::sharedInstance();
    const quint64 key = image.cacheKey();
    if (std::optional<QImage> kept = cache.find(key, settings))
        return *kept;
    const QImage result = runChain(image, settings, [&](const QString &step, const QString &reason) {
        if (cache.firstReport(key, settings, step))
            Show_NSLog_Message(QStringLiteral("Picture effect %1 failed and was left out: %2").arg(step, reason));
    });
    cache.insert(key, settings, result);
    return result;
}
