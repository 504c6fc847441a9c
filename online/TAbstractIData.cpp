#include "online/TAbstractIData.h"

#include "myunits/Settings.h"
#include "myunits/Utils.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/win32/WinReg.h"
#include "web/HTTPConnector.h"

namespace {

constexpr int PlaySeconds = 0;
constexpr int Launches = 1;
constexpr int CustomerId = 2;
constexpr unsigned PlayTimerInterval = 10000;
constexpr int SecondsPerTick = 10;

} // namespace

TAbstractIData::TAbstractIData(const AnsiString& URL, const AnsiString& RegPath,
                               const AnsiString& AppName)
    : URL(URL), AppName(AppName), SessionSeconds(0) {
    PlayTimer = new TTimer(nullptr);
    PlayTimer->Enabled = false;
    PlayTimer->Interval = PlayTimerInterval;
    PlayTimer->OnTimer = Method(this, &TAbstractIData::OnPlayTimer);
    TStringList defaults;
    for (const char* value : {"0", "0", "0"})
        defaults.Add(value);
    Store = new TSettings(RegPath, &defaults, HKEY_CURRENT_USER, false);
    Store->SetInt(Store->GetInt(Launches) + 1, Launches);
}

TAbstractIData::~TAbstractIData() {
    delete PlayTimer;
    delete Store;
}

int32_t TAbstractIData::GetTotalMinutes() {
    return Store->GetInt(PlaySeconds) / 60;
}

int32_t TAbstractIData::GetSessionMinutes() {
    return SessionSeconds / 60;
}

void TAbstractIData::StartPlayTimer() {
    if (!PlayTimer->Enabled)
        PlayTimer->Enabled = true;
}

void TAbstractIData::OnPlayTimer(TObject*) {
    if (!IsPlaying())
        return;
    Store->SetInt(Store->GetInt(PlaySeconds) + SecondsPerTick, PlaySeconds);
    SessionSeconds = SessionSeconds + SecondsPerTick;
}

void TAbstractIData::SendIData() {
    const AnsiString record = BuildIData(true);
    const AnsiString body =
        "ID=" + Store->Get(CustomerId) + "&" + "Key=" + record + "&" + "AppName=" + AppName;
    AnsiString reply;
    const AnsiString status = PostHTTPRequest(URL, body, reply);
    if (status == "OK")
        Store->Set(ExtractBetween(reply, "<CID>", "</CID>"), CustomerId);
}
