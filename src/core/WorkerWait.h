#pragma once

#include "core/MessageBoxes.h"

#include <QEventLoop>
#include <QMetaObject>

#include <exception>
#include <functional>
#include <thread>

namespace WorkerWait {

// How a window waits for work done for it: runs `work` and returns once it has ended, the user's
// input to the window dropped meanwhile (InputShield::waitFor, where the window's widgets live).
using Wait = std::function<void(const std::function<void()> &work)>;

// Runs `job` on a thread of its own and answers its result, while the GUI thread goes on painting
// and answering (a waiting sheet shows); or here at once, when `here`. A window waits through
// InputShield, which keeps what the user does meanwhile from acting, then or afterwards.
// A job that throws is logged and gives a default result.
template <typename Result>
Result run(const std::function<Result()> &job, bool here = false)
{
    Result result{};
    const auto guarded = [&] {
        try {
            result = job();
        } catch (const std::exception &e) {
            Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
        }
    };
    if (here) {
        guarded();
        return result;
    }
    QEventLoop loop;
    std::thread worker([&] {
        guarded();
        // Queued: delivered once the loop runs, even when the job ends before it starts.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    return result;
}

// The job through `wait` when there is one, else on a worker as above.
template <typename Result>
Result run(const Wait &wait, const std::function<Result()> &job)
{
    if (!wait)
        return run<Result>(job);
    Result result{};
    wait([&] { result = run<Result>(job, true); });
    return result;
}

} // namespace WorkerWait
