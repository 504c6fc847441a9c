#include "myunits/TMyTime.h"

#include "platform/win32/Clock.h"

TMyTime::TMyTime() : TMyFloat(0, 0, 3) {}

void TMyTime::Now() {
    const int64_t milliseconds = GetUnixTimeMs();
    Integer = static_cast<uint32_t>(milliseconds / 1000);
    AfterPoint = static_cast<uint32_t>(milliseconds % 1000);
}
