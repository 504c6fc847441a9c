#include "platform/inet/ClientSocket.h"

TClientSocket::TClientSocket(TComponent* AOwner)
    : TComponent(AOwner), Active([this] { return active_; },
                                 [this](const bool& active) {
                                     if (active)
                                         Open();
                                     else
                                         Close();
                                 }),
      Socket([this] { return socket_.get(); }),
      socket_(std::make_unique<TCustomWinSocket>(static_cast<SocketOwner*>(this))) {}

TClientSocket::~TClientSocket() {
    TCustomWinSocket::Dispose(std::move(socket_));
}

void TClientSocket::Open() {
    if (active_)
        return;
    active_ = true;
    socket_->Connect(Host.empty() ? Address : Host, Port);
}

void TClientSocket::Close() {
    if (!active_)
        return;
    active_ = false;
    socket_->Close();
}

void TClientSocket::SocketConnecting(TCustomWinSocket* socket) {
    Fire(OnConnecting, socket);
}

void TClientSocket::SocketConnect(TCustomWinSocket* socket) {
    Fire(OnConnect, socket);
}

void TClientSocket::SocketRead(TCustomWinSocket* socket) {
    Fire(OnRead, socket);
}

void TClientSocket::SocketDisconnect(TCustomWinSocket* socket) {
    Fire(OnDisconnect, socket);
}

void TClientSocket::SocketError(TCustomWinSocket* socket, TErrorEvent event, int& errorCode) {
    if (OnError)
        OnError(this, socket, event, errorCode);
}

void TClientSocket::SocketClosed(TCustomWinSocket*) {
    active_ = false;
}

void TClientSocket::Fire(const TSocketNotifyEvent& event, TCustomWinSocket* socket) {
    if (event)
        event(this, socket);
}
