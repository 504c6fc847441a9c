#pragma once
// Records what a socket component reports, as short lines such as
// "connected 0" or "closed 10054", so a test states the sequence it expects.

#include <string>
#include <vector>

#include "tests/support/Pump.h"
#include "web/WSocket.h"

class SocketLog {
public:
    // Hooks every event but OnDataAvailable, which each test gives its own.
    explicit SocketLog(TCustomWSocket& socket);

    std::vector<std::string> lines;
    std::vector<int> sendData;
    std::vector<TSocketState> states;

    int Count(const std::string& line) const;
    // Waits (pumping messages) until the line has been recorded.
    bool WaitFor(const std::string& line, int timeoutMs = WaitBoundMs) const;
};
