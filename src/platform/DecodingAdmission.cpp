#include "platform/DecodingAdmission.h"

#include "platform/PictureReading.h"

#include <condition_variable>
#include <mutex>

namespace platform {

namespace {

struct Admitted {
    std::mutex lock;
    std::condition_variable freed;
    qint64 bytes = 0;
    int decodings = 0;
};

Admitted &admitted()
{
    static Admitted all;
    return all;
}

} // namespace

DecodingAdmission::DecodingAdmission(qint64 peakBytes) : m_bytes(std::max<qint64>(0, peakBytes))
{
    Admitted &all = admitted();
    std::unique_lock<std::mutex> guard(all.lock);
    all.freed.wait(guard, [&] { return all.decodings == 0 || all.bytes + m_bytes <= kMostReadingBytes; });
    all.bytes += m_bytes;
    ++all.decodings;
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

} // namespace platform
