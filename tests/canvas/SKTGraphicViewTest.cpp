#include "canvas/ui/SKTGraphicView.h"
#include "canvas/ui/SKTZoomingScrollView.h"

#include "canvas/SKTGrid.h"
#include "core/AppState.h"
#include "document/SKTDocument.h"
#include "document/SKTGraphicKinds.h"
#include "document/Shape_Control.h"
#include "fixtures/CanvasEvents.h"
#include "fixtures/EventLoop.h"
#include "fixtures/ManualClock.h"
#include "fixtures/TestSupport.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace std::chrono_literals;

namespace {

using platform::IndexSet;

std::shared_ptr<Shape_Control> shape(const QRectF &bounds, const QColor &fill, const QString &code = QStringLiteral("R"))
{
    auto graphic = std::make_shared<Shape_Control>();
    graphic->Set_Shape_Type(code);
    graphic->_bounds = bounds;
    graphic->_fillColor = fill;
    return graphic;
}

// Kept as a picture like any shape, but its drawing fails.
class FailingShape : public Shape_Control {
public:
    void drawContentsInView(QPainter &, bool, const DrawingResources &) override { throw std::runtime_error("cannot draw this shape"); }
};

// Paints far outside its bounds: only the canvas's clipping keeps it in place.
class Spill : public SKTGraphic {
public:
    void drawContentsInView(QPainter &painter, bool, const DrawingResources &) override { painter.fillRect(QRectF(0, 0, 1000, 1000), Qt::blue); }
};

void drag(SKTGraphicView &view, const QList<QPointF> &points, Qt::KeyboardModifiers modifiers = {})
{
    mouse(view, QEvent::MouseButtonPress, points.first(), modifiers);
    for (qsizetype i = 1; i < points.size(); ++i)
        mouse(view, QEvent::MouseMove, points.at(i), modifiers);
    mouse(view, QEvent::MouseButtonRelease, points.last(), modifiers);
}

void click(SKTGraphicView &view, const QPointF &point, Qt::KeyboardModifiers modifiers = {})
{
    drag(view, {point}, modifiers);
}

// Delivers the events posted so far and those they post in turn (an update request, a queued
// call), without the event loop, so that no event of the platform's (a late expose) comes between.
void deliverPosted()
{
    for (int round = 0; round < 3; ++round)
        QCoreApplication::sendPostedEvents();
}

void key(SKTGraphicView &view, int code)
{
    QKeyEvent event(QEvent::KeyPress, code, Qt::NoModifier);
    QApplication::sendEvent(&view, &event);
}

QColor pixelAt(const QImage &image, const QPointF &canvasPoint, double zoom = 1.0)
{
    return image.pixelColor((canvasPoint * zoom).toPoint());
}

QColor highlight()
{
    return QGuiApplication::palette().color(QPalette::Highlight);
}

class SKTGraphicViewTest : public ::testing::Test {
protected:
    AppFixture app;
    SKTDocument document;
    SKTGrid grid;
    ManualClock clock;
    SKTGraphicView view{document.graphics(), &document, nullptr, clock.timers()};

    SKTGraphicViewTest() { view.setGrid(&grid); }

    SKTGraphicPtr add(const SKTGraphicPtr &graphic)
    {
        view.insertGraphics({graphic}, {view.graphicsList().count()});
        return graphic;
    }
    QImage picture() { return view.grab().toImage(); }
};

// --- Drawing ---------------------------------------------------------------------------------

TEST_F(SKTGraphicViewTest, DrawsFaceThenGraphicsWithIndexZeroOnTopAndHandlesOfTheSelection)
{
    auto front = add(shape({20, 20, 40, 40}, Qt::red));
    auto back = add(shape({40, 40, 40, 40}, Qt::green));
    auto locked = add(shape({120, 20, 30, 30}, Qt::yellow));
    locked->ctrl_is_locked = true;
    auto frame = add(shape({150, 80, 40, 40}, Qt::cyan));
    frame->control_ID = QStringLiteral("PARTY_IMAGE_BG");
    view.changeSelectionIndexes({0, 2, 3});

    const QImage image = picture();
    EXPECT_EQ(image.size(), QSize(243, 154));
    EXPECT_EQ(pixelAt(image, {5, 140}), QColor(Qt::white)); // card face
    EXPECT_EQ(pixelAt(image, {50, 50}), QColor(Qt::red));   // overlap: index 0 wins
    EXPECT_EQ(pixelAt(image, {70, 70}), QColor(Qt::green));
    EXPECT_EQ(pixelAt(image, {19, 19}), highlight());       // handle of the selected front shape
    EXPECT_NE(pixelAt(image, {79, 79}), highlight());       // the unselected one has none
    EXPECT_EQ(pixelAt(image, {119, 19}), QColor(Qt::red));  // locked: red handles
    EXPECT_EQ(pixelAt(image, {149, 79}), QColor(Qt::white)); // frame picture: never handles
    EXPECT_EQ(view.Selected_Graphic(), front);
}

TEST_F(SKTGraphicViewTest, ARepaintOfScatteredPlacesGivesTheirPixelsAsAWholeRepaintDoes)
{
    for (int i = 0; i < 12; ++i)
        add(shape({10.0 + i * 17, 8.0 + (i % 4) * 33, 40, 30}, QColor::fromHsv(i * 30, 200, 220),
                  QLatin1String(i % 2 ? "C" : "R")));
    view.changeSelectionIndexes({1, 4, 7});
    for (const double zoom : {1.0, 1.5}) {
        view.setZoomFactor(zoom);
        const QImage whole = picture();
        const QRegion places = QRegion(12, 10, 30, 25) + QRect(100, 40, 17, 60) + QRect(150, 120, 40, 9);
        QImage scattered(whole.size(), QImage::Format_ARGB32_Premultiplied);
        scattered.fill(Qt::black);
        view.render(&scattered, places.boundingRect().topLeft(), places);
        for (const QRect &place : places)
            for (int y = place.top(); y <= place.bottom(); ++y)
                for (int x = place.left(); x <= place.right(); ++x)
                    ASSERT_EQ(scattered.pixel(x, y), whole.pixel(x, y)) << zoom << ": " << x << "," << y;
    }
}

TEST_F(SKTGraphicViewTest, ASideThatFailsToDrawShowsNoneOfItself)
{
    add(shape({20, 20, 40, 40}, Qt::red));
    picture(); // leaves the side in the canvas's buffer
    auto failing = std::make_shared<FailingShape>();
    failing->_bounds = QRectF(100, 50, 30, 30);
    add(failing);
    const QImage image = picture();
    const QColor window = view.palette().color(QPalette::Window);
    for (const QPointF &point : {QPointF(40, 40), QPointF(5, 140), QPointF(110, 60)})
        EXPECT_EQ(pixelAt(image, point), window) << point.x() << "," << point.y();
}

TEST_F(SKTGraphicViewTest, ZoomScalesTheWidgetAndThePaintingButNotTheModel)
{
    add(shape({20, 20, 40, 40}, Qt::red));
    view.setZoomFactor(2.0);
    EXPECT_EQ(view.size(), QSize(486, 308));
    const QImage image = picture();
    EXPECT_EQ(pixelAt(image, {59, 59}, 2.0), QColor(Qt::red));
    EXPECT_EQ(pixelAt(image, {62, 62}, 2.0), QColor(Qt::white));

    // Mouse positions map back to points: a click at widget pixel (100, 100) hits point (50, 50).
    click(view, {50, 50});
    EXPECT_EQ(view.selectionIndexes(), IndexSet({0}));
    view.setZoomFactor(0.0); // refused
    EXPECT_EQ(view.zoomFactor(), 2.0);
}

TEST_F(SKTGraphicViewTest, EachGraphicIsClippedToItsDrawingBounds)
{
    auto spill = std::make_shared<Spill>();
    spill->_bounds = QRectF(50, 50, 20, 20);
    add(spill);
    const QImage image = picture();
    EXPECT_EQ(pixelAt(image, {60, 60}), QColor(Qt::blue));
    EXPECT_EQ(pixelAt(image, {10, 10}), QColor(Qt::white));
    EXPECT_EQ(pixelAt(image, {100, 100}), QColor(Qt::white));
}

TEST_F(SKTGraphicViewTest, GridIsDrawnUnderTheGraphicsWhenShown)
{
    add(shape({0, 0, 40, 40}, Qt::red));
    grid._color = Qt::black;
    grid.setAlwaysShown(true);
    const QImage image = picture();
    EXPECT_EQ(pixelAt(image, {92, 100}), QColor(Qt::white));
    EXPECT_NE(pixelAt(image, {92, 99}), QColor(Qt::white)); // line at y = 99 (11 x 9)
    EXPECT_NE(pixelAt(image, {90, 100}), QColor(Qt::white));
    EXPECT_EQ(pixelAt(image, {18, 20}), QColor(Qt::red));   // covered by the shape
}

TEST_F(SKTGraphicViewTest, RepaintsOnlyWhatChangedAndPaintingNeverAsksForMore)
{
    auto moving = add(shape({10, 10, 20, 20}, Qt::red));
    QRegion painted;
    int paints = 0;
    struct Recorder : QObject {
        QRegion *region;
        int *count;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint) {
                *region += static_cast<QPaintEvent *>(event)->region();
                ++*count;
            }
            return false;
        }
    } recorder;
    recorder.region = &painted;
    recorder.count = &paints;
    view.installEventFilter(&recorder);
    view.show();
    ASSERT_TRUE(waitFor([&] { return paints > 0; }));
    // A paint asked for while painting is an update request posted then: deliver what a paint now
    // posts, and nothing paints again. The platform's own exposes are not posted, so cannot come.
    const int settled = paints;
    view.repaint();
    ASSERT_EQ(paints, settled + 1);
    deliverPosted();
    EXPECT_EQ(paints, settled + 1) << "painting must not schedule another paint";

    painted = QRegion();
    moving->setBounds(QRectF(100, 100, 20, 20));
    ASSERT_TRUE(waitFor([&] { return !painted.isEmpty(); }));
    EXPECT_TRUE(painted.contains(QPoint(15, 15)));   // old place
    EXPECT_TRUE(painted.contains(QPoint(115, 115))); // new place
    EXPECT_FALSE(painted.contains(QPoint(200, 20)));

    painted = QRegion();
    view.changeSelectionIndexes({0});
    ASSERT_TRUE(waitFor([&] { return !painted.isEmpty(); }));
    EXPECT_TRUE(painted.contains(QPoint(98, 98)));
    EXPECT_FALSE(painted.contains(QPoint(15, 15)));

    painted = QRegion();
    grid.setAlwaysShown(true);
    ASSERT_TRUE(waitFor([&] { return !painted.isEmpty(); }));
    EXPECT_TRUE(painted.contains(QPoint(200, 20)));
    view.hide();
}

TEST_F(SKTGraphicViewTest, RefreshScrollViewRepaintsTheEnclosingScrollView)
{
    view.Refresh_ScrollView(); // no scroll view around it: nothing to do

    SKTZoomingScrollView scroll;
    auto *canvas = new SKTGraphicView(document.graphics_back(), &document);
    scroll.setDocumentView(canvas);
    int paints = 0;
    struct Counter : QObject {
        int *count;
        bool eventFilter(QObject *, QEvent *event) override
        {
            *count += event->type() == QEvent::Paint;
            return false;
        }
    } counter;
    counter.count = &paints;
    scroll.viewport()->installEventFilter(&counter);
    scroll.show();
    ASSERT_TRUE(waitFor([&] { return paints > 0; }));
    deliverPosted();
    paints = 0;
    deliverPosted();
    ASSERT_EQ(paints, 0);

    canvas->Refresh_ScrollView(&scroll);
    deliverPosted();
    EXPECT_GT(paints, 0);
}

// --- Selection and the list ----------------------------------------------------------------

TEST_F(SKTGraphicViewTest, SelectionFollowsTheListByIdentity)
{
    add(shape({10, 10, 20, 20}, Qt::red));
    auto b = add(shape({40, 10, 20, 20}, Qt::red));
    view.changeSelectionIndexes({1});
    EXPECT_EQ(app.hub.sameSizeButtonStates, QList<bool>({false}));

    view.insertGraphics({shape({0, 0, 5, 5}, Qt::red)}, {0});
    EXPECT_EQ(view.selectionIndexes(), IndexSet({2}));
    EXPECT_EQ(view.selectedGraphics(), GraphicList({b}));
    EXPECT_EQ(view.Selected_Graphic(), b);

    document.undoManager().closeEventGroup();
    view.removeGraphicsAtIndexes({2});
    document.undoManager().closeEventGroup();
    EXPECT_TRUE(view.selectedGraphics().isEmpty());
    EXPECT_EQ(view.Selected_Graphic(), nullptr) << "the current graphic leaves with its object";

    document.undoManager().undo(); // b comes back, but not into the selection
    EXPECT_EQ(view.graphicsList().count(), 3);
    EXPECT_TRUE(view.selectedGraphics().isEmpty());

    view.changeSelectionIndexes({0, 1, 7});
    EXPECT_EQ(view.selectionIndexes(), IndexSet({0, 1}));
    EXPECT_EQ(app.hub.sameSizeButtonStates.last(), true);
}

TEST_F(SKTGraphicViewTest, EmptyingTheListShowsTheCardTabsOnceAndLater)
{
    add(shape({10, 10, 20, 20}, Qt::red));
    add(shape({40, 10, 20, 20}, Qt::red));
    view.removeGraphicsAtIndexes({0});
    view.removeGraphicsAtIndexes({0});
    picture();
    EXPECT_TRUE(app.hub.shownProperties.isEmpty()) << "never from inside the change or from painting";
    spinFor(0);
    EXPECT_EQ(app.hub.shownProperties, QList<SKTGraphic *>({nullptr}));
    picture();
    spinFor(0);
    EXPECT_EQ(app.hub.shownProperties.size(), 1);
}

TEST_F(SKTGraphicViewTest, BackListChangesBypassTheDocumentUndo)
{
    SKTGraphicView back(document.graphics_back(), &document);
    back.insertGraphics({shape({10, 10, 20, 20}, Qt::red)}, {0});
    EXPECT_EQ(document.graphics_back().count(), 1);
    EXPECT_FALSE(document.undoManager().canUndo());
    view.insertGraphics({shape({10, 10, 20, 20}, Qt::red)}, {0});
    EXPECT_TRUE(document.undoManager().canUndo());
}

TEST(SKTSelectionTest, TellsWhoLeftAndEnteredAndKeepsAnObjectStillInTheList)
{
    SKTGraphicList list;
    auto a = shape({0, 0, 5, 5}, Qt::red);
    auto b = shape({0, 0, 5, 5}, Qt::red);
    list.insertGraphics({a, b, a}, {0, 1, 2}); // one object twice, as a scratch side may hold it
    SKTSelection selection(list);
    QList<std::pair<GraphicList, GraphicList>> heard;
    selection.addObserver([&](const GraphicList &left, const GraphicList &entered) { heard.append({left, entered}); });

    selection.setIndexes({0});
    EXPECT_EQ(selection.indexes(), IndexSet({0, 2}));
    selection.setIndexes({1, 2});
    ASSERT_EQ(heard.size(), 2);
    EXPECT_TRUE(heard.last().first.isEmpty());
    EXPECT_EQ(heard.last().second, GraphicList({b}));
    selection.setIndexes({1, 0});
    EXPECT_EQ(heard.size(), 2) << "the same graphics are no change";

    list.removeGraphicsAtIndexes({0});
    EXPECT_TRUE(selection.contains(a.get()));
    list.removeGraphicsAtIndexes({1});
    EXPECT_FALSE(selection.contains(a.get()));
    EXPECT_EQ(heard.last().first, GraphicList({a}));
    EXPECT_EQ(selection.graphics(), GraphicList({b}));
}

// --- Clicks ----------------------------------------------------------------------------------

TEST_F(SKTGraphicViewTest, ClickSelectsAloneAndModifiersToggle)
{
    auto a = add(shape({10, 10, 20, 20}, Qt::red));
    auto b = add(shape({50, 10, 20, 20}, Qt::red));
    add(shape({90, 10, 20, 20}, Qt::red));

    click(view, {20, 20});
    EXPECT_EQ(view.selectionIndexes(), IndexSet({0}));
    EXPECT_EQ(app.hub.shownProperties.last(), a.get());

    click(view, {60, 20}, Qt::ShiftModifier);
    click(view, {100, 20}, Qt::ControlModifier);
    EXPECT_EQ(view.selectionIndexes(), IndexSet({0, 1, 2}));

    // Shift on a selected object deselects it and does not move it, even when dragged.
    drag(view, {{60, 20}, {80, 40}}, Qt::ShiftModifier);
    EXPECT_EQ(view.selectionIndexes(), IndexSet({0, 2}));
    EXPECT_EQ(b->bounds(), QRectF(50, 10, 20, 20));

    // A plain click on a selected one keeps the whole selection (so it can be dragged).
    click(view, {100, 20});
    EXPECT_EQ(view.selectionIndexes(), IndexSet({0, 2}));

    // Shift on empty card keeps the selection, and the panel is not sent back to the card tabs.
    app.hub.shownProperties.clear();
    click(view, {200, 120}, Qt::ShiftModifier);
    EXPECT_EQ(view.selectionIndexes(), IndexSet({0, 2}));
    EXPECT_FALSE(app.hub.shownProperties.contains(nullptr));

    app.hub.shownProperties.clear();
    click(view, {200, 120});
    EXPECT_TRUE(view.selectionIndexes().isEmpty());
    EXPECT_EQ(app.hub.shownProperties, QList<SKTGraphic *>({nullptr}));
}

TEST_F(SKTGraphicViewTest, LockedInvisibleAndFramePictureAreLeftAlone)
{
    auto under = add(shape({10, 10, 60, 60}, Qt::red));
    auto frame = add(shape({0, 0, 243, 154}, Qt::cyan));
    frame->control_ID = QStringLiteral("PARTY_IMAGE_BG");
    // Put the frame picture on top: clicks must fall through it.
    view.removeGraphicsAtIndexes({1});
    view.insertGraphics({frame}, {0});

    click(view, {30, 30});
    EXPECT_EQ(view.selectedGraphics(), GraphicList({under}));
    click(view, {200, 120});
    EXPECT_TRUE(view.selectedGraphics().isEmpty());

    under->ctrl_is_locked = true;
    const int refreshes = app.hub.refreshCount;
    drag(view, {{30, 30}, {60, 60}});
    EXPECT_EQ(view.selectedGraphics(), GraphicList({under}));
    EXPECT_EQ(under->bounds(), QRectF(10, 10, 60, 60));
    EXPECT_GT(app.hub.refreshCount, refreshes);
    EXPECT_EQ(app.hub.shownProperties.last(), under.get());
    // Its handles do not resize it either.
    drag(view, {{70, 70}, {90, 90}});
    EXPECT_EQ(under->bounds(), QRectF(10, 10, 60, 60));

    under->ctrl_is_locked = false;
    under->ctrl_is_visible = false;
    view.changeSelectionIndexes({});
    app.hub.shownProperties.clear();
    drag(view, {{30, 30}, {60, 60}});
    EXPECT_TRUE(view.selectedGraphics().isEmpty());
    EXPECT_EQ(under->bounds(), QRectF(10, 10, 60, 60));
    EXPECT_EQ(view.Selected_Graphic(), under);
    EXPECT_TRUE(app.hub.shownProperties.isEmpty());
}

TEST_F(SKTGraphicViewTest, DoubleClickOnABarcodeOpensItsSettings)
{
    auto barcode = std::make_shared<SKTBarcode>();
    barcode->_bounds = QRectF(10, 10, 60, 30);
    add(barcode);
    mouse(view, QEvent::MouseButtonPress, {20, 20});
    mouse(view, QEvent::MouseButtonRelease, {20, 20});
    mouse(view, QEvent::MouseButtonDblClick, {20, 20});
    mouse(view, QEvent::MouseButtonRelease, {20, 20});
    EXPECT_EQ(app.hub.barcodeWindowCount, 1);
    EXPECT_EQ(view.Selected_Graphic(), barcode);
}

// --- Moving and resizing -------------------------------------------------------------------

TEST_F(SKTGraphicViewTest, DragMovesFromTwoPointsAndHidesHandlesMeanwhile)
{
    auto a = add(shape({10, 10, 20, 20}, Qt::red));
    click(view, {20, 20});

    mouse(view, QEvent::MouseButtonPress, {20, 20});
    mouse(view, QEvent::MouseMove, {21.9, 21.9});
    EXPECT_EQ(a->bounds(), QRectF(10, 10, 20, 20));
    EXPECT_FALSE(view.isHidingHandles());
    mouse(view, QEvent::MouseMove, {22, 20});
    EXPECT_EQ(a->bounds(), QRectF(12, 10, 20, 20));
    EXPECT_TRUE(view.isHidingHandles());
    mouse(view, QEvent::MouseMove, {30, 35});
    mouse(view, QEvent::MouseButtonRelease, {30, 35});
    EXPECT_EQ(a->bounds(), QRectF(20, 25, 20, 20));
    EXPECT_FALSE(view.isHidingHandles());
}

TEST_F(SKTGraphicViewTest, DragSnapsTheSelectionOriginAndLeavesLockedMembers)
{
    auto a = add(shape({10, 10, 20, 20}, Qt::red));
    auto locked = add(shape({60, 60, 20, 20}, Qt::red));
    locked->ctrl_is_locked = true;
    view.changeSelectionIndexes({0, 1});
    grid.setConstraining(true); // spacing 9

    QList<QRectF> echo;
    QObject::connect(&view, &SKTGraphicView::rulerEchoChanged, [&echo](const QRectF &r) { echo << r; });
    // Union origin (10, 10) + (5, 0) = (15, 10) snaps to (18, 9).
    drag(view, {{20, 20}, {25, 20}});
    EXPECT_EQ(a->bounds(), QRectF(18, 9, 20, 20));
    EXPECT_EQ(locked->bounds(), QRectF(60, 60, 20, 20));
    ASSERT_GE(echo.size(), 3);
    EXPECT_EQ(echo.first(), QRectF(10, 10, 70, 70));
    EXPECT_EQ(echo.at(1), QRectF(18, 9, 70, 70));
    EXPECT_TRUE(echo.last().isNull());
}

TEST_F(SKTGraphicViewTest, HandleDragResizesSnapsAndTurnsInsideOut)
{
    auto a = add(shape({10, 10, 40, 30}, Qt::red));
    view.changeSelectionIndexes({0});
    drag(view, {{50, 40}, {70, 60}});
    EXPECT_EQ(a->bounds(), QRectF(10, 10, 60, 50));

    // Past the opposite edge the object flips and the drag carries on with the mirrored handle.
    drag(view, {{70, 60}, {0, 60}, {-10, 80}});
    EXPECT_EQ(a->bounds(), QRectF(-10, 10, 20, 70));

    grid.setConstraining(true);
    drag(view, {{10, 80}, {33, 47}});
    EXPECT_EQ(a->bounds(), QRectF(-10, 10, 46, 35));
}

TEST_F(SKTGraphicViewTest, ArrowKeysNudgeAndHideHandlesUntilHalfASecondAfterTheLast)
{
    auto a = add(shape({10, 10, 20, 20}, Qt::red));
    auto locked = add(shape({60, 10, 20, 20}, Qt::red));
    locked->ctrl_is_locked = true;
    view.changeSelectionIndexes({0, 1});

    key(view, Qt::Key_Right);
    key(view, Qt::Key_Down);
    EXPECT_EQ(a->bounds(), QRectF(11, 11, 20, 20));
    EXPECT_EQ(locked->bounds(), QRectF(60, 10, 20, 20));
    EXPECT_TRUE(view.isHidingHandles());
    EXPECT_NE(pixelAt(picture(), {10, 10}), highlight());

    clock.advance(300ms);
    key(view, Qt::Key_Left);
    clock.advance(499ms);
    EXPECT_TRUE(view.isHidingHandles()) << "each nudge restarts the half second";
    clock.advance(1ms);
    EXPECT_FALSE(view.isHidingHandles());
    EXPECT_EQ(a->bounds(), QRectF(10, 11, 20, 20));
    EXPECT_EQ(pixelAt(picture(), {9, 10}), highlight());

    view.changeSelectionIndexes({});
    key(view, Qt::Key_Up);
    EXPECT_FALSE(view.isHidingHandles());
}

// --- Rubber band -----------------------------------------------------------------------------

TEST_F(SKTGraphicViewTest, RubberBandTogglesAgainstTheSelectionAtThePress)
{
    auto a = add(shape({10, 10, 20, 20}, Qt::red));
    auto b = add(shape({50, 10, 20, 20}, Qt::red));
    auto frame = add(shape({0, 0, 243, 154}, Qt::cyan));
    frame->control_ID = QStringLiteral("PARTY_IMAGE_BG");

    drag(view, {{5, 5}, {40, 40}});
    EXPECT_EQ(view.selectedGraphics(), GraphicList({a}));
    EXPECT_TRUE(view.marqueeSelectionBounds().isNull());

    // With Shift, sweeping over the selected one deselects it; sweeping back selects it again.
    mouse(view, QEvent::MouseButtonPress, {80, 45}, Qt::ShiftModifier);
    mouse(view, QEvent::MouseMove, {45, 25}, Qt::ShiftModifier);
    EXPECT_EQ(view.selectedGraphics(), GraphicList({a, b}));
    EXPECT_EQ(view.marqueeSelectionBounds(), QRectF(45, 25, 35, 20));
    const QImage during = picture();
    EXPECT_EQ(pixelAt(during, {60, 45}), highlight()); // the band's frame
    mouse(view, QEvent::MouseMove, {20, 25}, Qt::ShiftModifier);
    EXPECT_EQ(view.selectedGraphics(), GraphicList({b}));
    mouse(view, QEvent::MouseMove, {45, 25}, Qt::ShiftModifier);
    EXPECT_EQ(view.selectedGraphics(), GraphicList({a, b}));
    // A band that covers nothing keeps the last selection.
    mouse(view, QEvent::MouseMove, {85, 50}, Qt::ShiftModifier);
    const int refreshes = app.hub.refreshCount;
    mouse(view, QEvent::MouseButtonRelease, {85, 50}, Qt::ShiftModifier);
    EXPECT_EQ(view.selectedGraphics(), GraphicList({a, b}));
    EXPECT_GT(app.hub.refreshCount, refreshes);
    EXPECT_NE(pixelAt(picture(), {60, 45}), highlight());
}

// --- Creation --------------------------------------------------------------------------------

TEST_F(SKTGraphicViewTest, CreationByDragIsOneUndoStepAndStaysSelected)
{
    add(shape({100, 100, 20, 20}, Qt::red));
    document.undoManager().removeAllActions();
    app.hub.tool = 13; // star
    drag(view, {{20, 20}, {40, 30}, {60, 50}});
    ASSERT_EQ(view.graphicsList().count(), 2);
    const SKTGraphicPtr star = view.graphicsList().at(0);
    EXPECT_EQ(star->kind(), SKTGraphic::Kind::Shape);
    EXPECT_EQ(star->Get_shape_type(), QStringLiteral("S"));
    EXPECT_EQ(star->bounds(), QRectF(20, 20, 40, 30));
    EXPECT_EQ(view.selectedGraphics(), GraphicList({star}));
    EXPECT_EQ(view.Selected_Graphic(), star);
    EXPECT_EQ(app.hub.shownProperties.last(), star.get());
    EXPECT_EQ(pixelAt(picture(), {59, 49}), highlight());

    document.undoManager().undo();
    EXPECT_EQ(view.graphicsList().count(), 1);
    EXPECT_FALSE(document.undoManager().canUndo());
    document.undoManager().redo();
    EXPECT_EQ(view.graphicsList().at(0), star);
}

TEST_F(SKTGraphicViewTest, ClickWithACreationToolLeavesNothing)
{
    app.hub.tool = 3;
    click(view, {20, 20});
    EXPECT_TRUE(view.graphicsList().isEmpty());
    EXPECT_FALSE(document.undoManager().canUndo());
    EXPECT_EQ(view.Selected_Graphic(), nullptr);
    EXPECT_EQ(app.hub.shownProperties.last(), nullptr);

    // With a snapping grid both corners land on it.
    grid.setConstraining(true);
    drag(view, {{20, 20}, {42, 40}});
    ASSERT_EQ(view.graphicsList().count(), 1);
    EXPECT_EQ(view.graphicsList().at(0)->bounds(), QRectF(18, 18, 27, 18));
}

TEST_F(SKTGraphicViewTest, CreationWithoutAnEventPlacesAtTheNewObjectPoint)
{
    app.hub.tool = 4;
    app.hub.nextPoint = QPointF(30, 30);
    auto oval = view.createGraphicOfClass(SKTGraphic::Kind::Shape, std::nullopt, false, {}, QStringLiteral("B"), {}, {});
    ASSERT_TRUE(oval);
    EXPECT_EQ(oval->bounds(), QRectF(30, 30, 50, 50));
    EXPECT_EQ(oval->Get_shape_type(), QStringLiteral("C"));
    EXPECT_EQ(app.hub.newPointSides, QStringList({QStringLiteral("B")}));
    EXPECT_EQ(view.selectedGraphics(), GraphicList({oval}));

    // A tagged rectangle keeps its own origin; with the grid both corners snap.
    grid.setConstraining(true);
    auto tagged = view.createGraphicOfClass(SKTGraphic::Kind::Shape, std::nullopt, true, {5, 5, 50, 50},
                                            QStringLiteral("F"), {}, QStringLiteral("Fup_Name"));
    EXPECT_EQ(tagged->bounds(), QRectF(9, 9, 54, 54)); // (9, 9) + 50 = 59 snaps to 63
    EXPECT_EQ(tagged->control_ID, QStringLiteral("Fup_Name"));
    EXPECT_EQ(view.graphicsList().at(0), tagged);

    EXPECT_EQ(view.createGraphicOfClass(SKTGraphic::Kind::Shape, std::nullopt, true, {9, 9, 0, 0},
                                        QStringLiteral("F"), {}, QStringLiteral("x")),
              nullptr);
    EXPECT_EQ(view.graphicsList().count(), 2);
}

TEST_F(SKTGraphicViewTest, ToolsDecideThePictureKindsAndTagsDecideInvitationTexts)
{
    const auto create = [this](int tool, SKTGraphic::Kind kind, const QString &value, const QString &tag) {
        app.hub.tool = tool;
        return view.createGraphicOfClass(kind, std::nullopt, false, {}, QStringLiteral("F"), value, tag);
    };
    EXPECT_EQ(create(10, SKTGraphic::Kind::Shape, {}, {})->kind(), SKTGraphic::Kind::Barcode);
    EXPECT_EQ(create(12, SKTGraphic::Kind::Shape, {}, {})->Sign_Or_FP_Val(), QStringLiteral("F"));
    const QString picturePath = app.resourcePath() + QStringLiteral("photo.png");
    QFile(picturePath).open(QIODevice::WriteOnly);
    app.hub.librarySelectedImage = picturePath;
    EXPECT_EQ(create(8, SKTGraphic::Kind::Image, {}, {})->FilePath(), picturePath);

    auto from = create(2, SKTGraphic::Kind::Text, QStringLiteral("Ann"), QStringLiteral("PARTY_FROM"));
    EXPECT_EQ(from->text_alignmnet, 1);
    EXPECT_EQ(from->Text_Value, QStringLiteral("Ann"));
    EXPECT_FALSE(from->_isDrawingStroke);
    auto title = create(2, SKTGraphic::Kind::Text, QStringLiteral("Party"), QStringLiteral("PARTY_TITLE"));
    EXPECT_EQ(title->text_alignmnet, 2);
    EXPECT_EQ(title->text_ctrl_font.pointSizeF(), 18.0);
    auto plain = create(2, SKTGraphic::Kind::Text, {}, QStringLiteral("PARTY_FROM"));
    EXPECT_EQ(plain->text_alignmnet, 2);
    EXPECT_EQ(plain->text_ctrl_font, App().All_Text_font);

    // Reuse: an empty value leaves the tagged text as it was; a value replaces its text.
    plain->Set_Ctrl_Is_Visible(false);
    view.ReplaceGraphicText(SKTGraphic::Kind::Text, false, {}, QStringLiteral("F"), {}, QStringLiteral("PARTY_FROM"));
    EXPECT_EQ(from->Text_Value, QStringLiteral("Ann"));
    EXPECT_EQ(view.Selcect_Ctrl_With_ID(QStringLiteral("PARTY_FROM")), plain);
    EXPECT_FALSE(plain->ctrl_is_visible);
    view.ReplaceGraphicText(SKTGraphic::Kind::Text, false, {}, QStringLiteral("F"), QStringLiteral("Bo"),
                            QStringLiteral("PARTY_FROM"));
    EXPECT_EQ(plain->Text_contents().string, QStringLiteral("Bo"));
    EXPECT_TRUE(plain->ctrl_is_visible);
    EXPECT_EQ(view.Selected_Graphic(), plain);

    // The wizard's fields come in as typed, with U+FFFD for what a design file cannot hold.
    view.ReplaceGraphicText(SKTGraphic::Kind::Text, false, {}, QStringLiteral("F"), QStringLiteral("Bo\x01"),
                            QStringLiteral("PARTY_FROM"));
    EXPECT_EQ(plain->Text_contents().string, QStringLiteral("Bo\uFFFD"));
    EXPECT_EQ(create(2, SKTGraphic::Kind::Text, QStringLiteral("\x02" "Eve"), QStringLiteral("PARTY_TO"))->Text_Value,
              QStringLiteral("\uFFFDEve"));
}

TEST_F(SKTGraphicViewTest, AReusedPictureShowsItsNewFile)
{
    const auto write = [this](const char *name, const QColor &color) {
        QImage image(6, 4, QImage::Format_ARGB32);
        image.fill(color);
        const QString path = app.resourcePath() + QLatin1String(name);
        EXPECT_TRUE(image.save(path, "PNG"));
        return path;
    };
    const QString red = write("red.png", Qt::red);
    const QString blue = write("blue.png", Qt::blue);
    auto photo = std::make_shared<SKTImage>(QPointF(40, 40), red);
    photo->control_ID = QStringLiteral("Fup_Photo");
    add(photo);
    ASSERT_EQ(photo->_contents.pixelColor(0, 0), QColor(Qt::red));
    photo->Set_Ctrl_Is_Visible(false);

    view.ReplaceGraphicText(SKTGraphic::Kind::Image, false, {}, QStringLiteral("F"), blue, QStringLiteral("Fup_Photo"));
    EXPECT_EQ(photo->FilePath(), blue);
    EXPECT_EQ(photo->_contents.pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_TRUE(photo->ctrl_is_visible);
    EXPECT_EQ(view.Selected_Graphic(), photo);

    // A value that names no file leaves the picture as it was.
    view.ReplaceGraphicText(SKTGraphic::Kind::Image, false, {}, QStringLiteral("F"), red + QStringLiteral(".gone"),
                            QStringLiteral("Fup_Photo"));
    EXPECT_EQ(photo->FilePath(), blue);
    EXPECT_EQ(view.graphicsList().count(), 1);
}

// --- A picture to look at ----------------------------------------------------------------------

TEST_F(SKTGraphicViewTest, WritesACanvasPicture)
{
    add(shape({20, 20, 60, 40}, QColor(230, 120, 40)));
    add(shape({100, 30, 60, 60}, QColor(250, 210, 60), QStringLiteral("S")));
    auto locked = add(shape({170, 80, 50, 50}, QColor(90, 150, 220), QStringLiteral("C")));
    locked->ctrl_is_locked = true;
    add(shape({40, 90, 40, 40}, QColor(120, 200, 120), QStringLiteral("RR")));
    grid.setAlwaysShown(true);
    view.setZoomFactor(2.0);
    view.changeSelectionIndexes({0, 1, 2});

    const QImage image = picture();
    ASSERT_TRUE(image.save(testOutputPath(QStringLiteral("canvas.png"))));
    EXPECT_EQ(pixelAt(image, {19, 19}, 2.0), highlight());
    EXPECT_EQ(pixelAt(image, {169, 79}, 2.0), QColor(Qt::red));
    EXPECT_EQ(pixelAt(image, {130, 60}, 2.0), QColor(250, 210, 60));
}

} // namespace
