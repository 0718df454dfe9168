#include "platform/DecodingAdmission.h"

#include "platform/PictureReading.h"

#include <QCoreApplication>
#include <QThread>

#include <condition_variable>
#include <mutex>
#include <map>

namespace platform {

namespace {

struct Admitted {
    std::mutex lock;
    std::condition_variable freed;
    qint64 bytes = 0;
    int decodings = 0;
    // The turns of the decodings waiting, in the order they asked, and their bytes; `next` is the
    // turn the next to ask takes.
    std::map<quint64, qint64> waiting;
    quint64 next = 0;
    // How many went in ahead of the first waiting since it became first.
    int passedFirst = 0;
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
        all.waiting.emplace(turn, m_bytes);
        const auto fits = [&](qint64 bytes) { return all.bytes + bytes <= kMostReadingBytes; };
        all.freed.wait(guard, [&] {
            const auto &[first, firstBytes] = *all.waiting.begin();
            // One alone always goes in, but only in its turn.
            if (first == turn)
                return all.decodings == 0 || fits(m_bytes);
            return !(all.decodings == 0 || fits(firstBytes)) && fits(m_bytes) && all.passedFirst < kMostPassingAhead;
        });
        if (all.waiting.begin()->first == turn)
            all.passedFirst = 0;
        else
            ++all.passedFirst;
        all.waiting.erase(turn);
    }
    all.bytes += m_bytes;
    ++all.decodings;
    guard.unlock();
    // Another waiting may fit beside it.
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
    return int(all.waiting.size());
}

} // namespace platform
