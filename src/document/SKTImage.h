#pragma once

#include "document/SKTGraphic.h"

class SKTImage : public SKTGraphic {
public:
    SKTImage();
    Kind kind() const override { return Kind::Image; }
    QString className() const override { return QStringLiteral("SKTImage"); }
    SKTGraphicPtr clone() const override;
    bool isDrawingFill() const override { return false; }
    bool canSetDrawingFill() const override { return false; }
    bool canSetDrawingStroke() const override { return false; }
};
