#pragma once
// A seat of the game. The controller asks the side to move for a move with
// TakeTurn; every kind of player answers by handing a MoveRecord to the
// controller's SubmitMove, at once or later.

#include <cstdint>

#include "game/Board.h"
#include "game/PlayerHost.h"
#include "platform/vcl/SysUtils.h"

class VellGameControl;

class Player {
public:
    // Seeds the process's pseudo-random generator with the current time.
    // The host is what the turn reaches of the controller and the window.
    Player(AnsiString name, VellGameControl* game, uint8_t colour, PlayerHost& host);
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // kind: Put, Move, Jump or Remove; the board is this player's own copy.
    virtual void TakeTurn(const uint8_t& kind, BoardRecord board);
    virtual void SetTimeLimit(const int& seconds);
    virtual bool IsHuman();
    virtual bool IsRemote();
    // The controller deletes its seats through Player pointers.
    virtual ~Player();

    VellGameControl* Game; // the owning controller (not owned)
    uint8_t Colour;        // 1 white, 2 black
    float ErrorRate;       // probability of passing over a better choice
    AnsiString Name;

protected:
    PlayerHost& Host;
};
