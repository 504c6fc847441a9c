#pragma once
// The class library's HTTP component, as the high-score window and the
// survey use it: Get fetches a page, Post sends a form body, and each
// waits for the whole reply while the event loop runs on, so windows
// repaint, timers fire and sockets report in the meantime. The reply's
// body, byte for byte, is then in Body.
//
// Get and Post raise Exception when the request fails: no connection, a
// malformed URL, a reply that breaks off, TimeOut milliseconds without any
// progress, or a reply with a status of 400 or more (Body then holds that
// reply's body). Redirects are followed. No proxy is used.
//
// One request at a time: a Get or Post started from inside the wait of
// another (a timer handler, say) raises at once. Freeing the component
// during the wait ends the request, which then raises.

#include <memory>

#include "platform/vcl/Classes.h"

class QEventLoop;
class QNetworkAccessManager;
class QNetworkRequest;
class QNetworkReply;

class TNMHTTP : public TComponent {
public:
    explicit TNMHTTP(TComponent* AOwner);
    ~TNMHTTP() override;

    void Get(const AnsiString& URL);
    // Sends PostData unchanged as a form body
    // (application/x-www-form-urlencoded).
    void Post(const AnsiString& URL, const AnsiString& PostData);

    ReadOnlyProperty<AnsiString> Body;
    // Milliseconds without progress before a request fails; 0 waits for
    // ever.
    int TimeOut = 30000;

private:
    QNetworkRequest Prepare(const AnsiString& URL);
    void Wait(QNetworkReply* reply);
    void Finish(QNetworkReply* reply);

    std::unique_ptr<QNetworkAccessManager> manager_;
    AnsiString body_;
    QEventLoop* waiting_ = nullptr;
    std::shared_ptr<char> life_;
};
