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

private:
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
    void CloseLink();
    VellGameControl& Game();
    AnsiString Text(int number);
};
