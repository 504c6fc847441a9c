#pragma once
// The POSIX calls beneath the Winsock layer, in terms that need neither the
// system's socket headers nor Winsock.h (whose names they share). Addresses
// and ports are in network order. A failing call returns -1 with errno set.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace posixnet {

enum class Kind { Stream, Datagram };

enum class Option {
    ReuseAddr,
    KeepAlive,
    Broadcast,
    SendBuffer,
    ReceiveBuffer,
    AcceptConn,
    NoDelay,
    MulticastTtl,
    // Read only: the pending error (an errno value, cleared by reading) and
    // the kind (1 stream, 2 datagram).
    Error,
    Type,
};

struct Endpoint {
    uint32_t address;
    uint16_t port;
};

// Every descriptor is close-on-exec; accepted ones are non-blocking when
// asked.
int Socket(Kind kind, int protocol);
int Bind(int fd, Endpoint endpoint);
int Connect(int fd, Endpoint endpoint);
int Listen(int fd, int backlog);
int Accept(int fd, Endpoint* peer, bool nonBlocking);
// Sending never raises SIGPIPE.
long Send(int fd, const void* data, size_t length, bool outOfBand);
long SendTo(int fd, const void* data, size_t length, bool outOfBand, Endpoint to);
long Receive(int fd, void* data, size_t length, bool peek, bool outOfBand);
long ReceiveFrom(int fd, void* data, size_t length, bool peek, bool outOfBand, Endpoint* from);
int Close(int fd);
// how: 0 receiving, 1 sending, 2 both.
int Shutdown(int fd, int how);
int SetOption(int fd, Option option, int value);
int GetOption(int fd, Option option, int* value);
int SetLinger(int fd, bool on, int seconds);
int GetLinger(int fd, bool* on, int* seconds);
int BytesWaiting(int fd, int* count);
int SetNonBlocking(int fd, bool on);
int PeerName(int fd, Endpoint* endpoint);
int LocalName(int fd, Endpoint* endpoint);

// What the descriptor could do now, without waiting.
struct Readiness {
    bool readable;
    bool writable;
    bool failed;
};
Readiness Poll(int fd);

int HostName(char* buffer, size_t size);

enum class LookupError { None, NotFound, TryAgain, Failure, NoData };

struct HostAnswer {
    std::string name;
    std::vector<std::string> aliases;
    std::vector<uint32_t> addresses;
};

// A name through the system's resolver (IPv4 addresses, each once, in the
// resolver's order), or an address back to its name.
LookupError ResolveName(const std::string& name, HostAnswer* answer);
LookupError ResolveAddress(uint32_t address, HostAnswer* answer);

// The IPv4 addresses of the interfaces that are up, in the system's order;
// the loopback addresses only when there is no other.
std::vector<uint32_t> InterfaceAddresses();

struct ServiceAnswer {
    std::string name;
    std::vector<std::string> aliases;
    uint16_t port;
    std::string protocol;
};
// An empty protocol matches any.
bool ServiceByName(const std::string& name, const std::string& protocol, ServiceAnswer* answer);

struct ProtocolAnswer {
    std::string name;
    std::vector<std::string> aliases;
    int number;
};
bool ProtocolByName(const std::string& name, ProtocolAnswer* answer);

} // namespace posixnet
