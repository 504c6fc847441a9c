#pragma once
// The link window of a network match: it ties the link to the game
// controller. The end of the link ends the match, the name exchange starts
// the first game, and each "DATA:" payload becomes a controller action:
// "R" the partner is ready for the first move, "TGO" a draw offer, "TGY"
// and "TGN" its answers, "S" the partner gave the game up, anything else a
// MoveText.
//
// A partner's move is checked against this machine's position when it
// arrives: one that is not the partner's turn or not legal here would stop
// the game when executed, so it is dropped, the user is told, and the link
// is closed, which ends the match.
//
// A payload changes the game, so it is handled only from the main loop:
// one that arrives inside a nested loop (a box, a move, a wait) waits, and
// those after it queue behind it, in order. So no box of a partner's
// message opens inside another, and every handler checks after its box
// that the link still stands.

#include <deque>

#include "game/Board.h"
#include "net/TTChatForm.h"

class VellGameControl;

class TVellChatForm : public TTChatForm {
public:
    explicit TVellChatForm(TComponent* Owner);

    void ConnectionClosed() override;
    void ConnectionEstablished() override;
    void DataReceived(const AnsiString& payload) override;
    void SendData(const AnsiString& payload) override;
    // Ends the link from this side; closing this end reports nothing.
    void CloseLink();

private:
    void HandleData(const AnsiString& payload);
    void HandleWaitingData();
    void PartnerReady();
    void PartnerOffersDraw();
    void PartnerAcceptedDraw();
    void PartnerDeclinedDraw();
    void PartnerGaveUp();
    void PartnerMoved(const AnsiString& text);
    // The partner's colour is to move, no move waits for the next tick, and
    // the move is legal for the game state on this machine's board.
    bool IsPartnersLegalMove(const MoveRecord& move);
    void RefusePartnerMove(const AnsiString& text);
    // The link ended while a box was open.
    bool LinkEnded() const { return LinkState != 3; }
    VellGameControl& Game();
    AnsiString Text(int number);

    // Payloads that arrived inside a nested loop, oldest first.
    std::deque<AnsiString> waiting_;
};
