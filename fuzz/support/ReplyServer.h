#pragma once
// A server on a free port of 127.0.0.1 that answers every connection with
// the bytes of the current input: it reads the HTTP request first (or, for
// a SOCKS server, nothing), sends the reply, ends its half of the stream
// and waits a moment for the client to end its own. It serves on a thread
// of its own, one connection after the other, while the target's thread
// waits inside the component under test.

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "tests/support/TestListener.h"

class ReplyServer {
public:
    enum Mode { ReadsHttpRequest, SpeaksFirst };
    explicit ReplyServer(Mode mode);
    ReplyServer(const ReplyServer&) = delete;
    ReplyServer& operator=(const ReplyServer&) = delete;
    ~ReplyServer();

    int Port() const { return listener_.Port(); }
    // The reply to every later connection.
    void Answer(const std::string& reply);

private:
    void Serve();
    void Handle(TestPeer& connection);

    const Mode mode_;
    TestListener listener_;
    std::mutex mutex_;
    std::string reply_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};
