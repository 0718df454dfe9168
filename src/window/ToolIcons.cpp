#include "window/ToolIcons.h"

#include "canvas/SKTTool.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QtMath>

namespace {

const QColor kInk(52, 62, 80);
const QColor kAccent(64, 124, 204);
const QColor kAccentLight(196, 217, 244);
const QColor kWarm(226, 150, 60);

// Every icon is drawn on a 24-unit square and scaled to the size asked for.
constexpr double kUnit = 24.0;

QPen inkPen(double width = 1.6)
{
    QPen pen(kInk, width);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

QPainterPath starPath(const QPointF &centre, int points, double outer, double inner)
{
    QPainterPath path;
    for (int i = 0; i < points * 2; ++i) {
        const double radius = i % 2 ? inner : outer;
        const double angle = -M_PI / 2 + i * M_PI / points;
        const QPointF p(centre.x() + radius * std::cos(angle), centre.y() + radius * std::sin(angle));
        i == 0 ? path.moveTo(p) : path.lineTo(p);
    }
    path.closeSubpath();
    return path;
}

void drawShape(QPainter &p, const QPainterPath &path)
{
    p.setPen(inkPen());
    p.setBrush(kAccentLight);
    p.drawPath(path);
}

void drawPicture(QPainter &p, const QRectF &frame)
{
    p.setPen(inkPen(1.4));
    p.setBrush(Qt::white);
    p.drawRoundedRect(frame, 1.5, 1.5);
    QPainterPath hills;
    hills.moveTo(frame.left() + 1, frame.bottom() - 1);
    hills.lineTo(frame.left() + frame.width() * 0.38, frame.top() + frame.height() * 0.45);
    hills.lineTo(frame.left() + frame.width() * 0.6, frame.top() + frame.height() * 0.7);
    hills.lineTo(frame.left() + frame.width() * 0.75, frame.top() + frame.height() * 0.55);
    hills.lineTo(frame.right() - 1, frame.bottom() - 1);
    hills.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawPath(hills);
    p.setBrush(kWarm);
    p.drawEllipse(QPointF(frame.right() - frame.width() * 0.25, frame.top() + frame.height() * 0.28),
                  frame.width() * 0.09, frame.width() * 0.09);
}

void drawArrowHead(QPainter &p, const QPointF &tip, double angleDegrees)
{
    const double a = qDegreesToRadians(angleDegrees);
    const auto at = [&](double offset) {
        return QPointF(tip.x() - 5.0 * std::cos(a + offset), tip.y() - 5.0 * std::sin(a + offset));
    };
    QPainterPath head;
    head.moveTo(at(0.55));
    head.lineTo(tip);
    head.lineTo(at(-0.55));
    p.setBrush(Qt::NoBrush);
    p.drawPath(head);
}

void drawTool(QPainter &p, int tool)
{
    switch (tool) {
    case SKTTool::Arrow: {
        QPainterPath arrow;
        arrow.moveTo(7, 3);
        arrow.lineTo(7, 19);
        arrow.lineTo(11, 15.5);
        arrow.lineTo(14, 21);
        arrow.lineTo(16.5, 19.8);
        arrow.lineTo(13.6, 14.4);
        arrow.lineTo(18.5, 14);
        arrow.closeSubpath();
        p.setPen(inkPen(1.3));
        p.setBrush(Qt::white);
        p.drawPath(arrow);
        break;
    }
    case SKTTool::Line:
        p.setPen(inkPen(2.0));
        p.drawLine(QPointF(5, 19), QPointF(19, 5));
        p.setPen(Qt::NoPen);
        p.setBrush(kAccent);
        p.drawEllipse(QPointF(5, 19), 2.2, 2.2);
        p.drawEllipse(QPointF(19, 5), 2.2, 2.2);
        break;
    case SKTTool::Text: {
        QFont font(QStringLiteral("Liberation Serif"));
        font.setPixelSize(19);
        font.setBold(true);
        QPainterPath glyph;
        glyph.addText(0, 0, font, QStringLiteral("T"));
        const QRectF box = glyph.boundingRect();
        glyph.translate(12 - box.center().x(), 12 - box.center().y());
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        p.drawPath(glyph);
        break;
    }
    case SKTTool::Rectangle: {
        QPainterPath path;
        path.addRect(QRectF(4, 6, 16, 12));
        drawShape(p, path);
        break;
    }
    case SKTTool::Oval: {
        QPainterPath path;
        path.addEllipse(QRectF(3.5, 6, 17, 12));
        drawShape(p, path);
        break;
    }
    case SKTTool::RoundedRectangle: {
        QPainterPath path;
        path.addRoundedRect(QRectF(4, 6, 16, 12), 4, 4);
        drawShape(p, path);
        break;
    }
    case SKTTool::Triangle: {
        QPainterPath path;
        path.moveTo(12, 4.5);
        path.lineTo(20.5, 19);
        path.lineTo(3.5, 19);
        path.closeSubpath();
        drawShape(p, path);
        break;
    }
    case SKTTool::Diamond: {
        QPainterPath path;
        path.moveTo(12, 3.5);
        path.lineTo(20.5, 12);
        path.lineTo(12, 20.5);
        path.lineTo(3.5, 12);
        path.closeSubpath();
        drawShape(p, path);
        break;
    }
    case SKTTool::PictureFromFile:
        drawPicture(p, QRectF(3.5, 5.5, 17, 13));
        break;
    case SKTTool::PictureFromLibrary: // a stack of pictures
        p.setPen(inkPen(1.2));
        p.setBrush(QColor(236, 240, 247));
        p.drawRoundedRect(QRectF(7.5, 3.5, 13, 10), 1.5, 1.5);
        drawPicture(p, QRectF(3.5, 8.5, 14, 11));
        break;
    case SKTTool::Barcode: {
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        const double bars[][2] = {{4, 1.2}, {6.2, 0.8}, {7.8, 2.0}, {10.8, 0.8}, {12.4, 1.4},
                                  {14.8, 0.8}, {16.6, 2.0}, {19.4, 0.8}};
        for (const auto &bar : bars)
            p.drawRect(QRectF(bar[0], 5, bar[1], 11));
        p.setBrush(kAccent);
        p.drawRect(QRectF(4, 18, 16.2, 1.4));
        break;
    }
    case SKTTool::Signature: {
        QPainterPath ink;
        ink.moveTo(3.5, 15);
        ink.cubicTo(5, 6, 8, 5, 8.5, 10);
        ink.cubicTo(9, 15, 7, 17, 9.5, 15.5);
        ink.cubicTo(12, 13, 12.5, 9, 14, 12);
        ink.cubicTo(15, 14.5, 16, 15, 17.5, 12);
        ink.cubicTo(18.5, 10, 19.5, 11, 20.5, 12);
        p.setPen(inkPen(1.5));
        p.setBrush(Qt::NoBrush);
        p.drawPath(ink);
        p.setPen(QPen(kAccent, 1.2));
        p.drawLine(QPointF(3.5, 19.5), QPointF(20.5, 19.5));
        break;
    }
    case SKTTool::Fingerprint: {
        p.setBrush(Qt::NoBrush);
        p.setPen(inkPen(1.2));
        const QPointF centre(12, 13);
        for (int ring = 0; ring < 4; ++ring) {
            const double rx = 2.2 + ring * 2.3;
            const double ry = 3.0 + ring * 2.6;
            const QRectF box(centre.x() - rx, centre.y() - ry, 2 * rx, 2 * ry);
            // Each ridge breaks at a different place, as ridges of a print do.
            p.drawArc(box, (200 + ring * 25) * 16, (250 - ring * 20) * 16);
        }
        break;
    }
    case SKTTool::Star:
        drawShape(p, starPath(QPointF(12, 12.8), 5, 9.5, 4.0));
        break;
    case SKTTool::ManyPointStar:
        drawShape(p, starPath(QPointF(12, 12), 8, 9.5, 5.5));
        break;
    case SKTTool::Polygon: {
        QPainterPath path;
        for (int i = 0; i < 6; ++i) {
            const double angle = M_PI / 6 + i * M_PI / 3;
            const QPointF point(12 + 9 * std::cos(angle), 12 + 9 * std::sin(angle));
            i == 0 ? path.moveTo(point) : path.lineTo(point);
        }
        path.closeSubpath();
        drawShape(p, path);
        break;
    }
    default:
        break;
    }
}

void drawPadlock(QPainter &p, bool open)
{
    p.setPen(inkPen(1.8));
    p.setBrush(Qt::NoBrush);
    QPainterPath shackle;
    if (open) {
        shackle.moveTo(8, 11);
        shackle.lineTo(8, 7);
        shackle.arcTo(QRectF(8, 2.5, 8, 8), 180, -180);
        shackle.lineTo(16, 8);
        shackle.translate(5, -1.5);
    } else {
        shackle.moveTo(8, 11);
        shackle.lineTo(8, 7);
        shackle.arcTo(QRectF(8, 2.5, 8, 8), 180, -180);
        shackle.lineTo(16, 11);
    }
    p.drawPath(shackle);
    p.setPen(inkPen(1.3));
    p.setBrush(open ? kAccentLight : kWarm);
    p.drawRoundedRect(QRectF(5.5, 10.5, 13, 10), 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawEllipse(QPointF(12, 15), 1.4, 1.4);
}

void drawOrder(QPainter &p, bool toFront)
{
    const QRectF back(4, 4, 11, 11);
    const QRectF front(9, 9, 11, 11);
    p.setPen(inkPen(1.3));
    // The square the command moves is the accent one; it lies on top for "to front".
    const auto draw = [&](const QRectF &r, bool accent) {
        p.setBrush(accent ? kAccent : QColor(236, 240, 247));
        p.drawRect(r);
    };
    if (toFront) {
        draw(back, false);
        draw(front, true);
    } else {
        draw(back, true);
        draw(front, false);
    }
}

void drawPage(QPainter &p, const QRectF &page)
{
    // A sheet with its top-right corner folded over.
    const double fold = 4.5;
    QPainterPath sheet;
    sheet.moveTo(page.topLeft());
    sheet.lineTo(page.right() - fold, page.top());
    sheet.lineTo(page.right(), page.top() + fold);
    sheet.lineTo(page.bottomRight());
    sheet.lineTo(page.bottomLeft());
    sheet.closeSubpath();
    p.setPen(inkPen(1.3));
    p.setBrush(Qt::white);
    p.drawPath(sheet);
    QPainterPath corner;
    corner.moveTo(page.right() - fold, page.top());
    corner.lineTo(page.right() - fold, page.top() + fold);
    corner.lineTo(page.right(), page.top() + fold);
    p.setBrush(kAccentLight);
    p.drawPath(corner);
}

void drawDisk(QPainter &p, const QRectF &disk)
{
    p.setPen(inkPen(1.3));
    p.setBrush(kAccent);
    p.drawRoundedRect(disk, 1.5, 1.5);
    // Label below, shutter above.
    p.setBrush(Qt::white);
    p.drawRect(QRectF(disk.left() + 3, disk.top() + disk.height() * 0.52, disk.width() - 6, disk.height() * 0.42));
    p.setBrush(kAccentLight);
    p.drawRect(QRectF(disk.left() + 4, disk.top() + 0.6, disk.width() - 8, disk.height() * 0.32));
}

void drawCommand(QPainter &p, ToolIcons::Command command)
{
    using ToolIcons::Command;
    switch (command) {
    case Command::Undo:
    case Command::Redo: {
        const bool undo = command == Command::Undo;
        p.save();
        if (!undo) {
            p.translate(24, 0);
            p.scale(-1, 1);
        }
        QPainterPath curve;
        curve.moveTo(5, 10);
        curve.lineTo(14, 10);
        curve.cubicTo(21, 10, 21, 19, 14, 19);
        curve.lineTo(10, 19);
        p.setPen(inkPen(1.9));
        p.setBrush(Qt::NoBrush);
        p.drawPath(curve);
        drawArrowHead(p, QPointF(5, 10), 180);
        p.restore();
        break;
    }
    case Command::Cut:
        p.setPen(inkPen(1.5));
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(7, 3.5), QPointF(15.5, 15));
        p.drawLine(QPointF(17, 3.5), QPointF(8.5, 15));
        p.setBrush(kAccentLight);
        p.drawEllipse(QPointF(7, 18), 3, 3);
        p.drawEllipse(QPointF(17, 18), 3, 3);
        break;
    case Command::Copy:
        p.setPen(inkPen(1.3));
        p.setBrush(QColor(236, 240, 247));
        p.drawRoundedRect(QRectF(4, 3.5, 11, 13), 1.5, 1.5);
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(9, 7.5, 11, 13), 1.5, 1.5);
        p.setPen(QPen(kAccent, 1.2));
        for (double y : {11.5, 14.0, 16.5})
            p.drawLine(QPointF(11.5, y), QPointF(17.5, y));
        break;
    case Command::Paste:
        p.setPen(inkPen(1.3));
        p.setBrush(kWarm.lighter(150));
        p.drawRoundedRect(QRectF(4.5, 4.5, 15, 16.5), 2, 2);
        p.setBrush(kInk);
        p.drawRoundedRect(QRectF(8.5, 2.8, 7, 3.6), 1, 1);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7.5, 9, 9, 9.5));
        break;
    case Command::Delete: {
        p.setPen(inkPen(1.4));
        p.setBrush(QColor(236, 240, 247));
        QPainterPath can;
        can.moveTo(6.5, 7.5);
        can.lineTo(17.5, 7.5);
        can.lineTo(16.3, 20.5);
        can.lineTo(7.7, 20.5);
        can.closeSubpath();
        p.drawPath(can);
        p.drawLine(QPointF(4.5, 6), QPointF(19.5, 6));
        p.drawLine(QPointF(10, 4), QPointF(14, 4));
        p.setPen(QPen(kAccent, 1.2));
        for (double x : {10.0, 12.0, 14.0})
            p.drawLine(QPointF(x, 10), QPointF(x, 18));
        break;
    }
    case Command::BringToFront:
        drawOrder(p, true);
        break;
    case Command::SendToBack:
        drawOrder(p, false);
        break;
    case Command::Lock:
        drawPadlock(p, false);
        break;
    case Command::Unlock:
        drawPadlock(p, true);
        break;
    case Command::NewDesign:
        drawPage(p, QRectF(5.5, 3.5, 13, 17));
        p.setPen(QPen(kWarm, 1.8, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(12, 9.5), QPointF(12, 16.5));
        p.drawLine(QPointF(8.5, 13), QPointF(15.5, 13));
        break;
    case Command::OpenDesign: {
        p.setPen(inkPen(1.3));
        p.setBrush(kWarm.lighter(130));
        QPainterPath back;
        back.moveTo(3.5, 19.5);
        back.lineTo(3.5, 6);
        back.lineTo(9, 6);
        back.lineTo(11, 8);
        back.lineTo(19, 8);
        back.lineTo(19, 11);
        p.drawPath(back);
        QPainterPath front;
        front.moveTo(3.5, 19.5);
        front.lineTo(6.5, 11);
        front.lineTo(21.5, 11);
        front.lineTo(18.5, 19.5);
        front.closeSubpath();
        p.setBrush(kWarm.lighter(150));
        p.drawPath(front);
        break;
    }
    case Command::SaveDesign:
        drawDisk(p, QRectF(4, 4, 16, 16));
        break;
    case Command::SaveDesignAs: {
        drawDisk(p, QRectF(3, 3, 15, 15));
        // A pencil across the corner: the design goes under a new name.
        p.save();
        p.translate(17, 17);
        p.rotate(-45);
        p.setPen(inkPen(1.1));
        p.setBrush(kWarm);
        p.drawRect(QRectF(-2, -6.5, 4, 10));
        QPainterPath tip;
        tip.moveTo(-2, 3.5);
        tip.lineTo(0, 6.5);
        tip.lineTo(2, 3.5);
        tip.closeSubpath();
        p.setBrush(Qt::white);
        p.drawPath(tip);
        p.restore();
        break;
    }
    }
}

template <typename Draw>
QImage paint(int size, Draw &&draw)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / kUnit, size / kUnit);
    draw(painter);
    return image;
}

template <typename Draw>
QIcon icon(Draw &&draw)
{
    QIcon result;
    for (int size : {24, 48})
        result.addPixmap(QPixmap::fromImage(paint(size, draw)));
    return result;
}

} // namespace

namespace ToolIcons {

QImage toolImage(int tool, int size)
{
    return paint(size, [tool](QPainter &p) { drawTool(p, tool); });
}

QImage commandImage(Command command, int size)
{
    return paint(size, [command](QPainter &p) { drawCommand(p, command); });
}

QIcon toolIcon(int tool)
{
    return icon([tool](QPainter &p) { drawTool(p, tool); });
}

QIcon commandIcon(Command command)
{
    return icon([command](QPainter &p) { drawCommand(p, command); });
}

} // namespace ToolIcons
