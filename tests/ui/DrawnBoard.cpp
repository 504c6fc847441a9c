#include "tests/ui/DrawnBoard.h"

#include <QImage>
#include <algorithm>
#include <cstdlib>

#include "platform/win32/Resources.h"
#include "ui/GFXEngine.h"

namespace {

// The pack's string ids of a point's place.
constexpr int kPointX = 0;
constexpr int kPointY = 24;

int PackNumber(HINSTANCE pack, int id) {
    char buffer[8] = {};
    LoadStringA(pack, static_cast<UINT>(id), buffer, sizeof buffer);
    return std::atoi(buffer);
}

// The canvas holds the bitmap at (x, y), up to rounding in the conversion
// between image formats.
bool Holds(const QImage& canvas, int x, int y, const QImage& bitmap) {
    if (x < 0 || y < 0 || x + bitmap.width() > canvas.width() ||
        y + bitmap.height() > canvas.height())
        return false;
    for (int row = 0; row < bitmap.height(); ++row)
        for (int column = 0; column < bitmap.width(); ++column) {
            const QRgb a = canvas.pixel(x + column, y + row);
            const QRgb b = bitmap.pixel(column, row);
            if (std::abs(qRed(a) - qRed(b)) > 2 || std::abs(qGreen(a) - qGreen(b)) > 2 ||
                std::abs(qBlue(a) - qBlue(b)) > 2)
                return false;
        }
    return true;
}

} // namespace

DrawnBoard::DrawnBoard(GFXEngine& board, HINSTANCE pack) {
    static const struct {
        const char* bitmap;
        char shown;
    } kinds[] = {{"white", 'W'}, {"black", 'B'}, {"empty", '.'}, {"glow", '+'}, {"red", 'r'}};
    const QImage& canvas = board.Canvas->Image();
    const QImage background = FindBitmapResource(pack, "background");
    const int offsetX = (board.Width - background.width()) / 2;
    const int offsetY = (board.Height - background.height()) / 2;
    for (int point = 0; point < PointCount; ++point) {
        const int x = offsetX + PackNumber(pack, kPointX + point);
        const int y = offsetY + PackNumber(pack, kPointY + point);
        char shown = '?';
        for (const auto& kind : kinds)
            if (Holds(canvas, x, y,
                      FindBitmapResource(pack, kind.bitmap + std::to_string(point + 1)))) {
                shown = kind.shown;
                break;
            }
        shown_ += shown;
    }
}

std::string DrawnBoard::Pieces() const {
    std::string pieces = shown_;
    std::replace(pieces.begin(), pieces.end(), '+', '.');
    return pieces;
}

std::string DrawnBoard::PiecesOf(const BoardRecord& record) {
    std::string pieces;
    for (const uint8_t cell : record.cell)
        pieces += cell == White ? 'W' : cell == Black ? 'B' : '.';
    return pieces;
}
