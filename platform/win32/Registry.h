#pragma once
// The class library's registry object: one current key below a root,
// opened by path, with typed reads and writes of its values.
//
// Paths given to OpenKey and KeyExists are relative to the current key, or
// to the root when they begin with "\" or no key is open. Reading or
// writing a value fails with ERegistryException ("Failed to get data for
// 'x'", "Failed to set data for 'x'", "Invalid data type for 'x'"), except
// that ReadString of a missing value gives "". Texts keep every byte,
// NULs inside them included.

#include "platform/vcl/Classes.h"
#include "platform/win32/WinReg.h"

class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

class TRegistry : public TObject {
public:
    TRegistry();
    explicit TRegistry(DWORD access);
    ~TRegistry() override;

    // Setting the root closes the current key.
    Property<HKEY> RootKey;
    ReadOnlyProperty<HKEY> CurrentKey;
    ReadOnlyProperty<AnsiString> CurrentPath;
    // The rights OpenKey asks for (KEY_ALL_ACCESS unless given);
    // OpenKeyReadOnly asks for KEY_READ and leaves Access as it is.
    Property<DWORD> Access;

    bool OpenKey(const AnsiString& key, bool canCreate);
    bool OpenKeyReadOnly(const AnsiString& key);
    void CloseKey();
    bool KeyExists(const AnsiString& key);

    bool ValueExists(const AnsiString& name);
    TRegDataType GetDataType(const AnsiString& name);
    AnsiString ReadString(const AnsiString& name);
    void WriteString(const AnsiString& name, const AnsiString& value);
    int ReadInteger(const AnsiString& name);
    void WriteInteger(const AnsiString& name, int value);
    bool DeleteValue(const AnsiString& name);

private:
    HKEY BaseKeyFor(const AnsiString& key) const;
    AnsiString PathFor(const AnsiString& key) const;
    void ChangeKey(HKEY key, const AnsiString& path);

    HKEY rootKey_ = HKEY_CURRENT_USER;
    HKEY currentKey_ = nullptr;
    AnsiString currentPath_;
    DWORD access_;
};
