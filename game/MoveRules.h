#pragma once
// Which moves a side may make on a board: the one answer that the board
// view's clicks, the link's check of a partner's move and the executed
// move's check ask for, and that the search's move lists are held to.
//
// The four steps answer for the step alone, on any board: the side is 1
// or 2, the points lie on the board, and the step's own condition holds.
// Which kind of step is due is the phase's business (StepKind); a whole
// move record answers for both.

#include <cstdint>

#include "game/Board.h"

// A piece of the colour in hand, and the point is empty.
bool IsLegalPut(const BoardRecord& board, uint8_t colour, int point);
// A piece of the colour on `from` steps along a line to the empty `to`.
bool IsLegalMove(const BoardRecord& board, uint8_t colour, int from, int to);
// A piece of the colour on `from`, which may jump, goes to the empty `to`.
bool IsLegalJump(const BoardRecord& board, uint8_t colour, int from, int to);
// The colour takes the opposing piece on the point: one outside every line
// of three, or any of an owner who may jump.
bool IsLegalRemoval(const BoardRecord& board, uint8_t colour, int point);

// The step due from a side that owes no removal: Jump when it may jump,
// Put while it has a piece in hand, Move otherwise.
uint8_t StepKind(const BoardRecord& board, uint8_t colour);

// The whole record of the side's turn. A side that owes a removal (it has
// just closed a line) removes; any other makes the step of its StepKind.
// A pass is legal exactly when no such removal or step exists. Operands
// that the kind does not use are not read.
bool IsLegalMoveRecord(const BoardRecord& board, uint8_t colour, bool removing,
                       const MoveRecord& move);
