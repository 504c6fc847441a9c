#include "tests/web/DebianServer.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "tests/support/LocalNet.h"
#include "tests/support/TestPeer.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int Attempts = 3;

std::string Substitute(std::string text, int port, const std::string& folder) {
    const std::pair<std::string, std::string> fields[] = {{"{port}", std::to_string(port)},
                                                          {"{dir}", folder}};
    for (const auto& [field, value] : fields) {
        for (size_t at = text.find(field); at != std::string::npos;
             at = text.find(field, at + value.size()))
            text.replace(at, field.size(), value);
    }
    return text;
}

// The folder without its closing "/", as the configurations name it.
std::string OpenFolder(const TempFolder& folder) {
    const std::string path = folder.Path().substr(0, folder.Path().size() - 1);
    // Servers that drop their privileges still read their files here.
    std::filesystem::permissions(
        path, std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                  std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                  std::filesystem::perms::others_exec);
    return path;
}

bool Exited(pid_t pid) {
    int status;
    return ::waitpid(pid, &status, WNOHANG) == pid;
}

bool WaitForExit(pid_t pid, int timeoutMs) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < deadline) {
        if (Exited(pid))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

} // namespace

DebianServer::DebianServer(const Config& config, int timeoutMs)
    : folder_("server"), dir_(OpenFolder(folder_)) {
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        if (Start(config, timeoutMs))
            return;
    }
    const std::string log = Log();
    Stop();
    throw std::runtime_error(config.program + " did not listen on 127.0.0.1; its log:\n" + log);
}

DebianServer::~DebianServer() {
    Stop();
}

bool DebianServer::Installed(const std::string& program) {
    return ::access(program.c_str(), X_OK) == 0;
}

std::string DebianServer::Log() const {
    return folder_.Read("server.log");
}

bool DebianServer::Start(const Config& config, int timeoutMs) {
    Stop();
    port_ = FreePort();
    for (const auto& [name, text] : config.files)
        folder_.Write(name, Substitute(text, port_, dir_));
    std::vector<std::string> arguments{config.program};
    for (const std::string& argument : config.arguments)
        arguments.push_back(Substitute(argument, port_, dir_));
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    const std::string log = folder_.File("server.log");

    pid_ = ::fork();
    if (pid_ < 0)
        throw std::runtime_error("cannot start " + config.program);
    if (pid_ == 0) {
        ::setpgid(0, 0);
        const int output = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        ::dup2(output, STDOUT_FILENO);
        ::dup2(output, STDERR_FILENO);
        const int nothing = ::open("/dev/null", O_RDONLY);
        ::dup2(nothing, STDIN_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::setpgid(pid_, pid_);

    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < deadline) {
        if (TestPeer::Connect(port_).Valid())
            return true;
        if (Exited(pid_)) {
            pid_ = -1;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

void DebianServer::Stop() {
    if (pid_ <= 0)
        return;
    ::kill(-pid_, SIGTERM);
    if (!WaitForExit(pid_, 5000)) {
        ::kill(-pid_, SIGKILL);
        WaitForExit(pid_, 5000);
    }
    // Children of the server that outlived it go with the group.
    ::kill(-pid_, SIGKILL);
    pid_ = -1;
}
