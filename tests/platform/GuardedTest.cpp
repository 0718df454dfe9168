#include "platform/Guarded.h"

#include <QRegularExpression>
#include <QString>

#include <gtest/gtest.h>

#include <thread>

// A progress text written by a worker while a timer thread reads it: every read is a whole text
// that was written, and the counts never go back.
TEST(Guarded, ReadersSeeWholeTextsInTheOrderWritten)
{
    constexpr int total = 2000;
    platform::Guarded<QString> text;
    std::thread worker([&] {
        for (int i = 1; i <= total; ++i)
            text = QStringLiteral("%1 / %2 ").arg(i).arg(total);
    });
    const QRegularExpression whole(QStringLiteral("^(\\d+) / %1 $").arg(total));
    int last = 0;
    bool finished = false;
    while (!finished) {
        const QString seen = text.load();
        if (seen.isEmpty())
            continue;
        const QRegularExpressionMatch match = whole.match(seen);
        ASSERT_TRUE(match.hasMatch()) << seen.toStdString();
        const int count = match.captured(1).toInt();
        ASSERT_GE(count, last);
        last = count;
        finished = count == total;
    }
    worker.join();
    EXPECT_EQ(QString(text), QStringLiteral("%1 / %1 ").arg(total));
}
