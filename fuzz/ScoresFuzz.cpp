// The local scores: the input is the stored table (setting 19) as the
// high-score window reads it. The records it reads, saved and read again,
// are the same records (records of equal score may change places).

#include <algorithm>
#include <vector>

#include "fuzz/support/Check.h"
#include "fuzz/support/FuzzProgram.h"
#include "game/gamecontrol.h"
#include "ui/TForm1.h"
#include "ui/THighScoreForm.h"
#include "ui/TScore.h"

namespace {

std::vector<AnsiString> LocalRecords() {
    std::vector<AnsiString> records;
    TList* local = HighScoreForm->LocalScores;
    for (int i = 0; i < local->Count; ++i)
        records.push_back(static_cast<TScore*>(local->Items[i]())->ScoreToText());
    std::sort(records.begin(), records.end());
    return records;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    FuzzProgram::Start();
    Form1->Game->SetSetting(GameSetting::HighScores, InputText(data, size));
    HighScoreForm->LoadScores();
    const std::vector<AnsiString> read = LocalRecords();
    HighScoreForm->SaveScores();
    HighScoreForm->LoadScores();
    Check(LocalRecords() == read, "saved table round trip");
    return 0;
}
