#include "tests/game/ReferenceSearch.h"

#include "game/BoardRules.h"
#include "game/ComputerPlayer.h"
#include "game/Random.h"

uint8_t ReferenceFullPhase(const BoardRecord& board, uint8_t colour) {
    if (board.inHand[colour - 1] == 0 && board.onBoard[colour - 1] <= 3)
        return Jump;
    if (board.inHand[colour - 1] > 0)
        return Put;
    return Move;
}

uint8_t ReferenceShortPhase(const BoardRecord& board, uint8_t colour) {
    if (board.inHand[colour - 1] == 0 && board.onBoard[colour - 1] <= 3)
        return Jump;
    return Move;
}

namespace {

int Total(const BoardRecord& board, uint8_t colour) {
    return board.onBoard[colour - 1] + board.inHand[colour - 1];
}

} // namespace

bool ReferenceSearch::MistakeRoll() const {
    return (RandomNumber() % 1000) * 0.001 < errorRate_;
}

void ReferenceSearch::UpdateBest(int score, int& best, bool maximizing) const {
    if (maximizing) {
        if (score > best)
            best = score;
    } else if (score < best) {
        if (!MistakeRoll())
            best = score;
    }
}

void ReferenceSearch::Accept(int score, const MoveRecord& candidate, int& best, MoveRecord& move,
                             std::vector<ScoredCandidate>& candidates) const {
    candidates.push_back({candidate, score});
    bool considered = score > best;
    if (!considered && score == best)
        considered = RandomNumber() % 2 == 1;
    if (considered) {
        const bool mistake = MistakeRoll();
        if (!(mistake && best != -32000)) {
            best = score;
            move = candidate;
        }
    }
}

std::vector<ScoredCandidate> ReferenceSearch::Iterate(uint8_t kind, const BoardRecord& board,
                                                      int& best, MoveRecord& move) {
    std::vector<ScoredCandidate> candidates;
    leaves = 0;
    best = -32000;
    const uint8_t opponent = OtherColour(colour_);
    if (kind == Put) {
        for (int p = 0; p < 24; ++p) {
            if (board.cell[p] != 0)
                continue;
            BoardRecord work = board;
            work.cell[p] = colour_;
            work.inHand[colour_ - 1] -= 1;
            work.onBoard[colour_ - 1] += 1;
            int score;
            if (IsInLineOfThree(work, p))
                score = Search(Remove, work, 0, true, -32000) + 2000;
            else
                score = Search(ReferenceFullPhase(work, opponent), work, 1, false, best);
            Accept(score, {p, 0, 0, Put}, best, move, candidates);
        }
    } else if (kind == Move || kind == Jump) {
        for (int p = 0; p < 24; ++p) {
            if (board.cell[p] != colour_)
                continue;
            // Moves visit the neighbours in table order, jumps every point.
            std::vector<int> targets;
            if (kind == Move) {
                int n[4] = {-1, -1, -1, -1};
                BoardRules::GetNeighbours(p, n[0], n[1], n[2], n[3]);
                targets.assign(n, n + 4);
            } else {
                for (int q = 0; q < 24; ++q)
                    targets.push_back(q);
            }
            for (const int q : targets) {
                if (q < 0 || board.cell[q] != 0)
                    continue;
                BoardRecord work = board;
                work.cell[q] = colour_;
                work.cell[p] = 0;
                int score;
                if (IsInLineOfThree(work, q))
                    score = Search(Remove, work, 0, true, -32000) + 5000;
                else
                    score = Search(ReferenceShortPhase(work, opponent), work, 1, false, best);
                Accept(score, {p, q, 0, kind}, best, move, candidates);
            }
        }
    } else if (kind == Remove) {
        for (int r = 0; r < 24; ++r) {
            if (board.cell[r] != opponent || !IsRemovable(board, r))
                continue;
            BoardRecord work = board;
            work.cell[r] = 0;
            work.onBoard[opponent - 1] -= 1;
            int score;
            if (Total(work, opponent) < 3)
                score = 30001;
            else
                score = Search(ReferenceFullPhase(work, opponent), work, 1, false, best);
            Accept(score, {r, 0, 0, Remove}, best, move, candidates);
        }
    }
    return candidates;
}

int ReferenceSearch::Search(uint8_t kind, BoardRecord board, int ply, bool maximizing,
                            int parentBest) {
    (void)parentBest;
    if (ply > depth_) {
        ++leaves;
        return Evaluate(board, maximizing);
    }
    int best = maximizing ? -32000 : 32000;
    const uint8_t mover = maximizing ? colour_ : OtherColour(colour_);
    const uint8_t other = OtherColour(mover);
    if (kind == Put) {
        for (int p = 0; p < 24; ++p) {
            if (board.cell[p] != 0)
                continue;
            BoardRecord child = board;
            child.cell[p] = mover;
            child.inHand[mover - 1] -= 1;
            child.onBoard[mover - 1] += 1;
            int score;
            if (IsInLineOfThree(child, p))
                score = Search(Remove, child, ply, maximizing, parentBest);
            else
                score = Search(ReferenceFullPhase(child, other), child, ply + 1, !maximizing, best);
            UpdateBest(score, best, maximizing);
        }
    } else if (kind == Move) {
        if (!HasLegalMove(board, mover))
            return maximizing ? -31999 : 31999;
        for (int p = 0; p < 24; ++p) {
            if (board.cell[p] != mover)
                continue;
            int n[4] = {-1, -1, -1, -1};
            BoardRules::GetNeighbours(p, n[0], n[1], n[2], n[3]);
            for (const int q : n) {
                if (q < 0 || board.cell[q] != 0)
                    continue;
                BoardRecord child = board;
                child.cell[q] = mover;
                child.cell[p] = 0;
                int score;
                if (IsInLineOfThree(child, q))
                    score = Search(Remove, child, ply, maximizing, parentBest);
                else
                    score = Search(ReferenceShortPhase(child, other), child, ply + 1, !maximizing,
                                   best);
                UpdateBest(score, best, maximizing);
            }
        }
    } else if (kind == Jump) {
        for (int p = 0; p < 24; ++p) {
            if (board.cell[p] != mover)
                continue;
            for (int q = 0; q < 24; ++q) {
                if (board.cell[q] != 0)
                    continue;
                BoardRecord child = board;
                child.cell[q] = mover;
                child.cell[p] = 0;
                int score;
                if (IsInLineOfThree(child, q))
                    score = Search(Remove, child, ply, maximizing, parentBest);
                else
                    score = Search(ReferenceShortPhase(child, other), child, ply + 1, !maximizing,
                                   best);
                UpdateBest(score, best, maximizing);
            }
        }
    } else if (kind == Remove) {
        if (!BoardRules::HasRemovablePiece(board, mover)) {
            best = Search(ReferenceFullPhase(board, other), board, ply + 1, !maximizing, best);
        } else {
            for (int p = 0; p < 24; ++p) {
                if (board.cell[p] != other || !IsRemovable(board, p))
                    continue;
                BoardRecord child = board;
                child.cell[p] = 0;
                child.onBoard[other - 1] -= 1;
                if (Total(child, 1) < 3 || Total(child, 2) < 3)
                    return maximizing ? 31999 : -31999;
                const int score =
                    Search(ReferenceFullPhase(child, other), child, ply + 1, !maximizing, best);
                UpdateBest(score, best, maximizing);
            }
        }
    }
    if (best == 32000 || best == -32000)
        best = Search(ReferenceShortPhase(board, other), board, ply + 1, !maximizing, best);
    return best;
}

int ReferenceSearch::Evaluate(const BoardRecord& board, bool maximizing) const {
    const uint8_t own = colour_;
    const uint8_t other = OtherColour(own);
    const int ownTotal = Total(board, own);
    const int otherTotal = Total(board, other);
    if (ownTotal < 3)
        return -31999;
    if (otherTotal < 3)
        return 31999;
    int c = 20;
    if ((maximizing && board.inHand[own - 1] > 0) || (!maximizing && board.inHand[other - 1] > 0))
        c = 300;
    int ownSwing = 0, ownLine = 0, ownBlocked = 0, otherSwing = 0, otherLine = 0, otherBlocked = 0,
        ownThreats = 0, otherThreats = 0, ownCross = 0, otherCross = 0;
    for (int p = 0; p < 24; ++p) {
        const bool cross = p == 9 || p == 11 || p == 13 || p == 15;
        if (board.cell[p] == own) {
            ownCross += cross;
            if (IsInLineOfThree(board, p)) {
                if (ComputerPlayer::CanSwingIntoLine(board, p))
                    ++ownSwing;
                else
                    ++ownLine;
            }
            if (ComputerPlayer::IsBlocked(board, p))
                ++ownBlocked;
        } else if (board.cell[p] == other) {
            otherCross += cross;
            if (IsInLineOfThree(board, p)) {
                if (ComputerPlayer::CanSwingIntoLine(board, p))
                    ++otherSwing;
                else
                    ++otherLine;
                if (ComputerPlayer::IsBlocked(board, p))
                    ++otherBlocked;
            }
        } else {
            if (ComputerPlayer::WouldCloseLine(board, own, p))
                ++ownThreats;
            if (ComputerPlayer::WouldCloseLine(board, other, p))
                ++otherThreats;
        }
    }
    const int bOwn = static_cast<int>(150.0 * ownBlocked / ownTotal);
    const int bOther = static_cast<int>(150.0 * otherBlocked / otherTotal);
    return 1500 * (ownTotal - otherTotal) - bOwn * bOwn + bOther * bOther + c * ownCross -
           c * otherCross + 80 * ownLine + 1000 * ownSwing - 80 * otherLine - 1000 * otherSwing +
           150 * ownThreats - 150 * otherThreats;
}
