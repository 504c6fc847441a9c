// The arcade: a match against the clock in stages. Every stage won adds the
// seconds left and ten points per piece kept to the score, gives more time
// and a stronger computer; a lost stage ends the match with an entry in the
// local high-score table when the score is good enough.

#include <algorithm>
#include <iterator>

#include "game/BoardView.h"
#include "game/ComputerPlayer.h"
#include "game/GameWindow.h"
#include "game/HumanPlayer.h"
#include "game/PlayerSelection.h"
#include "game/gamecontrol.h"
#include "myunits/Settings.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/MessageLoop.h"

namespace {

constexpr int TimeIsUpText = 85;
constexpr int GameOverCaption = 83;
constexpr int MatchOverCaption = 90;
constexpr int TimeLeftAfterStageText = 91;
constexpr int NotInTopTenText = 92;
constexpr int NotInTopTenEndText = 93;
constexpr int NoPointsText = 94;
constexpr int NoPointsCaption = 95;
constexpr int ComputerName = 103;
constexpr int TimeLeftText = 104;
constexpr int ArcadeText = 105;
constexpr int ArcadeIntroText = 340;

constexpr int StartSeconds = 220;
constexpr int StartPiecesBonus = 9;
constexpr int StartDepthCap = 2;
constexpr int StageSecondsBase = 220;
constexpr int StageSecondsStep = 40;
constexpr int MinimumSeconds = 10;
constexpr int ArcadePromptWidth = 300;
constexpr int TicksPerSecond = 10;

// The computer of the first three stages; from stage 4 on it thinks four
// seconds and errs a quarter less with every stage.
struct StageStrength {
    int Seconds;
    float ErrorRate;
};
constexpr StageStrength FirstStages[] = {{1, 0.44f}, {2, 0.39f}, {3, 0.33f}};
constexpr int LaterStageSeconds = 4;
constexpr float LaterStageErrorFactor = 0.75f;

} // namespace

int32_t StageBonusSeconds(int32_t stage) {
    return std::max(0, StageSecondsBase - StageSecondsStep * stage);
}

void VellGameControl::BuildArcadeSeats() {
    ArcadeLost = 0;
    DepthCap = StartDepthCap;
    NetworkGame = 0;
    FirstSeat = std::make_unique<HumanPlayer>(PlayerSelectionForm->Edit2->Text, this, White, *this);
    SecondSeat = std::make_unique<ComputerPlayer>(GetString(ComputerName), this, Black, *this);
    GameMode = ArcadeMode;
    MainForm->DrawGame1->Visible = false;
    MainForm->UndoLastMove1->Visible = true;
    ArcadeScore = 0;
    ArcadeSecondsLeft = StartSeconds;
    ArcadeTimeUp = false;
    SetStatusPanel(2, GetString(TimeLeftText) + " " + IntToStr(StartSeconds));
    SetStatusPanel(1, GetString(ArcadeText));
    ArcadePiecesBonus = StartPiecesBonus;
    ArcadeStage = 1;
    MainForm->StatusBar1->Panels->Items[0]->Width = ArcadePromptWidth;
    MainForm->NewGame1->Visible = false;
    if (Settings->Get(GameSetting::StartCounter) == "1")
        MessageBox(GetString(ArcadeIntroText), "", MB_ICONEXCLAMATION);
}

// Every tenth tick is a second of the arcade clock; a clock that has shown
// 0 for a whole second loses the game, once control is back in the main
// loop.
bool VellGameControl::RunArcadeClock() {
    if (TickCounter % TicksPerSecond == 0 && !ArcadeTimeUp) {
        if (ArcadeSecondsLeft == 0) {
            ArcadeTimeUp = true;
        } else {
            ArcadeSecondsLeft = ArcadeSecondsLeft - 1;
            SetStatusPanel(2, GetString(TimeLeftText) + " " + IntToStr(ArcadeSecondsLeft));
        }
    }
    if (!ArcadeTimeUp || InNestedLoop())
        return true;
    ArcadeTimeUp = false;
    ArcadeSecondsLeft = -1;
    GameOver(ReasonArcadeClock, Black);
    return false;
}

void VellGameControl::ShowTimeIsUp() {
    GameTimer->Enabled = false;
    MessageBox(GetString(TimeIsUpText), GetString(GameOverCaption), MB_ICONEXCLAMATION);
    ArcadeLost = 1;
}

void VellGameControl::CountArcadeResult(uint8_t winner) {
    if (winner == White) {
        ArcadeStage = ArcadeStage + 1;
        BoardRecord board;
        Engine->CopyBoard(board);
        ArcadePiecesBonus = PieceTotal(board, White);
    } else {
        ArcadeLost = 1;
    }
}

bool VellGameControl::StartArcadeStage() {
    GameTimer->Enabled = false;
    if (ArcadeLost) {
        EndArcadeMatch();
        NewMatch();
        return false;
    }
    if (ArcadeStage > 1)
        AdvanceStage();
    Engine->SetCounters(ArcadeScore, ArcadeStage);
    if (ArcadeStage > 2)
        DepthCap = DepthCap + 1;
    StrengthenComputer();
    return true;
}

void VellGameControl::EndArcadeMatch() {
    if (ArcadeScore < 1) {
        MessageBox(GetString(NoPointsText), GetString(NoPointsCaption), MB_OK);
        return;
    }
    if (!MainForm->EnterLocalScore(FirstSeat->Name, ArcadeStage - 1, ArcadeScore)) {
        MessageBox(GetString(NotInTopTenText) + IntToStr(ArcadeScore) +
                       GetString(NotInTopTenEndText),
                   GetString(MatchOverCaption), MB_OK);
    }
}

// The summary shows the sums that the score and the clock then take.
void VellGameControl::AdvanceStage() {
    MainForm->ShowAdvanceStage();
    ArcadeScore = ArcadeScore + ArcadeSecondsLeft + PointsPerPiece * ArcadePiecesBonus;
    ArcadeSecondsLeft = ArcadeSecondsLeft + StageBonusSeconds(ArcadeStage);
    if (ArcadeSecondsLeft < 1)
        ArcadeSecondsLeft = MinimumSeconds;
    SetStatusPanel(2, GetString(TimeLeftAfterStageText) + " " + IntToStr(ArcadeSecondsLeft));
}

void VellGameControl::StrengthenComputer() {
    if (ArcadeStage <= static_cast<int>(std::size(FirstStages))) {
        const StageStrength& strength = FirstStages[ArcadeStage - 1];
        SecondSeat->SetTimeLimit(strength.Seconds);
        SecondSeat->ErrorRate = strength.ErrorRate;
        return;
    }
    SecondSeat->SetTimeLimit(LaterStageSeconds);
    SecondSeat->ErrorRate = SecondSeat->ErrorRate * LaterStageErrorFactor;
}
