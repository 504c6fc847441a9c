#pragma once
// The far end of a test connection on 127.0.0.1, in plain POSIX sockets,
// so a test decides every byte and every way a connection ends. Waiting
// calls let the Qt event loop run, because the component under test lives
// on it.

#include <functional>
#include <string>

// Runs the event loop until `done` holds or the seconds have passed.
bool RunEventsUntil(const std::function<bool()>& done, double seconds = 5);
void RunEvents(double seconds);
// Runs what the event loop has queued, deferred deletions included.
void FlushEvents();

// A port on 127.0.0.1 that nothing listens on just now.
int FreePort();
// The number of open file descriptors of this process.
int OpenDescriptors();

class Peer {
public:
    Peer() = default;
    explicit Peer(int fd) : fd_(fd) {}
    Peer(Peer&& other) noexcept;
    Peer& operator=(Peer&& other) noexcept;
    ~Peer();

    // A blocking call to 127.0.0.1:port; an invalid peer when refused.
    static Peer Call(int port);
    bool Valid() const { return fd_ >= 0; }

    void Send(const std::string& bytes);
    // Everything that arrives until `count` bytes are in, the stream ends
    // or the seconds have passed.
    std::string Receive(size_t count, double seconds = 5);
    // True when the other side has closed (end of stream) within the time.
    bool SeesEnd(double seconds = 5);
    // An orderly close: the other side reads the end of the stream.
    void Close();
    // An abortive close: the other side sees a reset.
    void Reset();

private:
    int fd_ = -1;
};

// A listening POSIX socket on a loopback address.
class Listener {
public:
    explicit Listener(int port, const char* address = "127.0.0.1");
    ~Listener();
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    int Port() const { return port_; }
    // Waits for the next call, letting the event loop run.
    Peer Accept(double seconds = 5);

private:
    int fd_ = -1;
    int port_ = 0;
};
