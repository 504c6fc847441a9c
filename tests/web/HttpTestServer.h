#pragma once
// What the HTTP tests serve and capture: one request read off a test
// connection, and the configurations of Debian's nginx and tinyproxy.

#include <string>

#include "tests/web/DebianServer.h"
#include "tests/web/Peer.h"

namespace httptest {

struct Request {
    // Everything up to and including the empty line.
    std::string header;
    std::string body;

    std::string Raw() const { return header + body; }
    std::string RequestLine() const { return header.substr(0, header.find("\r\n")); }
    // The value of the first header line of that name, "" when none.
    std::string Field(const std::string& name) const;
};

// Reads the header, then as many body bytes as its Content-Length says.
Request ReadRequest(testnet::Connection& connection, int timeoutMs = 5000);

// nginx on 127.0.0.1 serving {dir} (with hello.txt), with "/moved" answering 302 to
// "/hello.txt", "/relative" the same as a relative Location, and POSTs to
// "/cgi-bin/post.pl" answered "posted" (the body logged in {dir}/posts.log).
DebianServer::Config NginxConfig();
// tinyproxy on 127.0.0.1; `extra` is appended to its configuration.
DebianServer::Config TinyproxyConfig(const std::string& extra = "");

// The contents of a file, "" when it cannot be read.
std::string ReadFile(const std::string& path);
// nginx writes a request's log line after it has sent the reply: the log
// once it holds `line`, or as it is when `timeoutMs` have passed.
std::string ReadLogOnceItHolds(const std::string& path, const std::string& line,
                               int timeoutMs = 5000);

} // namespace httptest
