#pragma once
// The socket layer's free functions and its hold on the Winsock library.
//
// "wsock32.dll" is loaded through the platform's LoadLibraryA on first use
// and started for version 1.1; each entry point is looked up once, by its
// WSocket_ wrapper below, and forgotten when the library is unloaded. The
// library is unloaded when the last socket is destroyed, unless
// WSocketForceLoadWinsock holds it, and when the process ends. A missing
// library or entry point raises ESocketException.

#include <cstdarg>

#include "platform/vcl/Classes.h"
#include "platform/winsock/Winsock.h"
#include "web/SocketException.h"

// The machine's IPv4 addresses in dotted form, in the order the lookup of
// its own name gives them. The list belongs to the layer; the next call
// refills it.
TStrings* LocalIPList();
AnsiString LocalHostName();
bool WSocketIsDottedIP(const AnsiString& S);
AnsiString WSocketErrorDesc(int ErrCode);
// The address of a dotted address or a name (a blocking lookup).
in_addr WSocketResolveHost(const AnsiString& InAddr);
// A port number or service name as a port number (host order).
u_short WSocketResolvePort(const AnsiString& Port, const AnsiString& Proto);
int WSocketResolveProto(const AnsiString& sProto);
hostent* WSocketGetHostByName(const AnsiString& name);
hostent* WSocketGetHostByAddr(const AnsiString& Addr);
// The name of a dotted address, or the empty text.
AnsiString WSocketResolveIp(const AnsiString& IpAddr);
// Loads the library when needed and returns the entry point of that name;
// the empty name only loads.
void* WSocketGetProc(const AnsiString& ProcName);
void WSocketForceLoadWinsock();
void WSocketCancelForceLoadWinsock();
void WSocketUnloadWinsock();
// What WSAStartup answered (loads the library when needed).
const WSADATA& WinsockInfo();

// What the sockets share: their count (the library goes with the last),
// the addresses of an answer in dotted form, and printf-style texts.
void WSocketSocketCreated();
void WSocketSocketDestroyed();
void WSocketGetIpList(const hostent* phe, TStrings* ToList);
AnsiString WSocketFormat(const char* Fmt, ...) __attribute__((format(printf, 1, 2)));
AnsiString WSocketFormatV(const char* Fmt, va_list Args) __attribute__((format(printf, 1, 0)));

// The library's entry points.
int WSocket_WSAStartup(WORD wVersionRequired, LPWSADATA lpWSAData);
int WSocket_WSACleanup();
void WSocket_WSASetLastError(int iError);
int WSocket_WSAGetLastError();
int WSocket_WSACancelAsyncRequest(HANDLE hAsyncTaskHandle);
HANDLE WSocket_WSAAsyncGetHostByName(HWND HWindow, u_int wMsg, const char* name, char* buf,
                                     int buflen);
HANDLE WSocket_WSAAsyncGetHostByAddr(HWND HWindow, u_int wMsg, const char* addr, int len,
                                     int Struct, char* buf, int buflen);
int WSocket_WSAAsyncSelect(SOCKET s, HWND HWindow, u_int wMsg, long lEvent);
servent* WSocket_getservbyname(const char* name, const char* proto);
protoent* WSocket_getprotobyname(const char* name);
hostent* WSocket_gethostbyname(const char* name);
hostent* WSocket_gethostbyaddr(const char* addr, int len, int Struct);
int WSocket_gethostname(char* name, int len);
SOCKET WSocket_socket(int af, int Struct, int protocol);
int WSocket_shutdown(SOCKET s, int how);
int WSocket_setsockopt(SOCKET s, int level, int optname, const char* optval, int optlen);
int WSocket_getsockopt(SOCKET s, int level, int optname, char* optval, int* optlen);
int WSocket_sendto(SOCKET s, const char* Buf, int len, int flags, const sockaddr* addrto,
                   int tolen);
int WSocket_send(SOCKET s, const char* Buf, int len, int flags);
u_short WSocket_ntohs(u_short netshort);
DWORD WSocket_ntohl(DWORD netlong);
int WSocket_listen(SOCKET s, int backlog);
int WSocket_ioctlsocket(SOCKET s, long cmd, DWORD* arg);
char* WSocket_inet_ntoa(in_addr inaddr);
DWORD WSocket_inet_addr(const char* cp);
u_short WSocket_htons(u_short hostshort);
DWORD WSocket_htonl(DWORD hostlong);
int WSocket_getsockname(SOCKET s, sockaddr* name, int* namelen);
int WSocket_getpeername(SOCKET s, sockaddr* name, int* namelen);
int WSocket_connect(SOCKET s, const sockaddr* name, int namelen);
int WSocket_closesocket(SOCKET s);
int WSocket_bind(SOCKET s, const sockaddr* addr, int namelen);
SOCKET WSocket_accept(SOCKET s, sockaddr* addr, int* addrlen);
int WSocket_recv(SOCKET s, char* Buf, int len, int flags);
int WSocket_recvfrom(SOCKET s, char* Buf, int len, int flags, sockaddr* from, int* fromlen);
