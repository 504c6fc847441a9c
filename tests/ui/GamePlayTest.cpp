// Whole games through the real code path: the main window's start-up, the
// player-selection dialog, the game timer's ticks and clicks on the board.

#include <algorithm>
#include <vector>

#include "game/Player.h"
#include "game/gamecontrol.h"
#include "tests/support/GameFixture.h"
#include "ui/GFXEngine.h"
#include "ui/TForm1.h"
#include "ui/TPlayerSelectionForm.h"
#include "ui/TSurrenderForm.h"

namespace {

const std::map<uint8_t, Style> WhitePresses = {{1, Style::Pressing}, {2, Style::Yielding}};

class GamePlayTest : public GameFixture {
protected:
    // After a decided match the program asks whether to play the same
    // again; the answer No opens the dialog, whose "Quit Game" ends it. On
    // its first start the program welcomes the user at every match.
    void ExpectMatchEnd() {
        hook.ExpectMessageBox(Text(720)).Caption(Text(207)).Press(IDNO).Repeatedly();
        hook.ExpectMessageBox(Text(299)).Repeatedly();
        hook.ExpectModal<TPlayerSelectionForm>().Result(mrCancel).Repeatedly();
    }
    // Waits for the human side's turn, then plays the move by clicks.
    void PlayOne(const MoveRecord& move) {
        ASSERT_TRUE(RunUntil([this] { return HumanToMove(); }));
        Play(move);
        ASSERT_TRUE(RunUntil([this] { return !Game().PendingMove && HumanToMove(); }));
    }
};

TEST_F(GamePlayTest, TwoPeoplePlayToAWinByPieces) {
    MatchChoice choice;
    choice.opponent = MatchChoice::TwoPeople;
    choice.matchLength = 3;
    StartMatch(choice);

    // Every move the winner makes, with the board it was made on.
    std::vector<std::pair<MoveRecord, BoardRecord>> whiteMoves;
    ASSERT_TRUE(RunUntil([this] { return Game().Wins1 + Game().Wins2 > 0; }, 120,
                         [&] {
                             if (!HumanToMove())
                                 return;
                             const BoardRecord board = CurrentBoard();
                             const uint8_t side = Game().GetSideToMove();
                             const MoveRecord move = ChooseMove(board, side, Game().GetGameState(),
                                                                WhitePresses.at(side));
                             if (side == 1)
                                 whiteMoves.push_back({move, board});
                             Play(move);
                         }));

    EXPECT_EQ(Game().Wins1, 1);
    EXPECT_EQ(Game().Wins2, 0);
    ASSERT_FALSE(whiteMoves.empty());
    // The last move took black's third-last piece.
    EXPECT_EQ(whiteMoves.back().first.kind, Remove);
    EXPECT_EQ(PieceTotal(whiteMoves.back().second, 2), 3);
    // A win by pieces is announced by no message (the one box is the
    // welcome); the match goes on.
    EXPECT_EQ(hook.MessageBoxes().size(), 1u);
    EXPECT_EQ(Game().MatchOver, 0);
}

TEST_F(GamePlayTest, ClassicGameAgainstTheBeginnerToItsEnd) {
    MatchChoice choice;
    choice.opponent = MatchChoice::Classic;
    choice.difficulty = 0;
    choice.matchLength = 3;
    StartMatch(choice);
    EXPECT_EQ(Game().GameMode, ClassicMode);
    EXPECT_EQ(Game().DepthCap, 1);
    EXPECT_FLOAT_EQ(Game().SecondSeat->ErrorRate, 0.47f);
    EXPECT_EQ(Form1->StatusBar1->Panels->Items[1]->Text(), Text(145));
    // Whatever the end: a won or lost game with its messages, or a draw.
    hook.ExpectMessageBox(Text(86)).Caption(Text(87)).Repeatedly();
    hook.ExpectMessageBox(Text(107)).Caption(Text(68)).Press(IDYES).Repeatedly();
    hook.ExpectMessageBox(Text(84)).Caption(Text(83)).Repeatedly();
    hook.ExpectMessageBox(Text(129)).Caption(Text(43)).Repeatedly();
    hook.ExpectMessageBox("Ann " + Text(80) + " " + Text(103) + " " + Text(81))
        .Caption(Text(83))
        .Repeatedly();
    hook.ExpectMessageBox(Text(103) + " " + Text(80) + " Ann " + Text(81))
        .Caption(Text(83))
        .Repeatedly();

    int computerPieces = 0;
    const auto ended = [this] {
        return Game().Wins1 + Game().Wins2 > 0 || hook.BoxesShown(Text(84)) > 0;
    };
    ASSERT_TRUE(RunUntil(ended, 300, [&] {
        if (!HumanToMove())
            return;
        computerPieces =
            std::max(computerPieces, PieceTotal(CurrentBoard(), 2) - CurrentBoard().inHand[1]);
        PlayTurn(WhitePresses);
    }));
    // The computer played its pieces; the human side clicked only legal
    // moves, since the board refused none (a refusal is an unexpected box).
    EXPECT_GT(computerPieces, 0);
    EXPECT_EQ(Game().Wins1 + Game().Wins2 + hook.BoxesShown(Text(84)), 1);
}

TEST_F(GamePlayTest, BestOfThreeIsDecidedByTheSecondWin) {
    MatchChoice choice;
    choice.opponent = MatchChoice::TwoPeople;
    choice.matchLength = 3;
    StartMatch(choice);
    hook.ExpectMessageBox("Ann " + Text(89)).Caption(Text(90));
    ExpectMatchEnd();

    ASSERT_TRUE(PlayUntil([this] { return Game().Wins1 == 1; }, WhitePresses));
    EXPECT_EQ(Game().MatchOver, 0);
    EXPECT_EQ(hook.BoxesShown("Ann " + Text(89)), 0);
    // The second game is begun by black.
    EXPECT_EQ(Game().GetSideToMove(), 2);
    EXPECT_EQ(Game().GetGameState(), 5);

    ASSERT_TRUE(PlayUntil([this] { return hook.BoxesShown("Ann " + Text(89)) > 0; }, WhitePresses));
    EXPECT_EQ(hook.BoxesShown("Ann " + Text(89)), 1);
    EXPECT_EQ(hook.BoxesShown("Ben " + Text(88)), 0);
}

// After the match is decided the same choices can be played again: the
// new match begins at 0:0 with colour 1 to start.
TEST_F(GamePlayTest, ADecidedMatchCanBePlayedAgainWithTheSameChoices) {
    MatchChoice choice;
    choice.opponent = MatchChoice::TwoPeople;
    StartMatch(choice);
    hook.ExpectMessageBox("Ann " + Text(89)).Caption(Text(90));
    hook.ExpectMessageBox(Text(720))
        .Caption(Text(207))
        .Flags(MB_YESNO | MB_ICONQUESTION)
        .Press(IDYES);
    hook.ExpectMessageBox(Text(299)).Repeatedly();

    ASSERT_TRUE(PlayUntil([this] { return hook.BoxesShown(Text(720)) == 1 && HumanToMove(); },
                          WhitePresses));
    EXPECT_EQ(Game().GameMode, TwoPeopleMode);
    EXPECT_EQ(Game().Wins1 + Game().Wins2, 0);
    EXPECT_EQ(Game().PlayerNameByColour(1), "Ann");
    EXPECT_EQ(Game().PlayerNameByColour(2), "Ben");
    EXPECT_EQ(Game().GetSideToMove(), 1);
    EXPECT_EQ(HistoryCount(), 1);
    // The dialog was not shown again.
    EXPECT_EQ(hook.ModalForms().size(), 1u);
}

// Eighteen puts that close no line, then each side moves one piece to and
// fro: white between 1 and 2, black between 11 and 12.
TEST_F(GamePlayTest, TheSixteenthMoveWithoutPutOrRemoveAsksForADraw) {
    MatchChoice choice;
    choice.opponent = MatchChoice::TwoPeople;
    choice.matchLength = 3;
    StartMatch(choice);
    for (int point : {20, 11, 23, 17, 21, 13, 5, 10, 9, 6, 0, 7, 1, 19, 16, 22, 14, 15})
        PlayOne({point, -1, 0, Put});
    ASSERT_EQ(Game().GetGameState(), 1);
    ASSERT_EQ(Game().GetSideToMove(), 1);

    const MoveRecord shuttle[4] = {
        {1, 2, 0, Move}, {11, 12, 0, Move}, {2, 1, 0, Move}, {12, 11, 0, Move}};
    hook.ExpectMessageBox(Text(107))
        .Caption(Text(68))
        .Flags(MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL)
        .Press(IDNO);
    for (int move = 1; move <= 15; ++move)
        PlayOne(shuttle[(move - 1) % 4]);
    EXPECT_EQ(hook.BoxesShown(Text(107)), 0);
    PlayOne(shuttle[15 % 4]);
    EXPECT_EQ(hook.BoxesShown(Text(107)), 1);

    // The count starts again; this time the draw is taken.
    hook.ExpectMessageBox(Text(107)).Caption(Text(68)).Press(IDYES);
    hook.ExpectMessageBox(Text(84)).Caption(Text(83));
    for (int move = 17; move <= 31; ++move)
        PlayOne(shuttle[(move - 1) % 4]);
    EXPECT_EQ(hook.BoxesShown(Text(107)), 1);
    ASSERT_TRUE(RunUntil([this] { return HumanToMove(); }));
    Play(shuttle[31 % 4]);
    ASSERT_TRUE(RunUntil([this] { return hook.BoxesShown(Text(84)) == 1 && HumanToMove(); }));
    EXPECT_EQ(Game().Wins1 + Game().Wins2, 0);
    EXPECT_EQ(HistoryCount(), 1);
    EXPECT_EQ(Game().GetGameState(), 5);
}

TEST_F(GamePlayTest, FourUndosAgainstTheComputerAndTheFifthIsRefused) {
    MatchChoice choice;
    StartMatch(choice);
    const auto computerReplied = [this] { return HumanToMove() && CurrentBoard().onBoard[1] == 1; };
    for (int undo = 1; undo <= 4; ++undo) {
        ASSERT_TRUE(RunUntil([this] { return HumanToMove(); }));
        Play({undo, -1, 0, Put});
        ASSERT_TRUE(RunUntil(computerReplied)) << "undo " << undo;
        ASSERT_TRUE(Form1->UndoLastMove1->Enabled);
        Form1->UndoLastMove1->Click();
        ASSERT_TRUE(RunUntil([this] { return HumanToMove(); }));
        const BoardRecord board = CurrentBoard();
        EXPECT_EQ(board.onBoard[0] + board.onBoard[1], 0) << "undo " << undo;
        EXPECT_EQ(board.inHand[0], 9);
        EXPECT_EQ(HistoryCount(), 1);
    }
    Play({5, -1, 0, Put});
    ASSERT_TRUE(RunUntil(computerReplied));
    hook.ExpectMessageBox(Text(108)).Caption(Text(43)).Flags(MB_ICONSTOP);
    Form1->UndoLastMove1->Click();
    EXPECT_EQ(hook.BoxesShown(Text(108)), 1);
    EXPECT_EQ(CurrentBoard().cell[5], 1);
    EXPECT_EQ(CurrentBoard().onBoard[1], 1);
    EXPECT_EQ(HistoryCount(), 3);
}

TEST_F(GamePlayTest, SurrenderAgainstTheComputerGivesTheGameToTheComputer) {
    MatchChoice choice;
    choice.matchLength = 3;
    StartMatch(choice);
    ASSERT_TRUE(RunUntil([this] { return HumanToMove(); }));
    Play({0, -1, 0, Put});
    ASSERT_TRUE(RunUntil([this] { return HumanToMove() && HistoryCount() == 3; }));
    ASSERT_TRUE(Form1->NewGame1->Enabled);
    Form1->NewGame1->Click();
    EXPECT_EQ(Game().Wins2, 1);
    EXPECT_EQ(Game().Wins1, 0);
    EXPECT_EQ(Game().MatchOver, 0);
    // The next game has begun, with the computer to start it.
    ASSERT_TRUE(RunUntil([this] { return HumanToMove(); }));
    EXPECT_EQ(CurrentBoard().onBoard[1], 1);
    EXPECT_EQ(CurrentBoard().onBoard[0], 0);
}

struct SurrenderCase {
    const char* name;
    bool ok;
    bool firstGivesUp;
    int wins1;
    int wins2;
};

void PrintTo(const SurrenderCase& c, std::ostream* out) {
    *out << c.name;
}

class TwoPeopleSurrenderTest : public GamePlayTest,
                               public testing::WithParamInterface<SurrenderCase> {};

TEST_P(TwoPeopleSurrenderTest, TheDialogNamesBothAndTheCheckedOneGivesUp) {
    const SurrenderCase c = GetParam();
    MatchChoice choice;
    choice.opponent = MatchChoice::TwoPeople;
    choice.matchLength = 3;
    StartMatch(choice);
    PlayOne({0, -1, 0, Put});
    PlayOne({8, -1, 0, Put});
    hook.ExpectModal<TSurrenderForm>().Fill([c](TSurrenderForm& form) {
        EXPECT_EQ(form.RadioButton1->Caption(), "Ann");
        EXPECT_EQ(form.RadioButton2->Caption(), "Ben");
        if (!c.ok) {
            form.Button2->Click();
            return;
        }
        (c.firstGivesUp ? form.RadioButton1 : form.RadioButton2)->Click();
        form.Button1->Click();
    });
    Form1->NewGame1->Click();
    EXPECT_EQ(SurrenderForm, nullptr);
    EXPECT_EQ(Game().Wins1, c.wins1);
    EXPECT_EQ(Game().Wins2, c.wins2);
    // Cancel leaves the game as it was; a surrender starts the next one.
    EXPECT_EQ(HistoryCount(), c.ok ? 1 : 3);
}

INSTANTIATE_TEST_SUITE_P(Answers, TwoPeopleSurrenderTest,
                         testing::Values(SurrenderCase{"FirstGivesUp", true, true, 0, 1},
                                         SurrenderCase{"SecondGivesUp", true, false, 1, 0},
                                         SurrenderCase{"Cancel", false, false, 0, 0}),
                         [](const testing::TestParamInfo<SurrenderCase>& info) {
                             return info.param.name;
                         });

} // namespace
