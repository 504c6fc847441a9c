#pragma once
// An indexed list of text settings kept in one registry key. Each value is
// stored enciphered behind a checksum, in pieces of at most 30 characters;
// a value that does not read back intact falls back to its default.

#include <memory>

#include "platform/vcl/Classes.h"
#include "platform/win32/WinTypes.h"

class TRegistry;

class TSettings {
public:
    // `path` is a key path below `rootKey` with single backslashes;
    // `defaults` stays the caller's (it is copied). Loads the key and
    // rewrites it at once unless read-only.
    TSettings(const AnsiString& path, const TStrings* defaults, HKEY rootKey, bool readOnly);
    ~TSettings();
    TSettings(const TSettings&) = delete;
    TSettings& operator=(const TSettings&) = delete;

    // "0" for an index past the end.
    AnsiString Get(int index);
    // Stores the value and rewrites the whole key; always true.
    bool Set(const AnsiString& value, int index);
    // The default at that index when the value is no decimal number.
    int GetInt(int index);
    void SetInt(int value, int index);

private:
    bool Load();
    void Save();
    void ReadValue(TRegistry& registry, int index);
    void WriteValue(TRegistry& registry, int index);
    AnsiString DefaultAt(int index) const;

    AnsiString ClassVersion;
    std::unique_ptr<TStringList> Values;
    std::unique_ptr<TStringList> Defaults;
    AnsiString Path;
    HKEY RootKey;
    bool ReadOnly;
};
