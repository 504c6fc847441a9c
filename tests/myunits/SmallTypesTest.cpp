#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "myunits/TMyFloat.h"
#include "myunits/TMyThread.h"
#include "myunits/TMyTime.h"

namespace {

TEST(MyFloatTest, HoldsItsPartsAndDivisor) {
    const struct {
        uint32_t precision, afterPoint, divisor;
    } cases[] = {{1, 9, 10}, {3, 999, 1000}, {5, 99999, 100000}};
    for (const auto& c : cases) {
        const TMyFloat number(42, c.afterPoint, c.precision);
        EXPECT_EQ(number.Integer, 42u);
        EXPECT_EQ(number.AfterPoint, c.afterPoint);
        EXPECT_EQ(number.Precision, c.precision);
        EXPECT_EQ(number.AfterPointDivisor, c.divisor);
    }
}

TEST(MyFloatDeathTest, DigitsAfterThePointMustStayBelowTheDivisor) {
    EXPECT_DEATH(TMyFloat(1, 1000, 3),
                 "AfterPoint is 1000 AfterPointDivisor is 1000.*Assertion failed: "
                 "AfterPoint<\\(AfterPointDivisor\\)");
}

TEST(MyFloatDeathTest, PrecisionMustBeOneToFive) {
    EXPECT_DEATH(TMyFloat(1, 0, 6), "Assertion failed: Precision<6");
    EXPECT_DEATH(TMyFloat(1, 0, 0), "Assertion failed: Precision>0");
}

TEST(MyTimeTest, NowGivesSecondsSince1970AndThousandths) {
    TMyTime stamp;
    EXPECT_EQ(stamp.Precision, 3u);
    const auto before = std::chrono::system_clock::now();
    stamp.Now();
    const auto after = std::chrono::system_clock::now();
    const auto seconds = [](auto t) {
        return std::chrono::duration_cast<std::chrono::seconds>(t.time_since_epoch()).count();
    };
    EXPECT_GE(stamp.Integer, seconds(before));
    EXPECT_LE(stamp.Integer, seconds(after));
    EXPECT_LT(stamp.AfterPoint, 1000u);
}

TEST(MyTimeTest, TwoReadingsNeverGoBackwards) {
    TMyTime first, second;
    first.Now();
    second.Now();
    const uint64_t a = uint64_t{first.Integer} * 1000 + first.AfterPoint;
    const uint64_t b = uint64_t{second.Integer} * 1000 + second.AfterPoint;
    EXPECT_LE(a, b);
}

TEST(MyThreadTest, RunsItsMethodOnceOnAnotherThread) {
    std::atomic<int> runs{0};
    std::thread::id ranOn;
    {
        TMyThread thread([&] {
            ranOn = std::this_thread::get_id();
            ++runs;
        });
        EXPECT_EQ(runs, 0); // created suspended
        thread.Resume();
        thread.WaitFor();
    }
    EXPECT_EQ(runs, 1);
    EXPECT_NE(ranOn, std::this_thread::get_id());
}

TEST(MyThreadTest, DestroyingARunningThreadWaitsForIt) {
    std::atomic<bool> finished{false};
    {
        TMyThread thread([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            finished = true;
        });
        thread.Resume();
    }
    EXPECT_TRUE(finished);
}

} // namespace
