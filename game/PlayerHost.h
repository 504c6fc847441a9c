#pragma once
// What a player's turn needs from the game around it: the controller's
// depth cap, who-starts flag, SubmitMove and EnableGameUI, panel 0 of the
// main window's status bar, the language texts, the application's message
// boxes and message loop, and the clock. The controller provides it; tests
// and the search tools provide their own, so a turn runs without a window.

#include "game/Board.h"
#include "game/WholeSecondClock.h"
#include "platform/vcl/SysUtils.h"

class PlayerHost {
public:
    virtual int GetDepthCap() = 0;
    virtual void SetDepthCap(int cap) = 0;
    // Colour 1 makes the first move of this game.
    virtual bool GetWhoStarts() = 0;
    virtual void SubmitMove(const MoveRecord& move, bool send) = 0;
    virtual void EnableGameUI(bool on) = 0;

    // Panel 0 of the status bar.
    virtual AnsiString GetStatusText() = 0;
    virtual void SetStatusText(const AnsiString& text) = 0;
    // Language text number id.
    virtual AnsiString GetString(int id) = 0;
    // The application's modal message box (MB_ flags); returns the button.
    virtual int MessageBox(const AnsiString& text, const AnsiString& caption, unsigned flags) = 0;
    virtual void ProcessMessages() = 0;
    // Asked after the messages have run: the program is closing, and a
    // turn still running ends at once without a move.
    virtual bool TurnCancelled() { return false; }

    virtual WholeSecondClock& Clock() = 0;

protected:
    ~PlayerHost() = default;
};
