#include "tests/net/LinkPeer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "platform/vcl/Forms.h"
#include "tests/support/Pump.h"

namespace {

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

void CloseDescriptor(int& descriptor) {
    if (descriptor >= 0)
        ::close(descriptor);
    descriptor = -1;
}

} // namespace

LinkPeer::~LinkPeer() {
    CloseDescriptor(link_);
    CloseDescriptor(listener_);
}

bool LinkPeer::Listen() {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    const int yes = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    const sockaddr_in address = Loopback(Port);
    if (::bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 5) != 0) {
        CloseDescriptor(listener_);
        return false;
    }
    return true;
}

bool LinkPeer::Accept() {
    return PumpUntil([this] {
        link_ = ::accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK);
        return link_ >= 0;
    });
}

bool LinkPeer::Connect() {
    link_ = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = Loopback(Port);
    if (::connect(link_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        CloseDescriptor(link_);
        return false;
    }
    ::fcntl(link_, F_SETFL, ::fcntl(link_, F_GETFL) | O_NONBLOCK);
    return true;
}

void LinkPeer::Send(const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(link_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            // Korvel reads only from its event loop.
            PumpOnce();
        } else {
            throw std::runtime_error("the test peer cannot send");
        }
    }
}

void LinkPeer::ReadAvailable() {
    if (link_ < 0)
        return;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::recv(link_, buffer, sizeof buffer, 0);
        if (n > 0) {
            received_.append(buffer, static_cast<size_t>(n));
            continue;
        }
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK))
            ended_ = true;
        return;
    }
}

const std::string& LinkPeer::Received() {
    ReadAvailable();
    return received_;
}

bool LinkPeer::WaitFor(const std::string& text) {
    return PumpUntil([&] { return Received().find(text) != std::string::npos; });
}

bool LinkPeer::SawEnd() {
    ReadAvailable();
    return ended_;
}

void LinkPeer::Close() {
    CloseDescriptor(link_);
}

void LinkPeer::Reset() {
    const linger hard{1, 0};
    ::setsockopt(link_, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    CloseDescriptor(link_);
}
