#pragma once
// The listening socket of a TServerSocket (`ServerSocket1->Socket`): it
// accepts calls on every IPv4 address of the machine and keeps the list of
// open connections, oldest first (`Socket->Connections[0]`). A connection
// leaves the list when it ends, before the event that tells how.

#include <memory>
#include <vector>

#include "platform/inet/CustomWinSocket.h"

class QTcpServer;

class TServerWinSocket : public TCustomWinSocket {
public:
    explicit TServerWinSocket(SocketOwner* owner);
    ~TServerWinSocket() override;

    // Stops listening and closes every connection, silently.
    void Close() override;

    // Raises EListError for an index outside the list.
    IndexedProperty<TCustomWinSocket*> Connections;
    ReadOnlyProperty<int> ActiveConnections;

    // Platform side, for TServerSocket.
    // Raises ESocketError (10048 when the port is in use, 10013 when it
    // may not be used) when it cannot listen.
    void Listen(int port);
    bool Listening() const { return server_ != nullptr; }
    // Drops an ended connection from the list and frees it.
    void Remove(TCustomWinSocket* connection);

protected:
    void LetGo(bool graceful) override;

private:
    TCustomWinSocket* Connection(int index) const;
    void AcceptPending();

    QTcpServer* server_ = nullptr;
    std::vector<std::unique_ptr<TCustomWinSocket>> connections_;
};
