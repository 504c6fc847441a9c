#include "game/Board.h"

#include <cstring>

BoardRecord InitBoard() {
    BoardRecord board;
    InitBoard(&board);
    return board;
}

void InitBoard(BoardRecord* board) {
    std::memset(board->cell, Empty, sizeof board->cell);
    board->onBoard[0] = board->onBoard[1] = 0;
    board->inHand[0] = board->inHand[1] = 9;
}

BoardRecord& CopyBoardRecord(BoardRecord& destination, const BoardRecord& source) {
    destination = source;
    return destination;
}

BoardRecord* CopyBoardRecord(BoardRecord* destination, BoardRecord source) {
    *destination = source;
    return destination;
}

uint8_t OtherColour(uint8_t colour) {
    if (colour == White)
        return Black;
    if (colour == Black)
        return White;
    return Empty;
}

bool AreAdjacent(int p, int q) {
    const int lo = p < q ? p : q;
    const int hi = p < q ? q : p;
    if ((lo == 0 && hi == 7) || (lo == 8 && hi == 15) || (lo == 16 && hi == 23))
        return true;
    if ((lo == 7 && hi == 8) || (lo == 15 && hi == 16))
        return false;
    if (hi == lo + 1)
        return true;
    return lo % 2 == 1 && hi == lo + 8;
}

bool IsInLineOfThree(const BoardRecord& board, int point) {
    const uint8_t colour = board.cell[point];
    if (colour == Empty)
        return false;
    for (const int8_t line : LinesThroughPoint[point]) {
        const int8_t* points = Lines[line];
        if (board.cell[points[0]] == colour && board.cell[points[1]] == colour &&
            board.cell[points[2]] == colour)
            return true;
    }
    return false;
}

bool HasLegalMove(const BoardRecord& board, uint8_t colour) {
    for (int p = 0; p < PointCount; ++p) {
        if (board.cell[p] != colour)
            continue;
        for (int q = 0; q < PointCount; ++q)
            if (board.cell[q] == Empty && AreAdjacent(p, q))
                return true;
    }
    return false;
}

bool MayJump(const BoardRecord& board, uint8_t colour) {
    if (colour != White && colour != Black)
        return false;
    return board.inHand[colour - 1] == 0 && board.onBoard[colour - 1] < 4;
}

bool IsRemovable(const BoardRecord& board, int point) {
    const uint8_t owner = board.cell[point];
    if (owner != White && owner != Black)
        return false;
    return !IsInLineOfThree(board, point) || MayJump(board, owner);
}

int32_t PieceTotal(const BoardRecord& board, uint8_t colour) {
    if (colour != White && colour != Black)
        return 0;
    return board.onBoard[colour - 1] + board.inHand[colour - 1];
}
