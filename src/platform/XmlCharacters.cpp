#include "platform/XmlCharacters.h"

namespace XmlCharacters {

qsizetype firstUncarried(QStringView text)
{
    // Series and sheets of millions of values pass through here: the common case costs one compare.
    const char16_t *const begin = text.utf16();
    const char16_t *const end = begin + text.size();
    for (const char16_t *at = begin; at != end; ++at) {
        const char16_t c = *at;
        if (c >= 0x20 && c < 0xD800)
            continue;
        if (c < 0x20) {
            if (c == u'\t' || c == u'\n' || c == u'\r')
                continue;
            return at - begin;
        }
        if (QChar::isHighSurrogate(c) && at + 1 != end && QChar::isLowSurrogate(at[1])) {
            ++at;
            continue;
        }
        if (QChar::isSurrogate(c) || c >= 0xFFFE)
            return at - begin;
    }
    return -1;
}

QString nameOf(QStringView text, qsizetype at)
{
    const char16_t c = text[at].unicode();
    if (c == 0)
        return QStringLiteral("NUL");
    const QString code = QStringLiteral("U+%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
    return QChar::isSurrogate(c) ? QStringLiteral("an unpaired surrogate (%1)").arg(code) : code;
}

bool isXmlText(QStringView text)
{
    return firstUncarried(text) < 0;
}

void replaceIn(QChar *units, qsizetype size)
{
    // A unit found is never the first half of a pair, so the search goes on from the next one.
    for (qsizetype from = 0; from < size;) {
        const qsizetype at = firstUncarried(QStringView(units + from, size - from));
        if (at < 0)
            return;
        units[from + at] = QChar(QChar::ReplacementCharacter);
        from += at + 1;
    }
}

QString replaced(const QString &text)
{
    if (isXmlText(text))
        return text;
    QString result = text;
    replaceIn(result.data(), result.size());
    return result;
}

} // namespace XmlCharacters
