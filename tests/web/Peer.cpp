#include "tests/web/Peer.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <netinet/in.h>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace testnet {

namespace {

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

int BoundPort(int fd) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

bool WaitReadable(int fd, int timeoutMs) {
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, timeoutMs) > 0;
}

using Clock = std::chrono::steady_clock;

int Remaining(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

} // namespace

int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = Loopback(0);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    const int port = BoundPort(fd);
    ::close(fd);
    return port;
}

Connection::Connection(Connection&& other) noexcept : fd_(other.fd_) {
    other.fd_ = -1;
}

Connection& Connection::operator=(Connection&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

Connection::~Connection() {
    Close();
}

Connection Connection::Connect(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = Loopback(port);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return Connection();
    }
    return Connection(fd);
}

bool Connection::Send(const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t count = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (count <= 0)
            return false;
        sent += static_cast<size_t>(count);
    }
    return true;
}

std::string Connection::Receive(size_t count, int timeoutMs) {
    std::string bytes;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (bytes.size() < count && WaitReadable(fd_, Remaining(deadline))) {
        char buffer[4096];
        const size_t wanted = std::min(sizeof buffer, count - bytes.size());
        const ssize_t received = ::recv(fd_, buffer, wanted, 0);
        if (received <= 0)
            break;
        bytes.append(buffer, static_cast<size_t>(received));
    }
    return bytes;
}

std::string Connection::ReceiveUntilClosed(int timeoutMs) {
    std::string bytes;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (WaitReadable(fd_, Remaining(deadline))) {
        char buffer[4096];
        const ssize_t received = ::recv(fd_, buffer, sizeof buffer, 0);
        if (received <= 0)
            break;
        bytes.append(buffer, static_cast<size_t>(received));
    }
    return bytes;
}

bool Connection::WaitForPeerClose(int timeoutMs) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (WaitReadable(fd_, Remaining(deadline))) {
        char buffer[4096];
        if (::recv(fd_, buffer, sizeof buffer, 0) <= 0)
            return true;
    }
    return false;
}

void Connection::ShutdownSend() {
    ::shutdown(fd_, SHUT_WR);
}

void Connection::Reset() {
    const ::linger abortive{1, 0};
    ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
    Close();
}

void Connection::Close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

Listener::Listener() : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)), port_(0) {
    const sockaddr_in address = Loopback(0);
    if (::bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd_, 16) != 0)
        throw std::runtime_error("test listener cannot listen");
    port_ = BoundPort(fd_);
}

Listener::~Listener() {
    ::close(fd_);
}

Connection Listener::Accept(int timeoutMs) {
    if (!WaitReadable(fd_, timeoutMs))
        return Connection();
    return Connection(::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC));
}

ScriptedServer::ScriptedServer(Script script, int connections)
    : thread_([this, script = std::move(script), connections] {
          for (int i = 0; i < connections; ++i) {
              Connection connection = listener_.Accept(10000);
              if (!connection.Valid())
                  return;
              script(connection);
          }
      }) {}

ScriptedServer::~ScriptedServer() {
    thread_.join();
}

std::vector<std::string> HostAddresses() {
    std::vector<std::string> addresses;
    FILE* output = ::popen("hostname -I", "r");
    if (!output)
        return addresses;
    char line[4096] = "";
    const bool read = std::fgets(line, sizeof line, output) != nullptr;
    ::pclose(output);
    if (!read)
        return addresses;
    std::istringstream words(line);
    for (std::string word; words >> word;) {
        in_addr parsed;
        if (::inet_pton(AF_INET, word.c_str(), &parsed) == 1)
            addresses.push_back(word);
    }
    return addresses;
}

} // namespace testnet
