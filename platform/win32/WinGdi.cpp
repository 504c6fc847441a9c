#include "platform/win32/WinGdi.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

// There is one device: the screen. Its context is a fixed token.
const HDC ScreenDC = reinterpret_cast<HDC>(uintptr_t{0x5C12EE0});

QScreen* PrimaryScreen() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance())
               ? QGuiApplication::primaryScreen()
               : nullptr;
}

} // namespace

HDC GetDC(HWND) {
    return ScreenDC;
}

int ReleaseDC(HWND, HDC dc) {
    return dc == ScreenDC ? 1 : 0;
}

int GetDeviceCaps(HDC dc, int index) {
    const QScreen* screen = PrimaryScreen();
    if (!dc || !screen)
        return 0;
    switch (index) {
    case BITSPIXEL:
        return screen->depth();
    case PLANES:
        return 1;
    default:
        return 0;
    }
}
