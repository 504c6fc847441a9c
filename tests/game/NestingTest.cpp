// Commands that arrive while the code below them still works on the game:
// inside the computer's search, inside the execution of a move, inside a
// message box of the main window, inside one of the high-score window and
// inside its wait for the maker's web server. A close of the program
// completes once the nested loop has returned; a game command there does nothing; either way the
// game is never left locked and no move is made from a position that is gone.

#include <gtest/gtest.h>

#include <QTimer>
#include <memory>
#include <tuple>

#include "game/Player.h"
#include "game/gamecontrol.h"
#include "platform/vcl/MessageLoop.h"
#include "platform/vcl/StdCtrls.h"
#include "tests/fixtures/MakerServer.h"
#include "tests/support/ControlFixture.h"
#include "ui/TForm1.h"
#include "ui/THighScoreForm.h"

namespace {

constexpr int ThinkingText = 134;
constexpr int SurrenderMatchQuestion = 44;
constexpr int OnlineConsentQuestion = 259;
constexpr int OnlineRefusedText = 257;
constexpr int DifficultLevel = 3; // thinks up to 19 seconds

enum class Point {
    SearchIteration,
    SearchSecond,
    MoveExecution,
    MainWindowBox,
    HighScoreBox,
    HttpWait
};
enum class Command { QuitFromMenu, CloseWindow, Surrender, SurrenderMatch, OfferDraw, Undo };

const char* const PointNames[] = {"SearchIteration", "SearchSecond", "MoveExecution",
                                  "MainWindowBox",   "HighScoreBox", "HttpWait"};
const char* const CommandNames[] = {"QuitFromMenu",   "CloseWindow", "Surrender",
                                    "SurrenderMatch", "OfferDraw",   "Undo"};

bool Closes(Command command) {
    return command == Command::QuitFromMenu || command == Command::CloseWindow;
}

using Cell = std::tuple<Point, Command>;

class NestingTest : public ControlFixture, public testing::WithParamInterface<Cell> {
protected:
    Point point() const { return std::get<0>(GetParam()); }
    Command command() const { return std::get<1>(GetParam()); }

    void Run(Command command) {
        switch (command) {
        case Command::QuitFromMenu:
            Form1->QuitKorvel1Click(nullptr);
            break;
        case Command::CloseWindow:
            Form1->CloseFromWindow();
            break;
        case Command::Surrender:
            Form1->NewGame1Click(nullptr);
            break;
        case Command::SurrenderMatch:
            Form1->StartNewMatch1Click(nullptr);
            break;
        case Command::OfferDraw:
            Form1->DrawGame1Click(nullptr);
            break;
        case Command::Undo:
            Form1->UndoLastMove1Click(nullptr);
            break;
        }
    }

    AnsiString Status() { return Form1->StatusBar1->Panels->Items[0]->Text; }
    AnsiString Thinking() { return Game().SecondSeat->Name + ": " + Text(ThinkingText); }

    // The code below is where the cell says.
    bool AtPoint() {
        switch (point()) {
        case Point::SearchIteration:
            return Status() == Thinking();
        case Point::SearchSecond:
            return Status().size() > Thinking().size() && Status().back() == '*';
        case Point::MoveExecution:
            return Game().IsMoveInProgress();
        case Point::MainWindowBox:
        case Point::HighScoreBox:
        case Point::HttpWait:
            return true;
        }
        return false;
    }

    int FreePoint() {
        const BoardRecord board = Board();
        for (int p = 0; p < PointCount; ++p)
            if (board.cell[p] == Empty)
                return p;
        return -1;
    }

    // A human's move handed in; the next tick executes it and brings the
    // game to the point, where the command runs once.
    void RunTheCommandAfterAMove() {
        bool ran = false;
        const std::unique_ptr<QTimer> pass = OnEveryPass([&] {
            if (ran || !Running() || !AtPoint())
                return;
            ran = true;
            EXPECT_TRUE(InNestedLoop()) << "the command runs while code below works";
            Run(command());
        });
        Game().EnableGameUI(false);
        Game().SubmitMove(PutOn(FreePoint()), true);
        ASSERT_TRUE(RunUntil([&] { return ran; }));
    }

    void RunTheCommandInsideABox() {
        hook.ExpectMessageBox(Text(SurrenderMatchQuestion))
            .WhileOpen([this] {
                EXPECT_TRUE(InNestedLoop());
                Run(command());
            })
            .Press(IDNO);
        Form1->StartNewMatch1Click(nullptr);
    }

    // The consent question of the high-score window's online exchange.
    void RunTheCommandInsideTheHighScoreWindow() {
        hook.ExpectMessageBox(Text(OnlineConsentQuestion))
            .WhileOpen([this] {
                EXPECT_TRUE(InNestedLoop());
                Run(command());
            })
            .Press(IDNO);
        hook.ExpectMessageBox(Text(OnlineRefusedText));
        hook.ExpectModal<THighScoreForm>().Fill([](THighScoreForm& form) {
            form.Button2->Click();
            form.Button1->Click();
        });
        Form1->ShowHighscores1Click(nullptr);
    }

    // The exchange's first request, which the server answers only after
    // the command.
    void RunTheCommandInsideTheHttpWait() {
        makerserver::MakerServer server;
        server.AnswerPage(makerserver::TenRowPage());
        server.AnswerLater(makerserver::VersionScript, {200, "OK", "NoUpdate\n"});
        bool ran = false;
        const std::unique_ptr<QTimer> pass = OnEveryPass([&] {
            if (ran || server.RequestsTo(makerserver::VersionScript).empty())
                return;
            ran = true;
            EXPECT_TRUE(InNestedLoop());
            Run(command());
            server.Release();
        });
        hook.ExpectMessageBox(Text(OnlineConsentQuestion)).Press(IDYES);
        hook.ExpectModal<THighScoreForm>().Fill([](THighScoreForm& form) {
            form.Button2->Click();
            form.Button1->Click();
        });
        Form1->ShowHighscores1Click(nullptr);
        EXPECT_TRUE(ran);
    }
};

TEST_P(NestingTest, TheCommandCompletesAfterTheLoopOrDoesNothing) {
    if (point() == Point::SearchIteration || point() == Point::SearchSecond)
        StartClassicMatch(DifficultLevel);
    else
        StartTwoPeopleMatch();
    // The computer's first answer comes from its opening book; the second
    // one it searches for.
    Play(PutOn(FreePoint()));
    if (point() == Point::MainWindowBox)
        RunTheCommandInsideABox();
    else if (point() == Point::HighScoreBox)
        RunTheCommandInsideTheHighScoreWindow();
    else if (point() == Point::HttpWait)
        RunTheCommandInsideTheHttpWait();
    else
        RunTheCommandAfterAMove();

    if (Closes(command())) {
        EXPECT_TRUE(Form1->CloseRequested);
        EXPECT_TRUE(RunUntil([] { return Form1->Game == nullptr; }))
            << "the close completes once control is back in the main loop";
        EXPECT_FALSE(Form1->Visible);
        return;
    }
    ASSERT_TRUE(WaitForHuman()) << "the game goes on";
    Play(PutOn(FreePoint()));
    EXPECT_EQ(Game().Wins1 + Game().Wins2, 0) << "no game was ended";
    EXPECT_EQ(Game().MatchOver, 0);
    EXPECT_TRUE(Game().GameTimer->Enabled);
    hook.Verify();
}

INSTANTIATE_TEST_SUITE_P(
    Cells, NestingTest,
    testing::Combine(testing::Values(Point::SearchIteration, Point::SearchSecond,
                                     Point::MoveExecution, Point::MainWindowBox,
                                     Point::HighScoreBox, Point::HttpWait),
                     testing::Values(Command::QuitFromMenu, Command::CloseWindow,
                                     Command::Surrender, Command::SurrenderMatch,
                                     Command::OfferDraw, Command::Undo)),
    [](const testing::TestParamInfo<Cell>& info) {
        return std::string(PointNames[static_cast<int>(std::get<0>(info.param))]) + "_" +
               CommandNames[static_cast<int>(std::get<1>(info.param))];
    });

} // namespace
