// Executed moves: the checks that refuse an illegal move before the board
// changes, the four frames of each animation as the view shows them, the
// blinking and flashing of the tutorial, and the move sound.

#include <gtest/gtest.h>

#include <vector>

#include "game/Random.h"
#include "game/gamecontrol.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win32/Resources.h"
#include "tests/support/ProgramData.h"
#include "tests/ui/BoardFixture.h"
#include "ui/GFXEngine.h"

namespace {

using Names = std::vector<std::string>;

class BoardAnimationTest : public BoardFixture {
protected:
    BoardAnimationTest() { UseColourPack(); }

    // The gaps between successive drawings of a spot are at least these
    // (in milliseconds of the scaled clock).
    static void ExpectGapsOfAtLeast(const std::vector<DWORD>& ticks,
                                    const std::vector<DWORD>& gaps) {
        ASSERT_EQ(ticks.size(), gaps.size() + 1);
        for (size_t i = 0; i < gaps.size(); ++i)
            EXPECT_GE(int(ticks[i + 1] - ticks[i]), int(gaps[i]) - 10) << "gap " << i;
    }
};

TEST_F(BoardAnimationTest, AnIllegalMoveRaisesItsErrorAndLeavesTheBoard) {
    struct Case {
        const char* what;
        AnsiString position;
        MoveRecord move;
        uint8_t colour;
        const char* error;
    };
    const AnsiString four = PositionString(1, MoveState, {0, 2, 4, 6}, {9, 10}, 0, 0);
    const AnsiString three = PositionString(1, MoveState, {0, 2, 4}, {9, 10}, 0, 0);
    const AnsiString putting = PositionString(1, PutState, {0}, {1}, 8, 0);
    const AnsiString removing = PositionString(1, RemoveState, {0, 1, 2}, {8, 9, 10, 20}, 6, 3);
    const char* put = "tried to make illegal move - Put";
    const char* move = "tried to make illegal move - Move";
    const char* jump = "tried to make illegal move - Jump";
    const char* jumpRight = "trying to perform illegal jump!";
    const char* remove = "tried to make illegal move - Remove";
    const Case cases[] = {
        {"put on a piece", putting, {1, -1, 0, Put}, 1, put},
        {"put with nothing in hand", putting, {5, -1, 0, Put}, 2, put},
        {"put off the board", putting, {24, -1, 0, Put}, 1, put},
        {"move onto a piece", four, {0, 9, 0, Move}, 1, move},
        {"move onto an occupied point", four, {10, 9, 0, Move}, 2, move},
        {"move from an empty point", four, {1, 8, 0, Move}, 1, move},
        {"move to no neighbour", four, {0, 3, 0, Move}, 1, move},
        {"move between rings that do not meet", four, {6, 14, 0, Move}, 1, move},
        {"move off the board", four, {0, -1, 0, Move}, 1, move},
        {"move from off the board", four, {-7, 1, 0, Move}, 1, move},
        {"jump with four pieces", four, {0, 20, 0, Jump}, 1, jumpRight},
        {"jump with pieces in hand", putting, {0, 20, 0, Jump}, 1, jumpRight},
        {"jump onto a piece", three, {0, 9, 0, Jump}, 1, jump},
        {"jump off the board", three, {0, 24, 0, Jump}, 1, jump},
        {"jump from off the board", three, {30, 1, 0, Jump}, 1, jumpRight},
        {"remove an own piece", removing, {0, -1, 0, Remove}, 1, remove},
        {"remove from an empty point", removing, {5, -1, 0, Remove}, 1, remove},
        {"remove a protected piece", removing, {9, -1, 0, Remove}, 1, remove},
        {"remove off the board", removing, {-1, -1, 0, Remove}, 1, remove},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetPosition(c.position);
        const AnsiString before = Board().GetBoardStatus();
        try {
            Board().PerformMove(c.move, c.colour);
            ADD_FAILURE() << "no error";
        } catch (const Exception& error) {
            EXPECT_EQ(error.Message, c.error);
        }
        EXPECT_EQ(Board().GetBoardStatus(), before);
    }
}

TEST_F(BoardAnimationTest, EveryMoveIsShownInFourFramesOf200Milliseconds) {
    struct Case {
        const char* what;
        AnsiString position;
        MoveRecord move;
        uint8_t colour;
        std::map<int, Names> frames; // what each watched point shows, drawing by drawing
        AnsiString after;
    };
    const Case cases[] = {
        {"put",
         PositionString(1, PutState, {0}, {1}, 8, 8),
         {5, -1, 0, Put},
         White,
         {{5, {"red6", "white6", "red6", "white6", "white6"}}},
         PositionString(2, PutState, {0, 5}, {1}, 7, 8)},
        {"move",
         PositionString(1, MoveState, {0, 5, 6, 12}, {20}, 0, 0),
         {0, 1, 0, Move},
         White,
         {{0, {"red1", "white1", "red1", "white1", "white1"}},
          {1, {"empty2", "red2", "empty2", "red2", "red2"}}},
         PositionString(2, MoveState, {1, 5, 6, 12}, {20}, 0, 0)},
        {"jump",
         PositionString(2, MoveState, {0, 2, 4}, {9, 10, 11}, 0, 0),
         {10, 20, 0, Jump},
         Black,
         {{10, {"red11", "black11", "red11", "black11", "black11"}},
          {20, {"empty21", "red21", "empty21", "red21", "red21"}}},
         PositionString(1, MoveState, {0, 2, 4}, {9, 20, 11}, 0, 0)},
        {"removal",
         PositionString(1, RemoveState, {0, 1, 2}, {8, 20}, 6, 7),
         {20, -1, 0, Remove},
         White,
         {{20, {"red21", "black21", "red21", "black21", "black21"}}},
         PositionString(1, RemoveState, {0, 1, 2}, {8}, 6, 7)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetPosition(c.position);
        auto recorder = RecordPoints({c.move.a, c.move.b < 0 ? c.move.a : c.move.b});
        Board().PerformMove(c.move, c.colour);
        for (const auto& [point, frames] : c.frames) {
            SCOPED_TRACE(point);
            EXPECT_EQ(recorder->Names(std::to_string(point)), frames);
            ExpectGapsOfAtLeast(recorder->Ticks(std::to_string(point)), {200, 200, 200, 200});
        }
        EXPECT_EQ(Board().GetBoardStatus(), c.after.substr(2));
    }
}

TEST_F(BoardAnimationTest, APassOrAnUnknownKindChangesNothing) {
    SetPosition(PositionString(1, PutState, {0}, {1}, 8, 8));
    const AnsiString before = Board().GetBoardStatus();
    auto recorder = RecordPoints({0, 1});
    for (uint8_t kind : {uint8_t(0), NoMove, uint8_t(9)})
        EXPECT_NO_THROW(Board().PerformMove(MoveRecord{0, 1, 0, kind}, White));
    EXPECT_EQ(Board().GetBoardStatus(), before);
    EXPECT_TRUE(recorder->Names("0").empty());
}

TEST_F(BoardAnimationTest, BlinkingMarksEachFlaggedPieceInTurn) {
    SetPosition(PositionString(1, MoveState, {0, 1}, {3}, 0, 0));
    uint8_t mask[PointCount] = {};
    mask[0] = mask[1] = mask[2] = mask[3] = 1; // 2 is empty
    auto recorder = RecordPoints({0, 1, 2, 3});
    Board().BlinkPoints(mask);
    EXPECT_EQ(recorder->Names("0"), (Names{"red1", "white1", "white1", "white1"}));
    EXPECT_EQ(recorder->Names("1"), (Names{"white2", "red2", "white2", "white2"}));
    EXPECT_EQ(recorder->Names("2"), (Names{"empty3", "empty3", "empty3", "empty3"}));
    EXPECT_EQ(recorder->Names("3"), (Names{"black4", "black4", "red4", "black4"}));
    ExpectGapsOfAtLeast(recorder->Ticks("0"), {200, 200, 200});
}

TEST_F(BoardAnimationTest, BlinkingOnlyEmptyPointsJustRedraws) {
    SetPosition(PositionString(1, MoveState, {0}, {3}, 0, 0));
    uint8_t mask[PointCount] = {};
    mask[5] = mask[6] = 1;
    auto recorder = RecordPoints({0, 5});
    Board().BlinkPoints(mask);
    EXPECT_EQ(recorder->Names("5"), (Names{"empty6"}));
    EXPECT_EQ(recorder->Names("0"), (Names{"white1"}));
}

TEST_F(BoardAnimationTest, BlinkingGivesThePickedPieceItsMarkBack) {
    SetPosition(PositionString(1, MoveState, {0, 2, 9, 12}, {1, 3, 7, 8, 10}, 0, 0));
    Click(9);
    uint8_t mask[PointCount] = {};
    mask[0] = 1;
    auto recorder = RecordPoints({0, 9});
    Board().BlinkPoints(mask);
    EXPECT_EQ(recorder->Names("9"), (Names{"white10", "red10"}));
    EXPECT_EQ(recorder->Names("0"), (Names{"red1", "white1"}));
}

TEST_F(BoardAnimationTest, FlashingTurnsAllGlowOffAndOnThreeTimesInStepsOf300Milliseconds) {
    SetPosition(PositionString(1, MoveState, {0}, {1}, 0, 0));
    Board().Glow[4] = 1;
    auto recorder = RecordPoints({3, 4});
    Board().FlashGlow();
    EXPECT_EQ(recorder->Names("3"),
              (Names{"empty4", "glow4", "empty4", "glow4", "empty4", "glow4", "empty4"}));
    EXPECT_EQ(recorder->Names("4"),
              (Names{"empty5", "glow5", "empty5", "glow5", "empty5", "glow5", "glow5"}));
    ExpectGapsOfAtLeast(recorder->Ticks("3"), {300, 600, 300, 300, 300, 300});
    for (int p = 0; p < PointCount; ++p)
        EXPECT_EQ(Board().Glow[p], p == 4 ? 1 : 0) << p;
}

TEST_F(BoardAnimationTest, FlashingShowsOnlyWhileHighlightingIsOn) {
    Game().SetHighlightMoves(false);
    auto recorder = RecordPoints({3});
    Board().FlashGlow();
    EXPECT_EQ(recorder->Names("3"), Names(7, "empty4"));
}

TEST_F(BoardAnimationTest, AMoveSoundIsChosenOnlyWhileSoundIsOn) {
    SetPosition(PositionString(1, PutState, {}, {}, 9, 9));
    SetRandomSeed(7);
    Board().PerformMove(MoveRecord{0, -1, 0, Put}, White);
    EXPECT_EQ(RandomState, 7u) << "sound is off";

    Game().SetSoundOn(true);
    SetRandomSeed(7);
    RandomNumber();
    const uint32_t afterOneNumber = RandomState;
    SetRandomSeed(7);
    Board().PerformMove(MoveRecord{1, -1, 0, Put}, White);
    EXPECT_EQ(RandomState, afterOneNumber);
    // A file that plays silently does not switch sound off.
    EXPECT_TRUE(Game().GetSoundOn());
    EXPECT_TRUE(Board().PlayMoveSound());
}

TEST(BoardSoundFiles, EveryPackHasItsFiveMoveSoundsBesideTheProgram) {
    for (int n = 0; n < 4; ++n) {
        const HINSTANCE pack =
            LoadLibraryA((BuildProgramDir() + "gfx" + std::to_string(n) + ".dll").c_str());
        ASSERT_NE(pack, nullptr) << n;
        char prefix[20] = {};
        ASSERT_GT(LoadStringA(pack, 1001, prefix, sizeof prefix), 0) << n;
        for (int take = 1; take <= 5; ++take)
            EXPECT_TRUE(FileExists(BuildProgramDir() + prefix + std::to_string(take) + ".wav"))
                << prefix << take;
        FreeLibrary(pack);
    }
}

} // namespace
