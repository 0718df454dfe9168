#pragma once

#include "barcode/NKDEAN13Barcode.h"

// EAN-8: seven data digits and a check digit, four in set A left of the centre guard and the rest in
// the right-hand set; no digits beside the guards.
class NKDEAN8Barcode : public NKDEAN13Barcode {
public:
    // An 8th character is the typed check digit, verified as EAN-13's is; otherwise it is computed.
    explicit NKDEAN8Barcode(const QString &content, bool printsCaption = true);

    int digitsToLeft() const override { return 0; }
    int digitsToRight() const override { return 0; }
    // A space, digits 1 to 4, a tab, digits 5 to 7 and the check digit.
    QString caption() const override;
    QString barcode() const override;
    float barBottom(int index) const override;

protected:
    qsizetype dataLength() const override { return 7; }
};
