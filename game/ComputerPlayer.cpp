#include "game/ComputerPlayer.h"

#include <typeinfo>
#include <utility>

#include "game/BoardRules.h"
#include "game/MoveRules.h"

namespace {

constexpr int ThinkingText = 134;
// The depth cap of a turn early in a game that colour 1 opened.
constexpr int OpeningDepthCap = 100;

constexpr int MaximizingStart = -32000;
constexpr int MinimizingStart = 32000;
constexpr int Won = 31999;
constexpr int WinningRemoval = 30001;
constexpr int DecisiveRoot = 30000;
constexpr int PutLineBonus = 2000;
constexpr int StepLineBonus = 5000;
// Leaves an iteration evaluates before the search reads the clock.
constexpr int64_t ClockFreeLeaves = 1000;

constexpr int CrossWeightWithHand = 300;
constexpr int CrossWeight = 20;
constexpr int BlockedWeight = 150;

constexpr int OpeningReplies[PointCount] = {4,  3, 6,  9,  0,  15, 15, 9,  12, 13, 15, 15,
                                            11, 9, 11, 11, 21, 11, 13, 15, 15, 15, 9,  9};

// The full next phase of a side is the step the rules make due (StepKind:
// jump when it may, else put when it has a piece in hand, else move). The
// short next phase leaves out the put.
uint8_t ShortNextPhase(const BoardRecord& board, uint8_t colour) {
    return MayJump(board, colour) ? Jump : Move;
}

inline uint8_t ShortNextPhase(const SearchBoard& board, int side) {
    return MayJump(board, side) ? Jump : Move;
}

inline int PieceTotal(const SearchBoard& board, int side) {
    return board.onBoard[side] + board.inHand[side];
}

// B(side) squared: 150 x blocked pieces / all pieces, truncated toward zero.
struct BlockedPenaltyTable {
    static constexpr int MaxTotal = 18;
    int penalty[PointCount + 1][MaxTotal + 1];
    constexpr BlockedPenaltyTable() : penalty{} {
        for (int blocked = 0; blocked <= PointCount; ++blocked)
            for (int total = 1; total <= MaxTotal; ++total) {
                const int b = static_cast<int>(double{BlockedWeight} * blocked / total);
                penalty[blocked][total] = b * b;
            }
    }
};
constexpr BlockedPenaltyTable BlockedPenalties{};

inline int BlockedPenalty(int blocked, int total) {
    if (total <= BlockedPenaltyTable::MaxTotal)
        return BlockedPenalties.penalty[blocked][total];
    const int b = static_cast<int>(double{BlockedWeight} * blocked / total);
    return b * b;
}

[[noreturn]] void RaiseIllegalJump() {
    throw Exception("trying to perform illegal jump!");
}

} // namespace

ComputerPlayer::ComputerPlayer(AnsiString name, VellGameControl* game, uint8_t colour,
                               PlayerHost& host)
    : Player(std::move(name), game, colour, host), Abort(0), StartTime(0), LastSecond(0), Depth(1),
      TimeLimit(1), NodeCounter(0), OwnThreatWeight(150), OwnLinePieceWeight(80),
      OwnSwingPieceWeight(1000), OpponentThreatWeight(-150), OpponentLinePieceWeight(-80),
      OpponentSwingPieceWeight(-1000), MaterialWeight(1500), Clock(host.Clock()) {
    ErrorRate = 0;
}

void ComputerPlayer::SetTimeLimit(const int& seconds) {
    TimeLimit = seconds;
}

// ---------------------------------------------------------------- the turn

// The board arrives by value: the turn works on its own copy.
void ComputerPlayer::TakeTurn(const uint8_t& kind, BoardRecord board) {
    const int depthCap = Host.GetDepthCap();
    if (Colour == Black && board.inHand[Black - 1] >= 5 && Host.GetWhoStarts())
        Host.SetDepthCap(OpeningDepthCap);
    MoveRecord move;
    try {
        move = ChooseMove(kind, board);
    } catch (...) {
        Host.SetDepthCap(depthCap);
        throw;
    }
    Host.SetDepthCap(depthCap);
    if (!Host.TurnCancelled())
        Host.SubmitMove(move, true);
}

MoveRecord ComputerPlayer::ChooseMove(const uint8_t& kind, const BoardRecord& board) {
    SetRandomSeed(static_cast<uint32_t>(Clock.Now()));
    Host.SetStatusText(Name + ": " + Host.GetString(ThinkingText));
    StartTime = Clock.Now();
    Abort = 0;
    Depth = 1;
    MoveRecord move;
    if (OpeningMove(board, move))
        return move;
    return Deepen(kind, board);
}

bool ComputerPlayer::OpeningMove(const BoardRecord& board, MoveRecord& move) {
    const int opponentOnBoard = board.onBoard[OtherColour(Colour) - 1];
    if (opponentOnBoard == 0) {
        move = {RandomNumber() % 2 == 1 ? 9 : 15, 0, 0, Put};
        return true;
    }
    if (opponentOnBoard != 1 || board.onBoard[Colour - 1] != 0)
        return false;
    for (int p = 0; p < PointCount; ++p)
        if (board.cell[p] != Empty) {
            move = {OpeningReply(p), 0, 0, Put};
            return true;
        }
    return false;
}

MoveRecord ComputerPlayer::Deepen(const uint8_t& kind, const BoardRecord& board) {
    MoveRecord iterationMove = PassMove;
    MoveRecord move = PassMove;
    for (;;) {
        LetMessagesRun();
        int best;
        if (!RunIteration(kind, board, best, iterationMove))
            return iterationMove;
        const bool ends =
            Abort || best > DecisiveRoot || (Host.GetDepthCap() < Depth && kind != Move);
        // A cut-off iteration is thrown away, unless no iteration has
        // completed: then its best candidate so far is all there is.
        if (!Abort || Depth == 1)
            move = iterationMove;
        if (!Abort)
            ++Depth;
        if (ends)
            return move;
    }
}

// --------------------------------------------------------- the root candidates

bool ComputerPlayer::RunIteration(const uint8_t& kind, const BoardRecord& board, int& best,
                                  MoveRecord& iterationMove, RootObserver* observer) {
    NodeCounter = 0;
    best = MaximizingStart;
    switch (kind) {
    case Put:
        PutCandidates(board, best, iterationMove, observer);
        return true;
    case Move:
        if (!HasLegalMove(board, Colour))
            throw Exception("computer has no move to make!!!");
        MoveCandidates(board, best, iterationMove, observer);
        return true;
    case Jump:
        JumpCandidates(board, best, iterationMove, observer);
        return true;
    case Remove:
        if (!BoardRules::HasRemovablePiece(board, Colour)) {
            iterationMove = PassMove;
            return false;
        }
        RemoveCandidates(board, best, iterationMove, observer);
        return true;
    default:
        iterationMove = PassMove;
        return false;
    }
}

void ComputerPlayer::PutCandidates(const BoardRecord& board, int& best, MoveRecord& iterationMove,
                                   RootObserver* observer) {
    const uint8_t opponent = OtherColour(Colour);
    for (int p = 0; p < PointCount && !Abort; ++p) {
        if (board.cell[p] != Empty)
            continue;
        BoardRecord work = board;
        work.cell[p] = Colour;
        --work.inHand[Colour - 1];
        ++work.onBoard[Colour - 1];
        const int score = IsInLineOfThree(work, p)
                              ? Search(Remove, work, 0, true, MaximizingStart) + PutLineBonus
                              : Search(StepKind(work, opponent), work, 1, false, best);
        Accept(score, {p, 0, 0, Put}, best, iterationMove, observer);
    }
}

void ComputerPlayer::MoveCandidates(const BoardRecord& board, int& best, MoveRecord& iterationMove,
                                    RootObserver* observer) {
    for (int p = 0; p < PointCount; ++p) {
        if (board.cell[p] != Colour)
            continue;
        for (const int8_t n : Neighbours[p]) {
            if (Abort)
                return;
            if (n < 0 || board.cell[n] != Empty)
                continue;
            BoardRecord work = board;
            work.cell[n] = Colour;
            work.cell[p] = Empty;
            Accept(ScoreStep(work, n, best), {p, n, 0, Move}, best, iterationMove, observer);
        }
    }
}

void ComputerPlayer::JumpCandidates(const BoardRecord& board, int& best, MoveRecord& iterationMove,
                                    RootObserver* observer) {
    for (int p = 0; p < PointCount; ++p) {
        if (board.cell[p] != Colour)
            continue;
        for (int q = 0; q < PointCount; ++q) {
            if (Abort)
                return;
            if (board.cell[q] != Empty)
                continue;
            if (!MayJump(board, Colour))
                RaiseIllegalJump();
            BoardRecord work = board;
            work.cell[q] = Colour;
            work.cell[p] = Empty;
            Accept(ScoreStep(work, q, best), {p, q, 0, Jump}, best, iterationMove, observer);
        }
    }
}

void ComputerPlayer::RemoveCandidates(const BoardRecord& board, int& best,
                                      MoveRecord& iterationMove, RootObserver* observer) {
    const uint8_t opponent = OtherColour(Colour);
    for (int r = 0; r < PointCount && !Abort; ++r) {
        if (board.cell[r] != opponent || !IsRemovable(board, r))
            continue;
        BoardRecord work = board;
        work.cell[r] = Empty;
        --work.onBoard[opponent - 1];
        const int score = PieceTotal(work, opponent) < 3
                              ? WinningRemoval
                              : Search(StepKind(work, opponent), work, 1, false, best);
        Accept(score, {r, 0, 0, Remove}, best, iterationMove, observer);
    }
}

int ComputerPlayer::ScoreStep(const BoardRecord& board, int to, int best) {
    if (IsInLineOfThree(board, to))
        return Search(Remove, board, 0, true, MaximizingStart) + StepLineBonus;
    return Search(ShortNextPhase(board, OtherColour(Colour)), board, 1, false, best);
}

// The root acceptance rule: a better candidate, or an equal one when the
// next number is odd, is taken unless a mistake passes it over (never the
// first one).
void ComputerPlayer::Accept(int score, const MoveRecord& candidate, int& best,
                            MoveRecord& iterationMove, RootObserver* observer) {
    if (observer)
        observer->Candidate(candidate, score);
    const bool considered = score > best || (score == best && RandomNumber() % 2 == 1);
    if (!considered)
        return;
    if (MistakeRoll() && best != MaximizingStart)
        return;
    best = score;
    iterationMove = candidate;
}

// ------------------------------------------------------------ the search nodes

int ComputerPlayer::Search(const uint8_t& kind, BoardRecord board, const int& ply,
                           const bool& maximizing, const int& parentBest) {
    Assert(Colour == White || Colour == Black, "ComputerPlayer::Search: colour is not 1 or 2");
    const SearchBoard packed = PackBoard(board, Colour);
    // When this object is a ComputerPlayer and nothing derived, its prune
    // hook is the one declared with the class: the nodes call it directly
    // and it folds away. A derived player is asked through the virtual call.
    if (typeid(*this) == typeid(ComputerPlayer))
        return maximizing ? Visit<true, true>(kind, packed, ply, parentBest)
                          : Visit<true, false>(kind, packed, ply, parentBest);
    return maximizing ? Visit<false, true>(kind, packed, ply, parentBest)
                      : Visit<false, false>(kind, packed, ply, parentBest);
}

// Steps 1 to 3 of a node (clock, abort, horizon), inlined into the parent's
// loop so that a leaf costs no call; the rest is Expand.
template <bool OwnCanPrune, bool Maximizing>
inline int ComputerPlayer::Visit(uint8_t kind, const SearchBoard& board, int ply, int parentBest) {
    if (NodeCounter > ClockFreeLeaves)
        ReadClock();
    if (Abort)
        return 0;
    if (ply > Depth) {
        ++NodeCounter;
        return EvaluateSearchBoard(board, Maximizing);
    }
    return Expand<OwnCanPrune, Maximizing>(kind, board, ply, parentBest);
}

template <bool OwnCanPrune, bool Maximizing>
int ComputerPlayer::Expand(uint8_t kind, const SearchBoard& board, int ply, int parentBest) {
    switch (kind) {
    case Put:
        return PutNode<OwnCanPrune, Maximizing>(board, ply, parentBest);
    case Move:
        return MoveNode<OwnCanPrune, Maximizing>(board, ply, parentBest);
    case Jump:
        return JumpNode<OwnCanPrune, Maximizing>(board, ply, parentBest);
    case Remove:
        return RemoveNode<OwnCanPrune, Maximizing>(board, ply, parentBest);
    default:
        return Settle<OwnCanPrune, Maximizing>(Maximizing ? MaximizingStart : MinimizingStart,
                                               board, ply);
    }
}

template <bool OwnCanPrune, bool Maximizing>
int ComputerPlayer::PutNode(const SearchBoard& board, int ply, int parentBest) {
    constexpr int mover = Maximizing ? Own : Opponent;
    constexpr int other = Maximizing ? Opponent : Own;
    int best = Maximizing ? MaximizingStart : MinimizingStart;
    const bool pruned = ForEachPut(board, [&](int p) {
        SearchBoard child = board;
        child.pieces[mover] |= PointBit(p);
        --child.inHand[mover];
        ++child.onBoard[mover];
        return Arrive<OwnCanPrune, Maximizing>(child, p, StepKind(child, other), ply, parentBest,
                                               best);
    });
    if (pruned)
        return best;
    return Settle<OwnCanPrune, Maximizing>(best, board, ply);
}

template <bool OwnCanPrune, bool Maximizing>
int ComputerPlayer::MoveNode(const SearchBoard& board, int ply, int parentBest) {
    constexpr int mover = Maximizing ? Own : Opponent;
    if (!HasMove(board, mover))
        return Maximizing ? -Won : Won;
    int best = Maximizing ? MaximizingStart : MinimizingStart;
    const bool pruned = ForEachMove(board, mover, [&](int p, int n) {
        return Step<OwnCanPrune, Maximizing>(board, p, n, ply, parentBest, best);
    });
    if (pruned)
        return best;
    return Settle<OwnCanPrune, Maximizing>(best, board, ply);
}

template <bool OwnCanPrune, bool Maximizing>
int ComputerPlayer::JumpNode(const SearchBoard& board, int ply, int parentBest) {
    constexpr int mover = Maximizing ? Own : Opponent;
    int best = Maximizing ? MaximizingStart : MinimizingStart;
    const bool pruned = ForEachJump(board, mover, [&](int p, int q) {
        if (!MayJump(board, mover))
            RaiseIllegalJump();
        return Step<OwnCanPrune, Maximizing>(board, p, q, ply, parentBest, best);
    });
    if (pruned)
        return best;
    return Settle<OwnCanPrune, Maximizing>(best, board, ply);
}

// The mover's move or jump from `from` to `to`.
template <bool OwnCanPrune, bool Maximizing>
inline bool ComputerPlayer::Step(const SearchBoard& board, int from, int to, int ply,
                                 int parentBest, int& best) {
    constexpr int mover = Maximizing ? Own : Opponent;
    constexpr int other = Maximizing ? Opponent : Own;
    SearchBoard child = board;
    child.pieces[mover] ^= PointBit(from) | PointBit(to);
    return Arrive<OwnCanPrune, Maximizing>(child, to, ShortNextPhase(child, other), ply, parentBest,
                                           best);
}

// The child in which a piece of the mover has arrived on `to`, its score
// folded into the node's best; true when the node is pruned. A closed line
// makes the same side remove at the same ply, otherwise the other side
// makes a step of `next`.
template <bool OwnCanPrune, bool Maximizing>
inline bool ComputerPlayer::Arrive(const SearchBoard& child, int to, uint8_t next, int ply,
                                   int parentBest, int& best) {
    constexpr int mover = Maximizing ? Own : Opponent;
    const int score = ClosesLine(child.pieces[mover], to)
                          ? Visit<OwnCanPrune, Maximizing>(Remove, child, ply, parentBest)
                          : Visit<OwnCanPrune, !Maximizing>(next, child, ply + 1, best);
    Fold<Maximizing>(score, best);
    return Prune<OwnCanPrune>(score, parentBest, Maximizing);
}

template <bool OwnCanPrune, bool Maximizing>
int ComputerPlayer::RemoveNode(const SearchBoard& board, int ply, int parentBest) {
    constexpr int other = Maximizing ? Opponent : Own;
    int best = Maximizing ? MaximizingStart : MinimizingStart;
    if (!RemovablePieces(board, other)) {
        best = Visit<OwnCanPrune, !Maximizing>(StepKind(board, other), board, ply + 1, best);
        return Settle<OwnCanPrune, Maximizing>(best, board, ply);
    }
    // Stops at a removal that ends the game (best becomes the win) or at a
    // pruned child.
    const bool stopped = ForEachRemoval(board, other, [&](int p) {
        SearchBoard child = board;
        child.pieces[other] &= ~PointBit(p);
        --child.onBoard[other];
        if (PieceTotal(child, Own) < 3 || PieceTotal(child, Opponent) < 3) {
            best = Maximizing ? Won : -Won;
            return true;
        }
        const int score =
            Visit<OwnCanPrune, !Maximizing>(StepKind(child, other), child, ply + 1, best);
        Fold<Maximizing>(score, best);
        return Prune<OwnCanPrune>(score, parentBest, Maximizing);
    });
    if (stopped)
        return best;
    return Settle<OwnCanPrune, Maximizing>(best, board, ply);
}

// Step 7: a node whose best is still a starting value (no child was taken)
// hands the turn to the other side's short next phase.
template <bool OwnCanPrune, bool Maximizing>
inline int ComputerPlayer::Settle(int best, const SearchBoard& board, int ply) {
    constexpr int other = Maximizing ? Opponent : Own;
    if (best == MinimizingStart || best == MaximizingStart)
        best = Visit<OwnCanPrune, !Maximizing>(ShortNextPhase(board, other), board, ply + 1, best);
    return best;
}

void ComputerPlayer::UpdateBest(const int& score, int& best, const bool& maximizing) {
    if (maximizing)
        Fold<true>(score, best);
    else
        Fold<false>(score, best);
}

template <bool Maximizing> inline void ComputerPlayer::Fold(int score, int& best) {
    if (Maximizing) {
        if (score > best)
            best = score;
    } else if (score < best && !MistakeRoll()) {
        best = score;
    }
}

template <bool OwnCanPrune>
inline bool ComputerPlayer::Prune(int score, int parentBest, bool maximizing) {
    if (OwnCanPrune)
        return ComputerPlayer::CanPrune(score, parentBest, maximizing);
    return CanPrune(score, parentBest, maximizing);
}

// ------------------------------------------------------------------ the clock

inline void ComputerPlayer::ReadClock() {
    const int now = Clock.Now();
    if (now != LastSecond) [[unlikely]]
        SeeSecond(now);
    if (LastSecond - StartTime > TimeLimit)
        Abort = 1;
}

void ComputerPlayer::SeeSecond(int now) {
    LastSecond = now;
    Host.SetStatusText(Host.GetStatusText() + "*");
    LetMessagesRun();
}

void ComputerPlayer::LetMessagesRun() {
    Host.ProcessMessages();
    if (Host.TurnCancelled())
        Abort = 1;
}

// ------------------------------------------------------------- the evaluation

int ComputerPlayer::Evaluate(BoardRecord board, bool maximizing) {
    Assert(Colour == White || Colour == Black, "ComputerPlayer::Evaluate: colour is not 1 or 2");
    return EvaluateSearchBoard(PackBoard(board, Colour), maximizing);
}

inline int ComputerPlayer::EvaluateSearchBoard(const SearchBoard& board, bool maximizing) const {
    const int ownTotal = PieceTotal(board, Own);
    const int opponentTotal = PieceTotal(board, Opponent);
    if (ownTotal < 3)
        return -Won;
    if (opponentTotal < 3)
        return Won;
    const int crossWeight =
        board.inHand[maximizing ? Own : Opponent] > 0 ? CrossWeightWithHand : CrossWeight;

    // Both sides at once: the computer in the low half, the opponent in the
    // high half.
    const uint64_t empty = Spread<uint64_t>(EmptyPoints(board));
    const uint64_t pieces = board.pieces[Own] | uint64_t{board.pieces[Opponent]} << 32;
    const LineCompletions<uint64_t> completions = CompletionsOf(pieces);
    const uint64_t inLine = pieces & completions.Any();
    const uint64_t threats = empty & completions.Any();
    // Swings and the opponent's blocked pieces need a piece in a line.
    uint64_t swing = 0;
    uint64_t blocked = pieces & ~NextToEmpty(EmptyPoints(board)) & AllPoints;
    if (inLine) {
        swing = inLine & SwingSources(completions, empty);
        blocked |= uint64_t{~NextToEmpty(EmptyPoints(board))} << 32 & inLine;
    }
    const int ownBlocked = CountPoints(OwnHalf(blocked));
    const int opponentBlocked = CountPoints(OpponentHalf(blocked));
    const int ownSwing = CountPoints(OwnHalf(swing));
    const int opponentSwing = CountPoints(OpponentHalf(swing));
    const int ownLine = CountPoints(OwnHalf(inLine)) - ownSwing;
    const int opponentLine = CountPoints(OpponentHalf(inLine)) - opponentSwing;
    const int ownCross = CountPoints((board.pieces[Own] & CrossPoints) >> 8);
    const int opponentCross = CountPoints((board.pieces[Opponent] & CrossPoints) >> 8);

    return MaterialWeight * (ownTotal - opponentTotal) - BlockedPenalty(ownBlocked, ownTotal) +
           BlockedPenalty(opponentBlocked, opponentTotal) +
           crossWeight * (ownCross - opponentCross) + OwnLinePieceWeight * ownLine +
           OwnSwingPieceWeight * ownSwing + OpponentLinePieceWeight * opponentLine +
           OpponentSwingPieceWeight * opponentSwing +
           OwnThreatWeight * CountPoints(OwnHalf(threats)) +
           OpponentThreatWeight * CountPoints(OpponentHalf(threats));
}

// --------------------------------------------------------- the feature tests

int ComputerPlayer::OpeningReply(int point) {
    return OpeningReplies[point];
}

bool ComputerPlayer::WouldCloseLine(const BoardRecord& board, uint8_t colour, int point) {
    if (board.cell[point] != Empty)
        return false;
    for (const int8_t line : LinesThroughPoint[point]) {
        int holding = 0;
        for (const int8_t q : Lines[line])
            if (q != point && board.cell[q] == colour)
                ++holding;
        if (holding == 2)
            return true;
    }
    return false;
}

bool ComputerPlayer::CanSwingIntoLine(const BoardRecord& board, int point) {
    const uint8_t colour = board.cell[point];
    for (const int8_t n : Neighbours[point]) {
        if (n < 0 || board.cell[n] != Empty)
            continue;
        for (const int8_t line : LinesThroughPoint[n]) {
            const int8_t* points = Lines[line];
            if (points[0] == point || points[1] == point || points[2] == point)
                continue;
            int holding = 0;
            for (int i = 0; i < 3; ++i)
                if (points[i] != n && board.cell[points[i]] == colour)
                    ++holding;
            if (holding == 2)
                return true;
        }
    }
    return false;
}

bool ComputerPlayer::IsBlocked(const BoardRecord& board, int point) {
    for (const int8_t n : Neighbours[point])
        if (n >= 0 && board.cell[n] == Empty)
            return false;
    return true;
}
