#include <gtest/gtest.h>

#include "game/GameText.h"
#include "tests/game/Boards.h"

namespace {

const AnsiString StartStatus = "0000000000000000000000000099";

TEST(GameTextTest, StartPosition) {
    EXPECT_EQ(BoardStatusString(InitBoard()), StartStatus);
    EXPECT_EQ(GameString(2, 6, InitBoard()), "26" + StartStatus);
}

TEST(GameTextTest, PositionRoundTrip) {
    const BoardRecord board = MakeBoard("12000021 00201000 01000002", 4, 3);
    const AnsiString text = GameString(1, 4, board);
    EXPECT_EQ(text, "14"
                    "120000210020100001000002"
                    "4443");
    uint8_t side = 0, state = 0;
    BoardRecord read = InitBoard();
    ASSERT_TRUE(ReadGameString(text, side, state, read));
    EXPECT_EQ(side, 1);
    EXPECT_EQ(state, 4);
    EXPECT_TRUE(SameBoard(read, board));

    BoardRecord status = InitBoard();
    ASSERT_TRUE(ReadBoardStatusString(BoardStatusString(board), status));
    EXPECT_TRUE(SameBoard(status, board));
}

TEST(GameTextTest, CountsAreTakenAsTheyStand) {
    uint8_t side = 0, state = 0;
    BoardRecord board = InitBoard();
    // No piece on the points, yet seven and five on the board.
    ASSERT_TRUE(ReadGameString("21"
                               "000000000000000000000000"
                               "7512",
                               side, state, board));
    EXPECT_EQ(board.onBoard[0], 7);
    EXPECT_EQ(board.onBoard[1], 5);
    EXPECT_EQ(board.inHand[0], 1);
    EXPECT_EQ(board.inHand[1], 2);
}

TEST(GameTextTest, TheStateDigitIsNotRangeChecked) {
    uint8_t side = 0, state = 0;
    BoardRecord board = InitBoard();
    ASSERT_TRUE(ReadGameString("19" + StartStatus, side, state, board));
    EXPECT_EQ(state, 9);
}

// A refused text leaves side, state and board as they were.
struct Refused {
    const char* name;
    AnsiString text;
};

void PrintTo(const Refused& refused, std::ostream* os) {
    *os << refused.name;
}

class RefusedGameString : public testing::TestWithParam<Refused> {};

TEST_P(RefusedGameString, ChangesNothing) {
    uint8_t side = 7, state = 7;
    const BoardRecord before = MakeBoard("12000000 00000000 00000000", 8, 8);
    BoardRecord board = before;
    EXPECT_FALSE(ReadGameString(GetParam().text, side, state, board));
    EXPECT_EQ(side, 7);
    EXPECT_EQ(state, 7);
    EXPECT_TRUE(SameBoard(board, before));
}

INSTANTIATE_TEST_SUITE_P(BadInput, RefusedGameString,
                         testing::Values(Refused{"TwentyNine", "2" + StartStatus},
                                         Refused{"ThirtyOne", "215" + StartStatus},
                                         Refused{"Empty", ""},
                                         Refused{"SideFour", "46" + StartStatus},
                                         Refused{"SideNine", "96" + StartStatus},
                                         Refused{"SideZero", "06" + StartStatus},
                                         Refused{"SideThree", "36" + StartStatus},
                                         Refused{"PointFour", "26"
                                                              "000000000000400000000000"
                                                              "0099"},
                                         Refused{"LastPointNine", "26"
                                                                  "000000000000000000000009"
                                                                  "0099"},
                                         Refused{"PointThree", "26"
                                                               "300000000000000000000000"
                                                               "0099"}),
                         [](const testing::TestParamInfo<Refused>& info) {
                             return info.param.name;
                         });

TEST(GameTextTest, ANonDigitRaisesWithoutAnyChange) {
    for (const AnsiString& text : {AnsiString("x6") + StartStatus, AnsiString("2x") + StartStatus,
                                   AnsiString("26") + "0000000000 0000000000000" + "0099",
                                   AnsiString("26") + "000000000000000000000000" + "00-9"}) {
        uint8_t side = 7, state = 7;
        BoardRecord board = InitBoard();
        EXPECT_THROW(ReadGameString(text, side, state, board), EConvertError) << text;
        EXPECT_EQ(side, 7);
        EXPECT_EQ(state, 7);
        EXPECT_TRUE(SameBoard(board, InitBoard()));
    }
}

TEST(GameTextTest, BoardStatusRefusals) {
    const BoardRecord before = MakeBoard("10000000 00000000 00000000", 8, 9);
    for (const AnsiString& text :
         {StartStatus.substr(1), StartStatus + "0", AnsiString("4") + StartStatus.substr(1)}) {
        BoardRecord board = before;
        EXPECT_FALSE(ReadBoardStatusString(text, board)) << text;
        EXPECT_TRUE(SameBoard(board, before));
    }
    BoardRecord board = before;
    EXPECT_THROW(ReadBoardStatusString("a" + StartStatus.substr(1), board), EConvertError);
    EXPECT_THROW(ReadBoardStatusString(StartStatus.substr(0, 27) + "?", board), EConvertError);
    EXPECT_TRUE(SameBoard(board, before));
}

TEST(GameTextTest, MoveToText) {
    EXPECT_EQ(MoveToText({5, 0, 0, Put}), "1*5*0*0");
    EXPECT_EQ(MoveToText(PassMove), "5*-1*-1*0");
    EXPECT_EQ(MoveToText({23, 16, -7, Jump}), "3*23*16*-7");
}

struct Parsed {
    AnsiString text;
    MoveRecord move;
};

TEST(GameTextTest, WellFormedMoveTexts) {
    for (const Parsed& p :
         {Parsed{"1*5*0*0", {5, 0, 0, Put}}, Parsed{"5*-1*-1*0", PassMove},
          Parsed{"2*12*13*99", {12, 13, 99, Move}},
          Parsed{"4*-0*007*-2147483648", {0, 7, INT32_MIN, Remove}},
          Parsed{"255*2147483647*0*0", {INT32_MAX, 0, 0, 255}}, Parsed{"0*0*0*0", {0, 0, 0, 0}}}) {
        MoveRecord move{9, 9, 9, 9};
        ASSERT_TRUE(MoveFromText(p.text, move)) << p.text;
        EXPECT_TRUE(SameMove(move, p.move)) << p.text;
    }
}

TEST(GameTextTest, EveryMoveTextSurvivesTheLink) {
    for (const MoveRecord move : {MoveRecord{5, 0, 0, Put}, PassMove, MoveRecord{7, 15, 0, Jump},
                                  MoveRecord{-3, 2000000000, -2000000000, Remove}}) {
        MoveRecord read{};
        ASSERT_TRUE(MoveFromText(MoveToText(move), read));
        EXPECT_TRUE(SameMove(read, move));
    }
}

class MalformedMoveText : public testing::TestWithParam<AnsiString> {};

TEST_P(MalformedMoveText, IsRejectedAndChangesNothing) {
    MoveRecord move{9, 9, 9, 9};
    EXPECT_FALSE(MoveFromText(GetParam(), move));
    EXPECT_TRUE(SameMove(move, {9, 9, 9, 9}));
}

INSTANTIATE_TEST_SUITE_P(BadInput, MalformedMoveText,
                         testing::Values(
                             // fewer than three "*"
                             "", "1", "1*5", "1*5*0", "*", "**",
                             // a piece that is not a decimal integer
                             "x*5*0*0", "1*y*0*0", "1*5*z*0", "1*5*0*w", "1*5*0*0*0", "1**0*0",
                             "*5*0*0", "1*5**0", "1*5*0*", " 1*5*0*0", "1*5 *0*0", "1*5*0*0 ",
                             "1*+5*0*0", "1*$5*0*0", "1*0x5*0*0", "1*5.0*0*0", "1*-*0*0",
                             "1*--5*0*0", "1*5-*0*0",
                             // a number beyond 32 bits
                             "1*2147483648*0*0", "1*0*-2147483649*0", "1*0*0*99999999999999999999",
                             // a kind that does not fit the kind byte
                             "256*5*0*0", "-1*5*0*0", "1000*5*0*0"));

} // namespace
