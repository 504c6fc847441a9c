#pragma once
// One result of an arcade match in a high-score table. Its text form is
// the name, the stage, the score and the country, each followed by "|";
// the local table is stored as these texts one after another.

#include <cstdint>
#include <memory>
#include <vector>

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
    // The same reading from `at` on, without exceptions: `at` moves past
    // what was read, and the result tells whether the record was whole.
    bool ReadFrom(const AnsiString& text, size_t& at);

    AnsiString Name;
    AnsiString Country; // empty for a local result until it is posted
    int32_t Stage = 0;
    int32_t Score = 0;
};

// The order of the high-score lists: falling score; nothing else counts.
int CompareScores(void* a, void* b);

// The records of a stored table in their order, read in one pass: a record
// that cannot be read is dropped and reading goes on after what it took; a
// rest without any "|" holds no record.
std::vector<std::unique_ptr<TScore>> ScoresFromText(const AnsiString& text);
