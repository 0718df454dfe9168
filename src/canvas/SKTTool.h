#pragma once

#include "document/SKTGraphic.h"

#include <QSizeF>
#include <QString>

#include <optional>
#include <span>

// The palette's tools. One table says what each tool is called, what a press on the canvas makes
// with it and at what size the design window places one; the tool numbers are the program's own.
struct SKTTool {
    enum Number {
        Arrow = 0,
        Line = 1,
        Text = 2,
        Rectangle = 3,
        Oval = 4,
        RoundedRectangle = 5,
        Triangle = 6,
        Diamond = 7,
        PictureFromFile = 8,
        PictureFromLibrary = 9,
        Barcode = 10,
        Signature = 11,
        Fingerprint = 12,
        Star = 13,
        ManyPointStar = 14,
        Polygon = 15,
    };
    static constexpr int Count = 16;

    Number number;
    const char *button;                  // object name of its palette button
    const char *tooltip;                 // names the tool
    std::optional<SKTGraphic::Kind> kind; // none for the arrow, which makes nothing
    const char *shapeCode;               // "R", "C" ... for shapes, "" otherwise
    QSizeF placedSize;                   // a new object the design window places

    // Every tool, in palette order.
    static std::span<const SKTTool> palette();
    // The tool of that number; nullptr for a number outside the palette.
    static const SKTTool *withNumber(int number);
    // What the tool of that number makes; none for the arrow and unknown numbers.
    static std::optional<SKTGraphic::Kind> kindForNumber(int number);
    QString shapeType() const { return QString::fromLatin1(shapeCode); }
};
