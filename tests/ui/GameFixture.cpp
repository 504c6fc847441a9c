#include "tests/ui/GameFixture.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

#include "game/Player.h"
#include "game/gamecontrol.h"
#include "myunits/LANGUAGE.h"
#include "platform/win32/Clock.h"
#include "tests/support/Pump.h"
#include "ui/GFXEngine.h"
#include "ui/TForm1.h"
#include "ui/THighScoreForm.h"
#include "ui/TPlayerSelectionForm.h"

namespace fs = std::filesystem;

namespace {

// The data files that the program reads from its folder.
const char* const DataFiles[] = {
    "Languages.rc", "gfx0.dll",   "gfx1.dll",   "gfx2.dll", "gfx3.dll", "sshot0.bmp",
    "sshot1.bmp",   "sshot2.bmp", "sshot3.bmp", "songs",    "help",
};

std::string BuildProgramDir() {
    const char* dir = std::getenv("KORVEL_PROGRAM_DIR");
    if (!dir)
        throw std::runtime_error("KORVEL_PROGRAM_DIR is not set");
    return dir;
}

} // namespace

ProgramFolder::ProgramFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/korvel-program-XXXXXX";
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a program folder");
    path_ = pattern + "/";
    const fs::path build = BuildProgramDir();
    for (const char* name : DataFiles)
        fs::create_symlink(build / name, path_ + name);
}

ProgramFolder::~ProgramFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void ProgramFolder::Remove(const std::string& name) {
    fs::remove_all(path_ + name);
}

void ProgramFolder::Write(const std::string& name, const std::string& content) {
    Remove(name);
    std::ofstream(path_ + name, std::ios::binary) << content;
}

void ProgramFolder::CopyFrom(const std::string& name, const std::string& source) {
    Remove(name);
    fs::copy_file(source, path_ + name);
}

GameFixture::GameFixture() {
    // Games run twenty times as fast; the music plays on no real device.
    SetClockScale(20);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
}

GameFixture::~GameFixture() {
    SetClockScale(1);
}

void GameFixture::TearDown() {
    if (Running())
        StopProgram();
}

void GameFixture::StartProgram() {
    clickPlaces_.clear();
    Form1 = new TForm1(Application);
    Form1->AppDir = folder.Path();
    HighScoreForm = new THighScoreForm(Application);
    Form1->Show();
}

void GameFixture::StopProgram() {
    Form1->Close();
    delete Form1;
    Form1 = nullptr;
    delete HighScoreForm;
    HighScoreForm = nullptr;
}

bool GameFixture::Running() const {
    return Form1 != nullptr;
}

VellGameControl& GameFixture::Game() {
    return *Form1->Game;
}

GFXEngine& GameFixture::Board() {
    return *Form1->Game->Engine;
}

AnsiString GameFixture::Text(int number) {
    return Form1->Languages->GetString(number);
}

void GameFixture::ExpectSelection(const MatchChoice& choice) {
    hook.ExpectModal<TPlayerSelectionForm>().Fill([choice](TPlayerSelectionForm& form) {
        form.ComboBox1->ItemIndex = choice.graphicsSet;
        form.ComboBox1Change(&form);
        if (choice.opponent == MatchChoice::TwoPeople)
            form.RadioButton1->Click();
        else
            form.RadioButton2->Click();
        form.Edit2->Text = choice.player1;
        if (choice.opponent == MatchChoice::TwoPeople)
            form.Edit1->Text = choice.player2;
        form.CSpinEdit1->Value = choice.matchLength;
        form.RadioGroup1->ItemIndex = choice.difficulty;
        form.Button1->Click();
    });
}

void GameFixture::ExpectWelcome() {
    hook.ExpectMessageBox(Text(299)).Caption(Text(207)).Flags(MB_ICONEXCLAMATION);
}

void GameFixture::StartMatch(const MatchChoice& choice) {
    StartProgram();
    ExpectWelcome();
    ExpectSelection(choice);
    ASSERT_TRUE(RunUntil([this] { return Game().GetGameState() != 6; }));
}

bool GameFixture::RunUntil(const std::function<bool()>& done, double seconds,
                           const std::function<void()>& step) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        PumpOnce();
        if (done())
            return true;
        if (step)
            step();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return done();
}

bool GameFixture::HumanToMove() {
    if (!Running() || !Form1->Game)
        return false;
    VellGameControl& game = Game();
    const uint8_t state = game.GetGameState();
    // After the last game of a match the board still takes a move, but the
    // next tick opens the next match.
    return !game.MatchOver && game.IsGameUIEnabled() && !game.PendingMove &&
           (state == 1 || state == 4 || state == 5) &&
           game.PlayerByColour(game.GetSideToMove())->IsHuman();
}

// The click boxes are the pack's and move with the centring of the board,
// so a place is found by hit testing and checked again before every use.
bool GameFixture::FindClickPlace(int point, int& x, int& y) {
    const auto known = clickPlaces_.find(point);
    if (known != clickPlaces_.end() &&
        Board().HitTest(known->second.first, known->second.second) == point) {
        x = known->second.first;
        y = known->second.second;
        return true;
    }
    for (int top = 0; top < Board().Height; top += 2)
        for (int left = 0; left < Board().Width; left += 2)
            if (Board().HitTest(left, top) == point) {
                // The middle of the box's first row and of the one below.
                int right = left;
                while (Board().HitTest(right + 1, top) == point)
                    ++right;
                x = (left + right) / 2;
                y = top + 3;
                if (Board().HitTest(x, y) != point)
                    y = top;
                clickPlaces_[point] = {x, y};
                return true;
            }
    return false;
}

void GameFixture::ClickPoint(int point) {
    int x = 0, y = 0;
    ASSERT_TRUE(FindClickPlace(point, x, y)) << "no click box for point " << point;
    Board().BoardMouseDown(&Board(), mbLeft, TShiftState(), x, y);
}

void GameFixture::Play(const MoveRecord& move) {
    ClickPoint(move.a);
    if (move.kind == Move || move.kind == Jump)
        ClickPoint(move.b);
}

void GameFixture::PlayTurn(const std::map<uint8_t, Style>& styles) {
    const uint8_t side = Game().GetSideToMove();
    const auto style = styles.find(side);
    const MoveRecord move = ChooseMove(CurrentBoard(), side, Game().GetGameState(),
                                       style == styles.end() ? Style::Pressing : style->second);
    ASSERT_NE(move.kind, NoMove) << "the policy found no move";
    Play(move);
}

bool GameFixture::PlayUntil(const std::function<bool()>& done,
                            const std::map<uint8_t, Style>& styles, double seconds) {
    return RunUntil(done, seconds, [&] {
        if (HumanToMove())
            PlayTurn(styles);
    });
}

int GameFixture::HistoryCount() {
    return Game().History->Count;
}

BoardRecord GameFixture::CurrentBoard() {
    BoardRecord board;
    Board().CopyBoard(board);
    return board;
}
