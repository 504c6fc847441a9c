#pragma once
// Positions for tests, written as the three rings of points (outer,
// middle, inner; 0 empty, 1 white, 2 black) with the pieces in hand; the
// pieces on the board are counted from the points.

#include <string>
#include <vector>

#include "game/Board.h"

inline BoardRecord MakeBoard(const std::string& rings, int whiteInHand, int blackInHand) {
    BoardRecord board = InitBoard();
    int p = 0;
    for (const char c : rings) {
        if (c == ' ')
            continue;
        board.cell[p] = static_cast<uint8_t>(c - '0');
        if (c != '0')
            ++board.onBoard[c - '1'];
        ++p;
    }
    board.inHand[0] = whiteInHand;
    board.inHand[1] = blackInHand;
    return board;
}

inline std::vector<int> PointsWhere(bool (*test)(const BoardRecord&, int),
                                    const BoardRecord& board) {
    std::vector<int> points;
    for (int p = 0; p < PointCount; ++p)
        if (test(board, p))
            points.push_back(p);
    return points;
}

inline bool SameBoard(const BoardRecord& a, const BoardRecord& b) {
    for (int p = 0; p < PointCount; ++p)
        if (a.cell[p] != b.cell[p])
            return false;
    return a.onBoard[0] == b.onBoard[0] && a.onBoard[1] == b.onBoard[1] &&
           a.inHand[0] == b.inHand[0] && a.inHand[1] == b.inHand[1];
}

inline bool SameMove(const MoveRecord& a, const MoveRecord& b) {
    return a.kind == b.kind && a.a == b.a && a.b == b.b && a.c == b.c;
}
