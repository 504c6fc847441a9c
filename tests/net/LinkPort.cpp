#include "tests/net/LinkPort.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>

namespace {

std::filesystem::path LockFile() {
    return std::filesystem::temp_directory_path() / "korvel-link-port.lock";
}

} // namespace

LinkPortLock::LinkPortLock() : fd_(open(LockFile().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666)) {
    if (fd_ >= 0)
        flock(fd_, LOCK_EX);
}

LinkPortLock::~LinkPortLock() {
    if (fd_ >= 0)
        close(fd_);
}
