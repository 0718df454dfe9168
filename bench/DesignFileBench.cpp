// Saving and opening a design of 1,000 objects of every kind: the file's data alone, and through the
// design window's Save and Open (building the file from the window, reading, resetting, placing) for
// designs of mixed objects, of a bound sheet and of large flat pictures, with how far a save raises
// the process's peak memory, how the window weighs the work and the GUI thread's longest block; the
// second argument 1 sends even small designs through the worker and its waiting sheet, as large ones
// go, and 2 sends any design to the GUI thread, as small ones go. The CPU figures are of the whole
// process, the thread pool's helpers included, but for gui_cpu_ms, the GUI thread's own. Last, saving
// a design that holds a camera's photo of 8000 x 6000 pixels as its main photo.

#include "BenchSupport.h"
#include "core/AppState.h"
#include "core/ImageCategories.h"
#include "core/ImageProcesser.h"
#include "document/DesignFile.h"
#include "document/SKTDocument.h"
#include "datasource/Data_From_Excel.h"
#include "document/SKTGraphicKinds.h"
#include "window/SKTWindowController.h"
#include "window/WindowState.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <limits>
#include <memory>

namespace {

constexpr int kObjectCount = 1000;

QTemporaryDir &workFolder()
{
    static QTemporaryDir folder;
    return folder;
}

// A flat PNG named `name` in the work folder, written once for the run.
QString flatPng(const char *name, const QSize &size, QImage::Format format, const QColor &colour)
{
    const QString path = workFolder().filePath(QLatin1String(name));
    if (!QFile::exists(path)) {
        QImage picture(size, format);
        picture.fill(colour);
        picture.save(path, "PNG");
    }
    return path;
}

QString pictureFile()
{
    return flatPng("picture.png", QSize(64, 48), QImage::Format_RGB32, QColor(90, 140, 200));
}

// Shapes, lines, texts, pictures from a file, signatures and barcodes in turn.
GraphicList mixedGraphics(qsizetype count)
{
    static const char *const kinds[] = {"Shape_Control", "SKTLine",      "SKTText",
                                        "SKTImage",      "SKTSignature", "SKTBarcode"};
    static const char *const shapes[] = {"R", "C", "RR", "T", "D", "S", "DS", "P"};
    QImage bars(120, 60, QImage::Format_RGB32);
    bars.fill(Qt::white);
    GraphicList graphics;
    for (int i = 0; i < int(count); ++i) {
        SKTGraphicPtr g = SKTGraphic::graphicWithClassName(QLatin1String(kinds[i % 6]));
        g->_bounds = QRectF(i % 40 * 6, i / 40 * 6, 50, 30);
        g->_fillColor = QColor::fromHsv(i * 7 % 360, 180, 220);
        g->control_ID = QStringLiteral("object %1").arg(i);
        switch (g->kind()) {
        case SKTGraphic::Kind::Shape:
            g->_shape_type = QLatin1String(shapes[i % 8]);
            break;
        case SKTGraphic::Kind::Text:
            g->Text_contents().string = QStringLiteral("Guest number %1").arg(i);
            break;
        case SKTGraphic::Kind::Image:
            g->_file_path = pictureFile();
            break;
        case SKTGraphic::Kind::Barcode:
            g->_barcode_image = bars;
            g->Text_Value = QStringLiteral("%1").arg(100000 + i);
            break;
        default:
            break;
        }
        graphics << g;
    }
    return graphics;
}

DesignFileContents mixedDesign(qsizetype count = kObjectCount)
{
    DesignFileContents design;
    const GraphicList graphics = mixedGraphics(count);
    design.frontGraphics = graphics.mid(0, count / 2);
    design.backGraphics = graphics.mid(count / 2);
    design.Main_Photo_image = QImage(pictureFile());
    design.excelColumnTitles = {QStringLiteral("#"), QStringLiteral("Name")};
    return design;
}

void BM_DesignFileData(benchmark::State &state)
{
    const DesignFileContents design = mixedDesign();
    // Saving is reproducible: the count is of bytes every save of this design gives.
    const QByteArray reference = DesignFile::data(design);
    QByteArray data;
    for (auto _ : state) {
        data = DesignFile::data(design);
        benchmark::DoNotOptimize(data.constData());
    }
    if (data != reference)
        state.SkipWithError("saving the same design twice gave different bytes");
    state.counters["bytes"] = static_cast<double>(reference.size());
}
BENCHMARK(BM_DesignFileData)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

void BM_DesignFileRead(benchmark::State &state)
{
    const QByteArray data = DesignFile::data(mixedDesign());
    for (auto _ : state) {
        const std::optional<DesignFileContents> design = DesignFile::read(data);
        if (!design || design->frontGraphics.size() + design->backGraphics.size() != kObjectCount) {
            state.SkipWithError("the design did not come back");
            return;
        }
        benchmark::DoNotOptimize(design->frontGraphics.constData());
    }
}
BENCHMARK(BM_DesignFileRead)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

// Weighing the opening of a file: its pictures' sizes from their headers, its archives' base64 decoded.
void BM_DesignFileWorkOfFile(benchmark::State &state)
{
    const QByteArray data = DesignFile::data(mixedDesign());
    for (auto _ : state)
        benchmark::DoNotOptimize(DesignFile::workOfFile(data).pixels);
    state.counters["file_MiB"] = double(data.size()) / (1024 * 1024);
}
BENCHMARK(BM_DesignFileWorkOfFile)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

// Files built to make the estimate slow: one JPEG whose comments each begin with a JPEG's signature,
// and 2.4 MiB of one format's signature over and over, in a binary list or a text list's data tags.
QByteArray hostileFile(int which)
{
    static const QByteArray units[] = {
        QByteArray("\xff\xd8\xff", 3),
        QByteArray("GIF89a\1\0\1\0\0\0\0", 13),
        QByteArray("II*\0\x08\0\0\0", 8),
        QByteArray("RIFF\x16\0\0\0WEBPVP8 \x0a\0\0\0\0\0\0\x9d\x01\x2a\1\0\1\0", 30),
        QByteArray("BM\0\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\1\0\0\0\1\0\0\0\1\0\x18\0", 30) + QByteArray(24, '\0'),
    };
    constexpr qsizetype kSize = 2400 * 1024;
    if (which < 3) { // a JPEG of 1,000, 2,000 or 4,000 comments
        QByteArray jpeg("\xff\xd8", 2);
        for (int i = 0; i < (1000 << which); ++i)
            jpeg += QByteArray("\xff\xfe\0\x07\xff\xd8\xff\0\0", 9);
        jpeg += QByteArray("\xff\xc0\0\x0b\x08\0\x30\0\x40\x01\x01\x11\0\xff\xd9", 15);
        return "<plist><array><data>" + jpeg.toBase64() + "</data></array></plist>";
    }
    const QByteArray &unit = units[(which - 3) / 2];
    QByteArray body;
    while (body.size() < kSize)
        body += unit;
    return (which - 3) % 2 ? "<plist><array><data>" + body.toBase64() + "</data></array></plist>" : "bplist00" + body;
}

const char *const kHostileNames[] = {"jpeg_1000_comments", "jpeg_2000_comments", "jpeg_4000_comments",
                                     "jpeg_bplist", "jpeg_text", "gif_bplist", "gif_text", "tiff_bplist",
                                     "tiff_text", "webp_bplist", "webp_text", "bmp_bplist", "bmp_text"};

void BM_DesignFileWorkOfHostileFile(benchmark::State &state)
{
    const QByteArray data = hostileFile(int(state.range(0)));
    DesignFile::Work work;
    for (auto _ : state)
        benchmark::DoNotOptimize(work = DesignFile::workOfFile(data));
    state.SetLabel(kHostileNames[state.range(0)]);
    state.counters["file_MiB"] = double(data.size()) / (1024 * 1024);
    state.counters["to_worker"] = work.weight() >= DesignFile::kDirectWork;
}
BENCHMARK(BM_DesignFileWorkOfHostileFile)->DenseRange(0, 12)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

// A design window whose start wizard goes on at once, as if the user had chosen a blank card.
class BenchWindow : public SKTWindowController {
protected:
    int runStartWizard() override { return 1; }
};

// What a window scene holds: `size` mixed objects; a bound sheet of `size` rows of 30 columns and six
// shapes; eight pictures without files, carried by the design, flat, of `size` thousand pixels each;
// or `size` picture objects naming one PNG of 11500 × 11500 pixels.
enum class Holding { Objects, Sheet, Pictures, NamedPictures };

// A flat PNG of 11500 × 11500 pixels, 8-bit RGBA, written once for the run.
QString largePng()
{
    return flatPng("large.png", QSize(11500, 11500), QImage::Format_ARGB32, QColor(200, 120, 40));
}

// The design window with the design on its sides, as the user would save and open it.
class WindowScene {
public:
    WindowScene(Holding holding, qsizetype size)
    {
        qputenv("CARD_RESOURCE_PATH", (workFolder().path() + QStringLiteral("/Resources")).toLocal8Bit());
        window = std::make_unique<BenchWindow>();
        window->setDocument(&document);
        window->window();
        DesignFileContents design = mixedDesign(holding == Holding::Objects ? size : 0);
        if (holding == Holding::Sheet) {
            QStringList titles;
            QList<QStringList> cells(size);
            for (int c = 1; c <= 30; ++c) {
                titles << QStringLiteral("Title %1").arg(c);
                for (qsizetype r = 0; r < size; ++r)
                    cells[r] << QStringLiteral("Row %1 column %2").arg(r + 1).arg(c);
            }
            Data_From_Excel::defaultInstance()->bind(titles, cells);
            for (int i = 0; i < 6; ++i)
                design.frontGraphics << std::make_shared<Shape_Control>();
        } else if (holding == Holding::Pictures) {
            const int edge = int(std::sqrt(double(size) * 1000));
            for (int i = 0; i < 8; ++i) {
                QImage flat(edge, edge, QImage::Format_RGB32);
                flat.fill(QColor::fromHsv(i * 40, 120, 230));
                design.frontGraphics << std::make_shared<SKTImage>(QPointF(10 * i, 10), flat);
            }
        } else if (holding == Holding::NamedPictures) {
            const QString named = largePng();
            for (qsizetype i = 0; i < size; ++i) {
                auto picture = std::make_shared<SKTImage>();
                picture->_file_path = named;
                picture->_bounds = QRectF(5 * i, 10, 60, 60);
                design.frontGraphics << picture;
            }
        }
        objects = design.frontGraphics.size() + design.backGraphics.size();
        document.graphics().insertGraphics(design.frontGraphics,
                                           platform::IndexSet::range(0, static_cast<int>(design.frontGraphics.size())));
        document.graphics_back().insertGraphics(
            design.backGraphics, platform::IndexSet::range(0, static_cast<int>(design.backGraphics.size())));
        window->setMain_Photo_image(design.Main_Photo_image);
        path = workFolder().path() + QStringLiteral("/design.zkse");
    }
    ~WindowScene()
    {
        window.reset();
        Data_From_Excel::defaultInstance()->bind({}, {});
        App().reset();
    }

    qsizetype objects = 0;
    SKTDocument document;
    std::unique_ptr<SKTWindowController> window;
    QString path;
};

// The longest the GUI thread went without serving its event loop during some work, on average over
// the works measured: a timer due every millisecond notes when it gets its turn, and the work's
// start and end count as turns.
class BlockMeter {
public:
    BlockMeter()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { turn(); });
    }
    template <typename Work>
    auto measure(Work &&work)
    {
        m_clock.start();
        m_last = 0;
        m_longest = 0;
        m_timer.start();
        const qint64 cpu = threadCpuNs();
        auto result = work();
        m_cpuSum += threadCpuNs() - cpu;
        turn();
        m_timer.stop();
        m_sum += m_longest;
        ++m_works;
        return result;
    }
    double longestMs() const { return m_works ? double(m_sum) / m_works / 1e6 : 0.0; }
    // The GUI thread's own CPU time in the work, on average: what it did, whatever else the machine ran.
    double cpuMs() const { return m_works ? double(m_cpuSum) / m_works / 1e6 : 0.0; }

private:
    void turn()
    {
        const qint64 now = m_clock.nsecsElapsed();
        m_longest = std::max(m_longest, now - m_last);
        m_last = now;
    }

    QTimer m_timer;
    QElapsedTimer m_clock;
    static qint64 threadCpuNs()
    {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
    }

    qint64 m_last = 0, m_longest = 0, m_sum = 0, m_cpuSum = 0;
    int m_works = 0;
};

// The file's bytes, how the window weighs its opening, and the GUI thread's longest block.
void reportBlock(benchmark::State &state, const WindowScene &scene, const BlockMeter &meter)
{
    QFile file(scene.path);
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    const DesignFile::Work work = DesignFile::workOfFile(bytes);
    state.counters["file_MiB"] = double(bytes.size()) / (1024 * 1024);
    state.counters["open_weight_MiB"] = double(work.weight()) / (1024 * 1024);
    state.counters["gui_block_ms"] = meter.longestMs();
    state.counters["gui_cpu_ms"] = meter.cpuMs();
}

// The second argument: 0 where the window's estimate sends the work, 1 on a worker, 2 on the GUI thread.
void setWhere(SKTWindowController &window, qint64 where)
{
    if (where)
        window.directWorkBytes = where == 1 ? 0 : std::numeric_limits<qint64>::max();
}

void windowSave(benchmark::State &state, Holding holding)
{
    WindowScene scene(holding, state.range(0));
    setWhere(*scene.window, state.range(1));
    const double before = peakMiB(true);
    BlockMeter meter;
    for (auto _ : state) {
        App().Project_File_Name = scene.path;
        if (!meter.measure([&] { return scene.window->Save_project_file(false, false); })) {
            state.SkipWithError("the design was not saved");
            return;
        }
    }
    state.counters["peak_rise_MiB"] = peakMiB(false) - before;
    const DesignFile::Work work = DesignFile::workOf(scene.window->designFileContents());
    state.counters["save_weight_MiB"] = double(work.weight()) / (1024 * 1024);
    reportBlock(state, scene, meter);
}

void windowOpen(benchmark::State &state, Holding holding)
{
    WindowScene scene(holding, state.range(0));
    setWhere(*scene.window, state.range(1));
    App().Project_File_Name = scene.path;
    if (!scene.window->Save_project_file(false, false)) {
        state.SkipWithError("the design was not saved");
        return;
    }
    const double before = peakMiB(true);
    BlockMeter meter;
    for (auto _ : state) {
        if (meter.measure([&] { return scene.window->Read_and_load_design_Log(scene.path, QStringLiteral("L")); }) != 1 ||
            scene.document.graphics().count() + scene.document.graphics_back().count() != scene.objects) {
            state.SkipWithError("the design did not open");
            return;
        }
    }
    state.counters["peak_rise_MiB"] = peakMiB(false) - before;
    reportBlock(state, scene, meter);
}

// Mixed objects: 1,000 and 2,000 of them; designs just under and just over the threshold (360 and
// 420 objects, about 2.5 MiB of work); and the largest of plain objects a user reported (2,950
// objects, 16 MiB of file), where it goes and on the GUI thread.
void BM_WindowSave(benchmark::State &state) { windowSave(state, Holding::Objects); }
BENCHMARK(BM_WindowSave)->ArgsProduct({{1000, 2000}, {0, 1}})->Args({360, 0})->Args({420, 0})->Args({2950, 0})->Args({2950, 2})
    ->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

void BM_WindowOpen(benchmark::State &state) { windowOpen(state, Holding::Objects); }
BENCHMARK(BM_WindowOpen)->ArgsProduct({{1000, 2000}, {0, 1}})->Args({360, 0})->Args({420, 0})->Args({2950, 0})->Args({2950, 2})
    ->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

// A bound sheet of 1,200 and 1,500 rows of 30 columns (just under and over the threshold) and of 9,800
// (18 MB of file).
void BM_WindowSaveSheet(benchmark::State &state) { windowSave(state, Holding::Sheet); }
BENCHMARK(BM_WindowSaveSheet)->ArgsProduct({{1200, 1500, 9800}, {0}})->Args({9800, 2})->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

void BM_WindowOpenSheet(benchmark::State &state) { windowOpen(state, Holding::Sheet); }
BENCHMARK(BM_WindowOpenSheet)->ArgsProduct({{1200, 1500, 9800}, {0}})->Args({9800, 2})->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

// Eight flat pictures of 0.3 megapixels each (just under the threshold) and of 31.4 (a file of about
// 1 MiB that holds 251 megapixels).
void BM_WindowSavePictures(benchmark::State &state) { windowSave(state, Holding::Pictures); }
BENCHMARK(BM_WindowSavePictures)->ArgsProduct({{300, 31400}, {0}})->Args({31400, 2})->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

void BM_WindowOpenPictures(benchmark::State &state) { windowOpen(state, Holding::Pictures); }
BENCHMARK(BM_WindowOpenPictures)->ArgsProduct({{300, 31400}, {0}})->Args({31400, 2})->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

// A camera's photo of 8000 x 6000 pixels, a JPEG of about 14 MB: a smooth scene with the grain of a
// sensor in every channel, so that it compresses as a photo does.
QString cameraPhoto()
{
    const QString path = workFolder().path() + QStringLiteral("/camera.jpg");
    if (!QFile::exists(path)) {
        QImage photo(8000, 6000, QImage::Format_RGB32);
        quint32 seed = 2026;
        for (int y = 0; y < photo.height(); ++y) {
            auto *row = reinterpret_cast<QRgb *>(photo.scanLine(y));
            for (int x = 0; x < photo.width(); ++x) {
                seed = seed * 1664525u + 1013904223u;
                const int grain = int(seed >> 27) - 16;
                const auto channel = [&](int base) { return std::clamp(base + grain, 0, 255); };
                row[x] = qRgb(channel(40 + x / 40), channel(60 + y / 30), channel(200 - (x + y) / 80));
            }
        }
        photo.save(path, "JPEG", 88);
    }
    return path;
}

// Saving a design that holds the camera's photo, as the main photo of the wizard: the first save
// (first_save_s) and those after it; the argument 1 sets effects on the photo just before the first.
void BM_WindowSavePhoto(benchmark::State &state)
{
    WindowScene scene(Holding::Objects, 0);
    const QString photo = cameraPhoto();
    WindowState &win = Win();
    win.IMG_gray_Scale = state.range(0) == 1;
    scene.window->Update_frame_Main_Photo_And_Path(photo, true);
    App().Project_File_Name = scene.path;
    QElapsedTimer first;
    first.start();
    if (!scene.window->Save_project_file(false, false)) {
        state.SkipWithError("the design was not saved");
        return;
    }
    state.counters["first_save_s"] = double(first.nsecsElapsed()) / 1e9;
    for (auto _ : state)
        if (!scene.window->Save_project_file(false, false)) {
            state.SkipWithError("the design was not saved");
            return;
        }
    state.counters["file_MiB"] = double(QFileInfo(scene.path).size()) / (1024 * 1024);
    state.counters["photo_MiB"] = double(QFileInfo(photo).size()) / (1024 * 1024);
    win.IMG_gray_Scale = false;
}
BENCHMARK(BM_WindowSavePhoto)->DenseRange(0, 1)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

// The file's data for a design of that photo, with effects (grey scale) or without: argument 1 as
// earlier saves wrote it, compressing the photo as PNG at every save; 0 with the bytes kept for it.
void BM_DesignFilePhotoData(benchmark::State &state)
{
    QByteArray file;
    const QImage photo = loadPictureAndFile(cameraPhoto(), file);
    Image_Effect_Settings grey;
    grey.grayscale = true;
    DesignFileContents design;
    design.Main_Photo_image = state.range(0) ? ImageProcesser::Get_Processed_Image(photo, grey) : photo;
    if (!state.range(1))
        design.Main_Photo_bytes = StoredPictureBytes::forPicture(design.Main_Photo_image, file, !state.range(0));
    design.Main_Photo_bytes.bytes(); // encoded when the effects were set, before any save
    QByteArray data;
    for (auto _ : state)
        benchmark::DoNotOptimize(data = DesignFile::data(design));
    state.counters["file_MiB"] = double(data.size()) / (1024 * 1024);
    state.counters["photo_MiB"] = double(file.size()) / (1024 * 1024);
}
BENCHMARK(BM_DesignFilePhotoData)->ArgsProduct({{0, 1}, {0, 1}})->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

// 50 picture objects naming one PNG of 11500 × 11500 pixels (a design of a few hundred KB): where the
// window's estimate sends the open.
void BM_WindowOpenNamedPictures(benchmark::State &state) { windowOpen(state, Holding::NamedPictures); }
BENCHMARK(BM_WindowOpenNamedPictures)->Args({50, 0})->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

} // namespace
