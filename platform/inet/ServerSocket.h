#pragma once
// The class library's listening TCP component, non-blocking: Open (or
// Active = true) listens on Port on every IPv4 address of the machine.
// Its events have this component as Sender: OnListen (Socket is the
// listening socket) once listening has begun; for every accepted call
// OnAccept, then OnClientConnect; then OnClientRead, OnClientDisconnect and
// OnClientError for that connection (see CustomWinSocket.h). Close (or
// Active = false) stops listening and closes every connection without
// reporting it.

#include <memory>

#include "platform/inet/ServerWinSocket.h"

class TServerSocket : public TComponent, private SocketOwner {
public:
    explicit TServerSocket(TComponent* AOwner);
    ~TServerSocket() override;

    // Raises ESocketError (10048 when the port is in use) and stays
    // inactive when it cannot listen; nothing when already active.
    void Open();
    void Close();

    Property<bool> Active;
    int Port = 0;
    ReadOnlyProperty<TServerWinSocket*> Socket;

    TSocketNotifyEvent OnListen;
    TSocketNotifyEvent OnAccept;
    TSocketNotifyEvent OnClientConnect;
    TSocketNotifyEvent OnClientRead;
    TSocketNotifyEvent OnClientDisconnect;
    TSocketErrorEvent OnClientError;

private:
    void SocketListen(TServerWinSocket* socket) override;
    void SocketAccept(TCustomWinSocket* socket) override;
    void SocketRead(TCustomWinSocket* socket) override;
    void SocketDisconnect(TCustomWinSocket* socket) override;
    void SocketError(TCustomWinSocket* socket, TErrorEvent event, int& errorCode) override;
    void SocketClosed(TCustomWinSocket* socket) override;
    void Fire(const TSocketNotifyEvent& event, TCustomWinSocket* socket);

    std::unique_ptr<TServerWinSocket> socket_;
    bool active_ = false;
};
