#pragma once

#include "canvas/GraphicPictureCache.h"
#include "canvas/SKTSelection.h"
#include "canvas/SideDrawing.h"
#include "document/SKTGraphic.h"
#include "document/SKTGraphicList.h"
#include "platform/IndexSet.h"
#include "platform/SingleShotTimer.h"

#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>

class Card_Property;
class SKTDocument;
class SKTGrid;

// The canvas of one card side: shows the side's list over the card face and the grid, and is where
// objects are selected, moved, resized and created with the mouse. It holds no graphics: it reads
// and changes the list it is bound to and learns of every change by observation.
//
// Coordinates of the public interface are canvas points (the card, y growing downward); the widget
// is the canvas size times the zoom factor. The list, the document and the grid must outlive the
// canvas.
class SKTGraphicView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHandleHidingMilliseconds = 500;
    static constexpr double kMoveThreshold = 2.0; // points of mouse travel before a drag moves

    // Front-list changes go through `document`'s undoable mutators when it owns `graphics`;
    // other lists are changed directly. `document` may be null. The timer that shows the handles
    // again after nudges comes from `timers` (the event loop's when none).
    SKTGraphicView(SKTGraphicList &graphics, SKTDocument *document, QWidget *parent = nullptr,
                   const platform::TimerFactory &timers = {});
    ~SKTGraphicView() override;

    // --- Model -------------------------------------------------------------------------------
    SKTGraphicList &graphicsList() { return m_graphics; }
    const GraphicList &graphics() const { return m_graphics.items(); }
    SKTDocument *document() const { return m_document; }
    void insertGraphics(const GraphicList &graphics, const platform::IndexSet &indexes);
    void removeGraphicsAtIndexes(const platform::IndexSet &indexes);

    SKTSelection &selection() { return m_selection; }
    platform::IndexSet selectionIndexes() const { return m_selection.indexes(); }
    GraphicList selectedGraphics() const { return m_selection.graphics(); }
    // Writes the selection and enables the make-same-size buttons for two or more objects.
    void changeSelectionIndexes(const platform::IndexSet &indexes);

    // The canvas's current graphic: the one the properties panel shows and edits.
    SKTGraphicPtr Selected_Graphic() const { return m_Selected_Graphic.lock(); }
    void setSelected_Graphic(const SKTGraphicPtr &graphic);

    // --- Geometry and display ------------------------------------------------------------------
    void setGrid(SKTGrid *grid);
    SKTGrid *grid() const { return _grid; }
    // The face of this canvas's side, drawn under its objects; nullptr draws a plain white card.
    // Not owned: the design window keeps both sides' faces for the whole run.
    void setCardFace(const Card_Property *face);
    const Card_Property *cardFace() const { return m_cardFace; }
    void setZoomFactor(double zoom);
    double zoomFactor() const { return m_zoom; }
    void setCanvasSize(const QSizeF &points);
    QSizeF canvasSize() const { return m_canvasSize; }
    QRectF canvasBounds() const { return QRectF(QPointF(0, 0), m_canvasSize); }
    QPointF canvasPointFromWidget(const QPointF &widgetPoint) const { return widgetPoint / m_zoom; }
    // Marks an area given in canvas points for redrawing.
    void setNeedsDisplayInRect(const QRectF &rect);
    void invalidateHandlesOfGraphics(const GraphicList &graphics);
    // Marks the enclosing scroll view for redrawing: after a size change the area around the card
    // changes too. `sender` is the control that asked.
    void Refresh_ScrollView(QObject *sender = nullptr);
    bool isHidingHandles() const { return _isHidingHandles; }
    void hideHandlesMomentarily();
    QRectF marqueeSelectionBounds() const { return _marqueeSelectionBounds; }
    // The rectangle echoed on the rulers while moving or resizing; null when none.
    QRectF rulerEchoedBounds() const { return _rulerEchoedBounds; }

    // No kind offers an in-place editor, so there is nothing to start or stop; callers still
    // announce their edits through these hooks.
    void startEditingGraphic(SKTGraphic *) {}
    void stopEditing() {}

    // --- Hit testing ---------------------------------------------------------------------------
    struct Hit {
        SKTGraphicPtr graphic;
        int index = -1;
        bool isSelected = false;
        int handle = SKTGraphicNoHandle;
    };
    // Front to back; handles count only on selected graphics; the frame picture is never hit.
    Hit graphicUnderPoint(const QPointF &point) const;
    // The frame picture excepted; locked and invisible graphics included.
    platform::IndexSet indexesOfGraphicsIntersectingRect(const QRectF &rect) const;

    // --- Commands ------------------------------------------------------------------------------
    void moveSelectedGraphicsByX(double dx, double dy);
    void moveLeft() { moveSelectedGraphicsByX(-1, 0); }
    void moveRight() { moveSelectedGraphicsByX(1, 0); }
    void moveUp() { moveSelectedGraphicsByX(0, -1); }
    void moveDown() { moveSelectedGraphicsByX(0, 1); }
    // What the design leaves of its limits for objects added to it.
    DesignFile::DesignLoad designRoom() const;
    // Whether `objects` more objects holding `pixels` more pixels fit in the design; when not, the
    // user is told `refusal` and why, and nothing is to be added.
    bool roomFor(qsizetype objects, qint64 pixels, const QString &refusal) const;

    // Makes one object of `kind` (tools 8 to 12 decide the kind themselves) and puts it on top.
    // With `eventPoint` (a press, in canvas points) the object is sized by the drag that follows and
    // is taken back if the drag leaves it without width and height; the answer is then the object
    // being created. Without it the object is placed at once: at `bound_rect` when `use_rect` (at
    // the side's new-object point when `ctrl_ID` is empty), else 50 x 50 at the new-object point.
    // Answers null when nothing was made, as when the design has no room for it (the user is told).
    SKTGraphicPtr createGraphicOfClass(SKTGraphic::Kind kind, std::optional<QPointF> eventPoint, bool use_rect,
                                       const QRectF &bound_rect, const QString &card_side,
                                       const QString &ctrl_value, const QString &ctrl_ID);
    // Gives the text or picture tagged `ctrl_ID` the new value, or creates it (without an event).
    void ReplaceGraphicText(SKTGraphic::Kind kind, bool use_rect, const QRectF &bound_rect,
                            const QString &card_side, const QString &ctrl_value, const QString &ctrl_ID);
    // The first plain text or picture (not a subclass) tagged `ctrl_ID`, front to back.
    SKTGraphicPtr Selcect_Ctrl_With_ID(const QString &ctrl_ID) const;

    // --- Edit commands -------------------------------------------------------------------------
    // They act on this canvas's selection; refusals are shown in the shared message box.
    static const QString SKTGraphicViewPasteboardType; // "ZOLT Card Graphics pasteboard type"
    bool There_Is_Any_Lock_Contrl() const;
    bool There_Is_Frame_Pic_Or_Frame_Photo() const;
    void copy();
    void cut();
    void paste();
    void delete_();
    void deleteBackward() { delete_(); }
    void deleteForward() { delete_(); }
    void selectAll();
    void deselectAll();
    void Clear_Control_Selection() { deselectAll(); }
    void bringToFront();
    void sendToBack();
    void alignLeftEdges();
    void alignRightEdges();
    void alignTopEdges();
    void alignBottomEdges();
    void alignHorizontalCenters();
    void alignVerticalCenters();
    void alignformCenter();
    void alignWithGrid();
    void makeSameWidth();
    void makeSameHeight();
    void makeNaturalSize();
    void print_contol_or_not(int value);
    void undo();
    void redo();
    void showOrHideRulers() { emit rulersToggleRequested(); }
    void changeColor() {}
    bool makeNewImageFromPasteboard(const QPointF &point);
    void delete_all_control();
    void Hide_all_Text_control_FUP_Control();
    void delete_all_Text_control();

    enum class Command {
        Copy, Cut, Paste, Delete, SelectAll, BringToFront, SendToBack, AlignLeftEdges, AlignRightEdges,
        AlignTopEdges, AlignBottomEdges, AlignHorizontalCenters, AlignVerticalCenters, AlignFormCenter,
        AlignWithGrid, MakeSameWidth, MakeSameHeight, MakeNaturalSize, Undo, Redo, ShowOrHideRulers
    };
    // Whether a menu item or button for the command is enabled now.
    bool validateMenuItem(Command command) const;
    // The window's own answer for the commands the canvas leaves to it (undo and redo).
    bool Get_Menu_Status(Command command) const;

    QSize sizeHint() const override;

signals:
    void selectionChanged();
    // Begins, follows and (with a null rectangle) ends the rulers' echo of a move or resize.
    void rulerEchoChanged(const QRectF &bounds);
    // The enclosing scroll view shows or hides its rulers.
    void rulersToggleRequested();

protected:
    void paintEvent(QPaintEvent *event) override;
    QImage paintBuffer(const QSize &size);
    bool drawSide(QPainter &painter, const QRect &area, const QRegion &exposed);
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

    // A press starts the tracking of a drag, the moves follow it and the release ends it.
    void mouseDown(QMouseEvent *event);
    void mouseUp(QMouseEvent *event);

private:
    void invalidateSelectedGraphics();
    enum class Tracking { None, Swallow, Marquee, Move, Resize, Create };
    struct Track {
        Tracking mode = Tracking::None;
        SKTGraphicPtr graphic; // the hit, resized or created graphic
        int handle = SKTGraphicNoHandle;
        QPointF start;   // press point
        QPointF last;    // last point the selection was moved to
        QPointF offset;  // from the moved union's origin to the press point
        QSizeF movedSize;
        GraphicList moved;
        platform::IndexSet initialSelection;
        bool isMoving = false;
        bool showHitAtEnd = false; // the panel shows `graphic` when the press ends
        bool undoGroupOpen = false;
        bool undoDisabled = false;
    };
    struct Observation {
        QRectF lastDrawingBounds; // where the graphic was last known to be drawn
        int occurrences = 0;
        platform::Subscription areaChanges;
    };

    void selectAndTrackMouseWithEvent(QMouseEvent *event);
    void marqueeSelectWithEvent(QMouseEvent *event);
    void moveSelectedGraphicsWithEvent(QMouseEvent *event);
    void resizeGraphic(const SKTGraphicPtr &graphic, int usingHandle, QMouseEvent *withEvent);
    void trackTo(const QPointF &point);
    void finishTracking();
    void finishCreation(Track &track);
    void beginTrackingUndoGroup();
    void beginEchoingMoveToRulers(const QRectF &rect);
    void continueEchoingMoveToRulers(const QRectF &rect);
    void stopEchoingMoveToRulers();
    void autoscrollTo(const QPointF &widgetPoint);
    QPointF constrained(const QPointF &point) const;
    void setMarquee(const QRectF &rect);
    void unhideHandlesForTimer();

    void startObservingGraphic(const SKTGraphicPtr &graphic);
    void stopObservingGraphic(const SKTGraphicPtr &graphic);
    void listChanged(const SKTGraphicList::Change &change);
    void selectionDidChange(const GraphicList &left, const GraphicList &entered);
    void adoptFrontMostSelected();
    void graphicAreaChanged(const SKTGraphic *graphic);
    void noticeEmptyList();
    bool isFrontList() const;
    SKTGraphicPtr makeGraphic(SKTGraphic::Kind kind, const QPointF &point, const QString &ctrl_value,
                              const QString &ctrl_ID) const;
    bool refuseEdit(const QString &photoMessage) const;
    void alignSelection(const std::function<QPointF(const QRectF &reference, const QRectF &bounds)> &toOrigin);
    void makeSameSize(bool width);
    // Takes the selection out and puts it back, in order, on top or at the bottom.
    void moveSelectionToEnd(bool front);
    void insertPicture(const QImage &picture, const QPointF &centre);
    void replay(bool undoing);
    void noteUndoChange(const SKTGraphic *graphic);

    SKTGraphicList &m_graphics;
    SKTDocument *m_document;
    SKTSelection m_selection;
    platform::Subscription m_listSubscription;
    platform::Subscription m_selectionSubscription;
    std::unordered_map<const SKTGraphic *, Observation> m_observed;
    GraphicPictureCache m_pictures;
    UnderlayPicture m_underlay;
    // Repaints are drawn here first, so that objects are drawn with no clip but the area's, and
    // then copied out; kept at the largest area asked for, which is at most what the screen shows.
    QImage m_paintBuffer;

    SKTGrid *_grid = nullptr;
    platform::Subscription m_gridSubscription;
    const Card_Property *m_cardFace = nullptr;
    double m_zoom = 1.0;
    QSizeF m_canvasSize;

    std::weak_ptr<SKTGraphic> m_Selected_Graphic;
    std::weak_ptr<SKTGraphic> _creatingGraphic;
    QRectF _marqueeSelectionBounds;
    QRectF _rulerEchoedBounds;
    bool _isHidingHandles = false;
    std::unique_ptr<platform::SingleShotTimer> _handleShowingTimer;
    bool m_emptyNoticePending = false;
    Track m_track;

    qint64 _pasteboardChangeCount = -1;
    qint64 _pasteCascadeNumber = 0;
    std::optional<platform::IndexSet> _undoSelectionIndexes; // collected while undo or redo runs
};
