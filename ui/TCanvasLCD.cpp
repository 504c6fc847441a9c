#include "ui/TCanvasLCD.h"

TCanvasLCD::TCanvasLCD(TCanvas* canvas, HMODULE module, int x, int y)
    : Module(module), Canvas(canvas), X(x), Y(y), Picture(std::make_unique<TPicture>()), Value(0) {}

void TCanvasLCD::Draw() {
    const AnsiString text = IntToStr(Value);
    int x = X;
    for (const char c : text) {
        TBitmap* digit = Picture->Bitmap;
        digit->LoadFromResourceName(Module, AnsiString("digit") + c);
        Canvas->Draw(x, Y, digit);
        digit->Dormant();
        x += digit->Width;
    }
}

void TCanvasLCD::DrawAt(int x, int y) {
    X = x;
    Y = y;
    Draw();
}
