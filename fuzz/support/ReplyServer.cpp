#include "fuzz/support/ReplyServer.h"

#include "tests/support/HttpRequest.h"

namespace {

// Bounds of one connection: a client that neither asks nor ends in this
// time is left.
constexpr int RequestBoundMs = 2000;
constexpr int EndBoundMs = 2000;
// How often an idle server looks whether it stops.
constexpr int SliceMs = 50;

} // namespace

ReplyServer::ReplyServer(Mode mode) : mode_(mode), thread_([this] { Serve(); }) {}

ReplyServer::~ReplyServer() {
    stopping_ = true;
    thread_.join();
}

void ReplyServer::Answer(const std::string& reply) {
    const std::lock_guard lock(mutex_);
    reply_ = reply;
}

void ReplyServer::Serve() {
    while (!stopping_) {
        TestPeer connection = listener_.Accept(SliceMs);
        if (connection.Valid())
            Handle(connection);
    }
}

void ReplyServer::Handle(TestPeer& connection) {
    if (mode_ == ReadsHttpRequest)
        ReadHttpRequest(connection, RequestBoundMs);
    std::string reply;
    {
        const std::lock_guard lock(mutex_);
        reply = reply_;
    }
    connection.Send(reply);
    connection.ShutdownSend();
    connection.WaitForEnd(EndBoundMs);
}
