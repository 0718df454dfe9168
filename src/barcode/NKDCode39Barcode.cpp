#include "barcode/NKDCode39Barcode.h"

#include <array>

namespace {

// The characters in the order of their check values (0 to 42), then the start/stop character.
constexpr char kCharacters[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%*";
constexpr int kCharacterCount = sizeof(kCharacters) - 1;
constexpr int kCheckValues = 43;

// The published element widths of each character, bar, space, bar … bar: 1 wide, 0 narrow.
constexpr std::array<const char *, kCharacterCount> kElements{
    "000110100", "100100001", "001100001", "101100000", "000110001", "100110000", "001110000", "000100101",
    "100100100", "001100100", "100001001", "001001001", "101001000", "000011001", "100011000", "001011000",
    "000001101", "100001100", "001001100", "000011100", "100000011", "001000011", "101000010", "000010011",
    "100010010", "001010010", "000000111", "100000110", "001000110", "000010110", "110000001", "011000001",
    "111000000", "010010001", "110010000", "011010000", "010000101", "110000100", "011000100", "010101000",
    "010100010", "010001010", "000101010", "010010100"};

int indexOf(char c)
{
    for (int i = 0; i < kCharacterCount; ++i)
        if (kCharacters[i] == c)
            return i;
    return -1;
}

} // namespace

NKDCode39Barcode::NKDCode39Barcode(const QString &content, bool printsCaption)
    : NKDBarcode(content.toUpper(), printsCaption)
{
    calculateWidth();
}

QString NKDCode39Barcode::code39Pattern(char c)
{
    const int index = indexOf(c);
    if (index < 0)
        return {};
    QString modules;
    const char *elements = kElements[static_cast<size_t>(index)];
    for (int e = 0; e < 9; ++e) {
        const QChar module = e % 2 == 0 ? QLatin1Char('1') : QLatin1Char('0');
        modules += module;
        if (elements[e] == '1')
            modules += module;
    }
    return modules + QLatin1Char('0');
}

QString NKDCode39Barcode::_encodeChar(char c) const
{
    return code39Pattern(c);
}

bool NKDCode39Barcode::isContentValid() const
{
    const std::optional<QByteArray> bytes = asciiContent();
    if (!bytes)
        return false;
    const QString stop = startStop();
    for (const char c : *bytes) {
        const QString pattern = _encodeChar(c);
        if (pattern.isEmpty() || pattern == stop)
            return false;
    }
    return true;
}

void NKDCode39Barcode::generateChecksum()
{
    int sum = 0;
    for (const QChar c : m_content) {
        const int value = c.unicode() <= 0x7f ? indexOf(static_cast<char>(c.unicode())) : -1;
        if (value >= 0 && value < kCheckValues)
            sum += value;
    }
    setCheckDigit(kCharacters[sum % kCheckValues]);
    calculateWidth();
}
