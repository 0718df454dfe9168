#pragma once

#include "barcode/NKDAbstractUPCEANBarcode.h"

// EAN-13: twelve data digits and a check digit. The leading digit has no bars of its own: it chooses
// the parity of the next six, as the published EAN-13 table does.
class NKDEAN13Barcode : public NKDAbstractUPCEANBarcode {
public:
    // A 13th character is the typed check digit; otherwise it is computed. A longer content is kept
    // whole and so is invalid: no typed digit is dropped.
    explicit NKDEAN13Barcode(const QString &content, bool printsCaption = true);

    int digitsToRight() const override { return 0; }
    QString rightCaption() const override { return {}; }
    // Two spaces, digits 2 to 7, a tab, digits 8 to 12 and the check digit.
    QString caption() const override;
    QString barcode() const override;

    // Whether the digit at `index` (1 to 6) after the leading digit is written in the even set.
    static bool _parityForSystemDigit(QChar systemDigit, int index);

protected:
    qsizetype dataLength() const override { return 12; }
};
