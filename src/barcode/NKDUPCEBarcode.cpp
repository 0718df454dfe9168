#include "barcode/NKDUPCEBarcode.h"

#include <array>

namespace {

// The published UPC-E parity for number system 0 and each check digit: E even, O odd. Number
// system 1 takes the opposite set everywhere.
constexpr std::array<const char *, 10> kParity{"EEEOOO", "EEOEOO", "EEOOEO", "EEOOOE", "EOEEOO",
                                               "EOOEEO", "EOOOEE", "EOEOEO", "EOEOOE", "EOOEOE"};

// The eleven UPC-A digits (no check digit) a number-system digit and six UPC-E digits stand for.
QString expansion(const QString &upce)
{
    const QString system = upce.left(1);
    const QString d = upce.mid(1, 6);
    const QChar last = d.at(5);
    if (last <= u'2')
        return system + d.left(2) + last + QStringLiteral("0000") + d.mid(2, 3);
    if (last == u'3')
        return system + d.left(3) + QStringLiteral("00000") + d.mid(3, 2);
    if (last == u'4')
        return system + d.left(4) + QStringLiteral("00000") + d.mid(4, 1);
    return system + d.left(5) + QStringLiteral("0000") + last;
}

} // namespace

NKDUPCEBarcode::NKDUPCEBarcode(const QString &content, bool printsCaption) : NKDUPCABarcode(content, printsCaption)
{
    if (content.size() == 11) {
        // The UPC-A constructor computed the check digit of the eleven.
        const QString upca = checkText().isEmpty() ? QString() : content + checkText();
        setContent(content.left(1) + UPCAToUPCE(upca));
    } else {
        setContent(content);
        setCheckDigit(-1);
        takeTypedCheckDigit();
    }
    calculateWidth();
}

QString NKDUPCEBarcode::UPCAToUPCE(const QString &upca)
{
    if (upca.size() < 12 || !isDigits(upca))
        return {};
    const QString s = upca;
    QString upce;
    if (s.mid(3, 3) == QLatin1String("000") || s.mid(3, 3) == QLatin1String("100") ||
        s.mid(3, 3) == QLatin1String("200"))
        upce = s.mid(1, 2) + s.mid(8, 3) + s.at(3);
    else if (s.mid(4, 2) == QLatin1String("00"))
        upce = s.mid(1, 3) + s.mid(9, 2) + QLatin1Char('3');
    else if (s.at(5) == u'0')
        upce = s.mid(1, 4) + s.at(10) + QLatin1Char('4');
    else if (s.at(10) >= u'5')
        upce = s.mid(1, 5) + s.at(10);
    else
        return {};
    // The digits the rule drops must all be zeros, or the symbol would stand for another number.
    return expansion(s.left(1) + upce) == s.left(11) ? upce : QString();
}

std::optional<char> NKDUPCEBarcode::computedCheckDigit() const
{
    if (m_content.size() != 7 || !isDigits(m_content) || m_content.front() > u'1')
        return std::nullopt;
    return checkDigitOf(expansion(m_content));
}

bool NKDUPCEBarcode::parityForDigit(int position) const
{
    if (m_checkDigit < '0' || m_checkDigit > '9' || position < 1 || position > 6)
        return false;
    const bool even = kParity[static_cast<size_t>(m_checkDigit - '0')][position - 1] == 'E';
    return m_content.startsWith(QLatin1Char('1')) ? !even : even;
}

QString NKDUPCEBarcode::caption() const
{
    return m_content.mid(1, 6);
}

QString NKDUPCEBarcode::barcode() const
{
    QString modules;
    for (int position = 1; position <= 6 && position < m_content.size(); ++position) {
        const QChar c = m_content.at(position);
        modules += parityForDigit(position) ? evenParity(c) : oddParity(c);
    }
    return modules;
}

float NKDUPCEBarcode::barBottom(int index) const
{
    const auto length = static_cast<int>(completeBarcode().size());
    if (index < 7 || index > length - 4)
        return kGuardBarBottom;
    return m_captionHeight * 72.0f;
}
