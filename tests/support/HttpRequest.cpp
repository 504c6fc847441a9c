#include "tests/support/HttpRequest.h"

#include <cstdlib>
#include <strings.h>

std::string HttpRequest::Field(const std::string& name) const {
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

HttpRequest ReadHttpRequest(TestPeer& connection, int timeoutMs) {
    HttpRequest request;
    while (!request.header.ends_with("\r\n\r\n")) {
        const std::string byte = connection.Receive(1, timeoutMs);
        if (byte.empty())
            return request;
        request.header += byte;
    }
    const std::string length = request.Field("Content-Length");
    if (!length.empty())
        request.body = connection.Receive(std::strtoul(length.c_str(), nullptr, 10), timeoutMs);
    const std::string line = request.RequestLine();
    const size_t blank = line.find(' ');
    request.method = line.substr(0, blank);
    if (blank != std::string::npos)
        request.path = line.substr(blank + 1, line.find(' ', blank + 1) - blank - 1);
    return request;
}
