#pragma once
// The file that holds HKEY_CURRENT_USER: $XDG_CONFIG_HOME/Korvel/registry
// (~/.config/Korvel/registry when XDG_CONFIG_HOME is unset, empty or not
// absolute). Its format is RegistryHive's text form.
//
// Reading takes a snapshot: the file is only ever replaced whole (a new
// file is written, synced and renamed over the old one), so one read sees
// one version. Every change is made under an exclusive lock on
// "registry.lock" beside the hive: the hive is read again, changed and
// replaced, so processes changing different values at the same time keep
// all their changes.
//
// A hive that cannot be parsed is never deleted: it is renamed to
// "registry.damaged-<UTC date and time>", a fresh hive is started, and one
// line on standard error says so.

#include <functional>
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
    // The hive of the current user, where the environment says it lies.
    HiveFile();
    explicit HiveFile(std::string path);

    const std::string& Path() const { return path_; }

    // A missing hive is an empty one. Raises HiveFileError.
    RegistryHive Read() const;
    // Runs `change` on the current hive under the lock and writes the hive
    // when it returns true. Raises HiveFileError.
    void Update(const std::function<bool(RegistryHive&)>& change) const;

private:
    RegistryHive ReadLocked() const;
    void Replace(const RegistryHive& hive) const;
    void SetAside(const std::string& reason) const;

    std::string path_;
};
