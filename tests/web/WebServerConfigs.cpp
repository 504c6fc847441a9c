#include "tests/web/WebServerConfigs.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

namespace httptest {

DebianServer::Config NginxConfig() {
    return {"/usr/sbin/nginx",
            {"-p", "{dir}", "-c", "{dir}/nginx.conf", "-e", "{dir}/error.log"},
            {{"nginx.conf",
              "daemon off;\n"
              "master_process off;\n"
              "worker_processes 1;\n"
              "pid {dir}/nginx.pid;\n"
              "error_log {dir}/error.log;\n"
              "events { worker_connections 64; }\n"
              "http {\n"
              "  access_log off;\n"
              "  client_body_temp_path {dir}/body;\n"
              "  proxy_temp_path {dir}/proxy;\n"
              "  fastcgi_temp_path {dir}/fastcgi;\n"
              "  uwsgi_temp_path {dir}/uwsgi;\n"
              "  scgi_temp_path {dir}/scgi;\n"
              "  default_type text/plain;\n"
              "  log_format posts '$request_method $request_uri [$request_body]';\n"
              "  log_format loops '$request_uri';\n"
              "  server {\n"
              "    listen 127.0.0.1:{port};\n"
              "    root {dir};\n"
              "    location = /moved { return 302 /hello.txt; }\n"
              "    location = /relative { absolute_redirect off; return 302 /hello.txt; }\n"
              "    location = /loop {\n"
              "      access_log {dir}/loop.log loops;\n"
              "      return 302 /loop;\n"
              "    }\n"
              "    location = /cgi-bin/post.pl {\n"
              "      access_log {dir}/posts.log posts;\n"
              "      proxy_pass http://127.0.0.1:{port}/posted;\n"
              "    }\n"
              "    location = /posted { return 200 \"posted\\n\"; }\n"
              "  }\n"
              "}\n"},
             {"hello.txt", "Hello from nginx\n"}}};
}

DebianServer::Config TinyproxyConfig(const std::string& extra) {
    return {"/usr/bin/tinyproxy",
            {"-d", "-c", "{dir}/tinyproxy.conf"},
            {{"tinyproxy.conf", "Port {port}\n"
                                "Listen 127.0.0.1\n"
                                "Timeout 30\n"
                                "LogLevel Info\n"
                                "MaxClients 10\n"
                                "Allow 127.0.0.1\n"
                                "DisableViaHeader Yes\n" +
                                    extra}}};
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

namespace {

std::string ReadLogOnce(const std::string& path,
                        const std::function<bool(const std::string&)>& done, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string log = ReadFile(path);
    while (!done(log) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        log = ReadFile(path);
    }
    return log;
}

} // namespace

std::string ReadLogOnceItHolds(const std::string& path, const std::string& line, int timeoutMs) {
    return ReadLogOnce(
        path, [&](const std::string& log) { return log.find(line) != std::string::npos; },
        timeoutMs);
}

std::string ReadLogOnceItHasLines(const std::string& path, size_t count, int timeoutMs) {
    return ReadLogOnce(
        path,
        [&](const std::string& log) {
            return static_cast<size_t>(std::count(log.begin(), log.end(), '\n')) >= count;
        },
        timeoutMs);
}

} // namespace httptest
