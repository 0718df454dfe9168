#pragma once

#include "barcode/NKDBarcode.h"

// Bar descriptors of the four-state postal codes: one hexadecimal digit per bar, the leftmost bar in
// the highest digit; in a digit the bit of value 2 marks an ascender and the bit of value 1 a
// descender (0 tracker, 1 descender, 2 ascender, 3 full bar).

// The descriptor of a character of the Royal Mail table ("0" to "9", "A" to "Z"); 0 for any other.
int royalmail_characterDescriptor(char c);
// The bar at `position` (0 to 7) among a character's modules.
int royalmail_barDescriptor(int descriptor, int position);
// Top and bottom of a bar, in millimetres above the baseline.
float royalmail_barTop(int bar);
float royalmail_barBottom(int bar);
// The ascender (descender) bits of a descriptor's four bars as a 4-bit number, leftmost bar highest.
int royalmail_collapseAscenders(int descriptor);
int royalmail_collapseDescenders(int descriptor);

// Royal Mail 4-state customer code (RM4SCC): upper-case letters and digits, four bars each, and the
// published check character, between a start bar (ascender) and a stop bar (full). Every bar is one
// module with a one-module gap; each spans from its own bottom to its own top.
class NKDRoyalMailBarcode : public NKDBarcode {
public:
    // The content is upper-cased.
    explicit NKDRoyalMailBarcode(const QString &content, bool printsCaption = true);

    bool printsCaption() const override { return true; }
    bool printsHeader() const override { return true; }
    bool printsFooter() const override { return true; }
    QString initiator() const override { return QStringLiteral("10"); }
    QString terminator() const override { return QStringLiteral("1"); }
    // Four bars for a digit or an upper-case letter; "" for any other character.
    QString _encodeChar(char c) const override;
    // The character at the row of the summed top values and the column of the summed bottom values.
    void generateChecksum() override;
    bool isFourState() const override { return true; }
    float barTop(int index, const Barcode_Margins &margins) const override;
    float barBottom(int index) const override;

    // The bar at a module index.
    int _barDescriptor(int index) const;
};
