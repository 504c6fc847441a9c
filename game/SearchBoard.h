#pragma once
// The search's own form of a board: one bit per point (bit p for point p)
// for each side, the computer's side first, and the counts in the same
// order. Whole-board questions (empty points, lines, threats, swings,
// blocked pieces) become a few word operations on all 24 points at once.

#include <bit>
#include <cstdint>

#include "game/Board.h"

struct SearchBoard {
    uint32_t pieces[2]; // [0] the computer's pieces, [1] the opponent's
    int32_t onBoard[2];
    int32_t inHand[2];
};

// Index into SearchBoard of the computer and of its opponent.
constexpr int Own = 0;
constexpr int Opponent = 1;

constexpr uint32_t AllPoints = 0xFFFFFF;
constexpr uint32_t Corners = 0x555555;   // even points
constexpr uint32_t Middles = 0xAAAAAA;   // odd points
constexpr uint32_t CrossPoints = 0xAA00; // 9, 11, 13, 15

constexpr uint32_t PointBit(int point) {
    return uint32_t{1} << point;
}

SearchBoard PackBoard(const BoardRecord& board, uint8_t computer);

constexpr uint32_t EmptyPoints(const SearchBoard& board) {
    return ~(board.pieces[Own] | board.pieces[Opponent]) & AllPoints;
}

// The shifts below work on one side's points in a 32-bit word, or on both
// sides at once in a 64-bit word (the computer's points in the low half,
// the opponent's in the high half): Spread gives a point mask for every
// half of the word.
template <class Word> constexpr Word Spread(uint32_t mask) {
    if constexpr (sizeof(Word) == sizeof(uint64_t))
        return mask | uint64_t{mask} << 32;
    else
        return mask;
}

// Within each ring, every bit moves to the next point (7 to 0) or to the
// previous one (0 to 7).
template <class Word> constexpr Word RingNext(Word points) {
    return ((points << 1) & Spread<Word>(0xFEFEFE)) | ((points >> 7) & Spread<Word>(0x010101));
}
template <class Word> constexpr Word RingPrevious(Word points) {
    return ((points >> 1) & Spread<Word>(0x7F7F7F)) | ((points << 7) & Spread<Word>(0x808080));
}
// Side middles to their neighbours on the other rings.
template <class Word> constexpr Word AcrossRings(Word middles) {
    return ((middles << 8) | (middles >> 8)) & Spread<Word>(AllPoints);
}

// Points that have at least one empty neighbour.
constexpr uint32_t NextToEmpty(uint32_t empty) {
    return RingNext(empty) | RingPrevious(empty) | AcrossRings(empty & Middles);
}

// For each point, its neighbours in table order as bit positions; a
// missing neighbour points at bit 31, which is never an empty point.
struct NeighbourBitTable {
    uint8_t bit[PointCount][4];
    constexpr NeighbourBitTable() : bit{} {
        for (int p = 0; p < PointCount; ++p)
            for (int k = 0; k < 4; ++k)
                bit[p][k] = static_cast<uint8_t>(Neighbours[p][k] < 0 ? 31 : Neighbours[p][k]);
    }
};
inline constexpr NeighbourBitTable NeighbourBits{};

// Which of the point's neighbours are empty, bit k for the k-th neighbour
// of the table.
inline uint32_t EmptyNeighbours(int point, uint32_t empty) {
    const uint8_t* bit = NeighbourBits.bit[point];
    return ((empty >> bit[0]) & 1) | ((empty >> bit[1]) & 1) << 1 | ((empty >> bit[2]) & 1) << 2 |
           ((empty >> bit[3]) & 1) << 3;
}

// The lines of three as point masks, in the order of Lines.
struct LineMaskTable {
    uint32_t masks[LineCount];
    constexpr LineMaskTable() : masks{} {
        for (int l = 0; l < LineCount; ++l)
            masks[l] = PointBit(Lines[l][0]) | PointBit(Lines[l][1]) | PointBit(Lines[l][2]);
    }
};
inline constexpr LineMaskTable LineMasks{};

struct PointLineTable {
    uint32_t masks[PointCount][2];
    constexpr PointLineTable() : masks{} {
        for (int p = 0; p < PointCount; ++p) {
            int found = 0;
            for (const uint32_t line : LineMasks.masks)
                if (line & PointBit(p))
                    masks[p][found++] = line;
        }
    }
};
inline constexpr PointLineTable PointLines{};

// A line through the point is full of the side's pieces.
constexpr bool ClosesLine(uint32_t pieces, int point) {
    const uint32_t first = PointLines.masks[point][0];
    const uint32_t second = PointLines.masks[point][1];
    return (pieces & first) == first || (pieces & second) == second;
}

// For every point, whether the other two points of one of its lines hold
// the side's pieces, by the kind of line: a piece on such a point stands in
// a line, an empty such point is a threat.
template <class Word> struct LineCompletions {
    Word forward;  // corners i whose line i, i+1, i+2 it holds but for i
    Word backward; // corners i whose line i-2, i-1, i it holds but for i
    Word side;     // side middles i whose line i-1, i, i+1 it holds but for i
    Word cross;    // side middles whose cross line it holds but for them
    constexpr Word Any() const { return forward | backward | side | cross; }
};

template <class Word> constexpr LineCompletions<Word> CompletionsOf(Word pieces) {
    const Word holdsNext = RingPrevious(pieces);          // bit i: piece on i+1
    const Word holdsSecondNext = RingPrevious(holdsNext); // piece on i+2
    const Word holdsPrevious = RingNext(pieces);          // piece on i-1
    const Word holdsSecondPrevious = RingNext(holdsPrevious);
    const Word ring0 = pieces & Spread<Word>(0xFF);
    const Word ring1 = (pieces >> 8) & Spread<Word>(0xFF);
    const Word ring2 = (pieces >> 16) & Spread<Word>(0xFF);
    return {
        holdsNext & holdsSecondNext & Spread<Word>(Corners),
        holdsPrevious & holdsSecondPrevious & Spread<Word>(Corners),
        holdsNext & holdsPrevious & Spread<Word>(Middles),
        ((ring1 & ring2) | ((ring0 & ring2) << 8) | ((ring0 & ring1) << 16)) &
            Spread<Word>(Middles),
    };
}

// The points from which a piece could step into a line: each threat draws
// the neighbours on the threat's other line.
template <class Word>
constexpr Word SwingSources(const LineCompletions<Word>& completions, Word empty) {
    return RingPrevious((completions.forward | completions.cross) & empty) |
           RingNext((completions.backward | completions.cross) & empty) |
           AcrossRings(completions.side & empty);
}

// A side's pieces standing in a line of three.
constexpr uint32_t PiecesInLine(uint32_t pieces) {
    return pieces & CompletionsOf(pieces).Any();
}

struct PointCountTable {
    uint8_t count[4096];
    constexpr PointCountTable() : count{} {
        for (int i = 1; i < 4096; ++i)
            count[i] = static_cast<uint8_t>(count[i >> 1] + (i & 1));
    }
};
inline constexpr PointCountTable PointCounts{};

// Number of points in a mask of the 24 points.
inline int CountPoints(uint32_t points) {
    return PointCounts.count[points & 0xFFF] + PointCounts.count[points >> 12];
}

// The two halves of a word of both sides.
constexpr uint32_t OwnHalf(uint64_t points) {
    return static_cast<uint32_t>(points);
}
constexpr uint32_t OpponentHalf(uint64_t points) {
    return static_cast<uint32_t>(points >> 32);
}

// ---------------------------------------------------------- the move lists
// The moves of a side on the search's board, in the order the search visits
// them. Each ForEach calls `child` for every move and stops at the first
// call that returns true, returning whether one did.

constexpr bool MayJump(const SearchBoard& board, int side) {
    return board.inHand[side] == 0 && board.onBoard[side] < 4;
}

// The step due from a side that owes no removal, as StepKind of MoveRules
// gives it on the byte board.
constexpr uint8_t StepKind(const SearchBoard& board, int side) {
    if (MayJump(board, side))
        return Jump;
    return board.inHand[side] > 0 ? Put : Move;
}

// Some piece of the side has an empty neighbour.
constexpr bool HasMove(const SearchBoard& board, int side) {
    return board.pieces[side] & NextToEmpty(EmptyPoints(board));
}

// Pieces of `side` that the removal rule lets the other side take.
constexpr uint32_t RemovablePieces(const SearchBoard& board, int side) {
    const uint32_t pieces = board.pieces[side];
    if (MayJump(board, side))
        return pieces;
    return pieces & ~PiecesInLine(pieces);
}

// child(point): a put on each empty point, lowest first.
template <class Child> inline bool ForEachPut(const SearchBoard& board, Child&& child) {
    for (uint32_t empty = EmptyPoints(board); empty; empty &= empty - 1)
        if (child(std::countr_zero(empty)))
            return true;
    return false;
}

// child(from, to): the side's pieces, lowest first, each to its empty
// neighbours in the order of the neighbour table.
template <class Child> inline bool ForEachMove(const SearchBoard& board, int side, Child&& child) {
    const uint32_t empty = EmptyPoints(board);
    for (uint32_t from = board.pieces[side]; from; from &= from - 1) {
        const int p = std::countr_zero(from);
        for (uint32_t open = EmptyNeighbours(p, empty); open; open &= open - 1)
            if (child(p, int{NeighbourBits.bit[p][std::countr_zero(open)]}))
                return true;
    }
    return false;
}

// child(from, to): the side's pieces, lowest first, each to every empty
// point, lowest first. Whether the side may jump is the caller's question.
template <class Child> inline bool ForEachJump(const SearchBoard& board, int side, Child&& child) {
    const uint32_t empty = EmptyPoints(board);
    for (uint32_t from = board.pieces[side]; from; from &= from - 1)
        for (uint32_t to = empty; to; to &= to - 1)
            if (child(std::countr_zero(from), std::countr_zero(to)))
                return true;
    return false;
}

// child(point): each piece of `owner` that the other side may remove,
// lowest first.
template <class Child>
inline bool ForEachRemoval(const SearchBoard& board, int owner, Child&& child) {
    for (uint32_t pieces = RemovablePieces(board, owner); pieces; pieces &= pieces - 1)
        if (child(std::countr_zero(pieces)))
            return true;
    return false;
}
