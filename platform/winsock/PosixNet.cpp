#include "platform/winsock/PosixNet.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace posixnet {

namespace {

sockaddr_in ToSockaddr(Endpoint endpoint) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = endpoint.port;
    address.sin_addr.s_addr = endpoint.address;
    return address;
}

Endpoint FromSockaddr(const sockaddr_in& address) {
    return Endpoint{address.sin_addr.s_addr, address.sin_port};
}

struct Level {
    int level;
    int name;
};

Level LevelOf(Option option) {
    switch (option) {
    case Option::ReuseAddr:
        return {SOL_SOCKET, SO_REUSEADDR};
    case Option::KeepAlive:
        return {SOL_SOCKET, SO_KEEPALIVE};
    case Option::Broadcast:
        return {SOL_SOCKET, SO_BROADCAST};
    case Option::SendBuffer:
        return {SOL_SOCKET, SO_SNDBUF};
    case Option::ReceiveBuffer:
        return {SOL_SOCKET, SO_RCVBUF};
    case Option::AcceptConn:
        return {SOL_SOCKET, SO_ACCEPTCONN};
    case Option::NoDelay:
        return {IPPROTO_TCP, TCP_NODELAY};
    case Option::MulticastTtl:
        return {IPPROTO_IP, IP_MULTICAST_TTL};
    case Option::Error:
        return {SOL_SOCKET, SO_ERROR};
    case Option::Type:
        return {SOL_SOCKET, SO_TYPE};
    }
    return {SOL_SOCKET, SO_ERROR};
}

std::vector<std::string> Names(char** list) {
    std::vector<std::string> names;
    for (; list && *list; ++list)
        names.emplace_back(*list);
    return names;
}

LookupError FromGaiError(int error) {
    switch (error) {
    case 0:
        return LookupError::None;
    case EAI_NONAME:
        return LookupError::NotFound;
    case EAI_AGAIN:
        return LookupError::TryAgain;
    case EAI_NODATA:
    case EAI_ADDRFAMILY:
        return LookupError::NoData;
    default:
        return LookupError::Failure;
    }
}

bool IsLoopback(uint32_t address) {
    return (ntohl(address) >> 24) == 127;
}

} // namespace

int Socket(Kind kind, int protocol) {
    const int type = kind == Kind::Stream ? SOCK_STREAM : SOCK_DGRAM;
    return ::socket(AF_INET, type | SOCK_CLOEXEC, protocol);
}

int Bind(int fd, Endpoint endpoint) {
    const sockaddr_in address = ToSockaddr(endpoint);
    return ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
}

int Connect(int fd, Endpoint endpoint) {
    const sockaddr_in address = ToSockaddr(endpoint);
    return ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
}

int Listen(int fd, int backlog) {
    return ::listen(fd, backlog);
}

int Accept(int fd, Endpoint* peer, bool nonBlocking) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    const int flags = SOCK_CLOEXEC | (nonBlocking ? SOCK_NONBLOCK : 0);
    const int accepted = ::accept4(fd, reinterpret_cast<sockaddr*>(&address), &length, flags);
    if (accepted >= 0 && peer)
        *peer = FromSockaddr(address);
    return accepted;
}

long Send(int fd, const void* data, size_t length, bool outOfBand) {
    return ::send(fd, data, length, MSG_NOSIGNAL | (outOfBand ? MSG_OOB : 0));
}

long SendTo(int fd, const void* data, size_t length, bool outOfBand, Endpoint to) {
    const sockaddr_in address = ToSockaddr(to);
    return ::sendto(fd, data, length, MSG_NOSIGNAL | (outOfBand ? MSG_OOB : 0),
                    reinterpret_cast<const sockaddr*>(&address), sizeof address);
}

long Receive(int fd, void* data, size_t length, bool peek, bool outOfBand) {
    return ::recv(fd, data, length, (peek ? MSG_PEEK : 0) | (outOfBand ? MSG_OOB : 0));
}

long ReceiveFrom(int fd, void* data, size_t length, bool peek, bool outOfBand, Endpoint* from) {
    sockaddr_in address{};
    socklen_t addressLength = sizeof address;
    const long received =
        ::recvfrom(fd, data, length, (peek ? MSG_PEEK : 0) | (outOfBand ? MSG_OOB : 0),
                   reinterpret_cast<sockaddr*>(&address), &addressLength);
    if (received >= 0 && from)
        *from = FromSockaddr(address);
    return received;
}

int Close(int fd) {
    return ::close(fd);
}

int Shutdown(int fd, int how) {
    static constexpr int hows[] = {SHUT_RD, SHUT_WR, SHUT_RDWR};
    if (how < 0 || how > 2) {
        errno = EINVAL;
        return -1;
    }
    return ::shutdown(fd, hows[how]);
}

int SetOption(int fd, Option option, int value) {
    const Level level = LevelOf(option);
    return ::setsockopt(fd, level.level, level.name, &value, sizeof value);
}

int GetOption(int fd, Option option, int* value) {
    const Level level = LevelOf(option);
    socklen_t length = sizeof *value;
    if (::getsockopt(fd, level.level, level.name, value, &length) != 0)
        return -1;
    if (option == Option::Type)
        *value = *value == SOCK_STREAM ? 1 : 2;
    return 0;
}

int SetLinger(int fd, bool on, int seconds) {
    const ::linger value{on ? 1 : 0, seconds};
    return ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &value, sizeof value);
}

int GetLinger(int fd, bool* on, int* seconds) {
    ::linger value{};
    socklen_t length = sizeof value;
    if (::getsockopt(fd, SOL_SOCKET, SO_LINGER, &value, &length) != 0)
        return -1;
    *on = value.l_onoff != 0;
    *seconds = value.l_linger;
    return 0;
}

int BytesWaiting(int fd, int* count) {
    return ::ioctl(fd, FIONREAD, count);
}

int SetNonBlocking(int fd, bool on) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0)
        return -1;
    return ::fcntl(fd, F_SETFL, on ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK));
}

int PeerName(int fd, Endpoint* endpoint) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (::getpeername(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return -1;
    *endpoint = FromSockaddr(address);
    return 0;
}

int LocalName(int fd, Endpoint* endpoint) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return -1;
    *endpoint = FromSockaddr(address);
    return 0;
}

Readiness Poll(int fd) {
    pollfd entry{fd, POLLIN | POLLOUT, 0};
    if (::poll(&entry, 1, 0) < 0)
        return {false, false, true};
    return {(entry.revents & POLLIN) != 0, (entry.revents & POLLOUT) != 0,
            (entry.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0};
}

int HostName(char* buffer, size_t size) {
    return ::gethostname(buffer, size);
}

LookupError ResolveName(const std::string& name, HostAnswer* answer) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_CANONNAME;
    addrinfo* found = nullptr;
    const LookupError error = FromGaiError(::getaddrinfo(name.c_str(), nullptr, &hints, &found));
    if (error != LookupError::None)
        return error;
    *answer = HostAnswer{found->ai_canonname ? found->ai_canonname : name, {}, {}};
    for (const addrinfo* entry = found; entry; entry = entry->ai_next) {
        const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ai_addr);
        const uint32_t value = address->sin_addr.s_addr;
        if (std::find(answer->addresses.begin(), answer->addresses.end(), value) ==
            answer->addresses.end())
            answer->addresses.push_back(value);
    }
    ::freeaddrinfo(found);
    return answer->addresses.empty() ? LookupError::NoData : LookupError::None;
}

LookupError ResolveAddress(uint32_t address, HostAnswer* answer) {
    const sockaddr_in socketAddress = ToSockaddr(Endpoint{address, 0});
    char name[NI_MAXHOST];
    const int error =
        ::getnameinfo(reinterpret_cast<const sockaddr*>(&socketAddress), sizeof socketAddress, name,
                      sizeof name, nullptr, 0, NI_NAMEREQD);
    if (error != 0)
        return FromGaiError(error);
    *answer = HostAnswer{name, {}, {address}};
    return LookupError::None;
}

std::vector<uint32_t> InterfaceAddresses() {
    ifaddrs* interfaces = nullptr;
    if (::getifaddrs(&interfaces) != 0)
        return {};
    std::vector<uint32_t> others;
    std::vector<uint32_t> loopback;
    for (const ifaddrs* entry = interfaces; entry; entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET ||
            !(entry->ifa_flags & IFF_UP))
            continue;
        const uint32_t address =
            reinterpret_cast<const sockaddr_in*>(entry->ifa_addr)->sin_addr.s_addr;
        std::vector<uint32_t>& list =
            (entry->ifa_flags & IFF_LOOPBACK) || IsLoopback(address) ? loopback : others;
        if (std::find(list.begin(), list.end(), address) == list.end())
            list.push_back(address);
    }
    ::freeifaddrs(interfaces);
    return others.empty() ? loopback : others;
}

bool ServiceByName(const std::string& name, const std::string& protocol, ServiceAnswer* answer) {
    servent entry{};
    servent* found = nullptr;
    std::vector<char> storage(4096);
    const char* anyProtocol = protocol.empty() ? nullptr : protocol.c_str();
    if (::getservbyname_r(name.c_str(), anyProtocol, &entry, storage.data(), storage.size(),
                          &found) != 0 ||
        !found)
        return false;
    *answer = ServiceAnswer{found->s_name, Names(found->s_aliases),
                            static_cast<uint16_t>(found->s_port), found->s_proto};
    return true;
}

bool ProtocolByName(const std::string& name, ProtocolAnswer* answer) {
    protoent entry{};
    protoent* found = nullptr;
    std::vector<char> storage(4096);
    if (::getprotobyname_r(name.c_str(), &entry, storage.data(), storage.size(), &found) != 0 ||
        !found)
        return false;
    *answer = ProtocolAnswer{found->p_name, Names(found->p_aliases), found->p_proto};
    return true;
}

} // namespace posixnet
