#pragma once
// One TCP connection of the class library's socket components, as their
// events hand it to the handlers (`Socket->ReceiveText()`,
// `Socket->SendText(...)`): the caller's TClientSocket has one for its
// whole life; a TServerSocket makes one for every connection it accepts.
//
// Text is bytes: SendText sends them unchanged, ReceiveText returns every
// byte that has arrived since its last call, however the peer's writes
// were cut up on the way.
//
// A connection holds at most ReadBound bytes that have arrived and not
// been taken (ReceiveLength). A read handler may leave them, to take them
// later: the socket then reads nothing more from the system until they are
// taken, so TCP holds the peer back, and nothing is lost or reordered. The
// next read event comes when more bytes arrive after a take.
//
// Events run on the thread of the event loop, from the loop itself: never
// inside SendText, Close or a component's Open. How the connection ends:
// - the peer closes it: the last bytes come as a read event, then the
//   disconnect event;
// - the peer resets it (it vanished with unread data, or aborted): the
//   error event with eeDisconnect and 10054;
// - any other failure: the error event with the Winsock number: 10061 a
//   refused call, 10060 a call that got no answer, 11001 a host name that
//   does not resolve, 10053 an open connection that the system gave up;
// - this side closes it (Close, or the component's Close or Active =
//   false): nothing is reported; queued bytes are still sent, then the
//   peer sees the end.
// No disconnect event follows an error event. The error handler may clear
// ErrorCode to 0 to say it has dealt with the error; an error left
// standing is written to standard error. Either way the connection is
// over when the handler returns.
//
// A connection object stays valid until the event that ends it has
// returned; a server's connection is then dropped from its list and freed.
// A handler may close or free the component whose event it serves.

#include <memory>

#include "platform/vcl/Classes.h"

class QObject;
class QTcpSocket;
class TCustomWinSocket;
class TServerWinSocket;

enum TErrorEvent { eeGeneral, eeSend, eeReceive, eeConnect, eeDisconnect, eeAccept, eeLookup };

using TSocketNotifyEvent = std::function<void(TObject* Sender, TCustomWinSocket* Socket)>;
using TSocketErrorEvent = std::function<void(TObject* Sender, TCustomWinSocket* Socket,
                                             TErrorEvent ErrorEvent, int& ErrorCode)>;

// A socket operation that fails at once, such as listening on a port that
// is in use; ErrorCode is the Winsock number.
class ESocketError : public Exception {
public:
    ESocketError(const AnsiString& message, int errorCode)
        : Exception(message), ErrorCode(errorCode) {}

    int ErrorCode;
};

// What a socket reports to the component that made it. The component's
// handlers may free it inside any of these; the socket notices.
class SocketOwner {
public:
    virtual void SocketListen(TServerWinSocket*) {}
    virtual void SocketAccept(TCustomWinSocket*) {}
    virtual void SocketConnecting(TCustomWinSocket*) {}
    virtual void SocketConnect(TCustomWinSocket*) {}
    virtual void SocketRead(TCustomWinSocket*) = 0;
    virtual void SocketDisconnect(TCustomWinSocket*) = 0;
    virtual void SocketError(TCustomWinSocket*, TErrorEvent event, int& errorCode) = 0;
    // The connection has ended, from either side; comes before the events
    // that tell how.
    virtual void SocketClosed(TCustomWinSocket*) = 0;

protected:
    SocketOwner() : life_(std::make_shared<char>()) {}
    SocketOwner(const SocketOwner&) = delete;
    SocketOwner& operator=(const SocketOwner&) = delete;
    ~SocketOwner() = default;

    // Expires when the owner is freed, so that a handler may free it.
    std::weak_ptr<char> Life() const { return life_; }

private:
    friend class TCustomWinSocket;
    std::shared_ptr<char> life_;
};

class TCustomWinSocket : public TObject {
public:
    explicit TCustomWinSocket(SocketOwner* owner);
    TCustomWinSocket(const TCustomWinSocket&) = delete;
    TCustomWinSocket& operator=(const TCustomWinSocket&) = delete;
    ~TCustomWinSocket() override;

    // Queues the bytes for sending and returns their number; 0, sending
    // nothing, when the connection is not open.
    int SendText(const AnsiString& Text);
    AnsiString ReceiveText();
    // The number of bytes that ReceiveText would return now.
    int ReceiveLength() const;
    // Ends the connection from this side, silently; nothing when it is
    // not open.
    virtual void Close();

    // Enough for many reads' worth of the messages of a link, small enough
    // to cost nothing when a peer floods.
    static constexpr int ReadBound = 256 * 1024;

    ReadOnlyProperty<bool> Connected;
    // The peer's IPv4 address in dotted form; empty before a connection.
    ReadOnlyProperty<AnsiString> RemoteAddress;

    // Platform side, for the components.
    // Starts a call; the outcome arrives as events.
    void Connect(const AnsiString& host, int port);
    // Takes over a connection that a server accepted.
    void Accept(QTcpSocket* link);
    // Frees a socket once no event of it is running.
    static void Dispose(std::unique_ptr<TCustomWinSocket> socket);

protected:
    friend class TServerWinSocket;

    SocketOwner* Owner() const;
    // Runs an event of this socket: later, from the event loop, while one
    // of our own calls is in progress; at once otherwise.
    void Report(const std::function<void()>& event);
    // Runs an event or a call; meanwhile the socket is not freed.
    void Run(const std::function<void()>& event);
    QObject* Context() const { return context_.get(); }
    // Drops the Qt side of the connection (gracefully: queued bytes are
    // sent first).
    virtual void LetGo(bool graceful);

    // Our own calls into Qt in progress: what Qt reports inside them waits.
    int calls_ = 0;

private:
    void Attach(QTcpSocket* link);
    void LinkConnecting(QTcpSocket* link);
    void LinkConnected(QTcpSocket* link);
    void LinkReadyRead(QTcpSocket* link);
    void LinkError(QTcpSocket* link, int error);
    void LinkDisconnected(QTcpSocket* link);
    void Opened();
    bool Drain();
    bool PeerReset() const;
    void CloseDuplicate();
    void Ended(bool reset);
    void Failed(TErrorEvent event, int errorCode, const AnsiString& description);
    void Lost();
    void ReportError(TErrorEvent event, int errorCode, const AnsiString& description);

    SocketOwner* owner_;
    std::weak_ptr<char> ownerLife_;
    std::unique_ptr<QObject> context_;
    QTcpSocket* link_ = nullptr;
    // A second descriptor of the connection: it tells a reset from an
    // orderly close after Qt has let go of its own.
    int duplicate_ = -1;
    bool connected_ = false;
    AnsiString remoteAddress_;
    // Bytes taken from Qt and not handed out yet: the last ones of a
    // connection that has ended.
    AnsiString received_;
    // How many takes (ReceiveText) there have been.
    int takes_ = 0;
    int busy_ = 0;
    bool orphan_ = false;
};
