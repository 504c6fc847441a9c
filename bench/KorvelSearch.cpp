// korvel-search GAMESTRING KIND DEPTH
//
// Runs one deepening iteration of the computer's search at horizon DEPTH
// for the side to move of GAMESTRING, with root kind KIND (1 Put, 2 Move,
// 3 Jump, 4 Remove): no opening rules, no clock, no mistakes. Prints every
// root candidate in generation order as its MoveText and score, then the
// leaves evaluated, the best score and the wall time of the iteration.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

#include "bench/QuietHost.h"
#include "game/ComputerPlayer.h"
#include "game/GameText.h"

namespace {

constexpr int BadArguments = 2;
constexpr int SearchFailed = 1;
constexpr int DeepestHorizon = 100;

[[noreturn]] void Refuse(const std::string& message) {
    std::fprintf(stderr, "korvel-search: %s\n", message.c_str());
    std::exit(BadArguments);
}

// A whole decimal number from first to last, or nothing.
std::optional<int> NumberIn(const std::string& text, int first, int last) {
    if (text.empty() || text.size() > 3 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const int value = std::stoi(text);
    if (value < first || value > last)
        return std::nullopt;
    return value;
}

struct Position {
    uint8_t side;
    BoardRecord board;
};

Position ReadPosition(const std::string& text) {
    Position position{};
    uint8_t state = 0;
    bool read = false;
    try {
        read = ReadGameString(text, position.side, state, position.board);
    } catch (const EConvertError&) {
        read = false;
    }
    if (!read)
        Refuse("GAMESTRING must be 30 digits: side to move 1 or 2, game state, 24 points 0 to "
               "2, four counts");
    return position;
}

class CandidatePrinter final : public ComputerPlayer::RootObserver {
public:
    void Candidate(const MoveRecord& move, int score) override {
        std::printf("%s %d\n", MoveToText(move).c_str(), score);
    }
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 4)
        Refuse("usage: korvel-search GAMESTRING KIND DEPTH");
    const Position position = ReadPosition(argv[1]);
    const std::optional<int> kind = NumberIn(argv[2], Put, Remove);
    if (!kind)
        Refuse("KIND must be 1 (Put), 2 (Move), 3 (Jump) or 4 (Remove)");
    const std::optional<int> depth = NumberIn(argv[3], 1, DeepestHorizon);
    if (!depth)
        Refuse("DEPTH must be a whole number from 1 to " + std::to_string(DeepestHorizon));

    QuietHost host;
    ComputerPlayer computer("korvel-search", nullptr, position.side, host);
    computer.SetTimeLimit(std::numeric_limits<int>::max());
    computer.StartTime = host.Clock().Now();
    computer.Abort = 0;
    computer.Depth = *depth;

    CandidatePrinter printer;
    int best = 0;
    MoveRecord move = PassMove;
    const auto start = std::chrono::steady_clock::now();
    try {
        computer.RunIteration(static_cast<uint8_t>(*kind), position.board, best, move, &printer);
    } catch (const Exception& error) {
        std::fprintf(stderr, "korvel-search: %s\n", error.Message.c_str());
        return SearchFailed;
    }
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    std::printf("leaves %lld\n", static_cast<long long>(computer.NodeCounter));
    std::printf("best %d\n", best);
    std::printf("seconds %.3f\n", seconds.count());
    return 0;
}
