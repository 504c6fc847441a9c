#pragma once
// The board view as the controller drives it: it owns the game's current
// board, draws it, performs every executed move with its animation and
// shows the match counters. The main window creates it (GameWindow); the
// board view of the program is ui/GFXEngine.

#include <cstdint>

#include "game/Board.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win32/WinTypes.h"

class BoardView {
public:
    virtual ~BoardView() = default;

    // All glow flags off, no marked point, the initial board.
    virtual void Reset() = 0;
    // Takes over a graphics pack.
    virtual void LoadGraphics(HMODULE pack) = 0;
    virtual void DrawBoard() = 0;
    virtual void RedrawAll() = 0;
    virtual void CopyBoard(BoardRecord& out) = 0;
    // The board as given, drawn.
    virtual void SetBoard(BoardRecord board) = 0;
    virtual void SetCounters(int first, int second) = 0;
    virtual AnsiString GetBoardStatus() = 0;
    // False, with the board unchanged, for a text that is refused.
    virtual bool SetBoardStatus(const AnsiString& text) = 0;
    virtual bool CanJump(uint8_t colour) = 0;
    // Animates the move of `colour` and applies it; an illegal move raises
    // Exception before the board changes.
    virtual void PerformMove(const MoveRecord& move, const uint8_t& colour) = 0;
    virtual void BlinkPoints(const uint8_t mask[PointCount]) = 0;
    virtual void FlashGlow() = 0;
    // False when no move sound can be played.
    virtual bool PlayMoveSound() = 0;

    // Highlight per point: written by the controller, the click handler and
    // FlashGlow; shown on empty points while highlighting is on.
    uint8_t Glow[PointCount] = {};
};
