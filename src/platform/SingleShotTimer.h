#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace platform {

// A restartable one-shot timer: the seam through which things shown or hidden for a while meet the
// clock, so that tests can move time on by hand instead of waiting for it.
class SingleShotTimer {
public:
    virtual ~SingleShotTimer() = default;
    // (Re)starts the whole interval; the timeout comes once, when it has passed.
    virtual void start() = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
};

using TimerFactory =
    std::function<std::unique_ptr<SingleShotTimer>(std::chrono::milliseconds interval, std::function<void()> timeout)>;

// A timer of the event loop of the calling thread; what is used where no factory is given.
std::unique_ptr<SingleShotTimer> eventLoopTimer(std::chrono::milliseconds interval, std::function<void()> timeout);

// The timer `timers` makes, or an event-loop timer when there is no factory.
std::unique_ptr<SingleShotTimer> makeTimer(const TimerFactory &timers, std::chrono::milliseconds interval,
                                           std::function<void()> timeout);

} // namespace platform
