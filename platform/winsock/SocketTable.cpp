#include "platform/winsock/SocketTable.h"

#include <QMetaObject>
#include <QObject>
#include <QSocketNotifier>
#include <QThread>
#include <cerrno>

#include "platform/win32/Messages.h"
#include "platform/winsock/WinsockShared.h"

namespace wsock32 {

// The notifiers of one selection, living in the selecting thread. When it
// is destroyed it closes the descriptor it was given, so a descriptor is
// never closed under a notifier that still watches it.
class SelectWatcher : public QObject {
public:
    SelectWatcher(SOCKET s, int fd)
        : read_(fd, QSocketNotifier::Read, this), write_(fd, QSocketNotifier::Write, this) {
        read_.setEnabled(false);
        write_.setEnabled(false);
        const auto ready = [this, s] { SocketTable::Instance().Ready(s, this); };
        QObject::connect(&read_, &QSocketNotifier::activated, this, ready);
        QObject::connect(&write_, &QSocketNotifier::activated, this, ready);
    }
    ~SelectWatcher() override {
        read_.setEnabled(false);
        write_.setEnabled(false);
        if (fdToClose_ >= 0)
            posixnet::Close(fdToClose_);
    }

    void Enable(bool read, bool write) {
        read_.setEnabled(read);
        write_.setEnabled(write);
    }
    void CloseOnDestruction(int fd) { fdToClose_ = fd; }

private:
    QSocketNotifier read_;
    QSocketNotifier write_;
    int fdToClose_ = -1;
};

namespace {

bool InWatcherThread(const SelectWatcher* watcher) {
    return watcher->thread() == QThread::currentThread();
}

} // namespace

// Never destroyed: notifiers and lookup threads may still report while the
// process ends.
SocketTable& SocketTable::Instance() {
    static SocketTable* const table = new SocketTable;
    return *table;
}

SOCKET SocketTable::Add(int fd, posixnet::Kind kind) {
    std::lock_guard lock(mutex_);
    const SOCKET s = nextHandle_;
    nextHandle_ += 4;
    entries_.emplace(s, Entry{fd, kind});
    return s;
}

SocketTable::Entry* SocketTable::Find(SOCKET s) {
    const auto found = entries_.find(s);
    if (found != entries_.end())
        return &found->second;
    Fail(WSAENOTSOCK);
    return nullptr;
}

bool SocketTable::Fd(SOCKET s, int* fd) {
    std::lock_guard lock(mutex_);
    const Entry* entry = Find(s);
    if (entry)
        *fd = entry->fd;
    return entry != nullptr;
}

bool SocketTable::KindOf(SOCKET s, posixnet::Kind* kind) {
    std::lock_guard lock(mutex_);
    const Entry* entry = Find(s);
    if (entry)
        *kind = entry->kind;
    return entry != nullptr;
}

bool SocketTable::Remove(SOCKET s) {
    std::lock_guard lock(mutex_);
    Entry* entry = Find(s);
    if (!entry)
        return false;
    if (entry->watcher)
        Release(entry->watcher, entry->fd);
    else
        posixnet::Close(entry->fd);
    entries_.erase(s);
    return true;
}

void SocketTable::RemoveAll() {
    std::lock_guard lock(mutex_);
    for (auto& [s, entry] : entries_) {
        if (entry.watcher)
            Release(entry.watcher, entry.fd);
        else
            posixnet::Close(entry.fd);
    }
    entries_.clear();
}

void SocketTable::Release(SelectWatcher* watcher, int fdToClose) {
    watcher->CloseOnDestruction(fdToClose);
    if (InWatcherThread(watcher))
        delete watcher;
    else
        watcher->deleteLater();
}

int SocketTable::Select(SOCKET s, HWND window, u_int message, long events) {
    std::lock_guard lock(mutex_);
    Entry* entry = Find(s);
    if (!entry)
        return SOCKET_ERROR;
    if (events != 0 && !IsWindow(window))
        return Fail(WSAEINVAL);
    return SelectLocked(s, *entry, window, message, events);
}

int SocketTable::SelectLocked(SOCKET s, Entry& entry, HWND window, u_int message, long events) {
    if (posixnet::SetNonBlocking(entry.fd, true) != 0)
        return FailFromErrno();
    entry.nonBlocking = true;
    if (entry.watcher) {
        Release(entry.watcher, -1);
        entry.watcher = nullptr;
    }
    entry.window = window;
    entry.message = message;
    entry.events = events;
    entry.readOffered = entry.acceptOffered = entry.closeOffered = entry.writeWanted = false;
    if (events == 0)
        return 0;
    entry.watcher = new SelectWatcher(s, entry.fd);
    const bool canSend =
        !entry.connecting && (entry.connected || entry.kind == posixnet::Kind::Datagram);
    if (canSend && (events & FD_CONNECT) && entry.kind == posixnet::Kind::Stream)
        Post(s, entry, FD_CONNECT, 0);
    if (canSend && (events & FD_WRITE)) {
        if (posixnet::Poll(entry.fd).writable)
            Post(s, entry, FD_WRITE, 0);
        else
            entry.writeWanted = true;
    }
    Rearm(s, entry);
    return 0;
}

int SocketTable::SetNonBlocking(SOCKET s, bool nonBlocking) {
    std::lock_guard lock(mutex_);
    Entry* entry = Find(s);
    if (!entry)
        return SOCKET_ERROR;
    if (!nonBlocking && entry->events != 0)
        return Fail(WSAEINVAL);
    if (posixnet::SetNonBlocking(entry->fd, nonBlocking) != 0)
        return FailFromErrno();
    entry->nonBlocking = nonBlocking;
    return 0;
}

bool SocketTable::NonBlocking(SOCKET s) {
    std::lock_guard lock(mutex_);
    const Entry* entry = Find(s);
    return entry && entry->nonBlocking;
}

void SocketTable::ConnectStarted(SOCKET s, bool connected) {
    std::lock_guard lock(mutex_);
    Entry* entry = Find(s);
    if (!entry)
        return;
    // A selected socket learns the outcome from its notifiers, even when
    // connect succeeded at once, so FD_CONNECT always comes.
    if (connected && entry->events == 0) {
        entry->connected = true;
        return;
    }
    entry->connecting = true;
    Rearm(s, *entry);
}

void SocketTable::Listening(SOCKET s) {
    std::lock_guard lock(mutex_);
    Entry* entry = Find(s);
    if (!entry)
        return;
    entry->listening = true;
    Rearm(s, *entry);
}

void SocketTable::Accepted(SOCKET listener, SOCKET accepted) {
    std::lock_guard lock(mutex_);
    const auto from = entries_.find(listener);
    if (from == entries_.end())
        return;
    from->second.acceptOffered = false;
    Rearm(listener, from->second);
    const auto to = entries_.find(accepted);
    if (to == entries_.end())
        return;
    to->second.connected = true;
    to->second.nonBlocking = from->second.nonBlocking;
    if (from->second.events != 0)
        SelectLocked(accepted, to->second, from->second.window, from->second.message,
                     from->second.events);
}

void SocketTable::Received(SOCKET s) {
    std::lock_guard lock(mutex_);
    Entry* entry = Find(s);
    if (!entry)
        return;
    entry->readOffered = false;
    Rearm(s, *entry);
}

void SocketTable::SendBlocked(SOCKET s) {
    std::lock_guard lock(mutex_);
    Entry* entry = Find(s);
    if (!entry)
        return;
    entry->writeWanted = true;
    Rearm(s, *entry);
}

void SocketTable::SendShut(SOCKET s) {
    std::lock_guard lock(mutex_);
    if (Entry* entry = Find(s))
        entry->sendShut = true;
}

int SocketTable::BrokenPipeError(SOCKET s) {
    std::lock_guard lock(mutex_);
    const Entry* entry = Find(s);
    if (entry && entry->sendShut)
        return WSAESHUTDOWN;
    if (entry && !entry->connected)
        return WSAENOTCONN;
    return WSAECONNRESET;
}

void SocketTable::Post(SOCKET s, const Entry& entry, long event, int error) {
    if (!(entry.events & event))
        return;
    PostMessageA(entry.window, entry.message, s,
                 WSAMAKESELECTREPLY(static_cast<WORD>(event), static_cast<WORD>(error)));
}

void SocketTable::Ready(SOCKET s, SelectWatcher* watcher) {
    std::lock_guard lock(mutex_);
    const auto found = entries_.find(s);
    if (found == entries_.end() || found->second.watcher != watcher)
        return;
    Entry& entry = found->second;
    if (entry.connecting)
        CheckConnect(s, entry);
    else if (entry.listening && !entry.acceptOffered && posixnet::Poll(entry.fd).readable) {
        entry.acceptOffered = true;
        Post(s, entry, FD_ACCEPT, 0);
    } else if (entry.writeWanted && posixnet::Poll(entry.fd).writable) {
        entry.writeWanted = false;
        Post(s, entry, FD_WRITE, 0);
    }
    if (!entry.listening && !entry.connecting && !entry.readOffered && !entry.closeOffered)
        CheckReadable(s, entry);
    Rearm(s, entry);
}

void SocketTable::CheckConnect(SOCKET s, Entry& entry) {
    const posixnet::Readiness ready = posixnet::Poll(entry.fd);
    if (!ready.writable && !ready.failed)
        return;
    int error = 0;
    if (posixnet::GetOption(entry.fd, posixnet::Option::Error, &error) != 0)
        error = errno;
    entry.connecting = false;
    if (error != 0) {
        Post(s, entry, FD_CONNECT, ErrorFromErrno(error));
        return;
    }
    entry.connected = true;
    Post(s, entry, FD_CONNECT, 0);
    Post(s, entry, FD_WRITE, 0);
}

void SocketTable::CheckReadable(SOCKET s, Entry& entry) {
    if (entry.kind == posixnet::Kind::Datagram) {
        if (posixnet::Poll(entry.fd).readable) {
            entry.readOffered = true;
            Post(s, entry, FD_READ, 0);
        }
        return;
    }
    if (!entry.connected)
        return;
    char byte;
    const long peeked = posixnet::Receive(entry.fd, &byte, 1, true, false);
    if (peeked > 0) {
        entry.readOffered = true;
        Post(s, entry, FD_READ, 0);
    } else if (peeked == 0) {
        entry.closeOffered = true;
        Post(s, entry, FD_CLOSE, 0);
    } else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
        entry.closeOffered = true;
        Post(s, entry, FD_CLOSE, ErrorFromErrno(errno));
    }
}

void SocketTable::Rearm(SOCKET s, Entry& entry) {
    SelectWatcher* watcher = entry.watcher;
    if (!watcher)
        return;
    if (!InWatcherThread(watcher)) {
        QMetaObject::invokeMethod(
            watcher,
            [this, s, watcher] {
                std::lock_guard lock(mutex_);
                const auto found = entries_.find(s);
                if (found != entries_.end() && found->second.watcher == watcher)
                    Rearm(s, found->second);
            },
            Qt::QueuedConnection);
        return;
    }
    const bool readable = entry.connected || entry.kind == posixnet::Kind::Datagram;
    const bool read = entry.connecting || (entry.listening && !entry.acceptOffered) ||
                      (!entry.listening && readable && !entry.readOffered && !entry.closeOffered);
    const bool write = entry.connecting || (entry.writeWanted && (entry.events & FD_WRITE));
    watcher->Enable(read, write);
}

} // namespace wsock32
