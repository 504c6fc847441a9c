// Clicks on the board for a human side: every refusal with its note, the
// picked piece and the lit destinations, and the moves handed to the
// controller.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>
#include <vector>

#include "game/MoveRules.h"
#include "game/gamecontrol.h"
#include "platform/vcl/ComCtrls.h"
#include "tests/ui/BoardFixture.h"
#include "ui/GFXEngine.h"
#include "ui/TForm1.h"

namespace {

// White to move; its pieces on 0 and 2 are shut in by black, the one on 9
// may go to 17 only, the one on 12 to 11 or 13.
const AnsiString kMoving = PositionString(1, MoveState, {0, 2, 9, 12}, {1, 3, 7, 8, 10}, 0, 0);
// The same with white down to three pieces: it jumps.
const AnsiString kJumping = PositionString(1, MoveState, {0, 2, 9}, {1, 3, 7, 8, 10}, 0, 0);
// White has closed a line; black's line 8-9-10 is protected (black still
// has pieces in hand), its piece on 20 is not.
const AnsiString kRemoving = PositionString(1, RemoveState, {0, 1, 2}, {8, 9, 10, 20}, 6, 3);
const AnsiString kPutting = PositionString(1, PutState, {0}, {1}, 8, 8);

class BoardInputTest : public BoardFixture {
protected:
    BoardInputTest() { UseColourPack(); }

    std::vector<uint8_t> Glow() {
        return std::vector<uint8_t>(std::begin(Board().Glow), std::end(Board().Glow));
    }
    std::vector<int> LitPoints() {
        std::vector<int> lit;
        for (int p = 0; p < PointCount; ++p)
            if (Board().Glow[p])
                lit.push_back(p);
        return lit;
    }
    std::vector<int> EmptyPoints() {
        std::vector<int> empty;
        for (int p = 0; p < PointCount; ++p)
            if (Game().GetGameString()[2 + p] == '0')
                empty.push_back(p);
        return empty;
    }
    void ExpectSubmitted(int32_t a, int32_t b, uint8_t kind) {
        ASSERT_NE(Game().PendingMove, nullptr);
        EXPECT_EQ(Game().PendingMove->kind, kind);
        EXPECT_EQ(Game().PendingMove->a, a);
        if (kind == Move || kind == Jump) {
            EXPECT_EQ(Game().PendingMove->b, b);
        }
        EXPECT_TRUE(Game().PendingMoveIsLocal);
        EXPECT_FALSE(Game().IsGameUIEnabled());
    }
    AnsiString StatusText() { return Form1->StatusBar1->Panels->Items[0]->Text; }
};

TEST_F(BoardInputTest, EveryRefusalShowsItsNoteAndChangesNothing) {
    struct Refusal {
        const char* what;
        AnsiString position;
        std::vector<int> picks; // accepted clicks before
        int click;
        int text;
        int marked; // the picked piece that stays, -1 for none
    };
    const Refusal refusals[] = {
        {"pick an empty point", kMoving, {}, 5, 119, -1},
        {"pick the opponent's piece", kMoving, {}, 1, 119, -1},
        {"pick a piece that cannot move", kMoving, {}, 0, 118, -1},
        {"another piece that cannot move", kMoving, {9}, 0, 120, 9},
        {"a target that is no neighbour", kMoving, {9}, 5, 551, 9},
        {"a target held by the opponent", kMoving, {9}, 10, 550, 9},
        {"jump onto the opponent", kJumping, {0}, 1, 552, 0},
        {"remove an own piece", kRemoving, {}, 0, 121, -1},
        {"remove from an empty point", kRemoving, {}, 5, 122, -1},
        {"remove a protected piece", kRemoving, {}, 9, 123, -1},
        {"put on an own piece", kPutting, {}, 0, 116, -1},
        {"put on the opponent's piece", kPutting, {}, 1, 116, -1},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.what);
        SetPosition(r.position);
        std::fill(std::begin(Board().Glow), std::end(Board().Glow), 0);
        for (int pick : r.picks)
            Click(pick);
        const uint8_t state = Game().GetGameState();
        const std::vector<uint8_t> glow = Glow();
        const AnsiString status = StatusText();
        ExpectRefusal(r.text);
        Click(r.click);
        hook.Verify();
        EXPECT_EQ(Game().GetGameState(), state);
        EXPECT_EQ(Glow(), glow);
        EXPECT_EQ(StatusText(), status);
        EXPECT_EQ(Game().PendingMove, nullptr);
        EXPECT_TRUE(Game().IsGameUIEnabled());
        if (r.marked != -1) {
            EXPECT_EQ(ShownOn(r.marked), "red" + std::to_string(r.marked + 1));
        }
        for (int p = 0; p < PointCount; ++p) {
            if (p != r.marked) {
                EXPECT_NE(ShownOn(p).substr(0, 3), "red") << p;
            }
        }
    }
}

TEST_F(BoardInputTest, APutTakesAnEmptyPointWithAnyButton) {
    SetPosition(kPutting);
    std::fill(std::begin(Board().Glow), std::end(Board().Glow), 1);
    const TPoint o = Offset();
    const TPoint at = ColourPack::PointPlace(5);
    Board().BoardMouseDown(&Board(), mbRight, TShiftState() << ssShift, o.x + at.x + 3,
                           o.y + at.y + 3);
    ExpectSubmitted(5, -1, Put);
    EXPECT_EQ(LitPoints(), std::vector<int>{});
    EXPECT_EQ(ShownOn(5), "empty6"); // the board changes on the next tick
}

TEST_F(BoardInputTest, APickedPieceIsMarkedAndItsFreeNeighboursLit) {
    SetPosition(kMoving);
    Click(9);
    EXPECT_EQ(Game().GetGameState(), MoveTargetState);
    EXPECT_EQ(LitPoints(), std::vector<int>{17});
    EXPECT_EQ(ShownOn(9), "red10");
    EXPECT_EQ(ShownOn(17), "glow18");
    EXPECT_EQ(StatusText(), "Anna: " + Text(117));
    EXPECT_EQ(Game().PendingMove, nullptr);

    Click(17);
    ExpectSubmitted(9, 17, Move);
    EXPECT_EQ(LitPoints(), std::vector<int>{});
    EXPECT_EQ(ShownOn(9), "white10");
    EXPECT_EQ(ShownOn(17), "empty18");
}

TEST_F(BoardInputTest, PickingLightsEveryFreeNeighbourAndLeavesOtherFlagsAlone) {
    SetPosition(PositionString(2, MoveState, {2, 5}, {1, 6, 7, 12}, 0, 0));
    Board().Glow[20] = 1;
    Board().Glow[2] = 1;
    Click(1); // neighbours 2 (white), 0 and 9 (free)
    EXPECT_EQ(LitPoints(), (std::vector<int>{0, 9, 20}));
    EXPECT_EQ(ShownOn(0), "glow1");
    EXPECT_EQ(ShownOn(9), "glow10");
    EXPECT_EQ(StatusText(), "Ben: " + Text(117));
}

TEST_F(BoardInputTest, AnotherMovablePieceTakesOverThePick) {
    SetPosition(kMoving);
    Click(9);
    Click(12);
    EXPECT_EQ(Game().GetGameState(), MoveTargetState);
    EXPECT_EQ(LitPoints(), (std::vector<int>{11, 13}));
    EXPECT_EQ(ShownOn(12), "red13");
    EXPECT_EQ(ShownOn(9), "white10");
    EXPECT_EQ(Game().PendingMove, nullptr);
    Click(13);
    ExpectSubmitted(12, 13, Move);
}

TEST_F(BoardInputTest, AJumpLightsEveryFreePointAndASecondPieceOnlyMovesTheMark) {
    SetPosition(kJumping);
    Click(0);
    EXPECT_EQ(Game().GetGameState(), JumpTargetState);
    EXPECT_EQ(LitPoints(), EmptyPoints());
    EXPECT_EQ(ShownOn(0), "red1");
    EXPECT_EQ(StatusText(), "Anna: " + Text(117));

    Click(9);
    EXPECT_EQ(Game().GetGameState(), JumpTargetState);
    EXPECT_EQ(LitPoints(), EmptyPoints());
    EXPECT_EQ(ShownOn(9), "red10");
    EXPECT_EQ(ShownOn(0), "white1");
    EXPECT_EQ(Game().PendingMove, nullptr);

    Click(20);
    ExpectSubmitted(9, 20, Jump);
    EXPECT_EQ(LitPoints(), std::vector<int>{});
    EXPECT_EQ(ShownOn(9), "white10");
}

TEST_F(BoardInputTest, ARemovalTakesAFreePieceOrOneOfAnOwnerDownToThree) {
    SetPosition(kRemoving);
    Click(20);
    ExpectSubmitted(20, -1, Remove);

    Game().PendingMove.reset();
    SetPosition(PositionString(1, RemoveState, {0, 1, 2}, {8, 9, 10}, 6, 0));
    Click(9);
    ExpectSubmitted(9, -1, Remove);
}

// Every click on a position of each phase, and in the moving phase every
// second click after each first one: the moves that the board hands to the
// controller are exactly the records that the rules accept (the pass is
// no click's).
TEST_F(BoardInputTest, SubmitsExactlyTheMovesTheRulesAccept) {
    for (const int text : {116, 118, 119, 120, 121, 122, 123, 550, 551, 552})
        hook.ExpectMessageBox(Text(text)).Caption(Text(43)).Repeatedly();
    using Key = std::tuple<int, int, int>;
    auto keyOf = [](const MoveRecord& m) {
        return Key{m.kind, m.a, m.kind == Move || m.kind == Jump ? m.b : -1};
    };
    const AnsiString positions[] = {kPutting, kMoving, kJumping, kRemoving,
                                    // Black's pieces all in a line: protected with pieces in hand,
                                    // free when black is down to three.
                                    PositionString(1, RemoveState, {0, 1, 2}, {8, 9, 10}, 6, 3),
                                    PositionString(1, RemoveState, {0, 1, 2}, {8, 9, 10}, 6, 0)};
    for (const AnsiString& position : positions) {
        SCOPED_TRACE(position);
        SetPosition(position);
        BoardRecord board;
        Board().CopyBoard(board);
        const uint8_t state = Game().GetGameState();
        std::set<Key> legal;
        for (uint8_t kind = Put; kind <= Remove; ++kind)
            for (int a = 0; a < PointCount; ++a)
                for (int b = 0; b < PointCount; ++b)
                    if (IsLegalMoveRecord(board, White, state == RemoveState, {a, b, 0, kind}))
                        legal.insert(keyOf({a, b, 0, kind}));

        std::set<Key> submitted;
        auto take = [&] {
            if (!Game().PendingMove)
                return false;
            submitted.insert(keyOf(*Game().PendingMove));
            Game().PendingMove.reset();
            return true;
        };
        for (int first = 0; first < PointCount; ++first) {
            SetPosition(position);
            Click(first);
            if (take() || state != MoveState)
                continue;
            for (int second = 0; second < PointCount; ++second) {
                SetPosition(position);
                Click(first);
                Click(second);
                take();
            }
        }
        EXPECT_EQ(submitted, legal);
    }
}

TEST_F(BoardInputTest, ATargetPhaseWithoutAPickedPieceAsksForAPieceFirst) {
    // As a restored position leaves it: waiting for a target, nothing picked.
    SetPosition(PositionString(1, MoveTargetState, {0, 2, 9, 12}, {1, 3, 7, 8, 10}, 0, 0));
    ExpectRefusal(119);
    Click(5);
    hook.Verify();
    EXPECT_EQ(Game().PendingMove, nullptr);
    Click(9);
    EXPECT_EQ(Game().GetGameState(), MoveTargetState);
    EXPECT_EQ(ShownOn(9), "red10");
    Click(17);
    ExpectSubmitted(9, 17, Move);
}

TEST_F(BoardInputTest, ClosedInputAnOverOrAMissedBoardOnlyRedraw) {
    SetPosition(kPutting);
    Game().EnableGameUI(false);
    Click(5);
    EXPECT_EQ(Game().PendingMove, nullptr);

    SetPosition(PositionString(1, NoGameState, {0}, {1}, 8, 8));
    Click(5);
    EXPECT_EQ(Game().PendingMove, nullptr);

    SetPosition(kPutting);
    Board().Glow[7] = 1; // drawn by the click's redraw
    Board().BoardMouseDown(&Board(), mbLeft, TShiftState(), 0, 0);
    EXPECT_EQ(Game().PendingMove, nullptr);
    EXPECT_EQ(ShownOn(7), "glow8");
    EXPECT_TRUE(hook.MessageBoxes().empty());
}

TEST_F(BoardInputTest, AClickAfterCloseWasRequestedClosesTheWindow) {
    SetPosition(kPutting);
    Form1->CloseRequested = true;
    Click(5);
    EXPECT_FALSE(Form1->Visible);
    EXPECT_EQ(Form1->Game, nullptr); // closing freed the controller
}

} // namespace
