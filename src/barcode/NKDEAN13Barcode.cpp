#include "barcode/NKDEAN13Barcode.h"

#include <array>

namespace {

// The published parity of digits 2 to 7 for each leading digit: E even, O odd.
constexpr std::array<const char *, 10> kParity{"OOOOOO", "OOEOEE", "OOEEOE", "OOEEEO", "OEOOEE",
                                               "OEEOOE", "OEEEOO", "OEOEOE", "OEOEEO", "OEEOEO"};

} // namespace

NKDEAN13Barcode::NKDEAN13Barcode(const QString &content, bool printsCaption)
    : NKDAbstractUPCEANBarcode(content, printsCaption)
{
    takeTypedCheckDigit();
}

bool NKDEAN13Barcode::_parityForSystemDigit(QChar systemDigit, int index)
{
    const int digit = systemDigit.digitValue();
    if (digit < 0 || digit > 9 || index < 1 || index > 6)
        return false;
    return kParity[static_cast<size_t>(digit)][index - 1] == 'E';
}

QString NKDEAN13Barcode::caption() const
{
    return QStringLiteral("  ") + m_content.mid(1, 6) + QLatin1Char('\t') + m_content.mid(7, 5) + checkText();
}

QString NKDEAN13Barcode::barcode() const
{
    if (m_content.isEmpty())
        return {};
    const QChar system = m_content.front();
    QString modules;
    for (qsizetype i = 1; i < m_content.size(); ++i) {
        const QChar c = m_content.at(i);
        if (i <= 6)
            modules += _parityForSystemDigit(system, static_cast<int>(i)) ? evenParity(c) : oddParity(c);
        else
            modules += rightHand(c);
        if (i == 6)
            modules += QStringLiteral("01010");
    }
    if (m_checkDigit != -1)
        modules += rightHand(QLatin1Char(m_checkDigit));
    return modules;
}
