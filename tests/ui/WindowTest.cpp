// The main window: its resource, its start-up and shutdown, the menu
// commands, the stored window size and the settings across a restart.

#include <QAction>
#include <QIcon>
#include <QImage>

#include "game/GameWindow.h"
#include "game/gamecontrol.h"
#include "myunits/LANGUAGE.h"
#include "myunits/Settings.h"
#include "myunits/TGlobalBlowFish.h"
#include "myunits/Utils.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/win32/Registry.h"
#include "tests/support/GameFixture.h"
#include "ui/TForm1.h"
#include "ui/TPlayerSelectionForm.h"

namespace {

class WindowTest : public GameFixture {
protected:
    // The first match opens with the welcome and the dialog, which the
    // tests leave with these choices.
    void StartAndPlay(const MatchChoice& choice) { StartMatch(choice); }
    // The dialog is left with "Quit Game", which ends the program.
    void StartAndQuit() {
        StartProgram();
        ExpectWelcome();
        hook.ExpectModal<TPlayerSelectionForm>().Result(mrCancel);
        ASSERT_TRUE(RunUntil([] { return bool(Application->Terminated); }));
    }
};

struct MenuItemCase {
    const char* name;
    int tag;
    const char* designCaption;
    bool visibleAtStart;
};

// Items, Tags and design captions of the form resource; the items whose
// windows do not exist yet stay hidden.
const MenuItemCase MenuItems[] = {
    {"Game1", 0, "&Game", true},
    {"UndoLastMove1", 3, "&Undo Last Move", true},
    {"ShowHighscores1", 2, "Show &Highscores", true},
    {"DrawGame1", 4, "&Offer Draw Game", false},
    {"NewGame1", 5, "&Surrender Game", true},
    {"StartNewMatch1", 6, "Surrender &Match", true},
    {"QuitKorvel1", 7, "Quit Korvel", true},
    {"Settings1", 9, "&Settings", true},
    {"HighlightValidSestinationFields1", 10, "&Highlight Valid Destination Fields", true},
    {"Music1", 11, "Music On", true},
    {"SoundOn1", 17, "Sound On", true},
    {"DownloadotherVorlaneGames1", 18, "Other Games", true},
    {"Tolva1", 19, "&Tolva+", true},
    {"Help1", 12, "&Help", true},
    {"Contents1", 13, "Help &Contents", true},
    {"GameRules1", 14, "Game &Rules", true},
    {"Enterourmailinglist1", 580, "Enter our mailing list", false},
    {"TellAFried1", 21, "Tell A Friend", true},
    {"FillOutSurveyForm1", 1, "&Fill out survey form", false},
};

TMenuItem* MenuItem(const char* name) {
    return dynamic_cast<TMenuItem*>(Form1->FindComponent(name));
}

TEST_F(WindowTest, TheResourceHasTheMenuStatusBarAndMusicPlayer) {
    Form1 = new TForm1(Application);
    for (const MenuItemCase& c : MenuItems) {
        TMenuItem* item = MenuItem(c.name);
        ASSERT_NE(item, nullptr) << c.name;
        EXPECT_EQ(item->Tag, c.tag) << c.name;
        EXPECT_EQ(item->Caption(), c.designCaption) << c.name;
        EXPECT_EQ(bool(item->Visible), c.visibleAtStart) << c.name;
    }
    EXPECT_EQ(Form1->Width, 640);
    EXPECT_EQ(Form1->Height, 480);
    EXPECT_EQ(Form1->Constraints->MinWidth, 640);
    EXPECT_EQ(Form1->Constraints->MinHeight, 480);
    EXPECT_EQ(Form1->Color, clBlack);
    EXPECT_EQ(Form1->Position, poScreenCenter);
    EXPECT_EQ(Form1->Menu, Form1->MainMenu1);
    ASSERT_EQ(Form1->StatusBar1->Panels->Count, 3);
    EXPECT_FALSE(Form1->StatusBar1->SizeGrip);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Form1->StatusBar1->Panels->Items[i]->Bevel, pbNone);
    EXPECT_EQ(Form1->MediaPlayer1->Mode, mpNotReady);
    // Built, not yet shown: the services of the constructor only.
    EXPECT_FALSE(Form1->CloseRequested);
    EXPECT_EQ(Form1->AppDir, GetProgramDir());
    EXPECT_EQ(Form1->Game, nullptr);
    EXPECT_EQ(Form1->Languages, nullptr);
    EXPECT_NE(Form1->LogFile, nullptr);
    EXPECT_NE(Form1->BlowFish, nullptr);
    EXPECT_EQ(MainWindow(), Form1) << "the windows below it reach it";
    delete Form1;
    EXPECT_EQ(MainWindow(), nullptr) << "nothing reaches a freed main window";
    Form1 = nullptr;
}

// The resource's image list holds the picture that the build draws, and
// the other game's item shows it as its image 0.
TEST_F(WindowTest, TheOtherGameItemShowsTheFirstImageOfTheMenusList) {
    StartIdleProgram();
    EXPECT_EQ(Form1->MainMenu1->Images, Form1->ImageList1);
    ASSERT_EQ(Form1->ImageList1->Count, 1);
    const QImage image = Form1->ImageList1->Image(0).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(16, 16));
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            opaque += qAlpha(image.pixel(x, y)) == 255;
    EXPECT_GT(opaque, 16 * 16 / 2) << "the image is mostly see-through";

    EXPECT_EQ(Form1->Tolva1->ImageIndex, 0);
    const QIcon icon = Form1->Tolva1->Action()->icon();
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.pixmap(image.size()).toImage().convertToFormat(QImage::Format_ARGB32), image);
    for (TMenuItem* other : {Form1->DownloadotherVorlaneGames1, Form1->QuitKorvel1})
        EXPECT_TRUE(other->Action()->icon().isNull()) << other->Name;
}

TEST_F(WindowTest, TheStartUpCaptionsTheWindowAndOpensTheFirstMatchOnTheFirstTick) {
    StartProgram();
    EXPECT_EQ(Application->Title(), Text(207));
    EXPECT_EQ(Application->HelpFile(), Folder() + "Korvel.hlp");
    EXPECT_EQ(Form1->Caption(), Text(30) + " " + GetVersionString());
    for (const MenuItemCase& c : MenuItems)
        EXPECT_EQ(MenuItem(c.name)->Caption(), c.tag ? Text(c.tag) : AnsiString(c.designCaption))
            << c.name;
    const int width = Form1->ClientWidth;
    EXPECT_EQ(Form1->StatusBar1->Panels->Items[0]->Width, static_cast<int>(width * 0.55));
    EXPECT_EQ(Form1->StatusBar1->Panels->Items[1]->Width, static_cast<int>(width * 0.25));
    EXPECT_EQ(Form1->StatusBar1->Panels->Items[2]->Width, static_cast<int>(width * 0.20));
    EXPECT_TRUE(Form1->HighlightValidSestinationFields1->Checked);
    EXPECT_TRUE(Form1->Music1->Checked);
    EXPECT_TRUE(Form1->SoundOn1->Checked);
    // The match is over before it began, so the first tick opens one.
    EXPECT_EQ(Game().MatchOver, 1);
    EXPECT_TRUE(Game().GameTimer->Enabled);
    EXPECT_EQ(Form1->GraphicsLibrary != nullptr, true);
    ExpectWelcome();
    hook.ExpectModal<TPlayerSelectionForm>().Result(mrCancel);
    ASSERT_TRUE(RunUntil([] { return bool(Application->Terminated); }));
}

TEST_F(WindowTest, OnlyTheFirstStartWelcomesTheUser) {
    MatchChoice choice;
    StartAndPlay(choice);
    EXPECT_EQ(Game().GetSetting(GameSetting::StartCounter), "1");
    StopProgram();

    // No welcome now: an unexpected box fails the test.
    StartProgram();
    ExpectSelection(choice);
    ASSERT_TRUE(RunUntil([this] { return Game().GetGameState() != 6; }));
    EXPECT_EQ(Game().GetSetting(GameSetting::StartCounter), "2");
}

TEST_F(WindowTest, TheChoicesTogglesAndWindowSizeSurviveARestart) {
    MatchChoice choice;
    choice.opponent = MatchChoice::TwoPeople;
    choice.player1 = "Carla";
    choice.player2 = "Dario";
    choice.matchLength = 5;
    choice.difficulty = 3;
    choice.graphicsSet = 2;
    StartAndPlay(choice);
    Form1->HighlightValidSestinationFields1->Click();
    Form1->SoundOn1->Click();
    Form1->Music1->Click();
    Form1->SetBounds(Form1->Left, Form1->Top, 700, 530);
    StopProgram();

    StartProgram();
    EXPECT_EQ(Form1->Width, 700);
    EXPECT_EQ(Form1->Height, 530);
    EXPECT_FALSE(Form1->HighlightValidSestinationFields1->Checked);
    EXPECT_FALSE(Form1->SoundOn1->Checked);
    EXPECT_FALSE(Form1->Music1->Checked);
    EXPECT_EQ(Form1->MediaPlayer1->Mode, mpNotReady);
    hook.ExpectModal<TPlayerSelectionForm>()
        .Fill([](TPlayerSelectionForm& form) {
            EXPECT_EQ(form.Edit2->Text(), "Carla");
            EXPECT_EQ(form.Edit1->Text(), "Dario");
            EXPECT_TRUE(form.RadioButton1->Checked);
            EXPECT_EQ(form.CSpinEdit1->Value, 5);
            EXPECT_EQ(form.RadioGroup1->ItemIndex, 3);
            EXPECT_EQ(form.ComboBox1->ItemIndex, 2);
        })
        .Result(mrCancel);
    ASSERT_TRUE(RunUntil([] { return bool(Application->Terminated); }));
}

// The stored value of a setting, as the registry holds it.
void StoreRaw(int index, const AnsiString& text) {
    TRegistry registry;
    registry.RootKey = HKEY_CURRENT_USER;
    ASSERT_TRUE(registry.OpenKey("software\\Hemlow\\rq8", false));
    registry.WriteString(IntToStr(index), text);
    registry.CloseKey();
}

TEST_F(WindowTest, DamagedStoredValuesFallBackToTheirDefaults) {
    MatchChoice choice;
    StartAndPlay(choice);
    Form1->SetBounds(Form1->Left, Form1->Top, 720, 540);
    // Intact values that the window and the dialog cannot use.
    Game().SetSetting(GameSetting::MatchLength, "many");
    Game().SetSetting(GameSetting::GraphicsSet, "9");
    StopProgram();
    // A value whose checksum does not match what it holds.
    StoreRaw(GameSetting::WindowWidth, "12:not what was written");

    StartProgram();
    EXPECT_EQ(Form1->Width, 640);
    EXPECT_EQ(Form1->Height, 540);
    hook.ExpectModal<TPlayerSelectionForm>()
        .Fill([](TPlayerSelectionForm& form) {
            EXPECT_EQ(form.Edit2->Text(), "Ann");
            EXPECT_EQ(form.CSpinEdit1->Value, 3);
            EXPECT_EQ(form.ComboBox1->ItemIndex, 0);
            EXPECT_EQ(Form1->Game->Engine != nullptr, true);
        })
        .Result(mrCancel);
    ASSERT_TRUE(RunUntil([] { return bool(Application->Terminated); }));
}

TEST_F(WindowTest, AWindowLargerThanTheScreenIsShrunkAndTheSizeStoredBack) {
    MatchChoice choice;
    StartAndPlay(choice);
    Game().SetSetting(GameSetting::WindowWidth, "9000");
    Game().SetSetting(GameSetting::WindowHeight, "7000");
    StopProgram();

    StartProgram();
    ASSERT_GT(Screen->Width, 640);
    ASSERT_GT(Screen->Height, 480);
    EXPECT_EQ(Form1->Width, Screen->Width);
    EXPECT_EQ(Form1->Height, Screen->Height);
    EXPECT_EQ(Game().GetSetting(GameSetting::WindowWidth), IntToStr(Screen->Width));
    EXPECT_EQ(Game().GetSetting(GameSetting::WindowHeight), IntToStr(Screen->Height));
}

TEST_F(WindowTest, ResizingStoresTheSizeAtOnce) {
    MatchChoice choice;
    StartAndPlay(choice);
    Form1->SetBounds(Form1->Left, Form1->Top, 800, 500);
    EXPECT_EQ(Game().GetSetting(GameSetting::WindowWidth), "800");
    EXPECT_EQ(Game().GetSetting(GameSetting::WindowHeight), "500");
    // Not below the design size.
    Form1->SetBounds(Form1->Left, Form1->Top, 300, 200);
    EXPECT_EQ(Form1->Width, 640);
    EXPECT_EQ(Form1->Height, 480);
    EXPECT_EQ(Game().GetSetting(GameSetting::WindowWidth), "640");
    const int width = Form1->ClientWidth;
    EXPECT_EQ(Form1->StatusBar1->Panels->Items[0]->Width, static_cast<int>(width * 0.55));
}

struct ToggleCase {
    const char* item;
    int setting;
};

void PrintTo(const ToggleCase& c, std::ostream* out) {
    *out << c.item;
}

class MenuToggleTest : public WindowTest, public testing::WithParamInterface<ToggleCase> {};

TEST_P(MenuToggleTest, EachClickFlipsTheCheckMarkAndTheStoredFlag) {
    MatchChoice choice;
    StartAndPlay(choice);
    TMenuItem* item = MenuItem(GetParam().item);
    ASSERT_TRUE(item->Checked);
    item->Click();
    EXPECT_FALSE(item->Checked);
    EXPECT_EQ(Game().GetSetting(GetParam().setting), "0");
    item->Click();
    EXPECT_TRUE(item->Checked);
    EXPECT_EQ(Game().GetSetting(GetParam().setting), "1");
}

INSTANTIATE_TEST_SUITE_P(Items, MenuToggleTest,
                         testing::Values(ToggleCase{"HighlightValidSestinationFields1", 16},
                                         ToggleCase{"Music1", 17}, ToggleCase{"SoundOn1", 24}),
                         [](const testing::TestParamInfo<ToggleCase>& info) {
                             return std::string(info.param.item);
                         });

TEST_F(WindowTest, SwitchingTheMusicOffClosesThePlayerAndOnPlaysTheNextSong) {
    MatchChoice choice;
    StartAndPlay(choice);
    ASSERT_EQ(Form1->MediaPlayer1->Mode, mpPlaying);
    EXPECT_EQ(Form1->MediaPlayer1->FileName, Folder() + "songs/1.mid");
    Form1->Music1->Click();
    EXPECT_EQ(Form1->MediaPlayer1->Mode, mpNotReady);
    // The end of the song that follows starts nothing.
    Form1->MediaPlayer1Notify(Form1->MediaPlayer1);
    EXPECT_EQ(Form1->MediaPlayer1->Mode, mpNotReady);
    Form1->Music1->Click();
    EXPECT_EQ(Form1->MediaPlayer1->Mode, mpPlaying);
    EXPECT_EQ(Form1->MediaPlayer1->FileName, Folder() + "songs/2.mid");
}

TEST_F(WindowTest, SurrenderingTheMatchAsksFirst) {
    MatchChoice choice;
    StartAndPlay(choice);
    hook.ExpectMessageBox(Text(44)).Caption(Text(45)).Flags(MB_YESNO | MB_TASKMODAL).Press(IDNO);
    Form1->StartNewMatch1->Click();
    EXPECT_EQ(Game().MatchOver, 0);

    // Yes: the next tick closes the match and asks what to play next.
    hook.ExpectMessageBox(Text(44)).Press(IDYES);
    hook.ExpectMessageBox(Text(720)).Caption(Text(207)).Press(IDNO);
    hook.ExpectMessageBox(Text(299));
    hook.ExpectModal<TPlayerSelectionForm>().Result(mrCancel);
    Form1->StartNewMatch1->Click();
    EXPECT_EQ(Game().MatchOver, 1);
    ASSERT_TRUE(RunUntil([] { return bool(Application->Terminated); }));
}

TEST_F(WindowTest, QuitClosesTheWindowAndFreesTheServices) {
    MatchChoice choice;
    StartAndPlay(choice);
    ASSERT_EQ(Form1->MediaPlayer1->Mode, mpPlaying);
    Form1->QuitKorvel1->Click();
    EXPECT_TRUE(Form1->CloseRequested);
    EXPECT_FALSE(Form1->Visible);
    EXPECT_EQ(Form1->MediaPlayer1->Mode, mpNotReady);
    EXPECT_EQ(Form1->Game, nullptr);
    EXPECT_EQ(Form1->Languages, nullptr);
    EXPECT_EQ(Form1->LogFile, nullptr);
    EXPECT_EQ(Form1->BlowFish, nullptr);
    // The services are gone: a new one of each may be made.
    { TGlobalBlowFish cipher; }
    delete Form1;
    Form1 = nullptr;
}

TEST_F(WindowTest, AClickOnTheBoardAfterTheCloseRequestClosesTheWindow) {
    MatchChoice choice;
    StartAndPlay(choice);
    ASSERT_TRUE(RunUntil([this] { return HumanToMove(); }));
    bool canClose = false;
    Form1->FormCloseQuery(Form1, canClose);
    EXPECT_TRUE(canClose);
    ClickPoint(0);
    EXPECT_FALSE(Form1->Visible);
    EXPECT_EQ(Form1->Game, nullptr);
    delete Form1;
    Form1 = nullptr;
}

} // namespace
