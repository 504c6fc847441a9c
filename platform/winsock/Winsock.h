#pragma once
// Winsock 1.1 on POSIX sockets: the types, constants and functions of
// "wsock32.dll" with Windows' values, so callers compare results and error
// numbers as they would there. Only IPv4 (AF_INET) with stream and datagram
// sockets.
//
// Linking this layer installs "wsock32.dll" among the loader's built-in
// modules (platform/win32/Resources.h), so LoadLibraryA("wsock32.dll") and
// GetProcAddress find these functions by their Winsock names.
//
// Sockets are blocking until WSAAsyncSelect (or ioctlsocket FIONBIO) makes
// them non-blocking; a call that would block then fails with
// WSAEWOULDBLOCK. Every function but the byte-order and address-text ones
// needs WSAStartup first (else WSANOTINITIALISED). The last error is the
// calling thread's own. Handles of sockets and of lookups are never reused
// while the process runs.
//
// WSAAsyncSelect posts events as Windows does, one event per message:
// wParam the socket, lParam WSAMAKESELECTREPLY(event, error).
//   FD_READ    when data waits and no FD_READ is outstanding; recv and
//              recvfrom re-enable it, so data still waiting after a recv
//              brings another FD_READ.
//   FD_WRITE   at selection when the socket can send, after a connect
//              completes, and after a send that failed with WSAEWOULDBLOCK
//              (or took only part of its bytes, which this system's sockets
//              do where Windows' would have taken all) when the socket can
//              send again.
//   FD_ACCEPT  when a connection waits; accept re-enables it.
//   FD_CONNECT when a connect completes, its error in the high word (such
//              as WSAECONNREFUSED); FD_WRITE follows a successful one.
//   FD_CLOSE   once, when the peer has shut the connection down and the
//              data before it has been read (error 0), or when it was
//              reset (WSAECONNRESET).
// The socket's thread must run a Qt event loop: readiness is watched there
// and the messages are delivered by it (platform/win32/Messages.h). An
// accepted socket inherits the listening socket's selection.
//
// WSAAsyncGetHostByName and WSAAsyncGetHostByAddr answer from a lookup
// thread: the hostent is laid out in the caller's buffer (which must be
// aligned for a hostent) and the message carries wParam the lookup's handle
// and lParam WSAMAKEASYNCREPLY(bytes used or needed, error). Once
// WSACancelAsyncRequest has succeeded the buffer is not touched again.
//
// Names: a dotted address names itself; the machine's own name (and the
// empty name) answers the machine's IPv4 interface addresses, the loopback
// address only when there is no other; other names go to the system's
// resolver.

#include <cstdint>
#include <sys/time.h> // timeval: the system's own has the fields Winsock's has

#include "platform/win32/WinTypes.h"

// Winsock's u_long is 32 bits wide; the C library's is not, so the 32-bit
// quantities are DWORD here.
using u_char = unsigned char;
using u_short = unsigned short;
using u_int = unsigned int;
using SOCKET = uintptr_t;
using HANDLE = void*;

constexpr SOCKET INVALID_SOCKET = ~SOCKET{0};
constexpr int SOCKET_ERROR = -1;

constexpr int AF_INET = 2;
constexpr int PF_INET = AF_INET;
constexpr int SOCK_STREAM = 1;
constexpr int SOCK_DGRAM = 2;
constexpr int IPPROTO_IP = 0;
constexpr int IPPROTO_TCP = 6;
constexpr int IPPROTO_UDP = 17;

constexpr DWORD INADDR_ANY = 0x00000000;
constexpr DWORD INADDR_LOOPBACK = 0x7F000001;
constexpr DWORD INADDR_BROADCAST = 0xFFFFFFFF;
constexpr DWORD INADDR_NONE = 0xFFFFFFFF;

constexpr int SOMAXCONN = 5;
constexpr int MSG_OOB = 0x1;
constexpr int MSG_PEEK = 0x2;
constexpr int SD_RECEIVE = 0;
constexpr int SD_SEND = 1;
constexpr int SD_BOTH = 2;

// Socket options.
constexpr int SOL_SOCKET = 0xFFFF;
constexpr int SO_ACCEPTCONN = 0x0002;
constexpr int SO_REUSEADDR = 0x0004;
constexpr int SO_KEEPALIVE = 0x0008;
constexpr int SO_BROADCAST = 0x0020;
constexpr int SO_LINGER = 0x0080;
constexpr int SO_SNDBUF = 0x1001;
constexpr int SO_RCVBUF = 0x1002;
constexpr int SO_ERROR = 0x1007;
constexpr int SO_TYPE = 0x1008;
constexpr int TCP_NODELAY = 0x0001;
constexpr int IP_MULTICAST_TTL = 3;

// ioctlsocket commands.
constexpr long FIONREAD = 0x4004667F;
constexpr long FIONBIO = 0x8004667E;

// Events of WSAAsyncSelect.
constexpr long FD_READ = 0x01;
constexpr long FD_WRITE = 0x02;
constexpr long FD_OOB = 0x04;
constexpr long FD_ACCEPT = 0x08;
constexpr long FD_CONNECT = 0x10;
constexpr long FD_CLOSE = 0x20;

// Error numbers.
constexpr int WSABASEERR = 10000;
constexpr int WSAEINTR = 10004;
constexpr int WSAEBADF = 10009;
constexpr int WSAEACCES = 10013;
constexpr int WSAEFAULT = 10014;
constexpr int WSAEINVAL = 10022;
constexpr int WSAEMFILE = 10024;
constexpr int WSAEWOULDBLOCK = 10035;
constexpr int WSAEINPROGRESS = 10036;
constexpr int WSAEALREADY = 10037;
constexpr int WSAENOTSOCK = 10038;
constexpr int WSAEDESTADDRREQ = 10039;
constexpr int WSAEMSGSIZE = 10040;
constexpr int WSAEPROTOTYPE = 10041;
constexpr int WSAENOPROTOOPT = 10042;
constexpr int WSAEPROTONOSUPPORT = 10043;
constexpr int WSAESOCKTNOSUPPORT = 10044;
constexpr int WSAEOPNOTSUPP = 10045;
constexpr int WSAEPFNOSUPPORT = 10046;
constexpr int WSAEAFNOSUPPORT = 10047;
constexpr int WSAEADDRINUSE = 10048;
constexpr int WSAEADDRNOTAVAIL = 10049;
constexpr int WSAENETDOWN = 10050;
constexpr int WSAENETUNREACH = 10051;
constexpr int WSAENETRESET = 10052;
constexpr int WSAECONNABORTED = 10053;
constexpr int WSAECONNRESET = 10054;
constexpr int WSAENOBUFS = 10055;
constexpr int WSAEISCONN = 10056;
constexpr int WSAENOTCONN = 10057;
constexpr int WSAESHUTDOWN = 10058;
constexpr int WSAETOOMANYREFS = 10059;
constexpr int WSAETIMEDOUT = 10060;
constexpr int WSAECONNREFUSED = 10061;
constexpr int WSAELOOP = 10062;
constexpr int WSAENAMETOOLONG = 10063;
constexpr int WSAEHOSTDOWN = 10064;
constexpr int WSAEHOSTUNREACH = 10065;
constexpr int WSAENOTEMPTY = 10066;
constexpr int WSAEPROCLIM = 10067;
constexpr int WSAEUSERS = 10068;
constexpr int WSAEDQUOT = 10069;
constexpr int WSAESTALE = 10070;
constexpr int WSAEREMOTE = 10071;
constexpr int WSASYSNOTREADY = 10091;
constexpr int WSAVERNOTSUPPORTED = 10092;
constexpr int WSANOTINITIALISED = 10093;
constexpr int WSAHOST_NOT_FOUND = 11001;
constexpr int WSATRY_AGAIN = 11002;
constexpr int WSANO_RECOVERY = 11003;
constexpr int WSANO_DATA = 11004;

// The size of buffer that always holds an answer of the asynchronous
// lookups.
constexpr int MAXGETHOSTSTRUCT = 1024;

struct in_addr {
    DWORD s_addr; // network order
};

struct sockaddr {
    u_short sa_family;
    char sa_data[14];
};

struct sockaddr_in {
    short sin_family;
    u_short sin_port; // network order
    in_addr sin_addr;
    char sin_zero[8];
};

struct hostent {
    char* h_name;
    char** h_aliases;
    short h_addrtype;
    short h_length;
    char** h_addr_list; // each entry points at h_length address bytes
};

struct servent {
    char* s_name;
    char** s_aliases;
    short s_port; // network order
    char* s_proto;
};

struct protoent {
    char* p_name;
    char** p_aliases;
    short p_proto;
};

struct linger {
    u_short l_onoff;
    u_short l_linger;
};

constexpr int WSADESCRIPTION_LEN = 256;
constexpr int WSASYS_STATUS_LEN = 128;

struct WSADATA {
    WORD wVersion;
    WORD wHighVersion;
    char szDescription[WSADESCRIPTION_LEN + 1];
    char szSystemStatus[WSASYS_STATUS_LEN + 1];
    unsigned short iMaxSockets;
    unsigned short iMaxUdpDg;
    char* lpVendorInfo;
};
using LPWSADATA = WSADATA*;

constexpr WORD MAKEWORD(BYTE low, BYTE high) {
    return static_cast<WORD>(low | (high << 8));
}
constexpr LONG WSAMAKESELECTREPLY(WORD event, WORD error) {
    return static_cast<LONG>(static_cast<DWORD>(event) | (static_cast<DWORD>(error) << 16));
}
constexpr LONG WSAMAKEASYNCREPLY(WORD length, WORD error) {
    return WSAMAKESELECTREPLY(length, error);
}
constexpr WORD WSAGETSELECTEVENT(LPARAM lParam) {
    return static_cast<WORD>(lParam & 0xFFFF);
}
constexpr WORD WSAGETSELECTERROR(LPARAM lParam) {
    return static_cast<WORD>((lParam >> 16) & 0xFFFF);
}
constexpr WORD WSAGETASYNCBUFLEN(LPARAM lParam) {
    return WSAGETSELECTEVENT(lParam);
}
constexpr WORD WSAGETASYNCERROR(LPARAM lParam) {
    return WSAGETSELECTERROR(lParam);
}

// Start and end. WSAStartup accepts version 1.1 and above and answers 1.1;
// below 1.1 it returns WSAVERNOTSUPPORTED. The last WSACleanup closes every
// socket and cancels every lookup still running.
int WSAStartup(WORD versionRequested, LPWSADATA data);
int WSACleanup();
int WSAGetLastError();
void WSASetLastError(int error);

// Sockets.
SOCKET socket(int af, int type, int protocol);
int bind(SOCKET s, const sockaddr* name, int nameLength);
int connect(SOCKET s, const sockaddr* name, int nameLength);
int listen(SOCKET s, int backlog);
SOCKET accept(SOCKET s, sockaddr* address, int* addressLength);
int send(SOCKET s, const char* buffer, int length, int flags);
int sendto(SOCKET s, const char* buffer, int length, int flags, const sockaddr* to, int toLength);
int recv(SOCKET s, char* buffer, int length, int flags);
int recvfrom(SOCKET s, char* buffer, int length, int flags, sockaddr* from, int* fromLength);
int closesocket(SOCKET s);
int shutdown(SOCKET s, int how);
int setsockopt(SOCKET s, int level, int optionName, const char* value, int length);
int getsockopt(SOCKET s, int level, int optionName, char* value, int* length);
int ioctlsocket(SOCKET s, long command, DWORD* argument);
int getpeername(SOCKET s, sockaddr* name, int* nameLength);
int getsockname(SOCKET s, sockaddr* name, int* nameLength);

// Byte order and address texts; inet_addr takes the forms a.b.c.d, a.b.c,
// a.b and a, each part decimal, octal (leading 0) or hexadecimal (0x), and
// gives INADDR_NONE for anything else. inet_ntoa answers in a buffer of the
// calling thread, valid until its next call.
u_short htons(u_short value);
u_short ntohs(u_short value);
DWORD htonl(DWORD value);
DWORD ntohl(DWORD value);
DWORD inet_addr(const char* text);
char* inet_ntoa(in_addr address);

// Blocking lookups, answered in storage of the calling thread that the
// next lookup of the same kind overwrites; nullptr with the error set
// (WSAHOST_NOT_FOUND, WSANO_DATA, ...) when there is no answer.
hostent* gethostbyname(const char* name);
hostent* gethostbyaddr(const char* address, int length, int type);
// The C library has a gethostname of its own that takes a size_t length:
// pass an int, or call through GetProcAddress.
int gethostname(char* name, int nameLength);
servent* getservbyname(const char* name, const char* protocol);
protoent* getprotobyname(const char* name);

// Asynchronous notification and lookups.
int WSAAsyncSelect(SOCKET s, HWND window, u_int message, long events);
HANDLE WSAAsyncGetHostByName(HWND window, u_int message, const char* name, char* buffer,
                             int bufferLength);
HANDLE WSAAsyncGetHostByAddr(HWND window, u_int message, const char* address, int length, int type,
                             char* buffer, int bufferLength);
// 0 when the lookup was still running; WSAEALREADY when it has answered
// already, WSAEINVAL for a handle that was never given out.
int WSACancelAsyncRequest(HANDLE request);

// Installs "wsock32.dll" with the functions above (again, should a test
// have replaced it); returns true.
bool RegisterWsock32Module();
inline const bool Wsock32ModuleRegistered = RegisterWsock32Module();
