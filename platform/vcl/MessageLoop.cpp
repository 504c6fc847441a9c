#include "platform/vcl/MessageLoop.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <chrono>
#include <deque>
#include <thread>

namespace {

struct Loops {
    int nested = 0;
    std::deque<std::function<void()>> jobs;
    bool posted = false; // a look at the jobs waits in the event queue
};

// Never destroyed: windows freed at exit may still release others.
Loops& State() {
    static Loops* const loops = new Loops;
    return *loops;
}

bool OnMainThread() {
    const QCoreApplication* application = QCoreApplication::instance();
    return !application || QThread::currentThread() == application->thread();
}

// A job may open a nested loop of its own: the ones after it then wait
// for that loop to return.
void RunJobs() {
    Loops& loops = State();
    loops.posted = false;
    while (loops.nested == 0 && !loops.jobs.empty()) {
        const std::function<void()> job = std::move(loops.jobs.front());
        loops.jobs.pop_front();
        job();
    }
}

void PostLook() {
    Loops& loops = State();
    if (loops.posted || loops.jobs.empty() || loops.nested > 0)
        return;
    QCoreApplication* application = QCoreApplication::instance();
    if (!application)
        return; // without an event loop nothing runs handlers either
    loops.posted = true;
    QMetaObject::invokeMethod(application, &RunJobs, Qt::QueuedConnection);
}

} // namespace

TNestedLoop::TNestedLoop() {
    if (OnMainThread())
        ++State().nested;
}

TNestedLoop::~TNestedLoop() {
    if (!OnMainThread())
        return;
    if (--State().nested == 0)
        PostLook();
}

void WaitForEvents(int milliseconds) {
    if (!QCoreApplication::instance()) {
        // No event can come: the wait is only a pause.
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
        return;
    }
    // The loop object gives a thread that Qt did not start its dispatcher.
    QEventLoop loop;
    // The bound is an event too: its expiry ends the sleep.
    QTimer bound;
    bound.setSingleShot(true);
    bound.start(milliseconds);
    loop.processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

bool InNestedLoop() {
    return OnMainThread() && State().nested > 0;
}

void WhenBackInMainLoop(std::function<void()> job) {
    State().jobs.push_back(std::move(job));
    PostLook();
}
