#pragma once
// The computer's search and evaluation read word for word on the byte
// board, one point at a time, without any of the fast search's tables or
// bit tricks: slow, and the yardstick the fast search is measured by.

#include <cstdint>
#include <vector>

#include "game/Board.h"

struct ScoredCandidate {
    MoveRecord move;
    int score;
};

class ReferenceSearch {
public:
    ReferenceSearch(uint8_t colour, float errorRate, int depth)
        : colour_(colour), errorRate_(errorRate), depth_(depth) {}

    // One deepening iteration: every root candidate with its score, the
    // best score and the move the root acceptance rule keeps.
    std::vector<ScoredCandidate> Iterate(uint8_t kind, const BoardRecord& board, int& best,
                                         MoveRecord& move);
    int Search(uint8_t kind, BoardRecord board, int ply, bool maximizing, int parentBest);
    int Evaluate(const BoardRecord& board, bool maximizing) const;

    int64_t leaves = 0;

private:
    bool MistakeRoll() const;
    void UpdateBest(int score, int& best, bool maximizing) const;
    void Accept(int score, const MoveRecord& candidate, int& best, MoveRecord& move,
                std::vector<ScoredCandidate>& candidates) const;

    uint8_t colour_;
    float errorRate_;
    int depth_;
};

// The full and the short next phase of a side.
uint8_t ReferenceFullPhase(const BoardRecord& board, uint8_t colour);
uint8_t ReferenceShortPhase(const BoardRecord& board, uint8_t colour);
