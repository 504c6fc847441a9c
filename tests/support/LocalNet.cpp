#include "tests/support/LocalNet.h"

#include <QCoreApplication>
#include <QThread>
#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <dirent.h>
#include <netinet/in.h>
#include <poll.h>
#include <sstream>
#include <sys/socket.h>
#include <unistd.h>

#include "tests/support/Pump.h"

namespace {

using Clock = std::chrono::steady_clock;

bool OnApplicationThread() {
    const QCoreApplication* application = QCoreApplication::instance();
    return application && QThread::currentThread() == application->thread();
}

int Remaining(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

} // namespace

int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

int OpenDescriptors() {
    int count = 0;
    DIR* directory = ::opendir("/proc/self/fd");
    while (::readdir(directory))
        ++count;
    ::closedir(directory);
    return count;
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

bool WaitOnSocket(int fd, short events, const std::function<bool()>& ready, int timeoutMs) {
    if (OnApplicationThread())
        return PumpUntil(ready, timeoutMs);
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!ready()) {
        if (Remaining(deadline) == 0)
            return false;
        pollfd entry{fd, events, 0};
        // Short slices: `ready` may turn true through another thread.
        ::poll(&entry, 1, std::min(Remaining(deadline), 10));
    }
    return true;
}
