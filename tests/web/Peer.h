#pragma once
// Plain blocking TCP peers on 127.0.0.1 for the tests: the other end of the
// connections that the socket layer makes or accepts. Written on POSIX
// sockets alone, so the layer is measured against the system and not
// against itself; this header names nothing of either API.

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace testnet {

// A port on 127.0.0.1 that nobody listens on at the moment of the call.
int FreePort();

class Connection {
public:
    explicit Connection(int fd = -1) : fd_(fd) {}
    Connection(Connection&& other) noexcept;
    Connection& operator=(Connection&& other) noexcept;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection();

    // A blocking connection to 127.0.0.1:port; invalid when refused.
    static Connection Connect(int port);

    bool Valid() const { return fd_ >= 0; }
    // False when the peer is gone.
    bool Send(const std::string& bytes);
    // Up to `count` bytes, fewer when the peer closes or the time runs out.
    std::string Receive(size_t count, int timeoutMs = 5000);
    // Everything until the peer closes (or the time runs out).
    std::string ReceiveUntilClosed(int timeoutMs = 5000);
    // True when the peer has closed (orderly or by reset) within the time;
    // data that arrives meanwhile is read and thrown away.
    bool WaitForPeerClose(int timeoutMs = 5000);
    void ShutdownSend();
    // Closes with a reset instead of an orderly shutdown.
    void Reset();
    void Close();

private:
    int fd_;
};

class Listener {
public:
    Listener();
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;
    ~Listener();

    int Port() const { return port_; }
    // The next connection, invalid when none comes in time.
    Connection Accept(int timeoutMs = 5000);

private:
    int fd_;
    int port_;
};

// A server of the test's own: listens on a free port and runs `script` on
// a thread for each of up to `connections` accepted connections, one after
// the other. The destructor waits for the thread; a script that is still
// waiting for its connection gives up after the accept time-out.
class ScriptedServer {
public:
    using Script = std::function<void(Connection&)>;
    explicit ScriptedServer(Script script, int connections = 1);
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;
    ~ScriptedServer();

    int Port() const { return listener_.Port(); }

private:
    Listener listener_;
    std::thread thread_;
};

// The machine's IPv4 addresses as `hostname -I` lists them, in its order.
std::vector<std::string> HostAddresses();

} // namespace testnet
