#pragma once

#include "barcode/NKDInterleavedTwoOfFiveBarcode.h"

// Industrial (standard) 2 of 5: every digit is five bars, two of them wide (three modules), each
// followed by a narrow space; the spaces carry nothing. Start: wide, wide, narrow bar; stop: wide,
// narrow, wide bar.
class NKDIndustrialTwoOfFiveBarcode : public NKDInterleavedTwoOfFiveBarcode {
public:
    explicit NKDIndustrialTwoOfFiveBarcode(const QString &content, bool printsCaption = true);

    QString initiator() const override { return QStringLiteral("1110111010"); }
    QString terminator() const override { return QStringLiteral("111010111"); }
    QString barcode() const override;
};
