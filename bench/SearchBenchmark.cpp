// Leaves per second of the computer's search: one deepening iteration from
// fixed positions of the placing, moving and jumping phases, on the real
// clock, as korvel-search runs it.

#include <benchmark/benchmark.h>

#include <limits>

#include "bench/QuietHost.h"
#include "game/ComputerPlayer.h"
#include "game/GameText.h"

namespace {

struct Position {
    const char* gameString; // the side to move is the computer
    uint8_t kind;
    int depth;
};

// The empty board, black to put.
constexpr Position Placing{"250000000000000000000000000099", Put, 4};
// Four pieces a side on the board and five in hand each.
constexpr Position PlacingMiddle{"251002010001002000020010204455", Put, 4};
// Seven pieces a side, none in hand.
constexpr Position Moving{"211212102001010202021021007700", Move, 6};
// Three pieces a side, both jumping.
constexpr Position Jumping{"232000100000201000000201003300", Jump, 3};

void Search(benchmark::State& state, const Position& position) {
    uint8_t side = 0, gameState = 0;
    BoardRecord board{};
    if (!ReadGameString(position.gameString, side, gameState, board)) {
        state.SkipWithError("bad game string");
        return;
    }
    QuietHost host;
    ComputerPlayer computer("bench", nullptr, side, host);
    computer.SetTimeLimit(std::numeric_limits<int>::max());
    computer.Depth = position.depth;
    int64_t leaves = 0;
    for (auto _ : state) {
        computer.Abort = 0;
        computer.StartTime = host.Clock().Now();
        int best = 0;
        MoveRecord move = PassMove;
        computer.RunIteration(position.kind, board, best, move);
        benchmark::DoNotOptimize(best);
        leaves += computer.NodeCounter;
    }
    state.counters["leaves"] = benchmark::Counter(static_cast<double>(computer.NodeCounter));
    state.counters["leaves/s"] =
        benchmark::Counter(static_cast<double>(leaves), benchmark::Counter::kIsRate);
}

BENCHMARK_CAPTURE(Search, PlacingEmptyDepth4, Placing)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Search, PlacingMiddleDepth4, PlacingMiddle)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Search, MovingSevenDepth6, Moving)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Search, JumpingThreeDepth3, Jumping)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
