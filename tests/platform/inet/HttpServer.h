#pragma once
// A scripted web server on 127.0.0.1 for the HTTP component's tests. It
// runs on the test's own event loop, so it answers while a request waits.
// Every request is recorded; each path has its scripted reply (404 when
// none is set).

#include <QByteArray>
#include <QTcpServer>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QTcpSocket;

struct HttpReply {
    enum Kind {
        Answer, // send `raw`, then close
        Hold,   // accept and never answer
        Drop,   // close without a word
    };
    // A complete reply with Content-Length.
    static HttpReply Page(int status, const std::string& reason, const std::string& body,
                          const std::string& headers = "");

    Kind kind = Answer;
    std::string raw;
    int delayMs = 0;
};

struct HttpRequest {
    std::string method;
    std::string path;
    std::string headers;
    std::string body;
};

class HttpServer {
public:
    HttpServer();
    ~HttpServer();

    std::string Url(const std::string& path) const;
    void On(const std::string& path, HttpReply reply) { replies_[path] = std::move(reply); }

    std::vector<HttpRequest> requests;

private:
    struct Client;
    void Accept();
    void Read(Client& client);
    void Answer(QTcpSocket* socket, const HttpReply& reply);

    QTcpServer server_;
    std::map<std::string, HttpReply> replies_;
    std::vector<std::unique_ptr<Client>> clients_;
};
