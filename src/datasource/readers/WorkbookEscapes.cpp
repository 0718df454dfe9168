#include "datasource/readers/WorkbookEscapes.h"

#include "platform/XmlCharacters.h"

#include <algorithm>

namespace WorkbookEscapes {

namespace {

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    return u >= u'0' && u <= u'9'   ? u - u'0'
           : u >= u'a' && u <= u'f' ? u - u'a' + 10
           : u >= u'A' && u <= u'F' ? u - u'A' + 10
                                    : -1;
}

// The unit that the "_xHHHH_" at `at` stands for; -1 where none begins there.
int unitAt(const QChar *at, const QChar *end)
{
    if (end - at < 7 || at[0] != u'_' || at[1] != u'x' || at[6] != u'_')
        return -1;
    int unit = 0;
    for (int i = 2; i < 6; ++i) {
        const int digit = hexDigit(at[i]);
        if (digit < 0)
            return -1;
        unit = unit * 16 + digit;
    }
    return unit;
}

} // namespace

QString escaped(const QString &text)
{
    if (!text.contains(u'_') && !text.contains(u'\r') && XmlCharacters::isXmlText(text))
        return text;
    QString written;
    written.reserve(text.size() + 16);
    const QChar *const end = text.constData() + text.size();
    for (const QChar *at = text.constData(); at != end; ++at) {
        // A unit that is half of a pair is only carried with its other half.
        const qsizetype units = at->isHighSurrogate() && at + 1 != end && at[1].isLowSurrogate() ? 2 : 1;
        if (*at != u'\r' && XmlCharacters::isXmlText(QStringView(at, units)) && unitAt(at, end) < 0) {
            written.append(at, units);
            at += units - 1;
            continue;
        }
        const char16_t c = at->unicode();
        written.append(QLatin1String("_x"));
        for (int shift = 12; shift >= 0; shift -= 4)
            written.append(QLatin1Char("0123456789ABCDEF"[(c >> shift) & 0xF]));
        written.append(u'_');
    }
    return written;
}

QChar *unescaped(QChar *begin, QChar *end)
{
    QChar *in = std::find(begin, end, u'_'), *out = in;
    while (in != end) {
        if (const int unit = unitAt(in, end); unit >= 0) {
            *out++ = QChar(char16_t(unit));
            in += 7;
        } else {
            *out++ = *in++;
        }
    }
    return out;
}

} // namespace WorkbookEscapes
