#include "barcode/NKDCode128Barcode.h"

#include "core/MessageBoxes.h"

#include <array>

namespace {

// The published element widths, bar first, of the symbol values 0 to 105 (105 is Start C).
constexpr std::array<const char *, 106> kWidths{
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212", "221213", "221312",
    "231212", "112232", "122132", "122231", "113222", "123122", "123221", "223211", "221132", "221231", "213212",
    "223112", "312131", "311222", "321122", "321221", "312212", "322112", "322211", "212123", "212321", "232121",
    "111323", "131123", "131321", "112313", "132113", "132311", "211313", "231113", "231311", "112133", "112331",
    "132131", "113123", "113321", "133121", "313121", "211331", "231131", "213113", "213311", "213131", "311123",
    "311321", "331121", "312113", "312311", "332111", "314111", "221411", "431111", "111224", "111422", "121124",
    "121421", "141122", "141221", "112214", "112412", "122114", "122411", "142112", "142211", "241211", "221114",
    "413111", "241112", "134111", "111242", "121142", "121241", "114212", "124112", "124211", "411212", "421112",
    "421211", "212141", "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311",
    "113141", "114131", "311141", "411131", "211412", "211214", "211232"};
constexpr int kShift = 98;
constexpr int kCodeB = 100;
constexpr int kStartA = 103;
constexpr int kModulo = 103;

QString modulesOf(const char *widths)
{
    QString modules;
    for (int e = 0; widths[e] != '\0'; ++e)
        modules += QString(widths[e] - '0', e % 2 == 0 ? QLatin1Char('1') : QLatin1Char('0'));
    return modules;
}

QString patternOf(int value)
{
    if (value < 0 || value >= static_cast<int>(kWidths.size()))
        return {};
    return modulesOf(kWidths[static_cast<size_t>(value)]);
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

NKDCode128Barcode::NKDCode128Barcode(const QString &content, bool printsCaption, int codeSet)
    : NKDBarcode(content, printsCaption)
{
    setCodeSet(codeSet);
}

void NKDCode128Barcode::setCodeSet(int codeSet)
{
    m_codeSet = codeSet == Automatic ? _bestCodeSetForContent() : codeSet;
    generateChecksum();
    calculateWidth();
}

int NKDCode128Barcode::_valueForChar(char c)
{
    const auto code = static_cast<unsigned char>(c);
    if (code >= 32 && code <= 126)
        return code - 32;
    if (code < 32)
        return code + 64;
    return -1;
}

bool NKDCode128Barcode::_canEncodeChar(char c, int codeSet)
{
    return !_encodeChar(c, codeSet).isEmpty();
}

QString NKDCode128Barcode::_encodeChar(char c, int codeSet)
{
    const auto code = static_cast<unsigned char>(c);
    const bool inSet = (codeSet == SetA && code <= 95) || (codeSet == SetB && code >= 32 && code <= 126);
    return inSet ? patternOf(_valueForChar(c)) : QString();
}

QString NKDCode128Barcode::_encodeChar(char c) const
{
    if (m_codeSet != SetA && m_codeSet != SetB)
        return {};
    const QString own = _encodeChar(c, m_codeSet);
    if (!own.isEmpty())
        return own;
    const QString other = _encodeChar(c, m_codeSet == SetA ? SetB : SetA);
    return other.isEmpty() ? QString() : patternOf(kShift) + other;
}

int NKDCode128Barcode::_bestCodeSetForContent() const
{
    int controls = 0;
    int lowerCase = 0;
    bool digits = true;
    for (const QChar c : m_content) {
        const char16_t code = c.unicode();
        digits = digits && code >= u'0' && code <= u'9';
        if (code < 32 || code >= 127)
            ++controls;
        else if (code >= u'a' && code <= u'z')
            ++lowerCase;
    }
    if (digits)
        return SetC;
    return controls > lowerCase ? SetA : SetB;
}

std::optional<QList<int>> NKDCode128Barcode::dataValues() const
{
    const std::optional<QByteArray> bytes = asciiContent();
    if (!bytes)
        return std::nullopt;
    QList<int> values;
    if (m_codeSet == SetC) {
        for (qsizetype i = 0; i + 1 < bytes->size(); i += 2) {
            const char first = bytes->at(i);
            const char second = bytes->at(i + 1);
            if (!isDigit(first) || !isDigit(second))
                return std::nullopt;
            values.append((first - '0') * 10 + (second - '0'));
        }
        if (bytes->size() % 2 == 1) {
            const char last = bytes->back();
            if (!isDigit(last))
                return std::nullopt;
            values << kCodeB << _valueForChar(last);
        }
        return values;
    }
    if (m_codeSet != SetA && m_codeSet != SetB)
        return std::nullopt;
    const int other = m_codeSet == SetA ? SetB : SetA;
    for (const char c : *bytes) {
        if (_canEncodeChar(c, m_codeSet)) {
            values.append(_valueForChar(c));
        } else if (_canEncodeChar(c, other)) {
            values << kShift << _valueForChar(c);
        } else {
            return std::nullopt;
        }
    }
    return values;
}

void NKDCode128Barcode::generateChecksum()
{
    const std::optional<QList<int>> values = dataValues();
    if (!values) {
        setCheckDigit(-1);
        return;
    }
    int sum = kStartA + m_codeSet;
    for (qsizetype n = 0; n < values->size(); ++n)
        sum = (sum + static_cast<int>(n + 1) * values->at(n)) % kModulo;
    setCheckDigit(static_cast<signed char>(sum % kModulo));
}

bool NKDCode128Barcode::isContentValid() const
{
    return dataValues().has_value();
}

QString NKDCode128Barcode::initiator() const
{
    if (m_codeSet < SetA || m_codeSet > SetC) {
        Show_NSLog_Message(QStringLiteral("Invalid codeSet value: %1").arg(m_codeSet));
        return {};
    }
    return patternOf(kStartA + m_codeSet);
}

QString NKDCode128Barcode::terminator() const
{
    return QStringLiteral("1100011101011");
}

QString NKDCode128Barcode::barcode() const
{
    const std::optional<QList<int>> values = dataValues();
    if (!values)
        return {};
    QString modules;
    for (const int value : *values)
        modules += patternOf(value);
    return modules + patternOf(m_checkDigit);
}
