#pragma once

#include <QFile>

#include <malloc.h>

// AddressSanitizer runs some times slower, and keeps up to 256 MB of freed memory in quarantine.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
constexpr qint64 kQuarantine = kSanitized ? 256LL << 20 : 0;

// The most memory the process held since the last reset, in bytes; -1 where the system cannot say.
// A reset first gives back what the allocator keeps of earlier work, which would otherwise serve
// the next without showing.
inline qint64 peakMemory(bool reset)
{
    if (reset)
        malloc_trim(0);
    QFile clear(QStringLiteral("/proc/self/clear_refs")), status(QStringLiteral("/proc/self/status"));
    if ((reset && (!clear.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || clear.write("5") != 1))
        || !status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = status.readAll();
    const qsizetype at = text.indexOf("VmHWM:");
    return at < 0 ? -1 : text.mid(at + 6, text.indexOf('\n', at) - at - 6).trimmed().split(' ').value(0).toLongLong() * 1024;
}

// The most memory `work` took beyond what the process held before it; -1 where the system cannot
// say.
template <typename Work>
qint64 memoryTakenBy(Work &&work)
{
    const qint64 before = peakMemory(true);
    work();
    return before < 0 ? -1 : peakMemory(false) - before;
}
