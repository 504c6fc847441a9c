// The game's settings table in the registry, the music, the information
// text, and the game string with the saved-game file.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "myunits/Settings.h"
#include "myunits/Utils.h"
#include "platform/vcl/Forms.h"
#include "platform/win32/Registry.h"
#include "tests/support/ControlFixture.h"
#include "ui/GFXEngine.h"
#include "ui/TForm1.h"

namespace {

using testing::HasSubstr;

const char* const GameKey = "software\\Hemlow\\rq8";

class ControlSettingsTest : public ControlFixture {};

TEST_F(ControlSettingsTest, FreshInstallationHoldsEveryDefault) {
    StartProgram();
    // The start has counted itself and played the song after song 0.
    const std::map<int, AnsiString> afterStart = {{GameSetting::StartCounter, "1"},
                                                  {GameSetting::SongNumber, "1"}};
    for (int index = 0; index < GameSetting::Count; ++index)
        EXPECT_EQ(Game().GetSetting(index), afterStart.count(index)
                                                ? afterStart.at(index)
                                                : VellGameControl::DefaultSetting(index))
            << "entry " << index;
    EXPECT_EQ(Game().GetSetting(GameSetting::Count), "0") << "past the end";
    EXPECT_TRUE(Game().GetHighlightMoves());
    EXPECT_TRUE(Game().GetMusicOn());
    EXPECT_TRUE(Game().GetSoundOn());
    // Every entry is in the registry from the first start on.
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(GameKey, false));
    for (int index = 0; index < GameSetting::Count; ++index)
        EXPECT_TRUE(registry.ValueExists(IntToStr(index))) << "entry " << index;
}

TEST_F(ControlSettingsTest, EveryStartIsCountedAndOnlyTheFirstIsWelcomed) {
    StoreSettings({{GameSetting::MusicOn, "0"}});
    StartProgram();
    EXPECT_EQ(Game().GetSetting(GameSetting::StartCounter), "1");
    ExpectWelcome();
    ExpectTwoPeopleSelection(3);
    ASSERT_TRUE(WaitForHuman());
    hook.Verify();
    Restart();
    EXPECT_EQ(Game().GetSetting(GameSetting::StartCounter), "2");
    ExpectTwoPeopleSelection(3); // and no welcome
    ASSERT_TRUE(WaitForHuman());
    Restart();
    EXPECT_EQ(Game().GetSetting(GameSetting::StartCounter), "3");
}

struct MigrationCase {
    const char* stored;
    bool migrated;
};

void PrintTo(const MigrationCase& c, std::ostream* os) {
    *os << "stored " << c.stored;
}

class ControlMigrationTest : public ControlFixture,
                             public testing::WithParamInterface<MigrationCase> {};

TEST_P(ControlMigrationTest, OlderVersionsLoseTheirHighScoresOnce) {
    const AnsiString scores = "Anna|3|1250||";
    StoreSettings({{GameSetting::Version, GetParam().stored},
                   {GameSetting::HighScores, scores},
                   {GameSetting::MusicOn, "0"}});
    if (GetParam().migrated)
        hook.ExpectMessageBox(Text(682)).Caption("Sorry...").Flags(MB_ICONEXCLAMATION);
    StartProgram();
    hook.Verify();
    EXPECT_EQ(Game().GetSetting(GameSetting::HighScores), GetParam().migrated ? "" : scores);
    EXPECT_EQ(Game().GetSetting(GameSetting::Version), GetVersionString());
    // The version is current now: the next start says nothing.
    Restart();
    EXPECT_EQ(hook.MessageBoxes().size(), GetParam().migrated ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Versions, ControlMigrationTest,
                         testing::Values(MigrationCase{"1.05", true}, MigrationCase{"0.9", true},
                                         MigrationCase{"1.1", true}, MigrationCase{"1.0", true},
                                         MigrationCase{"1.07", false},
                                         MigrationCase{"1.00", false}));

// A registry value that does not read back intact falls back to its
// default, and so does one that is no number where a number is read.
struct DamageCase {
    const char* name;
    int index;
    const char* raw; // written as it stands into the value named by the index
};

void PrintTo(const DamageCase& c, std::ostream* os) {
    *os << c.name;
}

class ControlDamageTest : public ControlFixture, public testing::WithParamInterface<DamageCase> {};

TEST_P(ControlDamageTest, DamagedValueFallsBackToItsDefault) {
    StoreSettings({{GameSetting::MusicOn, "0"}});
    {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(GameKey, false));
        registry.WriteString(IntToStr(GetParam().index), GetParam().raw);
    }
    StartProgram();
    EXPECT_EQ(Game().GetSetting(GetParam().index),
              VellGameControl::DefaultSetting(GetParam().index));
}

INSTANTIATE_TEST_SUITE_P(
    Values, ControlDamageTest,
    testing::Values(DamageCase{"WidthWithoutChecksum", GameSetting::WindowWidth, "garbage"},
                    DamageCase{"HighlightWrongChecksum", GameSetting::HighlightMoves, "12:abc"},
                    DamageCase{"MatchLengthNoNumber", GameSetting::MatchLength, "x:abc"},
                    DamageCase{"GraphicsSetEmptyValue", GameSetting::GraphicsSet, ""}),
    [](const testing::TestParamInfo<DamageCase>& info) { return info.param.name; });

struct FlagCase {
    const char* stored;
    bool on;
};

void PrintTo(const FlagCase& c, std::ostream* os) {
    *os << "stored " << c.stored;
}

class ControlFlagTest : public ControlFixture, public testing::WithParamInterface<FlagCase> {};

TEST_P(ControlFlagTest, FlagIsOnWhenItsNumberIsNotZero) {
    StoreSettings({{GameSetting::HighlightMoves, GetParam().stored},
                   {GameSetting::SoundOn, GetParam().stored},
                   {GameSetting::MusicOn, "0"}});
    StartProgram();
    EXPECT_EQ(Game().GetHighlightMoves(), GetParam().on);
    EXPECT_EQ(Game().GetSoundOn(), GetParam().on);
}

INSTANTIATE_TEST_SUITE_P(Stored, ControlFlagTest,
                         testing::Values(FlagCase{"2", true}, FlagCase{"0", false},
                                         FlagCase{"1", true}, FlagCase{"x", true}));

TEST_F(ControlSettingsTest, SettingsSurviveARestart) {
    StoreSettings({{GameSetting::MusicOn, "0"}});
    StartProgram();
    Game().SetHighlightMoves(false);
    EXPECT_FALSE(Form1->HighlightValidSestinationFields1->Checked);
    Game().SetSoundOn(false);
    Game().SetMusicOn(false);
    EXPECT_FALSE(Form1->Music1->Checked);
    Game().SetSetting(GameSetting::Player1Name, "Zoë @home");
    Game().SetSetting(GameSetting::Player2Name, "Bob");
    Game().SetSetting(GameSetting::GameType, "2");
    Game().SetSetting(GameSetting::GraphicsSet, "3");
    Game().SetSongNumber(6);
    Restart();
    EXPECT_FALSE(Game().GetHighlightMoves());
    EXPECT_FALSE(Game().GetSoundOn());
    EXPECT_FALSE(Game().GetMusicOn());
    EXPECT_EQ(Game().GetSetting(GameSetting::Player1Name), "Zoë @home");
    EXPECT_EQ(Game().GetSetting(GameSetting::Player2Name), "Bob");
    EXPECT_EQ(Game().GetSetting(GameSetting::GameType), "2");
    EXPECT_EQ(Game().GetSetting(GameSetting::GraphicsSet), "3");
    EXPECT_EQ(Game().GetSongNumber(), 6) << "music off plays no song at the start";
    Game().SetHighlightMoves(true);
    EXPECT_TRUE(Form1->HighlightValidSestinationFields1->Checked);
    EXPECT_EQ(Game().GetSetting(GameSetting::HighlightMoves), "1");
}

TEST_F(ControlSettingsTest, InfoStringCarriesVersionScreenAndGraphicsSet) {
    StoreSettings({{GameSetting::GraphicsSet, "2"}, {GameSetting::MusicOn, "0"}});
    StartProgram();
    EXPECT_EQ(Game().BuildInfoString(), "Version: " + GetVersionString() + "\nColorResolution: " +
                                            IntToStr(Form1->ScreenColourDepth()) +
                                            "\nXRes :" + IntToStr(Screen->Width) +
                                            "\nYRES: " + IntToStr(Screen->Height) + "\nGFX: 2");
}

// ---- Music ----

TEST_F(ControlSettingsTest, SongsPlayInACycleOfNine) {
    StoreSettings({{GameSetting::SongNumber, "8"}});
    StartProgram();
    // The start played the song after the last one played.
    EXPECT_EQ(Game().GetSongNumber(), 0);
    EXPECT_TRUE(Game().GetMusicOn());
    EXPECT_EQ(Form1->MediaPlayer1->FileName, Folder() + "songs/0.mid");
    EXPECT_EQ(Form1->MediaPlayer1->Mode, mpPlaying);
    EXPECT_TRUE(Form1->MediaPlayer1->Notify);
    // As when the song has ended: the player stays open.
    Form1->MediaPlayer1->Stop();
    ASSERT_EQ(Form1->MediaPlayer1->Mode, mpOpen);
    Game().PlayNextSong();
    EXPECT_EQ(Game().GetSongNumber(), 1);
    EXPECT_EQ(Form1->MediaPlayer1->FileName, Folder() + "songs/1.mid");
    EXPECT_EQ(Form1->MediaPlayer1->Mode, mpPlaying);
    EXPECT_TRUE(Game().GetMusicOn());
}

TEST_F(ControlSettingsTest, MusicOffPlaysNothing) {
    StoreSettings({{GameSetting::MusicOn, "0"}, {GameSetting::SongNumber, "4"}});
    StartProgram();
    Game().PlayNextSong();
    EXPECT_EQ(Game().GetSongNumber(), 4);
    EXPECT_EQ(Form1->MediaPlayer1->Mode, mpNotReady);
}

struct SongCase {
    const char* name;
    const char* content; // of songs/3.mid; nullptr: no such file
};

void PrintTo(const SongCase& c, std::ostream* os) {
    *os << c.name;
}

class ControlSongTest : public ControlFixture, public testing::WithParamInterface<SongCase> {};

TEST_P(ControlSongTest, SongThatCannotPlaySwitchesMusicOff) {
    StoreSettings({{GameSetting::SongNumber, "2"}});
    RemoveFile("songs");
    std::filesystem::create_directory(Folder() + "songs");
    if (GetParam().content)
        WriteFile("songs/3.mid", GetParam().content);
    StartProgram(); // nothing shown
    EXPECT_FALSE(Game().GetMusicOn());
    EXPECT_EQ(Game().GetSetting(GameSetting::MusicOn), "0");
    EXPECT_FALSE(Form1->Music1->Checked);
    EXPECT_EQ(Game().GetSongNumber(), 3);
    EXPECT_TRUE(hook.MessageBoxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Songs, ControlSongTest,
                         testing::Values(SongCase{"Missing", nullptr},
                                         SongCase{"NotASong", "MThd this is no song at all"},
                                         SongCase{"Empty", ""}),
                         [](const testing::TestParamInfo<SongCase>& info) {
                             return info.param.name;
                         });

// ---- The game string and the saved game ----

TEST_F(ControlSettingsTest, GameStringOfTheStartWhenNoGameRuns) {
    StoreSettings({{GameSetting::MusicOn, "0"}});
    StartProgram();
    EXPECT_EQ(Game().GetGameString(), "26" + AnsiString(24, '0') + "0099");
}

TEST_F(ControlSettingsTest, SavedGameReadsBackTheSamePosition) {
    StartTwoPeopleMatch();
    const AnsiString position = "14"
                                "111000002020200000001000"
                                "4300";
    LoadPosition(position);
    const AnsiString file = Folder() + "currentgame.txt";
    Game().SaveGame(file);
    std::ifstream saved(file);
    std::string line;
    std::getline(saved, line);
    EXPECT_EQ(line, position + "\r");
    Play(Take(8));
    ASSERT_NE(Game().GetGameString(), position);
    EXPECT_TRUE(Game().LoadGame(file));
    EXPECT_EQ(Game().GetGameString(), position);
    EXPECT_EQ(Board().cell[8], Black);
}

struct SavedGameCase {
    std::string name;
    bool exists;
    std::string line;    // the file's content
    const char* message; // of the EInOutError; nullptr: refused without one
};

void PrintTo(const SavedGameCase& c, std::ostream* os) {
    *os << c.name;
}

class ControlSavedGameTest : public ControlFixture,
                             public testing::WithParamInterface<SavedGameCase> {};

TEST_P(ControlSavedGameTest, UnreadableSavedGameChangesNothing) {
    StartTwoPeopleMatch();
    Play(PutOn(4));
    const AnsiString before = Game().GetGameString();
    const AnsiString file = Folder() + "currentgame.txt";
    if (GetParam().exists)
        WriteFile("currentgame.txt", GetParam().line);
    if (GetParam().message) {
        try {
            Game().LoadGame(file);
            ADD_FAILURE() << "no error";
        } catch (const EInOutError& error) {
            EXPECT_THAT(error.Message, HasSubstr(GetParam().message));
            EXPECT_THAT(error.Message, HasSubstr(file));
        }
    } else {
        EXPECT_FALSE(Game().LoadGame(file));
    }
    EXPECT_EQ(Game().GetGameString(), before);
    EXPECT_EQ(Board().cell[4], White);
}

const std::string Points(24, '0');
const std::string Counts = "9999";

INSTANTIATE_TEST_SUITE_P(
    Files, ControlSavedGameTest,
    testing::Values(
        SavedGameCase{"Missing", false, "", "cannot be read"},
        SavedGameCase{"Empty", true, "", "is empty"},
        SavedGameCase{"Letters", true, "15abcdefghijklmnopqrstuvwx1234\r\n", "is damaged"},
        SavedGameCase{"Blank", true, "15 " + Points.substr(1) + Counts + "\r\n", "is damaged"},
        SavedGameCase{"TooShort", true, "15" + Points + "999\r\n", nullptr},
        SavedGameCase{"TooLong", true, "15" + Points + "99999\r\n", nullptr},
        SavedGameCase{"SideThree", true, "35" + Points + Counts, nullptr},
        SavedGameCase{"SideZero", true, "05" + Points + Counts, nullptr},
        SavedGameCase{"PointThree", true, "153" + Points.substr(1) + Counts, nullptr}),
    [](const testing::TestParamInfo<SavedGameCase>& info) { return info.param.name; });

} // namespace
