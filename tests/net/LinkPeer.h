#pragma once
// The other end of the game link, driven by the test byte by byte over
// 127.0.0.1:1024: it listens for Korvel's call or calls Korvel, sends raw
// bytes and collects what Korvel sends. Every wait pumps the application's
// messages so that Korvel's sockets go on working meanwhile.

#include <functional>
#include <string>

#include "tests/support/Pump.h"

class LinkPeer {
public:
    static constexpr int Port = 1024;

    LinkPeer() = default;
    LinkPeer(const LinkPeer&) = delete;
    LinkPeer& operator=(const LinkPeer&) = delete;
    ~LinkPeer();

    // Listens on 127.0.0.1:1024 for Korvel's call; false when the port is
    // taken.
    bool Listen();
    // Waits for Korvel's call (pumping messages).
    bool Accept();
    // Calls Korvel, which listens on port 1024.
    bool Connect();
    void Send(const std::string& bytes);
    // Everything Korvel has sent so far (reads what has arrived).
    const std::string& Received();
    // Waits until the received bytes hold `text`.
    bool WaitFor(const std::string& text);
    // Whether Korvel has closed its end (reads what has arrived).
    bool SawEnd();
    // Closes the connection in order.
    void Close();
    // Drops the connection with a reset, as a vanished machine's system does.
    void Reset();

private:
    void ReadAvailable();

    int listener_ = -1;
    int link_ = -1;
    std::string received_;
    bool ended_ = false;
};
