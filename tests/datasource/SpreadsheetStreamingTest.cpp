#include "datasource/readers/SpreadsheetStreaming.h"

#include <gtest/gtest.h>

#include <tuple>

// The eight-byte look at a text finds what a byte-by-byte look finds, wherever the byte stands in
// texts of every length up to three words, the short ones and the overlapping last word included.
TEST(SpreadsheetStreaming, TextBytesFindWhatEachByteShows)
{
    for (std::size_t size = 0; size <= 24; ++size)
        for (std::size_t at = 0; at < std::max<std::size_t>(size, 1); ++at)
            for (const char c : {'a', ' ', '~', '_', '\x1F', '\0', '\x7F', '\x80', '\xFF', '`', '^'}) {
                std::string text(size, 'x');
                if (size > 0)
                    text[at] = c;
                const auto byte = static_cast<unsigned char>(c);
                const bool unusual = size > 0 && (byte < 0x20 || byte >= 0x80), underscore = size > 0 && c == '_';
                const spreadsheet::TextBytes look(text), unusualOnly(text, spreadsheet::TextBytes::Unusual);
                EXPECT_EQ(std::tuple(look.unusual, look.underscore, unusualOnly.unusual), std::tuple(unusual, underscore, unusual))
                    << size << ' ' << at << ' ' << int(byte);
            }
}
