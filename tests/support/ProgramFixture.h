#pragma once
// The whole program on the offscreen platform, as every test that runs it
// starts it: the main window and the high-score window, made as the program
// entry makes them, on the test's own program folder and registry hive
// (the test environment's); the game timer ticking from the event loop at
// a faster clock; music and sounds on no real device; message boxes and
// modal forms answered through the test hook.
//
// What the program keeps for the length of a run (the offers made once a
// run, the end of the run) starts afresh with every test, and what a test
// changes for the process (the pace of the clocks, the locale, the shell's
// opener) is put back when the test ends. The texts are English unless the
// test asks for another locale.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/vcl/TestHook.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

class QTimer;
class VellGameControl;

// What the player-selection dialog is told; a choice without a value
// keeps what the dialog shows.
struct MatchChoice {
    enum Opponent { TwoPeople, Classic };
    Opponent opponent = Classic;
    AnsiString player1 = "Ann";
    AnsiString player2 = "Ben"; // two people only
    int matchLength = 1;
    std::optional<int> difficulty = 0;
    std::optional<int> graphicsSet = 0;
};

class ProgramFixture : public testing::Test {
protected:
    // The game code's clocks run `clockScale` times as fast as real time.
    explicit ProgramFixture(double clockScale = 20);
    ~ProgramFixture() override;
    // Stops the program when the test left it running.
    void TearDown() override;

    // The main window shown: its start-up runs, and the game timer waits
    // for its first tick.
    void StartProgram();
    // Started with music off and the game timer stopped: no match opens,
    // and nothing runs but what the test calls.
    void StartIdleProgram();
    // The main window closed and freed, as at the end of the program.
    void StopProgram();
    void Restart();
    bool Running() const;

    VellGameControl& Game();
    // A language text: the running program's, or before the start the
    // text the program will read.
    AnsiString Text(int number);
    // Stored in the game's registry key, over the defaults of a fresh
    // installation, before the program starts.
    void StoreSettings(const std::map<int, AnsiString>& values);
    // The texts of `locale` ("de_DE.UTF-8") from the next start on.
    void UseLocale(const char* locale);

    // The program folder, ending with "/". Its data files are links to the
    // build's: writing or removing one replaces the link.
    const std::string& Folder() const { return folder_; }
    void WriteFile(const std::string& name, const std::string& content);
    void CopyFile(const std::string& name, const std::string& source);
    void RemoveFile(const std::string& name);

    // The shell's opener replaced, until the test ends, by one that notes
    // every address it is asked to open.
    void RecordShellOpens();
    // The first address noted, once one came; "" when none came in time.
    std::string FirstShellOpen();

    // The welcome of the first start.
    void ExpectWelcome();
    // The next player-selection dialog is answered with these choices.
    void ExpectSelection(const MatchChoice& choice);

    // Runs `action` on every pass of the event loop, also on the passes
    // that the code under test makes, for as long as the timer lives.
    static std::unique_ptr<QTimer> OnEveryPass(std::function<void()> action);

    // Processes the event loop (the timers tick in it) until `done`, at
    // most `seconds` of real time: a bound for a very busy machine, not a
    // pace. On every pass `step` may act.
    bool RunUntil(const std::function<bool()>& done, double seconds = 120,
                  const std::function<void()>& step = nullptr);

    // What a request that fails without the maker's server may take: it
    // must fail at once instead of waiting for a reply that never comes
    // (a connection to a host that does not answer gives up only after
    // about two minutes); the bound holds on a very busy machine.
    static constexpr std::chrono::seconds QuickFailure{20};

    TestHook hook;

private:
    double savedClockScale_;
    std::string folder_;
    ScopedEnv audio_{"SDL_AUDIODRIVER", "dummy"};
    ScopedEnv allCategories_{"LC_ALL", nullptr};
    ScopedEnv messages_{"LC_MESSAGES", nullptr};
    ScopedEnv language_{"LANG", "en_US.UTF-8"};
    std::unique_ptr<TempFolder> shell_;
    std::unique_ptr<ScopedEnv> opener_;
};
