#pragma once

#include "barcode/NKDBarcode.h"

// Codabar: digits, "-$:/.+" and the start/stop characters "A" to "D", which the user types at both
// ends of the data. A narrow element is one module, a wide one two; each character is followed by a
// narrow space. No check character.
class NKDCodabarBarcode : public NKDBarcode {
public:
    explicit NKDCodabarBarcode(const QString &content, bool printsCaption = true);

    QString _encodeChar(char c) const override;
    // A start and a stop character at the ends and none between them, which would end the symbol
    // early; every character in the table.
    bool isContentValid() const override;
    QString barcode() const override;
};
