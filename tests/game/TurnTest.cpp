#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "game/ComputerPlayer.h"
#include "game/GameText.h"
#include "game/Random.h"
#include "tests/game/Boards.h"
#include "tests/game/FakeHost.h"

namespace {

const int OpeningReplies[24] = {4,  3, 6,  9,  0,  15, 15, 9,  12, 13, 15, 15,
                                11, 9, 11, 11, 21, 11, 13, 15, 15, 15, 9,  9};

// Seven pieces a side, none in hand.
const char* const MovingRings = "12120200 10102200 10210020";
// Black's four pieces cannot move.
const char* const ShutIn = "22221001 01010000 00000000";
// Black has put one piece, white two.
const char* const PlacingRings = "10000000 00020000 00000100";

class TurnTest : public testing::Test {
protected:
    MoveRecord Submitted() {
        EXPECT_EQ(host.submitted.size(), 1u);
        EXPECT_TRUE(host.submitted.back().send);
        return host.submitted.back().move;
    }

    RecordingHost host;
    ComputerPlayer computer{"Computer", nullptr, Black, host};
};

TEST_F(TurnTest, ConstructedWithItsDefaults) {
    EXPECT_EQ(computer.TimeLimit, 1);
    EXPECT_EQ(computer.ErrorRate, 0.0f);
    EXPECT_EQ(computer.OwnThreatWeight, 150);
    EXPECT_EQ(computer.OwnLinePieceWeight, 80);
    EXPECT_EQ(computer.OwnSwingPieceWeight, 1000);
    EXPECT_EQ(computer.OpponentThreatWeight, -150);
    EXPECT_EQ(computer.OpponentLinePieceWeight, -80);
    EXPECT_EQ(computer.OpponentSwingPieceWeight, -1000);
    EXPECT_EQ(computer.MaterialWeight, 1500);
    computer.SetTimeLimit(19);
    EXPECT_EQ(computer.TimeLimit, 19);
}

TEST_F(TurnTest, TheFirstMoveIsNineOrFifteenByTheFirstNumber) {
    std::set<int> seen;
    for (int64_t second = 5000; second < 5016; ++second) {
        host.clock.startTick = second; // a standing clock: the seed is this second
        host.submitted.clear();
        SetRandomSeed(static_cast<uint32_t>(second));
        const int expected = RandomNumber() % 2 == 1 ? 9 : 15;
        computer.TakeTurn(Put, InitBoard());
        EXPECT_TRUE(SameMove(Submitted(), {expected, 0, 0, Put})) << second;
        seen.insert(Submitted().a);
    }
    EXPECT_EQ(seen, (std::set<int>{9, 15}));
}

TEST_F(TurnTest, TheReplyToTheOpponentsFirstPiece) {
    for (int p = 0; p < PointCount; ++p) {
        BoardRecord board = InitBoard();
        board.cell[p] = White;
        board.onBoard[0] = 1;
        board.inHand[0] = 8;
        host.submitted.clear();
        computer.TakeTurn(Put, board);
        EXPECT_TRUE(SameMove(Submitted(), {OpeningReplies[p], 0, 0, Put})) << "white on " << p;
        EXPECT_EQ(ComputerPlayer::OpeningReply(p), OpeningReplies[p]);
    }
    EXPECT_EQ(ComputerPlayer::OpeningReply(4), 0);
    EXPECT_EQ(ComputerPlayer::OpeningReply(8), 12);
}

TEST_F(TurnTest, AThinkingPromptThenAStarForEverySecond) {
    host.clock.ticksPerSecond = 20000;
    host.clock.startTick = 20000 * 7000;
    computer.TakeTurn(Move, MakeBoard(MovingRings, 0, 0));
    // The first second seen, then two more: the turn ends on the second
    // second after its start.
    EXPECT_EQ(host.status, "Computer: <134>***");
    EXPECT_EQ(computer.LastSecond, 7002);
    // Messages are processed at every iteration and every new second.
    EXPECT_EQ(host.processed, computer.Depth + 3);
}

TEST_F(TurnTest, TheLastSecondCarriesOverToTheNextTurn) {
    host.clock.startTick = 9000;
    host.depthCap = 1;
    const BoardRecord board = MakeBoard(PlacingRings, 7, 8);
    computer.TakeTurn(Put, board);
    EXPECT_EQ(computer.LastSecond, 9000);
    EXPECT_EQ(host.status, "Computer: <134>*");
    computer.TakeTurn(Put, board);
    EXPECT_EQ(host.status, "Computer: <134>");
}

// The turn's elapsed time on a clock that runs by readings: the search
// reads the clock at every node once 1000 leaves are behind it.
class OneSecondTurn : public TurnTest, public testing::WithParamInterface<double> {};

TEST_P(OneSecondTurn, EndsBetweenOneAndTwoSeconds) {
    const int64_t perSecond = 50000;
    const double startFraction = GetParam();
    host.clock.ticksPerSecond = perSecond;
    host.clock.startTick = perSecond * 8000 + static_cast<int64_t>(startFraction * perSecond);
    computer.TakeTurn(Move, MakeBoard(MovingRings, 0, 0));
    EXPECT_EQ(computer.Abort, 1);
    // Reading 2 was the start stamp; the turn stopped at the first reading
    // two whole seconds on, and only the abandoned siblings read after it.
    const double elapsed = host.clock.SecondsAt(host.clock.reads) - host.clock.SecondsAt(2);
    EXPECT_GE(elapsed, 2.0 - startFraction - 1e-3);
    EXPECT_LE(elapsed, 2.0 - startFraction + 0.01);
    EXPECT_GE(elapsed, 1.0);
    EXPECT_LE(elapsed, 2.0 + 0.01);
}

INSTANTIATE_TEST_SUITE_P(StartWithinTheSecond, OneSecondTurn,
                         testing::Values(0.0, 0.25, 0.5, 0.999));

TEST_F(TurnTest, ACutOffIterationIsThrownAway) {
    host.clock.ticksPerSecond = 50000;
    host.clock.startTick = 50000 * 6000 + 100;
    const BoardRecord board = MakeBoard(MovingRings, 0, 0);
    computer.TakeTurn(Move, board);
    const int cutOff = computer.Depth;
    ASSERT_GE(cutOff, 3);

    // The same turn's iterations replayed on a standing clock: the move is
    // that of the last one completed.
    RecordingHost quiet;
    ComputerPlayer replay("Replay", nullptr, Black, quiet);
    SetRandomSeed(static_cast<uint32_t>(host.clock.startTick / 50000));
    replay.StartTime = quiet.clock.Now();
    MoveRecord move = PassMove;
    for (int depth = 1; depth < cutOff; ++depth) {
        replay.Depth = depth;
        int best = 0;
        replay.RunIteration(Move, board, best, move);
    }
    EXPECT_TRUE(SameMove(Submitted(), move)) << MoveToText(Submitted());
}

TEST_F(TurnTest, ADepthCapOfOneStopsAfterTheSecondIteration) {
    host.depthCap = 1;
    struct Case {
        uint8_t kind;
        const char* rings;
        int whiteInHand, blackInHand;
    };
    for (const Case& c :
         {Case{Put, PlacingRings, 7, 8}, Case{Jump, "12100000 10002000 00200100", 0, 0},
          Case{Remove, "22210000 10000000 10000100", 2, 2}}) {
        host.submitted.clear();
        computer.TakeTurn(c.kind, MakeBoard(c.rings, c.whiteInHand, c.blackInHand));
        EXPECT_EQ(computer.Depth, 3) << "kind " << int(c.kind);
        EXPECT_EQ(Submitted().kind, c.kind);
        EXPECT_EQ(host.depthCap, 1);
    }
}

TEST_F(TurnTest, TheMovingPhaseIgnoresTheDepthCap) {
    host.depthCap = 1;
    host.clock.ticksPerSecond = 50000;
    computer.TakeTurn(Move, MakeBoard(MovingRings, 0, 0));
    EXPECT_GT(computer.Depth, 3);
    EXPECT_EQ(computer.Abort, 1);
}

TEST_F(TurnTest, AGameColourOneOpenedLiftsTheCapEarly) {
    struct Case {
        uint8_t colour;
        bool whoStarts;
        int blackInHand;
        bool lifted;
    };
    for (const Case c :
         {Case{Black, true, 8, true}, Case{Black, true, 5, true}, Case{Black, true, 4, false},
          Case{Black, false, 8, false}, Case{White, true, 8, false}}) {
        RecordingHost host;
        host.depthCap = 1;
        host.whoStarts = c.whoStarts;
        host.clock.ticksPerSecond = 50000;
        ComputerPlayer player("Computer", nullptr, c.colour, host);
        // Black has put one piece, white two; the hands make it black's turn.
        BoardRecord board = MakeBoard(PlacingRings, c.blackInHand - 1, c.blackInHand);
        player.TakeTurn(Put, board);
        EXPECT_EQ(host.depthCapsSet, c.lifted ? (std::vector<int>{100, 1}) : std::vector<int>{1});
        EXPECT_EQ(host.depthCap, 1);
        // A lifted cap leaves the clock to end the turn.
        EXPECT_EQ(player.Abort, c.lifted ? 1 : 0);
        if (!c.lifted) {
            EXPECT_EQ(player.Depth, 3);
        }
    }
}

TEST_F(TurnTest, AWinningRemovalIsPlayedAtOnce) {
    const BoardRecord board = MakeBoard("22211000 00000000 00000001", 0, 0);
    computer.TakeTurn(Remove, board);
    const MoveRecord move = Submitted();
    EXPECT_EQ(move.kind, Remove);
    EXPECT_TRUE(move.a == 3 || move.a == 4 || move.a == 23);
    EXPECT_EQ(computer.Depth, 2);
    EXPECT_EQ(computer.NodeCounter, 0);
}

TEST_F(TurnTest, NothingToRemovePassesWithoutSearching) {
    computer.TakeTurn(Remove, MakeBoard("22201110 00000000 00000000", 3, 3));
    EXPECT_TRUE(SameMove(Submitted(), PassMove));
    EXPECT_EQ(computer.NodeCounter, 0);
}

TEST_F(TurnTest, NoLegalMoveRaisesAndSubmitsNothing) {
    host.depthCap = 7;
    host.clock.ticksPerSecond = 50000;
    // Black's pieces on 0, 1, 2, 3 are shut in by white.
    const BoardRecord board = MakeBoard(ShutIn, 0, 0);
    try {
        computer.TakeTurn(Move, board);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "computer has no move to make!!!");
    }
    EXPECT_TRUE(host.submitted.empty());
    EXPECT_EQ(host.depthCap, 7);
}

TEST_F(TurnTest, AJumpWithFourPiecesRaises) {
    host.depthCap = 1;
    try {
        computer.TakeTurn(Jump, MakeBoard("22220000 11100000 00000000", 0, 0));
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "trying to perform illegal jump!");
    }
    EXPECT_TRUE(host.submitted.empty());
}

// The moves a turn with a cap of one may play: the best of the depth-2
// iteration, ties included.
std::set<std::vector<int>> BestOfDepthTwo(const BoardRecord& board, uint8_t kind,
                                          std::vector<int>* scores) {
    class Best final : public ComputerPlayer::RootObserver {
    public:
        void Candidate(const MoveRecord& move, int score) override { all.push_back({move, score}); }
        std::vector<std::pair<MoveRecord, int>> all;
    } observer;
    RecordingHost quiet;
    ComputerPlayer computer("Computer", nullptr, Black, quiet);
    computer.StartTime = quiet.clock.Now();
    computer.Depth = 2;
    int best = 0;
    MoveRecord move = PassMove;
    computer.RunIteration(kind, board, best, move, &observer);
    std::set<std::vector<int>> bestMoves;
    for (const auto& [candidate, score] : observer.all) {
        scores->push_back(score);
        if (score == best)
            bestMoves.insert({candidate.a, candidate.b});
    }
    return bestMoves;
}

TEST_F(TurnTest, WithoutMistakesOnlyRootTiesAreLeftToChance) {
    host.depthCap = 1;
    struct Case {
        const char* rings;
        int whiteInHand, blackInHand;
        bool tied;
    };
    // White on 1 and 5, black on 3: mirror images score alike. Black on 0
    // and 1 has one best put, on 2.
    for (const Case c : {Case{"01010100 00000000 00000000", 7, 8, true},
                         Case{"22000000 10001000 00000000", 7, 7, false}}) {
        const BoardRecord board = MakeBoard(c.rings, c.whiteInHand, c.blackInHand);
        std::vector<int> scores;
        const std::set<std::vector<int>> best = BestOfDepthTwo(board, Put, &scores);
        EXPECT_EQ(best.size() > 1, c.tied);
        std::set<std::vector<int>> played;
        for (int64_t second = 100; second < 140; ++second) {
            host.submitted.clear();
            host.clock.startTick = second;
            computer.TakeTurn(Put, board);
            played.insert({Submitted().a, Submitted().b});
            // The scores themselves never depend on the numbers drawn.
            std::vector<int> again;
            BestOfDepthTwo(board, Put, &again);
            EXPECT_EQ(again, scores);
        }
        EXPECT_TRUE(std::includes(best.begin(), best.end(), played.begin(), played.end()));
        EXPECT_EQ(played.size(), c.tied ? best.size() : 1u);
    }
}

TEST_F(TurnTest, CertainMistakesKeepTheFirstCandidate) {
    host.depthCap = 1;
    computer.ErrorRate = 1;
    computer.TakeTurn(Put, MakeBoard(PlacingRings, 7, 8));
    // Point 0 is taken: the first candidate puts on 1.
    EXPECT_TRUE(SameMove(Submitted(), {1, 0, 0, Put}));
}

} // namespace
