#include "ui/TScore.h"

namespace {

const char Separator = '|';

// The text from `at` to the next "|"; empty when there is none.
AnsiString FieldAt(const AnsiString& text, size_t at) {
    const size_t end = text.find(Separator, at);
    return end == AnsiString::npos ? AnsiString() : text.substr(at, end - at);
}

// Moves `at` past the next "|"; where there is none it stays.
void DropField(const AnsiString& text, size_t& at) {
    const size_t end = text.find(Separator, at);
    if (end != AnsiString::npos)
        at = end + 1;
}

// A number is taken from the text only once it has been read.
bool ReadNumber(const AnsiString& text, size_t& at, int32_t& number) {
    if (!TryStrToInt(FieldAt(text, at), number))
        return false;
    DropField(text, at);
    return true;
}

} // namespace

TScore::TScore(const AnsiString& name, int32_t stage, int32_t score, const AnsiString& country)
    : Name(name), Country(country), Stage(stage), Score(score) {}

TScore::TScore(AnsiString& text) {
    ScoreFromText(text);
}

AnsiString TScore::ScoreToText() const {
    return Name + Separator + IntToStr(Stage) + Separator + IntToStr(Score) + Separator + Country +
           Separator;
}

void TScore::ScoreFromText(AnsiString& text) {
    if (text.empty())
        throw Exception("Cannot load score from empty string");
    size_t at = 0;
    const bool whole = ReadFrom(text, at);
    text.erase(0, at);
    // The field that stopped the reading now leads the text: its
    // conversion raises the error.
    if (!whole)
        StrToInt(FieldAt(text, 0));
}

bool TScore::ReadFrom(const AnsiString& text, size_t& at) {
    Name = FieldAt(text, at);
    DropField(text, at);
    if (!ReadNumber(text, at, Stage) || !ReadNumber(text, at, Score))
        return false;
    Country = FieldAt(text, at);
    DropField(text, at);
    return true;
}

int CompareScores(void* a, void* b) {
    const int32_t first = static_cast<TScore*>(a)->Score;
    const int32_t second = static_cast<TScore*>(b)->Score;
    if (second > first)
        return 1;
    if (first > second)
        return -1;
    return 0;
}

std::vector<std::unique_ptr<TScore>> ScoresFromText(const AnsiString& text) {
    std::vector<std::unique_ptr<TScore>> scores;
    for (size_t at = 0; text.find(Separator, at) != AnsiString::npos;) {
        auto score = std::make_unique<TScore>("", 0, 0, "");
        if (score->ReadFrom(text, at))
            scores.push_back(std::move(score));
    }
    return scores;
}
