#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <stdexcept>

#include "platform/win32/Clock.h"

namespace {

using RealClock = std::chrono::steady_clock;

int64_t RealMsSince(RealClock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(RealClock::now() - start).count();
}

int64_t SystemMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// Every test starts and ends at normal speed. A lead that a faster clock
// gained stays, as it must: the clocks never turn back.
class Clock : public testing::Test {
protected:
    void SetUp() override { SetClockScale(1); }
    void TearDown() override { SetClockScale(1); }
};

// In a process of its own, whose clock no scale has ever moved ahead. The
// bound leaves room for a busy machine between the two readings.
TEST_F(Clock, AtNormalSpeedTheWallClockIsTheSystemClock) {
    EXPECT_EXIT(
        {
            const bool same = std::llabs(GetUnixTimeMs() - SystemMs()) < 1000;
            const int64_t ms = GetUnixTimeMs();
            const int64_t seconds = GetUnixTime();
            const bool secondsAgree = seconds == ms / 1000 || seconds == ms / 1000 + 1;
            std::exit(same && secondsAgree ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

TEST_F(Clock, ScaledClocksRunFasterAndSleepIsShorter) {
    SetClockScale(20);
    const DWORD ticks = GetTickCount();
    const int64_t wall = GetUnixTimeMs();
    const auto start = RealClock::now();
    Sleep(2000);
    const int64_t real = RealMsSince(start);
    const int64_t tickDelta = GetTickCount() - ticks;
    const int64_t wallDelta = GetUnixTimeMs() - wall;

    EXPECT_GE(real, 95); // 2000 ms at twenty times the speed
    // Short of the unscaled two seconds, with room for a busy machine.
    EXPECT_LT(real, 1900);
    EXPECT_GE(tickDelta, 2000);
    EXPECT_LE(tickDelta, real * 20 + 20);
    EXPECT_GE(wallDelta, 2000);
    EXPECT_LE(wallDelta, real * 20 + 20);
}

TEST_F(Clock, ChangingTheScaleNeverTurnsTheClocksBack) {
    SetClockScale(1000);
    Sleep(5000); // five seconds ahead of real time, in 5 ms
    const DWORD ticks = GetTickCount();
    const int64_t wall = GetUnixTimeMs();
    SetClockScale(1);

    EXPECT_GE(GetTickCount(), ticks);
    EXPECT_GE(GetUnixTimeMs(), wall);
    // Back at normal speed the clock keeps the lead it gained, and runs at
    // the real pace from there: still at scale 1000 the 50 ms would add 50 s.
    // The bound is for a busy machine between two readings.
    const int64_t lead = GetUnixTimeMs() - SystemMs();
    EXPECT_GE(lead, 4900);
    const auto start = RealClock::now();
    Sleep(50);
    EXPECT_NEAR(static_cast<double>(GetUnixTimeMs() - SystemMs()), static_cast<double>(lead), 1000);
    EXPECT_GE(RealMsSince(start), 50);
}

TEST_F(Clock, RefusesScalesThatAreNotPositive) {
    for (const double factor : {0.0, -2.0, std::nan(""), std::numeric_limits<double>::infinity()}) {
        EXPECT_THROW(SetClockScale(factor), std::invalid_argument) << factor;
        EXPECT_EQ(GetClockScale(), 1.0);
    }
}

} // namespace
