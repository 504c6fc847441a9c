#include "tests/support/TestListener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

#include "tests/support/LocalNet.h"

TestListener::TestListener(int port, const char* address)
    : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0)) {
    // A fixed port is taken again at once after a test whose connection
    // still lingers on it.
    const int yes = 1;
    ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in bound{};
    bound.sin_family = AF_INET;
    bound.sin_port = htons(static_cast<uint16_t>(port));
    ::inet_pton(AF_INET, address, &bound.sin_addr);
    if (::bind(fd_, reinterpret_cast<const sockaddr*>(&bound), sizeof bound) != 0 ||
        ::listen(fd_, 64) != 0) {
        const std::string reason = std::strerror(errno);
        ::close(fd_);
        throw std::runtime_error("cannot listen on " + std::string(address) + ":" +
                                 std::to_string(port) + ": " + reason);
    }
    socklen_t length = sizeof bound;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&bound), &length);
    port_ = ntohs(bound.sin_port);
}

TestListener::~TestListener() {
    ::close(fd_);
}

TestPeer TestListener::Accept(int timeoutMs) {
    int accepted = -1;
    WaitOnSocket(
        fd_, POLLIN,
        [&] {
            accepted = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
            return accepted >= 0;
        },
        timeoutMs);
    return TestPeer(accepted);
}
