#include "platform/win32/UserFolders.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::string BaseFolder(const char* variable, const char* underHome) {
    const char* value = std::getenv(variable);
    if (value && value[0] == '/')
        return value;
    return UserHome() + underHome;
}

bool InGroup(gid_t group) {
    if (group == getegid())
        return true;
    const int count = getgroups(0, nullptr);
    std::vector<gid_t> groups(count > 0 ? count : 0);
    const int read = getgroups(static_cast<int>(groups.size()), groups.data());
    for (int i = 0; i < read; ++i)
        if (groups[i] == group)
            return true;
    return false;
}

// The write bit of the class the process falls in: owner, group or other.
bool ModeLetsWrite(const struct stat& info) {
    if (info.st_uid == geteuid())
        return info.st_mode & S_IWUSR;
    if (InGroup(info.st_gid))
        return info.st_mode & S_IWGRP;
    return info.st_mode & S_IWOTH;
}

} // namespace

std::string UserHome() {
    const char* home = std::getenv("HOME");
    if (home && home[0])
        return home;
    const passwd* user = getpwuid(getuid());
    return user ? user->pw_dir : "/";
}

std::string UserStateHome() {
    return BaseFolder("XDG_STATE_HOME", "/.local/state");
}

std::string UserDataHome() {
    return BaseFolder("XDG_DATA_HOME", "/.local/share");
}

bool FolderIsWritable(const std::string& folder) {
    struct stat info {};
    return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && ModeLetsWrite(info) &&
           ::access(folder.c_str(), W_OK | X_OK) == 0;
}

bool CreateUserFolder(const std::string& folder) {
    for (size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
        const std::string part = folder.substr(0, end);
        if (!part.empty() && ::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (end == std::string::npos)
            break;
    }
    struct stat info {};
    return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}
