// The end of a game, draws, undo, and the matches of two people, of the
// classic game against the computer and of the tutorial.

#include <algorithm>
#include <iterator>

#include "game/BoardView.h"
#include "game/ComputerPlayer.h"
#include "game/GameLink.h"
#include "game/GameWindow.h"
#include "game/HumanPlayer.h"
#include "game/PlayerSelection.h"
#include "game/RemotePlayer.h"
#include "game/gamecontrol.h"
#include "myunits/LANGUAGE.h"
#include "myunits/Settings.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"

namespace {

constexpr int NoticeCaption = 43;
constexpr int LostToText = 80;
constexpr int LostToEndText = 81;
constexpr int GameOverCaption = 83;
constexpr int DrawText = 84;
constexpr int TooEasyText = 86;
constexpr int TooEasyCaption = 87;
constexpr int WonMatchText2 = 88;
constexpr int WonMatchText1 = 89;
constexpr int MatchOverCaption = 90;
constexpr int NewMatchHint = 96;
constexpr int TwoPeopleText = 97;
constexpr int NetworkText = 106;
constexpr int ComputerName = 103;
constexpr int TutorialComputerName = 98;
constexpr int TutorialText = 478;
constexpr int UndoRefusedText = 108;
constexpr int TitleCaption = 207;
constexpr int FirstStartText = 299;
constexpr int ReplayQuestion = 720;

constexpr int UndoLimit = 3;
constexpr int NoDepthLimit = 30000;
constexpr int TwoPeoplePromptWidth = 300;
constexpr int ClassicPromptWidth = 350;
constexpr int TutorialPromptWidth = 300;
constexpr int TutorialComputerSeconds = 1;
constexpr int TutorialWindowDrop = 12; // below the main window's top
constexpr float TooEasyErrorRate = 0.25f;

// The computer's strength by the difficulty of the player-selection dialog.
struct Difficulty {
    int Seconds;
    float ErrorRate;
    int DepthCap;
    int PanelText;
};

constexpr Difficulty Difficulties[] = {
    {1, 0.47f, 1, 145},            // Beginner
    {1, 0.25f, NoDepthLimit, 100}, // Easy
    {4, 0.0f, NoDepthLimit, 101},  // Regular
    {19, 0.0f, NoDepthLimit, 102}, // Difficult
};

} // namespace

// ---- Game end ----

void VellGameControl::GameOver(uint8_t reason, uint8_t winner) {
    if (GameMode == TutorialMode)
        return;
    if (NetworkGame)
        PartnerReady = 0;
    ShowGameOverMessage(reason, winner);
    if (GameMode == ArcadeMode)
        CountArcadeResult(winner);
    GameTimer->Enabled = false;
    if (GameMode == ClassicMode && winner == White && SecondSeat->ErrorRate >= TooEasyErrorRate)
        MessageBox(GetString(TooEasyText), GetString(TooEasyCaption), MB_ICONEXCLAMATION);
    CountWin(winner);
    Engine->SetCounters(Wins1, Wins2);
    if (GameMode == TwoPeopleMode || GameMode == ClassicMode)
        DecideMatch();
    StartNextGame();
}

void VellGameControl::ShowGameOverMessage(uint8_t reason, uint8_t winner) {
    if (reason == ReasonNoLegalMove) {
        const AnsiString text = PlayerNameByColour(OtherColour(winner)) + " " +
                                GetString(LostToText) + " " + PlayerNameByColour(winner) + " " +
                                GetString(LostToEndText);
        MessageBox(text, GetString(GameOverCaption), MB_OK);
    } else if (reason == ReasonDraw) {
        MessageBox(GetString(DrawText), GetString(GameOverCaption), MB_ICONEXCLAMATION);
    } else if (reason == ReasonArcadeClock) {
        ShowTimeIsUp();
    }
}

void VellGameControl::CountWin(uint8_t winner) {
    if (winner == White)
        Wins1 = Wins1 + 1;
    else if (winner == Black)
        Wins2 = Wins2 + 1;
}

void VellGameControl::DecideMatch() {
    const int half = MatchLength / 2;
    if (Wins2 > half) {
        MessageBox(PlayerNameByColour(Black) + " " + GetString(WonMatchText2),
                   GetString(MatchOverCaption), MB_OK);
        MatchOver = 1;
    }
    if (Wins1 > half) {
        MessageBox(PlayerNameByColour(White) + " " + GetString(WonMatchText1),
                   GetString(MatchOverCaption), MB_OK);
        MatchOver = 1;
    }
}

// A network draw ends when the partner's answer arrives.
void VellGameControl::DrawGame() {
    if (NetworkGame) {
        Link->SendData("TGO");
        GameTimer->Enabled = false;
    } else {
        GameOver(ReasonDraw, Empty);
    }
}

// ---- Undo ----

void VellGameControl::UndoLastMove() {
    MainForm->UndoLastMove1->Enabled = false;
    if ((GameMode == ClassicMode || GameMode == ArcadeMode) && UndoCount > UndoLimit) {
        MessageBox(GetString(UndoRefusedText), GetString(NoticeCaption), MB_ICONSTOP);
        return;
    }
    if (History->Count < 2)
        return;
    UndoCount = UndoCount + 1;
    const int target = UndoTarget();
    const HistoryEntry entry = *Entry(target);
    SideToMove = entry.SideToMove;
    Engine->SetBoard(entry.Board);
    GameState = entry.GameState;
    while (History->Count > target) {
        delete Entry(History->Count - 1);
        History->Delete(History->Count - 1);
    }
    AskNextPlayer();
    if (History->Count == 1 ||
        (History->Count == 2 && !PlayerByColour(Entry(1)->SideToMove)->IsHuman()))
        MainForm->UndoLastMove1->Enabled = false;
}

int VellGameControl::UndoTarget() {
    for (int i = History->Count - 1; i >= 0; --i)
        if (PlayerByColour(Entry(i)->SideToMove)->IsHuman())
            return i;
    return 0; // the start entry
}

// ---- Matches ----

void VellGameControl::NewMatch() {
    PlayerSelectionForm = MainForm->CreatePlayerSelection();
    PlayerSelectionForm->Visible = false;
    if (FirstMatch) {
        FirstMatch = 0;
    } else {
        // The last choices, restored as the dialog's show restores them.
        PlayerSelectionForm->FormShow(PlayerSelectionForm);
        if (PlayerSelectionForm->RadioButton1->Checked ||
            PlayerSelectionForm->RadioButton2->Checked ||
            PlayerSelectionForm->RadioButton3->Checked)
            ReplayFlag = MessageBox(GetString(ReplayQuestion), GetString(TitleCaption),
                                    MB_YESNO | MB_ICONQUESTION) == IDYES;
    }
    if (Settings->Get(GameSetting::StartCounter) == "1")
        MessageBox(GetString(FirstStartText), GetString(TitleCaption), MB_ICONEXCLAMATION);
    ResetMatch();
    for (;;) {
        DepthCap = NoDepthLimit;
        MainForm->NewGame1->Visible = true;
        if (!ReplayFlag && PlayerSelectionForm->ShowModal() != mrOk) {
            FreePlayerSelection();
            Application->Terminate();
            return;
        }
        MatchLength = PlayerSelectionForm->CSpinEdit1->Value;
        if (BuildSeatsFromDialog())
            break;
        ReplayFlag = 0; // a choice this game cannot replay: ask again
    }
    FreePlayerSelection();
    // A network game starts when the link's name exchange completes; the
    // tutorial has set up its own game.
    if (!NetworkGame && GameMode != TutorialMode)
        StartNextGame();
}

void VellGameControl::ResetMatch() {
    if (MainForm->Menu != MainForm->MainMenu1)
        MainForm->Menu = MainForm->MainMenu1;
    SetStatusPanel(2, GetString(NewMatchHint));
    GameTimer->Enabled = false;
    GameTimer->Interval = TickInterval;
    PartnerReady = 1;
    MainForm->UndoLastMove1->Enabled = false;
    MatchOver = 0;
    WhoStarts = 0;
    FreeLink();
    Wins1 = 0;
    Wins2 = 0;
    Engine->SetCounters(0, 0);
}

bool VellGameControl::BuildSeatsFromDialog() {
    if (PlayerSelectionForm->RadioButton1->Checked) {
        BuildTwoPeopleSeats();
        return true;
    }
    if (PlayerSelectionForm->RadioButton2->Checked) {
        BuildClassicSeats();
        return true;
    }
    if (PlayerSelectionForm->RadioButton3->Checked) {
        BuildArcadeSeats();
        return true;
    }
    if (PlayerSelectionForm->RadioButton6->Checked)
        return BuildNetworkSeats();
    if (PlayerSelectionForm->RadioButton4->Checked) {
        BuildTutorialSeats();
        return true;
    }
    return false;
}

void VellGameControl::BuildTwoPeopleSeats() {
    NetworkGame = 0;
    FirstSeat = std::make_unique<HumanPlayer>(PlayerSelectionForm->Edit2->Text, this, White, *this);
    SecondSeat =
        std::make_unique<HumanPlayer>(PlayerSelectionForm->Edit1->Text, this, Black, *this);
    GameMode = TwoPeopleMode;
    MainForm->DrawGame1->Visible = true;
    MainForm->UndoLastMove1->Visible = true;
    SetStatusPanel(1, GetString(TwoPeopleText));
    MainForm->StatusBar1->Panels->Items[0]->Width = TwoPeoplePromptWidth;
}

void VellGameControl::BuildClassicSeats() {
    NetworkGame = 0;
    FirstSeat = std::make_unique<HumanPlayer>(PlayerSelectionForm->Edit2->Text, this, White, *this);
    SecondSeat = std::make_unique<ComputerPlayer>(GetString(ComputerName), this, Black, *this);
    const Difficulty& level = Difficulties[ChosenDifficulty()];
    SecondSeat->SetTimeLimit(level.Seconds);
    SecondSeat->ErrorRate = level.ErrorRate;
    DepthCap = level.DepthCap;
    SetStatusPanel(1, GetString(level.PanelText));
    GameMode = ClassicMode;
    MainForm->DrawGame1->Visible = false;
    MainForm->UndoLastMove1->Visible = true;
    MainForm->StatusBar1->Panels->Items[0]->Width = ClassicPromptWidth;
}

// Nothing about seats travels: each side seats the partner by its role.
bool VellGameControl::BuildNetworkSeats() {
    NetworkGame = 1;
    Link = MainForm->CreateLink();
    const AnsiString name = PlayerSelectionForm->Edit2->Text;
    if (!Link->StartConnection(name)) {
        FreeLink();
        return false;
    }
    if (Link->IsServerSide()) {
        FirstSeat = std::make_unique<HumanPlayer>(name, this, White, *this);
        SecondSeat = std::make_unique<RemotePlayer>("Opponent", this, Black, *this);
    } else {
        FirstSeat = std::make_unique<RemotePlayer>("Opponent", this, White, *this);
        SecondSeat = std::make_unique<HumanPlayer>(name, this, Black, *this);
    }
    SetStatusPanel(1, GetString(NetworkText));
    GameMode = NetworkMode;
    MainForm->DrawGame1->Visible = true;
    // An undo is not sent to the partner: it would put the two boards out
    // of step.
    MainForm->UndoLastMove1->Visible = false;
    return true;
}

void VellGameControl::BuildTutorialSeats() {
    MainForm->Visible = true;
    WhoStarts = 1;
    NetworkGame = 0;
    FirstSeat = std::make_unique<HumanPlayer>(PlayerSelectionForm->Edit2->Text, this, White, *this);
    SecondSeat =
        std::make_unique<ComputerPlayer>(GetString(TutorialComputerName), this, Black, *this);
    SecondSeat->SetTimeLimit(TutorialComputerSeconds);
    SetStatusPanel(1, GetString(TutorialText));
    SetStatusPanel(0, "");
    GameMode = TutorialMode;
    MainForm->DrawGame1->Visible = false;
    MainForm->StatusBar1->Panels->Items[0]->Width = TutorialPromptWidth;
    MainForm->Menu = nullptr;
    NewGame();
    GameTimer->Enabled = true;
    OpenTutorial();
}

void VellGameControl::OpenTutorial() {
    TForm* TutorialForm = MainForm->CreateTutorial();
    MainForm->NewGame1->Visible = false;
    MainForm->UndoLastMove1->Visible = false;
    MainForm->StartNewMatch1->Visible = false;
    MainForm->DrawGame1->Visible = false;
    // Beside the board, not over it: its right edge meets the main
    // window's left edge, unless that would push it off the screen.
    TutorialForm->Left = std::max(0, MainForm->Left - TutorialForm->Width);
    TutorialForm->Top = MainForm->Top + TutorialWindowDrop;
    TutorialForm->Show();
}

// A handler of the link window may still be on the stack: the link is
// closed now and the window freed once control is back in the main loop.
void VellGameControl::FreeLink() {
    if (!Link)
        return;
    Link->CloseLink();
    Link->Release();
    Link = nullptr;
}

int VellGameControl::ChosenDifficulty() {
    const int index = PlayerSelectionForm->RadioGroup1->ItemIndex;
    if (index >= 0 && index < static_cast<int>(std::size(Difficulties)))
        return index;
    return StrToInt(DefaultSetting(GameSetting::Difficulty)); // none chosen: the default
}

void VellGameControl::FreePlayerSelection() {
    delete PlayerSelectionForm;
    PlayerSelectionForm = nullptr;
}

// From the sixth start on, the newsletter is offered on every third start
// and the tell-a-friend page on the start before it; each offer decides
// itself whether it shows.
void VellGameControl::OfferOnlineServices() {
    const int starts = Settings->GetInt(GameSetting::StartCounter);
    if (starts > 5 && starts % 3 == 0)
        MainForm->ShowNewsletterOffer(false);
    if (starts > 5 && (starts + 1) % 3 == 0)
        MainForm->ShowRecommendOffer(false);
}

void VellGameControl::StartNextGame() {
    const HoldTicks hold(TicksHeld);
    OfferOnlineServices();
    UndoCount = 0;
    GameTimer->Enabled = true;
    MainForm->Visible = true;
    WhoStarts = !WhoStarts;
    if (NetworkGame)
        PartnerReady = LocalSideStarts() ? 0 : 1;
    NewGame();
    if (GameMode == ArcadeMode && !StartArcadeStage())
        return; // a new match has replaced the lost arcade
    GameState = PutState;
    GameTimer->Enabled = true;
    Engine->DrawBoard();
    AskNextPlayer();
}
