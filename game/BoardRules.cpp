#include "game/BoardRules.h"

#include "game/MoveRules.h"

void BoardRules::GetNeighbours(int point, int& first, int& second, int& third, int& fourth) {
    if (point < 0 || point >= PointCount)
        return;
    first = Neighbours[point][0];
    second = Neighbours[point][1];
    third = Neighbours[point][2];
    fourth = Neighbours[point][3];
}

bool BoardRules::HasRemovablePiece(const BoardRecord& board, uint8_t colour) {
    for (int p = 0; p < PointCount; ++p)
        if (IsLegalRemoval(board, colour, p))
            return true;
    return false;
}

bool BoardRules::ApplyPut(BoardRecord& board, uint8_t colour, const MoveRecord& move) {
    if (!IsLegalPut(board, colour, move.a))
        return false;
    board.cell[move.a] = colour;
    --board.inHand[colour - 1];
    ++board.onBoard[colour - 1];
    return true;
}

bool BoardRules::ApplyRemove(BoardRecord& board, const MoveRecord& move, uint8_t colour) {
    if (!IsLegalRemoval(board, colour, move.a))
        return false;
    board.cell[move.a] = Empty;
    --board.onBoard[OtherColour(colour) - 1];
    return true;
}
