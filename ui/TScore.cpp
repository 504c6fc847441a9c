#include "ui/TScore.h"

namespace {

const char Separator = '|';

AnsiString FieldOf(const AnsiString& text) {
    const size_t end = text.find(Separator);
    return end == AnsiString::npos ? AnsiString() : text.substr(0, end);
}

void DropField(AnsiString& text) {
    const size_t end = text.find(Separator);
    if (end != AnsiString::npos)
        text.erase(0, end + 1);
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

// A number is taken from the text only once it has been read.
void TScore::ScoreFromText(AnsiString& text) {
    if (text.empty())
        throw Exception("Cannot load score from empty string");
    Name = FieldOf(text);
    DropField(text);
    Stage = StrToInt(FieldOf(text));
    DropField(text);
    Score = StrToInt(FieldOf(text));
    DropField(text);
    Country = FieldOf(text);
    DropField(text);
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
