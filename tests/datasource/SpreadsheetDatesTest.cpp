#include "datasource/readers/SpreadsheetDates.h"

#include <gtest/gtest.h>

// An .ods time cell's length of time reads whole, its seconds with their fraction; one before the
// null date (a negative length) reads as a workbook of that date system reads the same serial
// (-1400.75 for the first date here).
TEST(SpreadsheetDates, DurationsReadWhole)
{
    using spreadsheet::NumberFormat;
    const struct {
        const char *duration, *expected;
        NumberFormat format = NumberFormat::Date;
    } cases[] = {
        {"PT100S", "00:01:40"}, {"PT36000S", "10:00"}, {"PT0H0M3725S", "01:02:05"}, {"PT0H0M3725.5S", "01:02:06"},
        {"PT90000S", "25:00", NumberFormat::Elapsed}, {"PT1000000H30M00S", "2018-01-28 16:30"},
        {"-PT33618H00M00S", "1900-03-01 06:00"}, {"-PT6H", "1903-12-31 18:00"}, {"-PT24H", "1903-12-31"},
        {"-PT6H", "", NumberFormat::Elapsed}, {"-PT", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(spreadsheet::timeOfDuration(c.duration, c.format, QDate(1904, 1, 1)), QString::fromLatin1(c.expected)) << c.duration;
}
