#pragma once

#include <QtGlobal>

namespace platform {

// Holds a picture's decoding to its share of the memory every decoding in the process takes at once:
// made, it waits until the decoding's reckoned peak fits beside those already admitted within
// kMostReadingBytes (one alone always goes in); gone, it gives the share back. Whatever reads
// pictures side by side (a bound run's records, the picture browser, a paste) then takes at most the
// memory of one reading beyond the pictures it keeps. Held only while decoding, never while waiting
// for anything else, so that no wait for it waits in turn for its holder.
class DecodingAdmission {
public:
    explicit DecodingAdmission(qint64 peakBytes);
    ~DecodingAdmission();
    DecodingAdmission(const DecodingAdmission &) = delete;
    DecodingAdmission &operator=(const DecodingAdmission &) = delete;

private:
    qint64 m_bytes;
};

} // namespace platform
