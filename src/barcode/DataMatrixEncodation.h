#pragma once

#include <QByteArray>

#include <optional>

// How the bytes of a Data Matrix symbol become codewords, chosen here and handed to libiec16022 as
// its forced-encoding string (one letter per byte: A ASCII, C C40, T Text, X X12, E EDIFACT). The
// library's own choice is never used: it ends EDIFACT and X12 runs in ways readers take for other
// data.

// Values a byte takes in C40 ('C'), Text ('T') or X12 ('X'): 1 to 4, or 0 where the mode cannot
// carry it (the zero byte in C40 and Text, which the library writes wrongly).
int dataMatrixTripletValues(unsigned char byte, char mode);

struct DataMatrixEncodation {
    QByteArray letters;
    int codewords = 0; // as priced here; the encoder may save one at the end of a symbol it fills
};

// The encoding strings the drawing tries, by variant: 0 the shortest over every mode, 1 the same for
// a symbol that the data fills to its last codeword, 2 and 3 those over ASCII, C40 and Text only, and
// 4 plain ASCII. Variants may give the same string. The drawing keeps the smallest symbol that reads
// back.
constexpr int kDataMatrixEncodations = 5;
DataMatrixEncodation dataMatrixEncodation(const QByteArray &data, int variant);

// Whether libiec16022 takes every byte of `data` in the mode its letter of `letters` names (A, C, T,
// X, E): it refuses the others by printing them on standard error. Runs of C40, Text and X12 must
// end where their values fill whole codeword pairs, as the strings chosen here do.
bool dataMatrixEncoderTakes(const QByteArray &data, const QByteArray &letters);

// The bytes that a symbol's data codewords stand for, as a reader takes them, after a one-codeword
// ECI in front; none when they hold anything else this program does not write (Base256, FNC1, an ECI
// further on, macros, a dangling shift) or are cut short.
std::optional<QByteArray> dataMatrixDecodeCodewords(const unsigned char *codewords, int count);
