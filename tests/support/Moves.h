#pragma once
// Moves as the controller's tests hand them in.

#include "game/Board.h"

constexpr MoveRecord PutOn(int point) {
    return MoveRecord{point, -1, 0, Put};
}
constexpr MoveRecord Step(int from, int to) {
    return MoveRecord{from, to, 0, Move};
}
constexpr MoveRecord Take(int point) {
    return MoveRecord{point, -1, 0, Remove};
}
