#include "platform/ConcurrentFor.h"

#include <QRunnable>
#include <QSemaphore>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <exception>
#include <memory>
#include <mutex>

namespace platform {

namespace {

struct Shared {
    const std::function<void(qsizetype)> *body = nullptr;
    qsizetype count = 0;
    std::atomic<qsizetype> next{0};
    std::atomic<bool> failed{false};
    std::mutex errorLock;
    std::exception_ptr error;
    QSemaphore done;

    void work()
    {
        for (qsizetype i = next.fetch_add(1); i < count && !failed.load(); i = next.fetch_add(1)) {
            try {
                (*body)(i);
            } catch (...) {
                const std::lock_guard<std::mutex> lock(errorLock);
                if (!error)
                    error = std::current_exception();
                failed = true;
            }
        }
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
    int started = 0;
    try {
        for (int i = 0; i < helpers; ++i) {
            // A pool that is busy with other work may not start a helper soon: the caller does the
            // work then, so waiting never depends on a free thread.
            QRunnable *helper = QRunnable::create([shared] {
                shared->work();
                shared->done.release();
            });
            if (!pool->tryStart(helper)) {
                delete helper; // not started, so never the pool's
                break;
            }
            ++started;
        }
    } catch (...) {
        // The helpers started hold `body`, which dies with this call: they must end first.
        shared->failed = true;
        shared->done.acquire(started);
        throw;
    }
    shared->work();
    shared->done.acquire(started);
    if (shared->error)
        std::rethrow_exception(shared->error);
}

int concurrentThreads()
{
    return std::max(1, QThreadPool::globalInstance()->maxThreadCount());
}

} // namespace platform
