#include <gtest/gtest.h>

#include <random>

#include "game/BoardRules.h"
#include "game/ComputerPlayer.h"
#include "game/GameText.h"
#include "game/Random.h"
#include "tests/game/Boards.h"
#include "tests/game/FakeHost.h"
#include "tests/game/ReferenceSearch.h"

namespace {

class Collector final : public ComputerPlayer::RootObserver {
public:
    void Candidate(const MoveRecord& move, int score) override {
        candidates.push_back({move, score});
    }
    std::vector<ScoredCandidate> candidates;
};

struct Iteration {
    std::vector<ScoredCandidate> candidates;
    int best;
    MoveRecord move;
    int64_t leaves;
};

// One iteration at the given horizon, on a clock that stands still.
Iteration IterateAt(ComputerPlayer& computer, RecordingHost& host, uint8_t kind,
                    const BoardRecord& board, int depth) {
    computer.Depth = depth;
    computer.Abort = 0;
    computer.StartTime = host.clock.Now();
    Collector collector;
    Iteration result{{}, 0, PassMove, 0};
    computer.RunIteration(kind, board, result.best, result.move, &collector);
    result.candidates = collector.candidates;
    result.leaves = computer.NodeCounter;
    return result;
}

const ScoredCandidate* Find(const std::vector<ScoredCandidate>& candidates,
                            const MoveRecord& move) {
    for (const ScoredCandidate& c : candidates)
        if (SameMove(c.move, move))
            return &c;
    return nullptr;
}

class SearchTest : public testing::Test {
protected:
    RecordingHost host;
    ComputerPlayer computer{"Computer", nullptr, Black, host};
};

TEST_F(SearchTest, LeavesFromTheEmptyBoard) {
    // 24 x 23 x ... puts; at depth 4 every line black closes with its third
    // piece can take either of white's two pieces: 16 lines x 3! orders x
    // 21 x 20 white puts add 40320 leaves.
    const int64_t expected[] = {552, 12144, 255024, 5140800};
    for (int depth = 1; depth <= 4; ++depth)
        EXPECT_EQ(IterateAt(computer, host, Put, InitBoard(), depth).leaves, expected[depth - 1])
            << "depth " << depth;
}

TEST_F(SearchTest, JumpLeavesWithoutAnyLine) {
    // No two pieces of a side share a line, so no jump at the root or in
    // reply closes one: 3 x 18 jumps, each answered by 3 x 18.
    const BoardRecord board = MakeBoard("20001000 00201000 00002010", 0, 0);
    EXPECT_EQ(IterateAt(computer, host, Jump, board, 1).leaves, 54 * 54);
}

TEST_F(SearchTest, DepthOneScoresAreTheWorstReplyOfEachPut) {
    // Three empty points and no line anywhere in reach: every root put is
    // answered by two puts, each one a leaf with black to move.
    const BoardRecord board = MakeBoard("00012121 21212121 22221212", 1, 1);
    const Iteration it = IterateAt(computer, host, Put, board, 1);
    ASSERT_EQ(it.candidates.size(), 3u);
    EXPECT_EQ(it.leaves, 6);
    for (const ScoredCandidate& c : it.candidates) {
        BoardRecord afterPut = board;
        ASSERT_TRUE(BoardRules::ApplyPut(afterPut, Black, c.move));
        int worst = 32000;
        for (int p = 0; p < PointCount; ++p) {
            BoardRecord afterReply = afterPut;
            if (BoardRules::ApplyPut(afterReply, White, {p, 0, 0, Put}))
                worst = std::min(worst, computer.Evaluate(afterReply, true));
        }
        EXPECT_EQ(c.score, worst) << "put on " << c.move.a;
    }
}

// Hand-computed evaluations, black being the computer.
struct HandEvaluation {
    const char* name;
    const char* rings;
    int whiteOn, blackOn, whiteHand, blackHand;
    bool maximizing;
    int score;
};

void PrintTo(const HandEvaluation& h, std::ostream* os) {
    *os << h.name;
}

class EvaluateByHand : public testing::TestWithParam<HandEvaluation> {};

TEST_P(EvaluateByHand, GivesTheHandScore) {
    const HandEvaluation& h = GetParam();
    RecordingHost host;
    BoardRecord board = MakeBoard(h.rings, h.whiteHand, h.blackHand);
    board.onBoard[0] = h.whiteOn;
    board.onBoard[1] = h.blackOn;
    ComputerPlayer black("Black", nullptr, Black, host);
    EXPECT_EQ(black.Evaluate(board, h.maximizing), h.score);

    // The same position with the colours swapped, for a computer playing white.
    BoardRecord swapped = board;
    for (uint8_t& cell : swapped.cell)
        cell = OtherColour(cell);
    std::swap(swapped.onBoard[0], swapped.onBoard[1]);
    std::swap(swapped.inHand[0], swapped.inHand[1]);
    ComputerPlayer white("White", nullptr, White, host);
    EXPECT_EQ(white.Evaluate(swapped, h.maximizing), h.score);
}

INSTANTIATE_TEST_SUITE_P(
    Positions, EvaluateByHand,
    testing::Values(
        // 0-1-2 is black's line; no piece can swing, none is blocked: 3 x 80.
        HandEvaluation{"LinePieces", "22200000 10000000 00000000", 1, 3, 8, 6, true, 240},
        // Black: 0 swings through 7 into 7-15-23 (+1000), 1 and 2 are line
        // pieces (+160), 7 is a threat (+150). White: 12-13-14 are line
        // pieces (-240), 14 is blocked in its line: B = 150 x 1 / 9 = 16,
        // +256. One cross piece each.
        HandEvaluation{"SwingThreatBlocked", "22200000 00001112 00001002", 4, 5, 5, 4, false, 1326},
        // Material 1500 x (9 - 3); black's 1 is blocked: B = 16, -256; 0-1-2
        // line pieces +240; threats at 17 (black) and 21 (white) cancel;
        // black on cross point 9: +300 with black to move and pieces in hand.
        HandEvaluation{"CrossWithHand", "22200000 12000000 00001010", 3, 4, 0, 5, true, 9284},
        // ...and +20 when white is to move with nothing in hand.
        HandEvaluation{"CrossWithoutHand", "22200000 12000000 00001010", 3, 4, 0, 5, false, 9004},
        HandEvaluation{"Lost", "22000000 11100000 00000000", 3, 2, 0, 0, true, -31999},
        HandEvaluation{"Won", "22200000 11000000 00000000", 2, 3, 0, 0, false, 31999},
        HandEvaluation{"BothShortLosesFirst", "22000000 11000000 00000000", 2, 2, 0, 0, true,
                       -31999}),
    [](const testing::TestParamInfo<HandEvaluation>& info) { return info.param.name; });

TEST(FeatureTest, WouldCloseLine) {
    const BoardRecord board = MakeBoard("22010000 00000000 00000000", 8, 7);
    EXPECT_TRUE(ComputerPlayer::WouldCloseLine(board, Black, 2));
    EXPECT_FALSE(ComputerPlayer::WouldCloseLine(board, White, 2));
    EXPECT_FALSE(ComputerPlayer::WouldCloseLine(board, Black, 3)); // occupied
    EXPECT_FALSE(ComputerPlayer::WouldCloseLine(board, Black, 7)); // one piece only
}

TEST(FeatureTest, CanSwingIntoLine) {
    // Black 15 and 23 wait on 7; 0 can step there, 1 cannot.
    const BoardRecord board = MakeBoard("22200000 00000002 00000002", 9, 4);
    EXPECT_TRUE(ComputerPlayer::CanSwingIntoLine(board, 0));
    EXPECT_FALSE(ComputerPlayer::CanSwingIntoLine(board, 1));
    // 15 and 23 stand in the target line itself: stepping to 7 leaves it.
    EXPECT_FALSE(ComputerPlayer::CanSwingIntoLine(board, 15));
}

TEST(FeatureTest, IsBlocked) {
    const BoardRecord board = MakeBoard("21200000 01000000 00000000", 7, 7);
    EXPECT_TRUE(ComputerPlayer::IsBlocked(board, 1));  // 2, 0 and 9 occupied
    EXPECT_FALSE(ComputerPlayer::IsBlocked(board, 0)); // 7 is free
}

TEST(FeatureTest, FastEvaluationMatchesTheWordForWordOne) {
    std::mt19937 rng(7);
    RecordingHost host;
    for (const uint8_t colour : {White, Black}) {
        ComputerPlayer computer("Computer", nullptr, colour, host);
        const ReferenceSearch reference(colour, 0, 0);
        for (int i = 0; i < 20000; ++i) {
            BoardRecord board{};
            for (uint8_t& cell : board.cell)
                cell = static_cast<uint8_t>(rng() % 3);
            // Counts need not agree with the points.
            for (int side = 0; side < 2; ++side) {
                board.onBoard[side] = static_cast<int>(rng() % 10);
                board.inHand[side] = static_cast<int>(rng() % 10);
            }
            const bool maximizing = rng() % 2;
            ASSERT_EQ(computer.Evaluate(board, maximizing), reference.Evaluate(board, maximizing))
                << GameString(1, 1, board);
        }
    }
}

// Random positions of each phase, for the comparison with the word for word
// search.
struct Phase {
    const char* name;
    uint8_t kind;
    uint8_t computer;
    int computerOn, computerHand, opponentOn, opponentHand;
    int maxDepth;
    bool computerLine; // the computer has just closed a line
};

BoardRecord RandomPosition(std::mt19937& rng, const Phase& phase) {
    for (;;) {
        BoardRecord board = InitBoard();
        const uint8_t computer = phase.computer;
        const uint8_t opponent = OtherColour(computer);
        int placed = 0;
        if (phase.computerLine) {
            for (const int8_t p : Lines[rng() % LineCount])
                board.cell[p] = computer;
            placed = 3;
        }
        auto place = [&](uint8_t colour, int count) {
            while (count > 0) {
                const int p = static_cast<int>(rng() % PointCount);
                if (board.cell[p] == Empty) {
                    board.cell[p] = colour;
                    --count;
                }
            }
        };
        place(computer, phase.computerOn - placed);
        place(opponent, phase.opponentOn);
        board.onBoard[computer - 1] = phase.computerOn;
        board.onBoard[opponent - 1] = phase.opponentOn;
        board.inHand[computer - 1] = phase.computerHand;
        board.inHand[opponent - 1] = phase.opponentHand;
        if (phase.kind != Move || HasLegalMove(board, computer))
            return board;
    }
}

void PrintTo(const Phase& phase, std::ostream* os) {
    *os << phase.name;
}

class AgainstReference : public testing::TestWithParam<Phase> {};

TEST_P(AgainstReference, SameScoresLeavesMoveAndRandomNumbers) {
    const Phase& phase = GetParam();
    std::mt19937 rng(phase.kind * 100 + phase.computer);
    RecordingHost host;
    ComputerPlayer computer("Computer", nullptr, phase.computer, host);
    for (int round = 0; round < 4; ++round) {
        const BoardRecord board = RandomPosition(rng, phase);
        for (const float errorRate : {0.0f, 0.3f}) {
            computer.ErrorRate = errorRate;
            for (int depth = 1; depth <= phase.maxDepth; ++depth) {
                SCOPED_TRACE(GameString(phase.computer, 1, board) + " depth " + IntToStr(depth) +
                             " error rate " + FloatToStr(errorRate));
                const uint32_t seed = static_cast<uint32_t>(rng());
                SetRandomSeed(seed);
                const Iteration fast = IterateAt(computer, host, phase.kind, board, depth);
                const int fastNext = RandomNumber();

                SetRandomSeed(seed);
                ReferenceSearch reference(phase.computer, errorRate, depth);
                int best = 0;
                MoveRecord move = PassMove;
                const std::vector<ScoredCandidate> expected =
                    reference.Iterate(phase.kind, board, best, move);
                EXPECT_EQ(fastNext, RandomNumber());

                ASSERT_EQ(fast.candidates.size(), expected.size());
                ASSERT_FALSE(expected.empty());
                for (size_t i = 0; i < expected.size(); ++i) {
                    EXPECT_TRUE(SameMove(fast.candidates[i].move, expected[i].move))
                        << MoveToText(fast.candidates[i].move);
                    EXPECT_EQ(fast.candidates[i].score, expected[i].score)
                        << MoveToText(expected[i].move);
                }
                EXPECT_EQ(fast.leaves, reference.leaves);
                EXPECT_EQ(fast.best, best);
                EXPECT_TRUE(SameMove(fast.move, move));
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Phases, AgainstReference,
    testing::Values(Phase{"PutOpening", Put, Black, 1, 8, 2, 7, 2, false},
                    Phase{"PutMiddle", Put, Black, 5, 3, 6, 2, 3, false},
                    Phase{"PutLate", Put, White, 7, 1, 6, 1, 3, false},
                    Phase{"PutAgainstJump", Put, Black, 6, 1, 3, 0, 2, false},
                    Phase{"Move", Move, Black, 7, 0, 7, 0, 3, false},
                    Phase{"MoveCrowded", Move, White, 9, 0, 8, 0, 3, false},
                    Phase{"MoveAgainstJump", Move, Black, 6, 0, 3, 0, 2, false},
                    Phase{"JumpAgainstMove", Jump, Black, 3, 0, 9, 0, 3, false},
                    Phase{"JumpAgainstJump", Jump, White, 3, 0, 3, 0, 2, false},
                    Phase{"JumpAgainstPut", Jump, Black, 3, 0, 4, 3, 2, false},
                    Phase{"RemoveWhilePutting", Remove, Black, 5, 2, 5, 2, 3, true},
                    Phase{"RemoveWhileMoving", Remove, White, 6, 0, 7, 0, 3, true},
                    Phase{"RemoveToWin", Remove, Black, 5, 0, 3, 0, 3, true}),
    [](const testing::TestParamInfo<Phase>& info) { return info.param.name; });

TEST_F(SearchTest, AClosedLineAtTheRootAddsItsBonus) {
    struct Case {
        uint8_t kind;
        const char* rings;
        MoveRecord closing;
        int bonus;
    };
    // Black closes 0-1-2 by putting on 2, by moving 3 to 2, by jumping 20 to 2.
    for (const Case& c : {Case{Put, "22000000 10000000 01000000", {2, 0, 0, Put}, 2000},
                          Case{Move, "22020200 11000001 01000100", {3, 2, 0, Move}, 5000},
                          Case{Jump, "22000000 11000001 01002100", {20, 2, 0, Jump}, 5000}}) {
        const BoardRecord board = MakeBoard(c.rings, c.kind == Put ? 6 : 0, c.kind == Put ? 6 : 0);
        for (int depth = 1; depth <= 3; ++depth) {
            const Iteration it = IterateAt(computer, host, c.kind, board, depth);
            const ScoredCandidate* closing = Find(it.candidates, c.closing);
            ASSERT_NE(closing, nullptr);
            BoardRecord after = board;
            after.cell[c.closing.a] = Empty;
            after.cell[c.kind == Put ? c.closing.a : c.closing.b] = Black;
            if (c.kind == Put) {
                --after.inHand[1];
                ++after.onBoard[1];
            }
            computer.Depth = depth;
            EXPECT_EQ(closing->score, computer.Search(Remove, after, 0, true, -32000) + c.bonus);
            EXPECT_TRUE(SameMove(it.move, c.closing)) << "kind " << int(c.kind);
        }
    }
}

TEST_F(SearchTest, ARemovalThatLeavesTwoPiecesScores30001) {
    // White has three pieces and none in hand; any of them may go.
    const BoardRecord board = MakeBoard("22211000 00000000 00000001", 0, 0);
    const Iteration it = IterateAt(computer, host, Remove, board, 3);
    ASSERT_EQ(it.candidates.size(), 3u);
    for (const ScoredCandidate& c : it.candidates)
        EXPECT_EQ(c.score, 30001);
    EXPECT_EQ(it.best, 30001);
    EXPECT_EQ(it.leaves, 0);
}

TEST_F(SearchTest, NothingToRemoveIsAPass) {
    // White's pieces all stand in a line, with pieces in hand.
    const BoardRecord board = MakeBoard("22201110 00000000 00000000", 3, 3);
    int best = 0;
    MoveRecord move{1, 1, 1, Put};
    EXPECT_FALSE(computer.RunIteration(Remove, board, best, move));
    EXPECT_TRUE(SameMove(move, PassMove));
}

// A computer whose prune hook is its own: asked after every child.
class HookedComputer : public ComputerPlayer {
public:
    using ComputerPlayer::ComputerPlayer;
    bool CanPrune(int score, int parentBest, bool maximizing) override {
        calls.push_back({score, parentBest, maximizing});
        return prune;
    }
    struct Call {
        int score, parentBest;
        bool maximizing;
    };
    std::vector<Call> calls;
    bool prune = false;
};

TEST_F(SearchTest, TheHookIsAskedAfterEveryChild) {
    HookedComputer hooked("Hooked", nullptr, Black, host);
    // No side can close a line within two puts of its own.
    const BoardRecord board = MakeBoard("21000001 00000000 00000000", 7, 8);
    for (int depth = 1; depth <= 2; ++depth) {
        hooked.calls.clear();
        const Iteration withHook = IterateAt(hooked, host, Put, board, depth);
        const Iteration plain = IterateAt(computer, host, Put, board, depth);
        EXPECT_EQ(withHook.leaves, plain.leaves);
        EXPECT_EQ(withHook.best, plain.best);
        // 21 root puts, each node below examines every empty point.
        EXPECT_EQ(hooked.calls.size(), depth == 1 ? 21u * 20 : 21u * 20 + 21u * 20 * 19);
    }
}

TEST_F(SearchTest, AHookThatPrunesReturnsAfterTheFirstChild) {
    HookedComputer hooked("Hooked", nullptr, Black, host);
    hooked.prune = true;
    const Iteration it = IterateAt(hooked, host, Put, InitBoard(), 1);
    EXPECT_EQ(it.leaves, 24);
    ASSERT_EQ(hooked.calls.size(), 24u);
    // The parent's best is the iteration's best so far; the children are
    // white's replies, so not maximizing.
    EXPECT_EQ(hooked.calls[0].parentBest, -32000);
    EXPECT_EQ(hooked.calls[1].parentBest, it.candidates[0].score);
    EXPECT_FALSE(hooked.calls[0].maximizing);
}

TEST_F(SearchTest, UpdateBest) {
    int best = 10;
    computer.UpdateBest(20, best, true);
    EXPECT_EQ(best, 20);
    computer.UpdateBest(5, best, true);
    EXPECT_EQ(best, 20);
    computer.UpdateBest(30, best, false);
    EXPECT_EQ(best, 20);
    computer.UpdateBest(5, best, false);
    EXPECT_EQ(best, 5);
    // A certain mistake overlooks every better reply.
    computer.ErrorRate = 1;
    computer.UpdateBest(1, best, false);
    EXPECT_EQ(best, 5);
    computer.UpdateBest(9, best, true);
    EXPECT_EQ(best, 9);
}

TEST_F(SearchTest, MistakeRollDrawsOneNumber) {
    for (const float rate : {0.0f, 0.25f, 0.5f, 1.0f}) {
        computer.ErrorRate = rate;
        SetRandomSeed(12345);
        std::vector<bool> rolls;
        for (int i = 0; i < 200; ++i)
            rolls.push_back(computer.MistakeRoll());
        SetRandomSeed(12345);
        int mistakes = 0;
        for (int i = 0; i < 200; ++i) {
            const bool expected = (RandomNumber() % 1000) * 0.001 < rate;
            EXPECT_EQ(rolls[i], expected);
            mistakes += expected;
        }
        if (rate == 0.0f) {
            EXPECT_EQ(mistakes, 0);
        }
        if (rate == 1.0f) {
            EXPECT_EQ(mistakes, 200);
        }
    }
}

TEST(RandomTest, TheGeneratorsSequence) {
    SetRandomSeed(0);
    // state 1, 22695478, ...: bits 16 to 30 of each state.
    EXPECT_EQ(RandomNumber(), 0);
    EXPECT_EQ(RandomNumber(), (22695478u >> 16) & 0x7FFF);
    uint32_t state = 42;
    SetRandomSeed(42);
    for (int i = 0; i < 1000; ++i) {
        state = state * 22695477u + 1u;
        ASSERT_EQ(RandomNumber(), static_cast<int>((state >> 16) & 0x7FFF));
    }
}

} // namespace
