#include "barcode/DataMatrix.h"

DataMatrix::DataMatrix(qint64 dimension)
    : _dimension(qMax<qint64>(0, dimension)), _data(static_cast<std::size_t>(_dimension * _dimension))
{
}

void DataMatrix::set(int value, qint64 x, qint64 y)
{
    if (contains(x, y))
        _data[static_cast<std::size_t>(y * _dimension + x)] = static_cast<signed char>(value);
}

int DataMatrix::valueAt(qint64 x, qint64 y) const
{
    return contains(x, y) ? _data[static_cast<std::size_t>(y * _dimension + x)] : 0;
}

QString DataMatrix::description() const
{
    QString text;
    text.reserve(static_cast<qsizetype>(_dimension * (_dimension + 1)));
    for (qint64 y = 0; y < _dimension; ++y) {
        for (qint64 x = 0; x < _dimension; ++x)
            text += QString::number(valueAt(x, y));
        text += QLatin1Char('\n');
    }
    return text;
}
