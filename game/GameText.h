#pragma once
// Positions and moves as text: the 28-digit BoardStatusString of a board,
// the 30-digit GameString (side to move, game state, board) of the saved
// game and the tutorial, and the MoveText sent to the network partner.

#include "game/Board.h"
#include "platform/vcl/SysUtils.h"

// The 24 points, then on-board white, on-board black, in-hand white,
// in-hand black, one decimal digit each.
AnsiString BoardStatusString(const BoardRecord& board);
// Reads a BoardStatusString into the board. False (board unchanged) for a
// length other than 28 or a point digit above 2; a character that is not a
// decimal digit raises EConvertError, also without any change. The counts
// are taken as they stand, not recomputed from the points.
bool ReadBoardStatusString(const AnsiString& text, BoardRecord& board);

// Side to move, game state, then the BoardStatusString.
AnsiString GameString(uint8_t side, uint8_t state, const BoardRecord& board);
// Reads a GameString. False (nothing changed) for a length other than 30,
// a side other than 1 or 2 or a point digit above 2; the state digit is
// not range-checked. A character that is not a decimal digit raises
// EConvertError without any change.
bool ReadGameString(const AnsiString& text, uint8_t& side, uint8_t& state, BoardRecord& board);

// kind*a*b*c in decimal, negative operands with their minus sign.
AnsiString MoveToText(const MoveRecord& move);
// Parses a MoveText. False (move unchanged) when it is not well formed:
// fewer than three "*", a piece that is not a decimal integer of 32 bits,
// or a kind that does not fit the kind byte.
bool MoveFromText(const AnsiString& text, MoveRecord& move);
