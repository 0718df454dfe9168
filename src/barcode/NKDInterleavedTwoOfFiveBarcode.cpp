#include "barcode/NKDInterleavedTwoOfFiveBarcode.h"

#include <array>

namespace {

// The published 2 of 5 table: N narrow, W wide.
constexpr std::array<const char *, 10> kElements{"NNWWN", "WNNNW", "NWNNW", "WWNNN", "NNWNW",
                                                 "WNWNN", "NWWNN", "NNNWW", "WNNWN", "NWNWN"};

} // namespace

NKDInterleavedTwoOfFiveBarcode::NKDInterleavedTwoOfFiveBarcode(const QString &content, bool printsCaption)
    : NKDBarcode(content, printsCaption)
{
    calculateWidth();
}

bool NKDInterleavedTwoOfFiveBarcode::_getBarForDigit(char digit, int barNumber)
{
    if (digit < '0' || digit > '9' || barNumber < 0 || barNumber > 4)
        return true;
    return kElements[static_cast<size_t>(digit - '0')][barNumber] == 'N';
}

bool NKDInterleavedTwoOfFiveBarcode::isContentValid() const
{
    for (const QChar c : m_content)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

QString NKDInterleavedTwoOfFiveBarcode::digits() const
{
    QString digits = m_content;
    if (m_checkDigit != -1)
        digits += QLatin1Char(m_checkDigit);
    return digits;
}

QString NKDInterleavedTwoOfFiveBarcode::barcode() const
{
    QString pairs = digits();
    if (pairs.size() % 2 == 1)
        pairs.prepend(QLatin1Char('0'));
    const QByteArray bytes = pairs.toLatin1();
    QString modules;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        for (int e = 0; e < 5; ++e) {
            modules += _getBarForDigit(bytes.at(i), e) ? QStringLiteral("1") : QStringLiteral("111");
            modules += _getBarForDigit(bytes.at(i + 1), e) ? QStringLiteral("0") : QStringLiteral("000");
        }
    return modules;
}

void NKDInterleavedTwoOfFiveBarcode::generateChecksum()
{
    QString pairs = m_content;
    if (pairs.size() % 2 == 1)
        pairs.prepend(QLatin1Char('0'));
    int sum = 0;
    for (qsizetype i = 0; i + 1 < pairs.size(); i += 2)
        sum += 3 * pairs.at(i).digitValue() + pairs.at(i + 1).digitValue();
    setCheckDigit(static_cast<signed char>('0' + (10 - sum % 10) % 10));
    calculateWidth();
}
