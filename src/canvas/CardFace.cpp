#include "canvas/CardFace.h"
#include "canvas/PainterStateGuard.h"

#include "core/MessageBoxes.h"
#include "document/Card_Property.h"
#include "document/DrawingCacheKey.h"
#include "document/DrawingResources.h"
#include "document/Shape_Control.h"

#include <QBrush>
#include <QPainter>
#include <QPainterPath>

#include <exception>

namespace {

QPainterPath cardPath(const QRectF &rect, int cardShape)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    if (cardShape == 1)
        path.addRoundedRect(rect, 10, 10);
    else if (cardShape == 2)
        path.addEllipse(rect);
    else
        path.addRect(rect);
    return path;
}

} // namespace

void drawCardFace(QPainter &painter, const QRectF &cardRect, const Card_Property &side, int cardShape,
                  const DrawingResources &resources)
{
    try {
        PainterStateGuard guard(painter);
        const QPainterPath path = cardPath(cardRect, cardShape);
        painter.fillPath(path, Qt::white);
        if (!side.Card_fill_chk())
            return;

        const QString &style = side.Card_fill_style();
        if (style == QLatin1String("G")) {
            painter.fillPath(path, QBrush(ShapePainting::gradientForBox(path.boundingRect(), side.Card_grad_Stepper(),
                                                                        side.Card_fill_Grd_1_clr(),
                                                                        side.Card_fill_Grd_2_clr())));
        } else if (style == QLatin1String("H")) {
            painter.fillPath(path, side.Card_hatch_bk_clr());
            const QImage pattern = resources.hatchPattern(side.Card_hatch_style());
            if (!pattern.isNull())
                painter.fillPath(path, QBrush(pattern));
        } else if (style != QLatin1String("I")) {
            painter.fillPath(path, side.Card_fill_clr());
        }
    } catch (const std::exception &e) {
        Show_NSLog_Message(QString::fromUtf8(e.what()));
    }
}

void appendCardFaceKey(QByteArray &key, const QRectF &cardRect, const Card_Property &side, int cardShape,
                       const DrawingResources &resources)
{
    DrawingCacheKey out(key);
    out << cardRect.topLeft() << cardRect.size() << cardShape << side.Card_fill_chk();
    if (!side.Card_fill_chk())
        return;
    const QString &style = side.Card_fill_style();
    out << style;
    if (style == QLatin1String("G"))
        out << side.Card_grad_Stepper() << side.Card_fill_Grd_1_clr() << side.Card_fill_Grd_2_clr();
    else if (style == QLatin1String("H"))
        out << side.Card_hatch_bk_clr() << resources.hatchPattern(side.Card_hatch_style()).cacheKey();
    else
        out << side.Card_fill_clr();
}
