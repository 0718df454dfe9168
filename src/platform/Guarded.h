#pragma once

#include <mutex>
#include <utility>

namespace platform {

// A value that threads share and std::atomic cannot hold (a string): every read and write takes
// the lock, and a read answers a copy, so a reader never sees half a write.
template <typename T>
class Guarded {
public:
    Guarded() = default;
    explicit Guarded(T value) : m_value(std::move(value)) {}
    Guarded(const Guarded &) = delete;
    Guarded &operator=(const Guarded &) = delete;

    T load() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_value;
    }
    void store(T value)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_value = std::move(value);
    }
    Guarded &operator=(T value)
    {
        store(std::move(value));
        return *this;
    }
    operator T() const { return load(); }

private:
    mutable std::mutex m_mutex;
    T m_value{};
};

} // namespace platform
