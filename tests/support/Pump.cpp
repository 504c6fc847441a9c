#include "tests/support/Pump.h"

#include <QCoreApplication>
#include <chrono>
#include <thread>

void PumpOnce() {
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        PumpOnce();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void PumpFor(int milliseconds) {
    PumpUntil([] { return false; }, milliseconds);
}

void FlushMessages() {
    for (int round = 0; round < 3; ++round) {
        PumpOnce();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
