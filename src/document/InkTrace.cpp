#include "document/InkTrace.h"

#include <QHash>
#include <QList>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// How far a pixel may sit off the blend between ground and ink, per channel of 255.
constexpr int kTolerance = 24;

struct Run {
    int left, right; // [left, right)
    bool operator==(const Run &other) const { return left == other.left && right == other.right; }
};

size_t qHash(const Run &run, size_t seed = 0)
{
    return ::qHash((qint64(run.left) << 32) | quint32(run.right), seed);
}

} // namespace

InkTrace InkTrace::of(const QImage &picture)
{
    if (picture.isNull())
        return {};
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int width = image.width(), height = image.height();
    const QRgb ground = image.pixel(0, 0);
    const auto channels = [](QRgb pixel) {
        return std::array<int, 4>{qRed(pixel), qGreen(pixel), qBlue(pixel), qAlpha(pixel)};
    };
    const auto g = channels(ground);
    // The ink is the pixel farthest from the ground.
    QRgb ink = ground;
    long farthest = 0;
    int left = width, right = -1, top = height, bottom = -1;
    // A row like the one above it holds nothing new: symbols repeat their rows many times over.
    const auto sameAsAbove = [&image, width](int y) {
        return y > 0 && std::memcmp(image.constScanLine(y), image.constScanLine(y - 1), size_t(width) * 4) == 0;
    };
    for (int y = 0; y < height; ++y) {
        if (sameAsAbove(y)) {
            bottom = bottom == y - 1 ? y : bottom;
            continue;
        }
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            if (row[x] == ground) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = y;
            }
            if (qAlpha(row[x]) == 0 || row[x] == ground || row[x] == ink)
                continue;
            const auto p = channels(row[x]);
            long distance = 0;
            for (int c = 0; c < 4; ++c)
                distance += long(p[c] - g[c]) * (p[c] - g[c]);
            if (distance > farthest) {
                farthest = distance;
                ink = row[x];
            }
        }
    }
    if (farthest == 0)
        return {};
    const auto k = channels(ink);
    QHash<Run, int> open, next; // runs of the row above, by where they started
    InkTrace trace;
    const auto close = [&](const Run &run, int top, int bottom) {
        trace.ink.append(QRect(run.left, top, run.right - run.left, bottom - top));
    };
    for (int y = 0; y < height; ++y) {
        if (sameAsAbove(y))
            continue; // every run goes on
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        next.clear();
        int start = -1;
        for (int x = 0; x <= width; ++x) {
            bool inked = false;
            // Clear pixels (a picture's fractional edge) are neither; the ground covers them.
            if (x < width && row[x] == ink) {
                inked = true;
            } else if (x < width && row[x] != ground && qAlpha(row[x]) != 0) {
                const auto p = channels(row[x]);
                long along = 0;
                for (int c = 0; c < 4; ++c)
                    along += long(p[c] - g[c]) * (k[c] - g[c]);
                const double t = std::clamp(double(along) / double(farthest), 0.0, 1.0);
                for (int c = 0; c < 4; ++c)
                    if (std::abs(p[c] - (g[c] + t * (k[c] - g[c]))) > kTolerance)
                        return {}; // a third colour: not a symbol on its ground
                inked = t >= 0.5;
            }
            if (inked && start < 0)
                start = x;
            if (!inked && start >= 0) {
                const Run run{start, x};
                next.insert(run, open.contains(run) ? open.take(run) : y);
                start = -1;
            }
        }
        for (auto it = open.cbegin(); it != open.cend(); ++it)
            close(it.key(), it.value(), y);
        open.swap(next);
    }
    for (auto it = open.cbegin(); it != open.cend(); ++it)
        close(it.key(), it.value(), height);
    trace.inkColour = QColor::fromRgba(qUnpremultiply(ink));
    trace.groundColour = QColor::fromRgba(qUnpremultiply(ground));
    trace.groundArea = QRect(QPoint(left, top), QPoint(right, bottom));
    trace.pixels = image.size();
    trace.sourceKey = picture.cacheKey();
    return trace;
}
