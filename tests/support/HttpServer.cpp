#include "tests/support/HttpServer.h"

#include <chrono>

namespace {

// How often waiting connections look whether the server stops.
constexpr int SliceMs = 20;

} // namespace

HttpServer::Reply HttpServer::Reply::Page(int status, const std::string& reason,
                                          const std::string& body, const std::string& headers) {
    Reply reply;
    reply.raw = "HTTP/1.0 " + std::to_string(status) + " " + reason +
                "\r\nContent-Type: text/html\r\nContent-Length: " + std::to_string(body.size()) +
                "\r\nConnection: close\r\n" + headers + "\r\n" + body;
    return reply;
}

HttpServer::HttpServer() : thread_([this] { Serve(); }) {}

HttpServer::~HttpServer() {
    stopping_ = true;
    thread_.join();
    for (std::thread& connection : connections_)
        connection.join();
}

std::string HttpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(Port()) + path;
}

void HttpServer::On(const std::string& path, const Reply& reply) {
    const std::lock_guard lock(mutex_);
    replies_[path] = reply;
}

void HttpServer::Release() {
    released_ = true;
}

std::vector<HttpRequest> HttpServer::Requests() const {
    const std::lock_guard lock(mutex_);
    return requests_;
}

void HttpServer::Serve() {
    while (!stopping_) {
        TestPeer connection = listener_.Accept(SliceMs);
        if (connection.Valid())
            connections_.emplace_back(
                [this, connection = std::move(connection)]() mutable { Handle(connection); });
    }
}

void HttpServer::Handle(TestPeer& connection) {
    const HttpRequest request = ReadHttpRequest(connection);
    // A connection that ends before its request is whole asks for nothing.
    if (!request.header.ends_with("\r\n\r\n"))
        return;
    Reply reply = Reply::Page(404, "Not Found", "<html>no such page</html>");
    {
        const std::lock_guard lock(mutex_);
        requests_.push_back(request);
        const auto scripted = replies_.find(request.path);
        if (scripted != replies_.end())
            reply = scripted->second;
    }
    if (reply.kind == Reply::Drop)
        return;
    while (reply.kind == Reply::Hold && !released_) {
        if (stopping_ || connection.WaitForEnd(SliceMs))
            return;
    }
    connection.Send(reply.raw);
    connection.ShutdownSend();
    // The client reads the reply to its end before the connection goes.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(WaitBoundMs);
    while (!stopping_ && std::chrono::steady_clock::now() < deadline &&
           !connection.WaitForEnd(SliceMs)) {
    }
}
