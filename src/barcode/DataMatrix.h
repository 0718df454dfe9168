#pragma once

#include <QString>
#include <QtGlobal>

#include <vector>

// The square grid of modules (1 dark, 0 light) that carries a QR Code symbol from the encoder to the
// renderer. Cells outside the grid read as 0 and ignore writes.
class DataMatrix {
public:
    explicit DataMatrix(qint64 dimension);

    void set(int value, qint64 x, qint64 y);
    int valueAt(qint64 x, qint64 y) const;
    qint64 dimension() const { return _dimension; }
    // One line per row from the top, each cell as a number.
    QString description() const;

private:
    bool contains(qint64 x, qint64 y) const { return x >= 0 && y >= 0 && x < _dimension && y < _dimension; }

    qint64 _dimension;
    std::vector<signed char> _data; // row y at y * _dimension
};
