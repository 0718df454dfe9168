#include "canvas/ui/SKTGraphicView.h"

#include "canvas/SKTGrid.h"
#include "canvas/SKTTool.h"
#include "canvas/SideDrawing.h"
#include "canvas/ui/InputShield.h"
#include "core/AppState.h"
#include "core/DesignWindowHub.h"
#include "core/FontNames.h"
#include "core/ImageCategories.h"
#include "core/MessageBoxes.h"
#include "document/SKTDocument.h"
#include "document/SKTGraphicKinds.h"
#include "document/ControlTags.h"
#include "document/Shape_Control.h"
#include "platform/UiServices.h"
#include "platform/XmlCharacters.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollArea>

#include <cmath>

namespace {

DesignWindowHub *designWindow()
{
    return App().Main_App_wnd;
}

// Command is Ctrl in Qt on macOS; on Linux Ctrl toggles as well, as users of other editors expect.
bool extendsSelection(Qt::KeyboardModifiers modifiers)
{
    return modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::MetaModifier);
}

QRectF rectBetween(const QPointF &a, const QPointF &b)
{
    return QRectF(QPointF(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                  QSizeF(std::abs(b.x() - a.x()), std::abs(b.y() - a.y())));
}

SKTGraphicPtr newGraphicOfKind(SKTGraphic::Kind kind)
{
    switch (kind) {
    case SKTGraphic::Kind::Shape: return std::make_shared<Shape_Control>();
    case SKTGraphic::Kind::Line: return std::make_shared<SKTLine>();
    case SKTGraphic::Kind::Text: return std::make_shared<SKTText>();
    case SKTGraphic::Kind::Image: return std::make_shared<SKTImage>();
    case SKTGraphic::Kind::Signature: return std::make_shared<SKTSignature>();
    case SKTGraphic::Kind::Barcode: return std::make_shared<SKTBarcode>();
    case SKTGraphic::Kind::Graphic: break;
    }
    return std::make_shared<SKTGraphic>();
}

// The picture the user chose for a picture tool (the tool's selected picture names it), read as the
// window reads pictures; one that cannot be read is placed empty, and the user told why.
SKTGraphicPtr chosenPicture(QWidget *window, const QPointF &point, const QString &path)
{
    return std::make_shared<SKTImage>(point, InputShield::loadChosenPicture(window, path));
}

} // namespace

SKTGraphicView::SKTGraphicView(SKTGraphicList &graphics, SKTDocument *document, QWidget *parent,
                               const platform::TimerFactory &timers)
    : QWidget(parent), m_graphics(graphics), m_document(document), m_selection(graphics),
      m_canvasSize(SKTDocument::defaultCanvasSize)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    _handleShowingTimer = platform::makeTimer(timers, std::chrono::milliseconds(kHandleHidingMilliseconds),
                                               [this] { unhideHandlesForTimer(); });

    for (const SKTGraphicPtr &graphic : m_graphics.items())
        startObservingGraphic(graphic);
    // Registered after the selection's own list observer, so removed graphics have left the
    // selection by the time the canvas hears of the removal.
    m_listSubscription = m_graphics.subscribe([this](const SKTGraphicList::Change &change) { listChanged(change); });
    m_selectionSubscription = m_selection.subscribe(
        [this](const GraphicList &left, const GraphicList &entered) { selectionDidChange(left, entered); });
    setFixedSize(sizeHint());
}

SKTGraphicView::~SKTGraphicView()
{
    // A drag cut short must not leave the undo manager grouping or disabled.
    if (m_document) {
        if (m_track.undoGroupOpen)
            m_document->undoManager().endUndoGrouping();
        if (m_track.undoDisabled)
            m_document->undoManager().enableUndoRegistration();
    }
    _handleShowingTimer->stop();
}

// --- Model -----------------------------------------------------------------------------------

bool SKTGraphicView::isFrontList() const
{
    return m_document && &m_document->graphics() == &m_graphics;
}

void SKTGraphicView::insertGraphics(const GraphicList &graphics, const platform::IndexSet &indexes)
{
    if (isFrontList())
        m_document->insertGraphics(graphics, indexes);
    else
        m_graphics.insertGraphics(graphics, indexes);
}

void SKTGraphicView::removeGraphicsAtIndexes(const platform::IndexSet &indexes)
{
    if (isFrontList())
        m_document->removeGraphicsAtIndexes(indexes);
    else
        m_graphics.removeGraphicsAtIndexes(indexes);
}

void SKTGraphicView::changeSelectionIndexes(const platform::IndexSet &indexes)
{
    m_selection.setIndexes(indexes);
    if (DesignWindowHub *hub = designWindow())
        hub->setMakeSameSizeButtonsEnabled(m_selection.count() >= 2);
}

void SKTGraphicView::setSelected_Graphic(const SKTGraphicPtr &graphic)
{
    // Only a graphic of this side may be current; anything else would outlive its welcome.
    if (graphic && m_graphics.contains(graphic.get()))
        m_Selected_Graphic = graphic;
    else
        m_Selected_Graphic.reset();
}

void SKTGraphicView::startObservingGraphic(const SKTGraphicPtr &graphic)
{
    Observation &observation = m_observed[graphic.get()];
    if (observation.occurrences++ == 0) {
        const SKTGraphic *raw = graphic.get();
        const auto changed = [this, raw](const QString &, const QVariant &, const QVariant &) {
            graphicAreaChanged(raw);
        };
        observation.areaChanges =
            graphic->subscribe({SKTGraphic::DrawingBoundsKey, SKTGraphic::DrawingContentsKey}, changed);
        observation.lastDrawingBounds = graphic->drawingBounds();
    }
    setNeedsDisplayInRect(graphic->drawingBounds());
}

void SKTGraphicView::stopObservingGraphic(const SKTGraphicPtr &graphic)
{
    const auto it = m_observed.find(graphic.get());
    if (it == m_observed.end())
        return;
    setNeedsDisplayInRect(it->second.lastDrawingBounds.united(graphic->drawingBounds()));
    if (--it->second.occurrences > 0)
        return;
    m_observed.erase(it);
    m_pictures.forget(graphic.get());
}

void SKTGraphicView::graphicAreaChanged(const SKTGraphic *graphic)
{
    const auto it = m_observed.find(graphic);
    if (it == m_observed.end())
        return;
    // The announcement carries no old area: the one remembered covers what is on screen.
    const QRectF now = graphic->drawingBounds();
    setNeedsDisplayInRect(it->second.lastDrawingBounds.united(now));
    it->second.lastDrawingBounds = now;
    noteUndoChange(graphic);
}

void SKTGraphicView::listChanged(const SKTGraphicList::Change &change)
{
    if (change.type == SKTGraphicList::Change::Inserted) {
        for (const SKTGraphicPtr &graphic : change.graphics)
            startObservingGraphic(graphic);
        if (_undoSelectionIndexes)
            _undoSelectionIndexes->add(change.indexes);
        return;
    }
    for (const SKTGraphicPtr &graphic : change.graphics) {
        stopObservingGraphic(graphic);
        if (m_graphics.contains(graphic.get()))
            continue;
        if (m_Selected_Graphic.lock() == graphic)
            m_Selected_Graphic.reset();
        if (_creatingGraphic.lock() == graphic)
            _creatingGraphic.reset();
        // A graphic taken away mid-drag is no longer the canvas's to resize.
        if (m_track.graphic == graphic &&
            (m_track.mode == Tracking::Resize || m_track.mode == Tracking::Create))
            m_track.mode = Tracking::Swallow;
    }
    if (m_graphics.isEmpty())
        noticeEmptyList();
}

void SKTGraphicView::noticeEmptyList()
{
    if (m_emptyNoticePending)
        return;
    m_emptyNoticePending = true;
    // Queued: the list may be emptied from inside a window call that is itself updating the panel.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_emptyNoticePending = false;
            if (!m_graphics.isEmpty())
                return;
            if (DesignWindowHub *hub = designWindow())
                hub->Show_RHS_Properties(nullptr);
        },
        Qt::QueuedConnection);
}

void SKTGraphicView::selectionDidChange(const GraphicList &left, const GraphicList &entered)
{
    for (const GraphicList *graphics : {&left, &entered})
        for (const SKTGraphicPtr &graphic : *graphics) {
            const auto it = m_observed.find(graphic.get());
            const QRectF area = graphic->drawingBounds();
            setNeedsDisplayInRect(it == m_observed.end() ? area : area.united(it->second.lastDrawingBounds));
        }
    adoptFrontMostSelected();
    emit selectionChanged();
}

void SKTGraphicView::adoptFrontMostSelected()
{
    // The front-most selected graphic is current. It follows the selection rather than painting, so
    // it does not depend on what a paint pass happened to cover.
    for (const SKTGraphicPtr &graphic : m_selection.graphics()) {
        if (!isFramePicture(*graphic)) {
            m_Selected_Graphic = graphic;
            return;
        }
    }
}

// --- Geometry and display --------------------------------------------------------------------

void SKTGraphicView::setGrid(SKTGrid *grid)
{
    if (grid == _grid)
        return;
    m_gridSubscription.cancel();
    _grid = grid;
    if (_grid)
        m_gridSubscription = _grid->subscribe([this] { update(); });
    update();
}

void SKTGraphicView::setCardFace(const Card_Property *face)
{
    m_cardFace = face;
    update();
}

void SKTGraphicView::setZoomFactor(double zoom)
{
    if (!(zoom > 0.0) || !std::isfinite(zoom) || zoom == m_zoom)
        return;
    m_zoom = zoom;
    setFixedSize(sizeHint());
    update();
}

void SKTGraphicView::setCanvasSize(const QSizeF &points)
{
    if (!(points.width() > 0.0 && points.height() > 0.0) || points == m_canvasSize)
        return;
    m_canvasSize = points;
    setFixedSize(sizeHint());
    update();
}

QSize SKTGraphicView::sizeHint() const
{
    // A hair below the next pixel still rounds down: 243 x 1.1 must not grow a blank column.
    const auto pixels = [this](double points) { return static_cast<int>(std::ceil(points * m_zoom - 1e-6)); };
    return QSize(pixels(m_canvasSize.width()), pixels(m_canvasSize.height()));
}

void SKTGraphicView::setNeedsDisplayInRect(const QRectF &rect)
{
    if (rect.isEmpty())
        return;
    const QRectF pixels(rect.x() * m_zoom, rect.y() * m_zoom, rect.width() * m_zoom, rect.height() * m_zoom);
    // One pixel more on each side for antialiased edges; only what the widget shows, so that an
    // object far off the card (a stray size read from a file or the pasteboard) still gives
    // integer pixels.
    const QRectF shown = pixels.adjusted(-1, -1, 1, 1).intersected(QRectF(this->rect()));
    if (!(shown.width() > 0 && shown.height() > 0))
        return;
    update(shown.toAlignedRect());
}

void SKTGraphicView::invalidateHandlesOfGraphics(const GraphicList &graphics)
{
    for (const SKTGraphicPtr &graphic : graphics)
        setNeedsDisplayInRect(graphic->drawingBounds());
}

void SKTGraphicView::Refresh_ScrollView(QObject *sender)
{
    Q_UNUSED(sender);
    for (QWidget *ancestor = parentWidget(); ancestor; ancestor = ancestor->parentWidget()) {
        if (auto *area = qobject_cast<QAbstractScrollArea *>(ancestor)) {
            area->viewport()->update();
            area->update();
            return;
        }
    }
}

void SKTGraphicView::invalidateSelectedGraphics()
{
    const GraphicList selected = selectedGraphics();
    if (!selected.isEmpty())
        setNeedsDisplayInRect(SKTGraphic::drawingBoundsOfGraphics(selected));
}

void SKTGraphicView::hideHandlesMomentarily()
{
    _handleShowingTimer->start();
    _isHidingHandles = true;
    invalidateSelectedGraphics();
}

void SKTGraphicView::unhideHandlesForTimer()
{
    _handleShowingTimer->stop();
    _isHidingHandles = false;
    invalidateSelectedGraphics();
}

QImage SKTGraphicView::paintBuffer(const QSize &size)
{
    const qreal ratio = devicePixelRatioF();
    const QSize pixels(static_cast<int>(std::ceil(size.width() * ratio)),
                       static_cast<int>(std::ceil(size.height() * ratio)));
    if (m_paintBuffer.width() < pixels.width() || m_paintBuffer.height() < pixels.height())
        m_paintBuffer = QImage(pixels.expandedTo(m_paintBuffer.size()), QImage::Format_ARGB32_Premultiplied);
    QImage buffer(m_paintBuffer.bits(), pixels.width(), pixels.height(), m_paintBuffer.bytesPerLine(),
                  m_paintBuffer.format());
    buffer.setDevicePixelRatio(ratio);
    return buffer;
}

void SKTGraphicView::paintEvent(QPaintEvent *event)
{
    const QRect area = event->rect();
    if (area.isEmpty())
        return;
    QPainter painter(this);
    const qreal ratio = devicePixelRatioF();
    if (ratio == std::floor(ratio)) {
        QImage buffer = paintBuffer(area.size());
        bool drawn = false;
        {
            QPainter bufferPainter(&buffer);
            bufferPainter.translate(-area.topLeft());
            bufferPainter.scale(m_zoom, m_zoom);
            drawn = drawSide(bufferPainter, area, event->region().translated(-area.topLeft()));
        }
        // A side that fails to draw shows none of itself rather than what the buffer last held.
        if (!drawn)
            buffer.fill(palette().color(QPalette::Window));
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        if (event->region().rectCount() > 1) {
            // Place by place: a copy through a clip of many places would go row by row, handed out
            // to the thread pool.
            for (const QRect &place : event->region())
                painter.drawImage(QRectF(place), buffer,
                                  QRectF(QPointF(place.topLeft() - area.topLeft()) * ratio, QSizeF(place.size()) * ratio));
        } else {
            painter.drawImage(area.topLeft(), buffer);
        }
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.scale(m_zoom, m_zoom);
    } else {
        // A buffer would start between device pixels and be copied out shifted by one.
        painter.scale(m_zoom, m_zoom);
        drawSide(painter, area, QRegion());
    }
    if (!_marqueeSelectionBounds.isNull()) {
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(_marqueeSelectionBounds);
    }
}

bool SKTGraphicView::drawSide(QPainter &painter, const QRect &area, const QRegion &exposed)
{
    const QRectF pixels(area);
    const QRectF dirty(pixels.x() / m_zoom, pixels.y() / m_zoom, pixels.width() / m_zoom, pixels.height() / m_zoom);

    SideDrawingOptions options;
    options.nonPrintingObjects = true;
    options.backdrop = palette().color(QPalette::Window);
    options.grid = _grid;
    options.handlesOf = _isHidingHandles ? nullptr : &m_selection;
    const SKTGraphicPtr creating = _creatingGraphic.lock();
    options.beingCreated = creating.get();
    options.pictures = &m_pictures;
    options.underlay = &m_underlay;
    options.drawn = [this](const SKTGraphic &graphic, const QRectF &drawingBounds) {
        if (const auto it = m_observed.find(&graphic); it != m_observed.end())
            it->second.lastDrawingBounds = drawingBounds;
    };
    options.exposed = exposed;
    options.resources = DrawingResources::ofProgram();
    return drawCardSide(painter, m_graphics.items(), m_cardFace, App().Card_Shape, canvasBounds(), dirty, options);
}

// --- Hit testing ---------------------------------------------------------------------------

SKTGraphicView::Hit SKTGraphicView::graphicUnderPoint(const QPointF &point) const
{
    for (int i = 0; i < m_graphics.count(); ++i) {
        const SKTGraphicPtr &graphic = m_graphics.at(i);
        if (isFramePicture(*graphic) || !graphic->drawingBounds().contains(point))
            continue;
        const bool selected = m_selection.contains(graphic.get());
        if (selected) {
            const int handle = graphic->handleUnderPoint(point);
            if (handle != SKTGraphicNoHandle)
                return {graphic, i, true, handle};
        }
        if (graphic->isContentsUnderPoint(point))
            return {graphic, i, selected, SKTGraphicNoHandle};
    }
    return {};
}

platform::IndexSet SKTGraphicView::indexesOfGraphicsIntersectingRect(const QRectF &rect) const
{
    platform::IndexSet indexes;
    for (int i = 0; i < m_graphics.count(); ++i) {
        const SKTGraphicPtr &graphic = m_graphics.at(i);
        if (!isFramePicture(*graphic) && graphic->drawingBounds().intersects(rect))
            indexes.add(i);
    }
    return indexes;
}

// --- Mouse -----------------------------------------------------------------------------------

void SKTGraphicView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    mouseDown(event);
}

void SKTGraphicView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    mouseDown(event);
}

void SKTGraphicView::mouseDown(QMouseEvent *event)
{
    // A press while a drag is still open means its release was lost: end that drag first.
    if (m_track.mode != Tracking::None)
        finishTracking();
    setFocus(Qt::MouseFocusReason);
    stopEditing();
    const QPointF point = canvasPointFromWidget(event->position());
    DesignWindowHub *hub = designWindow();

    if (hub) {
        if (const auto kind = SKTTool::kindForNumber(hub->Selected_Control_Tool())) {
            createGraphicOfClass(*kind, point, false, QRectF(), currentCardSideCode(), QString(), QString());
            return;
        }
    }

    m_Selected_Graphic.reset();
    if (event->type() == QEvent::MouseButtonDblClick) {
        const Hit hit = graphicUnderPoint(point);
        if (hit.graphic) {
            setSelected_Graphic(hit.graphic);
            if (hit.graphic->ctrl_is_visible && !hit.graphic->ctrl_is_locked) {
                startEditingGraphic(hit.graphic.get());
                if (hit.graphic->kind() == SKTGraphic::Kind::Barcode && hub)
                    hub->Open_Barcode_Window();
            }
            m_track = Track{};
            m_track.mode = Tracking::Swallow;
            return;
        }
    }
    selectAndTrackMouseWithEvent(event);
}

void SKTGraphicView::selectAndTrackMouseWithEvent(QMouseEvent *event)
{
    const bool extending = extendsSelection(event->modifiers());
    const QPointF point = canvasPointFromWidget(event->position());
    const Hit hit = graphicUnderPoint(point);
    m_track = Track{};

    if (!hit.graphic) {
        if (!extending)
            changeSelectionIndexes({});
        marqueeSelectWithEvent(event);
        return;
    }

    const SKTGraphicPtr &graphic = hit.graphic;
    m_track.graphic = graphic;
    setSelected_Graphic(graphic);
    if (!graphic->ctrl_is_visible) {
        m_track.mode = Tracking::Swallow;
        return;
    }
    m_track.showHitAtEnd = true;

    if (graphic->ctrl_is_locked) {
        if (!hit.isSelected)
            changeSelectionIndexes({hit.index});
        setSelected_Graphic(graphic);
        if (DesignWindowHub *hub = designWindow())
            hub->Refresh_Canvas();
        m_track.mode = Tracking::Swallow;
        return;
    }

    if (hit.handle != SKTGraphicNoHandle) {
        resizeGraphic(graphic, hit.handle, event);
        return;
    }

    platform::IndexSet indexes = selectionIndexes();
    if (extending) {
        if (hit.isSelected)
            indexes.remove(hit.index);
        else
            indexes.add(hit.index);
        changeSelectionIndexes(indexes);
    } else if (!hit.isSelected) {
        changeSelectionIndexes({hit.index});
    }
    setSelected_Graphic(graphic);

    if (!m_selection.contains(graphic.get())) {
        m_track.mode = Tracking::Swallow;
        return;
    }
    moveSelectedGraphicsWithEvent(event);
}

// The tracking routines below start a drag; the moves that follow reach trackTo() and the release
// ends it in finishTracking().

void SKTGraphicView::marqueeSelectWithEvent(QMouseEvent *event)
{
    m_track.mode = Tracking::Marquee;
    m_track.start = m_track.last = canvasPointFromWidget(event->position());
    m_track.initialSelection = selectionIndexes();
}

void SKTGraphicView::moveSelectedGraphicsWithEvent(QMouseEvent *event)
{
    const QPointF point = canvasPointFromWidget(event->position());
    m_track.mode = Tracking::Move;
    m_track.start = m_track.last = point;
    m_track.moved = selectedGraphics();
    const QRectF united = SKTGraphic::boundsOfGraphics(m_track.moved);
    m_track.offset = point - united.topLeft();
    m_track.movedSize = united.size();
    beginTrackingUndoGroup();
    beginEchoingMoveToRulers(united);
}

void SKTGraphicView::resizeGraphic(const SKTGraphicPtr &graphic, int usingHandle, QMouseEvent *withEvent)
{
    m_track.mode = Tracking::Resize;
    m_track.graphic = graphic;
    m_track.handle = usingHandle;
    m_track.start = m_track.last = canvasPointFromWidget(withEvent->position());
    beginTrackingUndoGroup();
    beginEchoingMoveToRulers(graphic->bounds());
}

void SKTGraphicView::mouseMoveEvent(QMouseEvent *event)
{
    if (m_track.mode == Tracking::None) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    autoscrollTo(event->position());
    trackTo(canvasPointFromWidget(event->position()));
}

void SKTGraphicView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || m_track.mode == Tracking::None) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    mouseUp(event);
}

void SKTGraphicView::mouseUp(QMouseEvent *event)
{
    // The release is the last tracked event, so a click without motion still resizes once.
    trackTo(canvasPointFromWidget(event->position()));
    finishTracking();
}

QPointF SKTGraphicView::constrained(const QPointF &point) const
{
    return _grid ? _grid->constrainedPoint(point) : point;
}

void SKTGraphicView::trackTo(const QPointF &point)
{
    switch (m_track.mode) {
    case Tracking::None:
    case Tracking::Swallow:
        return;

    case Tracking::Marquee: {
        const QRectF band = rectBetween(m_track.start, point);
        if (band == _marqueeSelectionBounds)
            return;
        setMarquee(band);
        const platform::IndexSet hits = indexesOfGraphicsIntersectingRect(band);
        if (hits.isEmpty())
            return;
        // Every step starts again from the selection at the press, so sweeping back undoes a toggle.
        platform::IndexSet indexes = m_track.initialSelection;
        for (int index : hits) {
            if (m_track.initialSelection.contains(index))
                indexes.remove(index);
            else
                indexes.add(index);
        }
        changeSelectionIndexes(indexes);
        return;
    }

    case Tracking::Move: {
        if (!m_track.isMoving) {
            if (std::abs(point.x() - m_track.start.x()) < kMoveThreshold &&
                std::abs(point.y() - m_track.start.y()) < kMoveThreshold)
                return;
            m_track.isMoving = true;
            _handleShowingTimer->stop();
            _isHidingHandles = true;
            setNeedsDisplayInRect(SKTGraphic::drawingBoundsOfGraphics(m_track.moved));
        }
        // The selection's origin snaps, not the mouse, so the grab point keeps its offset.
        const QPointF origin = constrained(point - m_track.offset);
        const QPointF target = origin + m_track.offset;
        if (target != m_track.last) {
            SKTGraphic::translateGraphics(m_track.moved, target.x() - m_track.last.x(), target.y() - m_track.last.y());
            continueEchoingMoveToRulers(QRectF(origin, m_track.movedSize));
        }
        m_track.last = target;
        return;
    }

    case Tracking::Resize:
    case Tracking::Create: {
        const SKTGraphicPtr &graphic = m_track.graphic;
        if (m_track.mode == Tracking::Resize && (graphic->ctrl_is_locked || isFramePicture(*graphic)))
            return;
        m_track.handle = graphic->resizeByMovingHandle(m_track.handle, constrained(point));
        continueEchoingMoveToRulers(graphic->bounds());
        return;
    }
    }
}

void SKTGraphicView::finishTracking()
{
    Track track = std::move(m_track);
    m_track = Track{};
    DesignWindowHub *hub = designWindow();

    switch (track.mode) {
    case Tracking::None:
    case Tracking::Swallow:
        break;
    case Tracking::Marquee:
        setMarquee(QRectF());
        if (hub)
            hub->Refresh_Canvas();
        // The panel follows what the band selected (or kept, after a Shift click on empty card).
        if (!Selected_Graphic())
            adoptFrontMostSelected();
        if (!m_selection.isEmpty()) {
            track.showHitAtEnd = true;
            track.graphic = Selected_Graphic();
        }
        break;
    case Tracking::Move:
        stopEchoingMoveToRulers();
        if (track.isMoving) {
            unhideHandlesForTimer();
            setNeedsDisplayInRect(SKTGraphic::drawingBoundsOfGraphics(track.moved));
        }
        if (hub)
            hub->Refresh_Canvas();
        break;
    case Tracking::Resize:
        stopEchoingMoveToRulers();
        break;
    case Tracking::Create:
        stopEchoingMoveToRulers();
        break;
    }

    if (m_document) {
        if (track.undoGroupOpen)
            m_document->undoManager().endUndoGrouping();
        if (track.undoDisabled)
            m_document->undoManager().enableUndoRegistration();
    }
    if (track.mode == Tracking::Create) {
        _creatingGraphic.reset();
        finishCreation(track);
    }

    if (!hub)
        return;
    if (track.showHitAtEnd && track.graphic && m_graphics.contains(track.graphic.get()))
        hub->Show_RHS_Properties(track.graphic.get());
    if (!Selected_Graphic())
        hub->Show_RHS_Properties(nullptr);
}

void SKTGraphicView::beginTrackingUndoGroup()
{
    // Qt delivers a drag as many events: one group keeps it one undo step.
    if (!m_document)
        return;
    m_document->undoManager().beginUndoGrouping();
    m_track.undoGroupOpen = true;
}

void SKTGraphicView::setMarquee(const QRectF &rect)
{
    const auto frame = [](const QRectF &r) { return r.adjusted(-1, -1, 1, 1); };
    if (!_marqueeSelectionBounds.isNull())
        setNeedsDisplayInRect(frame(_marqueeSelectionBounds));
    _marqueeSelectionBounds = rect;
    if (!rect.isNull())
        setNeedsDisplayInRect(frame(rect));
}

void SKTGraphicView::beginEchoingMoveToRulers(const QRectF &rect)
{
    _rulerEchoedBounds = rect;
    emit rulerEchoChanged(rect);
}

void SKTGraphicView::continueEchoingMoveToRulers(const QRectF &rect)
{
    if (rect == _rulerEchoedBounds)
        return;
    _rulerEchoedBounds = rect;
    emit rulerEchoChanged(rect);
}

void SKTGraphicView::stopEchoingMoveToRulers()
{
    _rulerEchoedBounds = QRectF();
    emit rulerEchoChanged(QRectF());
}

void SKTGraphicView::autoscrollTo(const QPointF &widgetPoint)
{
    for (QWidget *ancestor = parentWidget(); ancestor; ancestor = ancestor->parentWidget()) {
        auto *area = qobject_cast<QScrollArea *>(ancestor);
        if (!area)
            continue;
        QWidget *content = area->widget();
        if (content == this) {
            area->ensureVisible(qRound(widgetPoint.x()), qRound(widgetPoint.y()), 0, 0);
        } else if (content && content->isAncestorOf(this)) {
            const QPoint p = mapTo(content, widgetPoint.toPoint());
            area->ensureVisible(p.x(), p.y(), 0, 0);
        }
        return;
    }
}

// --- Keyboard and commands -------------------------------------------------------------------

void SKTGraphicView::keyPressEvent(QKeyEvent *event)
{
    // With nothing to nudge the arrows scroll the enclosing view instead.
    if (m_selection.isEmpty()) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Left: moveLeft(); break;
    case Qt::Key_Right: moveRight(); break;
    case Qt::Key_Up: moveUp(); break;
    case Qt::Key_Down: moveDown(); break;
    case Qt::Key_Backspace: deleteBackward(); break;
    case Qt::Key_Delete: deleteForward(); break;
    default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

void SKTGraphicView::moveSelectedGraphicsByX(double dx, double dy)
{
    const GraphicList selected = selectedGraphics();
    if (selected.isEmpty())
        return;
    hideHandlesMomentarily();
    SKTGraphic::translateGraphics(selected, dx, dy);
}

// --- Creation --------------------------------------------------------------------------------

SKTGraphicPtr SKTGraphicView::makeGraphic(SKTGraphic::Kind kind, const QPointF &point, const QString &ctrl_value,
                                          const QString &ctrl_ID) const
{
    DesignWindowHub *hub = designWindow();
    const int tool = hub ? hub->Selected_Control_Tool() : 0;
    // The picture kinds come from the tool whatever class the caller names, each with its picture.
    switch (tool) {
    case SKTTool::PictureFromFile: {
        const QString library = hub->Library_Selected_Image();
        if (QFileInfo(library).isFile())
            return chosenPicture(window(), point, library);
        if (QFileInfo(ctrl_value).isFile())
            return std::make_shared<SKTImage>(point, ctrl_value, ctrl_ID);
        return std::make_shared<SKTImage>(point, hub->no_image());
    }
    case SKTTool::PictureFromLibrary:
        return std::make_shared<SKTImage>(point,
                                          InputShield::loadPicture(window(), hub->Library_Selected_Image(), nullptr));
    case SKTTool::Barcode:
        return std::make_shared<SKTBarcode>(point, hub->barcode_sample_img());
    case SKTTool::Signature:
        return std::make_shared<SKTSignature>(point, hub->sign_sample_img(), QStringLiteral("S"));
    case SKTTool::Fingerprint:
        return std::make_shared<SKTSignature>(point, hub->fp_sample_img(), QStringLiteral("F"));
    default:
        break;
    }

    SKTGraphicPtr graphic = newGraphicOfKind(kind);
    if (kind == SKTGraphic::Kind::Text) {
        if (ctrl_value.isEmpty())
            return graphic;
        // The wizard's fields come in here, as typed: what a design file cannot hold is replaced.
        graphic->Text_Value = XmlCharacters::replaced(ctrl_value);
        graphic->_isDrawingStroke = false;
        graphic->_isDrawingFill = false;
        using namespace ControlTags;
        if (!ctrl_ID.contains(PartyPrefix))
            return graphic;
        if (ctrl_ID == PartyTitle || ctrl_ID == PartyDate || ctrl_ID == PartyTime || ctrl_ID == PartyVenue ||
            ctrl_ID == PartyMarriageInfo)
            graphic->text_alignmnet = 2;
        else if (ctrl_ID == PartyFrom)
            graphic->text_alignmnet = 1;
        if (ctrl_ID == PartyTitle || ctrl_ID == PartyMarriageInfo)
            graphic->text_ctrl_font = Font_With_Name(QStringLiteral("TimesNewRomanPS-BoldItalicMT"), 18.0);
        return graphic;
    }
    if (const SKTTool *shapeTool = SKTTool::withNumber(tool); shapeTool && *shapeTool->shapeCode)
        graphic->Set_Shape_Type(shapeTool->shapeType());
    return graphic;
}

SKTGraphicPtr SKTGraphicView::createGraphicOfClass(SKTGraphic::Kind kind, std::optional<QPointF> eventPoint,
                                                   bool use_rect, const QRectF &bound_rect,
                                                   const QString &card_side, const QString &ctrl_value,
                                                   const QString &ctrl_ID)
{
    if (m_track.mode != Tracking::None)
        finishTracking();
    DesignWindowHub *hub = designWindow();
    changeSelectionIndexes({});

    QPointF origin;
    QSizeF size;
    if (eventPoint) {
        origin = constrained(*eventPoint);
    } else {
        const auto newPoint = [&] { return hub ? hub->Control_New_Point(card_side) : QPointF(10, 10); };
        if (use_rect) {
            origin = ctrl_ID.isEmpty() ? newPoint() : bound_rect.topLeft();
            size = bound_rect.size();
        } else {
            origin = newPoint();
            size = QSizeF(50, 50);
        }
        if (_grid) {
            // Both corners on the grid, so the size may change.
            origin = _grid->constrainedPoint(origin);
            const QPointF corner = _grid->constrainedPoint(origin + QPointF(size.width(), size.height()));
            size = QSizeF(corner.x() - origin.x(), corner.y() - origin.y());
        }
    }

    SKTGraphicPtr graphic = makeGraphic(kind, origin, ctrl_value, ctrl_ID);
    // Every road that makes an object comes here: tools, the wizard, the barcode and signature tools.
    if (!roomFor(1, graphic->picturePixels(), tr("The object cannot be added.")))
        return nullptr;
    graphic->control_ID = ctrl_ID;
    // A picture from a file placed by its tool keeps its shape within the tool's size; one placed
    // by the program (a tag names it) takes the frame it was given.
    const QSizeF natural = graphic->bounds().size();
    if (!eventPoint && use_rect && ctrl_ID.isEmpty() && graphic->kind() == SKTGraphic::Kind::Image &&
        !graphic->FilePath().isEmpty() && natural.width() > 0 && natural.height() > 0)
        size = natural.scaled(size, Qt::KeepAspectRatio);
    // A barcode's symbol is drawn unscaled, so its frame is the symbol's size.
    const bool symbolSized = graphic->kind() == SKTGraphic::Kind::Barcode && !graphic->_barcode_image.isNull();
    if (!eventPoint && symbolSized)
        size = natural;
    graphic->setBounds(QRectF(origin, size));

    if (!eventPoint) {
        if (size.width() == 0 && size.height() == 0)
            return nullptr;
        platform::UndoManager *undo = m_document ? &m_document->undoManager() : nullptr;
        if (undo)
            undo->beginUndoGrouping();
        insertGraphics({graphic}, {0});
        changeSelectionIndexes({0});
        startEditingGraphic(graphic.get());
        if (undo)
            undo->endUndoGrouping();
        setSelected_Graphic(graphic);
        return graphic;
    }

    // The insertion is registered for undo only once the drag has kept the object, so a click that
    // makes nothing leaves no undo step and the sizing steps are not separate ones.
    m_track = Track{};
    if (m_document) {
        m_document->undoManager().disableUndoRegistration();
        m_track.undoDisabled = true;
    }
    insertGraphics({graphic}, {0});
    _creatingGraphic = graphic;
    m_track.mode = Tracking::Create;
    m_track.graphic = graphic;
    m_track.handle = graphic->creationSizingHandle();
    m_track.start = m_track.last = origin;
    beginEchoingMoveToRulers(graphic->bounds());
    return graphic;
}

void SKTGraphicView::finishCreation(Track &track)
{
    const SKTGraphicPtr graphic = track.graphic;
    const int index = m_graphics.indexOf(graphic.get());
    if (index < 0)
        return;
    if (graphic->width() == 0 && graphic->height() == 0) {
        const platform::ScopedUndoDisabling quietly(m_document ? &m_document->undoManager() : nullptr);
        removeGraphicsAtIndexes({index});
        return;
    }
    if (graphic->kind() == SKTGraphic::Kind::Barcode && !graphic->_barcode_image.isNull())
        graphic->makeNaturalSize();
    if (isFrontList() && m_document->undoManager().isUndoRegistrationEnabled()) {
        SKTDocument *document = m_document;
        m_document->undoManager().registerUndo(document, [document, index] { document->removeGraphicsAtIndexes({index}); });
    }
    changeSelectionIndexes({index});
    startEditingGraphic(graphic.get());
    setSelected_Graphic(graphic);
    track.showHitAtEnd = true;
}

SKTGraphicPtr SKTGraphicView::Selcect_Ctrl_With_ID(const QString &ctrl_ID) const
{
    for (const SKTGraphicPtr &graphic : m_graphics.items()) {
        const SKTGraphic::Kind kind = graphic->kind();
        if ((kind == SKTGraphic::Kind::Text || kind == SKTGraphic::Kind::Image) && graphic->control_ID == ctrl_ID)
            return graphic;
    }
    return nullptr;
}

void SKTGraphicView::ReplaceGraphicText(SKTGraphic::Kind kind, bool use_rect, const QRectF &bound_rect,
                                        const QString &card_side, const QString &ctrl_value, const QString &ctrl_ID)
{
    const SKTGraphicPtr graphic = Selcect_Ctrl_With_ID(ctrl_ID);
    if (!graphic) {
        createGraphicOfClass(kind, std::nullopt, use_rect, bound_rect, card_side, ctrl_value, ctrl_ID);
        return;
    }
    if (kind == SKTGraphic::Kind::Text) {
        if (!ctrl_value.isEmpty()) {
            graphic->Text_Value = XmlCharacters::replaced(ctrl_value);
            graphic->_isDrawingStroke = false;
            graphic->_isDrawingFill = false;
            graphic->Text_contents().string = graphic->Text_Value;
            graphic->Set_Ctrl_Is_Visible(true);
        }
    } else if (kind == SKTGraphic::Kind::Image) {
        // The picture itself is read again: writing the path alone would go on showing the old one.
        if (graphic->kind() == SKTGraphic::Kind::Image && QFileInfo(ctrl_value).isFile()) {
            static_cast<SKTImage &>(*graphic).setFilePath(ctrl_value);
            graphic->Set_Ctrl_Is_Visible(true);
        } else {
            Show_NSLog_Message(ctrl_value);
        }
    }
    // The writes above are silent field writes; the canvas still owes the screen a redraw.
    setNeedsDisplayInRect(graphic->drawingBounds());
    startEditingGraphic(graphic.get());
    setSelected_Graphic(graphic);
}
