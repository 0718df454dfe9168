#pragma once

#include <QList>
#include <QWidget>

class SWCenteringClipView;

// A ruler along one edge of a zooming scroll view's visible area. Locations are in document
// points from the card's top-left corner, so a canvas can put its own coordinates on it directly.
class RulerView : public QWidget {
    Q_OBJECT

public:
    // The location that stands for "no line" when moving ruler lines.
    static constexpr double NoRulerline = -1.0;
    static constexpr int Thickness = 18;

    RulerView(Qt::Orientation orientation, SWCenteringClipView *clipView, QWidget *parent = nullptr);

    Qt::Orientation orientation() const { return m_orientation; }

    // The pixel along the ruler at which a document location lies.
    double positionForLocation(double location) const;

    // Moves one line from `from` to `to`; either may be NoRulerline, to add or remove a line.
    void moveRulerline(double from, double to);
    const QList<double> &rulerlineLocations() const { return m_rulerlines; }

    // Spacing in points of the smallest marks and of the labelled marks at a zoom factor: marks
    // are every 10 points unless they would crowd, labels only where their text fits.
    static double markStep(double factor);
    static double labelStep(double factor, int labelWidth);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Qt::Orientation m_orientation;
    SWCenteringClipView *m_clipView;
    QList<double> m_rulerlines;
};
