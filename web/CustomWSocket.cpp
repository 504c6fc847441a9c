#include "web/CustomWSocket.h"

#include <cstdarg>
#include <cstring>
#include <vector>

#include "platform/vcl/Forms.h"
#include "platform/vcl/MessageLoop.h"
#include "web/WSocketFunctions.h"

namespace {

const char SocketWindowClassName[] = "XSocketWindowClass";

bool IsFatalSendError(int Error) {
    return Error == WSAECONNRESET || Error == WSAENOTSOCK || Error == WSAENOTCONN ||
           Error == WSAEINVAL || Error == WSAECONNABORTED;
}

} // namespace

// The window procedure of the class: the socket that owns the window sits
// in its extra bytes.
LRESULT XSocketWindowProc(HWND ahWnd, UINT auMsg, WPARAM awParam, LPARAM alParam) {
    auto* Obj = reinterpret_cast<TObject*>(GetWindowLongPtrA(ahWnd, 0));
    auto* Socket = dynamic_cast<TCustomWSocket*>(Obj);
    if (!Socket)
        return DefWindowProcA(ahWnd, auMsg, awParam, alParam);
    TMessage MsgRec{auMsg, awParam, alParam, 0};
    Socket->WndProc(MsgRec);
    return MsgRec.Result;
}

namespace {

void RegisterSocketWindowClass() {
    WNDCLASSA Registered;
    if (GetClassInfoA(nullptr, SocketWindowClassName, &Registered))
        return;
    const WNDCLASSA SocketWindowClass{0,       &XSocketWindowProc,   0, sizeof(LONG_PTR),
                                      nullptr, SocketWindowClassName};
    RegisterClassA(&SocketWindowClass);
}

} // namespace

TCustomWSocket::TCustomWSocket(TComponent* AOwner)
    : TComponent(AOwner),
      Addr([this] { return FAddrStr; }, [this](const AnsiString& v) { SetAddr(v); }),
      Port([this] { return FPortStr; }, [this](const AnsiString& v) { SetRemotePort(v); }),
      Proto([this] { return FProtoStr; }, [this](const AnsiString& v) { SetProto(v); }),
      LocalAddr([this] { return FLocalAddr; }, [this](const AnsiString& v) { SetLocalAddr(v); }),
      LocalPort([this] { return FLocalPortStr; }, [this](const AnsiString& v) { SetLocalPort(v); }),
      PeerAddr([this] { return GetPeerAddr(); }), PeerPort([this] { return GetPeerPort(); }),
      DnsResult([this] { return FDnsResult; }),
      DnsResultList([this]() -> TStrings* { return FDnsResultList; }),
      State([this] { return FState; }), ReadCount([this] { return FReadCount; }),
      RcvdCount([this] { return GetRcvdCount(); }), LastError([this] { return FLastError; }),
      HSocket([this] { return FHSocket; }), Handle([this] { return FWindowHandle; }),
      SendFlags([this] { return FSendFlags == MSG_OOB ? wsSendUrgent : wsSendNormal; },
                [this](const TSocketSendFlags& v) { SetSendFlags(v); }) {
    AllocateSocketHWnd();
    FDnsResultList = new TStringList;
    WSocketSocketCreated();
    AssignDefaultValue();
}

TCustomWSocket::~TCustomWSocket() {
    FDestroying = true;
    try {
        CancelDnsLookup();
        if (FState != wsClosed)
            Close();
    } catch (const std::exception&) {
        // A destructor has nobody to report to.
    }
    DeleteBufferedData();
    delete FDnsResultList;
    DeallocateSocketHWnd();
    WSocketSocketDestroyed();
}

void TCustomWSocket::AllocateSocketHWnd() {
    RegisterSocketWindowClass();
    FWindowHandle = CreateWindowExA(WS_EX_TOOLWINDOW, SocketWindowClassName, "", WS_POPUP, 0, 0, 0,
                                    0, nullptr, nullptr, nullptr, nullptr);
    SetWindowLongPtrA(FWindowHandle, 0, reinterpret_cast<LONG_PTR>(static_cast<TObject*>(this)));
}

void TCustomWSocket::DeallocateSocketHWnd() {
    if (!FWindowHandle)
        return;
    SetWindowLongPtrA(FWindowHandle, 0, 0);
    DestroyWindow(FWindowHandle);
    FWindowHandle = nullptr;
}

void TCustomWSocket::AssignDefaultValue() {
    Fsin = sockaddr_in{};
    Fsin.sin_family = AF_INET;
    FAddrStr.clear();
    FAddrAssigned = false;
    FAddrResolved = false;
    FPortStr.clear();
    FPortAssigned = false;
    FPortResolved = false;
    FProtoStr = "tcp";
    FProto = IPPROTO_TCP;
    FType = SOCK_STREAM;
    FProtoAssigned = true;
    FProtoResolved = false;
    FLocalPortStr = "0";
    FLocalPortNum = 0;
    FLocalPortResolved = false;
    FLocalAddr = "0.0.0.0";
    LingerOnOff = wsLingerOn;
    LingerTimeout = 0;
    FHSocket = INVALID_SOCKET;
    FSelectEvent = 0;
    FState = wsClosed;
    FPaused = false;
    FlushTimeout = 60;
}

void TCustomWSocket::WndProc(TMessage& MsgRec) {
    try {
        switch (MsgRec.Msg) {
        case WM_ASYNCSELECT:
            WMASyncSelect(MsgRec);
            break;
        case WM_ASYNCGETHOSTBYNAME:
            WMAsyncGetHostByName(MsgRec);
            break;
        case WM_ASYNCGETHOSTBYADDR:
            WMAsyncGetHostByAddr(MsgRec);
            break;
        case WM_CLOSE_DELAYED:
            WMCloseDelayed(MsgRec);
            break;
        case WM_WSOCKET_RELEASE:
            WMRelease(MsgRec);
            break;
        case WM_TRIGGER_EXCEPTION:
            throw ESocketException("Test exception in WSocket");
        default:
            MsgRec.Result = DefWindowProcA(FWindowHandle, MsgRec.Msg, MsgRec.WParam, MsgRec.LParam);
        }
    } catch (const std::exception& E) {
        HandleBackGroundException(E);
    }
}

void TCustomWSocket::HandleBackGroundException(const std::exception& E) {
    bool CanAbort = true;
    if (OnBgException) {
        try {
            OnBgException(this, E, CanAbort);
        } catch (const std::exception&) {
            // The handler's own failure changes nothing.
        }
    }
    if (!CanAbort)
        return;
    try {
        Abort();
    } catch (const std::exception&) {
        // Aborting is the last resort; there is nothing further to do.
    }
}

void TCustomWSocket::WMASyncSelect(TMessage& msg) {
    // A closed component has no socket that could report anything.
    if (FHSocket == INVALID_SOCKET || msg.WParam != FHSocket || FPaused)
        return;
    const WORD ParamLo = WSAGETSELECTEVENT(msg.LParam);
    const WORD ParamHi = WSAGETSELECTERROR(msg.LParam);
    if (ParamLo & FD_CONNECT) {
        if (FState != wsConnected) {
            ChangeState(wsConnected);
            TriggerSessionConnected(ParamHi);
            if (ParamHi != 0 && FHSocket != INVALID_SOCKET)
                Close();
        }
    }
    if (ParamLo & FD_READ) {
        if (FState != wsConnected) {
            ChangeState(wsConnected);
            TriggerSessionConnected(ParamHi);
        }
        ASyncReceive(ParamHi, ComponentOptions);
    }
    if (ParamLo & FD_WRITE) {
        TryToSend();
        if (bAllSent)
            TriggerDataSent(ParamHi);
    }
    if (ParamLo & FD_ACCEPT)
        TriggerSessionAvailable(ParamHi);
    if (ParamLo & FD_CLOSE) {
        if (FState != wsConnecting) {
            ASyncReceive(0, TWSocketOptions(ComponentOptions) >> wsoNoReceiveLoop);
            if (!FCloseInvoked) {
                FCloseInvoked = true;
                TriggerSessionClosed(ParamHi);
            }
            if (FState != wsClosed)
                Close();
        }
    }
}

void TCustomWSocket::ASyncReceive(WORD Error, TWSocketOptions MySocketOptions) {
    bool bMore = true;
    while (bMore) {
        FLastError = 0;
        const int64_t CallsBefore = FRecvCalls;
        if (!TriggerDataAvailable(Error)) {
            // Nobody listens: the data goes, so the socket cannot spin.
            char TrashCan[1024];
            if (DoRecv(TrashCan, sizeof TrashCan, 0) < 0) {
                FLastError = WSocket_WSAGetLastError();
                break;
            }
        }
        if (MySocketOptions.Contains(wsoNoReceiveLoop))
            break;
        // A handler that read nothing would be offered the same bytes for
        // ever; they wait for the next read event instead.
        const bool Progress = FRecvCalls != CallsBefore;
        bMore = FLastError == 0 && Progress && FHSocket != INVALID_SOCKET && GetRcvdCount() > 0;
    }
}

int TCustomWSocket::Receive(void* Buffer, int BufferSize) {
    const int Result = DoRecv(Buffer, BufferSize, 0);
    if (Result < 0)
        FLastError = WSocket_WSAGetLastError();
    else
        FReadCount += Result;
    return Result;
}

int TCustomWSocket::PeekData(void* Buffer, int BufferSize) {
    const int Result = DoRecv(Buffer, BufferSize, MSG_PEEK);
    if (Result < 0)
        FLastError = WSocket_WSAGetLastError();
    return Result;
}

int TCustomWSocket::DoRecv(void* Buffer, int BufferSize, int Flags) {
    ++FRecvCalls;
    return WSocket_recv(FHSocket, static_cast<char*>(Buffer), BufferSize, Flags);
}

int TCustomWSocket::DoRecvFrom(void* Buffer, int BufferSize, int Flags, sockaddr* From,
                               int* FromLen) {
    ++FRecvCalls;
    return WSocket_recvfrom(FHSocket, static_cast<char*>(Buffer), BufferSize, Flags, From, FromLen);
}

AnsiString TCustomWSocket::ReceiveStr() {
    const int lCount = GetRcvdCount();
    if (lCount <= 0)
        return AnsiString();
    std::vector<char> Buffer(static_cast<size_t>(lCount));
    const int Received = Receive(Buffer.data(), lCount);
    if (Received <= 0)
        return AnsiString();
    return AnsiString(Buffer.data(), static_cast<size_t>(Received));
}

int TCustomWSocket::ReceiveFrom(void* Buffer, int BufferSize, sockaddr_in& From, int& FromLen) {
    const int Result =
        DoRecvFrom(Buffer, BufferSize, 0, reinterpret_cast<sockaddr*>(&From), &FromLen);
    if (Result < 0)
        FLastError = WSocket_WSAGetLastError();
    else
        FReadCount += Result;
    return Result;
}

int TCustomWSocket::GetRcvdCount() {
    if (FHSocket == INVALID_SOCKET)
        return -1;
    DWORD Temp = 0;
    if (WSocket_ioctlsocket(FHSocket, FIONREAD, &Temp) == SOCKET_ERROR)
        return -1;
    return static_cast<int>(Temp);
}

int TCustomWSocket::Send(const void* Data, int Len) {
    if (FState != wsConnected) {
        WSocket_WSASetLastError(WSAENOTCONN);
        SocketError("Send");
        return -1;
    }
    bAllSent = false;
    int Result = 0;
    if (Len > 0 && Data) {
        Result = Len;
        PutDataInSendBuffer(Data, Len);
    }
    TryToSend();
    // OnDataSent always comes from the message loop.
    if (bAllSent)
        PostMessageA(FWindowHandle, WM_ASYNCSELECT, FHSocket, WSAMAKESELECTREPLY(FD_WRITE, 0));
    return Result;
}

int TCustomWSocket::SendStr(const AnsiString& Str) {
    return Send(Str.data(), static_cast<int>(Str.size()));
}

int TCustomWSocket::SendText(const AnsiString& Str) {
    return SendStr(Str);
}

int TCustomWSocket::SendTo(const sockaddr_in& Dest, int DestLen, const void* Data, int Len) {
    const int Result = WSocket_sendto(FHSocket, static_cast<const char*>(Data), Len, FSendFlags,
                                      reinterpret_cast<const sockaddr*>(&Dest), DestLen);
    if (Result > 0)
        TriggerSendData(Result);
    return Result;
}

void TCustomWSocket::PutDataInSendBuffer(const void* Data, int Len) {
    const char* Bytes = static_cast<const char*>(Data);
    if (FBufList.empty())
        FBufList.push_back(new TBuffer(FBufSize));
    int cWritten = FBufList.back()->Write(Bytes, Len);
    while (cWritten < Len) {
        FBufList.push_back(new TBuffer(FBufSize));
        cWritten += FBufList.back()->Write(Bytes + cWritten, Len - cWritten);
    }
}

void TCustomWSocket::TryToSend() {
    if (FHSocket == INVALID_SOCKET || FBufList.empty())
        return;
    while (true) {
        TBuffer* oBuffer = FBufList.front();
        int Len;
        const char* Data = oBuffer->Peek(Len);
        if (Len <= 0) {
            if (FBufList.size() == 1) {
                bAllSent = true;
                return;
            }
            delete oBuffer;
            FBufList.pop_front();
            continue;
        }
        const int Count = RealSend(Data, Len);
        if (Count == SOCKET_ERROR) {
            const int LastError = WSocket_WSAGetLastError();
            if (IsFatalSendError(LastError)) {
                FCloseInvoked = true;
                Close();
                TriggerSessionClosed(static_cast<WORD>(LastError));
            } else if (LastError != WSAEWOULDBLOCK) {
                SocketError("TryToSend failed");
            }
            return;
        }
        oBuffer->Remove(Count);
        if (Count < Len)
            return;
    }
}

int TCustomWSocket::RealSend(const void* Data, int Len) {
    const char* Bytes = static_cast<const char*>(Data);
    const int Result = FType == SOCK_DGRAM
                           ? WSocket_sendto(FHSocket, Bytes, Len, FSendFlags,
                                            reinterpret_cast<const sockaddr*>(&Fsin), sizeof Fsin)
                           : WSocket_send(FHSocket, Bytes, Len, FSendFlags);
    if (Result > 0)
        TriggerSendData(Result);
    return Result;
}

void TCustomWSocket::DeleteBufferedData() {
    for (TBuffer* oBuffer : FBufList)
        delete oBuffer;
    FBufList.clear();
}

void TCustomWSocket::ResolveForConnect() {
    if (!FProtoResolved) {
        FProto = WSocketResolveProto(FProtoStr);
        FType = FProto == IPPROTO_UDP ? SOCK_DGRAM : SOCK_STREAM;
        FProtoResolved = true;
    }
    if (!FPortResolved) {
        Fsin.sin_port = WSocket_htons(WSocketResolvePort(FPortStr, FProtoStr));
        FPortResolved = true;
    }
    if (!FLocalPortResolved) {
        FLocalPortNum = WSocketResolvePort(FLocalPortStr, FProtoStr);
        FLocalPortResolved = true;
    }
    if (!FAddrResolved) {
        Fsin.sin_addr = WSocketResolveHost(FAddrStr);
        FAddrResolved = true;
    }
}

void TCustomWSocket::Connect() {
    if (FHSocket != INVALID_SOCKET && FState != wsClosed) {
        RaiseException("Connect: Socket already in use");
        return;
    }
    if (!FPortAssigned) {
        RaiseException("Connect: No Port Specified");
        return;
    }
    if (!FAddrAssigned) {
        RaiseException("Connect: No IP Address Specified");
        return;
    }
    if (!FProtoAssigned) {
        RaiseException("Connect: No Protocol Specified");
        return;
    }
    try {
        ResolveForConnect();
    } catch (const ESocketException& E) {
        RaiseException("connect: " + E.Message);
        return;
    }

    DeleteBufferedData();
    FHSocket = WSocket_socket(AF_INET, FType, FProto);
    if (FHSocket == INVALID_SOCKET) {
        SocketError("Connect (socket)");
        return;
    }
    FCloseInvoked = false;
    ChangeState(wsOpened);

    const int optval = 1;
    const char* On = reinterpret_cast<const char*>(&optval);
    if (FType == SOCK_STREAM) {
        if (WSocket_setsockopt(FHSocket, SOL_SOCKET, SO_REUSEADDR, On, sizeof optval) ==
            SOCKET_ERROR) {
            SocketError("setsockopt(SO_REUSEADDR)");
            return;
        }
        if (ComponentOptions.Contains(wsoTcpNoDelay) &&
            WSocket_setsockopt(FHSocket, IPPROTO_TCP, TCP_NODELAY, On, sizeof optval) ==
                SOCKET_ERROR) {
            SocketError("setsockopt(IPPROTO_TCP, TCP_NODELAY)");
            return;
        }
        SetLingerOption();
        if (WSocket_setsockopt(FHSocket, SOL_SOCKET, SO_KEEPALIVE, On, sizeof optval) ==
            SOCKET_ERROR) {
            SocketError("setsockopt(SO_KEEPALIVE)");
            return;
        }
        if (FLocalPortNum != 0 || FLocalAddr != "0.0.0.0")
            BindSocket();
    } else {
        BindSocket();
        if (MultiCast && MultiCastIpTTL != 1) {
            const int ttl = MultiCastIpTTL;
            if (WSocket_setsockopt(FHSocket, IPPROTO_IP, IP_MULTICAST_TTL,
                                   reinterpret_cast<const char*>(&ttl),
                                   sizeof ttl) == SOCKET_ERROR) {
                SocketError("setsockopt(IP_MULTICAST_TTL)");
                return;
            }
        }
        if (Fsin.sin_addr.s_addr == INADDR_BROADCAST &&
            WSocket_setsockopt(FHSocket, SOL_SOCKET, SO_BROADCAST, On, sizeof optval) ==
                SOCKET_ERROR) {
            SocketError("setsockopt(SO_BROADCAST)");
            return;
        }
    }

    FSelectEvent = FD_READ | FD_WRITE | FD_CLOSE | FD_ACCEPT | FD_CONNECT;
    if (WSocket_WSAAsyncSelect(FHSocket, FWindowHandle, WM_ASYNCSELECT, FSelectEvent) != 0) {
        SocketError("WSAAsyncSelect");
        return;
    }

    if (FType == SOCK_DGRAM) {
        ChangeState(wsConnected);
        TriggerSessionConnected(0);
        return;
    }
    if (WSocket_connect(FHSocket, reinterpret_cast<const sockaddr*>(&Fsin), sizeof Fsin) == 0 ||
        WSocket_WSAGetLastError() == WSAEWOULDBLOCK) {
        ChangeState(wsConnecting);
        return;
    }
    SocketError("Connect");
}

void TCustomWSocket::BindSocket() {
    sockaddr_in SockName{};
    SockName.sin_family = AF_INET;
    SockName.sin_port = WSocket_htons(FLocalPortNum);
    SockName.sin_addr = WSocketResolveHost(FLocalAddr);
    if (WSocket_bind(FHSocket, reinterpret_cast<const sockaddr*>(&SockName), sizeof SockName) !=
        0) {
        SocketError("bind");
        return;
    }
    int SockNamelen = sizeof SockName;
    if (WSocket_getsockname(FHSocket, reinterpret_cast<sockaddr*>(&SockName), &SockNamelen) != 0) {
        SocketError("getsockname");
        return;
    }
    FLocalPortNum = WSocket_ntohs(SockName.sin_port);
    FLocalPortStr = IntToStr(FLocalPortNum);
}

void TCustomWSocket::SetLingerOption() {
    if (LingerOnOff == wsLingerNoSet)
        return;
    if (FHSocket == INVALID_SOCKET) {
        RaiseException("Cannot set linger option at this time");
        return;
    }
    const linger li{static_cast<u_short>(LingerOnOff == wsLingerOn ? 1 : 0),
                    static_cast<u_short>(LingerTimeout)};
    if (WSocket_setsockopt(FHSocket, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&li),
                           sizeof li) == SOCKET_ERROR)
        SocketError("setsockopt(SO_LINGER)");
}

void TCustomWSocket::Listen() {
    if (FHSocket != INVALID_SOCKET && FState != wsClosed) {
        RaiseException("Listen: Socket already in use");
        return;
    }
    if (!FPortAssigned) {
        RaiseException("Listen: No Port Specified");
        return;
    }
    if (!FAddrAssigned) {
        RaiseException("Listen: No IP Address Specified");
        return;
    }
    try {
        ResolveForConnect();
    } catch (const ESocketException& E) {
        RaiseException("listen: " + E.Message);
        return;
    }
    FHSocket = WSocket_socket(AF_INET, FType, FProto);
    if (FHSocket == INVALID_SOCKET) {
        SocketError("socket");
        return;
    }
    FCloseInvoked = false;
    ChangeState(wsOpened);
    const int optval = 1;
    if (ReuseAddr &&
        WSocket_setsockopt(FHSocket, SOL_SOCKET, SO_REUSEADDR,
                           reinterpret_cast<const char*>(&optval), sizeof optval) == SOCKET_ERROR) {
        SocketError("setsockopt(SO_REUSEADDR)");
        return;
    }
    if (WSocket_bind(FHSocket, reinterpret_cast<const sockaddr*>(&Fsin), sizeof Fsin) ==
        SOCKET_ERROR) {
        SocketError("bind");
        return;
    }
    ChangeState(wsBound);
    if (FType == SOCK_DGRAM) {
        FSelectEvent = FD_READ | FD_WRITE;
        if (WSocket_WSAAsyncSelect(FHSocket, FWindowHandle, WM_ASYNCSELECT, FSelectEvent) != 0) {
            SocketError("WSAAsyncSelect");
            return;
        }
        ChangeState(wsListening);
        ChangeState(wsConnected);
        TriggerSessionConnected(0);
        return;
    }
    if (WSocket_listen(FHSocket, 5) == SOCKET_ERROR) {
        SocketError("listen");
        return;
    }
    FSelectEvent = FD_ACCEPT | FD_READ | FD_WRITE | FD_CLOSE;
    if (WSocket_WSAAsyncSelect(FHSocket, FWindowHandle, WM_ASYNCSELECT, FSelectEvent) != 0) {
        SocketError("WSAAsyncSelect");
        return;
    }
    ChangeState(wsListening);
}

SOCKET TCustomWSocket::Accept() {
    if (FState != wsListening) {
        WSocket_WSASetLastError(WSAEINVAL);
        SocketError("not a listening socket");
        return INVALID_SOCKET;
    }
    sockaddr_in Peer{};
    int Len = sizeof Peer;
    const SOCKET Accepted = WSocket_accept(FHSocket, reinterpret_cast<sockaddr*>(&Peer), &Len);
    if (Accepted == INVALID_SOCKET) {
        SocketError("accept");
        return INVALID_SOCKET;
    }
    return Accepted;
}

void TCustomWSocket::Dup(SOCKET NewHSocket) {
    if (NewHSocket == INVALID_SOCKET || NewHSocket == 0) {
        WSocket_WSASetLastError(WSAEINVAL);
        SocketError("Dup");
        return;
    }
    if (FState != wsClosed) {
        WSocket_closesocket(FHSocket);
        FHSocket = INVALID_SOCKET;
    }
    FHSocket = NewHSocket;
    FCloseInvoked = false;
    SetLingerOption();
    FSelectEvent = FD_READ | FD_WRITE | FD_CLOSE;
    if (WSocket_WSAAsyncSelect(FHSocket, FWindowHandle, WM_ASYNCSELECT, FSelectEvent) != 0) {
        SocketError("WSAAsyncSelect");
        return;
    }
    ChangeState(wsConnected);
}

void TCustomWSocket::Close() {
    InternalClose(true, 0);
}

void TCustomWSocket::InternalClose(bool bShut, WORD Error) {
    if (FHSocket == INVALID_SOCKET) {
        if (FState != wsClosed) {
            ChangeState(wsClosed);
            AssignDefaultValue();
        }
        return;
    }
    if (bShut)
        WSocket_shutdown(FHSocket, SD_SEND);
    while (WSocket_closesocket(FHSocket) == SOCKET_ERROR) {
        FLastError = WSocket_WSAGetLastError();
        if (FLastError != WSAEWOULDBLOCK) {
            if (FLastError != WSANOTINITIALISED) {
                FHSocket = INVALID_SOCKET;
                SocketError("Disconnect (closesocket)");
            }
            break;
        }
        WaitForMessage();
    }
    FHSocket = INVALID_SOCKET;
    ChangeState(wsClosed);
    if (!FDestroying && !FCloseInvoked) {
        FCloseInvoked = true;
        TriggerSessionClosed(Error);
    }
    AssignDefaultValue();
}

void TCustomWSocket::Abort() {
    CancelDnsLookup();
    DeleteBufferedData();
    if (FState == wsConnected && FType == SOCK_STREAM) {
        LingerOnOff = wsLingerOff;
        SetLingerOption();
    }
    InternalClose(false, 0);
}

void TCustomWSocket::CloseDelayed() {
    PostMessageA(FWindowHandle, WM_CLOSE_DELAYED, 0, 0);
}

void TCustomWSocket::WMCloseDelayed(TMessage&) {
    Close();
}

void TCustomWSocket::Release() {
    PostMessageA(FWindowHandle, WM_WSOCKET_RELEASE, 0, 0);
}

void TCustomWSocket::WMRelease(TMessage&) {
    delete this;
}

void TCustomWSocket::Flush() {
    const TNestedLoop Nested;
    while (FHSocket != INVALID_SOCKET && !bAllSent) {
        TryToSend();
        if (!bAllSent)
            WaitForMessage();
    }
}

void TCustomWSocket::WaitForClose() {
    const TNestedLoop Nested;
    char TrashCan[1024];
    while (FHSocket != INVALID_SOCKET && FState != wsClosed) {
        WaitForMessage();
        if (FHSocket == INVALID_SOCKET)
            break;
        if (DoRecv(TrashCan, sizeof TrashCan, 0) == 0) {
            Close();
            break;
        }
    }
}

void TCustomWSocket::Shutdown(int How) {
    if (FHSocket != INVALID_SOCKET)
        WSocket_shutdown(FHSocket, How);
}

void TCustomWSocket::Pause() {
    FPaused = true;
    if (FHSocket != INVALID_SOCKET)
        WSocket_WSAAsyncSelect(FHSocket, FWindowHandle, 0, 0);
}

void TCustomWSocket::Resume() {
    FPaused = false;
    if (FHSocket != INVALID_SOCKET)
        WSocket_WSAAsyncSelect(FHSocket, FWindowHandle, WM_ASYNCSELECT, FSelectEvent);
}

void TCustomWSocket::ThreadDetach() {
    if (!FWindowHandle)
        return;
    CancelDnsLookup();
    if (FHSocket != INVALID_SOCKET)
        WSocket_WSAAsyncSelect(FHSocket, FWindowHandle, 0, 0);
    DeallocateSocketHWnd();
}

void TCustomWSocket::ThreadAttach() {
    ThreadDetach();
    AllocateSocketHWnd();
    if (FHSocket != INVALID_SOCKET && FSelectEvent != 0 && !FPaused &&
        WSocket_WSAAsyncSelect(FHSocket, FWindowHandle, WM_ASYNCSELECT, FSelectEvent) != 0)
        SocketError("WSAAsyncSelect");
}

void TCustomWSocket::DnsLookup(const AnsiString& HostName) {
    if (HostName.empty()) {
        RaiseException("DNS lookup: invalid host name.");
        TriggerDNSLookupDone(WSAEINVAL);
        return;
    }
    if (FDnsLookupHandle) {
        // The earlier lookup is replaced, not reported.
        WSocket_WSACancelAsyncRequest(FDnsLookupHandle);
        FDnsLookupHandle = nullptr;
    }
    FDnsResult.clear();
    FDnsResultList->Clear();

    const DWORD IPAddr = WSocket_inet_addr(HostName.c_str());
    if (IPAddr != INADDR_NONE) {
        FDnsResult = WSocket_inet_ntoa(in_addr{IPAddr});
        TriggerDNSLookupDone(0);
        return;
    }
    std::memset(FDnsLookupBuffer, 0, sizeof FDnsLookupBuffer);
    FDnsLookupHandle =
        WSocket_WSAAsyncGetHostByName(FWindowHandle, WM_ASYNCGETHOSTBYNAME, HostName.c_str(),
                                      FDnsLookupBuffer, sizeof FDnsLookupBuffer);
    if (!FDnsLookupHandle)
        RaiseExceptionFmt("%s: can't start DNS lookup, error #%d", HostName.c_str(),
                          WSocket_WSAGetLastError());
}

void TCustomWSocket::WMAsyncGetHostByName(TMessage& msg) {
    if (!FDnsLookupHandle || reinterpret_cast<HANDLE>(msg.WParam) != FDnsLookupHandle)
        return;
    EndDnsLookup();
    const WORD Error = WSAGETASYNCERROR(msg.LParam);
    if (Error == 0) {
        WSocketGetIpList(reinterpret_cast<const hostent*>(FDnsLookupBuffer), FDnsResultList);
        if (FDnsResultList->Count > 0)
            FDnsResult = FDnsResultList->Strings[0];
    }
    TriggerDNSLookupDone(Error);
}

// Whatever message said the lookup is over, it is stopped for certain, so
// that nothing writes into the answer buffer any more.
void TCustomWSocket::EndDnsLookup() {
    WSocket_WSACancelAsyncRequest(FDnsLookupHandle);
    FDnsLookupHandle = nullptr;
}

void TCustomWSocket::ReverseDnsLookup(const AnsiString& HostAddr) {
    if (HostAddr.empty()) {
        RaiseException("Reverse DNS lookup: invalid host address.");
        TriggerDNSLookupDone(WSAEINVAL);
        return;
    }
    if (FDnsLookupHandle) {
        WSocket_WSACancelAsyncRequest(FDnsLookupHandle);
        FDnsLookupHandle = nullptr;
    }
    FDnsResult.clear();
    FDnsResultList->Clear();
    const DWORD IPAddr = WSocket_inet_addr(HostAddr.c_str());
    if (IPAddr == INADDR_NONE && HostAddr != "255.255.255.255") {
        RaiseException("Reverse DNS lookup: invalid host address.");
        TriggerDNSLookupDone(WSAEINVAL);
        return;
    }
    std::memset(FDnsLookupBuffer, 0, sizeof FDnsLookupBuffer);
    FDnsLookupHandle = WSocket_WSAAsyncGetHostByAddr(
        FWindowHandle, WM_ASYNCGETHOSTBYADDR, reinterpret_cast<const char*>(&IPAddr), sizeof IPAddr,
        AF_INET, FDnsLookupBuffer, sizeof FDnsLookupBuffer);
    if (!FDnsLookupHandle)
        RaiseExceptionFmt("%s: can't start reverse DNS lookup, error #%d", HostAddr.c_str(),
                          WSocket_WSAGetLastError());
}

void TCustomWSocket::WMAsyncGetHostByAddr(TMessage& msg) {
    if (!FDnsLookupHandle || reinterpret_cast<HANDLE>(msg.WParam) != FDnsLookupHandle)
        return;
    EndDnsLookup();
    const WORD Error = WSAGETASYNCERROR(msg.LParam);
    if (Error == 0) {
        const auto* Phe = reinterpret_cast<const hostent*>(FDnsLookupBuffer);
        if (Phe->h_name) {
            FDnsResult = Phe->h_name;
            FDnsResultList->Add(FDnsResult);
        }
        for (char* const* Alias = Phe->h_aliases; Alias && *Alias; ++Alias)
            FDnsResultList->Add(*Alias);
    }
    TriggerDNSLookupDone(Error);
}

void TCustomWSocket::CancelDnsLookup() {
    if (!FDnsLookupHandle)
        return;
    const HANDLE Lookup = FDnsLookupHandle;
    FDnsLookupHandle = nullptr;
    // An answer already on its way is ignored like any answer to a
    // forgotten handle; only a refusal of any other kind is an error.
    if (WSocket_WSACancelAsyncRequest(Lookup) != 0 && WSocket_WSAGetLastError() != WSAEALREADY) {
        SocketError("WSACancelAsyncRequest");
        return;
    }
    if (!FDestroying)
        TriggerDNSLookupDone(WSAEINTR);
}

AnsiString TCustomWSocket::GetPeerAddr() {
    if (FState != wsConnected)
        return "error";
    sockaddr_in saddr{};
    int saddrlen = sizeof saddr;
    if (WSocket_getpeername(FHSocket, reinterpret_cast<sockaddr*>(&saddr), &saddrlen) != 0)
        return "error";
    return WSocket_inet_ntoa(saddr.sin_addr);
}

AnsiString TCustomWSocket::GetPeerPort() {
    if (FState != wsConnected)
        return "error";
    sockaddr_in saddr{};
    int saddrlen = sizeof saddr;
    if (WSocket_getpeername(FHSocket, reinterpret_cast<sockaddr*>(&saddr), &saddrlen) != 0)
        return "error";
    return IntToStr(WSocket_ntohs(saddr.sin_port));
}

int TCustomWSocket::GetPeerName(sockaddr_in& Name, int NameLen) {
    if (FState != wsConnected) {
        WSocket_WSASetLastError(WSAENOTCONN);
        return SOCKET_ERROR;
    }
    return WSocket_getpeername(FHSocket, reinterpret_cast<sockaddr*>(&Name), &NameLen);
}

int TCustomWSocket::GetSockName(sockaddr_in& saddr, int& saddrlen) {
    return WSocket_getsockname(FHSocket, reinterpret_cast<sockaddr*>(&saddr), &saddrlen);
}

AnsiString TCustomWSocket::GetXPort() {
    sockaddr_in saddr{};
    int saddrlen = sizeof saddr;
    if (FHSocket == INVALID_SOCKET || GetSockName(saddr, saddrlen) != 0)
        return "error";
    return IntToStr(WSocket_ntohs(saddr.sin_port));
}

AnsiString TCustomWSocket::GetXAddr() {
    sockaddr_in saddr{};
    int saddrlen = sizeof saddr;
    if (FHSocket == INVALID_SOCKET || GetSockName(saddr, saddrlen) != 0)
        return "error";
    return WSocket_inet_ntoa(saddr.sin_addr);
}

bool TCustomWSocket::TimerIsSet(const timeval& tvp) {
    return tvp.tv_sec != 0 || tvp.tv_usec != 0;
}

void TCustomWSocket::TimerClear(timeval& tvp) {
    tvp.tv_sec = 0;
    tvp.tv_usec = 0;
}

int TCustomWSocket::TimerCmp(const timeval& tvp, const timeval& uvp) {
    if (tvp.tv_sec != uvp.tv_sec)
        return tvp.tv_sec < uvp.tv_sec ? -1 : 1;
    if (tvp.tv_usec != uvp.tv_usec)
        return tvp.tv_usec < uvp.tv_usec ? -1 : 1;
    return 0;
}

void TCustomWSocket::SetAddr(const AnsiString& InAddr) {
    if (FState != wsClosed) {
        RaiseException("Cannot change Addr if not closed");
        return;
    }
    FAddrStr = InAddr;
    FAddrAssigned = !InAddr.empty();
    FAddrResolved = false;
}

void TCustomWSocket::SetRemotePort(const AnsiString& sPort) {
    if (FState != wsClosed) {
        RaiseException("Cannot change Port if not closed");
        return;
    }
    FPortStr = sPort;
    FPortAssigned = true;
    FPortResolved = false;
}

void TCustomWSocket::SetProto(const AnsiString& sProto) {
    if (FState != wsClosed) {
        RaiseException("Cannot change Proto if not closed");
        return;
    }
    FProtoStr = sProto;
    FProtoAssigned = true;
    FProtoResolved = false;
}

void TCustomWSocket::SetLocalPort(const AnsiString& sLocalPort) {
    if (FState != wsClosed) {
        RaiseException("Cannot change LocalPort if not closed");
        return;
    }
    FLocalPortStr = sLocalPort;
    FLocalPortResolved = false;
}

void TCustomWSocket::SetLocalAddr(const AnsiString& sLocalAddr) {
    if (FState != wsClosed) {
        RaiseException("Cannot change LocalAddr if not closed");
        return;
    }
    const AnsiString Wanted = sLocalAddr.empty() ? AnsiString("0.0.0.0") : sLocalAddr;
    const DWORD IPAddr = WSocket_inet_addr(Wanted.c_str());
    if (IPAddr == INADDR_NONE) {
        RaiseException("SetLocalAddr(): Invalid IP address");
        return;
    }
    FLocalAddr = WSocket_inet_ntoa(in_addr{IPAddr});
}

void TCustomWSocket::SetSendFlags(TSocketSendFlags newValue) {
    switch (newValue) {
    case wsSendNormal:
        FSendFlags = 0;
        break;
    case wsSendUrgent:
        FSendFlags = MSG_OOB;
        break;
    default:
        RaiseException("Invalid SendFlags");
    }
}

void TCustomWSocket::SocketError(const AnsiString& sockfunc) {
    const int Error = WSocket_WSAGetLastError();
    const AnsiString Line =
        "Error " + IntToStr(Error) + " in function " + sockfunc + "\r\n" + WSocketErrorDesc(Error);
    if (Error == WSAECONNRESET || Error == WSAENOTCONN) {
        if (FHSocket != INVALID_SOCKET)
            WSocket_closesocket(FHSocket);
        FHSocket = INVALID_SOCKET;
        if (FState != wsClosed && !FCloseInvoked) {
            FCloseInvoked = true;
            TriggerSessionClosed(static_cast<WORD>(Error));
        }
        ChangeState(wsClosed);
    }
    FLastError = Error;
    RaiseException(Line);
}

void TCustomWSocket::RaiseException(const AnsiString& Msg) {
    if (OnError)
        TriggerError();
    else
        throw ESocketException(Msg);
}

void TCustomWSocket::RaiseExceptionFmt(const char* Fmt, ...) {
    va_list Args;
    va_start(Args, Fmt);
    const AnsiString Text = WSocketFormatV(Fmt, Args);
    va_end(Args);
    RaiseException(Text);
}

void TCustomWSocket::ChangeState(TSocketState NewState) {
    const TSocketState OldState = FState;
    FState = NewState;
    // A component that is being destroyed calls no handler: what they
    // would reach may be gone already.
    if (OldState != NewState && !FDestroying)
        TriggerChangeState(OldState, NewState);
}

bool TCustomWSocket::TriggerDataAvailable(WORD Error) {
    if (!OnDataAvailable)
        return false;
    OnDataAvailable(this, Error);
    return true;
}

void TCustomWSocket::TriggerSendData(int BytesSent) {
    if (OnSendData)
        OnSendData(this, BytesSent);
}

void TCustomWSocket::TriggerSessionAvailable(WORD Error) {
    if (OnSessionAvailable)
        OnSessionAvailable(this, Error);
}

void TCustomWSocket::TriggerSessionConnected(WORD Error) {
    if (OnSessionConnected)
        OnSessionConnected(this, Error);
}

void TCustomWSocket::TriggerSessionClosed(WORD Error) {
    if (OnSessionClosed)
        OnSessionClosed(this, Error);
}

void TCustomWSocket::TriggerDataSent(WORD Error) {
    if (OnDataSent)
        OnDataSent(this, Error);
}

void TCustomWSocket::TriggerChangeState(TSocketState OldState, TSocketState NewState) {
    if (OnChangeState)
        OnChangeState(this, OldState, NewState);
}

void TCustomWSocket::TriggerDNSLookupDone(WORD Error) {
    if (OnDnsLookupDone)
        OnDnsLookupDone(this, Error);
}

void TCustomWSocket::TriggerError() {
    if (OnError)
        OnError(this);
}

void TCustomWSocket::MessagePump() {
    if (MultiThreaded)
        ProcessMessages();
    else
        Application->ProcessMessages();
}

void TCustomWSocket::WaitForMessage() {
    if (!MultiThreaded) {
        Application->HandleMessage();
        return;
    }
    if (!ProcessMessage())
        WaitMessageTimeout(MessageWaitMs);
    ProcessMessages();
}

bool TCustomWSocket::ProcessMessage() {
    MSG Msg;
    if (!PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (Msg.message == WM_QUIT)
        FTerminated = true;
    else
        DispatchMessageA(&Msg);
    return true;
}

void TCustomWSocket::ProcessMessages() {
    while (ProcessMessage()) {
    }
}

void TCustomWSocket::MessageLoop() {
    MSG Msg;
    while (GetMessageA(&Msg, nullptr, 0, 0))
        DispatchMessageA(&Msg);
    FTerminated = true;
}
