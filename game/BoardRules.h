#pragma once
// The rule operations that belong to the board view: the view class derives
// from BoardRules, so GFXEngine::ApplyPut and the others are these static
// members. They touch only the record they are given, so the search and
// the players use them without any window; what is legal they ask of
// MoveRules.

#include "game/Board.h"

class BoardRules {
public:
    // Fills the four places from the neighbour table (-1 where a point has
    // fewer neighbours); a point outside 0..23 leaves them untouched.
    static void GetNeighbours(int point, int& first, int& second, int& third, int& fourth);
    // The side `colour`, having closed a line, has an opposing piece that
    // the removal rule lets it take.
    static bool HasRemovablePiece(const BoardRecord& board, uint8_t colour);
    // Puts a piece of the colour on move.a when that point is empty and the
    // colour has a piece in hand; otherwise changes nothing and fails.
    static bool ApplyPut(BoardRecord& board, uint8_t colour, const MoveRecord& move);
    // The side `colour` removes the opposing piece on move.a; fails without
    // change on an empty point, its own piece, a protected piece, or when
    // the colour is no side.
    static bool ApplyRemove(BoardRecord& board, const MoveRecord& move, uint8_t colour);

protected:
    BoardRules() = default;
};
