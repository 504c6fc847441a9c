// The replies of the maker's web server that the online services read:
// the input is the body of an accepted reply, given both to the usage
// report (which keeps the customer id between <CID> and </CID>) and to the
// update check (which shows the notice between <UPDATENOTIFICATION> tags;
// the notice is answered No). The id kept reads back from the store.

#include "fuzz/support/Check.h"
#include "fuzz/support/FuzzEnvironment.h"
#include "fuzz/support/ReplyServer.h"
#include "myunits/Settings.h"
#include "myunits/TGlobalBlowFish.h"
#include "online/TAbstractIData.h"
#include "online/UpdateCheck.h"
#include "platform/win32/Registry.h"

namespace {

const char* const UsageKey = "software\\Hemlow\\rq8\\idata";
constexpr int CustomerId = 2;

class UsageData : public TAbstractIData {
public:
    explicit UsageData(const AnsiString& url) : TAbstractIData(url, UsageKey, "kvl") {}
    bool IsPlaying() override { return false; }
    AnsiString BuildIData(bool) override { return "1.0:1:0:0:0"; }
    AnsiString KeptId() { return Store->Get(CustomerId); }
};

AnsiString StoredId() {
    TStringList defaults;
    for (const char* value : {"0", "0", "0"})
        defaults.Add(value);
    return TSettings(UsageKey, &defaults, HKEY_CURRENT_USER, true).Get(CustomerId);
}

ReplyServer& Server() {
    static ReplyServer* server = [] {
        FuzzEnvironment::Enter({.gui = true});
        new TGlobalBlowFish();
        auto* made = new ReplyServer(ReplyServer::ReadsHttpRequest);
        TRegistry registry;
        registry.RootKey = HKEY_CURRENT_USER;
        registry.OpenKey("Software\\Vorlane\\Korvel", true);
        registry.WriteString("WebServer", "127.0.0.1:" + IntToStr(made->Port()));
        return made;
    }();
    return *server;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    ReplyServer& server = Server();
    const std::string body = InputText(data, size);
    server.Answer("HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" +
                  body);
    {
        UsageData usage("http://127.0.0.1:" + IntToStr(server.Port()) + "/cgi-bin/ID.pl");
        usage.SendIData();
        Check(StoredId() == usage.KeptId(), "the customer id reads back");
    }
    CheckForUpdate(0, 2);
    return 0;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    RequireLoopbackOnlyNetwork();
    return 0;
}
