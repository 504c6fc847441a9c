#pragma once
// Window messages on the Qt event loop: hidden windows that exist only to
// receive messages, posted messages delivered later on the window's own
// thread, and the calls that pump them.
//
// A window belongs to the thread that created it; each such thread has one
// message queue. PostMessageA may be called from any thread: the message
// joins the window's queue, and the thread's Qt event loop (for the main
// thread QCoreApplication::processEvents, that is
// Application->ProcessMessages()) dispatches it to the window procedure,
// messages in the order they were posted. PeekMessageA and GetMessageA take
// messages from the calling thread's queue themselves; they run the Qt
// event loop while they look, so socket notifications and timers go on,
// but leave the messages to the caller.
//
// Handles of windows are never reused while the process runs, so a message
// posted to a window that is gone is simply dropped. An exception that
// escapes a window procedure called by the event loop is written to
// standard error; DispatchMessageA passes it on to its caller.

#include <functional>

#include "platform/win32/WinTypes.h"

using LONG_PTR = intptr_t;
using ATOM = WORD;
using LPVOID = void*;
struct HMENU__;
using HMENU = HMENU__*;

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_USER = 0x0400;

constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;

constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;

// A message as a window method of the class library receives it.
struct TMessage {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Result;
};
using TWndMethod = std::function<void(TMessage& Message)>;

using WNDPROC = LRESULT (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// What a hidden window's class needs: its procedure, the extra bytes of
// each window and the name.
struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    LPCSTR lpszClassName;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Class names are compared without regard to case. RegisterClassA returns
// 0 when the name is taken or missing; UnregisterClassA fails while windows
// of the class exist.
ATOM RegisterClassA(const WNDCLASSA* wndClass);
BOOL UnregisterClassA(LPCSTR className, HINSTANCE instance);
BOOL GetClassInfoA(HINSTANCE instance, LPCSTR className, WNDCLASSA* wndClass);

// A hidden window of a registered class with its extra bytes set to 0;
// styles, position and size are accepted and ignored. nullptr for an
// unknown class.
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param);
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);

// The window's extra bytes at a byte offset; 0 (and nothing stored) for an
// offset outside them or an unknown window. Set returns the previous value.
LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value);
LONG_PTR GetWindowLongPtrA(HWND window, int index);

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
inline LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

// FALSE for a window that does not exist.
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
inline BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return PostMessageA(window, message, wParam, lParam);
}
// Posts WM_QUIT to the calling thread's queue. The event loop leaves it
// there; only PeekMessageA and GetMessageA take it.
void PostQuitMessage(int exitCode);

// The first message of the calling thread's queue for `window` (any window
// and WM_QUIT when nullptr) whose number lies between the filters (both 0:
// any); FALSE when there is none. Does not wait.
BOOL PeekMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
// Waits for such a message and removes it; FALSE when it is WM_QUIT.
BOOL GetMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax);
// Sleeps until the calling thread's queue holds a message or
// `milliseconds` have passed, running the event loop meanwhile as
// PeekMessageA does (the messages stay for the caller): a wait made of
// PeekMessageA and this uses no processor time while nothing comes. TRUE
// when a message waits.
BOOL WaitMessageTimeout(DWORD milliseconds);
// Calls the procedure of the message's window; 0 when the window is gone.
LRESULT DispatchMessageA(const MSG* message);

// A window of no class whose messages go to `method`.
HWND AllocateHWnd(TWndMethod method);
void DeallocateHWnd(HWND window);
