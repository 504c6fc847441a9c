#include "tests/web/SocketLog.h"

#include <algorithm>

#include "tests/support/Pump.h"

SocketLog::SocketLog(TCustomWSocket& socket) {
    const auto add = [this](const char* what) {
        return [this, what](TObject*, WORD error) {
            lines.push_back(std::string(what) + " " + std::to_string(error));
        };
    };
    socket.OnSessionConnected = add("connected");
    socket.OnSessionClosed = add("closed");
    socket.OnDataSent = add("sent");
    socket.OnDnsLookupDone = add("dns");
    socket.OnSessionAvailable = add("available");
    socket.OnSendData = [this](TObject*, int count) { sendData.push_back(count); };
    socket.OnChangeState = [this](TObject*, TSocketState, TSocketState now) {
        states.push_back(now);
    };
}

int SocketLog::Count(const std::string& line) const {
    return static_cast<int>(std::count(lines.begin(), lines.end(), line));
}

bool SocketLog::WaitFor(const std::string& line, int timeoutMs) const {
    return PumpUntil([&] { return Count(line) > 0; }, timeoutMs);
}
