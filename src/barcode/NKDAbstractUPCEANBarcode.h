#pragma once

#include "barcode/NKDBarcode.h"

#include <optional>

// The shared ground of the retail symbologies: digits of seven modules in the left-hand odd set (set
// A of the EAN table), its mirror images for the even set and the right-hand set, guard bars "101",
// and a modulo-10 check digit kept apart from the content. The width leaves a tenth on each side for
// the digits printed beside the guards.
class NKDAbstractUPCEANBarcode : public NKDBarcode {
public:
    // Number of modules × `barWidth` × 1.2; 0 for an empty content.
    void calculateWidth() override;
    float firstBar() const override { return m_width * 0.1f; }
    float lastBar() const override { return m_width * 0.9f - m_barWidth; }
    QString initiator() const override { return QStringLiteral("101"); }
    QString terminator() const override { return QStringLiteral("101"); }
    // Set A; "" for anything but a digit.
    QString _encodeChar(char c) const override;
    int digitsToLeft() const override { return 1; }
    int digitsToRight() const override { return 1; }
    // The check digit.
    QString rightCaption() const override;
    // Stores the check digit when the content is as many digits as the symbology carries.
    void generateChecksum() override;
    // The content is that many digits and the check digit is the one they give.
    bool isContentValid() const override;
    // The guard bars reach down to 0.05 in; the others stop at the caption band.
    float barBottom(int index) const override;

    // '0' for '1' and '1' for anything else: set A turned into the right-hand set.
    static QString swapHandedness(const QString &pattern);
    // Handedness swapped and the modules reversed: set A turned into the even set.
    static QString swapParity(const QString &pattern);

protected:
    NKDAbstractUPCEANBarcode(const QString &content, bool printsCaption);

    // Where the guard bars end below: 0.05 in.
    static constexpr float kGuardBarBottom = 3.6f;

    // How many data digits the symbology carries, check digit not counted.
    virtual qsizetype dataLength() const { return 11; }
    // The check digit of the content; nothing when it is not `dataLength` digits.
    virtual std::optional<char> computedCheckDigit() const;
    // A content one digit longer than the data gives its last character as the check digit;
    // otherwise the check digit is computed. Then the width.
    void takeTypedCheckDigit();

    // The digits weighted 3, 1, 3 … from the rightmost; nothing for a non-digit.
    static std::optional<char> checkDigitOf(const QString &digits);
    static bool isDigits(const QString &text);
    // The pattern of a character in set A, in the even set and in the right-hand set.
    QString oddParity(QChar c) const;
    QString evenParity(QChar c) const;
    QString rightHand(QChar c) const;
    // The check digit as text; "" when there is none.
    QString checkText() const;
};
