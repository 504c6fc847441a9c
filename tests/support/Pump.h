#pragma once
// The tests wait the way the program does: by letting the application
// process its messages.

#include <functional>

// True as soon as `done` holds; false when the time runs out first.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000);
// Processes messages for the given time.
void PumpFor(int milliseconds);
