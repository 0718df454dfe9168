#include "platform/PictureReading.h"
#include "platform/PictureScaling.h"

#include <QImage>
#include <benchmark/benchmark.h>

#include "BenchSupport.h"

// A picture decoded whole at 12000 × 9000, scaled to the size a reading keeps of it: ours against
// Qt's smooth scaler, on the same picture of each format a decoder gives.
namespace {

const QSize kSource(12000, 9000);

QImage decodedPicture(QImage::Format format)
{
    QImage picture(kSource, format);
    if (format == QImage::Format_Indexed8) {
        QList<QRgb> colours;
        for (int i = 0; i < 256; ++i)
            colours.append(qRgb(i, (i * 7) & 255, 255 - i));
        picture.setColorTable(colours);
    }
    // Gradients and a little noise, so that no row is like the next.
    Lcg random;
    const int bytes = picture.depth() / 8;
    for (int y = 0; y < picture.height(); ++y) {
        uchar *row = picture.scanLine(y);
        const uint noise = uint(random.next() * 255);
        for (int x = 0; x < picture.width(); ++x) {
            const uint value = uint(x * 255 / kSource.width()) ^ (noise + uint(y)) ^ uint(x * 13);
            if (bytes == 1)
                row[x] = uchar(value);
            else
                reinterpret_cast<QRgb *>(row)[x] =
                    format == QImage::Format_ARGB32_Premultiplied
                        ? qPremultiply(qRgba(int(value & 255), int(y & 255), int((value >> 3) & 255), int((x + y) & 255)))
                        : qRgba(int(value & 255), int(y & 255), int((value >> 3) & 255), int((x + y) & 255));
        }
    }
    return picture;
}

void scaled(benchmark::State &state, QImage::Format format, bool ours)
{
    const QImage source = decodedPicture(format);
    const QSize target = platform::pictureSizeRead(kSource);
    for (auto _ : state) {
        QImage picture = ours ? platform::shrunkPicture(source, target)
                              : source.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        benchmark::DoNotOptimize(picture.constBits());
    }
}

} // namespace

// Both run on the thread pool: the CPU time is the whole process's, beside the wall time.
#define SCALED(name, format)                                                                                           \
    BENCHMARK_CAPTURE(scaled, name, format, true)                                                                     \
        ->Name("shrunkPicture/" #name)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();        \
    BENCHMARK_CAPTURE(scaled, name, format, false)                                                                    \
        ->Name("QtSmoothScaled/" #name)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()

SCALED(grey, QImage::Format_Grayscale8);
SCALED(palette, QImage::Format_Indexed8);
SCALED(rgb32, QImage::Format_RGB32);
SCALED(argb32Premultiplied, QImage::Format_ARGB32_Premultiplied);
SCALED(argb32, QImage::Format_ARGB32);
