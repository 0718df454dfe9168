#include "barcode/NKDIndustrialTwoOfFiveBarcode.h"

NKDIndustrialTwoOfFiveBarcode::NKDIndustrialTwoOfFiveBarcode(const QString &content, bool printsCaption)
    : NKDInterleavedTwoOfFiveBarcode(content, printsCaption)
{
    calculateWidth();
}

QString NKDIndustrialTwoOfFiveBarcode::barcode() const
{
    const QByteArray bytes = digits().toLatin1();
    QString modules;
    for (const char digit : bytes)
        for (int e = 0; e < 5; ++e)
            modules += _getBarForDigit(digit, e) ? QStringLiteral("10") : QStringLiteral("1110");
    return modules;
}
