#include "game/SystemSecondClock.h"

#include <chrono>
#include <ctime>

#include "platform/win32/Clock.h"

namespace {

// Readings of two clocks a few microseconds apart differ by a millisecond
// at most.
constexpr int64_t StepTolerance = 2;

bool InStepWithTheSystem(int64_t platformMs) {
    if (GetClockScale() != 1.0)
        return false;
    const int64_t systemMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::system_clock::now().time_since_epoch())
                                 .count();
    const int64_t phase = ((platformMs - systemMs) % 1000 + 1000) % 1000;
    return phase <= StepTolerance || phase >= 1000 - StepTolerance;
}

} // namespace

int SystemSecondClock::Now() {
    const int64_t systemSecond = std::time(nullptr);
    if (systemSecond == systemSecond_ && --readsLeft_ >= 0)
        return seconds_;
    return TakeReading(systemSecond);
}

int SystemSecondClock::TakeReading(int64_t systemSecond) {
    const int64_t platformMs = GetUnixTimeMs();
    systemSecond_ = systemSecond;
    seconds_ = static_cast<int>(platformMs / 1000);
    readsLeft_ = InStepWithTheSystem(platformMs) ? ReadsPerReading : 0;
    return seconds_;
}
