#pragma once
// A whole number shown on a canvas as a row of the graphics pack's digit
// bitmaps ("digit0" .. "digit9", each of its own width). It neither clears
// its background nor pads the number: its owner repaints the background.

#include <cstdint>
#include <memory>

#include "platform/vcl/Graphics.h"
#include "platform/win32/WinTypes.h"

class TCanvasLCD {
public:
    TCanvasLCD(TCanvas* canvas, HMODULE module, int x, int y);
    TCanvasLCD(const TCanvasLCD&) = delete;
    TCanvasLCD& operator=(const TCanvasLCD&) = delete;

    // Draws Value at (X, Y); a digit missing from the pack raises
    // EResNotFound.
    void Draw();
    void DrawAt(int x, int y);

    HMODULE Module;
    TCanvas* Canvas; // not owned
    int32_t X;
    int32_t Y;
    std::unique_ptr<TPicture> Picture;
    int32_t Value;
};
