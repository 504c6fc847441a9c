// The game texts: a position (BoardStatusString or GameString) on the first
// line, a partner's MoveText after it. What reads must write back as it was
// read, and the move is judged on the read position as the link window
// judges a partner's move.

#include "fuzz/support/Check.h"
#include "game/BoardRules.h"
#include "game/GameText.h"

namespace {

void ReadPosition(const AnsiString& text, BoardRecord& board) {
    try {
        if (ReadBoardStatusString(text, board))
            Check(BoardStatusString(board) == text, "BoardStatusString round trip");
        uint8_t side = 0;
        uint8_t state = 0;
        if (ReadGameString(text, side, state, board))
            Check(GameString(side, state, board) == text, "GameString round trip");
    } catch (const EConvertError&) {
    }
}

void JudgeMove(const BoardRecord& position, const MoveRecord& move) {
    for (const uint8_t colour : {White, Black}) {
        BoardRecord board = position;
        MayJump(board, colour);
        HasLegalMove(board, colour);
        BoardRules::HasRemovablePiece(board, colour);
        BoardRules::ApplyPut(board, colour, move);
        board = position;
        BoardRules::ApplyRemove(board, move, colour);
        // The window asks for neighbours of points only.
        if (move.a >= 0 && move.a < PointCount && move.b >= 0 && move.b < PointCount)
            AreAdjacent(move.a, move.b);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    const auto [position, moveText] = SplitAt(InputText(data, size), '\n');
    BoardRecord board = InitBoard();
    ReadPosition(position, board);
    MoveRecord move = PassMove;
    if (!MoveFromText(moveText, move))
        return 0;
    MoveRecord again = PassMove;
    Check(MoveFromText(MoveToText(move), again) && again.kind == move.kind && again.a == move.a &&
              again.b == move.b && again.c == move.c,
          "MoveText round trip");
    JudgeMove(board, move);
    return 0;
}
