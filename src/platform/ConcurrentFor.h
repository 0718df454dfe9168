#pragma once

#include <QtGlobal>

#include <functional>

namespace platform {

// Runs body(i) once for every i in [0, count), on the global thread pool and on the calling
// thread, and returns when every call has returned. Whichever thread is free takes the next index,
// lowest first, so calls run side by side in no set combination: each must touch only what belongs
// to its own index, or wait for progress of calls of lower index, which have all begun (never of
// higher index, which may wait for a thread). The first exception thrown is thrown again here once
// all calls have ended; the indexes not yet started are then skipped, so a call that waits on
// another must not follow one that can throw.
void concurrentFor(qsizetype count, const std::function<void(qsizetype)> &body);

// How many calls concurrentFor may run at once at most: the pool's threads, the caller among them.
int concurrentThreads();

} // namespace platform
