#pragma once
// A time stamp: whole seconds since 1 January 1970 (UTC) and thousandths.

#include "myunits/TMyFloat.h"

class TMyTime : public TMyFloat {
public:
    TMyTime();

    // Reads the clock once and takes both parts from that reading.
    void Now();
};
