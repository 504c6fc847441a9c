#include "platform/inet/ServerSocket.h"

TServerSocket::TServerSocket(TComponent* AOwner)
    : TComponent(AOwner), Active([this] { return active_; },
                                 [this](const bool& active) {
                                     if (active)
                                         Open();
                                     else
                                         Close();
                                 }),
      Socket([this] { return socket_.get(); }),
      socket_(std::make_unique<TServerWinSocket>(static_cast<SocketOwner*>(this))) {}

TServerSocket::~TServerSocket() {
    TCustomWinSocket::Dispose(std::move(socket_));
}

void TServerSocket::Open() {
    if (active_)
        return;
    socket_->Listen(Port);
    active_ = true;
}

void TServerSocket::Close() {
    if (!active_)
        return;
    active_ = false;
    socket_->Close();
}

void TServerSocket::SocketListen(TServerWinSocket* socket) {
    Fire(OnListen, socket);
}

void TServerSocket::SocketAccept(TCustomWinSocket* socket) {
    const std::weak_ptr<char> alive = Life();
    Fire(OnAccept, socket);
    if (!alive.expired() && socket->Connected)
        Fire(OnClientConnect, socket);
}

void TServerSocket::SocketRead(TCustomWinSocket* socket) {
    Fire(OnClientRead, socket);
}

void TServerSocket::SocketDisconnect(TCustomWinSocket* socket) {
    Fire(OnClientDisconnect, socket);
}

void TServerSocket::SocketError(TCustomWinSocket* socket, TErrorEvent event, int& errorCode) {
    if (OnClientError)
        OnClientError(this, socket, event, errorCode);
}

void TServerSocket::SocketClosed(TCustomWinSocket* socket) {
    if (socket == socket_.get())
        active_ = false;
    else
        socket_->Remove(socket);
}

void TServerSocket::Fire(const TSocketNotifyEvent& event, TCustomWinSocket* socket) {
    if (event)
        event(this, socket);
}
