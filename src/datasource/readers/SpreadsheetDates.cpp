#include "datasource/readers/SpreadsheetDates.h"

#include <QDate>

#include <cctype>
#include <charconv>
#include <cmath>

namespace spreadsheet {

namespace {

constexpr int kSecondsPerDay = 24 * 60 * 60;

// Dates are written digit by digit: through QDate::toString and QString::arg a date cost twice
// what reading its number does.
class Digits {
public:
    // `value` with at least `width` digits.
    Digits &number(qint64 value, int width)
    {
        char16_t reversed[20];
        int n = 0;
        do {
            reversed[n++] = char16_t(u'0' + value % 10);
            value /= 10;
        } while (value > 0 || n < width);
        while (n > 0)
            m_text[m_size++] = reversed[--n];
        return *this;
    }
    Digits &separator(char16_t c)
    {
        m_text[m_size++] = c;
        return *this;
    }
    // hh:mm, and :ss where there are seconds.
    Digits &time(qint64 seconds)
    {
        number(seconds / 3600, 2).separator(u':').number(seconds / 60 % 60, 2);
        return seconds % 60 == 0 ? *this : separator(u':').number(seconds % 60, 2);
    }
    QString text() const { return QString(reinterpret_cast<const QChar *>(m_text), m_size); }

private:
    char16_t m_text[48];
    int m_size = 0;
};

QString timeOfSeconds(qint64 seconds)
{
    return Digits().time(seconds).text();
}

QString dateTimeOf(const QDate &date, qint64 seconds)
{
    int year = 0, month = 0, day = 0;
    date.getDate(&year, &month, &day);
    if (!date.isValid() || year < 1 || year > 9999)
        return {};
    Digits text;
    text.number(year, 4).separator(u'-').number(month, 2).separator(u'-').number(day, 2);
    return seconds == 0 ? text.text() : text.separator(u' ').time(seconds).text();
}

// The digits at the front of `text`, taken off it; -1 when there are none.
qint64 takeNumber(std::string_view &text, std::size_t maxDigits)
{
    qint64 value = 0;
    std::size_t digits = 0;
    while (digits < text.size() && digits < maxDigits && std::isdigit(static_cast<unsigned char>(text[digits])))
        value = value * 10 + (text[digits++] - '0');
    text.remove_prefix(digits);
    return digits ? value : -1;
}

bool take(std::string_view &text, char c)
{
    if (text.empty() || text.front() != c)
        return false;
    text.remove_prefix(1);
    return true;
}

// Seconds of up to `maxDigits` digits with their fraction, rounded to the nearest whole second.
qint64 takeSeconds(std::string_view &text, std::size_t maxDigits)
{
    qint64 seconds = takeNumber(text, maxDigits);
    if (seconds >= 0 && take(text, '.') && !text.empty() && text.front() >= '5' && text.front() <= '9')
        ++seconds;
    while (!text.empty() && std::isdigit(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    return seconds;
}

} // namespace

QString dateOfSerial(double serial, NumberFormat format, bool date1904)
{
    // Within the years 1 to 9999 from either epoch; some writers keep days before the epoch as
    // negative numbers.
    if (format == NumberFormat::Number || !std::isfinite(serial) || serial <= -693593 || serial >= 2958466)
        return {};
    if (format == NumberFormat::Elapsed)
        return serial < 0 ? QString() : timeOfSeconds(std::llround(serial * kSecondsPerDay));
    qint64 day = qint64(std::floor(serial));
    qint64 seconds = std::llround((serial - double(day)) * kSecondsPerDay);
    if (seconds == kSecondsPerDay) {
        ++day;
        seconds = 0;
    }
    if (day == 0 && serial >= 0)
        return timeOfSeconds(seconds);
    // The 1900 system counts a 29 February 1900 that never was: its days before it are one off.
    if (!date1904 && serial > 0 && serial < 60)
        ++day;
    return dateTimeOf((date1904 ? QDate(1904, 1, 1) : QDate(1899, 12, 30)).addDays(day), seconds);
}

QString dateOfIso(std::string_view text)
{
    const qint64 year = takeNumber(text, 4);
    if (!take(text, '-'))
        return {};
    const qint64 month = takeNumber(text, 2);
    if (!take(text, '-'))
        return {};
    const qint64 day = takeNumber(text, 2);
    const QDate date{int(year), int(month), int(day)};
    if (year < 0 || month < 0 || day < 0 || !date.isValid())
        return {};
    if (text.empty())
        return dateTimeOf(date, 0);
    if (!take(text, 'T'))
        return {};
    const qint64 hours = takeNumber(text, 2);
    const qint64 minutes = take(text, ':') ? takeNumber(text, 2) : -1;
    const qint64 seconds = take(text, ':') ? takeSeconds(text, 2) : 0;
    // A zone would move the day: such a value is no wall-clock date.
    if (!text.empty() || hours < 0 || hours > 23 || minutes < 0 || minutes > 59 || seconds < 0 || seconds > 60)
        return {};
    const qint64 time = hours * 3600 + minutes * 60 + seconds;
    if (time >= kSecondsPerDay)
        return dateTimeOf(date.addDays(1), time - kSecondsPerDay);
    // Spreadsheets write a time of no day on their day zero, 30 or 31 December 1899.
    if (date.year() == 1899 && date.month() == 12 && date.day() >= 30)
        return timeOfSeconds(time);
    return dateTimeOf(date, time);
}

QString timeOfDuration(std::string_view text, NumberFormat format, const QDate &dayZero)
{
    // A date-time before the day zero is kept as a negative length of time.
    const bool negative = take(text, '-');
    if (!take(text, 'P') || !take(text, 'T'))
        return {};
    qint64 seconds = 0;
    bool any = false;
    // A date-time counts its hours from the day zero: over 8,700,000 by the year 9999, some
    // 31,000,000,000 seconds where only seconds are written.
    for (const auto &[unit, scale] : {std::pair{'H', 3600}, {'M', 60}, {'S', 1}}) {
        std::string_view rest = text;
        const qint64 value = unit == 'S' ? takeSeconds(rest, 12) : takeNumber(rest, 9);
        if (value >= 0 && take(rest, unit)) {
            seconds += value * scale;
            text = rest;
            any = true;
        }
    }
    if (!any || !text.empty())
        return {};
    if (negative && seconds > 0) {
        // As a workbook's negative serial: the day before, and the time from its midnight. A
        // negative length of time shows as it is written.
        if (format == NumberFormat::Elapsed)
            return {};
        const qint64 days = (seconds + kSecondsPerDay - 1) / kSecondsPerDay;
        return dateTimeOf(dayZero.addDays(-days), days * kSecondsPerDay - seconds);
    }
    if (format == NumberFormat::Elapsed || seconds < kSecondsPerDay)
        return timeOfSeconds(seconds);
    return dateTimeOf(dayZero.addDays(seconds / kSecondsPerDay), seconds % kSecondsPerDay);
}

NumberFormat numberFormatOf(int builtinId)
{
    if (builtinId == 46) // [h]:mm:ss
        return NumberFormat::Elapsed;
    return (builtinId >= 14 && builtinId <= 22) || (builtinId >= 45 && builtinId <= 47) ? NumberFormat::Date
                                                                                         : NumberFormat::Number;
}

NumberFormat numberFormatOf(std::string_view code)
{
    NumberFormat found = NumberFormat::Number;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = char(std::tolower(static_cast<unsigned char>(code[i])));
        switch (c) {
        case ';': // the format of positive numbers is the one that decides
            return found;
        case '"':
            i = std::min(code.find('"', i + 1), code.size());
            break;
        case '\\':
        case '_':
        case '*':
            ++i; // the next character is a literal, or a width or fill
            break;
        case '[': {
            const std::size_t end = std::min(code.find(']', i + 1), code.size());
            // Elapsed hours, minutes or seconds ("[h]:mm") are a length of time; colours and
            // locales are nothing.
            const std::string_view inside = code.substr(i + 1, end - i - 1);
            if (!inside.empty() && inside.find_first_not_of(inside.front()) == std::string_view::npos
                && std::string_view("hHmMsS").find(inside.front()) != std::string_view::npos)
                return NumberFormat::Elapsed;
            i = end;
            break;
        }
        case 'd':
        case 'm':
        case 'y':
        case 'h':
        case 's':
            found = NumberFormat::Date;
            break;
        default:
            break;
        }
    }
    return found;
}

} // namespace spreadsheet
