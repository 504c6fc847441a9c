#include "tests/support/ScopedReadOnly.h"

#include <utility>

namespace fs = std::filesystem;

ScopedReadOnly::ScopedReadOnly(std::string folder)
    : folder_(std::move(folder)), saved_(fs::status(folder_).permissions()) {
    fs::permissions(folder_,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
}

ScopedReadOnly::~ScopedReadOnly() {
    fs::permissions(folder_, saved_, fs::perm_options::replace);
}
