#include "game/SearchBoard.h"

SearchBoard PackBoard(const BoardRecord& board, uint8_t computer) {
    const uint8_t opponent = OtherColour(computer);
    SearchBoard packed{};
    for (int p = 0; p < PointCount; ++p) {
        if (board.cell[p] == computer)
            packed.pieces[Own] |= PointBit(p);
        else if (board.cell[p] == opponent)
            packed.pieces[Opponent] |= PointBit(p);
    }
    packed.onBoard[Own] = board.onBoard[computer - 1];
    packed.onBoard[Opponent] = board.onBoard[opponent - 1];
    packed.inHand[Own] = board.inHand[computer - 1];
    packed.inHand[Opponent] = board.inHand[opponent - 1];
    return packed;
}
