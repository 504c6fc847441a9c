#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <memory>

#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/TestHook.h"
#include "platform/win32/Clock.h"
#include "tests/support/Pump.h"
#include "tests/support/ScopedClockScale.h"

namespace {

// Runs the message loop until `done` or the time is up; returns the
// milliseconds it ran.
qint64 RunUntil(const std::function<bool()>& done, int limitMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < limitMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    return clock.elapsed();
}

} // namespace

TEST(Timer, FiresOnTheMessageLoopWhileEnabled) {
    std::unique_ptr<TTimer> timer(new TTimer(nullptr));
    int ticks = 0;
    timer->Enabled = false;
    timer->Interval = 20;
    timer->OnTimer = [&](TObject* sender) {
        EXPECT_EQ(sender, timer.get());
        ++ticks;
    };
    RunUntil([] { return false; }, 100);
    EXPECT_EQ(ticks, 0) << "a disabled timer does not fire";
    timer->Enabled = true;
    RunUntil([&] { return ticks >= 3; }, WaitBoundMs);
    EXPECT_GE(ticks, 3);
    timer->Enabled = false;
    const int stopped = ticks;
    RunUntil([] { return false; }, 100);
    EXPECT_EQ(ticks, stopped);
}

TEST(Timer, NothingFiresOutsideTheMessageLoop) {
    std::unique_ptr<TTimer> timer(new TTimer(nullptr));
    int ticks = 0;
    timer->Interval = 1;
    timer->OnTimer = [&](TObject*) { ++ticks; };
    Sleep(50);
    EXPECT_EQ(ticks, 0);
}

TEST(Timer, IntervalsFollowTheTestClockScale) {
    const ScopedClockScale fast(1000);
    std::unique_ptr<TTimer> timer(new TTimer(nullptr));
    int ticks = 0;
    timer->Interval = 3000;
    timer->OnTimer = [&](TObject*) { ++ticks; };
    // At real speed the first tick would take three seconds, on the fast
    // clock two take 6 ms: a bound just short of real speed holds on any
    // machine.
    const qint64 elapsed = RunUntil([&] { return ticks >= 2; }, 2900);
    EXPECT_GE(ticks, 2);
    EXPECT_LT(elapsed, 2900);
}

TEST(Timer, AScaleSetWhileRunningAppliesFromTheNextTick) {
    std::unique_ptr<TTimer> timer(new TTimer(nullptr));
    int ticks = 0;
    timer->Interval = 100;
    timer->OnTimer = [&](TObject*) { ++ticks; };
    RunUntil([&] { return ticks >= 1; }, WaitBoundMs);
    const ScopedClockScale fast(100);
    const int before = ticks;
    // Twenty ticks take two seconds at real speed, 20 ms on the fast clock.
    RunUntil([&] { return ticks >= before + 20; }, 1500);
    EXPECT_GE(ticks, before + 20);
}

TEST(Timer, AnExceptionInTheHandlerIsShownAndTheLoopGoesOn) {
    TestHook hook;
    hook.ExpectMessageBox("computer has no move to make!!!").Flags(MB_OK | MB_ICONSTOP).Times(2);
    std::unique_ptr<TTimer> timer(new TTimer(nullptr));
    int ticks = 0;
    timer->Interval = 5;
    timer->OnTimer = [&](TObject*) {
        if (++ticks <= 2)
            throw Exception("computer has no move to make!!!");
    };
    RunUntil([&] { return ticks >= 3; }, WaitBoundMs);
    EXPECT_GE(ticks, 3);
    EXPECT_EQ(hook.MessageBoxes().size(), 2u);
}
