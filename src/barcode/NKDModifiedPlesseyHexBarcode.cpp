#include "barcode/NKDModifiedPlesseyHexBarcode.h"

NKDModifiedPlesseyHexBarcode::NKDModifiedPlesseyHexBarcode(const QString &content, bool printsCaption)
    : NKDModifiedPlesseyBarcode(content, printsCaption)
{
    // Again: the decimal class could not count the hexadecimal digits.
    generateChecksum();
}

QString NKDModifiedPlesseyHexBarcode::_encodeChar(char c) const
{
    const QString decimal = NKDModifiedPlesseyBarcode::_encodeChar(c);
    if (!decimal.isEmpty())
        return decimal;
    return c >= 'A' && c <= 'F' ? bits(c - 'A' + 10) : QString();
}

int NKDModifiedPlesseyHexBarcode::checkValue(char c) const
{
    return c >= 'A' && c <= 'F' ? c - 'A' + 10 : NKDModifiedPlesseyBarcode::checkValue(c);
}
