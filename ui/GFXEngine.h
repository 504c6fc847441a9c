#pragma once
// The board view: a paint box that owns the game's current board and draws
// it from the named bitmaps of a graphics pack, at the places the pack's
// string table gives. It holds the highlight ("glow") flags and the marked
// point, the two digit counters of the match score, turns clicks into moves
// for a human side, and animates every executed move.
//
// The rule operations that belong to the view (GetNeighbours,
// HasRemovablePiece, ApplyPut, ApplyRemove) are the static members of
// BoardRules, so they work on any record without a window.

#include <cstdint>
#include <memory>

#include "game/Board.h"
#include "game/BoardRules.h"
#include "game/BoardView.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Graphics.h"
#include "platform/win32/WinTypes.h"

class TCanvasLCD;
class VellGameControl;

class GFXEngine : public TPaintBox, public BoardRules, public BoardView {
public:
    // Created by the controller with the main form as owner and parent; it
    // fills the parent's client area.
    GFXEngine(TWinControl* parent, VellGameControl* game);
    ~GFXEngine() override;

    // All glow flags off, no marked point, the initial board.
    void Reset() override;
    // Takes over a pack (frees the one before). A required number missing
    // from the pack raises EConvertError; a missing bitmap EResNotFound.
    void LoadGraphics(HMODULE pack) override;
    // Everything but the background: counters, stacks, labels, points.
    void DrawBoard() override;
    // The background (which recentres the board), the board, the counters.
    void RedrawAll() override;
    // The named bitmap of the pack at (x, y) plus the centring offset.
    void DrawBitmap(const AnsiString& name, int x, int y);
    // The first point whose click box holds the click, or -1.
    int HitTest(int x, int y);
    void CopyBoard(BoardRecord& out) override;
    // Used by undo: the board as given, no marked point, drawn.
    void SetBoard(BoardRecord board) override;
    // Games won in the match, or arcade score and stage.
    void SetCounters(int first, int second) override;
    // The BoardStatusString of the current board, and back; a text that is
    // refused leaves the board unchanged.
    AnsiString GetBoardStatus() override;
    bool SetBoardStatus(const AnsiString& text) override;
    // The colour has no pieces in hand and at most three on the board.
    bool CanJump(uint8_t colour) override;

    // The mouse-down handler: a click on the board for the human side.
    void BoardMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

    // Plays the move sound, checks the move against MoveRules (an illegal
    // move raises Exception before the board changes), animates it in four
    // frames of 200 ms and applies it. `colour` is the side that moves.
    void PerformMove(const MoveRecord& move, const uint8_t& colour) override;
    // Marks each flagged point that holds a piece in turn, 200 ms each.
    void BlinkPoints(const uint8_t mask[PointCount]) override;
    // Flashes all glow flags off and on, in 300 ms steps.
    void FlashGlow() override;
    // A random move sound of the pack's prefix, played asynchronously;
    // false only when the file name cannot be built.
    bool PlayMoveSound() override;

private:
    struct Place {
        int32_t x;
        int32_t y;
    };
    struct ClickBox {
        int32_t left;
        int32_t right;
        int32_t top;
        int32_t bottom;
    };

    // A number of the pack's string table; EConvertError when missing.
    int PackNumber(int id);
    // A text of the pack's string table ("" when missing).
    AnsiString PackText(int id, int bufferSize);
    Place PackPlace(int xId, int yId);
    Place OptionalPackPlace(int xId, int yId);
    void ReadLayout();
    void CreateCounters();
    void EraseMargins();
    AnsiString PointBitmapName(int point);

    // Clicks, by game state.
    void ClickPick(int p, uint8_t side);
    void ClickMoveTarget(int p, uint8_t side);
    void ClickJumpTarget(int p, uint8_t side);
    void ClickRemove(int p, uint8_t side);
    void ClickPut(int p, uint8_t side);
    void Refuse(int text);
    void ShowStatusPrompt(uint8_t side);
    // What the rules let the side's piece on p do, asked of MoveRules.
    bool CanMoveFrom(int p, uint8_t side);
    void GlowMoveTargets(int p, uint8_t side);
    void GlowJumpTargets(int p, uint8_t side);
    void SetAllGlow(bool on);
    void Submit(int32_t a, int32_t b, uint8_t kind);

    // Animation.
    void CheckMove(const MoveRecord& move, uint8_t colour);
    void ShowFrames(int first, int second);
    void ApplyMoveOrJump(const MoveRecord& move);

    HMODULE Pack = nullptr;
    std::unique_ptr<TPicture> Picture;
    int32_t MarkedPoint = -1;
    int32_t OffsetX = 0;
    int32_t OffsetY = 0;
    Place Points[PointCount] = {};
    std::unique_ptr<ClickBox[]> ClickBoxes;
    Place WhiteStack = {};
    Place BlackStack = {};
    Place Label1 = {-1, -1};
    Place Label2 = {-1, -1};
    VellGameControl* Game;
    std::unique_ptr<TCanvasLCD> Counter1;
    std::unique_ptr<TCanvasLCD> Counter2;
    std::unique_ptr<BoardRecord> Board;
    // The highlight per point, Glow, is BoardView's.
    AnsiString SoundPrefix;
};
