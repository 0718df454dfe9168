#include "platform/PictureScaling.h"

#include "platform/ConcurrentFor.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <atomic>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

namespace platform {

namespace {

// Source pixels are read at most this many at a time, converted when the passes cannot read their
// format; target columns are made at most kMostColumns at a time. Both bound the buffers.
constexpr qint64 kPiecePixels = 16 * 1024;
constexpr qint64 kMostColumns = 4096;
// The most source pixels a target pixel covers on a side for 16-bit weights, summed in 32 bits, to
// keep an area average's precision; a longer box (a strip of millions) is summed in 64 bits.
constexpr qint64 kMostNarrowRatio = 128;

// Weights add up to 1 << bits a target pixel, so that an average is a rounded shift. A narrow box
// weighs in 14 bits and keeps 6 below a channel's unit between the passes; a wide one 40 and 8.
struct Precision {
    int bits, kept;
};
constexpr Precision kNarrow{14, 6}, kWide{40, 8};

// The source pixels a target pixel covers on a side of `from` shrunk to `to`: the first and the
// last perhaps in part, those between whole.
struct Span {
    qint64 first, last;
    quint64 firstWeight, middleWeight, lastWeight;

    quint64 weight(qint64 i) const { return i == first ? firstWeight : i == last ? lastWeight : middleWeight; }
};

Span spanOf(qint64 from, qint64 to, qint64 j, int bits)
{
    // In units of which a source pixel has `to` and a target pixel `from`.
    const qint64 begin = j * from, end = begin + from;
    Span span{begin / to, (end - 1) / to, quint64(1) << bits, 0, 0};
    if (span.first == span.last)
        return span;
    const auto share = [&](qint64 units) { return quint64((unsigned __int128)units << bits) / quint64(from); };
    // Shares rounded down: the last takes what they leave, so the weights add up exactly.
    span.firstWeight = share((span.first + 1) * to - begin);
    span.middleWeight = share(to);
    span.lastWeight = (quint64(1) << bits) - span.firstWeight - quint64(span.last - span.first - 1) * span.middleWeight;
    return span;
}

// Narrow spans as the pass across reads them: each `width` 16-bit weights from where it begins in
// the pixels read for a piece of work, as many for every span so that no span's length is a branch.
// A span near the end begins earlier, with zeros before its weights, to read nothing past the end.
struct Taps {
    qint64 width = 0;
    std::vector<quint32> offsets;
    std::vector<qint16> weights;
    // For 32-bit pixels: each two weights as _mm_madd_epi16 takes them, in every lane.
    struct alignas(16) Pair {
        qint32 lanes[4];
    };
    std::vector<Pair> pairs;

    Taps(const std::vector<Span> &spans, qint64 begin, qint64 end)
    {
        for (const Span &span : spans)
            width = std::max(width, span.last - span.first + 1);
        offsets.reserve(spans.size());
        weights.assign(spans.size() * size_t(width), 0);
        for (size_t j = 0; j < spans.size(); ++j) {
            const Span &span = spans[j];
            const qint64 offset = std::min(span.first - begin, end - begin - width);
            offsets.push_back(quint32(offset));
            for (qint64 i = span.first; i <= span.last; ++i)
                weights[j * size_t(width) + size_t(i - begin - offset)] = qint16(span.weight(i));
        }
    }

    void pair()
    {
        const qint64 perSpan = (width + 1) / 2;
        pairs.resize(offsets.size() * size_t(perSpan));
        for (size_t j = 0; j < offsets.size(); ++j)
            for (qint64 k = 0; k < width; k += 2) {
                const qint16 *w = weights.data() + j * size_t(width) + k;
                const qint32 pair = quint16(w[0]) | (k + 1 < width ? quint16(w[1]) << 16 : 0);
                pairs[j * size_t(perSpan) + size_t(k / 2)] = {{pair, pair, pair, pair}};
            }
    }
};

// The source's rows in the format the passes read (8-bit grey, or 32-bit premultiplied), a piece of
// at most kPiecePixels at a time: read where they are when already so, else converted.
class SourcePixels {
public:
    SourcePixels(const QImage &source, bool grey) : m_source(source), m_grey(grey)
    {
        const QImage::Format format = source.format();
        m_work = grey ? QImage::Format_Grayscale8 : source.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
        if (format == m_work || (!grey && (format == QImage::Format_RGB32 || format == QImage::Format_ARGB32_Premultiplied)))
            m_way = Direct;
        else if (format == QImage::Format_Indexed8)
            m_way = Palette;
        else if (format == QImage::Format_ARGB32 && !grey)
            m_way = Premultiplied;
        else
            m_way = Converted;
        if (m_way == Palette) {
            // An index past the table is black, as Qt converts it.
            std::fill(std::begin(m_palette), std::end(m_palette), qRgb(0, 0, 0));
            const QList<QRgb> colours = source.colorTable();
            for (qsizetype i = 0; i < std::min<qsizetype>(256, colours.size()); ++i)
                m_palette[size_t(i)] = qPremultiply(colours[i]);
        }
        if (m_way == Palette || m_way == Premultiplied)
            m_buffer.resize(size_t(kPiecePixels) * (grey ? 1 : 4));
    }

    // Pixels x0 ≤ x < x1 of row y, no more than kPiecePixels; null when they cannot be converted.
    const uchar *pixels(qint64 y, qint64 x0, qint64 x1)
    {
        const uchar *row = m_source.constBits() + y * m_source.bytesPerLine();
        switch (m_way) {
        case Direct:
            return row + x0 * (m_grey ? 1 : 4);
        case Palette:
            if (m_grey) {
                for (qint64 x = x0; x < x1; ++x)
                    m_buffer[size_t(x - x0)] = uchar(qRed(m_palette[row[x]]));
            } else {
                auto *out = reinterpret_cast<QRgb *>(m_buffer.data());
                for (qint64 x = x0; x < x1; ++x)
                    out[x - x0] = m_palette[row[x]];
            }
            return m_buffer.data();
        case Premultiplied: {
            const auto *in = reinterpret_cast<const QRgb *>(row);
            auto *out = reinterpret_cast<QRgb *>(m_buffer.data());
            for (qint64 x = x0; x < x1; ++x)
                out[x - x0] = qPremultiply(in[x]);
            return m_buffer.data();
        }
        case Converted:
            break;
        }
        // A block of rows as wide as asked is converted at once, so that a narrow strip is not
        // converted a row at a time.
        if (m_block.isNull() || x0 != m_blockX0 || x1 != m_blockX1 || y < m_blockY0 || y >= m_blockY0 + m_block.height()) {
            const qint64 rows = std::clamp<qint64>(kPiecePixels / (x1 - x0), 1, m_source.height() - y);
            m_block = QImage();
            m_block = m_source.copy(int(x0), int(y), int(x1 - x0), int(rows)).convertToFormat(m_work);
            if (m_block.isNull())
                return nullptr;
            m_blockX0 = x0, m_blockX1 = x1, m_blockY0 = y;
        }
        return m_block.constScanLine(int(y - m_blockY0));
    }

private:
    enum Way { Direct, Palette, Premultiplied, Converted };
    const QImage &m_source;
    bool m_grey;
    QImage::Format m_work;
    Way m_way;
    QRgb m_palette[256] = {};
    std::vector<uchar> m_buffer;
    QImage m_block;
    qint64 m_blockX0 = 0, m_blockX1 = 0, m_blockY0 = 0;
};

void acrossNarrow(const uchar *pixels, const Taps &taps, quint16 *out)
{
    constexpr int shift = kNarrow.bits - kNarrow.kept;
    const qint64 width = taps.width, count = qint64(taps.offsets.size());
    const qint16 *weights = taps.weights.data();
    for (qint64 j = 0; j < count; ++j, weights += width) {
        const uchar *p = pixels + taps.offsets[size_t(j)];
        quint32 sum = 0;
        for (qint64 k = 0; k < width; ++k)
            sum += p[k] * quint32(weights[k]);
        out[j] = quint16((sum + (1u << (shift - 1))) >> shift);
    }
}

#if defined(__SSE2__)
// Two pixels' channels as 16-bit halves of 32-bit lanes, first pixel low, for _mm_madd_epi16.
inline __m128i pairOf(quint32 a, quint32 b)
{
    const __m128i bytes = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(a)), _mm_cvtsi32_si128(int(b)));
    return _mm_unpacklo_epi8(bytes, _mm_setzero_si128());
}

// A row of 32-bit pixels averaged across, narrow spans: 16-bit channels of `kNarrow.kept` bits below their unit.
void acrossNarrow(const quint32 *pixels, const Taps &taps, quint16 *out)
{
    constexpr int shift = kNarrow.bits - kNarrow.kept;
    const __m128i half = _mm_set1_epi32(1 << (shift - 1));
    const qint64 width = taps.width, count = qint64(taps.offsets.size());
    const auto *pairs = reinterpret_cast<const __m128i *>(taps.pairs.data());
    for (qint64 j = 0; j < count; ++j) {
        const quint32 *p = pixels + taps.offsets[size_t(j)];
        __m128i sum = _mm_setzero_si128();
        qint64 k = 0;
        for (; k + 1 < width; k += 2)
            sum = _mm_add_epi32(sum, _mm_madd_epi16(pairOf(p[k], p[k + 1]), *pairs++));
        if (k < width)
            sum = _mm_add_epi32(sum, _mm_madd_epi16(pairOf(p[k], 0), *pairs++));
        const __m128i channels = _mm_srli_epi32(_mm_add_epi32(sum, half), shift);
        _mm_storel_epi64(reinterpret_cast<__m128i *>(out + 4 * j), _mm_packs_epi32(channels, channels));
    }
}

// Adds `weight` times a row of 16-bit channels to the sums of a target row; `lanes` a multiple of 8.
void addNarrow(quint32 *sums, const quint16 *row, qint64 lanes, quint64 weight)
{
    const __m128i w = _mm_set1_epi16(short(weight));
    for (qint64 k = 0; k < lanes; k += 8) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i *>(row + k));
        const __m128i low = _mm_mullo_epi16(x, w), high = _mm_mulhi_epu16(x, w);
        auto *sum = reinterpret_cast<__m128i *>(sums + k);
        _mm_storeu_si128(sum, _mm_add_epi32(_mm_loadu_si128(sum), _mm_unpacklo_epi16(low, high)));
        _mm_storeu_si128(sum + 1, _mm_add_epi32(_mm_loadu_si128(sum + 1), _mm_unpackhi_epi16(low, high)));
    }
}

void finishNarrow(const quint32 *sums, qint64 lanes, uchar *out)
{
    constexpr int shift = kNarrow.bits + kNarrow.kept;
    const __m128i half = _mm_set1_epi32(1 << (shift - 1));
    for (qint64 k = 0; k < lanes; k += 8) {
        const auto *sum = reinterpret_cast<const __m128i *>(sums + k);
        const __m128i a = _mm_srli_epi32(_mm_add_epi32(_mm_loadu_si128(sum), half), shift);
        const __m128i b = _mm_srli_epi32(_mm_add_epi32(_mm_loadu_si128(sum + 1), half), shift);
        const __m128i words = _mm_packs_epi32(a, b);
        _mm_storel_epi64(reinterpret_cast<__m128i *>(out + k), _mm_packus_epi16(words, words));
    }
}

#else
// The same sums one channel at a time, where there is no SSE2.
void acrossNarrow(const quint32 *pixels, const Taps &taps, quint16 *out)
{
    constexpr int shift = kNarrow.bits - kNarrow.kept;
    const qint64 width = taps.width, count = qint64(taps.offsets.size());
    const qint16 *weights = taps.weights.data();
    for (qint64 j = 0; j < count; ++j, weights += width) {
        const quint32 *p = pixels + taps.offsets[size_t(j)];
        for (int c = 0; c < 4; ++c) {
            qint32 sum = 0;
            for (qint64 k = 0; k < width; ++k)
                sum += qint32((p[k] >> (8 * c)) & 0xFF) * weights[k];
            out[4 * j + c] = quint16(std::min<qint32>((sum + (1 << (shift - 1))) >> shift, 32767));
        }
    }
}

void addNarrow(quint32 *sums, const quint16 *row, qint64 lanes, quint64 weight)
{
    for (qint64 k = 0; k < lanes; ++k)
        sums[k] += quint32(row[k]) * quint32(weight);
}

void finishNarrow(const quint32 *sums, qint64 lanes, uchar *out)
{
    constexpr int shift = kNarrow.bits + kNarrow.kept;
    for (qint64 k = 0; k < lanes; ++k)
        out[k] = uchar(std::min<quint32>((sums[k] + (1u << (shift - 1))) >> shift, 255));
}
#endif

// Everything a piece of work shares: which target rows and columns it makes is told by its index.
struct Job {
    const QImage &source;
    qint64 targetWidth, targetHeight;
    bool grey, narrow;
    qint64 columns, chunks, bands; // target columns a piece makes, pieces across, bands down
    uchar *out;
    qsizetype outStride;
};

// The piece of work `index`: a band of target rows by a chunk of target columns, which reads the
// source rows and columns it covers itself.
bool shrinkPiece(const Job &job, qint64 index)
{
    const qint64 sw = job.source.width(), sh = job.source.height(), tw = job.targetWidth, th = job.targetHeight;
    const qint64 band = index / job.chunks, chunk = index % job.chunks;
    const qint64 c0 = chunk * job.columns, c1 = std::min(tw, c0 + job.columns), t0 = band * th / job.bands,
                 t1 = (band + 1) * th / job.bands;
    const int channels = job.grey ? 1 : 4, pixelBytes = channels;
    const qint64 lanes = (c1 - c0) * channels, padded = (lanes + 7) / 8 * 8;
    const Precision precision = job.narrow ? kNarrow : kWide;

    std::vector<Span> spans;
    spans.reserve(size_t(c1 - c0));
    for (qint64 j = c0; j < c1; ++j)
        spans.push_back(spanOf(sw, tw, j, precision.bits));
    const qint64 x0 = spans.front().first, x1 = spans.back().last + 1;
    Taps taps = job.narrow ? Taps(spans, x0, x1) : Taps({}, 0, 0);
    if (job.narrow && !job.grey)
        taps.pair();
    SourcePixels source(job.source, job.grey);
    std::vector<quint16> across(static_cast<size_t>(padded));
    std::vector<quint32> narrowSums(job.narrow ? size_t(padded) : 0);
    std::vector<quint64> wideSums(job.narrow ? 0 : size_t(padded)), wideAcross(job.narrow ? 0 : size_t(channels));
    std::vector<uchar> line(static_cast<size_t>(padded));

    // Averages source row y across into `across`.
    const auto averageAcross = [&](qint64 y) {
        if (job.narrow) {
            const uchar *pixels = source.pixels(y, x0, x1);
            if (!pixels)
                return false;
            if (job.grey)
                acrossNarrow(pixels, taps, across.data());
            else
                acrossNarrow(reinterpret_cast<const quint32 *>(pixels), taps, across.data());
            return true;
        }
        // A wide span may run past one piece: its pixels are read a piece at a time.
        const uchar *piece = nullptr;
        qint64 pieceBegin = 0, pieceEnd = 0;
        const int shift = precision.bits - precision.kept;
        for (size_t j = 0; j < spans.size(); ++j) {
            const Span &span = spans[j];
            std::fill(wideAcross.begin(), wideAcross.end(), 0);
            for (qint64 i = span.first; i <= span.last; ++i) {
                if (i >= pieceEnd) {
                    pieceBegin = i, pieceEnd = std::min(x1, i + kPiecePixels);
                    if (!(piece = source.pixels(y, pieceBegin, pieceEnd)))
                        return false;
                }
                const uchar *pixel = piece + (i - pieceBegin) * pixelBytes;
                const quint64 weight = span.weight(i);
                for (int c = 0; c < channels; ++c)
                    wideAcross[size_t(c)] += weight * pixel[c];
            }
            for (int c = 0; c < channels; ++c)
                across[j * size_t(channels) + size_t(c)] = quint16((wideAcross[size_t(c)] + (quint64(1) << (shift - 1))) >> shift);
        }
        return true;
    };

    qint64 averaged = -1; // the source row `across` holds
    for (qint64 t = t0; t < t1; ++t) {
        const Span down = spanOf(sh, th, t, precision.bits);
        std::fill(narrowSums.begin(), narrowSums.end(), 0);
        std::fill(wideSums.begin(), wideSums.end(), 0);
        for (qint64 y = down.first; y <= down.last; ++y) {
            const quint64 weight = down.weight(y);
            if (weight == 0)
                continue;
            if (y != averaged) {
                if (!averageAcross(y))
                    return false;
                averaged = y;
            }
            if (job.narrow) {
                addNarrow(narrowSums.data(), across.data(), padded, weight);
            } else {
                for (qint64 k = 0; k < lanes; ++k)
                    wideSums[size_t(k)] += weight * across[size_t(k)];
            }
        }
        if (job.narrow) {
            finishNarrow(narrowSums.data(), padded, line.data());
        } else {
            const int shift = precision.bits + precision.kept;
            for (qint64 k = 0; k < lanes; ++k)
                line[size_t(k)] = uchar((wideSums[size_t(k)] + (quint64(1) << (shift - 1))) >> shift);
        }
        std::memcpy(job.out + t * job.outStride + c0 * pixelBytes, line.data(), size_t(lanes));
    }
    return true;
}

bool isGrey(const QImage &picture)
{
    if (picture.hasAlphaChannel())
        return false;
    switch (picture.format()) {
    case QImage::Format_Grayscale8:
    case QImage::Format_Grayscale16:
        return true;
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
    case QImage::Format_Indexed8:
        // Its colours are in its table: no pixel need be looked at.
        return !picture.colorTable().isEmpty() && picture.allGray();
    default:
        return false;
    }
}

// The buffers one piece of work takes at most, conversion of a piece included: its spans, its sums
// and its row of averages, and a piece of source pixels as they are and converted.
constexpr qint64 kPieceWorkBytes = kMostColumns * qint64(sizeof(Span) + sizeof(quint32)) + kPiecePixels * 2 * (2 + 16) + (kMostColumns * 4 + 8) * (2 + 8 + 1) +
                                   kPiecePixels * (16 + 4 + 4 + 4);

} // namespace

qint64 pictureBytes(const QSize &size, int depth)
{
    const qint64 row = (std::max(0, size.width()) * qint64(depth) + 31) / 32 * 4;
    qint64 bytes;
    return __builtin_mul_overflow(row, qint64(std::max(0, size.height())), &bytes) ? std::numeric_limits<qint64>::max() : bytes;
}

qint64 shrinkingBytes(const QSize &target, bool grey)
{
    const qint64 picture = pictureBytes(target, grey ? 8 : 32);
    return picture == std::numeric_limits<qint64>::max() ? picture : picture + kPieceWorkBytes * concurrentThreads();
}

QImage shrunkPicture(const QImage &source, const QSize &size)
{
    const qint64 sw = source.width(), sh = source.height(), tw = size.width(), th = size.height();
    if (source.isNull() || size.isEmpty() || tw > sw || th > sh)
        return {};
    try {
        const bool grey = isGrey(source);
        QImage out(size, grey ? QImage::Format_Grayscale8
                              : source.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
        if (out.isNull())
            return {};
        const bool narrow = sw <= kMostNarrowRatio * tw && sh <= kMostNarrowRatio * th;
        // A narrow chunk's source pixels are read in one piece.
        const qint64 ratio = (sw + tw - 1) / tw,
                     columns = narrow ? std::min(kMostColumns, (kPiecePixels - 2) / ratio) : kMostColumns,
                     chunks = (tw + columns - 1) / columns;
        // A few bands a thread, so that threads that start late or run slower share the work.
        const qint64 bands = std::clamp<qint64>(16 * concurrentThreads() / chunks, 1, th);
        const Job job{source, tw, th, grey, narrow, columns, chunks, bands, out.bits(), out.bytesPerLine()};
        std::atomic<bool> failed{false};
        concurrentFor(chunks * bands, [&](qsizetype index) {
            if (!failed.load(std::memory_order_relaxed) && !shrinkPiece(job, index))
                failed = true;
        });
        if (failed)
            return {};
        return out;
    } catch (const std::bad_alloc &) {
        return {};
    }
}

} // namespace platform
