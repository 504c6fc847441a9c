#include "platform/inet/CustomWinSocket.h"

#include <QHostAddress>
#include <QMetaObject>
#include <QObject>
#include <QStringList>
#include <QTcpSocket>
#include <QTimer>
#include <cstdio>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace {

// Winsock error numbers, as the handlers show them.
constexpr int kConnectionAborted = 10053;
constexpr int kConnectionReset = 10054;
constexpr int kTimedOut = 10060;
constexpr int kConnectionRefused = 10061;
constexpr int kHostNotFound = 11001;

// How long a connection closed from this side may wait for a peer that
// does not read before the queued bytes are dropped.
constexpr int kLingerMs = 5000;

// Holds a socket that was freed while one of its events ran, until the
// event loop is back where it was when that event ended.
class Keeper : public QObject {
public:
    explicit Keeper(TCustomWinSocket* socket) : socket_(socket) {}

private:
    std::unique_ptr<TCustomWinSocket> socket_;
};

// A dotted quad is read as four decimal numbers, leading zeros and all, as
// the connect dialog takes it; Qt, like the C library, would read "010" as
// octal and "008" as a host name.
QString HostText(const AnsiString& host) {
    const QString text = QString::fromStdString(host);
    const QStringList groups = text.split('.');
    if (groups.size() != 4)
        return text;
    QStringList decimal;
    for (const QString& group : groups) {
        bool number = false;
        const int value = group.toInt(&number, 10);
        if (!number || group.size() > 3 || !group.front().isDigit() || value > 255)
            return text;
        decimal << QString::number(value);
    }
    return decimal.join('.');
}

const char* EventName(TErrorEvent event) {
    switch (event) {
    case eeSend:
        return "send";
    case eeReceive:
        return "receive";
    case eeConnect:
        return "connect";
    case eeDisconnect:
        return "disconnect";
    case eeAccept:
        return "accept";
    case eeLookup:
        return "lookup";
    case eeGeneral:
        break;
    }
    return "general";
}

} // namespace

TCustomWinSocket::TCustomWinSocket(SocketOwner* owner)
    : Connected([this] { return connected_; }), RemoteAddress([this] { return remoteAddress_; }),
      owner_(owner), ownerLife_(owner->life_), context_(std::make_unique<QObject>()) {}

TCustomWinSocket::~TCustomWinSocket() {
    // The server's own LetGo has run in its destructor already.
    TCustomWinSocket::LetGo(true);
}

int TCustomWinSocket::SendText(const AnsiString& Text) {
    if (!connected_ || !link_)
        return 0;
    ++calls_;
    const qint64 written = link_->write(Text.data(), qint64(Text.size()));
    --calls_;
    return written > 0 ? int(written) : 0;
}

AnsiString TCustomWinSocket::ReceiveText() {
    ++takes_;
    Drain();
    return std::exchange(received_, AnsiString());
}

int TCustomWinSocket::ReceiveLength() const {
    const qint64 unread = link_ && link_->isReadable() ? link_->bytesAvailable() : 0;
    return int(received_.size() + size_t(unread));
}

void TCustomWinSocket::Close() {
    if (!link_)
        return;
    Run([this] {
        LetGo(true);
        if (SocketOwner* owner = Owner())
            owner->SocketClosed(this);
    });
}

void TCustomWinSocket::Connect(const AnsiString& host, int port) {
    LetGo(false);
    received_.clear();
    remoteAddress_.clear();
    auto* link = new QTcpSocket;
    Attach(link);
    ++calls_;
    link->connectToHost(HostText(host), quint16(port), QIODevice::ReadWrite,
                        QAbstractSocket::IPv4Protocol);
    --calls_;
}

void TCustomWinSocket::Accept(QTcpSocket* link) {
    Attach(link);
    Opened();
}

void TCustomWinSocket::Dispose(std::unique_ptr<TCustomWinSocket> socket) {
    if (!socket)
        return;
    socket->LetGo(true);
    if (socket->busy_ > 0)
        socket.release()->orphan_ = true;
}

SocketOwner* TCustomWinSocket::Owner() const {
    return ownerLife_.expired() ? nullptr : owner_;
}

void TCustomWinSocket::Report(const std::function<void()>& event) {
    if (calls_ == 0) {
        Run(event);
        return;
    }
    QMetaObject::invokeMethod(
        context_.get(), [this, event] { Run(event); }, Qt::QueuedConnection);
}

void TCustomWinSocket::Run(const std::function<void()>& event) {
    struct Busy {
        TCustomWinSocket* socket;
        explicit Busy(TCustomWinSocket* s) : socket(s) { ++socket->busy_; }
        ~Busy() {
            if (--socket->busy_ == 0 && socket->orphan_) {
                socket->orphan_ = false;
                (new Keeper(socket))->deleteLater();
            }
        }
    } busy(this);
    event();
}

void TCustomWinSocket::LetGo(bool graceful) {
    connected_ = false;
    CloseDuplicate();
    QTcpSocket* link = std::exchange(link_, nullptr);
    if (!link)
        return;
    QObject::disconnect(link, nullptr, context_.get(), nullptr);
    if (graceful && link->state() == QAbstractSocket::ConnectedState) {
        QObject::connect(link, &QAbstractSocket::disconnected, link, &QObject::deleteLater);
        QTimer::singleShot(kLingerMs, link, [link] {
            link->abort();
            link->deleteLater();
        });
        link->disconnectFromHost();
        return;
    }
    link->abort();
    link->deleteLater();
}

void TCustomWinSocket::Attach(QTcpSocket* link) {
    link_ = link;
    link->setReadBufferSize(ReadBound);
    QObject* context = context_.get();
    QObject::connect(link, &QAbstractSocket::stateChanged, context,
                     [this, link](QAbstractSocket::SocketState state) {
                         if (state == QAbstractSocket::ConnectingState)
                             LinkConnecting(link);
                     });
    QObject::connect(link, &QAbstractSocket::connected, context,
                     [this, link] { LinkConnected(link); });
    QObject::connect(link, &QIODevice::readyRead, context, [this, link] { LinkReadyRead(link); });
    QObject::connect(link, &QAbstractSocket::errorOccurred, context,
                     [this, link](QAbstractSocket::SocketError error) { LinkError(link, error); });
    QObject::connect(link, &QAbstractSocket::disconnected, context,
                     [this, link] { LinkDisconnected(link); });
}

void TCustomWinSocket::LinkConnecting(QTcpSocket* link) {
    Report([this, link] {
        if (link != link_ || connected_)
            return;
        if (SocketOwner* owner = Owner())
            owner->SocketConnecting(this);
    });
}

void TCustomWinSocket::LinkConnected(QTcpSocket* link) {
    Report([this, link] {
        if (link != link_)
            return;
        Opened();
        if (SocketOwner* owner = Owner())
            owner->SocketConnect(this);
    });
}

void TCustomWinSocket::LinkReadyRead(QTcpSocket* link) {
    Report([this, link] {
        if (link != link_ || ReceiveLength() == 0)
            return;
        const int takes = takes_;
        if (SocketOwner* owner = Owner())
            owner->SocketRead(this);
        // Qt does not report bytes that arrive while a read handler waits
        // in a nested event loop (a message box); they are reported now,
        // unless the handler left the bytes it was told of.
        if (link == link_ && takes_ != takes && link->bytesAvailable() > 0)
            QMetaObject::invokeMethod(
                context_.get(), [this, link] { LinkReadyRead(link); }, Qt::QueuedConnection);
    });
}

void TCustomWinSocket::LinkError(QTcpSocket* link, int error) {
    Report([this, link, error] {
        if (link != link_)
            return;
        if (error == QAbstractSocket::RemoteHostClosedError) {
            Ended(PeerReset());
            return;
        }
        const AnsiString description = link->errorString().toStdString();
        if (connected_)
            Failed(eeGeneral, kConnectionAborted, description);
        else if (error == QAbstractSocket::HostNotFoundError)
            Failed(eeLookup, kHostNotFound, description);
        else if (error == QAbstractSocket::ConnectionRefusedError)
            Failed(eeConnect, kConnectionRefused, description);
        else
            Failed(eeConnect, kTimedOut, description);
    });
}

void TCustomWinSocket::LinkDisconnected(QTcpSocket* link) {
    Report([this, link] {
        if (link == link_)
            Ended(PeerReset());
    });
}

void TCustomWinSocket::Opened() {
    connected_ = true;
    remoteAddress_ = link_->peerAddress().toString().toStdString();
    duplicate_ = fcntl(int(link_->socketDescriptor()), F_DUPFD_CLOEXEC, 0);
}

bool TCustomWinSocket::Drain() {
    if (!link_ || !link_->isReadable())
        return false;
    const QByteArray bytes = link_->readAll();
    received_.append(bytes.constData(), size_t(bytes.size()));
    return !bytes.isEmpty();
}

bool TCustomWinSocket::PeerReset() const {
    if (duplicate_ < 0)
        return false;
    tcp_info info{};
    socklen_t size = sizeof info;
    if (getsockopt(duplicate_, IPPROTO_TCP, TCP_INFO, &info, &size) != 0)
        return false;
    // An orderly close leaves the connection half open (CLOSE_WAIT); a
    // reset closes it at once.
    return info.tcpi_state == TCP_CLOSE;
}

void TCustomWinSocket::CloseDuplicate() {
    if (duplicate_ >= 0)
        ::close(duplicate_);
    duplicate_ = -1;
}

void TCustomWinSocket::Ended(bool reset) {
    const bool lastBytes = Drain();
    Lost();
    if (lastBytes)
        if (SocketOwner* owner = Owner())
            owner->SocketRead(this);
    if (reset)
        ReportError(eeDisconnect, kConnectionReset, "connection reset by peer");
    else if (SocketOwner* owner = Owner())
        owner->SocketDisconnect(this);
}

void TCustomWinSocket::Failed(TErrorEvent event, int errorCode, const AnsiString& description) {
    const bool lastBytes = connected_ && Drain();
    Lost();
    if (lastBytes)
        if (SocketOwner* owner = Owner())
            owner->SocketRead(this);
    ReportError(event, errorCode, description);
}

void TCustomWinSocket::Lost() {
    LetGo(false);
    if (SocketOwner* owner = Owner())
        owner->SocketClosed(this);
}

void TCustomWinSocket::ReportError(TErrorEvent event, int errorCode,
                                   const AnsiString& description) {
    int code = errorCode;
    if (SocketOwner* owner = Owner())
        owner->SocketError(this, event, code);
    if (code != 0)
        std::fprintf(stderr, "Socket error %d on %s: %s\n", code, EventName(event),
                     description.c_str());
}
