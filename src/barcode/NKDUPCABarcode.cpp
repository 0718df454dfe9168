#include "barcode/NKDUPCABarcode.h"

NKDUPCABarcode::NKDUPCABarcode(const QString &content, bool printsCaption)
    : NKDAbstractUPCEANBarcode(content, printsCaption)
{
    takeTypedCheckDigit();
}

QString NKDUPCABarcode::caption() const
{
    return m_content.mid(1, 5) + QLatin1Char('\t') + m_content.mid(6, 5);
}

QString NKDUPCABarcode::barcode() const
{
    QString modules;
    for (qsizetype i = 0; i < m_content.size(); ++i) {
        modules += i < 6 ? oddParity(m_content.at(i)) : rightHand(m_content.at(i));
        if (i == 5)
            modules += QStringLiteral("01010");
    }
    if (m_checkDigit != -1)
        modules += rightHand(QLatin1Char(m_checkDigit));
    return modules;
}
