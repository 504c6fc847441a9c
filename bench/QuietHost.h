#pragma once
// The surroundings of a computer player searching on its own: no
// controller, no window, the real clock.

#include "game/PlayerHost.h"
#include "game/SystemSecondClock.h"

class QuietHost final : public PlayerHost {
public:
    int GetDepthCap() override { return depthCap_; }
    void SetDepthCap(int cap) override { depthCap_ = cap; }
    bool GetWhoStarts() override { return false; }
    void SubmitMove(const MoveRecord&, bool) override {}
    void EnableGameUI(bool) override {}
    AnsiString GetStatusText() override { return {}; }
    void SetStatusText(const AnsiString&) override {}
    AnsiString GetString(int) override { return {}; }
    int MessageBox(const AnsiString&, const AnsiString&, unsigned) override { return 0; }
    void ProcessMessages() override {}
    WholeSecondClock& Clock() override { return clock_; }

private:
    int depthCap_ = 30000;
    SystemSecondClock clock_;
};
