#pragma once
// A server program from Debian, started for a test on 127.0.0.1:
//
//   DebianServer dante({"/usr/sbin/danted", {"-f", "{dir}/sockd.conf", "-p", "{dir}/pid"},
//                       {{"sockd.conf", "internal: 127.0.0.1 port = {port}\n..."}}});
//   ... connect to dante.Port() ...
//
// The files are written into a fresh temporary folder (a TempFolder), with "{port}" and
// "{dir}" in them and in the arguments replaced by the server's free port
// and that folder. The server runs in a process group of its own with its
// output in "{dir}/server.log"; the constructor returns once the port
// accepts connections (a server that exits first is started again on
// another port, as the port may have been taken meanwhile) and throws
// std::runtime_error with the log when it never does. The destructor stops
// the whole group (SIGTERM, then SIGKILL) and removes the folder.

#include <map>
#include <string>
#include <sys/types.h>
#include <vector>

#include "tests/support/Pump.h"
#include "tests/support/TempFolder.h"

class DebianServer {
public:
    struct Config {
        std::string program;
        std::vector<std::string> arguments;
        std::map<std::string, std::string> files;
    };

    explicit DebianServer(const Config& config, int timeoutMs = WaitBoundMs);
    DebianServer(const DebianServer&) = delete;
    DebianServer& operator=(const DebianServer&) = delete;
    ~DebianServer();

    int Port() const { return port_; }
    // The folder, without a closing "/".
    const std::string& Folder() const { return dir_; }
    std::string Log() const;

    // Whether the program is there to be run (else the test should fail
    // with a hint at scripts/setup).
    static bool Installed(const std::string& program);

private:
    bool Start(const Config& config, int timeoutMs);
    void Stop();

    TempFolder folder_;
    std::string dir_;
    int port_ = 0;
    pid_t pid_ = -1;
};
