#include "barcode/NKDCodabarBarcode.h"

namespace {

struct Pattern {
    char c;
    const char *modules;
};

// The published Codabar patterns.
constexpr Pattern kPatterns[] = {
    {'0', "101010011"},  {'1', "101011001"},  {'2', "101001011"},  {'3', "110010101"},  {'4', "101101001"},
    {'5', "110101001"},  {'6', "100101011"},  {'7', "100101101"},  {'8', "100110101"},  {'9', "110100101"},
    {'-', "101001101"},  {'$', "101100101"},  {':', "1101011011"}, {'/', "1101101011"}, {'.', "1101101101"},
    {'+', "1011011011"}, {'A', "1011001001"}, {'B', "1001001011"}, {'C', "1010010011"}, {'D', "1010011001"}};

bool isStartStop(char c)
{
    return c >= 'A' && c <= 'D';
}

} // namespace

NKDCodabarBarcode::NKDCodabarBarcode(const QString &content, bool printsCaption) : NKDBarcode(content, printsCaption)
{
    calculateWidth();
}

QString NKDCodabarBarcode::_encodeChar(char c) const
{
    for (const Pattern &pattern : kPatterns)
        if (pattern.c == c)
            return QLatin1String(pattern.modules);
    return {};
}

bool NKDCodabarBarcode::isContentValid() const
{
    if (!NKDBarcode::isContentValid())
        return false;
    const QByteArray bytes = m_content.toLatin1();
    if (bytes.size() < 2 || !isStartStop(bytes.front()) || !isStartStop(bytes.back()))
        return false;
    for (qsizetype i = 1; i + 1 < bytes.size(); ++i)
        if (isStartStop(bytes.at(i)))
            return false;
    return true;
}

QString NKDCodabarBarcode::barcode() const
{
    const std::optional<QByteArray> bytes = asciiContent();
    if (!bytes)
        return {};
    QString modules;
    for (const char c : *bytes) {
        const QString pattern = _encodeChar(c);
        if (!pattern.isEmpty())
            modules += pattern + QLatin1Char('0');
    }
    return modules;
}
