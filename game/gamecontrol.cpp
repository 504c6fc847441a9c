#include "game/gamecontrol.h"

#include <algorithm>

#include "game/BoardRules.h"
#include "game/BoardView.h"
#include "game/GameLink.h"
#include "game/GameText.h"
#include "game/GameWindow.h"
#include "game/Player.h"
#include "myunits/LANGUAGE.h"
#include "myunits/Settings.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/MessageLoop.h"

namespace {

constexpr int DrawLimit = 15;
constexpr unsigned ReadyInterval = 1500;

constexpr int DrawCaption = 68;
constexpr int DrawQuestion = 107;

uint8_t NextSide(uint8_t side) {
    return side == White ? Black : White;
}

} // namespace

VellGameControl::VellGameControl(GameWindow* form) {
    ReplayFlag = 0;
    FirstMatch = 1;
    TickCounter = 0;
    UpdateCheckDeclined = 0;
    CreateSettings();
    DrawMoveLimit = DrawLimit;
    FirstSeat = nullptr;
    SecondSeat = nullptr;
    Link = nullptr;
    MainForm = form;
    Engine = MainForm->CreateBoardView(this);
    PendingMove = nullptr;
    GameTimer = new TTimer(MainForm);
    GameTimer->Interval = TickInterval;
    GameTimer->OnTimer = Method(this, &VellGameControl::OnGameTimer);
    GameTimer->Enabled = false;
    History = new TList;
    NewGame();
    PlayNextSong();
}

// The board view goes with the controller it calls.
VellGameControl::~VellGameControl() {
    FirstSeat.reset();
    SecondSeat.reset();
    delete GameTimer;
    FreeLink();
    ClearHistory();
    delete History;
    delete Engine;
}

void VellGameControl::NewGame() {
    MovesWithoutPutOrRemove = 0;
    EnableGameUI(false);
    Engine->Reset();
    MainForm->UndoLastMove1->Enabled = false;
    ClearHistory();
    const uint8_t firstSide = WhoStarts ? White : Black;
    PushHistory(PassMove, InitBoard(), PutState, firstSide);
    MainForm->UndoLastMove1->Enabled = false;
    GameState = NoGameState;
    SideToMove = firstSide;
    PendingMove = nullptr;
    AskedSide = Empty;
    if (Link)
        Link->ForgetPartnersMoves();
}

// ---- The game loop ----

void VellGameControl::SubmitMove(const MoveRecord& move, bool send) {
    PendingMove = std::make_unique<MoveRecord>(move);
    PendingMoveIsLocal = send;
}

void VellGameControl::OnGameTimer(TObject*) {
    if (MainForm->SurveyShown())
        return;
    if (TicksHeld)
        return;
    TickCounter = TickCounter + 1;
    if (TickCounter == 1)
        MainForm->StartPlayTimer(); // play time counts from the first tick on
    if (GameMode == ArcadeMode && !RunArcadeClock())
        return;
    // Inside a box, a window or a wait, the handler below may still be
    // working on the game: there only the clock counts.
    if (InNestedLoop())
        return;
    if (MatchOver) {
        GameTimer->Enabled = false;
        NewMatch();
        return;
    }
    if (GameMode == NetworkMode && History->Count < 2) {
        if (PartnerReady == 0 && LocalSideStarts())
            return; // waits for the partner's "R"
        if (!LocalSideStarts() && !PendingMove) {
            GameTimer->Interval = ReadyInterval;
            Link->SendData("R");
            return;
        }
    }
    if (!PendingMove)
        return;
    if (PendingMoveIsLocal && NetworkGame)
        SendPendingMove();
    const MoveRecord move = *PendingMove;
    PendingMove = nullptr;
    // Held to the end of the tick, so that IsMoveInProgress covers the
    // move's execution as well as the next side's turn.
    const HoldTicks hold(TicksHeld);
    GameTimer->Enabled = false;
    GameTimer->Interval = TickInterval;
    if (PlayerByColour(SideToMove)->IsHuman() && !NetworkGame)
        MainForm->UndoLastMove1->Enabled = true;
    BoardRecord before;
    Engine->CopyBoard(before);
    PushHistory(move, before, GameState, SideToMove);
    if (move.kind != NoMove)
        Engine->PerformMove(move, SideToMove);
    if (CountDrawMoves(move))
        return; // the agreed draw has started the next game
    SideToMove = NextSide(SideToMove);
    Engine->DrawBoard();
    BoardRecord board;
    Engine->CopyBoard(board);
    if (const uint8_t winner = WinnerByPieces(board)) {
        GameState = NoGameState;
        GameOver(ReasonTooFewPieces, winner);
        return;
    }
    ChooseNextState(move, board);
    Application->ProcessMessages();
    AskNextPlayer();
    GameTimer->Enabled = true;
}

bool VellGameControl::CountDrawMoves(const MoveRecord& move) {
    if (move.kind == Put || move.kind == Remove) {
        if (GameMode == ClassicMode)
            MainForm->DrawGame1->Visible = false;
        MovesWithoutPutOrRemove = 0;
        return false;
    }
    if (move.kind != Move && move.kind != Jump)
        return false;
    MovesWithoutPutOrRemove = MovesWithoutPutOrRemove + 1;
    if (MovesWithoutPutOrRemove <= DrawMoveLimit || GameMode == ArcadeMode)
        return false;
    MovesWithoutPutOrRemove = 0;
    if (NetworkGame) {
        MainForm->DrawGame1->Visible = true; // the user may offer a draw
        return false;
    }
    const int answer = MessageBox(GetString(DrawQuestion), GetString(DrawCaption),
                                  MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL);
    if (answer == IDYES) {
        DrawGame();
        return GameMode != TutorialMode; // there the draw ends nothing
    }
    MainForm->DrawGame1->Visible = true;
    return false;
}

uint8_t VellGameControl::WinnerByPieces(const BoardRecord& board) {
    if (PieceTotal(board, White) < 3)
        return Black;
    if (PieceTotal(board, Black) < 3)
        return White;
    return Empty;
}

void VellGameControl::ChooseNextState(const MoveRecord& move, const BoardRecord& board) {
    const bool closedLine =
        (move.kind == Put && IsInLineOfThree(board, move.a)) ||
        ((move.kind == Move || move.kind == Jump) && IsInLineOfThree(board, move.b));
    if (closedLine) {
        GameState = RemoveState;
        SideToMove = NextSide(SideToMove);
        return;
    }
    GameState = board.inHand[SideToMove - 1] == 0 ? MoveState : PutState;
}

bool VellGameControl::LocalSideStarts() {
    return (WhoStarts && PlayerByColour(Black)->IsRemote()) ||
           (!WhoStarts && PlayerByColour(White)->IsRemote());
}

void VellGameControl::SendPendingMove() {
    Link->SendData(MoveToText(*PendingMove));
}

void VellGameControl::SendStartLine() {
    Link->SendData("S");
}

uint8_t VellGameControl::SideAsked() {
    return PendingMove ? Empty : AskedSide;
}

bool VellGameControl::IsMoveInProgress() {
    return TicksHeld;
}

bool VellGameControl::AcceptsGameCommand() {
    return !InNestedLoop();
}

void VellGameControl::AskNextPlayer() {
    std::fill(std::begin(Engine->Glow), std::end(Engine->Glow), 0);
    // The tutorial decides whether the side to move is asked; without its
    // window it has ended, and nobody is.
    if (GameMode == TutorialMode && !MainForm->CheckTutorialMove(GetGameString()))
        return;
    Player* seat = SideToMove == White ? FirstSeat.get() : SecondSeat.get();
    if (!seat)
        return; // no match has built the seats yet
    const HoldTicks hold(TicksHeld);
    AskedSide = seat->Colour;
    try {
        AskSeat(*seat);
    } catch (const std::exception& error) {
        // A turn that fails leaves the game without a move to wait for.
        Application->ShowException(error);
        Application->Terminate();
    }
    if (Link && seat->IsRemote())
        Link->PartnerAsked();
}

void VellGameControl::AskSeat(Player& seat) {
    BoardRecord board;
    Engine->CopyBoard(board);
    switch (GameState) {
    case MoveState:
        if (Engine->CanJump(SideToMove)) {
            seat.TakeTurn(Jump, board);
        } else if (!HasLegalMove(board, seat.Colour)) {
            GameState = NoGameState;
            GameOver(ReasonNoLegalMove, OtherColour(seat.Colour));
        } else {
            seat.TakeTurn(Move, board);
        }
        break;
    case MoveTargetState:
        if (!HasLegalMove(board, OtherColour(SideToMove))) {
            GameState = NoGameState;
            GameOver(ReasonNoLegalMove, SideToMove);
        } else {
            seat.TakeTurn(Move, board);
        }
        break;
    case JumpTargetState:
        seat.TakeTurn(Jump, board);
        break;
    case RemoveState:
        seat.TakeTurn(Remove, board);
        break;
    case PutState:
        seat.TakeTurn(Put, board);
        if (seat.IsHuman())
            GlowEmptyPoints();
        Engine->DrawBoard();
        break;
    default:
        AskedSide = Empty; // nobody is asked
        break;
    }
}

void VellGameControl::GlowEmptyPoints() {
    BoardRecord board;
    Engine->CopyBoard(board);
    for (int point = 0; point < PointCount; ++point)
        if (board.cell[point] == Empty)
            Engine->Glow[point] = 1;
}

// ---- History ----

HistoryEntry* VellGameControl::Entry(int index) {
    return static_cast<HistoryEntry*>(History->Items[index]());
}

void VellGameControl::PushHistory(const MoveRecord& move, const BoardRecord& board, uint8_t state,
                                  uint8_t side) {
    History->Add(new HistoryEntry{move, board, state, side});
}

void VellGameControl::ClearHistory() {
    for (int i = 0; i < History->Count; ++i)
        delete Entry(i);
    History->Clear();
}

// ---- Accessors ----

Player* VellGameControl::PlayerByColour(uint8_t colour) {
    Assert(colour != Empty, "Color!=empty (gamecontrol)");
    return FirstSeat->Colour == colour ? FirstSeat.get() : SecondSeat.get();
}

AnsiString VellGameControl::PlayerNameByColour(uint8_t colour) {
    return PlayerByColour(colour)->Name;
}

uint8_t VellGameControl::HumanColour() {
    return FirstSeat->IsHuman() ? FirstSeat->Colour : SecondSeat->Colour;
}

bool VellGameControl::IsAtGameStart() {
    return History->Count < 2;
}

uint8_t VellGameControl::GetGameState() {
    return GameState;
}

void VellGameControl::SetGameState(uint8_t state) {
    GameState = state;
}

uint8_t VellGameControl::GetSideToMove() {
    return SideToMove;
}

bool VellGameControl::IsGameUIEnabled() {
    return GameUIEnabled != 0;
}

void VellGameControl::EnableGameUI(bool on) {
    if (on) {
        MainForm->NewGame1->Enabled = true;
        GameUIEnabled = 1;
    } else {
        if (!NetworkGame)
            MainForm->NewGame1->Enabled = false;
        MainForm->UndoLastMove1->Enabled = false;
        GameUIEnabled = 0;
    }
    Application->ProcessMessages();
}

void VellGameControl::SetGraphicsLibrary(HMODULE pack) {
    Engine->LoadGraphics(pack);
}

void VellGameControl::RedrawAll() {
    Engine->RedrawAll();
}

void VellGameControl::BlinkPoints(const uint8_t mask[PointCount]) {
    Engine->BlinkPoints(mask);
}

void VellGameControl::FlashGlow() {
    Engine->FlashGlow();
}

void VellGameControl::ApplyScriptedMove(int32_t a, int32_t b, int32_t c, uint8_t kind,
                                        uint8_t side) {
    Engine->PerformMove(MoveRecord{a, b, c, kind}, side);
    // The animation's last frame still shows a moved or removed piece where
    // it stood; not every tutorial page sets a position that would cover it.
    Engine->DrawBoard();
}

// The arcade clock goes on while the window is open; a stage lost on time
// meanwhile ends when the window has closed, so the list the window works
// on is not rebuilt under it.
void VellGameControl::ShowHighScores() {
    MainForm->ShowHighScores();
}

// ---- What a player's turn reaches ----

AnsiString VellGameControl::GetStatusText() {
    return MainForm->StatusBar1->Panels->Items[0]->Text;
}

void VellGameControl::SetStatusText(const AnsiString& text) {
    SetStatusPanel(0, text);
}

AnsiString VellGameControl::GetString(int id) {
    return TMyLanguages::GetSingleton().GetString(id);
}

int VellGameControl::MessageBox(const AnsiString& text, const AnsiString& caption, unsigned flags) {
    return Application->MessageBox(text, caption, static_cast<int>(flags));
}

void VellGameControl::ProcessMessages() {
    Application->ProcessMessages();
}

bool VellGameControl::TurnCancelled() {
    return MainForm->CloseRequested || Application->Terminated;
}

void VellGameControl::SetStatusPanel(int index, const AnsiString& text) {
    MainForm->StatusBar1->Panels->Items[index]->Text = text;
}
