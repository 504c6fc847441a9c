// The link window's messages as they come off the socket: the first byte
// picks the link's state (the caller waiting for the host's name, or
// linked), the rest is the stream, cut into reads at each byte 0xFF. Game
// data goes on as the match's window takes it, as a partner's MoveText.

#include "fuzz/support/Check.h"
#include "fuzz/support/FuzzEnvironment.h"
#include "game/GameText.h"
#include "myunits/LANGUAGE.h"
#include "net/TTChatForm.h"

namespace {

class GameDataForm : public TTChatForm {
public:
    using TTChatForm::TTChatForm;

    void DataReceived(const AnsiString& payload) override {
        MoveRecord move = PassMove;
        MoveFromText(payload, move);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    static const FuzzEnvironment& environment = FuzzEnvironment::Enter({.gui = true});
    static TMyLanguages* languages =
        new TMyLanguages(KORVEL_FUZZ_SOURCE_DIR "/assets/Languages.rc", true);
    (void)environment;
    (void)languages;
    if (size == 0)
        return 0;
    GameDataForm form(nullptr);
    form.LinkState = data[0] % 2 == 0 ? 1 : 3;
    std::string rest = InputText(data + 1, size - 1);
    while (!rest.empty()) {
        const auto [read, next] = SplitAt(rest, '\xff');
        form.ProcessReceivedText(read);
        rest = next;
    }
    return 0;
}
