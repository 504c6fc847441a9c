#pragma once
// How the human sides of the whole-game tests choose their moves, from the
// rules of game/ alone. A pressing side closes lines whenever it can and
// opens and closes a line again in the moving phase; a yielding side never
// closes a line of its own and keeps off the points where the other side
// would close one. Both always choose a legal move; the choice is
// deterministic, so a game between two of them always runs the same way.

#include <cstdint>

#include "game/Board.h"

enum class Style { Pressing, Yielding };

// The move of `colour` for the game state (5 put, 1 move or jump, 4 remove).
MoveRecord ChooseMove(const BoardRecord& board, uint8_t colour, uint8_t state, Style style);
