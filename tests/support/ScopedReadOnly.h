#pragma once
// Takes every write permission from a folder for as long as the object
// lives, then puts back the permissions it had: an installed game's
// program folder, in a folder of the test's own.

#include <filesystem>
#include <string>

class ScopedReadOnly {
public:
    explicit ScopedReadOnly(std::string folder);
    ~ScopedReadOnly();
    ScopedReadOnly(const ScopedReadOnly&) = delete;
    ScopedReadOnly& operator=(const ScopedReadOnly&) = delete;

private:
    std::string folder_;
    std::filesystem::perms saved_;
};
