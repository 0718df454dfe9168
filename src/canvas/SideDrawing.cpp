#include "canvas/SideDrawing.h"

#include "canvas/CardFace.h"
#include "canvas/GraphicPictureCache.h"
#include "canvas/PainterStateGuard.h"
#include "canvas/SKTGrid.h"
#include "canvas/SKTSelection.h"
#include "core/MessageBoxes.h"
#include "document/Card_Property.h"
#include "document/ControlTags.h"

#include <exception>

bool drawCardSide(QPainter &painter, const GraphicList &graphics, const Card_Property *face, int cardShape,
                  const QRectF &cardBounds, const QRectF &area, const SideDrawingOptions &options, QString *error)
{
    PainterStateGuard guard(painter);
    try {
        painter.setClipRect(area, Qt::IntersectClip);
        if (options.cardFace) {
            static const Card_Property plainWhite;
            PainterStateGuard faceGuard(painter);
            drawCardFace(painter, cardBounds, face ? *face : plainWhite, cardShape);
        }
        if (options.grid && options.grid->isShowing())
            options.grid->drawRect(painter, area.intersected(cardBounds), cardBounds);

        for (qsizetype i = graphics.size() - 1; i >= 0; --i) {
            const SKTGraphicPtr &graphic = graphics.at(i);
            if (!graphic || (graphic->print_object != 0 && !options.nonPrintingObjects))
                continue;
            const QRectF bounds = graphic->drawingBounds();
            if (!bounds.intersects(area))
                continue;
            if (options.drawn)
                options.drawn(*graphic, bounds);
            const bool beingCreated = graphic.get() == options.beingCreated;
            PainterStateGuard graphicGuard(painter);
            painter.setClipRect(bounds, Qt::IntersectClip);
            if (options.pictures)
                options.pictures->drawContents(painter, *graphic, beingCreated);
            else
                graphic->drawContentsInView(painter, beingCreated);
            if (options.handlesOf && !beingCreated && !isFramePicture(*graphic) &&
                options.handlesOf->contains(graphic.get()))
                graphic->drawHandlesInView(painter, graphic->ctrl_is_locked);
        }
        return true;
    } catch (const std::exception &e) {
        const QString reason = QString::fromLocal8Bit(e.what());
        Show_NSLog_Message(QStringLiteral("A card side could not be drawn: ") + reason);
        if (error)
            *error = reason;
        return false;
    }
}
