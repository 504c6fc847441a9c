#include "myunits/TMyThread.h"

#include <utility>

TMyThread::TMyThread(TThreadMethod method) : method_(std::move(method)) {}

// Waits here, while method_ still exists, for a thread that is running it.
TMyThread::~TMyThread() {
    WaitFor();
}

void TMyThread::Execute() {
    method_();
}
