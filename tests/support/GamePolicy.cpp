#include "tests/support/GamePolicy.h"

#include <vector>

namespace {

bool ClosesLine(const BoardRecord& board, uint8_t colour, int from, int to) {
    BoardRecord after = board;
    if (from >= 0)
        after.cell[from] = Empty;
    after.cell[to] = colour;
    return IsInLineOfThree(after, to);
}

// An empty point that would close a line of `colour` (two of its pieces on
// a line, the third point empty).
bool IsClosingPoint(const BoardRecord& board, uint8_t colour, int point) {
    if (board.cell[point] != Empty)
        return false;
    for (const int8_t line : LinesThroughPoint[point]) {
        int own = 0;
        for (const int8_t p : Lines[line])
            own += board.cell[p] == colour;
        if (own == 2)
            return true;
    }
    return false;
}

// A line through the point that holds pieces of `colour` and none of the
// other side.
bool BuildsLine(const BoardRecord& board, uint8_t colour, int point) {
    for (const int8_t line : LinesThroughPoint[point]) {
        int own = 0, other = 0;
        for (const int8_t p : Lines[line]) {
            own += board.cell[p] == colour;
            other += board.cell[p] == OtherColour(colour);
        }
        if (own > 0 && other == 0)
            return true;
    }
    return false;
}

std::vector<MoveRecord> Steps(const BoardRecord& board, uint8_t colour) {
    std::vector<MoveRecord> steps;
    const bool jumps = MayJump(board, colour);
    for (int from = 0; from < PointCount; ++from) {
        if (board.cell[from] != colour)
            continue;
        for (int to = 0; to < PointCount; ++to)
            if (board.cell[to] == Empty && (jumps || AreAdjacent(from, to)))
                steps.push_back({from, to, 0, jumps ? Jump : Move});
    }
    return steps;
}

// The vacated point cannot be taken by the other side at once.
bool SafeToOpen(const BoardRecord& board, uint8_t colour, const MoveRecord& step) {
    if (!IsInLineOfThree(board, step.a) || MayJump(board, OtherColour(colour)))
        return false;
    for (const int8_t n : Neighbours[step.a])
        if (n >= 0 && n != step.b && board.cell[n] == OtherColour(colour))
            return false;
    return true;
}

MoveRecord ChoosePut(const BoardRecord& board, uint8_t colour, Style style) {
    const uint8_t other = OtherColour(colour);
    int fallback = -1, quiet = -1, build = -1;
    for (int p = 0; p < PointCount; ++p) {
        if (board.cell[p] != Empty)
            continue;
        if (fallback < 0)
            fallback = p;
        const bool closes = ClosesLine(board, colour, -1, p);
        if (style == Style::Pressing && closes)
            return {p, -1, 0, Put};
        if (style == Style::Pressing && build < 0 && BuildsLine(board, colour, p))
            build = p;
        if (style == Style::Yielding && !closes && !IsClosingPoint(board, other, p) &&
            !BuildsLine(board, other, p)) {
            if (quiet < 0)
                quiet = p;
        }
    }
    if (style == Style::Pressing)
        return {build >= 0 ? build : fallback, -1, 0, Put};
    if (quiet >= 0)
        return {quiet, -1, 0, Put};
    for (int p = 0; p < PointCount; ++p)
        if (board.cell[p] == Empty && !ClosesLine(board, colour, -1, p))
            return {p, -1, 0, Put};
    return {fallback, -1, 0, Put};
}

MoveRecord ChooseStep(const BoardRecord& board, uint8_t colour, Style style) {
    const std::vector<MoveRecord> steps = Steps(board, colour);
    if (steps.empty())
        return PassMove;
    const uint8_t other = OtherColour(colour);
    if (style == Style::Pressing) {
        for (const MoveRecord& s : steps)
            if (ClosesLine(board, colour, s.a, s.b))
                return s;
        for (const MoveRecord& s : steps)
            if (SafeToOpen(board, colour, s))
                return s;
        return steps.front();
    }
    for (const MoveRecord& s : steps)
        if (!ClosesLine(board, colour, s.a, s.b) && !IsClosingPoint(board, other, s.b))
            return s;
    for (const MoveRecord& s : steps)
        if (!ClosesLine(board, colour, s.a, s.b))
            return s;
    return steps.front();
}

MoveRecord ChooseRemove(const BoardRecord& board, uint8_t colour) {
    for (int p = 0; p < PointCount; ++p)
        if (board.cell[p] == OtherColour(colour) && IsRemovable(board, p))
            return {p, -1, 0, Remove};
    return PassMove;
}

} // namespace

MoveRecord ChooseMove(const BoardRecord& board, uint8_t colour, uint8_t state, Style style) {
    switch (state) {
    case 5:
        return ChoosePut(board, colour, style);
    case 1:
        return ChooseStep(board, colour, style);
    case 4:
        return ChooseRemove(board, colour);
    default:
        return PassMove;
    }
}
