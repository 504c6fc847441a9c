#include "web/WSocketFunctions.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/win32/Resources.h"

namespace {

const char WinsockDllName[] = "wsock32.dll";

// The system's numbers for a module or a procedure that is not there.
constexpr int ErrorModNotFound = 126;
constexpr int ErrorProcNotFound = 127;

// The cached entry points, one per function the layer calls.
struct EntryPoints {
    int (*WSAStartup)(WORD, LPWSADATA) = nullptr;
    int (*WSACleanup)() = nullptr;
    void (*WSASetLastError)(int) = nullptr;
    int (*WSAGetLastError)() = nullptr;
    int (*WSACancelAsyncRequest)(HANDLE) = nullptr;
    HANDLE (*WSAAsyncGetHostByName)(HWND, u_int, const char*, char*, int) = nullptr;
    HANDLE (*WSAAsyncGetHostByAddr)(HWND, u_int, const char*, int, int, char*, int) = nullptr;
    int (*WSAAsyncSelect)(SOCKET, HWND, u_int, long) = nullptr;
    servent* (*getservbyname)(const char*, const char*) = nullptr;
    protoent* (*getprotobyname)(const char*) = nullptr;
    hostent* (*gethostbyname)(const char*) = nullptr;
    hostent* (*gethostbyaddr)(const char*, int, int) = nullptr;
    int (*gethostname)(char*, int) = nullptr;
    SOCKET (*socket)(int, int, int) = nullptr;
    int (*shutdown)(SOCKET, int) = nullptr;
    int (*setsockopt)(SOCKET, int, int, const char*, int) = nullptr;
    int (*getsockopt)(SOCKET, int, int, char*, int*) = nullptr;
    int (*sendto)(SOCKET, const char*, int, int, const sockaddr*, int) = nullptr;
    int (*send)(SOCKET, const char*, int, int) = nullptr;
    u_short (*ntohs)(u_short) = nullptr;
    DWORD (*ntohl)(DWORD) = nullptr;
    int (*listen)(SOCKET, int) = nullptr;
    int (*ioctlsocket)(SOCKET, long, DWORD*) = nullptr;
    char* (*inet_ntoa)(in_addr) = nullptr;
    DWORD (*inet_addr)(const char*) = nullptr;
    u_short (*htons)(u_short) = nullptr;
    DWORD (*htonl)(DWORD) = nullptr;
    int (*getsockname)(SOCKET, sockaddr*, int*) = nullptr;
    int (*getpeername)(SOCKET, sockaddr*, int*) = nullptr;
    int (*connect)(SOCKET, const sockaddr*, int) = nullptr;
    int (*closesocket)(SOCKET) = nullptr;
    int (*bind)(SOCKET, const sockaddr*, int) = nullptr;
    SOCKET (*accept)(SOCKET, sockaddr*, int*) = nullptr;
    int (*recv)(SOCKET, char*, int, int) = nullptr;
    int (*recvfrom)(SOCKET, char*, int, int, sockaddr*, int*) = nullptr;
};

// The layer's hold on the library, for the whole process; the library
// goes when the layer ends.
struct WinsockLibrary {
    HINSTANCE handle = nullptr;
    WSADATA data{};
    EntryPoints procs;
    int socketCount = 0;
    bool forceLoaded = false;

    void Unload() {
        if (!handle)
            return;
        const auto cleanup = reinterpret_cast<int (*)()>(GetProcAddress(handle, "WSACleanup"));
        if (cleanup)
            cleanup();
        FreeLibrary(handle);
        handle = nullptr;
        procs = EntryPoints{};
    }
    ~WinsockLibrary() { Unload(); }
};

WinsockLibrary& Library() {
    static WinsockLibrary library;
    return library;
}

template <class F> F Resolved(F& slot, const char* name) {
    if (!slot)
        slot = reinterpret_cast<F>(WSocketGetProc(name));
    return slot;
}

AnsiString NotFound(const AnsiString& ProcName) {
    return "Procedure " + ProcName + " not found in " + WinsockDllName + " Error #" +
           IntToStr(ErrorProcNotFound);
}

void LoadWinsock(WinsockLibrary& library) {
    const HINSTANCE handle = LoadLibraryA(WinsockDllName);
    if (!handle)
        throw ESocketException(AnsiString("Unable to load ") + WinsockDllName + " Error #" +
                               IntToStr(ErrorModNotFound));
    const auto startup =
        reinterpret_cast<int (*)(WORD, LPWSADATA)>(GetProcAddress(handle, "WSAStartup"));
    if (!startup) {
        FreeLibrary(handle);
        throw ESocketException(NotFound("WSAStartup"));
    }
    const int status = startup(MAKEWORD(1, 1), &library.data);
    if (status != 0) {
        FreeLibrary(handle);
        throw ESocketException(WSocketFormat("%s: WSAStartup error #%d", WinsockDllName, status));
    }
    library.handle = handle;
    library.procs.WSAStartup = startup;
}

// The leading decimal digits of a text, held at `limit` + 1 once past it.
long LeadingNumber(const AnsiString& text, long limit) {
    long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            break;
        value = value * 10 + (c - '0');
        if (value > limit)
            return limit + 1;
    }
    return value;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

AnsiString WSocketFormatV(const char* Fmt, va_list Args) {
    va_list Measure;
    va_copy(Measure, Args);
    const int Length = std::vsnprintf(nullptr, 0, Fmt, Measure);
    va_end(Measure);
    std::vector<char> Text(static_cast<size_t>(Length > 0 ? Length : 0) + 1);
    std::vsnprintf(Text.data(), Text.size(), Fmt, Args);
    return AnsiString(Text.data());
}

AnsiString WSocketFormat(const char* Fmt, ...) {
    va_list Args;
    va_start(Args, Fmt);
    AnsiString Text = WSocketFormatV(Fmt, Args);
    va_end(Args);
    return Text;
}

void* WSocketGetProc(const AnsiString& ProcName) {
    WinsockLibrary& library = Library();
    if (!library.handle)
        LoadWinsock(library);
    if (ProcName.empty())
        return nullptr;
    void* proc = GetProcAddress(library.handle, ProcName.c_str());
    if (!proc)
        throw ESocketException(NotFound(ProcName));
    return proc;
}

void WSocketUnloadWinsock() {
    Library().Unload();
}

void WSocketForceLoadWinsock() {
    WinsockLibrary& library = Library();
    if (library.forceLoaded)
        return;
    WSocketGetProc("");
    library.forceLoaded = true;
}

void WSocketCancelForceLoadWinsock() {
    WinsockLibrary& library = Library();
    if (!library.forceLoaded)
        return;
    library.forceLoaded = false;
    if (library.socketCount == 0)
        WSocketUnloadWinsock();
}

const WSADATA& WinsockInfo() {
    WSocketGetProc("");
    return Library().data;
}

void WSocketSocketCreated() {
    ++Library().socketCount;
}

void WSocketSocketDestroyed() {
    WinsockLibrary& library = Library();
    if (--library.socketCount == 0 && !library.forceLoaded)
        WSocketUnloadWinsock();
}

void WSocketGetIpList(const hostent* phe, TStrings* ToList) {
    if (!phe || phe->h_addrtype != AF_INET || phe->h_length != sizeof(in_addr) || !phe->h_addr_list)
        return;
    for (char* const* address = phe->h_addr_list; *address; ++address) {
        in_addr value;
        std::memcpy(&value, *address, sizeof value);
        ToList->Add(WSocket_inet_ntoa(value));
    }
}

TStrings* LocalIPList() {
    // Created with the layer and freed with it.
    static TStringList IPList;
    IPList.Clear();
    WSocketGetIpList(WSocketGetHostByName(LocalHostName()), &IPList);
    return &IPList;
}

AnsiString LocalHostName() {
    char Buffer[64];
    if (WSocket_gethostname(Buffer, sizeof Buffer) != 0)
        throw ESocketException("Winsock.GetHostName failed");
    return Buffer;
}

bool WSocketIsDottedIP(const AnsiString& S) {
    size_t i = 0;
    while (i < S.size() && S[i] == ' ')
        ++i;
    for (int group = 0; group < 4; ++group) {
        if (group > 0) {
            if (i >= S.size() || S[i] != '.')
                return false;
            ++i;
        }
        if (i >= S.size() || !IsDigit(S[i]))
            return false;
        int value = 0;
        while (i < S.size() && IsDigit(S[i])) {
            value = value * 10 + (S[i] - '0');
            if (value > 255)
                return false;
            ++i;
        }
    }
    while (i < S.size() && S[i] == ' ')
        ++i;
    return i == S.size();
}

AnsiString WSocketErrorDesc(int ErrCode) {
    switch (ErrCode) {
    case 0:
        return "No Error";
    case WSAEINTR:
        return "Interrupted system call";
    case WSAEBADF:
        return "Bad file number";
    case WSAEACCES:
        return "Permission denied";
    case WSAEFAULT:
        return "Bad address";
    case WSAEINVAL:
        return "Invalid argument";
    case WSAEMFILE:
        return "Too many open files";
    case WSAEWOULDBLOCK:
        return "Operation would block";
    case WSAEINPROGRESS:
        return "Operation now in progress";
    case WSAEALREADY:
        return "Operation already in progress";
    case WSAENOTSOCK:
        return "Socket operation on non-socket";
    case WSAEDESTADDRREQ:
        return "Destination address required";
    case WSAEMSGSIZE:
        return "Message too long";
    case WSAEPROTOTYPE:
        return "Protocol wrong type for socket";
    case WSAENOPROTOOPT:
        return "Protocol not available";
    case WSAEPROTONOSUPPORT:
        return "Protocol not supported";
    case WSAESOCKTNOSUPPORT:
        return "Socket type not supported";
    case WSAEOPNOTSUPP:
        return "Operation not supported on socket";
    case WSAEPFNOSUPPORT:
        return "Protocol family not supported";
    case WSAEAFNOSUPPORT:
        return "Address family not supported by protocol family";
    case WSAEADDRINUSE:
        return "Address already in use";
    case WSAEADDRNOTAVAIL:
        return "Address not available";
    case WSAENETDOWN:
        return "Network is down";
    case WSAENETUNREACH:
        return "Network is unreachable";
    case WSAENETRESET:
        return "Network dropped connection on reset";
    case WSAECONNABORTED:
        return "Connection aborted";
    case WSAECONNRESET:
        return "Connection reset by peer";
    case WSAENOBUFS:
        return "No buffer space available";
    case WSAEISCONN:
        return "Socket is already connected";
    case WSAENOTCONN:
        return "Socket is not connected";
    case WSAESHUTDOWN:
        return "Can't send after socket shutdown";
    case WSAETOOMANYREFS:
        return "Too many references: can't splice";
    case WSAETIMEDOUT:
        return "Connection timed out";
    case WSAECONNREFUSED:
        return "Connection refused";
    case WSAELOOP:
        return "Too many levels of symbolic links";
    case WSAENAMETOOLONG:
        return "File name too long";
    case WSAEHOSTDOWN:
        return "Host is down";
    case WSAEHOSTUNREACH:
        return "No route to host";
    case WSAENOTEMPTY:
        return "Directory not empty";
    case WSAEPROCLIM:
        return "Too many processes";
    case WSAEUSERS:
        return "Too many users";
    case WSAEDQUOT:
        return "Disc quota exceeded";
    case WSAESTALE:
        return "Stale NFS file handle";
    case WSAEREMOTE:
        return "Too many levels of remote in path";
    case WSASYSNOTREADY:
        return "Network sub-system is unusable";
    case WSAVERNOTSUPPORTED:
        return "WinSock DLL cannot support this application";
    case WSANOTINITIALISED:
        return "WinSock not initialized";
    case WSAHOST_NOT_FOUND:
        return "Host not found";
    case WSATRY_AGAIN:
        return "Non-authoritative host not found";
    case WSANO_RECOVERY:
        return "Non-recoverable error";
    case WSANO_DATA:
        return "No Data";
    default:
        return "Not a WinSock error";
    }
}

in_addr WSocketResolveHost(const AnsiString& InAddr) {
    if (InAddr.empty() || InAddr.size() > 256)
        throw ESocketException("WSocketResolveHost: '" + InAddr + "' Invalid Hostname.");
    if (WSocketIsDottedIP(InAddr)) {
        const DWORD IPAddr = WSocket_inet_addr(InAddr.c_str());
        if (IPAddr == INADDR_NONE && InAddr != "255.255.255.255")
            throw ESocketException("WSocketResolveHost: '" + InAddr + "' Invalid IP address.");
        return in_addr{IPAddr};
    }
    const hostent* Phe = WSocket_gethostbyname(InAddr.c_str());
    if (!Phe || !Phe->h_addr_list || !Phe->h_addr_list[0] || Phe->h_length != sizeof(in_addr))
        throw ESocketException(
            WSocketFormat("WSocketResolveHost: Cannot convert host address '%s', Error #%d",
                          InAddr.c_str(), WSocket_WSAGetLastError()));
    in_addr Result;
    std::memcpy(&Result, Phe->h_addr_list[0], sizeof Result);
    return Result;
}

u_short WSocketResolvePort(const AnsiString& Port, const AnsiString& Proto) {
    if (Port.empty() || Port.size() >= 32)
        throw ESocketException("WSocketResolvePort: Invalid Port.");
    if (Proto.empty() || Proto.size() >= 32)
        throw ESocketException("WSocketResolvePort: Invalid Proto.");
    if (IsDigit(Port[0])) {
        // A number beyond the port range would wrap to some other port.
        const long Number = LeadingNumber(Port, 65535);
        if (Number > 65535)
            throw ESocketException("WSocketResolvePort: Invalid Port.");
        return static_cast<u_short>(Number);
    }
    const servent* Pse = WSocket_getservbyname(Port.c_str(), Proto.c_str());
    if (!Pse)
        throw ESocketException(
            WSocketFormat("WSocketResolvePort: Cannot convert port '%s', Error #%d", Port.c_str(),
                          WSocket_WSAGetLastError()));
    return WSocket_ntohs(static_cast<u_short>(Pse->s_port));
}

int WSocketResolveProto(const AnsiString& sProto) {
    if (sProto.empty() || sProto.size() >= 32)
        throw ESocketException("WSocketResolveProto: Invalid Protocol.");
    if (IsDigit(sProto[0]))
        return static_cast<int>(LeadingNumber(sProto, 65535));
    const protoent* Ppe = WSocket_getprotobyname(sProto.c_str());
    if (!Ppe)
        throw ESocketException(
            WSocketFormat("WSocketResolveProto: Cannot convert protocol '%s', Error #%d",
                          sProto.c_str(), WSocket_WSAGetLastError()));
    return Ppe->p_proto;
}

hostent* WSocketGetHostByName(const AnsiString& name) {
    if (name.empty() || name.size() > 256)
        throw ESocketException("WSocketGetHostByName: Invalid Hostname.");
    return WSocket_gethostbyname(name.c_str());
}

hostent* WSocketGetHostByAddr(const AnsiString& Addr) {
    if (Addr.empty() || Addr.size() > 256)
        throw ESocketException("WSocketGetHostByAddr: Invalid address.");
    const DWORD IPAddr = WSocket_inet_addr(Addr.c_str());
    return WSocket_gethostbyaddr(reinterpret_cast<const char*>(&IPAddr), sizeof IPAddr, AF_INET);
}

AnsiString WSocketResolveIp(const AnsiString& IpAddr) {
    const hostent* Phe = WSocketGetHostByAddr(IpAddr);
    return Phe && Phe->h_name ? AnsiString(Phe->h_name) : AnsiString();
}

// The entry points.

int WSocket_WSAStartup(WORD wVersionRequired, LPWSADATA lpWSAData) {
    return Resolved(Library().procs.WSAStartup, "WSAStartup")(wVersionRequired, lpWSAData);
}
int WSocket_WSACleanup() {
    return Resolved(Library().procs.WSACleanup, "WSACleanup")();
}
void WSocket_WSASetLastError(int iError) {
    Resolved(Library().procs.WSASetLastError, "WSASetLastError")(iError);
}
int WSocket_WSAGetLastError() {
    return Resolved(Library().procs.WSAGetLastError, "WSAGetLastError")();
}
int WSocket_WSACancelAsyncRequest(HANDLE hAsyncTaskHandle) {
    return Resolved(Library().procs.WSACancelAsyncRequest,
                    "WSACancelAsyncRequest")(hAsyncTaskHandle);
}
HANDLE WSocket_WSAAsyncGetHostByName(HWND HWindow, u_int wMsg, const char* name, char* buf,
                                     int buflen) {
    return Resolved(Library().procs.WSAAsyncGetHostByName,
                    "WSAAsyncGetHostByName")(HWindow, wMsg, name, buf, buflen);
}
HANDLE WSocket_WSAAsyncGetHostByAddr(HWND HWindow, u_int wMsg, const char* addr, int len,
                                     int Struct, char* buf, int buflen) {
    return Resolved(Library().procs.WSAAsyncGetHostByAddr,
                    "WSAAsyncGetHostByAddr")(HWindow, wMsg, addr, len, Struct, buf, buflen);
}
int WSocket_WSAAsyncSelect(SOCKET s, HWND HWindow, u_int wMsg, long lEvent) {
    return Resolved(Library().procs.WSAAsyncSelect, "WSAAsyncSelect")(s, HWindow, wMsg, lEvent);
}
servent* WSocket_getservbyname(const char* name, const char* proto) {
    return Resolved(Library().procs.getservbyname, "getservbyname")(name, proto);
}
protoent* WSocket_getprotobyname(const char* name) {
    return Resolved(Library().procs.getprotobyname, "getprotobyname")(name);
}
hostent* WSocket_gethostbyname(const char* name) {
    return Resolved(Library().procs.gethostbyname, "gethostbyname")(name);
}
hostent* WSocket_gethostbyaddr(const char* addr, int len, int Struct) {
    return Resolved(Library().procs.gethostbyaddr, "gethostbyaddr")(addr, len, Struct);
}
int WSocket_gethostname(char* name, int len) {
    return Resolved(Library().procs.gethostname, "gethostname")(name, len);
}
SOCKET WSocket_socket(int af, int Struct, int protocol) {
    return Resolved(Library().procs.socket, "socket")(af, Struct, protocol);
}
int WSocket_shutdown(SOCKET s, int how) {
    return Resolved(Library().procs.shutdown, "shutdown")(s, how);
}
int WSocket_setsockopt(SOCKET s, int level, int optname, const char* optval, int optlen) {
    return Resolved(Library().procs.setsockopt, "setsockopt")(s, level, optname, optval, optlen);
}
int WSocket_getsockopt(SOCKET s, int level, int optname, char* optval, int* optlen) {
    return Resolved(Library().procs.getsockopt, "getsockopt")(s, level, optname, optval, optlen);
}
int WSocket_sendto(SOCKET s, const char* Buf, int len, int flags, const sockaddr* addrto,
                   int tolen) {
    return Resolved(Library().procs.sendto, "sendto")(s, Buf, len, flags, addrto, tolen);
}
int WSocket_send(SOCKET s, const char* Buf, int len, int flags) {
    return Resolved(Library().procs.send, "send")(s, Buf, len, flags);
}
u_short WSocket_ntohs(u_short netshort) {
    return Resolved(Library().procs.ntohs, "ntohs")(netshort);
}
DWORD WSocket_ntohl(DWORD netlong) {
    return Resolved(Library().procs.ntohl, "ntohl")(netlong);
}
int WSocket_listen(SOCKET s, int backlog) {
    return Resolved(Library().procs.listen, "listen")(s, backlog);
}
int WSocket_ioctlsocket(SOCKET s, long cmd, DWORD* arg) {
    return Resolved(Library().procs.ioctlsocket, "ioctlsocket")(s, cmd, arg);
}
char* WSocket_inet_ntoa(in_addr inaddr) {
    return Resolved(Library().procs.inet_ntoa, "inet_ntoa")(inaddr);
}
DWORD WSocket_inet_addr(const char* cp) {
    return Resolved(Library().procs.inet_addr, "inet_addr")(cp);
}
u_short WSocket_htons(u_short hostshort) {
    return Resolved(Library().procs.htons, "htons")(hostshort);
}
DWORD WSocket_htonl(DWORD hostlong) {
    return Resolved(Library().procs.htonl, "htonl")(hostlong);
}
int WSocket_getsockname(SOCKET s, sockaddr* name, int* namelen) {
    return Resolved(Library().procs.getsockname, "getsockname")(s, name, namelen);
}
int WSocket_getpeername(SOCKET s, sockaddr* name, int* namelen) {
    return Resolved(Library().procs.getpeername, "getpeername")(s, name, namelen);
}
int WSocket_connect(SOCKET s, const sockaddr* name, int namelen) {
    return Resolved(Library().procs.connect, "connect")(s, name, namelen);
}
int WSocket_closesocket(SOCKET s) {
    return Resolved(Library().procs.closesocket, "closesocket")(s);
}
int WSocket_bind(SOCKET s, const sockaddr* addr, int namelen) {
    return Resolved(Library().procs.bind, "bind")(s, addr, namelen);
}
SOCKET WSocket_accept(SOCKET s, sockaddr* addr, int* addrlen) {
    return Resolved(Library().procs.accept, "accept")(s, addr, addrlen);
}
int WSocket_recv(SOCKET s, char* Buf, int len, int flags) {
    return Resolved(Library().procs.recv, "recv")(s, Buf, len, flags);
}
int WSocket_recvfrom(SOCKET s, char* Buf, int len, int flags, sockaddr* from, int* fromlen) {
    return Resolved(Library().procs.recvfrom, "recvfrom")(s, Buf, len, flags, from, fromlen);
}
