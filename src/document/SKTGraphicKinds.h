#pragma once

// The kinds of graphic other than shapes. Their drawing, hit testing and own fields come with their
// own sources; here they answer what every kind must answer.

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

class SKTText : public SKTGraphic {
public:
    Kind kind() const override { return Kind::Text; }
    QString className() const override { return QStringLiteral("SKTText"); }
    SKTGraphicPtr clone() const override;
    bool canSetDrawingStroke() const override { return false; }
};

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

class SKTSignature : public SKTGraphic {
public:
    Kind kind() const override { return Kind::Signature; }
    QString className() const override { return QStringLiteral("SKTSignature"); }
    SKTGraphicPtr clone() const override;
    bool isDrawingFill() const override { return false; }
};

class SKTBarcode : public SKTGraphic {
public:
    Kind kind() const override { return Kind::Barcode; }
    QString className() const override { return QStringLiteral("SKTBarcode"); }
    SKTGraphicPtr clone() const override;
    bool isDrawingFill() const override { return false; }
    bool isDrawingStroke() const override { return false; }
};
