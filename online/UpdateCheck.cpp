#include "online/UpdateCheck.h"

#include "myunits/LANGUAGE.h"
#include "myunits/Utils.h"
#include "online/TUpdateNotification.h"
#include "platform/vcl/Forms.h"
#include "platform/win32/ShellApi.h"
#include "web/HTTPConnector.h"

namespace {

const AnsiString ProductName = "Korvel";

void ShowNoUpdate() {
    if (TMyLanguages::GermanTexts())
        Application->MessageBox("Dies ist bereits die neuste version von " + ProductName,
                                "Kein update notwendig", MB_ICONINFORMATION);
    else
        Application->MessageBox("You are running the latest version of " + ProductName,
                                "No update necessary", MB_ICONINFORMATION);
}

void ShowNoAnswer() {
    if (TMyLanguages::GermanTexts())
        Application->MessageBox(
            ProductName + " konnnte keine verbindung zum updateserver herstellen. Bitte stellen "
                          "Sie eine Verbindung zum Internet her und versuchen Sie es erneut.",
            "Versionscheck gescheitert...", MB_ICONINFORMATION);
    else
        Application->MessageBox(ProductName + " could not contact the update server. Please make "
                                              "sure that you are online and try again.",
                                "Connection failed...", MB_ICONINFORMATION);
}

// The notice of the reply; true when the user asked never to be told
// again.
bool ShowNotification(uint8_t mode, const AnsiString& reply) {
    auto* notification = new TUpdateNotification(Application);
    if (mode == 2)
        notification->CheckBox1->Visible = false;
    notification->Label1->Caption =
        ExtractBetween(reply, "<UPDATENOTIFICATION>", "</UPDATENOTIFICATION>");
    bool neverAgain = false;
    if (notification->ShowModal() == mrYes)
        ShellExecuteA(nullptr, "open", ExtractBetween(reply, "<UPDATEURL>", "</UPDATEURL>").c_str(),
                      nullptr, nullptr, SW_SHOWDEFAULT);
    else
        neverAgain = notification->CheckBox1->Checked;
    delete notification;
    return neverAgain;
}

} // namespace

uint8_t CheckForUpdate(uint8_t mode, uint8_t quiet) {
    const AnsiString kindOfCheck = mode == 1 ? "ForHighscores" : "RegularVersionCheck";
    const AnsiString language = TMyLanguages::GermanTexts() ? "german" : "english";
    const AnsiString body = "AppName=" + AnsiString("kvl") + "&Version=" + GetVersionString() +
                            "&KindOfCheck=" + kindOfCheck + "&Language=" + language;
    AnsiString reply;
    const AnsiString status =
        PostHTTPRequest(GetWebServerAddress() + "/cgi-bin/versioncheck.pl", body, reply);
    const bool reporting = mode == 2 && quiet == 0;
    if (status != "OK") {
        if (reporting)
            ShowNoAnswer();
        return 2;
    }
    if (reply.find("GetUpdate") == AnsiString::npos || quiet == 1) {
        if (reporting)
            ShowNoUpdate();
        return 1;
    }
    return ShowNotification(mode, reply) ? 3 : 0;
}
