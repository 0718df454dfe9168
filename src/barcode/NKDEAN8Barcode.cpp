#include "barcode/NKDEAN8Barcode.h"

NKDEAN8Barcode::NKDEAN8Barcode(const QString &content, bool printsCaption) : NKDEAN13Barcode(content, printsCaption)
{
    // As typed: the EAN-13 constructor read the content with EAN-13's length.
    setContent(content);
    setCheckDigit(-1);
    takeTypedCheckDigit();
}

QString NKDEAN8Barcode::caption() const
{
    return QStringLiteral(" ") + m_content.left(4) + QLatin1Char('\t') + m_content.mid(4, 3) + checkText();
}

QString NKDEAN8Barcode::barcode() const
{
    QString modules;
    for (qsizetype i = 0; i < m_content.size(); ++i) {
        modules += i < 4 ? oddParity(m_content.at(i)) : rightHand(m_content.at(i));
        if (i == 3)
            modules += QStringLiteral("01010");
    }
    if (m_checkDigit != -1)
        modules += rightHand(QLatin1Char(m_checkDigit));
    return modules;
}

float NKDEAN8Barcode::barBottom(int index) const
{
    const auto length = static_cast<int>(completeBarcode().size());
    if (index < 4 || index > length - 4 || index == 32 || index == 34)
        return kGuardBarBottom;
    return m_captionHeight * 72.0f;
}
