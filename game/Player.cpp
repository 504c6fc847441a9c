#include "game/Player.h"

#include <utility>

#include "game/Random.h"

Player::Player(AnsiString name, VellGameControl* game, uint8_t colour, PlayerHost& host)
    : Game(game), Colour(colour), ErrorRate(0), Name(std::move(name)), Host(host) {
    Randomize();
}

void Player::TakeTurn(const uint8_t&, BoardRecord) {}

void Player::SetTimeLimit(const int&) {}

bool Player::IsHuman() {
    return false;
}

bool Player::IsRemote() {
    return false;
}

Player::~Player() = default;
