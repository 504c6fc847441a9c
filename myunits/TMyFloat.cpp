#include "myunits/TMyFloat.h"

#include <cmath>

#include "platform/vcl/Forms.h"
#include "platform/vcl/SysUtils.h"

TMyFloat::TMyFloat(uint32_t integer, uint32_t afterPoint, uint32_t precision) {
    Precision = precision;
    AfterPointDivisor = static_cast<uint32_t>(std::lround(std::pow(10.0, Precision)));
    AfterPoint = afterPoint;
    Integer = integer;
    Assert(Precision < 6, "Precision<6");
    Assert(Precision > 0, "Precision>0");
    if (AfterPoint >= AfterPointDivisor)
        Application->MessageBox("AfterPoint is " + IntToStr(AfterPoint) + " AfterPointDivisor is " +
                                    IntToStr(AfterPointDivisor),
                                "", 0);
    Assert(AfterPoint < AfterPointDivisor, "AfterPoint<(AfterPointDivisor)");
}
