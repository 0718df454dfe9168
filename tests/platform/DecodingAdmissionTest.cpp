#include "platform/DecodingAdmission.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <QThread>

#include <chrono>
#include <deque>
#include <future>
#include <mutex>
#include <thread>

using namespace platform;

// While a worker decodes a picture reckoned at `held` bytes, decodings ask in turn, each once the one
// before it has gone in or waits; then the worker ends. The window's own read (on this, the GUI
// thread) goes in at once, beside the worker and before those waiting; the others go in in the
// order they asked, but for those that fit, which pass the first waiting a bounded number of times.
TEST(DecodingAdmission, TheWindowsReadGoesInAtOnceAndOthersInTheOrderTheyAskedOrWhileTheyFit)
{
    constexpr qint64 MB = 1000 * 1000;
    // A large read, then small ones, each of which fits beside what decodes.
    std::vector<std::pair<qint64, bool>> smallAfterLarge{{596 * MB, false}};
    QStringList passed;
    for (int i = 1; i <= kMostPassingAhead + 1; ++i) {
        smallAfterLarge.emplace_back(1 * MB, false);
        if (i <= kMostPassingAhead)
            passed << QString::number(i);
    }
    const std::string passing = (passed.join(' ') + QStringLiteral(" ended 0 %1").arg(kMostPassingAhead + 1)).toStdString();
    const struct {
        const char *name;
        qint64 held;
        std::vector<std::pair<qint64, bool>> asks; // bytes, and whether the window asks
        const char *admitted; // in order: each ask's number, and "ended" as the worker ends
    } rows[] = {
        {"a photo the window reads beside a grey PNG of 22,740²", 596 * MB, {{8 * MB, true}}, "0 ended"},
        {"a photo the window reads while another waits", 500 * MB, {{200 * MB, false}, {8 * MB, true}}, "1 ended 0"},
        {"a large read among a stream of middle ones", 300 * MB, {{596 * MB, false}, {350 * MB, false}, {48 * MB, false}}, "2 ended 0 1"},
        {"small reads that fit beside a large one waiting", 48 * MB, smallAfterLarge, passing.c_str()},
    };
    // A guard against a hang only: nothing here takes more than a moment.
    constexpr auto kHang = std::chrono::seconds(30);
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        std::mutex lock;
        QStringList admitted;
        const auto note = [&](const QString &what) {
            const std::lock_guard<std::mutex> guard(lock);
            admitted << what;
        };
        std::promise<void> holding, end;
        std::deque<std::thread> threads;
        threads.emplace_back([&] {
            const DecodingAdmission decoding(row.held);
            holding.set_value();
            end.get_future().wait_for(kHang);
            note("ended"); // before its share is given back
        });
        holding.get_future().wait();
        for (size_t i = 0; i < row.asks.size(); ++i) {
            const QString name = QString::number(i);
            const qint64 bytes = row.asks[i].first;
            if (row.asks[i].second) {
                const DecodingAdmission decoding(bytes);
                note(name);
                continue;
            }
            const int waiting = DecodingAdmission::waitingForTesting();
            threads.emplace_back([&note, name, bytes] {
                const DecodingAdmission decoding(bytes);
                note(name);
            });
            const auto deadline = std::chrono::steady_clock::now() + kHang;
            const auto admittedYet = [&] {
                const std::lock_guard<std::mutex> guard(lock);
                return admitted.contains(name);
            };
            while (DecodingAdmission::waitingForTesting() == waiting && !admittedYet() &&
                   std::chrono::steady_clock::now() < deadline)
                QThread::yieldCurrentThread();
        }
        end.set_value();
        for (std::thread &thread : threads)
            thread.join();
        EXPECT_EQ(admitted.join(' ').toStdString(), row.admitted);
    }
}
