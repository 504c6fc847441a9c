#pragma once
// The partner of a network game: the turn waits for the partner's move,
// which the link window submits.

#include "game/Player.h"

class RemotePlayer : public Player {
public:
    RemotePlayer(AnsiString name, VellGameControl* game, uint8_t colour, PlayerHost& host);

    void TakeTurn(const uint8_t& kind, BoardRecord board) override;
    bool IsRemote() override;
};
