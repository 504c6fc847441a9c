#pragma once
// The class library's calling TCP component, non-blocking: Open (or
// Active = true) starts a call to Host, or to Address when Host is empty,
// on Port, and returns at once; the outcome and everything after it
// arrive as events with this component as Sender and its Socket:
// OnConnecting when the call is placed, OnConnect when it is answered,
// OnRead when bytes have arrived, OnDisconnect when the peer has closed,
// OnError when the call or the connection fails (see CustomWinSocket.h).
// Active is true from Open until the connection ends, so a handler of the
// end may call again.

#include <memory>

#include "platform/inet/CustomWinSocket.h"

class TClientSocket : public TComponent, private SocketOwner {
public:
    explicit TClientSocket(TComponent* AOwner);
    ~TClientSocket() override;

    // Nothing when already active.
    void Open();
    // Ends the connection or the call, silently; nothing when inactive.
    void Close();

    Property<bool> Active;
    AnsiString Host;
    AnsiString Address;
    int Port = 0;
    ReadOnlyProperty<TCustomWinSocket*> Socket;

    TSocketNotifyEvent OnConnecting;
    TSocketNotifyEvent OnConnect;
    TSocketNotifyEvent OnRead;
    TSocketNotifyEvent OnDisconnect;
    TSocketErrorEvent OnError;

private:
    void SocketConnecting(TCustomWinSocket* socket) override;
    void SocketConnect(TCustomWinSocket* socket) override;
    void SocketRead(TCustomWinSocket* socket) override;
    void SocketDisconnect(TCustomWinSocket* socket) override;
    void SocketError(TCustomWinSocket* socket, TErrorEvent event, int& errorCode) override;
    void SocketClosed(TCustomWinSocket* socket) override;
    void Fire(const TSocketNotifyEvent& event, TCustomWinSocket* socket);

    std::unique_ptr<TCustomWinSocket> socket_;
    bool active_ = false;
};
