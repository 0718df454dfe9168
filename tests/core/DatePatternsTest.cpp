#include "core/DatePatterns.h"

#include <gtest/gtest.h>

#include <QLocale>

TEST(DatePatterns, DatesFollowUnicodePatterns)
{
    const QLocale locale;
    const QDateTime afternoon(QDate(2024, 3, 5), QTime(14, 7, 9, 45));
    const std::pair<const char *, QString> cases[] = {
        {"M-d-yyyy", "3-5-2024"},
        {"MM-dd-yy", "03-05-24"},
        {"yy-MM-dd", "24-03-05"},
        {"dd-MMM-yy", "05-" + locale.monthName(3, QLocale::ShortFormat) + "-24"},
        {"h:mm:ss a", "2:07:09 " + locale.pmText()},
        {"hh:mm:ss a", "02:07:09 " + locale.pmText()},
        {"HH:mm:ss.SSS", "14:07:09.045"},
        {"EEEE 'o''clock' ''", locale.dayName(2) + " o'clock '"},
    };
    for (const auto &[pattern, expected] : cases)
        EXPECT_EQ(Format_Date_With_Pattern(afternoon, QString::fromLatin1(pattern)), expected) << pattern;

    const QDateTime midnight(QDate(2009, 12, 31), QTime(0, 5, 0));
    EXPECT_EQ(Format_Date_With_Pattern(midnight, QStringLiteral("h a|H|HH|k")), "12 " + locale.amText() + "|0|00|24");
    EXPECT_EQ(Format_Date_With_Pattern(midnight, QStringLiteral("'open d")), "open d");
}
