#include "platform/DecodingAdmission.h"

#include "platform/PictureReading.h"

#include <QCoreApplication>
#include <QThread>

#include <condition_variable>
#include <mutex>

namespace platform {

namespace {

struct Admitted {
    std::mutex lock;
    std::condition_variable freed;
    qint64 bytes = 0;
    int decodings = 0;
    // Turns are taken in the order asked: `next` is the one the next decoding to ask takes, `served`
    // the first still waiting.
    quint64 next = 0;
    quint64 served = 0;
};

Admitted &admitted()
{
    static Admitted all;
    return all;
}

bool onTheWindowsThread()
{
    const QCoreApplication *application = QCoreApplication::instance();
    return application && QThread::currentThread() == application->thread();
}

} // namespace

DecodingAdmission::DecodingAdmission(qint64 peakBytes) : m_bytes(std::max<qint64>(0, peakBytes))
{
    Admitted &all = admitted();
    std::unique_lock<std::mutex> guard(all.lock);
    const bool waits = m_bytes > kMostWindowDecodingBytes || !onTheWindowsThread();
    if (waits) {
        const quint64 turn = all.next++;
        all.freed.wait(guard, [&] {
            return all.served == turn && (all.decodings == 0 || all.bytes + m_bytes <= kMostReadingBytes);
        });
        ++all.served;
    }
    all.bytes += m_bytes;
    ++all.decodings;
    guard.unlock();
    // The next in turn may fit beside it.
    if (waits)
        all.freed.notify_all();
}

DecodingAdmission::~DecodingAdmission()
{
    Admitted &all = admitted();
    {
        const std::lock_guard<std::mutex> guard(all.lock);
        all.bytes -= m_bytes;
        --all.decodings;
    }
    all.freed.notify_all();
}

int DecodingAdmission::waitingForTesting()
{
    Admitted &all = admitted();
    const std::lock_guard<std::mutex> guard(all.lock);
    return int(all.next - all.served);
}

} // namespace platform
