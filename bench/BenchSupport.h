#pragma once

#include <QtGlobal>

// A fixed pseudo-random sequence, so every run of a benchmark works on the same card.
class Lcg {
public:
    explicit Lcg(quint64 seed = 42) : m_state(seed) {}
    double next()
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(m_state >> 11) / static_cast<double>(1ULL << 53);
    }
    double between(double low, double high) { return low + (high - low) * next(); }

private:
    quint64 m_state;
};
