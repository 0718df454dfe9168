#include "barcode/NKDRoyalMailBarcode.h"

#include <array>

namespace {

// The published Royal Mail table, "0" to "9" and "A" to "Z": character k has ascenders on the bar
// pair of row k / 6 and descenders on the pair of column k mod 6.
constexpr std::array<int, 10> kDigits{0x0033, 0x0123, 0x0132, 0x1023, 0x1032, 0x1122, 0x0213, 0x0303, 0x0312, 0x1203};
constexpr std::array<int, 26> kLetters{0x1212, 0x1302, 0x0231, 0x0321, 0x0330, 0x1221, 0x1230, 0x1320, 0x2013,
                                       0x2103, 0x2112, 0x3003, 0x3012, 0x3102, 0x2031, 0x2121, 0x2130, 0x3021,
                                       0x3030, 0x3120, 0x2211, 0x2301, 0x2310, 0x3201, 0x3210, 0x3300};
constexpr char kCharacters[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr int kRows = 6;
constexpr int kModulesPerCharacter = 8;
constexpr float kPointsPerMillimetre = 0.03937007874015748f * 72.0f;

int collapse(int descriptor, int bit)
{
    int collapsed = 0;
    for (int bar = 3; bar >= 0; --bar)
        collapsed = collapsed << 1 | ((descriptor >> (4 * bar)) & bit ? 1 : 0);
    return collapsed;
}

} // namespace

int royalmail_characterDescriptor(char c)
{
    if (c >= '0' && c <= '9')
        return kDigits[static_cast<size_t>(c - '0')];
    if (c >= 'A' && c <= 'Z')
        return kLetters[static_cast<size_t>(c - 'A')];
    return 0;
}

int royalmail_barDescriptor(int descriptor, int position)
{
    return (descriptor >> (4 * (3 - position / 2))) & 0xf;
}

float royalmail_barTop(int bar)
{
    return bar & 2 ? 5.05f : 3.15f;
}

float royalmail_barBottom(int bar)
{
    return bar & 1 ? 0.0f : 1.9f;
}

int royalmail_collapseAscenders(int descriptor)
{
    return collapse(descriptor, 2);
}

int royalmail_collapseDescenders(int descriptor)
{
    return collapse(descriptor, 1);
}

NKDRoyalMailBarcode::NKDRoyalMailBarcode(const QString &content, bool printsCaption)
    : NKDBarcode(Init{content.toUpper(), printsCaption, 1.4173229f, 14.3149605f, 0.0f})
{
    generateChecksum();
    calculateWidth();
}

QString NKDRoyalMailBarcode::_encodeChar(char c) const
{
    return royalmail_characterDescriptor(c) != 0 ? QStringLiteral("10101010") : QString();
}

void NKDRoyalMailBarcode::generateChecksum()
{
    // A pair's collapsed bits halved are its row (column) number, 1 to 6.
    int top = 0;
    int bottom = 0;
    for (const QChar c : m_content) {
        const int descriptor = c.unicode() <= 0x7f ? royalmail_characterDescriptor(static_cast<char>(c.unicode())) : 0;
        top = (top + royalmail_collapseAscenders(descriptor) / 2) % kRows;
        bottom = (bottom + royalmail_collapseDescenders(descriptor) / 2) % kRows;
    }
    const int row = (top + kRows - 1) % kRows;
    const int column = (bottom + kRows - 1) % kRows;
    setCheckDigit(kCharacters[row * kRows + column]);
}

int NKDRoyalMailBarcode::_barDescriptor(int index) const
{
    const auto characters = static_cast<int>(m_content.size());
    if (index < 2)
        return 2;
    if (index >= (characters + 1) * kModulesPerCharacter + 2)
        return 3;
    const int module = index - 2;
    const int character = module / kModulesPerCharacter;
    const char16_t c = character < characters ? m_content.at(character).unicode()
                                              : static_cast<char16_t>(m_checkDigit);
    const int descriptor = c <= 0x7f ? royalmail_characterDescriptor(static_cast<char>(c)) : 0;
    return royalmail_barDescriptor(descriptor, module % kModulesPerCharacter);
}

float NKDRoyalMailBarcode::barTop(int index, const Barcode_Margins &) const
{
    return royalmail_barTop(_barDescriptor(index)) * kPointsPerMillimetre;
}

float NKDRoyalMailBarcode::barBottom(int index) const
{
    return royalmail_barBottom(_barDescriptor(index)) * kPointsPerMillimetre;
}
