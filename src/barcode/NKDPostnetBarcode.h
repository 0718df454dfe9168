#pragma once

#include "barcode/NKDBarcode.h"

// PostNet: the two-height postal code of 5, 9 or 11 digits and a check digit between two tall frame
// bars. Every digit is five bars, two of them tall; the bars all stand on one baseline. Bar width
// (0.015 in) and pitch (three modules) are the postal ones, whatever width the settings give.
class NKDPostnetBarcode : public NKDBarcode {
public:
    explicit NKDPostnetBarcode(const QString &content, bool printsCaption = true);

    // Keeps the postal bar width.
    void setBarWidth(float) override {}
    QString initiator() const override { return QStringLiteral("100"); }
    QString terminator() const override { return QStringLiteral("1"); }
    // Five bars, each followed by a two-module gap, for every character.
    QString _encodeChar(char) const override { return QStringLiteral("100100100100100"); }
    // The digit that makes the sum of all digits a multiple of ten.
    void generateChecksum() override;
    // 5, 9 or 11 digits.
    bool isContentValid() const override;
    // The bar's own height in points above the baseline: 9.0 tall, 3.6 short.
    float barTop(int index, const Barcode_Margins &margins) const override;

    // The height in inches of bar 1 to 5 of the digit at `position` (the check digit at the end); 0 for
    // a character that is no digit.
    virtual float _heightForDigit(int position, int bar) const;

protected:
    static constexpr float kTall = 0.125f;
    static constexpr float kShort = 0.05f;
};
