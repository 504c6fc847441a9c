#include "platform/win32/ShellApi.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <string>
#include <strings.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr intptr_t Started = 42;

HINSTANCE Result(intptr_t code) {
    return reinterpret_cast<HINSTANCE>(code);
}

// The started program runs in another folder, so it is named absolutely.
std::string Absolute(const std::string& path) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved)
        return path;
    const std::string absolute(resolved);
    std::free(resolved);
    return absolute;
}

bool IsExecutableFile(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

// A program name looked up in PATH (a name with "/" is taken as it is).
std::optional<std::string> FindProgram(const std::string& name) {
    if (name.empty())
        return std::nullopt;
    if (name.find('/') != std::string::npos)
        return IsExecutableFile(name) ? std::optional(Absolute(name)) : std::nullopt;
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
    for (size_t start = 0; start <= folders.size();) {
        const size_t end = std::min(folders.find(':', start), folders.size());
        const std::string folder = folders.substr(start, end - start);
        const std::string candidate = (folder.empty() ? "." : folder) + "/" + name;
        if (IsExecutableFile(candidate))
            return Absolute(candidate);
        start = end + 1;
    }
    return std::nullopt;
}

std::optional<std::string> Opener() {
    const char* command = std::getenv("KORVEL_OPEN_COMMAND");
    return FindProgram(command && command[0] ? command : "xdg-open");
}

bool IsAddress(const std::string& file) {
    return file.find("://") != std::string::npos || file.compare(0, 7, "mailto:") == 0;
}

std::string InFolder(const std::string& file, LPCSTR directory) {
    if (file.front() == '/' || !directory || !directory[0])
        return file;
    return std::string(directory) + "/" + file;
}

bool Exists(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

// Blanks separate the parameters; double quotes keep blanks inside one.
std::vector<std::string> SplitParameters(const char* parameters) {
    std::vector<std::string> split;
    std::string current;
    bool quoted = false, any = false;
    for (const char* p = parameters ? parameters : ""; *p; ++p) {
        if (*p == '"') {
            quoted = !quoted;
            any = true;
        } else if ((*p == ' ' || *p == '\t') && !quoted) {
            if (any || !current.empty())
                split.push_back(current);
            current.clear();
            any = false;
        } else
            current += *p;
    }
    if (any || !current.empty())
        split.push_back(current);
    return split;
}

int ErrorCode(int error, bool inFolder) {
    if (inFolder)
        return SE_ERR_PNF;
    if (error == ENOENT)
        return SE_ERR_FNF;
    return error == ENOMEM ? SE_ERR_OOM : SE_ERR_ACCESSDENIED;
}

// Starts the program detached (through a short-lived middle child, so no
// child is left for this process to reap) and returns once it runs or
// failed to start: Started, or an SE_ERR_ code.
intptr_t Launch(const std::string& program, const std::vector<std::string>& arguments,
                LPCSTR directory) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return SE_ERR_OOM;
    const pid_t middle = ::fork();
    if (middle == 0) {
        if (::fork() != 0)
            ::_exit(0);
        ::setsid();
        const int null = ::open("/dev/null", O_RDONLY);
        if (null >= 0)
            ::dup2(null, STDIN_FILENO);
        int failure[2] = {0, 0};
        if (directory && directory[0] && ::chdir(directory) != 0)
            failure[1] = 1;
        else
            ::execv(program.c_str(), argv.data());
        failure[0] = errno;
        [[maybe_unused]] const ssize_t written = ::write(report[1], failure, sizeof failure);
        ::_exit(127);
    }
    ::close(report[1]);
    if (middle < 0) {
        ::close(report[0]);
        return SE_ERR_OOM;
    }
    int status = 0;
    while (::waitpid(middle, &status, 0) < 0 && errno == EINTR) {
    }
    int failure[2];
    ssize_t got;
    while ((got = ::read(report[0], failure, sizeof failure)) < 0 && errno == EINTR) {
    }
    ::close(report[0]);
    return got == static_cast<ssize_t>(sizeof failure) ? ErrorCode(failure[0], failure[1] != 0)
                                                       : Started;
}

} // namespace

HINSTANCE ShellExecuteA(HWND, LPCSTR operation, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                        int) {
    if (operation && ::strcasecmp(operation, "open") != 0)
        return Result(SE_ERR_NOASSOC);
    if (!file || !file[0])
        return Result(SE_ERR_FNF);
    const std::string target = file;
    if (IsAddress(target)) {
        const std::optional<std::string> opener = Opener();
        return Result(opener ? Launch(*opener, {target}, directory) : SE_ERR_NOASSOC);
    }
    if (!Exists(InFolder(target, directory)))
        return Result(SE_ERR_FNF);
    const std::string path = Absolute(InFolder(target, directory));
    if (IsExecutableFile(path))
        return Result(Launch(path, SplitParameters(parameters), directory));
    const std::optional<std::string> opener = Opener();
    return Result(opener ? Launch(*opener, {path}, directory) : SE_ERR_NOASSOC);
}

HINSTANCE FindExecutableA(LPCSTR file, LPCSTR directory, LPSTR result) {
    if (!result)
        return Result(SE_ERR_OOM);
    result[0] = '\0';
    if (!file || !file[0] || !Exists(InFolder(file, directory)))
        return Result(SE_ERR_FNF);
    const std::optional<std::string> opener = Opener();
    if (!opener || opener->size() >= MAX_PATH)
        return Result(SE_ERR_NOASSOC);
    std::memcpy(result, opener->c_str(), opener->size() + 1);
    return Result(Started);
}
