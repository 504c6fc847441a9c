// The end of a game: its messages, the win counters and the match
// decision, the next match, and taking moves back.

#include <gtest/gtest.h>

#include <vector>

#include "game/Player.h"
#include "platform/win32/Clock.h"
#include "tests/support/ControlFixture.h"
#include "ui/GFXEngine.h"
#include "ui/TForm1.h"
#include "ui/TPlayerSelectionForm.h"

namespace {

class ControlEndTest : public ControlFixture {};

TEST_F(ControlEndTest, NoLegalMoveNamesTheLoserFirst) {
    StartTwoPeopleMatch();
    // Black to move: its four pieces on the outer corners are shut in.
    hook.ExpectMessageBox("Bob " + Text(80) + " Ann " + Text(81)).Caption(Text(83)).Flags(MB_OK);
    LoadPosition("21"
                 "212121210000000000000000"
                 "4400");
    hook.Verify();
    EXPECT_EQ(Game().Wins1, 1);
    EXPECT_EQ(Game().Wins2, 0);
    // The next game has begun, by colour 2.
    EXPECT_EQ(Game().GetSideToMove(), Black);
    EXPECT_EQ(Game().GetGameState(), PutState);
}

TEST_F(ControlEndTest, DrawCountsForNobodyAndSaysSo) {
    StartTwoPeopleMatch();
    hook.ExpectMessageBox(Text(84)).Caption(Text(83)).Flags(MB_ICONEXCLAMATION);
    Game().DrawGame();
    hook.Verify();
    EXPECT_EQ(Game().Wins1, 0);
    EXPECT_EQ(Game().Wins2, 0);
    EXPECT_EQ(Game().MatchOver, 0);
}

TEST_F(ControlEndTest, GivingUpAndTooFewPiecesEndSilently) {
    StartTwoPeopleMatch(5);
    const size_t before = hook.MessageBoxes().size();
    Game().GameOver(ReasonGivenUp, Black);
    Game().GameOver(ReasonTooFewPieces, White);
    EXPECT_EQ(hook.MessageBoxes().size(), before);
    EXPECT_EQ(Game().Wins1, 1);
    EXPECT_EQ(Game().Wins2, 1);
}

// Winners of successive games (0 a draw) and after which game the match
// is decided, -1 for never.
struct MatchCase {
    const char* name;
    int length;
    std::vector<uint8_t> winners;
    int decidedAfter;
};

void PrintTo(const MatchCase& c, std::ostream* os) {
    *os << c.name;
}

class ControlMatchTest : public ControlFixture, public testing::WithParamInterface<MatchCase> {};

TEST_P(ControlMatchTest, MatchIsDecidedByMoreThanHalfTheGames) {
    const MatchCase& c = GetParam();
    StartTwoPeopleMatch(c.length);
    for (size_t game = 0; game < c.winners.size(); ++game) {
        const uint8_t winner = c.winners[game];
        const bool decides = static_cast<int>(game) == c.decidedAfter;
        if (winner == Empty)
            hook.ExpectMessageBox(Text(84)).Caption(Text(83));
        if (decides && winner == White)
            hook.ExpectMessageBox("Ann " + Text(89)).Caption(Text(90)).Flags(MB_OK);
        if (decides && winner == Black)
            hook.ExpectMessageBox("Bob " + Text(88)).Caption(Text(90)).Flags(MB_OK);
        if (winner == Empty)
            Game().DrawGame();
        else
            Game().GameOver(ReasonGivenUp, winner);
        hook.Verify();
        EXPECT_EQ(Game().MatchOver, static_cast<int>(game) >= c.decidedAfter && c.decidedAfter >= 0)
            << "after game " << game + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, ControlMatchTest,
    testing::Values(MatchCase{"BestOfThreeBySecondWin", 3, {Black, White, Black}, 2},
                    MatchCase{"BestOfThreeTwoStraightWins", 3, {White, White}, 1},
                    MatchCase{"BestOfOneByFirstWin", 1, {Black}, 0},
                    MatchCase{"DrawsNeverDecide", 1, {Empty, Empty, Empty}, -1},
                    MatchCase{"BestOfFiveAfterDraws", 5, {White, Empty, White, Black, White}, 4}),
    [](const testing::TestParamInfo<MatchCase>& info) { return info.param.name; });

TEST_F(ControlEndTest, NextTickAfterTheMatchAsksToReplayTheSameChoices) {
    StartTwoPeopleMatch(1);
    hook.ExpectMessageBox("Ann " + Text(89)).Caption(Text(90));
    Game().GameOver(ReasonGivenUp, White);
    const Player* oldSeat = Game().FirstSeat.get();
    // Still the first start: its welcome comes with every match.
    hook.ExpectMessageBox(Text(720))
        .Caption(Text(207))
        .Flags(MB_YESNO | MB_ICONQUESTION)
        .Press(IDYES);
    ExpectWelcome();
    ASSERT_TRUE(RunUntil([&] { return Game().MatchOver == 0 && Game().IsGameUIEnabled(); }));
    hook.Verify();
    EXPECT_EQ(hook.ModalForms().size(), 1u) << "the dialog is not shown again";
    EXPECT_NE(Game().FirstSeat.get(), oldSeat);
    EXPECT_EQ(Game().GameMode, TwoPeopleMode);
    EXPECT_EQ(Game().PlayerNameByColour(White), "Ann");
    EXPECT_EQ(Game().PlayerNameByColour(Black), "Bob");
    EXPECT_EQ(Game().MatchLength, 1);
    EXPECT_EQ(Game().Wins1, 0);
    EXPECT_EQ(Game().GetSideToMove(), White);
    EXPECT_EQ(Form1->FindComponent("PlayerSelectionForm"), nullptr) << "the dialog is freed";
}

TEST_F(ControlEndTest, DecidedMatchEndsOnATickAfterTheNextGameHasStarted) {
    StartTwoPeopleMatch(1);
    // A tick every millisecond: one is due long before the next game's
    // first side has been asked, which lets messages through.
    SetClockScale(100);
    hook.ExpectMessageBox("Ann " + Text(89)).Caption(Text(90));
    Game().GameOver(ReasonGivenUp, White);
    hook.Verify();
    EXPECT_EQ(Game().MatchOver, 1);
    EXPECT_EQ(hook.ModalForms().size(), 1u) << "no new match inside the old one";
    EXPECT_TRUE(Game().IsGameUIEnabled());
    hook.ExpectMessageBox(Text(720)).Caption(Text(207)).Press(IDNO);
    ExpectWelcome();
    ExpectTwoPeopleSelection(3);
    ASSERT_TRUE(RunUntil([&] { return Game().MatchOver == 0 && Game().IsGameUIEnabled(); }));
    EXPECT_EQ(Game().MatchLength, 3);
}

TEST_F(ControlEndTest, DecliningTheReplayShowsTheDialogAgain) {
    StartTwoPeopleMatch(1);
    hook.ExpectMessageBox("Bob " + Text(88)).Caption(Text(90));
    Game().GameOver(ReasonGivenUp, Black);
    hook.ExpectMessageBox(Text(720)).Caption(Text(207)).Press(IDNO);
    ExpectWelcome();
    ExpectClassicSelection(3, 5);
    ASSERT_TRUE(
        RunUntil([&] { return Game().GameMode == ClassicMode && Game().IsGameUIEnabled(); }));
    EXPECT_EQ(Game().ReplayFlag, 0);
    EXPECT_EQ(Game().MatchLength, 5);
    EXPECT_FALSE(Game().SecondSeat->IsHuman());
}

struct TooEasyCase {
    int difficulty;
    bool praised;
};

void PrintTo(const TooEasyCase& c, std::ostream* os) {
    *os << "difficulty " << c.difficulty;
}

class ControlTooEasyTest : public ControlFixture,
                           public testing::WithParamInterface<TooEasyCase> {};

TEST_P(ControlTooEasyTest, BeatingAnEasyComputerSuggestsAHarderLevel) {
    StartClassicMatch(GetParam().difficulty);
    if (GetParam().praised)
        hook.ExpectMessageBox(Text(86)).Caption(Text(87)).Flags(MB_ICONEXCLAMATION);
    Game().GameOver(ReasonTooFewPieces, White);
    hook.Verify();
    EXPECT_EQ(Game().Wins1, 1);
    // The second game is begun by the computer, which has put already.
    ASSERT_TRUE(WaitForHuman());
    EXPECT_EQ(Game().Entry(0)->SideToMove, Black);
    EXPECT_EQ(Board().onBoard[1], 1);
}

INSTANTIATE_TEST_SUITE_P(Levels, ControlTooEasyTest,
                         testing::Values(TooEasyCase{0, true}, TooEasyCase{1, true},
                                         TooEasyCase{2, false}));

// ---- Undo ----

TEST_F(ControlEndTest, FourUndosAgainstTheComputerThenRefused) {
    StartClassicMatch(0);
    for (int undo = 1; undo <= 4; ++undo) {
        Play(PutOn(0));
        ASSERT_EQ(Game().History->Count, 3) << "the computer has answered";
        ASSERT_TRUE(Form1->UndoLastMove1->Enabled);
        Form1->UndoLastMove1->Click();
        EXPECT_EQ(Game().UndoCount, undo);
        EXPECT_EQ(Game().History->Count, 1);
        EXPECT_EQ(Board().onBoard[0] + Board().onBoard[1], 0);
        EXPECT_EQ(Game().GetSideToMove(), White);
        EXPECT_EQ(Game().GetGameState(), PutState);
        EXPECT_FALSE(Form1->UndoLastMove1->Enabled);
        EXPECT_TRUE(Game().IsGameUIEnabled());
    }
    Play(PutOn(0));
    hook.ExpectMessageBox(Text(108)).Caption(Text(43)).Flags(MB_ICONSTOP);
    Form1->UndoLastMove1->Click();
    hook.Verify();
    EXPECT_EQ(Game().History->Count, 3);
    EXPECT_EQ(Board().cell[0], White);
    EXPECT_EQ(Board().onBoard[1], 1);
    EXPECT_EQ(Game().UndoCount, 4);
}

TEST_F(ControlEndTest, TwoPeopleTakeBackAsManyMovesAsTheyLike) {
    StartTwoPeopleMatch();
    Play(PutOn(0));
    Play(PutOn(8));
    for (int undo = 1; undo <= 6; ++undo) {
        Play(PutOn(3));
        ASSERT_TRUE(Form1->UndoLastMove1->Enabled) << "before undo " << undo;
        Form1->UndoLastMove1->Click();
        EXPECT_EQ(Game().UndoCount, undo);
        EXPECT_EQ(Game().History->Count, 3);
        EXPECT_EQ(Board().cell[3], Empty);
        EXPECT_EQ(Board().cell[8], Black);
        EXPECT_EQ(Game().GetSideToMove(), White);
        EXPECT_EQ(Game().GetGameState(), PutState);
    }
    EXPECT_EQ(hook.MessageBoxes().size(), 1u); // only the welcome
}

TEST_F(ControlEndTest, UndoAtTheStartDoesNothing) {
    StartTwoPeopleMatch();
    Game().UndoLastMove();
    EXPECT_EQ(Game().UndoCount, 0);
    EXPECT_EQ(Game().History->Count, 1);
    EXPECT_EQ(Game().GetGameState(), PutState);
    EXPECT_FALSE(Form1->UndoLastMove1->Enabled);
}

TEST_F(ControlEndTest, UndoReturnsToTheRemovalAfterAClosedLine) {
    StartClassicMatch(0);
    // White has closed a line and must remove; black's pieces are free.
    LoadPosition("14"
                 "111000002000000000000000"
                 "3163");
    Play(Take(8));
    ASSERT_EQ(Game().History->Count, 3);
    Form1->UndoLastMove1->Click();
    EXPECT_EQ(Game().GetGameState(), RemoveState);
    EXPECT_EQ(Game().GetSideToMove(), White);
    EXPECT_EQ(Board().cell[8], Black);
    EXPECT_EQ(AnsiString(Form1->StatusBar1->Panels->Items[0]->Text), "Ann: " + Text(133));
}

} // namespace
