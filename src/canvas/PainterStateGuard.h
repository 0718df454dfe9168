#pragma once

#include <QPainter>

// Restores the painter however the drawing ends, so that an exception leaves the caller's state intact.
class PainterStateGuard {
public:
    explicit PainterStateGuard(QPainter &painter) : m_painter(painter) { m_painter.save(); }
    ~PainterStateGuard() { m_painter.restore(); }
    PainterStateGuard(const PainterStateGuard &) = delete;
    PainterStateGuard &operator=(const PainterStateGuard &) = delete;

private:
    QPainter &m_painter;
};
