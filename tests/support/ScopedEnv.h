#pragma once
// Sets (or unsets) an environment variable for as long as the object
// lives, then puts back what was there, so no test leaves the process
// changed for the next one.

#include <optional>
#include <string>

class ScopedEnv {
public:
    // A null value unsets the variable.
    ScopedEnv(std::string name, const char* value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

    void Set(const char* value) const;

private:
    std::string name_;
    std::optional<std::string> saved_;
};
