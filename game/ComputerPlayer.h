#pragma once
// The computer opponent: two opening rules, then an iterative-deepening
// minimax search over puts, moves, jumps and removals, bounded by a
// thinking time in whole seconds and, outside the moving phase, by the
// controller's depth cap. Every node examines all of its children, in the
// fixed order of the points and the neighbour table.

#include <cstdint>

#include "game/Player.h"
#include "game/Random.h"
#include "game/SearchBoard.h"

class ComputerPlayer : public Player {
public:
    // Receives each root candidate of an iteration with its score, in the
    // order they are generated.
    class RootObserver {
    public:
        virtual void Candidate(const MoveRecord& move, int score) = 0;

    protected:
        ~RootObserver() = default;
    };

    ComputerPlayer(AnsiString name, VellGameControl* game, uint8_t colour, PlayerHost& host);

    // Chooses a move and hands it to SubmitMove with the local flag set.
    void TakeTurn(const uint8_t& kind, BoardRecord board) override;
    void SetTimeLimit(const int& seconds) override;
    // Asked after every child of a search node; true would return the
    // node's best at once.
    virtual bool CanPrune(int score, int parentBest, bool maximizing) {
        (void)score, (void)parentBest, (void)maximizing;
        return false;
    }

    // The score of the position in which the side given by `maximizing`
    // (true: the computer) must make a move of `kind`.
    int Search(const uint8_t& kind, BoardRecord board, const int& ply, const bool& maximizing,
               const int& parentBest);
    int Evaluate(BoardRecord board, bool maximizing);
    void UpdateBest(const int& score, int& best, const bool& maximizing);
    // True with probability ErrorRate.
    bool MistakeRoll() { return (RandomNumber() % 1000) * 0.001 < ErrorRate; }
    // Where to put when the opponent's only piece stands on the point.
    static int OpeningReply(int point);

    // The evaluation's feature tests.
    static bool WouldCloseLine(const BoardRecord& board, uint8_t colour, int point);
    static bool CanSwingIntoLine(const BoardRecord& board, int point);
    static bool IsBlocked(const BoardRecord& board, int point);

    // One deepening iteration at the current Depth: NodeCounter and best
    // start afresh, the root candidates of `kind` are scored and the
    // iteration's move follows the root acceptance rule. False when the
    // kind leaves nothing to do (nothing to remove, or not a kind of move):
    // the iteration's move is then a pass.
    bool RunIteration(const uint8_t& kind, const BoardRecord& board, int& best,
                      MoveRecord& iterationMove, RootObserver* observer = nullptr);

    uint8_t Abort;  // the thinking time is used up, or the turn cancelled; every node returns 0
    int StartTime;  // whole seconds when the turn began
    int LastSecond; // the last whole second the search has seen
    int Depth;      // horizon of the current iteration
    int TimeLimit;  // thinking time in whole seconds
    int64_t NodeCounter; // leaves evaluated in the current iteration

    const int OwnThreatWeight;
    const int OwnLinePieceWeight;
    const int OwnSwingPieceWeight;
    const int OpponentThreatWeight;
    const int OpponentLinePieceWeight;
    const int OpponentSwingPieceWeight;
    const int MaterialWeight;

private:
    MoveRecord ChooseMove(const uint8_t& kind, const BoardRecord& board);
    bool OpeningMove(const BoardRecord& board, MoveRecord& move);
    MoveRecord Deepen(const uint8_t& kind, const BoardRecord& board);

    void PutCandidates(const BoardRecord& board, int& best, MoveRecord& iterationMove,
                       RootObserver* observer);
    void MoveCandidates(const BoardRecord& board, int& best, MoveRecord& iterationMove,
                        RootObserver* observer);
    void JumpCandidates(const BoardRecord& board, int& best, MoveRecord& iterationMove,
                        RootObserver* observer);
    void RemoveCandidates(const BoardRecord& board, int& best, MoveRecord& iterationMove,
                          RootObserver* observer);
    // The score of a move or jump that led to `board`, ending on `to`.
    int ScoreStep(const BoardRecord& board, int to, int best);
    void Accept(int score, const MoveRecord& candidate, int& best, MoveRecord& iterationMove,
                RootObserver* observer);

    // The search nodes. OwnCanPrune: this object's CanPrune is
    // ComputerPlayer's own, so it is called directly and folds away.
    template <bool OwnCanPrune, bool Maximizing>
    int Visit(uint8_t kind, const SearchBoard& board, int ply, int parentBest);
    template <bool OwnCanPrune, bool Maximizing>
    int Expand(uint8_t kind, const SearchBoard& board, int ply, int parentBest);
    template <bool OwnCanPrune, bool Maximizing>
    int PutNode(const SearchBoard& board, int ply, int parentBest);
    template <bool OwnCanPrune, bool Maximizing>
    int MoveNode(const SearchBoard& board, int ply, int parentBest);
    template <bool OwnCanPrune, bool Maximizing>
    int JumpNode(const SearchBoard& board, int ply, int parentBest);
    template <bool OwnCanPrune, bool Maximizing>
    int RemoveNode(const SearchBoard& board, int ply, int parentBest);
    template <bool OwnCanPrune, bool Maximizing>
    bool Step(const SearchBoard& board, int from, int to, int ply, int parentBest, int& best);
    template <bool OwnCanPrune, bool Maximizing>
    bool Arrive(const SearchBoard& child, int to, uint8_t next, int ply, int parentBest, int& best);
    template <bool OwnCanPrune, bool Maximizing>
    int Settle(int best, const SearchBoard& board, int ply);
    template <bool Maximizing> void Fold(int score, int& best);
    template <bool OwnCanPrune> bool Prune(int score, int parentBest, bool maximizing);

    void ReadClock();
    void SeeSecond(int now);
    // Window messages run; a close of the program among them stops the
    // search.
    void LetMessagesRun();
    int EvaluateSearchBoard(const SearchBoard& board, bool maximizing) const;

    WholeSecondClock& Clock;
};
