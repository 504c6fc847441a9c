#include "web/HttpProt.h"

#include <cstring>

#include "platform/vcl/MessageLoop.h"

namespace {

bool StartsWith(const AnsiString& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

bool EndsWith(const AnsiString& text, const char* suffix) {
    const size_t length = std::strlen(suffix);
    return text.size() >= length && text.compare(text.size() - length, length, suffix) == 0;
}

AnsiString PortSuffix(const AnsiString& Port) {
    return Port.empty() ? AnsiString() : ":" + Port;
}

// Up to and including the last "/" of a path without its "?" part.
AnsiString PathDirectory(const AnsiString& Path) {
    const AnsiString plain = Path.substr(0, Path.find('?'));
    const size_t slash = plain.rfind('/');
    return slash == AnsiString::npos ? AnsiString("/") : plain.substr(0, slash + 1);
}

template <class C, class... A>
std::function<void(TObject*, A...)> Handler(C* object, void (C::*method)(TObject*, A...)) {
    return [object, method](TObject* Sender, A... args) { (object->*method)(Sender, args...); };
}

} // namespace

THttpCli::THttpCli(TComponent* AOwner)
    : TComponent(AOwner), AcceptRanges([this] { return FAcceptRanges; }),
      MultiThreaded([this] { return FMultiThreaded; },
                    [this](const bool& value) {
                        FMultiThreaded = value;
                        FCtrlSocket->MultiThreaded = value;
                    }),
      StatusCode([this] { return FStatusCode; }), ReasonPhrase([this] { return FReasonPhrase; }),
      State([this] { return FState; }), ContentLength([this] { return FContentLength; }),
      ContentType([this] { return FContentType; }), DocName([this] { return FDocName; }),
      Location([this] { return FLocation; }),
      RcvdHeader([this]() -> TStrings* { return FRcvdHeader; }),
      AuthChallenges([this]() -> TStrings* { return FAuthChallenges; }),
      RcvdCount([this] { return FRcvdCount; }), SentCount([this] { return FSentCount; }),
      RequestDoneError([this] { return FRequestDoneError; }),
      Handle([this] { return FWindowHandle; }) {
    HTTPCliAllocateHWnd();
    FCtrlSocket = new TWSocket(this);
    FCtrlSocket->OnSessionClosed = Handler(this, &THttpCli::SocketSessionClosed);
    FCtrlSocket->OnDataAvailable = Handler(this, &THttpCli::SocketDataAvailable);
    FCtrlSocket->OnSessionConnected = Handler(this, &THttpCli::SocketSessionConnected);
    FCtrlSocket->OnDataSent = Handler(this, &THttpCli::SocketDataSent);
    FCtrlSocket->OnDnsLookupDone = Handler(this, &THttpCli::SocketDNSLookupDone);
    FRcvdHeader = new TStringList();
    FAuthChallenges = new TStringList();
    FReqStream = new TMemoryStream();
}

THttpCli::~THttpCli() {
    delete FRcvdHeader;
    delete FAuthChallenges;
    delete FCtrlSocket;
    delete FReqStream;
    HTTPCliDeallocateHWnd();
}

void THttpCli::HTTPCliAllocateHWnd() {
    FWindowHandle = AllocateHWnd([this](TMessage& MsgRec) { WndProc(MsgRec); });
}

void THttpCli::HTTPCliDeallocateHWnd() {
    if (FWindowHandle)
        DeallocateHWnd(FWindowHandle);
    FWindowHandle = nullptr;
}

void THttpCli::WndProc(TMessage& MsgRec) {
    const bool Current = MsgRec.WParam == FRequestSerial;
    switch (MsgRec.Msg) {
    case WM_HTTP_REQUEST_DONE:
        if (OnRequestDone)
            OnRequestDone(this, FRequestType, FRequestDoneError);
        break;
    case WM_HTTP_SET_READY:
        if (Current)
            StateChange(httpReady);
        break;
    case WM_HTTP_LOGIN:
        // An Abort while the redirect was on its way has ended the request.
        if (Current && FState != httpReady)
            Login();
        break;
    default:
        MsgRec.Result = DefWindowProcA(FWindowHandle, MsgRec.Msg, MsgRec.WParam, MsgRec.LParam);
    }
}

void THttpCli::Get() {
    DoRequestSync(httpGET);
}

void THttpCli::Post() {
    DoRequestSync(httpPOST);
}

void THttpCli::Head() {
    DoRequestSync(httpHEAD);
}

void THttpCli::GetASync() {
    DoRequestAsync(httpGET);
}

void THttpCli::PostASync() {
    DoRequestAsync(httpPOST);
}

void THttpCli::HeadASync() {
    DoRequestAsync(httpHEAD);
}

// The wait sleeps between the messages that carry the request on, and it
// is one nested loop throughout: what waits for the main loop must not
// wake it at every turn.
void THttpCli::DoRequestSync(THttpRequest Rq) {
    DoRequestAsync(Rq);
    const TNestedLoop Nested;
    while (FState != httpReady)
        FCtrlSocket->WaitForMessage();
    if (FStatusCode >= 400)
        throw EHttpException(FReasonPhrase, static_cast<uint16_t>(FStatusCode));
}

void THttpCli::DoRequestAsync(THttpRequest Rq) {
    if (FState != httpReady)
        throw EHttpException("HTTP component is busy", 1);
    if (Rq == httpPOST && !PostStream)
        throw EHttpException("HTTP component has nothing to post", 2);
    CloseLeftOverConnection();
    ++FRequestSerial;
    FCtrlSocket->OnSessionClosed = Handler(this, &THttpCli::SocketSessionClosed);
    StateChange(httpNotConnected);
    FRequestType = Rq;
    InternalClear();
    SetupTargets();
    SetupDocName();
    Login();
}

// A reply that announced an empty body ends the request while the server
// may keep the connection open; it must not linger into the next request.
void THttpCli::CloseLeftOverConnection() {
    if (FCtrlSocket->State == wsClosed)
        return;
    FCtrlSocket->OnSessionClosed = nullptr;
    FCtrlSocket->Abort();
    FConnected = false;
}

void THttpCli::InternalClear() {
    FRcvdHeader->Clear();
    FAuthChallenges->Clear();
    FRequestDoneError = 0;
    FDocName.clear();
    FStatusCode = 0;
    // A reply without status line must not inherit the last one's phrase.
    FReasonPhrase.clear();
    FRcvdCount = 0;
    FSentCount = 0;
    FHeaderLineCount = 0;
    FBodyLineCount = 0;
    FHeaderSize = 0;
    FRedirectCount = 0;
    FContentLength = -1;
    FContentType.clear();
    FAllowedToSend = false;
    FLocation = URL;
    DropReceived();
}

void THttpCli::SetupTargets() {
    AnsiString Proto, User, Pass, Host, Port, Path;
    ParseURL(URL, Proto, User, Pass, Host, Port, Path);
    if (!User.empty())
        Username = User;
    if (!Pass.empty())
        Password = Pass;
    FTargetHost = Host;
    if (Proxy.empty()) {
        FHostName = Host;
        FPath = Path;
        FPort = Port.empty() ? AnsiString("80") : Port;
    } else {
        FPath =
            (Proto.empty() ? AnsiString("http") : Proto) + "://" + Host + PortSuffix(Port) + Path;
        AnsiString ProxyProto, ProxyUser, ProxyPass, ProxyHost, ProxyHostPort, ProxyPath;
        ParseURL(Proxy, ProxyProto, ProxyUser, ProxyPass, ProxyHost, ProxyHostPort, ProxyPath);
        FHostName = ProxyHost;
        FPort = ProxyHostPort.empty() ? ProxyPort : ProxyHostPort;
    }
    if (FPath.empty())
        FPath = "/";
}

void THttpCli::SetupDocName() {
    AnsiString Proto, User, Pass, Host, Port, Path;
    ParseURL(URL, Proto, User, Pass, Host, Port, Path);
    Path = Path.substr(0, Path.find('?'));
    if (Path.empty() || Path == "/") {
        FDocName = "document.htm";
        return;
    }
    if (Path.back() == '/')
        Path.pop_back();
    FDocName = Path.substr(Path.rfind('/') + 1).substr(0, 255);
}

void THttpCli::Login() {
    FDnsResult.clear();
    StateChange(httpDnsLookup);
    try {
        FCtrlSocket->LocalAddr = LocalAddr;
        FCtrlSocket->DnsLookup(FHostName);
    } catch (const std::exception& E) {
        FStatusCode = 404;
        FReasonPhrase = E.what();
        FConnected = false;
        StateChange(httpReady);
    }
}

void THttpCli::Logout() {
    FCtrlSocket->Close();
    FConnected = false;
}

void THttpCli::SocketDNSLookupDone(TObject*, WORD Error) {
    if (Error != 0) {
        if (FState == httpAborting)
            return;
        FRequestDoneError = Error;
        FStatusCode = 404;
        FReasonPhrase = "can't resolve hostname to IP address";
        SocketSessionClosed(FCtrlSocket, Error);
        return;
    }
    FDnsResult = FCtrlSocket->DnsResult;
    StateChange(httpDnsLookupDone);
    try {
        FCtrlSocket->Addr = FDnsResult;
        FCtrlSocket->LocalAddr = LocalAddr;
        FCtrlSocket->Port = FPort;
        FCtrlSocket->Proto = "tcp";
        FCtrlSocket->Connect();
    } catch (const std::exception&) {
        const int LastError = FCtrlSocket->LastError;
        FRequestDoneError = static_cast<WORD>(LastError);
        FStatusCode = 404;
        FReasonPhrase = "can't connect: " + WSocketErrorDesc(LastError) + " (Error #" +
                        IntToStr(LastError) + ")";
        FCtrlSocket->Close();
        SocketSessionClosed(FCtrlSocket, static_cast<WORD>(LastError));
    }
}

void THttpCli::SocketSessionConnected(TObject*, WORD Error) {
    if (Error != 0) {
        FRequestDoneError = Error;
        FStatusCode = 404;
        FReasonPhrase = WSocketErrorDesc(Error) + " (Error #" + IntToStr(Error) + ")";
        SocketSessionClosed(FCtrlSocket, Error);
        return;
    }
    FConnected = true;
    StateChange(httpConnected);
    TriggerSessionConnected();
    FNext = &THttpCli::GetHeaderLineNext;
    StateChange(httpWaitingHeader);
    static const char* const Methods[] = {"", "GET", "POST", "HEAD"};
    SendRequest(Methods[FRequestType], "1.0");
    if (FRequestType == httpPOST) {
        TriggerSendBegin();
        FAllowedToSend = true;
        SendBodyPiece();
    }
}

void THttpCli::SendRequest(const AnsiString& Method, const AnsiString& Version) {
    FReqStream->Clear();
    TriggerRequestHeaderBegin();
    const bool IsPost = FRequestType == httpPOST;
    SendCommand(Method + " " + FPath + " HTTP/" + Version);
    if (!Sender.empty())
        SendCommand("From: " + Sender);
    if (!Accept.empty())
        SendCommand("Accept: " + Accept);
    if (!Reference.empty())
        SendCommand("Referer: " + Reference);
    if (IsPost && !ContentTypePost.empty())
        SendCommand("Content-Type: " + ContentTypePost);
    if (!Agent.empty())
        SendCommand("User-Agent: " + Agent);
    SendCommand("Host: " + FTargetHost);
    if (NoCache)
        SendCommand("Pragma: no-cache");
    if (IsPost)
        SendCommand("Content-Length: " + IntToStr(PostStream->Size));
    if (ModifiedSince != 0)
        SendCommand("If-Modified-Since: " + RFC1123_Date(ModifiedSince) + " GMT");
    if (!Username.empty())
        SendCommand("Authorization: Basic " + EncodeStr(encBase64, Username + ":" + Password));
    if (!Proxy.empty() && !ProxyUsername.empty())
        SendCommand("Proxy-Authorization: Basic " +
                    EncodeStr(encBase64, ProxyUsername + ":" + ProxyPassword));
    if (!Cookie.empty())
        SendCommand("Cookie: " + Cookie);
    if (!ContentRangeBegin.empty() || !ContentRangeEnd.empty()) {
        SendCommand("Range: bytes=" + ContentRangeBegin + "-" + ContentRangeEnd);
        ContentRangeBegin.clear();
        ContentRangeEnd.clear();
    }
    FAcceptRanges.clear();
    TriggerRequestHeaderEnd();
    SendCommand("");
    FCtrlSocket->Send(FReqStream->Memory(), static_cast<int>(FReqStream->Size));
    FReqStream->Clear();
}

void THttpCli::SendCommand(const AnsiString& Cmd) {
    AnsiString Line = Cmd;
    if (OnCommand)
        OnCommand(this, Line);
    if (!Line.empty())
        FReqStream->Write(Line.data(), static_cast<int>(Line.size()));
    FReqStream->Write("\r\n", 2);
}

void THttpCli::SocketDataSent(TObject*, WORD) {
    SendBodyPiece();
}

// One piece per emptied send queue, so the socket never holds more.
void THttpCli::SendBodyPiece() {
    if (!FAllowedToSend)
        return;
    const int Len = PostStream->Read(FSendBuffer, HTTP_SND_BUF_SIZE);
    if (Len <= 0) {
        FAllowedToSend = false;
        TriggerSendEnd();
        return;
    }
    FSentCount += Len;
    TriggerSendData(FSendBuffer, Len);
    FCtrlSocket->Send(FSendBuffer, Len);
}

void THttpCli::SocketDataAvailable(TObject*, WORD Error) {
    const int Room = HTTP_RCV_BUF_SIZE - FReceiveLen - 1;
    if (Room <= 0)
        throw EHttpException("HTTP line too long", 4);
    const int Len = FCtrlSocket->Receive(FReceiveBuffer + FReceiveLen, Room);
    if (FRequestType == httpAbort)
        return;
    if (Len > 0) {
        FReceiveLen += Len;
        FReceiveBuffer[FReceiveLen] = '\0';
    }
    TakeLines(Error);
    if (FState == httpWaitingBody && FReceiveLen > 0) {
        FLastResponse.assign(FReceiveBuffer, static_cast<size_t>(FReceiveLen));
        DropReceived();
        GetBodyLineNext();
    }
}

// Complete lines, without their line end, go one by one to the handler of
// the header; an incomplete line waits for more bytes.
void THttpCli::TakeLines(WORD Error) {
    while (FReceiveLen > 0 && FState != httpWaitingBody) {
        const auto* LineFeed =
            static_cast<const char*>(std::memchr(FReceiveBuffer, '\n', FReceiveLen));
        if (!LineFeed)
            return;
        const auto LineLen = static_cast<size_t>(LineFeed - FReceiveBuffer);
        const size_t TextLen =
            LineLen > 0 && FReceiveBuffer[LineLen - 1] == '\r' ? LineLen - 1 : LineLen;
        FLastResponse.assign(FReceiveBuffer, TextLen);
        FLastRawLine.assign(FReceiveBuffer, LineLen + 1);
        FReceiveLen -= static_cast<int>(LineLen + 1);
        std::memmove(FReceiveBuffer, LineFeed + 1, static_cast<size_t>(FReceiveLen));
        FReceiveBuffer[FReceiveLen] = '\0';
        if (FState != httpWaitingHeader) {
            if (OnDataAvailable)
                OnDataAvailable(this, Error);
        } else if (FNext) {
            (this->*FNext)();
        } else {
            SetReady();
        }
    }
}

void THttpCli::GetHeaderLineNext() {
    if (FHeaderLineCount == 0)
        TriggerHeaderBegin();
    ++FHeaderLineCount;
    FHeaderSize += static_cast<int>(FLastRawLine.size());
    if (FHeaderSize > MaxHeaderSize)
        throw EHttpException("HTTP header too long", 5);
    if (UpperCase(FLastResponse.substr(0, 6)) == "<HTML>") {
        // No header at all: the whole reply is the document, this line
        // with its line end included.
        if (FContentType.empty())
            FContentType = "text/html";
        StateChange(httpWaitingBody);
        FNext = &THttpCli::GetBodyLineNext;
        TriggerHeaderEnd();
        FLastResponse = FLastRawLine;
        GetBodyLineNext();
        return;
    }
    if (FLastResponse.empty()) {
        EndOfHeader();
        return;
    }
    FRcvdHeader->Add(FLastResponse);
    if (StartsWith(FLastResponse, "HTTP/1.0") || StartsWith(FLastResponse, "HTTP/1.1")) {
        FStatusCode = StrToInt(FLastResponse.size() > 9 ? FLastResponse.substr(9, 3) : "");
        FReasonPhrase = FLastResponse.size() > 13 ? FLastResponse.substr(13) : AnsiString();
    } else {
        HandleHeaderField();
    }
    if (OnHeaderData)
        OnHeaderData(this);
    if (FStatusCode >= 400) {
        FCtrlSocket->Close();
        // What followed belongs to the refused reply.
        DropReceived();
    }
}

void THttpCli::HandleHeaderField() {
    const size_t Colon = FLastResponse.find(':');
    if (Colon == AnsiString::npos)
        return;
    const AnsiString Field = LowerCase(FLastResponse.substr(0, Colon));
    size_t ValueAt = Colon + 1;
    while (ValueAt + 1 < FLastResponse.size() && FLastResponse[ValueAt] == ' ')
        ++ValueAt;
    const AnsiString Data =
        ValueAt < FLastResponse.size() ? FLastResponse.substr(ValueAt) : AnsiString();
    if (Field == "location") {
        FLocationFlag = true;
        HandleLocation(Data);
    } else if (Field == "content-length") {
        FContentLength = StrToInt(Trim(Data));
    } else if (Field == "content-range") {
        // "bytes 0-99/200"
        const AnsiString Range = Data.size() > 6 ? Data.substr(6) : AnsiString();
        const size_t Dash = Range.find('-');
        ContentRangeBegin = Range.substr(0, Dash);
        ContentRangeEnd.clear();
        if (Dash != AnsiString::npos) {
            const AnsiString After = Range.substr(Dash + 1);
            ContentRangeEnd = After.substr(0, After.find('/'));
        }
    } else if (Field == "accept-ranges") {
        FAcceptRanges = Data;
    } else if (Field == "content-type") {
        FContentType = LowerCase(Data);
    } else if (Field == "www-authenticate") {
        FAuthChallenges->Add(Data);
    } else if (Field == "set-cookie") {
        bool bAccept = true;
        TriggerCookie(Data, bAccept);
    }
}

// The empty line after the header. A reply with a Location is a redirect
// whatever its length, so the Location is looked at before the length: a
// redirect that says Content-Length 0 is followed, not taken as the end.
void THttpCli::EndOfHeader() {
    if (FLocationFlag) {
        TriggerHeaderEnd();
        DropReceived();
        FHeaderLineCount = 0;
        FBodyLineCount = 0;
        FCtrlSocket->OnSessionClosed = Handler(this, &THttpCli::LocationSessionClosed);
        FCtrlSocket->Close();
        return;
    }
    if (FContentLength == 0) {
        TriggerHeaderEnd();
        FNext = nullptr;
        DropReceived();
        SetReady();
        return;
    }
    StartBody();
}

void THttpCli::StartBody() {
    if (EndsWith(LowerCase(FDocName), ".exe") && FContentType == "text/html")
        FDocName = ReplaceExt(FDocName, "htm");
    StateChange(httpWaitingBody);
    FNext = &THttpCli::GetBodyLineNext;
    TriggerHeaderEnd();
    if (FReceiveLen > 0) {
        FLastResponse.assign(FReceiveBuffer, static_cast<size_t>(FReceiveLen));
        DropReceived();
        GetBodyLineNext();
    }
}

void THttpCli::GetBodyLineNext() {
    if (FBodyLineCount == 0)
        TriggerDocBegin();
    ++FBodyLineCount;
    const int Len = static_cast<int>(FLastResponse.size());
    FRcvdCount += Len;
    if (ReplyStream && Len > 0)
        ReplyStream->WriteBuffer(FLastResponse.data(), Len);
    TriggerDocData(FLastResponse.data(), Len);
}

// Computes the next request of a redirect: a value with scheme and host
// names a new target; anything else stays on the current target host, as a
// path from the root ("/...") or relative to the current directory.
void THttpCli::HandleLocation(const AnsiString& Value) {
    AnsiString CurProto = "http";
    AnsiString CurHost = FTargetHost;
    AnsiString CurPort = FPort == "80" ? AnsiString() : FPort;
    AnsiString CurPath = FPath;
    if (!Proxy.empty()) {
        AnsiString User, Pass;
        ParseURL(FPath, CurProto, User, Pass, CurHost, CurPort, CurPath);
        if (CurProto.empty())
            CurProto = "http";
    }
    AnsiString Proto, User, Pass, Host, Port, Path = CurPath;
    if (!StartsWith(Value, "/") || StartsWith(Value, "//"))
        ParseURL(Value, Proto, User, Pass, Host, Port, Path);
    if (Proto.empty() && StartsWith(Value, "//"))
        Proto = "http";
    if (!Proto.empty() && !Host.empty()) {
        if (Path.empty())
            Path = "/";
        FTargetHost = Host;
        FLocation = Proto + "://" + Host + PortSuffix(Port) + Path;
        if (Proxy.empty()) {
            FHostName = Host;
            FPort = Port.empty() ? AnsiString("80") : Port;
            FPath = Path;
        } else {
            FPath = FLocation;
        }
        return;
    }
    AnsiString NewPath = Value;
    if (StartsWith(Value, "./") || StartsWith(Value, "../"))
        NewPath = Path;
    else if (!StartsWith(Value, "/"))
        NewPath = PathDirectory(CurPath) + Value;
    FLocation = CurProto + "://" + CurHost + PortSuffix(CurPort) + NewPath;
    FPath = Proxy.empty() ? NewPath : FLocation;
}

void THttpCli::LocationSessionClosed(TObject*, WORD) {
    FConnected = false;
    FLocationFlag = false;
    FCtrlSocket->OnSessionClosed = Handler(this, &THttpCli::SocketSessionClosed);
    // A chain without end (a location that leads back to itself) would
    // keep the request going for ever.
    if (FRedirectCount == MaxRedirects) {
        FStatusCode = 404;
        FReasonPhrase = TooManyRedirects;
        SetReady();
        return;
    }
    ++FRedirectCount;
    if (FRequestType == httpPOST)
        FRequestType = httpGET;
    if (OnLocationChange)
        OnLocationChange(this);
    FRcvdHeader->Clear();
    FAuthChallenges->Clear();
    // The next reply starts afresh.
    DropReceived();
    FHeaderLineCount = 0;
    FBodyLineCount = 0;
    FHeaderSize = 0;
    FContentLength = -1;
    FContentType.clear();
    PostMessageA(FWindowHandle, WM_HTTP_LOGIN, FRequestSerial, 0);
}

void THttpCli::SocketSessionClosed(TObject*, WORD Error) {
    FConnected = false;
    if (FHeaderFlag) {
        TriggerHeaderEnd();
        if (FLocationFlag) {
            LocationSessionClosed(FCtrlSocket, Error);
            return;
        }
    } else if (FBodyLineCount > 0) {
        TriggerDocEnd();
    }
    SetReady();
}

void THttpCli::Abort() {
    if (FState == httpReady) {
        if (FCtrlSocket->State != wsClosed)
            FCtrlSocket->Close();
        return;
    }
    const bool LookingUp = FState == httpDnsLookup;
    StateChange(httpAborting);
    if (LookingUp)
        FCtrlSocket->CancelDnsLookup();
    FStatusCode = 404;
    FReasonPhrase = "Connection aborted on request";
    FRequestDoneError = 3;
    if (LookingUp)
        SocketSessionClosed(FCtrlSocket, 0);
    else
        FCtrlSocket->Close();
    StateChange(httpReady);
}

void THttpCli::SetReady() {
    PostMessageA(FWindowHandle, WM_HTTP_SET_READY, FRequestSerial, 0);
}

void THttpCli::StateChange(THttpState NewState) {
    if (FState == NewState)
        return;
    FState = NewState;
    if (OnStateChange)
        OnStateChange(this);
    if (NewState == httpReady)
        PostMessageA(FWindowHandle, WM_HTTP_REQUEST_DONE, FRequestSerial, 0);
}

void THttpCli::DropReceived() {
    FReceiveLen = 0;
    FReceiveBuffer[0] = '\0';
}

void THttpCli::TriggerCookie(const AnsiString& Data, bool& bAccept) {
    if (OnCookie)
        OnCookie(this, Data, bAccept);
}

void THttpCli::TriggerSessionConnected() {
    if (OnSessionConnected)
        OnSessionConnected(this);
}

void THttpCli::TriggerRequestHeaderBegin() {
    if (OnRequestHeaderBegin)
        OnRequestHeaderBegin(this);
}

void THttpCli::TriggerRequestHeaderEnd() {
    if (OnRequestHeaderEnd)
        OnRequestHeaderEnd(this);
}

void THttpCli::TriggerHeaderBegin() {
    FHeaderFlag = true;
    if (OnHeaderBegin)
        OnHeaderBegin(this);
}

void THttpCli::TriggerHeaderEnd() {
    FHeaderFlag = false;
    if (OnHeaderEnd)
        OnHeaderEnd(this);
}

void THttpCli::TriggerDocBegin() {
    if (OnDocBegin)
        OnDocBegin(this);
}

void THttpCli::TriggerDocData(const char* Data, int Len) {
    if (OnDocData)
        OnDocData(this, Data, Len);
}

void THttpCli::TriggerDocEnd() {
    if (OnDocEnd)
        OnDocEnd(this);
}

void THttpCli::TriggerSendBegin() {
    if (OnSendBegin)
        OnSendBegin(this);
}

void THttpCli::TriggerSendData(const char* Data, int Len) {
    if (OnSendData)
        OnSendData(this, Data, Len);
}

void THttpCli::TriggerSendEnd() {
    if (OnSendEnd)
        OnSendEnd(this);
}
