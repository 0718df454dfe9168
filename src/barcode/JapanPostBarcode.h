#pragma once

#include "barcode/NKDBarcode.h"

// Bar descriptors as for Royal Mail (one hexadecimal digit per bar, ascender 2, descender 1).

// The three bars of a character of the encoded form ("-", "." to "9", ":" to "@"); 0 for any other.
int japanpost_characterDescriptor(char c);
// The bar at `position` among the modules of a symbol character of `barsPerCharacter` bars.
int japanpost_barDescriptor(int descriptor, int position, int barsPerCharacter);
// Top and bottom of a bar in millimetres above the baseline, at symbol size `size` (10 is nominal).
float japanpost_barTop(int bar, float size);
float japanpost_barBottom(int bar, float size);

// Japan Post customer barcode: the postal code and address digits, hyphens and letters (each letter a
// control code and a digit) in exactly 20 symbol characters of three bars, a check character, and
// start and stop brackets. Bars are one module with one-module gaps and span from their own bottom
// to their own top.
//
// The symbol size (8.5 to 11.5; a bar is size / 6 points wide) is kept apart from `height`, which
// is the height of the whole picture as for every barcode.
class JapanPostBarcode : public NKDBarcode {
public:
    explicit JapanPostBarcode(const QString &content, bool printsCaption = true);
    // The size is the given height when it lies in 8.0 to 11.5, else 10; the other values are not
    // used.
    explicit JapanPostBarcode(const Init &init);

    bool printsCaption() const override { return true; }
    bool printsHeader() const override { return true; }
    bool printsFooter() const override { return true; }

    // Upper-cases the text and keeps digits, hyphens and letters: `content` the readable form,
    // `japanpostContents` the encoded one, cut or filled (control code 4, "=") to 20 characters.
    void setContent(const QString &content) override;
    const QString &japanpostContents() const { return m_japanpostContents; }

    float symbolSize() const { return m_symbolSize; }
    // Held to 8.5 to 11.5; the bar width follows.
    void setSymbolSize(float size);
    // Held to the widths of sizes 8.0 to 11.5; the size follows.
    void setBarWidth(float barWidth) override;

    QString initiator() const override { return QStringLiteral("1010"); }
    QString terminator() const override { return QStringLiteral("101"); }
    QString _encodeChar(char) const override { return QStringLiteral("101010"); }
    // The 20 encoded characters, then the check character.
    QString barcode() const override;
    // At least seven characters, the first seven digits (the postal code).
    bool isContentValid() const override;
    // The character that brings the sum of the encoded characters' values to a multiple of 19.
    void generateChecksum() override;
    bool isFourState() const override { return true; }
    float barTop(int index, const Barcode_Margins &margins) const override;
    float barBottom(int index) const override;

    // The bar at a module index.
    int _barDescriptor(int index) const;

private:
    QString m_japanpostContents;
    float m_symbolSize = 10.0f;
};
