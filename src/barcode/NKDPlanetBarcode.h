#pragma once

#include "barcode/NKDPostnetBarcode.h"

// Planet: PostNet with every bar's height exchanged, three tall bars to a digit, as the published
// PLANET code has it. The frame bars stay tall.
class NKDPlanetBarcode : public NKDPostnetBarcode {
public:
    using NKDPostnetBarcode::NKDPostnetBarcode;

    float _heightForDigit(int position, int bar) const override;
};
