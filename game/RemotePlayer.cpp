#include "game/RemotePlayer.h"

#include <utility>

#include "game/BoardRules.h"

namespace {

constexpr int WaitingText = 135;

} // namespace

RemotePlayer::RemotePlayer(AnsiString name, VellGameControl* game, uint8_t colour, PlayerHost& host)
    : Player(std::move(name), game, colour, host) {}

void RemotePlayer::TakeTurn(const uint8_t& kind, BoardRecord board) {
    Host.SetStatusText(Host.GetString(WaitingText));
    // The partner cannot answer a turn that leaves nothing to do; each
    // machine passes on its own, so passes never travel.
    if ((kind == Remove && !BoardRules::HasRemovablePiece(board, Colour)) ||
        (kind == Move && !HasLegalMove(board, Colour)))
        Host.SubmitMove(PassMove, false);
}

bool RemotePlayer::IsRemote() {
    return true;
}
