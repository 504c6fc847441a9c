// The game's settings table, the music, the information text of the
// high-score mail, and the game string with the saved-game file.

#include <algorithm>
#include <iterator>

#include "game/BoardView.h"
#include "game/GameText.h"
#include "game/GameWindow.h"
#include "game/Random.h"
#include "game/gamecontrol.h"
#include "myunits/LANGUAGE.h"
#include "myunits/Settings.h"
#include "myunits/Utils.h"
#include "platform/vcl/Forms.h"

namespace {

const AnsiString SettingsKey = "software\\Hemlow\\rq8";
constexpr int MigrationText = 682;
constexpr int SongCount = 9;

// Versions whose stored high scores do not fit this one.
const AnsiString MigratedVersions[] = {"1.0",  "1.01", "1.02", "1.03", "1.04",
                                       "1.05", "1.06", "0.9",  "1.1"};

bool IsMigratedVersion(const AnsiString& version) {
    return std::find(std::begin(MigratedVersions), std::end(MigratedVersions), version) !=
           std::end(MigratedVersions);
}

} // namespace

AnsiString BoolToSettingString(bool value) {
    return value ? "1" : "0";
}

// ---- The settings table ----

void VellGameControl::CreateSettings() {
    Randomize();
    TStringList defaults;
    for (int index = 0; index < GameSetting::Count; ++index)
        defaults.Add(DefaultSetting(index));
    Settings = std::make_unique<TSettings>(SettingsKey, &defaults, HKEY_CURRENT_USER, false);
    const AnsiString version = GetVersionString();
    const AnsiString stored = Settings->Get(GameSetting::Version);
    if (stored != version && IsMigratedVersion(stored)) {
        Settings->Set("", GameSetting::HighScores);
        MessageBox(GetString(MigrationText), "Sorry...", MB_ICONEXCLAMATION);
    }
    Settings->Set(version, GameSetting::Version);
    Settings->SetInt(Settings->GetInt(GameSetting::StartCounter) + 1, GameSetting::StartCounter);
}

AnsiString VellGameControl::DefaultSetting(int index) {
    switch (index) {
    case GameSetting::Version:
        return GetVersionString();
    case GameSetting::Player1Name:
    case GameSetting::Player2Name:
    case GameSetting::HighScores:
        return "";
    case GameSetting::GameType:
        return "5";
    case GameSetting::MatchLength:
        return "3";
    case GameSetting::Difficulty:
        return TMyLanguages::GermanTexts() ? "2" : "1";
    case GameSetting::HighlightMoves:
    case GameSetting::MusicOn:
    case GameSetting::SoundOn:
    case GameSetting::MailingListItem:
        return "1";
    case GameSetting::WindowWidth:
        return "640";
    case GameSetting::WindowHeight:
        return "480";
    default:
        return "0"; // the counters, states and flags, and the reserved entries
    }
}

AnsiString VellGameControl::GetSetting(int index) {
    return Settings->Get(index);
}

void VellGameControl::SetSetting(int index, const AnsiString& value) {
    Settings->Set(value, index);
}

void VellGameControl::SetHighlightMoves(bool on) {
    SetSetting(GameSetting::HighlightMoves, BoolToSettingString(on));
    MainForm->HighlightValidSestinationFields1->Checked = on;
    Engine->DrawBoard();
}

bool VellGameControl::GetHighlightMoves() {
    return Settings->GetInt(GameSetting::HighlightMoves) != 0;
}

void VellGameControl::SetMusicOn(bool on) {
    SetSetting(GameSetting::MusicOn, BoolToSettingString(on));
    MainForm->Music1->Checked = on;
}

bool VellGameControl::GetMusicOn() {
    return Settings->GetInt(GameSetting::MusicOn) != 0;
}

void VellGameControl::SetSoundOn(bool on) {
    SetSetting(GameSetting::SoundOn, BoolToSettingString(on));
}

bool VellGameControl::GetSoundOn() {
    return Settings->GetInt(GameSetting::SoundOn) != 0;
}

void VellGameControl::SetSongNumber(int number) {
    SetSetting(GameSetting::SongNumber, IntToStr(number));
}

int VellGameControl::GetSongNumber() {
    return Settings->GetInt(GameSetting::SongNumber);
}

void VellGameControl::CheckSoundAvailable() {
    if (Engine->PlayMoveSound())
        return;
    SetSoundOn(false);
    MainForm->SoundOn1->Checked = false;
}

AnsiString VellGameControl::BuildInfoString() {
    return "Version: " + GetSetting(GameSetting::Version) +
           "\nColorResolution: " + IntToStr(MainForm->ScreenColourDepth()) +
           "\nXRes :" + IntToStr(Screen->Width) + "\nYRES: " + IntToStr(Screen->Height) +
           "\nGFX: " + GetSetting(GameSetting::GraphicsSet);
}

// ---- Music ----

void VellGameControl::PlayNextSong() {
    if (!GetMusicOn())
        return;
    MainForm->MediaPlayer1->Notify = true;
    int song = GetSongNumber() + 1;
    if (song < 0 || song >= SongCount)
        song = 0;
    SetSongNumber(song);
    try {
        PlaySong(song);
    } catch (const std::exception&) {
        SetMusicOn(false); // no device, or the song is missing or damaged
    }
}

void VellGameControl::PlaySong(int song) {
    TMediaPlayer& player = *MainForm->MediaPlayer1;
    if (player.Mode == mpOpen)
        player.Close();
    player.FileName = MainForm->AppDir + "songs/" + IntToStr(song) + ".mid";
    player.Open();
    player.Play();
}

// ---- The game string ----

AnsiString VellGameControl::GetGameString() {
    return IntToStr(SideToMove) + IntToStr(GameState) + Engine->GetBoardStatus();
}

bool VellGameControl::SetGameString(const AnsiString& text) {
    uint8_t side = 0;
    uint8_t state = 0;
    BoardRecord board;
    if (!ReadGameString(text, side, state, board))
        return false;
    SideToMove = side;
    GameState = state;
    const bool taken = Engine->SetBoardStatus(text.substr(2));
    Engine->DrawBoard();
    return taken;
}

void VellGameControl::SaveGame(const AnsiString& fileName) {
    TStringList lines;
    lines.Add(GetGameString());
    lines.SaveToFile(fileName);
}

bool VellGameControl::LoadGame(const AnsiString& fileName) {
    TStringList lines;
    try {
        lines.LoadFromFile(fileName);
    } catch (const EStreamError&) {
        throw EInOutError("The saved game \"" + fileName + "\" cannot be read");
    }
    if (lines.Count == 0)
        throw EInOutError("The saved game \"" + fileName + "\" is empty");
    bool taken = false;
    try {
        taken = SetGameString(lines[0]);
    } catch (const EConvertError&) {
        throw EInOutError("The saved game \"" + fileName +
                          "\" is damaged: its line is no game string");
    }
    Engine->DrawBoard();
    return taken;
}
