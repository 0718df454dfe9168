#pragma once

#include "barcode/NKDCode39Barcode.h"

// Full-ASCII Code 39: the characters Code 39 lacks are written as pairs of Code 39 characters, as
// the published full-ASCII table gives them; the content keeps its case.
class NKDExtendedCode39Barcode : public NKDCode39Barcode {
public:
    explicit NKDExtendedCode39Barcode(const QString &content, bool printsCaption = true);

    QString _encodeChar(char c) const override;
};
