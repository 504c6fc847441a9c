#pragma once
// A scripted web server of the test's own on 127.0.0.1 at a free port. It
// serves on threads of its own, so it answers while the test's thread
// waits inside the component under test. Every whole request is recorded
// before its reply goes out; each path has the reply the test chose, and a
// path without one is answered "404 Not Found".

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/HttpRequest.h"
#include "tests/support/TestListener.h"
#include "tests/support/TestPeer.h"

class HttpServer {
public:
    struct Reply {
        enum Kind {
            Answer, // sends `raw`, then ends the connection
            Hold,   // keeps the request until Release(), then answers
            Drop,   // ends the connection without a word
        };
        // A whole reply with Content-Length; `headers` are further header
        // lines, each ending with "\r\n".
        static Reply Page(int status, const std::string& reason, const std::string& body,
                          const std::string& headers = "");

        Kind kind = Answer;
        std::string raw;
    };

    HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;
    ~HttpServer();

    int Port() const { return listener_.Port(); }
    // "http://127.0.0.1:<port>" and the path.
    std::string Url(const std::string& path) const;

    // The reply to every later request of that path.
    void On(const std::string& path, const Reply& reply);
    // Held requests are answered from now on, and later ones at once.
    void Release();

    std::vector<HttpRequest> Requests() const;

private:
    void Serve();
    void Handle(TestPeer& connection);

    TestListener listener_;
    mutable std::mutex mutex_;
    std::map<std::string, Reply> replies_;
    std::vector<HttpRequest> requests_;
    std::atomic<bool> released_{false};
    std::atomic<bool> stopping_{false};
    // Of the serving thread alone until it has ended.
    std::vector<std::thread> connections_;
    std::thread thread_;
};
