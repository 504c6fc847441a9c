#include "platform/win32/HiveFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

std::string ConfigHome() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/')
        return xdg;
    const char* home = std::getenv("HOME");
    if (home && home[0])
        return std::string(home) + "/.config";
    const passwd* user = getpwuid(getuid());
    return std::string(user ? user->pw_dir : "") + "/.config";
}

[[noreturn]] void Fail(const std::string& what, const std::string& path) {
    throw HiveFileError("cannot " + what + " " + path + ": " + std::strerror(errno));
}

std::string FolderOf(const std::string& path) {
    return path.substr(0, path.rfind('/'));
}

class FileHandle {
public:
    explicit FileHandle(int fd) : fd_(fd) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int Get() const { return fd_; }
    int Release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

// The whole file; false when it does not exist.
bool ReadWholeFile(const std::string& path, std::string& text) {
    FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0) {
        if (errno == ENOENT)
            return false;
        Fail("open", path);
    }
    text.clear();
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(file.Get(), buffer, sizeof buffer);
        if (got == 0)
            return true;
        if (got < 0 && errno != EINTR)
            Fail("read", path);
        if (got > 0)
            text.append(buffer, static_cast<size_t>(got));
    }
}

void WriteAll(int fd, const std::string& text, const std::string& path) {
    for (size_t done = 0; done < text.size();) {
        const ssize_t put = ::write(fd, text.data() + done, text.size() - done);
        if (put < 0 && errno != EINTR)
            Fail("write", path);
        if (put > 0)
            done += static_cast<size_t>(put);
    }
}

void MakeFolder(const std::string& folder) {
    std::error_code ignored;
    std::filesystem::create_directories(FolderOf(folder), ignored);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        Fail("create the folder", folder);
}

int OpenLocked(const std::string& hivePath) {
    MakeFolder(FolderOf(hivePath));
    const std::string path = hivePath + ".lock";
    FileHandle file(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (file.Get() < 0)
        Fail("open", path);
    while (::flock(file.Get(), LOCK_EX) != 0)
        if (errno != EINTR)
            Fail("lock", path);
    return file.Release();
}

// The exclusive lock that every change of the hive holds, on a file of its
// own beside the hive (the hive itself is replaced, so it cannot carry it).
// Closing the file releases it.
class HiveLock {
public:
    explicit HiveLock(const std::string& hivePath) : file_(OpenLocked(hivePath)) {}

private:
    FileHandle file_;
};

std::string UtcStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &utc);
    return stamp;
}

bool Exists(const std::string& path) {
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0;
}

} // namespace

HiveFile::HiveFile() : path_(ConfigHome() + "/Korvel/registry") {}

HiveFile::HiveFile(std::string path) : path_(std::move(path)) {}

RegistryHive HiveFile::Read() const {
    std::string text;
    if (!ReadWholeFile(path_, text))
        return {};
    try {
        return RegistryHive::Parse(text);
    } catch (const RegistryFormatError&) {
        // Look again under the lock: another process may have replaced it
        // meanwhile; otherwise it is set aside there.
    }
    HiveLock lock(path_);
    return ReadLocked();
}

void HiveFile::Update(const std::function<bool(RegistryHive&)>& change) const {
    HiveLock lock(path_);
    RegistryHive hive = ReadLocked();
    if (change(hive))
        Replace(hive);
}

RegistryHive HiveFile::ReadLocked() const {
    std::string text;
    if (!ReadWholeFile(path_, text))
        return {};
    try {
        return RegistryHive::Parse(text);
    } catch (const RegistryFormatError& error) {
        SetAside(error.what());
    }
    RegistryHive fresh;
    Replace(fresh);
    return fresh;
}

void HiveFile::Replace(const RegistryHive& hive) const {
    const std::string temporary = path_ + ".new";
    FileHandle file(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
    if (file.Get() < 0)
        Fail("create", temporary);
    try {
        WriteAll(file.Get(), hive.Text(), temporary);
        if (::fsync(file.Get()) != 0 || ::close(file.Release()) != 0)
            Fail("write", temporary);
        if (::rename(temporary.c_str(), path_.c_str()) != 0)
            Fail("replace", path_);
    } catch (const HiveFileError&) {
        ::unlink(temporary.c_str());
        throw;
    }
    // The rename itself reaches the disk with the folder.
    FileHandle folder(::open(FolderOf(path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() >= 0)
        ::fsync(folder.Get());
}

void HiveFile::SetAside(const std::string& reason) const {
    const std::string base = path_ + ".damaged-" + UtcStamp();
    std::string aside = base;
    for (int n = 2; Exists(aside); ++n)
        aside = base + "-" + std::to_string(n);
    if (::rename(path_.c_str(), aside.c_str()) != 0)
        Fail("set aside the damaged", path_);
    std::fprintf(stderr,
                 "Korvel: the registry file %s could not be read (%s); it was kept as %s and a "
                 "new one was started.\n",
                 path_.c_str(), reason.c_str(), aside.c_str());
}
