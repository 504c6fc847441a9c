#include "platform/win32/Messages.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/vcl/MessageLoop.h"
#include "platform/vcl/SysUtils.h"

namespace {

// The Qt event that tells a queue's thread that messages wait.
QEvent::Type WakeEvent() {
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

bool Matches(const MSG& message, HWND window, UINT filterMin, UINT filterMax) {
    if (window && message.hwnd != window)
        return false;
    if (filterMin == 0 && filterMax == 0)
        return true;
    return message.message >= filterMin && message.message <= filterMax;
}

void DispatchFromEventLoop(const MSG& message) {
    try {
        DispatchMessageA(&message);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "Exception in a window procedure: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "Exception in a window procedure\n");
    }
}

// One thread's messages. It lives in that thread, so the thread's event
// loop delivers its wake events; messages are pushed from any thread.
class MessageQueue : public QObject {
public:
    void Post(const MSG& message) {
        {
            std::lock_guard lock(mutex_);
            messages_.push_back(message);
        }
        Wake();
    }

    bool Empty() {
        std::lock_guard lock(mutex_);
        return messages_.empty();
    }

    bool Take(MSG* message, HWND window, UINT filterMin, UINT filterMax, bool remove) {
        std::lock_guard lock(mutex_);
        for (auto it = messages_.begin(); it != messages_.end(); ++it) {
            if (!Matches(*it, window, filterMin, filterMax))
                continue;
            *message = *it;
            if (remove)
                messages_.erase(it);
            return true;
        }
        return false;
    }

    // While a thread looks for messages itself, its event loop leaves them
    // alone; afterwards it is woken for whatever is left.
    void BeginLooking() { ++looking_; }
    void EndLooking() {
        if (--looking_ == 0 && WindowMessageCount() > 0)
            Wake();
    }

protected:
    bool event(QEvent* event) override {
        if (event->type() != WakeEvent())
            return QObject::event(event);
        if (looking_ > 0)
            return true;
        // Only what waits now: a message that a handler posts gets its own
        // turn, so timers and sockets are not starved.
        const size_t waiting = WindowMessageCount();
        for (size_t i = 0; i < waiting; ++i) {
            MSG message;
            if (!TakeWindowMessage(&message))
                break;
            DispatchFromEventLoop(message);
        }
        return true;
    }

private:
    void Wake() { QCoreApplication::postEvent(this, new QEvent(WakeEvent())); }

    size_t WindowMessageCount() {
        std::lock_guard lock(mutex_);
        size_t count = 0;
        for (const MSG& message : messages_)
            count += message.hwnd != nullptr;
        return count;
    }

    // The first message for a window; thread messages (WM_QUIT) stay for
    // PeekMessageA and GetMessageA.
    bool TakeWindowMessage(MSG* message) {
        std::lock_guard lock(mutex_);
        for (auto it = messages_.begin(); it != messages_.end(); ++it) {
            if (!it->hwnd)
                continue;
            *message = *it;
            messages_.erase(it);
            return true;
        }
        return false;
    }

    std::mutex mutex_;
    std::deque<MSG> messages_;
    int looking_ = 0;
};

struct WindowClass {
    WNDPROC procedure;
    int extraBytes;
};

struct Window {
    MessageQueue* queue;
    WNDPROC procedure;
    TWndMethod method;
    AnsiString classKey;
    std::vector<unsigned char> extra;
};

// The windowing system's tables. Never destroyed: a lookup thread may post
// while the process ends, and queues must outlive every window of theirs.
struct Registry {
    std::mutex mutex;
    std::map<AnsiString, WindowClass> classes;
    std::map<HWND, Window> windows;
    std::vector<MessageQueue*> queues;
    uintptr_t nextWindow = 0x10000;
    ATOM nextAtom = 0xC000;
};

Registry& TheRegistry() {
    static Registry* const registry = new Registry;
    return *registry;
}

// The calling thread's queue, made on first use; caller holds the
// registry's lock.
MessageQueue* QueueOfThisThread(Registry& registry) {
    static thread_local MessageQueue* queue = nullptr;
    if (!queue) {
        queue = new MessageQueue;
        registry.queues.push_back(queue);
    }
    return queue;
}

MessageQueue& QueueOfThisThread() {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    return *QueueOfThisThread(registry);
}

HWND AddWindow(Window window) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    window.queue = QueueOfThisThread(registry);
    const HWND handle = reinterpret_cast<HWND>(registry.nextWindow);
    registry.nextWindow += 4;
    registry.windows.emplace(handle, std::move(window));
    return handle;
}

bool ExtraSlot(const Window& window, int index) {
    return index >= 0 && static_cast<size_t>(index) + sizeof(LONG_PTR) <= window.extra.size();
}

// Runs the event loop once so that notifications turn into messages, while
// the queue keeps its messages for the caller.
void LookForMessages(MessageQueue& queue, QEventLoop::ProcessEventsFlags flags) {
    if (!QCoreApplication::instance()) {
        if (flags & QEventLoop::WaitForMoreEvents)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return;
    }
    const TNestedLoop nested;
    queue.BeginLooking();
    QCoreApplication::processEvents(flags);
    queue.EndLooking();
}

// The same with a sleep of at most `milliseconds` when no event waits.
void WaitForMessages(MessageQueue& queue, int milliseconds) {
    const TNestedLoop nested;
    queue.BeginLooking();
    WaitForEvents(milliseconds);
    queue.EndLooking();
}

} // namespace

ATOM RegisterClassA(const WNDCLASSA* wndClass) {
    if (!wndClass || !wndClass->lpszClassName || !*wndClass->lpszClassName ||
        !wndClass->lpfnWndProc || wndClass->cbWndExtra < 0)
        return 0;
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    const WindowClass added{wndClass->lpfnWndProc, wndClass->cbWndExtra};
    if (!registry.classes.emplace(LowerCase(wndClass->lpszClassName), added).second)
        return 0;
    return registry.nextAtom++;
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE) {
    if (!className)
        return FALSE;
    const AnsiString key = LowerCase(className);
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    for (const auto& [handle, window] : registry.windows) {
        if (window.classKey == key)
            return FALSE;
    }
    return registry.classes.erase(key) > 0;
}

BOOL GetClassInfoA(HINSTANCE instance, LPCSTR className, WNDCLASSA* wndClass) {
    if (!className || !wndClass)
        return FALSE;
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    const auto found = registry.classes.find(LowerCase(className));
    if (found == registry.classes.end())
        return FALSE;
    *wndClass =
        WNDCLASSA{0, found->second.procedure, 0, found->second.extraBytes, instance, className};
    return TRUE;
}

HWND CreateWindowExA(DWORD, LPCSTR className, LPCSTR, DWORD, int, int, int, int, HWND, HMENU,
                     HINSTANCE, LPVOID) {
    if (!className)
        return nullptr;
    const AnsiString key = LowerCase(className);
    WindowClass windowClass;
    {
        Registry& registry = TheRegistry();
        std::lock_guard lock(registry.mutex);
        const auto found = registry.classes.find(key);
        if (found == registry.classes.end())
            return nullptr;
        windowClass = found->second;
    }
    const auto extraBytes = static_cast<size_t>(windowClass.extraBytes);
    return AddWindow(Window{nullptr, windowClass.procedure, nullptr, key,
                            std::vector<unsigned char>(extraBytes, 0)});
}

BOOL DestroyWindow(HWND window) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    return registry.windows.erase(window) > 0;
}

BOOL IsWindow(HWND window) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    return registry.windows.contains(window);
}

LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    const auto found = registry.windows.find(window);
    if (found == registry.windows.end() || !ExtraSlot(found->second, index))
        return 0;
    LONG_PTR previous;
    unsigned char* slot = found->second.extra.data() + index;
    std::memcpy(&previous, slot, sizeof previous);
    std::memcpy(slot, &value, sizeof value);
    return previous;
}

LONG_PTR GetWindowLongPtrA(HWND window, int index) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    const auto found = registry.windows.find(window);
    if (found == registry.windows.end() || !ExtraSlot(found->second, index))
        return 0;
    LONG_PTR value;
    std::memcpy(&value, found->second.extra.data() + index, sizeof value);
    return value;
}

LRESULT DefWindowProcA(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    const auto found = registry.windows.find(window);
    if (found == registry.windows.end())
        return FALSE;
    found->second.queue->Post(MSG{window, message, wParam, lParam});
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    QueueOfThisThread().Post(MSG{nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0});
}

BOOL PeekMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    if (!message)
        return FALSE;
    MessageQueue& queue = QueueOfThisThread();
    LookForMessages(queue, QEventLoop::AllEvents);
    return queue.Take(message, window, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0);
}

BOOL GetMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax) {
    if (!message)
        return FALSE;
    MessageQueue& queue = QueueOfThisThread();
    while (!queue.Take(message, window, filterMin, filterMax, true))
        LookForMessages(queue, QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    return message->message != WM_QUIT;
}

BOOL WaitMessageTimeout(DWORD milliseconds) {
    MessageQueue& queue = QueueOfThisThread();
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (queue.Empty()) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return FALSE;
        WaitForMessages(queue, static_cast<int>(left.count()));
    }
    return TRUE;
}

LRESULT DispatchMessageA(const MSG* message) {
    if (!message || !message->hwnd)
        return 0;
    WNDPROC procedure = nullptr;
    TWndMethod method;
    {
        Registry& registry = TheRegistry();
        std::lock_guard lock(registry.mutex);
        const auto found = registry.windows.find(message->hwnd);
        if (found == registry.windows.end())
            return 0;
        procedure = found->second.procedure;
        method = found->second.method;
    }
    if (procedure)
        return procedure(message->hwnd, message->message, message->wParam, message->lParam);
    TMessage record{message->message, message->wParam, message->lParam, 0};
    if (method)
        method(record);
    return record.Result;
}

HWND AllocateHWnd(TWndMethod method) {
    return AddWindow(Window{nullptr, nullptr, std::move(method), AnsiString(), {}});
}

void DeallocateHWnd(HWND window) {
    DestroyWindow(window);
}
