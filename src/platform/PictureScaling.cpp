#include "platform/PictureScaling.h"

#include <algorithm>
#include <vector>

namespace platform {

namespace {

// Where a pixel of a side of `from` pixels falls in a side of `to` (no more): the pixel of `to` it
// begins in and how much of that one it covers, in units of which a pixel of `from` has `to` and one
// of `to` has `from`; the rest of it covers the next.
struct Share {
    qint64 into;
    quint64 weight;
};

std::vector<Share> shares(qint64 from, qint64 to, qint64 begin, qint64 end)
{
    std::vector<Share> result;
    result.reserve(size_t(end - begin));
    for (qint64 i = begin; i < end; ++i) {
        const qint64 into = i * to / from;
        result.push_back({into, quint64(std::min((into + 1) * from, (i + 1) * to) - i * to)});
    }
    return result;
}

void add(quint64 *sum, QRgb pixel, quint64 weight)
{
    sum[0] += quint64(qRed(pixel)) * weight;
    sum[1] += quint64(qGreen(pixel)) * weight;
    sum[2] += quint64(qBlue(pixel)) * weight;
    sum[3] += quint64(qAlpha(pixel)) * weight;
}

} // namespace

QImage shrunkPicture(const QImage &source, const QSize &size)
{
    const QImage::Format format = source.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    QImage out(size, format);
    if (out.isNull() || source.isNull())
        return {};
    const qint64 sw = source.width(), sh = source.height(), tw = std::min<qint64>(size.width(), sw),
                 th = std::min<qint64>(size.height(), sh);
    if (tw != size.width() || th != size.height())
        return {};
    // Each pixel made weighs its sources by the share of it they cover: the weights add up to
    // sw × sh.
    const quint64 whole = quint64(sw) * quint64(sh), half = whole / 2;
    const std::vector<Share> rows = shares(sh, th, 0, sh);
    constexpr qint64 kBand = 4096, kBlockPixels = 64 * 1024;
    for (qint64 tx0 = 0; tx0 < tw; tx0 += kBand) {
        const qint64 tx1 = std::min(tw, tx0 + kBand), sx0 = tx0 * sw / tw, sx1 = std::min(sw, (tx1 * sw + tw - 1) / tw);
        const qint64 width = tx1 - tx0, sourceWidth = sx1 - sx0;
        std::vector<Share> columns = shares(sw, tw, sx0, sx1);
        // A column's first share outside the band is left out; so is its second, past the band's end.
        std::vector<quint64> line(size_t((width + 2) * 4)), sums(size_t(width * 8));
        quint64 *const row = line.data() + 4, *const current = sums.data(), *const next = current + width * 4;
        qint64 ty = 0;
        const auto finishRow = [&] {
            auto *pixels = reinterpret_cast<QRgb *>(out.scanLine(int(ty))) + tx0;
            for (qint64 x = 0; x < width; ++x) {
                const quint64 *sum = current + x * 4;
                pixels[x] = qRgba(int((sum[0] + half) / whole), int((sum[1] + half) / whole), int((sum[2] + half) / whole),
                                  int((sum[3] + half) / whole));
            }
            std::copy(next, next + width * 4, current);
            std::fill(next, next + width * 4, 0);
            ++ty;
        };
        const qint64 blockRows = std::max<qint64>(1, kBlockPixels / sourceWidth);
        for (qint64 sy0 = 0; sy0 < sh; sy0 += blockRows) {
            const QImage block =
                source.copy(int(sx0), int(sy0), int(sourceWidth), int(std::min(blockRows, sh - sy0))).convertToFormat(format);
            for (int by = 0; by < block.height(); ++by) {
                const Share down = rows[size_t(sy0 + by)];
                while (ty < down.into)
                    finishRow();
                std::fill(line.begin(), line.end(), 0);
                const auto *pixels = reinterpret_cast<const QRgb *>(block.constScanLine(by));
                const Share *across = columns.data();
                for (qint64 i = 0; i < sourceWidth; ++i) {
                    // The line has a spare pixel each side of the band for shares that fall outside it.
                    const qint64 x = across[i].into - tx0;
                    quint64 *sum = row + std::clamp<qint64>(x, -1, width) * 4;
                    add(sum, pixels[i], across[i].weight);
                    if (const quint64 rest = quint64(tw) - across[i].weight)
                        add(row + std::clamp<qint64>(x + 1, -1, width) * 4, pixels[i], rest);
                }
                const quint64 upper = down.weight, lower = quint64(th) - down.weight;
                for (qint64 k = 0; k < width * 4; ++k) {
                    current[k] += row[k] * upper;
                    next[k] += row[k] * lower;
                }
            }
        }
        while (ty < th)
            finishRow();
    }
    return out;
}

} // namespace platform
