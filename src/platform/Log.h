#pragma once

#include <QString>

#include <functional>

namespace platform {

// The system log. Lines go to standard error unless a sink is installed (tests capture them).
using LogSink = std::function<void(const QString &line)>;

void writeLog(const QString &line);
// Installs `sink` (an empty function restores standard error) and answers the previous one.
LogSink installLogSink(LogSink sink);

} // namespace platform
