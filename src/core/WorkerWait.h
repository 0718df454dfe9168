#pragma once

#include "core/MessageBoxes.h"

#include <QEventLoop>
#include <QMetaObject>

#include <exception>
#include <functional>
#include <thread>

namespace WorkerWait {

// Runs `job` on a thread of its own and answers its result, while the GUI thread goes on painting
// and answering (a waiting sheet shows). The caller keeps its window from starting it again, or
// passes QEventLoop::ExcludeUserInputEvents to hold the user's clicks and keys until the job ends.
// A job that throws is logged and gives a default result.
template <typename Result>
Result run(const std::function<Result()> &job, QEventLoop::ProcessEventsFlags flags = QEventLoop::AllEvents)
{
    Result result{};
    QEventLoop loop;
    std::thread worker([&] {
        try {
            result = job();
        } catch (const std::exception &e) {
            Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
        }
        // Queued: delivered once the loop runs, even when the job ends before it starts.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec(flags);
    worker.join();
    return result;
}

} // namespace WorkerWait
