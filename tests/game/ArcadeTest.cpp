// The arcade inside the running program: the start of its match, the clock,
// the sums and the computer of every stage, and the end of the match with
// the local high-score table.

#include <gtest/gtest.h>

#include "game/ComputerPlayer.h"
#include "platform/vcl/StdCtrls.h"
#include "tests/support/ControlFixture.h"
#include "ui/TAdvanceStageForm.h"
#include "ui/TForm1.h"
#include "ui/THighScoreForm.h"
#include "ui/TPlayerSelectionForm.h"

namespace {

class ArcadeTest : public ControlFixture {
protected:
    // A first start without music whose first tick opens an arcade match.
    void StartArcadeMatch(const std::map<int, AnsiString>& settings = {}) {
        std::map<int, AnsiString> values = settings;
        values[GameSetting::MusicOn] = "0";
        StoreSettings(values);
        StartProgram();
        ExpectWelcome();
        ExpectArcadeSelection();
        ExpectArcadeIntroduction();
        ASSERT_TRUE(WaitForHuman());
        hook.Verify();
    }
    void ExpectArcadeSelection() {
        hook.ExpectModal<TPlayerSelectionForm>().Fill([](TPlayerSelectionForm& form) {
            ASSERT_TRUE(form.RadioButton3->Enabled);
            form.RadioButton3->Click();
            form.Edit2->Text = "Ann";
            form.Button1->Click();
        });
    }
    // On the first start of the program only, right after the arcade
    // clock was set: notes the tick.
    void ExpectArcadeIntroduction() {
        hook.ExpectMessageBox(Text(340)).Caption("").Flags(MB_ICONEXCLAMATION).WhileOpen([this] {
            clockSetAt = Game().TickCounter;
        });
    }
    // The seconds the arcade clock has run since a tick: one at every
    // tenth tick, however many ticks the game took meanwhile.
    int SecondsRunSince(int tick) { return Game().TickCounter / 10 - tick / 10; }
    // After a lost arcade the next match replays it.
    void ExpectReplay() {
        hook.ExpectMessageBox(Text(720))
            .Caption(Text(207))
            .Flags(MB_YESNO | MB_ICONQUESTION)
            .Press(IDYES);
        ExpectWelcome();
        ExpectArcadeIntroduction();
    }
    // White keeps `pieces` on the board, black three; nobody has pieces in
    // hand.
    void PositionWithWhitePieces(int pieces) {
        AnsiString points(24, '0');
        for (int p = 0; p < pieces; ++p)
            points[p] = '1';
        points[20] = points[21] = points[22] = '2';
        ASSERT_TRUE(Game().SetGameString("11" + points + IntToStr(pieces) + "300"));
    }
    // Colour 1 wins the stage; the summary is answered.
    void WinStage(int piecesKept) {
        PositionWithWhitePieces(piecesKept);
        hook.ExpectModal<TAdvanceStageForm>().Fill(
            [](TAdvanceStageForm& form) { form.Button1->Click(); });
        Game().GameOver(ReasonTooFewPieces, White);
        ASSERT_TRUE(WaitForHuman());
        hook.Verify();
    }
    AnsiString Panel(int index) { return Form1->StatusBar1->Panels->Items[index]->Text; }
    void Tick() { Game().OnGameTimer(Game().GameTimer); }
    // The clock has run out: the next tick loses the first stage, which
    // scored nothing, so there is no entry in the table; the arcade is
    // replayed.
    void LoseFirstStageOnTheNextTick() {
        hook.ExpectMessageBox(Text(85)).Caption(Text(83)).Flags(MB_ICONEXCLAMATION);
        hook.ExpectMessageBox(Text(94)).Caption(Text(95)).Flags(MB_OK);
        ExpectReplay();
        Tick();
        ASSERT_TRUE(WaitForHuman());
        hook.Verify();
    }

    int clockSetAt = 0;
};

TEST_F(ArcadeTest, MatchStartsOnStageOneWithTheFullClock) {
    StartArcadeMatch();
    VellGameControl& game = Game();
    EXPECT_EQ(game.GameMode, ArcadeMode);
    EXPECT_EQ(game.NetworkGame, 0);
    EXPECT_TRUE(game.FirstSeat->IsHuman());
    EXPECT_EQ(game.PlayerNameByColour(White), "Ann");
    ASSERT_FALSE(game.SecondSeat->IsHuman());
    EXPECT_EQ(game.SecondSeat->Name, Text(103));
    EXPECT_EQ(game.SecondSeat->Colour, Black);
    EXPECT_EQ(game.ArcadeScore, 0);
    EXPECT_EQ(game.ArcadeStage, 1);
    EXPECT_EQ(game.ArcadePiecesBonus, 9);
    EXPECT_EQ(game.ArcadeLost, 0);
    EXPECT_EQ(game.DepthCap, 2);
    EXPECT_EQ(static_cast<ComputerPlayer&>(*game.SecondSeat).TimeLimit, 1);
    EXPECT_FLOAT_EQ(game.SecondSeat->ErrorRate, 0.44f);
    EXPECT_EQ(game.ArcadeSecondsLeft, 220 - SecondsRunSince(clockSetAt));
    EXPECT_EQ(Panel(1), Text(105));
    EXPECT_EQ(Panel(2).rfind(Text(104) + " 2", 0), 0u) << Panel(2);
    EXPECT_FALSE(Form1->NewGame1->Visible);
    EXPECT_FALSE(Form1->DrawGame1->Visible);
    EXPECT_TRUE(Form1->UndoLastMove1->Visible);
    EXPECT_EQ(Form1->StatusBar1->Panels->Items[0]->Width, 300);
    EXPECT_EQ(game.GetSideToMove(), White);
    EXPECT_EQ(game.GetGameState(), PutState);
}

// The clock goes on while the window is open, so the window cannot stop
// it; a stage lost meanwhile would rebuild the list the window works on,
// so it is lost once, after the window has closed.
TEST_F(ArcadeTest, ClockRunsWhileTheHighScoresAreOpenAndTheLossWaitsForTheirEnd) {
    StartArcadeMatch();
    Game().GameTimer->Enabled = false;
    Game().TickCounter = 0;
    Game().ArcadeSecondsLeft = 1;
    hook.ExpectModal<THighScoreForm>().Fill([this](THighScoreForm& form) {
        for (int tick = 1; tick <= 30; ++tick)
            Tick();
        EXPECT_EQ(Game().ArcadeSecondsLeft, 0);
        EXPECT_EQ(Panel(2), Text(104) + " 0");
        EXPECT_EQ(Game().GetGameState(), PutState) << "the stage is not lost inside the window";
        form.Button1->Click();
    });
    Form1->ShowHighscores1->Click();
    hook.Verify();
    EXPECT_EQ(hook.ModalForms().size(), 2u) << "the selection and the high scores only";
    LoseFirstStageOnTheNextTick();
    EXPECT_EQ(hook.BoxesShown(Text(85)), 1) << "lost once";
    EXPECT_GE(Game().ArcadeSecondsLeft, 219) << "the replayed arcade has its full clock";
}

TEST_F(ArcadeTest, ClockShowsZeroForASecondThenLosesTheGame) {
    StartArcadeMatch();
    // The ticks come from the test, one by one.
    Game().GameTimer->Enabled = false;
    Game().TickCounter = 0;
    Game().ArcadeSecondsLeft = 1;
    for (int tick = 1; tick <= 9; ++tick)
        Tick();
    EXPECT_EQ(Game().ArcadeSecondsLeft, 1);
    Tick();
    EXPECT_EQ(Game().ArcadeSecondsLeft, 0);
    EXPECT_EQ(Panel(2), Text(104) + " 0");
    for (int tick = 11; tick <= 19; ++tick)
        Tick();
    EXPECT_EQ(Game().ArcadeSecondsLeft, 0);
    EXPECT_EQ(hook.MessageBoxes().size(), 2u) << "still playing";
    LoseFirstStageOnTheNextTick();
    EXPECT_EQ(Game().Wins2, 0) << "the new match counts afresh";
    EXPECT_EQ(Game().GetSetting(GameSetting::HighScores), "");
    for (const ModalFormCall& form : hook.ModalForms())
        EXPECT_NE(form.ClassName, "THighScoreForm");
    // The replayed arcade starts from the beginning.
    EXPECT_EQ(Game().GameMode, ArcadeMode);
    EXPECT_EQ(Game().ArcadeLost, 0);
    EXPECT_EQ(Game().ArcadeStage, 1);
    EXPECT_EQ(Game().ArcadeSecondsLeft, 220 - SecondsRunSince(clockSetAt));
}

struct StageCase {
    const char* name;
    int stage; // being played
    int secondsLeft;
    int piecesKept;
    int scoreBefore;
    int scoreAfter;
    int secondsAfter;
};

void PrintTo(const StageCase& c, std::ostream* os) {
    *os << c.name;
}

class ArcadeStageTest : public ArcadeTest, public testing::WithParamInterface<StageCase> {};

TEST_P(ArcadeStageTest, WonStageAddsTheSecondsAndPiecesToTheScore) {
    const StageCase& c = GetParam();
    StartArcadeMatch();
    Game().ArcadeStage = c.stage;
    Game().ArcadeScore = c.scoreBefore;
    Game().ArcadeSecondsLeft = c.secondsLeft;
    AnsiString shownScore;
    AnsiString shownTime;
    int ticksAtSummary = 0;
    PositionWithWhitePieces(c.piecesKept);
    hook.ExpectModal<TAdvanceStageForm>().Fill([&](TAdvanceStageForm& form) {
        shownScore = form.Label8->Caption;
        shownTime = form.Label14->Caption;
        ticksAtSummary = Game().TickCounter;
        form.Button1->Click();
    });
    Game().GameOver(ReasonTooFewPieces, White);
    ASSERT_TRUE(WaitForHuman());
    hook.Verify();
    EXPECT_EQ(Game().ArcadeStage, c.stage + 1);
    EXPECT_EQ(Game().ArcadePiecesBonus, c.piecesKept);
    EXPECT_EQ(Game().ArcadeScore, c.scoreAfter);
    EXPECT_EQ(shownScore, IntToStr(c.scoreAfter)) << "the summary shows the same sum";
    // The clock runs again from the summary's sum.
    EXPECT_EQ(Game().ArcadeSecondsLeft, c.secondsAfter - SecondsRunSince(ticksAtSummary));
    if (c.secondsAfter != 10) {
        EXPECT_EQ(shownTime, IntToStr(c.secondsAfter));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sums, ArcadeStageTest,
    testing::Values(StageCase{"FirstStage", 1, 100, 7, 0, 170, 240},
                    StageCase{"FourthStageGivesTwentySeconds", 4, 30, 9, 900, 1020, 50},
                    StageCase{"NoBonusTimeFromStageSix", 5, 30, 6, 500, 590, 30},
                    StageCase{"EmptyClockBecomesTenSeconds", 5, 0, 4, 500, 540, 10}),
    [](const testing::TestParamInfo<StageCase>& info) { return info.param.name; });

TEST_F(ArcadeTest, ComputerGrowsStrongerWithEveryStage) {
    StartArcadeMatch();
    struct Expected {
        int stage, seconds;
        float errorRate;
        int depthCap;
    };
    const Expected stages[] = {{2, 2, 0.39f, 2},
                               {3, 3, 0.33f, 3},
                               {4, 4, 0.33f * 0.75f, 4},
                               {5, 4, 0.33f * 0.75f * 0.75f, 5}};
    for (const Expected& e : stages) {
        WinStage(9);
        ASSERT_EQ(Game().ArcadeStage, e.stage);
        EXPECT_EQ(static_cast<ComputerPlayer&>(*Game().SecondSeat).TimeLimit, e.seconds)
            << "stage " << e.stage;
        EXPECT_FLOAT_EQ(Game().SecondSeat->ErrorRate, e.errorRate) << "stage " << e.stage;
        EXPECT_EQ(Game().DepthCap, e.depthCap) << "stage " << e.stage;
    }
    EXPECT_EQ(Game().ArcadeLost, 0);
}

TEST_F(ArcadeTest, LostRunWithAScoreEntersTheLocalTable) {
    StartArcadeMatch({{GameSetting::HighScores, "Bob|1|200||"}});
    Game().ArcadeStage = 3;
    Game().ArcadeScore = 500;
    hook.ExpectModal<THighScoreForm>().Fill([](THighScoreForm& form) {
        ASSERT_EQ(form.Memo1->Lines->Count, 2);
        EXPECT_EQ(form.Memo1->Lines->Strings[0], "Ann");
        EXPECT_EQ(form.Memo2->Lines->Strings[0], "2");
        EXPECT_EQ(form.Memo3->Lines->Strings[0], "500");
        form.Button1->Click();
    });
    ExpectReplay();
    Game().GameOver(ReasonTooFewPieces, Black);
    ASSERT_TRUE(WaitForHuman());
    hook.Verify();
    EXPECT_EQ(Game().GetSetting(GameSetting::HighScores), "Ann|2|500||Bob|1|200||");
    EXPECT_EQ(Game().ArcadeScore, 0);
}

TEST_F(ArcadeTest, ScoreBelowTenBetterOnesIsRefused) {
    AnsiString table;
    for (int i = 0; i < 10; ++i)
        table += "P" + IntToStr(i) + "|4|" + IntToStr(1000 + i) + "||";
    StartArcadeMatch({{GameSetting::HighScores, table}});
    Game().ArcadeStage = 2;
    Game().ArcadeScore = 300;
    hook.ExpectMessageBox(Text(92) + "300" + Text(93)).Caption(Text(90)).Flags(MB_OK);
    ExpectReplay();
    Game().GameOver(ReasonTooFewPieces, Black);
    ASSERT_TRUE(WaitForHuman());
    hook.Verify();
    EXPECT_EQ(Game().GetSetting(GameSetting::HighScores), table);
    for (const ModalFormCall& form : hook.ModalForms())
        EXPECT_NE(form.ClassName, "THighScoreForm");
}

} // namespace
