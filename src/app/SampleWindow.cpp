#include "SampleWindow.h"

#include "canvas/CardFace.h"
#include "canvas/SKTGraphicView.h"
#include "canvas/SKTZoomingScrollView.h"
#include "core/AppState.h"
#include "document/Shape_Control.h"

#include <QActionGroup>
#include <QTabWidget>
#include <QThread>
#include <QToolBar>

namespace {

struct ToolEntry {
    int number;
    const char *name;
};

// The tools whose objects can be drawn so far.
constexpr ToolEntry kTools[] = {{0, "Arrow"},   {3, "Rectangle"}, {4, "Oval"},  {5, "Rounded Rectangle"},
                                {6, "Triangle"}, {7, "Diamond"},   {13, "Star"}, {14, "Many-Point Star"},
                                {15, "Polygon"}};

} // namespace

SampleWindow::SampleWindow()
{
    App().Main_App_wnd = this;
    setWindowTitle(App().App_Name);
    resize(1000, 800);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(241, 244, 250));
    setPalette(pal);
    m_noImage.load(App().Resource_Path + QStringLiteral("no.png"));
    m_front.setCard_fill_chk(true);
    m_front.setCard_fill_style(QStringLiteral("G"));
    m_front.setCard_fill_Grd_1_clr(QColor(255, 250, 235));
    m_front.setCard_fill_Grd_2_clr(QColor(250, 220, 200));
    m_front.setCard_grad_Stepper(90);

    m_tabs = new QTabWidget(this);
    SKTGraphicList *lists[3] = {&m_document.graphics(), &m_document.graphics_back(), &m_document.graphics_temp()};
    const QString titles[3] = {QStringLiteral("Front"), QStringLiteral("Back"), QStringLiteral("Temp")};
    for (int i = 0; i < 3; ++i) {
        auto *scroll = new SKTZoomingScrollView(m_tabs);
        auto *canvas = new SKTGraphicView(*lists[i], &m_document);
        canvas->setGrid(&m_grid);
        canvas->setCanvasSize(SKTDocument::canvasSize(true, QSizeF()));
        scroll->setDocumentView(canvas);
        scroll->setDocumentSize(canvas->canvasSize());
        scroll->setRulersVisible(true);
        QObject::connect(scroll, &SKTZoomingScrollView::zoomFactorChanged, canvas, &SKTGraphicView::setZoomFactor);
        QObject::connect(canvas, &SKTGraphicView::rulerEchoChanged, scroll, &SKTZoomingScrollView::echoOnRulers);
        m_canvases[i] = canvas;
        m_scrollViews[i] = scroll;
        m_tabs->addTab(scroll, titles[i]);
    }
    // One zoom for the three sides.
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            if (i != j)
                QObject::connect(m_scrollViews[i], &SKTZoomingScrollView::factorChanged, m_scrollViews[j],
                                 &SKTZoomingScrollView::setFactor);
    // The temp side shows the face of whichever side was current last.
    QObject::connect(m_tabs, &QTabWidget::currentChanged, this, [](int index) {
        if (index < 2)
            App().Card_Front_Or_Back = index;
    });
    setCentralWidget(m_tabs);
    buildToolBar();
    addSampleShapes();
    m_document.undoManager().removeAllActions();
}

SampleWindow::~SampleWindow()
{
    if (App().Main_App_wnd == this)
        App().Main_App_wnd = nullptr;
}

void SampleWindow::buildToolBar()
{
    QToolBar *bar = addToolBar(QStringLiteral("Tools"));
    auto *group = new QActionGroup(this);
    for (const ToolEntry &tool : kTools) {
        QAction *action = bar->addAction(QString::fromLatin1(tool.name));
        action->setCheckable(true);
        action->setChecked(tool.number == 0);
        group->addAction(action);
        const int number = tool.number;
        QObject::connect(action, &QAction::triggered, this, [this, number] { m_tool = number; });
    }
    m_arrowAction = group->actions().first();
    bar->addSeparator();
    QAction *grid = bar->addAction(QStringLiteral("Grid"));
    grid->setCheckable(true);
    QObject::connect(grid, &QAction::toggled, this, [this](bool on) { m_grid.setAlwaysShown(on); });
    QAction *snap = bar->addAction(QStringLiteral("Snap"));
    snap->setCheckable(true);
    QObject::connect(snap, &QAction::toggled, this, [this](bool on) { m_grid.setConstraining(on); });
    QAction *rulers = bar->addAction(QStringLiteral("Rulers"));
    rulers->setCheckable(true);
    rulers->setChecked(true);
    QObject::connect(rulers, &QAction::toggled, this, [this](bool on) {
        for (SKTZoomingScrollView *scroll : m_scrollViews)
            scroll->setRulersVisible(on);
    });
    QAction *undo = bar->addAction(QStringLiteral("Undo"));
    undo->setShortcut(QKeySequence::Undo);
    QObject::connect(undo, &QAction::triggered, this, [this] {
        if (m_document.undoManager().canUndo())
            m_document.undoManager().undo();
    });
    QAction *redo = bar->addAction(QStringLiteral("Redo"));
    redo->setShortcut(QKeySequence::Redo);
    QObject::connect(redo, &QAction::triggered, this, [this] {
        if (m_document.undoManager().canRedo())
            m_document.undoManager().redo();
    });
}

void SampleWindow::addSampleShapes()
{
    struct Sample {
        const char *code;
        QRectF bounds;
        QColor fill;
    };
    const Sample samples[] = {{"RR", {20, 20, 70, 45}, QColor(120, 190, 120)},
                              {"S", {110, 15, 60, 60}, QColor(250, 200, 60)},
                              {"C", {175, 80, 50, 50}, QColor(90, 150, 220)},
                              {"P", {30, 85, 60, 50}, QColor(220, 120, 60)}};
    GraphicList shapes;
    for (const Sample &s : samples) {
        auto shape = std::make_shared<Shape_Control>();
        shape->Set_Shape_Type(QString::fromLatin1(s.code));
        shape->_fillColor = s.fill;
        shape->_bounds = s.bounds;
        shapes << shape;
    }
    m_document.insertGraphics(shapes, platform::IndexSet::range(0, shapes.size()));
}

SKTGraphicView *SampleWindow::currentCanvas() const
{
    const int index = m_tabs ? m_tabs->currentIndex() : 0;
    return m_canvases[index < 0 ? 0 : index];
}

void SampleWindow::Refresh_Canvas()
{
    if (App().Card_Value_In_Process)
        return;
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(this, [this] { Refresh_Canvas(); }, Qt::QueuedConnection);
        return;
    }
    if (SKTGraphicView *canvas = currentCanvas())
        canvas->update();
}

QPointF SampleWindow::Control_New_Point(const QString &)
{
    AppState &app = App();
    const QPointF point(app.last_ctrl_X, app.last_ctrl_Y);
    app.last_ctrl_X = app.last_ctrl_X >= 100.0f ? 10.0f : app.last_ctrl_X + 10.0f;
    app.last_ctrl_Y = app.last_ctrl_Y >= 100.0f ? 10.0f : app.last_ctrl_Y + 10.0f;
    return point;
}

QRectF SampleWindow::frontCanvasBounds() const
{
    return m_canvases[0] ? m_canvases[0]->canvasBounds() : QRectF(QPointF(), SKTDocument::defaultCanvasSize);
}

void SampleWindow::Card_Base_Drawing(QPainter &painter, const QRectF &cardRect)
{
    drawCardFace(painter, cardRect, App().Card_Front_Or_Back == 0 ? m_front : m_back, App().Card_Shape);
}

void SampleWindow::Show_RHS_Properties(SKTGraphic *)
{
    if (App().Not_Draw_Only_Prop_Change)
        return;
    // Showing an object returns the window to the arrow tool.
    m_tool = 0;
    if (m_arrowAction)
        m_arrowAction->setChecked(true);
}
