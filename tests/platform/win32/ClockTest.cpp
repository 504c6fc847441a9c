#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
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

TEST(Clock, AtNormalSpeedTheWallClockIsTheSystemClock) {
    EXPECT_EQ(GetClockScale(), 1.0);
    EXPECT_NEAR(static_cast<double>(GetUnixTimeMs()), static_cast<double>(SystemMs()), 50);
    const int64_t ms = GetUnixTimeMs();
    const int64_t seconds = GetUnixTime();
    EXPECT_TRUE(seconds == ms / 1000 || seconds == ms / 1000 + 1);
}

TEST(Clock, ScaledClocksRunFasterAndSleepIsShorter) {
    SetClockScale(20);
    const DWORD ticks = GetTickCount();
    const int64_t wall = GetUnixTimeMs();
    const auto start = RealClock::now();
    Sleep(2000);
    const int64_t real = RealMsSince(start);
    const int64_t tickDelta = GetTickCount() - ticks;
    const int64_t wallDelta = GetUnixTimeMs() - wall;

    EXPECT_GE(real, 95);   // 2000 ms at twenty times the speed
    EXPECT_LT(real, 1000); // far from the unscaled two seconds
    EXPECT_GE(tickDelta, 2000);
    EXPECT_LE(tickDelta, real * 20 + 20);
    EXPECT_GE(wallDelta, 2000);
    EXPECT_LE(wallDelta, real * 20 + 20);
}

TEST(Clock, ChangingTheScaleNeverTurnsTheClocksBack) {
    SetClockScale(1000);
    Sleep(5000); // five seconds ahead of real time, in 5 ms
    const DWORD ticks = GetTickCount();
    const int64_t wall = GetUnixTimeMs();
    SetClockScale(1);

    EXPECT_GE(GetTickCount(), ticks);
    EXPECT_GE(GetUnixTimeMs(), wall);
    // Back at normal speed the clock keeps the lead it gained, and runs at
    // the real pace from there.
    const int64_t lead = GetUnixTimeMs() - SystemMs();
    EXPECT_GE(lead, 4900);
    const auto start = RealClock::now();
    Sleep(50);
    EXPECT_NEAR(static_cast<double>(GetUnixTimeMs() - SystemMs()), static_cast<double>(lead), 30);
    EXPECT_GE(RealMsSince(start), 50);
}

TEST(Clock, RefusesScalesThatAreNotPositive) {
    for (const double factor : {0.0, -2.0, std::nan(""), std::numeric_limits<double>::infinity()}) {
        EXPECT_THROW(SetClockScale(factor), std::invalid_argument) << factor;
        EXPECT_EQ(GetClockScale(), 1.0);
    }
}

} // namespace
