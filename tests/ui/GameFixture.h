#pragma once
// The program on the offscreen platform, as a test drives it: the main
// window on a program folder of the test's own (the build's data files,
// linked, which a test may remove or damage), the game timer ticking from
// the event loop at a faster clock, the player-selection dialog and the
// message boxes answered through the test hook, and clicks on the board
// through the board view's mouse-down handler.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

#include "game/Board.h"
#include "platform/vcl/TestHook.h"
#include "tests/ui/GamePolicy.h"

class VellGameControl;
class GFXEngine;

class ProgramFolder {
public:
    ProgramFolder();
    ~ProgramFolder();
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    // Ends with "/".
    const std::string& Path() const { return path_; }
    void Remove(const std::string& name);
    // Replaces the file by one with this content.
    void Write(const std::string& name, const std::string& content);
    // Replaces the file by a copy of another.
    void CopyFrom(const std::string& name, const std::string& source);

private:
    std::string path_;
};

// What the player-selection dialog is told.
struct MatchChoice {
    enum Opponent { TwoPeople, Classic };
    Opponent opponent = Classic;
    AnsiString player1 = "Ann";
    AnsiString player2 = "Ben";
    int matchLength = 1;
    int difficulty = 0;
    int graphicsSet = 0;
};

class GameFixture : public testing::Test {
protected:
    GameFixture();
    ~GameFixture() override;

    void TearDown() override;

    // Form1 on the test's program folder, shown: its start-up runs.
    void StartProgram();
    // Closes and frees the main window, as the close box does.
    void StopProgram();
    bool Running() const;

    VellGameControl& Game();
    GFXEngine& Board();
    // A language text of the running program.
    AnsiString Text(int number);

    // The next player-selection dialog is answered with these choices.
    void ExpectSelection(const MatchChoice& choice);
    // The welcome of the first start.
    void ExpectWelcome();
    // Starts the program on its first start and lets it open the match.
    void StartMatch(const MatchChoice& choice);

    // Processes the event loop (the game timer ticks in it) until `done`,
    // at most `seconds` of real time; on every pass `step` may act.
    bool RunUntil(const std::function<bool()>& done, double seconds = 120,
                  const std::function<void()>& step = nullptr);

    // The side to move is human and its board takes clicks, in a match
    // that goes on.
    bool HumanToMove();
    void ClickPoint(int point);
    // The clicks of a move: the point, or the piece and its target.
    void Play(const MoveRecord& move);
    // The side to move plays by its style.
    void PlayTurn(const std::map<uint8_t, Style>& styles);
    // Plays the human sides until `done`.
    bool PlayUntil(const std::function<bool()>& done, const std::map<uint8_t, Style>& styles,
                   double seconds = 120);

    int HistoryCount();
    BoardRecord CurrentBoard();

    ProgramFolder folder;
    TestHook hook;

private:
    bool FindClickPlace(int point, int& x, int& y);
    std::map<int, std::pair<int, int>> clickPlaces_;
};
