#include "game/GameText.h"

#include <limits>
#include <optional>

namespace {

constexpr size_t BoardStatusLength = 28;
constexpr size_t GameStringLength = 30;
constexpr int HighestPointDigit = 2;

// One character through the class library's conversion, which raises
// EConvertError for anything but a digit.
int DigitAt(const AnsiString& text, size_t index) {
    return StrToInt(AnsiString(1, text[index]));
}

bool PointDigitsValid(const AnsiString& text, size_t first) {
    for (size_t i = first; i < first + PointCount; ++i)
        if (DigitAt(text, i) > HighestPointDigit)
            return false;
    return true;
}

BoardRecord BoardFromDigits(const AnsiString& text, size_t first) {
    BoardRecord board;
    for (int p = 0; p < PointCount; ++p)
        board.cell[p] = static_cast<uint8_t>(DigitAt(text, first + p));
    board.onBoard[0] = DigitAt(text, first + 24);
    board.onBoard[1] = DigitAt(text, first + 25);
    board.inHand[0] = DigitAt(text, first + 26);
    board.inHand[1] = DigitAt(text, first + 27);
    return board;
}

// A decimal integer of 32 bits: an optional "-" and one or more digits,
// nothing else.
std::optional<int32_t> DecimalInteger(const AnsiString& text) {
    size_t i = text.size() > 0 && text[0] == '-' ? 1 : 0;
    if (i == text.size())
        return std::nullopt;
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
        if (value > int64_t{std::numeric_limits<int32_t>::max()} + 1)
            return std::nullopt;
    }
    if (text[0] == '-')
        value = -value;
    if (value > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(value);
}

// The text before the next "*", converted; the rest after the "*" stays.
std::optional<int32_t> NextPiece(AnsiString& rest) {
    const size_t star = rest.find('*');
    if (star == AnsiString::npos)
        return std::nullopt;
    const std::optional<int32_t> value = DecimalInteger(rest.substr(0, star));
    rest = rest.substr(star + 1);
    return value;
}

} // namespace

AnsiString BoardStatusString(const BoardRecord& board) {
    AnsiString text;
    for (const uint8_t colour : board.cell)
        text += IntToStr(colour);
    text += IntToStr(board.onBoard[0]) + IntToStr(board.onBoard[1]);
    text += IntToStr(board.inHand[0]) + IntToStr(board.inHand[1]);
    return text;
}

bool ReadBoardStatusString(const AnsiString& text, BoardRecord& board) {
    if (text.size() != BoardStatusLength)
        return false;
    if (!PointDigitsValid(text, 0))
        return false;
    board = BoardFromDigits(text, 0);
    return true;
}

AnsiString GameString(uint8_t side, uint8_t state, const BoardRecord& board) {
    return IntToStr(side) + IntToStr(state) + BoardStatusString(board);
}

bool ReadGameString(const AnsiString& text, uint8_t& side, uint8_t& state, BoardRecord& board) {
    if (text.size() != GameStringLength)
        return false;
    const int sideDigit = DigitAt(text, 0);
    if (sideDigit != White && sideDigit != Black)
        return false;
    if (!PointDigitsValid(text, 2))
        return false;
    const int stateDigit = DigitAt(text, 1);
    const BoardRecord read = BoardFromDigits(text, 2);
    side = static_cast<uint8_t>(sideDigit);
    state = static_cast<uint8_t>(stateDigit);
    board = read;
    return true;
}

AnsiString MoveToText(const MoveRecord& move) {
    return IntToStr(move.kind) + "*" + IntToStr(move.a) + "*" + IntToStr(move.b) + "*" +
           IntToStr(move.c);
}

bool MoveFromText(const AnsiString& text, MoveRecord& move) {
    AnsiString rest = text;
    const std::optional<int32_t> kind = NextPiece(rest);
    const std::optional<int32_t> a = kind ? NextPiece(rest) : std::nullopt;
    const std::optional<int32_t> b = a ? NextPiece(rest) : std::nullopt;
    const std::optional<int32_t> c = b ? DecimalInteger(rest) : std::nullopt;
    if (!c || *kind < 0 || *kind > std::numeric_limits<uint8_t>::max())
        return false;
    move = MoveRecord{*a, *b, *c, static_cast<uint8_t>(*kind)};
    return true;
}
