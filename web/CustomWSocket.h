#pragma once
// The asynchronous socket component: one Winsock socket whose
// notifications, posted to a hidden window of the class
// "XSocketWindowClass", become state changes and events on the thread that
// created it, with a send queue that drains itself and a receive loop.
//
// Events run from the message loop (Application->ProcessMessages()), never
// from inside the call that caused them, except where noted: DnsLookup of a
// dotted address reports at once, and closing reports OnSessionClosed from
// Close itself. Synchronous failures raise ESocketException, or call
// OnError when one is assigned; asynchronous ones arrive as the error of
// OnDnsLookupDone, OnSessionConnected and OnSessionClosed.

#include <cstdint>
#include <list>

#include "platform/vcl/Classes.h"
#include "platform/winsock/Winsock.h"
#include "web/SocketException.h"
#include "web/WSockBuf.h"
#include "web/WSocketTypes.h"

class TCustomWSocket : public TComponent {
public:
    explicit TCustomWSocket(TComponent* AOwner);
    ~TCustomWSocket() override;

    virtual void WndProc(TMessage& MsgRec);

    virtual void Connect();
    virtual void Close();
    virtual void CloseDelayed();
    // Frees the component from the message loop.
    virtual void Release();
    virtual void Abort();
    virtual void Flush();
    virtual void WaitForClose();
    virtual void Listen();
    virtual SOCKET Accept();
    virtual int Receive(void* Buffer, int BufferSize);
    virtual AnsiString ReceiveStr();
    virtual int ReceiveFrom(void* Buffer, int BufferSize, sockaddr_in& From, int& FromLen);
    int PeekData(void* Buffer, int BufferSize);
    virtual int Send(const void* Data, int Len);
    virtual int SendTo(const sockaddr_in& Dest, int DestLen, const void* Data, int Len);
    virtual int SendStr(const AnsiString& Str);
    int SendText(const AnsiString& Str);
    virtual void DnsLookup(const AnsiString& HostName);
    virtual void ReverseDnsLookup(const AnsiString& HostAddr);
    virtual void CancelDnsLookup();
    virtual AnsiString GetPeerAddr();
    virtual AnsiString GetPeerPort();
    virtual int GetPeerName(sockaddr_in& Name, int NameLen);
    // The local port and address of the socket.
    virtual AnsiString GetXPort();
    virtual AnsiString GetXAddr();
    // Winsock's timeval helpers: a time is set when either field is not 0;
    // clearing sets both to 0; the comparison is by seconds, then
    // microseconds: below 0 when tvp is earlier than uvp, 0 when both are
    // the same, above 0 when tvp is later.
    virtual bool TimerIsSet(const timeval& tvp);
    virtual void TimerClear(timeval& tvp);
    virtual int TimerCmp(const timeval& tvp, const timeval& uvp);
    virtual int GetSockName(sockaddr_in& saddr, int& saddrlen);
    virtual void Dup(SOCKET NewHSocket);
    virtual void Shutdown(int How);
    virtual void Pause();
    virtual void Resume();
    // Moving the socket to another thread: ThreadDetach drops the event
    // selection and the hidden window (a name lookup under way is
    // cancelled); ThreadAttach, called in the thread that is to get the
    // events, detaches first when needed, makes the window there and
    // selects the events again, so they arrive in that thread's queue.
    void ThreadAttach();
    void ThreadDetach();
    virtual void MessagePump();
    // One turn of a wait: what MessagePump runs, except that when nothing
    // waits it sleeps until a message comes (or a short while has passed)
    // instead of returning at once, so a wait costs no processor time.
    void WaitForMessage();
    // The thread's own queue: one message, all waiting ones, or all until
    // a quit message.
    bool ProcessMessage();
    void ProcessMessages();
    void MessageLoop();

    Property<AnsiString> Addr;
    Property<AnsiString> Port;
    Property<AnsiString> Proto;
    Property<AnsiString> LocalAddr;
    Property<AnsiString> LocalPort;
    ReadOnlyProperty<AnsiString> PeerAddr;
    ReadOnlyProperty<AnsiString> PeerPort;
    ReadOnlyProperty<AnsiString> DnsResult;
    ReadOnlyProperty<TStrings*> DnsResultList;
    ReadOnlyProperty<TSocketState> State;
    ReadOnlyProperty<int64_t> ReadCount;
    ReadOnlyProperty<int> RcvdCount;
    ReadOnlyProperty<int> LastError;
    ReadOnlyProperty<SOCKET> HSocket;
    ReadOnlyProperty<HWND> Handle;
    Property<TSocketSendFlags> SendFlags;
    bool MultiThreaded = false;
    bool MultiCast = false;
    AnsiString MultiCastAddrStr;
    int MultiCastIpTTL = 1;
    bool ReuseAddr = false;
    TWSocketOptions ComponentOptions;
    int FlushTimeout = 60;
    TSocketLingerOnOff LingerOnOff = wsLingerOn;
    int LingerTimeout = 0;

    TDataAvailable OnDataAvailable;
    TDataSent OnDataSent;
    TSendData OnSendData;
    TSessionClosed OnSessionClosed;
    TSessionAvailable OnSessionAvailable;
    TSessionConnected OnSessionConnected;
    TChangeState OnChangeState;
    TDnsLookupDone OnDnsLookupDone;
    TNotifyEvent OnError;
    TBgExceptionEvent OnBgException;

protected:
    virtual void AllocateSocketHWnd();
    virtual void DeallocateSocketHWnd();
    virtual void AssignDefaultValue();
    virtual void InternalClose(bool bShut, WORD Error);
    virtual void SetRemotePort(const AnsiString& sPort);
    virtual void SetProto(const AnsiString& sProto);
    virtual int GetRcvdCount();
    virtual void BindSocket();
    virtual int RealSend(const void* Data, int Len);
    virtual void RaiseExceptionFmt(const char* Fmt, ...) __attribute__((format(printf, 2, 3)));
    virtual void RaiseException(const AnsiString& Msg);
    virtual void HandleBackGroundException(const std::exception& E);
    // False when nobody listens.
    virtual bool TriggerDataAvailable(WORD Error);
    virtual void TriggerSessionAvailable(WORD Error);
    virtual void TriggerSessionConnected(WORD Error);
    virtual void TriggerSessionClosed(WORD Error);
    virtual void TriggerDataSent(WORD Error);
    virtual void TriggerChangeState(TSocketState OldState, TSocketState NewState);
    virtual void TriggerDNSLookupDone(WORD Error);
    virtual void TriggerError();
    virtual int DoRecv(void* Buffer, int BufferSize, int Flags);
    virtual int DoRecvFrom(void* Buffer, int BufferSize, int Flags, sockaddr* From, int* FromLen);

    void SocketError(const AnsiString& sockfunc);
    void ChangeState(TSocketState NewState);
    void ASyncReceive(WORD Error, TWSocketOptions MySocketOptions);
    void TryToSend();
    void PutDataInSendBuffer(const void* Data, int Len);
    void DeleteBufferedData();
    void SetLingerOption();
    void SetAddr(const AnsiString& InAddr);
    void SetLocalAddr(const AnsiString& sLocalAddr);
    void SetLocalPort(const AnsiString& sLocalPort);
    void SetSendFlags(TSocketSendFlags newValue);
    bool Destroying() const { return FDestroying; }
    // A quit message reached ProcessMessage or MessageLoop.
    bool Terminated() const { return FTerminated; }

    SOCKET FHSocket = INVALID_SOCKET;
    HWND FWindowHandle = nullptr;
    AnsiString FAddrStr;
    bool FAddrAssigned = false;
    bool FAddrResolved = false;
    AnsiString FPortStr;
    bool FPortAssigned = false;
    bool FPortResolved = false;
    AnsiString FProtoStr;
    int FProto = IPPROTO_TCP;
    int FType = SOCK_STREAM;
    bool FProtoAssigned = false;
    bool FProtoResolved = false;
    AnsiString FLocalPortStr;
    u_short FLocalPortNum = 0;
    bool FLocalPortResolved = false;
    AnsiString FLocalAddr;
    sockaddr_in Fsin{};
    TSocketState FState = wsClosed;
    int FLastError = 0;

private:
    friend LRESULT XSocketWindowProc(HWND, UINT, WPARAM, LPARAM);

    void WMASyncSelect(TMessage& msg);
    void WMAsyncGetHostByName(TMessage& msg);
    void WMAsyncGetHostByAddr(TMessage& msg);
    void EndDnsLookup();
    void WMCloseDelayed(TMessage& msg);
    void WMRelease(TMessage& msg);
    void ResolveForConnect();
    void TriggerSendData(int BytesSent);

    std::list<TBuffer*> FBufList;
    int FBufSize = 1460;
    bool bAllSent = true;
    long FSelectEvent = 0;
    HANDLE FDnsLookupHandle = nullptr;
    alignas(hostent) char FDnsLookupBuffer[MAXGETHOSTSTRUCT + 1] = {};
    AnsiString FDnsResult;
    TStringList* FDnsResultList = nullptr;
    bool FCloseInvoked = false;
    bool FPaused = false;
    bool FDestroying = false;
    bool FTerminated = false;
    int FSendFlags = 0;
    int64_t FReadCount = 0;
    // Calls of recv, so the receive loop can tell a pass that read nothing.
    int64_t FRecvCalls = 0;
};
