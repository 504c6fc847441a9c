#include "tests/web/WebServerConfigs.h"

#include <chrono>
#include <fstream>
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
