#pragma once

#include "barcode/DataMatrix.h"

#include <cstdint>
#include <vector>

// Test oracles for QR Code symbols, beside the decoder of SymbolReader.h.

// The symbol read back module by module as the standard lays it out, without error correction: the
// format and version information must be exact codewords, and every block must divide by its
// generator (all syndromes zero). Decoders correct small faults silently; this does not.
struct QrReadBack {
    bool formatExact = false; // both copies equal and a valid codeword, the fixed dark module set
    int level = -1;           // 0 L, 1 M, 2 Q, 3 H
    int mask = -1;
    bool versionExact = false;           // both copies valid for the version (trivially true below version 7)
    bool checksClean = false;            // every block's syndromes are zero
    std::vector<uint8_t> dataCodewords;  // the data stream, blocks joined in order
    std::vector<uint8_t> checkCodewords; // each block's check codewords, blocks joined in order
};
QrReadBack readBack(const DataMatrix &grid);

// Whether a block (data codewords, then check codewords) is a Reed-Solomon codeword of `ecc` check
// codewords: it vanishes at alpha^0 to alpha^(ecc - 1).
bool syndromesZero(const std::vector<uint8_t> &block, int ecc);

// The mask penalty as the encoder defines it, evaluated plainly on a 0/1 grid.
long maskPenalty(const DataMatrix &grid);
