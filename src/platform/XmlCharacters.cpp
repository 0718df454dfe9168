#include "platform/XmlCharacters.h"

namespace {

bool isAllowedUnit(char16_t c)
{
    if (c < 0x20)
        return c == u'\t' || c == u'\n' || c == u'\r';
    return c != 0xFFFE && c != 0xFFFF;
}

// The length of the first character that XML cannot carry from `i` on, or 0 when `text[i]` can
// stand (a pair of surrogates counts as one character).
qsizetype badLengthAt(QStringView text, qsizetype i)
{
    const char16_t c = text[i].unicode();
    if (QChar::isHighSurrogate(c))
        return i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode()) ? 0 : 1;
    if (QChar::isLowSurrogate(c))
        return 1;
    return isAllowedUnit(c) ? 0 : 1;
}

} // namespace

namespace XmlCharacters {

bool isXmlText(QStringView text)
{
    // Series and sheets of millions of values pass through here: the common case costs one compare.
    const char16_t *at = text.utf16();
    const char16_t *const end = at + text.size();
    while (at != end) {
        const char16_t c = *at++;
        if (c >= 0x20 && c < 0xD800)
            continue;
        if (QChar::isHighSurrogate(c) && at != end && QChar::isLowSurrogate(*at)) {
            ++at;
            continue;
        }
        if (!isAllowedUnit(c) || QChar::isSurrogate(c))
            return false;
    }
    return true;
}

QString replaced(const QString &text)
{
    if (isXmlText(text))
        return text;
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (badLengthAt(text, i) != 0) {
            result.append(QChar(QChar::ReplacementCharacter));
            continue;
        }
        result.append(text[i]);
        if (QChar::isHighSurrogate(text[i].unicode()))
            result.append(text[++i]);
    }
    return result;
}

} // namespace XmlCharacters
