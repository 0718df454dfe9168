#pragma once

#include "barcode/NKDBarcode.h"

#include <QList>

#include <optional>

// Code 128 in code set A, B or C, or in a set chosen from the content. `checkDigit` holds the check
// value itself (0 to 102), not a character.
//
// A character the current set A or B cannot encode is written with one Shift symbol before it, in
// the other set, and the Shift counts in the check sum as every symbol does. Set C writes pairs of
// digits; an odd last digit follows a switch to set B, so the data reads back as typed.
class NKDCode128Barcode : public NKDBarcode {
public:
    enum CodeSet { SetA = 0, SetB = 1, SetC = 2, Automatic = 3 };

    // `codeSet` Automatic chooses the set from the content.
    explicit NKDCode128Barcode(const QString &content, bool printsCaption = true, int codeSet = Automatic);

    int codeSet() const { return m_codeSet; }
    // Chooses the set for Automatic, then recomputes the check value and the width.
    void setCodeSet(int codeSet);

    void generateChecksum() override;
    // Sets A and B: every character lies in set A or set B. Set C: digits only.
    bool isContentValid() const override;
    QString initiator() const override;
    QString terminator() const override;
    // The character in the current set, after a Shift when only the other of sets A and B has it.
    QString _encodeChar(char c) const override;
    QString barcode() const override;

    // The value of a character in sets A and B: 32 to 126 give c − 32, 0 to 31 give c + 64.
    static int _valueForChar(char c);
    static bool _canEncodeChar(char c, int codeSet);
    // The pattern of a character in sets A and B; "" for one the set lacks and in set C.
    static QString _encodeChar(char c, int codeSet);
    // All digits (or empty): set C; else more control characters than lower-case letters: set A;
    // else set B.
    int _bestCodeSetForContent() const;

private:
    // The data symbols' values between the start symbol and the check symbol; nothing when the
    // content cannot be written in the current set.
    std::optional<QList<int>> dataValues() const;

    int m_codeSet = Automatic;
};
