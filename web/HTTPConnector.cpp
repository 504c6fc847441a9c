#include "web/HTTPConnector.h"

#include <memory>

#include "myunits/Settings.h"
#include "myunits/Utils.h"
#include "platform/vcl/Forms.h"
#include "web/HttpProt.h"

namespace {

const AnsiString ProxyKey = AnsiString("software\\Hemlow\\rq8") + "\\proxy";
const AnsiString MakerKey = "Software\\Vorlane\\Korvel";
const AnsiString DefaultWebServer = "korvel.example";

enum ProxyValue { UseProxy, ProxyHost, ProxyPortNumber, ProxyUser, ProxyPassword };

// The stream's bytes from its position to its end.
AnsiString RestOf(TStream& Stream) {
    AnsiString Bytes(static_cast<size_t>(Stream.Size - Stream.Position), '\0');
    if (!Bytes.empty())
        Stream.ReadBuffer(Bytes.data(), static_cast<int>(Bytes.size()));
    return Bytes;
}

} // namespace

THTTPConnector::THTTPConnector() {
    TStringList Defaults;
    Defaults.Add("0");
    Defaults.Add("");
    Defaults.Add("8080");
    Defaults.Add("");
    Defaults.Add("");
    ProxySettings = new TSettings(ProxyKey, &Defaults, HKEY_CURRENT_USER, false);
}

THTTPConnector::~THTTPConnector() {
    delete ProxySettings;
}

AnsiString THTTPConnector::Post(const AnsiString& URL, const AnsiString& Data,
                                AnsiString& Response) {
    TMemoryStream Received;
    TMemoryStream ToSend;
    bool Success = true;
    std::unique_ptr<THttpCli> Client;
    try {
        Client = std::make_unique<THttpCli>(nullptr);
    } catch (const std::exception&) {
        return "HTTP Client Initialization failed";
    }
    try {
        if (!Data.empty())
            ToSend.WriteBuffer(Data.data(), static_cast<int>(Data.size()));
        ToSend.Position = 0;
        Client->PostStream = &ToSend;
        Client->ReplyStream = &Received;
        Client->URL = URL;
        if (ProxySettings->GetInt(UseProxy) == 0) {
            Client->Proxy = "";
            Client->ProxyPort = "80";
            Client->ProxyUsername = "";
            Client->ProxyPassword = "";
        } else {
            Client->Proxy = ProxySettings->Get(ProxyHost);
            Client->ProxyPort = IntToStr(ProxySettings->GetInt(ProxyPortNumber));
            Client->ProxyUsername = ProxySettings->Get(ProxyUser);
            Client->ProxyPassword = ProxySettings->Get(ProxyPassword);
        }
        Application->ProcessMessages();
        try {
            Client->Post();
        } catch (const std::exception&) {
            Success = false;
        }
    } catch (const std::exception&) {
        Success = false;
    }
    if (Success)
        Received.Position = 0;
    TStringList Lines;
    Lines.Text = RestOf(Received);
    Response = Lines.Text;
    return Client->ReasonPhrase;
}

AnsiString PostHTTPRequest(const AnsiString& URL, const AnsiString& Data, AnsiString& Response) {
    // Registers itself as the singleton; it is never destroyed.
    static const THTTPConnector* const Connector = new THTTPConnector();
    (void)Connector;
    return Singleton<THTTPConnector>::GetSingleton().Post(URL, Data, Response);
}

bool SendMailViaWebForm(const AnsiString& subject, const AnsiString& mailfrom,
                        const AnsiString& fromname, const AnsiString& body,
                        const AnsiString& recipient) {
    const AnsiString Data = "subject=" + subject + "&mailfrom=" + mailfrom +
                            "&fromname=" + fromname + "&body=" + body + "&recipient=" + recipient;
    AnsiString Reply;
    const AnsiString Status =
        PostHTTPRequest(GetWebServerAddress() + "/cgi-bin/cgitomail.pl", Data, Reply);
    return Status.rfind("OK", 0) == 0;
}

AnsiString GetWebServerAddress() {
    const AnsiString Host = ReadRegistryString(HKEY_CURRENT_USER, MakerKey, "WebServer");
    return "http://" + (Host.empty() ? DefaultWebServer : Host);
}

AnsiString GetOtherGameAddress(bool german) {
    return GetWebServerAddress() + (german ? "/german/tolva/" : "/tolva/");
}
