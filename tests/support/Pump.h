#pragma once
// The tests wait the way the program's main loop does: by letting the
// application process its messages. A test body stands where the main loop
// stands, so nothing that waits for the main loop waits for ever.

#include <functional>

// One turn of the main loop: the pending messages run as the program's
// main loop runs them, with no handler below them (not through
// ProcessMessages, which is a loop nested in a handler).
void PumpOnce();

// True as soon as `done` holds; false when the time runs out first.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000);
// Processes messages for the given time.
void PumpFor(int milliseconds);
