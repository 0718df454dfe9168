#pragma once

#include <QByteArrayView>

#include <algorithm>

// The ECI designator of UTF-8. QR Code, PDF417 and Data Matrix readers take bytes without an ECI for
// ISO-8859-1 (or CP437), or guess; so a 2-D symbol names UTF-8 before bytes that are not plain ASCII.
inline constexpr int kUtf8Eci = 26;

// The ECI for a text's UTF-8 bytes: kUtf8Eci, or -1 (none) for plain ASCII, whose symbols stay as they
// always were.
inline int Utf8_Eci_For(QByteArrayView utf8)
{
    const bool ascii =
        std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return ascii ? -1 : kUtf8Eci;
}
