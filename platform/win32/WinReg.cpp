#include "platform/win32/WinReg.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/win32/HiveFile.h"
#include "platform/win32/MachineHive.h"

namespace {

enum class Root { CurrentUser, LocalMachine };

struct OpenKey {
    Root root;
    RegistryPath path;
    REGSAM access;
};

constexpr REGSAM WriteRights = KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

// The keys opened by RegOpenKeyExA and RegCreateKeyExA, so that a closed or
// unknown handle is refused instead of followed.
class HandleTable {
public:
    HKEY Add(const OpenKey& key) {
        auto entry = std::make_unique<OpenKey>(key);
        const HKEY handle = reinterpret_cast<HKEY>(entry.get());
        std::lock_guard lock(mutex_);
        keys_.emplace(handle, std::move(entry));
        return handle;
    }
    bool Remove(HKEY handle) {
        std::lock_guard lock(mutex_);
        return keys_.erase(handle) == 1;
    }
    std::optional<OpenKey> Find(HKEY handle) {
        std::lock_guard lock(mutex_);
        const auto found = keys_.find(handle);
        if (found == keys_.end())
            return std::nullopt;
        return *found->second;
    }

private:
    std::mutex mutex_;
    std::map<HKEY, std::unique_ptr<OpenKey>> keys_;
};

// Never destroyed: keys may still be closed by destructors that run at exit.
HandleTable& Handles() {
    static HandleTable* const table = new HandleTable;
    return *table;
}

std::optional<OpenKey> Resolve(HKEY key) {
    if (key == HKEY_CURRENT_USER)
        return OpenKey{Root::CurrentUser, {}, KEY_ALL_ACCESS};
    if (key == HKEY_LOCAL_MACHINE)
        return OpenKey{Root::LocalMachine, {}, KEY_READ};
    return Handles().Find(key);
}

// Appends the keys named by a subkey path to `path`.
LONG AppendSubKey(LPCSTR subKey, RegistryPath& path) {
    std::string text = subKey ? subKey : "";
    if (text.empty())
        return ERROR_SUCCESS;
    if (text.front() == '\\')
        return ERROR_BAD_PATHNAME;
    if (text.back() == '\\')
        text.pop_back();
    for (size_t start = 0;;) {
        const size_t end = std::min(text.find('\\', start), text.size());
        if (end == start)
            return ERROR_BAD_PATHNAME;
        path.push_back(text.substr(start, end - start));
        if (end == text.size())
            return ERROR_SUCCESS;
        start = end + 1;
    }
}

std::shared_ptr<const RegistryHive> Snapshot(Root root) {
    return root == Root::CurrentUser ? HiveFile().Read()
                                     : std::make_shared<const RegistryHive>(MachineHive());
}

// Runs a change of the current user's hive on the key; its result is the
// change's status, or ERROR_KEY_DELETED when the key has gone.
template <class Change> LONG ChangeKey(const RegistryPath& path, Change change) {
    LONG status = ERROR_SUCCESS;
    HiveFile().Update([&](RegistryHive& hive) {
        RegistryKey* key = hive.Find(path);
        if (!key) {
            status = ERROR_KEY_DELETED;
            return false;
        }
        return change(*key, status);
    });
    return status;
}

template <class Operation> LONG Guarded(Operation operation) {
    try {
        return operation();
    } catch (const HiveFileError&) {
        return ERROR_REGISTRY_IO_FAILED;
    }
}

// Writes go to the current user's hive only, through handles opened for it.
bool MayWrite(const OpenKey& key) {
    return key.root == Root::CurrentUser && (key.access & KEY_SET_VALUE);
}

LONG StoredData(DWORD type, const BYTE* data, DWORD size, std::string& stored) {
    if (!data && size > 0)
        return ERROR_INVALID_PARAMETER;
    stored.assign(reinterpret_cast<const char*>(data), size);
    if (type == REG_SZ) {
        if (!stored.empty() && stored.back() == '\0')
            stored.pop_back();
        return ERROR_SUCCESS;
    }
    return type == REG_DWORD && size == 4 ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
}

} // namespace

LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD, REGSAM desired, PHKEY result) {
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    std::optional<OpenKey> opened = Resolve(key);
    if (!opened)
        return ERROR_INVALID_HANDLE;
    if (const LONG status = AppendSubKey(subKey, opened->path); status != ERROR_SUCCESS)
        return status;
    opened->access = desired;
    if (opened->root == Root::LocalMachine && (desired & WriteRights))
        return ERROR_ACCESS_DENIED;
    return Guarded([&] {
        if (!Snapshot(opened->root)->Find(opened->path))
            return ERROR_FILE_NOT_FOUND;
        *result = Handles().Add(*opened);
        return ERROR_SUCCESS;
    });
}

LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM desired, const void*,
                     PHKEY result, LPDWORD disposition) {
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    const std::optional<OpenKey> base = Resolve(key);
    if (!base)
        return ERROR_INVALID_HANDLE;
    RegistryPath below;
    if (const LONG status = AppendSubKey(subKey, below); status != ERROR_SUCCESS)
        return status;
    if (base->root == Root::LocalMachine)
        return ERROR_ACCESS_DENIED;
    if (base->path.size() + below.size() > MaxKeyDepth)
        return ERROR_BAD_PATHNAME;
    return Guarded([&] {
        bool isNew = false;
        const LONG status = ChangeKey(base->path, [&](RegistryKey& baseKey, LONG&) {
            baseKey.Create(below, &isNew);
            return isNew;
        });
        if (status != ERROR_SUCCESS)
            return status;
        if (disposition)
            *disposition = isNew ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
        OpenKey created{base->root, base->path, desired};
        created.path.insert(created.path.end(), below.begin(), below.end());
        *result = Handles().Add(created);
        return ERROR_SUCCESS;
    });
}

LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD, LPDWORD type, LPBYTE data,
                      LPDWORD dataSize) {
    const std::optional<OpenKey> opened = Resolve(key);
    if (!opened)
        return ERROR_INVALID_HANDLE;
    if (!(opened->access & KEY_QUERY_VALUE))
        return ERROR_ACCESS_DENIED;
    if (data && !dataSize)
        return ERROR_INVALID_PARAMETER;
    return Guarded([&] {
        const auto hive = Snapshot(opened->root);
        const RegistryKey* found = hive->Find(opened->path);
        if (!found)
            return ERROR_KEY_DELETED;
        const RegistryValue* value = found->FindValue(valueName ? valueName : "");
        if (!value)
            return ERROR_FILE_NOT_FOUND;
        std::string bytes = value->Data;
        if (value->Type == REG_SZ)
            bytes += '\0';
        if (type)
            *type = value->Type;
        if (!dataSize)
            return ERROR_SUCCESS;
        const DWORD available = *dataSize;
        *dataSize = static_cast<DWORD>(bytes.size());
        if (!data)
            return ERROR_SUCCESS;
        if (available < bytes.size())
            return ERROR_MORE_DATA;
        std::memcpy(data, bytes.data(), bytes.size());
        return ERROR_SUCCESS;
    });
}

LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD, DWORD type, const BYTE* data,
                    DWORD dataSize) {
    const std::optional<OpenKey> opened = Resolve(key);
    if (!opened)
        return ERROR_INVALID_HANDLE;
    if (!MayWrite(*opened))
        return ERROR_ACCESS_DENIED;
    std::string stored;
    if (const LONG status = StoredData(type, data, dataSize, stored); status != ERROR_SUCCESS)
        return status;
    return Guarded([&] {
        return ChangeKey(opened->path, [&](RegistryKey& found, LONG&) {
            return found.SetValue(valueName ? valueName : "", type, stored);
        });
    });
}

LONG RegDeleteValueA(HKEY key, LPCSTR valueName) {
    const std::optional<OpenKey> opened = Resolve(key);
    if (!opened)
        return ERROR_INVALID_HANDLE;
    if (!MayWrite(*opened))
        return ERROR_ACCESS_DENIED;
    return Guarded([&] {
        return ChangeKey(opened->path, [&](RegistryKey& found, LONG& status) {
            const bool deleted = found.DeleteValue(valueName ? valueName : "");
            if (!deleted)
                status = ERROR_FILE_NOT_FOUND;
            return deleted;
        });
    });
}

LONG RegCloseKey(HKEY key) {
    if (key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE)
        return ERROR_SUCCESS;
    return Handles().Remove(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}
