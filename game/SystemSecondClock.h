#pragma once
// The platform's wall clock in whole seconds, for the computer's search,
// which reads the time at every node once an iteration has evaluated 1000
// leaves. A reading of the platform's clock costs more than evaluating a
// leaf, so the clock keeps its reading while the system's own second has
// not turned (at most 1024 reads): the system's second is one memory read,
// and at the real pace the platform's seconds turn with it. When the
// platform's clock runs at another pace (a test's clock scale) or out of
// step with the system's seconds, every read is a fresh reading; a change
// of scale is noticed within one second of real time.

#include <cstdint>

#include "game/WholeSecondClock.h"

class SystemSecondClock final : public WholeSecondClock {
public:
    static constexpr int ReadsPerReading = 1024;

    int Now() override;

private:
    int TakeReading(int64_t systemSecond);

    int64_t systemSecond_ = -1;
    int readsLeft_ = 0;
    int seconds_ = 0;
};
