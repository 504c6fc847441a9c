#pragma once
// What the board view shows on each point, read back from its canvas: the
// pixels at a point's place are compared with the pack's bitmaps for that
// point, so a test sees what is drawn and not only what the board record
// holds.

#include <string>

#include "game/Board.h"
#include "platform/win32/WinTypes.h"

class GFXEngine;

class DrawnBoard {
public:
    // Reads the board view as it stands, drawn from `pack`.
    DrawnBoard(GFXEngine& board, HINSTANCE pack);

    // Per point 0..23: 'W' a white piece, 'B' a black piece, '.' an empty
    // point, '+' a lit empty point, 'r' the red mark, '?' none of these.
    const std::string& Shown() const { return shown_; }
    // As Shown, with lit points read as empty ones.
    std::string Pieces() const;
    // What Pieces gives for a board drawn from `record` without a mark.
    static std::string PiecesOf(const BoardRecord& record);

private:
    std::string shown_;
};
