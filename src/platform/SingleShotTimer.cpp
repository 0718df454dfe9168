#include "platform/SingleShotTimer.h"

#include <QTimer>

namespace platform {

namespace {

class EventLoopTimer final : public SingleShotTimer {
public:
    EventLoopTimer(std::chrono::milliseconds interval, std::function<void()> timeout)
    {
        m_timer.setSingleShot(true);
        m_timer.setInterval(interval);
        QObject::connect(&m_timer, &QTimer::timeout, std::move(timeout));
    }
    void start() override { m_timer.start(); }
    void stop() override { m_timer.stop(); }
    bool isActive() const override { return m_timer.isActive(); }

private:
    QTimer m_timer;
};

} // namespace

std::unique_ptr<SingleShotTimer> eventLoopTimer(std::chrono::milliseconds interval, std::function<void()> timeout)
{
    return std::make_unique<EventLoopTimer>(interval, std::move(timeout));
}

std::unique_ptr<SingleShotTimer> makeTimer(const TimerFactory &timers, std::chrono::milliseconds interval,
                                           std::function<void()> timeout)
{
    return timers ? timers(interval, std::move(timeout)) : eventLoopTimer(interval, std::move(timeout));
}

} // namespace platform
