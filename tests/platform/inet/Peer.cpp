#include "tests/platform/inet/Peer.h"

#include <QCoreApplication>
#include <QThread>
#include <arpa/inet.h>
#include <chrono>
#include <dirent.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point Deadline(double seconds) {
    return Clock::now() +
           std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// True when fd is readable within a few milliseconds.
bool Readable(int fd) {
    pollfd entry{fd, POLLIN, 0};
    return poll(&entry, 1, 2) > 0;
}

} // namespace

bool RunEventsUntil(const std::function<bool()>& done, double seconds) {
    const auto end = Deadline(seconds);
    while (!done()) {
        if (Clock::now() > end)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QThread::msleep(2);
    }
    return true;
}

void RunEvents(double seconds) {
    RunEventsUntil([] { return false; }, seconds);
}

void FlushEvents() {
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

int FreePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Loopback(0);
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t size = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    close(fd);
    return ntohs(address.sin_port);
}

int OpenDescriptors() {
    int count = 0;
    DIR* directory = opendir("/proc/self/fd");
    while (readdir(directory))
        ++count;
    closedir(directory);
    return count;
}

Peer::Peer(Peer&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

Peer& Peer::operator=(Peer&& other) noexcept {
    Close();
    fd_ = std::exchange(other.fd_, -1);
    return *this;
}

Peer::~Peer() {
    Close();
}

Peer Peer::Call(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = Loopback(port);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return Peer();
    }
    return Peer(fd);
}

void Peer::Send(const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            throw std::runtime_error("peer could not send");
        sent += size_t(n);
    }
}

std::string Peer::Receive(size_t count, double seconds) {
    std::string received;
    bool ended = false;
    RunEventsUntil(
        [&] {
            while (!ended && received.size() < count && Readable(fd_)) {
                char buffer[4096];
                const ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
                if (n <= 0)
                    ended = true;
                else
                    received.append(buffer, size_t(n));
            }
            return ended || received.size() >= count;
        },
        seconds);
    return received;
}

bool Peer::SeesEnd(double seconds) {
    bool ended = false;
    RunEventsUntil(
        [&] {
            char buffer[4096];
            while (!ended && Readable(fd_))
                ended = recv(fd_, buffer, sizeof buffer, 0) <= 0;
            return ended;
        },
        seconds);
    return ended;
}

void Peer::Close() {
    if (fd_ >= 0)
        close(fd_);
    fd_ = -1;
}

void Peer::Reset() {
    const linger abortive{1, 0};
    setsockopt(fd_, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
    Close();
}

Listener::Listener(int port, const char* on) : fd_(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    sockaddr_in address = Loopback(port);
    inet_pton(AF_INET, on, &address.sin_addr);
    if (bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(fd_, 64) != 0)
        throw std::runtime_error("listener could not listen");
    socklen_t size = sizeof address;
    getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
}

Listener::~Listener() {
    close(fd_);
}

Peer Listener::Accept(double seconds) {
    int accepted = -1;
    RunEventsUntil(
        [&] {
            if (Readable(fd_))
                accepted = accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
            return accepted >= 0;
        },
        seconds);
    return Peer(accepted);
}

namespace {

// Sockets let go inside events are freed from the event loop; the last of
// them are freed before the application goes.
class FlushAtEnd : public testing::Environment {
public:
    void TearDown() override { FlushEvents(); }
};

const testing::Environment* const flushAtEnd = testing::AddGlobalTestEnvironment(new FlushAtEnd);

} // namespace
