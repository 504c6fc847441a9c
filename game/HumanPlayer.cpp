#include "game/HumanPlayer.h"

#include <utility>

#include "game/BoardRules.h"
#include "platform/win32/WinTypes.h"

namespace {

constexpr int NothingToRemoveText = 129;
constexpr int NoticeCaption = 43;

// The prompt text of each kind of move, 0 for none.
int PromptText(uint8_t kind) {
    switch (kind) {
    case Put:
        return 130;
    case Move:
        return 131;
    case Jump:
        return 132;
    case Remove:
        return 133;
    default:
        return 0;
    }
}

} // namespace

HumanPlayer::HumanPlayer(AnsiString name, VellGameControl* game, uint8_t colour, PlayerHost& host)
    : Player(std::move(name), game, colour, host) {}

void HumanPlayer::TakeTurn(const uint8_t& kind, BoardRecord board) {
    if (kind == Remove && !BoardRules::HasRemovablePiece(board, Colour)) {
        Host.MessageBox(Host.GetString(NothingToRemoveText), Host.GetString(NoticeCaption),
                        MB_ICONEXCLAMATION);
        Host.SubmitMove(PassMove, false);
    }
    if (const int prompt = PromptText(kind))
        Host.SetStatusText(Name + ": " + Host.GetString(prompt));
    Host.EnableGameUI(true);
}

bool HumanPlayer::IsHuman() {
    return true;
}
