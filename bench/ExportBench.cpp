#include "output/PictureExport.h"

#include "BenchSupport.h"
#include "BoundCard.h"

#include "barcode/BarcodeGenerator.h"
#include "barcode/BarcodeSettings.h"
#include "canvas/SKTRenderingView.h"
#include "core/FontNames.h"
#include "core/ImageEffectCache.h"
#include "datasource/RecordBinding.h"
#include "document/SKTBarcode.h"
#include "document/SKTImage.h"
#include "document/SKTText.h"
#include "platform/ConcurrentFor.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <atomic>
#include <ctime>
#include <sys/resource.h>
#include <cmath>
#include <fstream>
#include <string>

// A batch export of a typical bound card at 300 dpi as PNG: two texts, a Code 128 and a QR code bound
// to the record, and a 12-megapixel photo with effects. The whole run (record loop, pool, files) is
// set against the same pictures made and encoded one after another with no loop, divided by the
// pool's threads; and the run's peak memory against the number of records, and against the size of
// the first record's photo where every record brings a camera photo of its own.

namespace {

constexpr double kDpi = 300.0;
QImage twelveMegapixelPhoto()
{
    QImage image(4000, 3000, QImage::Format_ARGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 4000, 3000);
    sky.setColorAt(0, QColor(90, 140, 220));
    sky.setColorAt(1, QColor(230, 170, 90));
    painter.fillRect(image.rect(), sky);
    painter.setBrush(QColor(40, 120, 60));
    for (int i = 0; i < 40; ++i)
        painter.drawEllipse(QPointF((i * 977) % 4000, (i * 613) % 3000), 150 + i * 7, 120 + i * 5);
    return image;
}

DesignSnapshot typicalCard()
{
    auto photo = std::make_shared<SKTImage>(QPointF(), twelveMegapixelPhoto());
    photo->_bounds = QRectF(8, 8, 60, 80);
    photo->sat_val = 1.3f;
    photo->con_val = 1.1f;
    photo->Sepia = true;
    photo->blr_val = 2.0f;
    // As a user lays the card out: every symbol inside the card and clear of the others, whose
    // white ground would hide it; the Code 128 at 10 mils, since at 20 it is wider than the card.
    SKTGraphicPtr code = boundBarcode(QStringLiteral("Code 128"), QStringLiteral("Code"), QRectF(6, 92, 1, 1));
    code->linear_width_val = 10;
    showSymbol(*code, codeOf(0));
    SKTGraphicPtr link = boundBarcode(QStringLiteral("QR Code"), QStringLiteral("Link"), QRectF(158, 52, 1, 1));
    showSymbol(*link, linkOf(0));
    const GraphicList front{boundText(QStringLiteral("Name"), QRectF(72, 8, 150, 22), 16),
                            boundText(QStringLiteral("Title"), QRectF(72, 30, 150, 18), 10), code, link, photo};
    DesignSnapshot design;
    design.front.graphics = front;
    design.frame = kCard;
    return design;
}

// CPU seconds of the calling thread, and of the whole process.
double threadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// One picture made and encoded with no loop: a copy of the side, the record's values, drawing, PNG.
QByteArray oneRecord(const DesignSnapshot &design, int record)
{
    GraphicList copies = DesignSnapshot::copyOf(design.front.graphics);
    applyRecord(record, copies);
    const QImage picture =
        Card_Side_Image(std::make_shared<const SKTRenderingView>(design.frame, copies, design.front.face,
                                                                 design.cardShape, design.resources))
            .toImage(kDpi);
    return PictureExport::encodePicture(picture, QStringLiteral("x.png"));
}

const DesignSnapshot &design()
{
    static const DesignSnapshot card = [] {
        DesignSnapshot made = typicalCard();
        // Drawn once as a run does first, so that the photo's effects are made once for all.
        Card_Side_Image(std::make_shared<const SKTRenderingView>(made, 0)).toImage(kDpi);
        return made;
    }();
    return card;
}

// Seconds one picture takes made and encoded on one thread, with no loop around it: by the clock,
// and in CPU time (the machine may be shared, so the clock alone can mislead).
struct PictureCost {
    double wall = 0, cpu = 0;
};
const PictureCost &costPerPicture()
{
    static const PictureCost cost = [] {
        constexpr int kPictures = 24;
        oneRecord(design(), 0);
        QElapsedTimer timer;
        timer.start();
        const double cpu = threadCpuSeconds();
        for (int record = 0; record < kPictures; ++record)
            benchmark::DoNotOptimize(oneRecord(design(), record));
        return PictureCost{timer.nsecsElapsed() / 1e9 / kPictures, (threadCpuSeconds() - cpu) / kPictures};
    }();
    return cost;
}
double secondsPerPicture()
{
    return costPerPicture().wall;
}

void BM_PictureWithoutLoop(benchmark::State &state)
{
    int record = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(oneRecord(design(), record++));
    state.counters["ms_per_picture"] = secondsPerPicture() * 1000;
    state.counters["cpu_ms_per_picture"] = costPerPicture().cpu * 1000;
    state.counters["effect_cache_misses"] = double(ImageEffectCache::sharedInstance().missCount());
}
BENCHMARK(BM_PictureWithoutLoop)->Unit(benchmark::kMillisecond)->Iterations(16);

// The whole batch: files written into a fresh folder, the pool drawing records side by side.
void BM_BatchExport(benchmark::State &state)
{
    const int records = int(state.range(0));
    const double ideal = records * secondsPerPicture() / platform::concurrentThreads();
    const quint64 missesBefore = ImageEffectCache::sharedInstance().missCount();
    double seconds = 0, peak = 0, before = 0, cpu = 0;
    for (auto _ : state) {
        QTemporaryDir folder;
        std::atomic<int> total{0};
        std::atomic<double> current{0};
        std::atomic<bool> stop{false};
        before = peakMiB(true);
        QElapsedTimer timer;
        timer.start();
        const double cpuBefore = processCpuSeconds();
        const ExportReport report = PictureExport::Export_Batch_File(
            design(), ExportChoice{QStringLiteral("F"), false, QStringLiteral("PNG"), kDpi}, folder.path(), records,
            applyRecord, RunCounters{&total, &current, &stop});
        seconds = timer.nsecsElapsed() / 1e9;
        cpu = processCpuSeconds() - cpuBefore;
        peak = peakMiB(false);
        if (!report.succeeded())
            state.SkipWithError(report.message().toUtf8().constData());
    }
    state.counters["records_per_s"] = records / seconds;
    state.counters["ms_per_record"] = seconds * 1000 / records;
    state.counters["ratio_to_ideal"] = seconds / ideal;
    // CPU the run spent per record against the picture alone: the loop's own cost, whatever the load.
    state.counters["cpu_ratio"] = cpu / (records * costPerPicture().cpu);
    state.counters["peak_MiB"] = peak;
    state.counters["resident_before_MiB"] = before;
    state.counters["threads"] = platform::concurrentThreads();
    state.counters["effect_runs"] = double(ImageEffectCache::sharedInstance().missCount() - missesBefore);
}
BENCHMARK(BM_BatchExport)->Arg(200)->Arg(1000)->Arg(5000)->Arg(20000)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

// 24 records of one photo each, bound to a sheet's column: 8000 × 6000 camera photos, the first record's
// the same (argument 0) or a picture of 1 × 1 (argument 1). The peak should not follow the first record.
void BM_BatchExportPhotos(benchmark::State &state)
{
    static QTemporaryDir folder;
    const QString big = folder.path() + QStringLiteral("/big.jpg"), tiny = folder.path() + QStringLiteral("/tiny.png");
    if (!QFile::exists(big)) {
        QImage photo(8000, 6000, QImage::Format_RGB32);
        QPainter painter(&photo);
        painter.fillRect(photo.rect(), QLinearGradient(0, 0, 8000, 6000));
        painter.end();
        photo.save(big, "JPEG", 90);
        QImage dot(1, 1, QImage::Format_RGB32);
        dot.fill(Qt::red);
        dot.save(tiny, "PNG");
    }
    auto picture = std::make_shared<SKTImage>();
    picture->binding.data_source_type = 2; // a sheet's column
    picture->binding.excel_col_indx = 1;
    picture->_bounds = QRectF(8, 8, 120, 90);
    DesignSnapshot card;
    card.front.graphics = {picture};
    card.frame = kCard;
    QList<QVariantMap> rows;
    for (int record = 0; record < 24; ++record)
        rows.append({{QStringLiteral("Column1"), record == 0 && state.range(0) == 1 ? tiny : big}});
    const auto binding = std::make_shared<const RecordBinding>(RecordBinding::load(card.front.graphics, {}, rows));
    const RecordApplier apply = applierOf(binding);
    double peak = 0;
    for (auto _ : state) {
        QTemporaryDir out;
        std::atomic<int> total{0};
        std::atomic<double> current{0};
        std::atomic<bool> stop{false};
        const double before = peakMiB(true);
        const ExportReport report = PictureExport::Export_Batch_File(
            card, ExportChoice{QStringLiteral("F"), false, QStringLiteral("PNG"), 72}, out.path(), int(rows.size()), apply,
            RunCounters{&total, &current, &stop});
        peak = peakMiB(false) - before;
        if (!report.succeeded())
            state.SkipWithError(report.message().toUtf8().constData());
    }
    state.counters["peak_rise_MiB"] = peak;
    state.counters["threads"] = platform::concurrentThreads();
}
BENCHMARK(BM_BatchExportPhotos)->Arg(0)->Arg(1)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

} // namespace
