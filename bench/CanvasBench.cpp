#include "canvas/ui/SKTGraphicView.h"

#include "canvas/SKTGrid.h"
#include "core/AppState.h"
#include "core/DesignWindowHub.h"
#include "document/Card_Property.h"
#include "document/SKTDocument.h"
#include "document/Shape_Control.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include <memory>

namespace {

constexpr int kShapeCount = 500;
constexpr int kSelectedEvery = 10; // 50 of the 500
const QSizeF kCanvasPoints(1000, 800);

// The canvas asks the design window for little while painting and dragging.
class BenchHub : public DesignWindowHub {
public:
    void Refresh_Canvas() override {}
    QPointF Control_New_Point(const QString &) override { return {10, 10}; }
    QRectF frontCanvasBounds() const override { return QRectF(QPointF(0, 0), kCanvasPoints); }
    void setAlignWithGridButtonEnabled(bool) override {}
    void Show_RHS_Properties(SKTGraphic *) override {}
    int Selected_Control_Tool() const override { return 0; }
    QString Library_Selected_Image() const override { return {}; }
    QImage no_image() const override { return {}; }
    QImage barcode_sample_img() const override { return {}; }
    QImage sign_sample_img() const override { return {}; }
    QImage fp_sample_img() const override { return {}; }
    QImage Main_Photo_image() const override { return {}; }
    void Reset_Image_Editing_Controls() override {}
    void setMakeSameSizeButtonsEnabled(bool) override {}
    void Open_Barcode_Window() override {}
    void Undo_Redo_Button_state() override {}
    void Set_Paste_Button_Status() override {}
    bool Check_Batch_File_In_Use_Validation(const QString &) override { return false; }
};

SKTGraphicPtr makeShape(int i, Lcg &random)
{
    static const char *const codes[] = {"R", "C", "DS", "P"};
    auto shape = std::make_shared<Shape_Control>();
    // The front-most one is a rectangle so that the drag's press surely lands on its contents.
    shape->Set_Shape_Type(QLatin1String(i == 0 ? "R" : codes[i % 4]));
    shape->double_star_type = 1 + i % 5;
    shape->polygon_type = 1 + (i / 4) % 5;
    const double w = random.between(30, 120), h = random.between(30, 120);
    shape->_bounds = QRectF(random.between(0, kCanvasPoints.width() - w),
                            random.between(0, kCanvasPoints.height() - h), w, h);
    shape->_fillColor = QColor::fromHsvF(random.next(), 0.6f, 0.9f);
    if (i % 3 == 0) {
        shape->_fill_type = QStringLiteral("G");
        shape->_fill_Grad_clr1 = QColor::fromHsvF(random.next(), 0.8f, 0.9f);
        shape->_fill_Grad_clr2 = QColor::fromHsvF(random.next(), 0.8f, 0.5f);
        shape->_fill_grad_angle = random.between(0, 360);
    }
    shape->_strokeWidth = 1 + i % 3;
    if (i % 5 == 0)
        shape->_stroke_border_type = QStringLiteral("DD");
    else if (i % 5 == 1)
        shape->_stroke_border_type = QStringLiteral("DA");
    return shape;
}

// Everything a canvas needs, torn down in the right order; the hub stays installed for its lifetime.
struct Scene {
    BenchHub hub;
    SKTDocument document;
    SKTGrid grid;
    Card_Property face;
    std::unique_ptr<SKTGraphicView> view;

    Scene()
    {
        App().Main_App_wnd = &hub;
        Lcg random;
        GraphicList shapes;
        for (int i = 0; i < kShapeCount; ++i)
            shapes << makeShape(i, random);
        // Straight into the list: building the card is not what is measured and needs no undo.
        document.graphics().insertGraphics(shapes, platform::IndexSet::range(0, kShapeCount));
        view = std::make_unique<SKTGraphicView>(document.graphics(), &document);
        // The card face a user sees: a gradient fill over the whole card.
        face.setCard_fill_chk(true);
        face.setCard_fill_style(QStringLiteral("G"));
        face.setCard_fill_Grd_1_clr(QColor(250, 240, 210));
        face.setCard_fill_Grd_2_clr(QColor(120, 160, 230));
        face.setCard_grad_Stepper(30);
        view->setCardFace(&face);
        view->setCanvasSize(kCanvasPoints);
        view->setZoomFactor(1.0);
        grid.setAlwaysShown(true);
        view->setGrid(&grid);
        platform::IndexSet selected;
        for (int i = 0; i < kShapeCount; i += kSelectedEvery)
            selected.add(i);
        view->changeSelectionIndexes(selected);
    }
    ~Scene()
    {
        view.reset();
        App().Main_App_wnd = nullptr;
    }

    void mouse(QEvent::Type type, const QPointF &point)
    {
        const QPointF pos = point * view->zoomFactor();
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, pos, view->mapToGlobal(pos), button, held, Qt::NoModifier);
        QApplication::sendEvent(view.get(), &event);
    }
};

void BM_FullCanvasRepaint(benchmark::State &state)
{
    Scene scene;
    QImage image(scene.view->size(), QImage::Format_ARGB32_Premultiplied);
    if (image.size() != QSize(1000, 800)) {
        state.SkipWithError("canvas is not 1000 x 800 pixels");
        return;
    }
    for (auto _ : state) {
        scene.view->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["shapes"] = kShapeCount;
}
BENCHMARK(BM_FullCanvasRepaint)->Unit(benchmark::kMillisecond)->UseRealTime();

// The first paint of a canvas, before it keeps any object as a picture.
void BM_FirstCanvasPaint(benchmark::State &state)
{
    QImage image(QSize(1000, 800), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        state.PauseTiming();
        auto scene = std::make_unique<Scene>();
        state.ResumeTiming();
        scene->view->render(&image);
        benchmark::DoNotOptimize(image.constBits());
        state.PauseTiming();
        scene.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FirstCanvasPaint)->Unit(benchmark::kMillisecond)->UseRealTime();

// Argument 0: the model step only (hidden canvas, so invalidation is bookkeeping).
// Argument 1: the canvas is shown and the step includes repainting what the move invalidated.
void BM_DragFiftySelected(benchmark::State &state)
{
    const bool repaint = state.range(0) != 0;
    Scene scene;
    const QPointF press = scene.document.graphics().at(0)->bounds().center();
    const SKTGraphicView::Hit hit = scene.view->graphicUnderPoint(press);
    if (!hit.isSelected || hit.handle != SKTGraphicNoHandle) {
        state.SkipWithError("the press would not grab the selection");
        return;
    }
    if (repaint) {
        scene.view->show();
        QApplication::processEvents();
    }
    // Both targets lie beyond the move threshold, so every step after the first moves by one point.
    const QPointF steps[] = {press + QPointF(4, 3), press + QPointF(5, 3)};
    constexpr int kStepsPerDrag = 1024;

    scene.mouse(QEvent::MouseButtonPress, press);
    scene.mouse(QEvent::MouseMove, steps[1]);
    int step = 0;
    for (auto _ : state) {
        scene.mouse(QEvent::MouseMove, steps[step & 1]);
        if (repaint)
            QApplication::processEvents();
        if (++step % kStepsPerDrag == 0) {
            // Releasing where the drag began puts the objects back and closes its undo group.
            state.PauseTiming();
            scene.mouse(QEvent::MouseButtonRelease, press);
            scene.document.undoManager().removeAllActions();
            scene.mouse(QEvent::MouseButtonPress, press);
            scene.mouse(QEvent::MouseMove, steps[1]);
            if (repaint)
                QApplication::processEvents();
            state.ResumeTiming();
        }
    }
    scene.mouse(QEvent::MouseButtonRelease, press);
    state.counters["moved"] = static_cast<double>(scene.view->selectedGraphics().size());
}
BENCHMARK(BM_DragFiftySelected)->ArgName("repaint")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
