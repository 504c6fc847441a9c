#pragma once

#include <functional>

// Waits, letting the event loop run, until `done` is true or the time is up.
bool RunEventsUntil(const std::function<bool()>& done, double seconds);
void RunEvents(double seconds);
