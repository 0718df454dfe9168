#include "platform/ConcurrentFor.h"

#include <QRunnable>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <exception>
#include <memory>
#include <mutex>

namespace platform {

namespace {

// Kept alive by every helper: a helper the pool starts late, after the caller has returned, finds
// no index left and touches nothing else.
struct Shared {
    const std::function<void(qsizetype)> *body = nullptr;
    qsizetype count = 0;
    std::atomic<qsizetype> next{0};
    std::atomic<qsizetype> ended{0}; // indexes run, or skipped after a failure
    std::atomic<bool> failed{false};
    std::mutex errorLock;
    std::exception_ptr error;

    void work()
    {
        for (qsizetype i = next.fetch_add(1); i < count; i = next.fetch_add(1)) {
            if (!failed.load()) {
                try {
                    (*body)(i);
                } catch (...) {
                    const std::lock_guard<std::mutex> lock(errorLock);
                    if (!error)
                        error = std::current_exception();
                    failed = true;
                }
            }
            if (ended.fetch_add(1) + 1 == count)
                ended.notify_all();
        }
    }

    // Only the indexes taken are waited for, not helpers still waking up to find none left.
    void waitForEveryIndex()
    {
        for (qsizetype seen = ended.load(); seen < count; seen = ended.load())
            ended.wait(seen);
    }
};

} // namespace

void concurrentFor(qsizetype count, const std::function<void(qsizetype)> &body)
{
    if (count <= 0)
        return;
    QThreadPool *pool = QThreadPool::globalInstance();
    const int helpers = int(std::min<qsizetype>(count - 1, std::max(0, pool->maxThreadCount() - 1)));
    auto shared = std::make_shared<Shared>();
    shared->body = &body;
    shared->count = count;
    try {
        // A pool busy with other work may start a helper late: the caller meanwhile does the work
        // itself, so waiting never depends on a free thread.
        for (int i = 0; i < helpers; ++i)
            pool->start(QRunnable::create([shared] { shared->work(); }));
    } catch (...) {
        // Indexes the helpers started have taken use `body`, which dies with this call: they must
        // end first; the rest are skipped.
        shared->failed = true;
        shared->work();
        shared->waitForEveryIndex();
        throw;
    }
    shared->work();
    shared->waitForEveryIndex();
    if (shared->error)
        std::rethrow_exception(shared->error);
}

int concurrentThreads()
{
    return std::max(1, QThreadPool::globalInstance()->maxThreadCount());
}

} // namespace platform
