#pragma once

#include "barcode/NKDAbstractUPCEANBarcode.h"

// UPC-A: the number-system digit, ten data digits and a check digit; six in set A left of the centre
// guard, the rest in the right-hand set. The first and the check digit are printed beside the guards.
class NKDUPCABarcode : public NKDAbstractUPCEANBarcode {
public:
    // A 12th character is the typed check digit; otherwise it is computed. A longer content is kept
    // whole and so is invalid.
    explicit NKDUPCABarcode(const QString &content, bool printsCaption = true);

    // Digits 2 to 6, a tab, digits 7 to 11.
    QString caption() const override;
    QString barcode() const override;
};
