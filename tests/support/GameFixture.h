#pragma once
// Whole games in the running program, as a player plays them: the human
// sides choose their moves by the game policy and play them by clicks on
// the board through the board view's mouse-down handler.

#include <map>

#include "game/Board.h"
#include "tests/support/GamePolicy.h"
#include "tests/support/ProgramFixture.h"

class GFXEngine;

class GameFixture : public ProgramFixture {
protected:
    GFXEngine& Board();

    // Starts the program on its first start and lets it open the match.
    void StartMatch(const MatchChoice& choice);

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

private:
    bool FindClickPlace(int point, int& x, int& y);
    std::map<int, std::pair<int, int>> clickPlaces_;
};
