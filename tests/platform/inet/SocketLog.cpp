#include "tests/platform/inet/SocketLog.h"

#include <gtest/gtest.h>

#include "tests/support/Pump.h"

std::string ErrorEntry(const std::string& prefix, TErrorEvent event, int code) {
    return prefix + "error " + std::to_string(int(event)) + " " + std::to_string(code);
}

void SocketLog::Watch(TClientSocket& client) {
    client.OnConnecting = [this](TObject*, TCustomWinSocket*) { entries.push_back("connecting"); };
    client.OnConnect = [this](TObject*, TCustomWinSocket*) { entries.push_back("connect"); };
    client.OnRead = [this](TObject*, TCustomWinSocket* socket) {
        entries.push_back("read " + socket->ReceiveText());
    };
    client.OnDisconnect = [this](TObject*, TCustomWinSocket*) { entries.push_back("disconnect"); };
    client.OnError = [this](TObject*, TCustomWinSocket*, TErrorEvent event, int& code) {
        entries.push_back(ErrorEntry("", event, code));
        code = 0;
    };
}

void SocketLog::Watch(TServerSocket& server) {
    server.OnListen = [this](TObject*, TCustomWinSocket*) { entries.push_back("listen"); };
    server.OnAccept = [this](TObject*, TCustomWinSocket*) { entries.push_back("accept"); };
    server.OnClientConnect = [this](TObject*, TCustomWinSocket*) {
        entries.push_back("client connect");
    };
    server.OnClientRead = [this](TObject*, TCustomWinSocket* socket) {
        entries.push_back("client read " + socket->ReceiveText());
    };
    server.OnClientDisconnect = [this](TObject*, TCustomWinSocket*) {
        entries.push_back("client disconnect");
    };
    server.OnClientError = [this](TObject*, TCustomWinSocket*, TErrorEvent event, int& code) {
        entries.push_back(ErrorEntry("client ", event, code));
        code = 0;
    };
}

bool SocketLog::Reaches(size_t count) {
    return PumpUntil([&] { return entries.size() >= count; });
}

namespace {

// Sockets let go inside events are freed from the event loop; the last of
// them are freed before the application goes.
class FlushAtEnd : public testing::Environment {
public:
    void TearDown() override { FlushMessages(); }
};

const testing::Environment* const flushAtEnd = testing::AddGlobalTestEnvironment(new FlushAtEnd);

} // namespace
