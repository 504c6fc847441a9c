#include "game/BoardRules.h"

void BoardRules::GetNeighbours(int point, int& first, int& second, int& third, int& fourth) {
    if (point < 0 || point >= PointCount)
        return;
    first = Neighbours[point][0];
    second = Neighbours[point][1];
    third = Neighbours[point][2];
    fourth = Neighbours[point][3];
}

bool BoardRules::HasRemovablePiece(const BoardRecord& board, uint8_t colour) {
    const uint8_t opponent = OtherColour(colour);
    for (int p = 0; p < PointCount; ++p)
        if (board.cell[p] == opponent && IsRemovable(board, p))
            return true;
    return false;
}

bool BoardRules::ApplyPut(BoardRecord& board, uint8_t colour, const MoveRecord& move) {
    if (colour != White && colour != Black)
        return false;
    if (move.a < 0 || move.a >= PointCount)
        return false;
    if (board.cell[move.a] != Empty || board.inHand[colour - 1] < 1)
        return false;
    board.cell[move.a] = colour;
    --board.inHand[colour - 1];
    ++board.onBoard[colour - 1];
    return true;
}

bool BoardRules::ApplyRemove(BoardRecord& board, const MoveRecord& move, uint8_t colour) {
    if (move.a < 0 || move.a >= PointCount)
        return false;
    const uint8_t owner = board.cell[move.a];
    if (owner == Empty || owner == colour || !IsRemovable(board, move.a))
        return false;
    board.cell[move.a] = Empty;
    --board.onBoard[owner - 1];
    return true;
}
