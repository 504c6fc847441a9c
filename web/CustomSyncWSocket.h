#pragma once
// The synchronous layer: waiting for a flag while the messages go on, and
// reading one line with a time-out.

#include <functional>

#include "web/CustomLineWSocket.h"

// What WaitUntilReady returns when it gave up.
constexpr int WSA_WSOCKET_TIMEOUT = 12001;

class TCustomSyncWSocket : public TCustomLineWSocket {
public:
    explicit TCustomSyncWSocket(TComponent* AOwner);

    // Runs Proc, then waits until it has set DoneFlag.
    virtual int Synchronize(const std::function<void()>& Proc, bool& DoneFlag);
    // Pumps messages until DoneFlag is set (0), or until the time-out has
    // passed, the application is terminating or a quit message came
    // (WSA_WSOCKET_TIMEOUT).
    virtual int WaitUntilReady(bool& DoneFlag);
    // Waits for one line (ATimeout in ms, 0 for none) and gives it without
    // its line end; the bytes that came before a close form the last line.
    // Returns what WaitUntilReady returned.
    int ReadLine(int ATimeout, AnsiString& Line);

    // Milliseconds; 0 waits without a time-out.
    int Timeout = 0;
};
