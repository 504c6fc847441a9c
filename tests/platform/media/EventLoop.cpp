#include "tests/platform/media/EventLoop.h"

#include <QCoreApplication>
#include <QThread>
#include <chrono>

bool RunEventsUntil(const std::function<bool()>& done, double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
    return true;
}

void RunEvents(double seconds) {
    RunEventsUntil([] { return false; }, seconds);
}
