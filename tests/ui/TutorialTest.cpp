// The tutorial in the running program: its window beside the board, the
// eleven pages walked with Next and Back, the pages that check the user's
// move by clicks on the board, leaving it, and the match that follows.

#include <gtest/gtest.h>

#include <QTimer>
#include <vector>

#include "game/Player.h"
#include "game/gamecontrol.h"
#include "myunits/Settings.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/StdCtrls.h"
#include "tests/support/GameFixture.h"
#include "tests/ui/DrawnBoard.h"
#include "ui/GFXEngine.h"
#include "ui/TForm1.h"
#include "ui/TPlayerSelectionForm.h"
#include "ui/TTutorialForm.h"

namespace {

const AnsiString kStart = "150000000000000000000000000099";
const AnsiString kMills = "152220110112000011022000006611";
const AnsiString kMillsBack = "152220110112000011022000006612";
const AnsiString kMoving = "112222100110210001221000017700";
const AnsiString kJumping = "112202001021000000221200003700";

class TutorialTest : public GameFixture {
protected:
    // The main window, moved to `left` and `top` when given, opens the
    // tutorial with its first match.
    void StartTutorial(int left = -1, int top = -1) {
        StartProgram();
        if (left >= 0)
            Form1->SetBounds(left, top, Form1->Width, Form1->Height);
        ExpectWelcome();
        ExpectTutorialSelection();
        ASSERT_TRUE(RunUntil([] { return TutorialForm != nullptr && TutorialForm->Visible; }));
    }
    void ExpectTutorialSelection() {
        hook.ExpectModal<TPlayerSelectionForm>().Fill([](TPlayerSelectionForm& form) {
            form.RadioButton4->Click();
            form.Edit2->Text = "Ann";
            form.Button1->Click();
        });
    }
    TTutorialForm& Tutorial() { return *TutorialForm; }
    void GoToPage(int page) {
        while (Tutorial().Page < page)
            Tutorial().Button1->Click();
        ASSERT_EQ(Tutorial().Page, page);
    }
    // The clicks of a move, then the ticks until the controller has
    // executed it and asked whoever comes next.
    void PlayAndSettle(const MoveRecord& move) {
        Play(move);
        ASSERT_TRUE(RunUntil([this] { return !Game().PendingMove && !Game().IsMoveInProgress(); }));
    }
    bool WaitForPage(int page) {
        return RunUntil([this, page] { return TutorialForm && Tutorial().Page == page; });
    }
    void ExpectWrongMove(int text) {
        hook.ExpectMessageBox(Text(text)).Caption(Text(461)).Flags(MB_OK | MB_ICONEXCLAMATION);
    }
    int TutorialWindows() {
        int count = 0;
        for (int i = 0; i < Form1->ComponentCount; ++i)
            count += dynamic_cast<TTutorialForm*>(static_cast<TComponent*>(Form1->Components[i])) !=
                     nullptr;
        return count;
    }
    // The board as drawn matches its record: the pieces stand where the
    // record has them, and no mark is left lit.
    void ExpectDrawnAsRecorded(const char* how) {
        const DrawnBoard drawn(Board(), Form1->GraphicsLibrary);
        EXPECT_EQ(drawn.Pieces(), DrawnBoard::PiecesOf(CurrentBoard()))
            << how << " page " << int(Tutorial().Page) << ", drawn: " << drawn.Shown();
    }
    AnsiString Panel(int index) { return Form1->StatusBar1->Panels->Items[index]->Text; }
    std::vector<TMenuItem*> GameMenuItems() {
        return {Form1->NewGame1, Form1->UndoLastMove1, Form1->StartNewMatch1, Form1->DrawGame1};
    }
};

TEST_F(TutorialTest, OpensBesideTheMainWindowWithTheMenuHidden) {
    StartTutorial(300, 40);
    EXPECT_EQ(Game().GameMode, TutorialMode);
    EXPECT_EQ(Tutorial().Left + Tutorial().Width, 300);
    EXPECT_EQ(Tutorial().Top, 52);
    EXPECT_FALSE(Tutorial().Modal);
    EXPECT_EQ(Tutorial().Caption, Text(478));
    EXPECT_EQ(Form1->Menu, nullptr);
    for (TMenuItem* item : GameMenuItems())
        EXPECT_FALSE(item->Visible) << item->Name;
    EXPECT_EQ(Panel(1), Text(478));
    EXPECT_EQ(Panel(0), "");
    EXPECT_TRUE(Game().GameTimer->Enabled);
    EXPECT_TRUE(Game().PlayerByColour(White)->IsHuman());
    EXPECT_EQ(Game().PlayerNameByColour(Black), Text(98));
    EXPECT_FALSE(Tutorial().RetryPending);
    EXPECT_EQ(Tutorial().Page, 0);
    EXPECT_FALSE(Tutorial().Button2->Enabled);
}

TEST_F(TutorialTest, WithoutRoomBesideTheMainWindowItStaysOnTheScreen) {
    StartTutorial(20, 30);
    EXPECT_EQ(Tutorial().Left, 0);
    EXPECT_EQ(Tutorial().Top, 42);
}

TEST_F(TutorialTest, NextWalksEveryPageWithItsPositionAndTexts) {
    struct Expected {
        AnsiString position;
        bool input;
        int text1;
        int text2; // 0: empty
    };
    const Expected pages[] = {
        {kStart, false, 453, 0},
        {kStart, false, 482, 483},
        {kStart, true, 454, 455},
        {kMills, false, 456, 457},
        {kMills, true, 459, 0},
        // The demonstrated put on 6 closed a line: white removes next.
        {"142220111112000011022000007601", true, 462, 463},
        {kMoving, false, 464, 465},
        {kMoving, true, 466, 467},
        {kJumping, false, 469, 470},
        {kJumping, true, 471, 472},
        // The demonstrated jump from 6 to 2.
        {"112212000021000000221200003700", false, 474, 475},
    };
    StartTutorial();
    for (int page = 0; page <= 10; ++page) {
        SCOPED_TRACE(page);
        if (page > 0)
            Tutorial().Button1->Click();
        const Expected& expected = pages[page];
        EXPECT_EQ(Tutorial().Page, page);
        EXPECT_EQ(Game().GetGameString(), expected.position);
        EXPECT_EQ(Game().IsGameUIEnabled(), expected.input);
        EXPECT_EQ(Tutorial().Label1->Caption, Text(expected.text1));
        EXPECT_EQ(Tutorial().Label2->Caption, expected.text2 ? Text(expected.text2) : "");
        EXPECT_EQ(Tutorial().Button2->Enabled, page > 0);
        EXPECT_TRUE(Tutorial().Button1->Enabled);
        EXPECT_TRUE(Tutorial().Button3->Enabled);
    }
    // The demonstrations leave the game's record alone.
    EXPECT_EQ(HistoryCount(), 1);
}

// What the board shows, not only what its record holds: every page as Next
// and Back leave it, the demonstrated moves included.
TEST_F(TutorialTest, EveryPageDrawsTheBoardItsRecordHolds) {
    StartTutorial();
    ExpectDrawnAsRecorded("opened on");
    while (Tutorial().Page < 10) {
        Tutorial().Button1->Click();
        ExpectDrawnAsRecorded("Next to");
    }
    while (Tutorial().Page > 0) {
        Tutorial().Button2->Click();
        ExpectDrawnAsRecorded("Back to");
    }
}

TEST_F(TutorialTest, BackStepsToThePageBefore) {
    StartTutorial();
    GoToPage(6);
    Tutorial().Button2->Click();
    EXPECT_EQ(Tutorial().Page, 5);
    EXPECT_EQ(Game().GetGameString(), kMillsBack);
    EXPECT_EQ(Tutorial().Label1->Caption, Text(462));
    Tutorial().Button2->Click();
    EXPECT_EQ(Game().GetGameString(), kMills);
    while (Tutorial().Page > 0)
        Tutorial().Button2->Click();
    EXPECT_FALSE(Tutorial().Button2->Enabled);
    EXPECT_EQ(Game().GetGameString(), kStart);
    Tutorial().Button1->Click();
    EXPECT_TRUE(Tutorial().Button2->Enabled);
}

TEST_F(TutorialTest, PageFourTakesThePutThatClosesALineAndThenTheRemoval) {
    StartTutorial();
    GoToPage(4);
    ExpectWrongMove(460);
    PlayAndSettle(MoveRecord{3, -1, 0, Put});
    EXPECT_EQ(Tutorial().Page, 4);
    EXPECT_EQ(Game().GetGameString(), kMills);
    EXPECT_TRUE(Game().IsGameUIEnabled());

    PlayAndSettle(MoveRecord{6, -1, 0, Put});
    EXPECT_EQ(Tutorial().Page, 5);
    EXPECT_EQ(Game().GetGameState(), RemoveState);
    EXPECT_EQ(Game().GetSideToMove(), White);
    EXPECT_TRUE(Game().IsGameUIEnabled());

    PlayAndSettle(MoveRecord{18, -1, 0, Remove});
    EXPECT_EQ(Tutorial().Page, 6);
    EXPECT_EQ(Game().GetGameString(), kMoving);
    EXPECT_FALSE(Game().IsGameUIEnabled());
}

TEST_F(TutorialTest, PageSevenTakesTheBlockingMoveOnly) {
    StartTutorial();
    GoToPage(7);
    ExpectWrongMove(476);
    PlayAndSettle(MoveRecord{4, 5, 0, Move});
    EXPECT_EQ(Tutorial().Page, 7);
    EXPECT_EQ(Game().GetGameString(), kMoving);
    EXPECT_TRUE(Game().IsGameUIEnabled());

    PlayAndSettle(MoveRecord{8, 9, 0, Move});
    EXPECT_EQ(Tutorial().Page, 8);
    EXPECT_EQ(Game().GetGameString(), kJumping);
    EXPECT_FALSE(Game().IsGameUIEnabled());
}

TEST_F(TutorialTest, PageNineLetsTheComputerAnswerAWrongJumpOnceThenSetsItBack) {
    StartTutorial();
    GoToPage(9);
    const int before = HistoryCount();
    ExpectWrongMove(473);
    Play(MoveRecord{6, 5, 0, Jump});
    ASSERT_TRUE(
        RunUntil([this] { return hook.BoxesShown(Text(473)) == 1 && !Game().IsMoveInProgress(); }));
    // The wrong jump and the computer's one answer.
    EXPECT_EQ(HistoryCount(), before + 2);
    EXPECT_EQ(Game().Entry(before + 1)->SideToMove, Black);
    EXPECT_EQ(Tutorial().Page, 9);
    EXPECT_FALSE(Tutorial().RetryPending);
    EXPECT_EQ(Game().GetGameString(), kJumping);
    EXPECT_TRUE(Game().IsGameUIEnabled());

    PlayAndSettle(MoveRecord{6, 2, 0, Jump});
    EXPECT_EQ(Tutorial().Page, 10);
    EXPECT_EQ(Game().GetGameString(), "212212000021000000221200003700");
    ExpectDrawnAsRecorded("the user's jump to");
    EXPECT_FALSE(Game().IsGameUIEnabled());
    EXPECT_EQ(HistoryCount(), before + 3); // the computer was not asked
}

TEST_F(TutorialTest, AnAgreedDrawOnTheFreeBoardEndsNothing) {
    StartTutorial();
    GoToPage(2);
    // Four pieces each, all put; the next move is the sixteenth in a row
    // without a put or a removal.
    ASSERT_TRUE(Game().SetGameString("110102000020201000100001204400"));
    Game().MovesWithoutPutOrRemove = 15;
    hook.ExpectMessageBox(Text(107))
        .Caption(Text(68))
        .Flags(MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL)
        .Press(IDYES);
    const int before = HistoryCount();
    Play(MoveRecord{1, 2, 0, Move});
    // The move is taken all the same and the computer answers it.
    ASSERT_TRUE(RunUntil([&] { return HistoryCount() >= before + 2 && HumanToMove(); }));
    EXPECT_EQ(Game().Entry(before)->SideToMove, White);
    EXPECT_EQ(Game().Entry(before + 1)->SideToMove, Black);
    EXPECT_EQ(Game().Wins1 + Game().Wins2, 0);
    EXPECT_EQ(Tutorial().Page, 2);
    EXPECT_EQ(Game().GameMode, TutorialMode);
}

TEST_F(TutorialTest, LeavingAnsweredNoStaysOnThePage) {
    StartTutorial();
    GoToPage(3);
    hook.ExpectMessageBox(Text(480))
        .Caption(Text(481))
        .Flags(MB_YESNO | MB_ICONQUESTION)
        .Press(IDNO);
    Tutorial().Button3->Click();
    ASSERT_NE(TutorialForm, nullptr);
    EXPECT_TRUE(Tutorial().Visible);
    EXPECT_EQ(Tutorial().Page, 3);
    EXPECT_EQ(Game().GetGameString(), kMills);
    EXPECT_EQ(Game().GameMode, TutorialMode);
}

TEST_F(TutorialTest, LeavingAnsweredYesOpensANewMatch) {
    StartTutorial();
    GoToPage(3);
    hook.ExpectMessageBox(Text(480))
        .Caption(Text(481))
        .Flags(MB_YESNO | MB_ICONQUESTION)
        .Press(IDYES);
    ExpectWelcome(); // still the program's first start
    MatchChoice classic;
    ExpectSelection(classic);
    Tutorial().Button3->Click();
    EXPECT_EQ(TutorialForm, nullptr);
    EXPECT_EQ(Game().GameMode, ClassicMode);
    EXPECT_EQ(Form1->Menu, Form1->MainMenu1);
    EXPECT_TRUE(Form1->NewGame1->Visible);
    EXPECT_TRUE(Form1->UndoLastMove1->Visible);
    EXPECT_TRUE(Form1->StartNewMatch1->Visible);
    // Leaving does not count as completing.
    EXPECT_EQ(Game().GetSetting(GameSetting::TutorialCompleted), "0");
    // The closed window goes once its handler has returned.
    ASSERT_TRUE(RunUntil([this] { return TutorialWindows() == 0 && HumanToMove(); }));
}

TEST_F(TutorialTest, EscapeAsksToLeave) {
    StartTutorial();
    hook.ExpectMessageBox(Text(480)).Press(IDNO);
    EXPECT_TRUE(Tutorial().PressDialogKey(true));
}

// Without this the window manager's close would hide the window and leave
// the board locked with no tutorial to go on with.
TEST_F(TutorialTest, ClosingTheWindowAsksToLeave) {
    StartTutorial();
    GoToPage(3);
    hook.ExpectMessageBox(Text(480)).Caption(Text(481)).Press(IDNO);
    Tutorial().Close();
    ASSERT_EQ(hook.BoxesShown(Text(480)), 1);
    ASSERT_NE(TutorialForm, nullptr);
    EXPECT_TRUE(Tutorial().Visible);
    EXPECT_EQ(Tutorial().Page, 3);
}

TEST_F(TutorialTest, NextOnTheLastPageStoresTheCompletionAndOffersTheClassicGame) {
    StartTutorial();
    GoToPage(10);
    // The last choice is now the classic game, which may be replayed.
    hook.ExpectMessageBox(Text(720)).Caption(Text(207)).Press(IDNO);
    ExpectWelcome();
    bool classicOffered = false;
    hook.ExpectModal<TPlayerSelectionForm>().Fill([&](TPlayerSelectionForm& form) {
        classicOffered = form.RadioButton2->Checked;
        form.Button1->Click();
    });
    Tutorial().Button1->Click();
    EXPECT_TRUE(classicOffered);
    EXPECT_EQ(Game().GetSetting(GameSetting::GameType), "1");
    EXPECT_EQ(Game().GetSetting(GameSetting::TutorialCompleted), "1");
    EXPECT_EQ(TutorialForm, nullptr);
    EXPECT_EQ(Game().GameMode, ClassicMode);
    ASSERT_TRUE(RunUntil([this] { return TutorialWindows() == 0 && HumanToMove(); }));
}

TEST_F(TutorialTest, TheTutorialChosenAgainFromItsLastPageStartsAfresh) {
    StartTutorial();
    TTutorialForm* first = TutorialForm;
    GoToPage(10);
    hook.ExpectMessageBox(Text(720)).Press(IDNO);
    ExpectWelcome();
    ExpectTutorialSelection();
    Tutorial().Button1->Click();
    ASSERT_NE(TutorialForm, nullptr);
    EXPECT_NE(TutorialForm, first);
    EXPECT_EQ(Tutorial().Page, 0);
    EXPECT_TRUE(Tutorial().Visible);
    EXPECT_EQ(Game().GetGameString(), kStart);
    // The first window goes; the second one keeps working.
    ASSERT_TRUE(RunUntil([this] { return TutorialWindows() == 1; }));
    GoToPage(4);
    EXPECT_EQ(Game().GetGameString(), kMills);
}

TEST_F(TutorialTest, NextPressedWhileTheComputerAnswersDoesNothing) {
    StartTutorial();
    GoToPage(9);
    // Presses Next from inside the computer's search, which lets messages
    // through: shown there, the right jump would start from a board that
    // no longer holds the piece on 6.
    int pressed = 0;
    auto presser = OnEveryPass([&] {
        if (Game().IsMoveInProgress() && Tutorial().RetryPending) {
            ++pressed;
            Tutorial().Button1->Click();
        }
    });
    ExpectWrongMove(473);
    Play(MoveRecord{6, 5, 0, Jump});
    ASSERT_TRUE(
        RunUntil([this] { return hook.BoxesShown(Text(473)) == 1 && !Game().IsMoveInProgress(); }));
    presser.reset();
    EXPECT_GT(pressed, 0);
    EXPECT_EQ(Tutorial().Page, 9);
    EXPECT_EQ(Game().GetGameString(), kJumping);
}

struct WindowSizeCase {
    const char* name;
    int width;
    int height;
};

void PrintTo(const WindowSizeCase& c, std::ostream* out) {
    *out << c.name;
}

class TutorialWindowSizeTest : public TutorialTest,
                               public testing::WithParamInterface<WindowSizeCase> {
protected:
    void ExpectSize(const char* when) {
        const WindowSizeCase& c = GetParam();
        EXPECT_EQ(Form1->Width, c.width) << when;
        EXPECT_EQ(Form1->Height, c.height) << when;
        EXPECT_EQ(Game().GetSetting(GameSetting::WindowWidth), IntToStr(c.width)) << when;
        EXPECT_EQ(Game().GetSetting(GameSetting::WindowHeight), IntToStr(c.height)) << when;
    }
};

// The tutorial takes the menu bar away and gives it back; the window keeps
// its size meanwhile (the board gets the bar's room), so the stored size
// does not grow from one start to the next.
TEST_P(TutorialWindowSizeTest, TheSizeSurvivesTheHiddenMenuAndARestart) {
    const WindowSizeCase& c = GetParam();
    StoreSettings({{GameSetting::WindowWidth, IntToStr(c.width)},
                   {GameSetting::WindowHeight, IntToStr(c.height)}});
    StartTutorial();
    ASSERT_EQ(Form1->Menu, nullptr);
    ExpectSize("menu hidden");
    EXPECT_EQ(Form1->ClientHeight, c.height);

    hook.ExpectMessageBox(Text(480)).Press(IDYES);
    ExpectWelcome();
    ExpectSelection(MatchChoice());
    Tutorial().Button3->Click();
    ASSERT_EQ(Form1->Menu, Form1->MainMenu1);
    ExpectSize("menu shown again");
    EXPECT_LT(Form1->ClientHeight, c.height);

    StopProgram();
    StartProgram();
    ExpectSize("after a restart");
}

INSTANTIATE_TEST_SUITE_P(Sizes, TutorialWindowSizeTest,
                         testing::Values(WindowSizeCase{"DesignSize", 640, 480},
                                         WindowSizeCase{"Larger", 720, 560}),
                         [](const testing::TestParamInfo<WindowSizeCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(TutorialTest, ClosingTheProgramDuringTheTutorialFreesItsWindow) {
    StartTutorial();
    GoToPage(2);
    StopProgram();
    EXPECT_EQ(TutorialForm, nullptr);
}

} // namespace
