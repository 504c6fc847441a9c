#include "platform/winsock/Winsock.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "platform/win32/Resources.h"
#include "platform/winsock/SocketTable.h"
#include "platform/winsock/WinsockShared.h"

namespace wsock32 {

namespace {

struct Startups {
    std::mutex mutex;
    int count = 0;
};

// Never destroyed: lookup threads may ask while the process ends.
Startups& TheStartups() {
    static Startups* const startups = new Startups;
    return *startups;
}

thread_local int lastError = 0;

constexpr char Description[] = "Korvel Winsock 1.1 on POSIX sockets";
constexpr char SystemStatus[] = "Running";

} // namespace

bool Started() {
    Startups& startups = TheStartups();
    std::lock_guard lock(startups.mutex);
    return startups.count > 0;
}

int Fail(int error) {
    lastError = error;
    return SOCKET_ERROR;
}

int FailFromErrno() {
    return Fail(ErrorFromErrno(errno));
}

int ErrorFromErrno(int errnoValue) {
    switch (errnoValue) {
    case 0:
        return 0;
    case EINTR:
        return WSAEINTR;
    case EBADF:
        return WSAEBADF;
    case EACCES:
    case EPERM:
        return WSAEACCES;
    case EFAULT:
        return WSAEFAULT;
    case EMFILE:
    case ENFILE:
        return WSAEMFILE;
    case EAGAIN:
    case EINPROGRESS:
        return WSAEWOULDBLOCK;
    case EALREADY:
        return WSAEALREADY;
    case ENOTSOCK:
        return WSAENOTSOCK;
    case EDESTADDRREQ:
        return WSAEDESTADDRREQ;
    case EMSGSIZE:
        return WSAEMSGSIZE;
    case EPROTOTYPE:
        return WSAEPROTOTYPE;
    case ENOPROTOOPT:
        return WSAENOPROTOOPT;
    case EPROTONOSUPPORT:
        return WSAEPROTONOSUPPORT;
    case ESOCKTNOSUPPORT:
        return WSAESOCKTNOSUPPORT;
    case EOPNOTSUPP:
        return WSAEOPNOTSUPP;
    case EPFNOSUPPORT:
        return WSAEPFNOSUPPORT;
    case EAFNOSUPPORT:
        return WSAEAFNOSUPPORT;
    case EADDRINUSE:
        return WSAEADDRINUSE;
    case EADDRNOTAVAIL:
        return WSAEADDRNOTAVAIL;
    case ENETDOWN:
        return WSAENETDOWN;
    case ENETUNREACH:
        return WSAENETUNREACH;
    case ENETRESET:
        return WSAENETRESET;
    case ECONNABORTED:
        return WSAECONNABORTED;
    case ECONNRESET:
    case EPIPE:
        return WSAECONNRESET;
    case ENOBUFS:
    case ENOMEM:
        return WSAENOBUFS;
    case EISCONN:
        return WSAEISCONN;
    case ENOTCONN:
        return WSAENOTCONN;
    case ESHUTDOWN:
        return WSAESHUTDOWN;
    case ETOOMANYREFS:
        return WSAETOOMANYREFS;
    case ETIMEDOUT:
        return WSAETIMEDOUT;
    case ECONNREFUSED:
        return WSAECONNREFUSED;
    case ELOOP:
        return WSAELOOP;
    case ENAMETOOLONG:
        return WSAENAMETOOLONG;
    case EHOSTDOWN:
        return WSAEHOSTDOWN;
    case EHOSTUNREACH:
        return WSAEHOSTUNREACH;
    case ENOTEMPTY:
        return WSAENOTEMPTY;
    case EDQUOT:
        return WSAEDQUOT;
    case ESTALE:
        return WSAESTALE;
    default:
        return WSAEINVAL;
    }
}

} // namespace wsock32

int WSAStartup(WORD versionRequested, LPWSADATA data) {
    if (!data)
        return WSAEFAULT;
    const BYTE major = versionRequested & 0xFF;
    const BYTE minor = versionRequested >> 8;
    if (major < 1 || (major == 1 && minor < 1))
        return WSAVERNOTSUPPORTED;
    *data = WSADATA{};
    data->wVersion = MAKEWORD(1, 1);
    data->wHighVersion = MAKEWORD(1, 1);
    std::strcpy(data->szDescription, wsock32::Description);
    std::strcpy(data->szSystemStatus, wsock32::SystemStatus);
    data->iMaxSockets = 0xFFFF;
    data->iMaxUdpDg = 0xFFFF - 28;
    wsock32::Startups& startups = wsock32::TheStartups();
    std::lock_guard lock(startups.mutex);
    ++startups.count;
    return 0;
}

int WSACleanup() {
    {
        wsock32::Startups& startups = wsock32::TheStartups();
        std::lock_guard lock(startups.mutex);
        if (startups.count == 0)
            return wsock32::Fail(WSANOTINITIALISED);
        if (--startups.count > 0)
            return 0;
    }
    wsock32::SocketTable::Instance().RemoveAll();
    wsock32::CancelAllLookups();
    return 0;
}

int WSAGetLastError() {
    return wsock32::lastError;
}

void WSASetLastError(int error) {
    wsock32::lastError = error;
}

u_short htons(u_short value) {
    const unsigned char bytes[2] = {static_cast<unsigned char>(value >> 8),
                                    static_cast<unsigned char>(value)};
    u_short result;
    std::memcpy(&result, bytes, sizeof result);
    return result;
}

u_short ntohs(u_short value) {
    unsigned char bytes[2];
    std::memcpy(bytes, &value, sizeof bytes);
    return static_cast<u_short>((bytes[0] << 8) | bytes[1]);
}

DWORD htonl(DWORD value) {
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(value >> 24), static_cast<unsigned char>(value >> 16),
        static_cast<unsigned char>(value >> 8), static_cast<unsigned char>(value)};
    DWORD result;
    std::memcpy(&result, bytes, sizeof result);
    return result;
}

DWORD ntohl(DWORD value) {
    unsigned char bytes[4];
    std::memcpy(bytes, &value, sizeof bytes);
    return (DWORD{bytes[0]} << 24) | (DWORD{bytes[1]} << 16) | (DWORD{bytes[2]} << 8) |
           DWORD{bytes[3]};
}

namespace {

int DigitValue(char c, int base) {
    int value;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    else
        return -1;
    return value < base ? value : -1;
}

// One part of an address: decimal, octal after "0", hexadecimal after "0x".
bool ParsePart(const char*& p, uint64_t* value) {
    if (!std::isdigit(static_cast<unsigned char>(*p)))
        return false;
    int base = 10;
    if (*p == '0') {
        base = 8;
        ++p;
        if (*p == 'x' || *p == 'X') {
            base = 16;
            ++p;
        }
    }
    *value = 0;
    for (int digit; (digit = DigitValue(*p, base)) >= 0; ++p) {
        *value = *value * base + digit;
        if (*value > 0xFFFFFFFF)
            return false;
    }
    return true;
}

} // namespace

DWORD inet_addr(const char* text) {
    if (!text)
        return INADDR_NONE;
    uint64_t parts[4];
    int count = 0;
    const char* p = text;
    while (true) {
        if (count == 4 || !ParsePart(p, &parts[count]))
            return INADDR_NONE;
        ++count;
        if (*p != '.')
            break;
        ++p;
    }
    if (*p != '\0' && !std::isspace(static_cast<unsigned char>(*p)))
        return INADDR_NONE;
    // The last part fills the bytes that the others leave.
    const int lastBits = 8 * (5 - count);
    uint64_t address = parts[count - 1];
    if (lastBits < 32 && address >= (uint64_t{1} << lastBits))
        return INADDR_NONE;
    for (int i = 0; i < count - 1; ++i) {
        if (parts[i] > 255)
            return INADDR_NONE;
        address |= parts[i] << (24 - 8 * i);
    }
    return htonl(static_cast<DWORD>(address));
}

char* inet_ntoa(in_addr address) {
    static thread_local char text[16];
    unsigned char bytes[4];
    std::memcpy(bytes, &address.s_addr, sizeof bytes);
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", bytes[0], bytes[1], bytes[2], bytes[3]);
    return text;
}

bool RegisterWsock32Module() {
    RegisterBuiltinModule(
        "wsock32.dll",
        {
            {"WSAStartup", reinterpret_cast<void*>(&WSAStartup)},
            {"WSACleanup", reinterpret_cast<void*>(&WSACleanup)},
            {"WSASetLastError", reinterpret_cast<void*>(&WSASetLastError)},
            {"WSAGetLastError", reinterpret_cast<void*>(&WSAGetLastError)},
            {"WSACancelAsyncRequest", reinterpret_cast<void*>(&WSACancelAsyncRequest)},
            {"WSAAsyncGetHostByName", reinterpret_cast<void*>(&WSAAsyncGetHostByName)},
            {"WSAAsyncGetHostByAddr", reinterpret_cast<void*>(&WSAAsyncGetHostByAddr)},
            {"WSAAsyncSelect", reinterpret_cast<void*>(&WSAAsyncSelect)},
            {"getservbyname", reinterpret_cast<void*>(&getservbyname)},
            {"getprotobyname", reinterpret_cast<void*>(&getprotobyname)},
            {"gethostbyname", reinterpret_cast<void*>(&gethostbyname)},
            {"gethostbyaddr", reinterpret_cast<void*>(&gethostbyaddr)},
            {"gethostname",
             reinterpret_cast<void*>(static_cast<int (*)(char*, int)>(&gethostname))},
            {"socket", reinterpret_cast<void*>(&socket)},
            {"shutdown", reinterpret_cast<void*>(&shutdown)},
            {"setsockopt", reinterpret_cast<void*>(&setsockopt)},
            {"getsockopt", reinterpret_cast<void*>(&getsockopt)},
            {"sendto", reinterpret_cast<void*>(&sendto)},
            {"send", reinterpret_cast<void*>(&send)},
            {"ntohs", reinterpret_cast<void*>(&ntohs)},
            {"ntohl", reinterpret_cast<void*>(&ntohl)},
            {"listen", reinterpret_cast<void*>(&listen)},
            {"ioctlsocket", reinterpret_cast<void*>(&ioctlsocket)},
            {"inet_ntoa", reinterpret_cast<void*>(&inet_ntoa)},
            {"inet_addr", reinterpret_cast<void*>(&inet_addr)},
            {"htons", reinterpret_cast<void*>(&htons)},
            {"htonl", reinterpret_cast<void*>(&htonl)},
            {"getsockname", reinterpret_cast<void*>(&getsockname)},
            {"getpeername", reinterpret_cast<void*>(&getpeername)},
            {"connect", reinterpret_cast<void*>(&connect)},
            {"closesocket", reinterpret_cast<void*>(&closesocket)},
            {"bind", reinterpret_cast<void*>(&bind)},
            {"accept", reinterpret_cast<void*>(&accept)},
            {"recv", reinterpret_cast<void*>(&recv)},
            {"recvfrom", reinterpret_cast<void*>(&recvfrom)},
        });
    return true;
}
