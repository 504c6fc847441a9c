// The board view's drawing from a graphics pack: what is drawn for a
// position and where, centring, hit testing, the counters, and packs that
// lack what they must hold.

#include <gtest/gtest.h>

#include <QImage>

#include "game/gamecontrol.h"
#include "platform/vcl/Classes.h"
#include "platform/win32/Resources.h"
#include "tests/support/ProgramData.h"
#include "tests/ui/BoardFixture.h"
#include "tools/packgen/Compose.h"
#include "ui/GFXEngine.h"
#include "ui/TForm1.h"

namespace {

using ColourPack::PointPlace;

// Colour differences from blending on a different image format.
bool SameImage(const QImage& shown, const QImage& expected, QString& difference) {
    if (shown.size() != expected.size()) {
        difference = "sizes differ";
        return false;
    }
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x) {
            const QRgb a = shown.pixel(x, y);
            const QRgb b = expected.pixel(x, y);
            if (std::abs(qRed(a) - qRed(b)) > 2 || std::abs(qGreen(a) - qGreen(b)) > 2 ||
                std::abs(qBlue(a) - qBlue(b)) > 2) {
                difference = QString("pixel %1,%2").arg(x).arg(y);
                return false;
            }
        }
    return true;
}

int PackNumber(HINSTANCE pack, int id) {
    char buffer[4] = {};
    LoadStringA(pack, static_cast<UINT>(id), buffer, sizeof buffer);
    return StrToInt(buffer);
}

// The position that the pack generator's previews show: six pieces a side,
// three in hand each, the white piece on point 19 picked (its one free
// neighbour, 18, lit), the match standing 1 to 2.
const AnsiString kMidGame =
    PositionString(1, MoveState, {0, 1, 11, 17, 19, 22}, {2, 4, 8, 13, 15, 20}, 3, 3);

class BoardViewTest : public BoardFixture {};

class BoardPackTest : public BoardFixture, public testing::WithParamInterface<int> {
protected:
    std::string PackPath() {
        return BuildProgramDir() + "gfx" + std::to_string(GetParam()) + ".dll";
    }
};

TEST_P(BoardPackTest, DrawsAMidGamePositionAsThePackComposesIt) {
    const HINSTANCE pack = UsePack(PackPath());
    SetPosition(kMidGame);
    const int x = (PackNumber(pack, 200 + 19) + PackNumber(pack, 248 + 19)) / 2;
    const int y = (PackNumber(pack, 224 + 19) + PackNumber(pack, 272 + 19)) / 2;
    const QImage background = FindBitmapResource(pack, "background");
    const int offsetX = (Board().Width - background.width()) / 2;
    const int offsetY = (Board().Height - background.height()) / 2;
    Board().BoardMouseDown(&Board(), mbLeft, TShiftState(), x + offsetX, y + offsetY);
    Board().SetCounters(1, 2);
    Board().RedrawAll();

    const PackSource source{
        [pack](const QString& name) { return FindBitmapResource(pack, name.toStdString()); },
        [pack](int id) { return PackNumber(pack, id); }};
    const QImage expected = Compose(source, MidGamePosition());
    const QImage shown =
        Board().Canvas->Image().copy(offsetX, offsetY, background.width(), background.height());
    QString difference;
    EXPECT_TRUE(SameImage(shown.convertToFormat(QImage::Format_RGB32), expected, difference))
        << difference.toStdString();
}

TEST_P(BoardPackTest, TheMiddleOfEveryClickBoxHitsItsPoint) {
    const HINSTANCE pack = UsePack(PackPath());
    const QImage background = FindBitmapResource(pack, "background");
    const int offsetX = (Board().Width - background.width()) / 2;
    const int offsetY = (Board().Height - background.height()) / 2;
    for (int p = 0; p < PointCount; ++p) {
        const int x = (PackNumber(pack, 200 + p) + PackNumber(pack, 248 + p)) / 2;
        const int y = (PackNumber(pack, 224 + p) + PackNumber(pack, 272 + p)) / 2;
        EXPECT_EQ(Board().HitTest(x + offsetX, y + offsetY), p);
    }
    EXPECT_EQ(Board().HitTest(offsetX, offsetY), -1);
}

INSTANTIATE_TEST_SUITE_P(Generated, BoardPackTest, testing::Values(0, 1, 2, 3));

TEST_F(BoardViewTest, DrawsEveryPartOfThePositionWithItsBitmap) {
    UseColourPack();
    SetPosition(PositionString(2, MoveState, {0, 5}, {7}, 4, 9));
    Board().Glow[3] = 1; // an empty point lit
    Board().Glow[5] = 1; // a lit point with a piece shows the piece
    Board().RedrawAll();

    const TPoint o = Offset();
    EXPECT_EQ(ShownAt(o.x, o.y), "background");
    EXPECT_EQ(ShownOn(0), "white1");
    EXPECT_EQ(ShownOn(5), "white6");
    EXPECT_EQ(ShownOn(7), "black8");
    EXPECT_EQ(ShownOn(3), "glow4");
    EXPECT_EQ(ShownOn(23), "empty24");
    using namespace ColourPack;
    EXPECT_EQ(ShownAt(o.x + WhiteStack.x, o.y + WhiteStack.y), "ersatz_white4");
    EXPECT_EQ(ShownAt(o.x + BlackStack.x, o.y + BlackStack.y), "ersatz_black9");
    EXPECT_EQ(ShownAt(o.x + Label1.x, o.y + Label1.y), "beschriftungblack");
    EXPECT_EQ(ShownAt(o.x + Label2.x, o.y + Label2.y), "beschriftungwhite");
    EXPECT_EQ(ShownAt(o.x + Counter1.x, o.y + Counter1.y), "digit0");
}

TEST_F(BoardViewTest, TheArcadeModeShowsStageAndScoreLabels) {
    UseColourPack();
    Game().GameMode = ArcadeMode;
    Board().RedrawAll();
    const TPoint o = Offset();
    using namespace ColourPack;
    EXPECT_EQ(ShownAt(o.x + Label1.x, o.y + Label1.y), "beschriftungstage");
    EXPECT_EQ(ShownAt(o.x + Label2.x, o.y + Label2.y), "beschriftungscore");
}

TEST_F(BoardViewTest, WithHighlightingOffLitPointsShowEmptyAndKeepTheirFlags) {
    UseColourPack();
    Board().Glow[3] = 1;
    Game().SetHighlightMoves(false);
    Board().DrawBoard();
    EXPECT_EQ(ShownOn(3), "empty4");
    EXPECT_EQ(Board().Glow[3], 1);
    Game().SetHighlightMoves(true);
    Board().DrawBoard();
    EXPECT_EQ(ShownOn(3), "glow4");
}

TEST_F(BoardViewTest, CountersShowEveryDigitSideBySide) {
    UseColourPack();
    Board().SetCounters(305, 7);
    const TPoint o = Offset();
    using namespace ColourPack;
    int x = o.x + Counter1.x;
    for (int digit : {3, 0, 5}) {
        EXPECT_EQ(ShownAt(x, o.y + Counter1.y), "digit" + std::to_string(digit));
        EXPECT_EQ(ShownAt(x + DigitWidth(digit) - 1, o.y + Counter1.y),
                  "digit" + std::to_string(digit));
        x += DigitWidth(digit);
    }
    EXPECT_EQ(ShownAt(x, o.y + Counter1.y), "background");
    EXPECT_EQ(ShownAt(o.x + Counter2.x, o.y + Counter2.y), "digit7");
}

TEST_F(BoardViewTest, AWiderWindowCentresTheBoardOnTheNextPaintOnly) {
    UseColourPack();
    const TPoint before = Offset();
    EXPECT_EQ(ShownAt(before.x, before.y), "background");
    EXPECT_EQ(ShownAt(before.x - 1, before.y), "?"); // the margin
    EXPECT_EQ(Board().HitTest(before.x + PointPlace(0).x, before.y + PointPlace(0).y), 0);

    // No paint runs between the resize and the drawing below.
    Form1->OnPaint = nullptr;
    Form1->OnResize = nullptr;
    Form1->SetBounds(Form1->Left, Form1->Top, 901, 700);
    Application->ProcessMessages();
    const TPoint after = Offset();
    ASSERT_NE(after.x, before.x);

    Board().DrawBoard();
    const int x0 = PointPlace(0).x;
    const int y0 = PointPlace(0).y;
    EXPECT_EQ(ShownAt(before.x + x0, before.y + y0), "empty1");
    EXPECT_EQ(Board().HitTest(before.x + x0, before.y + y0), 0);
    EXPECT_EQ(Board().HitTest(after.x + x0, after.y + y0), -1);

    Board().RedrawAll();
    EXPECT_EQ(after.x, (Board().Width - ColourPack::BackgroundWidth) / 2);
    EXPECT_EQ(ShownAt(after.x, after.y), "background");
    EXPECT_EQ(ShownAt(after.x + x0, after.y + y0), "empty1");
    EXPECT_EQ(Board().HitTest(after.x + x0, after.y + y0), 0);
    // What stood at the old place is gone, counters included.
    EXPECT_EQ(ShownAt(before.x + x0, before.y + y0), "?");
    EXPECT_EQ(ShownAt(before.x + ColourPack::Counter1.x, before.y + ColourPack::Counter1.y), "?");
    EXPECT_EQ(ShownAt(after.x + ColourPack::Counter1.x, after.y + ColourPack::Counter1.y),
              "digit0");
}

TEST_F(BoardViewTest, ABackgroundLargerThanTheViewIsCentredTruncatingTowardZero) {
    ColourPack::Options large;
    large.backgroundWidth = 1001;
    large.backgroundHeight = 1001;
    UseColourPack(large);
    // An odd difference tells truncation from rounding down.
    ASSERT_NE((Board().Width - 1001) % 2, 0);
    const int offsetX = (Board().Width - 1001) / 2;
    const int offsetY = (Board().Height - 1001) / 2;
    ASSERT_LT(offsetX, 0);
    // The first point's box, found at its place plus the (negative) offset.
    const TPoint at = PointPlace(0);
    EXPECT_EQ(Board().HitTest(offsetX + at.x, offsetY + at.y), 0);
    EXPECT_EQ(Board().HitTest(offsetX + at.x - 1, offsetY + at.y), -1);
}

TEST_F(BoardViewTest, HitTestTakesBordersAndGivesTheLowerOfOverlappingPoints) {
    ColourPack::Options overlapping;
    // Point 3's box reaches over point 9's box entirely.
    overlapping.strings[248 + 3] = "190";
    overlapping.strings[272 + 3] = "100";
    UseColourPack(overlapping);
    const TPoint o = Offset();
    const TPoint p9 = PointPlace(9);
    EXPECT_EQ(Board().HitTest(o.x + p9.x + 5, o.y + p9.y + 5), 3);
    const TPoint p0 = PointPlace(0);
    EXPECT_EQ(Board().HitTest(o.x + p0.x, o.y + p0.y), 0);
    EXPECT_EQ(Board().HitTest(o.x + p0.x + 19, o.y + p0.y + 19), 0);
    EXPECT_EQ(Board().HitTest(o.x + p0.x + 20, o.y + p0.y), -1);
    EXPECT_EQ(Board().HitTest(o.x + p0.x - 1, o.y + p0.y), -1);
    EXPECT_EQ(Board().HitTest(-1000, -1000), -1);
}

TEST_F(BoardViewTest, APackWithoutLabelNumbersShowsNoLabels) {
    ColourPack::Options unlabelled;
    for (int id : {350, 351, 352, 353})
        unlabelled.strings.erase(id);
    ASSERT_NO_THROW(UseColourPack(unlabelled));
    const TPoint o = Offset();
    using namespace ColourPack;
    EXPECT_EQ(ShownAt(o.x + Label1.x, o.y + Label1.y), "background");
    EXPECT_EQ(ShownAt(o.x + Label2.x, o.y + Label2.y), "background");
    EXPECT_EQ(ShownOn(0), "empty1");
}

TEST_F(BoardViewTest, AnUnreadableLabelNumberDropsOnlyThatLabel) {
    ColourPack::Options oneLabel;
    oneLabel.strings[351] = "top";
    UseColourPack(oneLabel);
    const TPoint o = Offset();
    using namespace ColourPack;
    EXPECT_EQ(ShownAt(o.x + Label1.x, o.y + Label1.y), "background");
    EXPECT_EQ(ShownAt(o.x + Label2.x, o.y + Label2.y), "beschriftungwhite");
}

TEST_F(BoardViewTest, APackMissingARequiredNumberFailsWithTheConversionError) {
    for (int id : {0,   23,  24,  47,  200, 223, 224, 247, 248, 271,
                   272, 295, 100, 101, 102, 103, 300, 301, 302, 303}) {
        SCOPED_TRACE(id);
        ColourPack::Options lacking;
        lacking.strings.erase(id);
        const HINSTANCE pack = LoadLibraryA(ColourPack::Make(packs, lacking).c_str());
        ASSERT_NE(pack, nullptr);
        EXPECT_THROW(Board().LoadGraphics(pack), EConvertError);
    }
    ColourPack::Options wrong;
    wrong.strings[5] = "x5";
    EXPECT_THROW(Board().LoadGraphics(LoadLibraryA(ColourPack::Make(packs, wrong).c_str())),
                 EConvertError);
    // A view without a usable pack draws nothing instead of failing again.
    EXPECT_NO_THROW(Board().RedrawAll());
}

TEST_F(BoardViewTest, AMissingBitmapRaisesTheResourceError) {
    struct Case {
        const char* bitmap;
        std::function<void(GFXEngine&)> draw;
    };
    const Case cases[] = {
        {"background", [](GFXEngine&) {}},
        {"ersatz_white9", [](GFXEngine&) {}},
        {"glow5",
         [](GFXEngine& board) {
             board.Glow[4] = 1;
             board.DrawBoard();
         }},
        {"digit3", [](GFXEngine& board) { board.SetCounters(13, 0); }},
        {"red24",
         [](GFXEngine& board) {
             uint8_t mask[PointCount] = {};
             mask[23] = 1;
             ASSERT_TRUE(board.SetBoardStatus("000000000000000000000001"
                                              "1089"));
             board.BlinkPoints(mask);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bitmap);
        ColourPack::Options lacking;
        lacking.leaveOut = {c.bitmap};
        const HINSTANCE pack = LoadLibraryA(ColourPack::Make(packs, lacking).c_str());
        try {
            Board().LoadGraphics(pack);
            Board().RedrawAll();
            c.draw(Board());
            ADD_FAILURE() << "no error";
        } catch (const EResNotFound& error) {
            EXPECT_EQ(error.Message, std::string("Resource ") + c.bitmap + " not found");
        }
    }
}

TEST_F(BoardViewTest, ANewPackKeepsBoardAndGlowAndRestartsTheCountersInPlace) {
    UseColourPack();
    const AnsiString position = PositionString(1, PutState, {4}, {9}, 8, 8);
    SetPosition(position);
    Board().Glow[2] = 1;
    Board().SetCounters(5, 7);
    // Taken over as the player-selection dialog does it: no paint yet.
    Game().SetGraphicsLibrary(LoadLibraryA(ColourPack::Make(packs).c_str()));
    EXPECT_EQ(Game().GetGameString(), position);
    EXPECT_EQ(ShownOn(2), "glow3");
    EXPECT_EQ(ShownOn(4), "white5");
    const TPoint o = Offset();
    EXPECT_EQ(ShownAt(o.x + ColourPack::Counter1.x, o.y + ColourPack::Counter1.y), "digit0");
    EXPECT_EQ(ShownAt(o.x + ColourPack::Counter2.x, o.y + ColourPack::Counter2.y), "digit0");
    EXPECT_EQ(ShownAt(ColourPack::Counter1.x, ColourPack::Counter1.y), "?");
}

TEST_F(BoardViewTest, TheWindowsNextPaintShowsTheNewPacksBackground) {
    UseColourPack();
    ColourPack::Options wider;
    wider.backgroundWidth = 300;
    Game().SetGraphicsLibrary(LoadLibraryA(ColourPack::Make(packs, wider).c_str()));
    Application->ProcessMessages();
    const int x = (Board().Width - 300) / 2;
    const int y = Offset().y;
    EXPECT_EQ(ShownAt(x, y), "background");
    EXPECT_EQ(ShownAt(x - 1, y), "?");
    EXPECT_EQ(ShownAt(x + 299, y), "background");
    EXPECT_EQ(ShownAt(x + PointPlace(0).x, y + PointPlace(0).y), "empty1");
}

TEST_F(BoardViewTest, BoardStatusAndSetBoardGoThroughTheBoardRecord) {
    UseColourPack();
    const AnsiString zeros(22, '0');
    const AnsiString status = "12" + zeros + "1188";
    ASSERT_TRUE(Board().SetBoardStatus(status));
    EXPECT_EQ(Board().GetBoardStatus(), status);
    EXPECT_FALSE(Board().SetBoardStatus(status + "0"));
    EXPECT_FALSE(Board().SetBoardStatus(status.substr(1)));
    EXPECT_FALSE(Board().SetBoardStatus("3" + zeros + "01188")); // a point above 2
    EXPECT_THROW(Board().SetBoardStatus("x" + zeros + "01188"), EConvertError);
    EXPECT_EQ(Board().GetBoardStatus(), status);

    BoardRecord copy;
    Board().CopyBoard(copy);
    EXPECT_EQ(copy.cell[0], White);
    EXPECT_EQ(copy.cell[1], Black);
    EXPECT_EQ(copy.inHand[1], 8);
    copy.cell[2] = White;
    Board().SetBoard(copy);
    EXPECT_EQ(ShownOn(2), "white3");
    EXPECT_EQ(Board().GetBoardStatus(), "121" + AnsiString(21, '0') + "1188");
}

TEST_F(BoardViewTest, CanJumpAsksTheViewsBoard) {
    UseColourPack();
    SetPosition(PositionString(1, MoveState, {0, 1, 2}, {8, 9, 10, 11}, 0, 0));
    EXPECT_TRUE(Board().CanJump(White));
    EXPECT_FALSE(Board().CanJump(Black));
    SetPosition(PositionString(1, MoveState, {0, 1, 2}, {8}, 1, 0));
    EXPECT_FALSE(Board().CanJump(White));
    EXPECT_TRUE(Board().CanJump(Black));
    EXPECT_FALSE(Board().CanJump(Empty));
}

TEST_F(BoardViewTest, TheRuleOperationsAreTheViewsStaticMembers) {
    BoardRecord board = InitBoard();
    EXPECT_TRUE(GFXEngine::ApplyPut(board, White, MoveRecord{3, -1, 0, Put}));
    EXPECT_EQ(board.cell[3], White);
    EXPECT_FALSE(GFXEngine::ApplyRemove(board, MoveRecord{3, -1, 0, Remove}, White));
    EXPECT_TRUE(GFXEngine::HasRemovablePiece(board, Black));
    EXPECT_TRUE(GFXEngine::ApplyRemove(board, MoveRecord{3, -1, 0, Remove}, Black));
    int n[4] = {7, 7, 7, 7};
    GFXEngine::GetNeighbours(15, n[0], n[1], n[2], n[3]);
    EXPECT_EQ(std::vector<int>(n, n + 4), (std::vector<int>{8, 14, 23, 7}));
}

} // namespace
