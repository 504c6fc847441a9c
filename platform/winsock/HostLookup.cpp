// Name lookups of the Winsock layer: blocking ones answered in storage of
// the calling thread, asynchronous ones answered by a lookup thread into the
// caller's buffer and announced by a posted message.

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/vcl/SysUtils.h"
#include "platform/win32/Messages.h"
#include "platform/winsock/PosixNet.h"
#include "platform/winsock/Winsock.h"
#include "platform/winsock/WinsockShared.h"

namespace {

using posixnet::HostAnswer;
using posixnet::LookupError;

int ErrorOf(LookupError error) {
    switch (error) {
    case LookupError::None:
        return 0;
    case LookupError::NotFound:
        return WSAHOST_NOT_FOUND;
    case LookupError::TryAgain:
        return WSATRY_AGAIN;
    case LookupError::NoData:
        return WSANO_DATA;
    case LookupError::Failure:
        break;
    }
    return WSANO_RECOVERY;
}

// Lays out records as Winsock does: the record first, then its pointer
// lists, then the bytes they point at. Measures when `base` is null.
class Layout {
public:
    explicit Layout(char* base) : base_(base) {}

    template <class T> T* Take(size_t count) {
        used_ = (used_ + alignof(T) - 1) / alignof(T) * alignof(T);
        T* place = base_ ? reinterpret_cast<T*>(base_ + used_) : nullptr;
        used_ += count * sizeof(T);
        return place;
    }
    char* Text(const std::string& text) {
        char* place = Take<char>(text.size() + 1);
        if (place)
            std::memcpy(place, text.c_str(), text.size() + 1);
        return place;
    }
    char** Texts(const std::vector<std::string>& texts) {
        char** list = Take<char*>(texts.size() + 1);
        for (size_t i = 0; i < texts.size(); ++i) {
            char* text = Text(texts[i]);
            if (list)
                list[i] = text;
        }
        if (list)
            list[texts.size()] = nullptr;
        return list;
    }
    size_t Used() const { return used_; }

private:
    char* base_;
    size_t used_ = 0;
};

size_t LayHostent(const HostAnswer& answer, char* base) {
    Layout layout(base);
    hostent* host = layout.Take<hostent>(1);
    char** addresses = layout.Take<char*>(answer.addresses.size() + 1);
    for (size_t i = 0; i < answer.addresses.size(); ++i) {
        char* bytes = layout.Take<char>(sizeof(DWORD));
        if (bytes) {
            std::memcpy(bytes, &answer.addresses[i], sizeof(DWORD));
            addresses[i] = bytes;
        }
    }
    char** aliases = layout.Texts(answer.aliases);
    char* name = layout.Text(answer.name);
    if (host) {
        addresses[answer.addresses.size()] = nullptr;
        *host = hostent{name, aliases, AF_INET, sizeof(DWORD), addresses};
    }
    return layout.Used();
}

// Storage of the calling thread for the blocking lookups' answers, one for
// each kind of record, as Winsock keeps them.
template <class Record> char* ThreadStorage(size_t size) {
    static thread_local std::vector<std::max_align_t> storage;
    const size_t units = (size + sizeof(std::max_align_t) - 1) / sizeof(std::max_align_t);
    if (storage.size() < units)
        storage.resize(units);
    return reinterpret_cast<char*>(storage.data());
}

bool IsOwnName(const std::string& name) {
    if (name.empty())
        return true;
    char own[256];
    return posixnet::HostName(own, sizeof own) == 0 && LowerCase(name) == LowerCase(own);
}

LookupError ResolveHost(const std::string& name, HostAnswer* answer) {
    if (IsOwnName(name)) {
        char own[256] = "";
        posixnet::HostName(own, sizeof own);
        *answer = HostAnswer{own, {}, posixnet::InterfaceAddresses()};
        return answer->addresses.empty() ? LookupError::NoData : LookupError::None;
    }
    const DWORD dotted = inet_addr(name.c_str());
    if (dotted != INADDR_NONE) {
        *answer = HostAnswer{name, {}, {dotted}};
        return LookupError::None;
    }
    return posixnet::ResolveName(name, answer);
}

hostent* Answer(LookupError error, const HostAnswer& answer) {
    if (error != LookupError::None) {
        wsock32::Fail(ErrorOf(error));
        return nullptr;
    }
    char* storage = ThreadStorage<hostent>(LayHostent(answer, nullptr));
    LayHostent(answer, storage);
    return reinterpret_cast<hostent*>(storage);
}

bool ReadAddress(const char* address, int length, int type, DWORD* value) {
    if (!address || length != static_cast<int>(sizeof(DWORD))) {
        wsock32::Fail(WSAEFAULT);
        return false;
    }
    if (type != AF_INET) {
        wsock32::Fail(WSAEAFNOSUPPORT);
        return false;
    }
    std::memcpy(value, address, sizeof *value);
    return true;
}

// The asynchronous lookups that have not answered yet. A lookup thread
// writes into the caller's buffer only under the lock and only while its
// request is still here, so a cancelled request's buffer is never touched.
struct Request {
    HWND window;
    u_int message;
    char* buffer;
    int length;
};

struct Lookups {
    std::mutex mutex;
    std::map<uintptr_t, Request> running;
    uintptr_t next = 1;
};

// Never destroyed: a lookup thread may finish while the process ends.
Lookups& TheLookups() {
    static Lookups* const lookups = new Lookups;
    return *lookups;
}

void Complete(uintptr_t id, LookupError error, const HostAnswer& answer) {
    Lookups& lookups = TheLookups();
    std::lock_guard lock(lookups.mutex);
    const auto found = lookups.running.find(id);
    if (found == lookups.running.end())
        return;
    const Request request = found->second;
    lookups.running.erase(found);
    int code = ErrorOf(error);
    size_t size = 0;
    if (code == 0) {
        size = LayHostent(answer, nullptr);
        if (size > static_cast<size_t>(request.length))
            code = WSAENOBUFS;
        else
            LayHostent(answer, request.buffer);
    }
    const WORD reported = static_cast<WORD>(std::min<size_t>(size, 0xFFFF));
    PostMessageA(request.window, request.message, id,
                 WSAMAKEASYNCREPLY(reported, static_cast<WORD>(code)));
}

HANDLE StartLookup(HWND window, u_int message, char* buffer, int length,
                   std::function<LookupError(HostAnswer*)> resolve) {
    if (!wsock32::CheckStarted())
        return nullptr;
    if (!IsWindow(window)) {
        wsock32::Fail(WSAEINVAL);
        return nullptr;
    }
    if (!buffer || length <= 0 || reinterpret_cast<uintptr_t>(buffer) % alignof(hostent) != 0) {
        wsock32::Fail(WSAEFAULT);
        return nullptr;
    }
    Lookups& lookups = TheLookups();
    std::lock_guard lock(lookups.mutex);
    const uintptr_t id = lookups.next++;
    try {
        std::thread([id, resolve = std::move(resolve)] {
            HostAnswer answer;
            const LookupError error = resolve(&answer);
            Complete(id, error, answer);
        }).detach();
    } catch (const std::system_error&) {
        wsock32::Fail(WSAENOBUFS);
        return nullptr;
    }
    lookups.running.emplace(id, Request{window, message, buffer, length});
    return reinterpret_cast<HANDLE>(id);
}

} // namespace

namespace wsock32 {

void CancelAllLookups() {
    Lookups& lookups = TheLookups();
    std::lock_guard lock(lookups.mutex);
    lookups.running.clear();
}

} // namespace wsock32

hostent* gethostbyname(const char* name) {
    if (!wsock32::CheckStarted())
        return nullptr;
    HostAnswer answer;
    const LookupError error = ResolveHost(name ? name : "", &answer);
    return Answer(error, answer);
}

hostent* gethostbyaddr(const char* address, int length, int type) {
    DWORD value;
    if (!wsock32::CheckStarted() || !ReadAddress(address, length, type, &value))
        return nullptr;
    HostAnswer answer;
    const LookupError error = posixnet::ResolveAddress(value, &answer);
    return Answer(error, answer);
}

int gethostname(char* name, int nameLength) {
    if (!wsock32::CheckStarted())
        return SOCKET_ERROR;
    if (!name || nameLength <= 0)
        return wsock32::Fail(WSAEFAULT);
    char own[256] = "";
    if (posixnet::HostName(own, sizeof own) != 0)
        return wsock32::FailFromErrno();
    if (std::strlen(own) >= static_cast<size_t>(nameLength))
        return wsock32::Fail(WSAEFAULT);
    std::strcpy(name, own);
    return 0;
}

servent* getservbyname(const char* name, const char* protocol) {
    if (!wsock32::CheckStarted())
        return nullptr;
    posixnet::ServiceAnswer answer;
    if (!name || !posixnet::ServiceByName(name, protocol ? protocol : "", &answer)) {
        wsock32::Fail(WSANO_DATA);
        return nullptr;
    }
    const auto lay = [&answer](char* base) {
        Layout layout(base);
        servent* record = layout.Take<servent>(1);
        char** aliases = layout.Texts(answer.aliases);
        char* serviceName = layout.Text(answer.name);
        char* serviceProtocol = layout.Text(answer.protocol);
        if (record)
            *record =
                servent{serviceName, aliases, static_cast<short>(answer.port), serviceProtocol};
        return layout.Used();
    };
    char* storage = ThreadStorage<servent>(lay(nullptr));
    lay(storage);
    return reinterpret_cast<servent*>(storage);
}

protoent* getprotobyname(const char* name) {
    if (!wsock32::CheckStarted())
        return nullptr;
    posixnet::ProtocolAnswer answer;
    if (!name || !posixnet::ProtocolByName(name, &answer)) {
        wsock32::Fail(WSANO_DATA);
        return nullptr;
    }
    const auto lay = [&answer](char* base) {
        Layout layout(base);
        protoent* record = layout.Take<protoent>(1);
        char** aliases = layout.Texts(answer.aliases);
        char* protocolName = layout.Text(answer.name);
        if (record)
            *record = protoent{protocolName, aliases, static_cast<short>(answer.number)};
        return layout.Used();
    };
    char* storage = ThreadStorage<protoent>(lay(nullptr));
    lay(storage);
    return reinterpret_cast<protoent*>(storage);
}

HANDLE WSAAsyncGetHostByName(HWND window, u_int message, const char* name, char* buffer,
                             int bufferLength) {
    if (!name) {
        wsock32::Fail(WSAEFAULT);
        return nullptr;
    }
    const std::string copied = name;
    return StartLookup(window, message, buffer, bufferLength,
                       [copied](HostAnswer* answer) { return ResolveHost(copied, answer); });
}

HANDLE WSAAsyncGetHostByAddr(HWND window, u_int message, const char* address, int length, int type,
                             char* buffer, int bufferLength) {
    DWORD value;
    if (!ReadAddress(address, length, type, &value))
        return nullptr;
    return StartLookup(window, message, buffer, bufferLength, [value](HostAnswer* answer) {
        return posixnet::ResolveAddress(value, answer);
    });
}

int WSACancelAsyncRequest(HANDLE request) {
    if (!wsock32::CheckStarted())
        return SOCKET_ERROR;
    const auto id = reinterpret_cast<uintptr_t>(request);
    Lookups& lookups = TheLookups();
    std::lock_guard lock(lookups.mutex);
    if (lookups.running.erase(id) > 0)
        return 0;
    return wsock32::Fail(id > 0 && id < lookups.next ? WSAEALREADY : WSAEINVAL);
}
