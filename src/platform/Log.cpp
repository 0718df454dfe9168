#include "platform/Log.h"

#include <QDateTime>

#include <cstdio>
#include <mutex>

namespace platform {

namespace {

std::mutex &sinkMutex()
{
    static std::mutex m;
    return m;
}

LogSink &sinkSlot()
{
    static LogSink sink;
    return sink;
}

} // namespace

void writeLog(const QString &line)
{
    LogSink sink;
    {
        std::lock_guard<std::mutex> lock(sinkMutex());
        sink = sinkSlot();
    }
    if (sink) {
        sink(line);
        return;
    }
    const QByteArray text = (QDateTime::currentDateTime().toString(Qt::ISODateWithMs) + QLatin1Char(' ') + line)
                                .toLocal8Bit();
    std::fprintf(stderr, "%s\n", text.constData());
}

LogSink installLogSink(LogSink sink)
{
    std::lock_guard<std::mutex> lock(sinkMutex());
    LogSink previous = std::move(sinkSlot());
    sinkSlot() = std::move(sink);
    return previous;
}

} // namespace platform
