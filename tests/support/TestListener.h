#pragma once
// A listening POSIX socket of the test's own, on a loopback address: the
// far end that takes the calls of the component under test.

#include "tests/support/Pump.h"
#include "tests/support/TestPeer.h"

class TestListener {
public:
    // Port 0 takes a free port. Throws std::runtime_error when the port
    // cannot be had.
    explicit TestListener(int port = 0, const char* address = "127.0.0.1");
    TestListener(const TestListener&) = delete;
    TestListener& operator=(const TestListener&) = delete;
    ~TestListener();

    int Port() const { return port_; }
    // The next call; an invalid peer when none comes in time.
    TestPeer Accept(int timeoutMs = WaitBoundMs);

private:
    int fd_ = -1;
    int port_ = 0;
};
