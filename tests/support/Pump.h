#pragma once
// The tests wait the way the program's main loop does: by letting the
// application process its messages. A test body stands where the main loop
// stands, so nothing that waits for the main loop waits for ever.

#include <functional>

// One turn of the main loop: the pending messages run as the program's
// main loop runs them, with no handler below them (not through
// ProcessMessages, which is a loop nested in a handler).
void PumpOnce();

// How long a test waits for an event it expects before it fails. Waits
// return as soon as the event has come, so the bound costs nothing when
// all is well; it is generous because a loaded machine running many tests
// under the sanitizers may take seconds for what is otherwise at once.
constexpr int WaitBoundMs = 20000;

// True as soon as `done` holds; false when the time runs out first.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = WaitBoundMs);
// Processes messages for the given time: for a test that checks that
// something does not happen.
void PumpFor(int milliseconds);
// Runs what the event loop has queued, deferred deletions included, so
// that objects let go inside events are freed.
void FlushMessages();
