#pragma once

#include "document/SKTGraphic.h"

class SKTText : public SKTGraphic {
public:
    Kind kind() const override { return Kind::Text; }
    QString className() const override { return QStringLiteral("SKTText"); }
    SKTGraphicPtr clone() const override;
    bool canSetDrawingStroke() const override { return false; }
};
