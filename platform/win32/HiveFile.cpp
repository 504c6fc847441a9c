#include "platform/win32/HiveFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <mutex>
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

// What tells one hive file from another, and a file from itself after a
// change made in place.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    timespec modified{};
    timespec changed{};

    explicit FileIdentity(const struct stat& info)
        : device(info.st_dev), inode(info.st_ino), size(info.st_size), modified(info.st_mtim),
          changed(info.st_ctim) {}
    FileIdentity() = default;

    bool operator==(const FileIdentity& other) const {
        const auto same = [](const timespec& a, const timespec& b) {
            return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
        };
        return device == other.device && inode == other.inode && size == other.size &&
               same(modified, other.modified) && same(changed, other.changed);
    }
};

// The last hive file read or written, kept open, with its snapshot.
struct CachedHive {
    std::string path;
    std::unique_ptr<FileHandle> file;
    FileIdentity identity;
    std::shared_ptr<const RegistryHive> hive;
};

// The parsed hive is the process's, as the registry is the system's.
class HiveCache {
public:
    std::shared_ptr<const RegistryHive> Find(const std::string& path,
                                             const FileIdentity& identity) {
        std::lock_guard lock(mutex_);
        return cached_.path == path && cached_.identity == identity ? cached_.hive : nullptr;
    }
    void Keep(CachedHive cached) {
        std::lock_guard lock(mutex_);
        cached_ = std::move(cached);
    }
    void Forget() { Keep({}); }

private:
    std::mutex mutex_;
    CachedHive cached_;
};

HiveCache& Cache() {
    static HiveCache* const cache = new HiveCache;
    return *cache;
}

[[noreturn]] void TooLarge() {
    throw RegistryFormatError("the file is larger than " +
                              std::to_string(HiveFile::MaxHiveBytes >> 20) + " MB");
}

// The whole text of an open hive file of `size` bytes, as long as it is not
// too large: it may still grow while it is read.
std::string ReadText(int fd, off_t size, const std::string& path) {
    if (size > static_cast<off_t>(HiveFile::MaxHiveBytes))
        TooLarge();
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0)
            return text;
        if (got < 0 && errno != EINTR)
            Fail("read", path);
        if (got > 0)
            text.append(buffer, static_cast<size_t>(got));
        if (text.size() > HiveFile::MaxHiveBytes)
            TooLarge();
    }
}

// The hive at `path`: the cached snapshot while the file is the one it was
// read from, else the file parsed. Raises RegistryFormatError for a damaged
// file, HiveFileError when it cannot be read.
std::shared_ptr<const RegistryHive> Snapshot(const std::string& path) {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) {
        if (errno == ENOENT)
            return std::make_shared<const RegistryHive>();
        Fail("open", path);
    }
    if (auto cached = Cache().Find(path, FileIdentity(info)))
        return cached;
    auto file = std::make_unique<FileHandle>(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file->Get() < 0) {
        if (errno == ENOENT)
            return std::make_shared<const RegistryHive>();
        Fail("open", path);
    }
    if (::fstat(file->Get(), &info) != 0)
        Fail("open", path);
    auto hive = std::make_shared<const RegistryHive>(
        RegistryHive::Parse(ReadText(file->Get(), info.st_size, path)));
    Cache().Keep({path, std::move(file), FileIdentity(info), hive});
    return hive;
}

// The batch of one hive open in this thread.
struct OpenBatch {
    std::unique_ptr<HiveLock> lock;
    std::shared_ptr<RegistryHive> hive;
    int depth = 1;
    bool changed = false;
};

// This thread's open batches by the path of their hive.
std::map<std::string, OpenBatch>& Batches() {
    thread_local std::map<std::string, OpenBatch> batches;
    return batches;
}

OpenBatch* BatchOn(const std::string& path) {
    const auto found = Batches().find(path);
    return found == Batches().end() ? nullptr : &found->second;
}

} // namespace

HiveFile::HiveFile() : path_(ConfigHome() + "/Korvel/registry") {}

HiveFile::HiveFile(std::string path) : path_(std::move(path)) {}

std::shared_ptr<const RegistryHive> HiveFile::Read() const {
    if (const OpenBatch* batch = BatchOn(path_))
        return batch->hive;
    try {
        return Snapshot(path_);
    } catch (const RegistryFormatError&) {
        // Look again under the lock: another process may have replaced it
        // meanwhile; otherwise it is set aside there.
    }
    HiveLock lock(path_);
    return ReadLocked();
}

void HiveFile::Update(const std::function<bool(RegistryHive&)>& change) const {
    if (OpenBatch* batch = BatchOn(path_)) {
        if (change(*batch->hive))
            batch->changed = true;
        return;
    }
    HiveLock lock(path_);
    auto hive = std::make_shared<RegistryHive>(ReadLocked()->Clone());
    if (change(*hive))
        Replace(hive);
}

void HiveFile::BeginBatch() const {
    if (OpenBatch* batch = BatchOn(path_)) {
        ++batch->depth;
        return;
    }
    auto lock = std::make_unique<HiveLock>(path_);
    auto hive = std::make_shared<RegistryHive>(ReadLocked()->Clone());
    Batches().emplace(path_, OpenBatch{std::move(lock), std::move(hive)});
}

void HiveFile::EndBatch() const {
    const auto found = Batches().find(path_);
    if (found == Batches().end() || --found->second.depth > 0)
        return;
    const OpenBatch batch = std::move(found->second);
    Batches().erase(found);
    if (batch.changed)
        Replace(batch.hive);
}

std::shared_ptr<const RegistryHive> HiveFile::ReadLocked() const {
    try {
        return Snapshot(path_);
    } catch (const RegistryFormatError& error) {
        SetAside(error.what());
    }
    auto fresh = std::make_shared<const RegistryHive>();
    Replace(fresh);
    return fresh;
}

// The hive written is the snapshot of the file that replaced the old one.
void HiveFile::Replace(const std::shared_ptr<const RegistryHive>& hive) const {
    const std::string temporary = path_ + ".new";
    FileHandle file(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
    if (file.Get() < 0)
        Fail("create", temporary);
    try {
        WriteAll(file.Get(), hive->Text(), temporary);
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
    auto written = std::make_unique<FileHandle>(::open(path_.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info;
    if (written->Get() < 0 || ::fstat(written->Get(), &info) != 0) {
        Cache().Forget();
        return;
    }
    Cache().Keep({path_, std::move(written), FileIdentity(info), hive});
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
