#pragma once

#include "platform/ObserverList.h"
#include "platform/SingleShotTimer.h"

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRectF>

#include <memory>
#include <optional>

class QPainter;

// The one grid of the design window, shared by the three canvases: spacing, line colour, shown and
// snapping flags. Observers of "any" (the canvases) redraw when it changes.
class SKTGrid {
public:
    static constexpr double SKTGridTemporaryShowingTime = 1.0; // seconds
    static const char *const SKTGridAnyKey;                    // "any"

    // The temporary showing's timer comes from `timers` (the event loop's when none).
    explicit SKTGrid(platform::TimerFactory timers = {});
    ~SKTGrid();
    SKTGrid(const SKTGrid &) = delete;
    SKTGrid &operator=(const SKTGrid &) = delete;

    bool isAlwaysShown() const { return _isAlwaysShown; }
    bool isConstraining() const { return _isConstraining; }
    bool isUsable() const { return _spacing > 0.0; }
    bool canSetColor() const { return isAlwaysShown() && isUsable(); }
    bool canSetSpacing() const { return isAlwaysShown() || isConstraining(); }
    bool canAlign() const { return isUsable(); }
    // Shown, or in a temporary showing after a spacing change.
    bool isShowing() const;

    void setConstraining(bool constraining);
    void setAlwaysShown(bool shown);
    void setSpacing(double spacing);
    void stopShowingGridForTimer();

    QPointF constrainedPoint(const QPointF &point) const;
    // Requires a usable grid; answers the rectangle unchanged otherwise.
    QRectF alignedRect(const QRectF &rect) const;
    // Draws the lines that cross `dirtyRect`, in canvas points.
    void drawRect(QPainter &painter, const QRectF &dirtyRect) const;
    // The same for a card at `cardBounds` (origin at 0, 0): on a plain raster device the lines of the
    // whole card are kept as a picture per scale, spacing and colour, and each repaint copies the
    // part it needs instead of stroking every line again. The pixels are the same either way.
    void drawRect(QPainter &painter, const QRectF &dirtyRect, const QRectF &cardBounds) const;
    // Brings the kept picture up to date for painters set up as this one; false where lines are
    // stroked instead.
    bool keepPictureFor(const QPainter &painter, const QRectF &cardBounds) const;
    // As drawRect, but never makes the kept picture, so that painters on any threads may draw the
    // grid at once: after keepPictureFor on painters set up alike, they copy it.
    void drawRectFromKeptPicture(QPainter &painter, const QRectF &dirtyRect, const QRectF &cardBounds) const;

    // Appends what drawRect draws for a card to a picture cache key.
    void appendDrawingCacheKey(QByteArray &key) const;

    // Observers of "any", told after every setter call and at the end of a temporary showing.
    using Observers = platform::ObserverList<>;
    platform::Subscription subscribe(Observers::Callback callback)
    {
        return m_observers.subscribe(std::move(callback));
    }
    Observers::Token addObserver(Observers::Callback callback) { return m_observers.add(std::move(callback)); }
    void removeObserver(Observers::Token token) { m_observers.remove(token); }

    // Written directly by the grid dialog; nobody is told.
    QColor _color;
    double _spacing = 9.0;

private:
    struct Picture {
        QImage lines;
        QColor color;
        double spacing = 0.0;
        double scaleX = 0.0, scaleY = 0.0;
        QRectF card;
        QSize pixels;
        bool sameLinesAs(const Picture &other) const;
    };
    // What a picture of the lines would be for this painter, where a copy of one draws them.
    std::optional<Picture> plainPicture(const QPainter &painter, const QRectF &cardBounds) const;
    void copyKeptLines(QPainter &painter, const QRectF &dirtyRect, const QRectF &cardBounds) const;
    mutable Picture m_picture; // made on the GUI thread, which canvases draw the grid on
public:

private:
    bool _isAlwaysShown = false;
    bool _isConstraining = false;
    platform::TimerFactory m_timers;
    std::unique_ptr<platform::SingleShotTimer> _hidingTimer;
    Observers m_observers;
};
