#pragma once

#include "barcode/NKDBarcode.h"

// Modified Plessey: decimal digits, four bits each, least significant first; a 0 bit is a one-module
// bar and a three-module space, a 1 bit a three-module bar and a one-module space. A modulo-10 check
// digit follows the data.
class NKDModifiedPlesseyBarcode : public NKDBarcode {
public:
    // The content is upper-cased.
    explicit NKDModifiedPlesseyBarcode(const QString &content, bool printsCaption = true);

    QString _encodeChar(char c) const override;
    QString initiator() const override;
    QString terminator() const override;
    // Counting from the rightmost character, odd positions doubled (the digits of each product
    // added) and even ones added as they are; the check digit brings the sum to a multiple of ten.
    void generateChecksum() override;

protected:
    // The four bits of a value, least significant first.
    static QString bits(int value);
    // The value a character stands for in the check sum; -1 for none.
    virtual int checkValue(char c) const;
};
