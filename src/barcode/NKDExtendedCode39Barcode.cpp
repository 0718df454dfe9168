#include "barcode/NKDExtendedCode39Barcode.h"

namespace {

// A pair: the shift character and the Code 39 character it modifies; {0, 0} for none.
struct Pair {
    char shift = 0;
    char code = 0;
};

Pair pairFor(char c)
{
    if (c == '\t')
        return {'$', 'I'};
    if (c == '\n')
        return {'$', 'J'};
    if (c >= '!' && c <= ',')
        return {'/', static_cast<char>('A' + (c - '!'))};
    if (c == '/')
        return {'/', 'O'};
    if (c == ':')
        return {'/', 'Z'};
    if (c >= ';' && c <= '?')
        return {'%', static_cast<char>('F' + (c - ';'))};
    if (c == '@')
        return {'%', 'V'};
    if (c >= '[' && c <= '_')
        return {'%', static_cast<char>('K' + (c - '['))};
    if (c == '`')
        return {'%', 'W'};
    if (c >= 'a' && c <= 'z')
        return {'+', static_cast<char>(c - 'a' + 'A')};
    if (c >= '{' && c <= '~')
        return {'%', static_cast<char>('P' + (c - '{'))};
    return {};
}

} // namespace

NKDExtendedCode39Barcode::NKDExtendedCode39Barcode(const QString &content, bool printsCaption)
    : NKDCode39Barcode(content, printsCaption)
{
    setContent(content);
    // Measured again: the Code 39 constructor measured the upper-cased content.
    calculateWidth();
}

QString NKDExtendedCode39Barcode::_encodeChar(char c) const
{
    const bool shiftCharacter = c == '$' || c == '%' || c == '+' || c == '/' || c == '*';
    if (!shiftCharacter) {
        const QString own = code39Pattern(c);
        if (!own.isEmpty())
            return own;
    }
    const Pair pair = pairFor(c);
    if (pair.shift == 0)
        return {};
    return code39Pattern(pair.shift) + code39Pattern(pair.code);
}
