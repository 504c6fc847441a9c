#include "tests/support/GameFixture.h"

#include "game/Player.h"
#include "game/gamecontrol.h"
#include "ui/GFXEngine.h"
#include "ui/TForm1.h"

GFXEngine& GameFixture::Board() {
    return dynamic_cast<GFXEngine&>(*Form1->Game->Engine);
}

void GameFixture::StartMatch(const MatchChoice& choice) {
    StartProgram();
    ExpectWelcome();
    ExpectSelection(choice);
    ASSERT_TRUE(RunUntil([this] { return Game().GetGameState() != 6; }));
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
