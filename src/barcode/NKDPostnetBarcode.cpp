#include "barcode/NKDPostnetBarcode.h"

#include <array>

namespace {

// The published POSTNET table, bars 1 to 5: T tall, s short.
constexpr std::array<const char *, 10> kBars{"TTsss", "sssTT", "ssTsT", "ssTTs", "sTssT",
                                             "sTsTs", "sTTss", "TsssT", "TssTs", "TsTss"};

} // namespace

NKDPostnetBarcode::NKDPostnetBarcode(const QString &content, bool printsCaption)
    : NKDBarcode(Init{content, printsCaption, 1.08f, 9.0f, 0.0f})
{
    generateChecksum();
    calculateWidth();
}

void NKDPostnetBarcode::generateChecksum()
{
    int sum = 0;
    for (const QChar c : m_content)
        if (c >= u'0' && c <= u'9')
            sum += c.digitValue();
    setCheckDigit(static_cast<signed char>('0' + (10 - sum % 10) % 10));
}

bool NKDPostnetBarcode::isContentValid() const
{
    const qsizetype length = m_content.size();
    if (length != 5 && length != 9 && length != 11)
        return false;
    for (const QChar c : m_content)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

float NKDPostnetBarcode::_heightForDigit(int position, int bar) const
{
    const char16_t c = position < m_content.size() ? m_content.at(position).unicode()
                                                   : static_cast<char16_t>(m_checkDigit);
    if (c < u'0' || c > u'9' || bar < 1 || bar > 5)
        return 0.0f;
    return kBars[static_cast<size_t>(c - u'0')][bar - 1] == 'T' ? kTall : kShort;
}

float NKDPostnetBarcode::barTop(int index, const Barcode_Margins &) const
{
    if (index <= 0 || index >= completeBarcode().size() - 1)
        return kTall * 72.0f;
    const int digit = (index - 3) / 15;
    const int bar = (index - 15 * digit) / 3;
    return _heightForDigit(digit, bar) * 72.0f;
}
