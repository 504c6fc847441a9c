#pragma once
// The file that holds HKEY_CURRENT_USER: $XDG_CONFIG_HOME/Korvel/registry
// (~/.config/Korvel/registry when XDG_CONFIG_HOME is unset, empty or not
// absolute). Its format is RegistryHive's text form.
//
// Reading takes a snapshot: the file is only ever replaced whole (a new
// file is written, synced and renamed over the old one), so one read sees
// one version. A snapshot is parsed once and shared for as long as the file
// is the one it was read from: every read compares the file's device,
// inode, size and times (to the nanosecond) with those of the file it last
// read, which it keeps open so that no later file can take its inode. A
// hive replaced by another copy of the program is thus read again at the
// next call.
//
// Every change is made under an exclusive lock on "registry.lock" beside
// the hive: the hive is read again, changed and replaced, so processes
// changing different values at the same time keep all their changes.
//
// A batch gathers changes: while one is open in a thread, that thread's
// changes of the hive are made on a copy of it in memory, held under the
// lock, and its reads see them; the outermost batch's end writes the copy
// with one replace of the file. Other threads and processes see the
// changes then, all at once.
//
// A hive that cannot be parsed, or a file larger than MaxHiveBytes, is
// never deleted: it is renamed to "registry.damaged-<UTC date and time>", a
// fresh hive is started, and one line on standard error says so.

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/win32/RegistryHive.h"

// The hive cannot be read or written (the system's reason in the message).
class HiveFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class HiveFile {
public:
    static constexpr size_t MaxHiveBytes = 64 * 1024 * 1024;

    // The hive of the current user, where the environment says it lies.
    HiveFile();
    explicit HiveFile(std::string path);

    const std::string& Path() const { return path_; }

    // A missing hive is an empty one. The snapshot does not change while
    // the caller holds it, unless the caller's own batch changes it.
    // Raises HiveFileError.
    std::shared_ptr<const RegistryHive> Read() const;
    // Runs `change` on the current hive under the lock and writes the hive
    // when it returns true. Raises HiveFileError.
    void Update(const std::function<bool(RegistryHive&)>& change) const;

    // Batches nest; each begin needs its end. Both raise HiveFileError:
    // when the end cannot write the hive, the file keeps what it had, and
    // the changes of the batch are gone.
    void BeginBatch() const;
    void EndBatch() const;

private:
    std::shared_ptr<const RegistryHive> ReadLocked() const;
    void Replace(const std::shared_ptr<const RegistryHive>& hive) const;
    void SetAside(const std::string& reason) const;

    std::string path_;
};
