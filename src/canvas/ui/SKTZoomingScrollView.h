#pragma once

#include <QAbstractScrollArea>
#include <QRectF>
#include <QSizeF>
#include <QStringList>

#include <array>

class QComboBox;
class RulerView;
class SWCenteringClipView;

// The scroll view of one canvas: shows its document view scaled by a zoom factor inside a centring
// clip view, with a zoom pop-up at the left end of the horizontal scroll bar and optional rulers.
//
// The document view is any widget whose natural size is in points. The scroll view gives it a
// widget size of points x factor; the document paints itself scaled by zoomFactor() and follows
// zoomFactorChanged(). Whoever changes the document's size in points tells the scroll view
// (setDocumentSize), since the widget's own size is the scaled one.
class SKTZoomingScrollView : public QAbstractScrollArea {
    Q_OBJECT
    Q_PROPERTY(double factor READ factor WRITE setFactor NOTIFY factorChanged)

public:
    // The name under which the design window keeps the three scroll views' zooms in step.
    static constexpr const char *SKTZoomingScrollViewFactor = "factor";
    static const std::array<double, 11> SKTZoomingScrollViewFactors;
    static const std::array<const char *, 11> SKTZoomingScrollViewLabels;

    explicit SKTZoomingScrollView(QWidget *parent = nullptr);
    ~SKTZoomingScrollView() override;

    // The scroll view that shows `view`, or null: lets a canvas find its zoom and rulers.
    static SKTZoomingScrollView *enclosingScrollView(const QWidget *view);

    // The widget's current size is taken as its size in points.
    void setDocumentView(QWidget *view);
    QWidget *documentView() const;
    void setDocumentSize(const QSizeF &points);
    QSizeF documentSize() const;
    SWCenteringClipView *clipView() const { return m_clipView; }

    double factor() const { return _factor; }
    double zoomFactor() const { return _factor; }

    void validateFactorPopUpButton();
    QComboBox *factorPopUpButton() const { return _factorPopUpButton; }
    // Lays out the pop-up and the rulers around the visible area.
    void tile();

    bool rulersVisible() const { return m_rulersVisible; }
    void setRulersVisible(bool visible);
    void toggleRulers() { setRulersVisible(!m_rulersVisible); }
    RulerView *horizontalRuler() const { return m_horizontalRuler; }
    RulerView *verticalRuler() const { return m_verticalRuler; }

public slots:
    // Applies a zoom; the pop-up shows the item whose factor equals it exactly, or nothing.
    void setFactor(double factor);
    // Shows a rectangle in document points as lines at its edges and centre on both rulers, moving
    // the lines of the previous one; a null rectangle takes them away.
    void echoOnRulers(const QRectF &bounds);

signals:
    // Both follow every change of the factor, whether chosen on the pop-up or set by code; the
    // design window listens to the first, the document view to the second.
    void factorChanged(double factor);
    void zoomFactorChanged(double factor);
    void rulersVisibleChanged(bool visible);

protected:
    bool viewportEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void syncScrollBars();
    void selectFactorItem();

    SWCenteringClipView *m_clipView;
    QComboBox *_factorPopUpButton = nullptr;
    double _factor = 1.0;
    bool m_rulersVisible = false;
    bool m_syncingScrollBars = false;
    QRectF m_echoedBounds;
    RulerView *m_horizontalRuler;
    RulerView *m_verticalRuler;
    QWidget *m_rulerCorner;
};
