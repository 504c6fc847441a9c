#pragma once
// The board record every component copies by value, the move record every
// kind of player hands in, colours, points, neighbours and lines of three,
// and the rule checks built on them. Pure functions over a BoardRecord.

#include <cstdint>

// Colours: 0 empty / no side, 1 white, 2 black.
constexpr uint8_t Empty = 0;
constexpr uint8_t White = 1;
constexpr uint8_t Black = 2;

// Point numbering: three rings of eight, 0-7 outer, 8-15 middle, 16-23
// inner, each numbered cyclically from a corner (even numbers are corners).
constexpr int PointCount = 24;

struct BoardRecord {
    uint8_t cell[PointCount]; // colour on each point
    int32_t onBoard[2];       // pieces standing on the board: white, black
    int32_t inHand[2];        // pieces not yet put: white, black
};

// Move kinds.
constexpr uint8_t Put = 1;
constexpr uint8_t Move = 2;
constexpr uint8_t Jump = 3;
constexpr uint8_t Remove = 4;
constexpr uint8_t NoMove = 5;

struct MoveRecord {
    int32_t a;    // Put, Remove: the point; Move, Jump: the source; none: -1
    int32_t b;    // Move, Jump: the destination; none: -1
    int32_t c;    // never interpreted by any rule
    uint8_t kind; // Put, Move, Jump, Remove or NoMove
};

// The pass: a move that changes nothing.
constexpr MoveRecord PassMove{-1, -1, 0, NoMove};

BoardRecord InitBoard();
void InitBoard(BoardRecord* board);
BoardRecord& CopyBoardRecord(BoardRecord& destination, const BoardRecord& source);
BoardRecord* CopyBoardRecord(BoardRecord* destination, BoardRecord source);

// 1 gives 2, 2 gives 1, every other value 0.
uint8_t OtherColour(uint8_t colour);

// Neighbours of each point in their fixed order (move generation and the
// board's highlighting visit them in it); -1 fills the unused places.
inline constexpr int8_t Neighbours[PointCount][4] = {
    {1, 7, -1, -1},   {2, 0, 9, -1},    {3, 1, -1, -1},   {4, 2, 11, -1},   {5, 3, -1, -1},
    {6, 13, 4, -1},   {7, 5, -1, -1},   {0, 15, 6, -1},   {9, 15, -1, -1},  {10, 8, 1, 17},
    {11, 9, -1, -1},  {12, 10, 19, 3},  {13, 11, -1, -1}, {14, 12, 21, 5},  {15, 13, -1, -1},
    {8, 14, 23, 7},   {17, 23, -1, -1}, {18, 16, 9, -1},  {19, 17, -1, -1}, {20, 18, 11, -1},
    {21, 19, -1, -1}, {22, 20, 13, -1}, {23, 21, -1, -1}, {16, 22, 15, -1},
};

// The 16 lines of three: the four sides of each ring, then the four cross
// lines.
constexpr int LineCount = 16;
inline constexpr int8_t Lines[LineCount][3] = {
    {0, 1, 2},    {2, 3, 4},   {4, 5, 6},    {6, 7, 0},    {8, 9, 10},   {10, 11, 12},
    {12, 13, 14}, {14, 15, 8}, {16, 17, 18}, {18, 19, 20}, {20, 21, 22}, {22, 23, 16},
    {1, 9, 17},   {3, 11, 19}, {5, 13, 21},  {7, 15, 23},
};
// The two lines through each point, as indexes into Lines.
inline constexpr int8_t LinesThroughPoint[PointCount][2] = {
    {0, 3},  {0, 12}, {0, 1}, {1, 13}, {1, 2},  {2, 14},  {2, 3},   {3, 15},
    {4, 7},  {4, 12}, {4, 5}, {5, 13}, {5, 6},  {6, 14},  {6, 7},   {7, 15},
    {8, 11}, {8, 12}, {8, 9}, {9, 13}, {9, 10}, {10, 14}, {10, 11}, {11, 15},
};

bool AreAdjacent(int p, int q);
// The point holds a piece and one of its two lines is full of its colour.
// Callers pass points 0..23 only.
bool IsInLineOfThree(const BoardRecord& board, int point);
// Some piece of the colour has an empty neighbour (jumping not considered).
bool HasLegalMove(const BoardRecord& board, uint8_t colour);
// The colour may jump: no pieces in hand, at most three on the board.
bool MayJump(const BoardRecord& board, uint8_t colour);
// The removal rule for the piece on the point: not in a line of three, or
// its owner may jump. False for an empty point.
bool IsRemovable(const BoardRecord& board, int point);
// Pieces on the board plus pieces in hand.
int32_t PieceTotal(const BoardRecord& board, uint8_t colour);
