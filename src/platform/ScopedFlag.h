#pragma once

#include <atomic>
#include <type_traits>

namespace platform {

// Gives a flag a value for as long as the guard lives (or until end()), then puts back the value it
// found, however the scope is left. Works on plain and atomic flags alike: flags that workers and
// timers read are std::atomic, and QScopedValueRollback cannot take those.
template <typename Flag>
class ScopedFlag {
public:
    explicit ScopedFlag(Flag &flag, bool value = true) : m_flag(&flag), m_found(load(flag)) { store(flag, value); }
    ~ScopedFlag() { end(); }
    ScopedFlag(const ScopedFlag &) = delete;
    ScopedFlag &operator=(const ScopedFlag &) = delete;

    // Puts the value back now; the guard does nothing more.
    void end()
    {
        if (m_flag)
            store(*m_flag, m_found);
        m_flag = nullptr;
    }

private:
    static bool load(const Flag &flag)
    {
        if constexpr (std::is_same_v<Flag, std::atomic<bool>>)
            return flag.load();
        else
            return flag;
    }
    static void store(Flag &flag, bool value)
    {
        if constexpr (std::is_same_v<Flag, std::atomic<bool>>)
            flag.store(value);
        else
            flag = value;
    }

    Flag *m_flag;
    bool m_found;
};

} // namespace platform
