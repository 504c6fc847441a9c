#pragma once
// The sockets of the process: their handles, descriptors and what
// WSAAsyncSelect watches on them. Readiness is watched by Qt socket
// notifiers in the thread that selected the events; each notification is
// turned into at most one posted message, and the notifier stays off until
// the call that re-enables the event (recv, accept, a send that would
// block), so a level that persists is reported once.

#include <map>
#include <memory>
#include <mutex>

#include "platform/winsock/PosixNet.h"
#include "platform/winsock/Winsock.h"

namespace wsock32 {

class SelectWatcher;

class SocketTable {
public:
    static SocketTable& Instance();

    SOCKET Add(int fd, posixnet::Kind kind);
    // The descriptor of a socket; false (with WSAENOTSOCK set) when the
    // handle is not a socket.
    bool Fd(SOCKET s, int* fd);
    bool KindOf(SOCKET s, posixnet::Kind* kind);
    // Forgets the socket and closes its descriptor once its notifiers are
    // gone. False (WSAENOTSOCK) for an unknown handle.
    bool Remove(SOCKET s);
    void RemoveAll();

    // WSAAsyncSelect: events 0 ends the selection. Makes the socket
    // non-blocking. Returns 0 or SOCKET_ERROR with the error set.
    int Select(SOCKET s, HWND window, u_int message, long events);
    // ioctlsocket FIONBIO; blocking again is refused while events are
    // selected.
    int SetNonBlocking(SOCKET s, bool nonBlocking);
    bool NonBlocking(SOCKET s);

    // What the socket calls tell the watching: a connect that succeeded or
    // is under way, listening, an accepted connection (which inherits the
    // listener's selection and blocking mode), a recv (re-enables FD_READ),
    // a send that would block (arms FD_WRITE), a shutdown of sending.
    void ConnectStarted(SOCKET s, bool connected);
    void Listening(SOCKET s);
    void Accepted(SOCKET listener, SOCKET accepted);
    void Received(SOCKET s);
    void SendBlocked(SOCKET s);
    void SendShut(SOCKET s);
    // What a send that found the pipe broken means: sending was shut down
    // here, the socket never connected, or the connection is gone.
    int BrokenPipeError(SOCKET s);

    // From a watcher's notifier: the descriptor may be ready.
    void Ready(SOCKET s, SelectWatcher* watcher);

private:
    struct Entry {
        int fd;
        posixnet::Kind kind;
        bool nonBlocking = false;
        bool listening = false;
        bool connecting = false;
        bool connected = false;
        bool sendShut = false;
        HWND window = nullptr;
        u_int message = 0;
        long events = 0;
        // An FD_READ (or unselected data) is outstanding until a recv.
        bool readOffered = false;
        bool acceptOffered = false;
        bool closeOffered = false;
        bool writeWanted = false;
        SelectWatcher* watcher = nullptr;
    };

    SocketTable() = default;
    Entry* Find(SOCKET s);
    int SelectLocked(SOCKET s, Entry& entry, HWND window, u_int message, long events);
    void Post(SOCKET s, const Entry& entry, long event, int error);
    void CheckConnect(SOCKET s, Entry& entry);
    void CheckReadable(SOCKET s, Entry& entry);
    void Rearm(SOCKET s, Entry& entry);
    static void Release(SelectWatcher* watcher, int fdToClose);

    std::mutex mutex_;
    std::map<SOCKET, Entry> entries_;
    SOCKET nextHandle_ = 0x100;
};

} // namespace wsock32
