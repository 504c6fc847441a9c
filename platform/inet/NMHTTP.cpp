#include "platform/inet/NMHTTP.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include "platform/vcl/MessageLoop.h"

namespace {

AnsiString ToAnsi(const QByteArray& bytes) {
    return AnsiString(bytes.constData(), size_t(bytes.size()));
}

} // namespace

TNMHTTP::TNMHTTP(TComponent* AOwner)
    : TComponent(AOwner), Body([this] { return body_; }), life_(std::make_shared<char>()) {}

TNMHTTP::~TNMHTTP() {
    // A request that waits ends with the manager; its wait then raises.
    if (waiting_)
        waiting_->quit();
}

void TNMHTTP::Get(const AnsiString& URL) {
    const QNetworkRequest request = Prepare(URL);
    Wait(manager_->get(request));
}

void TNMHTTP::Post(const AnsiString& URL, const AnsiString& PostData) {
    QNetworkRequest request = Prepare(URL);
    request.setHeader(QNetworkRequest::ContentTypeHeader, "application/x-www-form-urlencoded");
    Wait(manager_->post(request, QByteArray(PostData.data(), qsizetype(PostData.size()))));
}

QNetworkRequest TNMHTTP::Prepare(const AnsiString& URL) {
    if (waiting_)
        throw Exception("HTTP request while another one is waiting");
    if (!QCoreApplication::instance())
        throw Exception("HTTP request without an event loop");
    if (!manager_) {
        manager_ = std::make_unique<QNetworkAccessManager>();
        manager_->setProxy(QNetworkProxy::NoProxy);
    }
    body_.clear();
    QNetworkRequest request(QUrl(QString::fromStdString(URL)));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(TimeOut);
    return request;
}

void TNMHTTP::Wait(QNetworkReply* reply) {
    const TNestedLoop nested;
    const std::weak_ptr<char> alive = life_;
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    waiting_ = &loop;
    if (!reply->isFinished())
        loop.exec();
    if (alive.expired())
        throw Exception("HTTP request cancelled: its component was freed");
    waiting_ = nullptr;
    Finish(reply);
}

void TNMHTTP::Finish(QNetworkReply* reply) {
    std::unique_ptr<QNetworkReply> owned(reply);
    if (!reply->isFinished())
        throw Exception("HTTP request cancelled: the program is ending");
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 400) {
        body_ = ToAnsi(reply->readAll());
        throw Exception(
            "HTTP " + IntToStr(status) + " " +
            ToAnsi(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray()));
    }
    // A reply that broke off gives no body at all.
    // Qt cancels a request that makes no progress for TimeOut ms.
    if (reply->error() == QNetworkReply::OperationCanceledError)
        throw Exception("HTTP request timed out: no progress for " + IntToStr(TimeOut) + " ms");
    if (reply->error() != QNetworkReply::NoError)
        throw Exception(reply->errorString().toStdString());
    body_ = ToAnsi(reply->readAll());
}
