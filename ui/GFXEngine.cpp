#include "ui/GFXEngine.h"

#include <algorithm>
#include <array>
#include <exception>

#include "game/GameText.h"
#include "game/GameWindow.h"
#include "game/MoveRules.h"
#include "game/Random.h"
#include "game/gamecontrol.h"
#include "myunits/LANGUAGE.h"
#include "myunits/Utils.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/win32/Clock.h"
#include "platform/win32/Resources.h"
#include "platform/win32/Sound.h"
#include "ui/TCanvasLCD.h"

namespace {

// String ids of the pack's layout.
constexpr int kPointY = 24;
constexpr int kBoxLeft = 200;
constexpr int kBoxTop = 224;
constexpr int kBoxRight = 248;
constexpr int kBoxBottom = 272;
constexpr int kWhiteStack = 100;
constexpr int kBlackStack = 102;
constexpr int kCounter1 = 300;
constexpr int kCounter2 = 302;
constexpr int kLabel1 = 350;
constexpr int kLabel2 = 352;
constexpr int kSoundPrefix = 1001;
// Numbers have at most three digits; the prefix at most 19 characters.
constexpr int kNumberBuffer = 4;
constexpr int kPrefixBuffer = 20;

// Language texts of the click handler.
constexpr int kNoteCaption = 43;
constexpr int kPointOccupied = 116;
constexpr int kChooseTarget = 117;
constexpr int kPieceCannotMove = 118;
constexpr int kChooseOwnPiece = 119;
constexpr int kOtherPieceCannotMove = 120;
constexpr int kRemoveOwnPiece = 121;
constexpr int kRemoveEmptyPoint = 122;
constexpr int kPieceProtected = 123;
constexpr int kMoveOntoOpponent = 550;
constexpr int kMoveNotAdjacent = 551;
constexpr int kJumpOntoOpponent = 552;

constexpr DWORD kFrameMilliseconds = 200;
constexpr DWORD kBlinkMilliseconds = 200;
constexpr DWORD kFlashMilliseconds = 300;

AnsiString Text(int number) {
    return TMyLanguages::GetSingleton().GetString(number);
}

bool IsPoint(int point) {
    return point >= 0 && point < PointCount;
}

// The colour on a point; a number that is no point holds nothing.
uint8_t PieceOn(const BoardRecord& board, int point) {
    return IsPoint(point) ? board.cell[point] : Empty;
}

// The neighbour table's four places of a point, -1 where there is none.
std::array<int, 4> NeighboursOf(int point) {
    std::array<int, 4> n = {-1, -1, -1, -1};
    BoardRules::GetNeighbours(point, n[0], n[1], n[2], n[3]);
    return n;
}

} // namespace

GFXEngine::GFXEngine(TWinControl* parent, VellGameControl* game)
    : TPaintBox(parent), Picture(std::make_unique<TPicture>()),
      ClickBoxes(std::make_unique<ClickBox[]>(PointCount)), Game(game),
      Board(std::make_unique<BoardRecord>(InitBoard())) {
    Name = "GFXEngine";
    Parent = parent;
    Align = alClient;
    Reset();
    OnMouseDown = Method(this, &GFXEngine::BoardMouseDown);
}

GFXEngine::~GFXEngine() {
    if (Pack)
        FreeLibrary(Pack);
}

void GFXEngine::Reset() {
    SetAllGlow(false);
    MarkedPoint = -1;
    *Board = InitBoard();
}

void GFXEngine::LoadGraphics(HMODULE pack) {
    MarkedPoint = -1;
    // The counters draw from the pack they were made with, so they go with
    // it; until new ones exist (a pack that fails to load) nothing is drawn.
    Counter1.reset();
    Counter2.reset();
    // The same handle again is kept, not freed under our feet.
    if (Pack && Pack != pack)
        FreeLibrary(Pack);
    Pack = pack;
    Picture->Bitmap->LoadFromResourceName(Pack, "background");
    SoundPrefix = PackText(kSoundPrefix, kPrefixBuffer);
    Width = 400;
    Height = 400;
    ReadLayout();
    CreateCounters();
    Height = Picture->Bitmap->Height;
    Width = Picture->Bitmap->Width;
    DrawBoard();
}

int GFXEngine::PackNumber(int id) {
    return StrToInt(PackText(id, kNumberBuffer));
}

AnsiString GFXEngine::PackText(int id, int bufferSize) {
    char buffer[kPrefixBuffer] = {};
    LoadStringA(Pack, static_cast<UINT>(id), buffer, bufferSize);
    return buffer;
}

GFXEngine::Place GFXEngine::PackPlace(int xId, int yId) {
    return {PackNumber(xId), PackNumber(yId)};
}

GFXEngine::Place GFXEngine::OptionalPackPlace(int xId, int yId) {
    try {
        return PackPlace(xId, yId);
    } catch (const EConvertError&) {
        return {-1, -1};
    }
}

void GFXEngine::ReadLayout() {
    for (int i = 0; i < PointCount; ++i)
        Points[i] = PackPlace(i, i + kPointY);
    for (int i = 0; i < PointCount; ++i)
        ClickBoxes[i] = {PackNumber(kBoxLeft + i), PackNumber(kBoxRight + i),
                         PackNumber(kBoxTop + i), PackNumber(kBoxBottom + i)};
    WhiteStack = PackPlace(kWhiteStack, kWhiteStack + 1);
    BlackStack = PackPlace(kBlackStack, kBlackStack + 1);
    Label1 = OptionalPackPlace(kLabel1, kLabel1 + 1);
    Label2 = OptionalPackPlace(kLabel2, kLabel2 + 1);
}

// The counters stand where the rest of the board stands: at their pack
// places plus the centring offset of the last background.
void GFXEngine::CreateCounters() {
    const Place first = PackPlace(kCounter1, kCounter1 + 1);
    const Place second = PackPlace(kCounter2, kCounter2 + 1);
    Counter1 = std::make_unique<TCanvasLCD>(Canvas, Pack, first.x + OffsetX, first.y + OffsetY);
    Counter2 = std::make_unique<TCanvasLCD>(Canvas, Pack, second.x + OffsetX, second.y + OffsetY);
}

void GFXEngine::DrawBoard() {
    // Nothing to draw on before a pack has been taken over.
    if (!Counter1)
        return;
    Counter1->Draw();
    Counter2->Draw();
    DrawBitmap("ersatz_black" + IntToStr(Board->inHand[1]), BlackStack.x, BlackStack.y);
    DrawBitmap("ersatz_white" + IntToStr(Board->inHand[0]), WhiteStack.x, WhiteStack.y);
    const bool arcade = Game->GameMode == ArcadeMode;
    if (Label1.x != -1)
        DrawBitmap(arcade ? "beschriftungstage" : "beschriftungblack", Label1.x, Label1.y);
    if (Label2.x != -1)
        DrawBitmap(arcade ? "beschriftungscore" : "beschriftungwhite", Label2.x, Label2.y);
    for (int i = 0; i < PointCount; ++i)
        DrawBitmap(PointBitmapName(i), Points[i].x, Points[i].y);
}

AnsiString GFXEngine::PointBitmapName(int point) {
    const AnsiString n = IntToStr(point + 1);
    if (point == MarkedPoint)
        return "red" + n;
    switch (Board->cell[point]) {
    case White:
        return "white" + n;
    case Black:
        return "black" + n;
    default:
        return (Glow[point] && Game->GetHighlightMoves() ? "glow" : "empty") + n;
    }
}

void GFXEngine::RedrawAll() {
    if (!Counter1)
        return;
    DrawBitmap("background", 0, 0);
    EraseMargins();
    // The counters follow the new offset before anything is drawn, so no
    // digits are left at the old place.
    const Place first = PackPlace(kCounter1, kCounter1 + 1);
    const Place second = PackPlace(kCounter2, kCounter2 + 1);
    Counter1->X = first.x + OffsetX;
    Counter1->Y = first.y + OffsetY;
    Counter2->X = second.x + OffsetX;
    Counter2->Y = second.y + OffsetY;
    DrawBoard();
}

// The canvas keeps what it was drawn, so the margins around the background
// are cleared to the parent's colour, as the window's erase would.
void GFXEngine::EraseMargins() {
    TCanvas* canvas = Canvas;
    canvas->Brush->Color = Parent->Color;
    const int width = Width;
    const int height = Height;
    const int right = OffsetX + Picture->Width;
    const int bottom = OffsetY + Picture->Height;
    const TRect margins[] = {Rect(0, 0, width, OffsetY), Rect(0, bottom, width, height),
                             Rect(0, OffsetY, OffsetX, bottom),
                             Rect(right, OffsetY, width, bottom)};
    for (const TRect& margin : margins)
        if (margin.Width() > 0 && margin.Height() > 0)
            canvas->FillRect(margin);
}

void GFXEngine::DrawBitmap(const AnsiString& name, int x, int y) {
    TBitmap* bitmap = Picture->Bitmap;
    bitmap->LoadFromResourceName(Pack, name);
    if (name == "background") {
        OffsetX = (Width() - bitmap->Width()) / 2;
        OffsetY = (Height() - bitmap->Height()) / 2;
    }
    Canvas->Draw(x + OffsetX, y + OffsetY, bitmap);
    bitmap->ReleaseHandle();
}

int GFXEngine::HitTest(int x, int y) {
    const int px = x - OffsetX;
    const int py = y - OffsetY;
    for (int i = 0; i < PointCount; ++i) {
        const ClickBox& box = ClickBoxes[i];
        if (px >= box.left && px <= box.right && py >= box.top && py <= box.bottom)
            return i;
    }
    return -1;
}

void GFXEngine::CopyBoard(BoardRecord& out) {
    CopyBoardRecord(out, *Board);
}

void GFXEngine::SetBoard(BoardRecord board) {
    CopyBoardRecord(*Board, board);
    MarkedPoint = -1;
    DrawBoard();
}

void GFXEngine::SetCounters(int first, int second) {
    if (Counter1) {
        Counter1->Value = first;
        Counter2->Value = second;
    }
    DrawBoard();
}

AnsiString GFXEngine::GetBoardStatus() {
    return BoardStatusString(*Board);
}

// A new position has no picked piece: a mark left from the old one would
// stand on a point that may now be empty.
bool GFXEngine::SetBoardStatus(const AnsiString& text) {
    if (!ReadBoardStatusString(text, *Board))
        return false;
    MarkedPoint = -1;
    return true;
}

bool GFXEngine::CanJump(uint8_t colour) {
    return MayJump(*Board, colour);
}

// ---- Board input ----

void GFXEngine::BoardMouseDown(TObject*, TMouseButton, TShiftState, int X, int Y) {
    if (Game->MainForm->CloseRequested) {
        Game->MainForm->Close();
        return;
    }
    const int p = HitTest(X, Y);
    if (Game->IsGameUIEnabled() && p != -1) {
        const uint8_t side = Game->GetSideToMove();
        uint8_t state = Game->GetGameState();
        // A target phase without a picked piece (a restored position) is
        // a phase of picking one.
        if ((state == MoveTargetState || state == JumpTargetState) && MarkedPoint == -1)
            state = MoveState;
        switch (state) {
        case MoveState:
            ClickPick(p, side);
            break;
        case MoveTargetState:
            ClickMoveTarget(p, side);
            break;
        case JumpTargetState:
            ClickJumpTarget(p, side);
            break;
        case RemoveState:
            ClickRemove(p, side);
            break;
        case PutState:
            ClickPut(p, side);
            break;
        default:
            break;
        }
    }
    DrawBoard();
}

void GFXEngine::ClickPick(int p, uint8_t side) {
    if (Board->cell[p] != side) {
        Refuse(kChooseOwnPiece);
    } else if (CanJump(side)) {
        Game->SetGameState(JumpTargetState);
        GlowJumpTargets(p, side);
        ShowStatusPrompt(side);
        MarkedPoint = p;
    } else if (!CanMoveFrom(p, side)) {
        Refuse(kPieceCannotMove);
    } else {
        GlowMoveTargets(p, side);
        Game->SetGameState(MoveTargetState);
        ShowStatusPrompt(side);
        MarkedPoint = p;
    }
}

void GFXEngine::ClickMoveTarget(int p, uint8_t side) {
    const uint8_t piece = Board->cell[p];
    if (IsLegalMove(*Board, side, MarkedPoint, p)) {
        const int32_t from = MarkedPoint;
        SetAllGlow(false);
        MarkedPoint = -1;
        Game->EnableGameUI(false);
        Submit(from, p, Move);
    } else if (piece == side && !CanMoveFrom(p, side)) {
        Refuse(kOtherPieceCannotMove);
    } else if (piece == side) {
        MarkedPoint = p;
        SetAllGlow(false);
        GlowMoveTargets(p, side);
    } else if (piece == Empty) {
        Refuse(kMoveNotAdjacent);
    } else {
        Refuse(kMoveOntoOpponent);
    }
}

void GFXEngine::ClickJumpTarget(int p, uint8_t side) {
    const uint8_t piece = Board->cell[p];
    if (IsLegalJump(*Board, side, MarkedPoint, p)) {
        const int32_t from = MarkedPoint;
        SetAllGlow(false);
        Game->EnableGameUI(false);
        MarkedPoint = -1;
        Submit(from, p, Jump);
    } else if (piece == side) {
        MarkedPoint = p;
    } else if (piece != Empty) {
        Refuse(kJumpOntoOpponent);
    }
    // An empty point the rules refuse as a target is no move.
}

void GFXEngine::ClickRemove(int p, uint8_t side) {
    const uint8_t piece = Board->cell[p];
    if (piece == side) {
        Refuse(kRemoveOwnPiece);
    } else if (piece == Empty) {
        Refuse(kRemoveEmptyPoint);
    } else if (!IsLegalRemoval(*Board, side, p)) {
        Refuse(kPieceProtected);
    } else {
        Game->EnableGameUI(false);
        Submit(p, -1, Remove);
    }
}

void GFXEngine::ClickPut(int p, uint8_t side) {
    if (Board->cell[p] != Empty) {
        Refuse(kPointOccupied);
        return;
    }
    // An empty point the rules refuse (nothing in hand, as in a position
    // restored out of its phase) is no move.
    if (!IsLegalPut(*Board, side, p))
        return;
    SetAllGlow(false);
    Game->EnableGameUI(false);
    Submit(p, -1, Put);
}

void GFXEngine::Refuse(int text) {
    Application->MessageBox(Text(text), Text(kNoteCaption), MB_ICONEXCLAMATION);
}

void GFXEngine::ShowStatusPrompt(uint8_t side) {
    Game->MainForm->StatusBar1->Panels->Items[0]->Text =
        Game->PlayerNameByColour(side) + ": " + Text(kChooseTarget);
}

bool GFXEngine::CanMoveFrom(int p, uint8_t side) {
    for (const int n : NeighboursOf(p))
        if (IsLegalMove(*Board, side, p, n))
            return true;
    return false;
}

// Only the neighbours' flags change: a neighbour lights when the piece may
// move there.
void GFXEngine::GlowMoveTargets(int p, uint8_t side) {
    for (const int n : NeighboursOf(p))
        if (n != -1)
            Glow[n] = IsLegalMove(*Board, side, p, n);
}

void GFXEngine::SetAllGlow(bool on) {
    for (uint8_t& glow : Glow)
        glow = on;
}

void GFXEngine::GlowJumpTargets(int p, uint8_t side) {
    for (int i = 0; i < PointCount; ++i)
        Glow[i] = IsLegalJump(*Board, side, p, i);
}

void GFXEngine::Submit(int32_t a, int32_t b, uint8_t kind) {
    Game->SubmitMove(MoveRecord{a, b, 0, kind}, true);
}

// ---- Move animation, blinking and sounds ----

void GFXEngine::PerformMove(const MoveRecord& move, const uint8_t& colour) {
    if (Game->GetSoundOn())
        Game->MainForm->PlayMoveSound();
    if (move.kind < Put || move.kind > Remove)
        return;
    CheckMove(move, colour);
    switch (move.kind) {
    case Put:
        ApplyPut(*Board, colour, move);
        ShowFrames(move.a, -1);
        break;
    case Move:
    case Jump:
        ShowFrames(move.a, move.b);
        ApplyMoveOrJump(move);
        break;
    case Remove:
        ShowFrames(move.a, -1);
        ApplyRemove(*Board, move, colour);
        break;
    default:
        break;
    }
}

// The rules' checks only read the board, so an illegal move leaves it as
// it was. A move or jump is checked for the owner of the piece it takes
// along; points outside the board fail the checks.
void GFXEngine::CheckMove(const MoveRecord& move, uint8_t colour) {
    const uint8_t owner = PieceOn(*Board, move.a);
    switch (move.kind) {
    case Put:
        if (!IsLegalPut(*Board, colour, move.a))
            throw Exception("tried to make illegal move - Put");
        break;
    case Move:
        if (!IsLegalMove(*Board, owner, move.a, move.b))
            throw Exception("tried to make illegal move - Move");
        break;
    case Jump:
        if (!MayJump(*Board, owner))
            throw Exception("trying to perform illegal jump!");
        if (!IsLegalJump(*Board, owner, move.a, move.b))
            throw Exception("tried to make illegal move - Jump");
        break;
    case Remove:
        if (!IsLegalRemoval(*Board, colour, move.a))
            throw Exception("tried to make illegal move - Remove");
        break;
    default:
        break;
    }
}

// Four frames of 200 ms with the mark on first, second, first, second (-1:
// no mark), then the last frame once more, and no mark.
void GFXEngine::ShowFrames(int first, int second) {
    for (const int marked : {first, second, first, second}) {
        MarkedPoint = marked;
        DrawBoard();
        Sleep(kFrameMilliseconds);
    }
    DrawBoard();
    MarkedPoint = -1;
}

void GFXEngine::ApplyMoveOrJump(const MoveRecord& move) {
    if (move.kind == Jump && !MayJump(*Board, Board->cell[move.a]))
        throw Exception("trying to perform illegal jump!");
    Board->cell[move.b] = Board->cell[move.a];
    Board->cell[move.a] = Empty;
}

void GFXEngine::BlinkPoints(const uint8_t mask[PointCount]) {
    const int32_t remembered = MarkedPoint;
    for (int i = 0; i < PointCount; ++i) {
        if (Board->cell[i] == Empty || !mask[i])
            continue;
        MarkedPoint = i;
        DrawBoard();
        Sleep(kBlinkMilliseconds);
    }
    MarkedPoint = remembered;
    DrawBoard();
}

void GFXEngine::FlashGlow() {
    uint8_t remembered[PointCount];
    std::copy(std::begin(Glow), std::end(Glow), remembered);
    SetAllGlow(false);
    DrawBoard();
    Sleep(kFlashMilliseconds);
    SetAllGlow(true);
    DrawBoard();
    Sleep(kFlashMilliseconds);
    for (int i = 0; i < 2; ++i) {
        SetAllGlow(false);
        Sleep(kFlashMilliseconds);
        DrawBoard();
        SetAllGlow(true);
        Sleep(kFlashMilliseconds);
        DrawBoard();
    }
    std::copy(std::begin(remembered), std::end(remembered), Glow);
    Sleep(kFlashMilliseconds);
    DrawBoard();
}

bool GFXEngine::PlayMoveSound() {
    AnsiString fileName;
    try {
        const int take = RandomNumber() % 5 + 1;
        fileName = GetProgramDir() + SoundPrefix + IntToStr(take) + ".wav";
    } catch (const std::exception&) {
        return false;
    }
    sndPlaySoundA(fileName.c_str(), SND_ASYNC | SND_FILENAME);
    return true;
}
