#pragma once

#include <QMetaObject>
#include <QObject>

#include <functional>
#include <utility>

namespace platform {

// Owns one registration of an observer and removes it when destroyed (or on cancel()), so that no
// observer outlives the object whose `this` it holds. Moves, never copies; an empty one owns none.
class [[nodiscard]] Subscription {
public:
    Subscription() = default;
    explicit Subscription(std::function<void()> remove) : m_remove(std::move(remove)) {}
    Subscription(Subscription &&other) noexcept : m_remove(std::exchange(other.m_remove, nullptr)) {}
    Subscription &operator=(Subscription &&other) noexcept
    {
        if (this != &other) {
            cancel();
            m_remove = std::exchange(other.m_remove, nullptr);
        }
        return *this;
    }
    Subscription(const Subscription &) = delete;
    Subscription &operator=(const Subscription &) = delete;
    ~Subscription() { cancel(); }

    void cancel()
    {
        if (const std::function<void()> remove = std::exchange(m_remove, nullptr))
            remove();
    }
    bool isActive() const { return static_cast<bool>(m_remove); }

    // A signal connection owned the same way.
    static Subscription connection(const QMetaObject::Connection &connection)
    {
        return Subscription([connection] { QObject::disconnect(connection); });
    }

private:
    std::function<void()> m_remove;
};

} // namespace platform
