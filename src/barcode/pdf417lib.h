#pragma once

#include <QByteArray>

#include <array>
#include <vector>

// PDF417 encoder: a byte string becomes a symbol held as a bit matrix, one bit per module, one
// matrix row per symbol row, first module in the highest bit of each row's first byte.

// Option bits of pdf417param::options.
enum : int {
    PDF417_FIXED_RECTANGLE = 1, // codeColumns x codeRows as set, grown when the data needs more
    PDF417_FIXED_COLUMNS = 2,   // keep codeColumns, compute the rows
    PDF417_FIXED_ROWS = 4,      // keep codeRows, compute the columns
    PDF417_USE_ERROR_LEVEL = 16,
    PDF417_USE_RAW_CODEWORDS = 64,
    PDF417_INVERT_BITMAP = 128, // 1 = light
};

// Values of pdf417param::error.
enum : int {
    PDF417_ERROR_SUCCESS = 0,
    PDF417_ERROR_TEXT_TOO_BIG = 1,
    PDF417_ERROR_INVALID_PARAMS = 2,
};

// One encoding's parameters and results; the caller owns it.
struct pdf417param {
    std::vector<unsigned char> outBits; // the bit matrix, emptied by pdf417free
    int lenBits = 0;                    // bytes in outBits
    int bitColumns = 0;                 // modules per row
    int codeRows = 0;                   // 3 to 90
    int codeColumns = 0;                // data columns, 1 to 30
    std::array<int, 928> codewords{};
    int lenCodewords = 0;
    int errorLevel = 0; // 0 to 8: 2^(level + 1) error-correction codewords
    QByteArray text;
    int lenText = -1; // bytes of text to encode; -1 = up to the first zero byte
    int eci = -1;     // ECI designator (0 to 899) written before the text's codewords; -1 = none
    int options = 0;
    float aspectRatio = 0.5f; // wanted width / height, for the computed shape
    float yHeight = 3.0f;     // height of a row in modules, for the computed shape
    int error = PDF417_ERROR_SUCCESS;
};

// Resets the input side of the record; rows, columns and level keep their values.
void pdf417init(pdf417param &p);
// Encodes p.text (or p.codewords with PDF417_USE_RAW_CODEWORDS) and draws the matrix, or sets p.error.
void paintCode(pdf417param &p);
// Releases the bit matrix.
void pdf417free(pdf417param &p);

// The three codeword clusters (0, 3 and 6 of the standard) as 17-module patterns, first module in
// the highest bit, 1 = bar.
extern const int CLUSTERS[3][929];
