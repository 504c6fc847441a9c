#pragma once
// The controller inside the running program on the offscreen platform: the
// main window on a program folder of the test's own (links to the build's
// data files, which a test may replace), started as the program entry
// starts it, the game timer ticking from the event loop at twenty times
// the speed, the dialogs and message boxes answered through the test hook.
// Moves of the human sides are handed in as the board's click handler
// hands them in; the computer plays for itself.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

#include "game/Board.h"
#include "game/gamecontrol.h"
#include "platform/vcl/TestHook.h"

// The settings table as a fresh installation has it.
AnsiString ExpectedDefault(int index);

class ControlFixture : public testing::Test {
protected:
    ControlFixture();
    ~ControlFixture() override;
    void TearDown() override;

    // The main window on the test's folder, shown: its start-up builds the
    // controller, which then waits for its first tick.
    void StartProgram();
    // The main window closed and freed, as at the end of the program.
    void StopProgram();
    void Restart();

    VellGameControl& Game();
    // A language text: the running program's, or before the start the
    // text the program will read.
    AnsiString Text(int number);
    // Stored in the game's registry key before the program starts.
    void StoreSettings(const std::map<int, AnsiString>& values);
    // The program folder: a file replaced by this content, or removed.
    void WriteFile(const std::string& name, const std::string& content);
    void RemoveFile(const std::string& name);
    const std::string& Folder() const { return folder_; }
    // The shell's opener replaced, until the test ends, by a script that
    // notes every address it is asked to open.
    void RecordShellOpens();
    // The first address noted, waiting up to ten seconds; "" when none came.
    std::string FirstShellOpen();

    // A first start without music, whose first tick opens the match with
    // these choices (the first start's welcome answered).
    void StartTwoPeopleMatch(int matchLength = 3);
    void StartClassicMatch(int difficulty, int matchLength = 3);
    // The player-selection dialog answered with a choice.
    void ExpectTwoPeopleSelection(int matchLength);
    void ExpectClassicSelection(int difficulty, int matchLength);
    void ExpectWelcome();

    // Runs the event loop until `done`, at most `seconds` of real time.
    bool RunUntil(const std::function<bool()>& done, double seconds = 60);
    // A human side is asked and no move is pending.
    bool WaitForHuman();
    // A human's move handed in as the board's click handler does, then
    // executed by the next tick, and the answers up to the next human turn.
    void Play(const MoveRecord& move);
    // A position read as the main window reads a saved game: the game
    // string, then the side to move is asked.
    void LoadPosition(const AnsiString& gameString);
    BoardRecord Board();
    HistoryEntry& LastEntry();

    TestHook hook;

private:
    std::string folder_;
    std::string savedConfigHome_;
    std::string savedOpener_;
    bool openerReplaced_ = false;
};

constexpr MoveRecord PutOn(int point) {
    return MoveRecord{point, -1, 0, Put};
}
constexpr MoveRecord Step(int from, int to) {
    return MoveRecord{from, to, 0, Move};
}
constexpr MoveRecord Take(int point) {
    return MoveRecord{point, -1, 0, Remove};
}
