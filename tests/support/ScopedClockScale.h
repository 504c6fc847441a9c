#pragma once
// Runs the platform's clocks (Sleep, GetTickCount, the wall clock and the
// GUI timers) at another speed for as long as the object lives, then puts
// back the speed they had, so no test leaves the clocks changed for the
// next one.

class ScopedClockScale {
public:
    // factor > 1 runs faster, factor < 1 slower.
    explicit ScopedClockScale(double factor);
    ~ScopedClockScale();
    ScopedClockScale(const ScopedClockScale&) = delete;
    ScopedClockScale& operator=(const ScopedClockScale&) = delete;

private:
    double saved_;
};
