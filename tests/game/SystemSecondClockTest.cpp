#include <gtest/gtest.h>

#include "game/SystemSecondClock.h"
#include "platform/win32/Clock.h"

namespace {

// The system's coarse second turns a tick (a few milliseconds) after the
// precise one.
constexpr int64_t TickMs = 20;

// Every reading lies between the platform's readings around it, give or
// take a tick, over enough platform time for seconds to turn.
void ExpectFollowsThePlatform(SystemSecondClock& clock, int platformSeconds) {
    const int64_t end = GetUnixTime() + platformSeconds;
    int64_t reads = 0;
    int last = clock.Now();
    while (GetUnixTime() < end) {
        const int64_t before = (GetUnixTimeMs() - TickMs) / 1000;
        const int now = clock.Now();
        const int64_t after = GetUnixTime();
        ASSERT_GE(now, before) << "read " << reads;
        ASSERT_LE(now, after);
        ASSERT_GE(now, last);
        last = now;
        ++reads;
    }
    EXPECT_GT(reads, 1000);
}

TEST(SystemSecondClockTest, FollowsThePlatformsWallClock) {
    SystemSecondClock clock;
    ExpectFollowsThePlatform(clock, 1);
}

TEST(SystemSecondClockTest, FollowsAFasterClockAndBackAgain) {
    SystemSecondClock clock;
    clock.Now();
    // Ten times as fast, the platform's seconds turn every 100 ms; the clock
    // notices the change once the system's second has turned.
    SetClockScale(10);
    Sleep(10000);
    ExpectFollowsThePlatform(clock, 5);
    // Back at the real pace the platform's seconds are out of step with the
    // system's.
    SetClockScale(1);
    ExpectFollowsThePlatform(clock, 2);
}

} // namespace
