// The controller's construction, the first tick, the seats of a match and
// the step order of the game loop.

#include <gtest/gtest.h>

#include <QTimer>
#include <algorithm>
#include <vector>

#include "game/ComputerPlayer.h"
#include "game/Player.h"
#include "tests/support/ControlFixture.h"
#include "ui/GFXEngine.h"
#include "ui/TForm1.h"
#include "ui/TPlayerSelectionForm.h"

namespace {

// Moving phase, nothing in hand, no line anywhere: white (nine pieces) can
// shuttle 16-23 for ever, and black (five pieces) then always has exactly
// one move, which never closes a line either.
const AnsiString ShuttlePosition = "11"
                                   "001100001012212110121020"
                                   "9500";

MoveRecord WhiteShuttle(int count) {
    return count % 2 == 0 ? Step(16, 23) : Step(23, 16);
}

// Black's only legal move.
MoveRecord ForcedBlackMove(const BoardRecord& board) {
    std::vector<MoveRecord> moves;
    for (int p = 0; p < PointCount; ++p)
        for (int n : Neighbours[p])
            if (n >= 0 && board.cell[p] == Black && board.cell[n] == Empty)
                moves.push_back(Step(p, n));
    EXPECT_EQ(moves.size(), 1u);
    return moves.empty() ? PassMove : moves.front();
}

class ControlLoopTest : public ControlFixture {};

TEST_F(ControlLoopTest, ConstructionLeavesNoGameWithOnlyTheStartEntry) {
    StartProgram();
    VellGameControl& game = Game();
    EXPECT_EQ(game.GetGameState(), NoGameState);
    EXPECT_EQ(game.GetSideToMove(), Black);
    EXPECT_EQ(game.WhoStarts, 0);
    EXPECT_FALSE(Form1->UndoLastMove1->Enabled);
    EXPECT_FALSE(game.IsGameUIEnabled());
    EXPECT_EQ(game.PendingMove, nullptr);
    EXPECT_EQ(game.DrawMoveLimit, 15);
    EXPECT_EQ(game.FirstMatch, 1);
    EXPECT_EQ(game.TickCounter, 0);
    EXPECT_EQ(static_cast<unsigned>(game.GameTimer->Interval), 100u);
    ASSERT_EQ(game.History->Count, 1);
    const HistoryEntry& start = *game.Entry(0);
    EXPECT_EQ(start.Move.kind, NoMove);
    EXPECT_EQ(start.Move.a, -1);
    EXPECT_EQ(start.Move.b, -1);
    EXPECT_EQ(start.GameState, PutState);
    EXPECT_EQ(start.SideToMove, Black);
    const BoardRecord initial = InitBoard();
    EXPECT_TRUE(std::equal(std::begin(start.Board.cell), std::end(start.Board.cell),
                           std::begin(initial.cell)));
    EXPECT_EQ(start.Board.inHand[0], 9);
    EXPECT_EQ(start.Board.inHand[1], 9);
    EXPECT_TRUE(game.IsAtGameStart());
}

TEST_F(ControlLoopTest, FirstTickOpensATwoPeopleMatchBegunByColourOne) {
    StartTwoPeopleMatch();
    VellGameControl& game = Game();
    EXPECT_EQ(game.GameMode, TwoPeopleMode);
    EXPECT_EQ(game.FirstMatch, 0);
    EXPECT_EQ(game.MatchLength, 3);
    EXPECT_TRUE(game.FirstSeat->IsHuman());
    EXPECT_TRUE(game.SecondSeat->IsHuman());
    EXPECT_EQ(game.PlayerNameByColour(White), "Ann");
    EXPECT_EQ(game.PlayerNameByColour(Black), "Bob");
    EXPECT_EQ(game.GetGameState(), PutState);
    EXPECT_EQ(game.GetSideToMove(), White);
    EXPECT_EQ(game.History->Count, 1);
    EXPECT_EQ(game.Entry(0)->SideToMove, White);
    EXPECT_TRUE(Form1->DrawGame1->Visible);
    EXPECT_TRUE(Form1->UndoLastMove1->Visible);
    EXPECT_FALSE(Form1->UndoLastMove1->Enabled);
    EXPECT_TRUE(Form1->NewGame1->Enabled);
    EXPECT_EQ(AnsiString(Form1->StatusBar1->Panels->Items[0]->Text), "Ann: " + Text(130));
    EXPECT_EQ(AnsiString(Form1->StatusBar1->Panels->Items[1]->Text), Text(97));
    EXPECT_EQ(AnsiString(Form1->StatusBar1->Panels->Items[2]->Text), Text(96));
    // A human who must put sees every free point lit.
    EXPECT_TRUE(std::all_of(std::begin(game.Engine->Glow), std::end(game.Engine->Glow),
                            [](uint8_t glow) { return glow == 1; }));
}

struct DifficultyCase {
    int difficulty;
    int seconds;
    float errorRate;
    int depthCap;
    int panelText;
};

void PrintTo(const DifficultyCase& c, std::ostream* os) {
    *os << "difficulty " << c.difficulty;
}

class ControlDifficultyTest : public ControlFixture,
                              public testing::WithParamInterface<DifficultyCase> {};

TEST_P(ControlDifficultyTest, ClassicMatchSetsTheComputersStrength) {
    const DifficultyCase& c = GetParam();
    StartClassicMatch(c.difficulty);
    VellGameControl& game = Game();
    EXPECT_EQ(game.GameMode, ClassicMode);
    EXPECT_TRUE(game.FirstSeat->IsHuman());
    ASSERT_FALSE(game.SecondSeat->IsHuman());
    auto& computer = static_cast<ComputerPlayer&>(*game.SecondSeat);
    EXPECT_EQ(computer.Name, Text(103));
    EXPECT_EQ(computer.Colour, Black);
    EXPECT_EQ(game.HumanColour(), White);
    EXPECT_EQ(computer.TimeLimit, c.seconds);
    EXPECT_FLOAT_EQ(computer.ErrorRate, c.errorRate);
    EXPECT_EQ(game.DepthCap, c.depthCap);
    EXPECT_EQ(AnsiString(Form1->StatusBar1->Panels->Items[1]->Text), Text(c.panelText));
    EXPECT_FALSE(Form1->DrawGame1->Visible);
    EXPECT_TRUE(Form1->UndoLastMove1->Visible);
}

INSTANTIATE_TEST_SUITE_P(Levels, ControlDifficultyTest,
                         testing::Values(DifficultyCase{0, 1, 0.47f, 1, 145},
                                         DifficultyCase{1, 1, 0.25f, 30000, 100},
                                         DifficultyCase{2, 4, 0.0f, 30000, 101},
                                         DifficultyCase{3, 19, 0.0f, 30000, 102}));

TEST_F(ControlLoopTest, QuitGameInThePlayerSelectionEndsTheProgram) {
    StoreSettings({{GameSetting::MusicOn, "0"}});
    StartProgram();
    ExpectWelcome();
    hook.ExpectModal<TPlayerSelectionForm>().Result(mrCancel);
    ASSERT_TRUE(RunUntil([] { return Application->Terminated(); }));
    EXPECT_FALSE(Game().GameTimer->Enabled);
    EXPECT_EQ(Game().FirstSeat, nullptr);
}

TEST_F(ControlLoopTest, MoveSubmittedTwiceBeforeATickExecutesOnlyTheLast) {
    StartTwoPeopleMatch();
    Game().EnableGameUI(false);
    Game().SubmitMove(PutOn(0), true);
    Game().SubmitMove(PutOn(5), true);
    ASSERT_TRUE(WaitForHuman());
    const BoardRecord board = Board();
    EXPECT_EQ(board.cell[0], Empty);
    EXPECT_EQ(board.cell[5], White);
    EXPECT_EQ(board.inHand[0], 8);
    ASSERT_EQ(Game().History->Count, 2);
    EXPECT_FALSE(Game().IsAtGameStart());
    EXPECT_EQ(LastEntry().Move.a, 5);
    EXPECT_EQ(LastEntry().SideToMove, White);
    EXPECT_EQ(LastEntry().GameState, PutState);
    EXPECT_EQ(Game().GetSideToMove(), Black);
}

TEST_F(ControlLoopTest, PutThatClosesALineKeepsTheSideForTheRemoval) {
    StartTwoPeopleMatch();
    for (int point : {0, 8, 1, 9})
        Play(PutOn(point));
    Play(PutOn(2));
    EXPECT_EQ(Game().GetGameState(), RemoveState);
    EXPECT_EQ(Game().GetSideToMove(), White);
    EXPECT_EQ(AnsiString(Form1->StatusBar1->Panels->Items[0]->Text), "Ann: " + Text(133));
    Play(Take(8));
    EXPECT_EQ(Board().cell[8], Empty);
    EXPECT_EQ(Game().GetGameState(), PutState);
    EXPECT_EQ(Game().GetSideToMove(), Black);
    EXPECT_EQ(Game().History->Count, 7);
}

TEST_F(ControlLoopTest, NothingToRemoveIsAPassThatHandsOnTheTurn) {
    StartTwoPeopleMatch();
    // Black's three pieces stand in a line and black still has pieces in
    // hand, so none of them may be taken.
    LoadPosition("15"
                 "110000002220000000000000"
                 "2376");
    hook.ExpectMessageBox(Text(129)).Caption(Text(43)).Flags(MB_ICONEXCLAMATION);
    Play(PutOn(2));
    EXPECT_EQ(LastEntry().Move.kind, NoMove);
    EXPECT_EQ(LastEntry().GameState, RemoveState);
    EXPECT_EQ(LastEntry().SideToMove, White);
    const BoardRecord board = Board();
    EXPECT_EQ(board.onBoard[1], 3);
    EXPECT_EQ(Game().GetSideToMove(), Black);
    EXPECT_EQ(Game().GetGameState(), PutState);
}

TEST_F(ControlLoopTest, RemoveLeavingTwoPiecesEndsTheGameByPieces) {
    StartTwoPeopleMatch();
    // Black is down to three pieces, all of which may be taken.
    LoadPosition("14"
                 "111000002020200000001000"
                 "4300");
    Play(Take(8));
    // No message for this reason; the win counts and the next game has
    // begun, by colour 2.
    EXPECT_EQ(Game().Wins1, 1);
    EXPECT_EQ(Game().Wins2, 0);
    EXPECT_EQ(Game().MatchOver, 0);
    EXPECT_EQ(Game().History->Count, 1);
    EXPECT_EQ(Game().GetGameState(), PutState);
    EXPECT_EQ(Game().GetSideToMove(), Black);
    EXPECT_EQ(Board().onBoard[1], 0);
    EXPECT_EQ(hook.MessageBoxes().size(), 1u); // only the welcome
}

// The sixteenth move in a row without put or removal asks for a draw.
class ControlDrawTest : public ControlFixture, public testing::WithParamInterface<uint8_t> {
protected:
    void StartShuttle() {
        if (GetParam() == TwoPeopleMode)
            StartTwoPeopleMatch();
        else
            StartClassicMatch(0);
        LoadPosition(ShuttlePosition);
    }
    // White's shuttle; between two people black's forced reply as well.
    void PlayMoves(int count) {
        for (int i = 0; i < count; ++i) {
            if (Game().GetSideToMove() == White)
                Play(WhiteShuttle(whiteMoves++));
            else
                Play(ForcedBlackMove(Board()));
        }
    }
    int MovesUntilTheQuestion() const { return GetParam() == TwoPeopleMode ? 16 : 8; }
    void ExpectDrawQuestion(int answer) {
        hook.ExpectMessageBox(Text(107))
            .Caption(Text(68))
            .Flags(MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL)
            .Press(answer);
    }

    int whiteMoves = 0;
};

TEST_P(ControlDrawTest, YesToTheDrawQuestionEndsTheGameAsADraw) {
    StartShuttle();
    PlayMoves(MovesUntilTheQuestion() - 1);
    EXPECT_EQ(Game().MovesWithoutPutOrRemove, GetParam() == TwoPeopleMode ? 15 : 14);
    ExpectDrawQuestion(IDYES);
    hook.ExpectMessageBox(Text(84)).Caption(Text(83)).Flags(MB_ICONEXCLAMATION);
    PlayMoves(1);
    hook.Verify();
    EXPECT_EQ(Game().Wins1, 0);
    EXPECT_EQ(Game().Wins2, 0);
    EXPECT_EQ(Game().MovesWithoutPutOrRemove, 0);
    // The next game, begun by colour 2, has started.
    EXPECT_EQ(Game().Entry(0)->SideToMove, Black);
    EXPECT_EQ(Game().Entry(0)->Board.onBoard[0] + Game().Entry(0)->Board.onBoard[1], 0);
}

TEST_P(ControlDrawTest, NoToTheDrawQuestionOffersTheDrawFromTheMenu) {
    StartShuttle();
    PlayMoves(MovesUntilTheQuestion() - 1);
    if (GetParam() == ClassicMode) {
        EXPECT_FALSE(Form1->DrawGame1->Visible);
    }
    ExpectDrawQuestion(IDNO);
    PlayMoves(1);
    hook.Verify();
    EXPECT_TRUE(Form1->DrawGame1->Visible);
    EXPECT_EQ(Game().MovesWithoutPutOrRemove, 0);
    EXPECT_EQ(Game().GetGameState(), MoveState);
    EXPECT_EQ(Game().History->Count, 17);
}

INSTANTIATE_TEST_SUITE_P(Modes, ControlDrawTest, testing::Values(TwoPeopleMode, ClassicMode),
                         [](const testing::TestParamInfo<uint8_t>& info) {
                             return info.param == TwoPeopleMode ? "TwoPeople" : "Classic";
                         });

TEST_F(ControlLoopTest, ComputerMarksEachSecondOfThoughtWhileMessagesRun) {
    StartClassicMatch(2); // four seconds of thought
    LoadPosition(ShuttlePosition);
    // The test samples panel 0 on every pass of the event loop: inside the
    // search only when it lets the application process its messages.
    struct Sample {
        AnsiString text;
        int tick;
    };
    std::vector<Sample> samples;
    auto sampler = OnEveryPass([&] {
        const AnsiString text = Form1->StatusBar1->Panels->Items[0]->Text;
        if (samples.empty() || samples.back().text != text)
            samples.push_back({text, Game().TickCounter});
    });
    Play(WhiteShuttle(0));
    sampler.reset();
    const AnsiString thinking = Text(103) + ": " + Text(134);
    std::vector<Sample> marked;
    for (const Sample& sample : samples)
        if (sample.text.rfind(thinking + "*", 0) == 0)
            marked.push_back(sample);
    ASSERT_GE(marked.size(), 2u) << "no second of thought was marked";
    for (size_t i = 0; i < marked.size(); ++i) {
        EXPECT_EQ(marked[i].text, thinking + AnsiString(i + 1, '*')) << "one mark per second";
        // No tick of the game runs inside the computer's turn.
        EXPECT_EQ(marked[i].tick, marked[0].tick);
    }
    EXPECT_EQ(Board().cell[23], White);
    EXPECT_EQ(Game().GetSideToMove(), White);
}

} // namespace
