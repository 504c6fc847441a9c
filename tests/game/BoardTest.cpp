#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "game/Board.h"
#include "game/BoardRules.h"
#include "tests/game/Boards.h"

namespace {

// The neighbours of every point in their contractual order.
const std::vector<std::vector<int>> ExpectedNeighbours = {
    {1, 7},   {2, 0, 9},       {3, 1},   {4, 2, 11},     {5, 3},   {6, 13, 4},
    {7, 5},   {0, 15, 6},      {9, 15},  {10, 8, 1, 17}, {11, 9},  {12, 10, 19, 3},
    {13, 11}, {14, 12, 21, 5}, {15, 13}, {8, 14, 23, 7}, {17, 23}, {18, 16, 9},
    {19, 17}, {20, 18, 11},    {21, 19}, {22, 20, 13},   {23, 21}, {16, 22, 15},
};

std::vector<int> NeighboursOf(int point) {
    int n[4] = {99, 99, 99, 99};
    BoardRules::GetNeighbours(point, n[0], n[1], n[2], n[3]);
    std::vector<int> result;
    for (const int q : n) {
        EXPECT_NE(q, 99);
        if (q >= 0)
            result.push_back(q);
    }
    // The unused places hold -1 and come last.
    for (size_t i = result.size(); i < 4; ++i)
        EXPECT_EQ(n[i], -1) << "point " << point;
    return result;
}

TEST(BoardTest, NeighboursComeInTheirFixedOrder) {
    for (int p = 0; p < PointCount; ++p)
        EXPECT_EQ(NeighboursOf(p), ExpectedNeighbours[p]) << "point " << p;
}

TEST(BoardTest, GetNeighboursLeavesThePlacesAloneOutsideTheBoard) {
    for (const int point : {-1, 24, 1000}) {
        int a = 7, b = 7, c = 7, d = 7;
        BoardRules::GetNeighbours(point, a, b, c, d);
        EXPECT_EQ(a + b + c + d, 28);
    }
}

TEST(BoardTest, AreAdjacentIsTheNeighbourRelation) {
    for (int p = 0; p < PointCount; ++p)
        for (int q = 0; q < PointCount; ++q) {
            const auto& n = ExpectedNeighbours[p];
            const bool neighbour = std::find(n.begin(), n.end(), q) != n.end();
            EXPECT_EQ(AreAdjacent(p, q), neighbour) << p << "-" << q;
        }
}

TEST(BoardTest, AdjacencyAcrossRingEnds) {
    struct Pair {
        int p, q;
        bool adjacent;
    };
    for (const Pair pair :
         {Pair{7, 8, false}, Pair{8, 7, false}, Pair{15, 16, false}, Pair{0, 7, true},
          Pair{7, 0, true}, Pair{8, 15, true}, Pair{16, 23, true}, Pair{1, 9, true},
          Pair{9, 17, true}, Pair{0, 8, false}, Pair{1, 17, false}, Pair{2, 10, false}})
        EXPECT_EQ(AreAdjacent(pair.p, pair.q), pair.adjacent) << pair.p << "-" << pair.q;
}

TEST(BoardTest, SixteenLinesEachPointOnTwo) {
    std::set<std::set<int>> lines;
    for (const auto& line : Lines)
        lines.insert({line[0], line[1], line[2]});
    std::set<std::set<int>> expected;
    for (const int r : {0, 8, 16}) {
        expected.insert({r, r + 1, r + 2});
        expected.insert({r + 2, r + 3, r + 4});
        expected.insert({r + 4, r + 5, r + 6});
        expected.insert({r + 6, r + 7, r});
    }
    for (const int m : {1, 3, 5, 7})
        expected.insert({m, m + 8, m + 16});
    EXPECT_EQ(lines, expected);

    for (int p = 0; p < PointCount; ++p) {
        std::set<int> through;
        for (int l = 0; l < LineCount; ++l)
            if (std::count(Lines[l], Lines[l] + 3, p))
                through.insert(l);
        EXPECT_EQ(through, (std::set<int>{LinesThroughPoint[p][0], LinesThroughPoint[p][1]}))
            << "point " << p;
    }
}

TEST(BoardTest, StartBoardAndCopy) {
    const BoardRecord start = InitBoard();
    EXPECT_TRUE(SameBoard(start, MakeBoard("00000000 00000000 00000000", 9, 9)));
    EXPECT_EQ(start.onBoard[0] + start.onBoard[1], 0);

    BoardRecord byPointer;
    std::fill(std::begin(byPointer.cell), std::end(byPointer.cell), 2);
    InitBoard(&byPointer);
    EXPECT_TRUE(SameBoard(byPointer, start));

    const BoardRecord source = MakeBoard("12000000 00000000 00000002", 8, 7);
    BoardRecord destination = start;
    EXPECT_EQ(&CopyBoardRecord(destination, source), &destination);
    EXPECT_TRUE(SameBoard(destination, source));
    BoardRecord other = start;
    EXPECT_EQ(CopyBoardRecord(&other, source), &other);
    EXPECT_TRUE(SameBoard(other, source));
}

TEST(BoardTest, OtherColour) {
    EXPECT_EQ(OtherColour(1), 2);
    EXPECT_EQ(OtherColour(2), 1);
    EXPECT_EQ(OtherColour(0), 0);
    EXPECT_EQ(OtherColour(7), 0);
}

TEST(BoardTest, EveryFullLineAndNoMixedOne) {
    for (const auto& line : Lines)
        for (const uint8_t colour : {White, Black}) {
            BoardRecord board = InitBoard();
            for (const int8_t p : line)
                board.cell[p] = colour;
            for (const int8_t p : line)
                EXPECT_TRUE(IsInLineOfThree(board, p));
            board.cell[line[2]] = OtherColour(colour);
            EXPECT_FALSE(IsInLineOfThree(board, line[0]));
        }
}

TEST(BoardTest, AnEmptyPointIsInNoLine) {
    // 1 and 2 are white, 0 is empty: the line 0-1-2 is full but for 0.
    BoardRecord board = MakeBoard("01111111 00000000 00000000", 2, 9);
    EXPECT_FALSE(IsInLineOfThree(board, 0));
    EXPECT_TRUE(IsInLineOfThree(board, 2));
}

// A position of one phase and what the rules say about it.
struct RulesCase {
    const char* name;
    const char* rings;
    int whiteInHand, blackInHand;
    bool whiteCanMove, blackCanMove;
    bool whiteMayJump, blackMayJump;
    std::vector<int> inLine;
    std::vector<int> removable;
    bool whiteHasRemovable, blackHasRemovable; // something to take after closing a line
};

void PrintTo(const RulesCase& c, std::ostream* os) {
    *os << c.name;
}

class RulesTable : public testing::TestWithParam<RulesCase> {};

TEST_P(RulesTable, MovesLinesAndRemovals) {
    const RulesCase& c = GetParam();
    const BoardRecord board = MakeBoard(c.rings, c.whiteInHand, c.blackInHand);
    EXPECT_EQ(HasLegalMove(board, White), c.whiteCanMove);
    EXPECT_EQ(HasLegalMove(board, Black), c.blackCanMove);
    EXPECT_EQ(MayJump(board, White), c.whiteMayJump);
    EXPECT_EQ(MayJump(board, Black), c.blackMayJump);
    EXPECT_EQ(PointsWhere(IsInLineOfThree, board), c.inLine);
    EXPECT_EQ(PointsWhere(IsRemovable, board), c.removable);
    EXPECT_EQ(BoardRules::HasRemovablePiece(board, White), c.whiteHasRemovable);
    EXPECT_EQ(BoardRules::HasRemovablePiece(board, Black), c.blackHasRemovable);
}

INSTANTIATE_TEST_SUITE_P(
    Phases, RulesTable,
    testing::Values(RulesCase{"StartOfGame",
                              "00000000 00000000 00000000",
                              9,
                              9,
                              false,
                              false,
                              false,
                              false,
                              {},
                              {},
                              false,
                              false},
                    // Pieces in hand protect a line: black's 0-1-2 cannot be taken.
                    RulesCase{"Placing",
                              "22210000 10000000 00000000",
                              7,
                              6,
                              true,
                              true,
                              false,
                              false,
                              {0, 1, 2},
                              {3, 8},
                              false,
                              true},
                    // Moving: white is shut in at 0 and 7 (neighbours 1, 6 and 15 are black).
                    RulesCase{"WhiteShutIn",
                              "12000021 00000002 00000000",
                              0,
                              5,
                              false,
                              true,
                              true,
                              false,
                              {},
                              {0, 1, 6, 7, 15},
                              true,
                              true},
                    // White's only piece on 7 is shut in although 8 is empty: 7 and 8
                    // are not neighbours.
                    RulesCase{"SevenAndEightApart",
                              "20000021 00000002 00000000",
                              0,
                              0,
                              false,
                              true,
                              true,
                              true,
                              {},
                              {0, 6, 7, 15},
                              true,
                              true},
                    // Down to three: pieces in a line may be taken.
                    RulesCase{"ThreeInLineMayGo",
                              "22200000 00000000 11100000",
                              0,
                              0,
                              true,
                              true,
                              true,
                              true,
                              {0, 1, 2, 16, 17, 18},
                              {0, 1, 2, 16, 17, 18},
                              true,
                              true},
                    // Black's five pieces all stand in lines: none may be taken.
                    RulesCase{"AllInLinesProtected",
                              "22222000 00000000 11100000",
                              0,
                              0,
                              true,
                              true,
                              true,
                              false,
                              {0, 1, 2, 3, 4, 16, 17, 18},
                              {16, 17, 18},
                              false,
                              true},
                    RulesCase{"NoPiecesNoMove",
                              "00000000 00000000 00000222",
                              0,
                              6,
                              false,
                              true,
                              true,
                              false,
                              {},
                              {21, 22, 23},
                              true,
                              false}),
    [](const testing::TestParamInfo<RulesCase>& info) { return info.param.name; });

TEST(BoardTest, ApplyPut) {
    const BoardRecord start = MakeBoard("10000000 00000000 00000000", 8, 9);
    BoardRecord board = start;
    EXPECT_TRUE(BoardRules::ApplyPut(board, Black, {5, 0, 0, Put}));
    EXPECT_EQ(board.cell[5], Black);
    EXPECT_EQ(board.inHand[1], 8);
    EXPECT_EQ(board.onBoard[1], 1);

    for (const MoveRecord occupied : {MoveRecord{0, 0, 0, Put}, MoveRecord{5, 0, 0, Put}}) {
        const BoardRecord before = board;
        EXPECT_FALSE(BoardRules::ApplyPut(board, White, occupied));
        EXPECT_TRUE(SameBoard(board, before));
    }
    BoardRecord emptyHand = MakeBoard("10000000 00000000 00000000", 0, 9);
    const BoardRecord before = emptyHand;
    EXPECT_FALSE(BoardRules::ApplyPut(emptyHand, White, {3, 0, 0, Put}));
    EXPECT_TRUE(SameBoard(emptyHand, before));
    for (const uint8_t colour : {uint8_t{0}, uint8_t{3}}) {
        BoardRecord b = start;
        EXPECT_FALSE(BoardRules::ApplyPut(b, colour, {3, 0, 0, Put}));
        EXPECT_TRUE(SameBoard(b, start));
    }
    for (const int point : {-1, 24}) {
        BoardRecord b = start;
        EXPECT_FALSE(BoardRules::ApplyPut(b, White, {point, 0, 0, Put}));
        EXPECT_TRUE(SameBoard(b, start));
    }
}

TEST(BoardTest, ApplyRemove) {
    // White 0-1-2 is a line with pieces in hand; white 8 is free; black 16.
    const BoardRecord start = MakeBoard("11100000 10000000 20000000", 5, 8);
    struct Case {
        int point;
        uint8_t remover;
        bool removed;
    };
    for (const Case c : {Case{3, Black, false}, Case{16, Black, false}, Case{1, Black, false},
                         Case{8, White, false}, Case{8, Black, true}, Case{16, White, true},
                         Case{-1, Black, false}, Case{24, Black, false}, Case{8, Empty, false}}) {
        BoardRecord board = start;
        EXPECT_EQ(BoardRules::ApplyRemove(board, {c.point, 0, 0, Remove}, c.remover), c.removed)
            << "point " << c.point;
        if (!c.removed) {
            EXPECT_TRUE(SameBoard(board, start));
            continue;
        }
        const uint8_t owner = start.cell[c.point];
        EXPECT_EQ(board.cell[c.point], Empty);
        EXPECT_EQ(board.onBoard[owner - 1], start.onBoard[owner - 1] - 1);
        EXPECT_EQ(board.inHand[owner - 1], start.inHand[owner - 1]);
    }
}

// The removal rule reads the counts: three on the board and none in hand
// frees a line, four on the board or a piece in hand protects it.
TEST(BoardTest, ALineIsFreeOnlyForThreeOnTheBoardAndNoneInHand) {
    struct Case {
        int onBoard, inHand;
        bool removable;
    };
    for (const Case c :
         {Case{3, 0, true}, Case{4, 0, false}, Case{3, 1, false}, Case{2, 0, true}}) {
        BoardRecord board = MakeBoard("11100000 00002000 00000000", c.inHand, 0);
        board.onBoard[0] = c.onBoard;
        EXPECT_EQ(IsRemovable(board, 1), c.removable) << c.onBoard << " " << c.inHand;
        EXPECT_EQ(BoardRules::HasRemovablePiece(board, Black), c.removable);
        EXPECT_EQ(BoardRules::ApplyRemove(board, {1, 0, 0, Remove}, Black), c.removable);
    }
}

} // namespace
