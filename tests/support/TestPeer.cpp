#include "tests/support/TestPeer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <dirent.h>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <utility>

#include "tests/support/LocalNet.h"

namespace {

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

bool SameAddress(const sockaddr_in& a, const sockaddr_in& b) {
    return a.sin_family == b.sin_family && a.sin_port == b.sin_port &&
           a.sin_addr.s_addr == b.sin_addr.s_addr;
}

struct Ends {
    sockaddr_in local{};
    sockaddr_in remote{};
};

bool EndsOf(int fd, Ends& ends) {
    socklen_t length = sizeof ends.local;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&ends.local), &length) != 0 ||
        ends.local.sin_family != AF_INET)
        return false;
    length = sizeof ends.remote;
    return ::getpeername(fd, reinterpret_cast<sockaddr*>(&ends.remote), &length) == 0;
}

// The descriptor of this process that holds the other end of `fd`'s
// connection; -1 when there is none.
int OtherEnd(int fd) {
    Ends mine;
    if (!EndsOf(fd, mine))
        return -1;
    int found = -1;
    DIR* directory = ::opendir("/proc/self/fd");
    while (const dirent* entry = ::readdir(directory)) {
        const int candidate = std::atoi(entry->d_name);
        Ends theirs;
        if (candidate != fd && candidate != ::dirfd(directory) && EndsOf(candidate, theirs) &&
            SameAddress(theirs.local, mine.remote) && SameAddress(theirs.remote, mine.local)) {
            found = candidate;
            break;
        }
    }
    ::closedir(directory);
    return found;
}

int Pending(int fd, unsigned long request) {
    int bytes = 0;
    return ::ioctl(fd, request, &bytes) == 0 ? bytes : -1;
}

} // namespace

TestPeer::TestPeer(int fd) : fd_(fd) {}

TestPeer::TestPeer(TestPeer&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), received_(std::move(other.received_)),
      handedOut_(std::exchange(other.handedOut_, 0)), ended_(std::exchange(other.ended_, false)) {}

TestPeer& TestPeer::operator=(TestPeer&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        received_ = std::move(other.received_);
        handedOut_ = std::exchange(other.handedOut_, 0);
        ended_ = std::exchange(other.ended_, false);
    }
    return *this;
}

TestPeer::~TestPeer() {
    Close();
}

TestPeer TestPeer::Connect(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = Loopback(port);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return TestPeer();
    }
    return TestPeer(fd);
}

bool TestPeer::Wait(short events, const std::function<bool()>& ready, int timeoutMs) {
    return fd_ >= 0 && WaitOnSocket(fd_, events, ready, timeoutMs);
}

bool TestPeer::Send(const std::string& bytes) {
    size_t sent = 0;
    while (fd_ >= 0 && sent < bytes.size()) {
        const ssize_t count =
            ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (count > 0) {
            sent += static_cast<size_t>(count);
            continue;
        }
        if (count < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return false;
        const bool writable = Wait(
            POLLOUT,
            [this] {
                pollfd entry{fd_, POLLOUT, 0};
                return ::poll(&entry, 1, 0) > 0;
            },
            WaitBoundMs);
        if (!writable)
            return false;
    }
    return fd_ >= 0;
}

void TestPeer::ReadArrived() {
    while (fd_ >= 0 && !ended_) {
        char buffer[65536];
        const ssize_t count = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
        if (count > 0) {
            received_.append(buffer, static_cast<size_t>(count));
        } else {
            ended_ = count == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
            return;
        }
    }
}

std::string TestPeer::Receive(size_t count, int timeoutMs) {
    Wait(
        POLLIN,
        [&] {
            ReadArrived();
            return ended_ || received_.size() - handedOut_ >= count;
        },
        timeoutMs);
    const std::string piece = received_.substr(handedOut_, count);
    handedOut_ += piece.size();
    return piece;
}

std::string TestPeer::ReceiveUntilEnd(int timeoutMs) {
    WaitForEnd(timeoutMs);
    const std::string rest = received_.substr(handedOut_);
    handedOut_ = received_.size();
    return rest;
}

const std::string& TestPeer::Received() {
    ReadArrived();
    return received_;
}

bool TestPeer::WaitFor(const std::string& text, int timeoutMs) {
    return Wait(
        POLLIN, [&] { return Received().find(text) != std::string::npos; }, timeoutMs);
}

bool TestPeer::SawEnd() {
    ReadArrived();
    return ended_;
}

bool TestPeer::WaitForEnd(int timeoutMs) {
    return Wait(
        POLLIN, [this] { return SawEnd(); }, timeoutMs);
}

bool TestPeer::WaitForUnread(size_t count, int timeoutMs) {
    return Wait(
        0, [&] { return Pending(fd_, FIONREAD) >= static_cast<int>(count); }, timeoutMs);
}

bool TestPeer::WaitUntilTaken(int timeoutMs) {
    return Wait(
        0,
        [this] {
            const int other = OtherEnd(fd_);
            return other >= 0 && Pending(fd_, SIOCOUTQ) == 0 && Pending(other, FIONREAD) == 0;
        },
        timeoutMs);
}

void TestPeer::ShutdownSend() {
    if (fd_ >= 0)
        ::shutdown(fd_, SHUT_WR);
}

void TestPeer::Close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

void TestPeer::Reset() {
    if (fd_ < 0)
        return;
    const linger abortive{1, 0};
    ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
    Close();
}
