// The one authority on legal moves, and the search's move lists held
// against it: on many random positions of every phase, the moves that the
// search's root and its inner nodes generate are exactly the records that
// MoveRules accepts among all candidates.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>
#include <vector>

#include "game/BoardRules.h"
#include "game/ComputerPlayer.h"
#include "game/GameText.h"
#include "game/MoveRules.h"
#include "game/SearchBoard.h"
#include "tests/game/Boards.h"
#include "tests/game/FakeHost.h"

namespace {

// What a record means: the kind and the operands that the kind reads.
using MoveKey = std::tuple<int, int, int>;

MoveKey KeyOf(const MoveRecord& move) {
    switch (move.kind) {
    case Move:
    case Jump:
        return {move.kind, move.a, move.b};
    case Put:
    case Remove:
        return {move.kind, move.a, -1};
    default:
        return {move.kind, -1, -1};
    }
}

const MoveKey PassKey{NoMove, -1, -1};

std::vector<MoveKey> Sorted(std::vector<MoveKey> keys) {
    std::sort(keys.begin(), keys.end());
    return keys;
}

// Every record a side could hand in, unknown kinds and points off the board
// among them; the operands that a kind does not read carry noise.
std::vector<MoveRecord> Candidates(std::mt19937& rng) {
    std::vector<MoveRecord> candidates;
    auto noise = [&] { return static_cast<int32_t>(rng() % 60) - 30; };
    for (uint8_t kind = 0; kind <= 6; ++kind)
        for (int32_t a = -1; a <= PointCount; ++a) {
            if (kind == Move || kind == Jump) {
                for (int32_t b = -1; b <= PointCount; ++b)
                    candidates.push_back({a, b, noise(), kind});
            } else {
                candidates.push_back({a, noise(), noise(), kind});
            }
        }
    return candidates;
}

std::vector<MoveKey> AcceptedKeys(const BoardRecord& board, uint8_t colour, bool removing,
                                  const std::vector<MoveRecord>& candidates) {
    std::vector<MoveKey> keys;
    for (const MoveRecord& move : candidates)
        if (IsLegalMoveRecord(board, colour, removing, move))
            keys.push_back(KeyOf(move));
    // A record with noise in its unused operands means the same move.
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    return keys;
}

class Collector final : public ComputerPlayer::RootObserver {
public:
    void Candidate(const MoveRecord& move, int) override { keys.push_back(KeyOf(move)); }
    std::vector<MoveKey> keys;
};

// The root candidates of the search asked for the due kind, one iteration
// at horizon 0 so that every candidate is scored by a leaf or two. A side
// without a step is never asked to move: its list is the pass.
std::vector<MoveKey> RootKeys(const BoardRecord& board, uint8_t colour, bool removing) {
    RecordingHost host;
    ComputerPlayer computer("Computer", nullptr, colour, host);
    computer.Depth = 0;
    computer.StartTime = host.clock.Now();
    Collector collector;
    int best = 0;
    MoveRecord move = PassMove;
    const uint8_t kind = removing ? Remove : StepKind(board, colour);
    try {
        if (!computer.RunIteration(kind, board, best, move, &collector))
            return {KeyOf(move)};
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "computer has no move to make!!!");
        EXPECT_TRUE(collector.keys.empty());
    }
    return collector.keys.empty() ? std::vector<MoveKey>{PassKey} : collector.keys;
}

// The inner nodes' list for the side at `index` of the search's board: a
// node that has nothing to remove passes, one without a move is lost; both
// are the pass here.
std::vector<MoveKey> NodeKeys(const SearchBoard& board, int index, bool removing) {
    std::vector<MoveKey> keys;
    auto put = [&](int p) {
        keys.push_back({Put, p, -1});
        return false;
    };
    auto step = [&](uint8_t kind) {
        return [&keys, kind](int from, int to) {
            keys.push_back({kind, from, to});
            return false;
        };
    };
    auto removal = [&](int p) {
        keys.push_back({Remove, p, -1});
        return false;
    };
    if (removing) {
        ForEachRemoval(board, index == Own ? Opponent : Own, removal);
    } else {
        switch (StepKind(board, index)) {
        case Put:
            ForEachPut(board, put);
            break;
        case Move:
            EXPECT_EQ(HasMove(board, index),
                      ForEachMove(board, index, [](int, int) { return true; }))
                << "the node's test for a lost side";
            ForEachMove(board, index, step(Move));
            break;
        case Jump:
            ForEachJump(board, index, step(Jump));
            break;
        }
    }
    return keys.empty() ? std::vector<MoveKey>{PassKey} : keys;
}

struct RecordCase {
    const char* name;
    const char* rings;
    int whiteHand, blackHand;
    uint8_t colour;
    bool removing;
    MoveRecord move;
    bool legal;
};

void PrintTo(const RecordCase& c, std::ostream* os) {
    *os << c.name;
}

class LegalRecord : public testing::TestWithParam<RecordCase> {};

TEST_P(LegalRecord, IsAcceptedExactlyWhenTheRulesAllowIt) {
    const RecordCase& c = GetParam();
    const BoardRecord board = MakeBoard(c.rings, c.whiteHand, c.blackHand);
    EXPECT_EQ(IsLegalMoveRecord(board, c.colour, c.removing, c.move), c.legal);
}

// White 0-1-2 stands in a line, white 15 and black 8 stand alone.
constexpr const char* Putting = "11100000 20000001 00000000";
// White moves its four pieces; 0 may go to 7.
constexpr const char* Moving = "11020200 00001001 00000000";
// White down to three.
constexpr const char* Jumping = "10000000 00100000 00000001";

INSTANTIATE_TEST_SUITE_P(
    Cases, LegalRecord,
    testing::Values(
        RecordCase{"PutOnAnEmptyPoint", Putting, 3, 5, Black, false, {3, 17, 99, Put}, true},
        RecordCase{"PutOnAPiece", Putting, 3, 5, Black, false, {1, -1, 0, Put}, false},
        RecordCase{"PutOffTheBoard", Putting, 3, 5, Black, false, {24, -1, 0, Put}, false},
        RecordCase{"PutWithNothingInHand", Putting, 3, 0, Black, false, {3, -1, 0, Put}, false},
        RecordCase{"MoveWhilePutting", Putting, 3, 5, White, false, {2, 3, 0, Move}, false},
        RecordCase{"PassWhilePutting", Putting, 3, 5, Black, false, PassMove, false},
        RecordCase{"MoveAlongALine", Moving, 0, 0, White, false, {0, 7, 0, Move}, true},
        RecordCase{"MoveToNoNeighbour", Moving, 0, 0, White, false, {0, 23, 0, Move}, false},
        RecordCase{"MoveAcrossRings", Moving, 0, 0, White, false, {15, 16, 0, Move}, false},
        RecordCase{"MoveTheOpponentsPiece", Moving, 0, 0, White, false, {3, 4, 0, Move}, false},
        RecordCase{"JumpWithFourOnTheBoard", Moving, 0, 0, White, false, {0, 23, 0, Jump}, false},
        RecordCase{"PassOfASideThatCanMove", Moving, 0, 0, White, false, PassMove, false},
        RecordCase{"PassOfASideShutIn", "12121212 00000000 00000000", 0, 0, White, false, PassMove,
                   true},
        RecordCase{"JumpAnywhere", Jumping, 0, 0, White, false, {0, 20, 0, Jump}, true},
        RecordCase{"AJumperDoesNotMove", Jumping, 0, 0, White, false, {0, 1, 0, Move}, false},
        RecordCase{"JumpOntoAPiece", Jumping, 0, 0, White, false, {0, 10, 0, Jump}, false},
        RecordCase{"RemoveAFreePiece", Putting, 3, 5, White, true, {8, 3, 7, Remove}, true},
        RecordCase{"RemoveOwnPiece", Putting, 3, 5, White, true, {0, -1, 0, Remove}, false},
        RecordCase{"RemoveAProtectedPiece", Putting, 3, 5, Black, true, {1, -1, 0, Remove}, false},
        RecordCase{"RemoveWithoutALine", Putting, 3, 5, White, false, {8, -1, 0, Remove}, false},
        RecordCase{"PassWithAPieceToTake", Putting, 3, 5, White, true, PassMove, false},
        RecordCase{"PassWhenEveryPieceIsProtected", "11100000 22200000 00000000", 0, 3, White, true,
                   PassMove, true},
        RecordCase{"RemoveFromALineOfThreeLeft",
                   "11100000 22200000 00000000",
                   0,
                   0,
                   Black,
                   true,
                   {1, -1, 0, Remove},
                   true},
        RecordCase{"NoSide", Putting, 3, 5, Empty, false, {3, -1, 0, Put}, false},
        RecordCase{"UnknownKind", Putting, 3, 5, Black, false, {3, -1, 0, 6}, false}),
    [](const testing::TestParamInfo<RecordCase>& info) { return info.param.name; });

// Random positions of one phase. The side to move is `mover`; when it owes
// a removal it has just closed a line. The counts in hand are drawn
// between the bounds; the pieces on the board follow from the points.
struct Phase {
    const char* name;
    int moverOn[2], moverHand[2];
    int otherOn[2], otherHand[2];
    bool removing;
    // The other side's pieces all stand in lines of three (1 to 3 lines).
    bool otherAllInLines;
    // The other side's pieces surround the mover's, but for one gap at
    // times.
    bool shutIn;
};

void PrintTo(const Phase& phase, std::ostream* os) {
    *os << phase.name;
}

int Between(std::mt19937& rng, const int (&range)[2]) {
    return range[0] + static_cast<int>(rng() % (range[1] - range[0] + 1));
}

// Fills a line whose points are all empty; false when none is left.
bool FillFreeLine(std::mt19937& rng, BoardRecord& board, uint8_t colour) {
    std::vector<int> free;
    for (int l = 0; l < LineCount; ++l)
        if (std::all_of(std::begin(Lines[l]), std::end(Lines[l]),
                        [&](int8_t p) { return board.cell[p] == Empty; }))
            free.push_back(l);
    if (free.empty())
        return false;
    for (const int8_t p : Lines[free[rng() % free.size()]])
        board.cell[p] = colour;
    return true;
}

void PlaceAtRandom(std::mt19937& rng, BoardRecord& board, uint8_t colour, int count) {
    for (int placed = 0; placed < count;) {
        const int p = static_cast<int>(rng() % PointCount);
        if (board.cell[p] == Empty) {
            board.cell[p] = colour;
            ++placed;
        }
    }
}

// Every empty neighbour of the colour's pieces gets an opposing piece;
// every second time one of them is taken away again.
void Surround(std::mt19937& rng, BoardRecord& board, uint8_t colour) {
    std::vector<int> walls;
    for (int p = 0; p < PointCount; ++p)
        for (const int8_t n : Neighbours[p])
            if (board.cell[p] == colour && n >= 0 && board.cell[n] == Empty) {
                board.cell[n] = OtherColour(colour);
                walls.push_back(n);
            }
    if (!walls.empty() && rng() % 2)
        board.cell[walls[rng() % walls.size()]] = Empty;
}

int CountOn(const BoardRecord& board, uint8_t colour) {
    return static_cast<int>(std::count(std::begin(board.cell), std::end(board.cell), colour));
}

BoardRecord RandomPosition(std::mt19937& rng, const Phase& phase, uint8_t mover) {
    const uint8_t other = OtherColour(mover);
    BoardRecord board = InitBoard();
    if (phase.removing)
        FillFreeLine(rng, board, mover);
    if (phase.otherAllInLines) {
        for (int lines = 1 + static_cast<int>(rng() % 3); lines > 0; --lines)
            FillFreeLine(rng, board, other);
    } else if (!phase.shutIn) {
        PlaceAtRandom(rng, board, other, Between(rng, phase.otherOn));
    }
    PlaceAtRandom(rng, board, mover,
                  std::max(0, Between(rng, phase.moverOn) - CountOn(board, mover)));
    if (phase.shutIn)
        Surround(rng, board, mover);
    board.onBoard[mover - 1] = CountOn(board, mover);
    board.onBoard[other - 1] = CountOn(board, other);
    board.inHand[mover - 1] = Between(rng, phase.moverHand);
    board.inHand[other - 1] = Between(rng, phase.otherHand);
    return board;
}

class SearchAgainstTheRules : public testing::TestWithParam<Phase> {};

TEST_P(SearchAgainstTheRules, GeneratesExactlyTheLegalMoves) {
    const Phase& phase = GetParam();
    std::mt19937 rng(static_cast<uint32_t>(std::hash<std::string>{}(phase.name)));
    for (int round = 0; round < 150; ++round) {
        const uint8_t mover = rng() % 2 ? White : Black;
        const BoardRecord board = RandomPosition(rng, phase, mover);
        SCOPED_TRACE(GameString(mover, phase.removing ? 4 : 1, board));
        const std::vector<MoveKey> legal =
            AcceptedKeys(board, mover, phase.removing, Candidates(rng));
        ASSERT_FALSE(legal.empty()) << "some record, a pass at least, is always legal";

        EXPECT_EQ(Sorted(RootKeys(board, mover, phase.removing)), legal) << "the root";
        // The mover as the search's own side and as its opponent.
        for (const int index : {Own, Opponent}) {
            const SearchBoard packed = PackBoard(board, index == Own ? mover : OtherColour(mover));
            EXPECT_EQ(StepKind(packed, index), StepKind(board, mover));
            EXPECT_EQ(Sorted(NodeKeys(packed, index, phase.removing)), legal)
                << "an inner node, mover at " << index;
        }
        // The controller's questions read the same: whether the side can
        // move at all (the end of the game, the remote side's pass) and
        // whether a closed line gives anything to take.
        bool canMove = false;
        for (int from = 0; from < PointCount; ++from)
            for (int to = 0; to < PointCount; ++to)
                canMove = canMove || IsLegalMove(board, mover, from, to);
        EXPECT_EQ(HasLegalMove(board, mover), canMove);
        if (phase.removing) {
            EXPECT_EQ(BoardRules::HasRemovablePiece(board, mover),
                      legal != std::vector<MoveKey>{PassKey});
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Phases, SearchAgainstTheRules,
    testing::Values(
        Phase{"Placing", {0, 8}, {1, 9}, {0, 8}, {0, 9}, false, false, false},
        Phase{"Moving", {4, 9}, {0, 0}, {3, 9}, {0, 0}, false, false, false},
        // Full boards, and a mover shut in but for a gap at times.
        Phase{"MovingCrowded", {7, 9}, {0, 0}, {7, 9}, {0, 0}, false, false, false},
        Phase{"MovingShutIn", {4, 6}, {0, 0}, {0, 0}, {0, 0}, false, false, true},
        Phase{"Jumping", {3, 3}, {0, 0}, {3, 9}, {0, 0}, false, false, false},
        Phase{"JumpingAgainstPutting", {3, 3}, {0, 0}, {2, 6}, {1, 4}, false, false, false},
        Phase{"RemovingWhilePutting", {3, 8}, {0, 6}, {1, 8}, {1, 6}, true, false, false},
        Phase{"RemovingWhileMoving", {3, 9}, {0, 0}, {3, 9}, {0, 0}, true, false, false},
        Phase{"RemovingFromAJumper", {3, 9}, {0, 0}, {1, 3}, {0, 0}, true, false, false},
        // Every piece of the other side in a line: protected while it has a
        // piece in hand or more than three on the board, free at three.
        Phase{"RemovingAllInLines", {3, 9}, {0, 3}, {0, 0}, {0, 3}, true, true, false}),
    [](const testing::TestParamInfo<Phase>& info) { return info.param.name; });

} // namespace
