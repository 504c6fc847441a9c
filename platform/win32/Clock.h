#pragma once
// The clocks and the wait the program reads: Windows' Sleep and
// GetTickCount, and the runtime's wall clock in whole seconds and in
// milliseconds since 1 January 1970 (UTC).
//
// Tests may make every clock run faster: with SetClockScale(10) the clocks
// advance ten times as fast as real time and Sleep waits a tenth as long,
// so whole games finish in seconds while the game code sees the same
// durations it would see at normal speed. Timers of the GUI layer divide
// their intervals by GetClockScale(). Changing the scale never makes a
// clock jump: it goes on from where it stood.

#include <cstdint>

#include "platform/win32/WinTypes.h"

// Blocks the calling thread for the given time (Sleep(0) only yields).
void Sleep(DWORD milliseconds);

// Milliseconds since an arbitrary start (the system's boot); wraps around
// after 2^32 ms as Windows' counter does.
DWORD GetTickCount();

// Whole seconds since 1 January 1970 (UTC).
int64_t GetUnixTime();

// Milliseconds since 1 January 1970 (UTC); one reading gives both the
// seconds (value / 1000) and the thousandths (value % 1000) of a stamp.
int64_t GetUnixTimeMs();

// The test hook: factor > 0 (1 is real time). Anything else raises
// std::invalid_argument.
void SetClockScale(double factor);
double GetClockScale();
