#include "game/MoveRules.h"

namespace {

bool IsSide(uint8_t colour) {
    return colour == White || colour == Black;
}

bool IsPoint(int point) {
    return point >= 0 && point < PointCount;
}

// A piece of the colour on `from` and an empty `to`, both on the board.
bool IsStepOnBoard(const BoardRecord& board, uint8_t colour, int from, int to) {
    return IsSide(colour) && IsPoint(from) && IsPoint(to) && board.cell[from] == colour &&
           board.cell[to] == Empty;
}

bool IsLegalStep(const BoardRecord& board, uint8_t colour, uint8_t kind, int a, int b) {
    switch (kind) {
    case Put:
        return IsLegalPut(board, colour, a);
    case Move:
        return IsLegalMove(board, colour, a, b);
    case Jump:
        return IsLegalJump(board, colour, a, b);
    case Remove:
        return IsLegalRemoval(board, colour, a);
    default:
        return false;
    }
}

// Some record of the kind is legal; puts and removals have no second point.
bool HasLegalStep(const BoardRecord& board, uint8_t colour, uint8_t kind) {
    const int targets = kind == Move || kind == Jump ? PointCount : 1;
    for (int a = 0; a < PointCount; ++a)
        for (int b = 0; b < targets; ++b)
            if (IsLegalStep(board, colour, kind, a, b))
                return true;
    return false;
}

} // namespace

bool IsLegalPut(const BoardRecord& board, uint8_t colour, int point) {
    return IsSide(colour) && IsPoint(point) && board.cell[point] == Empty &&
           board.inHand[colour - 1] > 0;
}

bool IsLegalMove(const BoardRecord& board, uint8_t colour, int from, int to) {
    return IsStepOnBoard(board, colour, from, to) && AreAdjacent(from, to);
}

bool IsLegalJump(const BoardRecord& board, uint8_t colour, int from, int to) {
    return IsStepOnBoard(board, colour, from, to) && MayJump(board, colour);
}

bool IsLegalRemoval(const BoardRecord& board, uint8_t colour, int point) {
    return IsSide(colour) && IsPoint(point) && board.cell[point] == OtherColour(colour) &&
           IsRemovable(board, point);
}

uint8_t StepKind(const BoardRecord& board, uint8_t colour) {
    if (MayJump(board, colour))
        return Jump;
    return board.inHand[colour - 1] > 0 ? Put : Move;
}

bool IsLegalMoveRecord(const BoardRecord& board, uint8_t colour, bool removing,
                       const MoveRecord& move) {
    if (!IsSide(colour))
        return false;
    const uint8_t due = removing ? Remove : StepKind(board, colour);
    if (move.kind == NoMove)
        return !HasLegalStep(board, colour, due);
    return move.kind == due && IsLegalStep(board, colour, due, move.a, move.b);
}
