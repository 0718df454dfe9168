#pragma once

#include "platform/Subscription.h"

#include <QImage>
#include <QLinearGradient>
#include <QPointer>
#include <QRectF>
#include <QWidget>

#include <optional>

// The viewport of a zooming scroll view. Its bounds are in document points: the origin is the
// document point shown at the top-left corner, the size is the widget's size divided by the zoom.
// It keeps the document centred on each axis where the document is smaller than the visible area,
// and paints the backdrop, the card's shadow and the white card shape under the document view.
class SWCenteringClipView : public QWidget {
    Q_OBJECT

public:
    explicit SWCenteringClipView(QWidget *parent = nullptr);
    ~SWCenteringClipView() override;

    // The document view becomes a child of this view and its size now is taken as its size in
    // points; a previous document view is only hidden, so that whoever holds it may still use it.
    void setDocumentView(QWidget *view);
    QWidget *documentView() const { return m_documentView; }
    // The document's size in points. A document that resizes itself is taken to have resized to
    // its new size in points times the factor, as a canvas that scales itself does.
    void setDocumentSize(const QSizeF &points);
    QSizeF documentSize() const { return m_documentSize; }

    // The document view's frame in points; a missing document view is the zero rectangle.
    QRectF documentFrame() const;
    QRectF bounds() const;
    double factor() const { return m_factor; }
    // Non-positive and non-finite factors are ignored.
    void setFactor(double factor);

    void setBoundsOrigin(const QPointF &origin);
    void scrollToPoint(const QPointF &point);
    void centerDocument();
    QPointF constrainScrollPoint(const QPointF &point) const;

    // The bounds origin that centres the document on each axis where the bounds are larger.
    static QPointF centeredOrigin(const QRectF &documentFrame, const QRectF &bounds);
    // The largest origin on an axis where the document overhangs the bounds by `overhang` points.
    static double farthestOrigin(double overhang);
    // Keeps the document inside the bounds and centred on an axis where it is smaller.
    static QPointF constrainScrollPoint(const QPointF &point, const QRectF &documentFrame, const QRectF &bounds);

    // Where the document's origin and its frame lie in this widget's pixels.
    QPointF documentOriginInView() const;
    QRect documentRectInView() const;

signals:
    // The bounds or the document frame changed: scroll bars and rulers follow.
    void scrollGeometryChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // A press on the backdrop around the card is the canvas's: it deselects, and a rubber band
    // may start there.
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void placeDocumentView();
    void forwardToDocument(QMouseEvent *event);
    // After any change of size, zoom or origin: place the document, repaint, tell, centre.
    void relayout();
    void drawShadow(QPainter &painter, const QPainterPath &card);

    QPointer<QWidget> m_documentView;
    // Gone with the members, before QWidget's destructor deletes the children whose signal it takes.
    platform::Subscription m_documentDestroyed;
    QSizeF m_documentSize;
    QPointF m_boundsOrigin;
    double m_factor = 1.0;

    std::optional<QLinearGradient> backgroundGradient;

    // The blurred shadow depends only on geometry and shape, so it survives plain repaints.
    struct ShadowCache {
        QRect cardRect;
        QRect area;
        int shape = -1;
        double factor = 0.0;
        QImage image;
    } m_shadowCache;
};
