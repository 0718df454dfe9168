#pragma once

#include "barcode/NKDUPCABarcode.h"

// UPC-E: a zero-suppressed UPC-A number, written as the number-system digit ("0" or "1") and six data
// digits. The check digit, that of the UPC-A number the six expand to, has no bars of its own: it
// chooses which of the six are written in the even set.
class NKDUPCEBarcode : public NKDUPCABarcode {
public:
    // Eleven digits are a UPC-A number without its check digit, suppressed to six here; eight
    // characters end with a typed check digit, verified; seven get their check digit computed.
    explicit NKDUPCEBarcode(const QString &content, bool printsCaption = true);

    QString terminator() const override { return QStringLiteral("010101"); }
    // The six digits after the number-system digit.
    QString caption() const override;
    QString barcode() const override;
    float barBottom(int index) const override;

    // The six UPC-E digits of a 12-digit UPC-A number (check digit included); "" when the number is
    // not one whose zeros can be suppressed.
    static QString UPCAToUPCE(const QString &upca);
    // Whether the data digit at `position` (1 to 6) is written in the even set.
    bool parityForDigit(int position) const;

protected:
    qsizetype dataLength() const override { return 7; }
    // Seven digits starting "0" or "1": the check digit of their UPC-A expansion.
    std::optional<char> computedCheckDigit() const override;
};
