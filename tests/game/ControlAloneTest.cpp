// The controller on a main window and a board view of the test's own. The
// test links the controller's library and nothing of ui/, net/ or online/:
// it builds only while that library is whole without the windows above it,
// and it shows that what the controller asks of them is what GameWindow
// and BoardView say.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "game/BoardRules.h"
#include "game/BoardView.h"
#include "game/GameText.h"
#include "game/GameWindow.h"
#include "game/HumanPlayer.h"
#include "game/gamecontrol.h"
#include "myunits/LANGUAGE.h"
#include "myunits/TGlobalBlowFish.h"
#include "myunits/Utils.h"
#include "tests/support/Moves.h"
#include "tests/support/StoredSettings.h"

namespace {

// The board as the rules leave it after each move, and nothing drawn.
class TestBoard final : public BoardView {
public:
    void Reset() override { board = InitBoard(); }
    void LoadGraphics(HMODULE) override {}
    void DrawBoard() override {}
    void RedrawAll() override {}
    void CopyBoard(BoardRecord& out) override { out = board; }
    void SetBoard(BoardRecord given) override { board = given; }
    void SetCounters(int first, int second) override { counters = {first, second}; }
    AnsiString GetBoardStatus() override { return BoardStatusString(board); }
    bool SetBoardStatus(const AnsiString&) override { return false; }
    bool CanJump(uint8_t colour) override { return MayJump(board, colour); }
    void PerformMove(const MoveRecord& move, const uint8_t& colour) override {
        if (move.kind == Put)
            BoardRules::ApplyPut(board, colour, move);
        else if (move.kind == Remove)
            BoardRules::ApplyRemove(board, move, colour);
    }
    void BlinkPoints(const uint8_t*) override {}
    void FlashGlow() override {}
    bool PlayMoveSound() override { return true; }

    BoardRecord board = InitBoard();
    std::vector<int> counters;
};

// The components the controller switches, and no window behind them.
class TestWindow final : public GameWindow {
public:
    TestWindow() : GameWindow(nullptr) {
        MainMenu1 = new TMainMenu(this);
        for (TMenuItem** item :
             {&UndoLastMove1, &DrawGame1, &NewGame1, &StartNewMatch1,
              &HighlightValidSestinationFields1, &Music1, &SoundOn1, &FillOutSurveyForm1})
            *item = new TMenuItem(this);
        StatusBar1 = new TStatusBar(this);
        StatusBar1->Parent = this;
        for (int panel = 0; panel < 3; ++panel)
            StatusBar1->Panels->Add();
        MediaPlayer1 = new TMediaPlayer(this);
        AppDir = GetProgramDir();
    }

    int ScreenColourDepth() override { return 24; }
    void PlayMoveSound() override {}
    void StartPlayTimer() override {}
    void SendIData() override {}
    BoardView* CreateBoardView(VellGameControl*) override {
        board = new TestBoard;
        return board;
    }
    GameLink* CreateLink() override { return nullptr; }
    PlayerSelection* CreatePlayerSelection() override { return nullptr; }
    TForm* CreateTutorial() override { return nullptr; }
    bool CheckTutorialMove(const AnsiString&) override { return false; }
    void ShowAdvanceStage() override {}
    bool SurveyShown() override { return false; }
    void ShowHighScores() override {}
    bool EnterLocalScore(const AnsiString&, int, int) override { return false; }
    TNMHTTP* HighScoreHTTP() override { return nullptr; }
    void ShowNewsletterOffer(bool) override {}
    void ShowRecommendOffer(bool) override {}

    TestBoard* board = nullptr; // owned by the controller
};

class ControlAloneTest : public testing::Test {
protected:
    ControlAloneTest() {
        StoreGameSettings({{GameSetting::MusicOn, "0"}});
        game = std::make_unique<VellGameControl>(&window);
        game->FirstSeat = std::make_unique<HumanPlayer>("Ann", game.get(), White, *game);
        game->SecondSeat = std::make_unique<HumanPlayer>("Bob", game.get(), Black, *game);
        game->MatchLength = 3;
        game->StartNextGame();
    }

    // As the board view hands in a click, and as the next tick executes it.
    void Play(const MoveRecord& move) {
        game->SubmitMove(move, true);
        game->OnGameTimer(nullptr);
    }

    TGlobalBlowFish cipher;
    TMyLanguages languages{GetProgramDir() + "Languages.rc", true};
    TestWindow window;
    std::unique_ptr<VellGameControl> game;
};

TEST_F(ControlAloneTest, APutThatClosesALineAsksTheSameSideForARemoval) {
    const struct {
        MoveRecord move;
        uint8_t sideAfter;
        uint8_t stateAfter;
    } steps[] = {
        {PutOn(0), Black, PutState}, {PutOn(8), White, PutState},    {PutOn(1), Black, PutState},
        {PutOn(9), White, PutState}, {PutOn(2), White, RemoveState}, // 0, 1, 2 is a line
        {Take(8), Black, PutState},
    };
    ASSERT_EQ(game->GetSideToMove(), White);
    for (const auto& step : steps) {
        Play(step.move);
        EXPECT_EQ(game->GetSideToMove(), step.sideAfter) << "after the move on " << step.move.a;
        EXPECT_EQ(game->GetGameState(), step.stateAfter) << "after the move on " << step.move.a;
    }
    EXPECT_EQ(window.board->board.cell[2], White);
    EXPECT_EQ(window.board->board.cell[8], Empty);
    EXPECT_EQ(game->History->Count, 7) << "the start entry and six moves";
    EXPECT_TRUE(window.UndoLastMove1->Enabled) << "a person's move may be taken back";
    const AnsiString prompt = window.StatusBar1->Panels->Items[0]->Text;
    EXPECT_EQ(prompt.rfind("Bob: ", 0), 0u) << prompt;
}

TEST_F(ControlAloneTest, UndoPutsTheBoardViewBackToThePositionBeforeTheLastMove) {
    for (const MoveRecord& move : {PutOn(0), PutOn(8), PutOn(1), PutOn(9), PutOn(2)})
        Play(move);
    const BoardRecord beforeRemoval = window.board->board;
    Play(Take(8));

    game->UndoLastMove();

    EXPECT_EQ(window.board->board.cell[8], Black);
    EXPECT_EQ(BoardStatusString(window.board->board), BoardStatusString(beforeRemoval));
    EXPECT_EQ(game->GetSideToMove(), White);
    EXPECT_EQ(game->GetGameState(), RemoveState);
}

} // namespace
