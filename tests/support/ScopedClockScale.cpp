#include "tests/support/ScopedClockScale.h"

#include "platform/win32/Clock.h"

ScopedClockScale::ScopedClockScale(double factor) : saved_(GetClockScale()) {
    SetClockScale(factor);
}

ScopedClockScale::~ScopedClockScale() {
    SetClockScale(saved_);
}
