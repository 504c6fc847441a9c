#include "tests/web/HttpTestServer.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <strings.h>
#include <thread>

namespace httptest {

std::string Request::Field(const std::string& name) const {
    const std::string wanted = name + ":";
    for (size_t at = header.find("\r\n"); at != std::string::npos;) {
        const size_t start = at + 2;
        at = header.find("\r\n", start);
        const std::string line = header.substr(start, at - start);
        if (line.size() >= wanted.size() &&
            ::strncasecmp(line.c_str(), wanted.c_str(), wanted.size()) == 0) {
            const size_t value = line.find_first_not_of(' ', wanted.size());
            return value == std::string::npos ? "" : line.substr(value);
        }
    }
    return "";
}

Request ReadRequest(testnet::Connection& connection, int timeoutMs) {
    Request request;
    while (request.header.size() < 4 ||
           request.header.compare(request.header.size() - 4, 4, "\r\n\r\n") != 0) {
        const std::string byte = connection.Receive(1, timeoutMs);
        if (byte.empty())
            return request;
        request.header += byte;
    }
    const std::string length = request.Field("Content-Length");
    if (!length.empty())
        request.body = connection.Receive(std::strtoul(length.c_str(), nullptr, 10), timeoutMs);
    return request;
}

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
              "  server {\n"
              "    listen 127.0.0.1:{port};\n"
              "    root {dir};\n"
              "    location = /moved { return 302 /hello.txt; }\n"
              "    location = /relative { absolute_redirect off; return 302 /hello.txt; }\n"
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

std::string ReadLogOnceItHolds(const std::string& path, const std::string& line, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string log = ReadFile(path);
    while (log.find(line) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        log = ReadFile(path);
    }
    return log;
}

} // namespace httptest
