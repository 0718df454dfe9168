#pragma once

#include <QtGlobal>

#include <fstream>
#include <string>

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

// Resident-set high-water mark of the process in MiB, after resetting it when asked.
inline double peakMiB(bool reset)
{
    if (reset) {
        std::ofstream clear("/proc/self/clear_refs");
        clear << "5";
    }
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    return 0;
}
