#pragma once
// The far end of a test connection on 127.0.0.1, in plain POSIX sockets,
// so that a test decides every byte and every way a connection ends, and
// the component under test is measured against the system rather than
// against itself. Every byte read is kept: Received() is all that has
// come, Receive hands it out piece by piece.
//
// Waits end as soon as what they wait for has happened, at the latest
// after their time-out. On the application's thread they process the
// application's messages meanwhile (the component under test lives on
// them); on a scripted server's thread they only wait.

#include <functional>
#include <string>

#include "tests/support/Pump.h"

class TestPeer {
public:
    TestPeer() = default;
    explicit TestPeer(int fd);
    TestPeer(TestPeer&& other) noexcept;
    TestPeer& operator=(TestPeer&& other) noexcept;
    TestPeer(const TestPeer&) = delete;
    TestPeer& operator=(const TestPeer&) = delete;
    ~TestPeer();

    // A call to 127.0.0.1:port; an invalid peer when it is refused.
    static TestPeer Connect(int port);

    bool Valid() const { return fd_ >= 0; }
    // Sends all the bytes, waiting while the other end does not read;
    // false when the connection is gone.
    bool Send(const std::string& bytes);
    // The next `count` bytes not handed out yet, fewer when the stream
    // ends or the time runs out.
    std::string Receive(size_t count, int timeoutMs = WaitBoundMs);
    // Everything not handed out yet until the stream ends (or the time
    // runs out).
    std::string ReceiveUntilEnd(int timeoutMs = WaitBoundMs);
    // Every byte that has arrived so far, after reading what is there.
    const std::string& Received();
    // Waits until the bytes received hold `text`.
    bool WaitFor(const std::string& text, int timeoutMs = WaitBoundMs);
    // Whether the other end has closed or reset the connection, after
    // reading what is there.
    bool SawEnd();
    bool WaitForEnd(int timeoutMs = WaitBoundMs);
    // Waits until at least `count` bytes have arrived here and lie unread,
    // so that closing now resets the connection.
    bool WaitForUnread(size_t count, int timeoutMs = WaitBoundMs);
    // Waits until the other end, a socket of this process, has read every
    // byte sent to it: what comes next arrives in a read of its own.
    bool WaitUntilTaken(int timeoutMs = WaitBoundMs);

    // Sends the end of the stream and goes on receiving.
    void ShutdownSend();
    // An orderly close: the other end reads the end of the stream.
    void Close();
    // An abortive close: the other end sees a reset.
    void Reset();

private:
    // Reads what has arrived, without waiting.
    void ReadArrived();
    bool Wait(short events, const std::function<bool()>& ready, int timeoutMs);

    int fd_ = -1;
    std::string received_;
    size_t handedOut_ = 0;
    bool ended_ = false;
};
