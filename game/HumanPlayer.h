#pragma once
// The person at this screen: the turn opens the board for clicks, and the
// board view submits the move.

#include "game/Player.h"

class HumanPlayer : public Player {
public:
    HumanPlayer(AnsiString name, VellGameControl* game, uint8_t colour, PlayerHost& host);

    void TakeTurn(const uint8_t& kind, BoardRecord board) override;
    bool IsHuman() override;
};
