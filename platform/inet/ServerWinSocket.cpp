#include "platform/inet/ServerWinSocket.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <algorithm>
#include <utility>

namespace {

constexpr int kAccessDenied = 10013;    // WSAEACCES
constexpr int kInvalidArgument = 10022; // WSAEINVAL
constexpr int kAddressInUse = 10048;    // WSAEADDRINUSE

int ListenErrorCode(QAbstractSocket::SocketError error) {
    switch (error) {
    case QAbstractSocket::AddressInUseError:
        return kAddressInUse;
    case QAbstractSocket::SocketAccessError:
        return kAccessDenied;
    default:
        return kInvalidArgument;
    }
}

} // namespace

TServerWinSocket::TServerWinSocket(SocketOwner* owner)
    : TCustomWinSocket(owner), Connections([this](int index) { return Connection(index); }),
      ActiveConnections([this] { return int(connections_.size()); }) {}

TServerWinSocket::~TServerWinSocket() {
    TServerWinSocket::LetGo(true);
}

void TServerWinSocket::Close() {
    if (!server_ && connections_.empty())
        return;
    Run([this] {
        LetGo(true);
        if (SocketOwner* owner = Owner())
            owner->SocketClosed(this);
    });
}

void TServerWinSocket::Listen(int port) {
    LetGo(true);
    server_ = new QTcpServer;
    if (!server_->listen(QHostAddress::AnyIPv4, quint16(port))) {
        const int code = ListenErrorCode(server_->serverError());
        const AnsiString description = server_->errorString().toStdString();
        delete std::exchange(server_, nullptr);
        throw ESocketError(description + " (" + IntToStr(code) + ")", code);
    }
    QObject::connect(server_, &QTcpServer::newConnection, Context(),
                     [this] { Report([this] { AcceptPending(); }); });
    ++calls_;
    Report([this] {
        if (!Listening())
            return;
        if (SocketOwner* owner = Owner())
            owner->SocketListen(this);
    });
    --calls_;
}

void TServerWinSocket::Remove(TCustomWinSocket* connection) {
    auto found = std::find_if(connections_.begin(), connections_.end(),
                              [connection](const auto& each) { return each.get() == connection; });
    if (found == connections_.end())
        return;
    std::unique_ptr<TCustomWinSocket> removed = std::move(*found);
    connections_.erase(found);
    Dispose(std::move(removed));
}

void TServerWinSocket::LetGo(bool graceful) {
    TCustomWinSocket::LetGo(graceful);
    if (QTcpServer* server = std::exchange(server_, nullptr)) {
        QObject::disconnect(server, nullptr, Context(), nullptr);
        server->close();
        server->deleteLater();
    }
    for (auto& connection : std::exchange(connections_, {}))
        Dispose(std::move(connection));
}

TCustomWinSocket* TServerWinSocket::Connection(int index) const {
    if (index < 0 || index >= int(connections_.size()))
        throw EListError("List index out of bounds (" + IntToStr(index) + ")");
    return connections_[size_t(index)].get();
}

void TServerWinSocket::AcceptPending() {
    while (server_ && server_->hasPendingConnections()) {
        SocketOwner* owner = Owner();
        if (!owner)
            return;
        QTcpSocket* link = server_->nextPendingConnection();
        // The connection outlives the listening socket's Qt side.
        link->setParent(nullptr);
        auto connection = std::make_unique<TCustomWinSocket>(owner);
        TCustomWinSocket* accepted = connection.get();
        accepted->Accept(link);
        connections_.push_back(std::move(connection));
        accepted->Run([accepted] {
            if (SocketOwner* acceptor = accepted->Owner())
                acceptor->SocketAccept(accepted);
        });
    }
}
