#include "platform/win32/Clock.h"

#include <chrono>
#include <cmath>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace {

using SteadyClock = std::chrono::steady_clock;
using Nanoseconds = std::chrono::nanoseconds;

// The scaled clock is one monotonic line: it stood at scaledAnchor when the
// real monotonic clock stood at realAnchor, and runs factor times as fast
// from there. The wall clock is the real wall clock plus however far the
// scaled line has run ahead of the real one, so it follows system time
// steps and equals real time at factor 1.
struct ScaledTime {
    std::mutex mutex;
    double factor = 1.0;
    SteadyClock::time_point realAnchor = SteadyClock::now();
    Nanoseconds scaledAnchor = realAnchor.time_since_epoch();
};

// Never destroyed: destructors that run at exit may still read the clocks.
ScaledTime& Scale() {
    static ScaledTime* const scale = new ScaledTime;
    return *scale;
}

Nanoseconds ScaledSince(const ScaledTime& scale, SteadyClock::time_point now) {
    const double elapsed = static_cast<double>((now - scale.realAnchor).count());
    return scale.scaledAnchor + Nanoseconds(static_cast<int64_t>(elapsed * scale.factor));
}

// Monotonic time of the scaled line and of the real clock, read together.
struct Reading {
    Nanoseconds scaled;
    Nanoseconds real;
};

Reading Read() {
    ScaledTime& scale = Scale();
    std::lock_guard lock(scale.mutex);
    const SteadyClock::time_point now = SteadyClock::now();
    return {ScaledSince(scale, now), now.time_since_epoch()};
}

} // namespace

void Sleep(DWORD milliseconds) {
    if (milliseconds == 0) {
        std::this_thread::yield();
        return;
    }
    const double real = milliseconds * 1e6 / GetClockScale();
    std::this_thread::sleep_for(Nanoseconds(static_cast<int64_t>(real)));
}

DWORD GetTickCount() {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Read().scaled);
    return static_cast<DWORD>(static_cast<uint64_t>(ms.count()));
}

int64_t GetUnixTimeMs() {
    const Reading reading = Read();
    const Nanoseconds ahead = reading.scaled - reading.real;
    const auto wall = std::chrono::system_clock::now().time_since_epoch() + ahead;
    return std::chrono::floor<std::chrono::milliseconds>(wall).count();
}

int64_t GetUnixTime() {
    return GetUnixTimeMs() / 1000;
}

void SetClockScale(double factor) {
    if (!(factor > 0.0) || !std::isfinite(factor))
        throw std::invalid_argument("clock scale must be a positive number");
    ScaledTime& scale = Scale();
    std::lock_guard lock(scale.mutex);
    const SteadyClock::time_point now = SteadyClock::now();
    scale.scaledAnchor = ScaledSince(scale, now);
    scale.realAnchor = now;
    scale.factor = factor;
}

double GetClockScale() {
    ScaledTime& scale = Scale();
    std::lock_guard lock(scale.mutex);
    return scale.factor;
}
