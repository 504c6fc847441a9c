#include "tests/support/ScopedEnv.h"

#include <cstdlib>
#include <utility>

ScopedEnv::ScopedEnv(std::string name, const char* value) : name_(std::move(name)) {
    if (const char* old = std::getenv(name_.c_str()))
        saved_ = old;
    Set(value);
}

ScopedEnv::~ScopedEnv() {
    Set(saved_ ? saved_->c_str() : nullptr);
}

void ScopedEnv::Set(const char* value) const {
    if (value)
        setenv(name_.c_str(), value, 1);
    else
        unsetenv(name_.c_str());
}
