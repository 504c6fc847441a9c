#include "platform/win32/Registry.h"

namespace {

bool IsAbsolute(const AnsiString& key) {
    return !key.empty() && key.front() == '\\';
}

AnsiString Relative(const AnsiString& key) {
    return IsAbsolute(key) ? key.substr(1) : key;
}

[[noreturn]] void Raise(const char* what, const AnsiString& name) {
    throw ERegistryException(AnsiString(what) + " '" + name + "'");
}

} // namespace

TRegistry::TRegistry() : TRegistry(KEY_ALL_ACCESS) {}

TRegistry::TRegistry(DWORD access)
    : RootKey([this] { return rootKey_; },
              [this](const HKEY& key) {
                  CloseKey();
                  rootKey_ = key;
              }),
      CurrentKey([this] { return currentKey_; }), CurrentPath([this] { return currentPath_; }),
      Access([this] { return access_; }, [this](const DWORD& value) { access_ = value; }),
      access_(access) {}

TRegistry::~TRegistry() {
    CloseKey();
}

HKEY TRegistry::BaseKeyFor(const AnsiString& key) const {
    return (currentKey_ && !IsAbsolute(key)) ? currentKey_ : rootKey_;
}

AnsiString TRegistry::PathFor(const AnsiString& key) const {
    if (!currentKey_ || IsAbsolute(key) || currentPath_.empty())
        return Relative(key);
    return currentPath_ + "\\" + key;
}

void TRegistry::ChangeKey(HKEY key, const AnsiString& path) {
    CloseKey();
    currentKey_ = key;
    currentPath_ = path;
}

bool TRegistry::OpenKey(const AnsiString& key, bool canCreate) {
    HKEY opened = nullptr;
    const LONG status =
        canCreate ? RegCreateKeyExA(BaseKeyFor(key), Relative(key).c_str(), 0, nullptr,
                                    REG_OPTION_NON_VOLATILE, access_, nullptr, &opened, nullptr)
                  : RegOpenKeyExA(BaseKeyFor(key), Relative(key).c_str(), 0, access_, &opened);
    if (status != ERROR_SUCCESS)
        return false;
    ChangeKey(opened, PathFor(key));
    return true;
}

bool TRegistry::OpenKeyReadOnly(const AnsiString& key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(BaseKeyFor(key), Relative(key).c_str(), 0, KEY_READ, &opened) !=
        ERROR_SUCCESS)
        return false;
    ChangeKey(opened, PathFor(key));
    return true;
}

void TRegistry::CloseKey() {
    if (!currentKey_)
        return;
    RegCloseKey(currentKey_);
    currentKey_ = nullptr;
    currentPath_.clear();
}

bool TRegistry::KeyExists(const AnsiString& key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(BaseKeyFor(key), Relative(key).c_str(), 0, KEY_READ, &opened) !=
        ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

bool TRegistry::ValueExists(const AnsiString& name) {
    return RegQueryValueExA(currentKey_, name.c_str(), nullptr, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

TRegDataType TRegistry::GetDataType(const AnsiString& name) {
    DWORD type = REG_NONE;
    if (RegQueryValueExA(currentKey_, name.c_str(), nullptr, &type, nullptr, nullptr) !=
        ERROR_SUCCESS)
        return rdUnknown;
    switch (type) {
    case REG_SZ:
        return rdString;
    case REG_DWORD:
        return rdInteger;
    default:
        return rdUnknown;
    }
}

AnsiString TRegistry::ReadString(const AnsiString& name) {
    // The value may grow between asking its size and reading it (another
    // process writes it); then ask again.
    for (;;) {
        DWORD type = REG_NONE;
        DWORD size = 0;
        if (RegQueryValueExA(currentKey_, name.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS)
            return "";
        if (type != REG_SZ)
            Raise("Invalid data type for", name);
        AnsiString text(size, '\0');
        const LONG status = RegQueryValueExA(currentKey_, name.c_str(), nullptr, &type,
                                             reinterpret_cast<LPBYTE>(text.data()), &size);
        if (status == ERROR_MORE_DATA)
            continue;
        if (status != ERROR_SUCCESS)
            return "";
        if (type != REG_SZ)
            Raise("Invalid data type for", name);
        text.resize(size);
        if (!text.empty() && text.back() == '\0')
            text.pop_back();
        return text;
    }
}

void TRegistry::WriteString(const AnsiString& name, const AnsiString& value) {
    if (RegSetValueExA(currentKey_, name.c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS)
        Raise("Failed to set data for", name);
}

int TRegistry::ReadInteger(const AnsiString& name) {
    DWORD type = REG_NONE;
    DWORD value = 0;
    DWORD size = sizeof value;
    const LONG status = RegQueryValueExA(currentKey_, name.c_str(), nullptr, &type,
                                         reinterpret_cast<LPBYTE>(&value), &size);
    if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA)
        Raise("Failed to get data for", name);
    if (type != REG_DWORD)
        Raise("Invalid data type for", name);
    return static_cast<int>(value);
}

void TRegistry::WriteInteger(const AnsiString& name, int value) {
    const DWORD data = static_cast<DWORD>(value);
    if (RegSetValueExA(currentKey_, name.c_str(), 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&data), sizeof data) != ERROR_SUCCESS)
        Raise("Failed to set data for", name);
}

bool TRegistry::DeleteValue(const AnsiString& name) {
    return RegDeleteValueA(currentKey_, name.c_str()) == ERROR_SUCCESS;
}
