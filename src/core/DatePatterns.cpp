#include "core/DatePatterns.h"

#include <QLocale>
#include <QTimeZone>

#include <cmath>

namespace {

QString padded(qint64 value, qsizetype width)
{
    return QString::number(value).rightJustified(width, QLatin1Char('0'));
}

QString zoneOffset(int seconds, bool withColon, bool zForZero)
{
    if (seconds == 0 && zForZero)
        return QStringLiteral("Z");
    const QChar sign = seconds < 0 ? QLatin1Char('-') : QLatin1Char('+');
    const int minutes = std::abs(seconds) / 60;
    return sign + padded(minutes / 60, 2) + (withColon ? QStringLiteral(":") : QString()) + padded(minutes % 60, 2);
}

QString eraName(const QDate &date, qsizetype n)
{
    const bool ad = date.year() > 0;
    if (n == 4)
        return ad ? QStringLiteral("Anno Domini") : QStringLiteral("Before Christ");
    if (n == 5)
        return ad ? QStringLiteral("A") : QStringLiteral("B");
    return ad ? QStringLiteral("AD") : QStringLiteral("BC");
}

QString monthField(const QLocale &locale, int month, qsizetype n, bool standalone)
{
    if (n <= 2)
        return padded(month, n);
    if (n == 3)
        return standalone ? locale.standaloneMonthName(month, QLocale::ShortFormat)
                          : locale.monthName(month, QLocale::ShortFormat);
    const QString name = standalone ? locale.standaloneMonthName(month, QLocale::LongFormat)
                                    : locale.monthName(month, QLocale::LongFormat);
    return n == 4 ? name : name.left(1);
}

QString dayNameField(const QLocale &locale, int dayOfWeek, qsizetype n)
{
    if (n == 4)
        return locale.dayName(dayOfWeek, QLocale::LongFormat);
    if (n == 5)
        return locale.dayName(dayOfWeek, QLocale::NarrowFormat);
    return locale.dayName(dayOfWeek, QLocale::ShortFormat);
}

// One run of `n` equal pattern letters; letters without a meaning here are copied as they are.
QString dateField(const QDateTime &when, const QLocale &locale, QChar letter, qsizetype n)
{
    const QDate date = when.date();
    const QTime time = when.time();
    switch (letter.unicode()) {
    case 'G':
        return eraName(date, n);
    case 'y':
        if (n == 2)
            return padded(std::abs(date.year()) % 100, 2);
        return padded(date.year(), n);
    case 'M':
        return monthField(locale, date.month(), n, false);
    case 'L':
        return monthField(locale, date.month(), n, true);
    case 'd':
        return padded(date.day(), n);
    case 'D':
        return padded(date.dayOfYear(), n);
    case 'E':
        return dayNameField(locale, date.dayOfWeek(), n);
    case 'a':
        return time.hour() < 12 ? locale.amText() : locale.pmText();
    case 'h':
        return padded(time.hour() % 12 == 0 ? 12 : time.hour() % 12, n);
    case 'H':
        return padded(time.hour(), n);
    case 'K':
        return padded(time.hour() % 12, n);
    case 'k':
        return padded(time.hour() == 0 ? 24 : time.hour(), n);
    case 'm':
        return padded(time.minute(), n);
    case 's':
        return padded(time.second(), n);
    case 'S': // fractions of a second, truncated to n digits
        return padded(time.msec(), 3).leftJustified(n, QLatin1Char('0'), true);
    case 'z':
        return n == 4 ? when.timeZone().displayName(when, QTimeZone::LongName, locale)
                      : when.timeZoneAbbreviation();
    case 'Z':
        if (n == 4)
            return QStringLiteral("GMT") + zoneOffset(when.offsetFromUtc(), true, false);
        return zoneOffset(when.offsetFromUtc(), n == 5, n == 5);
    default:
        return QString(n, letter);
    }
}

bool isPatternLetter(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

} // namespace

QString Format_Date_With_Pattern(const QDateTime &when, const QString &pattern)
{
    const QLocale locale;
    QString out;
    const qsizetype size = pattern.size();
    qsizetype i = 0;
    bool quoted = false; // inside quoted text, which runs to the closing quote (or the end)
    while (i < size) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('\'')) {
            // '' stands for a quote, inside quoted text or out of it; a lone quote opens or closes.
            if (i + 1 < size && pattern.at(i + 1) == QLatin1Char('\'')) {
                out += QLatin1Char('\'');
                i += 2;
            } else {
                quoted = !quoted;
                ++i;
            }
            continue;
        }
        if (quoted || !isPatternLetter(c)) {
            out += c;
            ++i;
            continue;
        }
        qsizetype n = 1;
        while (i + n < size && pattern.at(i + n) == c)
            ++n;
        out += dateField(when, locale, c, n);
        i += n;
    }
    return out;
}

QString Get_date_Value(const QString &pattern)
{
    return Format_Date_With_Pattern(QDateTime::currentDateTime(), pattern);
}

QString Get_time_Value(const QString &pattern)
{
    return Format_Date_With_Pattern(QDateTime::currentDateTime(), pattern);
}
