// The data files beside the program: the language file in its plain and
// enciphered forms and in German, the help topics, and what happens when a
// file is missing or damaged.

#include <filesystem>

#include "game/gamecontrol.h"
#include "myunits/LANGUAGE.h"
#include "myunits/TGlobalBlowFish.h"
#include "tests/support/GameFixture.h"
#include "tests/support/HandMadePack.h"
#include "tests/support/ProgramData.h"
#include "ui/TForm1.h"
#include "ui/TPlayerSelectionForm.h"

namespace {

class WindowDataTest : public GameFixture {
public:
    // The ways a data file of the program folder is broken.
    void Missing(const std::string& file) { RemoveFile(file); }
    void FolderInstead(const std::string& file) {
        RemoveFile(file);
        std::filesystem::create_directory(Folder() + file);
    }
    void Garbage(const std::string& file) {
        WriteFile(file, "this is no graphics pack, picture or song\n");
    }
    void Truncated(const std::string& file) {
        WriteFile(file, FileContent(ProgramFile(file)).substr(0, 4096));
    }
    // The pack that once killed the program at start with SIGSEGV.
    void FileAsRoot(const std::string& file) { WriteFile(file, PackWithAFileAsRoot()); }

protected:
    void ExpectCannotStart(const AnsiString& text, const AnsiString& caption) {
        hook.ExpectMessageBox(text).Caption(caption).Flags(MB_ICONSTOP);
    }
};

TEST_F(WindowDataTest, TheEncipheredLanguageFileGivesThePlainTexts) {
    const int numbers[] = {3, 30, 43, 82, 99, 207, 280, 289, 299, 2003, 2299};
    std::map<int, AnsiString> plain;
    {
        TGlobalBlowFish cipher;
        TMyLanguages languages(ProgramFile("Languages.rc"), true);
        for (int n : numbers)
            plain[n] = languages.GetString(n);
    }
    ASSERT_NE(plain[299].find("\r\n"), AnsiString::npos);
    CopyFile("Languages.rc", KORVEL_ENCIPHERED_LANGUAGE_FILE);
    ASSERT_EQ(FileContent(Folder() + "Languages.rc").rfind("mode=enc", 0), 0u);

    StartProgram();
    for (int n : numbers)
        EXPECT_EQ(Text(n), plain[n]) << "text " << n;
    EXPECT_EQ(Form1->UndoLastMove1->Caption(), plain[3]);
    hook.ExpectMessageBox(plain[299]).Caption(plain[207]);
    hook.ExpectModal<TPlayerSelectionForm>()
        .Fill([&plain](TPlayerSelectionForm& form) {
            EXPECT_EQ(form.Caption(), plain[280]);
            EXPECT_EQ(form.ComboBox1->Items->Count, 4);
        })
        .Result(mrCancel);
    ASSERT_TRUE(RunUntil([] { return bool(Application->Terminated); }));
}

struct LanguageCase {
    const char* name;
    const char* lang;
    const char* helpFile;
    const char* contents; // "" is the contents command
    const char* rules;
};

void PrintTo(const LanguageCase& c, std::ostream* out) {
    *out << c.name;
}

class HelpTest : public WindowDataTest, public testing::WithParamInterface<LanguageCase> {};

TEST_P(HelpTest, TheTextsHelpFileAndTopicsFollowTheLanguage) {
    const LanguageCase c = GetParam();
    UseLocale(c.lang);
    StartProgram();
    const int base = TMyLanguages::GetLanguageBase();
    EXPECT_EQ(base, std::string(c.lang).rfind("de", 0) == 0 ? 2000 : 0);
    EXPECT_EQ(Application->HelpFile(), Folder() + c.helpFile);
    // The German texts carry the English number plus 2000.
    EXPECT_EQ(Form1->UndoLastMove1->Caption(), Text(3));
    {
        TStringList lines;
        lines.LoadFromFile(Folder() + "Languages.rc");
        const AnsiString line = IntToStr(base + 3) + " \"" + Text(3) + "\"";
        EXPECT_NE(lines.IndexOf(line), -1) << line;
    }
    Form1->Contents1->Click();
    Form1->GameRules1->Click();
    ASSERT_EQ(hook.HelpTopics().size(), 2u);
    EXPECT_EQ(hook.HelpTopics()[0], c.contents);
    EXPECT_EQ(hook.HelpTopics()[1], c.rules);
}

INSTANTIATE_TEST_SUITE_P(
    Languages, HelpTest,
    testing::Values(LanguageCase{"English", "en_GB.UTF-8", "Korvel.hlp", "", "IDH_Spielregeln"},
                    LanguageCase{"German", "de_DE.UTF-8", "Hilfe.hlp",
                                 "IDH_Inhaltverzeichnis-german", "IDH_Spielregeln-german"}),
    [](const testing::TestParamInfo<LanguageCase>& info) { return std::string(info.param.name); });

struct BrokenFileCase {
    const char* name;
    const char* file;
    void (WindowDataTest::*damage)(const std::string& file);
};

void PrintTo(const BrokenFileCase& c, std::ostream* out) {
    *out << c.name;
}

class BrokenStartFileTest : public WindowDataTest,
                            public testing::WithParamInterface<BrokenFileCase> {};

// The language file and the first graphics pack are read before anything
// else: without them the program says so and ends.
TEST_P(BrokenStartFileTest, TheProgramSaysWhatIsWrongAndEnds) {
    const BrokenFileCase& c = GetParam();
    (this->*c.damage)(c.file);
    const std::string file = Folder() + c.file;
    // Without the language file there are no texts to say it in.
    if (std::string(c.file) == "Languages.rc")
        ExpectCannotStart(
            "Korvel cannot start: the language file \"" + file + "\" could not be read.", "Korvel");
    else
        ExpectCannotStart(Text(42) + " " + file, Text(207));
    StartProgram();
    EXPECT_TRUE(Application->Terminated);
    ASSERT_TRUE(RunUntil([] { return true; }));
    StopProgram();
}

INSTANTIATE_TEST_SUITE_P(
    Files, BrokenStartFileTest,
    testing::Values(BrokenFileCase{"LanguagesMissing", "Languages.rc", &WindowDataTest::Missing},
                    BrokenFileCase{"LanguagesFolder", "Languages.rc",
                                   &WindowDataTest::FolderInstead},
                    BrokenFileCase{"PackMissing", "gfx0.dll", &WindowDataTest::Missing},
                    BrokenFileCase{"PackGarbage", "gfx0.dll", &WindowDataTest::Garbage},
                    BrokenFileCase{"PackTruncated", "gfx0.dll", &WindowDataTest::Truncated},
                    BrokenFileCase{"PackRootIsAFile", "gfx0.dll", &WindowDataTest::FileAsRoot}),
    [](const testing::TestParamInfo<BrokenFileCase>& info) {
        return std::string(info.param.name);
    });

class BrokenPackInDialogTest : public WindowDataTest,
                               public testing::WithParamInterface<BrokenFileCase> {};

// The board goes back to the first set, which it can draw, and the game
// is played on it.
TEST_P(BrokenPackInDialogTest, TheDialogSaysSoAndKeepsADrawableBoard) {
    const BrokenFileCase& c = GetParam();
    (this->*c.damage)(c.file);
    StartProgram();
    ExpectWelcome();
    hook.ExpectMessageBox(Text(281) + " " + Folder() + c.file).Caption(Text(43)).Flags(MB_ICONSTOP);
    hook.ExpectModal<TPlayerSelectionForm>().Fill([](TPlayerSelectionForm& form) {
        form.ComboBox1->ItemIndex = 2;
        form.ComboBox1Change(&form);
        EXPECT_EQ(form.ComboBox1->ItemIndex, 0);
        form.RadioButton2->Click();
        form.Edit2->Text = "Ann";
        form.Button1->Click();
    });
    ASSERT_TRUE(RunUntil([this] { return HumanToMove(); }));
    EXPECT_EQ(Game().GetSetting(GameSetting::GraphicsSet), "0");
    Game().RedrawAll();
    PlayTurn({});
    ASSERT_TRUE(RunUntil([this] { return HumanToMove() && HistoryCount() == 3; }));
}

INSTANTIATE_TEST_SUITE_P(
    Files, BrokenPackInDialogTest,
    testing::Values(BrokenFileCase{"Missing", "gfx2.dll", &WindowDataTest::Missing},
                    BrokenFileCase{"Garbage", "gfx2.dll", &WindowDataTest::Garbage},
                    BrokenFileCase{"Truncated", "gfx2.dll", &WindowDataTest::Truncated},
                    BrokenFileCase{"RootIsAFile", "gfx2.dll", &WindowDataTest::FileAsRoot}),
    [](const testing::TestParamInfo<BrokenFileCase>& info) {
        return std::string(info.param.name);
    });

class BrokenPreviewTest : public WindowDataTest,
                          public testing::WithParamInterface<BrokenFileCase> {};

TEST_P(BrokenPreviewTest, TheDialogSaysSoShowsNoPictureAndStillSwitchesTheSet) {
    const BrokenFileCase& c = GetParam();
    (this->*c.damage)(c.file);
    StartProgram();
    ExpectWelcome();
    hook.ExpectMessageBox(Text(298) + " " + Folder() + c.file).Caption(Text(43)).Flags(MB_ICONSTOP);
    hook.ExpectModal<TPlayerSelectionForm>()
        .Fill([](TPlayerSelectionForm& form) {
            const HINSTANCE before = Form1->GraphicsLibrary;
            form.ComboBox1->ItemIndex = 1;
            form.ComboBox1Change(&form);
            EXPECT_EQ(form.ComboBox1->ItemIndex, 1);
            EXPECT_EQ(form.Image1->Picture->Width, 0);
            EXPECT_NE(Form1->GraphicsLibrary, before);
        })
        .Result(mrCancel);
    ASSERT_TRUE(RunUntil([] { return bool(Application->Terminated); }));
}

INSTANTIATE_TEST_SUITE_P(
    Files, BrokenPreviewTest,
    testing::Values(BrokenFileCase{"Missing", "sshot1.bmp", &WindowDataTest::Missing},
                    BrokenFileCase{"Garbage", "sshot1.bmp", &WindowDataTest::Garbage}),
    [](const testing::TestParamInfo<BrokenFileCase>& info) {
        return std::string(info.param.name);
    });

struct GermanBoxCase {
    const char* name;
    const char* file;
    int chosenSet; // -1: the file is read at start-up
    const char* text;
    int caption;
};

void PrintTo(const GermanBoxCase& c, std::ostream* out) {
    *out << c.name;
}

class GermanFileBoxTest : public WindowDataTest,
                          public testing::WithParamInterface<GermanBoxCase> {};

// The boxes about a broken graphics set or preview speak the user's
// language, as every other box does.
TEST_P(GermanFileBoxTest, TheBoxAboutABrokenFileIsInGerman) {
    const GermanBoxCase& c = GetParam();
    UseLocale("de_DE.UTF-8");
    Missing(c.file);
    hook.ExpectMessageBox(c.text + (" " + Folder()) + c.file)
        .Caption(Text(c.caption))
        .Flags(MB_ICONSTOP);
    if (c.chosenSet >= 0) {
        ExpectWelcome();
        hook.ExpectModal<TPlayerSelectionForm>()
            .Fill([&c](TPlayerSelectionForm& form) {
                form.ComboBox1->ItemIndex = c.chosenSet;
                form.ComboBox1Change(&form);
            })
            .Result(mrCancel);
    }
    StartProgram();
    ASSERT_TRUE(RunUntil([] { return bool(Application->Terminated); }));
    EXPECT_EQ(TMyLanguages::GetLanguageBase(), 2000);
}

INSTANTIATE_TEST_SUITE_P(
    Files, GermanFileBoxTest,
    testing::Values(
        GermanBoxCase{"PackAtStart", "gfx0.dll", -1,
                      "Korvel kann nicht starten, weil sein Grafikstil nicht geladen werden "
                      "konnte. Die Datei:",
                      207},
        GermanBoxCase{"PackInDialog", "gfx2.dll", 2,
                      "Der Grafikstil konnte nicht geladen werden. Die Datei:", 43},
        GermanBoxCase{
            "PreviewInDialog", "sshot1.bmp", 1,
            "Das Vorschaubild dieses Grafikstils konnte nicht gelesen werden. Die Datei:", 43}),
    [](const testing::TestParamInfo<GermanBoxCase>& info) { return std::string(info.param.name); });

struct SongCase {
    const char* name;
    bool present;
    bool garbage;
};

void PrintTo(const SongCase& c, std::ostream* out) {
    *out << c.name;
}

class SongTest : public WindowDataTest, public testing::WithParamInterface<SongCase> {};

// A song that cannot be played switches the music off, without a message.
TEST_P(SongTest, AMissingOrDamagedSongSwitchesTheMusicOff) {
    const SongCase c = GetParam();
    if (!c.present)
        RemoveFile("songs");
    if (c.garbage) {
        RemoveFile("songs");
        std::filesystem::create_directory(Folder() + "songs");
        for (int song = 0; song < 9; ++song)
            WriteFile("songs/" + std::to_string(song) + ".mid", "MThd, but not really");
    }
    StartMatch(MatchChoice());
    const bool playable = c.present && !c.garbage;
    EXPECT_EQ(Game().GetMusicOn(), playable);
    EXPECT_EQ(bool(Form1->Music1->Checked), playable);
    EXPECT_EQ(Game().GetSetting(GameSetting::MusicOn), playable ? "1" : "0");
    EXPECT_EQ(Form1->MediaPlayer1->Mode == mpPlaying, playable);
}

INSTANTIATE_TEST_SUITE_P(Songs, SongTest,
                         testing::Values(SongCase{"Present", true, false},
                                         SongCase{"Missing", false, false},
                                         SongCase{"Damaged", true, true}),
                         [](const testing::TestParamInfo<SongCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
