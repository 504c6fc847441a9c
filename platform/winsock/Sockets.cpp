// The socket calls of the Winsock layer on POSIX descriptors.

#include <cerrno>
#include <cstring>

#include "platform/winsock/PosixNet.h"
#include "platform/winsock/SocketTable.h"
#include "platform/winsock/Winsock.h"
#include "platform/winsock/WinsockShared.h"

using wsock32::Fail;
using wsock32::FailFromErrno;
using wsock32::SocketTable;

namespace {

bool FdOf(SOCKET s, int* fd) {
    return wsock32::CheckStarted() && SocketTable::Instance().Fd(s, fd);
}

// An IPv4 address of the caller's: at least a sockaddr_in of AF_INET.
bool ReadAddress(const sockaddr* name, int length, posixnet::Endpoint* endpoint) {
    if (!name || length < static_cast<int>(sizeof(sockaddr_in))) {
        Fail(WSAEFAULT);
        return false;
    }
    sockaddr_in address;
    std::memcpy(&address, name, sizeof address);
    if (address.sin_family != AF_INET) {
        Fail(WSAEAFNOSUPPORT);
        return false;
    }
    *endpoint = posixnet::Endpoint{address.sin_addr.s_addr, address.sin_port};
    return true;
}

// Writes an address into the caller's room when there is any.
bool WriteAddress(posixnet::Endpoint endpoint, sockaddr* name, int* length) {
    if (!name)
        return true;
    if (!length || *length < static_cast<int>(sizeof(sockaddr_in))) {
        Fail(WSAEFAULT);
        return false;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = endpoint.port;
    address.sin_addr.s_addr = endpoint.address;
    std::memcpy(name, &address, sizeof address);
    *length = sizeof address;
    return true;
}

int SendFailed(SOCKET s) {
    const int error = errno;
    if (error == EAGAIN || error == EWOULDBLOCK) {
        SocketTable::Instance().SendBlocked(s);
        return Fail(WSAEWOULDBLOCK);
    }
    if (error == EPIPE)
        return Fail(SocketTable::Instance().BrokenPipeError(s));
    return Fail(wsock32::ErrorFromErrno(error));
}

// A send that took only part of the bytes found the buffer full, as one
// that would block does: FD_WRITE tells when the rest can follow.
int SendDone(SOCKET s, long sent, int length) {
    if (sent < length)
        SocketTable::Instance().SendBlocked(s);
    return static_cast<int>(sent);
}

// Any recv re-enables FD_READ, also one that fails.
int Received(SOCKET s, long received) {
    const int error = errno;
    SocketTable::Instance().Received(s);
    return received < 0 ? Fail(wsock32::ErrorFromErrno(error)) : static_cast<int>(received);
}

bool CheckBuffer(const void* buffer, int length) {
    if (length < 0 || (length > 0 && !buffer)) {
        Fail(WSAEFAULT);
        return false;
    }
    return true;
}

enum class Access { Number, ReadOnly, Linger };

struct OptionName {
    posixnet::Option option;
    Access access;
};

bool FindOption(int level, int name, OptionName* found) {
    struct Known {
        int level;
        int name;
        OptionName option;
    };
    using posixnet::Option;
    static constexpr Known known[] = {
        {SOL_SOCKET, SO_REUSEADDR, {Option::ReuseAddr, Access::Number}},
        {SOL_SOCKET, SO_KEEPALIVE, {Option::KeepAlive, Access::Number}},
        {SOL_SOCKET, SO_BROADCAST, {Option::Broadcast, Access::Number}},
        {SOL_SOCKET, SO_SNDBUF, {Option::SendBuffer, Access::Number}},
        {SOL_SOCKET, SO_RCVBUF, {Option::ReceiveBuffer, Access::Number}},
        {SOL_SOCKET, SO_ACCEPTCONN, {Option::AcceptConn, Access::ReadOnly}},
        {SOL_SOCKET, SO_ERROR, {Option::Error, Access::ReadOnly}},
        {SOL_SOCKET, SO_TYPE, {Option::Type, Access::ReadOnly}},
        {SOL_SOCKET, SO_LINGER, {Option::Error, Access::Linger}},
        {IPPROTO_TCP, TCP_NODELAY, {Option::NoDelay, Access::Number}},
        {IPPROTO_IP, IP_MULTICAST_TTL, {Option::MulticastTtl, Access::Number}},
    };
    for (const Known& entry : known) {
        if (entry.level == level && entry.name == name) {
            *found = entry.option;
            return true;
        }
    }
    Fail(WSAENOPROTOOPT);
    return false;
}

} // namespace

SOCKET socket(int af, int type, int protocol) {
    if (!wsock32::CheckStarted())
        return INVALID_SOCKET;
    if (af != AF_INET) {
        Fail(WSAEAFNOSUPPORT);
        return INVALID_SOCKET;
    }
    if (type != SOCK_STREAM && type != SOCK_DGRAM) {
        Fail(WSAESOCKTNOSUPPORT);
        return INVALID_SOCKET;
    }
    const int expected = type == SOCK_STREAM ? IPPROTO_TCP : IPPROTO_UDP;
    if (protocol != 0 && protocol != expected) {
        Fail(WSAEPROTONOSUPPORT);
        return INVALID_SOCKET;
    }
    const auto kind = type == SOCK_STREAM ? posixnet::Kind::Stream : posixnet::Kind::Datagram;
    const int fd = posixnet::Socket(kind, protocol);
    if (fd < 0) {
        FailFromErrno();
        return INVALID_SOCKET;
    }
    return SocketTable::Instance().Add(fd, kind);
}

int bind(SOCKET s, const sockaddr* name, int nameLength) {
    int fd;
    posixnet::Endpoint endpoint;
    if (!FdOf(s, &fd) || !ReadAddress(name, nameLength, &endpoint))
        return SOCKET_ERROR;
    return posixnet::Bind(fd, endpoint) == 0 ? 0 : FailFromErrno();
}

int connect(SOCKET s, const sockaddr* name, int nameLength) {
    int fd;
    posixnet::Endpoint endpoint;
    if (!FdOf(s, &fd) || !ReadAddress(name, nameLength, &endpoint))
        return SOCKET_ERROR;
    if (posixnet::Connect(fd, endpoint) == 0) {
        SocketTable::Instance().ConnectStarted(s, true);
        return 0;
    }
    const int error = errno;
    if (error == EINPROGRESS)
        SocketTable::Instance().ConnectStarted(s, false);
    return Fail(wsock32::ErrorFromErrno(error));
}

int listen(SOCKET s, int backlog) {
    int fd;
    if (!FdOf(s, &fd))
        return SOCKET_ERROR;
    if (posixnet::Listen(fd, backlog) != 0)
        return FailFromErrno();
    SocketTable::Instance().Listening(s);
    return 0;
}

SOCKET accept(SOCKET s, sockaddr* address, int* addressLength) {
    int fd;
    if (!FdOf(s, &fd))
        return INVALID_SOCKET;
    SocketTable& table = SocketTable::Instance();
    posixnet::Endpoint peer;
    const int accepted = posixnet::Accept(fd, &peer, table.NonBlocking(s));
    if (accepted < 0) {
        const int error = errno;
        table.Accepted(s, INVALID_SOCKET);
        Fail(wsock32::ErrorFromErrno(error));
        return INVALID_SOCKET;
    }
    const SOCKET added = table.Add(accepted, posixnet::Kind::Stream);
    table.Accepted(s, added);
    if (!WriteAddress(peer, address, addressLength)) {
        closesocket(added);
        return INVALID_SOCKET;
    }
    return added;
}

int send(SOCKET s, const char* buffer, int length, int flags) {
    int fd;
    if (!FdOf(s, &fd) || !CheckBuffer(buffer, length))
        return SOCKET_ERROR;
    const long sent = posixnet::Send(fd, buffer, length, (flags & MSG_OOB) != 0);
    return sent < 0 ? SendFailed(s) : SendDone(s, sent, length);
}

int sendto(SOCKET s, const char* buffer, int length, int flags, const sockaddr* to, int toLength) {
    int fd;
    posixnet::Endpoint endpoint;
    if (!FdOf(s, &fd) || !CheckBuffer(buffer, length) || !ReadAddress(to, toLength, &endpoint))
        return SOCKET_ERROR;
    const long sent = posixnet::SendTo(fd, buffer, length, (flags & MSG_OOB) != 0, endpoint);
    return sent < 0 ? SendFailed(s) : SendDone(s, sent, length);
}

int recv(SOCKET s, char* buffer, int length, int flags) {
    int fd;
    if (!FdOf(s, &fd) || !CheckBuffer(buffer, length))
        return SOCKET_ERROR;
    const long received =
        posixnet::Receive(fd, buffer, length, (flags & MSG_PEEK) != 0, (flags & MSG_OOB) != 0);
    return Received(s, received);
}

int recvfrom(SOCKET s, char* buffer, int length, int flags, sockaddr* from, int* fromLength) {
    int fd;
    if (!FdOf(s, &fd) || !CheckBuffer(buffer, length))
        return SOCKET_ERROR;
    posixnet::Endpoint peer;
    const long received = posixnet::ReceiveFrom(fd, buffer, length, (flags & MSG_PEEK) != 0,
                                                (flags & MSG_OOB) != 0, &peer);
    const int result = Received(s, received);
    if (result >= 0 && !WriteAddress(peer, from, fromLength))
        return SOCKET_ERROR;
    return result;
}

int closesocket(SOCKET s) {
    if (!wsock32::CheckStarted())
        return SOCKET_ERROR;
    return SocketTable::Instance().Remove(s) ? 0 : SOCKET_ERROR;
}

int shutdown(SOCKET s, int how) {
    int fd;
    if (!FdOf(s, &fd))
        return SOCKET_ERROR;
    if (how < SD_RECEIVE || how > SD_BOTH)
        return Fail(WSAEINVAL);
    if (posixnet::Shutdown(fd, how) != 0)
        return FailFromErrno();
    if (how != SD_RECEIVE)
        SocketTable::Instance().SendShut(s);
    return 0;
}

int setsockopt(SOCKET s, int level, int optionName, const char* value, int length) {
    int fd;
    OptionName option;
    if (!FdOf(s, &fd) || !FindOption(level, optionName, &option))
        return SOCKET_ERROR;
    if (option.access == Access::Linger) {
        if (!value || length < static_cast<int>(sizeof(linger)))
            return Fail(WSAEFAULT);
        linger setting;
        std::memcpy(&setting, value, sizeof setting);
        return posixnet::SetLinger(fd, setting.l_onoff != 0, setting.l_linger) == 0
                   ? 0
                   : FailFromErrno();
    }
    if (option.access == Access::ReadOnly)
        return Fail(WSAENOPROTOOPT);
    if (!value || length < 1)
        return Fail(WSAEFAULT);
    // A one-byte boolean is accepted as Windows accepts it.
    int number = 0;
    if (length >= static_cast<int>(sizeof number))
        std::memcpy(&number, value, sizeof number);
    else
        number = static_cast<unsigned char>(value[0]);
    return posixnet::SetOption(fd, option.option, number) == 0 ? 0 : FailFromErrno();
}

int getsockopt(SOCKET s, int level, int optionName, char* value, int* length) {
    int fd;
    OptionName option;
    if (!FdOf(s, &fd) || !FindOption(level, optionName, &option))
        return SOCKET_ERROR;
    if (option.access == Access::Linger) {
        if (!value || !length || *length < static_cast<int>(sizeof(linger)))
            return Fail(WSAEFAULT);
        bool on;
        int seconds;
        if (posixnet::GetLinger(fd, &on, &seconds) != 0)
            return FailFromErrno();
        const linger setting{static_cast<u_short>(on), static_cast<u_short>(seconds)};
        std::memcpy(value, &setting, sizeof setting);
        *length = sizeof setting;
        return 0;
    }
    int number;
    if (!value || !length || *length < static_cast<int>(sizeof number))
        return Fail(WSAEFAULT);
    if (posixnet::GetOption(fd, option.option, &number) != 0)
        return FailFromErrno();
    if (option.option == posixnet::Option::Error)
        number = wsock32::ErrorFromErrno(number);
    std::memcpy(value, &number, sizeof number);
    *length = sizeof number;
    return 0;
}

int ioctlsocket(SOCKET s, long command, DWORD* argument) {
    int fd;
    if (!FdOf(s, &fd))
        return SOCKET_ERROR;
    if (!argument)
        return Fail(WSAEFAULT);
    if (command == FIONBIO)
        return SocketTable::Instance().SetNonBlocking(s, *argument != 0);
    if (command != FIONREAD)
        return Fail(WSAEINVAL);
    int count;
    if (posixnet::BytesWaiting(fd, &count) != 0)
        return FailFromErrno();
    *argument = static_cast<DWORD>(count);
    return 0;
}

int getpeername(SOCKET s, sockaddr* name, int* nameLength) {
    int fd;
    posixnet::Endpoint endpoint;
    if (!FdOf(s, &fd))
        return SOCKET_ERROR;
    if (!name)
        return Fail(WSAEFAULT);
    if (posixnet::PeerName(fd, &endpoint) != 0)
        return FailFromErrno();
    return WriteAddress(endpoint, name, nameLength) ? 0 : SOCKET_ERROR;
}

int getsockname(SOCKET s, sockaddr* name, int* nameLength) {
    int fd;
    posixnet::Endpoint endpoint;
    if (!FdOf(s, &fd))
        return SOCKET_ERROR;
    if (!name)
        return Fail(WSAEFAULT);
    if (posixnet::LocalName(fd, &endpoint) != 0)
        return FailFromErrno();
    return WriteAddress(endpoint, name, nameLength) ? 0 : SOCKET_ERROR;
}

int WSAAsyncSelect(SOCKET s, HWND window, u_int message, long events) {
    if (!wsock32::CheckStarted())
        return SOCKET_ERROR;
    return SocketTable::Instance().Select(s, window, message, events);
}
