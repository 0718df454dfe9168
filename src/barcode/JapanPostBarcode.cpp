#include "barcode/JapanPostBarcode.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// The published table for "-" (45) to "@" (64): digits, hyphen, and control codes 1 to 8 (":" to
// "?", ".", "/"); "@" is three trackers.
constexpr std::array<int, 20> kCharacters{0x030, 0x003, 0x333, 0x300, 0x330, 0x312, 0x132, 0x321, 0x303, 0x123,
                                          0x231, 0x213, 0x033, 0x120, 0x102, 0x210, 0x012, 0x201, 0x021, 0x000};
constexpr int kStart = 0x31;
constexpr int kStop = 0x13;
constexpr int kEncodedLength = 20;
constexpr int kStartModules = 4;
constexpr int kModulesPerCharacter = 6;
constexpr int kCheckModulus = 19;
constexpr float kPointsPerMillimetre = 1.0f / 0.3527777777777777f;
constexpr float kLeastSize = 8.5f;
constexpr float kMostSize = 11.5f;
constexpr float kLeastBarWidth = 8.0f / 6.0f;
constexpr float kMostBarWidth = kMostSize / 6.0f;

// The value a character of the encoded form adds to the check sum.
int checkValue(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.digitValue();
    switch (c.unicode()) {
    case u'-':
        return 10;
    case u':':
        return 11;
    case u';':
        return 12;
    case u'<':
        return 13;
    case u'=':
        return 14;
    default:
        return 0;
    }
}

bool isLetterCode(QChar c)
{
    return c == u':' || c == u';' || c == u'<';
}

} // namespace

int japanpost_characterDescriptor(char c)
{
    return c >= '-' && c <= '@' ? kCharacters[static_cast<size_t>(c - '-')] : 0;
}

int japanpost_barDescriptor(int descriptor, int position, int barsPerCharacter)
{
    return (descriptor >> (4 * (barsPerCharacter - 1 - position / 2))) & 0xf;
}

float japanpost_barTop(int bar, float size)
{
    return (bar & 2 ? 3.6f : 2.4f) * size / 10.0f;
}

float japanpost_barBottom(int bar, float size)
{
    return (bar & 1 ? 0.0f : 1.2f) * size / 10.0f;
}

JapanPostBarcode::JapanPostBarcode(const QString &content, bool printsCaption)
    : JapanPostBarcode(Init{content, printsCaption})
{
}

JapanPostBarcode::JapanPostBarcode(const Init &init) : NKDBarcode(Init{QString(), init.printsCaption, 0, 0, 0})
{
    setContent(init.content);
    setSymbolSize(init.height >= 8.0f && init.height <= kMostSize ? init.height : 10.0f);
    // A picture of the symbol alone until the generator frames it.
    setHeight(japanpost_barTop(3, m_symbolSize) * kPointsPerMillimetre);
}

void JapanPostBarcode::setContent(const QString &text)
{
    QString encoded;
    QString readable;
    for (const QChar c : text.toUpper()) {
        if ((c >= u'0' && c <= u'9') || c == u'-') {
            encoded += c;
            readable += c;
        } else if (c >= u'A' && c <= u'Z') {
            const char16_t letter = c.unicode();
            const char16_t code = letter <= u'J' ? u':' : letter <= u'T' ? u';' : u'<';
            const char16_t first = letter <= u'J' ? u'A' : letter <= u'T' ? u'K' : u'U';
            encoded += QChar(code);
            encoded += QChar(u'0' + (letter - first));
            readable += c;
        }
    }
    if (encoded.size() > kEncodedLength) {
        encoded.truncate(kEncodedLength);
        // A letter's control code without its digit would read as another character.
        if (isLetterCode(encoded.back()))
            encoded.chop(1);
        const auto kept = std::count_if(encoded.begin(), encoded.end(), [](QChar c) { return !isLetterCode(c); });
        readable.truncate(kept);
    }
    encoded = encoded.leftJustified(kEncodedLength, QLatin1Char('='));
    m_japanpostContents = encoded;
    m_content = readable;
    generateChecksum();
    calculateWidth();
}

void JapanPostBarcode::setSymbolSize(float size)
{
    if (!std::isfinite(size))
        return;
    m_symbolSize = std::clamp(size, kLeastSize, kMostSize);
    m_barWidth = m_symbolSize / 6.0f;
    calculateWidth();
}

void JapanPostBarcode::setBarWidth(float barWidth)
{
    if (!std::isfinite(barWidth))
        return;
    m_barWidth = std::clamp(barWidth, kLeastBarWidth, kMostBarWidth);
    m_symbolSize = 6.0f * m_barWidth;
    calculateWidth();
}

QString JapanPostBarcode::barcode() const
{
    return _encodeChar('0').repeated(kEncodedLength + 1);
}

bool JapanPostBarcode::isContentValid() const
{
    if (m_content.size() < 7)
        return false;
    return std::all_of(m_content.begin(), m_content.begin() + 7, [](QChar c) { return c >= u'0' && c <= u'9'; });
}

void JapanPostBarcode::generateChecksum()
{
    static constexpr char kCheckCharacters[] = "0123456789-:;<=>?./";
    int sum = 0;
    for (const QChar c : m_japanpostContents)
        sum += checkValue(c);
    const int check = kCheckModulus - sum % kCheckModulus;
    setCheckDigit(kCheckCharacters[check % kCheckModulus]);
}

int JapanPostBarcode::_barDescriptor(int index) const
{
    if (index < kStartModules)
        return japanpost_barDescriptor(kStart, index, 2);
    const int module = index - kStartModules;
    const int character = module / kModulesPerCharacter;
    if (character > kEncodedLength)
        return japanpost_barDescriptor(kStop, (module - (kEncodedLength + 1) * kModulesPerCharacter) % 3, 2);
    const char16_t c = character < m_japanpostContents.size() ? m_japanpostContents.at(character).unicode()
                                                              : static_cast<char16_t>(m_checkDigit);
    const int descriptor = c <= 0x7f ? japanpost_characterDescriptor(static_cast<char>(c)) : 0;
    return japanpost_barDescriptor(descriptor, module % kModulesPerCharacter, 3);
}

float JapanPostBarcode::barTop(int index, const Barcode_Margins &) const
{
    return japanpost_barTop(_barDescriptor(index), m_symbolSize) * kPointsPerMillimetre;
}

float JapanPostBarcode::barBottom(int index) const
{
    return japanpost_barBottom(_barDescriptor(index), m_symbolSize) * kPointsPerMillimetre;
}
