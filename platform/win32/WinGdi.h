#pragma once
// The device queries of Windows that the program makes: the colour depth
// of the screen. Every device context here is the primary screen's.

#include "platform/win32/WinTypes.h"

// Indexes of GetDeviceCaps.
constexpr int BITSPIXEL = 12;
constexpr int PLANES = 14;

// The screen's device context, whatever the window.
HDC GetDC(HWND window);
// Returns 1 for a context from GetDC, 0 for any other.
int ReleaseDC(HWND window, HDC dc);

// BITSPIXEL: the primary screen's depth; PLANES: 1. Both 0 while no
// application object of the GUI exists (no screen), for a null context
// and for other indexes.
int GetDeviceCaps(HDC dc, int index);
