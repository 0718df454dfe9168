#include "document/DesignSnapshot.h"

const DesignSnapshot::Side &DesignSnapshot::side(int cardSide) const
{
    return cardSide == 0 ? front : back;
}

GraphicList DesignSnapshot::copyOf(const GraphicList &graphics)
{
    GraphicList copies;
    copies.reserve(graphics.size());
    for (const SKTGraphicPtr &graphic : graphics)
        if (graphic)
            if (SKTGraphicPtr copy = graphic->fullCopy())
                copies << copy;
    return copies;
}

void DesignSnapshot::loadPictures()
{
    for (const Side *s : {&front, &back})
        for (const SKTGraphicPtr &graphic : s->graphics)
            graphic->loadPicturesForDrawing();
}
