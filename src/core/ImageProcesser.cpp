#include "core/ImageProcesser.h"

#include "core/ImageCategories.h"
#include "core/ImageEffectCache.h"
#include "core/MessageBoxes.h"
#include "platform/ConcurrentFor.h"

#include <QMutex>
#include <QPainter>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(Q_OS_LINUX)
#include <sys/mman.h>
#endif

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
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

// NaN and out-of-range values end up as 0 or 255 rather than as an undefined conversion. Written
// without branches (the operand order makes NaN give 0), so that pixel loops vectorise.
inline int toByte(float v)
{
    return static_cast<int>(std::min(std::max(0.0f, v * 255.0f + 0.5f), 255.0f));
}

// The same for a value already in byte units.
inline quint32 clampedByte(float v)
{
    return static_cast<quint32>(static_cast<int>(std::min(std::max(0.0f, v + 0.5f), 255.0f)));
}

#if defined(__SSE2__)
// Four pixels at a time where the compiler does not vectorise by itself. Each lane does exactly
// the arithmetic of the plain loop, in its order, so that the bytes are the same.

// A channel of four 32-bit pixels as floats: 16 red, 8 green, 0 blue.
template <int shift>
inline __m128 channelOf(__m128i pixels)
{
    return _mm_cvtepi32_ps(_mm_and_si128(_mm_srli_epi32(pixels, shift), _mm_set1_epi32(0xff)));
}

// clampedByte of each lane (max(v, 0) is 0 for NaN, as in the plain function).
inline __m128i clampedBytes(__m128 v)
{
    const __m128 clamped = _mm_min_ps(_mm_max_ps(_mm_add_ps(v, _mm_set1_ps(0.5f)), _mm_setzero_ps()), _mm_set1_ps(255.0f));
    return _mm_cvttps_epi32(clamped);
}

// Four 32-bit pixels from lanes of 0..255.
inline __m128i pixelsOf(__m128i a, __m128i r, __m128i g, __m128i b)
{
    return _mm_or_si128(_mm_or_si128(_mm_slli_epi32(a, 24), _mm_slli_epi32(r, 16)),
                        _mm_or_si128(_mm_slli_epi32(g, 8), b));
}

// Alpha of four pixels kept, colour channels from lanes of 0..255.
inline __m128i withColours(__m128i pixels, __m128i r, __m128i g, __m128i b)
{
    return _mm_or_si128(_mm_and_si128(pixels, _mm_set1_epi32(static_cast<int>(0xff000000u))),
                        pixelsOf(_mm_setzero_si128(), r, g, b));
}
#endif

// A picture of its own to write in. Large ones (photos, not icons) come in huge pages where the
// system offers them: the blur goes down bands of columns, touching a new 4 KB page every row,
// and the first touch of every page costs a fault.
QImage newPicture(QSize size, QImage::Format format)
{
#if defined(MADV_HUGEPAGE)
    constexpr size_t kHugePage = 2 * 1024 * 1024;
    const qsizetype bytesPerLine = (qsizetype(size.width()) * QImage::toPixelFormat(format).bitsPerPixel() + 31) / 32 * 4;
    const size_t bytes = static_cast<size_t>(bytesPerLine) * static_cast<size_t>(size.height());
    if (bytes >= 4 * kHugePage) {
        const size_t whole = (bytes + kHugePage - 1) / kHugePage * kHugePage;
        if (void *data = std::aligned_alloc(kHugePage, whole)) {
            madvise(data, whole, MADV_HUGEPAGE);
            QImage image(static_cast<uchar *>(data), size.width(), size.height(), bytesPerLine, format,
                         [](void *pixels) { std::free(pixels); }, data);
            if (!image.isNull())
                return image;
            std::free(data);
        }
    }
#endif
    return QImage(size, format);
}

QImage newLike(const QImage &source, QImage::Format format)
{
    QImage out = newPicture(source.size(), format);
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

// Every pixel step reads and writes unpremultiplied 32-bit ARGB, so that no step converts what the
// previous one made. Each is a kernel from `in` to `out` of the same size; `out` may be `in` itself
// (the chain works in place on the picture it owns), so a kernel reads a pixel before writing it
// and allocates all it needs before its first write: a failure leaves `out` as it was.
void requireSameSize(const QImage &in, const QImage &out)
{
    if (in.size() != out.size() || in.format() != QImage::Format_ARGB32 || out.format() != QImage::Format_ARGB32)
        throw std::logic_error("a pixel step needs two 32-bit ARGB pictures of one size");
}

// Row pointers taken once on the calling thread: scanLine() of a shared picture detaches it,
// which threads must not do side by side.
struct Rows {
    const uchar *in;
    qsizetype inStride;
    uchar *out;
    qsizetype outStride;
    Rows(const QImage &source, QImage &target)
        : out(target.bits()), outStride(target.bytesPerLine())
    {
        in = source.constBits();
        inStride = source.bytesPerLine();
    }
    bool inPlace() const { return in == out; }
    const quint32 *source(int y) const { return reinterpret_cast<const quint32 *>(in + y * inStride); }
    quint32 *target(int y) const { return reinterpret_cast<quint32 *>(out + y * outStride); }
};

// --- Sharing a picture out among threads -------------------------------------------------------
//
// A large picture is cut into pieces (bands or strips of rows, bands of columns) that the thread
// pool works on side by side. Every piece does exactly the arithmetic one thread would do for its
// pixels, so the bytes never depend on how the picture was cut.

std::atomic<int> g_pieceSizeForTesting{0};

// Rows (or columns) per piece: `size` for a picture worth sharing out, 0 for one that a single
// thread does faster.
int pieceSize(const QImage &picture, int size)
{
    constexpr qint64 kWorthSharing = 256 * 1024; // pixels
    if (const int forced = g_pieceSizeForTesting.load(std::memory_order_relaxed); forced != 0)
        return std::max(forced, 0);
    return qint64(picture.width()) * picture.height() < kWorthSharing ? 0 : size;
}

// Calls part(i) for every i in [0, parts), side by side when there are several.
template <typename Part>
void sideBySide(int parts, Part &&part)
{
    if (parts == 1)
        part(0);
    else if (parts > 1)
        platform::concurrentFor(parts, [&](qsizetype i) { part(static_cast<int>(i)); });
}

// Runs rows(first, end) over bands of a picture's rows: for steps that treat every row alone.
template <typename RowRange>
void inRowBands(const QImage &picture, RowRange &&rows)
{
    const int height = picture.height();
    const int bandRows = pieceSize(picture, 32);
    if (bandRows == 0) {
        rows(0, height);
        return;
    }
    sideBySide((height + bandRows - 1) / bandRows, [&](int band) {
        const int first = band * bandRows;
        rows(first, std::min(height, first + bandRows));
    });
}

// One horizontal strip of a step whose output row y reads the input rows y - reach to y + reach:
// its own rows [first, end) and, from `edges` when set, copies of the rows within reach outside.
struct Strip {
    const Rows &rows;
    int first, end, reach;
    const quint32 *edges; // reach rows above the strip, then reach rows below it
    qsizetype width;
    float *scratch;       // the strip's own

    const quint32 *source(int y) const
    {
        Q_ASSERT(y >= first - reach && y < end + reach);
        if (!edges || (y >= first && y < end))
            return rows.source(y);
        return edges + (y < first ? y - (first - reach) : reach + (y - end)) * width;
    }
    quint32 *target(int y) const { return rows.target(y); }
};

// Runs work(strip) over horizontal strips of the picture side by side, each with `scratchFloats`
// floats of its own, allocated with everything else before the first pixel is written. Working in
// place, a strip would read rows that its neighbours may already have overwritten: the rows within
// reach outside every strip are copied first, and the strip reads those rows from the copies.
template <typename StripWork>
void inRowStrips(const QImage &in, QImage &out, int reach, size_t scratchFloats, StripWork &&work)
{
    const int h = in.height();
    const qsizetype w = in.width();
    // Several strips for each thread (they finish unevenly), each tall next to the rows it reads
    // twice at its edges.
    const int quarterShare = (h + 4 * platform::concurrentThreads() - 1) / (4 * platform::concurrentThreads());
    const int shared = pieceSize(in, std::max({32, 16 * reach, quarterShare}));
    const int stripRows = shared > 0 ? shared : std::max(h, 1);
    const int strips = (h + stripRows - 1) / stripRows;
    const Rows rows(in, out);
    const bool copyEdges = rows.inPlace() && strips > 1;
    const qsizetype edgeRows = 2 * qsizetype(reach);
    std::vector<quint32> edges(copyEdges ? size_t(strips * edgeRows * w) : 0);
    std::vector<float> scratch(size_t(strips) * scratchFloats);
    const auto edgesOf = [&](int s) { return copyEdges ? edges.data() + s * edgeRows * w : nullptr; };
    const auto strip = [&](int s) {
        const int first = s * stripRows;
        return Strip{rows, first, std::min(h, first + stripRows), reach, edgesOf(s), w,
                     scratch.data() + size_t(s) * scratchFloats};
    };
    // A few rows a strip: copied here rather than in a round of their own among the threads.
    for (int s = 0; copyEdges && s < strips; ++s) {
        const Strip piece = strip(s);
        quint32 *copy = edgesOf(s);
        for (int k = 0; k < reach; ++k) {
            if (const int above = piece.first - reach + k; above >= 0)
                std::memcpy(copy + k * w, rows.source(above), size_t(w) * 4);
            if (const int below = piece.end + k; below < h)
                std::memcpy(copy + (reach + k) * w, rows.source(below), size_t(w) * 4);
        }
    }
    sideBySide(strips, [&](int s) { work(strip(s)); });
}

// Neutral settings leave the pixels as they are: nothing to do in place, a copy otherwise.
void copyPixels(const QImage &in, QImage &out)
{
    if (in.constBits() == out.constBits())
        return;
    const Rows rows(in, out);
    inRowBands(in, [&](int first, int end) {
        for (int y = first; y < end; ++y)
            std::memcpy(rows.target(y), rows.source(y), static_cast<size_t>(in.width()) * 4);
    });
}

// out_c = sum_k m[c][k] * in_k + offset[c], on colours in 0..1. Grey scale, sepia, hue and the
// colour controls are all such maps.
struct ColourMatrix {
    float m[3][3];
    float offset[3];
};

void applyMatrix(const QImage &in, QImage &out, const ColourMatrix &matrix)
{
    requireSameSize(in, out);
    bool identity = matrix.offset[0] == 0.0f && matrix.offset[1] == 0.0f && matrix.offset[2] == 0.0f;
    for (int c = 0; c < 3; ++c)
        for (int k = 0; k < 3; ++k)
            identity = identity && matrix.m[c][k] == (c == k ? 1.0f : 0.0f);
    if (identity) {
        copyPixels(in, out);
        return;
    }
    // In byte units: out = m * in + 255 * offset.
    const float m00 = matrix.m[0][0], m01 = matrix.m[0][1], m02 = matrix.m[0][2];
    const float m10 = matrix.m[1][0], m11 = matrix.m[1][1], m12 = matrix.m[1][2];
    const float m20 = matrix.m[2][0], m21 = matrix.m[2][1], m22 = matrix.m[2][2];
    const float o0 = 255.0f * matrix.offset[0], o1 = 255.0f * matrix.offset[1], o2 = 255.0f * matrix.offset[2];
#if defined(__SSE2__)
    const __m128 v00 = _mm_set1_ps(m00), v01 = _mm_set1_ps(m01), v02 = _mm_set1_ps(m02);
    const __m128 v10 = _mm_set1_ps(m10), v11 = _mm_set1_ps(m11), v12 = _mm_set1_ps(m12);
    const __m128 v20 = _mm_set1_ps(m20), v21 = _mm_set1_ps(m21), v22 = _mm_set1_ps(m22);
    const __m128 vo0 = _mm_set1_ps(o0), vo1 = _mm_set1_ps(o1), vo2 = _mm_set1_ps(o2);
#endif
    const int w = in.width();
    const Rows rows(in, out);
    inRowBands(in, [&](int first, int end) {
        for (int y = first; y < end; ++y) {
            const quint32 *src = rows.source(y);
            quint32 *dst = rows.target(y);
            int x = 0;
#if defined(__SSE2__)
            const auto sum = [](__m128 m0, __m128 r, __m128 m1, __m128 g, __m128 m2, __m128 b, __m128 o) {
                return _mm_add_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(m0, r), _mm_mul_ps(m1, g)), _mm_mul_ps(m2, b)), o);
            };
            for (; x + 4 <= w; x += 4) {
                const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i *>(src + x));
                const __m128 r = channelOf<16>(p), g = channelOf<8>(p), b = channelOf<0>(p);
                const __m128i nr = clampedBytes(sum(v00, r, v01, g, v02, b, vo0));
                const __m128i ng = clampedBytes(sum(v10, r, v11, g, v12, b, vo1));
                const __m128i nb = clampedBytes(sum(v20, r, v21, g, v22, b, vo2));
                _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + x), withColours(p, nr, ng, nb));
            }
#endif
            for (; x < w; ++x) {
                const quint32 p = src[x];
                const float r = static_cast<float>(static_cast<int>((p >> 16) & 0xff));
                const float g = static_cast<float>(static_cast<int>((p >> 8) & 0xff));
                const float b = static_cast<float>(static_cast<int>(p & 0xff));
                const quint32 nr = clampedByte(m00 * r + m01 * g + m02 * b + o0);
                const quint32 ng = clampedByte(m10 * r + m11 * g + m12 * b + o1);
                const quint32 nb = clampedByte(m20 * r + m21 * g + m22 * b + o2);
                dst[x] = (p & 0xff000000u) | (nr << 16) | (ng << 8) | nb;
            }
        }
    });
}

using ByteTable = std::array<uchar, 256>;

// The same table for each channel; with `premultiply` the result is written premultiplied.
void applyTable(const QImage &in, QImage &out, const ByteTable &table, bool premultiply = false)
{
    requireSameSize(in, out);
    bool identity = !premultiply;
    for (int i = 0; i < 256 && identity; ++i)
        identity = table[i] == i;
    if (identity) {
        copyPixels(in, out);
        return;
    }
    const int w = in.width();
    const Rows rows(in, out);
    inRowBands(in, [&](int first, int end) {
        for (int y = first; y < end; ++y) {
            const QRgb *src = rows.source(y);
            QRgb *dst = rows.target(y);
            for (int x = 0; x < w; ++x) {
                const QRgb p = src[x];
                const QRgb mapped = qRgba(table[qRed(p)], table[qGreen(p)], table[qBlue(p)], qAlpha(p));
                dst[x] = premultiply && qAlpha(p) != 255 ? qPremultiply(mapped) : mapped;
            }
        }
    });
}

ColourMatrix grayScaleMatrix()
{
    // Monochrome in mid grey at full intensity leaves each pixel's luminance.
    return {{{kLumaR, kLumaG, kLumaB}, {kLumaR, kLumaG, kLumaB}, {kLumaR, kLumaG, kLumaB}}, {0, 0, 0}};
}

ColourMatrix sepiaMatrix()
{
    return {{{0.393f, 0.769f, 0.189f}, {0.349f, 0.686f, 0.168f}, {0.272f, 0.534f, 0.131f}}, {0, 0, 0}};
}

ColourMatrix hueMatrix(float hue)
{
    // A turn of the colour cube about its grey diagonal: greys stay, red goes towards green for
    // positive angles.
    const float c = std::cos(hue), s = std::sin(hue);
    const float third = (1.0f - c) / 3.0f;
    const float root = std::sqrt(1.0f / 3.0f) * s;
    const float d = c + third, p = third + root, m = third - root;
    return {{{d, m, p}, {p, d, m}, {m, p, d}}, {0, 0, 0}};
}

ColourMatrix colourControlMatrix(float sat, float brt, float con)
{
    // Saturation from the grey (0) through the colour (1), then brightness added, then contrast
    // about mid grey: out = con * (sat * v + (1 - sat) * luma + brt - 0.5) + 0.5.
    const float luma[3] = {kLumaR, kLumaG, kLumaB};
    ColourMatrix matrix{};
    for (int c = 0; c < 3; ++c) {
        for (int k = 0; k < 3; ++k)
            matrix.m[c][k] = con * ((c == k ? sat : 0.0f) + (1.0f - sat) * luma[k]);
        matrix.offset[c] = con * (brt - 0.5f) + 0.5f;
    }
    return matrix;
}

ByteTable invertTable()
{
    ByteTable table;
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<uchar>(255 - i);
    return table;
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

ByteTable exposureTable(float ev)
{
    const float gain = std::exp2(ev);
    ByteTable table;
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<uchar>(toByte(linearToSrgb(srgbToLinear(i / 255.0f) * gain)));
    return table;
}

inline float lumaOf(quint32 p)
{
    return (kLumaR * static_cast<int>((p >> 16) & 0xff) + kLumaG * static_cast<int>((p >> 8) & 0xff)
            + kLumaB * static_cast<int>(p & 0xff)) / 255.0f;
}

#if defined(__SSE2__)
inline __m128 lumaOf(__m128i p)
{
    const __m128 weighted = _mm_add_ps(_mm_add_ps(_mm_mul_ps(_mm_set1_ps(kLumaR), channelOf<16>(p)),
                                                  _mm_mul_ps(_mm_set1_ps(kLumaG), channelOf<8>(p))),
                                       _mm_mul_ps(_mm_set1_ps(kLumaB), channelOf<0>(p)));
    return _mm_div_ps(weighted, _mm_set1_ps(255.0f));
}
#endif

void sharpen(const QImage &in, QImage &out, float value)
{
    requireSameSize(in, out);
    if (value == 0.0f) {
        copyPixels(in, out);
        return;
    }
    const int w = in.width(), h = in.height();
    // Unsharp mask on luminance alone: each channel moves by the same amount, so the chroma stays.
    // The 5 x 5 binomial blur runs across each row once and down through a ring of five rows, so
    // row y is written only after the rows below it that it needs have been read; strips of rows
    // run side by side.
    static constexpr float kTaps[5] = {1.0f / 16, 4.0f / 16, 6.0f / 16, 4.0f / 16, 1.0f / 16};
    constexpr int kRing = 5;
    // Each strip keeps a row of luminance and its ring of rows blurred across.
    inRowStrips(in, out, 2, static_cast<size_t>(w) * (1 + kRing), [&](const Strip &strip) {
        float *luma = strip.scratch, *across = strip.scratch + w;
        const auto blurAcross = [&](int row) {
            const quint32 *src = strip.source(row);
            float *l = luma;
            int x = 0;
#if defined(__SSE2__)
            for (; x + 4 <= w; x += 4)
                _mm_storeu_ps(l + x, lumaOf(_mm_loadu_si128(reinterpret_cast<const __m128i *>(src + x))));
#endif
            for (; x < w; ++x)
                l[x] = lumaOf(src[x]);
            float *dst = &across[static_cast<size_t>(row % kRing) * w];
            const auto clamped = [&](int x) {
                float sum = 0.0f;
                for (int k = -2; k <= 2; ++k)
                    sum += kTaps[k + 2] * l[std::clamp(x + k, 0, w - 1)];
                return sum;
            };
            const int inner = std::max(2, w - 2);
            for (int x = 0; x < std::min(2, w); ++x)
                dst[x] = clamped(x);
            for (int x = 2; x < inner; ++x) {
                float sum = 0.0f;
                sum += kTaps[0] * l[x - 2];
                sum += kTaps[1] * l[x - 1];
                sum += kTaps[2] * l[x];
                sum += kTaps[3] * l[x + 1];
                sum += kTaps[4] * l[x + 2];
                dst[x] = sum;
            }
            for (int x = std::max(inner, std::min(2, w)); x < w; ++x)
                dst[x] = clamped(x);
        };
        const auto acrossRow = [&](int row) { return &across[static_cast<size_t>(std::clamp(row, 0, h - 1) % kRing) * w]; };

        int ready = std::max(strip.first - 2, 0) - 1; // rows blurred across so far
        for (int y = strip.first; y < strip.end; ++y) {
            for (const int last = std::min(y + 2, h - 1); ready < last;)
                blurAcross(++ready);
            const float *r0 = acrossRow(y - 2), *r1 = acrossRow(y - 1), *r2 = acrossRow(y), *r3 = acrossRow(y + 1),
                        *r4 = acrossRow(y + 2);
            const quint32 *src = strip.source(y);
            quint32 *dst = strip.target(y);
            int x = 0;
#if defined(__SSE2__)
            const __m128 amount = _mm_set1_ps(value), full = _mm_set1_ps(255.0f);
            for (; x + 4 <= w; x += 4) {
                __m128 blurred = _mm_setzero_ps();
                blurred = _mm_add_ps(blurred, _mm_mul_ps(_mm_set1_ps(kTaps[0]), _mm_loadu_ps(r0 + x)));
                blurred = _mm_add_ps(blurred, _mm_mul_ps(_mm_set1_ps(kTaps[1]), _mm_loadu_ps(r1 + x)));
                blurred = _mm_add_ps(blurred, _mm_mul_ps(_mm_set1_ps(kTaps[2]), _mm_loadu_ps(r2 + x)));
                blurred = _mm_add_ps(blurred, _mm_mul_ps(_mm_set1_ps(kTaps[3]), _mm_loadu_ps(r3 + x)));
                blurred = _mm_add_ps(blurred, _mm_mul_ps(_mm_set1_ps(kTaps[4]), _mm_loadu_ps(r4 + x)));
                const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i *>(src + x));
                const __m128 delta = _mm_mul_ps(amount, _mm_sub_ps(lumaOf(p), blurred));
                const auto moved = [&](__m128 channel) {
                    return clampedBytes(_mm_mul_ps(_mm_add_ps(_mm_div_ps(channel, full), delta), full));
                };
                _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + x),
                                 withColours(p, moved(channelOf<16>(p)), moved(channelOf<8>(p)), moved(channelOf<0>(p))));
            }
#endif
            for (; x < w; ++x) {
                float blurred = 0.0f;
                blurred += kTaps[0] * r0[x];
                blurred += kTaps[1] * r1[x];
                blurred += kTaps[2] * r2[x];
                blurred += kTaps[3] * r3[x];
                blurred += kTaps[4] * r4[x];
                const quint32 p = src[x];
                const float delta = value * (lumaOf(p) - blurred);
                const auto moved = [&](int shift) {
                    return static_cast<quint32>(toByte(static_cast<int>((p >> shift) & 0xff) / 255.0f + delta)) << shift;
                };
                dst[x] = (p & 0xff000000u) | moved(16) | moved(8) | moved(0);
            }
        }
    });
}

#if defined(__SSE2__)
// The same for four pixels of R, G, B, A lanes each, with one division for them all.
inline void writeStraightPixels(__m128 p0, __m128 p1, __m128 p2, __m128 p3, quint32 *dst)
{
    _MM_TRANSPOSE4_PS(p0, p1, p2, p3); // now red, green, blue and alpha of the four
    const __m128 straight = _mm_div_ps(_mm_set1_ps(255.0f), _mm_max_ps(p3, _mm_set1_ps(0.5f)));
    const __m128i alpha = clampedBytes(p3);
    const __m128i pixels = pixelsOf(alpha, clampedBytes(_mm_mul_ps(p0, straight)), clampedBytes(_mm_mul_ps(p1, straight)),
                                    clampedBytes(_mm_mul_ps(p2, straight)));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(dst), _mm_andnot_si128(_mm_cmpeq_epi32(alpha, _mm_setzero_si128()), pixels));
}
#endif

// Premultiplied RGBA floats in byte units back to straight 32-bit ARGB; a pixel without cover is
// transparent black.
void writeStraightPixels(const float *box, quint32 *dst, int w)
{
    int x = 0;
#if defined(__SSE2__)
    const __m128 zero = _mm_setzero_ps(), half = _mm_set1_ps(0.5f), full = _mm_set1_ps(255.0f);
    for (; x + 4 <= w; x += 4) {
        const float *v = box + static_cast<size_t>(x) * 4;
        writeStraightPixels(_mm_loadu_ps(v), _mm_loadu_ps(v + 4), _mm_loadu_ps(v + 8), _mm_loadu_ps(v + 12), dst + x);
    }
    for (; x < w; ++x) {
        // Lanes as stored: R, G, B, A; as written: B, G, R, A (little-endian ARGB).
        const __m128 v = _mm_shuffle_ps(_mm_loadu_ps(box + static_cast<size_t>(x) * 4),
                                        _mm_loadu_ps(box + static_cast<size_t>(x) * 4), _MM_SHUFFLE(3, 0, 1, 2));
        const __m128 alpha = _mm_shuffle_ps(v, v, _MM_SHUFFLE(3, 3, 3, 3));
        __m128 straight = _mm_mul_ps(v, _mm_div_ps(full, _mm_max_ps(alpha, half)));
        // Alpha itself stays as it is: only the colour lanes are scaled.
        const __m128 alphaLane = _mm_castsi128_ps(_mm_set_epi32(-1, 0, 0, 0));
        straight = _mm_or_ps(_mm_and_ps(alphaLane, v), _mm_andnot_ps(alphaLane, straight));
        // max(0, v + 0.5) with NaN giving 0, then at most 255, then truncated.
        const __m128 clamped = _mm_min_ps(_mm_max_ps(_mm_add_ps(straight, half), zero), full);
        const __m128i ints = _mm_cvttps_epi32(clamped);
        const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(ints, ints), _mm_packs_epi32(ints, ints));
        const quint32 pixel = static_cast<quint32>(_mm_cvtsi128_si32(bytes));
        dst[x] = (pixel >> 24) ? pixel : 0u;
    }
#endif
    for (; x < w; ++x) {
        const float *v = box + static_cast<size_t>(x) * 4;
        const quint32 alpha = clampedByte(v[3]);
        const float straight = 255.0f / std::max(v[3], 0.5f);
        const quint32 pixel = (alpha << 24) | (clampedByte(v[0] * straight) << 16)
            | (clampedByte(v[1] * straight) << 8) | clampedByte(v[2] * straight);
        dst[x] = alpha ? pixel : 0u;
    }
}

// A box of `whole` samples either side at full weight and the next one each side at `fraction`,
// edge samples repeated beyond the ends. The weights are applied to premultiplied colour, so that
// transparent pixels do not bleed their hidden colour into their neighbours.
void boxBlur(const QImage &in, QImage &out, float value)
{
    requireSameSize(in, out);
    if (!(value > 0.0f)) {
        copyPixels(in, out);
        return;
    }
    const int w = in.width(), h = in.height();
    // Any wider box gives every picture the same even spread; the bound keeps the counts integers.
    const float radius = std::min(value, 1e7f);
    const int whole = static_cast<int>(radius);
    const float fraction = radius - static_cast<float>(whole);
    const double norm = 2.0 * whole + 1.0 + 2.0 * fraction;
    const float invArea = static_cast<float>(1.0 / (norm * norm));
    // Columns a pixel's box reads on either side of it, the partly weighted one included.
    const int reach = static_cast<int>(std::min<qint64>(qint64(whole) + 1, w));

    // Shared out, bands of columns go down the picture side by side, each with its own rows
    // blurred across, small enough to stay in its thread's cache. Each column keeps its running sum
    // from the top, and each row's running sum across starts in the leftmost band and is handed on
    // band to band: the float sums are the ones a single thread makes, so the bytes are too. A band
    // thus follows its left neighbour down the picture; bands wide next to the box read little of
    // their neighbours' columns.
    // A band for each thread, a multiple of 16 pixels wide.
    const int threads = platform::concurrentThreads();
    const int shared = pieceSize(in, std::max({64, 2 * reach, ((w + threads - 1) / threads + 15) / 16 * 16}));
    const int bandWidth = shared > 0 ? std::min(shared, w) : w;
    const int bands = (w + bandWidth - 1) / bandWidth;
    const auto bandStart = [&](int band) { return band * bandWidth; };
    const auto bandEnd = [&](int band) { return std::min(w, (band + 1) * bandWidth); };
    // A band's pixels with the reach either side, as the blur across reads them.
    const int lineWidth = std::min(w, bandWidth + 2 * reach);

    // Rows blurred across (unnormalised, premultiplied RGBA) for the rows the vertical box needs:
    // y - whole - 1 to y + whole + 1, each kept until the box has passed it.
    const int ringRows = static_cast<int>(std::min<qint64>(2 * qint64(whole) + 3, h));
    const size_t ringFloats = static_cast<size_t>(ringRows) * bandWidth * 4;
    std::vector<float> rings(ringFloats * bands);
    std::vector<float> lines(static_cast<size_t>(lineWidth) * 4 * bands);
    // Float sums drift by well under a hundredth of a byte over a whole picture.
    std::vector<float> column(static_cast<size_t>(w) * 4);
    std::vector<float> box(static_cast<size_t>(w) * 4);
    // Each row's running sum across where one band hands it to the next, and the rows handed so far.
    std::vector<float> handedOn(static_cast<size_t>(bands - 1) * h * 4);
    // A cache line each: every band writes its count every row.
    struct alignas(64) Count {
        std::atomic<int> rows{0};
    };
    std::vector<Count> handed(static_cast<size_t>(bands));
    const Rows rows(in, out);
    // Working in place, a band's left neighbour overwrites the columns the band reads to its left
    // before the band gets there: those columns are copied first. (Its right neighbours follow it
    // and write a row only after the band has read it.)
    const auto leftColumns = [&](int band) { return std::min(reach, bandStart(band)); };
    std::vector<size_t> leftStart(static_cast<size_t>(bands) + 1, 0);
    for (int band = 0; band < bands; ++band)
        leftStart[band + 1] = leftStart[band] + (rows.inPlace() ? static_cast<size_t>(leftColumns(band)) * h : 0);
    std::vector<quint32> left(leftStart[bands]);
    for (int band = 1; band < bands && rows.inPlace(); ++band)
        for (int y = 0; y < h; ++y)
            std::memcpy(&left[leftStart[band] + static_cast<size_t>(y) * leftColumns(band)],
                        rows.source(y) + bandStart(band) - leftColumns(band), static_cast<size_t>(leftColumns(band)) * 4);

    // The sum of `count` samples of 0..count-1 with the edge samples repeated past the end; the
    // samples before 0 (whole + 1 of them, 0 included) are the first one repeated.
    const auto addStartingBox = [whole](auto *sum, int count, const auto &sample) {
        for (int c = 0; c < 4; ++c)
            sum[c] += static_cast<float>(whole + 1) * sample(0, c);
        const int inside = std::min(whole, count - 1);
        for (int k = 1; k <= inside; ++k)
            for (int c = 0; c < 4; ++c)
                sum[c] += sample(k, c);
        if (whole > inside)
            for (int c = 0; c < 4; ++c)
                sum[c] += static_cast<float>(whole - inside) * sample(count - 1, c);
    };
    // Premultiplied RGBA floats of `count` pixels.
    const auto premultiplied = [](const quint32 *src, int count, float *pixels) {
        int x = 0;
#if defined(__SSE2__)
        for (; x + 4 <= count; x += 4) {
            const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i *>(src + x));
            __m128 a = _mm_cvtepi32_ps(_mm_srli_epi32(p, 24));
            const __m128 cover = _mm_div_ps(a, _mm_set1_ps(255.0f));
            __m128 r = _mm_mul_ps(channelOf<16>(p), cover), g = _mm_mul_ps(channelOf<8>(p), cover),
                   b = _mm_mul_ps(channelOf<0>(p), cover);
            _MM_TRANSPOSE4_PS(r, g, b, a);
            _mm_storeu_ps(pixels + x * 4, r);
            _mm_storeu_ps(pixels + x * 4 + 4, g);
            _mm_storeu_ps(pixels + x * 4 + 8, b);
            _mm_storeu_ps(pixels + x * 4 + 12, a);
        }
#endif
        for (; x < count; ++x) {
            const quint32 p = src[x];
            const float alpha = static_cast<float>(static_cast<int>(p >> 24));
            const float cover = alpha / 255.0f;
            pixels[x * 4 + 0] = static_cast<float>(static_cast<int>((p >> 16) & 0xff)) * cover;
            pixels[x * 4 + 1] = static_cast<float>(static_cast<int>((p >> 8) & 0xff)) * cover;
            pixels[x * 4 + 2] = static_cast<float>(static_cast<int>(p & 0xff)) * cover;
            pixels[x * 4 + 3] = alpha;
        }
    };

    const auto goDown = [&](int band) {
        const int x0 = bandStart(band), x1 = bandEnd(band);
        const int lo = std::max(0, x0 - reach), hi = std::min(w, x1 + reach);
        float *ring = &rings[ringFloats * band];
        float *pixels = &lines[static_cast<size_t>(lineWidth) * 4 * band];
        const auto ringRow = [&](int row) {
            return ring + static_cast<size_t>(std::clamp(row, 0, h - 1) % ringRows) * bandWidth * 4;
        };

        const auto blurAcross = [&](int row) {
            const quint32 *src = rows.source(row);
            if (rows.inPlace() && lo < x0) {
                premultiplied(&left[leftStart[band] + static_cast<size_t>(row) * (x0 - lo)], x0 - lo, pixels);
                premultiplied(src + x0, hi - x0, pixels + static_cast<size_t>(x0 - lo) * 4);
            } else {
                premultiplied(src + lo, hi - lo, pixels);
            }
            const auto at = [&](int x) { return pixels + static_cast<size_t>(std::clamp(x, 0, w - 1) - lo) * 4; };
            float sum[4] = {0, 0, 0, 0};
            if (band == 0) {
                addStartingBox(sum, w, [&](int x, int c) { return at(x)[c]; });
            } else {
                // The left neighbour's part of the row comes first (it cannot throw, so it comes).
                std::atomic<int> &done = handed[band - 1].rows;
                for (int seen = done.load(std::memory_order_acquire); seen <= row; seen = done.load(std::memory_order_acquire))
                    done.wait(seen, std::memory_order_acquire);
                std::memcpy(sum, &handedOn[(static_cast<size_t>(band - 1) * h + row) * 4], sizeof sum);
            }
            float *dst = ringRow(row) - static_cast<size_t>(x0) * 4; // indexed by the picture's columns
#if defined(__SSE2__)
            // The four channels of a pixel side by side.
            __m128 running = _mm_loadu_ps(sum);
            const __m128 part = _mm_set1_ps(fraction);
            const auto slide = [&](int x, const float *before, const float *after, const float *leaving) {
                const __m128 entering = _mm_loadu_ps(after);
                _mm_storeu_ps(dst + x * 4, _mm_add_ps(running, _mm_mul_ps(part, _mm_add_ps(_mm_loadu_ps(before), entering))));
                running = _mm_add_ps(running, _mm_sub_ps(entering, _mm_loadu_ps(leaving)));
            };
#else
            const auto slide = [&](int x, const float *before, const float *after, const float *leaving) {
                for (int c = 0; c < 4; ++c) {
                    dst[x * 4 + c] = sum[c] + fraction * (before[c] + after[c]);
                    sum[c] += after[c] - leaving[c];
                }
            };
#endif
            // Only near the ends does the box reach past the row and need its edge samples repeated.
            const int firstInside = std::clamp(whole + 1, x0, x1), lastInside = std::clamp(w - whole - 1, firstInside, x1);
            for (int x = x0; x < firstInside; ++x)
                slide(x, at(x - whole - 1), at(x + whole + 1), at(x - whole));
            for (int x = firstInside; x < lastInside; ++x)
                slide(x, pixels + (x - whole - 1 - lo) * 4, pixels + (x + whole + 1 - lo) * 4, pixels + (x - whole - lo) * 4);
            for (int x = lastInside; x < x1; ++x)
                slide(x, at(x - whole - 1), at(x + whole + 1), at(x - whole));
            if (band + 1 < bands) {
#if defined(__SSE2__)
                _mm_storeu_ps(sum, running);
#endif
                std::memcpy(&handedOn[(static_cast<size_t>(band) * h + row) * 4], sum, sizeof sum);
                handed[band].rows.store(row + 1, std::memory_order_release);
                handed[band].rows.notify_one();
            }
        };

        int ready = -1; // rows blurred across so far
        const auto blurAcrossUpTo = [&](int row) {
            for (const int last = std::min(row, h - 1); ready < last;)
                blurAcross(++ready);
        };
        const size_t i0 = static_cast<size_t>(x0) * 4, i1 = static_cast<size_t>(x1) * 4;
        blurAcrossUpTo(whole + 1);
        for (size_t i = i0; i < i1; i += 4)
            addStartingBox(&column[i], h, [&](int row, int c) { return ringRow(row)[i - i0 + c]; });
        for (int y = 0; y < h; ++y) {
            blurAcrossUpTo(y + whole + 1);
            // Indexed by the picture's columns, as `column` is.
            const float *above = ringRow(y - whole - 1) - i0, *below = ringRow(y + whole + 1) - i0;
            // Slide the box down one row: the row leaving it is still in the ring, the row entering
            // it has been blurred across.
            const float *leaving = ringRow(y - whole) - i0, *entering = ringRow(y + whole + 1) - i0;
            quint32 *dst = rows.target(y);
            int x = x0;
#if defined(__SSE2__)
            // Four pixels at a time from registers, the box and the slide in one pass.
            const __m128 part = _mm_set1_ps(fraction), scale = _mm_set1_ps(invArea);
            for (; x + 4 <= x1; x += 4) {
                __m128 v[4];
                for (int k = 0; k < 4; ++k) {
                    const size_t i = static_cast<size_t>(x + k) * 4;
                    const __m128 sum = _mm_loadu_ps(&column[i]);
                    v[k] = _mm_mul_ps(_mm_add_ps(sum, _mm_mul_ps(part, _mm_add_ps(_mm_loadu_ps(above + i), _mm_loadu_ps(below + i)))),
                                      scale);
                    _mm_storeu_ps(&column[i], _mm_add_ps(sum, _mm_sub_ps(_mm_loadu_ps(entering + i), _mm_loadu_ps(leaving + i))));
                }
                writeStraightPixels(v[0], v[1], v[2], v[3], dst + x);
            }
#endif
            const size_t rest = static_cast<size_t>(x) * 4;
            for (size_t i = rest; i < i1; ++i)
                box[i] = (column[i] + fraction * (above[i] + below[i])) * invArea;
            writeStraightPixels(&box[rest], dst + x, x1 - x);
            for (size_t i = rest; i < i1; ++i)
                column[i] += entering[i] - leaving[i];
        }
    };
    sideBySide(bands, goDown);
}

// Radii of three box blurs whose succession approximates a Gaussian of deviation `sigma`.
std::array<int, 3> boxRadiiForGauss(double sigma)
{
    constexpr int passes = 3;
    const double ideal = std::sqrt(12.0 * sigma * sigma / passes + 1.0);
    int lower = static_cast<int>(std::floor(ideal));
    if (lower % 2 == 0)
        --lower;
    const int upper = lower + 2;
    const double m = (12.0 * sigma * sigma - passes * lower * lower - 4.0 * passes * lower - 3.0 * passes)
                     / (-4.0 * lower - 4.0);
    const int lowerCount = static_cast<int>(std::lround(m));
    std::array<int, 3> radii{};
    for (int i = 0; i < passes; ++i)
        radii[i] = ((i < lowerCount ? lower : upper) - 1) / 2;
    return radii;
}

// Runs a kernel into a new picture of the input's size.
template <typename Kernel>
QImage intoNewPicture(const QImage &image, Kernel kernel)
{
    if (image.isNull())
        return image;
    const QImage in = converted(image, QImage::Format_ARGB32);
    QImage out = newLike(in, QImage::Format_ARGB32);
    kernel(in, out);
    return out;
}

} // namespace

// --- Single steps ----------------------------------------------------------------------------

QImage ImageProcesser::GrayScale(const QImage &image)
{
    failWhenAsked("GrayScale");
    return intoNewPicture(image, [](const QImage &in, QImage &out) { applyMatrix(in, out, grayScaleMatrix()); });
}

QImage ImageProcesser::Sepia(const QImage &image)
{
    failWhenAsked("Sepia");
    return intoNewPicture(image, [](const QImage &in, QImage &out) { applyMatrix(in, out, sepiaMatrix()); });
}

QImage ImageProcesser::Invert_Color(const QImage &image)
{
    failWhenAsked("Invert_Color");
    return intoNewPicture(image, [](const QImage &in, QImage &out) { applyTable(in, out, invertTable()); });
}

QImage ImageProcesser::adjust_Hue(const QImage &image, float hue)
{
    failWhenAsked("adjust_Hue");
    return intoNewPicture(image, [=](const QImage &in, QImage &out) { applyMatrix(in, out, hueMatrix(hue)); });
}

QImage ImageProcesser::adjust_Color_Control(const QImage &image, float sat, float brt, float con)
{
    failWhenAsked("adjust_Color_Control");
    return intoNewPicture(image, [=](const QImage &in, QImage &out) {
        applyMatrix(in, out, colourControlMatrix(sat, brt, con));
    });
}

QImage ImageProcesser::adjust_Sharpness(const QImage &image, float value)
{
    failWhenAsked("adjust_Sharpness");
    return intoNewPicture(image, [=](const QImage &in, QImage &out) { sharpen(in, out, value); });
}

QImage ImageProcesser::adjust_boxBlur(const QImage &image, float value)
{
    failWhenAsked("adjust_boxBlur");
    return intoNewPicture(image, [=](const QImage &in, QImage &out) { boxBlur(in, out, value); });
}

QImage ImageProcesser::gaussianBlur(const QImage &image, double sigma)
{
    if (!(sigma >= 0.2) || image.isNull())
        return image;
    return intoNewPicture(image, [sigma](const QImage &in, QImage &out) {
        copyPixels(in, out);
        for (const int r : boxRadiiForGauss(sigma))
            if (r > 0)
                boxBlur(out, out, static_cast<float>(r));
    });
}

QImage ImageProcesser::adjust_EV(const QImage &image, float value)
{
    failWhenAsked("adjust_EV");
    return intoNewPicture(image, [=](const QImage &in, QImage &out) { applyTable(in, out, exposureTable(value)); });
}

QImage ImageProcesser::adjust_Gamma(const QImage &image, float value)
{
    failWhenAsked("adjust_Gamma");
    ByteTable table;
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<uchar>(toByte(std::pow(i / 255.0f, value)));
    return intoNewPicture(image, [&](const QImage &in, QImage &out) { applyTable(in, out, table); });
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

void ImageProcesser::cutPicturesForTesting(int pieceSize)
{
    g_pieceSizeForTesting.store(pieceSize, std::memory_order_relaxed);
}

// --- The chain -------------------------------------------------------------------------------

bool ImageProcesser::runPixelSteps(QImage &p, bool owned, const Image_Effect_Settings &s, const StepFailure &onFailure,
                                   bool premultiply)
{
    bool premultiplied = false;
    // A failing step leaves the picture as it was before it; the chain goes on.
    const auto step = [&](const char *name, auto &&kernel) {
        try {
            failWhenAsked(name);
            if (owned) {
                kernel(p, p);
            } else {
                QImage out = newLike(p, QImage::Format_ARGB32);
                kernel(p, out);
                p = out;
                owned = true;
            }
        } catch (const std::exception &e) {
            onFailure(QString::fromLatin1(name), QString::fromLocal8Bit(e.what()));
        }
    };
    if (s.grayscale)
        step("GrayScale", [](const QImage &in, QImage &out) { applyMatrix(in, out, grayScaleMatrix()); });
    if (s.sepia)
        step("Sepia", [](const QImage &in, QImage &out) { applyMatrix(in, out, sepiaMatrix()); });
    if (s.invrtclr)
        step("Invert_Color", [](const QImage &in, QImage &out) { applyTable(in, out, invertTable()); });
    step("adjust_Hue", [&](const QImage &in, QImage &out) { applyMatrix(in, out, hueMatrix(s.hue)); });
    step("adjust_Color_Control", [&](const QImage &in, QImage &out) {
        applyMatrix(in, out, colourControlMatrix(s.sat, s.brt, s.con));
    });
    step("adjust_Sharpness", [&](const QImage &in, QImage &out) { sharpen(in, out, s.sharpness); });
    step("adjust_boxBlur", [&](const QImage &in, QImage &out) { boxBlur(in, out, s.blur); });
    // The last colour step also premultiplies, ready for drawing, instead of a pass of its own.
    step("adjust_EV", [&](const QImage &in, QImage &out) {
        applyTable(in, out, exposureTable(s.exposure), premultiply);
        premultiplied = premultiply;
    });
    return premultiplied;
}

QImage ImageProcesser::runChain(const QImage &image, const Image_Effect_Settings &s, const StepFailure &onFailure)
{
    if (image.isNull())
        return QImage();
    QImage p;
    try {
        p = converted(image, QImage::Format_ARGB32);
        // p is the chain's own picture when the conversion made one; later steps overwrite it in place.
        const bool owned = p.constBits() != image.constBits();
        const bool premultiplied = runPixelSteps(p, owned, s, onFailure, true);
        if (premultiplied && !p.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied))
            throw std::runtime_error("the picture could not be prepared for drawing");
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

void ImageProcesser::reportFailures(const QStringList &failed, QString *error)
{
    if (failed.isEmpty())
        return;
    Show_NSLog_Message(QStringLiteral("Picture effects failed and were left out: ") + failed.join(QStringLiteral("; ")));
    if (error)
        *error = failed.join(QLatin1Char('\n'));
}

QImage ImageProcesser::Get_Processed_Image(const QImage &image, const Image_Effect_Settings &settings,
                                           QString *error)
{
    QStringList failed;
    QImage result = runChain(image, settings, [&](const QString &step, const QString &reason) {
        failed << QStringLiteral("%1: %2").arg(step, reason);
    });
    reportFailures(failed, error);
    return result;
}

void ImageProcesser::applyStepsInPlace(QImage &picture, const Image_Effect_Settings &settings, QString *error)
{
    if (picture.isNull())
        return;
    if (picture.format() != QImage::Format_ARGB32)
        picture = converted(picture, QImage::Format_ARGB32);
    QStringList failed;
    runPixelSteps(picture, true, settings, [&](const QString &step, const QString &reason) {
        failed << QStringLiteral("%1: %2").arg(step, reason);
    }, false);
    reportFailures(failed, error);
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
    // Neutral settings change no pixel: a picture that draws fast as it is is drawn as it is,
    // without a copy through the chain.
    if (settings.changesNoPixel() &&
        (image.format() == QImage::Format_ARGB32_Premultiplied || image.format() == QImage::Format_RGB32))
        return image;
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
