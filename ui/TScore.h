#pragma once
// One result of an arcade match in a high-score table. Its text form is
// the name, the stage, the score and the country, each followed by "|";
// the local table is stored as these texts one after another.

#include <cstdint>

#include "platform/vcl/SysUtils.h"

class TScore {
public:
    TScore(const AnsiString& name, int32_t stage, int32_t score, const AnsiString& country);
    // Reads one record from the front of the text and removes what it read
    // (also when it fails part-way).
    explicit TScore(AnsiString& text);

    // The record's text form.
    AnsiString ScoreToText() const;
    // An empty text raises Exception, a stage or score that is no decimal
    // number EConvertError. Each field is the text before the next "|";
    // where there is none the field is empty and the text stays as it is.
    void ScoreFromText(AnsiString& text);

    AnsiString Name;
    AnsiString Country; // empty for a local result until it is posted
    int32_t Stage = 0;
    int32_t Score = 0;
};

// The order of the high-score lists: falling score; nothing else counts.
int CompareScores(void* a, void* b);
