#pragma once
// One registry tree in memory, and its text form.
//
// The text form (the hive file of HKEY_CURRENT_USER) reads like this:
//
//     Korvel registry 1
//     ; comment lines begin with a semicolon
//
//     [Software\Hemlow\rq8]
//     "Version"="1.4"
//     "~MHz"=dword:00000bb8
//
// - The first line names the format: exactly "Korvel registry 1".
// - Lines end with LF (a CR before it is ignored). Blank lines and lines
//   beginning with ";" are ignored; blanks around a line are ignored.
// - "[path]" begins a key; the path runs from the root, key names joined by
//   "\". In key names "%HH" (two hexadecimal digits) stands for the byte HH;
//   it is written for "%", for control bytes (0-31 and 127) and for bytes
//   that are not part of valid UTF-8. "[]" is the root itself. A key that
//   has subkeys need not be written: its subkeys' paths imply it.
// - Each line after it sets one value of that key: the value's name in
//   double quotes, "=", then either a text in double quotes (REG_SZ) or
//   "dword:" and one to eight hexadecimal digits (REG_DWORD). Blanks around
//   "=" are allowed. In quoted names and texts "\\" is a backslash, "\"" a
//   double quote and "\xHH" the byte HH; "\x" is written for control bytes
//   and for bytes that are not part of valid UTF-8, so any bytes survive.
// - A key or value written twice (in any letter case) is one key or value;
//   the value's last line wins.
// - Keys nest at most MaxKeyDepth deep below the root, as in Windows.
//
// Key and value names are matched without regard to the case of A-Z; a
// name keeps the case it was first written with. Values and subkeys keep
// the order in which they were first written, and are found by an index of
// their names.

#include <list>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/win32/WinTypes.h"

// A hive text that breaks the format; the message names the line.
class RegistryFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

constexpr size_t MaxKeyDepth = 512;

struct RegistryValue {
    std::string Name;
    DWORD Type;
    std::string Data; // REG_SZ: the text's bytes; REG_DWORD: 4 bytes, little-endian
};

// Matches names as the registry does: A-Z equal a-z.
bool SameRegistryName(const std::string& a, const std::string& b);

// Orders names so that the names SameRegistryName matches are equal.
struct RegistryNameOrder {
    bool operator()(const std::string& a, const std::string& b) const;
};

class RegistryKey {
public:
    explicit RegistryKey(std::string name) : Name(std::move(name)) {}
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // A copy of the key with everything below it.
    std::unique_ptr<RegistryKey> Clone() const;

    RegistryKey* FindSubkey(const std::string& name) const;
    // The subkey of that name, added when missing.
    RegistryKey& Subkey(const std::string& name);
    // The key below this one at that path, with every missing key on the
    // way added; `created` tells whether the key itself was new.
    RegistryKey& Create(const std::vector<std::string>& path, bool* created = nullptr);
    const RegistryValue* FindValue(const std::string& name) const;
    // Returns whether anything changed.
    bool SetValue(const std::string& name, DWORD type, const std::string& data);
    bool DeleteValue(const std::string& name);

    const std::list<RegistryValue>& Values() const { return values_; }
    const std::vector<std::unique_ptr<RegistryKey>>& Subkeys() const { return subkeys_; }

    const std::string Name;

private:
    std::list<RegistryValue> values_;
    std::map<std::string, std::list<RegistryValue>::iterator, RegistryNameOrder> valueIndex_;
    std::vector<std::unique_ptr<RegistryKey>> subkeys_;
    std::map<std::string, RegistryKey*, RegistryNameOrder> subkeyIndex_;
};

using RegistryPath = std::vector<std::string>;

class RegistryHive {
public:
    RegistryHive() = default;

    // Raises RegistryFormatError.
    static RegistryHive Parse(const std::string& text);
    std::string Text() const;
    RegistryHive Clone() const;

    RegistryKey* Find(const RegistryPath& path) const;
    RegistryKey& Create(const RegistryPath& path, bool* created = nullptr) {
        return root_->Create(path, created);
    }

    const RegistryKey& Root() const { return *root_; }

private:
    std::unique_ptr<RegistryKey> root_ = std::make_unique<RegistryKey>("");
};

// The value of a REG_DWORD's data, and the data of a value.
std::string DwordData(DWORD value);
DWORD DwordValue(const std::string& data);
