#pragma once
// A decimal fixed-point number: an integer part and 1 to 5 digits after the
// point.

#include <cstdint>

class TMyFloat {
public:
    TMyFloat(uint32_t integer, uint32_t afterPoint, uint32_t precision);

    uint32_t AfterPoint;
    uint32_t Integer;
    uint32_t Precision;
    uint32_t AfterPointDivisor;
};
