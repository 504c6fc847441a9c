#include "net/TVellChatForm.h"

#include "game/BoardView.h"
#include "game/GameText.h"
#include "game/GameWindow.h"
#include "game/MoveRules.h"
#include "game/gamecontrol.h"
#include "myunits/LANGUAGE.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/MessageLoop.h"

namespace {

constexpr int DrawOfferText = 67;
constexpr int DrawOfferCaption = 68;
constexpr int DrawDeclinedText = 69;
constexpr int DrawDeclinedCaption = 70;
constexpr int DrawAcceptedText = 71;
constexpr int DrawAcceptedCaption = 72;
constexpr int GaveUpText = 73;
constexpr int GaveUpCaption = 74;
constexpr int RefusedMoveText = 79;

} // namespace

TVellChatForm::TVellChatForm(TComponent* Owner) : TTChatForm(Owner) {}

void TVellChatForm::ConnectionClosed() {
    Timer1->Enabled = false;
    Game().MatchOver = 1;
    Game().GameTimer->Enabled = true;
}

void TVellChatForm::ConnectionEstablished() {
    Game().StartNextGame();
}

void TVellChatForm::DataReceived(const AnsiString& payload) {
    // Bodies that followed a refused move in the same read come too late.
    if (LinkState != 3)
        return;
    if (!InNestedLoop() && waiting_.empty()) {
        HandleData(payload);
        return;
    }
    waiting_.push_back(payload);
    if (waiting_.size() == 1)
        WhenBackInMainLoop([this] { HandleWaitingData(); });
}

void TVellChatForm::HandleWaitingData() {
    while (!waiting_.empty() && LinkState == 3) {
        const AnsiString payload = waiting_.front();
        waiting_.pop_front();
        HandleData(payload);
    }
    waiting_.clear();
}

void TVellChatForm::HandleData(const AnsiString& payload) {
    if (payload == "R")
        PartnerReady();
    else if (payload == "TGO")
        PartnerOffersDraw();
    else if (payload == "TGY")
        PartnerAcceptedDraw();
    else if (payload == "TGN")
        PartnerDeclinedDraw();
    else if (payload == "S")
        PartnerGaveUp();
    else
        PartnerMoved(payload);
}

void TVellChatForm::SendData(const AnsiString& payload) {
    SendLine("DATA:" + payload + "|");
}

void TVellChatForm::PartnerReady() {
    if (Game().IsAtGameStart())
        Game().PartnerReady = 1;
}

void TVellChatForm::PartnerOffersDraw() {
    Game().GameTimer->Enabled = false;
    const int answer = Application->MessageBox(Text(DrawOfferText), Text(DrawOfferCaption),
                                               MB_YESNO | MB_ICONQUESTION);
    if (LinkEnded())
        return;
    if (answer == IDYES) {
        SendData("TGY");
        Game().GameOver(ReasonDraw, Empty);
    } else {
        SendData("TGN");
        Game().GameTimer->Enabled = true;
    }
}

void TVellChatForm::PartnerAcceptedDraw() {
    Application->MessageBox(Text(DrawAcceptedText), Text(DrawAcceptedCaption), MB_ICONEXCLAMATION);
    if (!LinkEnded())
        Game().GameOver(ReasonDraw, Empty);
}

void TVellChatForm::PartnerDeclinedDraw() {
    Application->MessageBox(Text(DrawDeclinedText), Text(DrawDeclinedCaption), MB_ICONEXCLAMATION);
    if (!LinkEnded())
        Game().GameTimer->Enabled = true;
}

void TVellChatForm::PartnerGaveUp() {
    Application->MessageBox(Text(GaveUpText), Text(GaveUpCaption), MB_ICONEXCLAMATION);
    if (!LinkEnded())
        Game().GameOver(ReasonGivenUp, Game().HumanColour());
}

// A payload that is no move at all may be a word of a later version: it
// is dropped and the game goes on.
void TVellChatForm::PartnerMoved(const AnsiString& text) {
    MoveRecord move = PassMove;
    if (!MoveFromText(text, move))
        return;
    const bool awaited =
        !moves_.empty() || PartnersMoveIsPending() || Game().SideAsked() == PartnerColour();
    if (!awaited || moves_.size() == MaxWaitingMoves) {
        RefusePartnerMove(text);
        return;
    }
    moves_.push_back({text, move});
    TakeWaitingMove();
}

void TVellChatForm::PartnerAsked() {
    if (!moves_.empty())
        WhenBackInMainLoop([this] {
            if (!LinkEnded())
                TakeWaitingMove();
        });
}

void TVellChatForm::ForgetPartnersMoves() {
    moves_.clear();
}

void TVellChatForm::TakeWaitingMove() {
    if (moves_.empty() || Game().SideAsked() != PartnerColour())
        return;
    const WaitingMove next = moves_.front();
    moves_.pop_front();
    if (!IsPartnersLegalMove(next.Move)) {
        RefusePartnerMove(next.Text);
        return;
    }
    Game().SubmitMove(next.Move, false);
}

bool TVellChatForm::PartnersMoveIsPending() {
    return Game().PendingMove && !Game().PendingMoveIsLocal;
}

bool TVellChatForm::IsPartnersLegalMove(const MoveRecord& move) {
    VellGameControl& game = Game();
    const uint8_t colour = PartnerColour();
    if (game.GetSideToMove() != colour || game.PendingMove)
        return false;
    const uint8_t state = game.GetGameState();
    if (state != PutState && state != MoveState && state != RemoveState)
        return false;
    BoardRecord board;
    game.Engine->CopyBoard(board);
    return IsLegalMoveRecord(board, colour, state == RemoveState, move);
}

void TVellChatForm::RefusePartnerMove(const AnsiString& text) {
    moves_.clear();
    const AnsiString line = Text(RefusedMoveText) + " " + text;
    Log(line);
    CloseLink();
    Application->MessageBox(line, Caption, MB_TASKMODAL | MB_ICONEXCLAMATION);
    ConnectionClosed();
}

void TVellChatForm::CloseLink() {
    LinkState = 0;
    if (IsServer())
        ServerSocket1->Active = false;
    else
        ClientSocket1->Active = false;
    Edit1->Enabled = false;
    Button1->Enabled = false;
}

VellGameControl& TVellChatForm::Game() {
    return *MainWindow()->Game;
}

uint8_t TVellChatForm::PartnerColour() {
    return OtherColour(Game().HumanColour());
}

AnsiString TVellChatForm::Text(int number) {
    return TMyLanguages::GetSingleton().GetString(number);
}
