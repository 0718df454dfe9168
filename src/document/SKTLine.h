#pragma once

#include "document/SKTGraphic.h"

class SKTLine : public SKTGraphic {
public:
    Kind kind() const override { return Kind::Line; }
    QString className() const override { return QStringLiteral("SKTLine"); }
    SKTGraphicPtr clone() const override;
    bool isDrawingFill() const override { return false; }
    bool isDrawingStroke() const override { return true; }
    bool canSetDrawingFill() const override { return false; }
    bool canSetDrawingStroke() const override { return false; }
    bool canMakeNaturalSize() const override { return false; }
    int creationSizingHandle() const override { return SKTGraphicUpperMiddleHandle; }
};
