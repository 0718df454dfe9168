#pragma once

#include "barcode/NKDBarcode.h"

// Interleaved 2 of 5: digits in pairs, the first digit's five elements as bars and the second's as
// the spaces between them; a wide element is three modules, a narrow one one. An odd count of digits
// is written with a leading "0". No check character unless one is set.
class NKDInterleavedTwoOfFiveBarcode : public NKDBarcode {
public:
    explicit NKDInterleavedTwoOfFiveBarcode(const QString &content, bool printsCaption = true);

    QString initiator() const override { return QStringLiteral("1010"); }
    QString terminator() const override { return QStringLiteral("11101"); }
    QString barcode() const override;
    // Digits only; an empty content too.
    bool isContentValid() const override;
    // The modulo-10 check digit, weights 3 and 1 from the left of the zero-padded pairs; the
    // constructor does not call it.
    void generateChecksum() override;

    // Element 0 to 4 of a digit's published pattern is narrow (any other character is all narrow).
    static bool _getBarForDigit(char digit, int barNumber);

protected:
    // The content and the check digit when there is one.
    QString digits() const;
};
