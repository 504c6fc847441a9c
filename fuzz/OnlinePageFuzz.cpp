// The online high-score page: the input is the page as the window fetched
// it. Its rows are read into the online table and its version block is
// looked at, as the compare button does.

#include "fuzz/support/Check.h"
#include "fuzz/support/FuzzProgram.h"
#include "platform/vcl/Classes.h"
#include "ui/THighScoreForm.h"
#include "ui/TScore.h"

namespace {

void ForgetOnlineTable() {
    TList* online = HighScoreForm->OnlineScores;
    for (int i = 0; i < online->Count; ++i)
        delete static_cast<TScore*>(online->Items[i]());
    online->Clear();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    FuzzProgram::Start();
    ForgetOnlineTable();
    HighScoreForm->Page->Text = InputText(data, size);
    Check(HighScoreForm->ReadOnlineRows() == HighScoreForm->OnlineScores->Count,
          "every row read is in the online table");
    HighScoreForm->ParseLatestVersion(HighScoreForm->Page);
    return 0;
}
