#include "tests/platform/inet/HttpServer.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QTimer>
#include <stdexcept>

struct HttpServer::Client {
    QTcpSocket* socket;
    QByteArray received;
    bool answered = false;
};

namespace {

std::string Header(const std::string& headers, const std::string& name) {
    const size_t at = headers.find("\r\n" + name + ": ");
    if (at == std::string::npos)
        return "";
    const size_t start = at + name.size() + 4;
    return headers.substr(start, headers.find("\r\n", start) - start);
}

} // namespace

HttpReply HttpReply::Page(int status, const std::string& reason, const std::string& body,
                          const std::string& headers) {
    HttpReply reply;
    reply.raw = "HTTP/1.1 " + std::to_string(status) + " " + reason +
                "\r\nContent-Type: text/html\r\nContent-Length: " + std::to_string(body.size()) +
                "\r\nConnection: close\r\n" + headers + "\r\n" + body;
    return reply;
}

HttpServer::HttpServer() {
    if (!server_.listen(QHostAddress::LocalHost, 0))
        throw std::runtime_error("test web server could not listen");
    QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] { Accept(); });
}

HttpServer::~HttpServer() {
    for (auto& client : clients_)
        delete client->socket;
}

std::string HttpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(server_.serverPort()) + path;
}

void HttpServer::Accept() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        socket->setParent(nullptr);
        clients_.push_back(std::make_unique<Client>(Client{socket, {}}));
        Client* client = clients_.back().get();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, client] { Read(*client); });
    }
}

void HttpServer::Read(Client& client) {
    client.received += client.socket->readAll();
    const std::string text = client.received.toStdString();
    const size_t end = text.find("\r\n\r\n");
    if (client.answered || end == std::string::npos)
        return;
    HttpRequest request;
    request.headers = text.substr(0, end + 2);
    const std::string length = Header(request.headers, "Content-Length");
    const size_t bodyLength = length.empty() ? 0 : std::stoul(length);
    if (text.size() < end + 4 + bodyLength)
        return;
    request.body = text.substr(end + 4, bodyLength);
    const size_t space = text.find(' ');
    request.method = text.substr(0, space);
    request.path = text.substr(space + 1, text.find(' ', space + 1) - space - 1);
    requests.push_back(request);
    client.answered = true;
    const auto scripted = replies_.find(request.path);
    const HttpReply reply = scripted != replies_.end()
                                ? scripted->second
                                : HttpReply::Page(404, "Not Found", "<html>no such page</html>");
    QTimer::singleShot(reply.delayMs, client.socket,
                       [this, socket = client.socket, reply] { Answer(socket, reply); });
}

void HttpServer::Answer(QTcpSocket* socket, const HttpReply& reply) {
    switch (reply.kind) {
    case HttpReply::Hold:
        return;
    case HttpReply::Drop:
        socket->abort();
        return;
    case HttpReply::Answer:
        socket->write(reply.raw.data(), qint64(reply.raw.size()));
        socket->disconnectFromHost();
        return;
    }
}
