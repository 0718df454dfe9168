#pragma once

#include "barcode/NKDModifiedPlesseyBarcode.h"

// Modified Plessey with the hexadecimal digits "A" to "F" (10 to 15) as well; the check digit takes
// them at their values.
class NKDModifiedPlesseyHexBarcode : public NKDModifiedPlesseyBarcode {
public:
    explicit NKDModifiedPlesseyHexBarcode(const QString &content, bool printsCaption = true);

    QString _encodeChar(char c) const override;

protected:
    int checkValue(char c) const override;
};
