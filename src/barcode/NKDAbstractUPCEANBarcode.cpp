#include "barcode/NKDAbstractUPCEANBarcode.h"

#include <algorithm>
#include <array>

namespace {

// Set A of the published EAN table.
constexpr std::array<const char *, 10> kSetA{"0001101", "0011001", "0010011", "0111101", "0100011",
                                             "0110001", "0101111", "0111011", "0110111", "0001011"};

} // namespace

NKDAbstractUPCEANBarcode::NKDAbstractUPCEANBarcode(const QString &content, bool printsCaption)
    : NKDBarcode(content, printsCaption)
{
}

void NKDAbstractUPCEANBarcode::calculateWidth()
{
    m_width = m_content.isEmpty() ? 0.0f : static_cast<float>(completeBarcode().size()) * m_barWidth * 1.2f;
}

QString NKDAbstractUPCEANBarcode::_encodeChar(char c) const
{
    return c >= '0' && c <= '9' ? QLatin1String(kSetA[static_cast<size_t>(c - '0')]) : QString();
}

QString NKDAbstractUPCEANBarcode::rightCaption() const
{
    return checkText();
}

QString NKDAbstractUPCEANBarcode::checkText() const
{
    return m_checkDigit == -1 ? QString() : QString(QLatin1Char(m_checkDigit));
}

bool NKDAbstractUPCEANBarcode::isDigits(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

std::optional<char> NKDAbstractUPCEANBarcode::checkDigitOf(const QString &digits)
{
    if (!isDigits(digits))
        return std::nullopt;
    int sum = 0;
    for (qsizetype i = 0; i < digits.size(); ++i)
        sum += (i % 2 == 0 ? 3 : 1) * digits.at(digits.size() - 1 - i).digitValue();
    return static_cast<char>('0' + (10 - sum % 10) % 10);
}

std::optional<char> NKDAbstractUPCEANBarcode::computedCheckDigit() const
{
    if (m_content.size() != dataLength())
        return std::nullopt;
    return checkDigitOf(m_content);
}

void NKDAbstractUPCEANBarcode::generateChecksum()
{
    if (const std::optional<char> check = computedCheckDigit()) {
        setCheckDigit(*check);
        calculateWidth();
    }
}

bool NKDAbstractUPCEANBarcode::isContentValid() const
{
    const std::optional<char> check = computedCheckDigit();
    return check && *check == m_checkDigit;
}

void NKDAbstractUPCEANBarcode::takeTypedCheckDigit()
{
    if (m_content.size() == dataLength() + 1) {
        const char16_t typed = m_content.back().unicode();
        // A character outside ASCII is no check digit: it must not pass for one.
        setCheckDigit(typed <= 0x7f ? static_cast<signed char>(typed) : -1);
        m_content.chop(1);
    } else {
        generateChecksum();
    }
    calculateWidth();
}

QString NKDAbstractUPCEANBarcode::swapHandedness(const QString &pattern)
{
    QString swapped(pattern.size(), QLatin1Char('0'));
    for (qsizetype i = 0; i < pattern.size(); ++i)
        if (pattern.at(i) == QLatin1Char('0'))
            swapped[i] = QLatin1Char('1');
    return swapped;
}

QString NKDAbstractUPCEANBarcode::swapParity(const QString &pattern)
{
    QString swapped = swapHandedness(pattern);
    std::reverse(swapped.begin(), swapped.end());
    return swapped;
}

QString NKDAbstractUPCEANBarcode::oddParity(QChar c) const
{
    return c.unicode() <= 0x7f ? _encodeChar(static_cast<char>(c.unicode())) : QString();
}

QString NKDAbstractUPCEANBarcode::evenParity(QChar c) const
{
    return swapParity(oddParity(c));
}

QString NKDAbstractUPCEANBarcode::rightHand(QChar c) const
{
    return swapHandedness(oddParity(c));
}

float NKDAbstractUPCEANBarcode::barBottom(int index) const
{
    const auto length = static_cast<int>(completeBarcode().size());
    if (index < 7 || index > length - 7 || (index >= 45 && index < 50))
        return kGuardBarBottom;
    return m_captionHeight * 72.0f;
}
