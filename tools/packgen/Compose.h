#pragma once
// Puts a pack's bitmaps together the way the board view draws a position:
// the background, the counters, the stacks of pieces in hand, the labels,
// then the 24 points in order. Used for the previews and for looking at a
// finished pack file.

#include <QImage>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>

// What a pack offers: bitmaps by name (a null image when missing) and the
// numbers of its string table (throws when missing).
struct PackSource {
    std::function<QImage(const QString& name)> bitmap;
    std::function<int(int id)> number;
};

struct Position {
    std::array<uint8_t, 24> points; // 0 empty, 1 white, 2 black
    int whiteInHand;
    int blackInHand;
    std::array<bool, 24> glow;
    int marked; // -1 for none
    int counter1;
    int counter2;
    bool arcade;
};

// Six pieces a side on the board, three in hand, the white piece on point
// 19 picked and its one free neighbour lit.
Position MidGamePosition();

// Throws std::runtime_error when the pack lacks a bitmap.
QImage Compose(const PackSource& pack, const Position& position);
