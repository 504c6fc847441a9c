#include "tests/ui/BoardFixture.h"

#include <QEvent>
#include <QPaintEvent>
#include <QWidget>

#include "game/HumanPlayer.h"
#include "game/gamecontrol.h"
#include "platform/win32/Clock.h"
#include "platform/win32/Resources.h"
#include "tests/support/Pump.h"
#include "ui/GFXEngine.h"
#include "ui/TForm1.h"

namespace {

// Moves, animations and blinks wait 200 or 300 ms at a time.
constexpr double kClockScale = 50;

constexpr int kNameGreen = 90;
constexpr int kNameBlue = 160;

QRgb ColourOf(int index) {
    return qRgb(index, kNameGreen, kNameBlue);
}

QImage Block(int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QSize SizeOf(const std::string& name, const ColourPack::Options& options) {
    const auto starts = [&name](const char* prefix) { return name.rfind(prefix, 0) == 0; };
    if (name == "background")
        return {options.backgroundWidth, options.backgroundHeight};
    if (starts("digit"))
        return {ColourPack::DigitWidth(name.back() - '0'), 8};
    if (starts("ersatz_") || starts("beschriftung"))
        return {16, 8};
    return {ColourPack::PointSize, ColourPack::PointSize};
}

} // namespace

AnsiString PositionString(int side, int state, std::initializer_list<int> whites,
                          std::initializer_list<int> blacks, int whiteInHand, int blackInHand) {
    AnsiString points(PointCount, '0');
    for (int p : whites)
        points[p] = '1';
    for (int p : blacks)
        points[p] = '2';
    return IntToStr(side) + IntToStr(state) + points + IntToStr(whites.size()) +
           IntToStr(blacks.size()) + IntToStr(whiteInHand) + IntToStr(blackInHand);
}

// ---- The colour pack ----

TPoint ColourPack::PointPlace(int point) {
    return {10 + (point % 6) * 30, 10 + (point / 6) * 30};
}

int ColourPack::DigitWidth(int digit) {
    return digit + 2;
}

std::vector<std::string> ColourPack::BitmapNames() {
    std::vector<std::string> names{"background"};
    for (const char* kind : {"empty", "white", "black", "glow", "red"})
        for (int n = 1; n <= PointCount; ++n)
            names.push_back(kind + std::to_string(n));
    for (const char* colour : {"ersatz_white", "ersatz_black"})
        for (int k = 0; k <= 9; ++k)
            names.push_back(colour + std::to_string(k));
    for (const char* label :
         {"beschriftungwhite", "beschriftungblack", "beschriftungscore", "beschriftungstage"})
        names.push_back(label);
    for (int d = 0; d <= 9; ++d)
        names.push_back("digit" + std::to_string(d));
    return names;
}

std::string ColourPack::NameOf(QRgb colour) {
    static const std::vector<std::string> names = BitmapNames();
    const int index = qRed(colour);
    if (qGreen(colour) != kNameGreen || qBlue(colour) != kNameBlue || index >= int(names.size()))
        return "?";
    return names[index];
}

std::map<int, std::string> ColourPack::Strings() {
    std::map<int, std::string> strings;
    const auto place = [&strings](int xId, TPoint at) {
        strings[xId] = std::to_string(at.x);
        strings[xId + 1] = std::to_string(at.y);
    };
    for (int i = 0; i < PointCount; ++i) {
        const TPoint at = PointPlace(i);
        strings[i] = std::to_string(at.x);
        strings[i + 24] = std::to_string(at.y);
        strings[200 + i] = std::to_string(at.x);
        strings[224 + i] = std::to_string(at.y);
        strings[248 + i] = std::to_string(at.x + PointSize - 1);
        strings[272 + i] = std::to_string(at.y + PointSize - 1);
    }
    place(100, WhiteStack);
    place(102, BlackStack);
    place(300, Counter1);
    place(302, Counter2);
    place(350, Label1);
    place(352, Label2);
    strings[1001] = "colour";
    return strings;
}

std::string ColourPack::Make(PackFixture& packs, const Options& options) {
    PackFixture::Contents contents;
    const std::vector<std::string> names = BitmapNames();
    for (size_t i = 0; i < names.size(); ++i) {
        if (options.leaveOut.count(names[i]))
            continue;
        const QSize size = SizeOf(names[i], options);
        contents.bitmaps[names[i]] = Block(size.width(), size.height(), ColourOf(int(i)));
    }
    std::string table;
    for (const auto& [id, text] : options.strings)
        table += std::to_string(id) + "\t" + text + "\n";
    contents.strings = table;
    static int made = 0;
    return packs.Make("colour" + std::to_string(++made) + ".dll", contents);
}

// ---- Recording paints ----

PaintRecorder::PaintRecorder(GFXEngine& board,
                             std::map<std::string, std::pair<QRect, Reader>> spots)
    : board_(board), spots_(std::move(spots)) {
    board_.Widget()->installEventFilter(this);
}

PaintRecorder::~PaintRecorder() {
    board_.Widget()->removeEventFilter(this);
}

bool PaintRecorder::eventFilter(QObject* watched, QEvent* event) {
    if (watched == board_.Widget() && event->type() == QEvent::Paint) {
        const QRect painted = static_cast<QPaintEvent*>(event)->rect();
        for (const auto& [spot, place] : spots_)
            if (painted.intersects(place.first))
                entries_[spot].push_back({place.second(board_.Canvas->Image()), GetTickCount()});
    }
    return false;
}

std::vector<std::string> PaintRecorder::Names(const std::string& spot) const {
    std::vector<std::string> names;
    if (auto found = entries_.find(spot); found != entries_.end())
        for (const Entry& entry : found->second)
            names.push_back(entry.name);
    return names;
}

std::vector<DWORD> PaintRecorder::Ticks(const std::string& spot) const {
    std::vector<DWORD> ticks;
    if (auto found = entries_.find(spot); found != entries_.end())
        for (const Entry& entry : found->second)
            ticks.push_back(entry.tick);
    return ticks;
}

// ---- The fixture ----

BoardFixture::BoardFixture() : ProgramFixture(kClockScale) {
    StartIdleProgram();
    // The window is exposed, so what the view draws is painted at once.
    PumpOnce();
    Game().SetSoundOn(false);
    Game().FirstSeat = std::make_unique<HumanPlayer>("Anna", &Game(), White, Game());
    Game().SecondSeat = std::make_unique<HumanPlayer>("Ben", &Game(), Black, Game());
    Game().GameMode = TwoPeopleMode;
}

GFXEngine& BoardFixture::Board() {
    return dynamic_cast<GFXEngine&>(*Form1->Game->Engine);
}

HINSTANCE BoardFixture::UsePack(const std::string& path) {
    const HINSTANCE pack = LoadLibraryA(path.c_str());
    if (!pack)
        throw std::runtime_error("not a pack: " + path);
    Form1->GraphicsLibrary = pack;
    Game().SetGraphicsLibrary(pack);
    Board().RedrawAll();
    return pack;
}

HINSTANCE BoardFixture::UseColourPack(const ColourPack::Options& options) {
    return UsePack(ColourPack::Make(packs, options));
}

void BoardFixture::SetPosition(const AnsiString& gameString) {
    ASSERT_TRUE(Game().SetGameString(gameString)) << gameString;
    Game().EnableGameUI(true);
}

TPoint BoardFixture::Offset() {
    return {(Board().Width - ColourPack::BackgroundWidth) / 2,
            (Board().Height - ColourPack::BackgroundHeight) / 2};
}

std::string BoardFixture::ShownAt(int x, int y) {
    return ColourPack::NameOf(Board().Canvas->Image().pixel(x, y));
}

std::string BoardFixture::ShownOn(int point) {
    const TPoint at = ColourPack::PointPlace(point);
    const TPoint offset = Offset();
    return ShownAt(offset.x + at.x + ColourPack::PointSize / 2,
                   offset.y + at.y + ColourPack::PointSize / 2);
}

void BoardFixture::Click(int point) {
    const TPoint at = ColourPack::PointPlace(point);
    const TPoint offset = Offset();
    Board().BoardMouseDown(&Board(), mbLeft, TShiftState(),
                           offset.x + at.x + ColourPack::PointSize / 2,
                           offset.y + at.y + ColourPack::PointSize / 2);
}

std::unique_ptr<PaintRecorder> BoardFixture::RecordPoints(std::initializer_list<int> points) {
    std::map<std::string, std::pair<QRect, PaintRecorder::Reader>> spots;
    const TPoint offset = Offset();
    for (int point : points) {
        const TPoint at = ColourPack::PointPlace(point);
        const QRect place(offset.x + at.x, offset.y + at.y, ColourPack::PointSize,
                          ColourPack::PointSize);
        spots[std::to_string(point)] = {place, [place](const QImage& canvas) {
                                            return ColourPack::NameOf(canvas.pixel(place.center()));
                                        }};
    }
    return std::make_unique<PaintRecorder>(Board(), std::move(spots));
}

void BoardFixture::ExpectRefusal(int text) {
    hook.ExpectMessageBox(Text(text))
        .Caption(Text(43))
        .Flags(MB_OK | MB_ICONEXCLAMATION)
        .Press(IDOK);
}
