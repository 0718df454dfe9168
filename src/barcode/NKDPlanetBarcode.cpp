#include "barcode/NKDPlanetBarcode.h"

float NKDPlanetBarcode::_heightForDigit(int position, int bar) const
{
    return NKDPostnetBarcode::_heightForDigit(position, bar) == kTall ? kShort : kTall;
}
