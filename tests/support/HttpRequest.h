#pragma once
// One HTTP request as a test server reads it off its connection.

#include <string>

#include "tests/support/Pump.h"
#include "tests/support/TestPeer.h"

struct HttpRequest {
    // Everything up to and including the empty line.
    std::string header;
    std::string body;
    // From the request line: the method and the target as sent.
    std::string method;
    std::string path;

    std::string Raw() const { return header + body; }
    std::string RequestLine() const { return header.substr(0, header.find("\r\n")); }
    // The value of the first header line of that name (in any case), ""
    // when there is none.
    std::string Field(const std::string& name) const;
};

// Reads the header, then as many body bytes as its Content-Length says.
HttpRequest ReadHttpRequest(TestPeer& connection, int timeoutMs = WaitBoundMs);
