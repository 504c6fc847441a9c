#pragma once
// The HTTP client component: one HTTP/1.0 request at a time (GET, POST or
// HEAD), directly or through a proxy, over a TWSocket. A request runs as a
// chain of socket notifications on the thread that created the client; the
// synchronous Get, Post and Head start that chain and pump messages until
// the client is ready again, with no time-out. The reply body goes into
// ReplyStream until the server closes the connection.
//
// Every reply line passes through one receive buffer of 8193 bytes, and
// the header of one reply may hold at most MaxHeaderSize bytes: a reply
// that outgrows either is cut off by aborting the connection.

#include <cstdint>
#include <functional>

#include "platform/vcl/Classes.h"
#include "web/HttpException.h"
#include "web/HttpProtFunctions.h"
#include "web/WSocket.h"

enum THttpState {
    httpReady,
    httpNotConnected,
    httpConnected,
    httpDnsLookup,
    httpDnsLookupDone,
    httpWaitingHeader,
    httpWaitingBody,
    httpAborting
};

enum THttpRequest { httpAbort, httpGET, httpPOST, httpHEAD };

// The line may be changed by the handler; an empty line sends only CR LF.
using THttpCommandEvent = std::function<void(TObject* Sender, AnsiString& Data)>;
using TDocDataEvent = std::function<void(TObject* Sender, const char* Buffer, int Len)>;
using THttpRequestDone = std::function<void(TObject* Sender, THttpRequest RqType, WORD Error)>;
using TCookieRcvdEvent = std::function<void(TObject* Sender, const AnsiString& Data, bool& Accept)>;

// Messages of the client's hidden window.
constexpr UINT WM_HTTP_REQUEST_DONE = WM_USER + 1;
constexpr UINT WM_HTTP_SET_READY = WM_USER + 2;
constexpr UINT WM_HTTP_LOGIN = WM_USER + 3;

// The receive and send buffers; a reply line must end within it.
constexpr int HTTP_RCV_BUF_SIZE = 8193;
constexpr int HTTP_SND_BUF_SIZE = 8193;

class THttpCli : public TComponent {
public:
    explicit THttpCli(TComponent* AOwner);
    ~THttpCli() override;

    // Synchronous: they return when the request is over and raise
    // EHttpException for a status of 400 or more (every failure of the
    // connection shows as status 404 with its ReasonPhrase).
    void Get();
    void Post();
    void Head();
    // Start the request and return; OnRequestDone reports its end.
    void GetASync();
    void PostASync();
    void HeadASync();
    void Abort();

    AnsiString URL;
    AnsiString LocalAddr = "0.0.0.0";
    // Host, optionally with ":" and a port; empty: no proxy.
    AnsiString Proxy;
    AnsiString ProxyPort = "80";
    AnsiString Sender;
    AnsiString Agent = "Mozilla/3.0 (compatible)";
    AnsiString Accept = "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";
    AnsiString Reference;
    AnsiString Username;
    AnsiString Password;
    AnsiString ProxyUsername;
    AnsiString ProxyPassword;
    bool NoCache = false;
    TDateTime ModifiedSince = 0;
    AnsiString Cookie;
    AnsiString ContentTypePost = "application/x-www-form-urlencoded";
    // Emptied once sent; set from a reply's content-range header.
    AnsiString ContentRangeBegin;
    AnsiString ContentRangeEnd;
    ReadOnlyProperty<AnsiString> AcceptRanges;
    // Waits pump the control socket's own queue instead of the
    // application's.
    Property<bool> MultiThreaded;

    // Neither stream is owned; the body of a POST is read from PostStream's
    // position on.
    TStream* PostStream = nullptr;
    TStream* ReplyStream = nullptr;
    ReadOnlyProperty<int> StatusCode;
    ReadOnlyProperty<AnsiString> ReasonPhrase;
    ReadOnlyProperty<THttpState> State;
    // -1 when the reply announces none.
    ReadOnlyProperty<int> ContentLength;
    ReadOnlyProperty<AnsiString> ContentType;
    ReadOnlyProperty<AnsiString> DocName;
    ReadOnlyProperty<AnsiString> Location;
    ReadOnlyProperty<TStrings*> RcvdHeader;
    ReadOnlyProperty<TStrings*> AuthChallenges;
    ReadOnlyProperty<int64_t> RcvdCount;
    ReadOnlyProperty<int64_t> SentCount;
    ReadOnlyProperty<WORD> RequestDoneError;
    ReadOnlyProperty<HWND> Handle;

    TNotifyEvent OnTrace;
    TNotifyEvent OnSessionConnected;
    TNotifyEvent OnHeaderData;
    THttpCommandEvent OnCommand;
    TNotifyEvent OnHeaderBegin;
    TNotifyEvent OnHeaderEnd;
    TNotifyEvent OnRequestHeaderBegin;
    TNotifyEvent OnRequestHeaderEnd;
    TNotifyEvent OnDocBegin;
    TDocDataEvent OnDocData;
    TNotifyEvent OnDocEnd;
    TNotifyEvent OnSendBegin;
    TDocDataEvent OnSendData;
    TNotifyEvent OnSendEnd;
    TNotifyEvent OnStateChange;
    THttpRequestDone OnRequestDone;
    TNotifyEvent OnLocationChange;
    TCookieRcvdEvent OnCookie;
    // Reply lines that arrive while no request waits for them.
    TDataAvailable OnDataAvailable;

    // The most bytes the header lines of one reply may hold together.
    static constexpr int MaxHeaderSize = 65536;
    // The most redirects one request follows; a further Location ends it
    // as a failed request (status 404, TooManyRedirects as ReasonPhrase).
    static constexpr int MaxRedirects = 20;
    static constexpr const char* TooManyRedirects = "Too many redirects (more than 20)";

protected:
    virtual void SendCommand(const AnsiString& Cmd);
    virtual void Login();
    virtual void Logout();
    virtual void InternalClear();
    virtual void LocationSessionClosed(TObject* Sender, WORD Error);
    virtual void TriggerCookie(const AnsiString& Data, bool& bAccept);
    virtual void TriggerSessionConnected();
    virtual void TriggerRequestHeaderBegin();
    virtual void TriggerRequestHeaderEnd();
    virtual void TriggerHeaderBegin();
    virtual void TriggerHeaderEnd();
    virtual void TriggerDocBegin();
    virtual void TriggerDocData(const char* Data, int Len);
    virtual void TriggerDocEnd();
    virtual void TriggerSendBegin();
    virtual void TriggerSendData(const char* Data, int Len);
    virtual void TriggerSendEnd();
    virtual void HTTPCliAllocateHWnd();
    virtual void HTTPCliDeallocateHWnd();

private:
    using TLineHandler = void (THttpCli::*)();

    void WndProc(TMessage& MsgRec);
    void DoRequestAsync(THttpRequest Rq);
    void DoRequestSync(THttpRequest Rq);
    void CloseLeftOverConnection();
    void SetupTargets();
    void SetupDocName();
    void SendRequest(const AnsiString& Method, const AnsiString& Version);
    void SocketDNSLookupDone(TObject* Sender, WORD Error);
    void SocketSessionConnected(TObject* Sender, WORD Error);
    void SocketSessionClosed(TObject* Sender, WORD Error);
    void SocketDataAvailable(TObject* Sender, WORD Error);
    void SocketDataSent(TObject* Sender, WORD Error);
    void SendBodyPiece();
    void TakeLines(WORD Error);
    void GetHeaderLineNext();
    void GetBodyLineNext();
    void HandleHeaderField();
    void EndOfHeader();
    void StartBody();
    void HandleLocation(const AnsiString& Value);
    void StateChange(THttpState NewState);
    void SetReady();
    void DropReceived();

    TWSocket* FCtrlSocket = nullptr;
    HWND FWindowHandle = nullptr;
    // Numbers the requests, so that a message posted for an earlier one
    // cannot end or restart the current one.
    WPARAM FRequestSerial = 0;
    THttpState FState = httpReady;
    THttpRequest FRequestType = httpGET;
    bool FMultiThreaded = false;

    char FSendBuffer[HTTP_SND_BUF_SIZE] = {};
    char FReceiveBuffer[HTTP_RCV_BUF_SIZE] = {};
    int FReceiveLen = 0;
    // The current line, and for a header line the bytes that carried it
    // (its line end included).
    AnsiString FLastResponse;
    AnsiString FLastRawLine;
    int FHeaderLineCount = 0;
    int FBodyLineCount = 0;
    int FHeaderSize = 0;
    int FRedirectCount = 0;
    TLineHandler FNext = nullptr;
    bool FAllowedToSend = false;
    bool FHeaderFlag = false;
    bool FLocationFlag = false;
    bool FConnected = false;

    AnsiString FHostName;
    AnsiString FPort;
    AnsiString FTargetHost;
    AnsiString FPath;
    AnsiString FDnsResult;
    AnsiString FDocName;
    AnsiString FLocation;
    AnsiString FContentType;
    AnsiString FAcceptRanges;
    AnsiString FReasonPhrase;
    int FStatusCode = 0;
    int FContentLength = -1;
    int64_t FRcvdCount = 0;
    int64_t FSentCount = 0;
    WORD FRequestDoneError = 0;
    TStringList* FRcvdHeader = nullptr;
    TStringList* FAuthChallenges = nullptr;
    TMemoryStream* FReqStream = nullptr;
};
