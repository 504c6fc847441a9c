#pragma once
// Debian's web servers as the HTTP tests run them: the configurations of
// nginx and tinyproxy, and reading the logs they write.

#include <cstddef>
#include <string>

#include "tests/support/Pump.h"
#include "tests/web/DebianServer.h"

namespace httptest {

// nginx on 127.0.0.1 serving {dir} (with hello.txt), with "/moved" answering 302 to
// "/hello.txt", "/relative" the same as a relative Location, "/loop" answering 302 to
// itself (each request logged as a line of {dir}/loop.log), and POSTs to
// "/cgi-bin/post.pl" answered "posted" (the body logged in {dir}/posts.log).
DebianServer::Config NginxConfig();
// tinyproxy on 127.0.0.1; `extra` is appended to its configuration.
DebianServer::Config TinyproxyConfig(const std::string& extra = "");

// The contents of a file, "" when it cannot be read.
std::string ReadFile(const std::string& path);
// nginx writes a request's log line after it has sent the reply: the log
// once it holds `line`, or as it is when `timeoutMs` have passed.
std::string ReadLogOnceItHolds(const std::string& path, const std::string& line,
                               int timeoutMs = WaitBoundMs);
// The same once the log has at least `count` lines.
std::string ReadLogOnceItHasLines(const std::string& path, size_t count,
                                  int timeoutMs = WaitBoundMs);

} // namespace httptest
