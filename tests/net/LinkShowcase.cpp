// Not a test: shows the connect dialog and a linked window with a short
// chat on the display, and photographs each with ImageMagick's import, so
// that a person can look at them (run under Xvfb: scripts or by hand).
//   net_showcase <folder for the pictures>

#include <cstdlib>
#include <iostream>

#include "myunits/LANGUAGE.h"
#include "net/TTCPConnectForm.h"
#include "net/TTChatForm.h"
#include "platform/vcl/TestHook.h"
#include "tests/net/LinkPort.h"
#include "tests/support/TestPeer.h"

namespace {

std::string folder;

void Photograph(TForm& form, const char* name) {
    PumpFor(700);
    const std::string command =
        "import -window root -crop " + std::to_string(form.Width() + 40) + "x" +
        std::to_string(form.Height() + 60) + "+" + std::to_string(form.Left() - 20) + "+" +
        std::to_string(form.Top() - 40) + " " + folder + "/" + name + ".png";
    if (std::system(command.c_str()) != 0)
        std::cerr << "could not photograph " << name << "\n";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: net_showcase <folder>\n";
        return 2;
    }
    folder = argv[1];
    Application->Initialize();
    TMyLanguages languages(AnsiString(KORVEL_PROGRAM_DIR) + "/Languages.rc", true);
    TestHook hook([](const AnsiString& message) { std::cerr << message << "\n"; });
    {
        TTCPConnectForm dialog(nullptr);
        dialog.Show();
        dialog.Edit1->Text = "192.168.0.17";
        Photograph(dialog, "connect-call");
        dialog.RadioButton2->Click();
        Photograph(dialog, "connect-wait");
    }
    TTChatForm* link = new TTChatForm(nullptr);
    hook.ExpectModal<TTCPConnectForm>().Fill([](TTCPConnectForm& dialog) {
        dialog.RadioButton2->Click();
        dialog.Button1->Click();
    });
    link->StartConnection("Bert");
    link->Timer1Timer(link);
    link->Timer1Timer(link);
    Photograph(*link, "link-waiting");
    TestPeer peer = TestPeer::Connect(LinkPort);
    hook.ExpectMessageBox("Anna " + languages.GetString(76)).Press(IDYES);
    peer.Send("NAMEAnna|");
    peer.WaitFor("NAME:Bert|");
    peer.Send("CHAT:Hello Bert, ready for a game?|");
    PumpUntil([&] { return link->Memo1->Lines->Count == 2; });
    link->Edit1->Text = "Hi Anna! Yes, you begin.";
    link->Button1->Click();
    peer.Send("CHAT:Good luck!|");
    PumpUntil([&] { return link->Memo1->Lines->Count == 4; });
    link->Edit1->Text = "Thanks";
    Photograph(*link, "link-chat");
    hook.Verify();
    delete link;
    return 0;
}
