#pragma once

#include <QtGlobal>

namespace platform {

// The most a decoding the window makes at once on its own thread may be reckoned to take and still
// go in beside every other: the pictures the window reads rather than hand to a worker are of a few
// megapixels, at up to 8 bytes a pixel with their decoder's buffers.
constexpr qint64 kMostWindowDecodingBytes = 64LL * 1000 * 1000;

// How many decodings that fit may go in ahead of the first one waiting while it waits for more room
// than there is: small reads do not wait behind a large one, nor keep it out for long.
constexpr int kMostPassingAhead = 16;

// Holds a picture's decoding to its share of the memory every decoding in the process takes at once:
// made, it waits its turn until its reckoned peak fits beside those already admitted within
// kMostReadingBytes (one alone always goes in). Decodings go in in the order they asked, but one that
// fits may go in ahead of the first waiting while that one does not, at most kMostPassingAhead times
// while it is first, so that a stream of others cannot keep a large one out; gone, it gives the
// share back. A decoding on the GUI thread within kMostWindowDecodingBytes goes in at once, beside
// any and before those waiting: the window waits for its own read only. Whatever reads pictures side
// by side (a bound run's records, the picture browser, a paste) then takes at most the memory of one
// reading beyond the pictures it keeps, and the window's one small read. Held only while decoding,
// never while waiting for anything else, so that no wait for it, nor for a turn before it, waits in
// turn for its holder.
class DecodingAdmission {
public:
    explicit DecodingAdmission(qint64 peakBytes);
    ~DecodingAdmission();
    DecodingAdmission(const DecodingAdmission &) = delete;
    DecodingAdmission &operator=(const DecodingAdmission &) = delete;

    // The decodings waiting their turn now.
    static int waitingForTesting();

private:
    qint64 m_bytes;
};

} // namespace platform
