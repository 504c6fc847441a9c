#pragma once
// The board view on the main window of the running program, with the game
// timer held still so that a test places positions and clicks itself.
//
// Besides the real graphics packs, a test can use a "colour pack": every
// bitmap is a solid block whose colour names it, on a small grid layout, so
// what the view drew on each point reads back from the canvas as the name
// of the bitmap.

#include <gtest/gtest.h>

#include <QImage>
#include <QObject>
#include <QRect>
#include <functional>
#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "game/Board.h"
#include "platform/vcl/Graphics.h"
#include "platform/win32/WinTypes.h"
#include "tests/support/PackFixture.h"
#include "tests/support/ProgramFixture.h"

class GFXEngine;

// A game string: side, state, the points (whites and blacks), the counts
// on the board as the points give them, and the pieces in hand.
AnsiString PositionString(int side, int state, std::initializer_list<int> whites,
                          std::initializer_list<int> blacks, int whiteInHand, int blackInHand);

namespace ColourPack {
constexpr int BackgroundWidth = 200;
constexpr int BackgroundHeight = 150;
constexpr int PointSize = 20;
// Top left corner of point p's bitmap on the background.
TPoint PointPlace(int point);
constexpr TPoint WhiteStack{10, 130};
constexpr TPoint BlackStack{30, 130};
constexpr TPoint Label1{60, 130};
constexpr TPoint Label2{80, 130};
constexpr TPoint Counter1{100, 130};
constexpr TPoint Counter2{150, 130};
// Digit d is d + 2 pixels wide.
int DigitWidth(int digit);

// Every bitmap name a pack holds.
std::vector<std::string> BitmapNames();
// The name a colour stands for; "?" for none.
std::string NameOf(QRgb colour);
std::map<int, std::string> Strings();

struct Options {
    std::map<int, std::string> strings = Strings();
    std::set<std::string> leaveOut; // bitmaps the pack lacks
    int backgroundWidth = BackgroundWidth;
    int backgroundHeight = BackgroundHeight;
};
// Writes the pack and returns its path.
std::string Make(PackFixture& packs, const Options& options = {});
} // namespace ColourPack

// Records, at every paint of the board view that covers one of the watched
// rectangles, the name or pixel found there and the time (GetTickCount):
// one entry per drawing of that spot.
class PaintRecorder : public QObject {
public:
    struct Entry {
        std::string name;
        DWORD tick;
    };
    using Reader = std::function<std::string(const QImage& canvas)>;

    PaintRecorder(GFXEngine& board, std::map<std::string, std::pair<QRect, Reader>> spots);
    ~PaintRecorder() override;

    std::vector<std::string> Names(const std::string& spot) const;
    std::vector<DWORD> Ticks(const std::string& spot) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    GFXEngine& board_;
    std::map<std::string, std::pair<QRect, Reader>> spots_;
    std::map<std::string, std::vector<Entry>> entries_;
};

class BoardFixture : public ProgramFixture {
protected:
    BoardFixture();

    GFXEngine& Board();

    // Takes over the pack file through the controller, as the program does,
    // and draws it all; returns the handle (owned by the view).
    HINSTANCE UsePack(const std::string& path);
    HINSTANCE UseColourPack(const ColourPack::Options& options = {});
    // The position through the controller's game string; clicks open.
    void SetPosition(const AnsiString& gameString);

    // Where the colour pack's background stands after the last RedrawAll.
    TPoint Offset();
    // The colour pack's bitmap name drawn on a point, at a place.
    std::string ShownOn(int point);
    std::string ShownAt(int x, int y);
    // A click on the middle of a point of the colour pack.
    void Click(int point);
    // A recorder of the colour pack's points (spot names "0".."23").
    std::unique_ptr<PaintRecorder> RecordPoints(std::initializer_list<int> points);

    // The refusal of a click: a note with the language text.
    void ExpectRefusal(int text);

    PackFixture packs;
};
