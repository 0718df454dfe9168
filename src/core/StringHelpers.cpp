#include "core/StringHelpers.h"

#include "core/MessageBoxes.h"

#include <algorithm>
#include <exception>

namespace {

// A non-null empty string: callers tell "no string" (null) from "empty" apart.
QString emptyString()
{
    return QStringLiteral("");
}

// The code point that starts at `i`, joining a surrogate pair; `units` gets its length.
char32_t codePointAt(const QString &s, int i, int &units)
{
    const QChar c = s.at(i);
    if (c.isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate()) {
        units = 2;
        return QChar::surrogateToUcs4(c, s.at(i + 1));
    }
    units = 1;
    return c.unicode();
}

// The code point that ends just before `end`, joining a surrogate pair.
char32_t codePointBefore(const QString &s, int end, int &units)
{
    const QChar c = s.at(end - 1);
    if (c.isLowSurrogate() && end >= 2 && s.at(end - 2).isHighSurrogate()) {
        units = 2;
        return QChar::surrogateToUcs4(s.at(end - 2), c);
    }
    units = 1;
    return c.unicode();
}

template <typename Pred>
QString trimBoth(const QString &s, Pred inSet)
{
    if (s.isNull())
        return QString();
    int begin = 0;
    int end = int(s.size());
    int units = 0;
    while (begin < end && inSet(codePointAt(s, begin, units)))
        begin += units;
    while (end > begin && inSet(codePointBefore(s, end, units)))
        end -= units;
    if (begin == 0 && end == s.size())
        return s;
    return begin == end ? emptyString() : s.mid(begin, end - begin);
}

bool isWhiteSpaceOrNewline(char32_t c)
{
    // isSpace covers the separators, tab to carriage return, U+0085 and no-break spaces.
    return QChar::isSpace(c) || c == 0x2028 || c == 0x2029;
}

bool isControlOrFormat(char32_t c)
{
    const QChar::Category category = QChar::category(c);
    return category == QChar::Other_Control || category == QChar::Other_Format;
}

bool isReserved(char32_t c)
{
    switch (c) {
    case '/': case '\\': case '?': case '%': case '*': case '|': case '"': case '<': case '>':
        return true;
    default:
        return false;
    }
}

} // namespace

QString Trim_Str(const QString &s)
{
    return trimBoth(trimBoth(s, isWhiteSpaceOrNewline), isControlOrFormat);
}

QString Replace_Char_For_valid(const QString &s)
{
    return Trim_Str(s);
}

QString Remove_Reserve_Char_In_File_Name(const QString &s)
{
    return Trim_Str(trimBoth(s, isReserved));
}

QString Replace_char_in_string(const QString &s, const QString &find, const QString &with)
{
    // QString::replace would insert `with` between every character for an empty `find`.
    if (s.isEmpty() || find.isEmpty())
        return s;
    QString result = s;
    return result.replace(find, with, Qt::CaseSensitive);
}

QString Left_Str_substringToIndex(const QString &s, int n)
{
    if (s.isNull())
        return QString();
    if (n <= 0)
        return emptyString();
    return n >= s.size() ? s : s.left(n);
}

QString Right_Str_substringFromIndex(const QString &s, int n)
{
    if (s.isNull())
        return QString();
    if (n <= 0)
        return emptyString();
    return n >= s.size() ? s : s.right(n);
}

QString Read_Str_FromIndex(const QString &s, int i)
{
    if (s.isNull())
        return QString();
    if (i < 0 || i >= s.size())
        return emptyString();
    return s.mid(i);
}

QString Read_Str_Upto_Index(const QString &s, int i)
{
    if (s.isNull())
        return QString();
    if (i <= 0 || i > s.size())
        return emptyString();
    return i == s.size() ? s : s.left(i);
}

bool Find_Str(const QString &s, const QString &part)
{
    return !s.isNull() && !part.isEmpty() && s.contains(part, Qt::CaseSensitive);
}

bool Find_Str_Case_Insensitive(const QString &s, const QString &part)
{
    if (s.isNull() || part.isNull())
        return false;
    try {
        return !part.isEmpty() && s.contains(part, Qt::CaseInsensitive);
    } catch (const std::exception &e) {
        Show_NSLog_Message(QStringLiteral("Find_Str_Case_Insensitive exception"));
        Show_NSLog_Message(s);
        Show_NSLog_Message(part);
        Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
        return false;
    }
}

bool isOneLine(const QString &s)
{
    return std::none_of(s.begin(), s.end(), [](QChar c) {
        const QChar::Category category = c.category();
        return category == QChar::Other_Control || category == QChar::Separator_Line ||
               category == QChar::Separator_Paragraph;
    });
}

QString messageList(const QStringList &items)
{
    const qsizetype shown = items.size() > kMessageListLines ? kMessageListLines - 1 : items.size();
    QStringList lines;
    for (qsizetype i = 0; i < shown; ++i) {
        QString line = items.at(i);
        // Cut in the middle: a path keeps its file's name, a name the place that follows it.
        if (line.size() > kMessageLineCharacters) {
            qsizetype head = kMessageLineCharacters * 3 / 5, tail = kMessageLineCharacters - 1 - head;
            if (line.at(head - 1).isHighSurrogate())
                --head;
            if (line.at(line.size() - tail).isLowSurrogate())
                --tail;
            line = line.left(head) + QChar(0x2026) + line.right(tail);
        }
        if (!isOneLine(line))
            for (QChar &c : line)
                if (!isOneLine(QString(c)))
                    c = QLatin1Char(' ');
        lines << line;
    }
    if (shown < items.size())
        lines << QStringLiteral("… and %1 more").arg(items.size() - shown);
    return lines.join(QLatin1Char('\n'));
}
