#pragma once
// The link window of a network match: it ties the link to the game
// controller. The end of the link ends the match, the name exchange starts
// the first game, and each "DATA:" payload becomes a controller action:
// "R" the partner is ready for the first move, "TGO" a draw offer, "TGY"
// and "TGN" its answers, "S" the partner gave the game up, anything else a
// MoveText.
//
// The partner's moves are taken in the order they arrive, each when the
// game asks the partner for its move: a move that comes while an earlier
// one still waits to be executed (a put that closes a line, then its
// removal) waits behind it. Each is checked against this machine's
// position when its turn comes; one that is not legal then, one that comes
// while nothing of the partner's is awaited, and one more than
// MaxWaitingMoves waiting would stop or flood the game, so it is dropped,
// the user is told, and the link is closed, which ends the match. Moves
// still waiting when a game ends belong to it and are dropped.
//
// A payload changes the game, so it is handled only from the main loop:
// one that arrives inside a nested loop (a box, a move, a wait) waits, and
// those after it queue behind it, in order. So no box of a partner's
// message opens inside another, and every handler checks after its box
// that the link still stands.

#include <deque>

#include "game/Board.h"
#include "game/GameLink.h"
#include "net/TTChatForm.h"

class VellGameControl;

class TVellChatForm : public TTChatForm, public GameLink {
public:
    explicit TVellChatForm(TComponent* Owner);

    // The link as the controller uses it (GameLink).
    bool StartConnection(const AnsiString& ownName) override {
        return TTChatForm::StartConnection(ownName);
    }
    bool IsServerSide() override { return IsServer; }
    void Release() override { TTChatForm::Release(); }

    void ConnectionClosed() override;
    void ConnectionEstablished() override;
    void DataReceived(const AnsiString& payload) override;
    void SendData(const AnsiString& payload) override;
    // Ends the link from this side; closing this end reports nothing.
    void CloseLink() override;
    // The game has asked the partner for its move: the oldest of the
    // partner's waiting moves is taken once control is back in the main
    // loop.
    void PartnerAsked() override;
    // A new game has begun.
    void ForgetPartnersMoves() override;

    // A partner never has more than two moves in a row (a put or move that
    // closes a line, then the removal).
    static constexpr size_t MaxWaitingMoves = 8;

private:
    void HandleData(const AnsiString& payload);
    void HandleWaitingData();
    void PartnerReady();
    void PartnerOffersDraw();
    void PartnerAcceptedDraw();
    void PartnerDeclinedDraw();
    void PartnerGaveUp();
    void PartnerMoved(const AnsiString& text);
    // The partner's oldest waiting move, when the game awaits it.
    void TakeWaitingMove();
    // A move of the partner's waits for the next tick.
    bool PartnersMoveIsPending();
    // The partner's colour is to move, no move waits for the next tick, and
    // the move is legal for the game state on this machine's board.
    bool IsPartnersLegalMove(const MoveRecord& move);
    void RefusePartnerMove(const AnsiString& text);
    // The link ended while a box was open.
    bool LinkEnded() const { return LinkState != 3; }
    VellGameControl& Game();
    uint8_t PartnerColour();
    AnsiString Text(int number);

    struct WaitingMove {
        AnsiString Text;
        MoveRecord Move;
    };

    // Payloads that arrived inside a nested loop, oldest first.
    std::deque<AnsiString> waiting_;
    // The partner's moves that wait for their turn, oldest first.
    std::deque<WaitingMove> moves_;
};
