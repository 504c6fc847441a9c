#pragma once
// Synchronous form posts: every exchange with the maker's web server that
// is not a page fetch. The caller waits inside the call while window
// messages go on being processed; there is no time-out. Nothing is shown
// to the user: the result is the reply's reason phrase or a failure text.
//
// The one THTTPConnector holds the proxy settings, a TSettings over
// "software\Hemlow\rq8\proxy" (HKEY_CURRENT_USER): 0 use a proxy (0 no),
// 1 proxy host (may carry ":" and a port, which wins over 2), 2 proxy port,
// 3 proxy user name, 4 proxy password. It reads the key when it is built,
// which needs the cipher singleton (TGlobalBlowFish).

#include "myunits/singleton.h"
#include "platform/vcl/SysUtils.h"

class TSettings;

class THTTPConnector : public Singleton<THTTPConnector> {
public:
    THTTPConnector();
    ~THTTPConnector();
    THTTPConnector(const THTTPConnector&) = delete;
    THTTPConnector& operator=(const THTTPConnector&) = delete;

    // Posts Data unchanged to URL on a fresh client. Response receives the
    // reply body as lines ended by CR LF (empty after a failure).
    AnsiString Post(const AnsiString& URL, const AnsiString& Data, AnsiString& Response);

private:
    TSettings* ProxySettings;
};

// THTTPConnector::Post on the one connector, created on first use and kept
// until the process ends.
AnsiString PostHTTPRequest(const AnsiString& URL, const AnsiString& Data, AnsiString& Response);
// Posts the mail to the form-mail script of the maker's web server; true
// when the reason phrase begins with "OK". The values go out unencoded.
bool SendMailViaWebForm(const AnsiString& subject, const AnsiString& mailfrom,
                        const AnsiString& fromname, const AnsiString& body,
                        const AnsiString& recipient);
// "http://" and the maker's web server: the value "WebServer" of
// Software\Vorlane\Korvel (HKEY_CURRENT_USER), "korvel.example" when it is
// missing or empty. Callers append their script's path.
AnsiString GetWebServerAddress();
// The page of the maker's other game, Tolva+, on that server; its German
// page lies under "/german/".
AnsiString GetOtherGameAddress(bool german);
