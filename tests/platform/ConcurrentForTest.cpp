#include "platform/ConcurrentFor.h"

#include <gtest/gtest.h>

#include <QThread>

#include <atomic>
#include <set>
#include <stdexcept>
#include <vector>

TEST(ConcurrentFor, EveryIndexRunsOnceAndTheFirstFailureComesBack)
{
    for (const qsizetype count : {qsizetype(0), qsizetype(1), qsizetype(7), qsizetype(5000)}) {
        std::vector<std::atomic<int>> runs(static_cast<size_t>(count));
        platform::concurrentFor(count, [&](qsizetype i) { ++runs[static_cast<size_t>(i)]; });
        for (qsizetype i = 0; i < count; ++i)
            ASSERT_EQ(runs[static_cast<size_t>(i)].load(), 1) << count << " " << i;
    }

    EXPECT_THROW(platform::concurrentFor(1000,
                                         [&](qsizetype i) {
                                             if (i == 3)
                                                 throw std::runtime_error("no");
                                         }),
                 std::runtime_error);

    // Lower indexes are taken first: a call may wait for the one before it to begin.
    std::vector<std::atomic<bool>> begun(200);
    platform::concurrentFor(200, [&](qsizetype i) {
        begun[static_cast<size_t>(i)] = true;
        while (i > 0 && !begun[static_cast<size_t>(i - 1)])
            QThread::yieldCurrentThread();
    });

    // Called from inside its own work, it still finishes: the caller works when the pool is full.
    std::atomic<int> inner{0};
    platform::concurrentFor(64, [&](qsizetype) { platform::concurrentFor(64, [&](qsizetype) { ++inner; }); });
    EXPECT_EQ(inner.load(), 64 * 64);
}
