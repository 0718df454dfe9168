#include "core/ImageProcesser.h"

#include "fixtures/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <numbers>

// The effect steps measured against plain per-pixel evaluations of the published formulas, in
// double precision and without any of the shortcuts the steps take for speed.

namespace {

using Rgb = std::array<double, 3>; // 0..1

QImage noise(int w, int h, bool withAlpha, quint32 seed = 1)
{
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int alpha = withAlpha ? static_cast<int>((seed >> 5) % 4) * 85 : 255; // 0, 85, 170, 255
            image.setPixel(x, y, qRgba(static_cast<int>(seed >> 24), static_cast<int>((seed >> 16) & 0xff),
                                       static_cast<int>((seed >> 8) & 0xff), alpha));
        }
    return image;
}

int byteOf(double v)
{
    if (!(v > 0.0))
        return 0;
    return v >= 1.0 ? 255 : static_cast<int>(std::floor(v * 255.0 + 0.5));
}

// Largest difference of any colour channel where the picture has cover, and whether alpha is kept.
struct Difference {
    int colour = 0;
    bool alphaKept = true;
};

Difference compare(const QImage &actual, const QImage &input, const std::function<Rgb(const Rgb &)> &formula)
{
    const QImage got = actual.convertToFormat(QImage::Format_ARGB32);
    Difference d;
    for (int y = 0; y < input.height(); ++y)
        for (int x = 0; x < input.width(); ++x) {
            const QRgb in = input.pixel(x, y), out = got.pixel(x, y);
            d.alphaKept = d.alphaKept && qAlpha(in) == qAlpha(out);
            if (qAlpha(in) == 0)
                continue;
            const Rgb want = formula({qRed(in) / 255.0, qGreen(in) / 255.0, qBlue(in) / 255.0});
            d.colour = std::max({d.colour, std::abs(qRed(out) - byteOf(want[0])), std::abs(qGreen(out) - byteOf(want[1])),
                                 std::abs(qBlue(out) - byteOf(want[2]))});
        }
    return d;
}

double luminance(const Rgb &c)
{
    return 0.2126 * c[0] + 0.7152 * c[1] + 0.0722 * c[2];
}

// Rodrigues' rotation of the colour about the grey diagonal.
Rgb turnedAboutGrey(const Rgb &v, double angle)
{
    const double k = 1.0 / std::sqrt(3.0);
    const double dot = k * (v[0] + v[1] + v[2]);
    const Rgb cross = {k * (v[2] - v[1]), k * (v[0] - v[2]), k * (v[1] - v[0])};
    Rgb out;
    for (int i = 0; i < 3; ++i)
        out[i] = v[i] * std::cos(angle) + cross[i] * std::sin(angle) + k * dot * (1 - std::cos(angle));
    return out;
}

// A box of radius r (whole samples at full weight, the next each side at the fraction) over
// premultiplied colour, edges repeated, then back to straight colour.
QRgb boxReference(const QImage &in, int cx, int cy, double radius)
{
    const int whole = static_cast<int>(radius);
    const double fraction = radius - whole;
    double sum[4] = {0, 0, 0, 0}, total = 0;
    for (int dy = -whole - 1; dy <= whole + 1; ++dy)
        for (int dx = -whole - 1; dx <= whole + 1; ++dx) {
            const double wy = std::abs(dy) <= whole ? 1.0 : fraction, wx = std::abs(dx) <= whole ? 1.0 : fraction;
            const QRgb p = in.pixel(std::clamp(cx + dx, 0, in.width() - 1), std::clamp(cy + dy, 0, in.height() - 1));
            const double a = qAlpha(p) / 255.0;
            sum[0] += wx * wy * qRed(p) * a;
            sum[1] += wx * wy * qGreen(p) * a;
            sum[2] += wx * wy * qBlue(p) * a;
            sum[3] += wx * wy * qAlpha(p);
            total += wx * wy;
        }
    const int alpha = byteOf(sum[3] / total / 255.0);
    if (alpha == 0)
        return 0;
    return qRgba(byteOf(sum[0] / sum[3]), byteOf(sum[1] / sum[3]), byteOf(sum[2] / sum[3]), alpha);
}

int largestChannelDifference(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b)),
                     std::abs(qAlpha(a) - qAlpha(b))});
}

class EffectKernelsTest : public ::testing::Test {
protected:
    AppFixture app;
};

} // namespace

TEST_F(EffectKernelsTest, ColourStepsMatchTheirFormulasOnEveryPixel)
{
    const QImage input = noise(37, 23, true);
    const auto expectClose = [&](const QImage &result, const std::function<Rgb(const Rgb &)> &formula) {
        const Difference d = compare(result, input, formula);
        EXPECT_LE(d.colour, 1);
        EXPECT_TRUE(d.alphaKept);
    };
    expectClose(ImageProcesser::GrayScale(input), [](const Rgb &c) {
        const double l = luminance(c);
        return Rgb{l, l, l};
    });
    expectClose(ImageProcesser::Sepia(input), [](const Rgb &c) {
        return Rgb{0.393 * c[0] + 0.769 * c[1] + 0.189 * c[2], 0.349 * c[0] + 0.686 * c[1] + 0.168 * c[2],
                   0.272 * c[0] + 0.534 * c[1] + 0.131 * c[2]};
    });
    expectClose(ImageProcesser::Invert_Color(input), [](const Rgb &c) { return Rgb{1 - c[0], 1 - c[1], 1 - c[2]}; });
    for (const double angle : {0.7, -2.0, std::numbers::pi}) {
        SCOPED_TRACE(angle);
        expectClose(ImageProcesser::adjust_Hue(input, static_cast<float>(angle)),
                    [&](const Rgb &c) { return turnedAboutGrey(c, angle); });
    }
    struct Controls {
        double sat, brt, con;
    };
    for (const Controls k : {Controls{0.4, 0.1, 1.5}, Controls{2.0, -0.3, 0.6}, Controls{1.0, 0.0, 4.0}}) {
        SCOPED_TRACE(k.sat);
        expectClose(ImageProcesser::adjust_Color_Control(input, static_cast<float>(k.sat), static_cast<float>(k.brt),
                                                         static_cast<float>(k.con)),
                    [&](const Rgb &c) {
                        const double l = luminance(c);
                        Rgb out;
                        for (int i = 0; i < 3; ++i)
                            out[i] = ((l + (c[i] - l) * k.sat + k.brt) - 0.5) * k.con + 0.5;
                        return out;
                    });
    }
    expectClose(ImageProcesser::adjust_EV(input, 0.6f), [](const Rgb &c) {
        Rgb out;
        for (int i = 0; i < 3; ++i) {
            const double linear = c[i] <= 0.04045 ? c[i] / 12.92 : std::pow((c[i] + 0.055) / 1.055, 2.4);
            const double l = linear * std::exp2(0.6);
            out[i] = l <= 0.0031308 ? 12.92 * l : 1.055 * std::pow(l, 1 / 2.4) - 0.055;
        }
        return out;
    });
}

TEST_F(EffectKernelsTest, BoxBlurMatchesTheBoxOverPremultipliedColour)
{
    for (const QSize size : {QSize(31, 19), QSize(1, 1), QSize(2, 7), QSize(9, 1)}) {
        const QImage input = noise(size.width(), size.height(), true, 5);
        for (const double radius : {1.0, 2.5, 6.25, 40.0}) {
            SCOPED_TRACE(QStringLiteral("%1 x %2, radius %3").arg(size.width()).arg(size.height()).arg(radius).toStdString());
            const QImage blurred = ImageProcesser::adjust_boxBlur(input, static_cast<float>(radius))
                                       .convertToFormat(QImage::Format_ARGB32);
            ASSERT_EQ(blurred.size(), input.size());
            int worst = 0;
            for (int y = 0; y < input.height(); ++y)
                for (int x = 0; x < input.width(); ++x)
                    worst = std::max(worst, largestChannelDifference(blurred.pixel(x, y), boxReference(input, x, y, radius)));
            EXPECT_LE(worst, 1);
        }
    }
}

TEST_F(EffectKernelsTest, TheGaussianBlurSpreadsASquareByItsDeviationAndKeepsItsInk)
{
    // An opaque 9 x 9 square spreads, along each axis, with the variance of the square plus sigma²
    // (three boxes of odd widths come a little short), and the ink it holds stays.
    constexpr int side = 121, half = 4, centre = side / 2;
    QImage square(side, side, QImage::Format_ARGB32);
    square.fill(Qt::transparent);
    for (int y = centre - half; y <= centre + half; ++y)
        for (int x = centre - half; x <= centre + half; ++x)
            square.setPixel(x, y, qRgba(20, 40, 160, 255));
    const double squareVariance = ((2 * half + 1) * (2 * half + 1) - 1) / 12.0;
    for (const double sigma : {2.0, 3.3, 5.0, 8.0}) {
        SCOPED_TRACE(sigma);
        const QImage blurred = ImageProcesser::gaussianBlur(square, sigma).convertToFormat(QImage::Format_ARGB32);
        double ink = 0, across = 0, down = 0;
        int worstColour = 0;
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                const QRgb p = blurred.pixel(x, y);
                ink += qAlpha(p);
                across += qAlpha(p) * (x - centre) * (x - centre);
                down += qAlpha(p) * (y - centre) * (y - centre);
                if (qAlpha(p) >= 64)
                    worstColour = std::max(worstColour, largestChannelDifference(p, qRgba(20, 40, 160, qAlpha(p))));
            }
        EXPECT_NEAR(ink / (255.0 * (2 * half + 1) * (2 * half + 1)), 1.0, 0.01);
        EXPECT_DOUBLE_EQ(across, down);
        EXPECT_NEAR(across / ink - squareVariance, sigma * sigma, 0.1 * sigma * sigma + 0.5);
        EXPECT_LE(worstColour, 2);
    }
    EXPECT_EQ(ImageProcesser::gaussianBlur(square, 0.1), square);
}

TEST_F(EffectKernelsTest, SharpeningMatchesTheLuminanceUnsharpMask)
{
    static constexpr double kTaps[5] = {1 / 16.0, 4 / 16.0, 6 / 16.0, 4 / 16.0, 1 / 16.0};
    for (const QSize size : {QSize(23, 17), QSize(3, 2), QSize(1, 6)}) {
        const QImage input = noise(size.width(), size.height(), false, 9);
        const auto lumaAt = [&](int x, int y) {
            const QRgb p = input.pixel(std::clamp(x, 0, input.width() - 1), std::clamp(y, 0, input.height() - 1));
            return luminance({qRed(p) / 255.0, qGreen(p) / 255.0, qBlue(p) / 255.0});
        };
        const QImage sharp = ImageProcesser::adjust_Sharpness(input, 1.5f).convertToFormat(QImage::Format_ARGB32);
        int worst = 0;
        for (int y = 0; y < input.height(); ++y)
            for (int x = 0; x < input.width(); ++x) {
                double blurred = 0;
                for (int j = -2; j <= 2; ++j)
                    for (int i = -2; i <= 2; ++i)
                        blurred += kTaps[i + 2] * kTaps[j + 2] * lumaAt(x + i, y + j);
                const double delta = 1.5 * (lumaAt(x, y) - blurred);
                const QRgb p = input.pixel(x, y);
                const QRgb want = qRgba(byteOf(qRed(p) / 255.0 + delta), byteOf(qGreen(p) / 255.0 + delta),
                                        byteOf(qBlue(p) / 255.0 + delta), qAlpha(p));
                worst = std::max(worst, largestChannelDifference(sharp.pixel(x, y), want));
            }
        EXPECT_LE(worst, 1) << size.width() << " x " << size.height();
    }
}

TEST_F(EffectKernelsTest, TheChainWorkingInPlaceEqualsTheStepsOneAfterAnotherAndSparesItsInput)
{
    for (const bool withAlpha : {false, true}) {
        SCOPED_TRACE(withAlpha);
        const QImage input = noise(41, 29, withAlpha, 3);
        const QImage untouched = input.copy();
        Image_Effect_Settings s;
        s.grayscale = withAlpha;
        s.sepia = true;
        s.invrtclr = true;
        s.hue = 0.4f;
        s.sat = 1.4f;
        s.brt = 0.05f;
        s.con = 1.2f;
        s.sharpness = 0.9f;
        s.blur = 3.5f;
        s.exposure = -0.4f;

        QImage stepped = withAlpha ? ImageProcesser::GrayScale(input) : input;
        stepped = ImageProcesser::Invert_Color(ImageProcesser::Sepia(stepped));
        stepped = ImageProcesser::adjust_Color_Control(ImageProcesser::adjust_Hue(stepped, s.hue), s.sat, s.brt, s.con);
        stepped = ImageProcesser::adjust_boxBlur(ImageProcesser::adjust_Sharpness(stepped, s.sharpness), s.blur);
        stepped = ImageProcesser::adjust_EV(stepped, s.exposure);

        const QImage chained = ImageProcesser::Get_Processed_Image(input, s);
        EXPECT_EQ(chained.format(), QImage::Format_ARGB32_Premultiplied);
        EXPECT_EQ(chained, stepped.convertToFormat(QImage::Format_ARGB32_Premultiplied));
        EXPECT_EQ(input, untouched);

        // The same steps on a picture of the caller's own, changed in place, stay unpremultiplied.
        QImage own = input.copy();
        ImageProcesser::applyStepsInPlace(own, s);
        EXPECT_EQ(own.format(), QImage::Format_ARGB32);
        EXPECT_EQ(own, stepped);
    }
}

TEST_F(EffectKernelsTest, NeutralStepsKeepEveryPixelOfPicturesInOtherFormats)
{
    QImage photo = noise(16, 12, false, 4).convertToFormat(QImage::Format_RGB32);
    const QImage result = ImageProcesser::Get_Processed_Image(photo, Image_Effect_Settings());
    ASSERT_EQ(result.size(), photo.size());
    EXPECT_NE(result.cacheKey(), photo.cacheKey());
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x)
            ASSERT_EQ(result.pixel(x, y), photo.pixel(x, y)) << x << ", " << y;
}
