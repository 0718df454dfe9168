#pragma once

#include "document/SKTGraphic.h"

class SKTBarcode : public SKTGraphic {
public:
    Kind kind() const override { return Kind::Barcode; }
    QString className() const override { return QStringLiteral("SKTBarcode"); }
    SKTGraphicPtr clone() const override;
    bool isDrawingFill() const override { return false; }
    bool isDrawingStroke() const override { return false; }
};
