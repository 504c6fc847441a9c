#pragma once
// The main loop and the loops nested in it. Event handlers run from the
// main loop; a handler that lets messages run itself (ProcessMessages, a
// modal form or box, a synchronous wait) opens a nested loop, and whatever
// those messages do happens while that handler's code is still on the
// stack. So what such a handler may still use is freed, and what would
// change it is done, only once control is back in the main loop.
//
// Only the main thread counts: other threads' loops nest in nothing.
//
// A loop that waits for something events bring (a reply, a flag a handler
// sets) waits with WaitForEvents: it sleeps in the event dispatcher until
// an event comes, instead of asking again and again, so a long wait costs
// no processor time and still returns as soon as the event has run.

#include <functional>

// Counts one nested loop for as long as it lives. Every loop that runs
// messages inside a handler holds one.
class TNestedLoop {
public:
    TNestedLoop();
    ~TNestedLoop();
    TNestedLoop(const TNestedLoop&) = delete;
    TNestedLoop& operator=(const TNestedLoop&) = delete;
};

// The longest a wait sleeps before it looks at its condition again when no
// event woke it: how late a condition that no event announces (a time-out
// of its own) may be seen.
constexpr int MessageWaitMs = 50;

// Runs the events that wait for the calling thread or, when none do,
// sleeps until one comes or `milliseconds` have passed. Opens no nested
// loop: the waiting caller holds its TNestedLoop.
void WaitForEvents(int milliseconds);

// Control is inside a nested loop: some handler below has not returned.
bool InNestedLoop();

// Runs `job` once control is back in the main loop, never inside the call:
// when the main loop next looks at its messages, or, if that happens inside
// a nested loop, as soon as the outermost one has returned. Jobs run in the
// order they were given.
void WhenBackInMainLoop(std::function<void()> job);
