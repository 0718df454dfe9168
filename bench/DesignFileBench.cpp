// Saving and opening a design of 1,000 objects of every kind: the file's data alone, and through the
// design window's Save and Open (building the file from the window, reading, resetting, placing) for
// 1,000 and 2,000 objects, with how far a save raises the process's peak memory; the second argument 1
// sends even these small designs through the worker and its waiting sheet, as large ones go. The CPU figures are
// of the whole process, the thread pool's helpers included.

#include "BenchSupport.h"
#include "core/AppState.h"
#include "document/DesignFile.h"
#include "document/SKTDocument.h"
#include "document/SKTGraphicKinds.h"
#include "window/SKTWindowController.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kObjectCount = 1000;

QTemporaryDir &workFolder()
{
    static QTemporaryDir folder;
    return folder;
}

QString pictureFile()
{
    const QString path = workFolder().path() + QStringLiteral("/picture.png");
    if (!QFile::exists(path)) {
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(QColor(90, 140, 200));
        picture.save(path, "PNG");
    }
    return path;
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

// A design window whose start wizard goes on at once, as if the user had chosen a blank card.
class BenchWindow : public SKTWindowController {
protected:
    int runStartWizard() override { return 1; }
};

// The design window with the design on its sides, as the user would save and open it.
class WindowScene {
public:
    explicit WindowScene(qsizetype count) : objects(count)
    {
        qputenv("CARD_RESOURCE_PATH", (workFolder().path() + QStringLiteral("/Resources")).toLocal8Bit());
        window = std::make_unique<BenchWindow>();
        window->setDocument(&document);
        window->window();
        const DesignFileContents design = mixedDesign(count);
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
        App().reset();
    }

    qsizetype objects;
    SKTDocument document;
    std::unique_ptr<SKTWindowController> window;
    QString path;
};

void BM_WindowSave(benchmark::State &state)
{
    WindowScene scene(state.range(0));
    if (state.range(1))
        scene.window->directWorkBytes = 0;
    const double before = peakMiB(true);
    for (auto _ : state) {
        App().Project_File_Name = scene.path;
        if (!scene.window->Save_project_file(false, false)) {
            state.SkipWithError("the design was not saved");
            return;
        }
    }
    state.counters["peak_rise_MiB"] = peakMiB(false) - before;
}
BENCHMARK(BM_WindowSave)->ArgsProduct({{1000, 2000}, {0, 1}})->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

void BM_WindowOpen(benchmark::State &state)
{
    WindowScene scene(state.range(0));
    if (state.range(1))
        scene.window->directWorkBytes = 0;
    App().Project_File_Name = scene.path;
    if (!scene.window->Save_project_file(false, false)) {
        state.SkipWithError("the design was not saved");
        return;
    }
    for (auto _ : state) {
        if (scene.window->Read_and_load_design_Log(scene.path, QStringLiteral("L")) != 1 ||
            scene.document.graphics().count() + scene.document.graphics_back().count() != scene.objects) {
            state.SkipWithError("the design did not open");
            return;
        }
    }
}
BENCHMARK(BM_WindowOpen)->ArgsProduct({{1000, 2000}, {0, 1}})->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

} // namespace
