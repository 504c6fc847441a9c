#pragma once
// A player's surroundings for tests: records what the turn does to the
// controller and the window, and a clock that runs by readings instead of
// by real time.

#include <cstdint>
#include <vector>

#include "game/PlayerHost.h"

// Every reading moves simulated time on by one tick; ticksPerSecond 0
// keeps the clock standing at startTick.
class FakeClock final : public WholeSecondClock {
public:
    int Now() override {
        ++reads;
        const int64_t tick = ticksPerSecond ? startTick + reads : startTick;
        return static_cast<int>(ticksPerSecond ? tick / ticksPerSecond : tick);
    }
    // Simulated seconds since the clock's start, counting this many reads.
    double SecondsAt(int64_t readings) const {
        return static_cast<double>(startTick + readings) / ticksPerSecond;
    }

    int64_t startTick = 1000;
    int64_t ticksPerSecond = 0;
    int64_t reads = 0;
};

struct SubmittedMove {
    MoveRecord move;
    bool send;
};

struct ShownMessage {
    AnsiString text;
    AnsiString caption;
    unsigned flags;
};

class RecordingHost final : public PlayerHost {
public:
    int GetDepthCap() override { return depthCap; }
    void SetDepthCap(int cap) override {
        depthCap = cap;
        depthCapsSet.push_back(cap);
    }
    bool GetWhoStarts() override { return whoStarts; }
    void SubmitMove(const MoveRecord& move, bool send) override {
        submitted.push_back({move, send});
    }
    void EnableGameUI(bool on) override { uiEnabled.push_back(on); }
    AnsiString GetStatusText() override { return status; }
    void SetStatusText(const AnsiString& text) override { status = text; }
    // "<id>"; built by appending, which keeps g++ 12's -Wrestrict quiet.
    AnsiString GetString(int id) override {
        AnsiString text = "<";
        text += IntToStr(id);
        return text += ">";
    }
    int MessageBox(const AnsiString& text, const AnsiString& caption, unsigned flags) override {
        messages.push_back({text, caption, flags});
        return 1;
    }
    void ProcessMessages() override { ++processed; }
    WholeSecondClock& Clock() override { return clock; }

    int depthCap = 30000;
    bool whoStarts = false;
    std::vector<int> depthCapsSet;
    std::vector<SubmittedMove> submitted;
    std::vector<bool> uiEnabled;
    AnsiString status;
    std::vector<ShownMessage> messages;
    int processed = 0;
    FakeClock clock;
};
