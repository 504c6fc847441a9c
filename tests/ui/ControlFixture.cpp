#include "tests/ui/ControlFixture.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <thread>

#include "myunits/LANGUAGE.h"
#include "myunits/Settings.h"
#include "myunits/TGlobalBlowFish.h"
#include "myunits/Utils.h"
#include "platform/vcl/CSpin.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/win32/Clock.h"
#include "tests/support/Pump.h"
#include "ui/GFXEngine.h"
#include "ui/TForm1.h"
#include "ui/THighScoreForm.h"
#include "ui/TPlayerSelectionForm.h"

namespace fs = std::filesystem;

namespace {

const char* const DataFiles[] = {"Languages.rc", "gfx0.dll",   "gfx1.dll",   "gfx2.dll",
                                 "gfx3.dll",     "sshot0.bmp", "sshot1.bmp", "sshot2.bmp",
                                 "sshot3.bmp",   "songs",      "help"};

std::string BuildProgramDir() {
    const char* dir = std::getenv("KORVEL_PROGRAM_DIR");
    if (!dir)
        throw std::runtime_error("KORVEL_PROGRAM_DIR is not set");
    return dir;
}

} // namespace

AnsiString ExpectedDefault(int index) {
    switch (index) {
    case GameSetting::Version:
        return GetVersionString();
    case GameSetting::GameType:
        return "5";
    case GameSetting::MatchLength:
        return "3";
    case GameSetting::Difficulty:
        return TMyLanguages::GetLanguageBase() == 2000 ? "2" : "1";
    case GameSetting::HighlightMoves:
    case GameSetting::MusicOn:
    case GameSetting::SoundOn:
    case GameSetting::MailingListItem:
        return "1";
    case GameSetting::WindowWidth:
        return "640";
    case GameSetting::WindowHeight:
        return "480";
    case GameSetting::Player1Name:
    case GameSetting::Player2Name:
    case GameSetting::HighScores:
        return "";
    default:
        return "0";
    }
}

ControlFixture::ControlFixture() {
    // Games run twenty times as fast; music and sounds play on no device.
    SetClockScale(20);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/korvel-control-XXXXXX";
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a program folder");
    folder_ = pattern + "/";
    const fs::path build = BuildProgramDir();
    for (const char* name : DataFiles)
        fs::create_symlink(build / name, folder_ + name);
    // A registry of its own, also when one process runs many tests.
    if (const char* home = std::getenv("XDG_CONFIG_HOME"))
        savedConfigHome_ = home;
    fs::create_directory(folder_ + "config");
    setenv("XDG_CONFIG_HOME", (folder_ + "config").c_str(), 1);
}

ControlFixture::~ControlFixture() {
    SetClockScale(1);
    setenv("XDG_CONFIG_HOME", savedConfigHome_.c_str(), 1);
    if (openerReplaced_) {
        if (savedOpener_.empty())
            unsetenv("KORVEL_OPEN_COMMAND");
        else
            setenv("KORVEL_OPEN_COMMAND", savedOpener_.c_str(), 1);
    }
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
}

void ControlFixture::TearDown() {
    if (Form1)
        StopProgram();
}

void ControlFixture::StartProgram() {
    Form1 = new TForm1(Application);
    Form1->AppDir = folder_;
    HighScoreForm = new THighScoreForm(Application);
    Form1->Show();
    ASSERT_NE(Form1->Game, nullptr);
}

void ControlFixture::StopProgram() {
    Form1->Close();
    delete Form1;
    Form1 = nullptr;
    delete HighScoreForm;
    HighScoreForm = nullptr;
}

void ControlFixture::Restart() {
    StopProgram();
    StartProgram();
}

VellGameControl& ControlFixture::Game() {
    return *Form1->Game;
}

AnsiString ControlFixture::Text(int number) {
    if (Form1 && Form1->Languages)
        return Form1->Languages->GetString(number);
    TMyLanguages languages(folder_ + "Languages.rc", true);
    return languages.GetString(number);
}

void ControlFixture::StoreSettings(const std::map<int, AnsiString>& values) {
    Text(0); // fixes the language base that one default depends on
    // The store enciphers through the shared cipher, which the running
    // program owns.
    std::unique_ptr<TGlobalBlowFish> cipher;
    if (!Form1)
        cipher = std::make_unique<TGlobalBlowFish>();
    TStringList defaults;
    for (int index = 0; index < GameSetting::Count; ++index)
        defaults.Add(ExpectedDefault(index));
    TSettings settings("software\\Hemlow\\rq8", &defaults, HKEY_CURRENT_USER, false);
    for (const auto& [index, value] : values)
        settings.Set(value, index);
}

void ControlFixture::WriteFile(const std::string& name, const std::string& content) {
    RemoveFile(name);
    std::ofstream(folder_ + name, std::ios::binary) << content;
}

void ControlFixture::RemoveFile(const std::string& name) {
    fs::remove_all(folder_ + name);
}

void ControlFixture::RecordShellOpens() {
    if (const char* opener = std::getenv("KORVEL_OPEN_COMMAND"))
        savedOpener_ = opener;
    openerReplaced_ = true;
    WriteFile("open", "#!/bin/sh\necho \"$1\" >> " + folder_ + "opened\n");
    fs::permissions(folder_ + "open", fs::perms::owner_all);
    setenv("KORVEL_OPEN_COMMAND", (folder_ + "open").c_str(), 1);
}

std::string ControlFixture::FirstShellOpen() {
    std::string line;
    RunUntil(
        [&] {
            std::ifstream file(folder_ + "opened");
            return bool(std::getline(file, line));
        },
        10);
    return line;
}

void ControlFixture::ExpectWelcome() {
    hook.ExpectMessageBox(Text(299)).Caption(Text(207)).Flags(MB_ICONEXCLAMATION);
}

void ControlFixture::ExpectTwoPeopleSelection(int matchLength) {
    hook.ExpectModal<TPlayerSelectionForm>().Fill([matchLength](TPlayerSelectionForm& form) {
        form.RadioButton1->Click();
        form.Edit2->Text = "Ann";
        form.Edit1->Text = "Bob";
        form.CSpinEdit1->Value = matchLength;
        form.Button1->Click();
    });
}

void ControlFixture::ExpectClassicSelection(int difficulty, int matchLength) {
    hook.ExpectModal<TPlayerSelectionForm>().Fill(
        [difficulty, matchLength](TPlayerSelectionForm& form) {
            form.RadioButton2->Click();
            form.Edit2->Text = "Ann";
            form.CSpinEdit1->Value = matchLength;
            form.RadioGroup1->ItemIndex = difficulty;
            form.Button1->Click();
        });
}

void ControlFixture::StartTwoPeopleMatch(int matchLength) {
    StoreSettings({{GameSetting::MusicOn, "0"}});
    StartProgram();
    ExpectWelcome();
    ExpectTwoPeopleSelection(matchLength);
    ASSERT_TRUE(WaitForHuman());
}

void ControlFixture::StartClassicMatch(int difficulty, int matchLength) {
    StoreSettings({{GameSetting::MusicOn, "0"}});
    StartProgram();
    ExpectWelcome();
    ExpectClassicSelection(difficulty, matchLength);
    ASSERT_TRUE(WaitForHuman());
}

bool ControlFixture::RunUntil(const std::function<bool()>& done, double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        PumpOnce();
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

bool ControlFixture::WaitForHuman() {
    return RunUntil([this] { return !Game().PendingMove && Game().IsGameUIEnabled(); });
}

void ControlFixture::Play(const MoveRecord& move) {
    ASSERT_TRUE(Game().IsGameUIEnabled()) << "no human is asked for a move";
    Game().EnableGameUI(false);
    Game().SubmitMove(move, true);
    ASSERT_TRUE(WaitForHuman());
}

void ControlFixture::LoadPosition(const AnsiString& gameString) {
    ASSERT_TRUE(Game().SetGameString(gameString)) << gameString;
    Game().AskNextPlayer();
}

BoardRecord ControlFixture::Board() {
    BoardRecord board;
    Game().Engine->CopyBoard(board);
    return board;
}

HistoryEntry& ControlFixture::LastEntry() {
    return *Game().Entry(Game().History->Count - 1);
}
