#pragma once

#include "document/SKTGraphic.h"

class SKTSignature : public SKTGraphic {
public:
    Kind kind() const override { return Kind::Signature; }
    QString className() const override { return QStringLiteral("SKTSignature"); }
    SKTGraphicPtr clone() const override;
    bool isDrawingFill() const override { return false; }
};
