#pragma once
// The controller inside the running program, one move at a time: the
// matches opened by the first tick with the first start's welcome
// answered, the moves of the human sides handed in as the board's click
// handler hands them in, the computer playing for itself.

#include "game/Board.h"
#include "game/gamecontrol.h"
#include "tests/support/Moves.h"
#include "tests/support/ProgramFixture.h"

class ControlFixture : public ProgramFixture {
protected:
    // The program started; its start-up has built the controller.
    void StartProgram();

    // A first start without music, whose first tick opens the match with
    // these choices.
    void StartTwoPeopleMatch(int matchLength = 3);
    void StartClassicMatch(int difficulty, int matchLength = 3);
    // The player-selection dialog answered with Ann (and Bob) and the
    // choice.
    void ExpectTwoPeopleSelection(int matchLength);
    void ExpectClassicSelection(int difficulty, int matchLength);

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
};
