#pragma once

#include "barcode/NKDBarcode.h"

// Code 39: digits, upper-case letters, space and "-.$/+%". Every character is the nine elements of
// its published pattern (a narrow element one module, a wide one two) and a narrow gap: 13 modules.
// Start and stop are "*"; no check character is written.
class NKDCode39Barcode : public NKDBarcode {
public:
    // The content is upper-cased.
    explicit NKDCode39Barcode(const QString &content, bool printsCaption = true);

    QString _encodeChar(char c) const override;
    QString initiator() const override { return startStop(); }
    QString terminator() const override { return startStop(); }
    // Every character has a pattern and none encodes as the start/stop character, which would end the
    // symbol where a reader looks for data.
    bool isContentValid() const override;
    // Stores the modulo-43 check character of the content and recomputes the width.
    void generateChecksum() override;

protected:
    // The pattern of a character of the Code 39 table itself ("" for any other).
    static QString code39Pattern(char c);
    static QString startStop() { return code39Pattern('*'); }
};
