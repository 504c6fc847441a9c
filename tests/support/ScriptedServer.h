#pragma once
// A server of the test's own: listens on a free port of 127.0.0.1 and runs
// `script` on a thread of its own for each of up to `connections`
// accepted connections, one after the other. The destructor waits for the
// thread; a script that is still waiting for its connection gives up
// after the accept time-out.

#include <functional>
#include <thread>

#include "tests/support/TestListener.h"
#include "tests/support/TestPeer.h"

class ScriptedServer {
public:
    using Script = std::function<void(TestPeer&)>;
    explicit ScriptedServer(Script script, int connections = 1);
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;
    ~ScriptedServer();

    int Port() const { return listener_.Port(); }

private:
    TestListener listener_;
    std::thread thread_;
};
