#include "output/ClosingReport.h"

#include <gtest/gtest.h>

namespace {

TEST(ClosingReport, RecordsAreNamedFromOneWithRunsJoinedAndLongListsCut)
{
    const struct {
        QList<int> records;
        const char *named;
    } rows[] = {
        {{}, ""},
        {{4}, "5"},
        {{6, 0, 1, 2, 4, 7, 2}, "1-3, 5, 7-8"},
        {{0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22}, "1, 3, 5, 7, 9, 11, 13, 15, 17, 19, …"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(ClosingReport::recordList(row.records), QString::fromUtf8(row.named));
}

TEST(ClosingReport, TheResultSentenceOnlyWhenEverythingWasDone)
{
    ClosingReport report{"Done.", "Not done.", "cards", "printed", 3, 3, {}, {}, {}};
    EXPECT_EQ(report.text(), QStringLiteral("Done."));
    report.recordsMissingValues = {1};
    EXPECT_EQ(report.text(), QStringLiteral("Not done.\n\n3 of 3 cards printed, 0 not printed. 1 record did not take all "
                                            "its values.\n\nRecords without all their values: 2."));
}

} // namespace
