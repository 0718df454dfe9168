#include "QrReadBack.h"

#include "barcode/QR_Encode.h"

#include <algorithm>
#include <cstdlib>

namespace {

unsigned withBch(unsigned data, unsigned generator, int degree)
{
    unsigned rest = data << degree;
    for (int bit = 31; bit >= degree; --bit)
        if (rest >> bit & 1)
            rest ^= generator << (bit - degree);
    return data << degree | rest;
}

// Products in GF(256) by shift and add, tabulated once.
uint8_t gfMultiply(uint8_t a, uint8_t b)
{
    static const std::vector<uint8_t> table = [] {
        std::vector<uint8_t> products(256 * 256);
        for (unsigned a = 0; a < 256; ++a)
            for (unsigned b = 0; b < 256; ++b) {
                unsigned product = 0, x = a;
                for (unsigned y = b; y; y >>= 1, x <<= 1) {
                    if (x & 0x100)
                        x ^= 0x11D;
                    if (y & 1)
                        product ^= x;
                }
                products[a * 256 + b] = static_cast<uint8_t>(product);
            }
        return products;
    }();
    return table[a * 256u + b];
}

bool maskHits(int mask, int i, int j) // i row, j column
{
    switch (mask) {
    case 0:
        return (i + j) % 2 == 0;
    case 1:
        return i % 2 == 0;
    case 2:
        return j % 3 == 0;
    case 3:
        return (i + j) % 3 == 0;
    case 4:
        return (i / 2 + j / 3) % 2 == 0;
    case 5:
        return i * j % 2 + i * j % 3 == 0;
    case 6:
        return (i * j % 2 + i * j % 3) % 2 == 0;
    default:
        return (i * j % 3 + (i + j) % 2) % 2 == 0;
    }
}

} // namespace

QrReadBack readBack(const DataMatrix &grid)
{
    QrReadBack out;
    const int n = static_cast<int>(grid.dimension());
    const int version = (n - 17) / 4;
    if (n < 21 || (n - 17) % 4 != 0 || version > 40)
        return out;
    const auto at = [&grid](int x, int y) { return grid.valueAt(x, y) != 0; };

    unsigned first = 0, second = 0;
    for (int x = 0; x <= 5; ++x)
        first = first << 1 | at(x, 8);
    first = first << 1 | at(7, 8);
    first = first << 1 | at(8, 8);
    first = first << 1 | at(8, 7);
    for (int y = 5; y >= 0; --y)
        first = first << 1 | at(8, y);
    for (int y = n - 1; y >= n - 7; --y)
        second = second << 1 | at(8, y);
    for (int x = n - 8; x < n; ++x)
        second = second << 1 | at(x, 8);
    static constexpr int kLevelOfBits[4] = {1, 0, 3, 2};
    for (unsigned data = 0; data < 32; ++data)
        if ((withBch(data, 0x537, 10) ^ 0x5412) == first) {
            out.level = kLevelOfBits[data >> 3];
            out.mask = static_cast<int>(data & 7);
        }
    out.formatExact = out.level >= 0 && first == second && at(8, n - 8);
    if (!out.formatExact)
        return out;

    out.versionExact = true;
    if (version >= 7) {
        const unsigned expected = withBch(static_cast<unsigned>(version), 0x1F25, 12);
        for (int bit = 0; bit < 18; ++bit) {
            const bool dark = expected >> bit & 1;
            const int i = bit / 3, j = bit % 3;
            out.versionExact = out.versionExact && at(n - 11 + j, i) == dark && at(i, n - 11 + j) == dark;
        }
    }

    const QR_VERSIONINFO &info = QR_VersonInfo[static_cast<std::size_t>(version)];
    std::vector<int> centres{6};
    for (int k = 0; k < info.ncAlignPoint; ++k)
        centres.push_back(static_cast<int>(info.nAlignPoint[static_cast<std::size_t>(k)]));
    std::vector<char> function(static_cast<std::size_t>(n * n), 0);
    const auto mark = [&](int x0, int y0, int x1, int y1) { // inclusive, clipped
        for (int y = std::max(0, y0); y <= std::min(n - 1, y1); ++y)
            for (int x = std::max(0, x0); x <= std::min(n - 1, x1); ++x)
                function[static_cast<std::size_t>(y * n + x)] = 1;
    };
    mark(0, 0, 8, 8);
    mark(n - 8, 0, n - 1, 8);
    mark(0, n - 8, 8, n - 1);
    mark(6, 0, 6, n - 1);
    mark(0, 6, n - 1, 6);
    if (version >= 7) {
        mark(n - 11, 0, n - 9, 5);
        mark(0, n - 11, 5, n - 9);
    }
    if (version >= 2)
        for (int cx : centres)
            for (int cy : centres)
                if (!((cx == 6 && cy == 6) || (cx == 6 && cy == n - 7) || (cx == n - 7 && cy == 6)))
                    mark(cx - 2, cy - 2, cx + 2, cy + 2);
    const auto isFunction = [&](int x, int y) { return function[static_cast<std::size_t>(y * n + x)] != 0; };

    // Two-module columns from the right, alternately upwards and downwards, stepping over column 6.
    std::vector<uint8_t> placed;
    unsigned byte = 0;
    int bits = 0;
    bool upwards = true;
    for (int right = n - 1; right >= 1; right -= 2) {
        if (right == 6)
            right = 5;
        for (int step = 0; step < n; ++step) {
            const int y = upwards ? n - 1 - step : step;
            for (int x = right; x >= right - 1; --x) {
                if (isFunction(x, y))
                    continue;
                byte = byte << 1 | static_cast<unsigned>(at(x, y) != maskHits(out.mask, y, x));
                if (++bits == 8) {
                    placed.push_back(static_cast<uint8_t>(byte));
                    byte = 0;
                    bits = 0;
                }
            }
        }
        upwards = !upwards;
    }

    const RS_BLOCKINFO &g1 = info.RS_BlockInfo1[static_cast<std::size_t>(out.level)];
    const RS_BLOCKINFO &g2 = info.RS_BlockInfo2[static_cast<std::size_t>(out.level)];
    const int blocks = static_cast<int>(g1.ncRSBlock + g2.ncRSBlock);
    const int ecc = static_cast<int>(g1.ncAllCodeWord - g1.ncDataCodeWord);
    const int shortData = static_cast<int>(g1.ncDataCodeWord);
    const int totalData = static_cast<int>(info.ncDataCodeWord[static_cast<std::size_t>(out.level)]);
    if (static_cast<int>(placed.size()) != info.ncAllCodeWord)
        return out;

    out.checksClean = true;
    for (int b = 0; b < blocks; ++b) {
        const bool longBlock = b >= g1.ncRSBlock;
        std::vector<uint8_t> block;
        for (int j = 0; j < shortData; ++j)
            block.push_back(placed[static_cast<std::size_t>(j * blocks + b)]);
        if (longBlock)
            block.push_back(placed[static_cast<std::size_t>(shortData * blocks + (b - g1.ncRSBlock))]);
        out.dataCodewords.insert(out.dataCodewords.end(), block.begin(), block.end());
        for (int j = 0; j < ecc; ++j) {
            block.push_back(placed[static_cast<std::size_t>(totalData + j * blocks + b)]);
            out.checkCodewords.push_back(block.back());
        }
        out.checksClean = out.checksClean && syndromesZero(block, ecc);
    }
    return out;
}

bool syndromesZero(const std::vector<uint8_t> &block, int ecc)
{
    uint8_t root = 1;
    for (int i = 0; i < ecc; ++i, root = gfMultiply(root, 2)) {
        uint8_t value = 0; // by Horner's rule
        for (uint8_t c : block)
            value = static_cast<uint8_t>(gfMultiply(value, root) ^ c);
        if (value != 0)
            return false;
    }
    return true;
}

long maskPenalty(const DataMatrix &grid)
{
    const int n = static_cast<int>(grid.dimension());
    long penalty = 0;
    const auto dark = [&](int x, int y) { return grid.valueAt(x, y) != 0; };
    for (int transposed = 0; transposed < 2; ++transposed)
        for (int line = 0; line < n; ++line) {
            const auto cell = [&](int k) { return transposed ? dark(line, k) : dark(k, line); };
            const auto light = [&](int k) { return k < 0 || k >= n || !cell(k); };
            for (int start = 0; start < n;) {
                int end = start;
                while (end < n && cell(end) == cell(start))
                    ++end;
                if (end - start >= 5)
                    penalty += end - start - 2;
                start = end;
            }
            for (int s = 0; s + 7 <= n; ++s) {
                const bool finderLike = cell(s) && !cell(s + 1) && cell(s + 2) && cell(s + 3) && cell(s + 4)
                    && !cell(s + 5) && cell(s + 6) && light(s - 1) && light(s + 7);
                if (finderLike
                    && ((light(s - 2) && light(s - 3) && light(s - 4))
                        || (light(s + 8) && light(s + 9) && light(s + 10))))
                    penalty += 40;
            }
        }
    long lightCount = 0;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            lightCount += !dark(x, y);
            if (x + 1 < n && y + 1 < n && dark(x, y) == dark(x + 1, y) && dark(x, y) == dark(x, y + 1)
                && dark(x, y) == dark(x + 1, y + 1))
                penalty += 3;
        }
    penalty += 10 * (std::abs(50 - 100 * lightCount / (long(n) * n)) / 5);
    return penalty;
}
