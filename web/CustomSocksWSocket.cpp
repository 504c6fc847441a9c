#include "web/CustomSocksWSocket.h"

#include "web/WSocketFunctions.h"

namespace {

// The longest name, user code or password a length byte can announce.
constexpr size_t MaxFieldLength = 255;

AnsiString Bytes(std::initializer_list<unsigned char> values) {
    return AnsiString(values.begin(), values.end());
}

AnsiString PortBytes(u_short Port) {
    return Bytes({static_cast<unsigned char>(Port >> 8), static_cast<unsigned char>(Port & 0xFF)});
}

} // namespace

TCustomSocksWSocket::TCustomSocksWSocket(TComponent* AOwner)
    : TCustomWSocket(AOwner),
      SocksLevel([this] { return FSocksLevel; }, [this](const AnsiString& v) { SetSocksLevel(v); }),
      SocksServer([this] { return FSocksServer; },
                  [this](const AnsiString& v) { SetSocksServer(v); }),
      SocksPort([this] { return FSocksPort; }, [this](const AnsiString& v) { SetSocksPort(v); }) {}

void TCustomSocksWSocket::AssignDefaultValue() {
    TCustomWSocket::AssignDefaultValue();
    FSocksState = SocksIdle;
    FRcvCnt = 0;
}

void TCustomSocksWSocket::SetSocksLevel(const AnsiString& newValue) {
    if (FState != wsClosed) {
        RaiseException("Can't change socks level if not closed");
        return;
    }
    const AnsiString Level = UpperCase(newValue);
    if (Level != "4" && Level != "4A" && Level != "5") {
        RaiseException("Invalid socks level. Must be 4, 4A or 5.");
        return;
    }
    FSocksLevel = Level;
    ForgetResolvedTarget();
}

void TCustomSocksWSocket::SetSocksServer(const AnsiString& sServer) {
    if (FState != wsClosed) {
        RaiseException("Can't change socks server if not closed");
        return;
    }
    FSocksServer = sServer;
    ForgetResolvedTarget();
}

void TCustomSocksWSocket::SetSocksPort(const AnsiString& sPort) {
    if (FState != wsClosed) {
        RaiseException("Can't change socks port if not closed");
        return;
    }
    FSocksPort = sPort;
    ForgetResolvedTarget();
}

// What Connect resolved depends on the SOCKS settings: the server's address
// or the destination's.
void TCustomSocksWSocket::ForgetResolvedTarget() {
    FAddrResolved = false;
    FPortResolved = false;
}

void TCustomSocksWSocket::Listen() {
    if (!FSocksServer.empty()) {
        RaiseException("Listening is not supported thru socks server");
        return;
    }
    TCustomWSocket::Listen();
}

void TCustomSocksWSocket::Connect() {
    FSocksState = SocksIdle;
    // Without a server, or without what the base checks first, the plain
    // connect runs (and reports what is missing).
    if (FSocksServer.empty() || !FPortAssigned || !FAddrAssigned ||
        (FHSocket != INVALID_SOCKET && FState != wsClosed)) {
        TCustomWSocket::Connect();
        return;
    }
    if (LowerCase(FProtoStr) != "tcp") {
        RaiseException("tcp is the only protocol supported thru socks server");
        return;
    }
    // A length byte announces each of these; a longer one would garble
    // the request.
    const bool WithName = FSocksLevel != "4";
    if ((WithName && FAddrStr.size() > MaxFieldLength) || SocksUsercode.size() > MaxFieldLength ||
        SocksPassword.size() > MaxFieldLength) {
        RaiseException("Connect: host name, user code or password too long for socks");
        return;
    }
    try {
        FSocksRealPort = WSocketResolvePort(FPortStr, "tcp");
        if (FSocksLevel == "4")
            FSocksRealAddr = WSocketResolveHost(FAddrStr);
        Fsin.sin_addr = WSocketResolveHost(FSocksServer);
        Fsin.sin_port = WSocket_htons(WSocketResolvePort(FSocksPort, "tcp"));
    } catch (const ESocketException& E) {
        RaiseException("connect: " + E.Message);
        return;
    }
    FAddrResolved = true;
    FPortResolved = true;
    FRcvCnt = 0;
    FSocksState = SocksConnecting;
    TCustomWSocket::Connect();
}

void TCustomSocksWSocket::TriggerSessionConnected(WORD Error) {
    if (FSocksState != SocksConnecting) {
        TCustomWSocket::TriggerSessionConnected(Error);
        return;
    }
    TriggerSocksConnected(Error);
    if (Error != 0) {
        FSocksState = SocksIdle;
        TCustomWSocket::TriggerSessionConnected(Error);
        return;
    }
    if (FSocksLevel == "5")
        SocksDoGreeting();
    else
        SocksDoConnect();
}

bool TCustomSocksWSocket::TriggerDataAvailable(WORD Error) {
    // No data can come while no phase awaits it, so there is no error for
    // that case: every phase but the idle one awaits a reply, and the
    // socket reports the connection before it offers any data, by which
    // time a level 4 or 4A request has left the connecting phase (data
    // there is the level 5 greeting's reply).
    switch (FSocksState) {
    case SocksIdle:
        return TCustomWSocket::TriggerDataAvailable(Error);
    case SocksConnecting:
        SocksGreetingReply();
        break;
    case SocksAuthenticating:
        SocksAuthReply();
        break;
    case SocksRequesting:
        if (FSocksLevel == "5")
            SocksConnectReply5();
        else
            SocksConnectReply4();
        break;
    }
    return true;
}

void TCustomSocksWSocket::SocksDoGreeting() {
    const unsigned char Method = SocksAuthentication == socksAuthenticateUsercode ? 2 : 0;
    SendStr(Bytes({5, 1, Method}));
}

void TCustomSocksWSocket::SocksGreetingReply() {
    if (!ReceiveSocksReply(2))
        return;
    if (FRcvBuf[0] != 5) {
        SocksError(socksVersionError, "socks version error");
        return;
    }
    switch (FRcvBuf[1]) {
    case 0:
        if (SocksAuthentication == socksAuthenticateUsercode)
            TriggerSocksAuthState(socksAuthNotRequired);
        SocksDoConnect();
        break;
    case 2:
        SocksDoAuthenticate();
        break;
    default:
        SocksError(socksAuthMethodError, "authentification method not acceptable");
    }
}

void TCustomSocksWSocket::SocksDoAuthenticate() {
    FSocksState = SocksAuthenticating;
    FRcvCnt = 0;
    TriggerSocksAuthState(socksAuthStart);
    SendStr(Bytes({1, static_cast<unsigned char>(SocksUsercode.size())}) + SocksUsercode +
            Bytes({static_cast<unsigned char>(SocksPassword.size())}) + SocksPassword);
}

void TCustomSocksWSocket::SocksAuthReply() {
    const int Len = ReceiveSocksBytes(ReplySize - FRcvCnt);
    if (Len <= 0)
        return;
    FRcvCnt += Len;
    if (FRcvCnt < 2)
        return;
    if (FRcvBuf[0] != 1) {
        SocksError(socksVersionError, "socks version error");
        return;
    }
    if (FRcvCnt > 2) {
        SocksError(socksProtocolError, "too much data availaible");
        return;
    }
    if (FRcvBuf[1] != 0) {
        TriggerSocksAuthState(socksAuthFailure);
        SocksError(socksAuthenticationFailed, "socks authentication failed");
        return;
    }
    TriggerSocksAuthState(socksAuthSuccess);
    SocksDoConnect();
}

void TCustomSocksWSocket::SocksDoConnect() {
    FSocksState = SocksRequesting;
    FRcvCnt = 0;
    if (FSocksLevel == "5") {
        SendStr(Bytes({5, 1, 0, 3, static_cast<unsigned char>(FAddrStr.size())}) + FAddrStr +
                PortBytes(FSocksRealPort));
        return;
    }
    AnsiString Request = Bytes({4, 1}) + PortBytes(FSocksRealPort);
    if (FSocksLevel == "4A")
        Request += Bytes({0, 0, 0, 1});
    else
        Request.append(reinterpret_cast<const char*>(&FSocksRealAddr.s_addr), 4);
    Request += SocksUsercode + Bytes({0});
    if (FSocksLevel == "4A")
        Request += FAddrStr + Bytes({0});
    SendStr(Request);
}

void TCustomSocksWSocket::SocksConnectReply5() {
    if (!ReceiveSocksReply(2))
        return;
    if (FRcvBuf[0] != 5) {
        SocksError(socksVersionError, "socks version error");
        return;
    }
    static const char* const Failures[] = {
        "general SOCKS server failure", "connection not allowed by ruleset",
        "network unreachable",          "host unreachable",
        "connection refused",           "time to live expired",
        "command not supported",        "address type not supported"};
    const int Code = FRcvBuf[1];
    if (Code >= 1 && Code <= 8) {
        SocksError(socksGeneralFailure + Code - 1, Failures[Code - 1]);
        return;
    }
    if (Code != 0) {
        SocksError(socksUnassignedError, "unassigned error #" + IntToStr(Code));
        return;
    }
    // The bound address follows: four bytes, or a length byte and a name;
    // then the port. Only what belongs to the reply is taken, so data from
    // the destination that came with it stays for the owner.
    if (!ReceiveSocksReply(5))
        return;
    int Total;
    if (FRcvBuf[3] == 1) {
        Total = 10;
    } else if (FRcvBuf[3] == 3) {
        Total = 7 + FRcvBuf[4];
    } else {
        SocksError(socksUnknownAddressType, "address type not supported");
        return;
    }
    if (ReceiveSocksReply(Total))
        SocksConnected();
}

void TCustomSocksWSocket::SocksConnectReply4() {
    if (!ReceiveSocksReply(8))
        return;
    if (FRcvBuf[0] != 0) {
        SocksError(socksVersionError, "socks version error");
        return;
    }
    switch (FRcvBuf[1]) {
    case 90:
        SocksConnected();
        break;
    case 91:
        SocksError(socksRejectedOrFailed, "request rejected or failed");
        break;
    case 92:
        SocksError(socksConnectionRefused, "connection refused");
        break;
    case 93:
        SocksError(socksAuthenticationFailed, "authentification failed");
        break;
    default:
        SocksError(socksUnassignedError, "unassigned error #" + IntToStr(FRcvBuf[1]));
    }
}

void TCustomSocksWSocket::SocksConnected() {
    FSocksState = SocksIdle;
    FRcvCnt = 0;
    TCustomWSocket::TriggerSessionConnected(0);
    if (FHSocket != INVALID_SOCKET && GetRcvdCount() > 0)
        TriggerDataAvailable(0);
}

void TCustomSocksWSocket::SocksError(int Error, const AnsiString& Msg) {
    TriggerSocksError(Error, Msg);
    FSocksState = SocksIdle;
    TCustomWSocket::TriggerSessionConnected(static_cast<WORD>(Error));
    InternalClose(true, static_cast<WORD>(Error));
}

// Reads the reply on until it holds `Total` bytes; false while some are
// still to come (or the exchange has failed).
bool TCustomSocksWSocket::ReceiveSocksReply(int Total) {
    while (FRcvCnt < Total) {
        const int Len = ReceiveSocksBytes(Total - FRcvCnt);
        if (Len <= 0)
            return false;
        FRcvCnt += Len;
    }
    return true;
}

// The socket's own bytes, past any line buffering of the layers above; a
// receive error other than "would block" ends the exchange.
int TCustomSocksWSocket::ReceiveSocksBytes(int Count) {
    const int Len = TCustomWSocket::DoRecv(FRcvBuf + FRcvCnt, Count, 0);
    if (Len < 0) {
        FLastError = WSocket_WSAGetLastError();
        if (FLastError != WSAEWOULDBLOCK)
            SocksError(FLastError, "data receive error");
    }
    return Len;
}

void TCustomSocksWSocket::TriggerSocksConnected(WORD Error) {
    if (OnSocksConnected)
        OnSocksConnected(this, Error);
}

void TCustomSocksWSocket::TriggerSocksError(int Error, const AnsiString& Msg) {
    if (OnSocksError)
        OnSocksError(this, Error, Msg);
}

void TCustomSocksWSocket::TriggerSocksAuthState(TSocksAuthState AuthState) {
    if (OnSocksAuthState)
        OnSocksAuthState(this, AuthState);
}
